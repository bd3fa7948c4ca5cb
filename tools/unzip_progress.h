// Progress of an extraction as the window shows it.
#pragma once

#include <cstdint>

namespace lumo {

// round(done / total x 100), held to 0..100; 0 when there is nothing to do
// (an archive of empty members), never a division by zero.
int ProgressPercent(uint64_t done, uint64_t total);

// Lets an update through at most once per interval, so a member written in
// thousands of pieces, or thousands of small members, redraw the window about
// 30 times a second instead of once per piece.
class TUpdateThrottle {
public:
    static constexpr int64_t DefaultIntervalMs = 33;
    explicit TUpdateThrottle(int64_t intervalMs = DefaultIntervalMs) : interval_(intervalMs) {}

    // Whether an update at time nowMs (milliseconds) is due; it is then counted
    // as made.
    bool Due(int64_t nowMs) {
        if (made_ && nowMs - last_ < interval_) return false;
        made_ = true;
        last_ = nowMs;
        return true;
    }
    // The next update goes through whenever it comes.
    void Reset() { made_ = false; }

private:
    int64_t interval_;
    int64_t last_ = 0;
    bool made_ = false;
};

} // namespace lumo
