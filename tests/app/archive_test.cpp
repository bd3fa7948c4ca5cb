// Web archive files opened by the program: a small period site mirrored by
// wget into a WARC file from a local nginx (stopped before the program opens
// the file), the same captures written again as WARC and ARC files, and the
// headless commands on them.
#include "app/command_line.h"
#include "frames/frame_dump.h"
#include "net/web_archive.h"

#include "tests/app/navigation_fixture.h"
#include "tests/app/run_lumo.h"
#include "tests/support/local_servers.h"
#include "tests/support/temp_folder.h"

#include <QAction>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <filesystem>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

namespace lumo {
namespace {

using test::LumoRun;
using test::Q;
using test::RunLumo;

bool RunTool(const QString& program, const QStringList& args, const std::string& folder,
             std::string* output = nullptr) {
    QProcess process;
    process.setWorkingDirectory(Q(folder));
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return false;
    }
    if (output) *output = process.readAllStandardOutput().toStdString();
    return true;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

void WriteBitmap(const test::TempFolder& folder, const std::string& name, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(Q(folder / name), "BMP"));
}

// A frameset of a menu and a main page with a table and pictures, a page
// that moved (a redirection), all fetched twice, so the second fetch
// writes revisit records.
class ArchivedSite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (std::system("command -v wget >/dev/null") != 0) return;
        site_ = new test::TempFolder;
        const test::TempFolder& s = *site_;
        s.Write("root/index.htm",
                "<HTML><HEAD><TITLE>Home</TITLE></HEAD><FRAMESET COLS=\"150,*\">"
                "<FRAME SRC=\"menu.htm\" NAME=menu><FRAME SRC=\"main.htm\" NAME=main>"
                "</FRAMESET></HTML>");
        s.Write("root/menu.htm", "<HTML><BODY><A HREF=\"main.htm\" TARGET=main>Main</A><BR>"
                                 "<A HREF=\"old.htm\" TARGET=main>Old</A></BODY></HTML>");
        s.Write("root/main.htm",
                "<HTML><HEAD><TITLE>Main page</TITLE></HEAD><BODY><TABLE BORDER=1><TR>"
                "<TD><IMG SRC=\"pics/red.bmp\"></TD><TD>Cell text</TD></TR></TABLE>"
                "<IMG SRC=\"pics/wide.bmp\"></BODY></HTML>");
        s.Write("root/moved.htm", "<HTML><HEAD><TITLE>Moved</TITLE></HEAD><BODY>Moved here"
                                  "</BODY></HTML>");
        std::filesystem::create_directories(s / "root/pics");
        WriteBitmap(s, "root/pics/red.bmp", 40, 30);
        WriteBitmap(s, "root/pics/wide.bmp", 120, 10);
        auto nginx = test::LocalServer::StartNginx(
            s / "root", "location = /old.htm { return 301 /moved.htm; }");
        if (!nginx) return;
        base_ = nginx->Address("/");
        const QStringList fetch{"-q", "-r", "-l", "3", "-p", "-e", "robots=off"};
        RunTool("wget",
                fetch + QStringList{"--warc-file=one", "--warc-cdx", "-P", "one",
                                    Q(base_ + "index.htm")},
                s.Path());
        RunTool("wget",
                fetch + QStringList{"--warc-file=two", "--warc-dedup=one.cdx", "-P", "two",
                                    Q(base_ + "index.htm")},
                s.Path());
        nginx.reset(); // nothing is served any more
        RunTool("sh", {"-c", "cat one.warc.gz two.warc.gz > site.warc.gz"}, s.Path());
        archive_ = s / "site.warc.gz";
    }
    static void TearDownTestSuite() {
        delete site_;
        site_ = nullptr;
    }
    void SetUp() override {
        if (archive_.empty()) GTEST_SKIP() << "wget or nginx is missing";
    }

    static LumoRun Dump(const std::string& archive, const std::string& address) {
        return RunLumo(home_.Path(), {"--archive", Q(archive), "--dump-layout", Q(address)});
    }

    static test::TempFolder* site_;
    static std::string base_;
    static std::string archive_;
    static test::TempFolder home_;
};

