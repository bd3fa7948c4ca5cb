#include "app/link_actions.h"

#include "net/address.h"
#include "net/file_connection.h"
#include "platform/text.h"

namespace lumo {

namespace {

// Schemes and extensions are compared on their first 20 characters.
constexpr size_t MaxCompared = 20;

std::string ExtensionOfLink(std::string_view url) {
    return LowerCase(ExtensionOf(url)).substr(0, MaxCompared);
}

std::vector<std::string> SplitParameters(std::string text) {
    DecodePercents(text);
    std::vector<std::string> parameters;
    size_t start = 0;
    while (start < text.size()) {
        const size_t blank = text.find(' ', start);
        const size_t end = blank == std::string::npos ? text.size() : blank;
        if (end > start) parameters.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parameters;
}

TLinkDecision LocalLink(std::string_view url) {
    TLinkDecision decision;
    size_t split = url.find(' ');
    if (split == std::string_view::npos) split = url.find('?');
    decision.Address = std::string(url.substr(0, split));
    if (split != std::string_view::npos)
        decision.Parameters = SplitParameters(std::string(url.substr(split + 1)));
    decision.FileName = FileConnectionPath(decision.Address).value_or(std::string());
    const std::string extension = ExtensionOfLink(decision.Address);
    if (decision.FileName.empty()) return decision;
    if (extension == "wav")
        decision.Action = TLinkAction::Sound;
    else if (extension == "exe")
        decision.Action = TLinkAction::Program;
    else if (extension == "mid" || extension == "avi")
        decision.Action = TLinkAction::Media;
    return decision;
}

} // namespace

TLinkDecision DecideLinkAction(std::string_view url) {
    const std::string scheme = SchemeOf(url).substr(0, MaxCompared);
    if (scheme == "mailto") return {TLinkAction::Mail, std::string(url), {}, {}};
    if (scheme == "file") return LocalLink(url);
    if (scheme == "http") {
        const std::string extension = ExtensionOfLink(url);
        const std::string lower = LowerCase(url);
        if (extension == "zip" || extension == "exe" ||
            (lower.find(".php") != std::string::npos && lower.find(".exe") != std::string::npos))
            return {TLinkAction::Download, std::string(url), {}, {}};
    }
    return {};
}

} // namespace lumo
