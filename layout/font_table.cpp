#include "layout/font_table.h"

#include "platform/canvas.h"

#include <functional>
#include <string_view>

namespace lumo {

void UseFont(Canvas& canvas, const FontSpec& font) {
    if (!(canvas.Font() == font)) canvas.SetFont(font);
}

TRunMetrics TInternedFont::MetricsOn(Canvas& canvas) const {
    for (const TMeasured& m : measured_)
        if (m.On == &canvas) return m.Metrics;
    TMeasured& slot = measured_[older_];
    older_ = 1 - older_;
    UseFont(canvas, *this);
    const TTextMetrics m = canvas.GetTextMetrics();
    slot.On = &canvas;
    slot.Metrics = {m.Height + m.ExternalLeading, m.Height, m.Descent, m.Overhang, m.MaxCharWidth};
    return slot.Metrics;
}

const TInternedFont& TFontTable::Intern(const TFont& font) {
    // Looked up first: making the table's copy to compare would cost every
    // run an allocation.
    if (const auto it = fonts_.find(font); it != fonts_.end()) return *it;
    return *fonts_.emplace(font).first;
}

size_t TFontTable::Hash::operator()(const TFont& font) const {
    size_t h = std::hash<std::string_view>()(font.Name);
    auto mix = [&h](size_t v) { h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2); };
    mix(std::hash<double>()(font.Size));
    mix(static_cast<size_t>(font.Bold) | static_cast<size_t>(font.Italic) << 1 |
        static_cast<size_t>(font.Underline) << 2 | static_cast<size_t>(font.StrikeOut) << 3 |
        static_cast<size_t>(font.Overline) << 4 | static_cast<size_t>(font.Case) << 5 |
        static_cast<size_t>(font.SmallCaps) << 7 | static_cast<size_t>(font.Charset) << 8 |
        static_cast<size_t>(font.CodePage) << 16);
    mix(font.Color);
    mix(font.bgColor);
    return h;
}

bool TFontTable::Equal::operator()(const TFont& a, const TFont& b) const {
    return static_cast<const FontSpec&>(a) == static_cast<const FontSpec&>(b) &&
           a.bgColor == b.bgColor && a.Case == b.Case;
}

} // namespace lumo
