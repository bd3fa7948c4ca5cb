#include "net/http_cli.h"

#include "net/address.h"
#include "net/wsocket.h"
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

THttpCli::THttpCli()
    : socket_(std::make_unique<TWSocket>()),
      window_(std::make_unique<MessageWindow>(
          [this](UINT msg, WPARAM w, LPARAM l) { return WndProc(msg, w, l); })),
      idleTimer_(std::make_unique<Timer>()), alive_(std::make_shared<bool>(true)),
      sendBuffer_(SendChunkSize) {
    socket_->OnDnsLookupDone = [this](TCustomWSocket*, uint16_t e) { SocketDnsLookupDone(e); };
    socket_->OnSessionConnected = [this](TCustomWSocket*, uint16_t e) {
        SocketSessionConnected(e);
    };
    socket_->OnDataAvailable = [this](TCustomWSocket*, uint16_t e) { SocketDataAvailable(e); };
    socket_->OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { SocketSessionClosed(e); };
    socket_->OnDataSent = [this](TCustomWSocket*, uint16_t e) { SocketDataSent(e); };
    reader_.OnHeaderLine = [this](const std::string& line) { ReaderHeaderLine(line); };
    reader_.OnHeaderEnd = [this] { ReaderHeaderEnd(); };
    reader_.OnBody = [this](const char* data, size_t len) { ReaderBody(data, len); };
    idleTimer_->OnTimer = [this] {
        if (state_ != hsReady && !ending_ && TickCount() - lastActivity_ >= IdleTimeout)
            FailSocket(WSAETIMEDOUT);
    };
}

THttpCli::~THttpCli() {
    *alive_ = false;
    closeMode_ = CloseMode::Ignore;
}

void THttpCli::Get() {
    StartRequest(httpGET);
    WaitForReady();
}

void THttpCli::Post() {
    StartRequest(httpPOST);
    WaitForReady();
}

void THttpCli::Head() {
    StartRequest(httpHEAD);
    WaitForReady();
}

void THttpCli::GetAsync() {
    StartRequest(httpGET);
}
void THttpCli::PostAsync() {
    StartRequest(httpPOST);
}
void THttpCli::HeadAsync() {
    StartRequest(httpHEAD);
}

void THttpCli::WaitForReady() {
    const auto alive = alive_;
    WaitUntil([&] { return !*alive || state_ == hsReady; });
    if (!*alive) throw EHttpException("Connection aborted on request", 404);
    if (requestDoneError_ != 0 || statusCode_ >= 400)
        throw EHttpException(reasonPhrase_, static_cast<uint16_t>(statusCode_));
}

