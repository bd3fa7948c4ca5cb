#include "image/image_reader.h"

#include "image/color_reduction.h"
#include "image/display_palette.h"
#include "image/image_limits.h"
#include "image/jpeg_reader.h"
#include "image/qt_bitmap.h"
#include "image/qt_image_reader.h"
#include "platform/file_system.h"
#include "platform/stream.h"

#include <new>

namespace lumo {

namespace {

// What Qt says of a bitmap it cannot read.
constexpr const char* UnreadableText = "Unable to read image data";

uint32_t Le32(std::string_view d, size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(d[at + i])) << (8 * i);
    return v;
}

// Qt's reader seeks to where the file header says the pixels start; a
// start past the end of the data is a damaged file, which Qt would complain
// of and read all the same, so it is refused here.
bool ReadBmp(std::string_view data, Bitmap& picture, std::string& error, int64_t limit) {
    constexpr size_t FileHeaderSize = 14, PixelOffsetAt = 10;
    if (data.size() >= FileHeaderSize && Le32(data, PixelOffsetAt) > data.size()) {
        error = UnreadableText;
        return false;
    }
    return ReadWithQt(data, "bmp", picture, error, limit);
}

bool ReadPng(std::string_view data, Bitmap& picture, std::string& error, int64_t limit) {
    return ReadWithQt(data, "png", picture, error, limit);
}

const struct {
    TImageType Kind;
    bool (*Read)(std::string_view, Bitmap&, std::string&, int64_t);
} StillReaders[] = {
    {TImageType::Jpeg, ReadJpeg},
    {TImageType::Bmp, ReadBmp},
    {TImageType::Png, ReadPng},
};

bool IsGif(TImageType kind) {
    return kind == TImageType::Gif87 || kind == TImageType::Gif89;
}

// The mask of a picture (white where transparent), or null when it is opaque.
std::unique_ptr<Bitmap> MaskOf(const Bitmap& picture) {
    std::unique_ptr<Bitmap> mask;
    for (size_t i = 0; i < picture.Pixels.size(); ++i) {
        if (picture.Pixels[i] >> 24 >= 128) continue;
        if (!mask) mask = std::make_unique<Bitmap>(picture.Width, picture.Height, 0xFF000000);
        mask->Pixels[i] = 0xFFFFFFFF;
    }
    return mask;
}

void ReduceForDisplay(Bitmap& picture) {
    if (DisplayBitsPerPixel() > 8) return;
    const Bitmap reduced = BitmapFromImage(ReduceToDisplay(ImageOverBitmap(picture)));
    if (reduced.Pixels.size() != picture.Pixels.size()) return;
    for (size_t i = 0; i < picture.Pixels.size(); ++i) // transparent places stay transparent
        picture.Pixels[i] = picture.Pixels[i] >> 24 ? (picture.Pixels[i] & 0xFF000000) |
                                                          (reduced.Pixels[i] & 0x00FFFFFF)
                                                    : 0;
}

// Animations are not dithered: each colour takes its nearest display colour.
void MapForDisplay(TGIFImage& gif) {
    if (DisplayBitsPerPixel() > 8) return;
    TFastColorLookup lookup(DisplayPalette());
    gif.MapColors([&](uint32_t c) {
        return lookup.Color(lookup.Lookup(c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF));
    });
}

std::unique_ptr<TCachedImage> PictureFor(TDecodedImage decoded, uint8_t& transp,
                                         std::unique_ptr<Bitmap>& mask) {
    transp = NotTransp;
    mask.reset();
    if (!decoded.Accepted()) return nullptr;
    if (decoded.Gif) {
        if (decoded.Gif->FrameCount() == 0) return nullptr;
        if (decoded.Gif->Animated()) {
            MapForDisplay(*decoded.Gif);
            if (decoded.Gif->ShowsThrough()) transp = TrMask;
            return std::move(decoded.Gif);
        }
        decoded.Picture = decoded.Gif->WorkBitmap();
    }
    ReduceForDisplay(decoded.Picture);
    mask = MaskOf(decoded.Picture);
    if (mask) transp = TrMask;
    return std::make_unique<TBitmapImage>(std::move(decoded.Picture));
}

void Decode(std::string_view data, int64_t limit, TDecodedImage& decoded) {
    if (IsGif(decoded.Kind)) {
        auto gif = std::make_unique<TGIFImage>();
        if (gif->LoadFromData(data, TGifRead::Full, limit))
            decoded.Gif = std::move(gif);
        else
            decoded.Error = gif->Error();
        return;
    }
    for (const auto& reader : StillReaders)
        if (reader.Kind == decoded.Kind) {
            if (!reader.Read(data, decoded.Picture, decoded.Error, limit) && decoded.Error.empty())
                decoded.Error = UnknownImageText;
            return;
        }
    decoded.Error = UnknownImageText;
}

} // namespace

TDecodedImage DecodeImage(std::string_view data, int64_t limit) {
    TDecodedImage decoded;
    decoded.Kind = DetectImageType(data);
    try {
        Decode(data, limit, decoded);
    } catch (const std::bad_alloc&) { // within the budget, but the memory is not there
        decoded = {decoded.Kind, ImageTooLargeText, nullptr, {}};
    }
    return decoded;
}

std::unique_ptr<TCachedImage> ReadImageStream(TStream& stream, uint8_t& transp,
                                              std::unique_ptr<Bitmap>& mask, int64_t limit) {
    // Bytes already in memory are read where they are, not copied.
    if (const auto* memory = dynamic_cast<const TMemoryStream*>(&stream))
        return PictureFor(DecodeImage(memory->Bytes(), limit), transp, mask);
    std::string data(static_cast<size_t>(std::max<int64_t>(stream.Size(), 0)), '\0');
    stream.Seek(0);
    data.resize(stream.Read(data.data(), data.size()));
    return PictureFor(DecodeImage(data, limit), transp, mask);
}

std::unique_ptr<TCachedImage> ReadImageFile(std::string_view fileName, uint8_t& transp,
                                            std::unique_ptr<Bitmap>& mask, int64_t limit) {
    const std::optional<std::string> data = ReadWholeFile(fileName, MaxImageBytes);
    if (!data) {
        transp = NotTransp;
        mask.reset();
        return nullptr;
    }
    return PictureFor(DecodeImage(*data, limit), transp, mask);
}

} // namespace lumo
