// Runs the event loop until a condition holds or time runs out, so a test
// that goes wrong fails instead of hanging.
#pragma once

#include "platform/message_loop.h"

#include <functional>

namespace lumo::test {

inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 10000) {
    return WaitUntil(done, milliseconds);
}

inline void PumpFor(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

} // namespace lumo::test
