// The CSS1 test pages of the corpus that pass their own stated condition,
// each checked where the page says a passing rendering shows its result.
// tests/data/css1/passing.txt lists them: every page there must pass, and
// every page with a check here must be there, so the list only grows.
#include "tests/builder/style_page.h"
#include "tests/support/corpus.h"
#include "tests/support/layout_fixture.h"

#include "layout/font_run.h"
#include "platform/file_system.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <sstream>
#include <utility>

namespace lumo::test {
namespace {

// The square test font joins the installed fonts before Qt first reads
// them: fontconfig takes the file that lists it from the environment.
const bool testFontListed = [] {
    if (*LUMO_TEST_FONTS) setenv("FONTCONFIG_FILE", LUMO_TEST_FONTS, 0);
    return *LUMO_TEST_FONTS != 0;
}();

std::string Folder() {
    return CorpusPath("html/css1-testsuite-html4");
}

// The page, with its linked sheets read from beside it.
StylePage Css1Page(const std::string& name, int width = 600) {
    const std::string folder = Folder();
    auto html = ReadWholeFile(folder + "/" + name + ".htm", 1 << 20);
    EXPECT_TRUE(html) << name;
    return StylePage(html ? *html : "", width,
                     [folder](const std::string& address, std::string& text) {
                         auto sheet = ReadWholeFile(folder + "/" + address, 1 << 20);
                         if (sheet) text = *sheet;
                         return sheet.has_value();
                     });
}

// Every line that starts with text is green, and there are count of them.
void ExpectGreenLines(const StylePage& page, std::string_view text, int count) {
    int n = 0;
    for (QRect line = page.Line(text); !line.isEmpty(); line = page.Line(text, ++n))
        EXPECT_TRUE(page.Mostly(line, Tint::Green)) << text << " #" << n;
    EXPECT_EQ(n, count) << text;
}

enum class Across { Columns, Rows };

// The columns (or rows) of rect that hold a pixel darker than the
// background, as a span from the first to the last.
std::pair<int, int> InkSpan(const StylePage& page, const QRect& rect, Across across) {
    const QRect inside = rect & page.picture.rect();
    const bool columns = across == Across::Columns;
    const int from = columns ? inside.left() : inside.top();
    const int to = columns ? inside.right() : inside.bottom();
    const int alongFrom = columns ? inside.top() : inside.left();
    const int alongTo = columns ? inside.bottom() : inside.right();
    int first = -1, last = -1;
    for (int i = from; i <= to; ++i)
        for (int j = alongFrom; j <= alongTo; ++j)
            if (qGray(columns ? page.picture.pixel(i, j) : page.picture.pixel(j, i)) < 160) {
                if (first < 0) first = i;
                last = i;
                break;
            }
    return {first, last};
}

std::pair<int, int> InkColumns(const StylePage& page, const QRect& rect) {
    return InkSpan(page, rect, Across::Columns);
}

std::pair<int, int> InkRows(const StylePage& page, const QRect& rect) {
    return InkSpan(page, rect, Across::Rows);
}

// "The next two bars should be identical": the same place across and the
// same size.
void ExpectSameBars(const QRect& test, const QRect& control) {
    EXPECT_GT(test.width(), 0);
    EXPECT_EQ(test.left(), control.left());
    EXPECT_EQ(test.size(), control.size());
}

// A negative padding beside a 1em green border is dropped: the border
// stands beside the text on its side, right against the text's box.
void ExpectBorderBesideText(const StylePage& page, bool left) {
    const QRect para = page.Box("TBlock <p>");
    const QRect text = page.Line("There should be a green");
    EXPECT_EQ(left ? text.left() - para.left() : para.right() - text.right(), 16);
    const int x = left ? para.left() + 2 : text.right() + 2;
    EXPECT_TRUE(page.Mostly({x, para.top(), 12, para.height()}, Tint::Green));
}

// "... should look identical, to the pixel": the n-th to the last of the
// boxes named what paint the same picture as the first of them.
void ExpectIdenticalBoxes(const StylePage& page, std::string_view what, int first, int last) {
    const QRect control = page.Box(what, first);
    ASSERT_GT(control.height(), 0);
    for (int n = first + 1; n <= last; ++n) {
        const QRect test = page.Box(what, n);
        EXPECT_EQ(test.size(), control.size()) << n;
        EXPECT_TRUE(page.picture.copy(test) == page.picture.copy(control)) << n;
    }
}

enum Side { Top, Right, Bottom, Left };

// The painted border of a box on one side: the run of dark pixels from
// its edge inwards. The top and bottom are probed across the middle, the
// sides just above the bottom border, below the text's glyphs.
int BorderWidth(const StylePage& page, const QRect& box, Side side) {
    const int low = side == Left || side == Right
                        ? box.bottom() - BorderWidth(page, box, Bottom) - 1
                        : box.center().y();
    const QPoint step[] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}};
    const QPoint start[] = {{box.center().x(), box.top()},
                            {box.right(), low},
                            {box.center().x(), box.bottom()},
                            {box.left(), low}};
    int run = 0;
    for (QPoint at = start[side]; page.picture.rect().contains(at) && run < box.width();
         at += step[side], ++run)
        if (qGray(page.picture.pixel(at)) > 200) break;
    return run;
}

// What one side of a box shows, as a reader would name its line: probed
// across the side's depth at its middle and along it between the corners.
enum class Painted { None, Solid, TwoTone, Double, Dotted, Dashed };

struct SideProbe {
    QPoint edge, inward, along;
    int length;
};

SideProbe ProbeOf(const QRect& box, Side side) {
    const QPoint c = box.center();
    switch (side) {
    case Top: return {{c.x(), box.top()}, {0, 1}, {1, 0}, box.width()};
    case Right: return {{box.right(), c.y()}, {-1, 0}, {0, 1}, box.height()};
    case Bottom: return {{c.x(), box.bottom()}, {0, -1}, {1, 0}, box.width()};
    case Left: return {{box.left(), c.y()}, {1, 0}, {0, 1}, box.height()};
    }
    return {};
}

// The runs of ink among pixels, and their mean length.
std::pair<int, double> InkRuns(const std::vector<QRgb>& pixels) {
    int runs = 0, ink = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const bool dark = qGray(pixels[i]) < 230;
        ink += dark;
        runs += dark && (i == 0 || qGray(pixels[i - 1]) >= 230);
    }
    return {runs, runs ? double(ink) / runs : 0};
}

QRgb PixelIn(const StylePage& page, const QRect& box, Side side, double part, int depth) {
    const SideProbe p = ProbeOf(box, side);
    return page.picture.pixel(p.edge + p.inward * int(part * depth));
}

Painted PaintedSide(const StylePage& page, const QRect& box, Side side, int depth) {
    const SideProbe p = ProbeOf(box, side);
    std::vector<QRgb> across, along;
    for (int d = 0; d < depth; ++d)
        across.push_back(page.picture.pixel(p.edge + p.inward * d));
    const QPoint middle = p.edge + p.inward * (depth / 2) - p.along * (p.length / 2 - depth);
    for (int d = 0; d < p.length - 2 * depth; ++d)
        along.push_back(page.picture.pixel(middle + p.along * d));
    const auto [acrossRuns, acrossMean] = InkRuns(across);
    const auto [alongRuns, alongMean] = InkRuns(along);
    if (acrossRuns == 0) return Painted::None;
    if (alongRuns >= 2) return alongMean <= 1.5 * depth ? Painted::Dotted : Painted::Dashed;
    if (acrossRuns >= 2) return Painted::Double;
    const bool oneTone =
        std::all_of(across.begin(), across.end(), [&](QRgb c) { return c == across.front(); });
    return oneTone ? Painted::Solid : Painted::TwoTone;
}

void ExpectSide(const StylePage& page, const QRect& box, Side side, int depth, Painted line) {
    EXPECT_EQ(int(PaintedSide(page, box, side, depth)), int(line))
        << "side " << side << " of the box at " << box.top();
}

// The sides of box, from the top clockwise, show lines.
void ExpectSides(const StylePage& page, const QRect& box, int depth, std::array<Painted, 4> lines) {
    for (Side side : {Top, Right, Bottom, Left})
        ExpectSide(page, box, side, depth, lines[side]);
}

// "Two lines" of a 10 pixel double border on the first paragraph's side,
// "a single thin line" on the second's.
void ExpectDoubleThenThin(const StylePage& page, Side side) {
    ExpectSide(page, page.Box("TBlock <p>", 0), side, 10, Painted::Double);
    ExpectSide(page, page.Box("TBlock <p>", 1), side, 2, Painted::Solid);
}

// The pages of border widths. "The three boxes below should have
// progressively thinner borders" on the side named; "This box should be
// open ended" on that side and closed on the others; "There should be no
// red": a width with no style draws no border, so no text colour shows.
enum class BorderPage { Thinner, OpenEnded, NoStyle };

void ExpectBorders(const StylePage& page, BorderPage kind, std::initializer_list<Side> sides) {
    switch (kind) {
    case BorderPage::Thinner:
        for (Side side : sides) {
            int before = 1000;
            for (int n = 0; n < 3; ++n) {
                const int width = BorderWidth(page, page.Box("TBlock <p>", n + 1), side);
                EXPECT_GT(width, 0) << side << " #" << n;
                EXPECT_LT(width, before) << side << " #" << n;
                before = width;
            }
        }
        break;
    case BorderPage::OpenEnded: {
        const QRect box = page.Box("TBlock <div>", 1);
        for (Side side : {Top, Right, Bottom, Left}) {
            const bool open = *sides.begin() == side;
            EXPECT_EQ(BorderWidth(page, box, side) == 0, open) << side;
        }
        break;
    }
    case BorderPage::NoStyle:
        EXPECT_EQ(page.Box("TBlock <p>", 1).height(), page.Line("There should be no red").height());
        EXPECT_TRUE(page.Count(page.picture.rect(), Tint::Red) == 0);
        break;
    }
}

bool NoRed(const StylePage& page) {
    return page.Count(page.picture.rect(), Tint::Red) == 0;
}

// The blue picture fills half the width of the paragraph it stands in, as
// high as wide, with the room left over shared evenly (0) or all left of it (1).
void ExpectHalfWidthSquare(const StylePage& page, int shareLeft) {
    const QRect room = page.Box("TBlock <p>", 1);
    const QRect square = page.Box("swatch-blue.png");
    ASSERT_GT(square.width(), 0);
    EXPECT_NEAR(square.width(), room.width() / 2.0, 1);
    EXPECT_EQ(square.height(), square.width());
    const int left = square.left() - room.left(), right = room.right() - square.right();
    if (shareLeft)
        EXPECT_EQ(right, 0);
    else
        EXPECT_NEAR(left, right, 1);
}

// "The two patterns below should be identical, with no red present".
void ExpectSamePatternsNoRed(const StylePage& page, const QRect& control, const QRect& test) {
    ASSERT_GT(control.height(), 0);
    EXPECT_EQ(test.size(), control.size());
    EXPECT_TRUE(page.picture.copy(test) == page.picture.copy(control));
    EXPECT_TRUE(NoRed(page));
}

// Where the pixels of tint lie: the smallest rectangle holding them all.
QRect TintBounds(const StylePage& page, Tint tint) {
    const QRect all = page.picture.rect();
    int left = -1, right = -1, top = -1, bottom = -1;
    for (int x = 0; x < all.width(); ++x)
        if (page.Count({x, 0, 1, all.height()}, tint) > 0) (left < 0 ? left : right) = x;
    for (int y = 0; y < all.height(); ++y)
        if (page.Count({0, y, all.width(), 1}, tint) > 0) (top < 0 ? top : bottom) = y;
    if (left < 0 || top < 0) return {};
    return QRect(QPoint(left, top), QPoint(std::max(left, right), std::max(top, bottom)));
}

// "There should be a green bar below" and its like on pages in the square
// font: the pixels of tint on the page make one solid rectangle of the size
// the style gives, and no red shows. Returns where it stands.
QRect ExpectShape(const StylePage& page, Tint tint, int width, int height) {
    const QRect shape = TintBounds(page, tint);
    EXPECT_EQ(shape.size(), QSize(width, height));
    EXPECT_EQ(page.Count(shape, tint), width * height) << "not solid";
    EXPECT_TRUE(NoRed(page));
    return shape;
}

