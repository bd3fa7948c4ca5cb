#include "net/async_socket.h"

#include "platform/message_loop.h"
#include "platform/name_lookup.h"
#include "platform/socket_api.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace lumo {

namespace {

struct ErrorText {
    int error;
    const char* text;
};

constexpr ErrorText ErrorTexts[] = {
    {0, "No Error"},
    {10004, "Interrupted system call"},
    {10009, "Bad file number"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open files"},
    {10035, "Operation would block"},
    {10036, "Operation now in progress"},
    {10037, "Operation already in progress"},
    {10038, "Socket operation on non-socket"},
    {10039, "Destination address required"},
    {10040, "Message too long"},
    {10041, "Protocol wrong type for socket"},
    {10042, "Protocol not available"},
    {10043, "Protocol not supported"},
    {10044, "Socket type not supported"},
    {10045, "Operation not supported on socket"},
    {10046, "Protocol family not supported"},
    {10047, "Address family not supported by protocol family"},
    {10048, "Address already in use"},
    {10049, "Address not available"},
    {10050, "Network is down"},
    {10051, "Network is unreachable"},
    {10052, "Network dropped connection on reset"},
    {10053, "Connection aborted"},
    {10054, "Connection reset by peer"},
    {10055, "No buffer space available"},
    {10056, "Socket is already connected"},
    {10057, "Socket is not connected"},
    {10058, "Can't send after socket shutdown"},
    {10059, "Too many references: can't splice"},
    {10060, "Connection timed out"},
    {10061, "Connection refused"},
    {10062, "Too many levels of symbolic links"},
    {10063, "File name too long"},
    {10064, "Host is down"},
    {10065, "No route to host"},
    {10066, "Directory not empty"},
    {10067, "Too many processes"},
    {10068, "Too many users"},
    {10069, "Disc quota exceeded"},
    {10070, "Stale NFS file handle"},
    {10071, "Too many levels of remote in path"},
    {10091, "Network sub-system is unusable"},
    {10092, "WinSock DLL cannot support this application"},
    {10093, "WinSock not initialized"},
    {11001, "Host not found"},
    {11002, "Non-authoritative host not found"},
    {11003, "Non-recoverable error"},
    {11004, "No Data"},
};

std::string Format(const char* fmt, const std::string& s) {
    char text[512];
    std::snprintf(text, sizeof text, fmt, s.c_str());
    return text;
}

std::string Format(const char* fmt, int n) {
    char text[256];
    std::snprintf(text, sizeof text, fmt, n);
    return text;
}

// The leading decimal number of text (after spaces), or -1 when it is missing
// or larger than limit.
long LeadingNumber(std::string_view text, long limit) {
    text = TrimLeft(text);
    long value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data() || value > limit) return -1;
    return value;
}

bool StartsWithDigit(std::string_view s) {
    s = TrimLeft(s);
    return !s.empty() && s[0] >= '0' && s[0] <= '9';
}

} // namespace

InAddr ResolveHostAddress(const std::string& host) {
    if (host.empty() || host.size() >= 257)
        throw ESocketException("WSocketResolveHost: '" + host + "' Invalid Hostname.");
    const std::string trimmed(Trim(host));
    if (StartsWithDigit(trimmed)) {
        if (auto a = ParseDottedAddress(trimmed)) return *a;
        throw ESocketException("WSocketResolveHost: '" + host + "' Invalid IP address.");
    }
    if (auto a = ResolveHostNow(trimmed)) return *a;
    throw ESocketException(Format("WSocketResolveHost: Cannot convert host address '%s'", host));
}

int ResolvePortNumber(const std::string& port, const std::string& proto) {
    if (port.empty() || port.size() >= 32)
        throw ESocketException("WSocketResolvePort: Invalid Port.");
    if (StartsWithDigit(port)) {
        const long n = LeadingNumber(port, 65535);
        if (n < 0) throw ESocketException("WSocketResolvePort: Invalid Port.");
        return static_cast<int>(n);
    }
    const int n = ServicePort(port, proto);
    if (n < 0) throw ESocketException(Format("WSocketResolvePort: Cannot convert port '%s'", port));
    return n;
}

