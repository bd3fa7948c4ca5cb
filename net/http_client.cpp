#include "net/http_client.h"

#include "address/address.h"
#include "net/socket.h"
#include "platform/message_loop.h"
#include "platform/message_window.h"
#include "platform/socket_api.h"
#include "platform/stream.h"
#include "platform/text.h"
#include "platform/timer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace lumo {

namespace {

constexpr size_t SendChunkSize = 8193;

const char* MethodOf(THttpRequest rq) {
    switch (rq) {
    case httpPOST: return "POST";
    case httpHEAD: return "HEAD";
    default: return "GET";
    }
}

// Spaces and control characters cannot stand in a request line.
std::string EncodeRequestPath(std::string_view path) {
    return EncodePercents(path, [](unsigned char c) { return c <= 0x20 || c == 0x7F; });
}

bool SafeHeaderValue(std::string_view v) {
    return v.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool ValidPort(std::string_view port) {
    if (port.empty() || port.size() > 5) return false;
    int n = 0;
    for (const char c : port) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= 65535;
}

// The path to request: without the fragment, which never goes to the server,
// and starting with "/" ("http://host?x=1" asks for "/?x=1").
std::string RequestPathOf(std::string_view path) {
    path = path.substr(0, path.find('#'));
    return path.starts_with('/') ? std::string(path) : "/" + std::string(path);
}

// The last path segment without its query; "document.htm" for none.
std::string DocumentNameOf(std::string_view path) {
    if (path.empty() || path == "/") return "document.htm";
    if (path.back() == '/') path.remove_suffix(1);
    std::string name(path.substr(path.rfind('/') + 1).substr(0, 255));
    return name.substr(0, name.find('?'));
}

using ReaderFailure = THttpResponseReader::Failure;
constexpr std::pair<ReaderFailure, uint16_t> ReaderFailures[] = {
    {ReaderFailure::LineTooLong, httperrLineTooLong},
    {ReaderFailure::HeaderTooLarge, httperrHeaderTooLarge},
    {ReaderFailure::BadStatusLine, httperrBadStatusLine},
    {ReaderFailure::BadContentLength, httperrBadContentLength},
};

// Statuses whose responses carry no document.
bool BodyExpected(int status) {
    return status >= 200 && status != 204 && status != 304;
}

} // namespace

std::string Base64Encode(std::string_view bytes) {
    static const char Alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 2]);
        out += Alphabet[(v >> 18) & 63];
        out += Alphabet[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? Alphabet[(v >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? Alphabet[v & 63] : '=';
    }
    return out;
}

std::string HttpDate(double dateTime) {
    static const char Days[] = "MonTueWedThuFriSatSun";
    static const char Months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const auto days = static_cast<int64_t>(std::floor(dateTime));
    int64_t seconds = std::llround((dateTime - static_cast<double>(days)) * 86400.0);
    seconds = std::clamp<int64_t>(seconds, 0, 86399);
    // Civil date from a day count (days since 1970-01-01; 30 December 1899 is -25569).
    const int64_t z = days - 25569 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    const int64_t weekday = (((days - 2) % 7) + 7) % 7;
    char text[64];
    std::snprintf(text, sizeof text, "%.3s, %2.2d %.3s %4.4d %2.2d:%2.2d:%2.2d", Days + weekday * 3,
                  static_cast<int>(day), Months + (month - 1) * 3, static_cast<int>(year),
                  static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60));
    return text;
}

template <class Event, class... Args>
bool THttpClient::Raise(const Event& event, Args&&... args) {
    const RequestWatch gone(*this);
    if (event) {
        const Event handler = event;
        handler(this, std::forward<Args>(args)...);
    }
    return !gone();
}

template <class Step>
void THttpClient::Guarded(Step&& step) {
    const auto alive = alive_;
    try {
        step();
    } catch (const std::exception& e) {
        if (*alive) FailAfterEvent(e.what());
    }
}

// A request that was ending still ends, but as a failure when it was to succeed.
void THttpClient::FailAfterEvent(const std::string& reason) {
    if (state_ == hsReady) return;
    if (!ending_) return Fail(httperrEventFailed, reason);
    if (requestDoneError_ != 0) return;
    requestDoneError_ = httperrEventFailed;
    statusCode_ = 404;
    reasonPhrase_ = reason;
}

