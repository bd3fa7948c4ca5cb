#include "net/cookie_list.h"

#include "address/address.h"
#include "platform/file_system.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <optional>

namespace lumo {

namespace {

// What follows the cookie of an entry that goes only over https.
constexpr std::string_view SecureMark = "secure";

// The positions of the last three dots of a name, last first (npos where none).
struct Dots {
    size_t count = 0;
    std::array<size_t, 3> last{std::string_view::npos, std::string_view::npos,
                               std::string_view::npos};
};

Dots CountDots(std::string_view s) {
    Dots dots;
    for (size_t i = s.size(); i-- > 0;) {
        if (s[i] != '.') continue;
        if (dots.count < 3) dots.last[dots.count] = i;
        ++dots.count;
    }
    return dots;
}

// Whether the last dot stands three characters before the end of a generic
// top-level domain.
bool IsGenericTLD(std::string_view s, const Dots& dots) {
    if (dots.count == 0 || dots.last[0] + 4 != s.size()) return false;
    const std::string tld = LowerCase(s.substr(dots.last[0] + 1));
    static constexpr std::array<std::string_view, 7> Generic = {"com", "edu", "net", "org",
                                                                "gov", "mil", "int"};
    return std::find(Generic.begin(), Generic.end(), tld) != Generic.end();
}

bool HasEnoughDots(std::string_view s) {
    const Dots dots = CountDots(s);
    return dots.count >= 3 || (dots.count >= 2 && IsGenericTLD(s, dots));
}

bool IsIPv4Address(std::string_view host) {
    int parts = 0;
    size_t digits = 0;
    for (char c : host) {
        if (c == '.') {
            if (digits == 0) return false;
            ++parts;
            digits = 0;
        } else if (c >= '0' && c <= '9' && digits < 3) {
            ++digits;
        } else {
            return false;
        }
    }
    return digits > 0 && parts == 3;
}

// The domain named by a cookie's "domain=" attribute, when the host may set
// cookies for it: enough dots, and the host lies inside it at a dot boundary.
std::string AcceptedDomainAttribute(std::string_view attribute, std::string_view host) {
    std::string domain = LowerCase(attribute);
    if (domain.empty() || domain[0] != '.') domain.insert(0, ".");
    const std::string dottedHost = "." + LowerCase(host);
    if (IsIPv4Address(host)) return domain == dottedHost ? domain : std::string();
    if (!HasEnoughDots(attribute) || !dottedHost.ends_with(domain)) return {};
    return domain;
}

bool HasControlByte(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    });
}

// The value of the "domain=" attribute (up to a space), looked for only
// among the attributes after the first ";": a cookie may be named
// "sso_domain" or hold "domain=" in its value.
std::optional<std::string_view> DomainAttribute(std::string_view value) {
    for (size_t at = value.find(';'); at != std::string_view::npos; at = value.find(';', at + 1)) {
        const std::string_view attribute =
            Trim(value.substr(at + 1, value.find(';', at + 1) - at - 1));
        if (attribute.starts_with("domain=")) {
            const std::string_view domain = attribute.substr(7);
            return domain.substr(0, domain.find(' '));
        }
    }
    return std::nullopt;
}

bool HasSecureAttribute(std::string_view value) {
    for (size_t at = value.find(';'); at != std::string_view::npos; at = value.find(';', at + 1))
        if (SameText(Trim(value.substr(at + 1, value.find(';', at + 1) - at - 1)), "secure"))
            return true;
    return false;
}

// An entry's cookie, "name=value;", and whether it goes only over https.
struct EntryCookie {
    std::string_view NameValue;
    bool Secure = false;
};

EntryCookie CookieOfEntry(std::string_view rest) {
    const size_t end = rest.find(';');
    if (end == std::string_view::npos) return {rest, false};
    return {rest.substr(0, end + 1), SameText(Trim(rest.substr(end + 1)), SecureMark)};
}

bool SecureAddress(std::string_view url) {
    return SameText(SplitAddress(url).Proto, "https");
}

} // namespace

