// The cookie store: remembers the cookies servers set and makes the value of
// the Cookie request header. Cookies are grouped by a domain derived from the
// host (or from the cookie's "domain=" attribute); they never expire and paths
// are not considered. The store is kept in "Cookies.txt", one entry per line:
// the domain, a space, and the cookie's "name=value;" text as received,
// followed by " secure" for a cookie that goes only over https.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

class TCookieList {
public:
    static constexpr size_t MaxFileSize = 4 * 1024 * 1024;
    static constexpr size_t MaxEntries = 5000;
    static constexpr size_t MaxEntryLength = 4096;

    // Loads "Cookies.txt" from the folder when it exists.
    explicit TCookieList(std::string folder);
    // Writes "Cookies.txt" when SetSaveOnDestroy(true) was called.
    ~TCookieList();
    TCookieList(const TCookieList&) = delete;
    TCookieList& operator=(const TCookieList&) = delete;

    // url is the address of the page whose response carried "Set-Cookie: value".
    void StoreSetCookie(std::string_view url, std::string_view value);

    // The Cookie header value for a request to url; empty when there is none.
    std::string CookieHeaderFor(std::string_view url) const;

    void SetSaveOnDestroy(bool save) { saveOnDestroy_ = save; }

    const std::vector<std::string>& Entries() const { return entries_; }
    std::string FileText() const;

private:
    void AddEntry(std::string entry);
    bool HasSecureCookieNamed(const std::string& domain, std::string_view name) const;

    std::string folder_;
    std::vector<std::string> entries_; // sorted without regard to case, no duplicates
    bool saveOnDestroy_ = false;
};

// The cookie domain of a host: ".news.example.com" gives ".example.com",
// ".a.shop.example.de" gives ".shop.example.de", an IPv4 address is its own
// domain; empty when the host takes part in no cookie exchange.
std::string CookieDomainOf(std::string_view host);

} // namespace lumo
