#include "app/link_actions.h"

#include "address/address.h"
#include "net/file_connection.h"
#include "platform/text.h"

#include <algorithm>

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

// A page of this computer: a file or a built-in page.
bool IsLocalPage(std::string_view address) {
    const std::string scheme = SchemeOf(address);
    return scheme == "file" || scheme == "res";
}

TLinkAction LocalAction(std::string_view extension) {
    if (extension == "wav") return TLinkAction::Sound;
    if (extension == "exe") return TLinkAction::Program;
    if (extension == "mid" || extension == "avi") return TLinkAction::Media;
    return TLinkAction::Browse;
}

TLinkDecision LocalLink(std::string_view url, std::string_view source) {
    TLinkDecision decision;
    size_t split = url.find(' ');
    if (split == std::string_view::npos) split = url.find('?');
    decision.Address = std::string(url.substr(0, split));
    if (split != std::string_view::npos)
        decision.Parameters = SplitParameters(std::string(url.substr(split + 1)));
    decision.FileName = FileConnectionPath(decision.Address).value_or(std::string());
    if (decision.FileName.empty()) return decision;
    decision.Action = LocalAction(ExtensionOfLink(decision.Address));
    // A page from the network never plays, opens or starts what lies on
    // this computer.
    if (decision.Action != TLinkAction::Browse && !IsLocalPage(source))
        decision.Action = TLinkAction::Blocked;
    return decision;
}

bool IsPlainWord(std::string_view word) {
    return !word.empty() && std::none_of(word.begin(), word.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b <= ' ' || b == 0x7F || c == '"';
    });
}

} // namespace

TLinkDecision DecideLinkAction(std::string_view url, std::string_view source) {
    const std::string scheme = SchemeOf(url).substr(0, MaxCompared);
    if (scheme == "mailto") return {TLinkAction::Mail, std::string(url), {}, {}};
    if (scheme == "file") return LocalLink(url, source);
    if (scheme == "http") {
        const std::string extension = ExtensionOfLink(url);
        const std::string lower = LowerCase(url);
        if (extension == "zip" || extension == "exe" ||
            (lower.find(".php") != std::string::npos && lower.find(".exe") != std::string::npos))
            return {TLinkAction::Download, std::string(url), {}, {}};
    }
    return {};
}

std::string ProgramCommandText(const TLinkDecision& link) {
    const auto shown = [](const std::string& word) {
        return IsPlainWord(word) ? word : QuotedBytes(word);
    };
    std::string command = shown(link.FileName);
    for (const std::string& parameter : link.Parameters)
        command += ' ' + shown(parameter);
    return command;
}

} // namespace lumo
