// Headless use: writing the whole window as a PNG.
#pragma once

#include <string>

class QWidget;

namespace lumo {

// Lays the window out, paints it and writes it to fileName (as given, in
// ANSI). On failure returns false with a message in error.
bool WriteWindowShot(QWidget& window, const std::string& fileName, std::string& error);

} // namespace lumo
