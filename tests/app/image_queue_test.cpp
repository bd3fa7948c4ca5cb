// The image fetch queue against a real nginx: at most ten fetches at once,
// every picture settled before "DONE" with one layout for those that arrive
// together, the disk cache on a second visit, Reload, failures that are
// counted but never shown or cached, and Stop, leaving and reloading while
// pictures are still on their way.
#include "app/command_line.h"
#include "app/image_queue.h"

#include "layout/block.h"
#include "layout/inline_image.h"
#include "layout/text_section.h"
#include "net/disk_cache.h"
#include "platform/file_system.h"
#include "platform/stream.h"

#include "tests/app/navigation_fixture.h"
#include "tests/image/gif_builder.h"
#include "tests/support/scripted_server.h"

#include <QProgressBar>
#include <QTimer>

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>

namespace lumo::test {
namespace {

constexpr int PictureCount = 25;
// What the tests let one picture's fetch keep.
constexpr int64_t PictureLimit = 64 * 1024;

class ImageQueueTest : public SiteTest {
protected:
    static void SetUpTestSuite() {
        StartSite(WriteSite,
                  // Pictures take a while, so several are in flight together.
                  "location ~ ^/g { limit_rate 100k; }\n"
                  "location ~ ^/w { limit_rate_after 10; limit_rate 10k; }\n"
                  "location ~ ^/slow[0-9] { limit_rate_after 10; limit_rate 50; }\n"
                  "location = /long.htm { limit_rate_after 1k; limit_rate 40k; }\n"
                  "location ~ ^/o[a-z]+[0-9]?\\.gif { limit_rate 4k; }\n",
                  "log_format active '$connections_active \"$request\"';", "active");
    }
    static void TearDownTestSuite() { StopSite(); }
    static void WriteSite(const TempFolder& site) {
        std::string gallery = "<TITLE>Gallery</TITLE><P>";
        for (int i = 0; i < PictureCount; ++i) {
            const std::string name = "g" + std::to_string(i) + ".gif";
            // About 20 KB each: a picture with a long comment block.
            const std::string comment = "\x21\xFE" + SubBlocks(std::string(20000, 'c'));
            site.Write(name, GifHeader(40, 30, {0xFF0000, 0x00FF00}) + comment +
                                 SolidImage(0, 0, 40, 30, 1) + ";");
            gallery += "<IMG SRC=\"" + name + "\"> ";
        }
        site.Write("gallery.htm", gallery);
        // Pictures of about two seconds each, for counting connections.
        for (int i = 0; i < 12; ++i)
            site.Write("w" + std::to_string(i) + ".gif",
                       site.Read("g" + std::to_string(i) + ".gif"));
        site.Write("failing.htm", "<P><IMG SRC=\"missing.gif\" ALT=gone>"
                                  "<IMG SRC=\"http://127.0.0.1:" +
                                      std::to_string(FreeLoopbackPort()) +
                                      "/refused.gif\"><IMG SRC=\"g0.gif\">");
        const std::string gif = site.Read("g0.gif");
        site.Write("slow1.gif", gif);
        site.Write("slow2.gif", gif);
        site.Write("slow.htm", "<P><IMG SRC=\"slow1.gif\"><IMG SRC=\"slow2.gif\">");
        site.Write("other.htm", "<P>elsewhere");
        // Asked for slowest first: the last to arrive is the first on the page.
        // nginx sends a second's worth at once, so the small ones come together.
        const auto sized = [](int bytes) {
            return GifHeader(4, 4, {0xFF0000, 0x00FF00}) + "\x21\xFE" +
                   SubBlocks(std::string(bytes, 'c')) + SolidImage(0, 0, 4, 4, 1) + ";";
        };
        site.Write("olate.gif", sized(10000));
        site.Write("omid.gif", sized(6000));
        site.Write("osoon1.gif", sized(10));
        site.Write("osoon2.gif", sized(10));
        site.Write("order.htm", "<P><IMG SRC=\"olate.gif\"><IMG SRC=\"omid.gif\">"
                                "<IMG SRC=\"osoon1.gif\"><IMG SRC=\"osoon2.gif\">");
        site.Write("long.htm", "<TITLE>Long</TITLE><P>" + std::string(40000, 'x') + " end");
        // Whole pictures whose files, with what follows their end, are as
        // long as a picture may be, and a byte longer.
        const std::string small = sized(10);
        site.Write("atlimit.gif", small + std::string(PictureLimit - small.size(), 'x'));
        site.Write("pastlimit.gif", small + std::string(PictureLimit + 1 - small.size(), 'x'));
    }

