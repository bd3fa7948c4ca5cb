// Downloads into files and pictures saved from pages, against a real nginx
// on 127.0.0.1: what lands on disk, what the window shows and says, and how
// failures leave the files.
#include "app/download_dialog.h"
#include "net/disk_cache.h"

#include "tests/app/navigation_fixture.h"
#include "tests/support/scripted_server.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>

namespace lumo::test {
namespace {

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    return bytes;
}

const std::string Gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01"
                      "\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02"
                      "D\x01\x00;",
                      42);

void WriteSite(const TempFolder& site) {
    site.Write("pack.zip", Pattern(300 * 1024));
    std::filesystem::create_directories(site / "slow");
    site.Write("slow/big.zip", Pattern(2 * 1024 * 1024));
    std::filesystem::create_directories(site / "nolen");
    site.Write("nolen/data.zip", Pattern(70000));
    site.Write("pic.gif", Gif);
    site.Write("pic.htm", "<BODY><IMG SRC=\"pic.gif\" WIDTH=60 HEIGHT=60>");
}

// Values the window showed while it ran, and what it did at the end.
struct Watch {
    std::vector<std::string> statuses, timesLeft;
    int64_t cancelAfter = -1; // bytes; -1: never cancel
};

class DownloadTest : public SiteTest {
protected:
    static void SetUpTestSuite() {
        StartSite(WriteSite, "location /slow/ { limit_rate 200k; }\n"
                             "location /nolen/ { ssi on; ssi_types *; }\n");
    }
    static void TearDownTestSuite() { StopSite(); }

    void SetUp() override {
        SiteTest::SetUp();
        if (!form) return;
        form->ChooseSaveFile = [this](const std::string& folder, const std::string& name) {
            proposedFolder = folder;
            proposed = name;
            return target;
        };
    }

    // Clicks a download link; the window runs until the download has ended.
    void Download(const std::string& url, Watch* watch = nullptr) {
        QTimer timer;
        if (watch) {
            timer.setInterval(20);
            QObject::connect(&timer, &QTimer::timeout, [&] {
                auto* dialog = Dialog();
                if (!dialog) return;
                watch->statuses.push_back(dialog->Status->text().toStdString());
                watch->timesLeft.push_back(dialog->TimeLeft->text().toStdString());
                if (watch->cancelAfter >= 0 && dialog->BytesReceived > watch->cancelAfter)
                    dialog->CancelButton->click();
            });
            timer.start();
        }
        bool handled = false;
        form->HotSpotTargetClick("", url, handled);
        EXPECT_TRUE(handled);
        QCoreApplication::processEvents(); // the posted message runs the download
        EXPECT_EQ(Dialog(), nullptr);
    }
    TDownloadDialog* Dialog() const {
        return dynamic_cast<TDownloadDialog*>(form->findChild<QDialog*>("DownLoadForm"));
    }
    static std::string ReadFile(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& box : boxes.shown)
            texts.push_back(box.second);
        return texts;
    }

    TempFolder downloads;
    std::optional<std::string> target = downloads / "saved.zip";
    std::string proposed, proposedFolder;
};

TEST_F(DownloadTest, ADownloadArrivesByteForByteUnderTheChosenName) {
    Download(Url("/pack.zip"));
    EXPECT_EQ(proposed, "pack.zip");
    EXPECT_EQ(proposedFolder, form->CacheDir());
    EXPECT_EQ(ReadFile(*target), Pattern(300 * 1024));
    EXPECT_FALSE(std::filesystem::exists(PartialFileName(*target)));
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    // Without a length the document ends with the connection.
    Download(Url("/nolen/data.zip"));
    EXPECT_EQ(ReadFile(*target), Pattern(70000));
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    // A name the user declines fetches nothing.
    target.reset();
    Download(Url("/pack.zip"));
    EXPECT_EQ(Hits("/pack.zip"), 1);
}

TEST_F(DownloadTest, CancelKeepsThePartReceivedUnderItsOwnName) {
    Watch watch;
    watch.cancelAfter = 100 * 1024;
    Download(Url("/slow/big.zip"), &watch);
    EXPECT_FALSE(std::filesystem::exists(*target));
    const std::string part = ReadFile(PartialFileName(*target));
    EXPECT_GT(part.size(), 100u * 1024);
    EXPECT_LT(part.size(), 2u * 1024 * 1024);
    EXPECT_EQ(part, Pattern(2 * 1024 * 1024).substr(0, part.size()));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Connection aborted on request\nThe part "
                                                   "received is kept in " +
                                                   PartialFileName(*target) + "."});
    // The window showed its progress against the whole length.
    ASSERT_FALSE(watch.statuses.empty());
    EXPECT_EQ(watch.statuses.back().find("k of 2048k (at "), watch.statuses.back().find('k'));
    EXPECT_EQ(watch.timesLeft.back().size(), 8u);
    EXPECT_NE(watch.timesLeft.back(), "--:--:--");
}

