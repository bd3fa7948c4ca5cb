#include "app/screenshot.h"

#include "platform/message_loop.h"
#include "platform/qt_text.h"
#include "platform/timer.h"

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

bool WaitUntilReady(const std::function<bool()>& ready, int timeoutSeconds) {
    Timer tick; // wakes the wait so the deadline is seen
    tick.SetInterval(20);
    tick.OnTimer = [] {};
    tick.SetEnabled(true);
    const int64_t end = TickCount() + int64_t{timeoutSeconds} * 1000;
    WaitUntil([&] { return ready() || TickCount() >= end; });
    return ready();
}

} // namespace lumo
