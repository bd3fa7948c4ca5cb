// Every address function on arbitrary text; the input is split at its first
// newline into a base and a relative address.
#include "address/address.h"
#include "fuzz/fuzz_support.h"
#include "platform/file_system.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumo;
    const std::string_view text = fuzz::AsText(data, size);
    const size_t newline = text.find('\n');
    const std::string_view base = text.substr(0, newline);
    const std::string_view rel = newline == std::string_view::npos ? "" : text.substr(newline + 1);
    SplitAddress(base);
    SchemeOf(base);
    const std::string dir = DirectoryOf(base);
    ResolveRelative(dir, rel);
    ResolveRelative(base, rel);
    CompleteAddress(rel);
    IsAbsolute(rel);
    ExtensionOf(base);
    LastSegmentOf(base);
    LastPos(rel, base);
    PathToAddress(text);
    // A local name is written one way only, and names the file the text named.
    const std::string name = AddressToPath(text);
    if (LocalName(name) != name || NativePath(LocalName(text)) != NativePath(text)) std::abort();
    ServerAddressToPath(base, rel);
    return 0;
}
