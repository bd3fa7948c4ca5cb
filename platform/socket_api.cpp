#include "platform/socket_api.h"

#include "platform/name_lookup.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <utility>

namespace lumo {

namespace {
thread_local int lastError = 0;

struct ErrnoMapping {
    int err, winsock;
};

// Sorted by errno value for the binary search below.
const auto ErrnoTable = [] {
    std::array<ErrnoMapping, 36> t{{
        {EINTR, WSAEINTR},
        {EBADF, WSAEBADF},
        {EACCES, WSAEACCES},
        {EPERM, WSAEACCES},
        {EFAULT, WSAEFAULT},
        {EINVAL, WSAEINVAL},
        {EMFILE, WSAEMFILE},
        {ENFILE, WSAEMFILE},
        {EAGAIN, WSAEWOULDBLOCK},
        {EINPROGRESS, WSAEWOULDBLOCK}, // a non-blocking connect under way
        {EALREADY, WSAEALREADY},
        {ENOTSOCK, WSAENOTSOCK},
        {EDESTADDRREQ, 10039},
        {EMSGSIZE, WSAEMSGSIZE},
        {EPROTOTYPE, 10041},
        {ENOPROTOOPT, 10042},
        {EPROTONOSUPPORT, 10043},
        {ESOCKTNOSUPPORT, 10044},
        {EOPNOTSUPP, 10045},
        {EPFNOSUPPORT, 10046},
        {EAFNOSUPPORT, 10047},
        {EADDRINUSE, WSAEADDRINUSE},
        {EADDRNOTAVAIL, WSAEADDRNOTAVAIL},
        {ENETDOWN, WSAENETDOWN},
        {ENETUNREACH, WSAENETUNREACH},
        {ENETRESET, 10052},
        {ECONNABORTED, WSAECONNABORTED},
        {ECONNRESET, WSAECONNRESET},
        {EPIPE, WSAECONNRESET},
        {ENOBUFS, WSAENOBUFS},
        {EISCONN, WSAEISCONN},
        {ENOTCONN, WSAENOTCONN},
        {ESHUTDOWN, WSAESHUTDOWN},
        {ETIMEDOUT, WSAETIMEDOUT},
        {ECONNREFUSED, WSAECONNREFUSED},
        {EHOSTUNREACH, WSAEHOSTUNREACH},
    }};
    std::sort(t.begin(), t.end(), [](auto a, auto b) { return a.err < b.err; });
    return t;
}();

int Fail() {
    lastError = WinSockErrorFromErrno(errno);
    return -1;
}

int Result(int r) {
    return r < 0 ? Fail() : r;
}

int SetIntOption(int fd, int level, int name, int value) {
    return Result(setsockopt(fd, level, name, &value, sizeof value));
}

sockaddr_in MakeAddress(InAddr address, int port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    sa.sin_addr.s_addr = address;
    return sa;
}
} // namespace

int WinSockErrorFromErrno(int err) {
    const auto it = std::lower_bound(ErrnoTable.begin(), ErrnoTable.end(), err,
                                     [](const ErrnoMapping& m, int e) { return m.err < e; });
    if (it != ErrnoTable.end() && it->err == err) return it->winsock;
    return err;
}

int SocketLastError() {
    return lastError;
}
void SocketSetLastError(int error) {
    lastError = error;
}

std::optional<InAddr> ParseDottedAddress(std::string_view text) {
    if (text.empty() || text.size() > 15) return std::nullopt;
    const std::string s(text);
    in_addr a{};
    if (inet_pton(AF_INET, s.c_str(), &a) != 1) return std::nullopt;
    return a.s_addr;
}

std::string DottedAddress(InAddr address) {
    in_addr a{};
    a.s_addr = address;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

int ServicePort(const std::string& name, const std::string& protocol) {
    servent entry{}, *found = nullptr;
    char buffer[1024];
    if (getservbyname_r(name.c_str(), protocol.c_str(), &entry, buffer, sizeof buffer, &found) !=
            0 ||
        !found)
        return -1;
    return ntohs(static_cast<uint16_t>(found->s_port));
}

int ProtocolNumber(const std::string& name) {
    // Every connection names its protocol: the usual two need no read of the
    // system's protocol list.
    static constexpr std::pair<const char*, int> known[] = {{"tcp", IPPROTO_TCP},
                                                            {"udp", IPPROTO_UDP}};
    for (const auto& [knownName, number] : known)
        if (name == knownName) return number;
    protoent entry{}, *found = nullptr;
    char buffer[1024];
    if (getprotobyname_r(name.c_str(), &entry, buffer, sizeof buffer, &found) != 0 || !found)
        return -1;
    return found->p_proto;
}

std::optional<InAddr> ResolveHostNow(const std::string& name) {
    const LookupResult found = ResolveName(name);
    if (found.error == 0 && !found.addresses.empty())
        if (const auto address = ParseDottedAddress(found.addresses.front())) return address;
    lastError = found.error != 0 ? found.error : WSAHOST_NOT_FOUND;
    return std::nullopt;
}

namespace sock {

int Create(bool stream, int protocol) {
    return Result(socket(
        AF_INET, (stream ? SOCK_STREAM : SOCK_DGRAM) | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol));
}

int Connect(int fd, InAddr address, int port) {
    const sockaddr_in sa = MakeAddress(address, port);
    return Result(connect(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa));
}

long Send(int fd, const void* data, size_t len, bool urgent) {
    const long n = send(fd, data, len, MSG_NOSIGNAL | (urgent ? MSG_OOB : 0));
    return n < 0 ? Fail() : n;
}

long Receive(int fd, void* buffer, size_t len) {
    const long n = recv(fd, buffer, len, 0);
    return n < 0 ? Fail() : n;
}

int PeerClosed(int fd) {
    char c;
    const long n = recv(fd, &c, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n == 0) return 1;
    if (n > 0 || errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    return Fail();
}

long Pending(int fd) {
    int n = 0;
    if (ioctl(fd, FIONREAD, &n) < 0) return Fail();
    return n;
}

int ConnectError(int fd) {
    int err = 0;
    socklen_t len = sizeof err;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) < 0) err = errno;
    return err ? WinSockErrorFromErrno(err) : 0;
}

int Close(int fd) {
    return Result(close(fd));
}

int Shutdown(int fd, Shut how) {
    const int native = how == Shut::Receive ? SHUT_RD : how == Shut::Send ? SHUT_WR : SHUT_RDWR;
    return Result(shutdown(fd, native));
}

int SetLinger(int fd, bool on, int seconds) {
    linger l{};
    l.l_onoff = on ? 1 : 0;
    l.l_linger = seconds;
    return Result(setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l));
}

int SetKeepAlive(int fd, bool on) {
    return SetIntOption(fd, SOL_SOCKET, SO_KEEPALIVE, on);
}
int SetReuseAddress(int fd, bool on) {
    return SetIntOption(fd, SOL_SOCKET, SO_REUSEADDR, on);
}
int SetBroadcast(int fd, bool on) {
    return SetIntOption(fd, SOL_SOCKET, SO_BROADCAST, on);
}

int Bind(int fd, InAddr address, int port) {
    const sockaddr_in sa = MakeAddress(address, port);
    return Result(bind(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa));
}

int Listen(int fd, int backlog) {
    return Result(listen(fd, backlog));
}

int Accept(int fd) {
    return Result(accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
}

int LocalPort(int fd) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) < 0) return Fail();
    return ntohs(sa.sin_port);
}

std::optional<InAddr> PeerAddress(int fd) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&sa), &len) < 0) {
        Fail();
        return std::nullopt;
    }
    return sa.sin_addr.s_addr;
}

std::string LocalHostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) < 0) return {};
    return name;
}

} // namespace sock

SocketWatcher::SocketWatcher(int fd, std::function<void(Ready)> onReady)
    : onReady_(std::move(onReady)),
      read_(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read)),
      write_(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write)) {
    read_->setEnabled(false);
    write_->setEnabled(false);
    QObject::connect(read_.get(), &QSocketNotifier::activated, [this] {
        read_->setEnabled(false);
        onReady_(Ready::Read);
    });
    QObject::connect(write_.get(), &QSocketNotifier::activated, [this] {
        write_->setEnabled(false);
        onReady_(Ready::Write);
    });
}

SocketWatcher::~SocketWatcher() = default;

void SocketWatcher::WatchRead(bool on) {
    read_->setEnabled(on);
}
void SocketWatcher::WatchWrite(bool on) {
    write_->setEnabled(on);
}

} // namespace lumo
