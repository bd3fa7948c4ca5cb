#include "address/address.h"

#include "platform/file_system.h"
#include "platform/text.h"

#include <algorithm>
#include <vector>

namespace lumo {

namespace {
constexpr auto npos = std::string_view::npos;

std::string_view BeforeQuery(std::string_view url) {
    return url.substr(0, url.find('?'));
}

// Splits "authority" into host and port, and the user information before an "@".
void SplitAuthority(std::string_view authority, AddressParts& parts) {
    const size_t colon = authority.rfind(':');
    const size_t at = authority.rfind('@');
    if (colon == npos && at == npos) {
        parts.Host = authority;
        return;
    }
    const size_t hostStart = at == npos ? 0 : at + 1;
    if (colon == npos || (at != npos && colon < at)) {
        parts.Host = authority.substr(hostStart);
    } else {
        parts.Port = authority.substr(colon + 1);
        parts.Host = authority.substr(hostStart, colon - hostStart);
    }
    if (at != npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const size_t sep = userInfo.find(':');
        parts.User = userInfo.substr(0, sep);
        if (sep != npos) parts.Pass = userInfo.substr(sep + 1);
    }
}

// Replaces "/./" by "/" until none is left, in one pass: dropping "/." never
// makes a new "/./" before the point reached.
void ReduceDotSegments(std::string& s) {
    size_t out = 0;
    for (size_t in = 0; in < s.size(); ++in) {
        if (s[in] == '/' && in + 2 < s.size() && s[in + 1] == '.' && s[in + 2] == '/') {
            ++in; // skip "/.", keep the "/" that follows
            continue;
        }
        s[out++] = s[in];
    }
    s.resize(out);
}

// Takes out each "segment/../" after the root slash, and a "../" right after
// the root, keeping a stack of the segments kept so far (one pass). A final
// ".." without a slash after it stays, as does everything when a "/../"
// stands before the root (inside the scheme part).
void ReduceParentSegments(std::string& s, size_t root) {
    const size_t first = s.find("/../");
    if (first == std::string::npos || first < root) return;
    const std::string_view path = std::string_view(s).substr(root + 1);
    std::vector<std::string_view> kept;
    for (size_t start = 0;;) {
        const size_t slash = path.find('/', start);
        const std::string_view segment = path.substr(start, slash - start);
        if (slash != npos && segment == "..") {
            if (!kept.empty()) kept.pop_back();
        } else {
            kept.push_back(segment);
        }
        if (slash == npos) break;
        start = slash + 1;
    }
    std::string result = s.substr(0, root + 1);
    for (size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) result += '/';
        result += kept[i];
    }
    s = std::move(result);
}
} // namespace

AddressParts SplitAddress(std::string_view url) {
    AddressParts parts;
    if (url.empty()) return parts;
    std::string_view rest = url;
    if (const size_t sep = url.find("://"); sep != npos) {
        parts.Proto = url.substr(0, sep);
        rest = url.substr(sep + 3);
    } else if (url[0] == '/') {
        parts.Proto = "http";
        if (url.size() < 2 || url[1] != '/') {
            parts.Path = url;
            return parts;
        }
        rest = url.substr(2); // "//host/path": the authority follows both slashes
    } else if (StartsWithText(url, "http:")) {
        parts.Proto = "http";
        if (url.size() >= 7 && url[6] != '/') {
            parts.Path = url.substr(5);
            return parts;
        }
        rest = url.substr(5);
    } else if (StartsWithText(url, "mailto:")) {
        parts.Proto = "mailto";
        rest = url.substr(url.find(':') + 1);
    }
    // The server part ends where the path, the query or the fragment begins.
    const size_t end = rest.find_first_of("/?#");
    if (end != npos) parts.Path = rest.substr(end);
    SplitAuthority(rest.substr(0, end), parts);
    return parts;
}

std::string SchemeOf(std::string_view url) {
    return LowerCase(SplitAddress(BeforeQuery(url)).Proto);
}

std::string DirectoryOf(std::string_view url) {
    const std::string_view address = BeforeQuery(Trim(url));
    const size_t doubleSlash = address.find("//");
    const size_t after =
        doubleSlash == npos ? 1 : doubleSlash + 1; // 0-based index of the last excluded char
    const size_t last = address.rfind('/');
    if (last == npos || last <= after) return std::string(address) + "/";
    return std::string(address.substr(0, last + 1));
}

