// GIF animation: composition with each disposal, the timed steps with a fake
// clock, loop counts and speeds, copies, drawing. Animated inputs are put
// together by gifsicle from hand-made frames; ImageMagick's coalesced
// frames are the reference for composition.
#include "image/animation_clock.h"
#include "image/gif_image.h"
#include "platform/recording_canvas.h"
#include "tests/image/gif_builder.h"
#include "tests/image/image_tools.h"
#include "tests/support/temp_folder.h"

#include <QImage>

#include <gtest/gtest.h>

namespace lumo {
namespace {

using namespace test;

constexpr uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Black = 0xFF000000;
const std::vector<uint32_t> Colors = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

class FakeClock : public TAnimationClock {
public:
    FakeClock() { previous_ = SetAnimationClock(this); }
    ~FakeClock() override { SetAnimationClock(previous_); }
    int64_t Milliseconds() override { return Now; }
    int64_t Now = 1000;

private:
    TAnimationClock* previous_;
};

// Frames of one colour each (Red, Green, Blue, White), as separate GIF files.
std::vector<QString> WriteFrames(const TempFolder& folder, int count) {
    std::vector<QString> names;
    for (int i = 0; i < count; ++i) {
        const std::string name = "frame" + std::to_string(i) + ".gif";
        folder.Write(name, GifHeader(2, 2, Colors) + SolidImage(0, 0, 2, 2, i % 4) + ";");
        names.push_back(QString::fromStdString(name));
    }
    return names;
}

// gifsicle puts the frames together with the options before them.
bool Assemble(const TempFolder& folder, QStringList options, int frames, TGIFImage& image) {
    for (const QString& name : WriteFrames(folder, frames))
        options << name;
    options << "-o"
            << "out.gif";
    return RunTool("gifsicle", options, folder.Path()) &&
           image.LoadFromData(folder.Read("out.gif"));
}

// Steps every `tick` ms and lists the frames shown, until the animation
// stops or `ticks` steps have passed.
std::vector<int> Play(TGIFImage& image, FakeClock& clock, int tick, int ticks) {
    std::vector<int> shown{image.CurrentFrame()};
    image.SetAnimating(true);
    for (int i = 0; i < ticks && image.Animating(); ++i) {
        clock.Now += tick;
        if (image.StepAnimation()) shown.push_back(image.CurrentFrame());
    }
    return shown;
}

TEST(GifAnimation, LoopCounts) {
    // The count is how many times the animation plays; without the
    // extension it plays once, and 0 plays without end.
    const struct {
        QStringList options;
        int loops;
        std::vector<int> shown;
        bool stillAnimating;
    } rows[] = {
        {{"--no-loopcount", "-d", "10"}, 1, {1, 2}, false},
        {{"--loopcount=3", "-d", "10"}, 3, {1, 2, 1, 2, 1, 2}, false},
        {{"--loopcount=0", "-d", "10"}, 0, {1, 2, 1, 2, 1, 2, 1, 2, 1, 2}, true},
    };
    LUMO_NEED_TOOL("gifsicle");
    for (const auto& row : rows) {
        TempFolder folder;
        TGIFImage image;
        ASSERT_TRUE(Assemble(folder, row.options, 2, image)) << image.Error();
        EXPECT_EQ(image.LoopCount(), row.loops);
        FakeClock clock;
        // The first interval that ends only starts the clock: frame 1 shows twice its delay.
        EXPECT_EQ(Play(image, clock, 100, 10), row.shown) << row.loops;
        EXPECT_EQ(image.Animating(), row.stillAnimating);
        EXPECT_EQ(image.CurrentFrame(), 2);
    }
}

TEST(GifAnimation, DelaysFollowTheSpeed) {
    LUMO_NEED_TOOL("gifsicle");
    TempFolder folder;
    TGIFImage image;
    ASSERT_TRUE(Assemble(folder, {"-d", "10", "--loopcount=0"}, 3, image)) << image.Error();
    EXPECT_EQ(image.Frame(1).Delay, 100);
    FakeClock clock;
    image.SpeedPercent = 200; // 100 ms at double speed: 50 ms
    image.SetAnimating(true);
    const struct {
        int at;
        bool changed;
        int frame;
    } steps[] = {{49, false, 1},  {50, false, 1}, {99, false, 1}, {100, true, 2},
                 {149, false, 2}, {150, true, 3}, {200, true, 1}};
    const int64_t start = clock.Now;
    for (const auto& step : steps) {
        clock.Now = start + step.at;
        EXPECT_EQ(image.StepAnimation(), step.changed) << step.at;
        EXPECT_EQ(image.CurrentFrame(), step.frame) << step.at;
    }
    // No speed holds the frame, without dividing by it.
    image.SpeedPercent = 0;
    clock.Now += 100000;
    EXPECT_FALSE(image.StepAnimation());
    image.SetAnimating(false);
    image.SetAnimating(true);
    clock.Now += 100000;
    EXPECT_FALSE(image.StepAnimation());
    EXPECT_EQ(image.CurrentFrame(), 1);
}

TEST(GifAnimation, ZeroDelayAdvancesAtEveryStep) {
    LUMO_NEED_TOOL("gifsicle");
    TempFolder folder;
    TGIFImage image;
    ASSERT_TRUE(Assemble(folder, {"-d", "0", "--loopcount=0"}, 4, image)) << image.Error();
    FakeClock clock;
    EXPECT_EQ(Play(image, clock, 50, 7), (std::vector<int>{1, 2, 3, 4, 1, 2, 3}));
}

// Frames of a 6 x 6 picture: red all over, green 3 x 3 at (1,1), blue 2 x 2
// at (3,3), and a white bottom row; each a GIF of its own for gifsicle.
void WriteLayeredFrames(const TempFolder& folder) {
    const auto write = [&](const char* name, int l, int t, int w, int h, int index) {
        folder.Write(name, GifHeader(6, 6, Colors) + SolidImage(l, t, w, h, index) + ";");
    };
    write("a.gif", 0, 0, 6, 6, 0);
    write("b.gif", 1, 1, 3, 3, 1);
    write("c.gif", 3, 3, 2, 2, 2);
    write("d.gif", 0, 5, 6, 1, 3);
}

TEST(GifAnimation, DisposalMatchesCoalescedFrames) {
    LUMO_NEED_TOOL("gifsicle");
    LUMO_NEED_TOOL("convert");
    for (const char* disposal : {"background", "previous", "none"}) {
        TempFolder folder;
        WriteLayeredFrames(folder);
        const QString second = QString("--disposal=") + disposal;
        ASSERT_TRUE(RunTool("gifsicle",
                            {"--disposal=none", "a.gif", second, "b.gif", "c.gif",
                             "--disposal=none", "d.gif", "-o", "out.gif"},
                            folder.Path()));
        ASSERT_TRUE(RunTool("convert", {"out.gif", "-coalesce", "frame-%d.png"}, folder.Path()));
        TGIFImage image;
        ASSERT_TRUE(image.LoadFromData(folder.Read("out.gif"))) << image.Error();
        ASSERT_EQ(image.FrameCount(), 4);
        for (int n = 1; n <= 4; ++n) {
            image.SelectFrame(n);
            const QImage expected =
                QImage(QString::fromStdString(folder / ("frame-" + std::to_string(n - 1) + ".png")))
                    .convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(expected.size(), QSize(6, 6));
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 6; ++x) {
                    // Restoring to background clears to transparent there; an
                    // opaque picture has no transparency, so it shows black.
                    const QRgb want = expected.pixel(x, y);
                    EXPECT_EQ(image.WorkBitmap().At(x, y), qAlpha(want) ? want : Black)
                        << disposal << " frame " << n << " at " << x << "," << y;
                }
        }
    }
}

// Transparent pixels leave what is below. Where no frame has drawn, and
// where a frame restores to background, the picture is transparent only
// when its first frame is: an opaque first frame makes the picture black
// there, whatever transparent frames come later.
TEST(GifAnimation, TransparentFramesLeaveWhatIsBelow) {
    constexpr uint32_t Clear = 0;
    const struct {
        const char* name;
        std::string gif;
        std::vector<std::vector<uint32_t>> frames; // the work picture after each frame
        bool showsThrough;
    } rows[] = {
        {"opaque first frame, smaller than the picture",
         GifHeader(3, 1, Colors) + SolidImage(0, 0, 2, 1, 0) + GifControl(0, 2, 3) +
             GifImage(0, 0, 3, 1, {3, 1, 3}) + GifImage(2, 0, 1, 1, {2}),
         {{Red, Red, Black}, {Red, Green, Black}, {Black, Black, Blue}},
         false},
        {"transparent first frame",
         GifHeader(3, 1, Colors) + GifControl(0, 0, 3) + GifImage(0, 0, 2, 1, {0, 3}) +
             GifControl(0, 2, 3) + GifImage(0, 0, 3, 1, {3, 1, 3}) + GifImage(2, 0, 1, 1, {2}),
         {{Red, Clear, Clear}, {Red, Green, Clear}, {Clear, Clear, Blue}},
         true},
    };
    for (const auto& row : rows) {
        TGIFImage image;
        ASSERT_TRUE(image.LoadFromData(row.gif)) << row.name;
        EXPECT_TRUE(image.HasTransparency()) << row.name;
        EXPECT_EQ(image.ShowsThrough(), row.showsThrough) << row.name;
        for (int n = 1; n <= static_cast<int>(row.frames.size()); ++n) {
            image.SelectFrame(n);
            EXPECT_EQ(image.WorkBitmap().Pixels, row.frames[n - 1]) << row.name << " frame " << n;
        }
    }
}

TEST(GifAnimation, CopiesShareFramesAndAnimateOnTheirOwn) {
    const std::string gif = GifHeader(1, 1, Colors) + GifLoop(0) + GifControl(1) +
                            SolidImage(0, 0, 1, 1, 0) + GifControl(1) + SolidImage(0, 0, 1, 1, 1);
    TGIFImage image;
    ASSERT_TRUE(image.LoadFromData(gif));
    image.SelectFrame(2);
    const std::unique_ptr<TGIFImage> copy = image.Clone();
    EXPECT_EQ(&copy->Frame(1), &image.Frame(1));
    EXPECT_EQ(copy->WorkBitmap().Pixels, image.WorkBitmap().Pixels);
    copy->SelectFrame(1);
    EXPECT_EQ(copy->WorkBitmap().At(0, 0), Red);
    EXPECT_EQ(image.WorkBitmap().At(0, 0), Green);
    copy->MapColors([](uint32_t) { return Blue; });
    EXPECT_EQ(copy->WorkBitmap().At(0, 0), Blue);
    EXPECT_EQ(image.Frame(1).Palette[0], Red);
}

TEST(GifAnimation, DrawsTheComposedPictureStretched) {
    TGIFImage image;
    ASSERT_TRUE(image.LoadFromData(GifHeader(3, 2, Colors) + SolidImage(0, 0, 3, 2, 1)));
    RecordingCanvas canvas;
    image.Draw(canvas, {10, 20, 16, 28});
    EXPECT_EQ(canvas.Log, "BITMAP 10 20 16 28 from 3x2 0 0 3 2\n");
    image.Visible = false;
    image.Draw(canvas, {0, 0, 6, 4});
    EXPECT_EQ(image.DrawRect().Right, 6);
    EXPECT_EQ(canvas.Log, "BITMAP 10 20 16 28 from 3x2 0 0 3 2\n");
}

} // namespace
} // namespace lumo
