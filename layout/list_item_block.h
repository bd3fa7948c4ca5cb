// A list item: a block with a marker (number, letter, numeral, bullet or
// picture) drawn left of its first line.
#pragma once

#include "html/symbols.h"
#include "layout/block.h"
#include "layout/first_line_report.h"

namespace lumo {

// Indices of the list-style-type keywords.
enum MarkerStyleType : int {
    msBlank,
    msCircle,
    msDecimal,
    msDisc,
    msLowerAlpha,
    msLowerRoman,
    msNone,
    msSquare,
    msUpperAlpha,
    msUpperRoman
};

// lkStyled: an element a style sheet shows as a list item.
enum ListKindType : int { lkNone, lkOrdered, lkUnordered, lkDefinition, lkOther, lkStyled };

// What a list tells its items about their markers.
struct TListStyle {
    // The list the items belong to: OLTok, ULTok, ..., OrphanItemTok for an
    // item outside any list.
    TokenKind ListTok = OrphanItemTok;
    char Type = '1';    // OL's TYPE: '1', 'A', 'a', 'I' or 'i'
    bool Plain = false; // UL's PLAIN: no markers
};

class TListItemBlock : public TBlock {
public:
    // number: the item's number in an ordered list.
    TListItemBlock(TSectionList& root, TCellBasic& container, const TProperties& props,
                   const TListStyle& list, int number);

    TListItemBlock(TSectionList& root, TCellBasic& container, const TListItemBlock& source);
    std::unique_ptr<TSectionBase> Clone(TSectionList& root, TCellBasic& container) const override {
        return std::make_unique<TListItemBlock>(root, container, *this);
    }

    ListKindType ListKind = lkNone;
    int ItemNumber = 0;
    MarkerStyleType MarkerStyle = msNone;
    const TFont* MarkerFont; // in the document's font table
    // list-style-image, shown instead of the marker; null without one.
    std::unique_ptr<TBackgroundImage> MarkerImage;
    // list-style-position: inside, the marker starts the first line.
    bool Inside = false;
    // The first text line's baseline (0 for none) and the room it left.
    TFirstLineReport FirstLine;

    int LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
               int& WidestOut) override;
    int Paint(Canvas& canvas, const TRect& clip, int X) override;
    void Dump(std::string& out, int depth) const override;
    void MoveY(int dy) override;
    const char* KindName() const override { return "TBlockLI"; }

    // The text of a numbered marker ("3.", "c.", "iv."); numbers below 1
    // are written in digits whatever the style.
    static std::string MarkerText(MarkerStyleType style, int number);

protected:
    int MarkerRoom() const override;
    bool SharesMarginsWithContent() const override { return false; }

private:
    bool HasMarker() const;
    void PaintMarker(Canvas& canvas, const TRect& clip, int X);
    // The room a marker inside the first line takes there.
    int InsideRoom(Canvas& canvas) const;
};

} // namespace lumo
