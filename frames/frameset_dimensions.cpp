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

TDimKind KindOf(int dim) {
    if (dim > 0) return TDimKind::Pixels;
    if (dim >= -MaxDimShares) return TDimKind::Share;
    return TDimKind::Percent;
}

int ShareOf(int dim) {
    return -dim;
}

int PercentOf(int dim) {
    return -dim - 100;
}

} // namespace

int ParseDimensionList(std::string_view text, TDimArray& dims) {
    int count = 0;
    size_t i = 0;
    const size_t n = text.size();
    const auto skipUntil = [&](auto stop) {
        while (i < n && !stop(text[i]))
            ++i;
    };
    while (count < MaxFrameDims) {
        skipUntil([](char c) { return IsDigit(c) || c == '*' || c == ','; });
        int dim = -1;
        if (i < n && IsDigit(text[i])) {
            int64_t value = 0;
            for (; i < n && IsDigit(text[i]); ++i)
                value = std::min(NumberCeiling, value * 10 + (text[i] - '0'));
            value = std::max<int64_t>(1, value);
            skipUntil([](char c) { return c == '%' || c == '*' || c == ','; });
            if (i < n && text[i] == '*') {
                dim = -static_cast<int>(std::min<int64_t>(MaxDimShares, value));
                ++i;
            } else if (i < n && text[i] == '%') {
                dim = -static_cast<int>(std::min<int64_t>(100 + MaxDimPercent, value + 100));
                ++i;
            } else {
                dim = static_cast<int>(std::min<int64_t>(MaxDimPixels, value));
            }
        } else if (i < n && text[i] == '*') {
            ++i; // a bare "*" is one share
        }
        dims[static_cast<size_t>(count++)] = dim;
        skipUntil([](char c) { return c == ','; }); // the rest of the entry
        if (i >= n) break;
        ++i;
    }
    return count;
}

std::string DimensionText(int dim) {
    switch (KindOf(dim)) {
    case TDimKind::Pixels: return std::to_string(dim);
    case TDimKind::Share: return ShareOf(dim) == 1 ? "*" : std::to_string(ShareOf(dim)) + "*";
    case TDimKind::Percent: return std::to_string(PercentOf(dim)) + "%";
    }
    return {};
}

int ComputeDimensionSizes(std::span<const int> dims, int total, std::span<int> sizes) {
    const int64_t room = std::max(0, total);
    int64_t pixels = 0, shares = 0, percent = 0;
    for (int dim : dims) {
        switch (KindOf(dim)) {
        case TDimKind::Pixels: pixels += dim; break;
        case TDimKind::Share: shares += ShareOf(dim); break;
        case TDimKind::Percent: percent += PercentOf(dim); break;
        }
    }
    const int64_t rest = room - pixels;
    int64_t percentSpace = 0, unit = 0;
    if (rest > 0) {
        percentSpace = std::min(rest, room * percent / 100);
        if (shares > 0) unit = (rest - percentSpace) / shares;
    }
    int64_t sum = 0;
    for (size_t i = 0; i < dims.size() && i < sizes.size(); ++i) {
        const int dim = dims[i];
        int64_t size = 0;
        if (rest > 0) {
            switch (KindOf(dim)) {
            case TDimKind::Pixels: size = dim; break;
            case TDimKind::Share: size = ShareOf(dim) * unit; break;
            case TDimKind::Percent:
                size = percent > 0 ? PercentOf(dim) * percentSpace / percent : 0;
                break;
            }
        } else if (KindOf(dim) == TDimKind::Pixels && pixels > 0) {
            size = dim * room / pixels; // not enough room: fixed sizes shrink alike
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
