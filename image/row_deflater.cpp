#include "image/row_deflater.h"

#include <emmintrin.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <queue>

namespace lumo {

namespace {

// The deflate format's numbers (RFC 1951).
constexpr int MinCopy = 3;
constexpr int MaxCopy = 258;
constexpr size_t Window = 32768;
constexpr int EndOfBlock = 256;
constexpr int LengthSymbols = 286; // literals, end of block, copy lengths
constexpr int DistanceSymbols = 30;
constexpr int CodeLengthSymbols = 19;
constexpr int MaxBits = 15;
constexpr int MaxCodeLengthBits = 7;
constexpr std::array<uint16_t, 29> LengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                 15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> LengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<uint16_t, 30> DistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<uint8_t, 30> DistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                   4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                   9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block gives the code length code's lengths.
constexpr std::array<uint8_t, 19> CodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                     11, 4,  12, 3, 13, 2, 14, 1, 15};
constexpr int RepeatPrevious = 16, RepeatZero = 17, RepeatManyZeros = 18;
// Tokens a block holds before its codes are made anew for the next.
constexpr size_t BlockTokens = size_t(1) << 16;

// Bits to write, first bit lowest.
struct TBits {
    uint32_t Value = 0;
    int Count = 0;
};

// A deflate symbol with the extra bits that follow its code.
struct TSymbol {
    int Code = 0;
    int ExtraCount = 0;
    uint32_t Extra = 0;
};

// The symbol of each copy length, from MinCopy to MaxCopy.
const std::array<TSymbol, MaxCopy + 1>& CopySymbols() {
    static const auto table = [] {
        std::array<TSymbol, MaxCopy + 1> symbols{};
        for (int length = MinCopy, code = 0; length <= MaxCopy; ++length) {
            while (code + 1 < int(LengthBase.size()) && LengthBase[size_t(code + 1)] <= length)
                ++code;
            symbols[size_t(length)] = {257 + code, LengthExtra[size_t(code)],
                                       uint32_t(length - LengthBase[size_t(code)])};
        }
        return symbols;
    }();
    return table;
}

TSymbol DistanceSymbol(size_t distance) {
    int code = int(DistanceBase.size()) - 1;
    while (DistanceBase[size_t(code)] > distance)
        --code;
    return {code, DistanceExtra[size_t(code)], uint32_t(distance - DistanceBase[size_t(code)])};
}

// A Huffman code's lengths for the symbols' counts, none longer than
// maxBits. Where the best code would be too deep, the counts are halved
// (each kept above zero) until it is not: the rare symbols get no longer
// codes than the common ones, at a small cost in size. A code always has
// two symbols at least, as readers take only whole codes.
void MakeLengths(std::vector<uint32_t> counts, int maxBits, std::vector<uint8_t>& lengths) {
    const size_t symbols = counts.size();
    lengths.assign(symbols, 0);
    auto used =
        size_t(std::count_if(counts.begin(), counts.end(), [](uint32_t n) { return n > 0; }));
    for (size_t s = 0; s < symbols && used < 2; ++s)
        if (counts[s] == 0) {
            counts[s] = 1;
            ++used;
        }
    for (;;) {
        struct TNode {
            uint64_t Count;
            int Index;
            bool operator>(const TNode& other) const {
                return Count != other.Count ? Count > other.Count : Index > other.Index;
            }
        };
        std::priority_queue<TNode, std::vector<TNode>, std::greater<>> queue;
        std::vector<int> parent(symbols, -1);
        for (size_t s = 0; s < symbols; ++s)
            if (counts[s] > 0) queue.push({counts[s], int(s)});
        while (queue.size() > 1) {
            const TNode a = queue.top();
            queue.pop();
            const TNode b = queue.top();
            queue.pop();
            const int joined = int(parent.size());
            parent.push_back(-1);
            parent[size_t(a.Index)] = parent[size_t(b.Index)] = joined;
            queue.push({a.Count + b.Count, joined});
        }
        int deepest = 0;
        for (size_t s = 0; s < symbols; ++s) {
            int depth = 0;
            if (counts[s] > 0)
                for (int node = int(s); parent[size_t(node)] >= 0; node = parent[size_t(node)])
                    ++depth;
            lengths[s] = uint8_t(std::min(depth, 255));
            deepest = std::max(deepest, depth);
        }
        if (deepest <= maxBits) return;
        for (uint32_t& count : counts)
            if (count > 0) count = (count + 1) / 2;
    }
}

// The canonical code of each symbol, its bits reversed, as deflate writes
// a code's first bit first.
std::vector<uint16_t> MakeCodes(const std::vector<uint8_t>& lengths) {
    std::array<uint16_t, MaxBits + 2> perLength{};
    for (uint8_t length : lengths)
        ++perLength[length];
    perLength[0] = 0;
    std::array<uint16_t, MaxBits + 2> next{};
    for (int bits = 1, code = 0; bits <= MaxBits; ++bits) {
        code = (code + perLength[size_t(bits - 1)]) << 1;
        next[size_t(bits)] = uint16_t(code);
    }
    std::vector<uint16_t> codes(lengths.size(), 0);
    for (size_t s = 0; s < lengths.size(); ++s) {
        const int length = lengths[s];
        if (length == 0) continue;
        const uint16_t code = next[size_t(length)]++;
        uint16_t reversed = 0;
        for (int bit = 0; bit < length; ++bit)
            reversed = uint16_t(reversed | ((code >> bit) & 1) << (length - 1 - bit));
        codes[s] = reversed;
    }
    return codes;
}

// The Adler-32 checksum of a zlib stream, sixteen bytes at a time. Over a
// stretch short enough that no sum overflows, the second sum gains each
// byte as many times as there are bytes from it to the stretch's end, the
// byte itself included: 16 down to 1 within its group of sixteen, and 16
// for each group after its own.
uint32_t Adler32(uint32_t adler, const unsigned char* data, size_t size) {
    constexpr uint32_t Modulus = 65521;
    constexpr size_t Stretch = 5552 / 16 * 16; // the longest without overflow
    uint64_t a = adler & 0xffff, b = adler >> 16;
    const __m128i zero = _mm_setzero_si128();
    const __m128i weightsFirst = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
    const __m128i weightsLast = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
    auto total = [](__m128i lanes) {
        alignas(16) uint32_t values[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(values), lanes);
        return uint64_t(values[0]) + values[1] + values[2] + values[3];
    };
    while (size >= 16) {
        const size_t length = std::min(size, Stretch) / 16 * 16;
        __m128i sums = zero, sumsBefore = zero, weighted = zero;
        for (size_t at = 0; at < length; at += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
            sumsBefore = _mm_add_epi32(sumsBefore, sums);
            sums = _mm_add_epi32(sums, _mm_sad_epu8(bytes, zero));
            weighted = _mm_add_epi32(weighted,
                                     _mm_madd_epi16(_mm_unpacklo_epi8(bytes, zero), weightsFirst));
            weighted = _mm_add_epi32(weighted,
                                     _mm_madd_epi16(_mm_unpackhi_epi8(bytes, zero), weightsLast));
        }
        b = (b + a * length + 16 * total(sumsBefore) + total(weighted)) % Modulus;
        a = (a + total(sums)) % Modulus;
        data += length;
        size -= length;
    }
    for (; size > 0; --size) {
        a += *data++;
        b += a;
    }
    return uint32_t(b % Modulus << 16 | a % Modulus);
}

uint32_t ThreeBytes(const unsigned char* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16;
}

// How many bytes from a and b on are equal, up to limit.
size_t SameBytes(const unsigned char* a, const unsigned char* b, size_t limit) {
    size_t n = 0;
    while (n + 8 <= limit) {
        uint64_t x, y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y) return n + size_t(__builtin_ctzll(x ^ y) / 8);
        n += 8;
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

// One code length symbol of a dynamic block's header, with its repeat.
struct TLengthRun {
    uint8_t Symbol;
    uint8_t Extra;
};

// The lengths of both codes as the code length alphabet writes them:
// runs of zeros and repeats of the length before.
std::vector<TLengthRun> RunsOfLengths(const std::vector<uint8_t>& lengths) {
    std::vector<TLengthRun> runs;
    for (size_t i = 0; i < lengths.size();) {
        const uint8_t length = lengths[i];
        size_t run = 1;
        while (i + run < lengths.size() && lengths[i + run] == length)
            ++run;
        i += run;
        if (length == 0) {
            while (run >= 11) {
                const size_t take = std::min<size_t>(run, 138);
                runs.push_back({RepeatManyZeros, uint8_t(take - 11)});
                run -= take;
            }
            if (run >= 3) {
                runs.push_back({RepeatZero, uint8_t(run - 3)});
                run = 0;
            }
        } else {
            runs.push_back({length, 0});
            --run;
            while (run >= 3) {
                const size_t take = std::min<size_t>(run, 6);
                runs.push_back({RepeatPrevious, uint8_t(take - 3)});
                run -= take;
            }
        }
        for (; run > 0; --run)
            runs.push_back({length, 0});
    }
    return runs;
}

// What a block of these counts and codes takes at most, in bytes: its
// symbols with their extra bits, its header (316 code lengths of at most 7
// bits each, with the repeats' extra bits: under 400 bytes), the bits left
// over from the block before and the last bits of the stream.
size_t BlockBytes(const std::vector<uint32_t>& lengthCounts, const std::vector<uint8_t>& lengthBits,
                  const std::vector<uint32_t>& distanceCounts,
                  const std::vector<uint8_t>& distanceBits) {
    uint64_t bits = 0;
    for (size_t symbol = 0; symbol < lengthCounts.size(); ++symbol) {
        const int extra = symbol > EndOfBlock ? LengthExtra[symbol - EndOfBlock - 1] : 0;
        bits += uint64_t(lengthCounts[symbol]) * uint64_t(lengthBits[symbol] + extra);
    }
    for (size_t symbol = 0; symbol < distanceCounts.size(); ++symbol)
        bits += uint64_t(distanceCounts[symbol]) *
                uint64_t(distanceBits[symbol] + DistanceExtra[symbol]);
    return size_t(bits / 8) + 512;
}

int ExtraBitsOf(int codeLengthSymbol) {
    switch (codeLengthSymbol) {
    case RepeatPrevious: return 2;
    case RepeatZero: return 3;
    case RepeatManyZeros: return 7;
    default: return 0;
    }
}

} // namespace

TRowDeflater::TRowDeflater(size_t rowBytes, int pixelBytes, std::string& out)
    : RowBytes(rowBytes), PixelBytes(pixelBytes), AboveInReach(rowBytes <= Window), Out(out),
      Written(out.size()), Above(AboveInReach ? rowBytes : 0) {
    Tokens.reserve(BlockTokens);
    constexpr unsigned char deflate32K = 0x78, fastest = 0x01; // header check: 0x7801 % 31 == 0
    ReserveBytes(2);
    Out[Written++] = char(deflate32K);
    Out[Written++] = char(fastest);
}

void TRowDeflater::AddRow(const unsigned char* row) {
    Adler = Adler32(Adler, row, RowBytes);
    const size_t back = size_t(PixelBytes);
    const bool useAbove = HaveAbove && AboveInReach;
    size_t i = 0;
    // A row like the one above goes on copying it: a blank page is a few
    // copies a row, not a few tokens.
    if (AboveCopyOpen) {
        TToken& copy = Tokens.back();
        i = SameBytes(row, Above.data(), std::min<size_t>(RowBytes, MaxCopy - copy.Length));
        copy.Length = uint16_t(copy.Length + i);
        AboveCopyOpen = i == RowBytes && copy.Length < MaxCopy;
    }
    while (i < RowBytes) {
        const size_t limit = std::min<size_t>(RowBytes - i, MaxCopy);
        // Most bytes of smoothed text start no copy: a look at the next
        // three bytes tells so before any count.
        if (limit >= MinCopy) {
            const uint32_t next = ThreeBytes(row + i);
            if (!(useAbove && next == ThreeBytes(Above.data() + i)) &&
                !(i >= back && next == ThreeBytes(row + i - back))) {
                AddToken({0, row[i], false});
                ++i;
                continue;
            }
        }
        // Of two copies as long, the one from one pixel back costs no extra
        // bits for its distance: the row above is not looked at when that
        // one goes as far as a copy can.
        const size_t fromBack = i >= back ? SameBytes(row + i, row + i - back, limit) : 0;
        const size_t fromAbove =
            useAbove && fromBack < limit ? SameBytes(row + i, Above.data() + i, limit) : 0;
        const size_t copy = std::max(fromAbove, fromBack);
        if (copy >= MinCopy) {
            const bool fromTheRowAbove = fromAbove > fromBack;
            AddToken({uint16_t(copy), 0, fromTheRowAbove});
            i += copy;
            AboveCopyOpen = fromTheRowAbove && i == RowBytes && copy < MaxCopy;
        } else {
            AddToken({0, row[i], false});
            ++i;
        }
    }
    if (AboveInReach) {
        std::memcpy(Above.data(), row, RowBytes);
        HaveAbove = true;
    }
}

// A full block is written when the next token comes, so the last token
// stays open to grow.
void TRowDeflater::AddToken(TToken token) {
    if (Tokens.size() == BlockTokens) WriteBlock(false);
    Tokens.push_back(token);
}

void TRowDeflater::WriteBlock(bool last) {
    const TSymbol back = DistanceSymbol(size_t(PixelBytes));
    const TSymbol above = DistanceSymbol(RowBytes);
    const auto& copies = CopySymbols();

    std::vector<uint32_t> lengthCounts(LengthSymbols, 0), distanceCounts(DistanceSymbols, 0);
    lengthCounts[EndOfBlock] = 1;
    for (const TToken& token : Tokens) {
        if (token.Length == 0) {
            ++lengthCounts[token.Literal];
            continue;
        }
        ++lengthCounts[size_t(copies[token.Length].Code)];
        ++distanceCounts[size_t((token.FromAbove ? above : back).Code)];
    }
    std::vector<uint8_t> lengthBits, distanceBits;
    MakeLengths(lengthCounts, MaxBits, lengthBits);
    MakeLengths(distanceCounts, MaxBits, distanceBits);

    ReserveBytes(BlockBytes(lengthCounts, lengthBits, distanceCounts, distanceBits));
    WriteBits(last ? 1 : 0, 1);
    constexpr uint32_t dynamicCodes = 2;
    WriteBits(dynamicCodes, 2);
    WriteCodeLengths(lengthBits, distanceBits);

    // Each symbol's code with the extra bits that follow it, as one.
    const std::vector<uint16_t> lengthCodes = MakeCodes(lengthBits);
    const std::vector<uint16_t> distanceCodes = MakeCodes(distanceBits);
    auto withExtra = [](uint16_t code, uint8_t bits, const TSymbol& symbol) {
        return TBits{code | symbol.Extra << bits, bits + symbol.ExtraCount};
    };
    std::array<TBits, EndOfBlock + 1> literal{};
    for (size_t symbol = 0; symbol <= EndOfBlock; ++symbol)
        literal[symbol] = {lengthCodes[symbol], lengthBits[symbol]};
    std::array<TBits, MaxCopy + 1> copyLength{};
    for (int length = MinCopy; length <= MaxCopy; ++length) {
        const auto code = size_t(copies[size_t(length)].Code);
        copyLength[size_t(length)] =
            withExtra(lengthCodes[code], lengthBits[code], copies[size_t(length)]);
    }
    const TBits fromBack =
        withExtra(distanceCodes[size_t(back.Code)], distanceBits[size_t(back.Code)], back);
    const TBits fromAbove =
        withExtra(distanceCodes[size_t(above.Code)], distanceBits[size_t(above.Code)], above);

    for (const TToken& token : Tokens) {
        if (token.Length == 0) {
            WriteBits(literal[token.Literal].Value, literal[token.Literal].Count);
            continue;
        }
        const TBits& length = copyLength[token.Length];
        WriteBits(length.Value, length.Count);
        const TBits& distance = token.FromAbove ? fromAbove : fromBack;
        WriteBits(distance.Value, distance.Count);
    }
    WriteBits(literal[EndOfBlock].Value, literal[EndOfBlock].Count);
    Tokens.clear();
}

// A dynamic block's header after its first three bits: how many of each
// code's lengths follow, the code that codes them, and the lengths.
void TRowDeflater::WriteCodeLengths(const std::vector<uint8_t>& lengthBits,
                                    const std::vector<uint8_t>& distanceBits) {
    size_t lengthsUsed = LengthSymbols, distancesUsed = DistanceSymbols;
    while (lengthsUsed > 257 && lengthBits[lengthsUsed - 1] == 0)
        --lengthsUsed;
    while (distancesUsed > 1 && distanceBits[distancesUsed - 1] == 0)
        --distancesUsed;
    std::vector<uint8_t> allBits(lengthBits.begin(), lengthBits.begin() + long(lengthsUsed));
    allBits.insert(allBits.end(), distanceBits.begin(), distanceBits.begin() + long(distancesUsed));
    const std::vector<TLengthRun> runs = RunsOfLengths(allBits);
    std::vector<uint32_t> runCounts(CodeLengthSymbols, 0);
    for (const TLengthRun& run : runs)
        ++runCounts[run.Symbol];
    std::vector<uint8_t> runBits;
    MakeLengths(runCounts, MaxCodeLengthBits, runBits);
    const std::vector<uint16_t> runCodes = MakeCodes(runBits);
    size_t runLengthsUsed = CodeLengthSymbols;
    while (runLengthsUsed > 4 && runBits[CodeLengthOrder[runLengthsUsed - 1]] == 0)
        --runLengthsUsed;

    WriteBits(uint32_t(lengthsUsed - 257), 5);
    WriteBits(uint32_t(distancesUsed - 1), 5);
    WriteBits(uint32_t(runLengthsUsed - 4), 4);
    for (size_t i = 0; i < runLengthsUsed; ++i)
        WriteBits(runBits[CodeLengthOrder[i]], 3);
    for (const TLengthRun& run : runs) {
        WriteBits(runCodes[run.Symbol], runBits[run.Symbol]);
        WriteBits(run.Extra, ExtraBitsOf(run.Symbol));
    }
}

void TRowDeflater::ReserveBytes(size_t bytes) {
    if (Out.size() < Written + bytes) Out.resize(Written + bytes);
}

// Bits go out first bit first, in whole words of four bytes; WriteBits
// takes at most 32 at a time.
void TRowDeflater::WriteBits(uint32_t bits, int count) {
    BitBuffer |= uint64_t(bits) << BitCount;
    BitCount += count;
    if (BitCount < 32) return;
    auto* at = reinterpret_cast<unsigned char*>(Out.data()) + Written;
    for (int byte = 0; byte < 4; ++byte)
        at[byte] = static_cast<unsigned char>(BitBuffer >> (8 * byte));
    Written += 4;
    BitBuffer >>= 32;
    BitCount -= 32;
}

void TRowDeflater::Finish() {
    WriteBlock(true);
    for (; BitCount > 0; BitCount -= 8, BitBuffer >>= 8)
        Out[Written++] = char(BitBuffer & 0xff);
    Out.resize(Written);
    for (int shift = 24; shift >= 0; shift -= 8)
        Out += char((Adler >> shift) & 0xff);
}

} // namespace lumo