QRect ExpectGreenShape(const StylePage& page, int width, int height) {
    return ExpectShape(page, Tint::Green, width, height);
}

std::function<void(const StylePage&)> GreenShape(int width, int height) {
    return [width, height](const StylePage& page) { ExpectGreenShape(page, width, height); };
}

// "There should be a green block below": pictures and text in the square
// font fill the first DIV's box, border included, with green.
void ExpectGreenBlock(const StylePage& page) {
    const QRect block = page.Box("TBlock <div>");
    ASSERT_GT(block.height(), 0);
    EXPECT_EQ(page.Count(block, Tint::Green), block.width() * block.height());
    EXPECT_TRUE(NoRed(page));
}

// "... should be identical": the picture over control shows again with
// its top left corner at test.
void ExpectSamePicture(const StylePage& page, const QRect& control, QPoint test) {
    ASSERT_GT(control.height(), 0);
    EXPECT_TRUE(page.picture.copy(control) == page.picture.copy(QRect(test, control.size())));
}

// The two cells of the page's table paint the same picture inside their
// frames (the descender of the text above may reach into the first one's).
void ExpectSameCells(const StylePage& page) {
    const QRect control = page.Box("cell 0,1").adjusted(1, 1, -1, -1);
    ExpectSamePicture(page, control, page.Box("cell 0,0").adjusted(1, 1, -1, -1).topLeft());
}

// In the paragraph holding text, the letters underlined are those of
// marked, or all of them when marked is empty.
void ExpectUnderlinedOnly(const StylePage& page, std::string_view text, std::string_view marked) {
    TSection* s = SectionWith(page.list, text);
    ASSERT_TRUE(s) << text;
    const size_t from = marked.empty() ? 0 : s->Text.find(marked);
    ASSERT_NE(from, std::string::npos) << marked;
    const size_t to = marked.empty() ? s->Text.size() : from + marked.size();
    for (size_t i = 0; i < s->Text.size(); ++i) {
        if (s->Text[i] == ' ') continue;
        const bool underlined = s->Runs[s->RunIndexAt(static_cast<int>(i))]->PlainFont().Underline;
        EXPECT_EQ(underlined, i >= from && i < to) << text << ": " << s->Text.substr(i, 12);
    }
}

// The box of an inline element on a line: where the pixels that ink picks
// lie, within reach rows above and below the line.
QRect InkBox(const StylePage& page, const QRect& line, int reach,
             const std::function<bool(QRgb)>& ink) {
    const QRect band = line.adjusted(0, -reach, 0, reach) & page.picture.rect();
    QRect box;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x)
            if (ink(page.picture.pixel(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

bool Dark(QRgb c) {
    return qGray(c) < 100;
}

// "This box should have a thin top border" (or another side): the side
// named is drawn thinner than the others around the element's text; "There
// should be no red on this line": a width with no style draws nothing.
void ExpectThinInlineSide(const StylePage& page, std::initializer_list<Side> thin) {
    const QRect box = InkBox(page, page.Line("This box should have"), 6, Dark);
    ASSERT_GT(box.height(), 0);
    const bool all = thin.size() == 4;
    const int thinWidth = BorderWidth(page, box, *thin.begin());
    EXPECT_GT(thinWidth, 0);
    for (Side side : {Top, Right, Bottom, Left}) {
        const int width = BorderWidth(page, box, side);
        EXPECT_TRUE(all || side == *thin.begin() ? width == thinWidth : width > thinWidth)
            << side << ": " << width;
    }
    EXPECT_TRUE(NoRed(page));
}

// "It should say HI below": the glyph squares of the first DIV's lines of
// the square font, white (X) where a glyph stands, leave the word in its
// background.
void ExpectHi(const StylePage& page) {
    const QRect box = page.Box("TBlock <div>");
    const std::string rows[] = {"XX.XX.XX.XX", "XX.XX.XX.XX", "XX....XX.XX", "XX.XX.XX.XX",
                                "XX.XX.XX.XX"};
    ASSERT_EQ(box.size(), QSize(11 * 15, 5 * 15));
    for (int r = 0; r < 5; ++r) {
        std::string row;
        for (int c = 0; c < 11; ++c)
            row += page.picture.pixel(box.left() + 15 * c + 7, box.top() + 15 * r + 7) ==
                           qRgb(0xFF, 0xFF, 0xFF)
                       ? 'X'
                       : '.';
        EXPECT_EQ(row, rows[r]) << r;
    }
}

// The lines of blue on the page running across (or down): runs of at least
// minLength pixels, a run touching one in the row (column) before going on
// the same line. Their lengths, in the order they start.
std::vector<int> BlueLines(const StylePage& page, Across across, int minLength) {
    const bool rows = across == Across::Rows;
    const QRect all = page.picture.rect();
    const int count = rows ? all.height() : all.width(), length = rows ? all.width() : all.height();
    auto blue = [&](int i, int j) {
        return page.picture.pixel(rows ? j : i, rows ? i : j) == qRgb(0, 0, 0xFF);
    };
    std::vector<int> lines;
    std::vector<std::pair<int, int>> before, now; // runs of the last row (column)
    std::vector<int> lineOf, lineNow;
    for (int i = 0; i < count; ++i) {
        now.clear();
        lineNow.clear();
        for (int j = 0; j < length;) {
            int end = j;
            while (end < length && blue(i, end))
                ++end;
            if (end - j >= minLength) {
                int line = -1;
                for (size_t k = 0; k < before.size(); ++k)
                    if (before[k].first < end && j < before[k].second) line = lineOf[k];
                if (line < 0) {
                    line = static_cast<int>(lines.size());
                    lines.push_back(0);
                }
                lines[line] = std::max(lines[line], end - j);
                now.emplace_back(j, end);
                lineNow.push_back(line);
            }
            j = std::max(end, j + 1);
        }
        std::swap(before, now);
        std::swap(lineOf, lineNow);
    }
    return lines;
}

// Lines down the page beside text twice the size of the page's: short ones
// beside one line of it, long ones beside more (its glyphs' stems are
// shorter than either).
void ExpectShortAndLongLines(const StylePage& page, int shortLines, int longLines) {
    const std::vector<int> lines = BlueLines(page, Across::Columns, 30);
    ASSERT_EQ(lines.size(), static_cast<size_t>(shortLines + longLines));
    const int shortest = *std::min_element(lines.begin(), lines.end());
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [&](int n) { return n > 1.5 * shortest; }),
              longLines);
}

// A flag of the plain font (Bold, Italic) at every place the page's text
// holds what, in order.
std::vector<bool> FontFlags(const StylePage& page, std::string_view what, bool FontSpec::*flag) {
    std::vector<bool> flags;
    for (TSection* s : All<TSection>(page.list))
        for (size_t at = s->Text.find(what); at != std::string::npos;
             at = s->Text.find(what, at + 1))
            flags.push_back(s->Runs[s->RunIndexAt(static_cast<int>(at))]->PlainFont().*flag);
    return flags;
}

// The red picture behind the outer block has come, and none of it shows.
void ExpectRedPictureHidden(const StylePage& page) {
    EXPECT_GT(page.Box("background picture \"support/swatch-red.png\"").height(), 0);
    EXPECT_TRUE(NoRed(page));
}

// The first letter of the n-th line that starts with text is green, and nothing
// else on it is; its ink is at least scale times as tall as that of the
// next 12 pixels of the line (letters without descenders on these pages).
void ExpectGreenFirstLetter(const StylePage& page, std::string_view text, int n, double scale) {
    const QRect line = page.Line(text, n);
    ASSERT_GT(line.height(), 0) << text;
    int first = -1, last = -1;
    for (int x = line.left(); x <= line.right(); ++x)
        if (page.Count({x, line.top(), 1, line.height()}, Tint::Green) > 0) {
            if (first < 0) first = x;
            last = x;
        }
    ASSERT_GE(first, 0) << text;
    EXPECT_LE(first - line.left(), 5) << text; // the glyph's own side bearing
    const QRect letter{first, line.top(), last - first + 1, line.height()};
    const QRect next{last + 2, line.top(), 12, line.height()};
    const auto [letterTop, letterBottom] = InkRows(page, letter);
    const auto [nextTop, nextBottom] = InkRows(page, next);
    EXPECT_GE(letterBottom - letterTop + 1, scale * (nextBottom - nextTop + 1)) << text;
    EXPECT_EQ(
        page.Count({last + 2, line.top(), line.right() - last - 1, line.height()}, Tint::Green), 0)
        << text;
}

std::function<void(const StylePage&)> IdenticalBoxes(std::string what, int first, int last) {
    return [what, first, last](const StylePage& page) {
        ExpectIdenticalBoxes(page, what, first, last);
    };
}

// The check of a page whose condition is count green lines of text.
std::function<void(const StylePage&)> GreenLines(std::string text, int count) {
    return [text, count](const StylePage& page) { ExpectGreenLines(page, text, count); };
}

// What a page of the font shorthand says of its text: "This text should be
// 18px sans-serif, in small-caps, italicized, and very bold. There should be
// 27px between baselines". Lightness beyond normal is not told apart.
struct TFontStatement {
    std::string text; // the start of the text
    int pixels;
    std::string face; // the family asked for
    bool italic, smallCaps, bold;
    int baselines; // pixels from one baseline to the next
};

std::function<void(const StylePage&)> FontAsStated(TFontStatement stated) {
    return [stated](const StylePage& page) {
        const QRect first = page.Line(stated.text);
        // The next line of the dump, the paragraph's second.
        const size_t next = page.dump.find(" y=", page.dump.find("\"" + stated.text));
        ASSERT_NE(next, std::string::npos);
        const int secondTop = std::atoi(page.dump.c_str() + next + 3);
        TFontRun* run = RunOf(page.list, stated.text);
        ASSERT_TRUE(run);
        const FontSpec& font = run->PlainFont();
        EXPECT_EQ(PointsToPixels(font.Size), stated.pixels);
        EXPECT_EQ(font.Name, stated.face);
        EXPECT_EQ(font.Italic, stated.italic);
        EXPECT_EQ(font.SmallCaps, stated.smallCaps);
        EXPECT_EQ(font.Bold, stated.bold);
        EXPECT_EQ(first.height(), stated.baselines);
        EXPECT_EQ(secondTop - first.top(), stated.baselines);
    };
}

// The marker beside the n-th list item: the ink in the 30 pixels left of
// its box, as the smallest rectangle holding it (empty with none).
QRect MarkerInk(const StylePage& page, int n) {
    const QRect item = page.Box("TBlockLI <li>", n);
    const QRect room(item.left() - 30, item.top(), 30, item.height());
    const auto [left, right] = InkColumns(page, room);
    const auto [top, bottom] = InkRows(page, room);
    if (left < 0) return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

enum class Bullet { Disc, Circle, Square };

// "Each bullet should look as described": a small mark, filled at its
// centre unless a circle, and at its corners only when a square.
void ExpectBullet(const StylePage& page, int n, Bullet bullet) {
    const QRect mark = MarkerInk(page, n);
    SCOPED_TRACE("item " + std::to_string(n));
    ASSERT_GE(mark.width(), 4);
    EXPECT_LE(mark.width(), 10);
    EXPECT_NEAR(mark.height(), mark.width(), 1);
    auto dark = [&](QPoint at) { return qGray(page.picture.pixel(at)) < 160; };
    EXPECT_EQ(dark(mark.center()), bullet != Bullet::Circle);
    EXPECT_EQ(dark(mark.topLeft()) && dark(mark.bottomRight()), bullet == Bullet::Square);
}

bool Purple(QRgb c) {
    return qRed(c) > 90 && qBlue(c) > 90 && qGreen(c) < 60;
}

// Black pixels (text) within rect.
int BlackIn(const StylePage& page, const QRect& rect) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb c = page.picture.pixel(x, y);
            count += std::max({qRed(c), qGreen(c), qBlue(c)}) < 60;
        }
    return count;
}

// The check of one page's condition, on the page laid out width pixels wide.
struct TPageCheck {
    const char* page;
    std::function<void(const StylePage&)> check;
    int width = 600;
};

