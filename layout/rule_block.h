// HR: a block that wraps one horizontal rule.
#pragma once

#include "layout/block.h"

namespace lumo {

class TAttributeList;

class THorzLine : public TSectionBase {
public:
    // SIZE gives the thickness, COLOR a flat colour, NOSHADE a flat rule.
    THorzLine(TSectionList& root, const TAttributeList& attributes, const TProperties& props);

    THorzLine(TSectionList& root, const THorzLine& source)
        : TSectionBase(root, source), Thickness(source.Thickness), RuleColor(source.RuleColor),
          Flat(source.Flat) {}
    std::unique_ptr<TSectionBase> Clone(TSectionList& root, TCellBasic&) const override {
        return std::make_unique<THorzLine>(root, *this);
    }

    int Thickness = 2;         // pixels
    TColor RuleColor = clNone; // none: the 3-D look
    bool Flat = false;
    int RuleWidth = 0; // pixels, from the last layout
    int RuleX = 0;     // document X of the left end

    int LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
               int& WidestOut) override;
    int Paint(Canvas& canvas, const TRect& clip, IndentManager& indents, int X, int OriginX,
              int OriginY) override;
    void Dump(std::string& out, int depth) const override;
    const char* KindName() const override { return "THorzLine"; }
};

enum class RuleAlign { Left = 1, Center = 2, Right = 3 };

class THRBlock : public TBlock {
public:
    // The block takes the rule's WIDTH and SIZE where the style gives none.
    THRBlock(TSectionList& root, TCellBasic& container, const TProperties& props,
             const TAttributeList& attributes);

    THRBlock(TSectionList& root, TCellBasic& container, const THRBlock& source);
    std::unique_ptr<TSectionBase> Clone(TSectionList& root, TCellBasic& container) const override {
        return std::make_unique<THRBlock>(root, container, *this);
    }

    RuleAlign Align = RuleAlign::Center;
    THorzLine* Line = nullptr; // the rule in Content

    int ResolveWidth(Canvas& canvas, int RoomWidth, int HeightBase, int autoTally) override;
    const char* KindName() const override { return "THRBlock"; }
};

} // namespace lumo
