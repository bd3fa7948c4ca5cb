// A repeating timer driven by the event loop.
#pragma once

#include <functional>
#include <memory>

class QTimer;

namespace lumo {

class Timer {
public:
    Timer();
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // Milliseconds between ticks; changing it restarts a running timer.
    void SetInterval(int milliseconds);
    int Interval() const;

    void SetEnabled(bool enabled);
    bool Enabled() const;

    // Runs on every tick; exceptions go to the application's exception handler.
    std::function<void()> OnTimer;

private:
    std::unique_ptr<QTimer> timer_;
};

} // namespace lumo