TEST_F(DownloadTest, FailuresLeaveNoFileClaimingToBeComplete) {
    // An error page is no part of the document.
    Download(Url("/missing.zip"));
    EXPECT_FALSE(std::filesystem::exists(*target));
    EXPECT_FALSE(std::filesystem::exists(PartialFileName(*target)));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].second.find("Not Found"), 0u) << boxes.shown[0].second;
    EXPECT_NE(boxes.shown[0].second.find(*target + " was not saved."), std::string::npos);
    // A file that cannot be made asks the server nothing.
    boxes.shown.clear();
    target = downloads / "gone/saved.zip";
    Download(Url("/pack.zip"));
    EXPECT_EQ(Hits("/pack.zip"), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot open file " + PartialFileName(*target)});
}

TEST_F(DownloadTest, AShortBodyIsAFailure) {
    ScriptedServer server([](ScriptedConnection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + std::string(600, 'x'));
    });
    Download(server.Address("/short.zip"));
    EXPECT_FALSE(std::filesystem::exists(*target));
    EXPECT_EQ(ReadFile(PartialFileName(*target)), std::string(600, 'x'));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Connection closed before the whole document arrived\n"
                                       "The part received is kept in " +
                                       PartialFileName(*target) + "."});
}

TEST_F(DownloadTest, AFailedWriteEndsTheDownloadAndNamesTheFile) {
    // A file size limit stands in for a full disk.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    Download(Url("/pack.zip"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(std::filesystem::exists(*target));
    EXPECT_LE(std::filesystem::file_size(PartialFileName(*target)), 64u * 1024);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].second.find(PartialFileName(*target)), std::string::npos)
        << boxes.shown[0].second;
}

long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

TEST_F(DownloadTest, AHugeDownloadGoesToDiskNotMemory) {
    constexpr int64_t Size = 500LL * 1024 * 1024;
    const std::string name = Site() / "huge.zip";
    std::filesystem::resize_file((std::ofstream(name), name), Size); // sparse: no disk used
    const long before = PeakResidentKiB();
    Download(Url("/huge.zip"));
    const long growth = PeakResidentKiB() - before;
    std::filesystem::remove(name);
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    EXPECT_EQ(static_cast<int64_t>(std::filesystem::file_size(*target)), Size);
    std::filesystem::remove(*target);
    std::printf("peak resident set grew by %ld KiB for a %lld MiB download\n", growth,
                static_cast<long long>(Size >> 20));
    EXPECT_LT(growth, 64 * 1024);
}

TEST_F(DownloadTest, SaveImageTakesTheCachedPictureOrFetchesItAgain) {
    Type(Url("/pic.htm"));
    ASSERT_TRUE(PumpUntil([&] { return form->PageShown(); }));
    const auto saveImage = [&] {
        test::SendMouse(Viewer().PaintPanel(), QEvent::MouseButtonRelease, Qt::RightButton,
                        {20, 20});
        form->PopupMenu->hide();
        EXPECT_TRUE(form->SaveImageAs1->isEnabled());
        form->SaveImageAs1->trigger();
    };
    target = downloads / "picture.gif";
    saveImage();
    EXPECT_EQ(proposed, "pic.gif");
    EXPECT_EQ(ReadFile(*target), Gif);
    EXPECT_EQ(Hits("/pic.gif"), 1); // the page's own fetch only
    form->DiskCache().EraseAll();
    std::filesystem::remove(*target);
    saveImage();
    EXPECT_EQ(ReadFile(*target), Gif);
    EXPECT_EQ(Hits("/pic.gif"), 2);
    EXPECT_EQ(Messages(), std::vector<std::string>{});
}

TEST(DownloadProgressTest, TextsFollowTheRateSoFarInWholeSeconds) {
    struct Row {
        int64_t received, length, elapsed;
        const char* status;
        const char* timeLeft;
    };
    const Row rows[] = {
        // 100 bytes a millisecond, half of it in 5 s: as long again.
        {500000, 1000000, 5000, "488k of 976k (at 100.0k/sec)", "00:00:05"},
        {10240, 20480, 999, "10k of 20k (at 10.3k/sec)", "00:00:00"}, // the first second
        {1000, 7201000, 1000, "0k of 7032k (at  1.0k/sec)", "02:00:00"},
        // Lengths past 32 bits; and the time left never goes below nothing.
        {3LL << 31, 3LL << 32, 60000, "6291456k of 12582912k (at 107374.2k/sec)", "00:01:00"},
        {2048, 1024, 3000, "2k of 1k (at  0.7k/sec)", "00:00:00"},
        // No length, or nothing yet to go by: the time left is unknown.
        {5000, -1, 2000, "4k of ?k (at  2.5k/sec)", "--:--:--"},
        {0, 4096, 2000, "0k of 4k (at  0.0k/sec)", "--:--:--"},
    };
    for (const Row& row : rows) {
        const TDownloadProgress progress = DownloadProgress(row.received, row.length, row.elapsed);
        EXPECT_EQ(progress.Status, row.status) << row.received;
        EXPECT_EQ(progress.TimeLeft, row.timeLeft) << row.received;
    }
}

} // namespace
} // namespace lumo::test
