// The Bookmarks menu: a copy of the bookmark tree. A bookmark without
// children is an item that opens its address (kept in the item's data and
// shown as its tool tip); a folder, or a bookmark that has children, is a
// sub-menu of its children, or a plain item when it has none.
#pragma once

#include "tools/bookmark_file.h"

#include <functional>
#include <string>

class QMenu;

namespace lumo {

using TOpenBookmark = std::function<void(const std::string& address)>;

// Replaces the menu's items with the tree's. The old items are freed from
// the event loop, so a rebuild may run from one of them.
void BuildBookmarkMenu(QMenu& menu, const TBookmarkList& nodes, const TOpenBookmark& open);

} // namespace lumo
