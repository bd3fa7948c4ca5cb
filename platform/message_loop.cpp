#include "platform/message_loop.h"

#include "platform/app_exception.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QTimer>

namespace lumo {

void ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WaitUntil(const std::function<bool()>& done) {
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QTimer tick;
    tick.start(10);
    const int64_t end = TickCount() + timeoutMs;
    WaitUntil([&] { return done() || TickCount() >= end; });
    return done();
}

bool ApplicationClosingDown() {
    return QCoreApplication::closingDown() || !QCoreApplication::instance();
}

void PostTask(std::function<void()> task) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [task = std::move(task)] { GuardedCall(task); },
        Qt::QueuedConnection);
}

int64_t TickCount() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

} // namespace lumo
