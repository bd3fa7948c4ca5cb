#include "tools/window_placement.h"

#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "platform/qt_text.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace lumo {
namespace {

constexpr int MaxWindowSize = 16384;

bool OnSomeScreen(const QRect& frame) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&](QScreen* screen) {
        return screen->availableGeometry().intersects(frame);
    });
}

} // namespace

void PlaceWindow(QWidget& window, int left, int top, int width, int height) {
    window.resize(std::clamp(width, 1, MaxWindowSize), std::clamp(height, 1, MaxWindowSize));
    if (OnSomeScreen(QRect(left, top, window.width(), window.height()))) window.move(left, top);
}

void TWindowPlacement::Restore(QWidget& window) {
    const TIniFile ini(SettingsFilePath());
    const std::string section = FromQString(window.objectName());
    if (ini.ReadBool(section, "State", false)) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
        return;
    }
    // A window never placed before keeps the place its parent gives it.
    if (ini.ReadString(section, "Left", "").empty()) return;
    PlaceWindow(window, ini.ReadInteger(section, "Left", window.x()),
                ini.ReadInteger(section, "Top", window.y()),
                ini.ReadInteger(section, "Width", window.width()),
                ini.ReadInteger(section, "Height", window.height()));
}

bool TWindowPlacement::Save(const QWidget& window) {
    TIniFile ini(SettingsFilePath());
    const std::string section = FromQString(window.objectName());
    const bool maximized = window.isMaximized();
    ini.BeginUpdate();
    ini.WriteBool(section, "State", maximized);
    if (!maximized) {
        ini.WriteInteger(section, "Left", window.x());
        ini.WriteInteger(section, "Top", window.y());
        ini.WriteInteger(section, "Width", window.width());
        ini.WriteInteger(section, "Height", window.height());
    }
    return ini.EndUpdate();
}

} // namespace lumo
