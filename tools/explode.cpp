// Method 6, imploding: a sliding dictionary of 4 or 8 KB whose literals,
// lengths and distances are coded with Shannon-Fano trees stored at the start
// of the data. Flag bit 1 selects the 8 KB dictionary, flag bit 2 a third tree
// for literals (otherwise literals are plain bytes).
#include "tools/member_decoders.h"
#include "tools/member_stream.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lumo {
namespace {

constexpr int MaxBits = 16;

// One tree's codes, decoded a bit at a time: the trees of 1990s archives
// are small, and a table of 2^16 entries per tree would cost more to fill
// than most members take to decode.
class ShannonFanoTree {
public:
    // Reads the tree's description: a count byte, then bytes of (number of
    // codes - 1) << 4 | (bit length - 1), in symbol order. False when the
    // description is damaged or its codes do not fit in 16 bits.
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

    // The next symbol, or -1 for bits that are no code. The stream holds
    // each code from its top bit down.
    int Decode(TBitReader& bits) const {
        uint32_t code = 0;
        for (int length = 1; length <= MaxBits; ++length) {
            code = code << 1 | bits.Read(1);
            const uint32_t index = code - first_[length];
            if (index < count_[length]) return symbols_[last_[length] - index];
        }
        return -1;
    }

private:
    // Symbols are ordered by length, then by value. Codes are given from the
    // last one up, each the previous plus 2^(16 - the previous one's length),
    // so the codes of one length are consecutive, smallest for the last
    // symbol of that length.
    bool Build(const std::vector<int>& lengths) {
        symbols_.resize(lengths.size());
        for (size_t i = 0; i < symbols_.size(); ++i)
            symbols_[i] = static_cast<uint16_t>(i);
        std::stable_sort(symbols_.begin(), symbols_.end(),
                         [&](int a, int b) { return lengths[a] < lengths[b]; });
        uint32_t code = 0; // of symbols_[i], in 16 bits
        for (size_t i = symbols_.size(); i-- > 0;) {
            const int length = lengths[symbols_[i]];
            if (count_[length]++ == 0) {
                first_[length] = code >> (MaxBits - length);
                last_[length] = static_cast<uint32_t>(i);
            }
            code += uint32_t{1} << (MaxBits - length);
        }
        return code <= uint32_t{1} << MaxBits; // more would give two symbols one code
    }

    std::vector<uint16_t> symbols_;
    std::array<uint32_t, MaxBits + 1> count_{};
    std::array<uint32_t, MaxBits + 1> first_{}; // the smallest code of each length
    std::array<uint32_t, MaxBits + 1> last_{};  // where that code's symbol is in symbols_
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
