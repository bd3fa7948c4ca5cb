// The kind of document a fetch produced, and the file extensions that name one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumo {

enum TContentKind : int { ckHTML = 0, ckText = 1, ckImage = 2 };

// The kind a known extension (in lower case, without its dot) stands for:
// "htm" and "html" pages, "gif", "jpg", "jpeg", "png" and "bmp" pictures,
// "txt" text; nothing for any other.
std::optional<TContentKind> KindOfExtension(std::string_view extension);

// The charset parameter of a Content-Type value ("text/html; charset=koi8-r"),
// in lower case and without quotes; empty when the value names none.
std::string ContentTypeCharset(std::string_view contentType);

// The kind of document a Content-Type value names: "image/" a picture,
// "/plain" text, anything else HTML.
TContentKind KindOfContentType(std::string_view contentType);

} // namespace lumo
