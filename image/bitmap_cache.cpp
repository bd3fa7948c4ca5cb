#include "image/bitmap_cache.h"

#include <algorithm>

namespace lumo {

namespace {
template <class Items>
auto LowerBound(Items& items, std::string_view name) {
    return std::lower_bound(items.begin(), items.end(), name,
                            [](const auto& e, std::string_view n) { return e.first < n; });
}
} // namespace

Bitmap WithLowerLeftTransparent(Bitmap picture) {
    if (picture.Width <= 0 || picture.Height <= 0) return picture;
    const uint32_t corner = picture.At(0, picture.Height - 1);
    for (uint32_t& pixel : picture.Pixels)
        if (pixel == corner) pixel = 0;
    return picture;
}

const Bitmap* TBitmapItem::LowerLeftTransparent() {
    const auto* still = dynamic_cast<const TBitmapImage*>(MImage.get());
    if (!still) return nullptr;
    if (!lowerLeftTransparent_)
        lowerLeftTransparent_ = std::make_unique<Bitmap>(WithLowerLeftTransparent(still->Picture));
    return lowerLeftTransparent_.get();
}

int TStringBitmapList::IndexOf(std::string_view name) const {
    auto it = LowerBound(items_, name);
    return it != items_.end() && it->first == name ? static_cast<int>(it - items_.begin()) : -1;
}

TBitmapItem* TStringBitmapList::AddObject(std::string_view name,
                                          std::unique_ptr<TBitmapItem> item) {
    auto it = LowerBound(items_, name);
    if (it == items_.end() || it->first != name)
        it = items_.emplace(it, std::string(name), std::move(item));
    ++it->second->UsageCount;
    return it->second.get();
}

TCachedImage* TStringBitmapList::GetImage(int index) {
    TBitmapItem& item = Item(index);
    item.AccessCount = 0;
    ++item.UsageCount;
    return item.MImage.get();
}

void TStringBitmapList::AddUse(std::string_view name) {
    if (int i = IndexOf(name); i >= 0) ++Item(i).UsageCount;
}

void TStringBitmapList::DropUse(std::string_view name) {
    if (int i = IndexOf(name); i >= 0) --Item(i).UsageCount;
}

void TStringBitmapList::PurgeOlderThan(int limit) {
    for (int i = Count() - 1; i >= 0; --i) {
        const TBitmapItem& item = Item(i);
        if (item.AccessCount > limit && item.UsageCount < 1) items_.erase(items_.begin() + i);
    }
}

void TStringBitmapList::AgeAndPurge() {
    for (auto& entry : items_)
        ++entry.second->AccessCount;
    PurgeOlderThan(MaxCache);
}

void TStringBitmapList::SetCacheLimit(int n) {
    PurgeOlderThan(n);
    MaxCache = n;
}

} // namespace lumo
