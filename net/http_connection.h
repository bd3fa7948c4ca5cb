// The connection for http addresses: drives its own HTTP client.
#pragma once

#include "net/url_connection.h"

namespace lumo {

class THTTPConnection : public TURLConnection {
public:
    THTTPConnection();
    ~THTTPConnection() override;

    void Get(const std::string& url) override;
    // Goes straight to the server named in the address, never through the proxy.
    void Post(const std::string& url) override;
    void GetAsync(const std::string& url) override;

    int64_t ReceivedBytes() const override;
    std::string ReasonPhrase() const override;
    std::string LastLine() const override;
    int StatusCode() const override;
    int State() const override;
    void Abort() override;
    // From the content type: "image/" an image, "/plain" text, anything else HTML.
    TContentKind ContentKind() const override;
    // -1 when the server sent no Content-Length.
    int64_t ContentLength() const override;
    // The Content-Type's charset parameter.
    std::string ContentCharset() const override;

    THttpClient& Client() { return *client_; }

private:
    void Prepare(const std::string& url, bool forPost);

    std::unique_ptr<THttpClient> client_;
};

} // namespace lumo
