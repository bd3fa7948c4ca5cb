// GIF bytes written by hand, for the cases no encoder makes: odd code sizes,
// cut data, frames outside the screen, hundreds of frames. Pixels are
// written as literal codes (a table is built but never used), which every
// decoder reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumo::test {

inline std::string Le16(int v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)};
}

// rgb: 0xRRGGBB colours; the table is padded to a power of two.
inline std::string ColorTable(const std::vector<uint32_t>& rgb, int& bits) {
    bits = 1;
    while ((1u << bits) < rgb.size())
        ++bits;
    std::string table;
    for (size_t i = 0; i < (size_t{1} << bits); ++i) {
        const uint32_t c = i < rgb.size() ? rgb[i] : 0;
        table += {static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)};
    }
    return table;
}

inline std::string GifHeader(int width, int height, const std::vector<uint32_t>& rgb = {},
                             const std::string& signature = "GIF89a") {
    std::string gif = signature + Le16(width) + Le16(height);
    if (rgb.empty()) return gif + std::string("\0\0\0", 3);
    int bits = 0;
    const std::string table = ColorTable(rgb, bits);
    return gif + static_cast<char>(0x80 | (bits - 1)) + std::string("\0\0", 2) + table;
}

inline std::string GifControl(int delayHundredths, int disposal = 0, int transparent = -1) {
    const int packed = disposal << 2 | (transparent >= 0 ? 1 : 0);
    return std::string("\x21\xF9\x04", 3) + static_cast<char>(packed) + Le16(delayHundredths) +
           static_cast<char>(transparent >= 0 ? transparent : 0) + '\0';
}

inline std::string GifLoop(int count) {
    return std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16) + Le16(count) + '\0';
}

inline std::string SubBlocks(const std::string& data) {
    std::string blocks;
    for (size_t at = 0; at < data.size(); at += 255) {
        const std::string piece = data.substr(at, 255);
        blocks += static_cast<char>(piece.size()) + piece;
    }
    return blocks + '\0';
}

// The codes (each with the width the decoder expects) packed from the low bit up.
class CodeWriter {
public:
    void Put(int code, int width) {
        bits_ |= static_cast<uint64_t>(code) << count_;
        count_ += width;
        for (; count_ >= 8; count_ -= 8, bits_ >>= 8)
            bytes_ += static_cast<char>(bits_ & 0xFF);
    }
    std::string Finish() {
        if (count_ > 0) bytes_ += static_cast<char>(bits_ & 0xFF);
        return bytes_;
    }

private:
    std::string bytes_;
    uint64_t bits_ = 0;
    int count_ = 0;
};

// Literal-code LZW data for the pixels, with a clear code before the table fills.
inline std::string LzwLiterals(const std::vector<int>& pixels, int codeSize, bool endCode = true) {
    const int clear = 1 << codeSize;
    CodeWriter out;
    int width = codeSize + 1, next = clear + 2;
    bool first = true;
    out.Put(clear, width);
    for (int p : pixels) {
        if (next >= 4000) {
            out.Put(clear, width);
            width = codeSize + 1, next = clear + 2, first = true;
        }
        out.Put(p, width);
        if (!first) ++next;
        first = false;
        if (next >= 1 << width && width < 12) ++width;
    }
    if (endCode) out.Put(clear + 1, width);
    return out.Finish();
}

// An image descriptor and its pixels (width x height indices, in the order
// they are sent); local colours (0xRRGGBB) replace the global table.
inline std::string GifImage(int left, int top, int width, int height,
                            const std::vector<int>& pixels, int codeSize = 2,
                            bool interlaced = false,
                            const std::vector<uint32_t>& localColors = {}) {
    std::string image = "," + Le16(left) + Le16(top) + Le16(width) + Le16(height);
    int packed = interlaced ? 0x40 : 0;
    std::string table;
    if (!localColors.empty()) {
        int bits = 0;
        table = ColorTable(localColors, bits);
        packed |= 0x80 | (bits - 1);
    }
    image += static_cast<char>(packed) + table + static_cast<char>(codeSize);
    return image + SubBlocks(LzwLiterals(pixels, codeSize));
}

// A Width x Height frame of one colour index.
inline std::string SolidImage(int left, int top, int width, int height, int index) {
    return GifImage(left, top, width, height, std::vector<int>(size_t(width) * height, index));
}

} // namespace lumo::test
