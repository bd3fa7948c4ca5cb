// The navigation driver's rules as tables: which links the window takes
// over, and what it reads in header lines.
#include "app/link_actions.h"
#include "app/response_rules.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(LinkActions, TheWindowTakesMailDownloadsAndLocalMedia) {
    using A = TLinkAction;
    struct Row {
        const char* url;
        TLinkAction action;
        const char* file;
        std::vector<std::string> parameters;
    };
    const Row rows[] = {
        {"http://h/page.htm", A::Browse, "", {}},
        {"mailto:me@host.com", A::Mail, "", {}},
        {"MAILTO:me@host.com", A::Mail, "", {}},
        {"http://h/files/pack.ZIP", A::Download, "", {}},
        {"http://h/setup.exe", A::Download, "", {}},
        {"http://h/get.php?f=setup.exe", A::Download, "", {}},
        {"http://h/get.php?f=notes.txt", A::Browse, "", {}},
        {"https://h/pack.zip", A::Browse, "", {}},
        {"file:///home/u/ding.wav", A::Sound, "/home/u/ding.wav", {}},
        {"file:///home/u/tune.MID", A::Media, "/home/u/tune.MID", {}},
        {"file:///home/u/film.avi", A::Media, "/home/u/film.avi", {}},
        {"file:///home/u/tool.exe?-a%20b+c", A::Program, "/home/u/tool.exe", {"-a", "b+c"}},
        {"file:///home/u/tool.exe -x y", A::Program, "/home/u/tool.exe", {"-x", "y"}},
        {"file:///home/u/page.htm", A::Browse, "/home/u/page.htm", {}},
        {"ftp://h/pack.zip", A::Browse, "", {}},
    };
    for (const Row& row : rows) {
        const TLinkDecision d = DecideLinkAction(row.url);
        EXPECT_EQ(d.Action, row.action) << row.url;
        EXPECT_EQ(d.FileName, row.file) << row.url;
        EXPECT_EQ(d.Parameters, row.parameters) << row.url;
    }
}

TEST(ResponseRules, HeaderLinesAreReadByTheirFieldName) {
    using F = THeaderField;
    struct Row {
        const char* line;
        THeaderField field;
        const char* value;
    };
    const Row rows[] = {
        {"Location: http://h/a.htm ", F::Location, "http://h/a.htm"},
        {"LOCATION:/b.htm", F::Location, "/b.htm"},
        {"Content-Location: /c.htm", F::Other, ""},
        {"Set-Cookie: a=1; path=/", F::SetCookie, "a=1; path=/"},
        {"X-Note: Location: /evil", F::Other, ""},
        {"Set-Cookie: url=location:1", F::SetCookie, "url=location:1"},
        {"Content-Type: text/html; charset=x", F::ContentType, "text/html; charset=x"},
        {"Server: nginx", F::Other, ""},
    };
    for (const Row& row : rows) {
        const THeaderLine h = ReadHeaderLine(row.line);
        EXPECT_EQ(h.Field, row.field) << row.line;
        EXPECT_EQ(h.Value, row.value) << row.line;
    }
    EXPECT_EQ(ReadHeaderLine("Set-Cookie:  a=1 ").RawValue, "  a=1 "); // cookies as received
}

TEST(ResponseRules, TextAndPicturesCanBeShown) {
    for (const char* type : {"text/html", "TEXT/HTML", "text/plain", "Image/GIF", "image/x-bitmap"})
        EXPECT_TRUE(CanShowContentType(type)) << type;
    // Anything else is not shown, however it is written.
    for (const char* type : {"application/pdf", "application/octet-stream", ""})
        EXPECT_FALSE(CanShowContentType(type)) << type;
    EXPECT_EQ(ContentTypeMessage("application/pdf"), "Can't handle Content Type: application/pdf");
}

} // namespace
} // namespace lumo
