// A line of pre-formatted text: white space kept, never wrapped.
#pragma once

#include "layout/text_section.h"

namespace lumo {

class TPreformattedSection : public TSection {
public:
    using TSection::TSection;
    std::unique_ptr<TSectionBase> Clone(TSectionList& root, TCellBasic&) const override {
        return std::make_unique<TPreformattedSection>(root, *this);
    }

    // Appends the token as it stands, control bytes as spaces. Long lines
    // are kept whole: a line
    // wider than the widest line the layout allows still breaks at spaces.
    void AppendToken(const TPositionedText& token) override;
    int LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
               int& WidestOut) override;
    void MeasureWidths(Canvas& canvas, int& Min, int& Max) override;
    // Every line of a listing stays, empty ones too.
    bool Droppable() const override { return false; }
    const char* KindName() const override { return "TPreFormated"; }

    // How wide a line may grow before it breaks.
    static constexpr int MaxLineWidth = 32000;

protected:
    int WidthLimit(const TIndentManager& indents, int Y) const override;
};

} // namespace lumo
