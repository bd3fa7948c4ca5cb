// A GIF picture: its frames composed in order on a work picture, drawn
// scaled, and animated by time. Frames are read once and shared by every
// copy of the picture; each copy keeps its own work picture and animates on
// its own.
//
// Frame numbers count from 1; delays and intervals are milliseconds of
// TheAnimationClock(). The work picture is 0xAARRGGBB: where the composed
// picture is transparent it is black with alpha 0, so it draws as it is. It
// is made when first asked for, so reading a picture only decodes frames.
#pragma once

#include "image/gif_frame.h"
#include "image/image_cache.h"
#include "image/image_limits.h"
#include "platform/canvas.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

class TGIFImage : public TCachedImage {
public:
    // Reads the picture afresh. False, with Error() saying why, when the data
    // does not begin with "GIF", is corrupt ("Corrupt GIF Image") or is too
    // large; missing bytes and unknown blocks end the data and keep the
    // frames read before them. A structure-only read makes no pixels: it
    // neither draws nor animates. A picture whose frames, work picture and
    // restore area would take more than limit bytes is too large.
    bool LoadFromData(std::string_view data, TGifRead mode = TGifRead::Full,
                      int64_t limit = MaxImageBytes);
    const std::string& Error() const { return error_; }

    // A copy that animates on its own from the same state: it shares the
    // frames and copies the work picture.
    std::unique_ptr<TGIFImage> Clone() const { return std::make_unique<TGIFImage>(*this); }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // The frames, and the work picture with the area a frame restores.
    int64_t MemoryBytes() const override;
    // What a copy takes beside the frames it shares: its own work picture
    // and restore area.
    int64_t CopyBytes() const;
    int FrameCount() const { return static_cast<int>(frames_.size()); }
    const TGifFrame& Frame(int n) const { return *frames_[n - 1]; }
    int CurrentFrame() const { return current_; }
    bool Animated() const { return FrameCount() > 1; }
    bool Empty() const { return empty_; }
    bool HasTransparency() const { return hasTransparency_; }
    // Whether the composed picture can show what lies behind it: only when
    // its first frame is transparent.
    bool ShowsThrough() const { return background_ == 0; }
    int BitsPerPixel() const { return bitsPerPixel_; }
    // How many times the animation plays: 1 without a loop extension, 0 without end.
    int LoopCount() const { return loopCount_; }

    bool Visible = true;
    int SpeedPercent = 100; // delays are divided by it; 0 or less holds the current frame

    bool Animating() const { return animating_; }
    void SetAnimating(bool value);
    // Plays again from frame 1 as a fresh picture would, loops counted anew.
    void Restart();
    // Leaves the current frame and composes frame n (above the count means 1,
    // below 1 the last).
    void SelectFrame(int n);
    // The time step, called from the viewer's timer. True when the picture
    // changed, so the caller repaints DrawRect().
    bool StepAnimation();

    // The composed picture, Width() x Height(); empty after a structure-only read.
    const Bitmap& WorkBitmap();
    // White where the composed picture is transparent, black elsewhere.
    Bitmap MaskBitmap();
    // Draws the composed picture stretched into dest and remembers dest.
    void Draw(Canvas& canvas, const TRect& dest);
    const TRect& DrawRect() const { return drawRect_; }

    // Replaces every palette colour by map(colour), as for an 8-bit display,
    // and composes the current frame afresh. The frames become this picture's
    // own: copies made before keep the old colours.
    void MapColors(const std::function<uint32_t(uint32_t)>& map);

private:
    void Reset();
    // Makes the work picture, with the current frame on it, when there is none.
    bool HaveWork();
    void Compose(int n);
    void Dispose(int n);
    int64_t IntervalOf(int n) const;

    std::vector<std::shared_ptr<const TGifFrame>> frames_;
    int width_ = 0, height_ = 0;
    int loopCount_ = 1;
    int bitsPerPixel_ = 0;
    bool hasTransparency_ = false;
    bool empty_ = true;
    bool structureOnly_ = false;
    std::string error_;

    int current_ = 1;
    bool animating_ = false;
    bool firstStep_ = true; // the first expired interval after a read does not advance
    int iteration_ = 1;
    int64_t lastTime_ = 0, interval_ = 0;

    uint32_t background_ = 0xFF000000; // what the work picture starts as and disposal 2 restores
    Bitmap work_;                      // empty until first needed
    std::vector<uint32_t> saved_;      // the area under a frame that restores to previous
    TRect drawRect_;
};

} // namespace lumo
