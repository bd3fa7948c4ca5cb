// lumo --batch: many pages rendered by one process and one window, each as
// a single run would render it, with failing pages in the list.
#include "app/batch_run.h"

#include "tests/app/run_lumo.h"
#include "tests/support/corpus.h"
#include "tests/support/temp_folder.h"

#include <QImage>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

namespace lumo {
namespace {

using test::LumoRun;
using test::Q;
using test::RunLumo;

// A server that takes connections and never answers: a page from it is
// never shown.
class SilentServer {
public:
    SilentServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd_, 16);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() { ::close(fd_); }
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// The pages of the speed test: text pages of 20 KB and table pages of 20
// rows, seeds 1 to count / 2, from the shared page generator.
std::vector<std::string> GeneratePages(const test::TempFolder& folder, int count) {
    const std::string script =
        "import os, sys\n"
        "sys.path.insert(0, os.path.dirname(sys.argv[1]))\n"
        "import gen\n"
        "for n in range(1, int(sys.argv[3]) // 2 + 1):\n"
        "    gen.write(f'{sys.argv[2]}/text{n:03}.htm', gen.gen_text(gen.parse_size('20K'), n))\n"
        "    gen.write(f'{sys.argv[2]}/tables{n:03}.htm', gen.gen_tables(20, 3, n))\n";
    const int status =
        std::system(("python3 -c \"" + script + "\" " LUMO_CORPUS_DIR "/../pages/gen.py " +
                     folder.Path() + "pages " + std::to_string(count))
                        .c_str());
    EXPECT_EQ(status, 0);
    std::vector<std::string> pages;
    for (int n = 1; n <= count / 2; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "pages/text%03d.htm", n);
        pages.push_back(folder / name);
        std::snprintf(name, sizeof name, "pages/tables%03d.htm", n);
        pages.push_back(folder / name);
    }
    return pages;
}

// The MiB of each progress line "lumo: N/TOTAL pages, R pages/s, M MiB", by N.
std::map<int, double> MemoryByPages(const std::string& errors) {
    std::map<int, double> memory;
    std::istringstream lines(errors);
    for (std::string line; std::getline(lines, line);) {
        int done = 0, total = 0;
        double rate = 0, mib = 0;
        if (std::sscanf(line.c_str(), "lumo: %d/%d pages, %lf pages/s, %lf MiB", &done, &total,
                        &rate, &mib) == 4)
            memory[done] = mib;
    }
    return memory;
}

TEST(Batch, ListLinesAndTheirErrors) {
    std::istringstream list("# pages\n"
                            "a.png http://x/a.htm\n"
                            "\n"
                            "out/b.PDF  /tmp/b page.htm\n"
                            "c.txt\thttp://x/c.htm\n"
                            "d.gif http://x/d.htm\n"
                            "e.png\n");
    std::vector<std::string> errors;
    const std::vector<TBatchItem> items = ReadBatchList(list, "/work", errors);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].Output, "/work/a.png");
    EXPECT_EQ(items[0].Address, "http://x/a.htm");
    EXPECT_EQ(items[1].Kind, TBatchOutput::Pdf);
    EXPECT_EQ(items[1].Address, "file:///tmp/b page.htm");
    EXPECT_EQ(items[2].Kind, TBatchOutput::LayoutDump);
    EXPECT_EQ(errors, (std::vector<std::string>{
                          "line 6: needs OUTPUT.png, OUTPUT.pdf or OUTPUT.txt and an address",
                          "line 7: needs OUTPUT.png, OUTPUT.pdf or OUTPUT.txt and an address"}));
}

