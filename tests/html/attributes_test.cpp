#include "html/attributes.h"
#include "html/properties.h"
#include "html/tokenizer.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

// The attributes of one tag, read by the tokenizer.
TAttributeList Tag(std::string_view html) {
    HtmlTokenizer t;
    t.Begin(html);
    t.ReadNextChar();
    t.NextToken();
    TAttributeList list;
    for (auto& attr : t.Attributes)
        list.push_back(std::move(attr));
    return list;
}

TEST(AttributeList, ClassIdAndStyle) {
    TAttributeList list = Tag("<p class=Note ID=Top style=\"color: red\">");
    EXPECT_EQ(list.GetClass(), "note");
    EXPECT_EQ(list.GetID(), "top");
    TProperties* style = list.GetStyle();
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(*style->Int(Prop::Color), 0x0000FF);
    list.Clear();
    EXPECT_EQ(list.GetID(), "");
    EXPECT_EQ(list.GetStyle(), nullptr);
}

} // namespace
} // namespace lumo