THttpClient::THttpClient()
    : socket_(std::make_unique<TSocket>()),
      window_(std::make_unique<MessageWindow>(
          [this](UINT msg, WPARAM w, LPARAM l) { return WndProc(msg, w, l); })),
      idleTimer_(std::make_unique<Timer>()), alive_(std::make_shared<bool>(true)),
      sendBuffer_(SendChunkSize) {
    socket_->OnDnsLookupDone = [this](TAsyncSocket*, uint16_t e) {
        Guarded([&] { SocketDnsLookupDone(e); });
    };
    socket_->OnSessionConnected = [this](TAsyncSocket*, uint16_t e) {
        Guarded([&] { SocketSessionConnected(e); });
    };
    socket_->OnDataAvailable = [this](TAsyncSocket*, uint16_t e) {
        Guarded([&] { SocketDataAvailable(e); });
    };
    socket_->OnSessionClosed = [this](TAsyncSocket*, uint16_t e) {
        Guarded([&] { SocketSessionClosed(e); });
    };
    socket_->OnDataSent = [this](TAsyncSocket*, uint16_t e) {
        Guarded([&] { SocketDataSent(e); });
    };
    socket_->OnSocksError = [this](TAsyncSocket*, int, const std::string& msg) {
        socksError_ = msg;
    };
    reader_.OnHeaderLine = [this](const std::string& line) { ReaderHeaderLine(line); };
    reader_.OnHeaderEnd = [this] { ReaderHeaderEnd(); };
    reader_.OnBody = [this](const char* data, size_t len) { ReaderBody(data, len); };
    idleTimer_->OnTimer = [this] {
        Guarded([this] {
            if (state_ != hsReady && !ending_ && TickCount() - lastActivity_ >= IdleTimeout)
                FailSocket(WSAETIMEDOUT);
        });
    };
}

THttpClient::~THttpClient() {
    *alive_ = false;
    closeMode_ = CloseMode::Ignore;
}

void THttpClient::Get() {
    const auto alive = alive_;
    StartRequest(httpGET);
    WaitForReady(alive);
}

void THttpClient::Post() {
    const auto alive = alive_;
    StartRequest(httpPOST);
    WaitForReady(alive);
}

void THttpClient::Head() {
    const auto alive = alive_;
    StartRequest(httpHEAD);
    WaitForReady(alive);
}

void THttpClient::GetAsync() {
    StartRequest(httpGET);
}
void THttpClient::PostAsync() {
    StartRequest(httpPOST);
}
void THttpClient::HeadAsync() {
    StartRequest(httpHEAD);
}

void THttpClient::WaitForReady(const std::shared_ptr<bool>& alive) {
    WaitUntil([&] { return !*alive || state_ == hsReady; });
    if (!*alive) throw EHttpException("Connection aborted on request", 404);
    if (requestDoneError_ != 0 || statusCode_ >= 400)
        throw EHttpException(reasonPhrase_, static_cast<uint16_t>(statusCode_));
}

void THttpClient::StartRequest(THttpRequest rq) {
    if (state_ != hsReady) throw EHttpException("HTTP component is busy", httperrBusy);
    if (rq == httpPOST && !PostStream)
        throw EHttpException("HTTP component has nothing to post", httperrNoData);
    if (socket_->State() != wsClosed) {
        closeMode_ = CloseMode::Ignore;
        socket_->Abort();
    }
    ++serial_;
    rcvdHeader_.clear();
    requestType_ = rq;
    method_ = rq;
    requestDoneError_ = 0;
    closeMode_ = CloseMode::Normal;
    ending_ = allowedToSend_ = connected_ = false;
    redirections_ = 0;
    docName_.clear();
    statusCode_ = 0;
    reasonPhrase_.clear();
    receivedBytes_ = sentCount_ = 0;
    docBegun_ = false;
    reader_.Reset();
    user_ = Username;
    pass_ = Password;
    cookie_ = Cookie;
    targetHost_.clear();
    targetPort_.clear();
    socks_ = Socks;
    socks_.Level = UpperCase(Trim(socks_.Level.empty() ? "5" : socks_.Level));
    socket_->MultiThreaded = MultiThreaded;
    if (!SetState(hsStarting)) return;
    lastActivity_ = TickCount();
    idleTimer_->SetInterval(std::max(10, IdleTimeout / 4));
    idleTimer_->SetEnabled(true);

    if (!PrepareTarget(URL, false)) return;
    for (const std::string* v : {&Sender, &Accept, &Reference, &Agent, &ContentTypePost, &cookie_,
                                 &user_, &pass_, &ProxyUsername, &ProxyPassword})
        if (!SafeHeaderValue(*v))
            return Fail(httperrBadRequest, "Invalid character in request header");
    Connect();
}

