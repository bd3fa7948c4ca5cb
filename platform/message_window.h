// Hidden message windows: the program's components talk to themselves and to
// each other by posting numbered messages that the event loop delivers later,
// interleaved with painting, input and timers.
#pragma once

#include "platform/types.h"

#include <functional>
#include <memory>

namespace lumo {

class MessageReceiver;

class MessageWindow {
public:
    using Handler = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;

    explicit MessageWindow(Handler handler);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Queues the message; it is delivered from the event loop, or never when the
    // window is destroyed first.
    void Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Runs the handler now and returns its result. An exception thrown by the
    // handler goes to the application's exception handler, as for posted messages.
    // The handler may destroy the window (its owner freed from inside its own event).
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

private:
    friend class MessageReceiver;
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

    Handler handler_;
    int dispatching_ = 0;
    std::unique_ptr<MessageReceiver> receiver_;
};

} // namespace lumo
