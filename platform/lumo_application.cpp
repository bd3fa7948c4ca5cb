#include "platform/lumo_application.h"

#include "platform/app_exception.h"

namespace lumo {

LumoApplication::LumoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool LumoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleCurrentException();
        return false;
    }
}

} // namespace lumo