namespace {

int ResolveProto(const std::string& proto) {
    if (proto.empty() || proto.size() >= 32)
        throw ESocketException("WSocketResolveProto: Invalid Protocol.");
    if (StartsWithDigit(proto)) {
        const long n = LeadingNumber(proto, 255);
        if (n < 0) throw ESocketException("WSocketResolveProto: Invalid Protocol.");
        return static_cast<int>(n);
    }
    const int n = ProtocolNumber(proto);
    if (n < 0)
        throw ESocketException(Format("WSocketResolveProto: Cannot convert protocol '%s'", proto));
    return n;
}

constexpr int UdpProtocol = 17;

LPARAM MakeSelectParam(int events, int error) {
    return static_cast<LPARAM>((static_cast<uint32_t>(error & 0xFFFF) << 16) | (events & 0xFFFF));
}

} // namespace

std::string SocketErrorText(int error) {
    for (const auto& e : ErrorTexts)
        if (e.error == error) return e.text;
    return "Not a WinSock error";
}

TAsyncSocket::TAsyncSocket()
    : window_(std::make_unique<MessageWindow>(
          [this](UINT msg, WPARAM w, LPARAM l) { return WndProc(msg, w, l); })),
      alive_(std::make_shared<bool>(true)) {}

TAsyncSocket::~TAsyncSocket() {
    destroying_ = true;
    CancelLookup();
    if (handle_ >= 0) CloseAndNotify(false, 0);
    DropQueue();
    *alive_ = false;
}

bool TAsyncSocket::ChangeProperty(const char* name, std::string& field, bool& assigned,
                                  bool& resolved, std::string_view value) {
    if (state_ != wsClosed) {
        ReportError(std::string("Cannot change ") + name + " if not closed");
        return false;
    }
    const std::string v(Trim(value));
    if (v == field && assigned) return false;
    field = v;
    assigned = !v.empty();
    resolved = false;
    return true;
}

void TAsyncSocket::SetAddr(std::string_view value) {
    ChangeProperty("Addr", addr_, addrAssigned_, addrResolved_, value);
}

void TAsyncSocket::SetPort(std::string_view value) {
    ChangeProperty("Port", port_, portAssigned_, portResolved_, value);
}

void TAsyncSocket::SetProto(std::string_view value) {
    if (ChangeProperty("Proto", proto_, protoAssigned_, protoResolved_, value))
        portResolved_ = false; // a service name depends on the protocol
}

void TAsyncSocket::SetLocalPort(std::string_view value) {
    bool assigned = false; // an empty local port means any
    ChangeProperty("LocalPort", localPort_, assigned, localPortResolved_, value);
}

TSocketSendFlags TAsyncSocket::SendFlags() const {
    return sendFlags_;
}

void TAsyncSocket::SetSendFlags(int flags) {
    if (flags != wsSendNormal && flags != wsSendUrgent) return ReportError("Invalid SendFlags");
    sendFlags_ = static_cast<TSocketSendFlags>(flags);
}

long TAsyncSocket::RcvdCount() {
    return PendingByteCount();
}

long TAsyncSocket::PendingByteCount() {
    if (handle_ < 0) return 0;
    const long n = sock::Pending(handle_);
    if (n < 0) ReportSocketError("ioctlSocket");
    return n;
}

void TAsyncSocket::ChangeState(TSocketState newState) {
    const TSocketState old = state_;
    state_ = newState;
    if (old != newState) TriggerChangeState(old, newState);
}

void TAsyncSocket::ResetDefaults() {
    proto_ = "tcp";
    protoAssigned_ = true;
    protoResolved_ = false;
    localPort_ = "0";
    localPortResolved_ = false;
    addr_.clear();
    port_.clear();
    addrAssigned_ = portAssigned_ = false;
    addrResolved_ = portResolved_ = false;
    LingerOnOff = wsLingerOn;
    LingerTimeout = 0;
    state_ = wsClosed;
    readCount_ = 0;
    allSent_ = true;
    dataSentDue_ = false;
    receiveError_ = 0;
    FlushTimeout = 60;
}