// The first line of the dump that holds text, as the place where it
// starts and its height.
QRect DumpLineWith(const StylePage& page, std::string_view text) {
    const size_t at = page.dump.find(text);
    int x = 0, y = 0, h = 0;
    if (at != std::string::npos)
        std::sscanf(page.dump.c_str() + page.dump.rfind(" x=", at), " x=%d y=%d h=%d", &x, &y, &h);
    return QRect(x, y, 1, h);
}

// The line of the dump that ends with end.
QRect LineEndingWith(const StylePage& page, std::string_view end) {
    return DumpLineWith(page, std::string(end) + "\"\n");
}

// A picture of 50 by 50 pixels floats at one side of its paragraph, level
// with the first line, which runs beside it: "This text should flow around
// the box".
void ExpectFloatBesideText(const StylePage& page, Side side) {
    const QRect box = page.Box("TImageObj"), para = page.Box("TBlock <p>");
    EXPECT_EQ(box.size(), QSize(50, 50));
    const QRect first = DumpLineWith(page, "This text should flow around the box");
    EXPECT_EQ(first.top(), box.top());
    if (side == Left) {
        EXPECT_EQ(box.left(), para.left());
        EXPECT_EQ(first.left(), box.right() + 1);
    } else {
        EXPECT_EQ(box.right(), para.right());
        EXPECT_EQ(first.left(), para.left());
    }
}

// A left and a right float stand at the top corners of the content of the
// box that holds them, which lies inset (its border or padding) within it.
void ExpectFloatsInTheTopCorners(const StylePage& page, int inset,
                                 std::string_view leftFloat = "float-left",
                                 std::string_view rightFloat = "float-right") {
    const QRect box = page.Box("TBlock <div>", 1);
    const QRect left = page.Box(leftFloat), right = page.Box(rightFloat);
    ASSERT_GT(left.height(), 0);
    EXPECT_EQ(left.topLeft(), box.topLeft() + QPoint(inset, inset));
    EXPECT_EQ(right.topRight(), box.topRight() + QPoint(-inset, inset));
}

// Boxes "A 1" to "B count", floated left and right in turn, stand in rows
// of two in numeric order: each A level with the B after it and left of it,
// each row below the one before.
void ExpectFloatsInNumericOrder(const StylePage& page, int count) {
    int above = 0;
    for (int n = 1; n < count; n += 2) {
        const QRect a = DumpLineWith(page, "A " + std::to_string(n) + " ");
        const QRect b = DumpLineWith(page, "B " + std::to_string(n + 1) + " ");
        ASSERT_GT(a.height(), 0) << n;
        EXPECT_EQ(a.top(), b.top()) << n;
        EXPECT_LT(a.left(), b.left()) << n;
        EXPECT_GT(a.top(), above) << n;
        above = a.top();
    }
}

// "The blue bits of text should be decorated as described": the blue
// element on the line holding doubled shows "two blue lines" on each of the
// sides, 10 pixels deep, and the one on the line holding thin "one thin
// blue line"; "all the lines of text in the block above should be equally
// spaced". Ink is looked for reach rows above and below those lines (none
// where blue text runs on over the lines around).
void ExpectBlueInlineSides(const StylePage& page, std::string_view doubled, std::string_view thin,
                           const std::vector<Side>& sides, int reach) {
    const auto blue = [](QRgb c) { return qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60; };
    const auto boxOn = [&](std::string_view text) {
        const QRect line = DumpLineWith(page, text);
        return InkBox(page, {0, line.top(), page.picture.width(), line.height()}, reach, blue);
    };
    // The runs of blue across a side from its edge inwards, near its middle
    // where the glyphs of the next line, painted later, leave it whole.
    const auto runs = [&](const QRect& box, Side side, int depth, const std::vector<int>& want) {
        const SideProbe p = ProbeOf(box, side);
        std::vector<int> found;
        for (int along = -12; along <= 12 && found != want; along += 3) {
            found.clear();
            const QPoint start = p.edge + p.along * along;
            for (int d = 0, run = 0; d <= depth; ++d) {
                const bool ink = d < depth && blue(page.picture.pixel(start + p.inward * d));
                if (ink) ++run;
                if (!ink && run > 0) found.push_back(std::exchange(run, 0));
            }
        }
        return found;
    };
    const QRect twoLines = boxOn(doubled), oneLine = boxOn(thin);
    ASSERT_GT(twoLines.height(), 0);
    ASSERT_GT(oneLine.height(), 0);
    for (Side side : sides) {
        const std::vector<int> two{3, 3}, one{2};
        EXPECT_EQ(runs(twoLines, side, 10, two), two) << side;
        EXPECT_EQ(runs(oneLine, side, 3, one), one) << side;
    }
    TSection* text = SectionWith(page.list, "dummy text");
    ASSERT_TRUE(text);
    for (size_t i = 1; i < text->LineList.size(); ++i)
        EXPECT_EQ(text->LineList[i].LineY - text->LineList[i - 1].LineY, 18) << i;
}

std::function<void(const StylePage&)> BlueInlineSides(std::string doubled, std::string thin,
                                                      std::vector<Side> sides, int reach) {
    return [=](const StylePage& page) { ExpectBlueInlineSides(page, doubled, thin, sides, reach); };
}

// The boxes of the first acid test, against its reference rendering: every
// box whose size the style sheet sets in ems of the HTML element's 10
// pixels, each where the reference picture has it (which is cut 6 pixels
// into the body's margin, so its coordinates are 6 smaller). Text wraps by
// the fonts installed, so the final paragraph is judged by its top only.
void ExpectAcidBoxes(const StylePage& page) {
    const struct {
        const char* box;
        int n;
        QRect reference;
    } boxes[] = {
        {"TBodyBlock <body>", 0, {15, 15, 490, 0}}, {"TBlockLI <dt>", 0, {25, 25, 80, 310}},
        {"TBlockLI <dd>", 0, {115, 25, 380, 310}},  {"TBlockLI <li>", 0, {135, 45, 80, 120}},
        {"TBlockLI <li>", 1, {225, 45, 160, 110}},  {"TBlockLI <li>", 2, {395, 45, 80, 120}},
        {"TBlockLI <li>", 3, {135, 175, 120, 120}}, {"TBlock <blockquote>", 0, {275, 175, 70, 140}},
        {"TBlock <h1>", 0, {355, 175, 120, 120}},   {"TBlock <p> at (20", 0, {20, 335, 480, 0}},
    };
    for (const auto& [what, n, reference] : boxes) {
        const QRect box = page.Box(what, n);
        SCOPED_TRACE(std::string(what) + " #" + std::to_string(n));
        EXPECT_NEAR(box.left(), reference.left(), 2);
        EXPECT_NEAR(box.top(), reference.top(), 2);
        EXPECT_NEAR(box.width(), reference.width(), 2);
        if (reference.height() > 0) {
            EXPECT_NEAR(box.height(), reference.height(), 2);
        }
    }
    // No list marker shows: every item is displayed as a block.
    EXPECT_EQ(page.dump.find("marker disc"), std::string::npos);
}

// "The matches below should be identical": the rows of the DIV that the
// first to the last paragraph in it take paint the same picture, and with
// evenly, each paragraph stands as far below the one before.
void ExpectSameMatches(const StylePage& page, int first, int last, bool evenly) {
    const QRect box = page.Box("TBlock <div>");
    const auto rows = [&](int n) {
        const QRect p = page.Box("TBlock <p>", n);
        return QRect(box.left(), p.top(), box.width(), p.height());
    };
    const QRect control = rows(first);
    ASSERT_GT(control.height(), 0);
    for (int n = first + 1; n <= last; ++n) {
        const QRect test = rows(n);
        EXPECT_EQ(test.height(), control.height()) << n;
        EXPECT_TRUE(page.picture.copy(test) == page.picture.copy(control)) << n;
        if (evenly) {
            EXPECT_EQ(test.top() - rows(n - 1).top(), rows(first + 1).top() - control.top()) << n;
        }
    }
}

// Two paragraphs of the square font and a DIV of pictures paint the same
// picture from their top left corners.
void ExpectSameInlineDiagrams(const StylePage& page) {
    const QRect control = page.Box("TBlock <p>", 1);
    ExpectSamePicture(page, control, page.Box("TBlock <p>", 2).topLeft());
    ExpectSamePicture(page, control, page.Box("TBlock <div>").topLeft());
}