std::string ResolveRelative(std::string_view baseIn, std::string_view relIn) {
    const std::string_view rel = Trim(relIn);
    if (rel.starts_with("//")) { // the scheme of the base, another server
        std::string result = CompleteAddress(SchemeOf(baseIn) + ":" + std::string(rel));
        ReduceParentSegments(result, result.find('/', result.find("://") + 3));
        return result;
    }
    std::string base(baseIn);
    const size_t scheme = base.find("://");
    size_t root = base.find('/', scheme == std::string::npos ? 0 : scheme + 3);
    if (root == std::string::npos) {
        base += '/';
        root = base.size() - 1;
    }
    if (base.back() != '/') base += '/';

    std::string result;
    if (!rel.empty() && rel[0] == '/')
        result = base.substr(0, root + 1) + std::string(rel.substr(1));
    else
        result = base + std::string(rel);

    // "/./" goes first, so that "./../" climbs out of the base folder.
    ReduceDotSegments(result);
    ReduceParentSegments(result, root);
    return result;
}

std::string CompleteAddress(std::string_view url) {
    std::string result(Trim(url));
    if (result.find("://") == std::string::npos) result.insert(0, "http://");
    ReduceDotSegments(result);
    const size_t afterSlashes = result.find("//") + 2;
    if (result.find('/', afterSlashes) == std::string::npos) result += '/';
    return result;
}

std::string ResolveLocation(std::string_view current, std::string_view location) {
    const std::string_view value = Trim(location);
    const size_t scheme = value.find("://");
    if (scheme != npos && value.find_first_of("/?") > scheme) return CompleteAddress(value);
    return ResolveRelative(DirectoryOf(current), value);
}

bool IsAbsolute(std::string_view url) {
    return url.find("://") != npos || LowerCase(url).find("mailto:") != std::string::npos;
}

namespace {
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
} // namespace

size_t SchemeLength(std::string_view text) {
    if (text.empty() || !IsLetter(text[0])) return 0;
    size_t i = 1;
    while (i < text.size() && (IsLetter(text[i]) || (text[i] >= '0' && text[i] <= '9') ||
                               text[i] == '+' || text[i] == '-' || text[i] == '.'))
        ++i;
    return i < text.size() && text[i] == ':' ? i : 0;
}

bool IsDrivePath(std::string_view text) {
    return text.size() >= 2 && IsLetter(text[0]) && text[1] == ':';
}

std::string ExtensionOf(std::string_view url) {
    const size_t end = std::min(url.find_first_of("?#"), url.size());
    const size_t first = end > 6 ? end - 6 : 0;
    for (size_t i = end; i > first; --i)
        if (url[i - 1] == '.') return std::string(url.substr(i, end - i));
    return {};
}

std::string LastSegmentOf(std::string_view url) {
    const size_t slash = url.rfind('/');
    return std::string(slash == npos ? url : url.substr(slash + 1));
}

size_t LastPos(std::string_view sub, std::string_view s) {
    if (sub.empty()) return 0;
    const size_t at = s.rfind(sub);
    return at == npos ? 0 : at + 1;
}

std::string PathToAddress(std::string_view path) {
    std::string result;
    result.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '\\')
            result += '/';
        else if (c == ':' && path.substr(i, 3) != "://")
            result += '|';
        else
            result += c;
    }
    // An absolute local path keeps one slash: "file:///" + "home/u/a.htm".
    if (!result.empty() && result[0] == '/') result.erase(0, 1);
    return result;
}

std::string AddressToPath(std::string_view url) {
    // A drive is found in the text as written: an escaped ":" or "|" is part of a name.
    std::string_view s = url;
    if (s.find('/') == std::string_view::npos) return LocalName(s);
    if (StartsWithText(s, "file://")) s.remove_prefix(7); // "file:///" keeps the root slash
    // "/c|/dir" and "/c:/dir": a drive path, kept in its Windows form.
    std::string_view rest = s;
    if (rest.size() >= 3 && rest[0] == '/' && (rest[2] == '|' || rest[2] == ':'))
        rest.remove_prefix(1);
    if (rest.size() < 2 || (rest[1] != '|' && rest[1] != ':')) return LocalName(s);
    std::string windows(rest);
    for (char& c : windows) {
        if (c == '|')
            c = ':';
        else if (c == '/')
            c = '\\';
    }
    return LocalName(IsDrivePath(windows) ? std::string_view(windows) : s);
}

std::string ServerAddressToPath(std::string_view url, std::string_view root) {
    std::string path = AddressToPath(url);
    bool serverRelative = StartsWithText(path, "\\\\") ||
                          (!path.empty() && path[0] == '/' && !StartsWithText(url, "file:"));
    if (!serverRelative || root.empty()) return path;
    std::string result(root);
    if (result.back() == '/' && path[0] == '/') result.pop_back();
    return result + path;
}

} // namespace lumo