std::string CookieDomainOf(std::string_view host) {
    if (host.empty()) return {};
    std::string name = "." + LowerCase(host);
    if (IsIPv4Address(host)) return name;
    const Dots dots = CountDots(name);
    if (dots.count >= 2 && IsGenericTLD(name, dots)) return name.substr(dots.last[1]);
    if (dots.count >= 3) return name.substr(dots.last[2]);
    return {};
}

TCookieList::TCookieList(std::string folder) : folder_(std::move(folder)) {
    if (folder_.empty() || folder_.back() != '/') folder_ += '/';
    const auto text = ReadWholeFile(folder_ + "Cookies.txt", MaxFileSize);
    if (!text) return;
    // Only CR LF and LF end an entry, and no entry holds a control byte: the
    // file must never say more than the store took.
    for (std::string& line : SplitLines(*text, TLoneCR::Kept))
        if (!Trim(line).empty() && !HasControlByte(line)) AddEntry(std::move(line));
}

TCookieList::~TCookieList() {
    if (saveOnDestroy_) WriteFileIfChanged(folder_ + "Cookies.txt", FileText());
}

void TCookieList::AddEntry(std::string entry) {
    if (entry.size() > MaxEntryLength || entries_.size() >= MaxEntries) return;
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), entry, LessText);
    if (at != entries_.end() && SameText(*at, entry)) return;
    entries_.insert(at, std::move(entry));
}

void TCookieList::StoreSetCookie(std::string_view url, std::string_view value) {
    const std::string host = SplitAddress(url).Host;
    value = Trim(value);
    // A line break would split the entry in the file (planting a cookie for
    // any domain) and make the request header unsendable.
    if (HasControlByte(value) || HasControlByte(host)) return;
    // The leading "name=value;" is kept; a cookie without ";" is kept whole and
    // given one, so that headers joined from several cookies stay separable.
    const size_t semicolon = value.find(';');
    std::string nameValue(
        value.substr(0, semicolon == std::string_view::npos ? value.size() : semicolon + 1));
    if (nameValue.empty()) return;
    if (nameValue.back() != ';') nameValue += ';';

    const auto attribute = DomainAttribute(value);
    const std::string domain =
        attribute ? AcceptedDomainAttribute(*attribute, host) : CookieDomainOf(host);
    if (domain.empty()) return;
    // Only a secure page sets a secure cookie, and a page that is not cannot
    // replace one: a cookie named as a secure one of its domain is refused.
    const bool secure = SecureAddress(url);
    if (HasSecureAttribute(value)) {
        if (!secure) return;
        nameValue += " ";
        nameValue += SecureMark;
    } else if (!secure && HasSecureCookieNamed(domain, nameValue.substr(0, nameValue.find('=')))) {
        return;
    }
    AddEntry(domain + " " + nameValue);
}

bool TCookieList::HasSecureCookieNamed(const std::string& domain, std::string_view name) const {
    const std::string prefix = domain + " ";
    for (auto it = std::lower_bound(entries_.begin(), entries_.end(), prefix, LessText);
         it != entries_.end() && StartsWithText(*it, prefix); ++it) {
        const EntryCookie cookie = CookieOfEntry(std::string_view(*it).substr(prefix.size()));
        if (cookie.Secure && cookie.NameValue.substr(0, cookie.NameValue.find('=')) == name)
            return true;
    }
    return false;
}

std::string TCookieList::CookieHeaderFor(std::string_view url) const {
    const std::string domain = CookieDomainOf(SplitAddress(url).Host);
    const bool secure = SecureAddress(url);
    if (domain.empty()) return {};
    // Only entries of exactly this domain: ".example.com " is a prefix of its
    // own entries and of no entry of ".example.community".
    const std::string prefix = domain + " ";
    std::string header;
    for (auto it = std::lower_bound(entries_.begin(), entries_.end(), prefix, LessText);
         it != entries_.end() && StartsWithText(*it, prefix); ++it) {
        const EntryCookie cookie = CookieOfEntry(std::string_view(*it).substr(prefix.size()));
        if (cookie.Secure && !secure) continue;
        if (!header.empty()) header += ' ';
        header += cookie.NameValue;
    }
    return header;
}

std::string TCookieList::FileText() const {
    return JoinLines(entries_);
}

} // namespace lumo
