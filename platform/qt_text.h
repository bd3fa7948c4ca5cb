// ANSI text to and from Qt strings, for the code that talks to widgets.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace lumo {

QString ToQString(std::string_view ansi);

// Characters outside the code page become '?'.
std::string FromQString(const QString& text);

// A local file name (see platform/file_system.h) and the path Qt shows and
// takes for it; every file name survives the round trip.
QString ToQFileName(std::string_view name);
std::string FromQFileName(const QString& path);

} // namespace lumo
