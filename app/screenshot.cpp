#include "app/screenshot.h"

#include "platform/message_loop.h"
#include "platform/qt_text.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace lumo {

namespace {

// The window as it was last painted. Without a display the screen holds a
// copy of what the window painted, which saves painting it all again into
// a second picture and the page's paint buffer beside it.
QPixmap Shot(QWidget& window) {
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        if (QScreen* screen = window.screen()) {
            QPixmap shot = screen->grabWindow(window.winId());
            if (!shot.isNull() && shot.size() == window.size() * window.devicePixelRatio())
                return shot;
        }
    return window.grab();
}

} // namespace

bool WriteWindowShot(QWidget& window, const std::string& fileName, std::string& error) {
    ProcessMessages();
    const QPixmap shot = Shot(window);
    if (shot.isNull()) {
        error = "the window could not be painted";
        return false;
    }
    // The lightest compression: the picture is the same and takes a
    // fraction of the time the default level spends on it.
    constexpr int fastestCompression = 89;
    if (!shot.save(ToQString(fileName), "PNG", fastestCompression)) {
        error = "cannot write " + fileName;
        return false;
    }
    return true;
}

} // namespace lumo
