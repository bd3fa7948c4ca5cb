// The socket calls the network layer needs, over non-blocking POSIX sockets,
// with failures reported as WinSock error numbers so that every layer above
// speaks one set of numbers and texts. Only this file and its source include
// the system's socket headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QSocketNotifier;

namespace lumo {

// WinSock error numbers used by name in the code.
inline constexpr int WSAEINTR = 10004;
inline constexpr int WSAEBADF = 10009;
inline constexpr int WSAEACCES = 10013;
inline constexpr int WSAEFAULT = 10014;
inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEMFILE = 10024;
inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAEINPROGRESS = 10036;
inline constexpr int WSAEALREADY = 10037;
inline constexpr int WSAENOTSOCK = 10038;
inline constexpr int WSAEMSGSIZE = 10040;
inline constexpr int WSAEADDRINUSE = 10048;
inline constexpr int WSAEADDRNOTAVAIL = 10049;
inline constexpr int WSAENETDOWN = 10050;
inline constexpr int WSAENETUNREACH = 10051;
inline constexpr int WSAECONNABORTED = 10053;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAENOBUFS = 10055;
inline constexpr int WSAEISCONN = 10056;
inline constexpr int WSAENOTCONN = 10057;
inline constexpr int WSAESHUTDOWN = 10058;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;
inline constexpr int WSAEHOSTUNREACH = 10065;
inline constexpr int WSANOTINITIALISED = 10093;
inline constexpr int WSAHOST_NOT_FOUND = 11001;
inline constexpr int WSATRY_AGAIN = 11002;
inline constexpr int WSANO_RECOVERY = 11003;
inline constexpr int WSANO_DATA = 11004;

// The WinSock number for an errno value; unknown values pass through unchanged,
// which the error texts then call "Not a WinSock error".
int WinSockErrorFromErrno(int err);

// The WinSock number of the last failed call below on this thread.
int SocketLastError();
void SocketSetLastError(int error);

// An IPv4 address in network byte order.
using InAddr = uint32_t;

std::optional<InAddr> ParseDottedAddress(std::string_view text);
std::string DottedAddress(InAddr address);

// The port of a service name such as "http" for the protocol name, or -1.
int ServicePort(const std::string& name, const std::string& protocol);
// The number of a protocol name such as "tcp", or -1.
int ProtocolNumber(const std::string& name);
// A blocking look-up of the first IPv4 address of a host name, through the
// installed resolver when a test has set one.
std::optional<InAddr> ResolveHostNow(const std::string& name);

// The calls: each returns -1 on failure with SocketLastError() set. Ports are
// in host order. Sockets are created non-blocking and closed on exec.
namespace sock {
enum class Shut { Receive = 0, Send = 1, Both = 2 };

int Create(bool stream, int protocol);
int Connect(int fd, InAddr address, int port);
// Never raises SIGPIPE: a peer that has gone away is an error result.
long Send(int fd, const void* data, size_t len, bool urgent);
long Receive(int fd, void* buffer, size_t len);
// 1 when the peer has closed in order, 0 when it has not, -1 on an error
// (a reset, for example).
int PeerClosed(int fd);
// Bytes waiting to be read.
long Pending(int fd);
// The error of a finished non-blocking connect, 0 when it succeeded.
int ConnectError(int fd);
int Close(int fd);
int Shutdown(int fd, Shut how);
int SetLinger(int fd, bool on, int seconds);
int SetKeepAlive(int fd, bool on);
int SetReuseAddress(int fd, bool on);
int SetBroadcast(int fd, bool on);
int Bind(int fd, InAddr address, int port);
int Listen(int fd, int backlog);
int Accept(int fd);
int LocalPort(int fd);
std::optional<InAddr> PeerAddress(int fd);
std::string LocalHostName();
} // namespace sock

// Watches a descriptor for readiness from the event loop. The callback runs
// once per readiness; the watch stays off until it is enabled again, so the
// owner decides when it is ready for more.
class SocketWatcher {
public:
    enum class Ready { Read, Write };
    SocketWatcher(int fd, std::function<void(Ready)> onReady);
    ~SocketWatcher();
    SocketWatcher(const SocketWatcher&) = delete;
    SocketWatcher& operator=(const SocketWatcher&) = delete;

    void WatchRead(bool on);
    void WatchWrite(bool on);

private:
    std::function<void(Ready)> onReady_;
    std::unique_ptr<QSocketNotifier> read_, write_;
};

} // namespace lumo
