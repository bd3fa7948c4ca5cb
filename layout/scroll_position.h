// A scroll position that survives a layout at another width: the item of the
// document's position list that starts at or above the top of the view, and
// how far below that item's top the view starts. Kept as a pair of full-range
// integers, so documents of any item count and items of any height keep it.
#pragma once

namespace lumo {

class TSectionList;

struct TScrollPosition {
    // 1 + the index of the item in the position list; 0 when no item starts
    // at or above the view, and Offset is then the plain scroll Y.
    int Item = 0;
    int Offset = 0;

    bool operator==(const TScrollPosition&) const = default;
};

// The position of the view whose top is at document Y scrollY.
TScrollPosition ScrollPositionAt(const TSectionList& root, int scrollY);

// The scroll Y of a position in the document as laid out now; a position
// whose item no longer exists yields -1.
int ScrollYOf(const TSectionList& root, const TScrollPosition& position);

} // namespace lumo
