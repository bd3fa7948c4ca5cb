// The fonts of one document, each kept once: a page shows thousands of text
// runs in a handful of fonts, so runs point into this table instead of
// holding a copy each.
#pragma once

#include "html/my_font.h"

#include <cstddef>
#include <unordered_set>

namespace lumo {

class TFontTable {
public:
    // The table's copy of font; it stays at the same address until Clear.
    const TMyFont& Intern(const TMyFont& font);
    // Forgets every font; nothing may point into the table any more.
    void Clear() { fonts_.clear(); }
    size_t size() const { return fonts_.size(); }

private:
    struct Hash {
        size_t operator()(const TMyFont& font) const;
    };
    struct Equal {
        bool operator()(const TMyFont& a, const TMyFont& b) const;
    };
    std::unordered_set<TMyFont, Hash, Equal> fonts_;
};

} // namespace lumo
