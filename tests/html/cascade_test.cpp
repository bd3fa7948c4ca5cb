// Style resolution through the property stack: the default sheet, rules by
// tag, class, ID and context, STYLE attributes, inheritance and link states.
#include "html/prop_stack.h"
#include "html/style_list.h"
#include "html/style_sheet.h"
#include "platform/recording_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace lumo {
namespace {

constexpr TColor kRed = 0x0000FF, kGreen = 0x008000, kBlue = 0xFF0000; // names carry no flag

class Document {
public:
    explicit Document(std::string_view sheet = "") {
        TDefaultLook look;
        look.OverColor = 0x0000FF;
        look.MarginHeight = 8;
        styles.Initialize(look);
        ReadStyleSheetText(styles, sheet, "");
        stack.Reset();
    }

    TProperties& Push(std::string_view tag, std::string_view cls = "", std::string_view id = "",
                      std::string_view pseudo = "", std::string_view style = "") {
        TProperties attr;
        if (!style.empty()) ReadPropertyText(style, attr);
        return stack.PushProps(tag, cls, id, pseudo, style.empty() ? nullptr : &attr);
    }

    TStyleList styles;
    RecordingCanvas canvas;
    TPropStack stack{styles};
};

double FontSize(const TProperties& p) {
    return std::get<double>(p.Props[Prop::FontSize]);
}

TEST(Cascade, DefaultSheetSizes) {
    Document doc;
    struct {
        std::string_view tag;
        double points;
    } rows[] = {{"h1", 24},   {"h2", 18}, {"h3", 14},           {"h6", 8}, {"pre", 10}, {"big", 15},
                {"small", 9}, {"sup", 9}, {"code", 12 * 0.833}, {"p", 12}};
    for (const auto& row : rows) {
        EXPECT_DOUBLE_EQ(FontSize(doc.Push(row.tag)), row.points) << row.tag;
        doc.stack.PopProps();
    }
    // Relative sizes follow the parent.
    doc.Push("h1");
    EXPECT_DOUBLE_EQ(FontSize(doc.Push("code")), 24 * 0.833);
}

TEST(Cascade, IdBeatsClassBeatsTag) {
    Document doc("p { color: red } #x { color: blue } p.c { color: green } .c { margin-top: 3px }");
    EXPECT_EQ(doc.Push("p", "c", "x").GetColor(), kBlue);
    doc.stack.PopProps();
    EXPECT_EQ(doc.Push("p", "c").GetColor(), kGreen);
    doc.stack.PopProps();
    EXPECT_EQ(doc.Push("p").GetColor(), kRed);
    doc.stack.PopProps();
    TProperties& styled = doc.Push("p", "c", "x", "", "color: green");
    EXPECT_EQ(styled.GetColor(), kGreen); // the element's own STYLE comes last
    EXPECT_EQ(*styled.Text(Prop::MarginTop), "3px");
}

// The rules of every bucket the element falls in (its tag, "*", its ID and
// each class, a class listed twice once), each once, in cascade order.
TEST(Cascade, MatchingRulesGivesEachRuleOnceInCascadeOrder) {
    Document doc("#x { color: green } p.c { color: blue } * { color: red } .c { color: red }"
                 ".d { color: red } q { color: red }");
    const auto rules = doc.styles.MatchingRules(doc.stack, "p", "c d  c", "x", "");
    EXPECT_EQ(std::set<const TStyleRule*>(rules.begin(), rules.end()).size(), rules.size());
    EXPECT_TRUE(std::is_sorted(rules.begin(), rules.end(), [](const auto* a, const auto* b) {
        return std::tie(a->Author, a->Specificity, a->Order) <
               std::tie(b->Author, b->Specificity, b->Order);
    }));
    std::vector<std::string> author;
    for (const TStyleRule* rule : rules)
        if (rule->Author) {
            const TSelectorPart& part = rule->Parts.front();
            author.push_back(part.Tag + (part.Classes.empty() ? "" : "." + part.Classes.front()) +
                             (part.ID.empty() ? "" : "#" + part.ID));
        }
    EXPECT_EQ(author, (std::vector<std::string>{"", ".c", ".d", "p.c", "#x"})); // "": *
}

TEST(Cascade, ContextualRulesMatchAnyAncestor) {
    Document doc("li ul { margin-top: 0 } div.box p { color: red } #nav a { color: green }");
    doc.Push("li");
    doc.Push("div");
    EXPECT_EQ(*doc.Push("ul").Text(Prop::MarginTop), "0"); // not a direct child
    doc.stack.Reset();
    EXPECT_EQ(doc.Push("ul").Int(Prop::MarginTop)[0], AutoParagraph);
    doc.stack.Reset();
    doc.Push("div", "box");
    doc.Push("span");
    EXPECT_EQ(doc.Push("p").GetColor(), kRed);
    doc.stack.Reset();
    doc.Push("div", "other");
    EXPECT_EQ(doc.Push("p").GetColor(), clNone);
    doc.stack.Reset();
    doc.Push("td", "", "nav");
    EXPECT_EQ(doc.Push("a").GetColor(), kGreen);
}

// The built-in contextual rules, and the page's rules beating them.
TEST(Cascade, BuiltInContextualRules) {
    Document doc;
    doc.Push("ul");
    TProperties& nested = doc.Push("ul");
    EXPECT_EQ(*nested.Text(Prop::ListStyleType), "circle");
    EXPECT_EQ(*doc.Push("ul").Text(Prop::ListStyleType), "square");
    doc.stack.Reset();
    doc.Push("pre");
    EXPECT_EQ(*doc.Push("p").Int(Prop::MarginTop), 0);

    Document page("pre p { margin-top: 3px } ul { list-style-type: none }");
    page.Push("pre");
    EXPECT_EQ(*page.Push("p").Text(Prop::MarginTop), "3px");
    page.stack.Reset();
    page.Push("ul");
    EXPECT_EQ(*page.Push("ul").Text(Prop::ListStyleType), "none");
}

// Rules of the same number of ancestors apply in the order written, also past
// the hundredth rule and against the built-in rules of that shape.
TEST(Cascade, ContextualRulesApplyInSourceOrder) {
    std::string sheet;
    for (int i = 0; i < 120; ++i)
        sheet += "div p { z-index: " + std::to_string(i) + " }\n";
    sheet += "pre p { margin-top: 7px }";
    Document doc(sheet);
    doc.Push("div");
    EXPECT_EQ(*doc.Push("p").Text(Prop::ZIndex), "119");
    doc.stack.Reset();
    doc.Push("pre");
    EXPECT_EQ(*doc.Push("p").Text(Prop::MarginTop), "7px");
}

// The colour the last element of path gets. path is elements from the
// outside in, separated by spaces, each a tag with ".class" and "#id" parts
// ("div.a.b#x": CLASS="a b", ID=x).
TColor ColorAt(std::string_view sheet, std::string_view path, std::string_view style = "") {
    Document doc(sheet);
    TColor color = clNone;
    while (!path.empty()) {
        size_t space = path.find(' ');
        std::string_view element = path.substr(0, space);
        path = space == std::string_view::npos ? "" : path.substr(space + 1);
        std::string tag, cls, id, *field = &tag;
        for (char c : element) {
            if (c == '.') {
                field = &cls;
                if (!cls.empty()) cls += ' ';
            } else if (c == '#') {
                field = &id;
            } else {
                *field += c;
            }
        }
        color = doc.Push(tag, cls, id, "", path.empty() ? style : "").GetColor();
    }
    return color;
}

// A selector keeps its last ten parts: the eleventh from the end, and any
// before it, no longer has to match.
TEST(Cascade, SelectorsKeepTheirLastTenParts) {
    const std::string nine = "div div div div div div div div span";
    const std::string path = "div div div div div div div div div div span";
    EXPECT_EQ(ColorAt("div.absent " + nine + " { color: red }", path), clNone);
    EXPECT_EQ(ColorAt("div.absent div " + nine + " { color: red }", path), kRed);
    EXPECT_EQ(ColorAt("p div.absent div " + nine + " { color: red }", path), kRed);
}

TEST(Cascade, MostSpecificRuleWinsThenTheLastWritten) {
    const struct {
        std::string_view sheet, path;
        TColor color;
    } rows[] = {
        // IDs, then classes, then element names; where each is written does not matter.
        {"ul li { color: red } #g { color: green }", "ul li#g", kGreen},
        {"ul li { color: red } li { color: green }", "ul li", kRed},
        {"div ul li { color: green } ul li { color: red }", "div ul li", kGreen},
        {".a { color: green } p { color: red }", "p.a", kGreen},
        {"li.t span.d { color: green } ul li li span.d { color: red }", "ul li li.t span.d",
         kGreen},
        {"ul li#t span { color: green } ul li.t span { color: red }", "ul li.t#t span", kGreen},
        // Equal weight: the later block, even when its selector was used before.
        {"p.a { color: red } p.b { color: red } p.a { color: green }", "p.a.b", kGreen},
        {".t { color: red } .t { color: green }", "p.t", kGreen},
        // The default sheet comes before every rule of the page.
        {"p { color: green }", "pre p", kGreen},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ColorAt(row.sheet, row.path), row.color) << row.sheet << " / " << row.path;
    // The element's own STYLE after every rule.
    EXPECT_EQ(ColorAt("ul li#g.c { color: red }", "ul li#g.c", "color: green"), kGreen);
}

TEST(Cascade, ClassListsAndSelectorsWithoutATag) {
    const struct {
        std::string_view sheet, path;
        TColor color;
    } rows[] = {
        {".a { color: green }", "p.b.a", kGreen},
        {"p.b { color: green }", "p.a.b", kGreen},
        {".a.b { color: green }", "p.b.x.a", kGreen},
        {"p.a.c { color: red }", "p.a.b", clNone},
        {"div.x span { color: green }", "div.y.x span", kGreen},
        {"div .a { color: green }", "div p.a", kGreen},
        {"div .a { color: green }", "p.a", clNone},
        {"ul #x { color: green }", "ul li#x", kGreen},
        {".m #x { color: green }", "div.m span li#x", kGreen},
        {"body * { color: green }", "body p", kGreen},
        {"* { color: green }", "p", kGreen},
        // Unreadable selectors match nothing rather than something else.
        {".1 { color: red }", "p.1", clNone},
        {"div > p { color: red }", "div", clNone},
        {"div > p { color: red }", "div p", clNone},
        {"p[title] { color: red }", "p", clNone},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ColorAt(row.sheet, row.path), row.color) << row.sheet << " / " << row.path;
}

TEST(Cascade, ImportantDeclarationsBeatNormalOnes) {
    const struct {
        std::string_view sheet, path, style;
        TColor color;
    } rows[] = {
        {"p { color: green ! important } p { color: red } p#id1 { color: red }", "p#id1", "",
         kGreen},
        {"p { color: green !important }", "p", "color: red", kGreen},
        {"p { color: green !important; color: red }", "p", "", kGreen},
        {"p { color: red !important; color: green !important }", "p", "", kGreen},
        // Among important ones the usual order holds, the STYLE attribute last.
        {"#x { color: green !important } p { color: red !important }", "p#x", "", kGreen},
        {"p { color: red !important }", "p", "color: green !important", kGreen},
        {"p { background: red } p { background: green !important; color: red }", "p",
         "color: green", kGreen},
        // Not a flag: the declaration is a colour that does not read.
        {"p { color: green !importantly }", "p", "", clNone},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ColorAt(row.sheet, row.path, row.style), row.color) << row.sheet;
    Document doc("p { background: red } p { background: lime !important; border: dashed blue "
                 "!important } p { border-style: solid }");
    TProperties& p = doc.Push("p", "", "", "", "background-color: red");
    EXPECT_EQ(p.GetBackgroundColor(), 0x00FF00u);
    EXPECT_EQ(*p.Text(Prop::BorderLeftStyle), "dashed");
}

TEST(Cascade, InheritanceSkipsBoxValues) {
    Document doc("div { color: red; margin-left: 5px; background-color: blue; font-weight: bold;"
                 " background-image: url(tile.gif) }");
    doc.Push("div");
    TProperties& span = doc.Push("span");
    EXPECT_EQ(std::get<int>(span.Props[Prop::Color]), static_cast<int>(kRed));
    EXPECT_EQ(*span.Text(Prop::FontWeight), "bold");
    EXPECT_EQ(*span.Int(Prop::MarginLeft), IntNull);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(span.Props[Prop::BackgroundColor]));
    // A child that took its parent's picture would paint it again over it.
    EXPECT_TRUE(std::holds_alternative<std::monostate>(span.Props[Prop::BackgroundImage]));
    EXPECT_FALSE(span.Assigned[Prop::Color]);
    EXPECT_EQ(span.EmSize, 16); // 12 pt
}