bool THttpClient::PrepareTarget(const std::string& address, bool redirection) {
    const AddressParts parts = SplitAddress(address);
    if (!parts.Proto.empty() && !SameText(parts.Proto, "http")) {
        Fail(httperrUnsupportedProtocol, "Unsupported protocol");
        return false;
    }
    if (!SafeHeaderValue(parts.Host)) { // it goes into the Host line, redirected or not
        Fail(httperrBadRequest, "Invalid character in request header");
        return false;
    }
    const std::string port = parts.Port.empty() ? "80" : parts.Port;
    if (!ValidPort(port)) {
        Fail(httperrBadRequest, "Invalid port: " + port);
        return false;
    }
    if (redirection &&
        !RedirectedCookie(address, SameText(parts.Host, targetHost_) && port == targetPort_))
        return false;
    if (!parts.User.empty()) {
        user_ = parts.User;
        pass_ = parts.Pass;
        if (!redirection) {
            Username = parts.User;
            Password = parts.Pass;
        }
    }
    targetHost_ = parts.Host;
    targetPort_ = port;
    const std::string path = RequestPathOf(parts.Path);
    if (Proxy.empty()) {
        hostName_ = parts.Host;
        port_ = port;
        path_ = EncodeRequestPath(path);
    } else {
        // The proxy is given the whole address, without the credentials.
        path_ = EncodeRequestPath((parts.Proto.empty() ? std::string("http") : parts.Proto) +
                                  "://" + parts.Host +
                                  (parts.Port.empty() ? std::string() : ":" + parts.Port) + path);
        const AddressParts proxy = SplitAddress(Proxy);
        hostName_ = proxy.Host;
        port_ = proxy.Port.empty() ? ProxyPort : proxy.Port;
        if (!ValidPort(port_)) {
            Fail(httperrBadRequest, "Invalid port: " + port_);
            return false;
        }
    }
    location_ = address;
    docName_ = DocumentNameOf(path);
    return true;
}

// Credentials and cookies belong to the server they were meant for; the owner
// may know the cookie of the new address (a cookie the redirection itself set,
// or one of a domain that both servers share).
bool THttpClient::RedirectedCookie(const std::string& address, bool sameServer) {
    if (!sameServer) {
        user_.clear();
        pass_.clear();
    }
    std::string cookie = sameServer ? cookie_ : std::string();
    if (!Raise(OnCookieRequest, address, cookie)) return false;
    if (!SafeHeaderValue(cookie)) {
        Fail(httperrBadRequest, "Invalid character in request header");
        return false;
    }
    cookie_ = std::move(cookie);
    return true;
}

void THttpClient::Connect() {
    if (!SetState(hsResolving)) return;
    lastActivity_ = TickCount();
    if (hostName_.empty()) return Fail(WSAEINVAL, "can't resolve hostname to IP address");
    resolvedHost_.clear();
    socksError_.clear();
    // Through SOCKS 5 and 4A the SOCKS server looks the host name up.
    resolvingSocksServer_ = !socks_.Server.empty() && socks_.Level != "4";
    LookUp(resolvingSocksServer_ ? socks_.Server : hostName_);
}

void THttpClient::LookUp(const std::string& name) {
    try {
        socket_->LookupHost(name);
    } catch (const ESocketException&) {
        Fail(WSAEINVAL, "can't resolve hostname to IP address");
    }
}

void THttpClient::SocketDnsLookupDone(uint16_t error) {
    if (state_ != hsResolving || ending_) return; // aborted, or an earlier request's
    if (error != 0) return Fail(error, "can't resolve hostname to IP address");
    if (!socks_.Server.empty() && !resolvingSocksServer_) {
        resolvedHost_ = socket_->DnsResult();
        resolvingSocksServer_ = true;
        return LookUp(socks_.Server);
    }
    ConnectSocket();
}

