#include "layout/scroll_position.h"

#include "layout/section_list.h"

#include <algorithm>

namespace lumo {

TScrollPosition ScrollPositionAt(const TSectionList& root, int scrollY) {
    const auto& items = root.PositionList;
    // The last item whose top is at or above the top of the view.
    auto it = std::upper_bound(items.begin(), items.end(), scrollY,
                               [](int y, const TSectionBase* item) { return y < item->TopY; });
    if (it == items.begin()) return {0, scrollY};
    --it;
    return {static_cast<int>(it - items.begin()) + 1, scrollY - (*it)->TopY};
}

int ScrollYOf(const TSectionList& root, const TScrollPosition& position) {
    if (position.Item == 0) return position.Offset;
    const auto& items = root.PositionList;
    if (position.Item < 0 || position.Item > static_cast<int>(items.size())) return -1;
    return items[static_cast<size_t>(position.Item) - 1]->TopY + position.Offset;
}

} // namespace lumo