// em, ex and percentages of an element are of its own font size; only a
// font-size in em is of the parent's.
TEST(Cascade, InheritTakesTheParentsValue) {
    // Even of a value that is not inherited by itself, and whatever the
    // rule of lower rank said.
    Document doc("div { background-color: white; color: green; margin-left: 7px }"
                 "p { background-color: red; color: red }"
                 "p.in { background-color: inherit; color: inherit; margin-left: inherit }");
    doc.Push("div");
    TProperties& p = doc.Push("p", "in");
    EXPECT_EQ(p.GetBackgroundColor(), TColor(0xFFFFFF));
    EXPECT_EQ(p.GetColor(), kGreen);
    EXPECT_EQ(*p.Text(Prop::MarginLeft), "7px");
    // With nothing to inherit the value is unset, not the word.
    doc.stack.Reset();
    EXPECT_EQ(doc.Push("p", "in").GetBackgroundColor(), clNone);
}

TEST(Cascade, LengthsUseTheElementsOwnFont) {
    Document doc("div { font-size: 32px } p { font-size: 10px; line-height: 300% } "
                 "b { font-size: 2em; line-height: 1.5 } i { font-size: 24pt }");
    TProperties& div = doc.Push("div");
    EXPECT_EQ(div.EmSize, 32);
    EXPECT_EQ(div.ExSize, 16);
    TProperties& p = doc.Push("p");
    EXPECT_EQ(p.GetLineHeight(), 30);
    TProperties& b = doc.Push("b");
    EXPECT_EQ(b.EmSize, 20);
    EXPECT_EQ(b.GetLineHeight(), 30); // a plain number multiplies the size too
    EXPECT_EQ(doc.Push("i").EmSize, 32);
    // An entry above a removed one takes the size it now inherits.
    doc.stack.Reset();
    doc.Push("div");
    doc.Push("p");
    EXPECT_EQ(doc.Push("span").EmSize, 10);
    doc.stack.PopPropsFor("p");
    EXPECT_EQ(doc.stack.TopProps().EmSize, 32);
}

