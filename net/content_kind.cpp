#include "net/content_kind.h"

#include "platform/text.h"

namespace lumo {

namespace {

struct ContentExtension {
    std::string_view extension;
    TContentKind kind;
};

constexpr ContentExtension ContentExtensions[] = {
    {"htm", ckHTML},   {"html", ckHTML}, {"gif", ckImage}, {"jpg", ckImage},
    {"jpeg", ckImage}, {"png", ckImage}, {"bmp", ckImage}, {"txt", ckText},
};

} // namespace

std::optional<TContentKind> KindOfExtension(std::string_view extension) {
    for (const auto& e : ContentExtensions)
        if (e.extension == extension) return e.kind;
    return std::nullopt;
}

std::string ContentTypeCharset(std::string_view contentType) {
    // The parameters follow the type, each after a semicolon.
    size_t at = contentType.find(';');
    while (at != std::string_view::npos) {
        const size_t end = contentType.find(';', at + 1);
        const std::string_view parameter = contentType.substr(at + 1, end - at - 1);
        at = end;
        const size_t equals = parameter.find('=');
        if (equals == std::string_view::npos) continue;
        if (!SameText(Trim(parameter.substr(0, equals)), "charset")) continue;
        std::string_view value = Trim(parameter.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return LowerCase(Trim(value));
    }
    return {};
}

} // namespace lumo

namespace lumo {

TContentKind KindOfContentType(std::string_view contentType) {
    const std::string type = LowerCase(contentType);
    if (type.find("image/") != std::string::npos) return ckImage;
    if (type.find("/plain") != std::string::npos) return ckText;
    return ckHTML;
}

} // namespace lumo
