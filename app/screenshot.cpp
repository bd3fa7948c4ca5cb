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
    if (!shot.save(ToQString(fileName), "PNG")) {
        error = "cannot write " + fileName;
        return false;
    }
    return true;
}

} // namespace lumo