TEST(Cascade, HtmlAttributesLoseToRulesButBeatInheritance) {
    Document doc("font.x { color: blue }");
    doc.Push("div", "", "", "", "color: green");
    TProperties& plain = doc.Push("font");
    plain.Assign(static_cast<int>(kRed), Prop::Color);
    EXPECT_EQ(plain.GetColor(), kRed);
    TProperties& ruled = doc.Push("font", "x");
    ruled.Assign(static_cast<int>(kRed), Prop::Color);
    EXPECT_EQ(ruled.GetColor(), kBlue);
    TProperties& styled = doc.Push("font", "", "", "", "color: green");
    styled.Assign(static_cast<int>(kRed), Prop::Color);
    EXPECT_EQ(styled.GetColor(), kGreen);
}

TEST(Cascade, LinkStatesFillTheirSlots) {
    Document doc("a:hover { color: red } a:link { text-decoration: none } "
                 "a:visited { background-color: #00ff00 }");
    EXPECT_TRUE(doc.styles.HoverColorSet);
    EXPECT_FALSE(doc.styles.LinkColorSet);
    EXPECT_FALSE(doc.styles.VisitedColorSet); // a background colour is not the colour
    doc.Push("a");
    doc.Push("a", "", "", "link");
    doc.Push("a", "", "", "hover");
    TProperties& visited = doc.Push("a", "", "", "visited");
    EXPECT_EQ(std::get<int>(visited.Props[Prop::HoverColor]), static_cast<int>(kRed));
    EXPECT_EQ(std::get<int>(visited.Props[Prop::LinkColor]), 0x02FF0000); // the default
    // A link's decoration reaches the hover and visited looks too.
    for (int slot :
         {Prop::LinkTextDecoration, Prop::HoverTextDecoration, Prop::VisitedTextDecoration})
        EXPECT_EQ(*visited.Text(slot), "none") << slot;
    EXPECT_EQ(std::get<int>(visited.Props[Prop::VisitedBackgroundColor]), 0x0200FF00);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(visited.Props[Prop::LinkBackgroundColor]));
    // The element's own colour is untouched by state rules.
    EXPECT_EQ(visited.GetColor(), clNone);
    RecordingCanvas canvas;
    EXPECT_EQ(visited.MakeHoverFont(canvas).Color, kRed);
    EXPECT_FALSE(visited.MakeLinkFont(canvas).Underline);
    // The three looks made at once are those made one by one.
    const TProperties::TLinkFonts looks = visited.MakeLinkFonts(canvas);
    const std::pair<TFont, TFont> pairs[] = {{looks.Link, visited.MakeLinkFont(canvas)},
                                             {looks.Visited, visited.MakeVisitedFont(canvas)},
                                             {looks.Hover, visited.MakeHoverFont(canvas)}};
    for (const auto& [once, alone] : pairs) {
        EXPECT_EQ(static_cast<const FontSpec&>(once), alone);
        EXPECT_EQ(once.bgColor, alone.bgColor);
    }
    EXPECT_EQ(looks.Visited.bgColor, 0x0200FF00u);
}

