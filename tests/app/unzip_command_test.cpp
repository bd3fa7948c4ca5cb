// Extraction from the program: "lumo --unzip" run as its own process, and
// Tools, Unzip in the main window.
#include "app/command_line.h"
#include "app/main_window.h"
#include "tools/unzip_window.h"

#include "tests/app/run_lumo.h"
#include "tests/support/temp_folder.h"

#include <QAction>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace lumo {
namespace {

using test::LumoRun;
using test::Q;

LumoRun Unzip(const QStringList& args) {
    return test::RunLumo({}, QStringList{"--unzip"} + args);
}

// python3, for making archives; empty when it is not installed.
QString Python() {
    const QString python = QStandardPaths::findExecutable("python3", {"/usr/bin"}); // starts fast
    return python.isEmpty() ? QStandardPaths::findExecutable("python3") : python;
}

void RunScript(const QString& python, const char* script, const QStringList& args) {
    QProcess made;
    made.start(python, QStringList{"-c", script} + args);
    ASSERT_TRUE(made.waitForFinished(60000) && made.exitCode() == 0);
}

TEST(UnzipCommand, PrintsOneLinePerMemberAndFailsWhenOneFails) {
    const QString python = Python();
    if (python.isEmpty()) GTEST_SKIP() << "python3 is not installed";
    test::TempFolder work;
    const std::string archive = work / "a.zip";
    RunScript(python, R"PY(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('a.txt', 'first ' * 100)
    z.writestr('sub/b.txt', 'second', compress_type=zipfile.ZIP_STORED)
    z.writestr('../evil.txt', 'outside')
    z.writestr('c.txt', 'third ' * 100, compress_type=zipfile.ZIP_BZIP2)
    z.writestr('\u00e4.txt', 'utf-8 name')
)PY",
              {Q(archive)});

    const LumoRun all = Unzip({Q(archive), Q(work / "all")});
    EXPECT_EQ(all.exitCode, 1);
    EXPECT_EQ(all.output, "done a.txt\n"
                          "done sub/b.txt\n"
                          "failed ../evil.txt: -11 the name leads outside the target folder\n"
                          "failed c.txt: -6 the compression method is not supported\n"
                          "done \xC3\xA4.txt\n");
    EXPECT_EQ(all.errors, "");
    EXPECT_EQ(work.Read("all/sub/b.txt"), "second");
    EXPECT_FALSE(work.Exists("evil.txt"));

    const LumoRun some = Unzip({Q(archive), Q(work / "some"), "sub/*", "a.*"});
    EXPECT_EQ(some.exitCode, 0) << some.errors;
    EXPECT_EQ(some.output, "done a.txt\ndone sub/b.txt\n");

    // Existing files are kept: no one is there to say yes.
    const LumoRun again = Unzip({Q(archive), Q(work / "some"), "a.txt"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.output, "failed a.txt: -16 a file of that name exists and was kept\n");
}

// A "./" folder entry is the target itself: nothing to make, nothing
// refused. An archive whose comment ends in an end record of no members
// reads as empty, and says so.
TEST(UnzipCommand, TheTargetItselfAndAnEmptyLookingArchive) {
    const QString python = Python();
    if (python.isEmpty()) GTEST_SKIP() << "python3 is not installed";
    test::TempFolder work;
    RunScript(python, R"PY(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr(zipfile.ZipInfo('./'), '')
    z.writestr('./a.txt', 'first')
with zipfile.ZipFile(sys.argv[2], 'w') as z:
    z.writestr('a.txt', 'first')
    z.comment = b'PK\x05\x06' + bytes(18)
)PY",
              {Q(work / "dot.zip"), Q(work / "fake.zip")});

    const LumoRun dot = Unzip({Q(work / "dot.zip"), Q(work / "dot")});
    EXPECT_EQ(dot.exitCode, 0) << dot.output;
    EXPECT_EQ(dot.output, "done ./\ndone ./a.txt\n");
    EXPECT_EQ(work.Read("dot/a.txt"), "first");

    const LumoRun fake = Unzip({Q(work / "fake.zip"), Q(work / "fake")});
    EXPECT_EQ(fake.exitCode, 1);
    EXPECT_EQ(fake.output, "");
    EXPECT_EQ(fake.errors, "lumo: " + (work / "fake.zip") + ": zipfile is empty\n");
    EXPECT_FALSE(work.Exists("fake"));
}

TEST(UnzipCommand, ArchiveFailuresGoToStandardErrorAndUsageErrorsExitTwo) {
    test::TempFolder work;
    work.Write("not.zip", "just text");
    const LumoRun notZip = Unzip({Q(work / "not.zip"), Q(work / "out")});
    EXPECT_EQ(notZip.exitCode, 1);
    EXPECT_EQ(notZip.output, "");
    EXPECT_EQ(notZip.errors, "lumo: " + (work / "not.zip") + ": not a ZIP archive\n");
    EXPECT_FALSE(work.Exists("out"));

    const LumoRun missing = Unzip({Q(work / "none.zip"), Q(work / "out")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.errors, "lumo: " + (work / "none.zip") + ": cannot open the archive\n");

    const LumoRun usage = Unzip({Q(work / "not.zip")});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_NE(usage.errors.find("--unzip needs an archive and a target folder"), std::string::npos);
    EXPECT_NE(usage.errors.find("lumo --unzip ARCHIVE TARGET [PATTERN...]"), std::string::npos);

    const TCommandLine line = ParseCommandLine({"--unzip", "a.zip", "out", "--size", "*.txt"}, "/");
    EXPECT_EQ(line.Error, "");
    EXPECT_EQ(line.UnzipPatterns, (std::vector<std::string>{"--size", "*.txt"}));
}

TEST(UnzipCommand, ToolsUnzipShowsTheUnzipWindow) {
    test::TempFolder home;
    test::ScopedHome scoped(home.Path());
    TMainWindow form;
    auto* item = form.findChild<QAction*>("Unzip1");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    EXPECT_EQ(item->text(), "&Unzip...");
    item->trigger();
    ASSERT_NE(form.UnzipWindow, nullptr);
    EXPECT_TRUE(form.UnzipWindow->isVisible());
    EXPECT_EQ(form.UnzipWindow->windowTitle(), "Zeve Revoz");
    TUnzipWindow* first = form.UnzipWindow;
    form.UnzipWindow->close();
    item->trigger(); // the same window again
    EXPECT_EQ(form.UnzipWindow, first);
    EXPECT_TRUE(first->isVisible());
    form.close();
}

} // namespace
} // namespace lumo