void THttpCli::StartRequest(THttpRequest rq) {
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
    socket_->MultiThreaded = MultiThreaded;
    SetState(hsStarting);
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

bool THttpCli::PrepareTarget(const std::string& address, bool redirection) {
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
    if (redirection && (!SameText(parts.Host, targetHost_) || port != targetPort_)) {
        // Credentials and cookies belong to the server they were meant for.
        user_.clear();
        pass_.clear();
        cookie_.clear();
    }
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
    const std::string path = parts.Path.empty() ? "/" : parts.Path;
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

void THttpCli::Connect() {
    SetState(hsResolving);
    lastActivity_ = TickCount();
    if (hostName_.empty()) return Fail(WSAEINVAL, "can't resolve hostname to IP address");
    try {
        socket_->LookupHost(hostName_);
    } catch (const ESocketException&) {
        Fail(WSAEINVAL, "can't resolve hostname to IP address");
    }
}

void THttpCli::SocketDnsLookupDone(uint16_t error) {
    if (state_ != hsResolving || ending_) return; // aborted, or an earlier request's
    if (error != 0) return Fail(error, "can't resolve hostname to IP address");
    SetState(hsConnecting);
    try {
        socket_->SetAddr(socket_->DnsResult());
        socket_->SetPort(port_);
        socket_->SetProto("tcp");
        socket_->Connect();
    } catch (const ESocketException& e) {
        Fail(socket_->LastError() ? static_cast<uint16_t>(socket_->LastError()) : WSAEINVAL,
             e.what());
    }
}

void THttpCli::SocketSessionConnected(uint16_t error) {
    if (state_ != hsConnecting || ending_) return;
    if (error != 0) return FailSocket(error);
    const RequestWatch gone(*this);
    connected_ = true;
    lastActivity_ = TickCount();
    SetState(hsConnected);
    if (OnSessionConnected) OnSessionConnected(this);
    if (gone()) return;
    SetState(hsAwaitingHeader);
    try {
        SendRequest();
        if (gone() || method_ != httpPOST) return;
        if (OnSendBegin) OnSendBegin(this);
        if (gone()) return;
        allowedToSend_ = true;
        SendNextChunk();
    } catch (const std::exception&) {
        // The server then sees an incomplete request; the close ends ours.
        if (!gone()) socket_->Close();
    }
}

void THttpCli::SendLine(const std::string& s) {
    if (OnCommand) OnCommand(this, s);
    request_ += s;
    request_ += "\r\n";
}

void THttpCli::SendRequest() {
    request_.clear();
    if (OnRequestHeaderBegin) OnRequestHeaderBegin(this);
    const bool post = method_ == httpPOST;
    SendLine(std::string(MethodOf(method_)) + " " + path_ + " HTTP/1.0");
    if (!Sender.empty()) SendLine("From: " + Sender);
    if (!Accept.empty()) SendLine("Accept: " + Accept);
    if (!Reference.empty()) SendLine("Referer: " + Reference);
    if (post && !ContentTypePost.empty()) SendLine("Content-Type: " + ContentTypePost);
    if (!Agent.empty()) SendLine("User-Agent: " + Agent);
    SendLine("Host: " + targetHost_);
    if (NoCache) SendLine("Pragma: no-cache");
    if (post)
        SendLine("Content-Length: " +
                 std::to_string(std::max<int64_t>(0, PostStream->Size() - PostStream->Position())));
    if (ModifiedSince != 0) SendLine("If-Modified-Since: " + HttpDate(ModifiedSince) + " GMT");
    if (!user_.empty()) SendLine("Authorization: Basic " + Base64Encode(user_ + ":" + pass_));
    if (!Proxy.empty() && !ProxyUsername.empty())
        SendLine("Proxy-Authorization: Basic " + Base64Encode(ProxyUsername + ":" + ProxyPassword));
    if (!cookie_.empty()) SendLine("Cookie: " + cookie_);
    if (OnRequestHeaderEnd) OnRequestHeaderEnd(this);
    SendLine("");
    const std::string request = std::move(request_);
    request_.clear();
    if (socket_->State() == wsConnected) socket_->SendString(request);
}

void THttpCli::SocketDataSent(uint16_t) {
    if (state_ == hsAwaitingHeader || state_ == hsReceivingBody) SendNextChunk();
}

void THttpCli::SendNextChunk() {
    if (!allowedToSend_ || !PostStream || ending_) return;
    if (socket_->State() != wsConnected) {
        allowedToSend_ = false;
        return;
    }
    lastActivity_ = TickCount();
    const size_t n = PostStream->Read(sendBuffer_.data(), sendBuffer_.size());
    if (n == 0) {
        allowedToSend_ = false;
        if (OnSendEnd) OnSendEnd(this);
        return;
    }
    sentCount_ += static_cast<int64_t>(n);
    const RequestWatch gone(*this);
    if (OnSendData) OnSendData(this, sendBuffer_.data(), static_cast<int>(n));
    if (gone() || socket_->State() != wsConnected) return;
    socket_->Send(sendBuffer_.data(), static_cast<int>(n));
}

void THttpCli::SocketDataAvailable(uint16_t) {
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
void THttpCli::FailOnReader() {
    const THttpResponseReader::Failure failure = reader_.Failed();
    for (const auto& [f, error] : ReaderFailures)
        if (f == failure) return Fail(error, THttpResponseReader::FailureText(failure));
}

void THttpCli::ReaderHeaderLine(const std::string& line) {
    const RequestWatch gone(*this);
    if (reader_.HeaderLineCount() == 1) {
        if (OnHeaderBegin) OnHeaderBegin(this);
        if (gone()) return reader_.Stop();
        statusCode_ = reader_.StatusCode();
        reasonPhrase_ = reader_.ReasonPhrase();
    }
    rcvdHeader_.push_back(line);
    if (OnCookie && reader_.FieldName() == "set-cookie") {
        bool accept = true;
        OnCookie(this, reader_.FieldValue(), accept);
        if (gone()) return reader_.Stop();
    }
    if (OnHeaderData) OnHeaderData(this);
    if (gone()) return reader_.Stop();
    if (statusCode_ >= 400) {
        // The body of a refusal is never read.
        reader_.Stop();
        socket_->Close();
    }
}

void THttpCli::ReaderHeaderEnd() {
    const RequestWatch gone(*this);
    if (reader_.HeaderLineCount() == 0) {
        if (OnHeaderBegin) OnHeaderBegin(this);
        if (gone()) return reader_.Stop();
    }
    if (reader_.LocationSeen()) {
        if (OnHeaderEnd) OnHeaderEnd(this);
        if (gone()) return reader_.Stop();
        return FollowLocation();
    }
    if (reader_.ContentType() == "text/html" && docName_.size() >= 4 &&
        SameText(std::string_view(docName_).substr(docName_.size() - 4), ".exe"))
        docName_.replace(docName_.size() - 3, 3, "htm");
    SetState(hsReceivingBody);
    if (OnHeaderEnd) OnHeaderEnd(this);
    if (gone()) reader_.Stop();
}

void THttpCli::ReaderBody(const char* data, size_t len) {
    const RequestWatch gone(*this);
    if (!docBegun_) {
        docBegun_ = true;
        if (OnDocBegin) OnDocBegin(this);
        if (gone()) return reader_.Stop();
    }
    receivedBytes_ += static_cast<int64_t>(len);
    if (OnDocData) OnDocData(this, data, static_cast<int>(len));
    if (gone()) return reader_.Stop();
    if (ReceiveStream) ReceiveStream->Write(data, len);
}

std::string THttpCli::LastLine() const {
    if (const std::string_view body = reader_.LastBody(); !body.empty()) return std::string(body);
    return rcvdHeader_.empty() ? std::string() : rcvdHeader_.back();
}

void THttpCli::FollowLocation() {
    reader_.Stop();
    if (++redirections_ > MaxRedirections)
        return Fail(httperrTooManyRedirects, "Too many redirections");
    if (!PrepareTarget(ResolveLocation(location_, reader_.Location()), true)) return;
    if (method_ == httpPOST) method_ = httpGET; // the answer to a form is fetched, not posted again
    closeMode_ = CloseMode::Redirect;
    socket_->Close();
    if (closeMode_ == CloseMode::Redirect) RedirectionClosed(); // the socket was closed already
}

void THttpCli::RedirectionClosed() {
    closeMode_ = CloseMode::Normal;
    connected_ = false;
    const RequestWatch gone(*this);
    if (OnLocationChange) OnLocationChange(this);
    if (gone()) return;
    reader_.Reset();
    statusCode_ = 0;
    reasonPhrase_.clear();
    window_->Post(WM_HTTP_LOGIN, serial_);
}

void THttpCli::SocketSessionClosed(uint16_t error) {
    switch (closeMode_) {
    case CloseMode::Redirect: return RedirectionClosed();
    case CloseMode::Ignore: return;
    case CloseMode::Normal: return EndOfConnection(error);
    }
}

void THttpCli::EndOfConnection(int error) {
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

void THttpCli::Fail(uint16_t error, const std::string& reason) {
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

void THttpCli::FailSocket(int error) {
    Fail(static_cast<uint16_t>(error),
         WSocketErrorDesc(error) + " (Error #" + std::to_string(error) + ")");
}

void THttpCli::FinishRequest() {
    if (ending_) return;
    ending_ = true;
    Conclude();
}

void THttpCli::Conclude() {
    if (EndDocument()) window_->Post(WM_HTTP_SET_READY, serial_);
}

// Stops the clock and ends the document that began; false when a handler freed the client.
bool THttpCli::EndDocument() {
    connected_ = false;
    idleTimer_->SetEnabled(false);
    const auto alive = alive_;
    if (docBegun_ && OnDocEnd) OnDocEnd(this);
    return *alive;
}

void THttpCli::Abort() {
    if (state_ == hsReady) {
        if (socket_->State() != wsClosed) {
            closeMode_ = CloseMode::Ignore;
            socket_->Abort();
        }
        return;
    }
    ++serial_; // what was posted for this request is stale from now on
    SetState(hsAborting);
    statusCode_ = 404;
    reasonPhrase_ = "Connection aborted on request";
    requestDoneError_ = httperrAborted;
    reader_.Stop();
    closeMode_ = CloseMode::Ignore;
    socket_->Abort();
    if (!ending_) {
        ending_ = true;
        if (!EndDocument()) return;
    }
    SetState(hsReady);
}

void THttpCli::SetState(THttpCliState s) {
    state_ = s;
    const auto alive = alive_;
    if (OnStateChange) OnStateChange(this);
    if (s == hsReady && *alive)
        window_->Post(WM_HTTP_REQUEST_DONE, requestType_, static_cast<LPARAM>(requestDoneError_));
}

LRESULT THttpCli::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_HTTP_REQUEST_DONE:
        // A copy runs, so a handler that frees the client (and with it the
        // handler's own closure) can still use what it captured.
        if (const auto done = OnRequestDone)
            done(this, static_cast<THttpRequest>(wParam), static_cast<uint16_t>(lParam));
        return 0;
    case WM_HTTP_SET_READY:
        if (wParam == serial_ && state_ != hsReady) SetState(hsReady);
        return 0;
    case WM_HTTP_LOGIN:
        if (wParam == serial_ && state_ != hsReady && state_ != hsAborting && !ending_) Connect();
        return 0;
    default: return 0;
    }
}

} // namespace lumo
