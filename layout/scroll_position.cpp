#include "layout/scroll_position.h"

#include "layout/section_list.h"

#include <algorithm>

namespace lumo {

TScrollPosition ScrollPositionAt(const TSectionList& root, int scrollY) {
    const int index = root.PositionIndexAtY(scrollY);
    if (index < 0) return {0, scrollY};
    return {index + 1, scrollY - root.PositionList[static_cast<size_t>(index)]->TopY};
}

int ScrollYOf(const TSectionList& root, const TScrollPosition& position) {
    if (position.Item == 0) return position.Offset;
    const auto& items = root.PositionList;
    if (position.Item < 0 || position.Item > static_cast<int>(items.size())) return -1;
    return items[static_cast<size_t>(position.Item) - 1]->TopY + position.Offset;
}

} // namespace lumo
