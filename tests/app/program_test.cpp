// The program itself, started as its own process.
#include "app/lookup_combo_box.h"
#include "app/main_window.h"
#include "net/cookie_list.h"
#include "net/disk_cache.h"

#include "tests/app/run_lumo.h"
#include "tests/support/local_servers.h"
#include "tests/support/scripted_server.h"
#include "tests/support/temp_folder.h"

#include <QImage>
#include <QProcess>

#include <filesystem>
#include <unistd.h>

#include <gtest/gtest.h>

namespace lumo {
namespace {

using test::LumoRun;
using test::RunLumo;

TEST(Program, VersionAndHelp) {
    test::TempFolder home;
    LumoRun run = RunLumo(home.Path(), {"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "Lumo 10.0\n");
    run = RunLumo(home.Path(), {"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("--screenshot OUT.png"), std::string::npos);
    EXPECT_NE(run.output.find("--version"), std::string::npos);
    EXPECT_FALSE(home.Exists("lumo.ini")); // nothing started
}

// The TLS library comes with the first secure connection (the https tests
// make them), not with every start of the program.
TEST(Program, StartsWithoutTheTlsLibrary) {
    QProcess ldd;
    ldd.start("ldd", {LUMO_BINARY});
    ASSERT_TRUE(ldd.waitForFinished(30000));
    const std::string libraries = ldd.readAllStandardOutput().toStdString();
    EXPECT_NE(libraries.find("libQt6Core"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libssl"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libcrypto"), std::string::npos) << libraries;
}

TEST(Program, ScreenshotWritesTheWholeWindow) {
    test::TempFolder home;
    const std::string shot = home / "shot.png";
    const LumoRun run =
        RunLumo(home.Path(), {"--screenshot", QString::fromStdString(shot), "--size", "640x480"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    QImage image(QString::fromStdString(shot));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 640);
    EXPECT_EQ(image.height(), 480);
    // The page area in the middle is white; the state files were written.
    EXPECT_EQ(image.pixelColor(320, 240), QColor(Qt::white));
    EXPECT_TRUE(home.Exists("lumo.ini"));
    EXPECT_EQ(home.Read("Cache/urls.txt"), "\r\n80\r\n");
}

// Under a scale factor of 2 the page keeps its layout and is drawn at the
// device's pixels: the picture is twice the size, and the text is not the
// small picture enlarged (whose every 2x2 block would be one colour).
TEST(Program, ScaleFactorTwoDrawsTheSameLayoutAtTwiceThePixels) {
    test::TempFolder home;
    home.Write("page.htm", "<BODY BGCOLOR=white TEXT=black><FONT SIZE=7>MgMgMg</FONT>"
                           "<TABLE BORDER=2><TR><TD>cell</TD></TR></TABLE>");
    const QString page = QString::fromStdString(home / "page.htm");
    const auto shot = [&](const char* factor) {
        const std::string file = home / (std::string("shot") + factor + ".png");
        const LumoRun run = RunLumo(
            home.Path(), {"--screenshot", QString::fromStdString(file), "--size", "400x300", page},
            {{"QT_SCALE_FACTOR", factor}});
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        return QImage(QString::fromStdString(file));
    };
    const auto dump = [&](const char* factor) {
        const LumoRun run =
            RunLumo(home.Path(), {"--dump-layout", page}, {{"QT_SCALE_FACTOR", factor}});
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        return run.output;
    };
    const QImage one = shot("1"), two = shot("2");
    ASSERT_EQ(one.size(), QSize(400, 300));
    ASSERT_EQ(two.size(), QSize(800, 600));
    EXPECT_EQ(dump("1"), dump("2"));
    int mixedBlocks = 0, darkBlocks = 0;
    for (int y = 160; y < 400; y += 2)
        for (int x = 20; x < 600; x += 2) {
            const QRgb a = two.pixel(x, y);
            darkBlocks += qGray(a) < 60;
            mixedBlocks += a != two.pixel(x + 1, y) || a != two.pixel(x, y + 1) ||
                           a != two.pixel(x + 1, y + 1);
        }
    EXPECT_GT(darkBlocks, 500);
    EXPECT_GT(mixedBlocks, 200);
}

TEST(Program, ScreenshotOfALocalFileShowsItsText) {
    test::TempFolder home;
    home.Write("page.htm", "<BODY BGCOLOR=\"#00C000\" TEXT=\"#000000\">"
                           "<H1>XXXXXXXXXXXX</H1><FONT SIZE=7>MMMMMMMM</FONT>");
    const std::string shot = home / "shot.png";
    const LumoRun run =
        RunLumo(home.Path(), {"--screenshot", QString::fromStdString(shot), "--size", "640x480",
                              QString::fromStdString(home / "page.htm")});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    QImage image(QString::fromStdString(shot));
    ASSERT_EQ(image.size(), QSize(640, 480));
    const auto isDark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 60; };
    const auto isPage = [&](int x, int y) { return image.pixelColor(x, y) == QColor(0, 192, 0); };
    // The page's own background fills the page area below the text...
    for (QPoint p : {QPoint(320, 300), QPoint(600, 400), QPoint(20, 420)})
        EXPECT_TRUE(isPage(p.x(), p.y())) << p.x() << "," << p.y();
    // ...and its text is drawn on it near the top left.
    int dark = 0, green = 0;
    for (int y = 60; y < 260; ++y)
        for (int x = 10; x < 400; ++x) {
            dark += isDark(x, y);
            green += isPage(x, y);
        }
    EXPECT_GT(dark, 2000);
    EXPECT_GT(green, 20000);
}

TEST(Program, DumpLayoutPrintsTheLaidOutPage) {
    test::TempFolder home;
    home.Write("page.htm", "<TITLE>Dumped</TITLE><P>First words<P>Second");
    const LumoRun run = RunLumo(home.Path(), {"--dump-layout", "--size", "500x300",
                                              QString::fromStdString(home / "page.htm")});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.output.rfind("document \"Dumped\" height ", 0), 0u) << run.output;
    EXPECT_NE(run.output.find("\"First words\""), std::string::npos);
    EXPECT_NE(run.output.find("TBlock <p>"), std::string::npos);
    const LumoRun missing =
        RunLumo(home.Path(), {"--dump-layout", QString::fromStdString(home / "nothing.htm")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.errors.find("Cannot open file "), std::string::npos);
    EXPECT_EQ(missing.output, "");
    EXPECT_FALSE(home.Exists("lumo.ini")); // a dump leaves the settings alone
}

// An address without a scheme that names no file is a web address, as in
// the address box.
TEST(Program, AServerAndPortWithoutASchemeIsAWebAddress) {
    test::TempFolder site;
    site.Write("page.htm", "<TITLE>Served</TITLE><P>From the server");
    const std::unique_ptr<test::LocalServer> nginx = test::LocalServer::StartNginx(site.Path());
    if (!nginx) GTEST_SKIP() << "nginx is not installed";
    const std::string address = nginx->Address("/page.htm").substr(std::string("http://").size());
    test::TempFolder home;
    const LumoRun run = RunLumo(home.Path(), {"--dump-layout", QString::fromStdString(address)});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.output.rfind("document \"Served\"", 0), 0u) << run.output;
}

// A page that fails still gives a picture of the window, and the exit says
// so; a page that does not come in time ends the run with a message.
TEST(Program, ScreenshotsOfFailedAndSlowPagesEndWithAnError) {
    test::TempFolder home;
    const std::string shot = home / "shot.png";
    const LumoRun refused = RunLumo(
        home.Path(), {"--screenshot", QString::fromStdString(shot), "http://127.0.0.1:9/x.htm"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.errors.find("Lumo 10: "), std::string::npos) << refused.errors;
    EXPECT_TRUE(home.Exists("shot.png"));

    test::ScriptedServer silent([](test::ScriptedConnection& c) {
        c.ReadRequest();
        c.Sleep(30000);
    });
    const LumoRun slow =
        RunLumo(home.Path(), {"--screenshot", QString::fromStdString(home / "slow.png"),
                              "--timeout", "1", QString::fromStdString(silent.Address("/x"))});
    EXPECT_EQ(slow.exitCode, 1);
    EXPECT_NE(slow.errors.find("lumo: the page was not shown within 1 s"), std::string::npos)
        << slow.errors;
    EXPECT_FALSE(home.Exists("slow.png"));
}

TEST(Program, LocalFilesOfAnyNameOpenFromTheCommandLine) {
    test::TempFolder home;
    for (const char* name : {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.htm", "a#b.htm",
                             "50%.htm", "x:y.htm"}) {
        home.Write(name, std::string("<TITLE>") + name + "</TITLE><P>found");
        const LumoRun run = RunLumo(home.Path(), {"--dump-layout", QString::fromUtf8(home / name)});
        ASSERT_EQ(run.exitCode, 0) << name << ": " << run.errors;
        EXPECT_NE(run.output.find("\"found\""), std::string::npos) << name;
    }
}

TEST(Program, UsageErrorsAreReported) {
    test::TempFolder home;
    const LumoRun run = RunLumo(home.Path(), {"--size", "big"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.errors.find("usage: lumo"), std::string::npos);
    EXPECT_FALSE(home.Exists("lumo.ini"));
}

TEST(Program, ASecondCopyLeavesTheFirstOnesStateFiles) {
    test::TempFolder home;
    test::ScopedHome scoped(home.Path());
    {
        TMainWindow first;
        ASSERT_TRUE(first.LogOpen());
        first.DiskCache().Add("http://srv/first.htm", 0, false);
        first.Cookies().StoreSetCookie("http://www.first.com/", "F=1;");
        first.UrlCombobox->SetItems({"http://first/"});
        first.Proxy = "first.proxy";

        home.Write("Cache/urls.txt", "marker\r\n");
        home.Write("Cache/cachinfo.txt", "marker 0 m1\r\n");
        home.Write("Cache/m1", "the first copy's page");
        home.Write("Cache/Cookies.txt", ".marker.com M=1;\r\n");
        home.Write("lumo.ini", "[Cache]\r\nRetain=0\r\n"); // the second erases its cache
        const LumoRun second =
            RunLumo(home.Path(), {"--screenshot", QString::fromStdString(home / "s.png")});
        ASSERT_EQ(second.exitCode, 0) << second.errors;
        EXPECT_EQ(home.Read("Cache/m1"), "the first copy's page");
        EXPECT_EQ(home.Read("Cache/urls.txt"), "marker\r\n");
        EXPECT_EQ(home.Read("Cache/cachinfo.txt"), "marker 0 m1\r\n");
        EXPECT_EQ(home.Read("Cache/Cookies.txt"), ".marker.com M=1;\r\n");
        first.close();
    }
    EXPECT_EQ(home.Read("Cache/urls.txt"), "first.proxy\r\n80\r\nhttp://first/\r\n");
    EXPECT_EQ(home.Read("Cache/cachinfo.txt"), "srv/first.htm 0 m12345.htm\r\n");
    EXPECT_EQ(home.Read("Cache/Cookies.txt"), ".first.com F=1;\r\n");
}

// An installed program: its folder is not the user's to write.
TEST(Program, WithoutAFolderOfItsOwnTheStateFilesGoToTheUsersDataFolder) {
    namespace fs = std::filesystem;
    test::TempFolder root;
    const fs::path bin = root.Path() + "bin";
    const std::string data = root / "data";
    fs::create_directories(bin);
    fs::create_directories(data);
    fs::copy_file(LUMO_BINARY, bin / "lumo");
    fs::permissions(root.Path(),
                    fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    fs::permissions(bin, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(data, fs::perms::all);

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LUMO_HOME");
    env.insert("HOME", QString::fromStdString(data));
    env.insert("XDG_DATA_HOME", QString::fromStdString(data));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    process.setProcessEnvironment(env);
    const QString program = QString::fromStdString((bin / "lumo").string());
    const QStringList args = {"--screenshot", QString::fromStdString(data + "/s.png")};
    // The super-user may write anywhere: it runs the program as nobody.
    if (geteuid() == 0)
        process.start("setpriv",
                      QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} +
                          args);
    else
        process.start(program, args);
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(fs::exists(data + "/Lumo 10/lumo.ini"));
    EXPECT_TRUE(fs::exists(data + "/Lumo 10/Cache/urls.txt"));
    EXPECT_FALSE(fs::exists(bin / "lumo.ini"));
}

} // namespace
} // namespace lumo