void THttpClient::ConnectSocket() {
    if (!SetState(hsConnecting)) return;
    try {
        TSocksSettings socks = socks_;
        if (!socks.Server.empty()) socks.Server = socket_->DnsResult();
        socket_->SetSocks(socks);
        socket_->SetAddr(socks.Server.empty()    ? socket_->DnsResult()
                         : resolvedHost_.empty() ? hostName_
                                                 : resolvedHost_);
        socket_->SetPort(port_);
        socket_->SetProto("tcp");
        socket_->Connect();
    } catch (const ESocketException& e) {
        Fail(socket_->LastError() ? static_cast<uint16_t>(socket_->LastError()) : WSAEINVAL,
             e.what());
    }
}

void THttpClient::SocketSessionConnected(uint16_t error) {
    if (state_ != hsConnecting || ending_) return;
    if (error != 0) return FailSocket(error);
    connected_ = true;
    lastActivity_ = TickCount();
    if (!SetState(hsConnected) || !Raise(OnSessionConnected) || !SetState(hsAwaitingHeader) ||
        !SendRequest() || method_ != httpPOST || !Raise(OnSendBegin))
        return;
    allowedToSend_ = true;
    SendNextChunk();
}

std::vector<std::string> THttpClient::RequestLines() const {
    const bool post = method_ == httpPOST;
    std::vector<std::string> lines{std::string(MethodOf(method_)) + " " + path_ + " HTTP/1.0"};
    if (!Sender.empty()) lines.push_back("From: " + Sender);
    if (!Accept.empty()) lines.push_back("Accept: " + Accept);
    if (!Reference.empty()) lines.push_back("Referer: " + Reference);
    if (post && !ContentTypePost.empty()) lines.push_back("Content-Type: " + ContentTypePost);
    if (!Agent.empty()) lines.push_back("User-Agent: " + Agent);
    // A server builds its absolute redirections from this line, so a port
    // other than 80 goes with the name.
    lines.push_back("Host: " + targetHost_ + (targetPort_ == "80" ? "" : ":" + targetPort_));
    if (NoCache) lines.push_back("Pragma: no-cache");
    if (post)
        lines.push_back("Content-Length: " + std::to_string(std::max<int64_t>(
                                                 0, PostStream->Size() - PostStream->Position())));
    if (ModifiedSince != 0)
        lines.push_back("If-Modified-Since: " + HttpDate(ModifiedSince) + " GMT");
    if (!user_.empty())
        lines.push_back("Authorization: Basic " + Base64Encode(user_ + ":" + pass_));
    if (!Proxy.empty() && !ProxyUsername.empty())
        lines.push_back("Proxy-Authorization: Basic " +
                        Base64Encode(ProxyUsername + ":" + ProxyPassword));
    if (!cookie_.empty()) lines.push_back("Cookie: " + cookie_);
    return lines;
}

bool THttpClient::SendLine(const std::string& s, std::string& request) {
    if (!Raise(OnCommand, s)) return false;
    request += s;
    request += "\r\n";
    return true;
}

// False when a handler ended the request.
bool THttpClient::SendRequest() {
    if (!Raise(OnRequestHeaderBegin)) return false;
    std::string request;
    for (const std::string& line : RequestLines())
        if (!SendLine(line, request)) return false;
    if (!Raise(OnRequestHeaderEnd) || !SendLine("", request)) return false;
    if (socket_->State() == wsConnected) socket_->SendString(request);
    return !ending_;
}

void THttpClient::SocketDataSent(uint16_t) {
    if (state_ == hsAwaitingHeader || state_ == hsReceivingBody) SendNextChunk();
}

void THttpClient::SendNextChunk() {
    if (!allowedToSend_ || !PostStream || ending_) return;
    if (socket_->State() != wsConnected) {
        allowedToSend_ = false;
        return;
    }
    lastActivity_ = TickCount();
    const size_t n = PostStream->Read(sendBuffer_.data(), sendBuffer_.size());
    if (n == 0) {
        allowedToSend_ = false;
        Raise(OnSendEnd);
        return;
    }
    sentCount_ += static_cast<int64_t>(n);
    if (!Raise(OnSendData, sendBuffer_.data(), static_cast<int>(n)) ||
        socket_->State() != wsConnected)
        return;
    socket_->Send(sendBuffer_.data(), static_cast<int>(n));
}

