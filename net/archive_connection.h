// The connection for addresses answered from an open web archive: the
// archive's own address gives its index page (or, with "?capture=PLACE",
// that capture), a web address the capture nearest to the date of the page
// shown last. Captured redirections are followed, each telling its Location
// as a header line, as an HTTP fetch does; nothing goes to the network.
#pragma once

#include "net/url_connection.h"

#include <memory>

namespace lumo {

class TWebArchive;
struct TArchiveEntry;
enum class TRedirects;

class TArchiveConnection : public TURLConnection {
public:
    static constexpr int MaxRedirections = 10;

    TArchiveConnection(std::shared_ptr<TWebArchive> archive, std::string selfAddress);

    // Raises "Not in this archive: ADDRESS" for what the archive lacks.
    void Get(const std::string& url) override;
    std::string LastLine() const override { return lastLine_; }
    std::string ContentCharset() const override { return charset_; }

private:
    void Serve(const std::string& url);
    void ServeIndex(std::string_view query);
    void ServeCapture(std::string address, const TArchiveEntry* entry);
    // The capture to serve for the address: the one it was shown from when
    // the window returns to it, else the one nearest the date.
    const TArchiveEntry* CaptureFor(const std::string& address, uint64_t date,
                                    TRedirects redirects) const;
    // Raises the header events for one line, as an HTTP fetch would.
    void TellHeader(std::string line);

    std::shared_ptr<TWebArchive> archive_;
    std::string selfAddress_;
    std::string lastLine_;
    std::string charset_;
};

// Whether the address (its query aside) names the archive file.
bool IsArchiveAddress(std::string_view url, const std::string& archiveFile);

} // namespace lumo
