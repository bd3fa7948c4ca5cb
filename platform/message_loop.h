// Running the event loop from inside a call: the synchronous operations wait
// for their asynchronous parts by pumping events, never by spinning.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace lumo {

// Handles every event that is pending now, then returns.
void ProcessMessages();

// Handles events, sleeping while there are none, until done() is true.
void WaitUntil(const std::function<bool()>& done);

// The same, giving up after timeoutMs; returns done(). The wait wakes every
// few milliseconds, so a condition another thread makes true is seen too.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// True once the application has begun to shut down; waits give up then.
bool ApplicationClosingDown();

// Runs task from the event loop after the current event has been handled.
// Exceptions go to the application's exception handler.
void PostTask(std::function<void()> task);

// Frees an object from the event loop, so an object may be released from
// inside one of its own events.
template <class T>
void DeferDelete(std::unique_ptr<T> object) {
    if (!object) return;
    auto shared = std::shared_ptr<T>(std::move(object));
    PostTask([shared]() mutable { shared.reset(); });
}

// Milliseconds from an arbitrary start; only differences are meaningful.
int64_t TickCount();

} // namespace lumo
