// Pictures in pages: box sizes, pictures that arrive late, links and maps on
// pictures, painting, and the cache a print copy shares.
#include "tests/image/gif_builder.h"
#include "tests/image/picture_files.h"
#include "tests/support/layout_fixture.h"

#include "layout/font_run.h"
#include "layout/inline_image.h"
#include "layout/picture_source.h"
#include "platform/stream.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace lumo::test {
namespace {

std::string SolidGif(int width, int height) {
    return GifHeader(width, height, {0xFF0000, 0x00FF00}) + SolidImage(0, 0, width, height, 1) +
           ";";
}

// A page whose pictures a host answers: a name in pictures is delivered at
// once, "wait*" names come later, any other name is missing.
struct PicturePage {
    explicit PicturePage(std::string html, int width = 300) : html_(std::move(html)) {
        list.Pictures.OnImageRequest = [this](const std::string& name, TStream*& stream) {
            ++requests[name];
            if (name.starts_with("wait")) {
                stream = &WaitStream();
            } else if (auto it = pictures.find(name); it != pictures.end()) {
                answer.Clear();
                answer.Write(it->second.data(), it->second.size());
                stream = &answer;
            } else {
                stream = nullptr;
            }
            return true;
        };
        width_ = width;
    }
    PicturePage& Build() {
        ParseHtmlBuffer(list, html_);
        return LayOut(width_);
    }
    PicturePage& LayOut(int width) {
        TLayoutSettings settings;
        settings.Width = width_ = width;
        result = LayOutAgain(list, canvas, settings);
        return *this;
    }
    std::vector<TInlineImage*> Images() {
        std::vector<TInlineImage*> out;
        for (TSection* s : All<TSection>(list))
            for (auto& image : s->Images())
                out.push_back(image.get());
        return out;
    }
    TInlineImage& Image(size_t i = 0) { return *Images().at(i); }
    // Delivers a picture as the host would; true when a layout was asked for.
    bool Deliver(const std::string& name, const std::string& bytes) {
        TMemoryStream s;
        s.Write(bytes.data(), bytes.size());
        bool relayout = false;
        list.Pictures.ImageArrived(name, s, relayout);
        return relayout;
    }
    std::string LinkAt(int X, int Y) {
        const TUrlTarget* target = nullptr;
        TFormControl* control = nullptr;
        return list.LinkAtPoint(canvas, X, Y, target, control) ? target->Url : "(none)";
    }

