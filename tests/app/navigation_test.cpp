// The navigation driver end to end: the main window fetching a small site
// from a real nginx, with its cache, cookies, redirections, content types,
// errors, Stop, the History menu, Reload and Back.
#include "tests/app/navigation_fixture.h"

#include "app/command_line.h"
#include "builder/document_builder.h"
#include "net/cookie_list.h"
#include "net/disk_cache.h"
#include "platform/stream.h"

#include "tests/support/recording_shell.h"
#include "tests/support/scripted_server.h"

#include <QAction>
#include <QMenu>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <chrono>

namespace lumo::test {

void NavigationTest::WriteSite(const TempFolder& site) {
    site.Write("plain.htm", "<TITLE>Plain</TITLE><P>A plain page <A HREF=\"other.htm\">on</A>");
    site.Write("other.htm", "<TITLE>Other</TITLE><P>Another page");
    site.Write("target.htm", "<TITLE>Target</TITLE><P>Where redirections lead");
    site.Write("setcookie.htm", "<TITLE>Set</TITLE><P>Have a cookie");
    site.Write("upper.htm", "<P>capital type");
    site.Write("text.txt", "plain <b>text</b>");
    site.Write("img.gif", std::string("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14));
    site.Write("small.pdf", "%PDF-1.1 tiny");
    site.Write("big.pdf", "%PDF-1.1 " + std::string(300000, 'x'));
    site.Write("slow.htm", "<P>" + std::string(20000, 'z'));
    site.Write("frames.htm", "<TITLE>Frames</TITLE><FRAMESET ROWS=\"100,*\">"
                             "<FRAME NAME=top SRC=\"top.htm\"><FRAMESET COLS=\"30%,*\">"
                             "<FRAME NAME=left SRC=\"left.htm\"><FRAME NAME=main SRC=\"main.htm\">"
                             "</FRAMESET></FRAMESET>");
    site.Write("top.htm", "<P>top frame");
    site.Write("left.htm", "<P>left frame <A HREF=\"other.htm\" TARGET=main>show</A>");
    site.Write("main.htm", "<P>main frame");
    site.Write("broken.htm", "<FRAMESET COLS=\"*,*,*\"><FRAME NAME=gone SRC=\"nothing.htm\">"
                             "<FRAME NAME=ftp SRC=\"ftp://127.0.0.1/file.htm\">"
                             "<FRAME NAME=fine SRC=\"main.htm\"></FRAMESET>");
    site.Write("tools.htm",
               "<TITLE>Tools</TITLE><P><A HREF=\"file:///usr/bin/tool.exe?-rf\">run</A>"
               " <A HREF=\"file:///tmp/ding.wav\">play</A>"
               " <A HREF=\"file:///tmp/tune.mid\">tune</A>"
               " <A HREF=\"file:///tmp/film.avi\">film</A>");
    site.Write("refresh.htm", "<TITLE>Refresh</TITLE><META HTTP-EQUIV=Refresh "
                              "CONTENT=\"1; URL=slowly.htm\"><P>soon elsewhere");
    site.Write("slowly.htm", "<TITLE>Slowly</TITLE><META HTTP-EQUIV=Refresh CONTENT=\"1\"><P>" +
                                 std::string(3000, 's'));
    // Twenty frames, each showing this page again.
    std::string columns = "*", frames;
    for (int i = 1; i < 20; ++i)
        columns += ",*";
    for (int i = 0; i < 20; ++i)
        frames += "<FRAME SRC=\"bomb.htm\">";
    site.Write("bomb.htm", "<FRAMESET COLS=\"" + columns + "\">" + frames + "</FRAMESET>");
    for (int i = 0; i < 20; ++i)
        site.Write("p" + std::to_string(i) + ".htm",
                   "<TITLE>Page number " + std::to_string(i) + "</TITLE><P>page");
}

namespace {

// A fetch as the frame browser asks for one; the stream the document came in.
TStream* Fetch(TMainWindow& window, bool isGet, const std::string& url, const std::string& query) {
    std::string newURL;
    TContentKind kind = ckHTML;
    TStream* stream = nullptr;
    window.GetPostRequest(window.FrameBrowser, isGet, url, query, false, newURL, kind, stream);
    return stream;
}

// A page longer than the viewer reads shows its start and says so.
TEST_F(NavigationTest, APageOverTheLimitShowsItsStart) {
    TempFolder folder;
    std::string page = "<TITLE>Big</TITLE><P>start<B>bold<!--";
    page.resize(MaxDocumentSize + 100, 'x');
    folder.Write("big.htm", page);
    Type(FileAddressOf(folder / "big.htm"));
    EXPECT_EQ(form->windowTitle(), "Big");
    EXPECT_EQ(Status(1), "Showing the first 64 MB of " + std::to_string(page.size()) + " bytes");
    EXPECT_EQ(Status(2), "DONE");
}

// Once the page is built its bytes are let go, so a long page costs its
// document and not its source as well.
TEST_F(NavigationTest, ABuiltPageLetsGoOfItsBytes) {
    TStream* stream = Fetch(*form, true, Url("/plain.htm"), "");
    ASSERT_NE(stream, nullptr);
    TempFolder folder;
    folder.Write("long.htm", "<TITLE>Long</TITLE><P>" + std::string(100000, 'x'));
    Type(FileAddressOf(folder / "long.htm"));
    EXPECT_EQ(form->windowTitle(), "Long");
    EXPECT_LT(static_cast<TMemoryStream*>(stream)->Bytes().capacity(), 1000u);
}

TEST_F(NavigationTest, APlainPageAndAFramesetComeFromTheServer) {
    Type(Url("/plain.htm"));
    EXPECT_EQ(form->windowTitle(), "Plain");
    EXPECT_EQ(Status(2), "DONE");
    const std::string size = std::to_string(std::string("<TITLE>Plain</TITLE><P>A plain page "
                                                        "<A HREF=\"other.htm\">on</A>")
                                                .size());
    EXPECT_EQ(Status(1), "Received " + size + " bytes");
    EXPECT_FALSE(form->StopButton->isEnabled());
    EXPECT_TRUE(form->ReloadButton->isEnabled());
    EXPECT_TRUE(form->UrlCombobox->isEnabled());

    // Typed without "http://", a web address all the same.
    Type(Url("/frames.htm").substr(7));
    EXPECT_EQ(form->windowTitle(), "Frames");
    EXPECT_EQ(form->FrameBrowser->GetViewerCount(), 3);
    EXPECT_EQ(TextOf(FrameViewer("top")), "top frame\r\n");
    EXPECT_EQ(TextOf(FrameViewer("left")).substr(0, 10), "left frame");
    EXPECT_EQ(TextOf(FrameViewer("main")), "main frame\r\n");
    EXPECT_TRUE(form->BackButton->isEnabled());
    EXPECT_TRUE(boxes.shown.empty());
}

// Twenty frames that each show their own page: the page ends with as many
// frames as a page may hold, and the status says why the rest are missing.
TEST_F(NavigationTest, AFramesetBombEndsAtTheFrameLimit) {
    Type(Url("/bomb.htm"));
    EXPECT_EQ(Status(2), "DONE");
    EXPECT_EQ(Status(1), TooManyFramesText);
    EXPECT_EQ(*form->FrameBrowser->ShownFrameSet()->LiveFrames, MaxPageFrames);
    EXPECT_EQ(Hits("/bomb.htm"), 1); // the frames take the page from the cache
}

TEST_F(NavigationTest, RedirectionsShowAndCacheTheFinalAddress) {
    for (const char* path : {"/r-abs", "/r-rel"}) {
        Type(Url(path));
        EXPECT_EQ(form->windowTitle(), "Target") << path;
        EXPECT_EQ(form->UrlCombobox->Text(), Url("/target.htm")) << path;
        EXPECT_EQ(form->FrameBrowser->CurrentAddress(), Url("/target.htm")) << path;
        std::string file;
        int kind = 0;
        EXPECT_TRUE(form->DiskCache().Lookup(Url("/target.htm"), file, kind)) << path;
        EXPECT_FALSE(form->DiskCache().Lookup(Url(path), file, kind)) << path;
    }
    EXPECT_TRUE(boxes.shown.empty());
}

// Cookies set by a page are sent back; a redirection sends the cookies of
// where it leads: those of another host, and one the redirecting answer has
// just set.
TEST_F(NavigationTest, CookiesAreSentBackAlsoThroughRedirections) {
    Type(Url("/setcookie.htm"));
    Type(Url("/cookie"));
    EXPECT_EQ(TextOf(Viewer()), "cookie=[session=42;]\r\n");
    ScriptedServer elsewhere(
        ScriptedServer::Reply("HTTP/1.0 302 Found\r\nLocation: " + Url("/cookie") + "\r\n\r\n"));
    Type("http://localhost:" + std::to_string(elsewhere.Port()) + "/away");
    EXPECT_EQ(TextOf(Viewer()), "cookie=[session=42;]\r\n");
    Type(Url("/login"));
    EXPECT_EQ(TextOf(Viewer()), "cookie=[fresh=1; session=42;]\r\n");
}

// The server that answers with a cookie and a redirection is the one the
// cookie belongs to, whatever the order of the header lines.
TEST_F(NavigationTest, ACookieSentWithARedirectionBelongsToItsSender) {
    const std::string target = "http://localhost:" + Url("/").substr(17);
    ScriptedServer redirecting(
        ScriptedServer::Reply("HTTP/1.0 302 Found\r\nLocation: " + target +
                              "target.htm\r\nSet-Cookie: who=sender\r\nContent-Length: 0\r\n\r\n"));
    Type(redirecting.Address("/login"));
    EXPECT_EQ(form->windowTitle(), "Target");
    EXPECT_EQ(form->Cookies().CookieHeaderFor(redirecting.Address("/")), "who=sender;");
}

TEST_F(NavigationTest, OnlyContentTypesThatCanBeShownAreShown) {
    struct Row {
        const char* path;
        const char* error; // empty: shown
        TContentKind kind;
    };
    const Row rows[] = {
        {"/plain.htm", "", ckHTML},
        {"/text.txt", "", ckText},
        {"/img.gif", "", ckImage},
        {"/upper.htm", "", ckHTML}, // media types are the same in any case
        {"/small.pdf", "Can't handle Content Type: application/pdf", ckHTML},
        {"/big.pdf", "Can't handle Content Type: application/pdf", ckHTML},
    };
    for (const Row& row : rows) {
        boxes.shown.clear();
        Type(Url(row.path));
        if (*row.error) {
            ASSERT_EQ(boxes.shown.size(), 1u) << row.path;
            EXPECT_EQ(boxes.shown[0], std::make_pair(MessageKind::Error, std::string(row.error)));
            // The abort meant for that answer never reaches the next fetch.
            Type(Url("/other.htm"));
            EXPECT_EQ(form->windowTitle(), "Other") << row.path;
            EXPECT_EQ(boxes.shown.size(), 1u) << row.path;
        } else {
            EXPECT_TRUE(boxes.shown.empty()) << row.path;
            EXPECT_EQ(Viewer().DocKind(), row.kind) << row.path;
        }
    }
}

// An abort posted for one connection (its content type could not be shown)
// is only for that connection: one that arrives late never stops another.
TEST_F(NavigationTest, ALateAbortNeverStopsTheNextFetch) {
    bool busyAfterStaleAbort = false;
    QTimer::singleShot(300, [&] { form->Message(TMainWindow::MsgAbort, 0); });
    QTimer::singleShot(700, [&] {
        busyAfterStaleAbort = form->StopButton->isEnabled();
        form->StopButton->click();
    });
    Type(Url("/slow.htm"));
    EXPECT_TRUE(busyAfterStaleAbort);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].second, "Abort on user request");
    // After an answer that could not be shown, the next page comes whole.
    EXPECT_THROW(form->NavigateTo(Url("/small.pdf")), EContentTypeError);
    form->NavigateTo(Url("/other.htm"));
    EXPECT_EQ(form->windowTitle(), "Other");
}

TEST_F(NavigationTest, FailuresKeepThePageOrShowInTheirFrame) {
    Type(Url("/plain.htm"));
    Type(Url("/nothing.htm"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], std::make_pair(MessageKind::Plain, std::string("Not Found")));
    EXPECT_EQ(form->windowTitle(), "Plain");
    EXPECT_EQ(Status(2), "DONE");

    boxes.shown.clear();
    Type(Url("/broken.htm"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_NE(TextOf(FrameViewer("gone")).find("Not Found"), std::string::npos);
    EXPECT_EQ(TextOf(FrameViewer("ftp")), "Unsupported protocol: ftp\r\n");
    EXPECT_EQ(TextOf(FrameViewer("fine")), "main frame\r\n");

    boxes.shown.clear();
    Type("ftp://127.0.0.1/file.htm");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].second, "Unsupported protocol: ftp");
}

TEST_F(NavigationTest, StopEndsASlowPage) {
    Type(Url("/plain.htm"));
    QTimer::singleShot(400, [&] {
        EXPECT_TRUE(form->StopButton->isEnabled());
        EXPECT_FALSE(form->UrlCombobox->isEnabled());
        EXPECT_EQ(Status(1).substr(0, 6), "Text: "); // bytes as they come
        EXPECT_TRUE(form->ProgressBar->isVisible());
        EXPECT_EQ(form->ProgressBar->maximum(), 100);
        EXPECT_LT(form->ProgressBar->value(), 100);
        form->StopButton->click();
    });
    const auto start = std::chrono::steady_clock::now();
    Type(Url("/slow.htm"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0],
              std::make_pair(MessageKind::Plain, std::string("Abort on user request")));
    EXPECT_FALSE(form->Cancelled);
    EXPECT_EQ(form->windowTitle(), "Plain");
    EXPECT_EQ(Status(2), "DONE");
}

TEST_F(NavigationTest, TheGaugeCountsIn64BitsAndShowsAnUnknownLengthAsSuch) {
    form->ShowProgress(3'000'000'000LL, 6'000'000'000LL);
    EXPECT_EQ(form->ProgressBar->maximum(), 100);
    EXPECT_EQ(form->ProgressBar->value(), 50);
    form->ShowProgress(12345, -1); // no Content-Length
    EXPECT_EQ(form->ProgressBar->maximum(), 0);
    form->ShowProgress(0, 0);
    EXPECT_EQ(form->ProgressBar->value(), 0);
}

// Pages may load while the user types an address: the box keeps the text,
// its focus and its use; Enter during a fetch loads the address once that
// fetch is over.
TEST_F(NavigationTest, TypingInTheAddressBoxSurvivesLoads) {
    Type(Url("/refresh.htm")); // soon loads slowly.htm, which comes slowly and refreshes itself
    form->activateWindow();
    form->UrlCombobox->setFocus();
    const auto inBox = [&] {
        return form->UrlCombobox->hasFocus() || form->UrlCombobox->lineEdit()->hasFocus();
    };
    ASSERT_TRUE(PumpUntil(inBox, 3000));
    const std::string typed = Url("/other.htm");
    form->UrlCombobox->lineEdit()->selectAll(); // what is typed replaces the address
    QTest::keyClicks(form->UrlCombobox, QString::fromStdString(typed));
    ASSERT_EQ(form->UrlCombobox->Text(), typed);

    struct Seen {
        bool enabled, focused;
        std::string text;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> whileFetching;
    bool pressEnter = false, pressedWhileFetching = false;
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!form->FrameBrowser->Processing()) return;
        whileFetching.push_back(
            {form->UrlCombobox->isEnabled(), inBox(), form->UrlCombobox->Text()});
        if (!pressEnter) return;
        pressEnter = false;
        pressedWhileFetching = true;
        QTest::keyClick(form->UrlCombobox, Qt::Key_Return);
    });
    watch.start();
    ASSERT_TRUE(PumpUntil([&] { return form->windowTitle() == "Slowly"; }, 15000));
    ASSERT_FALSE(whileFetching.empty());
    for (const Seen& seen : whileFetching)
        EXPECT_EQ(seen, (Seen{true, true, typed}));
    EXPECT_TRUE(inBox());
    EXPECT_EQ(form->UrlCombobox->Text(), typed);

