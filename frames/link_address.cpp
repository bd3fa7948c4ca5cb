#include "frames/link_address.h"

#include "address/address.h"

namespace lumo {

bool IsFullAddress(std::string_view link) {
    if (IsAbsolute(link)) return true;
    const size_t scheme = SchemeLength(link);
    return scheme >= 2 && scheme < link.size() && link[scheme] == ':';
}

std::pair<std::string, std::string> SplitAnchor(std::string_view url) {
    const size_t hash = url.find('#');
    if (hash == std::string_view::npos) return {std::string(url), {}};
    return {std::string(url.substr(0, hash)), std::string(url.substr(hash))};
}

std::string ExpandFrameName(std::string_view name, std::string_view documentBase,
                            std::string_view frameBase) {
    std::string address(name);
    if (address.find('\\') != std::string::npos) {
        address = PathToAddress(address);
        if (address.find('|') != std::string::npos) address = "file:///" + address;
    }
    if (IsFullAddress(address)) return address;
    const std::string base =
        documentBase.empty() ? std::string(frameBase) : DirectoryOf(documentBase);
    return ResolveRelative(base, address);
}

std::string ResolveFrameLink(std::string_view address, std::string_view documentBase,
                             std::string_view frameBase, std::string_view frameSource) {
    if (address.empty()) return std::string(frameSource);
    return ExpandFrameName(address, documentBase, frameBase);
}

std::string EncodeFormResults(const std::vector<std::string>& results) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    const auto plain = [](unsigned char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '@' || c == '*' || c == '-' || c == '.' || c == '=' || c == '_';
    };
    std::string query;
    for (size_t line = 0; line < results.size(); ++line) {
        if (line > 0) query += '&';
        for (const char ch : results[line]) {
            const auto c = static_cast<unsigned char>(ch);
            if (plain(c)) {
                query += ch;
            } else if (c == ' ') {
                query += '+';
            } else {
                query += '%';
                query += Hex[c >> 4];
                query += Hex[c & 15];
            }
        }
    }
    return query;
}

} // namespace lumo