void TAsyncSocket::ReadyToWatch(int handle) {
    handle_ = handle;
    sessionOpen_ = true;
    const WPARAM generation = ++generation_;
    watcher_ = std::make_unique<SocketWatcher>(handle, [this, generation](SocketWatcher::Ready r) {
        if (generation != generation_ || handle_ < 0) return;
        if (r == SocketWatcher::Ready::Read)
            window_->Post(WM_ASYNCSELECT, generation,
                          state_ == wsListening && stream_ ? FD_ACCEPT : FD_READ);
        else if (state_ == wsConnecting)
            window_->Post(WM_ASYNCSELECT, generation,
                          MakeSelectParam(FD_CONNECT, sock::ConnectError(handle_)));
        else
            window_->Post(WM_ASYNCSELECT, generation, FD_WRITE);
    });
}

void TAsyncSocket::WatchForMore() {
    if (!watcher_ || handle_ < 0 || paused_) return;
    watcher_->WatchRead(state_ == wsConnected || state_ == wsListening);
    watcher_->WatchWrite(state_ == wsConnecting || (state_ == wsConnected && !allSent_));
}

void TAsyncSocket::Connect() {
    if (handle_ >= 0 && state_ != wsClosed) return ReportError("Connect: Socket already in use");
    if (!portAssigned_) return ReportError("Connect: No Port Specified");
    if (!addrAssigned_) return ReportError("Connect: No IP Address Specified");
    if (!protoAssigned_) return ReportError("Connect: No Protocol Specified");

    if (!protoResolved_) {
        protocol_ = ResolveProto(proto_);
        stream_ = protocol_ != UdpProtocol;
        protoResolved_ = true;
    }
    const TEndpoint remote = ConnectEndpoint();
    if (!localPortResolved_) {
        localPortNumber_ =
            localPort_.empty() ? 0 : ResolvePortNumber(localPort_, stream_ ? "tcp" : "udp");
        localPortResolved_ = true;
    }

    DropQueue();
    const int fd = sock::Create(stream_, protocol_);
    if (fd < 0) return ReportSocketError("Connect (socket)");
    ReadyToWatch(fd);
    ChangeState(wsOpened);

    if (stream_) {
        if (localPortNumber_ != 0) BindLocal();
        SetLingerOption();
        if (sock::SetKeepAlive(handle_, true) < 0)
            return ReportSocketError("setsockopt(SO_KEEPALIVE)");
        if (sock::SetReuseAddress(handle_, true) < 0)
            return ReportSocketError("setsockopt(SO_REUSEADDR)");
        if (sock::Connect(handle_, remote.Address, remote.Port) < 0) {
            const int error = SocketLastError();
            if (error != WSAEWOULDBLOCK) {
                // Refused at once: reported like a connect that failed later,
                // so the owner always hears of it through OnSessionConnected.
                lastError_ = error;
                ChangeState(wsConnecting);
                window_->Post(WM_ASYNCSELECT, generation_, MakeSelectParam(FD_CONNECT, error));
                return;
            }
        }
        ChangeState(wsConnecting);
        WatchForMore();
    } else {
        BindLocal();
        if (remote.Address == 0xFFFFFFFFu && sock::SetBroadcast(handle_, true) < 0)
            return ReportSocketError("setsockopt(SO_BROADCAST)");
        if (sock::Connect(handle_, remote.Address, remote.Port) < 0)
            return ReportSocketError("Connect");
        ChangeState(wsConnected);
        WatchForMore();
        TriggerSessionConnected(0);
    }
}

TAsyncSocket::TEndpoint TAsyncSocket::ConnectEndpoint() {
    if (!portResolved_) {
        remotePort_ = ResolvePortNumber(port_, stream_ ? "tcp" : "udp");
        portResolved_ = true;
    }
    if (!addrResolved_) {
        remoteAddress_ = ResolveHostAddress(addr_);
        addrResolved_ = true;
    }
    return {remoteAddress_, remotePort_};
}