void THttpClient::SocketDataAvailable(uint16_t) {
    if ((state_ != hsAwaitingHeader && state_ != hsReceivingBody) || ending_ ||
        closeMode_ != CloseMode::Normal || reader_.Stopped()) {
        char junk[4096]; // nothing more is wanted from this connection
        socket_->Receive(junk, sizeof junk);
        return;
    }
    size_t room = 0;
    char* space = reader_.Space(room);
    if (room == 0) return FailOnReader();
    const int n = socket_->Receive(space, static_cast<int>(room));
    if (n < 0) {
        const int error = socket_->LastError();
        if (error != WSAEWOULDBLOCK) FailSocket(error);
        return;
    }
    if (n == 0) return; // the close follows
    lastActivity_ = TickCount();
    const auto alive = alive_;
    reader_.Commit(static_cast<size_t>(n));
    if (!*alive || ending_) return;
    FailOnReader();
}

// Ends the request with the error of what the reader found wrong, if anything.
void THttpClient::FailOnReader() {
    const THttpResponseReader::Failure failure = reader_.Failed();
    for (const auto& [f, error] : ReaderFailures)
        if (f == failure) return Fail(error, THttpResponseReader::FailureText(failure));
}

// A handler that ends the request has stopped the reader already (Abort and
// Fail stop it; a new request resets it), and one that freed the client freed
// the reader too: either way nothing more is done here.
void THttpClient::ReaderHeaderLine(const std::string& line) {
    if (reader_.HeaderLineCount() == 1) {
        if (!Raise(OnHeaderBegin)) return;
        statusCode_ = reader_.StatusCode();
        reasonPhrase_ = reader_.ReasonPhrase();
    }
    rcvdHeader_.push_back(line);
    if (reader_.FieldName() == "set-cookie") {
        const std::string value = reader_.FieldValue(); // outlives a handler that frees us
        bool accept = true;
        if (!Raise(OnCookie, value, accept)) return;
    }
    if (!Raise(OnHeaderData)) return;
    if (statusCode_ >= 400) {
        // The body of a refusal is never read.
        reader_.Stop();
        socket_->Close();
    }
}

void THttpClient::ReaderHeaderEnd() {
    if (reader_.HeaderLineCount() == 0 && !Raise(OnHeaderBegin)) return;
    if (reader_.LocationSeen()) {
        if (!Raise(OnHeaderEnd)) return;
        return FollowLocation();
    }
    if (reader_.ContentType() == "text/html" && docName_.size() >= 4 &&
        SameText(std::string_view(docName_).substr(docName_.size() - 4), ".exe"))
        docName_.replace(docName_.size() - 3, 3, "htm");
    if (!SetState(hsReceivingBody)) return;
    Raise(OnHeaderEnd);
}

void THttpClient::ReaderBody(const char* data, size_t len) {
    if (!docBegun_) {
        docBegun_ = true;
        if (!Raise(OnDocBegin)) return;
    }
    receivedBytes_ += static_cast<int64_t>(len);
    if (!Raise(OnDocData, data, static_cast<int>(len))) return;
    // A stream that takes less (a full disk) must not end as a whole document.
    if (ReceiveStream && ReceiveStream->Write(data, len) != len)
        Fail(httperrEventFailed, "Cannot store the document");
}

std::string THttpClient::LastLine() const {
    if (const std::string_view body = reader_.LastBody(); !body.empty()) return std::string(body);
    return rcvdHeader_.empty() ? std::string() : rcvdHeader_.back();
}

void THttpClient::FollowLocation() {
    reader_.Stop();
    if (++redirections_ > MaxRedirections)
        return Fail(httperrTooManyRedirects, "Too many redirections");
    if (!PrepareTarget(ResolveLocation(location_, reader_.Location()), true)) return;
    if (method_ == httpPOST) method_ = httpGET; // the answer to a form is fetched, not posted again
    closeMode_ = CloseMode::Redirect;
    const auto alive = alive_;
    socket_->Close(); // its close event runs RedirectionClosed, which may free us
    if (*alive && closeMode_ == CloseMode::Redirect) RedirectionClosed(); // it was closed already
}

void THttpClient::RedirectionClosed() {
    closeMode_ = CloseMode::Normal;
    connected_ = false;
    if (!Raise(OnLocationChange)) return;
    reader_.Reset();
    statusCode_ = 0;
    reasonPhrase_.clear();
    window_->Post(WM_HTTP_LOGIN, serial_);
}

