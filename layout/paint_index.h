// Finds the items of a list that may meet a band of rows without visiting the
// others, so painting a window of a long document costs what the window
// holds. Items are kept in paint order; running extremes of their paint
// extents make the first and last candidates a binary search away even when
// floats and negative margins put some items out of Y order.
#pragma once

#include <algorithm>
#include <climits>
#include <vector>

namespace lumo {

template <class Item>
class TPaintIndex {
public:
    // Takes the items in paint order with their final PaintTopY/PaintBottomY.
    void Rebuild(const std::vector<Item*>& items) {
        // One list sized to the items: every block and cell keeps an index.
        std::vector<TEntry> entries(items.size());
        int bottom = INT_MIN;
        for (size_t i = 0; i < items.size(); ++i) {
            bottom = std::max(bottom, items[i]->PaintBottomY);
            entries[i] = {items[i], bottom, 0};
        }
        int top = INT_MAX;
        for (size_t i = items.size(); i-- > 0;) {
            top = std::min(top, items[i]->PaintTopY);
            entries[i].MinTop = top;
        }
        entries_ = std::move(entries);
    }

    void Clear() { entries_.clear(); }

    // Calls f for each item in paint order whose rows [PaintTopY,
    // PaintBottomY) may meet [top, bottom); items with an empty extent are
    // offered when their top lies in the band.
    template <class F>
    void ForEachMeeting(int top, int bottom, F&& f) const {
        auto it = std::upper_bound(entries_.begin(), entries_.end(), top - 1,
                                   [](int y, const TEntry& e) { return y < e.MaxBottom; });
        for (; it != entries_.end() && it->MinTop < bottom; ++it) {
            Item* item = it->Entry;
            if (item->PaintTopY < bottom && item->PaintBottomY >= top) f(item);
        }
    }

private:
    struct TEntry {
        Item* Entry;
        int MaxBottom; // largest PaintBottomY of this item and those before it
        int MinTop;    // smallest PaintTopY of this item and those after it
    };
    std::vector<TEntry> entries_;
};

} // namespace lumo
