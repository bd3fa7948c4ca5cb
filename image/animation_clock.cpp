#include "image/animation_clock.h"

#include <chrono>

namespace lumo {

namespace {

class SteadyClock : public TAnimationClock {
public:
    int64_t Milliseconds() override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

SteadyClock steadyClock;
TAnimationClock* current = &steadyClock;

} // namespace

TAnimationClock& TheAnimationClock() {
    return *current;
}

TAnimationClock* SetAnimationClock(TAnimationClock* clock) {
    TAnimationClock* previous = current;
    current = clock ? clock : &steadyClock;
    return previous;
}

} // namespace lumo