    std::map<std::string, std::string> pictures{{"p40x30", SolidGif(40, 30)},
                                                {"tall", SolidGif(1, 3000)},
                                                {"broken", "GIF89a garbage"},
                                                {"zero", GifHeader(0, 0, {0, 0}) + ";"}};
    std::map<std::string, int> requests;
    RecordingCanvas canvas;
    TSectionList list{canvas};
    TLayoutResult result;
    TMemoryStream answer;

private:
    std::string html_;
    int width_;
};

TEST(ImageLayout, BoxSizes) {
    const struct {
        const char* html;
        int width, height;
        TPictureState state;
    } rows[] = {
        // The picture's own size, or scaled keeping its shape.
        {"<IMG SRC=p40x30>", 40, 30, TPictureState::Real},
        {"<IMG SRC=p40x30 WIDTH=80>", 80, 60, TPictureState::Real},
        {"<IMG SRC=p40x30 HEIGHT=15>", 20, 15, TPictureState::Real},
        {"<IMG SRC=p40x30 WIDTH=7 HEIGHT=9>", 7, 9, TPictureState::Real},
        {"<IMG SRC=p40x30 WIDTH=50%>", 140, 30, TPictureState::Real}, // of 280
        {"<IMG SRC=p40x30 WIDTH=100%>", 280, 30, TPictureState::Real},
        {"<IMG SRC=p40x30 WIDTH=101%>", 101, 75, TPictureState::Real}, // past 100: pixels
        {"<IMG SRC=p40x30 WIDTH=0%>", 40, 30, TPictureState::Real},
        // A style's width and height count over the attributes'; what it
        // leaves unset or cannot use leaves them be.
        {"<IMG SRC=p40x30 STYLE=\"width: 80px\">", 80, 60, TPictureState::Real},
        {"<IMG SRC=p40x30 STYLE=\"height: 15px\">", 20, 15, TPictureState::Real},
        {"<IMG SRC=p40x30 WIDTH=7 HEIGHT=9 STYLE=\"width: 41px; height: 3px\">", 41, 3,
         TPictureState::Real},
        // A style's percentage keeps the shape, unlike WIDTH=50% above.
        {"<IMG SRC=p40x30 STYLE=\"width: 50%\">", 140, 105, TPictureState::Real},
        {"<IMG SRC=p40x30 STYLE=\"width: 50%; height: 20px\">", 140, 20, TPictureState::Real},
        {"<IMG SRC=p40x30 WIDTH=7 STYLE=\"width: 101%; height: 50%\">", 7, 5, TPictureState::Real},
        {"<IMG SRC=p40x30 WIDTH=7 HEIGHT=9 STYLE=\"width: auto; height: -5px\">", 7, 9,
         TPictureState::Real},
        {"<STYLE>IMG.big { width: 80px }</STYLE><IMG SRC=p40x30 CLASS=big>", 80, 60,
         TPictureState::Real},
        // Scaling that needs more than 32 bits stays in bounds.
        {"<IMG SRC=tall WIDTH=1000000>", 1000000, 1000000, TPictureState::Real},
        {"<IMG SRC=p40x30 WIDTH=1000001 HEIGHT=1000001>", 1000000, 1000000, TPictureState::Real},
        // A link puts a frame around it, unless BORDER=0 or a style takes
        // every side away; a style's own border stands in its place.
        {"<A HREF=x><IMG SRC=p40x30></A>", 42, 32, TPictureState::Real},
        {"<A HREF=x><IMG SRC=p40x30 BORDER=0></A>", 40, 30, TPictureState::Real},
        {"<STYLE>IMG { border: 0px }</STYLE><A HREF=x><IMG SRC=p40x30></A>", 40, 30,
         TPictureState::Real},
        {"<A HREF=x><IMG SRC=p40x30 STYLE=\"border: none\"></A>", 40, 30, TPictureState::Real},
        {"<A HREF=x><IMG SRC=p40x30 STYLE=\"border-width: 0; border-left: thin solid\"></A>", 42,
         30, TPictureState::Real},
        {"<IMG SRC=p40x30 STYLE=\"border: 3px solid red\">", 46, 36, TPictureState::Real},
        {"<IMG SRC=p40x30 STYLE=\"border: 16px yellow; border-style: solid none\">", 40, 62,
         TPictureState::Real},
        {"<IMG SRC=p40x30 STYLE=\"border: 3px\">", 40, 30, TPictureState::Real}, // no line
        // Stand-ins: at least 24 high, room for the ALT text beside the picture.
        {"<IMG SRC=wait1>", 26, 24, TPictureState::Placeholder},
        {"<IMG SRC=wait1 WIDTH=30 HEIGHT=12>", 30, 12, TPictureState::Placeholder},
        {"<IMG SRC=missing>", 26, 24, TPictureState::Error},
        {"<IMG SRC=broken WIDTH=5 HEIGHT=6>", 5, 6, TPictureState::Error},
        {"<IMG SRC=zero>", 26, 24, TPictureState::Error}, // nothing to scale from
        {"<IMG>", 26, 24, TPictureState::Error},
    };
    for (const auto& row : rows) {
        PicturePage page(row.html);
        page.Build();
        TInlineImage& image = page.Image();
        EXPECT_EQ(image.BoxWidth, row.width) << row.html;
        EXPECT_EQ(image.BoxHeight, row.height) << row.html;
        EXPECT_EQ(image.State(), row.state) << row.html;
    }
}

// A style floats a picture and places it on its line; its side margins
// space it where it sets them, up to 1000 pixels, never below 0.
TEST(ImageLayout, StylePlacesPictures) {
    const struct {
        const char* html;
        TAlignCode align;
        int left, right;
    } rows[] = {
        {"<IMG SRC=p40x30 STYLE=\"float: left\">", TAlignCode::FloatLeft, 0, 0},
        {"<IMG SRC=p40x30 STYLE=\"float: right\">", TAlignCode::FloatRight, 0, 0},
        {"<IMG SRC=p40x30 ALIGN=LEFT>", TAlignCode::FloatLeft, 3, 3},
        {"<IMG SRC=p40x30 ALIGN=RIGHT STYLE=\"float: none\">", TAlignCode::Baseline, 3, 3},
        {"<IMG SRC=p40x30 ALIGN=TOP STYLE=\"float: none\">", TAlignCode::Top, 0, 0},
        {"<IMG SRC=p40x30 STYLE=\"vertical-align: middle; margin-left: 7px\">", TAlignCode::Middle,
         7, 0},
        {"<IMG SRC=p40x30 HSPACE=5 STYLE=\"margin-right: 9px\">", TAlignCode::Baseline, 5, 9},
        {"<STYLE>IMG { vertical-align: top }</STYLE><IMG SRC=p40x30>", TAlignCode::Top, 0, 0},
        {"<P STYLE=\"vertical-align: top\">x <IMG SRC=p40x30 ALIGN=MIDDLE>", TAlignCode::Middle, 0,
         0},
        {"<TABLE><TR><TD STYLE=\"vertical-align: bottom\"><IMG SRC=p40x30></TABLE>",
         TAlignCode::Baseline, 0, 0},
        {"<IMG SRC=p40x30 STYLE=\"margin: -4px 1001px\">", TAlignCode::Baseline, 1000, 1000},
    };
    for (const auto& row : rows) {
        PicturePage page(row.html);
        page.Build();
        const TInlineImage& image = page.Image();
        EXPECT_EQ(int(image.AlignCode), int(row.align)) << row.html;
        EXPECT_EQ(image.SpaceLeft, row.left) << row.html;
        EXPECT_EQ(image.SpaceRight, row.right) << row.html;
    }
}

// HSPACE and VSPACE keep at most 40 pixels on each side, whatever the sign.
TEST(ImageLayout, SpacingIsBounded) {
    const struct {
        const char* html;
        int left, top;
    } rows[] = {
        {"<IMG SRC=p40x30 HSPACE=39 VSPACE=40>", 39, 40},
        {"<IMG SRC=p40x30 HSPACE=41 VSPACE=-41>", 40, 40},
        {"<IMG SRC=p40x30 HSPACE=-40 VSPACE=99999999999>", 40, 40},
    };
    for (const auto& row : rows) {
        PicturePage page(row.html);
        page.Build();
        const TInlineImage& image = page.Image();
        EXPECT_EQ(image.SpaceLeft, row.left) << row.html;
        EXPECT_EQ(image.SpaceRight, row.left) << row.html;
        EXPECT_EQ(image.SpaceTop, row.top) << row.html;
        EXPECT_EQ(image.SpaceBottom, row.top) << row.html;
    }
}

TEST(ImageLayout, AltTextWidensThePlaceholderAndIsPainted) {
    PicturePage page("<P>x<IMG SRC=wait1 ALT=\"A long description\">");
    page.Build();
    FontSpec arial;
    arial.Name = "Arial";
    arial.Size = 8;
    UseFont(page.canvas, arial);
    const int text = page.canvas.TextExtent("A long description").cx;
    EXPECT_EQ(page.Image().BoxWidth, text + 26);
    EXPECT_EQ(page.Image().BoxHeight, 24);
    page.canvas.Log.clear();
    page.list.PaintCell(page.canvas, {0, 0, 300, 200}, 300, 0, 0);
    EXPECT_NE(page.canvas.Log.find("A long description"), std::string::npos) << page.canvas.Log;
}

TEST(ImageLayout, PercentWidthFollowsTheColumn) {
    PicturePage page("<IMG SRC=p40x30 WIDTH=50%>", 300);
    page.Build(); // the body's margins leave 280 of the 300
    EXPECT_EQ(page.Image().BoxWidth, 140);
    page.LayOut(500);
    EXPECT_EQ(page.Image().BoxWidth, 240);
}

TEST(ImageLayout, ArrivingPictures) {
    PicturePage page("<P>a<IMG SRC=wait1>b<IMG SRC=wait2 WIDTH=10 HEIGHT=10>c<IMG SRC=wait3>"
                     "<IMG SRC=wait1>");
    page.Build();
    ASSERT_EQ(page.Images().size(), 4u);
    // A size that was not given needs a new layout; one that was does not.
    EXPECT_FALSE(page.Deliver("wait2", SolidGif(40, 30)));
    EXPECT_EQ(page.Image(1).State(), TPictureState::Real);
    EXPECT_TRUE(page.Deliver("wait1", SolidGif(40, 30)));
    EXPECT_EQ(page.Image(0).State(), TPictureState::Real);
    EXPECT_EQ(page.Image(3).State(), TPictureState::Real); // both copies take it
    page.LayOut(300);
    EXPECT_EQ(page.Image(0).BoxWidth, 40);
    EXPECT_EQ(page.Image(1).BoxWidth, 10);
    // Data that does not decode shows the error picture, laid out again.
    EXPECT_TRUE(page.Deliver("wait3", "not a picture at all, but long enough"));
    EXPECT_EQ(page.Image(2).State(), TPictureState::Error);
    // Nothing waits any more.
    EXPECT_FALSE(page.Deliver("wait1", SolidGif(40, 30)));
    EXPECT_EQ(page.requests["wait1"], 1);
}

TEST(ImageLayout, OnePictureIsFetchedOnceAndSharedWithThePrintCopy) {
    PicturePage page("<IMG SRC=p40x30><IMG SRC=p40x30>");
    page.Build();
    EXPECT_EQ(page.requests["p40x30"], 1);
    TImageCache& cache = *page.list.Pictures.Cache;
    const int i = cache.IndexOf("p40x30");
    ASSERT_GE(i, 0);
    EXPECT_EQ(cache.Item(i).UsageCount, 2);
    {
        TSectionList copy(page.canvas);
        copy.CopyForPrinting(page.list);
        EXPECT_EQ(cache.Item(i).UsageCount, 4);
    }
    EXPECT_EQ(cache.Item(i).UsageCount, 2);
    page.list.Reset();
    EXPECT_EQ(cache.Item(i).UsageCount, 0);
}

// The pictures of a page keep to its budget together: every decoded
// picture (twice with TRANSP), and the work copy each use of an animated
// picture keeps. One that does not fit shows as broken; pictures no
// document uses give way first.
TEST(ImageLayout, PicturesKeepToThePageBudget) {
    constexpr auto Real = TPictureState::Real, Error = TPictureState::Error;
    // 100 x 100 bitmaps take 40,000 bytes each. The two-frame animation takes
    // 60,000 (its frames' indices and a work picture), and each use 40,000
    // more for its own work copy.
    const std::string still = Bmp(100, 100, 24, 0, {}, std::string(100 * 100 * 3, '\x40'));
    const std::string animated = GifHeader(100, 100, {0xFF0000, 0x00FF00}) +
                                 SolidImage(0, 0, 100, 100, 0) + SolidImage(0, 0, 100, 100, 1);
    const struct {
        const char* html;
        int64_t limit;
        std::vector<TPictureState> states;
    } rows[] = {
        {"<IMG SRC=a><IMG SRC=b><IMG SRC=c>", 120000, {Real, Real, Real}},
        {"<IMG SRC=a><IMG SRC=b><IMG SRC=c>", 119999, {Real, Real, Error}},
        {"<IMG SRC=anim><IMG SRC=anim><IMG SRC=anim>", 180000, {Real, Real, Real}},
        {"<IMG SRC=anim><IMG SRC=anim><IMG SRC=anim>", 179999, {Real, Real, Error}},
        // TRANSP shows a copy of the picture, made once however often it is used.
        {"<IMG SRC=a TRANSP><IMG SRC=a TRANSP><IMG SRC=b>", 120000, {Real, Real, Real}},
        {"<IMG SRC=a TRANSP><IMG SRC=a TRANSP><IMG SRC=b>", 119999, {Real, Real, Error}},
    };
    for (const auto& row : rows) {
        const auto budget = std::make_shared<TPictureBudget>(row.limit);
        {
            PicturePage page(row.html);
            page.pictures = {{"a", still}, {"b", still}, {"c", still}, {"anim", animated}};
            page.list.Pictures.Cache->SetBudget(budget);
            page.Build();
            std::vector<TPictureState> states;
            for (TInlineImage* image : page.Images())
                states.push_back(image->State());
            EXPECT_EQ(states, row.states) << row.html << " in " << row.limit;
            EXPECT_LE(budget->Used(), row.limit);
        }
        EXPECT_EQ(budget->Used(), 0) << "the document gave back what it took";
    }

    // The next document's pictures push out those the last one left unused.
    PicturePage page("<IMG SRC=a><IMG SRC=b><IMG SRC=c>");
    page.pictures = {{"a", still}, {"b", still}, {"c", still}, {"d", still}};
    page.list.Pictures.Cache->SetBudget(std::make_shared<TPictureBudget>(120000));
    page.Build();
    page.list.Reset();
    ParseHtmlBuffer(page.list, "<IMG SRC=d><IMG SRC=a>");
    page.LayOut(300);
    EXPECT_EQ(page.Image(0).State(), Real);
    EXPECT_EQ(page.Image(1).State(), Real);
    EXPECT_EQ(page.list.Pictures.Cache->Budget()->Used(), 80000);
}

TEST(ImageLayout, LinksOnPictures) {
    PicturePage page("<MAP NAME=nav><AREA SHAPE=rect COORDS=0,0,9,9 HREF=rect.htm>"
                     "<AREA SHAPE=circle COORDS=30,15,5 HREF=circle.htm>"
                     "<AREA SHAPE=poly COORDS=0,20,10,20,0,29 HREF=poly.htm>"
                     "<AREA SHAPE=default NOHREF></MAP>"
                     "<P><IMG SRC=p40x30 USEMAP=#nav> <A HREF=s.cgi><IMG SRC=p40x30 ISMAP></A>"
                     " <A HREF=plain.htm><IMG SRC=p40x30></A>");
    page.Build();
    const TInlineImage &map = page.Image(0), &server = page.Image(1), &plain = page.Image(2);
    const struct {
        int X, Y;
        const char* link;
    } mapRows[] = {{0, 0, "rect.htm"},     {9, 9, "rect.htm"},  {10, 10, "(none)"},
                   {30, 19, "circle.htm"}, {1, 22, "poly.htm"}, {39, 29, "(none)"}};
    for (const auto& row : mapRows)
        EXPECT_EQ(page.LinkAt(map.LeftX + row.X, map.PaintTop + row.Y), row.link)
            << row.X << "," << row.Y;
    // The link's frame is not part of the picture the server's map sees.
    EXPECT_EQ(page.LinkAt(server.LeftX + 6, server.PaintTop + 8), "s.cgi?5,7");
    EXPECT_EQ(page.LinkAt(plain.LeftX + 6, plain.PaintTop + 8), "plain.htm");
    EXPECT_EQ(page.LinkAt(plain.LeftX + plain.BoxWidth + 3, plain.PaintTop + 8), "(none)");
}

TEST(ImageLayout, PicturesMoveWithTheirTableRow) {
    PicturePage page("<TABLE><TR><TD><IMG SRC=p40x30></TD></TR>"
                     "<TR><TD><IMG SRC=p40x30></TD></TR></TABLE>");
    page.Build();
    EXPECT_GE(page.Image(1).PaintTop, page.Image(0).PaintTop + 30);
    EXPECT_EQ(page.LinkAt(page.Image(1).LeftX + 5, page.Image(1).PaintTop + 5), "(none)");
}

TEST(ImageLayout, FloatsPaintAfterTheTextBesideThem) {
    PicturePage page("<P><IMG SRC=p40x30 ALIGN=right>words beside <IMG SRC=p40x30>");
    page.Build();
    page.canvas.Log.clear();
    page.list.PaintCell(page.canvas, {0, 0, 300, 200}, 300, 0, 0);
    const std::string& log = page.canvas.Log;
    const size_t text = log.find("words"), inline_ = log.find("BITMAP"),
                 floated = log.rfind("BITMAP");
    ASSERT_NE(text, std::string::npos) << log;
    EXPECT_LT(text, inline_);
    EXPECT_LT(inline_, floated);
    const TInlineImage& right = page.Image(0);
    EXPECT_EQ(right.LeftX + right.BoxWidth + right.SpaceRight, 290);
}

} // namespace
} // namespace lumo::test
