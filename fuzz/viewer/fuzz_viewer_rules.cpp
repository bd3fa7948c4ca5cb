// Link names and refresh requests as pages write them: any bytes, split at
// line breaks into a name, a base folder, a document file and a META content.
#include "fuzz/fuzz_support.h"
#include "viewer/viewer_rules.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input = lumo::fuzz::AsText(data, size);
    std::string_view parts[4];
    for (auto& part : parts) {
        const size_t end = input.find('\n');
        part = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    }
    const std::string root = lumo::ServerRootPath(parts[1]);
    const std::string name = lumo::ExpandLocalName(parts[0], root, parts[1], parts[2]);
    // A full name expanded again is the same name: the history and links reopen it so.
    if (name.starts_with('/') && lumo::ExpandLocalName(name, "", "", "") != name) __builtin_trap();
    lumo::LinkKindOf(name);
    lumo::IsOtherScheme(name);
    int delay = 0;
    std::string url;
    lumo::ParseMetaRefresh(parts[3], delay, url);
    if (url.size() > parts[3].size()) __builtin_trap();
    return 0;
}