// Dumps and pictures mixed in one list come out as single runs make them:
// a dump at --size exactly, a picture of the whole window at that size.
// Output names are the system's, letters past ASCII and "%" included.
TEST(Batch, DumpsAndPicturesMixedComeOutAsSingleRunsMakeThem) {
    test::TempFolder home;
    home.Write("wide.htm", "<TABLE WIDTH=100% BORDER=1><TR><TD>left<TD WIDTH=30%>right</TABLE>"
                           "<P>A paragraph long enough to wrap at the width it is laid out at, "
                           "so that a dump made at another width would differ from it.");
    home.Write("narrow.htm", "<CENTER><TABLE BORDER=1><TR><TD>one</TABLE></CENTER>");
    // A picture before and after each dump: the window gets its own size back.
    const std::string odd = "\xC3\xA9%41"; // "é%41"
    std::string list;
    for (const std::string page : {"wide", "narrow"})
        for (const std::string output : {"before.png", ".txt", "after.png"})
            list += home / (page + odd + output) + " " + home / (page + ".htm") + "\n";
    home.Write("list.txt", list);
    const LumoRun batch =
        RunLumo(home.Path(), {"--batch", Q(home / "list.txt"), "--size", "640x480"});
    ASSERT_EQ(batch.exitCode, 0) << batch.errors;
    for (const std::string page : {"wide", "narrow"}) {
        SCOPED_TRACE(page);
        const std::string address = home / (page + ".htm");
        const LumoRun dump =
            RunLumo(home.Path(), {"--dump-layout", "--size", "640x480", Q(address)});
        EXPECT_EQ(home.Read(page + odd + ".txt"), dump.output);
        const LumoRun shot =
            RunLumo(home.Path(), {"--screenshot", Q(home / ("single" + odd + ".png")), "--size",
                                  "640x480", Q(address)});
        ASSERT_EQ(shot.exitCode, 0) << shot.errors;
        const QImage single(Q(home / ("single" + odd + ".png")));
        EXPECT_FALSE(single.isNull());
        EXPECT_TRUE(QImage(Q(home / (page + odd + "before.png"))) == single);
        EXPECT_TRUE(QImage(Q(home / (page + odd + "after.png"))) == single);
    }
}

// 200 pages in one run come out as single runs draw them, a page that
// is never shown and one that does not exist in the middle stop nothing,
// and memory after 200 pages stays within a fifth of memory after 20.
TEST(Batch, TwoHundredPagesAsSingleRunsDrawThem) {
    LUMO_NEED_CORPUS(std::string(LUMO_CORPUS_DIR) + "/../pages");
    test::TempFolder home;
    const std::vector<std::string> pages = GeneratePages(home, 200);
    SilentServer silent;
    std::string list;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i == 100) {
            list += home / "missing.png" + " " + home / "pages/nothing.htm" + "\n";
            list += home / "silent.png" + " " + silent.Address() + "\n";
        }
        list += home / ("batch" + std::to_string(i) + ".png") + " " + pages[i] + "\n";
    }
    home.Write("list.txt", list);
    // The allocator's quarantine would hide what the pages keep.
    const std::vector<std::pair<QString, QString>> env{
        {"ASAN_OPTIONS", QString(qgetenv("ASAN_OPTIONS")) + ":quarantine_size_mb=0"}};
    const LumoRun batch = RunLumo(
        home.Path(), {"--batch", Q(home / "list.txt"), "--size", "640x480", "--timeout", "3"}, env,
        {}, 240'000);
    EXPECT_EQ(batch.exitCode, 1);
    EXPECT_NE(batch.errors.find("lumo: file://" + home / "pages/nothing.htm: "), std::string::npos)
        << batch.errors;
    EXPECT_NE(
        batch.errors.find("lumo: " + silent.Address() + ": the page was not shown within 3 s"),
        std::string::npos);
    EXPECT_FALSE(home.Exists("missing.png"));
    EXPECT_FALSE(home.Exists("silent.png"));

    const std::map<int, double> memory = MemoryByPages(batch.errors);
    ASSERT_TRUE(memory.count(20) && memory.count(202)) << batch.errors;
    EXPECT_LE(memory.at(202), memory.at(20) * 1.2) << batch.errors;

    // Single runs of a sample, two at a time: the first pages, those right
    // after the two that fail, and every tenth.
    std::vector<size_t> sample;
    for (size_t i = 0; i < pages.size(); ++i)
        if (i < 3 || (i >= 100 && i < 103) || i % 10 == 0) sample.push_back(i);
    std::string singles;
    for (const size_t i : sample)
        singles += "--screenshot " + home / ("single" + std::to_string(i) + ".png") +
                   " --size 640x480 " + pages[i] + "\n";
    home.Write("singles.txt", singles);
    ASSERT_EQ(std::system(("LUMO_HOME=" + home.Path() + " xargs -P 2 -L 1 " LUMO_BINARY " < " +
                           home / "singles.txt" + " 2>/dev/null")
                              .c_str()),
              0);
    for (const size_t i : sample) {
        const QImage expected(Q(home / ("single" + std::to_string(i) + ".png")));
        const QImage got(Q(home / ("batch" + std::to_string(i) + ".png")));
        ASSERT_FALSE(got.isNull() || expected.isNull()) << pages[i];
        EXPECT_TRUE(got == expected) << pages[i];
    }
    for (size_t i = 0; i < pages.size(); ++i)
        EXPECT_TRUE(home.Exists("batch" + std::to_string(i) + ".png")) << pages[i];
}

} // namespace
} // namespace lumo
