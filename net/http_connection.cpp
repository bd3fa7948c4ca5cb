#include "net/http_connection.h"

#include "platform/stream.h"
#include "platform/text.h"

namespace lumo {

THTTPConnection::THTTPConnection() : client_(std::make_unique<THttpClient>()) {}

THTTPConnection::~THTTPConnection() = default;

void THTTPConnection::Prepare(const std::string& url, bool forPost) {
    EnsureContentStream();
    THttpClient& c = *client_;
    c.ReceiveStream = contentStream_;
    c.URL = url;
    // Forwarded at the moment the client fires, so the owner may change its
    // events during the fetch. Each runs from a copy: the owner may free the
    // connection, and the handler's own closure with it.
    c.OnHeaderBegin = [this](THttpClient*) {
        if (const auto f = OnHeaderBegin) f(*this);
    };
    c.OnHeaderEnd = [this](THttpClient*) {
        if (const auto f = OnHeaderEnd) f(*this);
    };
    c.OnHeaderData = [this](THttpClient*) {
        if (const auto f = OnHeaderData) f(*this);
    };
    c.OnCookieRequest = [this](THttpClient*, const std::string& url, std::string& cookie) {
        if (const auto f = OnCookieRequest) f(*this, url, cookie);
    };
    c.OnRequestDone = [this](THttpClient*, THttpRequest rq, uint16_t error) {
        if (const auto f = OnRequestDone) f(*this, rq, error);
    };
    c.OnCommand = nullptr;
    if (!forPost)
        c.OnCommand = [this](THttpClient*, const std::string& line) {
            if (const auto f = OnCommand) f(*this, line);
        };
    // The document events are taken as they are now.
    c.OnDocBegin = nullptr;
    c.OnDocEnd = nullptr;
    c.OnDocData = nullptr;
    if (OnDocBegin) c.OnDocBegin = [this, f = OnDocBegin](THttpClient*) { f(*this); };
    if (OnDocEnd) c.OnDocEnd = [this, f = OnDocEnd](THttpClient*) { f(*this); };
    if (OnDocData)
        c.OnDocData = [this, f = OnDocData](THttpClient*, const char* b, int n) { f(*this, b, n); };
    c.Cookie = Cookie;
    c.ContentTypePost = ContentTypePost;
    c.PostStream = PostStream;
    c.Proxy = forPost ? std::string() : Proxy;
    if (!forPost) c.ProxyPort = ProxyPort.empty() ? std::string("80") : ProxyPort;
    c.Socks = Socks;
}

void THTTPConnection::Get(const std::string& url) {
    Prepare(url, false);
    client_->Get();
}

void THTTPConnection::Post(const std::string& url) {
    Prepare(url, true);
    client_->Post();
}

void THTTPConnection::GetAsync(const std::string& url) {
    Prepare(url, false);
    client_->GetAsync();
}

int64_t THTTPConnection::ReceivedBytes() const {
    return client_->ReceivedBytes();
}
std::string THTTPConnection::ReasonPhrase() const {
    return client_->ReasonPhrase();
}
std::string THTTPConnection::LastLine() const {
    return client_->LastLine();
}
int THTTPConnection::StatusCode() const {
    return client_->StatusCode();
}
int THTTPConnection::State() const {
    return client_->State();
}
void THTTPConnection::Abort() {
    client_->Abort();
}
int64_t THTTPConnection::ContentLength() const {
    return client_->ContentLength();
}

std::string THTTPConnection::ContentCharset() const {
    return ContentTypeCharset(client_->ContentType());
}

TContentKind THTTPConnection::ContentKind() const {
    return KindOfContentType(client_->ContentType());
}

} // namespace lumo
