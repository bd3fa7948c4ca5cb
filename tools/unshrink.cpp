// Method 1, shrinking: LZW with codes of 9 to 13 bits. Code 256 is followed
// by a control code: 1 widens the codes by one bit, 2 frees every entry no
// other entry builds on (a partial clear). New entries take the lowest free
// code, so after a clear they fill the holes.
#include "tools/member_decoders.h"
#include "tools/member_stream.h"

#include <array>

namespace lumo {
namespace {

constexpr int Control = 256;
constexpr int FirstEntry = 257;
constexpr int CodeCount = 8192;
constexpr int FirstCodeSize = 9;
constexpr int LastCodeSize = 13;

class ShrinkTable {
public:
    ShrinkTable() {
        for (int c = 0; c < CodeCount; ++c)
            used_[c] = c < Control;
    }

    bool Used(int code) const { return used_[code]; }
    int NextFree() const { return nextFree_; }

    // The entry is added even when its prefix was freed by the last clear:
    // the prefix's old string still stands until the code is given again.
    void Add(int prefix, unsigned char suffix) {
        if (nextFree_ >= CodeCount) return; // full until the next clear
        prefix_[nextFree_] = static_cast<int16_t>(prefix);
        suffix_[nextFree_] = suffix;
        used_[nextFree_] = true;
        while (nextFree_ < CodeCount && used_[nextFree_])
            ++nextFree_;
    }

    void PartialClear() {
        std::array<bool, CodeCount> hasChild{};
        for (int c = FirstEntry; c < CodeCount; ++c)
            if (used_[c]) hasChild[prefix_[c]] = true;
        for (int c = FirstEntry; c < CodeCount; ++c)
            if (!hasChild[c]) used_[c] = false;
        nextFree_ = FirstEntry;
        while (nextFree_ < CodeCount && used_[nextFree_])
            ++nextFree_;
    }

    // Writes the code's string so that it ends just before `end`; returns its
    // start, or null when the chain of prefixes does not end in a byte (a
    // loop made by damaged data).
    unsigned char* Expand(int code, unsigned char* end, unsigned char* limit) const {
        unsigned char* at = end;
        while (code >= FirstEntry) {
            if (at == limit || code == Control) return nullptr;
            *--at = suffix_[code];
            code = prefix_[code];
        }
        if (code == Control || at == limit) return nullptr;
        *--at = static_cast<unsigned char>(code);
        return at;
    }

private:
    std::array<int16_t, CodeCount> prefix_{};
    std::array<unsigned char, CodeCount> suffix_{};
    std::array<bool, CodeCount> used_{};
    int nextFree_ = FirstEntry;
};

} // namespace

TUnzipResult Unshrink(TMemberInput& input, TMemberOutput& output) {
    auto table = std::make_unique<ShrinkTable>();
    // A string is at most one byte per code plus the byte of a new entry.
    std::array<unsigned char, CodeCount + 1> text;
    unsigned char* const end = text.data() + text.size();
    TBitReader bits(input);
    int codeSize = FirstCodeSize;
    int previous = -1;
    while (!output.Full()) {
        const int code = static_cast<int>(bits.Read(codeSize));
        if (bits.Overrun()) return input.Failed() ? TUnzipResult::Damaged : TUnzipResult::BadData;
        if (code == Control) {
            const uint32_t control = bits.Read(codeSize);
            if (control == 1 && codeSize < LastCodeSize)
                ++codeSize;
            else if (control == 2)
                table->PartialClear();
            else
                return TUnzipResult::BadData;
            continue;
        }
        unsigned char* start;
        if (previous < 0) {
            if (code >= Control) return TUnzipResult::BadData;
            start = table->Expand(code, end, text.data());
        } else if (table->Used(code)) {
            start = table->Expand(code, end, text.data());
            if (!start) return TUnzipResult::BadData;
            table->Add(previous, *start);
        } else if (code == table->NextFree()) {
            // The code being defined by this very step: the previous string
            // followed by its own first byte.
            start = table->Expand(previous, end - 1, text.data());
            if (!start) return TUnzipResult::BadData;
            end[-1] = *start;
            table->Add(previous, *start);
        } else {
            return TUnzipResult::BadData;
        }
        if (!output.Put(start, static_cast<size_t>(end - start))) break;
        previous = code;
    }
    return TUnzipResult::Ok;
}

} // namespace lumo