test::TempFolder* ArchivedSite::site_ = nullptr;
std::string ArchivedSite::base_;
std::string ArchivedSite::archive_;
test::TempFolder ArchivedSite::home_;

TEST_F(ArchivedSite, FramesTablesAndPicturesShowOffline) {
    const LumoRun run = Dump(archive_, base_ + "index.htm");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.output.find("source \"" + base_ + "menu.htm\""), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("source \"" + base_ + "main.htm\""), std::string::npos);
    EXPECT_NE(run.output.find("\"Old\""), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Cell text"), std::string::npos);
    // Both pictures are there in their own sizes, none broken.
    EXPECT_NE(run.output.find("size 40x30 baseline picture \"pics/red.bmp\""), std::string::npos);
    EXPECT_NE(run.output.find("size 120x10 baseline picture \"pics/wide.bmp\""), std::string::npos);
    EXPECT_EQ(run.output.find(" error \""), std::string::npos) << run.output;
}

TEST_F(ArchivedSite, RedirectionsRevisitsAndMissingAddresses) {
    LumoRun run = Dump(archive_, base_ + "old.htm");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.output.find("document \"Moved\""), std::string::npos) << run.output;

    // The latest captures are the second fetch's revisits of the first's.
    run = RunLumo(home_.Path(), {"--archive-list", Q(archive_)});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.output.find("\"address\":\"" + base_ + "main.htm\",\"date\""), std::string::npos);
    EXPECT_NE(run.output.find("\"type\":\"revisit\""), std::string::npos);
    EXPECT_EQ(run.output.find("\"type\":\"request\""), std::string::npos);

    // Lenient matching: https, "www." and a trailing "/" name the same capture.
    const std::string host = base_.substr(7);
    run = Dump(archive_, "https://" + host + "main.htm/");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.output.find("document \"Main page\""), std::string::npos);

    run = Dump(archive_, base_ + "nothing.htm");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("Not in this archive: " + base_ + "nothing.htm"), std::string::npos)
        << run.errors;
}

TEST_F(ArchivedSite, IndexPageListsAndFiltersPages) {
    LumoRun run = RunLumo(home_.Path(), {"--dump-layout", Q(archive_)});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.output.find("document \"Captures in site.warc.gz\""), std::string::npos)
        << run.output;
    for (const char* page : {"index.htm", "menu.htm", "main.htm", "moved.htm"})
        EXPECT_NE(run.output.find(base_ + page), std::string::npos) << page;
    EXPECT_NE(run.output.find("Main page"), std::string::npos);
    // The picture and the redirection are no pages of their own.
    EXPECT_EQ(run.output.find("red.bmp"), std::string::npos);
    EXPECT_EQ(run.output.find("old.htm"), std::string::npos);

    run = RunLumo(home_.Path(), {"--dump-layout", Q("file://" + archive_ + "?filter=MAIN")});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.output.find(base_ + "main.htm"), std::string::npos);
    EXPECT_EQ(run.output.find(base_ + "menu.htm"), std::string::npos) << run.output;
}

