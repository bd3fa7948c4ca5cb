#include "app/page_walk.h"

#include "app/main_window.h"

#include <QCoreApplication>

namespace lumo {

TPageWalk::TPageWalk(TMainWindow& form, int timeoutMilliseconds)
    : form_(form), timeout_(timeoutMilliseconds) {
    poll_.setInterval(5);
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
}

void TPageWalk::Start() {
    QTimer::singleShot(0, [this] { OpenNext(); });
}

void TPageWalk::OpenNext() {
    std::optional<std::string> next = OnNext ? OnNext() : std::nullopt;
    if (!next) {
        if (OnEnd)
            OnEnd();
        else
            QCoreApplication::quit();
        return;
    }
    address_ = std::move(*next);
    late_ = false;
    if (OnOpen) OnOpen(address_);
    started_.start();
    poll_.start();
    try {
        form_.NavigateTo(address_);
    } catch (const std::exception& e) {
        // Told as a user's click would tell it; the page then counts as shown.
        form_.AppException(e);
    }
}

void TPageWalk::Poll() {
    if (!late_ && started_.elapsed() > timeout_) {
        late_ = true;
        form_.CancelButtonClick();
    }
    // A stopped fetch may still be unwinding its own event loop: the next
    // page waits until it has.
    if (late_ ? form_.Fetching() : !form_.PageShown()) return;
    poll_.stop();
    if (OnShown) OnShown(address_, late_);
    QTimer::singleShot(0, [this] { OpenNext(); });
}

} // namespace lumo
