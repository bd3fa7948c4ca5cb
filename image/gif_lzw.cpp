#include "image/gif_lzw.h"

#include "platform/exception.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace lumo {

namespace {

constexpr int MaxCodes = 4096;
constexpr int MaxCodeWidth = 12;

// Codes are packed from the least significant bit of each byte up, across
// the sub-blocks, whose length bytes are stepped over.
class CodeReader {
public:
    explicit CodeReader(std::string_view subBlocks)
        : p_(reinterpret_cast<const uint8_t*>(subBlocks.data())), block_(p_),
          end_(p_ + subBlocks.size()) {}

    // The next code of the given width, or -1 when the data has run out.
    int Next(int width) {
        while (count_ < width) {
            if (p_ == block_ && !NextBlock()) return -1;
            bits_ |= uint32_t{*p_++} << count_;
            count_ += 8;
        }
        const int code = static_cast<int>(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        count_ -= width;
        return code;
    }

private:
    bool NextBlock() {
        if (p_ == end_ || *p_ == 0) return false;
        const size_t length = *p_++;
        block_ = p_ + std::min<size_t>(length, end_ - p_);
        return p_ != block_;
    }

    const uint8_t* p_;
    const uint8_t* block_; // the end of the current sub-block
    const uint8_t* end_;
    uint32_t bits_ = 0;
    int count_ = 0;
};

[[noreturn]] void Corrupt() {
    throw Exception(CorruptGifText);
}

// Every table entry is the string written earlier at out[Pos], Length bytes
// long, so a code is output by copying from what is already decoded.
struct Entry {
    uint32_t Pos = 0;
    uint16_t Length = 0;
};

std::vector<uint8_t> DecodeLinear(std::string_view subBlocks, int minCodeSize, size_t total) {
    if (minCodeSize < 1 || minCodeSize > 11) Corrupt();
    std::vector<uint8_t> out(total, 0);
    std::array<Entry, MaxCodes> table;
    CodeReader reader(subBlocks);
    const int clear = 1 << minCodeSize, end = clear + 1;
    int width = minCodeSize + 1, next = clear + 2;
    bool havePrev = false;
    size_t prevPos = 0, prevLength = 0, at = 0;
    while (at < total) {
        const int code = reader.Next(width);
        if (code < 0 || code == end) break;
        if (code == clear) {
            width = minCodeSize + 1;
            next = clear + 2;
            havePrev = false;
            continue;
        }
        size_t length = 1;
        if (code < clear) {
            out[at] = static_cast<uint8_t>(code);
        } else if (code < next && havePrev) {
            length = table[code].Length;
            std::memcpy(&out[at], &out[table[code].Pos], std::min(length, total - at));
        } else if (code == next && havePrev) {
            // The entry being made: the previous string and its own first byte.
            length = prevLength + 1;
            std::memcpy(&out[at], &out[prevPos], std::min(prevLength, total - at));
            if (at + prevLength < total) out[at + prevLength] = out[prevPos];
        } else {
            Corrupt();
        }
        if (havePrev && next < MaxCodes)
            table[next++] = {static_cast<uint32_t>(prevPos), static_cast<uint16_t>(prevLength + 1)};
        // Checked after every code, so code size 1 (whose first free code
        // already needs three bits) widens after its first code.
        if (next >= 1 << width && width < MaxCodeWidth) ++width;
        havePrev = true;
        prevPos = at;
        prevLength = length;
        at += std::min(length, total - at);
    }
    return out;
}

// Interlaced rows arrive in four passes: every eighth row from row 0, every
// eighth from row 4, every fourth from row 2, every second from row 1.
std::vector<uint8_t> Deinterlace(const std::vector<uint8_t>& linear, size_t width, size_t height) {
    static constexpr struct { size_t Start, Step; } passes[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    std::vector<uint8_t> out(linear.size());
    size_t from = 0;
    for (const auto& pass : passes)
        for (size_t y = pass.Start; y < height; y += pass.Step, from += width)
            std::memcpy(&out[y * width], &linear[from], width);
    return out;
}

} // namespace

std::vector<uint8_t> DecodeGifPixels(std::string_view subBlocks, int minCodeSize, int width,
                                     int height, bool interlaced) {
    const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
    std::vector<uint8_t> pixels = DecodeLinear(subBlocks, minCodeSize, w * h);
    return interlaced ? Deinterlace(pixels, w, h) : pixels;
}

} // namespace lumo
