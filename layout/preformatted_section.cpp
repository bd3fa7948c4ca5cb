#include "layout/preformatted_section.h"

#include <algorithm>
#include <cmath>

namespace lumo {

void TPreformattedSection::AppendToken(const TPositionedText& token) {
    if (token.S.empty()) return;
    // Control bytes of a listing are shown as spaces: kept, they would pass
    // for the placeholders of images, controls and line breaks.
    std::string text = token.S;
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }, ' ');
    AppendRaw(text, token.I.data());
}

int TPreformattedSection::WidthLimit(const TIndentManager&, int) const {
    return MaxLineWidth;
}

int TPreformattedSection::LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth,
                                 int HeightBase, int& WidestOut) {
    if (Text.empty()) {
        TSection::LayOut(context, X, Y, RoomWidth, HeightBase, WidestOut);
        // An empty line of the listing keeps its height.
        FlowHeight = std::max(FlowHeight, static_cast<int>(std::lround(FirstFont().Size)));
        PaintHeight = FlowHeight;
        BottomY = PaintBottomY = Y + FlowHeight;
        WidestOut = 0;
        return FlowHeight;
    }
    TSection::LayOut(context, X, Y, RoomWidth, HeightBase, WidestOut);
    WidestOut = 0;
    for (const TTextLine& line : LineList)
        if (line.CharCount > 0)
            WidestOut = std::max(WidestOut,
                                 line.LineOffset + MeasureRange(context.Measure, line.Start,
                                                                line.CharCount, TTrailing::Drop));
    return FlowHeight;
}

void TPreformattedSection::MeasureWidths(Canvas& canvas, int& Min, int& Max) {
    if (CachedWidths(canvas, Min, Max)) return;
    Max =
        Text.empty() ? 0 : MeasureRange(canvas, 0, static_cast<int>(Text.size()), TTrailing::Drop);
    Min = std::min(2000, Max);
    KeepWidths(canvas, Min, Max);
}

} // namespace lumo
