#include "app/screenshot.h"

#include "image/png_writer.h"
#include "platform/ansi.h"
#include "platform/file_system.h"
#include "platform/message_loop.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace lumo {

namespace {

// The window as it was last painted. Without a display the window's
// backing store is a picture of what it painted, read here in place: that
// saves painting it all again, and a copy of it beside the original.
QImage Shot(QWidget& window) {
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        if (QBackingStore* store = window.backingStore())
            if (QPaintDevice* device = store->paintDevice();
                device && device->devType() == QInternal::Image) {
                const QImage& painted = *static_cast<const QImage*>(device);
                if (painted.size() == window.size() * window.devicePixelRatio()) return painted;
            }
    return window.grab().toImage();
}

} // namespace

bool WriteWindowShot(QWidget& window, const std::string& fileName, std::string& error) {
    ProcessMessages();
    QImage pixels = Shot(window);
    if (pixels.isNull()) {
        error = "the window could not be painted";
        return false;
    }
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