// What the removed element set is restored in the entries above it, also
// when it is the first entry.
TEST(Cascade, PopRestoresWhatTheRemovedElementSet) {
    for (const bool inDiv : {true, false}) {
        Document doc("b { color: red } i { font-style: italic }");
        if (inDiv) doc.Push("div");
        doc.Push("b");
        EXPECT_EQ(std::get<int>(doc.Push("i").Props[Prop::Color]), static_cast<int>(kRed));
        doc.stack.PopPropsFor("b");
        const int top = inDiv ? 2 : 1;
        ASSERT_EQ(doc.stack.PropStackTop(), top);
        EXPECT_EQ(doc.stack.TopProps().Props[Prop::Color], doc.stack[top - 1]->Props[Prop::Color]);
        EXPECT_EQ(*doc.stack.TopProps().Text(Prop::FontStyle), "italic");
        doc.stack.PopPropsFor("nothing");
        EXPECT_EQ(doc.stack.PropStackTop(), top);
    }
}

TEST(Cascade, FontsFromProperties) {
    Document doc("h1 { font-family: 'No Such Face', arial } .x { font-family: nosuch, other } "
                 "p { font-weight: 700; text-decoration: line-through; font-style: oblique }");
    RecordingCanvas canvas;
    TFont h1 = doc.Push("h1").MakeFont(canvas);
    EXPECT_EQ(h1.Name, "arial");
    EXPECT_EQ(h1.Size, 24);
    EXPECT_TRUE(h1.Bold);
    EXPECT_EQ(doc.Push("span", "x").MakeFont(canvas).Name, "other"); // the last tried stays
    TFont p = doc.Push("p").MakeFont(canvas);
    EXPECT_TRUE(p.Bold);
    EXPECT_TRUE(p.Italic);
    EXPECT_TRUE(p.StrikeOut);
    EXPECT_FALSE(p.Underline);
}

