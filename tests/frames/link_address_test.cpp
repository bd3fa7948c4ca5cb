#include "frames/link_address.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(LinkAddress, AddressesWithASchemeAreTakenAsTheyStand) {
    const std::pair<const char*, bool> rows[] = {
        {"http://host/a.htm", true}, {"HTTPS://host/", true},
        {"mailto:a@b.com", true},    {"ftp:host", true},
        {"news:comp.lang.c", true},  {"javascript:go()", true},
        {"page.htm", false},         {"/root.htm", false},
        {"c:\\dir\\a.htm", false},   {"a:b", false},
        {"#anchor", false},          {"", false},
    };
    for (const auto& [link, full] : rows)
        EXPECT_EQ(IsFullAddress(link), full) << link;
}

TEST(LinkAddress, NamesInAFrameResolveAgainstTheBaseOrTheFrame) {
    struct Row {
        const char* name;
        const char* documentBase;
        const char* frameBase;
        const char* address;
    };
    const Row rows[] = {
        {"b.htm", "", "http://h/d/", "http://h/d/b.htm"},
        {"b.htm", "http://base/x/page.htm", "http://h/d/", "http://base/x/b.htm"},
        {"../up.htm", "", "http://h/d/e/", "http://h/d/up.htm"},
        {"/top.htm", "", "http://h/d/e/", "http://h/top.htm"},
        {"mailto:a@b.com", "", "http://h/d/", "mailto:a@b.com"},
        {"https://s/x", "", "http://h/d/", "https://s/x"},
        {"ftp:files", "", "http://h/d/", "ftp:files"},
        {"c:\\dir\\a.htm", "", "http://h/", "file:///c|/dir/a.htm"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ExpandFrameName(row.name, row.documentBase, row.frameBase), row.address)
            << row.name;
    EXPECT_EQ(ResolveFrameLink("", "", "http://h/d/", "http://h/d/self.htm"),
              "http://h/d/self.htm");
}

TEST(LinkAddress, AnchorsSplitAtTheFirstHash) {
    EXPECT_EQ(SplitAnchor("a.htm#x#y"), std::make_pair(std::string("a.htm"), std::string("#x#y")));
    EXPECT_EQ(SplitAnchor("a.htm"), std::make_pair(std::string("a.htm"), std::string()));
    EXPECT_EQ(SplitAnchor("#top"), std::make_pair(std::string(), std::string("#top")));
}

TEST(LinkAddress, FormResultsTravelEncoded) {
    EXPECT_EQ(EncodeFormResults({"name=John Smith", "q=a&b/\xE9", "x=@*-._"}),
              "name=John+Smith&q=a%26b%2F%E9&x=@*-._");
    EXPECT_EQ(EncodeFormResults({}), "");
    // A text area's line ends, a tilde and every byte above 127 are escaped.
    EXPECT_EQ(EncodeFormResults({"t=one\r\ntwo~"}), "t=one%0D%0Atwo%7E");
}

} // namespace
} // namespace lumo
