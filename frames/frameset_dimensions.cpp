#include "frames/frameset_dimensions.h"

#include <algorithm>
#include <cstdint>

namespace lumo {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Far above every cap, so a long run of digits saturates instead of wrapping.
constexpr int64_t NumberCeiling = 1'000'000;

enum class TDimKind { Pixels, Share, Percent };

TDimKind KindOf(int spec) {
    if (spec > 0) return TDimKind::Pixels;
    if (spec >= -MaxDimShares) return TDimKind::Share;
    return TDimKind::Percent;
}

int ShareOf(int spec) {
    return -spec;
}

int PercentOf(int spec) {
    return -spec - 100;
}

} // namespace

int ParseDimensionList(std::string_view text, TDimArray& specs) {
    int count = 0;
    size_t i = 0;
    const size_t n = text.size();
    const auto skipUntil = [&](auto stop) {
        while (i < n && !stop(text[i]))
            ++i;
    };
    while (count < MaxFrameDims) {
        skipUntil([](char c) { return IsDigit(c) || c == '*' || c == ','; });
        int spec = -1;
        if (i < n && IsDigit(text[i])) {
            int64_t value = 0;
            for (; i < n && IsDigit(text[i]); ++i)
                value = std::min(NumberCeiling, value * 10 + (text[i] - '0'));
            value = std::max<int64_t>(1, value);
            skipUntil([](char c) { return c == '%' || c == '*' || c == ','; });
            if (i < n && text[i] == '*') {
                spec = -static_cast<int>(std::min<int64_t>(MaxDimShares, value));
                ++i;
            } else if (i < n && text[i] == '%') {
                spec = -static_cast<int>(std::min<int64_t>(100 + MaxDimPercent, value + 100));
                ++i;
            } else {
                spec = static_cast<int>(std::min<int64_t>(MaxDimPixels, value));
            }
        } else if (i < n && text[i] == '*') {
            ++i; // a bare "*" is one share
        }
        specs[static_cast<size_t>(count++)] = spec;
        skipUntil([](char c) { return c == ','; }); // the rest of the entry
        if (i >= n) break;
        ++i;
    }
    return count;
}

std::string DimensionText(int spec) {
    switch (KindOf(spec)) {
    case TDimKind::Pixels: return std::to_string(spec);
    case TDimKind::Share: return ShareOf(spec) == 1 ? "*" : std::to_string(ShareOf(spec)) + "*";
    case TDimKind::Percent: return std::to_string(PercentOf(spec)) + "%";
    }
    return {};
}

int ComputeDimensionSizes(std::span<const int> specs, int total, std::span<int> sizes) {
    const int64_t room = std::max(0, total);
    int64_t pixels = 0, shares = 0, percent = 0;
    for (int spec : specs) {
        switch (KindOf(spec)) {
        case TDimKind::Pixels: pixels += spec; break;
        case TDimKind::Share: shares += ShareOf(spec); break;
        case TDimKind::Percent: percent += PercentOf(spec); break;
        }
    }
    const int64_t rest = room - pixels;
    int64_t percentSpace = 0, unit = 0;
    if (rest > 0) {
        percentSpace = std::min(rest, room * percent / 100);
        if (shares > 0) unit = (rest - percentSpace) / shares;
    }
    int64_t sum = 0;
    for (size_t i = 0; i < specs.size() && i < sizes.size(); ++i) {
        const int spec = specs[i];
        int64_t size = 0;
        if (rest > 0) {
            switch (KindOf(spec)) {
            case TDimKind::Pixels: size = spec; break;
            case TDimKind::Share: size = ShareOf(spec) * unit; break;
            case TDimKind::Percent:
                size = percent > 0 ? PercentOf(spec) * percentSpace / percent : 0;
                break;
            }
        } else if (KindOf(spec) == TDimKind::Pixels && pixels > 0) {
            size = spec * room / pixels; // not enough room: fixed sizes shrink alike
        }
        sizes[i] = static_cast<int>(size);
        sum += size;
    }
    return static_cast<int>(sum);
}

void PlaceDimensions(std::span<const int> sizes, int totalSize, int extent, std::span<int> ends) {
    const int64_t room = std::max(0, extent);
    const size_t count = std::min(sizes.size(), ends.size());
    int64_t running = 0;
    for (size_t i = 0; i < count; ++i) {
        if (totalSize > 0) {
            running += std::max(0, sizes[i]);
            ends[i] = static_cast<int>(std::min(room, running * room / totalSize));
        } else {
            ends[i] =
                static_cast<int>(static_cast<int64_t>(i + 1) * room / static_cast<int64_t>(count));
        }
    }
}

int SizesFromEnds(std::span<const int> ends, std::span<int> sizes) {
    int previous = 0;
    for (size_t i = 0; i < ends.size() && i < sizes.size(); ++i) {
        sizes[i] = std::max(0, ends[i] - previous);
        previous = std::max(previous, ends[i]);
    }
    return previous;
}

} // namespace lumo
