// The unzip window: its controls, the component behind them, and what it
// allows and shows while an extraction runs.
#include "tools/unzip_window.h"

#include "platform/message_loop.h"
#include "tests/support/recording_boxes.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/zip_fixture.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace lumo {
namespace {

namespace fs = std::filesystem;

class UnzipWindowTest : public testing::Test {
protected:
    void SetUp() override { LUMO_NEED_PROGRAM("python3"); }

    // An archive of `count` members of `size` bytes each.
    std::string MakeArchive(int count, int size, const char* name = "a.zip") {
        const std::string archive = work / name;
        test::RunPython(R"PY(
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    for i in range(int(sys.argv[2])):
        z.writestr('dir%d/member%d.txt' % (i % 7, i), os.urandom(int(sys.argv[3]) // 2).hex())
)PY",
                        {archive, std::to_string(count), std::to_string(size)});
        return archive;
    }

    void Fill(const std::string& archive, const std::string& target) {
        form.ZipFileEdit->setText(QString::fromStdString(archive));
        form.TargetDirEdit->setText(QString::fromStdString(target));
    }

    test::TempFolder work;
    test::TempFolder home; // the window's language template goes there
    test::ScopedHome scopedHome{home.Path()};
    test::RecordingBoxes boxes;
    TUnzipWindow form;
};

TEST_F(UnzipWindowTest, ShowsItsTextsAndTheComponentsValues) {
    EXPECT_EQ(form.windowTitle(), "Zeve Revoz");
    EXPECT_EQ(form.ZipFileButton->text(), "... ");
    EXPECT_EQ(form.TargetDirButton->text(), "...");
    EXPECT_EQ(form.UnzipButton->text(), "&Unzip");
    EXPECT_EQ(form.ExitButton->text(), "E&xit");
    QStringList labels;
    for (QLabel* label : form.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains("ZIP file name"));
    EXPECT_TRUE(labels.contains("Target directory  "));
    EXPECT_TRUE(labels.contains("File specifications to extract  "));
    EXPECT_EQ(form.SpecsEdit->text(), "*.*");
    EXPECT_TRUE(form.RecurseCheck->isChecked());
    EXPECT_EQ(form.ProgressBar1->minimum(), 0);
    EXPECT_EQ(form.ProgressBar1->maximum(), 100);
}

TEST_F(UnzipWindowTest, EditsWriteThroughToTheComponent) {
    form.ZipFileEdit->setText("/a/b.zip");
    form.TargetDirEdit->setText("/tmp/out");
    form.SpecsEdit->setText("*.txt \"my file.doc\"");
    form.RecurseCheck->setChecked(false);
    TUnzipper& unzip = form.Unzipper();
    EXPECT_EQ(unzip.ArchiveName, "/a/b.zip");
    EXPECT_EQ(unzip.TargetDir, "/tmp/out");
    EXPECT_EQ(unzip.FileSpecs, (std::vector<std::string>{"*.txt", "my file.doc"}));
    EXPECT_TRUE(unzip.DontRecurse);
}

TEST_F(UnzipWindowTest, NothingHappensWithoutAnArchiveAndATarget) {
    form.ZipFileEdit->setText(QString::fromStdString(MakeArchive(1, 10)));
    form.UnzipButtonClick();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(form.ProgressBar1->value(), -1); // never started
}

TEST_F(UnzipWindowTest, WhileRunningOnlyExitWorks) {
    Fill(MakeArchive(40, 20000), work / "out");
    int checks = 0;
    PostTask([&] {
        ++checks;
        EXPECT_TRUE(form.Running());
        for (QWidget* w : std::initializer_list<QWidget*>{
                 form.ZipFileEdit, form.TargetDirEdit, form.SpecsEdit, form.ZipFileButton,
                 form.TargetDirButton, form.RecurseCheck, form.UnzipButton})
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_TRUE(form.ExitButton->isEnabled());
        // A second extraction would meet the first one's files and ask.
        form.UnzipButton->click();
        form.UnzipButtonClick();
    });
    form.UnzipButtonClick();
    EXPECT_EQ(checks, 1);
    EXPECT_FALSE(form.Running());
    EXPECT_TRUE(form.UnzipButton->isEnabled());
    EXPECT_TRUE(form.ZipFileEdit->isEnabled());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(test::TreeOf(work / "out").size(), 40u + 7u);
    EXPECT_EQ(form.ProgressBar1->value(), 100);
    EXPECT_EQ(form.StatusLabel->text(), "");
}

TEST_F(UnzipWindowTest, ExitDuringAnExtractionStopsIt) {
    Fill(MakeArchive(200, 20000), work / "out");
    PostTask([&] { form.ExitButton->click(); });
    form.show();
    form.UnzipButtonClick();
    EXPECT_FALSE(form.isVisible());
    EXPECT_LT(test::TreeOf(work / "out").size(), 200u);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(UnzipWindowTest, ArchiveOfEmptyMembersLeavesTheBarAtZero) {
    const std::string archive = work / "empty.zip";
    test::RunPython(R"PY(
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    for name in ['a', 'b', 'c/']:
        z.writestr(name, '')
)PY",
                    {archive});
    Fill(archive, work / "out");
    form.UnzipButtonClick();
    EXPECT_EQ(form.ProgressBar1->value(), 0);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(fs::is_directory(work / "out/c"));
}

TEST_F(UnzipWindowTest, AboutThirtyUpdatesASecond) {
    Fill(MakeArchive(3000, 300), work / "out");
    // A task that posts itself again counts the passes of the event loop the
    // window makes while it runs.
    int passes = 0;
    std::function<void()> probe = [&] {
        ++passes;
        if (form.Running()) PostTask(probe);
    };
    PostTask(probe);
    QElapsedTimer clock;
    clock.start();
    form.UnzipButtonClick();
    const qint64 elapsed = clock.elapsed();
    EXPECT_EQ(test::TreeOf(work / "out").size(), 3000u + 7u);
    EXPECT_GE(passes, 1);
    // 6000 reports of starts and ends, yet only one pass per 33 ms (and the last).
    EXPECT_LE(passes, elapsed / 33 + 3) << elapsed << " ms";
    ProcessMessages(); // the last probe, so none outlives the test
}

TEST_F(UnzipWindowTest, ExistingFilesAreAskedAboutAndFailuresListed) {
    const std::string archive = MakeArchive(3, 100);
    Fill(archive, work / "out");
    form.UnzipButtonClick();
    ASSERT_TRUE(boxes.shown.empty());
    form.UnzipButtonClick(); // the recording boxes answer neither yes nor no: files stay
    ASSERT_EQ(boxes.shown.size(), 4u);
    EXPECT_EQ(boxes.shown[0].first, MessageKind::Question);
    EXPECT_EQ(boxes.shown[0].second, "dir0/member0.txt exists in the target directory.\n"
                                     "Replace it?");
    EXPECT_EQ(boxes.shown[3].second, "These members were not extracted:\n"
                                     "dir0/member0.txt: a file of that name exists and was kept\n"
                                     "dir1/member1.txt: a file of that name exists and was kept\n"
                                     "dir2/member2.txt: a file of that name exists and was kept");
}

TEST_F(UnzipWindowTest, ArchiveWideFailuresAreShown) {
    Fill(MakeArchive(1, 10), work / std::string(260, 'x'));
    form.UnzipButtonClick();
    work.Write("not.zip", "plain text");
    Fill(work / "not.zip", work / "out");
    form.UnzipButtonClick();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].second,
              "the archive name or the target folder is longer than 255 characters");
    EXPECT_EQ(boxes.shown[1].second, "not a ZIP archive");
}

} // namespace
} // namespace lumo
