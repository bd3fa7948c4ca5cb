#include "html/parse_color.h"
#include "html/properties.h"
#include "html/style_list.h"
#include "html/style_sheet.h"
#include "platform/qt_canvas.h"
#include "platform/recording_canvas.h"

#include <gtest/gtest.h>

#include <QImage>

namespace lumo {
namespace {

TEST(ParseColor, Forms) {
    struct {
        std::string_view text;
        bool needPound;
        bool ok;
        TColor color;
    } rows[] = {
        {"#f80", true, true, 0x020088FF},
        {"#FF8800", true, true, 0x020088FF},
        {"rgb(255,136,0)", true, true, 0x020088FF},
        {"rgb(255, 136, 0)", true, true, 0x020088FF},
        {"f80", false, true, 0x020088FF},
        {"FF8800", false, true, 0x020088FF},
        {"f80", true, false, 0},
        {"FF8800", true, false, 0},
        {"rgb(100%,0%,0%)", true, true, 0x020000FF},
        {"rgb(300,-5,50%)", true, true, 0x028000FF},
        {"navy", true, true, 0x00800000},
        {"DarkOrange", true, true, 0x00008CFF},
        {"lightgrey", true, true, 0x00D3D3D3},
        {"lightgray", false, false, 0},
        {"transparent", true, true, clNone},
        {"  #000000 ", true, true, 0x02000000},
        {"rgb(1,2)", true, false, 0},
        {"rgb(1,2,3,4)", true, false, 0},
        {"rgb(a,b,c)", true, false, 0},
        {"#1234567", true, false, 0},
        {"#ff00zz", true, false, 0},
        {"", false, false, 0},
        {"#", true, false, 0},
        {"bogus", false, false, 0},
    };
    for (const auto& row : rows) {
        TColor color = 0;
        EXPECT_EQ(ParseColor(row.text, row.needPound ? TPound::Required : TPound::Optional, color),
                  row.ok)
            << row.text;
        if (row.ok) {
            EXPECT_EQ(color, row.color) << row.text;
        }
    }
}

// The one-entry cache must not answer for the same text read with the
// other NeedPound, nor before anything was converted.
TEST(ParseColor, CacheKeysOnNeedPound) {
    TColor color = 0;
    EXPECT_TRUE(ParseColor("abcdef", TPound::Optional, color));
    EXPECT_FALSE(ParseColor("abcdef", TPound::Required, color));
    EXPECT_TRUE(ParseColor("abcdef", TPound::Optional, color));
    EXPECT_EQ(color, 0x02EFCDAB);
}

TEST(StyleUnits, FontSizes) {
    struct {
        std::string_view text;
        double parent, points;
    } rows[] = {
        {"12pt", 10, 12},
        {"1in", 10, 72},
        {"2.54cm", 10, 72},
        {"25.4mm", 10, 72},
        {"1pc", 10, 12},
        {"16px", 10, 12},
        {"16", 10, 12},
        {"2em", 10, 20},
        {"2ex", 10, 10},
        {"150%", 10, 15},
        {"larger", 12, 15},
        {"smaller", 12, 9},
        // Keywords step from the default size, which is medium.
        {"medium", 20, 12},
        {"small", 20, 12 * 13.0 / 16},
        {"xx-small", 20, 12 * 9.0 / 16},
        {"large", 20, 12 * 18.0 / 16},
        {"xx-large", 20, 24},
        {"fancy", 20, 12},
        {"0.833em", 12, 12 * 0.833},
        // Font sizes stay within 1 to 1000 points.
        {"1e10pt", 12, 12},
        {"99999999999pt", 12, 1000},
        {"-5pt", 12, 1},
        {"0", 12, 1},
        {"inf", 12, 12},
    };
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(ConvertFontSize(row.text, row.parent, 12), row.points) << row.text;
}

TEST(StyleUnits, Lengths) {
    struct {
        std::string_view text;
        bool relative;
        int px;
    } rows[] = {
        {"1in", false, 96},
        {"2.54cm", false, 96},
        {"72pt", false, 96},
        {"1pc", false, 16},
        {"7px", false, 7},
        {"2em", false, 20},
        {"2ex", false, 10},
        {"50%", false, 100},
        {"3", false, 3},
        {"0.5", true, 100},
        {"4furlongs", false, -1},
        {"", false, 0},
        {"1e10", false, -1},
        {"99999999999px", false, 1000000},
        {"-99999999999px", false, -1000000},
        {"1e400px", false, -1},
        {"inf", false, -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ConvertLength(row.text,
                                row.relative ? TPlainNumber::TimesBase : TPlainNumber::Pixels, 200,
                                10, 5, -1),
                  row.px)
            << row.text;
}

TEST(StyleUnits, BoxValues) {
    TStyleList styles;
    ReadStyleSheetText(styles,
                       "div { margin: 1px 2px 3px; padding: 5%; border: thin solid red; "
                       "width: 50%; border-left: none }",
                       "");
    TProperties props;
    styles.ForEachRule("div", [&](const TProperties& rule) { props.Merge(rule); });
    TBoxValues box{};
    int autoCount = -1;
    ResolveBoxValues(props, 400, 300, 10, 5, box, autoCount);
    EXPECT_EQ(box[Prop::MarginRight], 2);
    EXPECT_EQ(box[Prop::MarginLeft], 2);
    EXPECT_EQ(box[Prop::PaddingTop], 20);
    EXPECT_EQ(box[Prop::BorderTopWidth], 2);
    EXPECT_EQ(box[Prop::BorderLeftWidth], 0);
    EXPECT_EQ(box[Prop::Width], 200);
    EXPECT_EQ(box[Prop::BorderColor], static_cast<int>(0x000000FF));
    EXPECT_EQ(autoCount, 0);
    bool top = false, bottom = false;
    ResolveVerticalMargins(props, 400, 10, 5, box, top, bottom);
    EXPECT_EQ(box[Prop::MarginTop], 1);
    EXPECT_EQ(box[Prop::MarginBottom], 3);

    TProperties plain;
    plain.Props.Set(Prop::MarginTop, AutoParagraph);
    plain.Props.Set(Prop::MarginLeft, std::string("auto"));
    ResolveBoxValues(plain, 400, 300, 10, 5, box, autoCount);
    EXPECT_EQ(box[Prop::MarginLeft], Auto);
    EXPECT_EQ(box[Prop::Width], Auto);
    EXPECT_EQ(box[Prop::BorderTopWidth], 0); // no border style is no border
    EXPECT_EQ(autoCount, 2);
    ResolveVerticalMargins(plain, 400, 10, 5, box, top, bottom);
    EXPECT_EQ(box[Prop::MarginTop], ParagraphSpace);
    EXPECT_TRUE(top);
    EXPECT_FALSE(bottom);
}

// One rule's values after reading a sheet.
std::string Value(const TStyleList& styles, const std::string& key, int index) {
    std::string out = "(none)";
    styles.ForEachRule(key, [&](const TProperties& rule) {
        if (const auto* s = std::get_if<std::string>(&rule.Props[index]))
            out = *s;
        else if (const int* n = std::get_if<int>(&rule.Props[index]))
            out = "#" + std::to_string(*n);
    });
    return out;
}

TEST(StyleSheet, Shorthands) {
    TStyleList styles;
    ReadStyleSheetText(styles,
                       "p { margin: 1px 2px 3px; padding: 1px 2px }\n"
                       "h1 { font: italic bold 12pt/14pt Times New Roman, serif }\n"
                       "h2 { font: 'Comic Sans', cursive }\n"
                       "h3 { font: small/200% cursive }\n"
                       "h4 { font: bold .8em/1.2 sans-serif }\n"
                       "div { border-top: 2px dashed #ff0000; background: url(Back.GIF) no-repeat "
                       "#00f top left }\n"
                       "ul { list-style: square url(Dot.gif) }\n"
                       "ol { border-style: double groove; border-color: red green blue }",
                       "");
    const struct {
        const char* key;
        int index;
        const char* value;
    } rows[] = {
        {"p", Prop::MarginTop, "1px"},
        {"p", Prop::MarginRight, "2px"},
        {"p", Prop::MarginBottom, "3px"},
        {"p", Prop::MarginLeft, "2px"},
        {"p", Prop::PaddingTop, "1px"},
        {"p", Prop::PaddingLeft, "2px"},
        {"h1", Prop::FontStyle, "italic"},
        {"h1", Prop::FontWeight, "bold"},
        {"h1", Prop::FontSize, "12pt"},
        {"h1", Prop::LineHeight, "14pt"},
        {"h1", Prop::FontFamily, "times new roman,serif"},
        {"h2", Prop::FontFamily, "'comic sans',cursive"},
        {"h3", Prop::FontSize, "small"},
        {"h3", Prop::LineHeight, "200%"},
        {"h3", Prop::FontFamily, "cursive"},
        {"h4", Prop::FontSize, ".8em"},
        {"h4", Prop::LineHeight, "1.2"},
        {"h4", Prop::FontFamily, "sans-serif"},
        {"div", Prop::BorderTopWidth, "2px"},
        {"div", Prop::BorderTopStyle, "dashed"},
        {"div", Prop::BorderStyle, "dashed"},
        {"div", Prop::BorderTopColor, "#33554687"}, // the top's colour alone
        {"div", Prop::BorderColor, "(none)"},
        {"div", Prop::BackgroundImage, "url(Back.GIF)"},
        {"div", Prop::BackgroundRepeat, "no-repeat"},
        {"div", Prop::BackgroundColor, "#50266112"},
        {"div", Prop::BackgroundPosition, "top left"},
        {"ul", Prop::ListStyleType, "square"},
        {"ul", Prop::ListStyleImage, "url(Dot.gif)"},
        {"ol", Prop::BorderTopStyle, "double"},
        {"ol", Prop::BorderRightStyle, "groove"},
        {"ol", Prop::BorderBottomStyle, "double"},
        {"ol", Prop::BorderLeftColor, "#32768"},
        {"ol", Prop::BorderBottomColor, "#16711680"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Value(styles, row.key, row.index), row.value) << row.key << " " << row.index;
}

TEST(StyleSheet, InvalidBoxDeclarationsAreDropped) {
    // The earlier value stays: a shorthand with one negative part is
    // dropped whole, and so is a negative side.
    TStyleList styles;
    ReadStyleSheetText(styles,
                       "p { padding: 1em; padding: -5em; padding: 2px -1px }\n"
                       "div { padding-left: 3px; padding-left: -0.5em }",
                       "");
    EXPECT_EQ(Value(styles, "p", Prop::PaddingTop), "1em");
    EXPECT_EQ(Value(styles, "p", Prop::PaddingRight), "1em");
    EXPECT_EQ(Value(styles, "div", Prop::PaddingLeft), "3px");
    // So is a border shorthand with a part that is no colour, style or width.
    TStyleList borders;
    ReadStyleSheetText(borders, "p { border: thin solid blue; border: left red solid }", "");
    EXPECT_EQ(Value(borders, "p", Prop::BorderTopWidth), "thin");
    EXPECT_EQ(Value(borders, "p", Prop::BorderColor), "#16711680"); // blue, not red
    TProperties p;
    ReadPropertyText("padding: 4px; padding-bottom: -4px; margin-left: -4px", p);
    EXPECT_EQ(*p.Text(Prop::PaddingBottom), "4px");
    EXPECT_EQ(*p.Text(Prop::MarginLeft), "-4px"); // margins may be negative
    // No more may sizes, widths, heights, line heights and border widths.
    ReadPropertyText("font-size: 2em; font-size: -0.5in; width: 9px; width: -9px; height: 8px; "
                     "height: -1em; line-height: 2; line-height: -2; border-width: 1px; "
                     "border-width: 2px -3px; border-top-width: -1px",
                     p);
    EXPECT_EQ(*p.Text(Prop::FontSize), "2em");
    EXPECT_EQ(*p.Text(Prop::Width), "9px");
    EXPECT_EQ(*p.Text(Prop::Height), "8px");
    EXPECT_EQ(*p.Text(Prop::LineHeight), "2");
    EXPECT_EQ(*p.Text(Prop::BorderTopWidth), "1px");
    EXPECT_EQ(*p.Text(Prop::BorderRightWidth), "1px");
}

TEST(StyleSheet, ValuesRunPastQuotedAndNestedEnds) {
    // A ";" or "}" inside a string, brackets or a block of the value itself
    // ends nothing; the value with a block is dropped, the rule goes on.
    const std::string_view sheets[] = {
        "p { x: \"}\"; color: green }",
        "p { x: \"\\\"}\\\"\"; color: green }",
        "p { x: '}'; color: green }",
        "p { x: '\\'}\\''; color: green }",
        "p { x: @a { y: '}'; }; color: green }",
        "p { background-image: url(a;b}.gif); color: green }",
        "p { color: green; x: @a { y: 1 } }",
    };
    for (std::string_view sheet : sheets) {
        TStyleList styles;
        ReadStyleSheetText(styles, std::string(sheet) + " h1 { color: blue }", "");
        EXPECT_EQ(Value(styles, "p", Prop::Color), "#32768") << sheet;
        EXPECT_EQ(Value(styles, "h1", Prop::Color), "#16711680") << sheet;
        TProperties attr;
        ReadPropertyText(sheet.substr(4, sheet.size() - 5), attr);
        ASSERT_TRUE(attr.Int(Prop::Color)) << sheet;
        EXPECT_EQ(*attr.Int(Prop::Color), 0x008000) << sheet;
    }
}

TEST(StyleSheet, ValuesAPropertyCannotTakeAreDropped) {
    // Each declaration follows a valid one of the same property, which stays.
    const struct {
        const char* before;
        const char* invalid;
        int index;
        const char* kept;
    } rows[] = {
        {"border-top-width: 2px", "border-top-width: funny", Prop::BorderTopWidth, "2px"},
        {"border-width: thick", "border-width: 50zu", Prop::BorderLeftWidth, "thick"},
        {"border-width: thin", "border-width: px", Prop::BorderTopWidth, "thin"},
        {"border: 1px solid", "border: px solid", Prop::BorderTopWidth, "1px"},
        {"margin: 1em", "margin: 1em wide", Prop::MarginRight, "1em"},
        {"width: 5em", "width: 5 em", Prop::Width, "5em"},
        {"text-indent: 1in", "text-indent: in", Prop::TextIndent, "1in"},
        {"background-color: lime", "background-color: \"red\"", Prop::BackgroundColor, "#65280"},
        {"text-decoration: underline", "text-decoration: underline diagonal", Prop::TextDecoration,
         "underline"},
        {"font: 12pt serif", "font: bold highlighted 100% sans-serif", Prop::FontFamily, "serif"},
        {"font: 12pt serif", "font: bold highlighted 100% sans-serif", Prop::FontWeight, "(none)"},
    };
    for (const auto& row : rows) {
        TStyleList styles;
        ReadStyleSheetText(styles, std::string("p { ") + row.before + "; " + row.invalid + " }",
                           "");
        EXPECT_EQ(Value(styles, "p", row.index), row.kept) << row.invalid;
    }
    // What may stand there still does.
    TStyleList valid;
    ReadStyleSheetText(valid,
                       "p { margin: auto -2px; width: auto; border-width: medium 0 .5em 3; "
                       "font: 700 small-caps 10px/12px \"Old Face\", serif }",
                       "");
    EXPECT_EQ(Value(valid, "p", Prop::MarginTop), "auto");
    EXPECT_EQ(Value(valid, "p", Prop::MarginRight), "-2px");
    EXPECT_EQ(Value(valid, "p", Prop::BorderLeftWidth), "3");
    EXPECT_EQ(Value(valid, "p", Prop::FontWeight), "700");
    EXPECT_EQ(Value(valid, "p", Prop::FontSize), "10px");
    EXPECT_EQ(Value(valid, "p", Prop::FontFamily), "\"old face\",serif");
}

TEST(StyleSheet, CommentsAtBlocksAndEnds) {
    TStyleList styles;
    char ch = '>';
    std::string text = "<!-- @import \"x.css\"; @media print { p { color: red } }\n"
                       "/* a comment */ P, .Note { color: blue /* inner */ ; margin-top: 1px }\n"
                       "h1 { color: green --></STYLE>after";
    size_t at = 0;
    std::function<char()> next = [&] { return at < text.size() ? text[at++] : EofCh; };
    std::function<char()> peek = [&] { return at < text.size() ? text[at] : EofCh; };
    ReadStyleSheet(styles, ch, next, peek, "");
    EXPECT_EQ(ch, '<');
    EXPECT_EQ(text.substr(at), "/STYLE>after"); // stopped at the "<" of the end tag
    EXPECT_EQ(Value(styles, "p", Prop::Color), "#16711680");
    EXPECT_EQ(Value(styles, ".note", Prop::MarginTop), "1px");
    EXPECT_EQ(Value(styles, "h1", Prop::Color), "(none)"); // cut by "<": no colour read
    EXPECT_EQ(styles.Count(), 3);
}

TEST(StyleSheet, UnterminatedPartsStopAtLessThan) {
    const struct {
        std::string_view sheet;
        int rules;
    } rows[] = {
        {"@media screen { p { color: red </style>", 0},
        {"@font-face", 0},
        {"p { color: red </style>", 1},
        {"/* open comment </style> p { color: red }", 0},
        {"p { color: red } h1 {", 1},
        {"@media print { p { color: red } } h2 { color: blue }", 1},
        {"}}}{{{", 0},
        {"<style></style>p { color: red }", 0},
        // Comment marks between rules hide nothing.
        {"p { color: red } <!-- h1 { color: blue } --> h2 { color: green }", 3},
    };
    for (const auto& row : rows) {
        TStyleList styles;
        char ch = '>';
        size_t at = 0;
        std::function<char()> next = [&] {
            return at < row.sheet.size() ? row.sheet[at++] : EofCh;
        };
        std::function<char()> peek = [&] { return at < row.sheet.size() ? row.sheet[at] : EofCh; };
        ReadStyleSheet(styles, ch, next, peek, "");
        EXPECT_EQ(styles.Count(), row.rules) << row.sheet;
        EXPECT_TRUE(ch == '<' || ch == EofCh) << row.sheet;
    }
}

TEST(StyleSheet, LinkedSheetsKeepTheirFirstRule) {
    const std::string_view sheets[] = {
        "/* site */\nbody{color:red}\np{color:blue}", "\n\tbody{color:red} p{color:blue}",
        "body{color:red} < p{color:blue}", // a stray "<" is no tag here
    };
    for (std::string_view sheet : sheets) {
        TStyleList styles;
        ReadStyleSheetText(styles, sheet, "");
        EXPECT_EQ(Value(styles, "body", Prop::Color), "#255") << sheet;
        EXPECT_EQ(Value(styles, "p", Prop::Color), "#16711680") << sheet;
    }
}

TEST(StyleSheet, HugeRepetitionsStayFlatAndLinear) {
    std::string comments;
    for (int i = 0; i < 200000; ++i)
        comments += "/**/";
    TStyleList styles;
    ReadStyleSheetText(styles, comments + "p{color:blue}", "");
    EXPECT_EQ(Value(styles, "p", Prop::Color), "#16711680");

    TProperties props;
    ReadPropertyText("margin:1px" + std::string(2000000, ' ') + "2px", props);
    EXPECT_EQ(*props.Text(Prop::MarginRight), "2px");
}

TEST(StyleSheet, AddressesInLinkedSheets) {
    const struct {
        std::string_view path, value, expected;
    } rows[] = {
        {"http://host/css/", "url(Img/Back.GIF)", "url(http://host/css/Img/Back.GIF)"},
        {"http://host/css/", "url(\"http://other/A.gif\")", "url(http://other/A.gif)"},
        {"http://host/css/s.css", "url(Img/B.gif)", "url(http://host/css/Img/B.gif)"},
        {"/home/u/site/", "url(Back.GIF)", "url(/home/u/site/Back.GIF)"},
        {"/home/u/site/", "url(/abs/X.gif)", "url(/abs/X.gif)"},
        {"/home/u/site/s.css", "url(img/bg.gif)", "url(/home/u/site/img/bg.gif)"},
        {"c:\\site\\s.css", "url(bg.gif)", "url(c:\\site\\bg.gif)"},
        {"/home/u/site/", "url(file:///c|/dir/A%20b.gif)", "url(c:\\dir\\A b.gif)"},
        {"", "url(Keep.Case.gif)", "url(Keep.Case.gif)"},
    };
    for (const auto& row : rows) {
        TStyleList styles;
        ReadStyleSheetText(styles, "body { background-image: " + std::string(row.value) + " }",
                           row.path);
        EXPECT_EQ(Value(styles, "body", Prop::BackgroundImage), row.expected) << row.value;
    }
}

// What an @import hands on: the address as written, or made absolute against
// the importing sheet; nothing for other at-rules or imports after a rule.
TEST(StyleSheet, ImportAddresses) {
    const struct {
        std::string_view path, sheet, expected;
    } rows[] = {
        {"", "@import url(Sub/A.css);", "Sub/A.css|"},
        {"", "@IMPORT \"b.css\" screen, print; @import 'c.css';", "b.css|c.css|"},
        {"http://host/css/main.css", "@import url('x.css');", "http://host/css/x.css|"},
        {"/site/s.css", "@import url(more/y.css);", "/site/more/y.css|"},
        {"", "/* first */ @import url(a.css); p { color: red } @import url(b.css);", "a.css|"},
        {"", "@media print { p { color: red } } @import url(a.css);", ""},
        {"", "@importance url(a.css); @import url(); @import;", ""},
    };
    for (const auto& row : rows) {
        TStyleList styles;
        std::string got;
        styles.OnImport = [&](const std::string& address, std::string_view) {
            got += address + "|";
        };
        ReadStyleSheetText(styles, row.sheet, row.path);
        EXPECT_EQ(got, row.expected) << row.sheet;
    }
}

TEST(StyleAttribute, Declarations) {
    TProperties p;
    ReadPropertyText("COLOR: Bogus; Background-Color: nonsense; border-color: RED; "
                     "font-size: 12PT; visibility: hidden; margin: 1px 2px; unknown: x; "
                     "background-image: URL('Pics/Back.GIF'); border-style: dotted;;  ; x",
                     p);
    EXPECT_EQ(*p.Int(Prop::Color), 0); // an unreadable colour is black here
    EXPECT_EQ(*p.Int(Prop::BackgroundColor), static_cast<int>(clNone));
    EXPECT_EQ(*p.Int(Prop::BorderColor), 0x0000FF);
    EXPECT_EQ(*p.Text(Prop::FontSize), "12pt");
    EXPECT_EQ(p.GetVisibility(), viHidden);
    EXPECT_EQ(*p.Text(Prop::MarginLeft), "2px");
    EXPECT_EQ(*p.Text(Prop::BorderLeftStyle), "dotted");
    std::string url;
    ASSERT_TRUE(p.GetBackgroundImage(url));
    EXPECT_EQ(url, "Pics/Back.GIF"); // addresses keep their case
}

TEST(StyleAttribute, Getters) {
    TProperties p;
    ReadPropertyText("vertical-align: text-top; float: right; clear: both; position: absolute; "
                     "list-style-type: upper-roman; line-height: 1.5; z-index: 3",
                     p);
    AlignmentType a = ANone;
    ASSERT_TRUE(p.GetVertAlign(a));
    EXPECT_EQ(a, ATop);
    ASSERT_TRUE(p.GetFloat(a));
    EXPECT_EQ(a, ARight);
    ClearAttrType c = clrNone;
    ASSERT_TRUE(p.GetClear(c));
    EXPECT_EQ(c, clrAll);
    EXPECT_EQ(p.GetPosition(), posAbsolute);
    EXPECT_EQ(p.GetListStyleType(), 9);
    p.EmSize = 20;
    EXPECT_EQ(p.GetLineHeight(), 30); // a plain number multiplies the font size
    EXPECT_EQ(p.GetZIndex(), 3);
    TProperties q;
    ReadPropertyText("line-height: 150%; float: sideways", q);
    q.EmSize = 10;
    EXPECT_EQ(q.GetLineHeight(), 15);
    EXPECT_FALSE(q.GetFloat(a));
}

// A face list falls back to the next name only when a face is not there;
// Times New Roman, Arial and Courier New count as there when their metric
// twins are installed.
TEST(FontFaces, FallbackThroughInstalledFaces) {
    QImage image(10, 10, QImage::Format_RGB32);
    QtCanvas canvas(image);
    if (!IsFontFaceInstalled("Liberation Serif")) GTEST_SKIP() << "fonts-liberation is missing";
    const struct {
        std::string_view list, face;
    } rows[] = {
        {"times new roman", "times new roman"},      {"No Such Face, Arial", "Arial"},
        {"'Courier New', monospace", "Courier New"}, {"nosuch1, nosuch2", "nosuch2"},
        {"liberation sans", "liberation sans"},
    };
    for (const auto& row : rows) {
        TProperties p;
        p.Props.Set(Prop::FontFamily, std::string(row.list));
        EXPECT_EQ(p.MakeFont(canvas).Name, row.face) << row.list;
    }
}

TEST(FontFaces, MeasuredOnTheCanvasDevice) {
    QImage image(10, 10, QImage::Format_RGB32);
    QtCanvas canvas(image);
    FontSpec font;
    font.Name = "Arial";
    font.Size = 12;
    canvas.SetFont(font);
    TTextMetrics m = canvas.GetTextMetrics();
    EXPECT_EQ(m.Height, m.Ascent + m.Descent);
    EXPECT_GE(m.Height, 16);
    EXPECT_LT(m.Height, 24);
    EXPECT_GT(canvas.TextWidth("Hello"), canvas.TextWidth("Hell"));
    EXPECT_EQ(canvas.TextWidth(""), 0);
    EXPECT_EQ(canvas.FitCount("Hello world", canvas.TextWidth("Hello")), 5);
}

} // namespace
} // namespace lumo
