// The HTTP/1.0 client: one GET, POST or HEAD at a time over an asynchronous
// socket, directly or through an HTTP proxy, with Basic credentials and
// redirections, for http and https addresses (https through a proxy goes
// through a CONNECT tunnel). It advances a state machine on socket events and on its own
// posted messages; the synchronous forms pump the event loop until the
// request has ended. Every request that starts ends with exactly one
// OnRequestDone, fired from the event loop after State is hsReady again.
#pragma once

#include "net/http_response_reader.h"
#include "net/socks_settings.h"
#include "net/tls_context.h"
#include "platform/exception.h"
#include "platform/types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumo {

class MessageWindow;
class TStream;
class TSocket;
class Timer;

enum THttpClientState : uint8_t {
    hsReady,
    hsStarting,
    hsConnected,
    hsResolving,
    hsConnecting,
    hsAwaitingHeader,
    hsReceivingBody,
    hsAborting
};

enum THttpRequest : uint8_t { httpNone = 0, httpGET = 1, httpPOST = 2, httpHEAD = 3 };

// Error codes of OnRequestDone and EHttpException besides WinSock numbers
// (10000 and up) and, for a server's refusal, the status code (400 to 999).
enum : uint16_t {
    httperrBusy = 1,
    httperrNoData = 2,
    httperrAborted = 3,
    httperrLineTooLong = 4,
    httperrHeaderTooLarge = 5,
    httperrBadStatusLine = 6,
    httperrBadContentLength = 7,
    httperrIncomplete = 8,
    httperrTooManyRedirects = 9,
    httperrUnsupportedProtocol = 10,
    httperrBadRequest = 11,
    // An event handler or the receive stream raised (the reason phrase is its
    // message), or the receive stream took fewer bytes than it was given.
    httperrEventFailed = 12,
    // A body in chunks whose framing is malformed.
    httperrBadChunk = 13,
    // The TLS handshake failed or the server's certificate was refused: the
    // socket's TlsFailure says why.
    httperrTls = 14,
};

// The client's window messages.
inline constexpr UINT WM_HTTP_REQUEST_DONE = WM_USER + 1;
inline constexpr UINT WM_HTTP_SET_READY = WM_USER + 2;
inline constexpr UINT WM_HTTP_LOGIN = WM_USER + 3;

class EHttpException : public Exception {
public:
    EHttpException(const std::string& message, uint16_t code)
        : Exception(message), ErrorCode(code) {}
    uint16_t ErrorCode;
};

class THttpClient {
public:
    static constexpr int MaxRedirections = 20;

    THttpClient();
    virtual ~THttpClient();
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    std::string URL;
    std::string Proxy; // host, optionally ":" port; empty for a direct connection
    std::string ProxyPort = "80";
    // With a server set, the connection (to the HTTP proxy, when there is
    // one) goes through it. SOCKS 5 and 4A hand the host name to the SOCKS
    // server unresolved; SOCKS 4 needs it looked up here first.
    TSocksSettings Socks;
    std::string Sender; // From:
    std::string Agent = "Mozilla/3.0 (compatible)";
    std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    std::string Reference; // Referer:
    std::string Username, Password;
    std::string ProxyUsername, ProxyPassword;
    bool NoCache = false;
    double ModifiedSince = 0; // days since 30 December 1899; 0 sends nothing
    std::string Cookie;
    std::string ContentTypePost = "application/x-www-form-urlencoded";
    bool MultiThreaded = false;
    TStream* ReceiveStream = nullptr; // borrowed
    TStream* PostStream = nullptr;    // borrowed, posted from its current position
    // Milliseconds without any progress after which a request fails with 10060.
    int IdleTimeout = 60000;

    using NotifyEvent = std::function<void(THttpClient* Sender)>;
    using DataEvent = std::function<void(THttpClient* Sender, const char* Buffer, int Len)>;
    NotifyEvent OnStateChange, OnSessionConnected, OnRequestHeaderBegin, OnRequestHeaderEnd,
        OnHeaderBegin, OnHeaderData, OnHeaderEnd, OnDocBegin, OnDocEnd, OnSendBegin, OnSendEnd,
        OnLocationChange;
    std::function<void(THttpClient* Sender, const std::string& S)> OnCommand;
    std::function<void(THttpClient* Sender, const std::string& Data, bool& Accept)> OnCookie;
    DataEvent OnDocData, OnSendData;
    std::function<void(THttpClient* Sender, THttpRequest RqType, uint16_t Error)> OnRequestDone;
    // Before each request after a redirection: Cookie holds what the client
    // would send to URL, the new address (the current cookie on the same
    // server, nothing on another), and the handler sets what it should send.
    std::function<void(THttpClient* Sender, const std::string& URL, std::string& Cookie)>
        OnCookieRequest;

    // Synchronous: return when the request has ended; raise EHttpException
    // with the reason phrase and the status code when it failed.
    void Get();
    void Post();
    void Head();
    // Asynchronous: return at once; OnRequestDone tells the end.
    void GetAsync();
    void PostAsync();
    void HeadAsync();
    void Abort();

