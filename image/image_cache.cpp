#include "image/image_cache.h"

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

const Bitmap* TImageCacheEntry::LowerLeftTransparent() {
    const auto* still = dynamic_cast<const TBitmapImage*>(MImage.get());
    if (!still) return nullptr;
    if (!lowerLeftTransparent_)
        lowerLeftTransparent_ = std::make_unique<Bitmap>(WithLowerLeftTransparent(still->Picture));
    return lowerLeftTransparent_.get();
}

TImageCache::TImageCache() : budget_(std::make_shared<TPictureBudget>()) {}

TImageCache::~TImageCache() {
    budget_->Give(held_);
}

int TImageCache::IndexOf(std::string_view name) const {
    auto it = LowerBound(items_, name);
    return it != items_.end() && it->first == name ? static_cast<int>(it - items_.begin()) : -1;
}

TImageCacheEntry* TImageCache::AddObject(std::string_view name,
                                         std::unique_ptr<TImageCacheEntry> item) {
    auto it = LowerBound(items_, name);
    if (it == items_.end() || it->first != name) {
        const int64_t bytes = (item->MImage ? item->MImage->MemoryBytes() : 0) +
                              (item->Mask ? BitmapBytes(*item->Mask) : 0);
        if (!Charge(bytes)) return nullptr;
        item->Bytes = bytes;
        it = items_.emplace(LowerBound(items_, name), std::string(name), std::move(item));
    }
    ++it->second->UsageCount;
    return it->second.get();
}

TCachedImage* TImageCache::GetImage(int index) {
    TImageCacheEntry& item = Item(index);
    item.AccessCount = 0;
    ++item.UsageCount;
    return item.MImage.get();
}

void TImageCache::AddUse(std::string_view name) {
    if (int i = IndexOf(name); i >= 0) ++Item(i).UsageCount;
}

void TImageCache::DropUse(std::string_view name) {
    if (int i = IndexOf(name); i >= 0) --Item(i).UsageCount;
}

void TImageCache::Erase(int index) {
    Discharge(Item(index).Bytes);
    items_.erase(items_.begin() + index);
}

void TImageCache::PurgeOlderThan(int limit) {
    for (int i = Count() - 1; i >= 0; --i) {
        const TImageCacheEntry& item = Item(i);
        if (item.AccessCount > limit && item.UsageCount < 1) Erase(i);
    }
}

void TImageCache::Clear() {
    for (int i = Count() - 1; i >= 0; --i)
        Erase(i);
}

void TImageCache::SetBudget(std::shared_ptr<TPictureBudget> budget) {
    budget_->Give(held_);
    budget_ = std::move(budget);
    budget_->Add(held_);
}

int64_t TImageCache::Room() const {
    int64_t unused = 0;
    for (const auto& entry : items_)
        if (entry.second->UsageCount < 1) unused += entry.second->Bytes;
    return budget_->Room() + unused;
}

bool TImageCache::Charge(int64_t bytes) {
    if (!budget_->Take(bytes)) {
        PurgeOlderThan(-1); // what nobody uses gives way to what is wanted now
        if (!budget_->Take(bytes)) return false;
    }
    held_ += bytes;
    return true;
}

bool TImageCache::ChargeLowerLeftCopy(TImageCacheEntry& item) {
    if (item.LowerLeftCharged) return true;
    const auto* still = dynamic_cast<const TBitmapImage*>(item.MImage.get());
    const int64_t bytes = still ? still->MemoryBytes() : 0;
    if (!Charge(bytes)) return false;
    item.Bytes += bytes;
    item.LowerLeftCharged = true;
    return true;
}

void TImageCache::Discharge(int64_t bytes) {
    bytes = std::min(bytes, held_);
    budget_->Give(bytes);
    held_ -= bytes;
}

void TImageCache::AgeAndPurge() {
    for (auto& entry : items_)
        ++entry.second->AccessCount;
    PurgeOlderThan(MaxCache);
}

void TImageCache::SetCacheLimit(int n) {
    PurgeOlderThan(n);
    MaxCache = n;
}

} // namespace lumo