void TAsyncSocket::SetLingerOption() {
    if (LingerOnOff == wsLingerNoSet) return;
    if (handle_ < 0) return ReportError("Cannot set linger option at this time");
    if (sock::SetLinger(handle_, LingerOnOff == wsLingerOn, LingerTimeout) < 0)
        ReportSocketError("setsockopt(SO_LINGER)");
}

void TAsyncSocket::BindLocal() {
    if (sock::Bind(handle_, 0, localPortNumber_) < 0)
        return ReportError(Format("winsock.bind failed, error #%d", SocketLastError()));
    const int port = sock::LocalPort(handle_);
    if (port < 0)
        return ReportError(Format("winsock.getsockname failed, error #%d", SocketLastError()));
    localPortNumber_ = port;
    localPort_ = std::to_string(port);
}

void TAsyncSocket::Listen() {
    if (!portAssigned_) return ReportError("Listen: port not assigned");
    if (!protoResolved_) {
        protocol_ = ResolveProto(proto_);
        stream_ = protocol_ != UdpProtocol;
        protoResolved_ = true;
    }
    const int port = ResolvePortNumber(port_, stream_ ? "tcp" : "udp");
    const InAddr address = addrAssigned_ ? ResolveHostAddress(addr_) : 0;
    const int fd = sock::Create(stream_, protocol_);
    if (fd < 0) return ReportSocketError("socket");
    ReadyToWatch(fd);
    ChangeState(wsOpened);
    sock::SetReuseAddress(handle_, true);
    if (sock::Bind(handle_, address, port) < 0) return ReportSocketError("bind");
    ChangeState(wsBound);
    if (stream_ && sock::Listen(handle_, 5) < 0) return ReportSocketError("listen");
    ChangeState(wsListening);
    WatchForMore();
}

int TAsyncSocket::Accept() {
    if (handle_ < 0 || state_ != wsListening) {
        lastError_ = WSAEINVAL;
        return -1;
    }
    const int fd = sock::Accept(handle_);
    if (fd < 0) lastError_ = SocketLastError();
    return fd;
}

void TAsyncSocket::AdoptHandle(int handle) {
    if (handle_ >= 0) CloseAndNotify(false, 0);
    ReadyToWatch(handle);
    ChangeState(wsConnected);
    WatchForMore();
}

int TAsyncSocket::RecvRaw(void* buffer, int len) {
    if (handle_ < 0) {
        SocketSetLastError(WSAENOTSOCK);
        return -1;
    }
    return static_cast<int>(sock::Receive(handle_, buffer, static_cast<size_t>(std::max(len, 0))));
}

int TAsyncSocket::Receive(void* buffer, int len) {
    const int n = RecvRaw(buffer, len);
    if (n < 0) {
        lastError_ = SocketLastError();
        if (lastError_ != WSAEWOULDBLOCK) receiveError_ = lastError_;
        received_ = lastError_ == WSAEWOULDBLOCK ? Received::WouldBlock : Received::Failure;
    } else {
        readCount_ += n;
        if (n > 0)
            received_ = n == len ? Received::Full : Received::Part;
        else if (len > 0)
            received_ = Received::End;
    }
    return n;
}

std::string TAsyncSocket::ReceiveString() {
    const long pending = RcvdCount();
    if (pending <= 0) return {};
    std::string s(static_cast<size_t>(pending), '\0');
    const int n = Receive(s.data(), static_cast<int>(s.size()));
    s.resize(static_cast<size_t>(std::max(n, 0)));
    return s;
}

