// ANSI text to and from Qt strings, for the code that talks to widgets.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace lumo {

QString ToQString(std::string_view ansi);

// Characters outside the code page become '?'.
std::string FromQString(const QString& text);

} // namespace lumo
