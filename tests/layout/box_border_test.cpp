// The border of a block's box: each side's line and colour from the style,
// and the bands each line fills.
#include "html/style_sheet.h"
#include "layout/box_border.h"
#include "platform/recording_canvas.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TBoxBorder BorderOf(std::string_view style) {
    TProperties props;
    ReadPropertyText(style, props);
    return TBoxBorder::Of(props);
}

TEST(BoxBorder, SidesTakeTheirOwnColourThenTheBordersThenTheText) {
    const TBoxBorder border = BorderOf("color: blue; border-style: double dotted none inset;"
                                       "border-color: red; border-left-color: lime");
    const TBorderLine lines[] = {TBorderLine::Double, TBorderLine::Dotted, TBorderLine::None,
                                 TBorderLine::Inset};
    const TColor colours[] = {0x0000FF, 0x0000FF, 0x0000FF, 0x00FF00}; // 0xBBGGRR
    for (int side = TBoxBorder::Top; side <= TBoxBorder::Left; ++side) {
        EXPECT_EQ(border.Line(TBoxBorder::Side(side)), lines[side]) << side;
        EXPECT_EQ(border.Color(TBoxBorder::Side(side)), colours[side]) << side;
    }
    EXPECT_EQ(BorderOf("color: blue; border-style: solid").Color(TBoxBorder::Top), 0xFF0000);
    EXPECT_FALSE(BorderOf("border-width: 3px; border-color: red").Any());
    EXPECT_EQ(BorderOf("border-style: wavy").Line(TBoxBorder::Top), TBorderLine::Solid);
}

// A 9 pixel top border over a 100 pixel wide box: what each line fills.
TEST(BoxBorder, EachLineFillsItsBands) {
    const struct {
        const char* style;
        const char* fills;
    } rows[] = {
        {"solid", "FILL 0 0 100 9\n"},
        {"double", "FILL 0 0 100 3\nFILL 0 6 100 9\n"},
        // Dots as long as the border is thick, dashes three times as long,
        // each followed by a dot's gap; the last one cut at the corner.
        {"dotted", "FILL 0 0 9 9\nFILL 18 0 27 9\nFILL 36 0 45 9\nFILL 54 0 63 9\n"
                   "FILL 72 0 81 9\nFILL 90 0 99 9\n"},
        {"dashed", "FILL 0 0 27 9\nFILL 36 0 63 9\nFILL 72 0 99 9\n"},
        {"groove", "FILL 0 0 100 5\nFILL 0 5 100 9\n"},
        {"none", ""},
    };
    for (const auto& row : rows) {
        RecordingCanvas canvas;
        BorderOf(std::string("border-top-style: ") + row.style)
            .Paint(canvas, {0, 0, 100, 50}, {0, 9, 100, 50});
        std::string fills;
        for (size_t at = canvas.Log.find("FILL"); at != std::string::npos;
             at = canvas.Log.find("FILL", at + 1))
            fills += canvas.Log.substr(at, canvas.Log.find('\n', at) - at + 1);
        EXPECT_EQ(fills, row.fills) << row.style;
    }
}

} // namespace
} // namespace lumo