// Small capitals, from font-variant or the font shorthand, reach the
// element's children; "normal" undoes them, and other words leave them be.
TEST(Cascade, SmallCapitals) {
    Document doc("div { font: italic small-caps 13px serif } .normal { font-variant: normal } "
                 ".odd { font-variant: upside-down }");
    RecordingCanvas canvas;
    const TFont div = doc.Push("div").MakeFont(canvas);
    EXPECT_TRUE(div.SmallCaps);
    EXPECT_TRUE(div.Italic);
    EXPECT_TRUE(doc.Push("b").MakeFont(canvas).SmallCaps);
    EXPECT_TRUE(doc.Push("span", "odd").MakeFont(canvas).SmallCaps);
    EXPECT_FALSE(doc.Push("span", "normal").MakeFont(canvas).SmallCaps);
}

// Lines are drawn in the colour of the element that draws them, whatever
// colour the text inside takes; a link's own lines take the link's colour.
TEST(Cascade, LinesKeepTheColourOfTheirElement) {
    Document doc("p { text-decoration: underline; color: blue } span { color: red } "
                 "b { text-decoration: none } i { text-decoration: overline; color: green } "
                 "a:link { color: green }");
    RecordingCanvas canvas;
    doc.Push("p");
    const TFont span = doc.Push("span").MakeFont(canvas);
    EXPECT_EQ(span.Color, kRed);
    EXPECT_EQ(span.DecorationColor, kBlue);
    const TFont b = doc.Push("b").MakeFont(canvas);
    EXPECT_TRUE(b.Underline);
    EXPECT_EQ(b.DecorationColor, kBlue);
    // An element drawing lines of its own colours all of them.
    const TFont i = doc.Push("i").MakeFont(canvas);
    EXPECT_TRUE(i.Underline && i.Overline);
    EXPECT_EQ(i.DecorationColor, kGreen);
    // Its end gives the lines inside it back to the element around.
    doc.Push("em");
    doc.stack.PopPropsFor("i");
    EXPECT_EQ(doc.stack.TopProps().DecorationColor, kBlue);

    doc.Push("a");
    doc.Push("a", "", "", "link");
    TProperties& inner = doc.Push("font");
    inner.Assign(static_cast<int>(kRed), Prop::Color); // a FONT COLOR inside the link
    const TFont font = inner.MakeLinkFont(canvas);
    EXPECT_EQ(font.Color, kRed);
    EXPECT_EQ(font.DecorationColor, kGreen);
    // No lines, no colour of lines.
    EXPECT_EQ(Document().Push("span").MakeFont(canvas).DecorationColor, clNone);
}

