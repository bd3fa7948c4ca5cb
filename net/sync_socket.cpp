#include "net/sync_socket.h"

#include "platform/message_loop.h"

namespace lumo {

int TSyncSocket::Synchronize(const std::function<void()>& proc, bool& done) {
    done = false;
    if (proc) proc();
    return WaitReady(done);
}

int TSyncSocket::WaitReady(bool& done) {
    const auto ready = [&] { return done || ApplicationClosingDown(); };
    if (Timeout > 0)
        WaitUntil(ready, Timeout);
    else
        WaitUntil(ready);
    return done ? 0 : SocketWaitTimedOut;
}

} // namespace lumo
