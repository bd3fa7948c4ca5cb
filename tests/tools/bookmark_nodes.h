// Bookmark trees written short in tests, and printed as the file would hold
// them when a test fails.
#pragma once

#include "tools/bookmark_file.h"

#include <ostream>

namespace lumo {

inline void PrintTo(const TBookmarkNode& node, std::ostream* out) {
    *out << '\n' << FormatBookmarks({node});
}

namespace test {

inline TBookmarkNode Mark(std::string name, std::string address) {
    return {TBookmarkKind::Bookmark, std::move(name), std::move(address), {}};
}

inline TBookmarkNode Folder(std::string name, TBookmarkList children = {}) {
    return {TBookmarkKind::Folder, std::move(name), {}, std::move(children)};
}

} // namespace test
} // namespace lumo
