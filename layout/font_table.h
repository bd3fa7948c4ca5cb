// The fonts of one document, each kept once: a page shows thousands of text
// runs in a handful of fonts, so runs point into this table instead of
// holding a copy each.
#pragma once

#include "html/font.h"

#include <cstddef>
#include <unordered_set>

namespace lumo {

class TFontTable {
public:
    // The table's copy of font; it stays at the same address until Clear.
    const TFont& Intern(const TFont& font);
    // Forgets every font; nothing may point into the table any more.
    void Clear() { fonts_.clear(); }
    size_t size() const { return fonts_.size(); }

private:
    struct Hash {
        size_t operator()(const TFont& font) const;
    };
    struct Equal {
        bool operator()(const TFont& a, const TFont& b) const;
    };
    std::unordered_set<TFont, Hash, Equal> fonts_;
};

} // namespace lumo
