// What the navigation driver reads in a response's header lines: where a
// redirection leads, the cookies a server sets, and whether the browser can
// show the content type.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

enum class THeaderField { Other, Location, SetCookie, ContentType, MementoDatetime };

struct THeaderLine {
    THeaderField Field = THeaderField::Other;
    std::string Value;    // trimmed
    std::string RawValue; // as received after the colon (a cookie keeps its blanks)
};

// The field is named at the start of the line, in any case; a value that
// happens to hold "location:" or a Content-Location line is no redirection.
THeaderLine ReadHeaderLine(std::string_view line);

// Whether pages of this content type can be shown: "text/" and "image"
// types, in any letter case.
bool CanShowContentType(std::string_view type);

// The message for one that cannot.
std::string ContentTypeMessage(std::string_view type);

} // namespace lumo