const TPageCheck PageChecks[] = {
    // Colours by class, cascade and importance: the lines that say they
    // should be green are.
    {"c13-inheritance-000",
     [](const StylePage& page) {
         ExpectGreenLines(page, "This sentence should be green.", 1);
         ExpectGreenLines(page, "This sentence should be white on green.", 1);
         // FAIL in white on white; the second needs DFN to be known.
         ExpectGreenLines(page, "PASS", 2);
     }},
    {"c14-classes-000", GreenLines("This sentence should be green.", 6)},
    {"c31-important-000", GreenLines("This line should be green.", 3)},
    {"c32-cascading-000", GreenLines("This should be green.", 11)},
    // Lengths of the element's own font.
    {"c412-blockw-000",
     [](const StylePage& page) {
         // Ten-pixel text, a 1em border and margin around 100 px: 120 px wide squares.
         for (int n : {0, 1}) {
             const QRect square = page.Box("TBlock <div> at (20,", n);
             EXPECT_EQ(square.width(), 120) << n;
             EXPECT_EQ(square.left(), 10 + 10) << n;
             EXPECT_TRUE(page.Mostly({square.left(), square.center().y(), 10, 1}, Tint::Green))
                 << n;
         }
     }},
    {"c548-ln-ht-000",
     [](const StylePage& page) {
         // 4em of 24 px, a 1em left padding and medium borders; lines half an inch.
         EXPECT_EQ(page.Box("TBlock <div>").width(), 96 + 24 + 2 * 4);
         EXPECT_EQ(page.Box("TBlock <pre>").width(), 120 + 2 * 4);
         EXPECT_EQ(page.Line("X").height(), 48);
     }},
    {"c61-ex-len-000",
     [](const StylePage& page) {
         // A 1ex top border and 1em width of 40 px text, in a table cell.
         const QRect test = page.Box("TBlock <div>", 1);
         EXPECT_EQ(test.width(), 40);
         EXPECT_EQ(test.height(), 20);
         EXPECT_TRUE(page.Mostly(test.adjusted(2, 2, -2, -2), Tint::Blue));
     }},
    // Each big box stands level with the line of the small box of its
    // colour, or right below that line when it does not fit beside it.
    {"c414-flt-ln-000",
     [](const StylePage& page) {
         for (const char* side : {"float-left", "float-right"}) {
             const QRect small =
                 LineEndingWith(page, side == std::string_view("float-left") ? " A " : " B ");
             ASSERT_GT(small.height(), 0) << side;
             const int top = page.Box(side).top();
             EXPECT_TRUE(top == small.top() || top == small.top() + small.height()) << side;
         }
         EXPECT_EQ(page.Box("float-right").top(), LineEndingWith(page, " B ").top());
     }},
    // "The two columns below should be identical": the margins of the test
    // column collapse into the bands the control column draws. Compared row
    // by row on a strip right of the text and of the half-width boxes (the
    // control's white box stands where a later level's "bottom" puts it).
    {"c411-vt-mrgn-000",
     [](const StylePage& page) {
         const QRect test = page.Box("cell 0,0"), control = page.Box("cell 0,1");
         ASSERT_GT(test.height(), 500);
         EXPECT_EQ(test.height(), control.height());
         const int x = test.width() * 3 / 4;
         int differing = 0;
         for (int y = 0; y < test.height(); ++y)
             differing += page.picture.pixel(test.left() + x, test.top() + y) !=
                          page.picture.pixel(control.left() + x, control.top() + y);
         EXPECT_EQ(differing, 0);
     }},
    // "There should be a blue border around this sentence": every cell's own
    // border, inside the spacing before it, the nested table's cell too.
    {"c5522-brdr-002",
     [](const StylePage& page) {
         for (int n = 0; n < 4; ++n) {
             const QRect box = page.Box("cell ", n).adjusted(2, 2, 0, 0);
             ASSERT_GT(box.height(), 20) << n;
             for (const QRect side : {QRect(box.left(), box.top(), 2, box.height()),
                                      QRect(box.right() - 1, box.top(), 2, box.height()),
                                      QRect(box.left(), box.top(), box.width(), 2),
                                      QRect(box.left(), box.bottom() - 1, box.width(), 2)})
                 EXPECT_TRUE(page.Mostly(side, Tint::Blue)) << n;
         }
     }},
    // The font shorthand: size and line height (a keyword size too), face,
    // style, variant and weight as each page states them. "A small gap
    // between each line" is 2 pixels; "small" is 13 pixels, double is 26.
    {"c527-font-000", FontAsStated({"This text should be 13px", 13, "helvetica", true, true,
                                    false, 15})},
    {"c527-font-001",
     FontAsStated({"This text should be 18px serif", 18, "serif", false, false, false, 27})},
    {"c527-font-002", FontAsStated({"This text should be 18px sans-serif", 18, "sans-serif",
                                    false, false, false, 27})},
    {"c527-font-003", FontAsStated({"This text should be small", 13, "cursive", false, false,
                                    false, 26})},
    {"c527-font-004", FontAsStated({"This text should be 18px sans-serif", 18, "sans-serif",
                                    true, true, true, 27})},
    {"c527-font-005", FontAsStated({"This text should be 18px sans-serif", 18, "sans-serif",
                                    true, true, false, 54})},
    {"c527-font-006", FontAsStated({"This text should be 18px monospace", 18, "monospace",
                                    true, true, true, 36})},
    {"c527-font-007", FontAsStated({"This text should be 18px sans-serif", 18, "sans-serif",
                                    true, true, false, 96})},
    {"c527-font-008", FontAsStated({"This text should be 18px sans-serif", 18, "sans-serif",
                                    true, false, true, 36})},
    {"c527-font-009", FontAsStated({"This test should be 12px", 12, "sans-serif", false,
                                    false, false, 30})},
    {"c527-font-10",
     [](const StylePage& page) {
         FontAsStated({"This text should be 18px sans-serif", 18, "sans-serif", true, true, false,
                       54})(page);
         // "The text should have a blue background, the gap should not."
         const QRect line = page.Line("This text should be 18px");
         EXPECT_TRUE(page.Mostly({line.left(), line.top() + line.height() / 2, 200, 2}, Tint::Blue));
         EXPECT_EQ(page.Count({line.left(), line.top() + 2, 200, 8}, Tint::Blue), 0);
     }},
    // A picture takes its width or height from the style sheet, and keeps
    // its shape: "the square below should be exactly 50 pixels wide".
    {"c5523-width-000",
     [](const StylePage& page) { EXPECT_EQ(page.Box("TImageObj").size(), QSize(50, 50)); }},
    // "The square below should be exactly 50% wide": half the body's width,
    // and still a square.
    {"c5523-width-001",
     [](const StylePage& page) {
         const QRect body = page.Box("TBlock <div>");
         EXPECT_EQ(page.Box("TImageObj").size(), QSize(body.width() / 2, body.width() / 2));
     }},
    // "The blue text should not go past the 50% mark on the ruler below":
    // the ruler stands centred on the canvas, its mark in the middle.
    {"c5523-width-002",
     [](const StylePage& page) {
         const QRect text = TintBounds(page, Tint::Blue);
         ASSERT_GT(text.height(), 200);
         EXPECT_LE(text.right(), page.picture.width() / 2);
         EXPECT_GT(text.right(), page.picture.width() / 2 - 20);
     }},
    {"c5524-height-000",
     [](const StylePage& page) { EXPECT_EQ(page.Box("TImageObj").size(), QSize(50, 50)); }},
    {"c5524-height-001",
     [](const StylePage& page) { EXPECT_EQ(page.Box("TImageObj").size(), QSize(100, 100)); }},
    // 200 pixels high by 120 wide: the picture's own shape kept.
    {"c5524-height-002",
     [](const StylePage& page) { EXPECT_EQ(page.Box("TImageObj").size(), QSize(120, 200)); }},
    // A picture floats as the style sheet says, the text flowing beside it.
    {"c5525-flt-l-000", [](const StylePage& page) { ExpectFloatBesideText(page, Left); }},
    {"c5525-flt-r-000", [](const StylePage& page) { ExpectFloatBesideText(page, Right); }},
    // A float that does not fit beside those before it goes below them: "on
    // the first line 1, 2 and 3, on the second, 4 and 5".
    {"c414-flt-fit-000",
     [](const StylePage& page) {
         const auto at = [&](char number) {
             return DumpLineWith(page, std::string("\"") + number);
         };
         const QRect one = at('1'), two = at('2'), three = at('3'), four = at('4'), five = at('5');
         ASSERT_GT(one.height(), 0);
         for (const QRect& first : {two, three})
             EXPECT_EQ(first.top(), one.top());
         EXPECT_LT(one.left(), two.left());
         EXPECT_LT(two.left(), three.left());
         EXPECT_EQ(four.top(), one.bottom() + 1);
         EXPECT_EQ(five.top(), four.top());
         EXPECT_LT(four.left(), five.left());
     }},
    // "A complete unbroken drawing of a yin-yang symbol, slightly on the
    // left inside a blue box": three floats that shrink to their pictures,
    // the third below the first two, and an inline picture beside it, on
    // lines of no height but the pictures'.
    {"c414-flt-fit-001",
     [](const StylePage& page) {
         const QRect box = page.Box("TBlock <div>");
         const QPoint corner = box.topLeft() + QPoint(5, 5);
         EXPECT_EQ(page.Box("test-tl.png").topLeft(), corner);
         EXPECT_EQ(page.Box("test-tr.png").topLeft(), corner + QPoint(100, 0));
         EXPECT_EQ(page.Box("test-bl.png").topLeft(), corner + QPoint(0, 100));
         EXPECT_EQ(page.Box("test-br.png").topLeft(), corner + QPoint(100, 100));
         EXPECT_EQ(box.size(), QSize(260, 210));
     }},
    // "The teal blocks must be just inside the top and sides of the blue
    // rectangle"; "the blue blocks should be on the given sides".
    {"c414-flt-000", [](const StylePage& page) { ExpectFloatsInTheTopCorners(page, 8); }},
    {"c414-flt-001", [](const StylePage& page) { ExpectFloatsInTheTopCorners(page, 8); }},
    // Floated pictures, the second after a space: "the teal squares must be
    // just inside the top and sides of the blue rectangle", and "the purple
    // square should be on the left, and the teal square on the right".
    {"c414-flt-002",
     [](const StylePage& page) {
         ExpectFloatsInTheTopCorners(page, 8, "left picture", "right picture");
     }},
    {"c414-flt-003",
     [](const StylePage& page) {
         ExpectFloatsInTheTopCorners(page, 8, "left picture \"support/square-purple",
                                     "right picture \"support/square-teal");
     }},
    // Left and right floats that do not fit go below those before them,
    // the boxes forming a "D", a backwards one and a "B".
    {"c414-flt-fit-002", [](const StylePage& page) { ExpectFloatsInNumericOrder(page, 10); }},
    {"c414-flt-fit-003", [](const StylePage& page) { ExpectFloatsInNumericOrder(page, 10); }},
    {"c414-flt-fit-004", [](const StylePage& page) { ExpectFloatsInNumericOrder(page, 14); }},
    // "The two patterns below should be identical, with no red present": two
    // floats in a block they do not widen, beside two plain blocks. The
    // red block holding the floats has no height of its own to show.
    {"c414-flt-fit-005",
     [](const StylePage& page) {
         ExpectSamePatternsNoRed(page, page.Box("TBlock <div>", 1) | page.Box("TBlock <div>", 2),
                                 page.Box("TBlock <p>", 1) | page.Box("TBlock <p>", 2));
     }},
    // "The word fail should not appear below": white on white it shows only
    // over the teal float, which fills the width below the narrow "TEST:"
    // float, so no line of it may stand beside the teal one.
    {"c414-flt-wrap-000",
     [](const StylePage& page) {
         const QRect teal = page.Box("float-right");
         ASSERT_GT(teal.height(), 0);
         int n = 0;
         for (QRect line = page.Line("fail"); !line.isEmpty(); line = page.Line("fail", ++n))
             EXPECT_FALSE(line.intersects(teal)) << n;
         EXPECT_GT(n, 4);
     }},
    // "The following blue box should be exactly half the width of the
    // viewport, on the left of the 50% ruler mark": the mark is the ruler's
    // one long upright, at the bottom of the block that flows around it.
    {"c5525-fltwidth-000",
     [](const StylePage& page) {
         const QRect body = page.Box("TBodyBlock"), box = page.Box("float-left");
         EXPECT_NEAR(box.width(), body.width() / 2.0, 1);
         EXPECT_TRUE(page.Mostly(box, Tint::Blue));
         const QRect flow = page.Box("TBlock <div>", 1);
         int mark = -1, longest = 0;
         for (int x = flow.left(); x <= flow.right(); ++x)
             for (int y = flow.bottom() - 40, run = 0; y <= flow.bottom(); ++y) {
                 run = qGray(page.picture.pixel(x, y)) < 160 ? run + 1 : 0;
                 if (run > longest) longest = run, mark = x;
             }
         EXPECT_GT(longest, 15);
         EXPECT_LE(box.right(), mark);
         EXPECT_GE(box.right(), mark - 2);
     }},
    // "There should be a green block on the next line": a float as wide as
    // its block leaves no room beside it, so the picture goes below it and
    // covers the red swatch at the block's bottom left.
    {"c5525-fltwidth-001",
     [](const StylePage& page) {
         const QRect green = TintBounds(page, Tint::Green);
         EXPECT_EQ(green.size(), QSize(15, 15));
         EXPECT_GT(green.top(), page.Box("float-left").bottom());
         EXPECT_EQ(green.left(), page.Box("float-left").left());
         EXPECT_TRUE(NoRed(page));
     }},
    // "To the right, there should be a green square, roughly in the middle
    // of the page horizontally", covering the red of the pattern there.
    {"c5525-fltwidth-002",
     [](const StylePage& page) {
         const QRect green = TintBounds(page, Tint::Green);
         EXPECT_EQ(green.size(), QSize(15, 15));
         EXPECT_GT(green.left(), page.Box("float-left").right());
         EXPECT_NEAR(green.center().x(), page.picture.width() / 2, 30);
         EXPECT_TRUE(NoRed(page));
     }},
    // "This blue box should be on the left", "this teal box should be on
    // the right" and the paragraph's text in between, over neither.
    {"c5525-fltwrap-000",
     [](const StylePage& page) {
         const QRect body = page.Box("TBodyBlock"), blue = page.Box("float-left"),
                     teal = page.Box("float-right");
         EXPECT_EQ(blue.left(), body.left());
         EXPECT_EQ(teal.right(), body.right());
         EXPECT_TRUE(page.Mostly(blue, Tint::Blue));
         EXPECT_EQ(page.picture.pixel(teal.center().x(), teal.bottom()), qRgb(0, 128, 128));
         EXPECT_EQ(BlackIn(page, blue) + BlackIn(page, teal), 0);
         const QRect between(blue.right() + 1, blue.top(), teal.left() - blue.right() - 1,
                             blue.height());
         EXPECT_GT(BlackIn(page, between), 1000);
     }},
    // "To the right of this teal box there should be a purple square,
    // tightly squeezed in between the edge of the teal box and the outside
    // edge of the blue block": the teal float's margin leaves just the
    // square's room, and the justified navy text under it stays inside the
    // block.
    {"c5525-fltcont-000",
     [](const StylePage& page) {
         const QRect blue = page.Box("float-left"), teal = page.Box("float-right");
         ASSERT_GT(teal.height(), 0);
         EXPECT_EQ(blue.right() - teal.right(), 17);
         EXPECT_EQ(page.picture.pixel(teal.right() + 8, blue.top() + 7), qRgb(128, 0, 128));
         const QRect beside(blue.right() + 1, blue.top(), 20, blue.height());
         EXPECT_EQ(InkColumns(page, beside).first, -1);
     }},
    // "A complete unbroken drawing of a yin-yang": two cleared floats make
    // its left half, one above the other; the block beside them, and the
    // block holding them all, paint the right half's quarters.
    {"c5526-flthw-000",
     [](const StylePage& page) {
         const QRect outer = page.Box("test-br.png"), article = page.Box("test-tr.png");
         const QRect topLeft = page.Box("test-tl.png"), bottomLeft = page.Box("test-bl.png");
         ASSERT_EQ(topLeft.size(), QSize(100, 100));
         EXPECT_EQ(topLeft.topLeft(), outer.topLeft());
         EXPECT_EQ(bottomLeft.topLeft(), topLeft.bottomLeft() + QPoint(0, 1));
         EXPECT_EQ(article.topLeft(), topLeft.topRight() + QPoint(1, 0));
         EXPECT_EQ(outer.height(), 200);
     }},
    // Pictures shown as blocks, with auto side margins: "a big blue square
    // half the width of the window and centered", then "aligned flush with
    // the right hand side".
    {"c43-rpl-bbx-000", [](const StylePage& page) { ExpectHalfWidthSquare(page, 0); }},
    {"c43-rpl-bbx-001", [](const StylePage& page) { ExpectHalfWidthSquare(page, 1); }},
    // "This teal box should start inside the dark blue box and spill out
    // onto the blue area below it": the float starts beside the paragraph
    // that fills the dark box, half an em below the box's top where the
    // paragraph starts, and ends in the thick bottom border.
    {"c5525-fltblck-001",
     [](const StylePage& page) {
         const QRect outer = page.Box("TBlock <div>");
         const QRect teal = page.Box("float-right");
         const QRect dark = page.Box("TBlock <p>", 1);
         EXPECT_EQ(teal.top() - dark.top(), 8);
         EXPECT_LT(teal.top(), dark.bottom());
         EXPECT_GT(teal.bottom(), dark.bottom());
         EXPECT_LT(teal.bottom(), outer.bottom());
     }},
    // "The two patterns below should be identical, with no red present":
    // pictures shown as blocks beside two floats that do not fit side by
    // side, whose line of spaces between them takes no room.
    {"c414-flt-fit-006",
     [](const StylePage& page) {
         ExpectSamePatternsNoRed(page, page.Box("square-teal", 0) | page.Box("square-purple", 0),
                                 page.Box("square-teal", 1) | page.Box("square-purple", 1));
     }},
    // Four floats side by side, each over its part of the table below: its
    // border, padding box and border, with the margins between them. The
    // row needs 620 pixels.
    {"c5525-fltmult-000",
     [](const StylePage& page) {
         const auto cell = [&](int column) {
             return page.Box("cell 0," + std::to_string(column) + " at");
         };
         for (int n = 0; n < 4; ++n) {
             const QRect block = page.Box("float-left", n);
             EXPECT_EQ(block.top(), page.Box("float-left").top()) << n;
             EXPECT_EQ(block.left(), cell(4 * n).left()) << n;
             EXPECT_EQ(block.right(), cell(4 * n + 2).right()) << n;
         }
     },
     800},
    // Sheets imported before the first rule count, one after it does not,
    // and a rule between comment marks is a rule.
    {"c11-import-000", GreenLines("This line should be green.", 4)},
    // medium is the default size; larger and smaller step from it.
    {"c526-font-sz-000",
     [](const StylePage& page) {
         const int normal = page.Line("This sentence should be normal.").height();
         EXPECT_GT(normal, 0);
         EXPECT_EQ(page.Line("This sentence should be the same.").height(), normal);
         EXPECT_GT(page.Line("This sentence should be larger than normal.").height(), normal);
         EXPECT_LT(page.Line("This sentence should be smaller than normal.").height(), normal);
     }},
    // "The next two bars should be identical": a negative padding is
    // dropped, so the test bar keeps its 1em padding beside the control's
    // 1em border.
    {"c5510-padn-002",
     [](const StylePage& page) {
         const QRect test = page.Box("TBlock <div>", 0), control = page.Box("TBlock <div>", 1);
         EXPECT_GT(test.height(), 0);
         EXPECT_EQ(test.size(), control.size());
         EXPECT_EQ(test.left(), control.left());
     }},
    // Selectors: groups, IDs, descendants and comments pick the green rules.
    {"c12-grouping-000", GreenLines("This sentence should be green.", 3)},
    {"c15-ids-000", GreenLines("This line should be green.", 3)},
    {"c15-ids-001",
     [](const StylePage& page) {
         ExpectGreenLines(page, "This line should be green.", 2);
         ExpectGreenLines(page, " This line should be green.", 1); // the PRE
     }},
    {"c16-descendant-000", GreenLines("This line should be green.", 3)},
    {"c16-descendant-002", GreenLines("This line should be green.", 1)},
    {"c17-comments-000", GreenLines("This line should be green.", 6)},
    {"c17-comments-001", GreenLines("This line should be green.", 2)},
    // A class or ID outranks the link pseudo-classes.
    {"c21-pseu-cls-000", GreenLines("Whatever you do to this link, it should stay green.", 1)},
    {"c21-pseu-id-000", GreenLines("Whatever you do to this link, it should stay green.", 1)},
    // Colours and backgrounds.
    {"c531-color-000", GreenLines("This line should be green.", 2)},
    // "In a blue block near the top of the page. Around it on all sides
    // should be purple": the HTML element's colour fills the canvas, the
    // body's only its own box.
    {"c45-bg-canvas-000",
     [](const StylePage& page) {
         const QRect line = page.Line("This paragraph should be");
         EXPECT_TRUE(page.Mostly(line, Tint::Blue));
         const QRgb purple = qRgb(128, 0, 128);
         const QRect all = page.picture.rect();
         for (const QPoint at : {QPoint(2, 2), QPoint(2, line.center().y()),
                                 QPoint(all.right() - 2, line.center().y()),
                                 QPoint(line.center().x(), all.bottom() - 2)})
             EXPECT_EQ(page.picture.pixel(at), purple) << at.x() << "," << at.y();
     }},
    // "A green square to the left outside this blue box, and no red": the
    // list's picture marker stands left of the item's border.
    // "Eight numbered lines stacked below, each starting with the stated line
    // number": the first is numbered by its marker, which starts the line;
    // the two inline DIVs make one line; the block A stands between six and
    // eight; nothing undisplayed shows.
    {"c561-list-displ-000",
     [](const StylePage& page) {
         ASSERT_GT(page.Box("marker \"1.\" inside").height(), 0);
         const QRect one = page.Line("Line one.");
         ASSERT_GT(one.height(), 0);
         EXPECT_LE(InkColumns(page, one).first - one.left(), 2);
         int top = one.top();
         for (std::string_view text :
              {"2. Line two.", "3. Line three.", "4. Line four.", "5. Line five.", "6. Line six.",
               "7. Line seven.", "8. Line eight."}) {
             const QRect line = page.Line(text);
             EXPECT_GE(line.top(), top + 10) << text;
             top = line.top();
         }
         EXPECT_EQ(page.Line("FAIL").height(), 0);
     }},
    // "A long blue underline including between the two arrows": the white
    // text between them is underlined in its paragraph's navy, unbroken;
    // and "there should be no red on this page".
    {"c543-txt-decor-000",
     [](const StylePage& page) {
         // The arrows and the white text between them wrap to the second
         // line, whose first rows hold the first line's underline.
         const QRect above = page.Line("This sentence should have a long blue underline");
         ASSERT_GT(above.height(), 0);
         const QRect line = above.translated(0, above.height()).adjusted(0, 2, 0, 0);
         const auto [first, last] = InkColumns(page, line);
         ASSERT_GT(last - first, 200);
         int longest = 0;
         for (int y = line.top(); y <= line.bottom(); ++y)
             longest = std::max(longest, page.Count({first, y, last - first + 1, 1}, Tint::Blue));
         EXPECT_GE(longest, last - first - 1);
         EXPECT_TRUE(NoRed(page));
     }},
    // The first letter of each paragraph is green, and only that; the
    // second's is larger, the third's (a quote and a T) much larger.
    {"c24-first-lttr-000",
     [](const StylePage& page) {
         ExpectGreenFirstLetter(page, "The first letter of this paragraph", 0, 0.9);
         ExpectGreenFirstLetter(page, "The first letter of this paragraph", 1, 1.6);
         ExpectGreenFirstLetter(page, "\\x22The first two characters", 0, 2.5);
     }},
    // "The first line of this paragraph, and only that one, should be
    // green"; the second paragraph's first line is larger too.
    {"c23-first-line-000",
     [](const StylePage& page) {
         const QRect para = page.Box("TBlock <p>");
         const QRect first = page.Line("The first line of this paragraph");
         ASSERT_GT(first.height(), 0);
         EXPECT_TRUE(page.Mostly(first, Tint::Green));
         const QRect rest{para.left(), first.bottom() + 3, para.width(),
                          para.bottom() - first.bottom() - 3};
         EXPECT_GT(page.Count(rest, Tint::Blue), 1000);
         EXPECT_EQ(page.Count(rest, Tint::Green), 0);
         const QRect larger = page.Line("The first line of this paragraph", 1);
         EXPECT_TRUE(page.Mostly(larger, Tint::Green));
         EXPECT_GT(larger.height(), first.height() * 3 / 2);
     }},
    // Letters and lines of three paragraphs: the first letter three times
    // the first line's size, which is three times the normal, aqua on a teal
    // line (TEST1); the two first characters twice the normal and aqua, the
    // first line in small capitals and teal (TEST2); the first letter aqua
    // and the first line teal (TEST3); the rest blue.
    {"c26-psudo-nest-000",
     [](const StylePage& page) {
         constexpr TColor aqua = 0xFFFF00, teal = 0x808000, blue = 0xFF0000;
         const struct {
             const char* ending;
             int at; // characters from the paragraph's first
             double scale;
             TColor color;
             bool smallCaps;
         } looks[] = {
             {"(TEST1)", 0, 9, aqua, false}, {"(TEST1)", 1, 3, teal, false},
             {"(TEST2)", 0, 2, aqua, true},  {"(TEST2)", 1, 2, aqua, true},
             {"(TEST2)", 2, 1, teal, true},  {"(TEST3)", 0, 1, aqua, false},
             {"(TEST3)", 1, 1, teal, false},
         };
         for (const auto& look : looks) {
             TSection* s = SectionWith(page.list, look.ending);
             ASSERT_TRUE(s) << look.ending;
             const auto fontAt = [&](size_t i) -> const FontSpec& {
                 return s->Runs[s->RunIndexAt(static_cast<int>(i))]->CurrentFont();
             };
             const FontSpec& normal = fontAt(s->Text.find(look.ending));
             const FontSpec& font = fontAt(s->Text.find_first_not_of(' ') + look.at);
             SCOPED_TRACE(std::string(look.ending) + " +" + std::to_string(look.at));
             EXPECT_EQ(normal.Color, blue);
             EXPECT_NEAR(font.Size, normal.Size * look.scale, 0.5);
             EXPECT_EQ(font.Color, look.color);
             EXPECT_EQ(font.SmallCaps, look.smallCaps);
         }
     }},
    // Two lines white on green: the rule with a class after the
    // pseudo-element is not CSS and gives no yellow on red.
    {"c25-pseudo-elmnt-000",
     [](const StylePage& page) {
         ExpectGreenLines(page, "This line should be white on green.", 2);
         EXPECT_TRUE(NoRed(page));
     }},
    {"c563-list-type-000",
     [](const StylePage& page) {
         for (int n = 0; n < 9; ++n)
             ExpectBullet(page, n, n < 3 ? Bullet::Disc : n < 6 ? Bullet::Circle : Bullet::Square);
         for (int n = 9; n < 12; ++n)
             EXPECT_TRUE(MarkerInk(page, n).isEmpty()) << n;
         EXPECT_TRUE(NoRed(page));
     }},
    // "The two columns should look the same, except for alignment": each
    // item's marker says what its text does.
    {"c563-list-type-001",
     [](const StylePage& page) {
         int items = 0;
         for (size_t at = page.dump.find("marker \""); at != std::string::npos;
              at = page.dump.find("marker \"", at + 1), ++items) {
             const size_t from = at + 8, to = page.dump.find('"', from);
             const std::string marker = page.dump.substr(from, to - from);
             const size_t text = page.dump.find("line 0", to);
             ASSERT_NE(text, std::string::npos);
             const size_t quote = page.dump.find('"', text) + 1;
             EXPECT_EQ(page.dump.substr(quote, page.dump.find(' ', quote) - quote), marker);
         }
         EXPECT_EQ(items, 15);
     }},
    // "Each bullet should look as described": a purple square 17 pixels
    // wide before each item of the first list, clear of its text, and discs
    // before the second.
    {"c564-list-img-000",
     [](const StylePage& page) {
         for (int n = 0; n < 3; ++n) {
             const QRect item = page.Box("TBlockLI <li>", n);
             int purple = 0, touching = 0;
             // Standing on the baseline, a square reaches 2 rows above its
             // item's box of 18; an item's rows less the last 3 hold it alone.
             for (int y = item.top() - 3; y <= item.bottom() - 3; ++y)
                 for (int x = item.left() - 30; x < item.left(); ++x)
                     if (Purple(page.picture.pixel(x, y))) (x < item.left() - 6 ? purple : touching)++;
             EXPECT_EQ(purple, 17 * 17) << n;
             EXPECT_EQ(touching, 0) << n;
         }
         for (int n = 3; n < 6; ++n)
             ExpectBullet(page, n, Bullet::Disc);
     }},
    // "A navy rectangle below, preceded by a blue bullet".
    {"c565-list-pos-000",
     [](const StylePage& page) {
         const QRect item = page.Box("TBlockLI <li>");
         ASSERT_GT(item.width(), 100);
         EXPECT_EQ(page.Count(item, Tint::Blue), item.width() * item.height());
         const QRect bullet = MarkerInk(page, 0);
         ASSERT_FALSE(bullet.isEmpty());
         EXPECT_EQ(page.Count(bullet, Tint::Blue), page.Count(bullet.adjusted(-2, -2, 2, 2), Tint::Blue));
         EXPECT_GT(page.Count(bullet, Tint::Blue), 10);
     }},
    // "A navy rectangle below, with a white bullet inside".
    {"c565-list-pos-001",
     [](const StylePage& page) {
         const QRect item = page.Box("TBlockLI <li>");
         ASSERT_GT(item.width(), 100);
         EXPECT_TRUE(MarkerInk(page, 0).isEmpty());
         int white = 0;
         for (int y = item.top(); y <= item.bottom(); ++y)
             for (int x = item.left(); x < item.left() + 16; ++x)
                 white += qGray(page.picture.pixel(x, y)) > 200;
         EXPECT_GT(white, 10);
         EXPECT_EQ(page.Count(item, Tint::Blue) + white, item.width() * item.height());
     }},
    {"c566-list-stl-001",
     [](const StylePage& page) {
         const QRect item = page.Box("TBlockLI <li>");
         ASSERT_GT(item.height(), 0);
         EXPECT_GT(page.Count({0, item.top(), item.left(), item.height()}, Tint::Green), 100);
         EXPECT_EQ(page.Count(item, Tint::Green), 0);
         EXPECT_TRUE(NoRed(page));
     }},
    // "This sentence Should be In small Caps": letters drawn as capitals
    // have no descenders, so the small capitals' line ends higher than the
    // mixed case line of the same size below it, whose y and p descend.
    {"c524-font-var-000",
     [](const StylePage& page) {
         const QRect capitals = page.Line("This sentence Should be In small Caps");
         const QRect mixed = page.Line("Should be In normal Mixed case");
         ASSERT_EQ(capitals.height(), mixed.height());
         EXPECT_LT(InkRows(page, capitals).second - capitals.top() + 2,
                   InkRows(page, mixed).second - mixed.top());
     }},
    {"c532-bgcolor-000",
     [](const StylePage& page) {
         ExpectGreenLines(page, "This line should be green.", 1);
         ExpectGreenLines(page, "This line should be pale green.", 1);
         // A transparent SPAN shows its paragraph's lime.
         ExpectGreenLines(page, "This line should be green too.", 1);
     }},
    {"c532-bgcolor-001",
     [](const StylePage& page) {
         ExpectGreenLines(page, "This line should be green.", 1);
         EXPECT_TRUE(NoRed(page));
     }},
    // Alignment: the right-aligned line ends at the content's right edge,
    // the centred one has equal room on both sides.
    {"c546-txt-align-000",
     [](const StylePage& page) {
         const QRect left = page.Line("This sentence should be left-justified.");
         EXPECT_EQ(InkColumns(page, left).first - left.left(), 0);
         const QRect right = page.Line("This sentence should be right-justified.");
         EXPECT_NEAR(InkColumns(page, right).second, right.right(), 2);
         const QRect centre = page.Line("This sentence should be centered.");
         const auto [from, to] = InkColumns(page, centre);
         EXPECT_NEAR(from - centre.left(), centre.right() - to, 3);
     }},
    // Margins and paddings: the test bar matches its control.
    {"c5502-mrgn-r-003",
     [](const StylePage& page) {
         ExpectSameBars(page.Box("TBlock <p>", 1), page.Box("TBlock <div>", 1));
     }},
    {"c5504-mrgn-l-003",
     [](const StylePage& page) {
         ExpectSameBars(page.Box("TBlock <p>", 1), page.Box("TBlock <div>", 1));
     }},
    {"c5507-padn-r-003",
     [](const StylePage& page) {
         ExpectSameBars(page.Box("TBlock <div>", 0), page.Box("TBlock <div>", 1));
     }},
    {"c5507-padn-r-002", [](const StylePage& page) { ExpectBorderBesideText(page, false); }},
    {"c5509-padn-l-002", [](const StylePage& page) { ExpectBorderBesideText(page, true); }},
    {"c5509-padn-l-003",
     [](const StylePage& page) {
         ExpectSameBars(page.Box("TBlock <div>", 0), page.Box("TBlock <div>", 1));
     }},
    // A red picture along one side of a block, or all over it, hidden by the
    // border (or the white paragraph) of the block inside: "There should be
    // no red on this page".
    {"c5511-brdr-tw-001", ExpectRedPictureHidden},
    {"c5512-brdr-rw-001", ExpectRedPictureHidden},
    {"c5513-brdr-bw-001", ExpectRedPictureHidden},
    {"c5514-brdr-lw-001", ExpectRedPictureHidden},
    {"c5515-brdr-w-001", ExpectRedPictureHidden},
    // Border widths by side.
    {"c5511-brdr-tw-000",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::Thinner, {Top}); }},
    {"c5511-brdr-tw-002",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::NoStyle, {}); }},
    {"c5511-brdr-tw-003",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::OpenEnded, {Top}); }},
    {"c5512-brdr-rw-000",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::Thinner, {Right}); }},
    {"c5512-brdr-rw-002",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::NoStyle, {}); }},
    {"c5512-brdr-rw-003",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::OpenEnded, {Right}); }},
    {"c5513-brdr-bw-000",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::Thinner, {Bottom}); }},
    {"c5513-brdr-bw-002",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::NoStyle, {}); }},
    {"c5513-brdr-bw-003",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::OpenEnded, {Bottom}); }},
    {"c5514-brdr-lw-000",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::Thinner, {Left}); }},
    {"c5514-brdr-lw-002",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::NoStyle, {}); }},
    {"c5514-brdr-lw-003",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::OpenEnded, {Left}); }},
    {"c5515-brdr-w-000",
     [](const StylePage& page) {
         ExpectBorders(page, BorderPage::Thinner, {Top, Right, Bottom, Left});
     }},
    {"c5515-brdr-w-002",
     [](const StylePage& page) { ExpectBorders(page, BorderPage::NoStyle, {}); }},
    // Border styles and colours by side.
    {"c5517-brdr-s-000",
     [](const StylePage& page) {
         using enum Painted;
         auto box = [&](int n) { return page.Box("TBlock <p>", n + 1); };
         const int thick = 6;
         ExpectSides(page, box(0), thick, {Dotted, Dotted, Dotted, Dotted});
         ExpectSides(page, box(1), thick, {Dashed, Dashed, Dashed, Dashed});
         ExpectSides(page, box(2), thick, {Solid, Solid, Solid, Solid});
         ExpectSides(page, box(3), thick, {Double, Double, Double, Double});
         for (int n : {4, 5})
             ExpectSides(page, box(n), thick, {TwoTone, TwoTone, TwoTone, TwoTone});
         ExpectSides(page, box(8), thick, {Double, TwoTone, Double, TwoTone});
         ExpectSides(page, box(9), thick, {Dotted, Double, Dashed, Solid});
         ExpectSides(page, box(10), thick, {None, None, None, None});
         // A groove's outer half is in shadow, a ridge's inner half; an inset
         // box's top is darker than its bottom, an outset box's lighter.
         auto gray = [&](int n, Side side, double part) {
             return qGray(PixelIn(page, box(n), side, part, thick));
         };
         EXPECT_LT(gray(4, Top, 0.2), gray(4, Top, 0.8));
         EXPECT_GT(gray(5, Top, 0.2), gray(5, Top, 0.8));
         EXPECT_LT(gray(6, Top, 0.5), gray(6, Bottom, 0.5));
         EXPECT_GT(gray(7, Top, 0.5), gray(7, Bottom, 0.5));
         EXPECT_EQ(gray(6, Left, 0.5), gray(6, Top, 0.5));
     }},
    {"c5522-brdr-000",
     [](const StylePage& page) {
         using enum Painted;
         auto box = [&](int n) { return page.Box("TBlock <p>", n + 1); };
         ExpectSides(page, box(0), 4, {Solid, Solid, Solid, Solid});
         for (int n : {1, 2})
             ExpectSides(page, box(n), 6, {Solid, Solid, Solid, Solid});
         ExpectSides(page, box(3), 10, {TwoTone, TwoTone, TwoTone, TwoTone});
         ExpectSides(page, box(4), 10, {Double, Double, Double, Double});
         // No style, or a shorthand with a part that is no border value.
         for (int n : {5, 6, 7})
             ExpectSides(page, box(n), 6, {None, None, None, None});
         auto gray = [&](int n, Side side) { return qGray(PixelIn(page, box(n), side, 0.5, 6)); };
         EXPECT_GT(gray(1, Top), gray(1, Bottom)); // outset
         EXPECT_LT(gray(2, Top), gray(2, Bottom)); // inset
     }},
    {"c5516-brdr-c-000",
     [](const StylePage& page) {
         const QRect green = page.Box("TBlock <p>", 0);
         ExpectSameBars(page.Box("TBlock <p>", 1), green);
         for (Side side : {Top, Right, Bottom, Left})
             EXPECT_EQ(PixelIn(page, green, side, 0, 1), qRgb(0, 0x80, 0)) << side;
         // Clockwise from the top: purple, green, blue, yellow, 2em thick.
         const QRect four = page.Box("TBlock <p>", 2);
         const QRgb colours[] = {qRgb(0x80, 0, 0x80), qRgb(0, 0x80, 0), qRgb(0, 0, 0xFF),
                                 qRgb(0xFF, 0xFF, 0)};
         for (Side side : {Top, Right, Bottom, Left})
             EXPECT_EQ(PixelIn(page, four, side, 0.5, 32), colours[side]) << side;
     }},
    // Pages in the square font. Pictures behind its text fill the gaps
    // between its glyphs, as the background's repeat and position say.
    {"c534-bgre-000", ExpectGreenBlock},
    {"c534-bgre-001", ExpectGreenBlock},
    {"c534-bgreps-000", ExpectGreenBlock},
    {"c534-bgreps-001", ExpectGreenBlock},
    {"c534-bgreps-002", ExpectGreenBlock},
    {"c534-bgreps-003", ExpectGreenBlock},
    {"c534-bgreps-004", ExpectGreenBlock},
    {"c534-bgreps-005", ExpectGreenBlock},
    // An inline element's margins and paddings left and right take room in
    // its line; its padding above and below paints over the lines beside
    // it without moving them. Negative paddings are dropped.
    {"c5502-imrgn-r-000", GreenShape(15, 30)},
    {"c5504-imrgn-l-000", GreenShape(15, 30)},
    {"c5507-ipadn-r-000", GreenShape(15, 30)},
    {"c5509-ipadn-l-000", GreenShape(15, 30)},
    {"c5502-imrgn-r-001", GreenShape(13 * 15, 15)},
    {"c5504-imrgn-l-001", GreenShape(13 * 15, 15)},
    {"c5507-ipadn-r-001", GreenShape(13 * 15, 15)},
    {"c5509-ipadn-l-001", GreenShape(13 * 15, 15)},
    {"c5502-imrgn-r-003", ExpectHi},
    {"c5504-imrgn-l-003", ExpectHi},
    {"c5507-ipadn-r-003", ExpectHi},
    {"c5509-ipadn-l-003", ExpectHi},
    // Beside pictures of the same: a negative padding is dropped, the
    // paddings before it stay.
    {"c5507-ipadn-r-004",
     [](const StylePage& page) {
         ExpectSamePicture(page, page.Box("TBlock <div>"),
                           page.Box("swatch-white.png").topLeft() + QPoint(15, 0));
     }},
    {"c5509-ipadn-l-004",
     [](const StylePage& page) {
         ExpectSamePicture(page, page.Box("TBlock <div>"),
                           page.Box("swatch-white.png").topLeft() + QPoint(15, 0));
     }},
    {"c5502-imrgn-r-002", GreenShape(30, 30)},
    {"c5507-ipadn-r-002", GreenShape(30, 30)},
    {"c5504-imrgn-l-002", GreenShape(15, 15)},
    {"c5509-ipadn-l-002", GreenShape(15, 15)},
    {"c5506-ipadn-t-000", GreenShape(40, 20)},
    {"c5506-ipadn-t-001", GreenShape(40, 20)},
    {"c5506-ipadn-t-002", GreenShape(40, 20)},
    {"c5508-ipadn-b-000", GreenShape(40, 20)},
    {"c5508-ipadn-b-001", GreenShape(40, 20)},
    {"c5505-imrgn-000",
     [](const StylePage& page) {
         ExpectSamePicture(page, page.Box("TBlock <div>", 1), page.Box("swatch-green.png").topLeft());
     }},
    {"c5510-ipadn-000",
     [](const StylePage& page) {
         // The span's padding reaches 15 pixels above and below its line.
         const QRect sweet = page.Box("TBlock <p>", 1);
         ExpectSamePicture(page, page.Box("css1test5510-i.png"), sweet.topLeft() - QPoint(0, 15));
     }},
    // Percentages of margins count against the containing block's width,
    // vertical ones too.
    // Five lines, five lines and four lines of 15 pixels, as wide as the
    // margins leave them, between four margins of 15 pixels.
    {"c62-percent-000", GreenShape(12 * 15, (5 + 5 + 4) * 15 + 4 * 15)},
    {"c5502-mrgn-r-000", [](const StylePage& page) { ExpectSameMatches(page, 1, 5, false); }},
    {"c5504-mrgn-l-000", [](const StylePage& page) { ExpectSameMatches(page, 1, 5, false); }},
    {"c5505-mrgn-000", [](const StylePage& page) { ExpectSameMatches(page, 1, 6, true); }},
    // "Three solid bars of colour below, each longer than the last, each of
    // the colour specified": glyphs of 15 pixels and a picture of the same,
    // set on the line's bottom, in colours written every way (an invalid
    // one leaves the inherited blue; components out of range are clipped).
    {"c63-color-000",
     [](const StylePage& page) {
         const struct {
             QRgb colour;
             int width;
         } bars[] = {{qRgb(0, 0, 255), 3 * 15}, {qRgb(255, 165, 0), 5 * 15},
                     {qRgb(0, 255, 0), 13 * 15}};
         for (int n = 0; n < 3; ++n) {
             const QRect box = page.Box("TBlock <div>", n);
             int run = 0, longest = 0;
             for (int x = box.left(); x <= box.right(); ++x) {
                 int count = 0;
                 for (int y = box.top(); y <= box.bottom(); ++y)
                     count += page.picture.pixel(x, y) == bars[n].colour;
                 run = count == 15 ? run + 1 : 0;
                 longest = std::max(longest, run);
             }
             EXPECT_EQ(longest, bars[n].width) << n;
         }
     }},
    // "There should be no red on this page": red pictures placed by
    // keywords and percentages stand behind the glyphs that hide them.
    {"c536-bgpos-000", [](const StylePage& page) { EXPECT_TRUE(NoRed(page)); }},
    // "The three diagrams below should be identical": a vertical margin on
    // an inline element moves nothing, as a picture with a style border
    // above and below shows.
    {"c5501-imrgn-t-000", ExpectSameInlineDiagrams},
    {"c5503-imrgn-b-000", ExpectSameInlineDiagrams},
    {"c5501-mrgn-t-000", ExpectSameCells},
    {"c5503-mrgn-b-000", ExpectSameCells},
    {"c5506-padn-t-000", ExpectSameCells},
    {"c5508-ipadn-b-003", ExpectSameCells},
    {"c5507-padn-r-000", IdenticalBoxes("TBlock <p>", 1, 5)},
    {"c5509-padn-l-000", IdenticalBoxes("TBlock <p>", 1, 5)},
    // Horizontal margins, borders and paddings add up to the width of the
    // containing block, here shown beside a picture of the same.
    {"c412-hz-box-000",
     [](const StylePage& page) {
         const QRect ruled = page.Box("TBlock <p>", 1);
         ExpectSamePicture(page, page.Box("css1test412a.png"), ruled.topLeft() - QPoint(40, 0));
     }},
    {"c42-ibx-pad-000",
     [](const StylePage& page) {
         // The picture holds the DIV's left margin of 10 pixels.
         const QRect control = page.Box("css1test42a.png");
         ExpectSamePicture(page, control, page.Box("TBlock <div>").topLeft() - QPoint(10, 0));
     }},
    // A float as wide as its line leaves no room beside it: the text goes
    // below, and only the green picture shows (16-pixel ems).
    {"c414-flt-wrap-001", GreenShape(15 * 16, 7 * 16)},
    // A float of half the width holds the white picture at the right; the
    // green one then stands first on the left, over the red.
    {"c5525-fltwidth-003",
     [](const StylePage& page) {
         const QRect green = ExpectGreenShape(page, 15, 15);
         EXPECT_EQ(green.topLeft(), page.Box("TBodyBlock <body>").topLeft());
     }},
    // Addresses in a sheet and in a sheet it imports are read against the
    // sheet's own address.
    {"c64-uri-000", GreenLines("This line should be green.", 3)},
    // A span with no picture of its own shows its paragraph's through it.
    {"c533-bgimage-000", GreenLines("This sentence", 2)},
    // Six units for the same 48 pixels: "a solid single uninterrupted smooth
    // column of blue" (its glyphs' edges fall a fraction of a pixel apart).
    {"c526-font-sz-001",
     [](const StylePage& page) {
         const QRect column = TintBounds(page, Tint::Blue);
         EXPECT_EQ(column.width(), 48);
         EXPECT_NEAR(column.height(), 6 * 48, 1);
         EXPECT_EQ(page.Count(column, Tint::Blue), column.width() * column.height());
     }},
    // A negative size is dropped: "the two boxes should be the same size".
    {"c526-font-sz-003",
     [](const StylePage& page) {
         ExpectSameBars(page.Box("TBlock <p>", 2), page.Box("TBlock <p>", 1));
         EXPECT_EQ(page.Box("TBlock <p>", 1).height(), 48);
     }},
    // A block picture with auto margins, a picture in centred text and a
    // centred glyph stand in one column in the middle, over the red.
    {"c43-center-000",
     [](const StylePage& page) {
         const QRect column = ExpectShape(page, Tint::Blue, 15, 3 * 15);
         EXPECT_NEAR(column.center().x(), page.Box("TBlock <div>").center().x(), 1);
     }},
    // A float's box stands at the right of its block, its margin inside.
    {"c5525-fltblck-000",
     [](const StylePage& page) {
         const QRect box = ExpectGreenShape(page, 20 * 15 + 2 * 5 + 2 * 3, 5 * 15 + 2 * 5 + 2 * 3);
         EXPECT_EQ(box.right(), page.Box("TBlock <div>").right() - 10);
     }},
    // A line's leading is shared above and below its glyphs; an inline
    // element's background covers its glyphs' height, not the line's.
    {"c548-leadin-000",
     [](const StylePage& page) {
         const QRect box = page.Box("TBlock <div>");
         int changes = 0;
         bool light = false;
         for (int y = box.top() + 4; y < box.bottom() - 4; ++y) {
             const bool now = qGreen(page.picture.pixel(box.center().x(), y)) > 200;
             changes += now != light;
             light = now;
         }
         EXPECT_EQ(changes, 4); // dark, light, dark, light, dark
         EXPECT_TRUE(NoRed(page));
     }},
    {"c548-ln-ht-004", [](const StylePage& page) { EXPECT_TRUE(NoRed(page)); }},
    // "A solid blue line directly over (under) every occurrence of the word
    // HERE; so there should be 7 blue lines": on a span, table cells, list
    // items, none on the cell whose style takes its border away.
    {"c5518-brdr-t-001",
     [](const StylePage& page) { EXPECT_EQ(BlueLines(page, Across::Rows, 20).size(), 7u); }},
    {"c5520-brdr-b-001",
     [](const StylePage& page) { EXPECT_EQ(BlueLines(page, Across::Rows, 20).size(), 7u); }},
    // "A solid blue line to the right (left) of every occurrence of the word
    // THERE: 3 short lines and 2 long lines in total".
    {"c5519-brdr-r-001", [](const StylePage& page) { ExpectShortAndLongLines(page, 3, 2); }},
    {"c5521-brdr-l-001", [](const StylePage& page) { ExpectShortAndLongLines(page, 3, 2); }},
    // Descendant selectors of several steps, and pseudo-classes of links.
    {"c16-descendant-001", GreenLines("This line should be green.", 2)},
    {"c21-pseud-link-000", GreenLines("This link should be green.", 1)},
    // Italics and oblique both slant; normal undoes either.
    {"c523-font-style-000",
     [](const StylePage& page) {
         const auto italic = [&](std::string_view text) {
             return FontFlags(page, text, &FontSpec::Italic);
         };
         EXPECT_EQ(italic("This sentence should be in italics."), std::vector<bool>{true});
         EXPECT_EQ(italic("This sentence should be oblique."), std::vector<bool>{true});
         EXPECT_EQ(italic("This sentence should be normal."), (std::vector<bool>{false, false}));
     }},
    // Weights by word and by number: each of the nine lines as bold as the
    // one before or bolder, 400 normal and 700 bold.
    {"c525-font-wt-000",
     [](const StylePage& page) {
         const auto bold = [&](std::string_view text) {
             return FontFlags(page, text, &FontSpec::Bold);
         };
         EXPECT_EQ(bold("should also be normal."), (std::vector<bool>{false, false}));
         EXPECT_EQ(bold("bolder than normal."), std::vector<bool>{true});
         EXPECT_EQ(bold("This sentence should be bold."), (std::vector<bool>{true, true}));
         EXPECT_EQ(bold("This sentence should be normal."), std::vector<bool>{false});
         EXPECT_EQ(bold("lighter than normal"), std::vector<bool>{false});
         bool before = false;
         for (int n = 1; n <= 9; ++n) {
             const std::vector<bool> line = bold("Line " + std::to_string(n));
             ASSERT_EQ(line.size(), 1u) << n;
             EXPECT_TRUE(line[0] || !before) << n;
             EXPECT_EQ(line[0], n >= 6) << n;
             before = line[0];
         }
     }},
    // "There should be no border around the cat": a style's zero width takes
    // a linked picture's frame away.
    {"c5522-brdr-001",
     [](const StylePage& page) {
         EXPECT_GT(page.Box("support/cat.png").width(), 0);
         EXPECT_EQ(page.dump.find(" link \"support/cat.png\""), std::string::npos) << page.dump;
     }},
    {"c21-pseud-link-001", GreenLines("This link should be green.", 1)},
    // "The following two diagrams should look identical": the style's
    // margins or paddings on a list beside nested blocks drawn to match.
    {"c5502-mrgn-r-001", IdenticalBoxes("TBlock <div>", 0, 1)},
    {"c5504-mrgn-l-001", IdenticalBoxes("TBlock <div>", 0, 1)},
    {"c5505-mrgn-001", IdenticalBoxes("TBlock <div>", 0, 1)},
    {"c5507-padn-r-001", IdenticalBoxes("TBlock <div>", 0, 1)},
    {"c5509-padn-l-001", IdenticalBoxes("TBlock <div>", 0, 1)},
    {"c5510-padn-001", IdenticalBoxes("TBlock <div>", 0, 1)},
    // Pictures placed by percentages and pixels stand behind the glyphs
    // that hide them.
    {"c536-bgpos-001", [](const StylePage& page) { EXPECT_TRUE(NoRed(page)); }},
    // A block picture and a block of one glyph with the same width and
    // height are "two identical squares", with no red between.
    {"c43-rpl-bbx-002",
     [](const StylePage& page) {
         for (int n = 0; n < 2; ++n)
             EXPECT_EQ(page.Box("TBlock <img>", n).size(), page.Box("TBlock <span>", n).size()) << n;
         EXPECT_TRUE(NoRed(page));
     }},
    // The sides of inline elements: widths, colours and styles by side.
    {"c5511-ibrdr-tw-000", [](const StylePage& page) { ExpectThinInlineSide(page, {Top}); }},
    {"c5512-ibrdr-rw-000", [](const StylePage& page) { ExpectThinInlineSide(page, {Right}); }},
    {"c5513-ibrdr-bw-000", [](const StylePage& page) { ExpectThinInlineSide(page, {Bottom}); }},
    {"c5514-ibrdr-lw-000", [](const StylePage& page) { ExpectThinInlineSide(page, {Left}); }},
    {"c5515-ibrdr-000",
     [](const StylePage& page) { ExpectThinInlineSide(page, {Top, Right, Bottom, Left}); }},
    {"c5518-ibrdr-t-000", BlueInlineSides("two blue lines above", "one thin blue line", {Top}, 12),
     1000},
    {"c5519-ibrdr-r-000", BlueInlineSides("two blue lines here", "blue line here", {Right}, 0), 1000},
    {"c5520-ibrdr-b-000",
     BlueInlineSides("two blue lines below", "one thin blue line", {Bottom}, 12), 1000},
    {"c5521-ibrdr-l-000",
     BlueInlineSides("two blue lines to the left", "one thin blue line", {Left}, 0), 1000},
    {"c5522-ibrdr-000",
     BlueInlineSides("two blue lines all around", "blue line all around",
                     {Top, Right, Bottom, Left}, 12),
     1000},
    // The first acid test, as the chapter has it: "the document elements
    // above this paragraph", each where the reference rendering has it.
    {"c5526c-display-000", ExpectAcidBoxes, 800},
    // "This sentence should be green": no red picture behind it.
    {"c533-bgimage-001",
     [](const StylePage& page) {
         ExpectGreenLines(page, "This sentence should be green.", 1);
         EXPECT_TRUE(NoRed(page));
     }},
    // "This sentence should be green": an anchor with no address is no
    // link, so the link colours pass it by.
    {"c21-pseud-anch-000",
     [](const StylePage& page) {
         const QRect line = page.Line("This sentence should be green.");
         EXPECT_GT(page.Count(line, Tint::Green), 100);
         EXPECT_TRUE(NoRed(page));
     }},
    // "A solid line to the left of the text below, having three segments
    // each of a different colour": orange beside the first item and the list
    // within it, lime beside the second, yellow beside the third, unbroken.
    {"c5521-brdr-l-002",
     [](const StylePage& page) {
         const struct {
             int item;
             QRgb colour;
         } segments[] = {{0, qRgb(255, 165, 0)}, {4, qRgb(0, 255, 0)}, {5, qRgb(255, 255, 0)}};
         int next = -1;
         for (const auto& [item, colour] : segments) {
             const QRect box = page.Box("TBlockLI <li>", item);
             ASSERT_GT(box.height(), 0) << item;
             if (next >= 0) {
                 EXPECT_EQ(box.top(), next) << item;
             }
             next = box.bottom() + 1;
             for (int y = box.top(); y <= box.bottom(); ++y)
                 ASSERT_EQ(page.picture.pixel(box.left() + 1, y), colour) << item << " at " << y;
         }
     }},
    // "The five diagrams below should be identical": pictures set on the
    // line's bottom hold a line as tall as the text's, and paddings in any
    // unit make the border's width.
    {"c5510-padn-000", IdenticalBoxes("TBlock <p>", 1, 5)},
    {"c5516-ibrdr-c-000",
     [](const StylePage& page) {
         const QRgb green = qRgb(0, 0x80, 0);
         for (int n = 0; n < 2; ++n) {
             const QRect box = InkBox(page, page.Line("This box should have", n), 6,
                                      [&](QRgb c) { return c == green; });
             for (Side side : {Top, Right, Bottom, Left})
                 EXPECT_EQ(PixelIn(page, box, side, 0, 1), green) << n << " " << side;
         }
         // Clockwise from the top: purple, green, blue, yellow, 2em thick.
         const QRgb colours[] = {qRgb(0x80, 0, 0x80), green, qRgb(0, 0, 0xFF),
                                 qRgb(0xFF, 0xFF, 0)};
         const QRect four = InkBox(page, page.Line("Clockwise from top"), 40,
                                   [&](QRgb c) { return c == colours[0] || c == colours[2]; });
         ASSERT_GT(four.height(), 64);
         for (Side side : {Top, Right, Bottom, Left})
             EXPECT_EQ(PixelIn(page, four, side, 0.5, 32), colours[side]) << side;
     }},
    {"c5517-ibrdr-s-000",
     [](const StylePage& page) {
         using enum Painted;
         const int thick = 5;
         // The sides beside a line are too short for more than one dash.
         const QRect dashed = InkBox(page, page.Line("Black and dashed."), 8, Dark);
         ExpectSides(page, dashed, thick, {Dashed, Solid, Dashed, Solid});
         const QRect grooved = InkBox(page, page.Line("Orange and grooved."), 8,
                                      [](QRgb c) { return qRed(c) > 100 && qBlue(c) < 60; });
         ExpectSides(page, grooved, thick, {TwoTone, TwoTone, TwoTone, TwoTone});
         const QRect none = InkBox(page, page.Line("No border."), 8,
                                   [](QRgb c) { return c == qRgb(0xFF, 0, 0); });
         EXPECT_TRUE(none.isEmpty());
     }},
    {"c5518-brdr-t-000", [](const StylePage& page) { ExpectDoubleThenThin(page, Top); }},
    {"c5520-brdr-b-000", [](const StylePage& page) { ExpectDoubleThenThin(page, Bottom); }},
    // "A solid line to the right of the text, having three segments each of
    // a different colour": the borders of three list items that meet.
    {"c5519-brdr-r-002",
     [](const StylePage& page) {
         const QRgb colours[] = {qRgb(0xFF, 0xA5, 0), qRgb(0, 0xFF, 0), qRgb(0xFF, 0xFF, 0)};
         const QRect items[] = {page.Box("TBlockLI <li>", 0), page.Box("TBlockLI <li>", 4),
                                page.Box("TBlockLI <li>", 5)};
         for (int n = 0; n < 3; ++n) {
             EXPECT_EQ(PixelIn(page, items[n], Right, 0, 3), colours[n]) << n;
             if (n > 0) {
                 EXPECT_EQ(items[n].top(), items[n - 1].bottom() + 1) << n;
             }
         }
     }},
    // Underlining reaches every element inside the underlined one.
    {"c13-inh-underlin-000",
     [](const StylePage& page) {
         ExpectUnderlinedOnly(page, "This should be blue and underlined.", "");
         ExpectUnderlinedOnly(page, "This sentence should be underlined, including", "");
         ExpectUnderlinedOnly(page, "This sentence should also be underlined", "");
         ExpectUnderlinedOnly(page, "This sentence should be blue but not underlined",
                              "this part should be underlined");
     }},

    {"c5519-brdr-r-000", [](const StylePage& page) { ExpectDoubleThenThin(page, Right); }},
    {"c5521-brdr-l-000", [](const StylePage& page) { ExpectDoubleThenThin(page, Left); }},
    // What a sheet cannot read it skips to the end of the declaration or
    // rule, past strings, brackets and blocks: unknown properties and
    // values, quoted colours, selectors and at-rules of later levels.
    {"c71-fwd-parsing-000", GreenLines("This line should be green.", 9)},
    {"c71-fwd-parsing-001",
     [](const StylePage& page) {
         ExpectIdenticalBoxes(page, "TBlock <p>", 1, 4);
         const QRect bordered = page.Box("TBlock <p>", 1);
         EXPECT_TRUE(
             page.Mostly({bordered.left(), bordered.top(), 3, bordered.height()}, Tint::Blue));
     }},
    {"c71-fwd-parsing-002",
     [](const StylePage& page) {
         ExpectGreenLines(page, "This line should be green.", 16);
         EXPECT_TRUE(NoRed(page));
     }},
    {"c71-fwd-parsing-003",
     IdenticalBoxes("TSection", 0, 3)},
    // A rule after a declaration left outside any block is still read.
    {"c71-fwd-parsing-004", GreenLines("This line should be bright green.", 1)},
};

