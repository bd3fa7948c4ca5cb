#include "app/image_info.h"

#include "image/image_limits.h"
#include "image/image_reader.h"
#include "platform/ansi.h"
#include "platform/file_system.h"

#include <cstdio>
#include <optional>

namespace lumo {

namespace {

const char* KindName(TImageType kind) {
    static constexpr struct {
        TImageType Kind;
        const char* Name;
    } names[] = {{TImageType::Gif89, "gif89"},
                 {TImageType::Gif87, "gif87"},
                 {TImageType::Bmp, "bmp"},
                 {TImageType::Png, "png"},
                 {TImageType::Jpeg, "jpeg"}};
    for (const auto& n : names)
        if (n.Kind == kind) return n.Name;
    return "unknown";
}

std::string Quoted(std::string_view ansi) {
    std::string out = "\"";
    for (char c : AnsiToUtf8(ansi)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + '"';
}

struct FrameInfo {
    int Left = 0, Top = 0, Width = 0, Height = 0, Delay = 0, Disposal = 0, Transparent = -1;
};

std::string FrameJson(const FrameInfo& f) {
    return "{\"left\":" + std::to_string(f.Left) + ",\"top\":" + std::to_string(f.Top) +
           ",\"width\":" + std::to_string(f.Width) + ",\"height\":" + std::to_string(f.Height) +
           ",\"delay_ms\":" + std::to_string(f.Delay) +
           ",\"disposal\":" + std::to_string(f.Disposal) +
           ",\"transparent_index\":" + std::to_string(f.Transparent) + "}";
}

std::string Json(TImageType kind, const std::string& error, int width, int height, int loops,
                 const std::vector<FrameInfo>& frames) {
    std::string json = "{\"kind\":\"" + std::string(KindName(kind)) +
                       "\",\"accepted\":" + (error.empty() ? "true" : "false") +
                       ",\"error\":" + Quoted(error) + ",\"width\":" + std::to_string(width) +
                       ",\"height\":" + std::to_string(height) +
                       ",\"frame_count\":" + std::to_string(frames.size()) +
                       ",\"loop_count\":" + std::to_string(loops) + ",\"frames\":[";
    for (size_t i = 0; i < frames.size(); ++i)
        json += (i ? "," : "") + FrameJson(frames[i]);
    return json + "]}";
}

std::string Describe(const TDecodedImage& decoded) {
    if (!decoded.Accepted()) return Json(decoded.Kind, decoded.Error, 0, 0, 0, {});
    if (!decoded.Gif) {
        const Bitmap& p = decoded.Picture;
        return Json(decoded.Kind, "", p.Width, p.Height, 1, {{0, 0, p.Width, p.Height}});
    }
    const TGIFImage& gif = *decoded.Gif;
    std::vector<FrameInfo> frames;
    for (int n = 1; n <= gif.FrameCount(); ++n) {
        const TGifFrame& f = gif.Frame(n);
        frames.push_back({f.Left, f.Top, f.Width, f.Height, f.Delay, f.Disposal,
                          f.Transparent ? f.TransparentIndex : -1});
    }
    return Json(decoded.Kind, "", gif.Width(), gif.Height(), gif.LoopCount(), frames);
}

} // namespace

std::string ImageInfoJson(std::string_view data) {
    return Describe(DecodeImage(data));
}

int PrintImageInfo(const std::string& fileName) {
    TDecodedImage decoded;
    if (const std::optional<std::string> data = ReadWholeFile(fileName, MaxImageBytes))
        decoded = DecodeImage(*data);
    else
        decoded.Error = "Cannot open file " + fileName;
    std::printf("%s\n", Describe(decoded).c_str());
    return decoded.Accepted() ? 0 : 1;
}

} // namespace lumo
