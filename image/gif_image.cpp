#include "image/gif_image.h"

#include "image/animation_clock.h"
#include "image/gif_reader.h"
#include "image/image_limits.h"
#include "platform/exception.h"

#include <algorithm>
#include <limits>
#include <new>

namespace lumo {

void TGIFImage::Reset() {
    frames_.clear();
    width_ = height_ = 0;
    loopCount_ = 1;
    bitsPerPixel_ = 0;
    hasTransparency_ = false;
    empty_ = true;
    error_.clear();
    current_ = 1;
    animating_ = false;
    firstStep_ = true;
    iteration_ = 1;
    background_ = 0xFF000000;
    work_ = Bitmap();
    saved_.clear();
}

bool TGIFImage::LoadFromData(std::string_view data, TGifRead mode, int64_t limit) {
    Reset();
    TGifContents gif;
    try {
        gif = ReadGifContents(data, mode, limit);
        width_ = gif.Width;
        height_ = gif.Height;
        // The first frame decides: when it is transparent the picture starts
        // transparent, else black, and a later frame's transparent pixels
        // never make an opaque picture show through.
        background_ = !gif.Frames.empty() && gif.Frames.front()->Transparent ? 0 : 0xFF000000;
    } catch (const Exception& e) {
        Reset();
        error_ = e.what();
        return false;
    } catch (const std::bad_alloc&) {
        Reset();
        error_ = ImageTooLargeText;
        return false;
    }
    frames_.assign(gif.Frames.begin(), gif.Frames.end());
    loopCount_ = gif.LoopCount;
    bitsPerPixel_ = gif.BitsPerPixel;
    hasTransparency_ = gif.HasTransparency;
    structureOnly_ = mode == TGifRead::StructureOnly;
    empty_ = false;
    return true;
}

int64_t TGIFImage::MemoryBytes() const {
    int64_t bytes = CopyBytes();
    for (const auto& f : frames_)
        bytes += static_cast<int64_t>(f->Pixels.size());
    return bytes;
}

int64_t TGIFImage::CopyBytes() const {
    int64_t saved = 0;
    for (const auto& f : frames_)
        if (f->Disposal == 3) saved = std::max(saved, int64_t{f->Width} * f->Height * 4);
    return int64_t{width_} * height_ * 4 + saved;
}

bool TGIFImage::HaveWork() {
    if (empty_ || structureOnly_ || frames_.empty()) return false;
    if (work_.Pixels.empty()) { // the budget was checked when the frames were read
        work_ = Bitmap(width_, height_, background_);
        Compose(current_);
    }
    return true;
}

const Bitmap& TGIFImage::WorkBitmap() {
    HaveWork();
    return work_;
}

void TGIFImage::Compose(int n) {
    const TGifFrame& f = Frame(n);
    if (f.Disposal == 3) {
        saved_.resize(static_cast<size_t>(f.Width) * f.Height);
        for (int y = 0; y < f.Height; ++y)
            std::copy_n(&work_.At(f.Left, f.Top + y), f.Width, &saved_[size_t(y) * f.Width]);
    }
    for (int y = 0; y < f.Height; ++y) {
        const uint8_t* from = &f.Pixels[size_t(y) * f.Width];
        uint32_t* to = &work_.At(f.Left, f.Top + y);
        if (f.Transparent) {
            for (int x = 0; x < f.Width; ++x)
                if (from[x] != f.TransparentIndex) to[x] = f.Palette[from[x]];
        } else {
            for (int x = 0; x < f.Width; ++x)
                to[x] = f.Palette[from[x]];
        }
    }
}

void TGIFImage::Dispose(int n) {
    const TGifFrame& f = Frame(n);
    if (f.Disposal == 2) {
        for (int y = 0; y < f.Height; ++y)
            std::fill_n(&work_.At(f.Left, f.Top + y), f.Width, background_);
    } else if (f.Disposal == 3 && saved_.size() == size_t(f.Width) * f.Height) {
        for (int y = 0; y < f.Height; ++y)
            std::copy_n(&saved_[size_t(y) * f.Width], f.Width, &work_.At(f.Left, f.Top + y));
    }
}

void TGIFImage::SelectFrame(int n) {
    if (!HaveWork()) return;
    Dispose(current_);
    current_ = n > FrameCount() ? 1 : n < 1 ? FrameCount() : n;
    Compose(current_);
}

int64_t TGIFImage::IntervalOf(int n) const {
    if (SpeedPercent <= 0) return std::numeric_limits<int64_t>::max();
    const int64_t delay = Frame(n).Delay;
    return std::max<int64_t>((delay * 100 + SpeedPercent / 2) / SpeedPercent, 1);
}

void TGIFImage::SetAnimating(bool value) {
    if (value == animating_) return;
    animating_ = value;
    iteration_ = 1;
    if (value && Animated()) {
        interval_ = IntervalOf(current_);
        lastTime_ = TheAnimationClock().Milliseconds();
    }
}

void TGIFImage::Restart() {
    if (!Animated()) return;
    // Frame 1 is composed on a clean work picture, as at the start, not over
    // what the last frame left.
    current_ = 1;
    work_ = Bitmap();
    saved_.clear();
    firstStep_ = true;
    animating_ = false;
    SetAnimating(true);
}

bool TGIFImage::StepAnimation() {
    if (!animating_ || empty_ || structureOnly_ || frames_.empty() || SpeedPercent <= 0)
        return false;
    const int64_t now = TheAnimationClock().Milliseconds();
    if (now - lastTime_ < interval_) return false;
    lastTime_ = now;
    if (current_ == FrameCount() && loopCount_ >= 1) {
        if (iteration_ >= loopCount_) {
            animating_ = false; // the last frame stays
            return false;
        }
        ++iteration_;
    }
    bool changed = false;
    if (firstStep_) {
        firstStep_ = false;
    } else {
        SelectFrame(current_ + 1);
        changed = true;
    }
    interval_ = IntervalOf(current_);
    return changed;
}

Bitmap TGIFImage::MaskBitmap() {
    HaveWork();
    Bitmap mask(work_.Width, work_.Height);
    for (size_t i = 0; i < work_.Pixels.size(); ++i)
        mask.Pixels[i] = work_.Pixels[i] >> 24 ? 0xFF000000 : 0xFFFFFFFF;
    return mask;
}

void TGIFImage::Draw(Canvas& canvas, const TRect& dest) {
    drawRect_ = dest;
    if (!Visible || !HaveWork()) return;
    canvas.StretchDraw(dest, work_, {0, 0, width_, height_}, nullptr);
}

void TGIFImage::MapColors(const std::function<uint32_t(uint32_t)>& map) {
    for (auto& shared : frames_) {
        auto frame = std::make_shared<TGifFrame>(*shared);
        for (uint32_t& colour : frame->Palette)
            colour = map(colour);
        shared = std::move(frame);
    }
    work_ = Bitmap(); // made afresh with the new colours when next needed
    saved_.clear();
}

} // namespace lumo
