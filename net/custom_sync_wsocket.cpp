#include "net/custom_sync_wsocket.h"

#include "platform/message_loop.h"

namespace lumo {

int TCustomSyncWSocket::Synchronize(const std::function<void()>& proc, bool& done) {
    done = false;
    if (proc) proc();
    return WaitReady(done);
}

int TCustomSyncWSocket::WaitReady(bool& done) {
    const auto ready = [&] { return done || ApplicationClosingDown(); };
    if (Timeout > 0)
        WaitUntil(ready, Timeout);
    else
        WaitUntil(ready);
    return done ? 0 : WSocketWaitTimedOut;
}

} // namespace lumo