// Text in the square test font measures its size a character, so pages
// made for it can be judged by their boxes.
TEST(Css1Pages, SquareTestFontIsFoundAndExact) {
    if (!testFontListed) GTEST_SKIP() << "no test font: python3-fontforge is missing";
    const StylePage page("<TABLE CELLPADDING=0 CELLSPACING=0><TR>"
                         "<TD STYLE=\"font-family: Ahem; font-size: 20px; color: blue\">xxxx xx"
                         "</TABLE>");
    const QRect table = page.Box("ThtmlTable");
    EXPECT_EQ(table.width(), 7 * 20);
    // Every glyph is a solid square, the space a blank one.
    EXPECT_TRUE(page.Mostly({table.left(), table.top() + 4, 80, 8}, Tint::Blue));
    EXPECT_EQ(page.Count({table.left() + 81, table.top() + 4, 18, 8}, Tint::Blue), 0);
}

std::vector<std::string> ListedPages() {
    auto text =
        ReadWholeFile(std::string(LUMO_SOURCE_DIR) + "/tests/data/css1/passing.txt", 1 << 16);
    EXPECT_TRUE(text) << "no list of passing pages";
    std::vector<std::string> pages;
    std::istringstream lines(text ? *text : "");
    for (std::string line; std::getline(lines, line);) {
        const std::string_view name = Trim(line);
        if (!name.empty() && name[0] != '#') pages.emplace_back(name);
    }
    return pages;
}

