// The Qt application object of the program. It keeps exceptions from leaving
// Qt's event handlers: anything thrown while an event is delivered goes to the
// application's exception handler (see app_exception.h).
#pragma once

#include <QApplication>

namespace lumo {

class LumoApplication : public QApplication {
public:
    LumoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace lumo
