// The fonts of one document, each kept once: a page shows thousands of text
// runs in a handful of fonts, so runs point into this table instead of
// holding a copy each.
#pragma once

#include "html/font.h"

#include <array>
#include <cstddef>
#include <unordered_set>

namespace lumo {

class Canvas;

// Selects font on canvas unless it is already selected.
void UseFont(Canvas& canvas, const FontSpec& font);

// What text runs need of a font's metrics on a canvas, in pixels.
struct TRunMetrics {
    int RunHeight = 0;   // height plus external leading
    int TextHeight = 0;  // the font's height
    int RunDescent = 0;  // rows below the baseline
    int RunOverhang = 0; // the font's overhang, taken off every measured piece
    int MaxCharWidth = 0;
};

// A font of the table, which measures itself once per canvas for all the
// runs that show in it.
class TInternedFont : public TFont {
public:
    explicit TInternedFont(const TFont& font) : TFont(font) {}
    // The metrics on canvas, measured once per canvas; the last two
    // canvases' are kept (the layout's and the painter's). Measuring selects
    // the font there: a caller that draws or measures text selects its own.
    TRunMetrics MetricsOn(Canvas& canvas) const;

private:
    struct TMeasured {
        const Canvas* On = nullptr;
        TRunMetrics Metrics;
    };
    mutable std::array<TMeasured, 2> measured_;
    mutable size_t older_ = 0; // the slot a new canvas takes
};

class TFontTable {
public:
    // The table's copy of font; it stays at the same address until Clear.
    const TInternedFont& Intern(const TFont& font);
    // Forgets every font; nothing may point into the table any more.
    void Clear() { fonts_.clear(); }
    size_t size() const { return fonts_.size(); }

private:
    // Both take any TFont, so a font is looked up without a copy.
    struct Hash {
        using is_transparent = void;
        size_t operator()(const TFont& font) const;
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(const TFont& a, const TFont& b) const;
    };
    std::unordered_set<TInternedFont, Hash, Equal> fonts_;
};

} // namespace lumo
