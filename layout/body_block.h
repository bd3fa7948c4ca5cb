// The block around the whole document body. Its background is the
// document's (painted by the viewer), so it paints only its content.
#pragma once

#include "layout/block.h"

namespace lumo {

class TBodyBlock : public TBlock {
public:
    using TBlock::TBlock;
    std::unique_ptr<TSectionBase> Clone(TSectionList& root, TCellBasic& container) const override {
        return std::make_unique<TBodyBlock>(root, container, *this);
    }

    int LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
               int& WidestOut) override;
    int Paint(Canvas& canvas, const TRect& clip, int X) override;
    const char* KindName() const override { return "TBodyBlock"; }

protected:
    bool SharesMarginsWithContent() const override { return false; }
};

} // namespace lumo
