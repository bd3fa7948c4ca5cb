// Time travel: the address rewrite and its texts, then the window browsing
// a small period site in an archive on loopback (links, frames, pictures,
// the nearer of two captures, pages and pictures the archive lacks), and
// the program's headless run against the archive over https.
#include "app/time_travel.h"

#include "frames/frame_dump.h"
#include "tests/app/navigation_fixture.h"
#include "tests/app/run_lumo.h"
#include "tests/support/archive_mock.h"
#include "tests/support/test_certificates.h"

#include <gtest/gtest.h>

namespace lumo::test {
namespace {

const std::string Archive = "http://archive.test/web/";
const std::string Home = "http://www.period.example/";

TTimeTravel TravelTo(const char* date) {
    TTimeTravel travel;
    travel.SetArchive("http://archive.test/web");
    travel.SetDate(ParseCompactDate(date));
    return travel;
}

TEST(TimeTravel, AddressesGoToTheArchiveAndComeBack) {
    const TTimeTravel travel = TravelTo("19990727");
    const struct {
        std::string address, fetched;
    } rows[] = {
        {Home, Archive + "19990727120000id_/" + Home},
        {"https://secure.example/a?b=1",
         Archive + "19990727120000id_/https://secure.example/a?b=1"},
        {"file:///tmp/a.htm", "file:///tmp/a.htm"},
        {"res:///help.htm", "res:///help.htm"},
        {Archive + "*/" + Home, Archive + "*/" + Home}, // the archive's own pages
    };
    for (const auto& r : rows) {
        EXPECT_EQ(travel.FetchAddress(r.address), r.fetched) << r.address;
        EXPECT_EQ(TravelTo("").FetchAddress(r.address), r.address) << "off";
    }
    const struct {
        std::string address;
        std::optional<std::string> original;
    } back[] = {
        {Archive + "19990720083000id_/" + Home + "a.htm", Home + "a.htm"},
        {Archive + "1999id_/" + Home, Home},
        {Archive + "19990720083000/" + Home, Home},
        {Archive + "19990720083000id_/www.bare.example/", "http://www.bare.example/"},
        {Archive + "*/" + Home, std::nullopt},
        {Archive + "19990720083000id_/", std::nullopt},
        {"http://elsewhere.test/web/19990720083000id_/" + Home, std::nullopt},
        {Home, std::nullopt},
    };
    for (const auto& r : back)
        EXPECT_EQ(travel.OriginalOf(r.address), r.original) << r.address;
    EXPECT_EQ(travel.CalendarAddress(Home), Archive + "*/" + Home);
}

TEST(TimeTravel, CaptureNotesSayHowFarFromTheDateAsked) {
    const TTimeTravel travel = TravelTo("19990727");
    const struct {
        const char* memento;
        const char* note;
    } rows[] = {
        {"Thu, 12 Aug 1999 16:00:00 GMT", "Archived 12 Aug 1999, 16 days later"},
        {"Mon, 26 Jul 1999 23:59:59 GMT", "Archived 26 Jul 1999, 1 day earlier"},
        {"Tue, 27 Jul 1999 01:00:00 GMT", "Archived 27 Jul 1999, the day asked for"},
        {"Tue, 27 Jul 1998 01:00:00 GMT", "Archived 27 Jul 1998, 365 days earlier"},
        {"29 Feb 2000 00:00:00 GMT", "Archived 29 Feb 2000, 217 days later"},
        {"Mon, 31 Feb 1999 00:00:00 GMT", ""},
        {"yesterday", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(travel.CaptureNote(r.memento), r.note) << r.memento;
    for (const char* bad : {"", "1999072", "19990732", "19990229", "18990101", "1999-13-01", "x"})
        EXPECT_FALSE(ParseCompactDate(bad)) << bad;
    EXPECT_EQ(ParseCompactDate("2000-02-29"), (TCivilDate{2000, 2, 29}));
}

// A period site held by the archive: its home page twice (July and
// September), a page it links to, a frameset and a picture.
std::vector<TestCapture> PeriodSite() {
    return {
        {Home, "19990720120000",
         "<TITLE>Period July</TITLE><P><IMG SRC=\"logo.gif\"><IMG SRC=\"/missing.gif\">"
         "<A HREF=\"news/today.htm\">news</A> <A HREF=\"" +
             Home + "frames.htm\">frames</A>"},
        {Home, "19990901120000", "<TITLE>Period September</TITLE><P>later"},
        {Home + "logo.gif", "19990601000000", TestGif},
        {Home + "news/today.htm", "19990725000000",
         "<TITLE>News</TITLE><P>today <A HREF=\"../\">home</A>"},
        {Home + "frames.htm", "19990725000000",
         "<TITLE>Framed</TITLE><FRAMESET COLS=\"*,*\"><FRAME NAME=left SRC=\"news/today.htm\">"
         "<FRAME NAME=right SRC=\"gone.htm\"></FRAMESET>"},
    };
}

class ArchiveTest : public WindowTest {
protected:
    static void SetUpTestSuite() { archive_ = ArchiveMock::Start(PeriodSite()).release(); }
    static void TearDownTestSuite() {
        delete archive_;
        archive_ = nullptr;
    }
    void SetUp() override {
        if (!archive_) GTEST_SKIP() << "the archive's nginx did not start";
        OpenWindow();
        form->TimeTravel().SetArchive(archive_->Base());
        form->TimeTravel().SetDate(ParseCompactDate("19990727"));
    }

    static inline ArchiveMock* archive_ = nullptr;
};

TEST_F(ArchiveTest, ThePageOfTheNearestCaptureShowsUnderItsOwnAddress) {
    Go(Home);
    EXPECT_EQ(form->FrameBrowser->CurrentAddress(), Home);
    EXPECT_EQ(form->windowTitle(), "Period July (Archived 20 Jul 1999, 7 days earlier)");
    EXPECT_EQ(Status(1), "Archived 20 Jul 1999, 7 days earlier");
    EXPECT_EQ(Status(2), "DONE");

    form->TimeTravel().SetDate(ParseCompactDate("19990825"));
    Go(Home);
    EXPECT_EQ(form->windowTitle(), "Period September (Archived 1 Sep 1999, 7 days later)");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ArchiveTest, LinksFramesAndPicturesStayInTheArchiveAtTheSameDate) {
    Go(Home);
    const std::string dump = DumpFrameBrowser(*form->FrameBrowser);
    EXPECT_NE(dump.find("picture \"logo.gif\""), std::string::npos) << dump;
    EXPECT_NE(dump.find("error \"/missing.gif\""), std::string::npos) << dump;

    // A relative link, then one relative to the linked page.
    Go(Home + "news/today.htm");
    EXPECT_EQ(form->FrameBrowser->CurrentAddress(), Home + "news/today.htm");
    EXPECT_EQ(Text(), "today home\r\n");
    EXPECT_EQ(Status(1), "Archived 25 Jul 1999, 2 days earlier");

    // A frameset: one frame archived, one not.
    Go(Home + "frames.htm");
    TFrame* left = form->FrameBrowser->ShownFrameSet()->FrameNamed("left");
    TFrame* right = form->FrameBrowser->ShownFrameSet()->FrameNamed("right");
    ASSERT_TRUE(left && left->Viewer && right && right->Viewer);
    left->Viewer->SelectEverything();
    EXPECT_EQ(left->Viewer->SelectedText().toStdString(), "today home\r\n");
    right->Viewer->SelectEverything();
    const std::string missing = right->Viewer->SelectedText().toStdString();
    EXPECT_EQ(missing.find("Not archived: "), 0u) << missing; // the narrow frame wraps the rest
    EXPECT_NE(missing.find(Home + "gone.htm"), std::string::npos) << missing;
}

TEST_F(ArchiveTest, APageTheArchiveLacksSaysSoAndLinksToItsCalendar) {
    Go(Home + "nowhere.htm");
    EXPECT_EQ(form->windowTitle(), "Not archived");
    EXPECT_EQ(Text().substr(0, 51), "Not archived: " + Home + "nowhere.htm");
    EXPECT_NE(Text().find("The archive holds no copy of this page near 27 Jul 1999."),
              std::string::npos);
    EXPECT_TRUE(boxes.shown.empty());
}

// The program run as a script runs it: headless, against the archive over
// https, trusting the test authority through SSL_CERT_FILE.
TEST(TimeTravelProgram, DumpsTheArchivedPageWithItsPictures) {
    const TestCertificates* certificates = TestCertificates::Get();
    if (!certificates) GTEST_SKIP() << "openssl could not make the test certificates";
    const auto archive = ArchiveMock::Start(PeriodSite(), certificates);
    if (!archive) GTEST_SKIP() << "the archive's nginx did not start";
    TempFolder home;
    const LumoRun run = RunLumo(home.Path(),
                                {"--time-travel", "19990727", "--time-travel-archive",
                                 Q(archive->Base()), "--dump-layout", Q(Home)},
                                {{"SSL_CERT_FILE", Q(certificates->Authority())}});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.output.find("picture \"logo.gif\""), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("size 40x20"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("error \"/missing.gif\""), std::string::npos) << run.output;
}

} // namespace
} // namespace lumo::test
