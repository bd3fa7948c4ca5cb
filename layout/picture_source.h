// Where a document's pictures come from: the image cache, the host's image
// request, or a local file; and the objects waiting for pictures that the
// host delivers later.
#pragma once

#include "image/image_cache.h"
#include "platform/canvas.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace lumo {

class TStream;

// Something on a page that waits for a picture the host delivers later.
class TPictureWaiter {
public:
    virtual ~TPictureWaiter() = default;
    // The picture came (null: it could not be decoded). True when the page
    // must be laid out again because the waiter did not know its size.
    virtual bool PictureArrived(TImageCacheEntry* item) = 0;
};

// The one stream an image request answers with to say that the picture
// comes later; compared by identity.
TStream& WaitStream();

// The shared 16 x 16 pictures: shown while a picture is awaited, and for one
// that cannot be had.
const Bitmap& PlaceholderPicture();
const Bitmap& ErrorPicture();

enum class TFetch { Got, Awaited, Failed };

class TPictureSource {
public:
    TPictureSource() = default;
    TPictureSource(const TPictureSource&) = delete;
    TPictureSource& operator=(const TPictureSource&) = delete;

    // The cache the pictures live in: this document's own, or one shared
    // with another document (a print copy shares its original's).
    TImageCache* Cache = &ownCache_;
    // Asks the host for a picture: false when no host answers (the name is
    // then read as a local file); else stream is the picture, null, or
    // WaitStream().
    std::function<bool(const std::string& name, TStream*& stream)> OnImageRequest;

    // The cached picture of name, fetching it when it is not cached. On Got
    // the picture has gained a use for the caller.
    TFetch GetPicture(const std::string& name, TImageCacheEntry*& item);
    // Decodes data that arrived for name into the cache (when it is not
    // cached yet); null when it holds no picture, or one past the room the
    // cache's picture budget has left.
    TImageCacheEntry* Decode(const std::string& name, TStream& stream);

    void AddWaiter(const std::string& name, TPictureWaiter* waiter);
    void RemoveWaiter(const TPictureWaiter* waiter);
    bool IsAwaited(const std::string& name) const;
    void ClearWaiters() { waiters_.clear(); }
    // Drops every cached picture no document uses, so the next use asks again.
    void ForgetUnused();
    // Hands an arrived picture to everything waiting for name; relayout
    // becomes true when one of them did not know its size. False when no
    // object waited for it.
    bool ImageArrived(const std::string& name, TStream& stream, bool& relayout);

private:
    // Puts a decoded picture into the cache, unused; null when there is none to keep.
    TImageCacheEntry* Keep(const std::string& name, std::unique_ptr<TImageCacheEntry> item);

    TImageCache ownCache_;
    std::vector<std::pair<std::string, TPictureWaiter*>> waiters_;
};

} // namespace lumo
