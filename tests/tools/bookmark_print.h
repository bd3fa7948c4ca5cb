// Bookmark nodes printed as the file would hold them, for test failures.
#pragma once

#include "tools/bookmark_file.h"

#include <ostream>

namespace lumo {

inline void PrintTo(const TBookmarkNode& node, std::ostream* out) {
    *out << '\n' << FormatBookmarks({node});
}

} // namespace lumo