void THttpClient::SocketSessionClosed(uint16_t error) {
    switch (closeMode_) {
    case CloseMode::Redirect: return RedirectionClosed();
    case CloseMode::Ignore: return;
    case CloseMode::Normal: return EndOfConnection(error);
    }
}

void THttpClient::EndOfConnection(int error) {
    if (state_ == hsReady || state_ == hsAborting || ending_) return;
    if (error != 0) return FailSocket(error);
    if (state_ == hsAwaitingHeader) {
        const auto alive = alive_;
        reader_.EndOfInput();
        if (!*alive || ending_ || state_ == hsReady) return;
    }
    if (state_ != hsReceivingBody) {
        if (statusCode_ >= 400) {
            requestDoneError_ = static_cast<uint16_t>(statusCode_);
            return FinishRequest();
        }
        return Fail(httperrIncomplete, reader_.Started()
                                           ? "Connection closed before the end of the header"
                                           : "Connection closed without a response");
    }
    if (method_ != httpHEAD && BodyExpected(statusCode_) && ContentLength() >= 0 &&
        receivedBytes_ < ContentLength())
        return Fail(httperrIncomplete, "Connection closed before the whole document arrived");
    FinishRequest();
}

void THttpClient::Fail(uint16_t error, const std::string& reason) {
    if (state_ == hsReady || ending_) return;
    ending_ = true;
    requestDoneError_ = error;
    statusCode_ = 404;
    reasonPhrase_ = reason;
    reader_.Stop();
    closeMode_ = CloseMode::Ignore;
    socket_->Abort();
    Conclude();
}

void THttpClient::FailSocket(int error) {
    const std::string text = socksError_.empty() ? SocketErrorText(error) : socksError_;
    Fail(static_cast<uint16_t>(error), text + " (Error #" + std::to_string(error) + ")");
}

void THttpClient::FinishRequest() {
    if (ending_) return;
    ending_ = true;
    Conclude();
}

// The request becomes ready from the event loop whatever OnDocEnd does: it
// may free the client, or raise and so turn a success into a failure.
void THttpClient::Conclude() {
    connected_ = false;
    idleTimer_->SetEnabled(false);
    window_->Post(WM_HTTP_SET_READY, serial_);
    if (docBegun_) Raise(OnDocEnd);
}

void THttpClient::Abort() {
    if (state_ == hsReady) {
        if (socket_->State() != wsClosed) {
            closeMode_ = CloseMode::Ignore;
            socket_->Abort();
        }
        return;
    }
    ++serial_; // what was posted for this request is stale from now on
    const auto alive = alive_;
    if (!SetState(hsAborting) && !*alive) return;
    statusCode_ = 404;
    reasonPhrase_ = "Connection aborted on request";
    requestDoneError_ = httperrAborted;
    reader_.Stop();
    closeMode_ = CloseMode::Ignore;
    socket_->Abort();
    if (!ending_) {
        ending_ = true;
        connected_ = false;
        idleTimer_->SetEnabled(false);
        if (docBegun_) Raise(OnDocEnd);
        if (!*alive || state_ != hsAborting) return;
    }
    SetState(hsReady);
}

// True when the request goes on (see Raise).
bool THttpClient::SetState(THttpClientState s) {
    state_ = s;
    const auto alive = alive_;
    const THttpRequest rq = requestType_;
    const uint16_t error = requestDoneError_;
    const bool goesOn = Raise(OnStateChange);
    if (s == hsReady && *alive) window_->Post(WM_HTTP_REQUEST_DONE, rq, static_cast<LPARAM>(error));
    return goesOn;
}

LRESULT THttpClient::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_HTTP_REQUEST_DONE:
        Raise(OnRequestDone, static_cast<THttpRequest>(wParam), static_cast<uint16_t>(lParam));
        return 0;
    case WM_HTTP_SET_READY:
        if (wParam == serial_ && state_ != hsReady) SetState(hsReady);
        return 0;
    case WM_HTTP_LOGIN:
        if (wParam == serial_ && state_ != hsReady && state_ != hsAborting && !ending_)
            Guarded([this] { Connect(); });
        return 0;
    default: return 0;
    }
}

} // namespace lumo
