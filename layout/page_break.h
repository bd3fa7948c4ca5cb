// The PAGE element: a forced page break when printing, nothing on screen.
#pragma once

#include "layout/section_base.h"

namespace lumo {

class TPageBreak : public TSectionBase {
public:
    using TSectionBase::TSectionBase;
    std::unique_ptr<TSectionBase> Clone(TSectionList& root, TCellBasic&) const override {
        return std::unique_ptr<TSectionBase>(new TPageBreak(root, *this));
    }
    int Paint(Canvas& canvas, const TRect& clip, int X) override;
    const char* KindName() const override { return "TPage"; }
};

} // namespace lumo