    THttpClientState State() const { return state_; }
    int StatusCode() const { return statusCode_; }
    const std::string& ReasonPhrase() const { return reasonPhrase_; }
    int64_t ContentLength() const { return reader_.ContentLength(); }
    const std::string& ContentType() const { return reader_.ContentType(); }
    int64_t ReceivedBytes() const { return receivedBytes_; }
    int64_t SentCount() const { return sentCount_; }
    // The last header line received, or once the body has begun its last piece.
    std::string LastLine() const;
    const std::vector<std::string>& RcvdHeader() const { return rcvdHeader_; }
    const std::string& DocName() const { return docName_; }
    // The address being fetched; after a redirection, the new one.
    const std::string& Location() const { return location_; }
    const std::string& HostName() const { return hostName_; }
    const std::string& Port() const { return port_; }
    bool Connected() const { return connected_; }
    THttpRequest RequestType() const { return requestType_; }
    uint16_t RequestDoneError() const { return requestDoneError_; }
    // Whether the last connection was secure, and its server's certificate subject.
    bool Secure() const { return !peerSubject_.empty(); }
    const std::string& PeerSubject() const { return peerSubject_; }
    // Why the request failed with httperrTls.
    const TTlsFailure& TlsFailure() const { return tlsFailure_; }

private:
    enum class CloseMode { Normal, Redirect, Ignore };
    // The steps of a tunnel through the proxy to an https server.
    enum class Tunnel { None, Asking, Handshake };

    // Tells, after an event handler ran, whether the request it was run for
    // is over: the client freed, the request ending or replaced by another.
    class RequestWatch {
    public:
        explicit RequestWatch(const THttpClient& cli)
            : cli_(cli), alive_(cli.alive_), serial_(cli.serial_) {}
        bool operator()() const { return !*alive_ || serial_ != cli_.serial_ || cli_.ending_; }

    private:
        const THttpClient& cli_;
        std::shared_ptr<bool> alive_;
        WPARAM serial_;
    };

    // Runs a handler from a copy, so that one that frees the client (and its
    // own closure with it) returns safely. True when the request it was raised
    // for goes on: the client lives, and the request has neither ended nor
    // been replaced by another.
    template <class Event, class... Args>
    bool Raise(const Event& event, Args&&... args);
    // Runs a step of a socket event; what it raises ends the request.
    template <class Step>
    void Guarded(Step&& step);
    void FailAfterEvent(const std::string& reason);

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void StartRequest(THttpRequest rq);
    void WaitForReady(const std::shared_ptr<bool>& alive);
    bool PrepareTarget(const std::string& address, bool redirection);
    bool RedirectedCookie(const std::string& address, bool sameServer);
    void Connect();
    bool SetState(THttpClientState s);
    std::vector<std::string> RequestLines() const;
    bool SendLine(const std::string& s, std::string& request);
    bool SendRequest();
    void SendNextChunk();
    void Fail(uint16_t error, const std::string& reason);
    void FailSocket(int error);
    void FinishRequest();
    void Conclude();
    void FailOnReader();
    void EndOfConnection(int error);
    void FollowLocation();
    void RedirectionClosed();

    bool SendTunnelRequest();
    void TunnelReply();
    void FailTls();

    void LookUp(const std::string& name);
    void ConnectSocket();
    void SocketDnsLookupDone(uint16_t error);
    void SocketSessionConnected(uint16_t error);
    void SocketDataAvailable(uint16_t error);
    void SocketSessionClosed(uint16_t error);
    void SocketDataSent(uint16_t error);

    void ReaderHeaderLine(const std::string& line);
    void ReaderHeaderEnd();
    void ReaderBody(const char* data, size_t len);

    std::unique_ptr<TSocket> socket_;
    std::unique_ptr<MessageWindow> window_;
    std::unique_ptr<Timer> idleTimer_;
    std::shared_ptr<bool> alive_;
    THttpResponseReader reader_;

    THttpClientState state_ = hsReady;
    THttpRequest requestType_ = httpNone;
    THttpRequest method_ = httpNone; // what is sent: a redirected POST becomes a GET
    // Changes with every request and abort, so that a message posted for an
    // earlier one is recognised and dropped.
    WPARAM serial_ = 0;
    CloseMode closeMode_ = CloseMode::Normal;
    std::string hostName_, port_, targetHost_, targetPort_, path_, location_, docName_;
    std::string user_, pass_, cookie_; // what this request sends
    bool secure_ = false;              // the target is an https address
    Tunnel tunnel_ = Tunnel::None;
    std::string tunnelReply_; // the proxy's answer to CONNECT, up to its blank line
    std::string peerSubject_;
    TTlsFailure tlsFailure_;
    // The SOCKS settings of this request and the host name's address, when
    // SOCKS 4 needs it; the SOCKS server's name is looked up after it.
    TSocksSettings socks_;
    std::string resolvedHost_;
    bool resolvingSocksServer_ = false;
    std::string socksError_; // the text of the last SOCKS failure
    bool connected_ = false, ending_ = false, allowedToSend_ = false;
    int redirections_ = 0;
    int64_t lastActivity_ = 0;
    int statusCode_ = 0;
    std::string reasonPhrase_;
    int64_t receivedBytes_ = 0, sentCount_ = 0;
    bool docBegun_ = false;
    uint16_t requestDoneError_ = 0;
    std::vector<std::string> rcvdHeader_;
    std::vector<char> sendBuffer_;
};

// Basic credentials: the RFC 2045 alphabet, padded with "=", no line breaks.
std::string Base64Encode(std::string_view bytes);

// "Sat, 01 Jan 2000 12:30:00" for a date counted in days since 30 December 1899.
std::string HttpDate(double dateTime);

} // namespace lumo
