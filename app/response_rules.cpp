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
        {"memento-datetime:", THeaderField::MementoDatetime},
    };
    for (const Name& name : Names) {
        if (!StartsWithText(line, name.text)) continue;
        const std::string_view raw = line.substr(name.text.size());
        return {name.field, std::string(Trim(raw)), std::string(raw)};
    }
    return {};
}

bool CanShowContentType(std::string_view type) {
    // Media types are case-insensitive: "TEXT/HTML" is a page like "text/html".
    const std::string lower = LowerCase(type);
    return lower.find("text/") != std::string::npos || lower.find("image") != std::string::npos;
}

std::string ContentTypeMessage(std::string_view type) {
    return "Can't handle Content Type: " + std::string(type);
}

} // namespace lumo
