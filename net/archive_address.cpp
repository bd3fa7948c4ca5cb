#include "net/archive_address.h"

#include "platform/text.h"

#include <algorithm>
#include <vector>

namespace lumo {

namespace {

std::string SortedQuery(std::string_view query) {
    std::vector<std::string_view> parameters;
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string_view::npos) end = query.size();
        if (end > start) parameters.push_back(query.substr(start, end - start));
        start = end + 1;
    }
    std::stable_sort(parameters.begin(), parameters.end());
    std::string sorted;
    for (std::string_view p : parameters)
        sorted.append(sorted.empty() ? "" : "&").append(p);
    return sorted;
}

// "www.Example.com:80" as "example.com".
std::string HostKey(std::string_view host, std::string_view defaultPort) {
    std::string key = LowerCase(host);
    if (key.starts_with("www.")) key.erase(0, 4);
    const size_t colon = key.rfind(':');
    if (colon != std::string::npos && key.substr(colon + 1) == defaultPort) key.erase(colon);
    return key;
}

} // namespace

std::string ArchiveKey(std::string_view address) {
    address = Trim(address);
    address = address.substr(0, address.find('#'));
    const size_t colon = address.find(':');
    const std::string scheme =
        colon == std::string_view::npos ? std::string() : LowerCase(address.substr(0, colon));
    if ((scheme != "http" && scheme != "https") || address.substr(colon + 1, 2) != "//")
        return std::string(address);
    std::string_view rest = address.substr(colon + 3);
    const size_t pathStart = std::min(rest.find_first_of("/?"), rest.size());
    std::string key = HostKey(rest.substr(0, pathStart), scheme == "http" ? "80" : "443");
    rest.remove_prefix(pathStart);
    const size_t question = rest.find('?');
    std::string_view path = rest.substr(0, question);
    while (path.ends_with('/'))
        path.remove_suffix(1);
    key += path;
    if (question != std::string_view::npos) {
        const std::string query = SortedQuery(rest.substr(question + 1));
        if (!query.empty()) key += "?" + query;
    }
    return key;
}

} // namespace lumo
