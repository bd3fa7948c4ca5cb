#include "platform/message_window.h"

#include "platform/app_exception.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>

namespace lumo {
namespace {

const QEvent::Type PostedMessageType = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessage : public QEvent {
public:
    PostedMessage(UINT msg, WPARAM wParam, LPARAM lParam)
        : QEvent(PostedMessageType), msg(msg), wParam(wParam), lParam(lParam) {}
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

} // namespace

// The QObject that receives the queued events. Qt drops pending events of a
// receiver that is destroyed, so nothing reaches a freed window. A window
// destroyed by its own handler leaves its receiver orphaned until the event
// loop can free it (which a nested wait inside the handler may already do).
class MessageReceiver : public QObject {
public:
    explicit MessageReceiver(MessageWindow& owner) : owner_(&owner) {}

    bool event(QEvent* e) override {
        if (e->type() != PostedMessageType) return QObject::event(e);
        auto* m = static_cast<PostedMessage*>(e);
        if (owner_) owner_->Dispatch(m->msg, m->wParam, m->lParam);
        return true;
    }

    bool Orphaned() const { return owner_ == nullptr; }
    void Orphan() { owner_ = nullptr; }

private:
    MessageWindow* owner_;
};

MessageWindow::MessageWindow(Handler handler)
    : handler_(std::move(handler)), receiver_(std::make_unique<MessageReceiver>(*this)) {}

MessageWindow::~MessageWindow() {
    if (dispatching_ == 0) return;
    // Destroyed from inside the handler: the receiver outlives the dispatch
    // that is still on the stack, then goes with the event loop.
    receiver_->Orphan();
    receiver_.release()->deleteLater();
}

void MessageWindow::Post(UINT msg, WPARAM wParam, LPARAM lParam) {
    QCoreApplication::postEvent(receiver_.get(), new PostedMessage(msg, wParam, lParam));
}

LRESULT MessageWindow::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Dispatch(msg, wParam, lParam);
}

LRESULT MessageWindow::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Everything the dispatch needs after the handler is copied first, because
    // the handler may destroy this window.
    const Handler handler = handler_;
    // The receiver is watched, not just held: when the handler destroys the
    // window and then waits for events, the wait may free the orphan.
    const QPointer<MessageReceiver> receiver(receiver_.get());
    ++dispatching_;
    LRESULT result = 0;
    GuardedCall([&] { result = handler(msg, wParam, lParam); });
    if (receiver && !receiver->Orphaned()) --dispatching_;
    return result;
}

} // namespace lumo
