// The property values of one element, kept in groups of slots that entries
// of the property stack share: a child takes its parent's inherited groups
// as they are and the unset groups for the rest, and a group is copied only
// when an entry that shares it sets one of its values.
#pragma once

#include "html/prop_index.h"

#include <array>
#include <cstdint>
#include <memory>

namespace lumo {

namespace PropGroup {

// The groups: the box lengths and the other values an element does not
// inherit are unset on every new entry; fonts, text and link looks are the
// parent's until set.
enum : uint8_t { Box, Reset, Font, Text, Link, Count };

constexpr uint8_t Of(int index) {
    if (Prop::IsBox(index)) return Box;
    if (Prop::NotInherited(index)) return Reset;
    if (index >= Prop::LinkColor) return Link;
    if (index <= Prop::FontWeight || index == Prop::FontVariant) return Font;
    return Text;
}

// Where a property's value lives: its group and its place in the group.
struct TPlace {
    uint8_t Group;
    uint8_t Offset;
};

inline constexpr std::array<TPlace, Prop::Count> Places = [] {
    std::array<TPlace, Prop::Count> places{};
    std::array<uint8_t, Count> next{};
    for (int i = 0; i < Prop::Count; ++i) {
        const uint8_t group = Of(i);
        places[i] = {group, next[group]++};
    }
    return places;
}();

inline constexpr std::array<int, Count> Sizes = [] {
    std::array<int, Count> sizes{};
    for (int i = 0; i < Prop::Count; ++i)
        ++sizes[Of(i)];
    return sizes;
}();

} // namespace PropGroup

class TPropSlots {
public:
    // Every value unset: the box lengths IntNull, z-index 0, the rest empty.
    TPropSlots();

    const TPropValue& operator[](int index) const {
        const PropGroup::TPlace place = PropGroup::Places[index];
        return groups_[place.Group][place.Offset];
    }
    void Set(int index, TPropValue value);
    // The parent's values where they are inherited, unset ones elsewhere.
    void Inherit(const TPropSlots& parent);
    // Replaces the values declared "inherit" with the parent's.
    void TakeInherited(const TPropSlots& parent);
    // Whether none of the values an element does not inherit (the box
    // values among them) has been set.
    bool BoxUnset() const;

private:
    using TValues = std::shared_ptr<TPropValue[]>;
    using TGroups = std::array<TValues, PropGroup::Count>;

    static const TGroups& Unset();

    TGroups groups_;
};

} // namespace lumo
