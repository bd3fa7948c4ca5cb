#include "net/cookie_list.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumo {
namespace {

TEST(CookieDomain, DerivedFromTheHost) {
    struct Row {
        const char* host;
        const char* domain;
    } rows[] = {
        {"news.example.com", ".example.com"},
        {"NEWS.Example.COM", ".example.com"},
        {"example.com", ".example.com"},
        {"a.b.example.org", ".example.org"},
        {"news.shop.example.de", ".shop.example.de"},
        {"shop.example.de", ".shop.example.de"},
        {"example.de", ""},
        {"host.de", ""},
        {"localhost", ""},
        {"", ""},
        {"127.0.0.1", ".127.0.0.1"}, // an IP address is its own domain
        {"10.0.0.1", ".10.0.0.1"},
        {"1.2.3.4.5", ".3.4.5"},     // not an IPv4 address: the dot rule
        {"123.5.6.7", ".123.5.6.7"}, // three digits a part at most
        {"1234.5.6.7", ".5.6.7"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CookieDomainOf(row.host), row.domain) << row.host;
}

class CookieListTest : public testing::Test {
protected:
    test::TempFolder folder;
    TCookieList cookies{folder.Path()};
};

TEST_F(CookieListTest, StoredByDomainAndSentToItsHosts) {
    cookies.StoreSetCookie("http://news.example.com/", "LANG=en; path=/");
    EXPECT_EQ(cookies.Entries(), std::vector<std::string>{".example.com LANG=en;"});
    EXPECT_EQ(cookies.CookieHeaderFor("http://shop.example.com/x"), "LANG=en;");
    cookies.StoreSetCookie("http://news.example.com/", "THEME=dark; expires=Fri, 1 Jan 1999");
    EXPECT_EQ(cookies.CookieHeaderFor("http://news.example.com/x"), "LANG=en; THEME=dark;");
    EXPECT_EQ(cookies.CookieHeaderFor("http://example.org/"), "");
    EXPECT_EQ(cookies.CookieHeaderFor("http://localhost/"), "");
}

TEST_F(CookieListTest, DuplicatesAndNewValues) {
    cookies.StoreSetCookie("http://news.example.com/", "LANG=en; path=/");
    cookies.StoreSetCookie("http://news.example.com/", "  LANG=en; path=/other  ");
    cookies.StoreSetCookie("http://news.example.com/", "lang=EN;");
    EXPECT_EQ(cookies.Entries().size(), 1u); // equal without regard to case
    cookies.StoreSetCookie("http://news.example.com/", "LANG=de;");
    EXPECT_EQ(cookies.CookieHeaderFor("http://news.example.com/"), "LANG=de; LANG=en;");
}

TEST_F(CookieListTest, SecureCookiesGoOnlyOverHttpsAndPlainPagesCannotShadowThem) {
    cookies.StoreSetCookie("http://www.example.com/", "PLAIN=1; secure"); // not over http
    cookies.StoreSetCookie("https://www.example.com/", "SID=abc; path=/; Secure");
    cookies.StoreSetCookie("https://www.example.com/", "LANG=en;");
    cookies.StoreSetCookie("http://www.example.com/", "SID=forged;");
    cookies.StoreSetCookie("http://www.example.com/", "THEME=dark;");
    EXPECT_EQ(cookies.CookieHeaderFor("https://shop.example.com/"),
              "LANG=en; SID=abc; THEME=dark;");
    EXPECT_EQ(cookies.CookieHeaderFor("http://shop.example.com/"), "LANG=en; THEME=dark;");

    folder.Write("Cookies.txt", cookies.FileText()); // the mark survives the file
    TCookieList saved(folder.Path());
    EXPECT_EQ(saved.CookieHeaderFor("http://www.example.com/"), "LANG=en; THEME=dark;");
}

TEST_F(CookieListTest, DomainAttributes) {
    struct Row {
        const char* url;
        const char* value;
        const char* entry; // "" when dropped
    } rows[] = {
        {"http://news.example.com/", "A=1; domain=example.com", ""}, // one dot
        {"http://news.example.com/", "A=2; domain=.example.com", ".example.com A=2;"},
        {"http://www.example.co.uk/", "A=3; domain=.example.co.uk", ".example.co.uk A=3;"},
        {"http://news.example.com/", "A=4; domain=.other.com", ""}, // not the host's
        {"http://news.example.com/", "A=5; domain=.ple.com", ""},   // not at a dot
        // The domain must end the host, not stand inside it.
        {"http://www.example.com.evil.net/", "B=1; domain=.example.com", ""},
        // Two dots are enough only under a generic top-level domain.
        {"http://www.example.de/", "B=2; domain=.example.de", ""},
        {"http://www.shop.example.de/", "B=3; domain=.shop.example.de", ".shop.example.de B=3;"},
        {"http://news.example.com/", "A=6; domain=.news.example.com", ".news.example.com A=6;"},
        {"http://www.example.co.uk/", "A=7; domain=www.example.co.uk", ".www.example.co.uk A=7;"},
        {"http://127.0.0.1/", "A=8; domain=.0.0.1", ""},
        {"http://127.0.0.1/", "A=9; domain=127.0.0.1", ".127.0.0.1 A=9;"},
        {"http://host.de/", "A=10", ""}, // no cookie domain
        {"http://news.example.com/", "A=11; Domain=.other.com", ".example.com A=11;"},
        {"http://news.example.com/", "", ""},
        // "domain" is only an attribute: not part of a name, a value or a path.
        {"http://www.example.com/", "sso_domain=x.com; path=/", ".example.com sso_domain=x.com;"},
        {"http://www.example.com/", "pref=domain=.other.com",
         ".example.com pref=domain=.other.com;"},
        {"http://www.example.com/", "A=1;domain=.example.com", ".example.com A=1;"},
        {"https://www.example.com/", "A=2; path=/;  domain=.www.example.com ; secure",
         ".www.example.com A=2; secure"},
        {"http://www.example.com/", "A=3; path=/x_domain=.other.com", ".example.com A=3;"},
    };
    for (const auto& row : rows) {
        test::TempFolder f;
        TCookieList list(f.Path());
        list.StoreSetCookie(row.url, row.value);
        const std::vector<std::string> expected =
            *row.entry ? std::vector<std::string>{row.entry} : std::vector<std::string>{};
        EXPECT_EQ(list.Entries(), expected) << row.url << " " << row.value;
    }
}

TEST_F(CookieListTest, ControlBytesInASetCookieRefuseIt) {
    for (const std::string& value :
         {std::string("A=1\r.bank.com EVIL=1;"), std::string("A=1\n.bank.com EVIL=1;"),
          std::string("A=1\0.bank.com EVIL=1;", 22), std::string("A=\x01;"), std::string("A=\x7F;"),
          std::string("A=1; path=/\r.bank.com EVIL=1;"),
          std::string("A=1; domain=.example.com\r.bank.com EVIL=1;")})
        cookies.StoreSetCookie("http://evil.example.com/", value);
    EXPECT_EQ(cookies.Entries(), std::vector<std::string>{});
    // Ends are trimmed as before, and the domain's later requests stay sendable.
    cookies.StoreSetCookie("http://evil.example.com/", "A=2; path=/\r\n");
    EXPECT_EQ(cookies.CookieHeaderFor("http://www.example.com/"), "A=2;");
}

TEST_F(CookieListTest, ADomainNeverGetsTheCookiesOfAnotherThatStartsLikeIt) {
    cookies.StoreSetCookie("http://www.example.com.au/", "MINE=1;");
    cookies.StoreSetCookie("http://www.example.com/", "YOURS=2;");
    EXPECT_EQ(cookies.CookieHeaderFor("http://news.example.com/"), "YOURS=2;");
    EXPECT_EQ(cookies.CookieHeaderFor("http://news.example.com.au/"), "MINE=1;");
}

TEST_F(CookieListTest, ACookieWithoutSemicolonIsKeptWhole) {
    cookies.StoreSetCookie("http://a.example.com/", "SESSION=abc");
    cookies.StoreSetCookie("http://a.example.com/", "Z=1;");
    EXPECT_EQ(cookies.CookieHeaderFor("http://a.example.com/"), "SESSION=abc; Z=1;");
}

TEST_F(CookieListTest, IpHostsKeepTheirCookiesApart) {
    cookies.StoreSetCookie("http://127.0.0.1:8080/", "A=1;");
    EXPECT_EQ(cookies.CookieHeaderFor("http://127.0.0.1:9090/x"), "A=1;");
    EXPECT_EQ(cookies.CookieHeaderFor("http://10.0.0.1/"), "");
}

TEST(CookieFile, RoundTripInSortedOrder) {
    test::TempFolder folder;
    {
        TCookieList cookies(folder.Path());
        cookies.StoreSetCookie("http://www.zeta.com/", "Z=1;");
        cookies.StoreSetCookie("http://www.alpha.com/", "A=1;");
        cookies.SetSaveOnDestroy(true);
    }
    EXPECT_EQ(folder.Read("Cookies.txt"), ".alpha.com A=1;\r\n.zeta.com Z=1;\r\n");
    TCookieList cookies(folder.Path());
    EXPECT_EQ(cookies.CookieHeaderFor("http://www.zeta.com/"), "Z=1;");
}

TEST(CookieFile, LeftAloneWithoutSaveOnDestroy) {
    test::TempFolder folder;
    folder.Write("Cookies.txt", ".a.com X=1;\r\n");
    {
        TCookieList cookies(folder.Path());
        cookies.StoreSetCookie("http://www.b.com/", "Y=2;");
    }
    EXPECT_EQ(folder.Read("Cookies.txt"), ".a.com X=1;\r\n");
}

TEST(CookieFile, GarbageLoadsWhatItCan) {
    test::TempFolder folder;
    std::string text = ".a.com X=1;\n\n\r\n   \n.A.COM x=1;\nno-space-at-all\n";
    text += std::string(5000, 'q') + "\n"; // over-long line
    text += std::string("\0\xff\x01", 3) + "\n.b.com Y=2;";
    folder.Write("Cookies.txt", text);
    TCookieList cookies(folder.Path());
    EXPECT_EQ(cookies.CookieHeaderFor("http://www.a.com/"), "X=1;");
    EXPECT_EQ(cookies.CookieHeaderFor("http://www.b.com/"), "Y=2;");
    EXPECT_EQ(cookies.Entries().size(), 3u); // the line with control bytes is not an entry
}

// A file of 4 MB loads; one byte more is refused whole.
TEST(CookieFile, FileOfTheMostBytesLoads) {
    constexpr size_t Most = 4 << 20;
    for (const size_t size : {Most, Most + 1}) {
        test::TempFolder folder;
        std::string text = ".a.com A=1;\r\n";
        text += std::string(size - text.size() - 2, ' ') + "\r\n";
        folder.Write("Cookies.txt", text);
        TCookieList cookies(folder.Path());
        EXPECT_EQ(cookies.CookieHeaderFor("http://www.a.com/"), size == Most ? "A=1;" : "") << size;
    }
}

TEST(CookieFile, ALoneCarriageReturnNeverStartsAnEntry) {
    test::TempFolder folder;
    folder.Write("Cookies.txt", ".example.com A=1\r.bank.com EVIL=1;\r\n.b.com B=2;\n"
                                ".c.com C=3;\r\n");
    {
        TCookieList cookies(folder.Path());
        EXPECT_EQ(cookies.CookieHeaderFor("http://www.bank.com/"), "");
        EXPECT_EQ(cookies.CookieHeaderFor("http://www.example.com/"), "");
        EXPECT_EQ(cookies.CookieHeaderFor("http://www.b.com/"), "B=2;");
        EXPECT_EQ(cookies.CookieHeaderFor("http://www.c.com/"), "C=3;");
        // Nor can a cookie the store took put one there.
        cookies.StoreSetCookie("http://evil.example.com/", "A=1\r.bank.com EVIL=1;");
        cookies.SetSaveOnDestroy(true);
    }
    TCookieList again(folder.Path());
    EXPECT_EQ(again.CookieHeaderFor("http://www.bank.com/"), "");
}

// A file cut anywhere (a disk that filled up) loads the entries before the
// cut whole and the one it runs into as far as it goes.
TEST(CookieFile, AFileCutAnywhereLoadsWhatItHolds) {
    const std::string whole = ".a.com A=1;\r\n.b.com B=2; C=3;\n.c.com D=4;";
    const std::vector<std::string> entries = {".a.com A=1;", ".b.com B=2; C=3;", ".c.com D=4;"};
    for (size_t length = 0; length <= whole.size(); ++length) {
        test::TempFolder folder;
        folder.Write("Cookies.txt", whole.substr(0, length));
        const TCookieList cookies(folder.Path());
        const std::vector<std::string>& read = cookies.Entries();
        size_t complete = 0; // entries whose line ended before the cut
        for (size_t at = 0; (at = whole.find('\n', at)) < length; ++at)
            ++complete;
        // The store keeps its entries sorted.
        const auto whole = [&](const std::string& e) {
            return std::find(entries.begin(), entries.begin() + complete, e) !=
                   entries.begin() + complete;
        };
        const size_t wholeCount = std::count_if(read.begin(), read.end(), whole);
        EXPECT_EQ(wholeCount, complete) << length;
        ASSERT_LE(read.size(), complete + 1) << length;
        for (const std::string& e : read)
            EXPECT_TRUE(whole(e) || entries[complete].starts_with(e)) << length << ": " << e;
    }
}

TEST(CookieFile, TheStoreIsBounded) {
    test::TempFolder folder;
    TCookieList cookies(folder.Path());
    for (size_t i = 0; i < TCookieList::MaxEntries + 100; ++i)
        cookies.StoreSetCookie("http://www.a.com/", "C" + std::to_string(i) + "=1;");
    EXPECT_EQ(cookies.Entries().size(), TCookieList::MaxEntries);

    // An entry of the longest length is kept; one byte more is not.
    const auto entryOf = [](size_t length, char name) {
        std::string entry = std::string(".") + name + ".com K=";
        return entry + std::string(length - entry.size() - 1, 'v') + ";";
    };
    folder.Write("Cookies.txt", entryOf(TCookieList::MaxEntryLength, 'a') + "\n" +
                                    entryOf(TCookieList::MaxEntryLength + 1, 'b') + "\n");
    TCookieList read(folder.Path());
    ASSERT_EQ(read.Entries().size(), 1u);
    EXPECT_EQ(read.Entries()[0].size(), TCookieList::MaxEntryLength);
}

} // namespace
} // namespace lumo
