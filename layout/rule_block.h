// HR: a block that wraps one horizontal rule.
#pragma once

#include "layout/block.h"

namespace lumo {

class TAttributeList;

class THorizontalRule : public TSectionBase {
public:
    // SIZE gives the thickness, COLOR a flat colour, NOSHADE a flat rule.
    THorizontalRule(TSectionList& root, const TAttributeList& attributes, const TProperties& props);

    THorizontalRule(TSectionList& root, const THorizontalRule& source)
        : TSectionBase(root, source), Thickness(source.Thickness), RuleColor(source.RuleColor),
          Flat(source.Flat) {}
    std::unique_ptr<TSectionBase> Clone(TSectionList& root, TCellBasic&) const override {
        return std::make_unique<THorizontalRule>(root, *this);
    }

    int Thickness = 2;         // pixels
    TColor RuleColor = clNone; // none: the 3-D look
    bool Flat = false;
    int RuleWidth = 0; // pixels, from the last layout
    int RuleX = 0;     // document X of the left end

    int LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
               int& WidestOut) override;
    int Paint(Canvas& canvas, const TRect& clip, int X) override;
    void Dump(std::string& out, int depth) const override;
    const char* KindName() const override { return "THorzLine"; }
};

enum class RuleAlign { Left = 1, Center = 2, Right = 3 };

class TRuleBlock : public TBlock {
public:
    // The block takes the rule's WIDTH and SIZE where the style gives none.
    TRuleBlock(TSectionList& root, TCellBasic& container, const TProperties& props,
               const TAttributeList& attributes);

    TRuleBlock(TSectionList& root, TCellBasic& container, const TRuleBlock& source);
    std::unique_ptr<TSectionBase> Clone(TSectionList& root, TCellBasic& container) const override {
        return std::make_unique<TRuleBlock>(root, container, *this);
    }

    RuleAlign Align = RuleAlign::Center;
    THorizontalRule* Line = nullptr; // the rule in Content

    int ResolveWidth(Canvas& canvas, int RoomWidth, int HeightBase, int autoTally) override;
    const char* KindName() const override { return "THRBlock"; }
};

} // namespace lumo
