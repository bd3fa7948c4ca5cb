// The waiting layer of the socket: a caller that must have a result before
// it goes on pumps the event loop until a flag is set, so the socket's own
// events (and everything else of the program) keep running meanwhile.
#pragma once

#include "net/line_socket.h"

namespace lumo {

// What WaitReady returns when it gave up.
inline constexpr int SocketWaitTimedOut = 12001;

class TSyncSocket : public TLineSocket {
public:
    // Milliseconds a wait may last; 0 for no limit.
    int Timeout = 0;

    // Clears done, runs proc (when given) and waits for done.
    int Synchronize(const std::function<void()>& proc, bool& done);
    // Pumps events until done is set: 0, or SocketWaitTimedOut when the
    // time-out passed or the application is shutting down.
    virtual int WaitReady(bool& done);
};

} // namespace lumo
