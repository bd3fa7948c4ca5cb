#include "html/tokenizer.h"
#include "layout/anchor_list.h"
#include "layout/font_table.h"
#include "layout/image_map.h"
#include "layout/indent_manager.h"
#include "layout/paint_index.h"
#include "layout/selection_text.h"
#include "platform/recording_canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace lumo {
namespace {

// The attributes of one tag, read by the tokenizer.
TAttributeList Tag(std::string_view html) {
    HtmlTokenizer t;
    t.Begin(html);
    t.ReadNextChar();
    t.NextToken();
    TAttributeList list;
    for (auto& attr : t.Attributes)
        list.push_back(std::move(attr));
    return list;
}

TImageMap Map(std::initializer_list<std::string_view> areas) {
    TImageMap map;
    for (std::string_view area : areas)
        map.AddArea(Tag(area));
    return map;
}

std::string LinkAt(const TImageMap& map, int x, int y) {
    std::unique_ptr<TUrlTarget> target;
    return map.LinkAtPoint(x, y, target) ? target->Url : "-";
}

TEST(ImageMap, HitTests) {
    TImageMap map = Map({"<area shape=rect coords=0,0,9,9 href=r>",
                         "<area shape=circle coords=50,50,10 href=c>",
                         "<area shape=poly coords=100,0,120,0,110,20 href=p>",
                         "<area nohref shape=rect coords=200,0,209,9>",
                         "<area shape=rect coords=195,0,240,40 href=under>"});
    const struct {
        int x, y;
        std::string_view link;
    } rows[] = {
        {0, 0, "r"},   {9, 9, "r"},        {10, 10, "-"}, {50, 60, "c"},
        {50, 50, "c"}, {61, 50, "-"},      {110, 5, "p"}, {100, 19, "-"},
        {205, 5, "-"}, {230, 30, "under"}, {-1, -1, "-"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LinkAt(map, row.x, row.y), row.link) << row.x << "," << row.y;
}

TEST(ImageMap, CoordinateLists) {
    const struct {
        std::string_view text;
        std::vector<int> numbers;
    } rows[] = {
        {"1, 2 ,3,,4", {1, 2, 3, 4}},
        {" 5 6 ", {5, 6}},
        {"1.5,x,7", {0, 0, 7}},
        {"99999999999,-99999999999,1e10", {1000000, -1000000, 0}},
        {"123456789012345678901234567890", {1000000}},
        {"1000000,1000001,-1000000,-1000001", {1000000, 1000000, -1000000, -1000000}},
        {"999999,-999999", {999999, -999999}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseCoords(row.text), row.numbers) << row.text;
    EXPECT_EQ(ParseCoords(std::string(5000, '1') + ",2").size(), 2u);
    // At most 301 numbers (a 150-point polygon and one over).
    for (const size_t count : {300u, 301u, 302u, 400u}) {
        std::string many;
        for (size_t i = 0; i < count; ++i)
            many += "1,";
        EXPECT_EQ(ParseCoords(many).size(), std::min<size_t>(count, 301)) << count;
    }
}

TEST(ImageMap, ShapesNeedEnoughNumbers) {
    EXPECT_TRUE(Map({"<area shape=poly coords=1,2,3,4,5 href=x>"}).Areas.empty());
    TImageMap seven = Map({"<area shape=POLYGON coords=0,0,10,0,10,10,99 href=x>"});
    ASSERT_EQ(seven.Areas.size(), 1u);
    EXPECT_EQ(seven.Areas[0].Coords.size(), 6u);
    EXPECT_TRUE(Map({"<area shape=circ coords=1,2 href=x>"}).Areas.empty());
    EXPECT_TRUE(Map({"<area coords=1,2,3 href=x>"}).Areas.empty());
    EXPECT_TRUE(Map({"<area href=x>"}).Areas.empty());
}

// Huge shapes are tested geometrically: no region is ever built.
TEST(ImageMap, HugeCoordinatesSaturate) {
    TImageMap map = Map({"<area shape=circle coords=0,0,99999999999 href=big>",
                         "<area shape=rect coords=-1e10,0,99999999999,5 href=wide>"});
    EXPECT_EQ(LinkAt(map, 999999, 0), "big");
    EXPECT_EQ(map.Areas[0].Coords[2], 1000000);
}

TEST(ImageMap, TargetsAndFreshLinkNumbers) {
    TImageMap map = Map({"<area shape=rect coords=0,0,9,9 href=a.htm target=main>"});
    std::unique_ptr<TUrlTarget> first, second;
    ASSERT_TRUE(map.LinkAtPoint(1, 1, first));
    ASSERT_TRUE(map.LinkAtPoint(1, 1, second));
    EXPECT_EQ(first->Target, "main");
    EXPECT_NE(first->ID, second->ID);
}

struct FakeObject : TAnchorTarget {
    int YPosition() override { return 77; }
};

TEST(AnchorList, LastDefinitionWins) {
    TAnchorList ids;
    ids.YOfSourcePosition = [](int pos) { return pos + 1000; };
    FakeObject anchor;
    ids.AddSourcePosition("Top", 5);
    ids.AddObject("TOP", &anchor);
    EXPECT_EQ(ids.Find("top")->YPosition(), 77);
    ids.AddSourcePosition("top", 9);
    EXPECT_EQ(ids.Find("Top")->YPosition(), 1009);
    EXPECT_EQ(ids.Count(), 1);
    EXPECT_EQ(ids.Find("other"), nullptr);
    ids.Clear();
    EXPECT_EQ(ids.Count(), 0);
}

TEST(SelectedText, CountsAndCopies) {
    const char text[] = "a\002b\004c\010d\240e";
    TSelectionCounter count;
    count.AddTextCR(text, 9);
    EXPECT_EQ(count.Terminate(), 9); // 7 characters and CR LF; 2 and 4 do not count
    char buffer[6];
    TSelectionBuffer buf(buffer, sizeof buffer);
    buf.AddText(text, 9);
    EXPECT_EQ(buf.Terminate(), 6);
    EXPECT_STREQ(buffer, "abcd ");
}

TEST(SelectedText, ClipboardHoldsAtMost32499Characters) {
    for (const size_t length : {32498u, 32499u, 32500u, 40000u}) {
        const std::string text(length, 'x');
        TClipboardText clip;
        clip.AddText(text.data(), static_cast<int>(text.size()));
        const size_t kept = std::min<size_t>(length, 32499);
        EXPECT_EQ(clip.Terminate(), static_cast<int>(kept) + 1) << length;
        EXPECT_EQ(clip.Text().size(), kept) << length;
    }
}

TEST(TIndentManager, EdgesAndFloats) {
    TIndentManager im;
    im.Reset(10, 500);
    EXPECT_EQ(im.LeftEdgeAt(0), 10);
    EXPECT_EQ(im.RightEdgeAt(0), 500);
    int left = im.PushLeftIndent(100, 0);
    im.PopLeftIndent(left, 50);
    EXPECT_EQ(im.LeftEdgeAt(48), 110);
    EXPECT_EQ(im.LeftEdgeAt(49), 10);
    int right = im.PushRightIndent(400, 10);
    im.R[right].Float = true;
    EXPECT_EQ(im.RightEdgeAt(20), 410);
    TFloatPlace place = im.PlaceLeftFloat(20);
    EXPECT_EQ(place.Limit, 400);
    EXPECT_EQ(place.Position, 110);
    EXPECT_EQ(im.PlaceRightFloat(20).Position, 410);
    im.PopRightIndent(right, 80);
    // Only float records count for the float queries.
    EXPECT_EQ(im.FloatsBottom(), 79);
    int cl = -1, cr = -1;
    im.ClearY(cl, cr);
    EXPECT_EQ(cl, 0);
    EXPECT_EQ(cr, 80);
    EXPECT_EQ(im.NextWiderY(20), 79);
    EXPECT_EQ(im.NextWiderY(90), 90);
    im.AddLeftFloat(60, 0, 49);
    im.ClearY(cl, cr);
    EXPECT_EQ(cl, 50);
    EXPECT_EQ(im.NextWiderY(20), 49);
    EXPECT_EQ(im.NextWiderY(60), 79);
    // A temporary indent shows only to its owner.
    int owner = 0;
    im.ActiveID = &owner;
    im.PushLeftIndent(30, 100);
    EXPECT_EQ(im.LeftEdgeAt(100), 40);
    im.ActiveID = nullptr;
    EXPECT_EQ(im.LeftEdgeAt(100), 10);
    im.Clear();
    EXPECT_EQ(im.FloatsBottom(), 0);
}

// A cell's own indents stay open to 9999999; they must not count as floats.
TEST(TIndentManager, OpenCellIndentsAreNoFloats) {
    TIndentManager im;
    im.Reset(0, 600);
    im.PushLeftIndent(0, 0);
    im.PushRightIndent(600, 0);
    int cl = -1, cr = -1;
    im.ClearY(cl, cr);
    EXPECT_EQ(cl, 0);
    EXPECT_EQ(cr, 0);
    EXPECT_EQ(im.FloatsBottom(), 0);
    EXPECT_EQ(im.NextWiderY(10), 10);
    // A released temporary indent that was the last record leaves nothing.
    int t = im.PushLeftIndent(40, 5);
    im.ReleaseLeftIndent(t, 20);
    EXPECT_EQ(im.L.size(), 1u);
}

// Runs share a font only when every part of its look is the same: a hash or
// comparison that skipped one would show text in another run's colour or case.
TEST(FontTable, KeepsEachLookOnce) {
    TFontTable table;
    const TFont plain;
    const TFont& first = table.Intern(plain);
    EXPECT_EQ(&table.Intern(TFont(plain)), &first);
    const std::function<void(TFont&)> changes[] = {
        [](TFont& f) { f.Name = "Arial"; },
        [](TFont& f) { f.Size = 14; },
        [](TFont& f) { f.Bold = true; },
        [](TFont& f) { f.Italic = true; },
        [](TFont& f) { f.Underline = true; },
        [](TFont& f) { f.StrikeOut = true; },
        [](TFont& f) { f.Overline = true; },
        [](TFont& f) { f.SmallCaps = true; },
        [](TFont& f) { f.Charset = 2; },
        [](TFont& f) { f.CodePage = TCodePage::Utf8; },
        [](TFont& f) { f.Color = 0xFF; },
        [](TFont& f) { f.bgColor = 0xFF; },
        [](TFont& f) { f.Case = TextCase::Upper; },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        TFont other = plain;
        changes[i](other);
        const TFont& kept = table.Intern(other);
        EXPECT_NE(&kept, &first) << i;
        EXPECT_TRUE(static_cast<const FontSpec&>(kept) == other && kept.bgColor == other.bgColor &&
                    kept.Case == other.Case)
            << i;
    }
    EXPECT_EQ(table.size(), std::size(changes) + 1);
}

struct TBand {
    int PaintTopY, PaintBottomY;
};

// The index must offer exactly what a walk over every item would: items out
// of Y order (a float, a negative margin), empty extents, overlaps.
TEST(PaintIndex, OffersWhatAWalkOverEveryItemWould) {
    std::vector<TBand> bands = {{0, 20},  {20, 40}, {5, 120}, {40, 40},   {35, 60},   {-10, 10},
                                {60, 90}, {90, 90}, {90, 95}, {200, 210}, {150, 160}, {95, 100}};
    std::vector<TBand*> items;
    for (TBand& band : bands)
        items.push_back(&band);
    TPaintIndex<TBand> index;
    index.Rebuild(items);
    for (int top = -20; top <= 220; top += 5)
        for (int bottom = top; bottom <= top + 60; bottom += 7) {
            std::vector<TBand*> offered, expected;
            index.ForEachMeeting(top, bottom, [&](TBand* item) { offered.push_back(item); });
            for (TBand* item : items)
                if (item->PaintTopY < bottom && item->PaintBottomY >= top) expected.push_back(item);
            EXPECT_EQ(offered, expected) << "band " << top << ".." << bottom;
        }
    index.Clear();
    int count = 0;
    index.ForEachMeeting(-1000, 1000, [&](TBand*) { ++count; });
    EXPECT_EQ(count, 0);
}

// A canvas whose fonts measure scale times the recording canvas's; it counts
// its measurements.
class ScaledCanvas : public RecordingCanvas {
public:
    explicit ScaledCanvas(int scale) : scale_(scale) {}
    TTextMetrics GetTextMetrics() override {
        ++measured;
        TTextMetrics m = RecordingCanvas::GetTextMetrics();
        m.Height *= scale_;
        m.Descent *= scale_;
        return m;
    }
    int measured = 0;

private:
    int scale_;
};

// Every run in a font reads the metrics the font took on that canvas: each
// canvas measures it once, and none reads another's.
TEST(FontTable, AFontMeasuresOncePerCanvas) {
    TFontTable table;
    TFont font;
    font.Size = 12;
    const TInternedFont& f = table.Intern(font);
    ScaledCanvas screen(1), printer(3), preview(2);
    for (Canvas* canvas : {&screen, &printer, &preview})
        canvas->SetFont(font);
    const int height = f.MetricsOn(screen).TextHeight;
    ASSERT_GT(height, 0);
    EXPECT_EQ(f.MetricsOn(printer).TextHeight, 3 * height);
    EXPECT_EQ(f.MetricsOn(screen).RunDescent * 3, f.MetricsOn(printer).RunDescent);
    EXPECT_EQ(screen.measured, 1);
    EXPECT_EQ(printer.measured, 1);
    // A third canvas takes the place of the first, which measures anew.
    EXPECT_EQ(f.MetricsOn(preview).TextHeight, 2 * height);
    EXPECT_EQ(f.MetricsOn(printer).TextHeight, 3 * height);
    EXPECT_EQ(printer.measured, 1);
    EXPECT_EQ(f.MetricsOn(screen).TextHeight, height);
    EXPECT_EQ(screen.measured, 2);
}

} // namespace
} // namespace lumo
