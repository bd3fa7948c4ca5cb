// The one place where an exception that reaches the event loop is handled.
//
// Qt must never see an exception leave an event handler, so every callback the
// platform layer runs from the event loop (posted messages, timers, socket
// notifications, widget events through LumoApplication) is wrapped in
// GuardedCall, which hands anything thrown to the installed handler.
#pragma once

#include <exception>
#include <functional>

namespace lumo {

using ExceptionHandler = std::function<void(const std::exception& e)>;

// Installs the application-wide handler; an empty handler restores the default,
// which writes the message to standard error.
void SetExceptionHandler(ExceptionHandler handler);

// Hands the exception being handled to the installed handler. Call only inside a catch block.
void HandleCurrentException() noexcept;

template <class F>
void GuardedCall(F&& f) noexcept {
    try {
        f();
    } catch (...) {
        HandleCurrentException();
    }
}

} // namespace lumo
