// A picture decoder over any bytes, through the entry the page code uses
// (ReadImageStream). Built once per decoder: LUMO_FUZZ_KIND names the kind a
// target keeps to, so each one's inputs stay with its decoder. GIF pictures
// are also played through every frame, copied and read structure-only; the
// last byte's low bit reads small pictures again for an 8-bit display, so
// colour reduction runs too.
#include "fuzz/fuzz_support.h"
#include "image/animation_clock.h"
#include "image/display_palette.h"
#include "image/gif_image.h"
#include "image/image_reader.h"
#include "platform/stream.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace lumo;

class StepClock : public TAnimationClock {
public:
    int64_t Milliseconds() override { return now += 37; }
    int64_t now = 0;
};

void Play(TGIFImage& gif) {
    if (int64_t{gif.Width()} * gif.Height() > 1 << 20) return; // keeps each input quick
    static StepClock clock;
    SetAnimationClock(&clock);
    gif.SetAnimating(true);
    for (int i = 0; i < 2 * gif.FrameCount() + 2; ++i)
        gif.StepAnimation();
    const std::unique_ptr<TGIFImage> copy = gif.Clone();
    copy->SelectFrame(0);
    if (copy->WorkBitmap().Pixels.size() != size_t(gif.Width()) * gif.Height()) __builtin_trap();
    SetAnimationClock(nullptr);
}

} // namespace

constexpr bool GifTarget = TImageType::LUMO_FUZZ_KIND == TImageType::Gif89;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = fuzz::AsText(data, size);
    const TImageType kind = DetectImageType(bytes);
    if (kind != TImageType::LUMO_FUZZ_KIND && !(GifTarget && kind == TImageType::Gif87)) return 0;
    uint8_t transp = NotTransp;
    std::unique_ptr<Bitmap> mask;
    const auto read = [&] {
        TMemoryStream stream;
        stream.Write(bytes);
        return ReadImageStream(stream, transp, mask);
    };
    SetDisplayBitsPerPixel(24);
    std::unique_ptr<TCachedImage> image = read();
    // The last byte's low bit reads the picture again for an 8-bit display;
    // only small pictures, as reducing millions of pixels keeps each input slow.
    if (image && size > 0 && (data[size - 1] & 1) &&
        int64_t{image->Width()} * image->Height() <= 1 << 20) {
        SetDisplayBitsPerPixel(8);
        image = read();
    }
    if (mask && (mask->Width != image->Width() || mask->Height != image->Height()))
        __builtin_trap();
    if (auto* gif = dynamic_cast<TGIFImage*>(image.get())) Play(*gif);
    // The block structure alone gives the same picture size.
    TGIFImage structure;
    if (GifTarget && image && structure.LoadFromData(bytes, TGifRead::StructureOnly) &&
        structure.Width() != image->Width())
        __builtin_trap();
    return 0;
}
