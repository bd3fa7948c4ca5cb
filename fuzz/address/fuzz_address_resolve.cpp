// Address splitting and the resolution of relative addresses and
// redirection targets, on arbitrary text.
#include "address/address.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), std::min<size_t>(size, 4096));
    const size_t cut = text.find('\n');
    const std::string_view base = cut == std::string_view::npos ? text : text.substr(0, cut);
    const std::string_view rel =
        cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);

    const lumo::AddressParts parts = lumo::SplitAddress(text);
    if (parts.Host.size() > text.size() || parts.Path.size() > text.size()) std::abort();
    lumo::SchemeOf(text);
    lumo::DirectoryOf(base);
    const std::string resolved = lumo::ResolveRelative(base, rel);
    // At most a "/" or two, and "http" for a network path against a base without a scheme.
    if (resolved.size() > base.size() + rel.size() + 6) std::abort();
    lumo::ResolveLocation(base, rel);
    lumo::CompleteAddress(text);
    lumo::ExtensionOf(text);
    return 0;
}
