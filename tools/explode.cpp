// Method 6, imploding: a sliding dictionary of 4 or 8 KB whose literals,
// lengths and distances are coded with Shannon-Fano trees stored at the start
// of the data. Flag bit 1 selects the 8 KB dictionary, flag bit 2 a third tree
// for literals (otherwise literals are plain bytes).
#include "tools/member_decoders.h"
#include "tools/member_stream.h"

#include <algorithm>
#include <vector>

namespace lumo {
namespace {

constexpr int MaxBits = 16;

// Decodes one tree's codes by a table indexed with the next bits.
class ShannonFanoTree {
public:
    // Reads the tree's description: a count byte, then bytes of (number of
    // codes - 1) << 4 | (bit length - 1), in symbol order. False when the
    // description is damaged or its codes collide.
    bool Read(TBitReader& bits, int symbols) {
        std::vector<int> lengths;
        const int bytes = static_cast<int>(bits.Read(8)) + 1;
        for (int i = 0; i < bytes; ++i) {
            const uint32_t b = bits.Read(8);
            const int count = static_cast<int>(b >> 4) + 1;
            const int length = static_cast<int>(b & 15) + 1;
            lengths.insert(lengths.end(), count, length);
        }
        if (bits.Overrun() || static_cast<int>(lengths.size()) != symbols) return false;
        return Build(lengths);
    }

    // The next symbol, or -1 for bits that are no code.
    int Decode(TBitReader& bits) const {
        const Entry e = table_[bits.Peek(maxLength_)];
        if (e.length == 0) return -1;
        bits.Drop(e.length);
        return e.symbol;
    }

private:
    struct Entry {
        uint16_t symbol = 0;
        uint8_t length = 0; // 0: no code starts with these bits
    };

    // Codes are given from the longest down, each the previous plus the
    // previous length's step. The stream holds each code from its top bit
    // down.
    bool Build(const std::vector<int>& lengths) {
        std::vector<int> order(lengths.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return lengths[a] < lengths[b]; });
        maxLength_ = *std::max_element(lengths.begin(), lengths.end());
        table_.assign(size_t{1} << maxLength_, Entry{});
        uint32_t code = 0, step = 0;
        int lastLength = 0;
        for (size_t i = order.size(); i-- > 0;) {
            const int symbol = order[i];
            const int length = lengths[symbol];
            code += step;
            if (length != lastLength) {
                lastLength = length;
                step = uint32_t{1} << (MaxBits - length);
            }
            if (!Place(symbol, length, (code & 0xFFFF) >> (MaxBits - length))) return false;
        }
        return true;
    }

    bool Place(int symbol, int length, uint32_t code) {
        // The first bit read is the code's top bit.
        uint32_t reversed = 0;
        for (int b = 0; b < length; ++b)
            reversed |= ((code >> (length - 1 - b)) & 1) << b;
        for (uint32_t i = reversed; i < table_.size(); i += uint32_t{1} << length) {
            if (table_[i].length != 0) return false;
            table_[i] = {static_cast<uint16_t>(symbol), static_cast<uint8_t>(length)};
        }
        return true;
    }

    std::vector<Entry> table_;
    int maxLength_ = 1;
};

// The output with the dictionary behind it; bytes before the start are zero.
class SlidingWindow {
public:
    explicit SlidingWindow(TMemberOutput& output) : output_(output), bytes_(Size, 0) {}

    bool Put(unsigned char byte) {
        bytes_[at_++ & Mask] = byte;
        return output_.Put(byte);
    }
    bool Copy(uint32_t distance, uint32_t length) {
        for (; length > 0 && !output_.Full(); --length)
            if (!Put(bytes_[(at_ - distance) & Mask])) return false;
        return true;
    }

private:
    static constexpr uint32_t Size = 8192, Mask = Size - 1;
    TMemberOutput& output_;
    std::vector<unsigned char> bytes_;
    uint32_t at_ = 0;
};

} // namespace

TUnzipResult Explode(TMemberInput& input, TMemberOutput& output, uint16_t flags) {
    const bool bigWindow = flags & 2;
    const bool literalTree = flags & 4;
    TBitReader bits(input);
    ShannonFanoTree literals, lengths, distances;
    if ((literalTree && !literals.Read(bits, 256)) || !lengths.Read(bits, 64) ||
        !distances.Read(bits, 64))
        return input.Failed() ? TUnzipResult::Damaged : TUnzipResult::BadData;
    const int lowDistanceBits = bigWindow ? 7 : 6;
    const uint32_t minimumLength = literalTree ? 3 : 2;
    SlidingWindow window(output);
    while (!output.Full()) {
        bool stored;
        if (bits.Read(1)) {
            const int literal =
                literalTree ? literals.Decode(bits) : static_cast<int>(bits.Read(8));
            if (literal < 0) return TUnzipResult::BadData;
            stored = window.Put(static_cast<unsigned char>(literal));
        } else {
            const uint32_t low = bits.Read(lowDistanceBits);
            const int high = distances.Decode(bits);
            const int code = lengths.Decode(bits);
            if (high < 0 || code < 0) return TUnzipResult::BadData;
            uint32_t length = static_cast<uint32_t>(code) + minimumLength;
            if (code == 63) length += bits.Read(8);
            const uint32_t distance = (static_cast<uint32_t>(high) << lowDistanceBits | low) + 1;
            stored = window.Copy(distance, length);
        }
        if (bits.Overrun()) return input.Failed() ? TUnzipResult::Damaged : TUnzipResult::BadData;
        if (!stored) break;
    }
    return TUnzipResult::Ok;
}

} // namespace lumo
