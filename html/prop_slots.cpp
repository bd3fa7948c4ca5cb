#include "html/prop_slots.h"

#include <algorithm>

namespace lumo {

namespace {

TPropValue UnsetValue(int index) {
    if (Prop::IsBox(index)) return IntNull;
    if (index == Prop::ZIndex) return 0;
    return {};
}

} // namespace

const TPropSlots::TGroups& TPropSlots::Unset() {
    static const TGroups unset = [] {
        TGroups groups;
        for (int g = 0; g < PropGroup::Count; ++g)
            groups[g] = std::make_shared<TPropValue[]>(PropGroup::Sizes[g]);
        for (int i = 0; i < Prop::Count; ++i) {
            const PropGroup::TPlace place = PropGroup::Places[i];
            groups[place.Group][place.Offset] = UnsetValue(i);
        }
        return groups;
    }();
    return unset;
}

TPropSlots::TPropSlots() : groups_(Unset()) {}

void TPropSlots::Set(int index, TPropValue value) {
    const PropGroup::TPlace place = PropGroup::Places[index];
    TValues& group = groups_[place.Group];
    if (group.use_count() != 1) {
        const int size = PropGroup::Sizes[place.Group];
        TValues own = std::make_shared<TPropValue[]>(size);
        std::copy(group.get(), group.get() + size, own.get());
        group = std::move(own);
    }
    group[place.Offset] = std::move(value);
}

void TPropSlots::Inherit(const TPropSlots& parent) {
    for (int g = 0; g < PropGroup::Count; ++g)
        groups_[g] = g == PropGroup::Box || g == PropGroup::Reset ? Unset()[g] : parent.groups_[g];
}

void TPropSlots::TakeInherited(const TPropSlots& parent) {
    // A group shared with the parent holds the parent's values already, and
    // an unset group holds no text: only this entry's own groups can say
    // "inherit".
    std::array<bool, PropGroup::Count> own{};
    bool any = false;
    for (int g = 0; g < PropGroup::Count; ++g) {
        own[g] = groups_[g] != parent.groups_[g] && groups_[g] != Unset()[g];
        any |= own[g];
    }
    if (!any) return;
    for (int i = 0; i < Prop::Count; ++i) {
        if (!own[PropGroup::Places[i].Group]) continue;
        const auto* text = std::get_if<std::string>(&(*this)[i]);
        if (text && *text == "inherit") Set(i, parent[i]);
    }
}

bool TPropSlots::BoxUnset() const {
    return groups_[PropGroup::Box] == Unset()[PropGroup::Box] &&
           groups_[PropGroup::Reset] == Unset()[PropGroup::Reset];
}

} // namespace lumo