TEST(Css1Pages, ListedPagesPassTheirOwnCondition) {
    LUMO_NEED_CORPUS(Folder());
    const std::vector<std::string> listed = ListedPages();
    const std::set<std::string> listedSet(listed.begin(), listed.end());
    EXPECT_EQ(listedSet.size(), listed.size()) << "a page is listed twice";
    std::set<std::string> checked;
    for (const TPageCheck& c : PageChecks) {
        checked.insert(c.page);
        EXPECT_TRUE(listedSet.count(c.page)) << c.page << " has a check but is not listed";
    }
    for (const std::string& name : listed) {
        SCOPED_TRACE(name);
        const auto check = std::find_if(std::begin(PageChecks), std::end(PageChecks),
                                        [&](const TPageCheck& c) { return name == c.page; });
        ASSERT_NE(check, std::end(PageChecks)) << name << " is listed but has no check";
        check->check(Css1Page(name, check->width));
    }
}

// The first acid test, as saved from its home.
TEST(Acid1, BoxesStandWhereTheReferenceHasThem) {
    const std::string folder = CorpusPath("html/acid1");
    LUMO_NEED_CORPUS(folder);
    const auto html = ReadWholeFile(folder + "/test5526c-w3c-saved.htm", 1 << 20);
    ASSERT_TRUE(html);
    ExpectAcidBoxes(StylePage(*html, 800));
}

} // namespace
} // namespace lumo::test
