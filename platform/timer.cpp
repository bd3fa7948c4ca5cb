#include "platform/timer.h"

#include "platform/app_exception.h"

#include <QTimer>

namespace lumo {

Timer::Timer() : timer_(std::make_unique<QTimer>()) {
    timer_->setInterval(1000);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] {
        if (OnTimer) GuardedCall(OnTimer);
    });
}

Timer::~Timer() = default;

void Timer::SetInterval(int milliseconds) {
    timer_->setInterval(milliseconds);
}

int Timer::Interval() const {
    return timer_->interval();
}

void Timer::SetEnabled(bool enabled) {
    if (enabled)
        timer_->start();
    else
        timer_->stop();
}

bool Timer::Enabled() const {
    return timer_->isActive();
}

} // namespace lumo
