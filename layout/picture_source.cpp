#include "layout/picture_source.h"

#include "image/image_reader.h"
#include "platform/stream.h"

#include <algorithm>

namespace lumo {

TStream& WaitStream() {
    static TMemoryStream wait;
    return wait;
}

namespace {

constexpr uint32_t Black = 0xFF000000, White = 0xFFFFFFFF, Gray = 0xFF808080, Silver = 0xFFC0C0C0,
                   Red = 0xFFFF0000, Clear = 0x00000000;

// A framed square: the picture of something not there yet.
Bitmap MakePlaceholder() {
    Bitmap b(16, 16, Silver);
    for (int i = 0; i < 16; ++i) {
        b.At(i, 0) = b.At(0, i) = White;
        b.At(i, 15) = b.At(15, i) = Gray;
    }
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            b.At(x, y) = (x + y) % 2 ? Gray : White;
    return b;
}

// A red cross on a transparent ground: a broken picture.
Bitmap MakeError() {
    Bitmap b(16, 16, Clear);
    for (int i = 2; i < 14; ++i) {
        b.At(i, i) = b.At(15 - i, i) = Red;
        b.At(i, 1) = b.At(i, 14) = b.At(1, i) = b.At(14, i) = Black;
    }
    return b;
}

} // namespace

const Bitmap& PlaceholderPicture() {
    static const Bitmap picture = MakePlaceholder();
    return picture;
}

const Bitmap& ErrorPicture() {
    static const Bitmap picture = MakeError();
    return picture;
}

TImageCacheEntry* TPictureSource::Decode(const std::string& name, TStream& stream) {
    if (const int i = Cache->IndexOf(name); i >= 0) return &Cache->Item(i);
    auto item = std::make_unique<TImageCacheEntry>();
    item->MImage = ReadImageStream(stream, item->Transp, item->Mask, Cache->Room());
    return Keep(name, std::move(item));
}

TImageCacheEntry* TPictureSource::Keep(const std::string& name,
                                       std::unique_ptr<TImageCacheEntry> item) {
    // A picture without pixels is as broken as one that does not decode.
    if (!item->MImage || item->MImage->Width() <= 0 || item->MImage->Height() <= 0) return nullptr;
    TImageCacheEntry* added = Cache->AddObject(name, std::move(item));
    if (added) --added->UsageCount; // the cache holds it; uses come from the objects
    return added;
}

TFetch TPictureSource::GetPicture(const std::string& name, TImageCacheEntry*& item) {
    item = nullptr;
    if (const int i = Cache->IndexOf(name); i >= 0) {
        Cache->GetImage(i);
        item = &Cache->Item(i);
        return TFetch::Got;
    }
    if (IsAwaited(name)) return TFetch::Awaited;
    TStream* stream = nullptr;
    if (OnImageRequest && OnImageRequest(name, stream)) {
        if (stream == &WaitStream()) return TFetch::Awaited;
        if (!stream || stream->Size() == 0) return TFetch::Failed;
        item = Decode(name, *stream);
    } else {
        auto read = std::make_unique<TImageCacheEntry>();
        read->MImage = ReadImageFile(name, read->Transp, read->Mask, Cache->Room());
        item = Keep(name, std::move(read));
    }
    if (!item) return TFetch::Failed;
    Cache->GetImage(Cache->IndexOf(name));
    return TFetch::Got;
}

void TPictureSource::ForgetUnused() {
    const int rounds = Cache->MaxCache;
    Cache->SetCacheLimit(-1);
    Cache->MaxCache = rounds;
}

void TPictureSource::AddWaiter(const std::string& name, TPictureWaiter* waiter) {
    waiters_.emplace_back(name, waiter);
}

void TPictureSource::RemoveWaiter(const TPictureWaiter* waiter) {
    std::erase_if(waiters_, [waiter](const auto& w) { return w.second == waiter; });
}

bool TPictureSource::IsAwaited(const std::string& name) const {
    return std::any_of(waiters_.begin(), waiters_.end(),
                       [&name](const auto& w) { return w.first == name; });
}

bool TPictureSource::ImageArrived(const std::string& name, TStream& stream, bool& relayout) {
    if (!IsAwaited(name)) return false;
    stream.Seek(0);
    TImageCacheEntry* item = Decode(name, stream);
    // Taken out first: an object hands its picture over without touching
    // the list again.
    std::vector<TPictureWaiter*> waiting;
    for (auto it = waiters_.begin(); it != waiters_.end();) {
        if (it->first == name) {
            waiting.push_back(it->second);
            it = waiters_.erase(it);
        } else {
            ++it;
        }
    }
    for (TPictureWaiter* waiter : waiting) {
        if (item) Cache->GetImage(Cache->IndexOf(name));
        if (waiter->PictureArrived(item)) relayout = true;
    }
    return true;
}

} // namespace lumo
