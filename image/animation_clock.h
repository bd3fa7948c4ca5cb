// The millisecond clock animations are timed by. Tests install their own so
// a GIF animation can be stepped through without waiting.
#pragma once

#include <cstdint>

namespace lumo {

class TAnimationClock {
public:
    virtual ~TAnimationClock() = default;
    // Milliseconds since an arbitrary start; never goes back.
    virtual int64_t Milliseconds() = 0;
};

TAnimationClock& TheAnimationClock();
// Installs a borrowed replacement and returns the previous one; null restores
// the system's steady clock.
TAnimationClock* SetAnimationClock(TAnimationClock* clock);

} // namespace lumo
