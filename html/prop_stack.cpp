#include "html/prop_stack.h"

#include "html/style_list.h"

namespace lumo {

void TPropStack::Reset() {
    clear();
    auto entry = std::make_unique<TProperties>();
    if (styles_.DefProp) {
        entry->Props = styles_.DefProp->Props;
        entry->Charset = styles_.DefProp->Charset;
    }
    entry->PropTag = "default";
    entry->SizeEm();
    Add(std::move(entry));
}

TProperties& TPropStack::PushProps(std::string_view tag, std::string_view cls, std::string_view id,
                                   std::string_view pseudo, const TProperties* styleAttr) {
    if (empty()) Reset();
    auto entry = std::make_unique<TProperties>();
    entry->Inherit(TopProps());
    entry->Combine(styles_, *this, tag, cls, id, pseudo, styleAttr);
    return *Add(std::move(entry));
}

void TPropStack::PopPropsFor(std::string_view tag) {
    if (tag.empty()) return;
    for (int i = PropStackTop(); i >= 1; --i) {
        if ((*this)[i]->PropTag != tag) continue;
        erase(begin() + i);
        // Entry 1 is no exception: what it set must leave the entries above it
        // too, or <B><I>x</B>y would keep y bold.
        for (int k = i; k <= PropStackTop(); ++k)
            (*this)[k]->Update(*(*this)[k - 1]);
        return;
    }
}

void TPropStack::PopProps() {
    if (size() > 1) pop_back();
}

} // namespace lumo