int TAsyncSocket::Send(const void* data, int len) {
    if (len <= 0) return 0;
    if (state_ != wsConnected) {
        SocketSetLastError(WSAENOTCONN);
        ReportSocketError("Send");
        return -1;
    }
    allSent_ = false;
    dataSentDue_ = true;
    const char* bytes = static_cast<const char*>(data);
    for (int done = 0; done < len;) {
        if (queue_.empty() || queue_.back().Full()) queue_.emplace_back(TSendBuffer::DefaultSize);
        done += queue_.back().Write(bytes + done, len - done);
    }
    SendQueued();
    if (handle_ < 0) return len; // closed by a failed send
    if (allSent_)
        window_->Post(WM_ASYNCSELECT, generation_, FD_WRITE); // OnDataSent comes from the loop
    else if (watcher_ && !paused_)
        watcher_->WatchWrite(true);
    return len;
}

void TAsyncSocket::SendQueued() {
    while (handle_ >= 0 && !queue_.empty()) {
        TSendBuffer& first = queue_.front();
        int len = 0;
        const char* p = first.Peek(len);
        if (len > 0) {
            const long n =
                sock::Send(handle_, p, static_cast<size_t>(len), sendFlags_ == wsSendUrgent);
            if (n < 0) {
                const int error = SocketLastError();
                if (error == WSAEWOULDBLOCK) return;
                if (error == WSAECONNRESET || error == WSAENOTSOCK || error == WSAENOTCONN ||
                    error == WSAEINVAL)
                    return CloseAndNotify(false, error);
                lastError_ = error;
                return ReportSocketError("TryToSend failed");
            }
            if (n == 0) return;
            first.Remove(static_cast<int>(n));
            if (n < len) return;
        }
        if (queue_.size() > 1) {
            queue_.pop_front();
        } else {
            allSent_ = true;
            return;
        }
    }
}

void TAsyncSocket::DropQueue() {
    queue_.clear();
    allSent_ = true;
}

void TAsyncSocket::Flush() {
    SendQueued();
    WatchForMore();
    WaitUntil([this] { return handle_ < 0 || allSent_; });
}

void TAsyncSocket::DrainUntilClosed() {
    if (handle_ < 0) return;
    auto keep = std::move(OnDataAvailable);
    OnDataAvailable = nullptr; // the read loop throws unclaimed data away
    const auto alive = alive_;
    WaitUntil([&] { return !*alive || handle_ < 0 || state_ == wsClosed; });
    if (*alive) OnDataAvailable = std::move(keep);
}

void TAsyncSocket::Close() {
    CloseAndNotify(true, 0);
}

void TAsyncSocket::CloseAndNotify(bool shut, int error) {
    const int handle = handle_;
    if (handle >= 0) {
        if (shut && state_ != wsClosed) sock::Shutdown(handle, sock::Shut::Send);
        watcher_.reset();
        handle_ = -1;
        ++generation_;
        if (sock::Close(handle) < 0 && SocketLastError() != WSANOTINITIALISED && state_ != wsClosed)
            ReportSocketError("Disconnect (closesocket)");
    }
    const WPARAM generation = generation_;
    ChangeState(wsClosed);
    // The owner may free the socket or open a new connection meanwhile.
    if (!EndSession(error) || generation != generation_) return;
    DropQueue();
    ResetDefaults();
}

bool TAsyncSocket::EndSession(int error) {
    if (!sessionOpen_ || destroying_) return true;
    sessionOpen_ = false;
    const auto alive = alive_;
    TriggerSessionClosed(static_cast<uint16_t>(error));
    return *alive;
}

void TAsyncSocket::Abort() {
    CancelLookup();
    DropQueue();
    if (handle_ >= 0 && state_ == wsConnected && stream_) sock::SetLinger(handle_, false, 0);
    CloseAndNotify(false, 0);
}

void TAsyncSocket::Shutdown(int how) {
    if (handle_ >= 0) sock::Shutdown(handle_, static_cast<sock::Shut>(std::clamp(how, 0, 2)));
}

void TAsyncSocket::Pause() {
    paused_ = true;
    if (watcher_) {
        watcher_->WatchRead(false);
        watcher_->WatchWrite(false);
    }
}

void TAsyncSocket::Resume() {
    paused_ = false;
    WatchForMore();
}

