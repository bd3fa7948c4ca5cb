// The navigation driver's rules as tables: which links the window takes
// over, and what it reads in header lines.
#include "app/link_actions.h"
#include "app/response_rules.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(LinkActions, TheWindowTakesMailDownloadsAndLocalMedia) {
    using A = TLinkAction;
    const char* const local = "file:///home/u/page.htm";
    const char* const web = "http://h/page.htm";
    struct Row {
        const char* url;
        const char* source; // the page the link is in
        TLinkAction action;
        const char* file;
        std::vector<std::string> parameters;
    };
    const Row rows[] = {
        {"http://h/page.htm", web, A::Browse, "", {}},
        {"mailto:me@host.com", web, A::Mail, "", {}},
        {"MAILTO:me@host.com", web, A::Mail, "", {}},
        {"http://h/files/pack.ZIP", web, A::Download, "", {}},
        {"http://h/setup.exe", web, A::Download, "", {}},
        // Neither a query nor an anchor hides what the link is.
        {"http://h/pack.zip#part", web, A::Download, "", {}},
        {"http://h/setup.exe?x=1", web, A::Download, "", {}},
        {"http://h/page.htm?f=pack.zip", web, A::Browse, "", {}},
        {"http://h/get.php?f=setup.exe", web, A::Download, "", {}},
        {"http://h/get.php?f=notes.txt", web, A::Browse, "", {}},
        {"https://h/pack.zip", web, A::Download, "", {}},
        {"file:///home/u/ding.wav", local, A::Sound, "/home/u/ding.wav", {}},
        {"file:///home/u/tune.MID", "res:///help.htm", A::Media, "/home/u/tune.MID", {}},
        {"file:///home/u/film.avi#start", local, A::Media, "/home/u/film.avi", {}},
        {"file:///home/u/tool.exe?-a%20b+c", local, A::Program, "/home/u/tool.exe", {"-a", "b+c"}},
        {"file:///home/u/tool.exe -x y", local, A::Program, "/home/u/tool.exe", {"-x", "y"}},
        {"file:///home/u/page.htm", local, A::Browse, "/home/u/page.htm", {}},
        // A page from the network plays, opens and starts nothing local.
        {"file:///home/u/ding.wav", web, A::Blocked, "/home/u/ding.wav", {}},
        {"file:///home/u/tune.mid", web, A::Blocked, "/home/u/tune.mid", {}},
        {"file:///home/u/tool.exe?-x", web, A::Blocked, "/home/u/tool.exe", {"-x"}},
        {"file:///home/u/page.htm", web, A::Browse, "/home/u/page.htm", {}},
        {"ftp://h/pack.zip", web, A::Browse, "", {}},
    };
    for (const Row& row : rows) {
        const TLinkDecision d = DecideLinkAction(row.url, row.source);
        EXPECT_EQ(d.Action, row.action) << row.url << " in " << row.source;
        EXPECT_EQ(d.FileName, row.file) << row.url;
        EXPECT_EQ(d.Parameters, row.parameters) << row.url;
    }
}

// The question before a program starts shows every word it will be given.
TEST(LinkActions, TheProgramsCommandIsShownWhole) {
    const struct {
        const char* url;
        const char* command;
    } rows[] = {
        {"file:///u/tool.exe", "/u/tool.exe"},
        {"file:///u/tool.exe?-a%20b+c", "/u/tool.exe -a b+c"},
        {"file:///u/my%20tool.exe -x", "\"/u/my tool.exe\" -x"},
        {"file:///u/tool.exe?ok%0Adel%09%22*%22", "/u/tool.exe \"ok\\x0Adel\\x09\\x22*\\x22\""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ProgramCommandText(DecideLinkAction(row.url, "file:///u/a.htm")), row.command)
            << row.url;
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
