#include "app/screenshot.h"

#include "platform/message_loop.h"
#include "platform/qt_text.h"

#include <QPixmap>
#include <QWidget>

namespace lumo {

bool WriteWindowShot(QWidget& window, const std::string& fileName, std::string& error) {
    ProcessMessages();
    const QPixmap shot = window.grab();
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