    int PictureHits() const {
        int hits = 0;
        for (int i = 0; i < PictureCount; ++i)
            hits += Hits("/g" + std::to_string(i) + ".gif");
        return hits;
    }
    // The most connections nginx had open when it logged a request.
    int MostActive() const {
        int most = 0;
        for (const std::string& line : SplitLines(Log()))
            most = std::max(most, std::atoi(line.c_str()));
        return most;
    }
    // How many nginx had open when it logged the first request.
    int FirstActive() const { return std::atoi(Log().c_str()); }
    void Open(const std::string& path) {
        form->NavigateTo(Url(path));
        QCoreApplication::processEvents();
    }
    bool WaitForDone() {
        return PumpUntil([this] { return form->Status2->text() == "DONE"; }, 20000);
    }
    std::vector<TInlineImage*> Pictures() {
        std::vector<TInlineImage*> out;
        THTMLViewer* viewer = form->FrameBrowser->FocusedViewer();
        if (!viewer) return out;
        for (TSection* s : AllSections(viewer->SectionList()))
            for (auto& image : s->Images())
                out.push_back(image.get());
        return out;
    }
    static std::vector<TSection*> AllSections(const TCellBasic& cell) {
        std::vector<TSection*> out;
        for (const auto& item : cell) {
            if (auto* s = dynamic_cast<TSection*>(item.get())) out.push_back(s);
            if (auto* b = dynamic_cast<TBlock*>(item.get()))
                for (TSection* s : AllSections(b->Content))
                    out.push_back(s);
        }
        return out;
    }
    int Shown() {
        auto pictures = Pictures();
        return static_cast<int>(
            std::count_if(pictures.begin(), pictures.end(),
                          [](TInlineImage* p) { return p->State() == TPictureState::Real; }));
    }
    bool Cached(const std::string& path) {
        std::string file;
        int kind = 0;
        return form->DiskCache().Lookup(Url(path), file, kind);
    }
};

TEST_F(ImageQueueTest, TwentyFivePicturesTenAtATimeThenTheCacheThenReload) {
    // The gauge must never show 100 before the last picture is in.
    bool fullEarly = false;
    QObject::connect(form->ProgressBar, &QProgressBar::valueChanged, [&](int value) {
        if (value == 100 && form->ImagesTotal == PictureCount && Shown() < PictureCount)
            fullEarly = true;
    });
    Open("/gallery.htm");
    EXPECT_NE(form->Status2->text(), "DONE");
    const THTMLViewer* viewer = form->FrameBrowser->FocusedViewer();
    ASSERT_NE(viewer, nullptr);
    const int layoutsBefore = viewer->LayoutCount();
    const int paintsBefore = viewer->PaintCount();
    ASSERT_TRUE(WaitForDone());
    EXPECT_EQ(Shown(), PictureCount);
    // The pictures have no size in the page, but those that arrive together
    // are laid out together, and painted together: far fewer layouts and
    // paints than pictures.
    EXPECT_LT(viewer->LayoutCount() - layoutsBefore, PictureCount / 2);
    EXPECT_LT(viewer->PaintCount() - paintsBefore, PictureCount / 2);
    EXPECT_EQ(form->ImagesDone, PictureCount);
    EXPECT_EQ(form->ProgressBar->value(), 100);
    EXPECT_FALSE(fullEarly);
    EXPECT_EQ(PictureHits(), PictureCount);
    EXPECT_LE(MostActive(), TImageQueue::MaxJobs + 1); // the page's own connection may linger
    EXPECT_GE(MostActive(), 3);
    EXPECT_TRUE(form->ImageQueue().Idle());

    // Again: every picture from the cache, at once, with no timer.
    Open("/other.htm");
    Open("/gallery.htm");
    EXPECT_EQ(form->Status2->text(), "DONE");
    EXPECT_FALSE(form->ImageQueue().TimerEnabled());
    EXPECT_EQ(Shown(), PictureCount);
    EXPECT_EQ(PictureHits(), PictureCount);

    // Reload fetches them all again.
    form->ReloadClick();
    ASSERT_TRUE(WaitForDone());
    EXPECT_EQ(Shown(), PictureCount);
    EXPECT_EQ(PictureHits(), 2 * PictureCount);
}

// A page from disk, so the pictures' are the only connections: when the
// first picture ends, the queue has every connection it may have open, and
// no more.
TEST_F(ImageQueueTest, AsManyConnectionsAsTheQueueMayOpen) {
    constexpr int AtOnce = 10; // not MaxJobs: the number itself is what is tested
    TempFolder local;
    std::string page = "<P>";
    for (int i = 0; i < AtOnce + 2; ++i)
        page += "<IMG SRC=\"" + Url("/w" + std::to_string(i) + ".gif") + "\">";
    local.Write("page.htm", page);
    form->NavigateTo(FileAddressOf(local / "page.htm"));
    ASSERT_TRUE(WaitForDone());
    EXPECT_EQ(FirstActive(), AtOnce) << Log();
    EXPECT_LE(MostActive(), AtOnce + 1) << Log(); // one may be closing
}

TEST_F(ImageQueueTest, FailuresShowTheErrorPictureAndAreNeverCached) {
    Open("/failing.htm");
    ASSERT_TRUE(WaitForDone());
    EXPECT_EQ(form->ImagesTotal, 3);
    EXPECT_EQ(form->ImagesDone, 3);
    auto pictures = Pictures();
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(pictures[0]->State(), TPictureState::Error); // a 404 page is no picture
    EXPECT_EQ(pictures[1]->State(), TPictureState::Error); // nobody listening
    EXPECT_EQ(pictures[2]->State(), TPictureState::Real);
    EXPECT_FALSE(Cached("/missing.gif"));
    EXPECT_TRUE(Cached("/g0.gif"));
}

// A local picture asked for while a page is still arriving is read through
// a connection of its own; the page's fetch goes on untouched.
TEST_F(ImageQueueTest, ALocalPictureLeavesTheDocumentFetchAlone) {
    TempFolder local;
    local.Write("pic.gif", Site().Read("g0.gif"));
    int64_t size = -1;
    QTimer::singleShot(200, [&] {
        TStream* stream = nullptr;
        form->ImageQueue().GetImageRequest(nullptr, FileAddressOf(local / "pic.gif"), stream);
        size = stream ? stream->Size() : 0;
    });
    Open("/long.htm");
    EXPECT_EQ(size, static_cast<int64_t>(Site().Read("g0.gif").size()));
    EXPECT_EQ(form->windowTitle(), "Long");
    EXPECT_EQ(Status(1), "Received " + std::to_string(Site().Read("long.htm").size()) + " bytes");
}

TEST_F(ImageQueueTest, StopLeavingAndReloadingWithPicturesOnTheirWay) {
    Open("/slow.htm");
    ASSERT_FALSE(form->ImageQueue().Idle());
    form->CancelButtonClick();
    EXPECT_TRUE(form->ImageQueue().Idle());
    EXPECT_EQ(form->Status2->text(), "DONE");

    Open("/slow.htm");
    Open("/other.htm"); // the old page's pictures are dropped with its viewer's document
    EXPECT_TRUE(form->ImageQueue().Idle());
    Open("/slow.htm");
    form->ReloadClick(); // the same address again while its pictures come
    form->CancelButtonClick();
    PumpFor(300);
    EXPECT_TRUE(form->ImageQueue().Idle());
}

// A picture's fetch keeps no more bytes than a picture may take: a file of
// that length is shown; one a byte longer, or a server that never stops
// sending, has its fetch ended there, shows the error picture and is not
// cached.
TEST_F(ImageQueueTest, APictureLongerThanAPictureMayBeIsCutOffAndShownBroken) {
    constexpr int64_t Endless = int64_t{256} << 20;
    std::atomic<int64_t> sent{0};
    ScriptedServer endless([&sent](ScriptedConnection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\nContent-Type: image/gif\r\n\r\n");
        const std::string chunk(1 << 16, 'c');
        while (sent < Endless) {
            pollfd p{c.Descriptor(), POLLOUT, 0};
            if (poll(&p, 1, 5000) <= 0 || (p.revents & (POLLERR | POLLHUP))) break;
            const ssize_t n = send(c.Descriptor(), chunk.data(), chunk.size(), MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += n;
        }
    });
    Site().Write("budget.htm", "<P><IMG SRC=\"atlimit.gif\"><IMG SRC=\"pastlimit.gif\">"
                               "<IMG SRC=\"" +
                                   endless.Address("/endless.gif") + "\">");
    form->ImageQueue().MaxPictureBytes = PictureLimit;
    Open("/budget.htm");
    ASSERT_TRUE(WaitForDone());
    std::vector<TPictureState> states;
    for (TInlineImage* picture : Pictures())
        states.push_back(picture->State());
    EXPECT_EQ(states, (std::vector<TPictureState>{TPictureState::Real, TPictureState::Error,
                                                  TPictureState::Error}));
    EXPECT_LT(sent, Endless / 8); // the socket's buffers, not the whole body
    EXPECT_TRUE(Cached("/atlimit.gif"));
    EXPECT_FALSE(Cached("/pastlimit.gif"));
    EXPECT_EQ(form->ImagesDone, 3);
}

// Pictures go in as their fetches finish, not in page order.
TEST_F(ImageQueueTest, FinishedPicturesGoInTheOrderTheyCame) {
    Open("/order.htm");
    const auto pictures = Pictures();
    ASSERT_EQ(pictures.size(), 4u);
    const std::string names[] = {"late", "mid", "soon1", "soon2"};
    std::vector<std::string> inserted;
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (size_t i = 0; i < pictures.size(); ++i)
                if (pictures[i]->State() == TPictureState::Real &&
                    std::find(inserted.begin(), inserted.end(), names[i]) == inserted.end()) {
                    inserted.push_back(names[i]);
                }
            return inserted.size() == pictures.size();
        },
        20000));
    ASSERT_EQ(inserted.size(), 4u);
    EXPECT_EQ(inserted[0].substr(0, 4), "soon");
    EXPECT_EQ(inserted[1].substr(0, 4), "soon");
    EXPECT_EQ(inserted[2], "mid");
    EXPECT_EQ(inserted[3], "late");
    EXPECT_TRUE(WaitForDone());
}

} // namespace
} // namespace lumo::test
