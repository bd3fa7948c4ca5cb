// Property values shared between entries until one of them sets a value:
// what an entry sets never shows in another, and a new entry starts from its
// parent's inherited values and unset ones for the rest.
#include "html/prop_slots.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TPropValue Text(const char* s) {
    return std::string(s);
}

TEST(PropSlots, FreshValuesAreUnset) {
    TPropSlots slots;
    for (int i = 0; i < Prop::Count; ++i) {
        const TPropValue expected = Prop::IsBox(i)      ? TPropValue(IntNull)
                                    : i == Prop::ZIndex ? TPropValue(0)
                                                        : TPropValue();
        EXPECT_EQ(slots[i], expected) << i;
    }
    EXPECT_TRUE(slots.BoxUnset());
}

TEST(PropSlots, InheritTakesInheritedValuesOnly) {
    TPropSlots parent;
    for (int i = 0; i < Prop::Count; ++i)
        parent.Set(i, 1000 + i);
    TPropSlots child;
    child.Inherit(parent);
    for (int i = 0; i < Prop::Count; ++i) {
        const TPropValue expected = Prop::IsBox(i)          ? TPropValue(IntNull)
                                    : Prop::NotInherited(i) ? TPropValue()
                                                            : TPropValue(1000 + i);
        EXPECT_EQ(child[i], expected) << i;
    }
    EXPECT_TRUE(child.BoxUnset());
}

// Each group once, from both sides: the child's change stays in the child,
// the parent's later change stays in the parent, and a copy is as separate.
TEST(PropSlots, SettingNeverReachesASharer) {
    for (int index :
         {Prop::FontFamily, Prop::Color, Prop::LinkColor, Prop::MarginTop, Prop::Float}) {
        TPropSlots parent;
        parent.Set(index, Text("parent"));
        TPropSlots child;
        child.Inherit(parent);
        TPropSlots copy = parent;

        child.Set(index, Text("child"));
        EXPECT_EQ(parent[index], Text("parent")) << index;
        EXPECT_EQ(copy[index], Text("parent")) << index;

        parent.Set(index, Text("later"));
        EXPECT_EQ(child[index], Text("child")) << index;
        EXPECT_EQ(copy[index], Text("parent")) << index;

        // Unset values stay unset for every new entry.
        TPropSlots fresh;
        EXPECT_EQ(fresh[index], TPropSlots()[index]) << index;
    }
}

TEST(PropSlots, BoxUnsetUntilANonInheritedValueIsSet) {
    for (int index : {Prop::BackgroundColor, Prop::MarginLeft, Prop::Left, Prop::Float}) {
        TPropSlots slots;
        slots.Set(index, 5);
        EXPECT_FALSE(slots.BoxUnset()) << index;
    }
    TPropSlots slots;
    slots.Set(Prop::Color, 5);
    EXPECT_TRUE(slots.BoxUnset());
}

TEST(PropSlots, TakeInheritedReplacesOnlyTheWordInherit) {
    TPropSlots parent;
    parent.Set(Prop::Color, 7);
    parent.Set(Prop::FontFamily, Text("serif"));
    parent.Set(Prop::MarginTop, 3);
    TPropSlots child;
    child.Inherit(parent);
    child.Set(Prop::Color, Text("inherit"));
    child.Set(Prop::MarginTop, Text("inherit"));
    child.Set(Prop::BackgroundColor, Text("inherit"));
    child.Set(Prop::TextAlign, Text("center"));
    child.TakeInherited(parent);
    EXPECT_EQ(child[Prop::Color], TPropValue(7));
    EXPECT_EQ(child[Prop::MarginTop], TPropValue(3));
    EXPECT_EQ(child[Prop::BackgroundColor], TPropValue());
    EXPECT_EQ(child[Prop::TextAlign], Text("center"));
    EXPECT_EQ(child[Prop::FontFamily], Text("serif"));
}

} // namespace
} // namespace lumo
