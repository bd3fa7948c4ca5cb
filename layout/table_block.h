// The block around a table: margins, float and alignment, the table's
// background, and the width the table must take. Its content holds the one
// THtmlTable.
#pragma once

#include "layout/block.h"
#include "layout/html_table.h"

namespace lumo {

class TTableBlock : public TBlock {
public:
    // props is the TABLE's entry, attributes its tag's.
    TTableBlock(TSectionList& root, TCellBasic& container, const TProperties& props,
                const TAttributeList& attributes);
    TTableBlock(TSectionList& root, TCellBasic& container, const TTableBlock& source);

    THtmlTable* Table; // owned by Content
    int WidthAttr = 0; // pixels, or tenths of a percent with WidthPercent
    bool WidthPercent = false;
    int HeightAttr = 0; // pixels, or tenths of a percent with HeightPercent
    bool HeightPercent = false;
    TColor BgColorAttr = clNone;
    int HSpace = 3;
    int VSpace = 0;
    bool Centered = false;

    int LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
               int& WidestOut) override;
    void MeasureWidths(Canvas& canvas, int& Min, int& Max) override;
    int ResolveWidth(Canvas& canvas, int RoomWidth, int HeightBase, int autoTally) override;
    void AddToPositionList() override;
    std::unique_ptr<TSectionBase> Clone(TSectionList& root, TCellBasic& container) const override;
    bool IsTableBlock() const override { return true; }
    const char* KindName() const override { return "TTableBlock"; }
};

} // namespace lumo
