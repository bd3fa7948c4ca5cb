// A connection fetches one document named by an address into a stream and
// says what kind of content it is. The owner picks the connection for the
// address's scheme with CreateForURL and drives every kind the same way: set
// the proxy, cookie and events, call Get (Post, GetAsync), read the results.
#pragma once

#include "net/content_kind.h"
#include "net/http_client.h"
#include "net/socks_settings.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace lumo {

class TStream;

class TURLConnection {
public:
    // Every event names the connection that fires it. The owner may free the
    // connection from inside any event.
    using NotifyEvent = std::function<void(TURLConnection& Sender)>;
    using DataEvent = std::function<void(TURLConnection& Sender, const char* Buffer, int Len)>;

    TURLConnection();
    virtual ~TURLConnection();
    TURLConnection(const TURLConnection&) = delete;
    TURLConnection& operator=(const TURLConnection&) = delete;

    // A new connection for http, file and res addresses; nullptr for any other scheme.
    static std::unique_ptr<TURLConnection> CreateForURL(std::string_view url);

    // Fetches into ContentStream; raises on failure.
    virtual void Get(const std::string& url) = 0;
    // Sends PostStream with ContentTypePost; Get for connections other than HTTP.
    virtual void Post(const std::string& url) { Get(url); }
    // Starts the fetch; OnRequestDone tells the end and failures raise nothing.
    virtual void GetAsync(const std::string& url);
    virtual void PostAsync(const std::string& url) { Post(url); }
    void EnsureContentStream();

    virtual int64_t ReceivedBytes() const { return 0; }
    virtual std::string ReasonPhrase() const { return reasonPhrase_; }
    virtual std::string LastLine() const { return {}; }
    virtual int StatusCode() const { return statusCode_; }
    virtual int State() const { return hsReady; }
    virtual void Abort() {}
    virtual TContentKind ContentKind() const { return contentKind_; }
    virtual int64_t ContentLength() const { return contentLength_; }
    // The character set the server named for the document (lower case);
    // empty when it named none.
    virtual std::string ContentCharset() const { return {}; }

    // Replaces the stream (freeing it when owned) by the caller's, which the caller keeps.
    void UseStream(TStream* stream);
    TStream* ContentStream() const { return contentStream_; }
    bool OwnsContentStream() const { return ownedStream_ != nullptr; }

    std::function<void(TURLConnection& Sender, const std::string& S)> OnCommand;
    NotifyEvent OnHeaderBegin, OnHeaderEnd, OnHeaderData, OnDocBegin, OnDocEnd;
    DataEvent OnDocData;
    std::function<void(TURLConnection& Sender, THttpRequest RqType, uint16_t Error)> OnRequestDone;
    // Forwarded from the HTTP client: the cookie for the address a redirection leads to.
    std::function<void(TURLConnection& Sender, const std::string& URL, std::string& Cookie)>
        OnCookieRequest;

    std::string Proxy, ProxyPort;
    // Every HTTP fetch, posts included, goes through this server when it is set.
    TSocksSettings Socks;
    std::string Cookie;
    std::string ContentTypePost;
    TStream* PostStream = nullptr; // borrowed

protected:
    void FireRequestDone(uint16_t error);

    TStream* contentStream_ = nullptr;
    std::unique_ptr<TStream> ownedStream_; // set when the connection made contentStream_
    TContentKind contentKind_ = ckHTML;
    int64_t contentLength_ = 0;
    std::string reasonPhrase_ = "Can't get file";
    int statusCode_ = 404;
};

} // namespace lumo
