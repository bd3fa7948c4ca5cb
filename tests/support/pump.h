// Runs the event loop until a condition holds or time runs out, so a test
// that goes wrong fails instead of hanging.
#pragma once

#include "platform/message_loop.h"
#include "platform/timer.h"

#include <functional>

namespace lumo::test {

inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 10000) {
    Timer tick; // wakes the wait so the deadline is seen
    tick.SetInterval(10);
    tick.OnTimer = [] {};
    tick.SetEnabled(true);
    const int64_t end = TickCount() + milliseconds;
    WaitUntil([&] { return done() || TickCount() >= end; });
    return done();
}

inline void PumpFor(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

} // namespace lumo::test