// The same captures as a plain WARC 1.1 file and as ARC files of versions 1
// and 2, written by the test's own writer: the pages come out the same, and
// the list of captures is what the writer put where it says.
TEST_F(ArchivedSite, ArcAndWarcOfTheSameCapturesGiveTheSamePages) {
    test::TempFolder out;
    std::string written;
    ASSERT_TRUE(RunTool("python3",
                        {Q(std::string(LUMO_SOURCE_DIR) + "/tests/app/data/rewrite_captures.py"),
                         Q(archive_), Q(out.Path())},
                        out.Path(), &written));
    const LumoRun original = Dump(archive_, base_ + "index.htm");
    ASSERT_EQ(original.exitCode, 0) << original.errors;

    std::map<std::string, std::vector<std::string>>
        expected; // file -> "address date offset length"
    for (const std::string& line : Lines(written)) {
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        expected[o["file"].toString().toStdString()].push_back(
            o["address"].toString().toStdString() + " " + o["date"].toString().toStdString() + " " +
            std::to_string(o["offset"].toInteger()) + " " +
            std::to_string(o["length"].toInteger()));
    }
    ASSERT_EQ(expected.size(), 3u);
    for (const auto& [file, records] : expected) {
        SCOPED_TRACE(file);
        const LumoRun copy = Dump(out / file, base_ + "index.htm");
        ASSERT_EQ(copy.exitCode, 0) << copy.errors;
        EXPECT_EQ(copy.output, original.output);

        const LumoRun list = RunLumo(home_.Path(), {"--archive-list", Q(out / file)});
        ASSERT_EQ(list.exitCode, 0) << list.errors;
        EXPECT_EQ(list.errors, "");
        std::vector<std::string> listed;
        for (const std::string& line : Lines(list.output)) {
            const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
            EXPECT_EQ(o["type"].toString(), "response");
            listed.push_back(o["address"].toString().toStdString() + " " +
                             o["date"].toString().toStdString() + " " +
                             std::to_string(o["offset"].toInteger()) + " " +
                             std::to_string(o["length"].toInteger()));
        }
        EXPECT_EQ(listed, records);
    }
}

// A capture as "offset length type address date status", the date in 14
// digits, from a JSON line of either list. A resource record holds no HTTP
// status: it is served whole, as 200.
std::string CaptureRow(const QJsonObject& o, const char* type, const char* address,
                       const char* date, const char* status) {
    const QString digits = o[date].toString().remove(QRegularExpression("[^0-9]")).left(14);
    return std::to_string(o["offset"].toInteger()) + " " + std::to_string(o["length"].toInteger()) +
           " " + o[type].toString().toStdString() + " " + o[address].toString().toStdString() +
           " " + digits.toStdString() + " " + std::to_string(o[status].toInt(200));
}

// The captures that `--archive-list` names, as rows.
std::vector<std::string> ListedCaptures(const std::string& home, const std::string& file) {
    const LumoRun list = RunLumo(home, {"--archive-list", Q(file)});
    EXPECT_EQ(list.exitCode, 0) << list.errors;
    std::vector<std::string> rows;
    for (const std::string& line : Lines(list.output))
        rows.push_back(CaptureRow(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object(),
                                  "type", "address", "date", "status"));
    return rows;
}

// The records of the same kinds in warcio's index of the file, as rows.
std::vector<std::string> WarcioCaptures(const std::string& warcio, const std::string& file) {
    std::string index;
    EXPECT_TRUE(RunTool("node",
                        {Q(warcio + "/dist/cli.js"), "index", Q(file), "-f",
                         "offset,length,warc-type,warc-target-uri,warc-date,http:status"},
                        "/", &index));
    std::vector<std::string> rows;
    for (const std::string& line : Lines(index)) {
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        const QString type = o["warc-type"].toString();
        if (type == "response" || type == "revisit" || type == "resource")
            rows.push_back(
                CaptureRow(o, "warc-type", "warc-target-uri", "warc-date", "http:status"));
    }
    return rows;
}

