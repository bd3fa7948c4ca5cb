// A picture tiled behind a box (the page, a block, a table cell), or a list
// item's marker picture. It comes through the same cache and host requests
// as the pictures in the text, but never changes the layout: until it
// arrives, and when it cannot be had, the box shows only its colour and the
// list item its usual marker.
#pragma once

#include "layout/picture_source.h"
#include "platform/canvas.h"

#include <string>

namespace lumo {

class TProperties;
class TSectionList;

class TBackgroundImage final : public TPictureWaiter {
public:
    explicit TBackgroundImage(TSectionList& root);
    // A copy for another document (the print copy): shares the picture.
    TBackgroundImage(TSectionList& root, const TBackgroundImage& source);
    ~TBackgroundImage() override;
    TBackgroundImage(const TBackgroundImage&) = delete;
    TBackgroundImage& operator=(const TBackgroundImage&) = delete;

    // The address as written, and the tiling settings ("background-position",
    // "background-repeat").
    std::string Source, Position, Repeat;

    bool Empty() const { return Source.empty(); }
    // Forgets the picture and its tiling, and takes another address.
    void SetSource(std::string source);
    // Takes another address, and the tiling a style gives it.
    void SetFrom(std::string source, const TProperties& props);
    // Fetches the picture the first time it is called while pictures are shown.
    void Load();
    // True once there is a picture to paint.
    bool Shows() const;
    // Its size in pixels; (0, 0) until it shows.
    TSize Size() const;
    // Tiles the picture over box (device coordinates) within clip.
    void Paint(Canvas& canvas, const TRect& box, const TRect& clip);
    bool PictureArrived(TImageCacheEntry* item) override;
    // " background picture|placeholder|error \"source\"", or nothing without a source.
    void Dump(std::string& out) const;

private:
    enum class TState { None, Awaited, Error, Real };
    void Release();

    TSectionList* root_;
    TState state_ = TState::None;
    std::string name_;                 // Source made absolute
    TImageCacheEntry* item_ = nullptr; // the cached picture; one use held
};

} // namespace lumo
