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
    void Rebuild(std::vector<Item*> items) {
        items_ = std::move(items);
        const size_t n = items_.size();
        maxBottom_.resize(n);
        minTop_.resize(n);
        int bottom = INT_MIN;
        for (size_t i = 0; i < n; ++i) {
            bottom = std::max(bottom, items_[i]->PaintBottomY);
            maxBottom_[i] = bottom;
        }
        int top = INT_MAX;
        for (size_t i = n; i-- > 0;) {
            top = std::min(top, items_[i]->PaintTopY);
            minTop_[i] = top;
        }
    }

    void Clear() {
        items_.clear();
        maxBottom_.clear();
        minTop_.clear();
    }

    const std::vector<Item*>& Items() const { return items_; }

    // Calls f for each item in paint order whose rows [PaintTopY,
    // PaintBottomY) may meet [top, bottom); items with an empty extent are
    // offered when their top lies in the band.
    template <class F>
    void ForEachMeeting(int top, int bottom, F&& f) const {
        size_t first =
            std::upper_bound(maxBottom_.begin(), maxBottom_.end(), top - 1) - maxBottom_.begin();
        for (size_t i = first; i < items_.size(); ++i) {
            if (minTop_[i] >= bottom) break;
            Item* item = items_[i];
            if (item->PaintTopY < bottom && item->PaintBottomY >= top) f(item);
        }
    }

private:
    std::vector<Item*> items_;
    std::vector<int> maxBottom_; // largest PaintBottomY of items 0..i
    std::vector<int> minTop_;    // smallest PaintTopY of items i..n-1
};

} // namespace lumo