// warcio, the web archive library in JavaScript (tests/node), writes the
// responses and revisits of wget's file again: the pages come out the
// same. Its index of wget's file and of its own lists the captures where
// `--archive-list` does (gzipped files: a record's length is its member's).
TEST_F(ArchivedSite, WarcioWritesAndIndexesTheSameCaptures) {
    const std::string warcio = LUMO_NODE_TOOLS "/node_modules/warcio";
    if (!std::filesystem::exists(warcio + "/dist/cli.js"))
        GTEST_SKIP() << "warcio is not installed: scripts/install-node-tools.sh";
    test::TempFolder out;
    const std::string copy = out / "warcio.warc.gz";
    ASSERT_TRUE(RunTool(
        "node",
        {LUMO_SOURCE_DIR "/tests/app/data/warcio_rewrite.mjs", Q(warcio), Q(archive_), Q(copy)},
        out.Path()));
    for (const char* page : {"index.htm", "main.htm", "old.htm"}) {
        const LumoRun original = Dump(archive_, base_ + page);
        ASSERT_EQ(original.exitCode, 0) << original.errors;
        EXPECT_EQ(Dump(copy, base_ + page).output, original.output) << page;
    }
    for (const std::string& file : {archive_, copy}) {
        const std::vector<std::string> listed = ListedCaptures(home_.Path(), file);
        EXPECT_GE(listed.size(), 8u) << file;
        EXPECT_EQ(listed, WarcioCaptures(warcio, file)) << file;
    }
}

TEST_F(ArchivedSite, BatchRunsOverAnArchive) {
    test::TempFolder out;
    out.Write("list.txt", out / "main.txt" + " " + base_ + "main.htm\n" + out / "gone.txt" + " " +
                              base_ + "gone.htm\n" + out / "moved.txt" + " " + base_ + "old.htm\n");
    const LumoRun run =
        RunLumo(home_.Path(), {"--archive", Q(archive_), "--batch", Q(out / "list.txt")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(
        run.errors.find("lumo: " + base_ + "gone.htm: Not in this archive: " + base_ + "gone.htm"),
        std::string::npos)
        << run.errors;
    EXPECT_NE(out.Read("main.txt").find("Cell text"), std::string::npos);
    EXPECT_NE(out.Read("moved.txt").find("Moved here"), std::string::npos);
    EXPECT_FALSE(out.Exists("gone.txt"));
}

TEST_F(ArchivedSite, ScreenshotOfACapture) {
    const std::string shot = home_ / "capture.png";
    const LumoRun run = RunLumo(home_.Path(), {"--archive", Q(archive_), "--screenshot", Q(shot),
                                               "--size", "640x480", Q(base_ + "main.htm")});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const QImage image(Q(shot));
    ASSERT_EQ(image.size(), QSize(640, 480));
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            red += image.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_EQ(red, 40 * 30 + 120 * 10);
}

// The window with an archive of two pages of a site that nginx also
// serves, with a third page only the live site has.
class ArchiveWindow : public test::SiteTest {
protected:
    static void SetUpTestSuite() {
        StartSite(
            [](const test::TempFolder& site) { site.Write("live.htm", "<TITLE>Live</TITLE>"); },
            "");
    }
    static void TearDownTestSuite() { StopSite(); }

    void SetUp() override {
        SiteTest::SetUp();
        if (IsSkipped()) return;
        const auto response = [](const std::string& uri, const std::string& body,
                                 const char* date = "2001-02-03T04:05:06Z",
                                 const char* type = "text/html") {
            const std::string http =
                "HTTP/1.0 200 OK\r\nContent-Type: " + std::string(type) + "\r\n\r\n" + body;
            return "WARC/1.0\r\nWARC-Type: response\r\nWARC-Target-URI: " + uri +
                   "\r\nWARC-Date: " + date +
                   "\r\nContent-Type: application/http; msgtype=response\r\nContent-Length: " +
                   std::to_string(http.size()) + "\r\n\r\n" + http + "\r\n\r\n";
        };
        home.Write(
            "site.warc",
            response(Url("/a.htm"), "<TITLE>A</TITLE><A HREF=\"b.htm\">b</A>") +
                response(Url("/b.htm"), "<TITLE>B</TITLE>second page<IMG SRC=gone.gif>") +
                response(Url("/c.htm"), "<TITLE>C of 2001</TITLE>") +
                response(Url("/c.htm"), "<TITLE>C of 2009</TITLE>", "2009-01-01T00:00:00Z") +
                response(Url("/d.htm"), "<TITLE>D</TITLE>", "2009-01-01T00:00:00Z") +
                response(Url("/doc.pdf"), "%PDF-1.1", "2001-02-03T04:05:06Z", "application/pdf"));
        archive = home / "site.warc";
    }

    std::string archive;
};

TEST_F(ArchiveWindow, BrowsingAnArchiveStaysOffTheNetwork) {
    Type(FileAddressOf(archive));
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    EXPECT_EQ(form->windowTitle(), "Captures in site.warc - site.warc");
    ASSERT_NE(form->Archive(), nullptr);

    const TArchiveEntry& a = form->Archive()->Index().Entries()[0];
    Type(FileAddressOf(archive) + "?capture=" + PlaceText(a.Place));
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    EXPECT_EQ(form->UrlCombobox->Text(), Url("/a.htm"));
    EXPECT_EQ(form->windowTitle(), "A - site.warc");

    Type(Url("/b.htm"));
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    EXPECT_EQ(form->windowTitle(), "B - site.warc");
    // A picture the archive lacks shows as broken.
    EXPECT_NE(DumpFrameBrowser(*form->FrameBrowser).find(" error \"gone.gif\""), std::string::npos)
        << DumpFrameBrowser(*form->FrameBrowser);

    // What the archive lacks is not fetched, until the user says so.
    boxes.shown.clear();
    Type(Url("/live.htm"));
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].second, "Not in this archive: " + Url("/live.htm"));
    EXPECT_EQ(Hits("/live.htm"), 0);
    form->LiveWeb1->setChecked(true);
    Type(Url("/live.htm"));
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    EXPECT_EQ(form->windowTitle(), "Live - site.warc");
    EXPECT_EQ(Hits("/live.htm"), 1);
    EXPECT_EQ(Hits("/b.htm"), 0);

    form->BackButtonClick();
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    EXPECT_EQ(form->windowTitle(), "B - site.warc");
    EXPECT_EQ(Hits("/b.htm"), 0);

    form->CloseArchive();
    EXPECT_EQ(form->windowTitle(), "B");
}