    pressEnter = true; // during the page's own refresh
    ASSERT_TRUE(PumpUntil([&] { return form->windowTitle() == "Other"; }, 15000));
    EXPECT_TRUE(pressedWhileFetching);
    EXPECT_EQ(Hits("/other.htm"), 1);
    EXPECT_EQ(form->UrlCombobox->Text(), typed);
    EXPECT_TRUE(boxes.shown.empty());
}

// A page from the network cannot start a program, play a sound or open a
// video on this machine.
TEST_F(NavigationTest, AWebPageNeverStartsOrPlaysLocalFiles) {
    RecordingShell shell;
    boxes.answer = MessageAnswer::Yes;
    Type(Url("/tools.htm"));
    for (const char* link : {"run", "play", "tune", "film"})
        ClickText(Viewer(), link);
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(form->windowTitle(), "Tools");
}

TEST_F(NavigationTest, ClosingTheWindowDuringAFetchEndsIt) {
    QTimer::singleShot(400, [&] { form->close(); });
    const auto start = std::chrono::steady_clock::now();
    Type(Url("/slow.htm"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(form->FrameBrowser->Processing());
}

TEST_F(NavigationTest, TheHistoryMenuHoldsTheLastFifteenPages) {
    for (int i = 0; i < 20; ++i)
        Type(Url("/p" + std::to_string(i) + ".htm"));
    EXPECT_TRUE(form->History1->menuAction()->isVisible());
    int shown = 0;
    for (QAction* item : form->HistoryItems)
        shown += item->isVisible();
    EXPECT_EQ(shown, 15);
    const std::string first = (Url("/p19.htm") + "--Page number 19").substr(0, 80);
    EXPECT_EQ(form->HistoryItems[0]->text().toStdString(), first);
    EXPECT_TRUE(form->HistoryItems[0]->isChecked());
    EXPECT_EQ(form->HistoryItems[14]->text().toStdString().substr(0, Url("/p5.htm").size()),
              Url("/p5.htm"));
    form->HistoryItems[3]->trigger();
    EXPECT_EQ(form->windowTitle(), "Page number 16");
    EXPECT_TRUE(form->HistoryItems[3]->isChecked());
    EXPECT_TRUE(form->FwdButton->isEnabled());
}

// Reload fetches the frameset document and every frame's document.
TEST_F(NavigationTest, ReloadFetchesAgainWhileBackAndRevisitsUseTheCache) {
    Type(Url("/frames.htm"));
    const int before = Hits("/main.htm");
    form->ReloadButton->click();
    EXPECT_EQ(Hits("/frames.htm"), 2);
    EXPECT_EQ(Hits("/main.htm"), before + 1);
    EXPECT_EQ(Hits("/top.htm"), 2);
    EXPECT_EQ(Status(2), "DONE");
    EXPECT_EQ(form->FrameBrowser->GetViewerCount(), 3);

    Type(Url("/other.htm"));
    form->BackButton->click();
    EXPECT_EQ(form->windowTitle(), "Frames");
    EXPECT_EQ(Hits("/main.htm"), before + 1);
    EXPECT_EQ(Hits("/frames.htm"), 2);
    Type(Url("/other.htm"));
    EXPECT_EQ(Hits("/other.htm"), 1);
}

TEST_F(NavigationTest, FrameLinksLoadIntoTheirTargetAndBackUndoesThem) {
    Type(Url("/frames.htm"));
    ClickText(FrameViewer("left"), "show");
    EXPECT_EQ(TextOf(FrameViewer("main")), "Another page\r\n");
    EXPECT_EQ(form->windowTitle(), "Frames");
    EXPECT_TRUE(form->BackButton->isEnabled());
    form->BackButton->click();
    EXPECT_EQ(TextOf(FrameViewer("main")), "main frame\r\n");
    EXPECT_TRUE(form->FwdButton->isEnabled());
}

// A form's answer is kept with its query, never as the page at the bare
// action address; the answer to a POST is not kept at all.
TEST_F(NavigationTest, FormAnswersAreCachedUnderTheirQuery) {
    Fetch(*form, true, Url("/plain.htm"), "q=1");
    std::string file;
    int stored = 0;
    EXPECT_TRUE(form->DiskCache().Lookup(Url("/plain.htm") + "?q=1", file, stored));
    EXPECT_FALSE(form->DiskCache().Lookup(Url("/plain.htm"), file, stored));
    TStream* stream = Fetch(*form, false, Url("/post"), "a=b");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(static_cast<TMemoryStream*>(stream)->Bytes(), "<TITLE>Posted</TITLE>posted");
    EXPECT_FALSE(form->DiskCache().Lookup(Url("/post"), file, stored));
}

} // namespace
} // namespace lumo::test
