// What the viewer paints, checked pixel by pixel: background pictures of the
// page, blocks, tables, rows and cells, and the 3-D frames of tables. The
// tile is 8 x 8 red with one corner pixel of another colour, so a pixel
// tells where each tile starts.
#include "tests/image/gif_builder.h"
#include "tests/viewer/viewer_fixture.h"

#include "image/animation_clock.h"
#include "layout/block.h"
#include "layout/html_table.h"
#include "layout/inline_image.h"
#include "layout/list_item_block.h"
#include "platform/stream.h"

#include <QImage>

namespace lumo::test {
namespace {

constexpr QRgb Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF;

// An 8 x 8 tile, red with its top left pixel in corner (0xRRGGBB).
std::string Tile(uint32_t corner) {
    std::vector<int> pixels(64, 0);
    pixels[0] = 1;
    return GifHeader(8, 8, {0xFF0000, corner}) + GifImage(0, 0, 8, 8, pixels) + ";";
}

// Red, then blue, 100 ms each, played loops times (no loop extension: 0).
std::string RedThenBlue(int loops) {
    return GifHeader(8, 8, {0xFF0000, 0x0000FF}) + (loops ? GifLoop(loops) : "") + GifControl(10) +
           SolidImage(0, 0, 8, 8, 0) + GifControl(10) + SolidImage(0, 0, 8, 8, 1) + ";";
}

// A clock the test moves by hand.
struct HandClock : TAnimationClock {
    HandClock() : previous(SetAnimationClock(this)) {}
    ~HandClock() override { SetAnimationClock(previous); }
    int64_t Milliseconds() override { return now; }
    int64_t now = 1000;
    TAnimationClock* previous;
};

class PaintPixelsTest : public ViewerTest {
protected:
    PaintPixelsTest() {
        folder.Write("g.gif", Tile(0x00FF00));
        folder.Write("b.gif", Tile(0x0000FF));
    }
    QImage Shot() { return viewer.PaintPanel()->grab().toImage(); }
    // The colour at a document point.
    QRgb At(int x, int y) { return Shot().pixel(x - viewer.HScroll(), y - viewer.ScrollY()); }
    std::vector<TBlock*> Blocks() { return All<TBlock>(viewer.SectionList()); }
    std::vector<TTableCell*> Cells() {
        std::vector<TTableCell*> out;
        for (THtmlTable* t : All<THtmlTable>(viewer.SectionList()))
            for (const auto& row : t->Rows)
                for (const auto& cell : row->Cells)
                    out.push_back(cell.get());
        return out;
    }
    std::vector<TInlineImage*> Images() {
        std::vector<TInlineImage*> out;
        for (TSection* s : All<TSection>(viewer.SectionList()))
            for (auto& image : s->Images())
                out.push_back(image.get());
        return out;
    }
    QRgb Inside(const TInlineImage& image) { return At(image.LeftX + 3, image.PaintTop + 3); }
    // The top left corner of a cell's painted box.
    QPoint CellCorner(const TTableCell& cell, const THtmlTable& table) {
        return {cell.CellX + table.CellSpacing, cell.CellY + table.CellSpacing};
    }
};

TEST_F(PaintPixelsTest, ThePageBackgroundIsTiledAndScrollsWithTheText) {
    std::string html = "<BODY BACKGROUND=g.gif BGCOLOR=white>";
    for (int i = 0; i < 60; ++i)
        html += "<P>line " + std::to_string(i);
    Open("page.htm", html);
    Settle();
    const QImage top = Shot();
    EXPECT_EQ(top.pixel(0, 0), Green);
    EXPECT_EQ(top.pixel(1, 0), Red);
    EXPECT_EQ(top.pixel(8, 16), Green);
    EXPECT_EQ(top.pixel(9, 17), Red);
    viewer.ScrollTo(3);
    Settle();
    ASSERT_EQ(viewer.ScrollY(), 3);
    const QImage scrolled = Shot();
    EXPECT_EQ(scrolled.pixel(0, 5), Green); // document row 8
    EXPECT_EQ(scrolled.pixel(0, 0), Red);
}

// The body's style places its picture as a block's does, and the print copy
// of the page keeps that placing.
TEST_F(PaintPixelsTest, ThePageTakesItsPicturesPlacingFromTheBodysStyle) {
    Open("placed.htm", "<BODY STYLE=\"background: white url(g.gif) 200px 40px no-repeat\">text");
    Settle();
    EXPECT_EQ(At(200, 40), Green);
    EXPECT_EQ(At(201, 40), Red);
    // Where the next tiles would start.
    for (const QPoint p : {QPoint(208, 40), QPoint(192, 40), QPoint(200, 48), QPoint(200, 32)})
        EXPECT_EQ(At(p.x(), p.y()), White) << p.x() << "," << p.y();
    TSectionList copy{*viewer.SectionList().Measure};
    copy.CopyForPrinting(viewer.SectionList());
    EXPECT_EQ(copy.BackImage.Position, "200 40");
    EXPECT_EQ(copy.BackImage.Repeat, "no-repeat");
}

TEST_F(PaintPixelsTest, BlockPicturesStartAtTheirPaddingBoxAndAreNotInherited) {
    Open("block.htm", "<BODY BGCOLOR=white>"
                      "<DIV STYLE=\"background-image: url(g.gif); padding: 5px\">"
                      "<DIV STYLE=\"margin-left: 3px; height: 30px\">inner</DIV></DIV>");
    Settle();
    const auto blocks = Blocks(); // the body, then the two DIVs
    ASSERT_EQ(blocks.size(), 3u);
    const TBlock& outer = *blocks[1];
    const TBlock& inner = *blocks[2];
    ASSERT_TRUE(outer.BackImage && outer.BackImage->Shows());
    EXPECT_FALSE(inner.BackImage);
    const int left = outer.LeftX - 5, top = outer.TopY - 5;
    EXPECT_EQ(At(left, top), Green);
    EXPECT_EQ(At(left + 8, top + 8), Green);
    EXPECT_EQ(At(left - 1, top), White);
    // The inner block shows the outer tiling, not a tiling of its own.
    EXPECT_NE(At(inner.LeftX, inner.TopY), Green);
    EXPECT_EQ(At(left + 16, top + 32), Green);
}

TEST_F(PaintPixelsTest, TablesRowsAndCellsTakeTheirPictures) {
    Open("table.htm", "<BODY BGCOLOR=white>"
                      "<TABLE CELLSPACING=4 BACKGROUND=b.gif>"
                      "<TR BACKGROUND=g.gif><TD>row</TD><TD BACKGROUND=b.gif>own</TD></TR>"
                      "<TR><TD BGCOLOR=white>plain</TD><TD>none</TD></TR></TABLE>");
    Settle();
    THtmlTable& table = *All<THtmlTable>(viewer.SectionList()).at(0);
    const auto cells = Cells();
    ASSERT_EQ(cells.size(), 4u);
    struct Case {
        int cell;
        QRgb corner;
    };
    for (const Case& c : {Case{0, Green}, Case{1, Blue}, Case{2, White}}) {
        const QPoint p = CellCorner(*cells[c.cell], table);
        EXPECT_EQ(At(p.x(), p.y()), c.corner) << "cell " << c.cell;
    }
    // The table's own picture shows around and through cells without one.
    const TBlock& block = *Blocks().at(0);
    EXPECT_EQ(At(block.LeftX, block.TopY), Blue);
}

TEST_F(PaintPixelsTest, MissingPicturesLeaveTheColour) {
    Open("missing.htm", "<BODY BGCOLOR=white BACKGROUND=none.gif>"
                        "<TABLE><TR><TD BGCOLOR=blue BACKGROUND=nothere.gif>x</TD></TR></TABLE>"
                        "<DIV STYLE=\"background: url(broken.gif) #00FF00; height: 20px\"></DIV>");
    folder.Write("broken.gif", "GIF89a garbage");
    Settle();
    THtmlTable& table = *All<THtmlTable>(viewer.SectionList()).at(0);
    const QPoint p = CellCorner(*Cells().at(0), table);
    EXPECT_EQ(At(p.x() + 1, p.y() + 1), Blue);
    EXPECT_EQ(At(1, 1), White);
    const TBlock& div = *Blocks().back();
    EXPECT_EQ(At(div.LeftX + 1, div.TopY + 1), Green);
}

// TRANSP clears the lower-left pixel's colour (the tile's red) of that image
// alone: the same picture beside it, before and after, stays whole.
TEST_F(PaintPixelsTest, TranspClearsTheLowerLeftColourOfItsImageOnly) {
    Open("transp.htm", "<BODY BGCOLOR=white><IMG SRC=g.gif> <IMG SRC=g.gif TRANSP "
                       "WIDTH=16 HEIGHT=16> <IMG SRC=g.gif>");
    Settle();
    const std::vector<TInlineImage*> images = Images();
    ASSERT_EQ(images.size(), 3u);
    const TInlineImage& clear = *images[1];
    EXPECT_EQ(Inside(clear), White);
    EXPECT_EQ(At(clear.LeftX + clear.BoxWidth - 1, clear.PaintTop + clear.BoxHeight - 1), White);
    EXPECT_EQ(At(clear.LeftX, clear.PaintTop), Green);
    EXPECT_EQ(Inside(*images[0]), Red);
    EXPECT_EQ(Inside(*images[2]), Red);
}

TEST_F(PaintPixelsTest, APictureDeliveredLaterIsPaintedWithoutANewLayout) {
    viewer.OnImageRequest = [](THTMLViewer*, const std::string&, TStream*& stream) {
        stream = &WaitStream();
    };
    Open("late.htm", "<BODY BGCOLOR=white BACKGROUND=http://h/g.gif>"
                     "<TABLE><TR><TD BACKGROUND=http://h/g.gif>cell</TD></TR></TABLE>");
    Settle();
    THtmlTable& table = *All<THtmlTable>(viewer.SectionList()).at(0);
    const QPoint p = CellCorner(*Cells().at(0), table);
    EXPECT_EQ(At(0, 0), White);
    EXPECT_EQ(At(p.x(), p.y()), White);
    const int layouts = viewer.LayoutCount();
    TMemoryStream stream;
    const std::string gif = Tile(0x00FF00);
    stream.Write(gif.data(), gif.size());
    ASSERT_TRUE(viewer.DeliverImage("http://h/g.gif", stream));
    Settle();
    EXPECT_EQ(viewer.LayoutCount(), layouts);
    EXPECT_EQ(At(0, 0), Green);
    EXPECT_EQ(At(p.x(), p.y()), Green);
    // A new page forgets the picture of the old.
    Open("plain.htm", "<BODY BGCOLOR=white>text");
    Settle();
    EXPECT_EQ(At(0, 0), White);
}

TEST_F(PaintPixelsTest, TableFramesAreAsWideAsBorderInTheirColours) {
    Open("frames.htm", "<BODY BGCOLOR=white>"
                       "<TABLE BORDER=1><TR><TD>a</TD></TR></TABLE>"
                       "<TABLE BORDER=4 BORDERCOLORLIGHT=#00FF00 BORDERCOLORDARK=#0000FF>"
                       "<TR><TD>a</TD><TD BORDERCOLORDARK=#FF0000>b</TD></TR></TABLE>");
    Settle();
    const auto tables = All<THtmlTable>(viewer.SectionList());
    ASSERT_EQ(tables.size(), 2u);
    const THtmlTable& thin = *tables[0];
    const THtmlTable& wide = *tables[1];
    // Three more pixels of frame on every side of the body.
    EXPECT_EQ(wide.BodyHeight - thin.BodyHeight, 6);
    const TTableCell& a = *wide.Rows[0]->Cells[0];
    const TTableCell& b = *wide.Rows[0]->Cells[1];
    EXPECT_EQ(a.CellX - wide.LeftX, 3);
    EXPECT_EQ(a.CellY - wide.BodyTopY, 3);
    EXPECT_EQ(wide.TableWidth, 2 * 3 + wide.CellSpacing + a.Wd + b.Wd);

    const int left = wide.LeftX, top = wide.BodyTopY;
    const int right = left + wide.TableWidth - 1, bottom = top + wide.BodyHeight - 1;
    const int middle = top + wide.BodyHeight / 2;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(At(left + i, middle), Green) << i;
        EXPECT_EQ(At(left + 20, top + i), Green) << i;
        EXPECT_EQ(At(right - i, middle), Blue) << i;
        EXPECT_EQ(At(left + 20, bottom - i), Blue) << i;
    }
    EXPECT_EQ(At(left + 4, middle), White);
    // Cells are sunken: the shaded side above and left, a cell's own colour first.
    const QPoint ca = CellCorner(a, wide), cb = CellCorner(b, wide);
    EXPECT_EQ(At(ca.x() - 1, ca.y() + 2), Blue);
    EXPECT_EQ(At(cb.x() - 1, cb.y() + 2), Red);
    EXPECT_EQ(At(cb.x() + b.Wd - wide.CellSpacing, cb.y() + 2), Green);
}

TEST_F(PaintPixelsTest, AnimatedPicturesPlayTheirLoopsWhileInView) {
    HandClock clock;
    folder.Write("anim.gif", RedThenBlue(2));
    std::string html = "<BODY BGCOLOR=white><IMG SRC=anim.gif> <IMG SRC=anim.gif>";
    for (int i = 0; i < 80; ++i)
        html += "<P>line";
    Open("anim.htm", html + "<P><IMG SRC=anim.gif>");
    Settle();
    const auto images = Images();
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(viewer.SectionList().AnimatedImages.size(), 3u);
    EXPECT_TRUE(viewer.AnimationTimerRunning());
    ASSERT_GT(images[2]->PaintTop, viewer.PaintPanel()->height());

    // The first interval only starts the clock; two loops, then the last frame stays.
    const std::vector<QRgb> expected{Red, Blue, Red, Blue, Blue, Blue};
    std::vector<QRgb> first, second;
    for (size_t i = 0; i < expected.size(); ++i) {
        clock.now += 100;
        viewer.StepAnimations();
        Settle();
        first.push_back(Inside(*images[0]));
        second.push_back(Inside(*images[1]));
    }
    EXPECT_EQ(first, expected);
    EXPECT_EQ(second, expected);
    EXPECT_FALSE(images[0]->Animating());

    // The copy out of view waited on its first frame and plays once shown.
    EXPECT_TRUE(viewer.AnimationTimerRunning());
    viewer.ScrollTo(images[2]->PaintTop - 10);
    Settle();
    EXPECT_EQ(Inside(*images[2]), Red);
    const auto play = [&](int steps) {
        for (int i = 0; i < steps; ++i) {
            clock.now += 100;
            viewer.StepAnimations();
        }
        Settle();
    };
    play(6);
    EXPECT_EQ(Inside(*images[2]), Blue);
    viewer.StepAnimations();
    EXPECT_FALSE(viewer.AnimationTimerRunning());

    // A new layout plays every copy again from its first frame.
    viewer.resize(viewer.width() - 20, viewer.height());
    Settle();
    EXPECT_TRUE(viewer.AnimationTimerRunning());
    EXPECT_EQ(Inside(*images[2]), Red);
    viewer.ScrollTo(0);
    Settle();
    EXPECT_EQ(Inside(*images[0]), Red);
    play(2);
    EXPECT_EQ(Inside(*images[0]), Blue);

    // A new page stops everything the old one played.
    folder.Write("forever.gif", RedThenBlue(0));
    Open("forever.htm", "<IMG SRC=forever.gif>");
    Settle();
    EXPECT_TRUE(viewer.AnimationTimerRunning());
    Open("still.htm", "<BODY BGCOLOR=white>no pictures");
    Settle();
    EXPECT_TRUE(viewer.SectionList().AnimatedImages.empty());
    EXPECT_FALSE(viewer.AnimationTimerRunning());
}

TEST_F(PaintPixelsTest, ARollOverPictureShowsItsSecondFrameUnderTheMouse) {
    folder.Write("two.gif", RedThenBlue(0));
    Open("roll.htm", "<BODY BGCOLOR=white><P>text<P><IMG SRC=two.gif ACTIVE>");
    Settle();
    TInlineImage& image = *Images().at(0);
    EXPECT_FALSE(image.Animating());
    EXPECT_FALSE(viewer.AnimationTimerRunning());
    EXPECT_EQ(Inside(image), Red);
    Move({image.LeftX + 4, image.PaintTop + 4});
    Settle();
    EXPECT_EQ(Inside(image), Blue);
    Move({image.LeftX + image.BoxWidth + 40, image.PaintTop - 20});
    Settle();
    EXPECT_EQ(Inside(image), Red);
}

TEST_F(PaintPixelsTest, ListItemsShowTheirMarkerPicture) {
    Open("list.htm", "<BODY BGCOLOR=white><UL STYLE=\"list-style-image: url(g.gif)\">"
                     "<LI>one<LI>two<LI STYLE=\"list-style-image: url(gone.gif)\">three</UL>");
    Settle();
    const auto items = All<TListItemBlock>(viewer.SectionList());
    ASSERT_EQ(items.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        const TListItemBlock& item = *items[i];
        ASSERT_TRUE(item.MarkerImage && item.MarkerImage->Shows());
        // The corner pixels: its right edge 7 pixels before the text, its bottom on the baseline.
        EXPECT_EQ(At(item.LeftX - 15, item.FirstLine.Baseline - 8), Green) << i;
        EXPECT_EQ(At(item.LeftX - 8, item.FirstLine.Baseline - 1), Red) << i;
        EXPECT_NE(At(item.LeftX - 7, item.FirstLine.Baseline - 1), Red) << i;
    }
    EXPECT_FALSE(items[2]->MarkerImage && items[2]->MarkerImage->Shows());
    EXPECT_NE(At(items[2]->LeftX - 15, items[2]->FirstLine.Baseline - 8), Green);
}

} // namespace
} // namespace lumo::test