// Back and Forward show the captures that were shown, whatever the date
// of the page shown last; a new visit takes the capture nearest to it.
TEST_F(ArchiveWindow, HistoryReturnsToTheCapturesShown) {
    Type(FileAddressOf(archive));
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    ASSERT_NE(form->Archive(), nullptr);
    const TArchiveEntry* old = form->Archive()->Index().Find(Url("/c.htm"), 20010101000000);
    ASSERT_NE(old, nullptr);
    Type(FileAddressOf(archive) + "?capture=" + PlaceText(old->Place));
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    EXPECT_EQ(form->windowTitle(), "C of 2001 - site.warc");
    Type(Url("/d.htm"));
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));

    form->BackButtonClick();
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    EXPECT_EQ(form->windowTitle(), "C of 2001 - site.warc");
    form->FwdButtonClick();
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    EXPECT_EQ(form->windowTitle(), "D - site.warc");

    Type(Url("/c.htm"));
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    EXPECT_EQ(form->windowTitle(), "C of 2009 - site.warc");
}

// A captured document of a type the window cannot show is refused as the
// same answer over http is, not shown as a page.
TEST_F(ArchiveWindow, CapturesOfTypesThatCannotBeShownAreRefused) {
    Type(FileAddressOf(archive) + "?capture=0");
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    boxes.shown.clear();
    Type(Url("/doc.pdf"));
    ASSERT_TRUE(test::PumpUntil([&] { return form->PageShown(); }));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].second, "Can't handle Content Type: application/pdf");
    EXPECT_EQ(form->windowTitle(), "A - site.warc");
}

} // namespace
} // namespace lumo
