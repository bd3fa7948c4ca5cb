#include "app/response_rules.h"

#include "platform/text.h"

namespace lumo {

THeaderLine ReadHeaderLine(std::string_view line) {
    struct Name {
        std::string_view text;
        THeaderField field;
    };
    static constexpr Name Names[] = {
        {"location:", THeaderField::Location},
        {"set-cookie:", THeaderField::SetCookie},
        {"content-type:", THeaderField::ContentType},
    };
    for (const Name& name : Names) {
        if (!StartsWithText(line, name.text)) continue;
        const std::string_view raw = line.substr(name.text.size());
        return {name.field, std::string(Trim(raw)), std::string(raw)};
    }
    return {};
}

bool CanShowContentType(std::string_view type) {
    return type.find("text/") != std::string_view::npos ||
           type.find("image") != std::string_view::npos;
}

std::string ContentTypeMessage(std::string_view type) {
    return "Can't handle Content Type: " + std::string(type);
}

} // namespace lumo
