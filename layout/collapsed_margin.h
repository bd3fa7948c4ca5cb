// Where vertical margins meet they make one: the largest of the positive
// ones and the most negative of the negative ones, added. A margin in
// percent counts against the containing width, which is known only at
// layout, so pixels and percentages are kept apart until then.
#pragma once

#include "html/properties.h"

#include <algorithm>
#include <cmath>

namespace lumo {

class TCollapsedMargin {
public:
    TCollapsedMargin() = default;
    // One margin: in pixels, or in percent when percent is set.
    TCollapsedMargin(int pixels, std::optional<double> percent) {
        if (percent) {
            const auto p = static_cast<float>(std::clamp<double>(*percent, -MaxLength, MaxLength));
            (p >= 0 ? largest_.Percent : mostNegative_.Percent) = p;
        } else {
            (pixels >= 0 ? largest_.Pixels : mostNegative_.Pixels) = pixels;
        }
    }

    // This margin and other met.
    void Meet(const TCollapsedMargin& other) {
        largest_.Pixels = std::max(largest_.Pixels, other.largest_.Pixels);
        largest_.Percent = std::max(largest_.Percent, other.largest_.Percent);
        mostNegative_.Pixels = std::min(mostNegative_.Pixels, other.mostNegative_.Pixels);
        mostNegative_.Percent = std::min(mostNegative_.Percent, other.mostNegative_.Percent);
    }

    // In pixels, for a containing block width pixels wide.
    int At(int width) const {
        return std::max(largest_.Pixels, Of(largest_.Percent, width)) +
               std::min(mostNegative_.Pixels, Of(mostNegative_.Percent, width));
    }

    bool operator==(const TCollapsedMargin&) const = default;

private:
    struct TPart {
        int Pixels = 0;
        float Percent = 0;
        bool operator==(const TPart&) const = default;
    };

    static int Of(float percent, int width) {
        return static_cast<int>(
            std::lround(std::clamp<double>(percent * double(width) / 100, -MaxLength, MaxLength)));
    }

    TPart largest_;      // at least 0
    TPart mostNegative_; // at most 0
};

} // namespace lumo
