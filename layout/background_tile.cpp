#include "layout/background_tile.h"

#include "html/properties.h"
#include "platform/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace lumo {

TileRepeat ParseTileRepeat(std::string_view text) {
    std::string t = LowerCase(Trim(text));
    if (t == "repeat-x") return TileRepeat::X;
    if (t == "repeat-y") return TileRepeat::Y;
    if (t == "no-repeat") return TileRepeat::None;
    return TileRepeat::Both;
}

namespace {

bool IsPositionKeyword(std::string_view word) {
    return word == "left" || word == "top" || word == "center" || word == "right" ||
           word == "bottom";
}

// One coordinate of a position word: keyword, percentage or pixels.
int PositionPart(std::string_view word, int room) {
    if (word == "left" || word == "top") return 0;
    if (word == "center") return room / 2;
    if (word == "right" || word == "bottom") return room;
    double n = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), n);
    if (ec != std::errc()) return 0;
    n = std::clamp(n, -1e6, 1e6);
    if (end != word.data() + word.size() && *end == '%') n = room * n / 100;
    return static_cast<int>(std::lround(n));
}

// The words of a position, lower case.
std::vector<std::string> PositionWords(std::string_view position) {
    std::vector<std::string> words;
    std::string_view rest = Trim(position);
    while (!rest.empty()) {
        const size_t space = rest.find(' ');
        if (const std::string_view word = rest.substr(0, space); !word.empty())
            words.push_back(LowerCase(word));
        rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    }
    return words;
}

} // namespace

std::string PositionInPixels(std::string_view position, int emSize, int exSize) {
    std::string out;
    for (const std::string& word : PositionWords(position)) {
        if (!out.empty()) out += ' ';
        if (IsPositionKeyword(word) || word.ends_with('%'))
            out += word;
        else
            out += std::to_string(ConvertLength(word, TPlainNumber::Pixels, 0, emSize, exSize, 0));
    }
    return out;
}

TPoint TileOffset(std::string_view position, TSize boxSize, TSize tileSize) {
    std::vector<std::string> words = PositionWords(position);
    if (words.empty()) return {};
    // A lone vertical keyword, or one written first, is the vertical part.
    if (words.size() == 1) words.push_back("center");
    if (words[0] == "top" || words[0] == "bottom") std::swap(words[0], words[1]);
    return {PositionPart(words[0], boxSize.cx - tileSize.cx),
            PositionPart(words[1], boxSize.cy - tileSize.cy)};
}

void PaintTiledBackground(Canvas& canvas, const Bitmap& picture, const Bitmap* mask,
                          const TRect& box, const TRect& clip, std::string_view position,
                          TileRepeat repeat) {
    if (picture.Width <= 0 || picture.Height <= 0) return;
    if (mask && (mask->Width != picture.Width || mask->Height != picture.Height)) mask = nullptr;
    const TRect visible{std::max(box.Left, clip.Left), std::max(box.Top, clip.Top),
                        std::min(box.Right, clip.Right), std::min(box.Bottom, clip.Bottom)};
    if (visible.Left >= visible.Right || visible.Top >= visible.Bottom) return;

    const TPoint offset =
        TileOffset(position, {box.Width(), box.Height()}, {picture.Width, picture.Height});
    const int originX = box.Left + offset.X, originY = box.Top + offset.Y;
    const bool repeatX = repeat == TileRepeat::Both || repeat == TileRepeat::X;
    const bool repeatY = repeat == TileRepeat::Both || repeat == TileRepeat::Y;
    auto sourceOf = [](int d, int origin, int size, bool repeats) {
        int k = d - origin;
        if (repeats) return ((k % size) + size) % size;
        return k >= 0 && k < size ? k : -1;
    };

    const int width = visible.Width();
    const int bandRows = std::max(1, TileBandPixels / width);
    for (int top = visible.Top; top < visible.Bottom; top += bandRows) {
        const int rows = std::min(bandRows, visible.Bottom - top);
        // Without a mask the band's own alpha leaves the canvas alone where
        // no tile falls; a masked picture takes a band mask beside it.
        Bitmap band(width, rows, mask ? 0xFF000000 : 0x00000000);
        Bitmap bandMask = mask ? Bitmap(width, rows, 0xFFFFFFFF) : Bitmap();
        bool any = false;
        for (int y = 0; y < rows; ++y) {
            int sy = sourceOf(top + y, originY, picture.Height, repeatY);
            if (sy < 0) continue;
            for (int x = 0; x < width; ++x) {
                int sx = sourceOf(visible.Left + x, originX, picture.Width, repeatX);
                if (sx < 0) continue;
                band.At(x, y) = picture.At(sx, sy);
                if (mask) bandMask.At(x, y) = mask->At(sx, sy);
                any = true;
            }
        }
        if (!any) continue;
        canvas.StretchDraw({visible.Left, top, visible.Right, top + rows}, band,
                           {0, 0, width, rows}, mask ? &bandMask : nullptr);
    }
}

} // namespace lumo
