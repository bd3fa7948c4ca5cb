// The property stack of a parse: one TProperties per open element that
// carries style. Entry 0 is the document default and is never removed.
#pragma once

#include "html/free_list.h"
#include "html/properties.h"

#include <string_view>

namespace lumo {

class TStyleList;

class TPropStack : public TFreeList<TProperties> {
public:
    explicit TPropStack(const TStyleList& styles) : styles_(styles) {}

    // Empties the stack and pushes the default entry from the style list.
    void Reset();
    // Inherits from the top, combines with the matching rules and the
    // element's parsed STYLE attribute, and pushes the result.
    TProperties& PushProps(std::string_view tag, std::string_view cls, std::string_view id,
                           std::string_view pseudo, const TProperties* styleAttr);
    // Removes the topmost entry of that tag (above entry 0) and lets the
    // entries above it inherit again from what is now below them, entry 0
    // included.
    void PopPropsFor(std::string_view tag);
    void PopProps();
    int PropStackTop() const { return static_cast<int>(size()) - 1; }
    TProperties& TopProps() { return *back(); }
    const TProperties& TopProps() const { return *back(); }

private:
    const TStyleList& styles_;
};

} // namespace lumo
