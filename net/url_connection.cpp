#include "net/url_connection.h"

#include "address/address.h"
#include "net/file_connection.h"
#include "net/http_connection.h"
#include "net/resource_connection.h"
#include "platform/stream.h"

namespace lumo {

TURLConnection::TURLConnection() = default;

TURLConnection::~TURLConnection() = default;

std::unique_ptr<TURLConnection> TURLConnection::CreateForURL(std::string_view url) {
    const std::string scheme = SchemeOf(url);
    if (scheme == "http") return std::make_unique<THTTPConnection>();
    if (scheme == "file") return std::make_unique<TFileConnection>();
    if (scheme == "res") return std::make_unique<TResourceConnection>();
    return nullptr;
}

void TURLConnection::GetAsync(const std::string& url) {
    try {
        Get(url);
    } catch (const std::exception&) {
        // Reported through OnRequestDone already.
    }
}

void TURLConnection::EnsureContentStream() {
    if (contentStream_) return;
    ownedStream_ = std::make_unique<TMemoryStream>();
    contentStream_ = ownedStream_.get();
}

void TURLConnection::UseStream(TStream* stream) {
    ownedStream_.reset();
    contentStream_ = stream;
}

void TURLConnection::FireRequestDone(uint16_t error) {
    if (const auto done = OnRequestDone) done(*this, httpGET, error);
}

} // namespace lumo
