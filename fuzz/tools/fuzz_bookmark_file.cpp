// The bookmark file reader on arbitrary bytes. Whatever it makes of them,
// the file the program would write reads back into the same tree.
#include "fuzz/fuzz_support.h"
#include "tools/bookmark_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumo;
    const TBookmarkParse parse = ParseBookmarks(fuzz::AsText(data, size));
    const std::string written = FormatBookmarks(parse.Nodes);
    const TBookmarkParse again = ParseBookmarks(written);
    if (!again.Error.empty() || again.Nodes != parse.Nodes) __builtin_trap();
    for (const TBookmarkNode& node : parse.Nodes)
        if (BookmarkHeight(node) > MaxBookmarkDepth) __builtin_trap();
    return 0;
}
