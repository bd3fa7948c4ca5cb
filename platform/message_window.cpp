#include "platform/message_window.h"

#include "platform/app_exception.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace lumo {
namespace {

const QEvent::Type PostedMessageType = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessage : public QEvent {
public:
    PostedMessage(unsigned generation, UINT msg, WPARAM wParam, LPARAM lParam)
        : QEvent(PostedMessageType), generation(generation), msg(msg), wParam(wParam),
          lParam(lParam) {}
    unsigned generation;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

} // namespace

// The QObject that receives the queued events. Qt drops pending events of a
// receiver that is destroyed, so nothing reaches a freed window.
class MessageReceiver : public QObject {
public:
    explicit MessageReceiver(MessageWindow& owner) : owner_(owner) {}

    bool event(QEvent* e) override {
        if (e->type() != PostedMessageType) return QObject::event(e);
        auto* m = static_cast<PostedMessage*>(e);
        owner_.Deliver(m->generation, m->msg, m->wParam, m->lParam);
        return true;
    }

private:
    MessageWindow& owner_;
};

MessageWindow::MessageWindow(Handler handler)
    : handler_(std::move(handler)), receiver_(std::make_unique<MessageReceiver>(*this)) {}

MessageWindow::~MessageWindow() = default;

void MessageWindow::Post(UINT msg, WPARAM wParam, LPARAM lParam) {
    QCoreApplication::postEvent(receiver_.get(),
                                new PostedMessage(generation_, msg, wParam, lParam));
}

LRESULT MessageWindow::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    GuardedCall([&] { result = handler_(msg, wParam, lParam); });
    return result;
}

void MessageWindow::DiscardPosted() { ++generation_; }

void MessageWindow::Deliver(unsigned generation, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (generation != generation_) return;
    GuardedCall([&] { handler_(msg, wParam, lParam); });
}

} // namespace lumo