// Lines set inside a link by an element with no colour of its own are in
// the colour its text takes there, the link's, whatever colour the text
// inside them takes; lines from around the link keep their element's colour.
TEST(Cascade, LinesSetInsideALinkTakeTheLinksColour) {
    RecordingCanvas canvas;
    // Links here draw no lines of their own, as when the user turns them off.
    const char* sheet = "a:link { color: green; text-decoration: none } "
                        "u { text-decoration: underline } "
                        "span { color: red } .own { color: blue }";
    Document inside(sheet);
    inside.Push("a");
    inside.Push("a", "", "", "link");
    const TFont u = inside.Push("u").MakeLinkFont(canvas);
    EXPECT_EQ(u.Color, kGreen);
    EXPECT_EQ(u.DecorationColor, kGreen);
    const TFont red = inside.Push("span").MakeLinkFont(canvas);
    EXPECT_EQ(red.Color, kRed);
    EXPECT_EQ(red.DecorationColor, kGreen);
    const TFont own = inside.Push("u", "own").MakeLinkFont(canvas);
    EXPECT_EQ(own.DecorationColor, kBlue);

    Document around(sheet);
    const TColor outside = around.Push("u").MakeFont(canvas).DecorationColor;
    around.Push("a");
    const TFont link = around.Push("a", "", "", "link").MakeLinkFont(canvas);
    EXPECT_EQ(link.Color, kGreen);
    EXPECT_EQ(link.DecorationColor, outside);
    EXPECT_NE(outside, kGreen);
}

// A pseudo-element's entry takes only its own rules, and a selector with
// more after its pseudo-element matches nothing.
TEST(Cascade, PseudoElementsTakeOnlyTheirOwnRules) {
    Document doc(
        "p { font-size: 200% } p:first-line { color: green } "
        "p:first-line.two { color: red } p:first-letter.x, p:first-letter#y { color: red }");
    EXPECT_TRUE(doc.styles.StylesFirstLines);
    EXPECT_FALSE(doc.styles.StylesFirstLetters); // its only rules are not CSS
    const double size = FontSize(doc.Push("p", "two x", "y"));
    TProperties& line = doc.Push("p", "two x", "y", "first-line");
    EXPECT_EQ(line.GetColor(), kGreen);
    EXPECT_EQ(FontSize(line), size); // not doubled again
    EXPECT_EQ(doc.Push("p", "two x", "y", "first-letter").GetColor(), clNone);
}

} // namespace
} // namespace lumo