void TAsyncSocket::ProcessMessages() {
    lumo::ProcessMessages();
}

std::string TAsyncSocket::PeerAddress() {
    if (state_ != wsConnected || handle_ < 0) return "error";
    const auto a = sock::PeerAddress(handle_);
    return a ? DottedAddress(*a) : "error";
}

std::string TAsyncSocket::LocalPortText() {
    if (handle_ < 0 || (state_ != wsBound && state_ != wsConnected && state_ != wsListening))
        return "error";
    const int port = sock::LocalPort(handle_);
    return port < 0 ? "error" : std::to_string(port);
}

std::string TAsyncSocket::LocalName() {
    return sock::LocalHostName();
}

void TAsyncSocket::LookupHost(const std::string& hostName) {
    if (hostName.empty()) {
        ReportError("DNS lookup: invalid host name.");
        return TriggerDnsLookupDone(WSAEINVAL);
    }
    StopLookup();
    dnsResult_.clear();
    dnsResultList_.clear();
    if (const auto a = ParseDottedAddress(hostName)) {
        dnsResult_ = DottedAddress(*a);
        dnsResultList_.push_back(dnsResult_);
        return TriggerDnsLookupDone(0);
    }
    StartLookup(hostName, false);
}

void TAsyncSocket::AddressLookup(const std::string& hostAddr) {
    if (hostAddr.empty()) {
        ReportError("DNS lookup: invalid host address.");
        return TriggerDnsLookupDone(WSAEINVAL);
    }
    StopLookup();
    dnsResult_.clear();
    dnsResultList_.clear();
    StartLookup(hostAddr, true);
}

void TAsyncSocket::StartLookup(const std::string& name, bool reverse) {
    lookupId_ = StartNameLookup(name, reverse, [this, reverse](const LookupResult& r) {
        lookupAddresses_ = r.addresses;
        window_->Send(reverse ? WM_ASYNCGETHOSTBYADDR : WM_ASYNCGETHOSTBYNAME, lookupId_,
                      MakeSelectParam(0, r.error));
    });
}

bool TAsyncSocket::StopLookup() {
    if (lookupId_ == 0) return false;
    CancelNameLookup(lookupId_);
    lookupId_ = 0;
    return true;
}

void TAsyncSocket::CancelLookup() {
    if (StopLookup() && !destroying_) TriggerDnsLookupDone(WSAEINTR);
}

void TAsyncSocket::LookupDone(WPARAM id, int error) {
    if (id == 0 || id != lookupId_) return;
    lookupId_ = 0;
    if (error == 0) {
        dnsResultList_ = std::move(lookupAddresses_);
        if (!dnsResultList_.empty()) dnsResult_ = dnsResultList_.front();
    }
    lookupAddresses_.clear();
    TriggerDnsLookupDone(static_cast<uint16_t>(error));
}

LRESULT TAsyncSocket::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ASYNCSELECT:
        if (wParam != generation_ || handle_ < 0 || paused_) return 0;
        RunGuarded([&] {
            const auto alive = alive_;
            Notify(static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF));
            if (*alive && wParam == generation_) WatchForMore();
        });
        return 0;
    case WM_ASYNCGETHOSTBYNAME:
    case WM_ASYNCGETHOSTBYADDR:
        RunGuarded([&] { LookupDone(wParam, static_cast<int>((lParam >> 16) & 0xFFFF)); });
        return 0;
    default: return 0;
    }
}

void TAsyncSocket::RunGuarded(const std::function<void()>& step) {
    const auto alive = alive_;
    try {
        step();
    } catch (const std::exception& e) {
        if (*alive) HandleEventException(e);
    }
}

void TAsyncSocket::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    window_->Post(msg, wParam, lParam);
}

