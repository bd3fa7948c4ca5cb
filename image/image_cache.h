// The image cache a viewer's documents share, sorted by image name. Every
// document that uses an image holds a use; an image nobody uses survives
// MaxCache purge rounds and is then dropped. The memory of the pictures, and
// of the work copies their users keep, is charged to a picture budget.
#pragma once

#include "image/picture_budget.h"
#include "platform/canvas.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumo {

// The bytes of a bitmap's pixels.
inline int64_t BitmapBytes(const Bitmap& b) {
    return static_cast<int64_t>(b.Pixels.size() * sizeof(uint32_t));
}

// A picture the cache can hold: a still bitmap here, an animated picture in
// the image decoders.
class TCachedImage {
public:
    virtual ~TCachedImage() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The bytes its pixels take, and will take once drawn.
    virtual int64_t MemoryBytes() const = 0;
};

class TBitmapImage : public TCachedImage {
public:
    explicit TBitmapImage(Bitmap picture) : Picture(std::move(picture)) {}
    int Width() const override { return Picture.Width; }
    int Height() const override { return Picture.Height; }
    int64_t MemoryBytes() const override { return BitmapBytes(Picture); }
    Bitmap Picture;
};

// How an image is transparent.
enum : uint8_t { NotTransp = 0, LLCorner = 1, TrMask = 2 };

struct TImageCacheEntry {
    int AccessCount = 0; // purge rounds since it was last fetched
    int UsageCount = 0;  // documents using it now
    uint8_t Transp = NotTransp;
    std::unique_ptr<TCachedImage> MImage;
    std::unique_ptr<Bitmap> Mask;
    int64_t Bytes = 0; // charged to the budget while the cache holds it, the copy below included
    bool LowerLeftCharged = false; // LowerLeftTransparent's copy is part of Bytes

    // The still picture with every pixel of its lower-left pixel's colour
    // transparent (IMG's TRANSP), made on first use and kept beside the
    // picture, which the images without TRANSP go on showing. Null for an
    // animated picture.
    const Bitmap* LowerLeftTransparent();

private:
    std::unique_ptr<Bitmap> lowerLeftTransparent_;
};

// The picture with every pixel that equals its lower-left one (alpha
// included) transparent.
Bitmap WithLowerLeftTransparent(Bitmap picture);

class TImageCache {
public:
    TImageCache();
    ~TImageCache();
    TImageCache(const TImageCache&) = delete;
    TImageCache& operator=(const TImageCache&) = delete;

    int MaxCache = 4;

    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& Name(int index) const { return items_[index].first; }
    TImageCacheEntry& Item(int index) { return *items_[index].second; }

    // Binary search; -1 when absent. Names compare exactly (file names are
    // case-sensitive here).
    int IndexOf(std::string_view name) const;

    // Adds the image and gives it one use. When the name is already cached
    // the cached entry keeps its picture, gains the use, and is returned.
    // A new picture is charged to the budget; null, and nothing kept, when
    // it does not fit there (see Charge).
    TImageCacheEntry* AddObject(std::string_view name, std::unique_ptr<TImageCacheEntry> item);
    // Fetches an image for a document: AccessCount 0, one more use.
    TCachedImage* GetImage(int index);
    void AddUse(std::string_view name);
    void DropUse(std::string_view name);
    // One purge round: every entry ages; unused ones older than MaxCache go.
    void AgeAndPurge();
    // Drops unused entries older than n, then MaxCache := n.
    void SetCacheLimit(int n);
    void Clear();

    // The budget the cache charges; every cache starts with one of its own.
    // A new budget takes over what the cache holds.
    const std::shared_ptr<TPictureBudget>& Budget() const { return budget_; }
    void SetBudget(std::shared_ptr<TPictureBudget> budget);
    // The most a new picture may take: the budget's room, and what the
    // pictures nobody uses would give back.
    int64_t Room() const;
    // Charges bytes to the budget, dropping the pictures nobody uses when
    // they would not fit otherwise; false, and nothing charged, when they
    // do not fit even then.
    bool Charge(int64_t bytes);
    void Discharge(int64_t bytes);
    // Charges the copy an item's LowerLeftTransparent makes, once, as a part
    // of the item; false when it does not fit.
    bool ChargeLowerLeftCopy(TImageCacheEntry& item);

private:
    void PurgeOlderThan(int limit);
    void Erase(int index);
    std::vector<std::pair<std::string, std::unique_ptr<TImageCacheEntry>>> items_;
    std::shared_ptr<TPictureBudget> budget_;
    int64_t held_ = 0; // charged to budget_ by this cache and its users
};

} // namespace lumo
