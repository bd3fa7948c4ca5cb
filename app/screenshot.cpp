#include "app/screenshot.h"

#include "image/png_writer.h"
#include "platform/ansi.h"
#include "platform/file_system.h"
#include "platform/message_loop.h"

#include <QGuiApplication>
#include <QImage>
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
    QImage pixels = shot.toImage();
    if (pixels.format() != QImage::Format_RGB32 && pixels.format() != QImage::Format_ARGB32)
        pixels.convertTo(QImage::Format_RGB32);
    const std::string png =
        EncodePng({reinterpret_cast<const uint32_t*>(pixels.constBits()), pixels.width(),
                   pixels.height(), int(pixels.bytesPerLine() / 4)});
    // The name is as given, in ANSI: as a local name a "%" in it stays itself.
    if (png.empty() || !WriteFileAtomically(AnsiName(AnsiToUtf8(fileName)), png)) {
        error = "cannot write " + fileName;
        return false;
    }
    return true;
}

} // namespace lumo