void TAsyncSocket::Notify(int events, int error) {
    const auto alive = alive_;
    const WPARAM generation = generation_;
    const auto same = [&] { return *alive && generation == generation_ && handle_ >= 0; };
    const auto code = static_cast<uint16_t>(error);

    if (events & FD_CONNECT) {
        if (state_ != wsConnecting) return;
        ChangeState(wsConnected);
        TriggerSessionConnected(code);
        if (!same()) return;
        if (error != 0) {
            if (state_ != wsClosed) Close();
            return;
        }
    }
    if (events & FD_READ) {
        ReadLoop(error);
        if (!same()) return;
        // A receive of nothing means the peer has closed. When the last receive
        // failed, or the handler took nothing, only a look at the socket tells.
        const int closed = received_ == Received::End ? 1
                           : received_ == Received::Failure || received_ == Received::Nothing
                               ? sock::PeerClosed(handle_)
                               : 0;
        if (closed != 0) {
            events |= FD_CLOSE;
            error = closed < 0 ? SocketLastError() : receiveError_;
        }
    }
    if (events & FD_WRITE) {
        SendQueued();
        if (!same()) return;
        if (allSent_ && dataSentDue_) {
            dataSentDue_ = false;
            TriggerDataSent(code);
            if (!same()) return;
        }
    }
    if (events & FD_ACCEPT) {
        TriggerSessionAvailable(code);
        if (!same()) return;
    }
    if ((events & FD_CLOSE) && state_ != wsConnecting) {
        ReadLoop(0);
        if (!same()) return;
        EndSession(error);
        if (!same()) return;
        if (state_ != wsClosed) Close();
    }
}

void TAsyncSocket::ReadLoop(int error) {
    const auto alive = alive_;
    const WPARAM generation = generation_;
    while (true) {
        lastError_ = 0;
        received_ = Received::Nothing;
        if (!TriggerDataAvailable(static_cast<uint16_t>(error))) {
            char junk[1024];
            Receive(junk, sizeof junk);
        }
        if (!*alive || generation != generation_ || handle_ < 0) return;
        // A receive that filled its buffer may have left more behind; any
        // other outcome waits for the next readiness.
        if (received_ != Received::Full) return;
    }
}

void TAsyncSocket::ReportSocketError(const std::string& function) {
    const int n = SocketLastError();
    if ((n == WSAECONNRESET || n == WSAENOTCONN) && handle_ >= 0) {
        watcher_.reset();
        sock::Close(handle_);
        handle_ = -1;
        ++generation_;
        ChangeState(wsClosed);
        if (!EndSession(n)) return; // the owner freed the socket: nobody to report to
    }
    lastError_ = n;
    ReportError("Error " + std::to_string(n) + " in function " + function + "\r\n" +
                SocketErrorText(n));
}

void TAsyncSocket::ReportError(const std::string& msg) {
    if (!OnError) throw ESocketException(msg);
    TriggerError();
}

void TAsyncSocket::HandleEventException(const std::exception& e) {
    bool canClose = true;
    if (OnBgException) OnBgException(this, e, canClose);
    if (canClose) Abort();
}

bool TAsyncSocket::TriggerDataAvailable(uint16_t error) {
    if (!OnDataAvailable) return false;
    OnDataAvailable(this, error);
    return true;
}

void TAsyncSocket::TriggerSessionAvailable(uint16_t error) {
    if (OnSessionAvailable) OnSessionAvailable(this, error);
}

void TAsyncSocket::TriggerSessionConnected(uint16_t error) {
    if (OnSessionConnected) OnSessionConnected(this, error);
}

void TAsyncSocket::TriggerSessionClosed(uint16_t error) {
    if (OnSessionClosed) OnSessionClosed(this, error);
}

void TAsyncSocket::TriggerDataSent(uint16_t error) {
    if (OnDataSent) OnDataSent(this, error);
}

void TAsyncSocket::TriggerChangeState(TSocketState oldState, TSocketState newState) {
    if (OnChangeState) OnChangeState(this, oldState, newState);
}

void TAsyncSocket::TriggerDnsLookupDone(uint16_t error) {
    if (OnDnsLookupDone) OnDnsLookupDone(this, error);
}

void TAsyncSocket::TriggerError() {
    if (OnError) OnError(this);
}

} // namespace lumo
