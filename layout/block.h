// A block element: a box (margins, borders, padding, background) around a
// cell of content, placed in the flow, floated left or right, or positioned.
#pragma once

#include "html/properties.h"
#include "layout/background_image.h"
#include "layout/box_border.h"
#include "layout/cell.h"
#include "layout/collapsed_margin.h"
#include "layout/paint_index.h"

#include <memory>
#include <string>

namespace lumo {

class TBlock : public TSectionBase {
public:
    // Made for the element's entry of the property stack; collapses its top
    // margin with the bottom margin of the block before it in container,
    // so it must be made before it is appended there.
    TBlock(TSectionList& root, TCellBasic& container, const TProperties& props);
    // A copy for another document, its content copied too.
    TBlock(TSectionList& root, TCellBasic& container, const TBlock& source);

    TBoxSpec BoxSpec;
    TBoxValues Box{};
    // The vertical margins as they stand after collapsing; ResolveBox puts
    // them in Box once the containing width is known.
    TCollapsedMargin MarginTop, MarginBottom;
    TBlockCell Content;
    TCellBasic* Container;
    // The element font's em and ex in pixels, for lengths in those units.
    int EmHeight = 0;
    int ExHeight = 0;
    TBoxBorder Border;
    AlignmentType FloatSide = ANone; // ALeft or ARight when floating
    ClearAttrType ClearSide = clrNone;
    PositionType Placement = posStatic;
    bool Hidden = false;
    bool BottomMarginFlag = false;
    // With no width of its own the block is as wide as its content, within
    // the room (a float, a picture shown as a block), not as the room.
    bool FitsContent = false;
    // Geometry of the last layout, in pixels (see TSectionBase).
    int ContentWidth = 0; // width of the content box
    int ClearGap = 0;     // rows added above the top margin to clear floats
    // X of the content box's left from the X the block was laid out at (its
    // left margin, border and padding; for a float, from the X it floats
    // to), before a relative shift.
    int ContentOffset = 0;
    // A relatively placed block: how far its box is drawn below and right of
    // its place in the flow. An absolutely placed block: where it is laid out
    // (its margin box's corner) from the origin it was given.
    int OffsetTop = 0;
    int OffsetLeft = 0;
    // Document Y of the bottom of the content box (at least TopY plus a
    // given height), before a relative shift.
    int InnerBottomY = 0;
    // The background picture, fetched when the block is laid out; never
    // inherited by the blocks inside. Null for the many blocks without one.
    std::unique_ptr<TBackgroundImage> BackImage;

    int LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
               int& WidestOut) override;
    int Paint(Canvas& canvas, const TRect& clip, int X) override;
    void MeasureWidths(Canvas& canvas, int& Min, int& Max) override;
    virtual int ResolveWidth(Canvas& canvas, int RoomWidth, int HeightBase, int autoTally);

    bool LinkAt(Canvas& canvas, int X, int Y, const TUrlTarget*& target,
                TFormControl*& control) override;
    bool ObjectAt(int X, int Y, TInlineImage*& object, int& IX, int& IY) override;
    int CursorAt(Canvas& canvas, int X, int Y, int& XR, int& YR, int& CaretHt,
                 bool& InText) override;
    int FindText(int from, std::string_view text, bool matchCase) override;
    int SourceOfDocPos(int docPos) override;
    int DocPosOfSource(int sourcePos, TBetween between) override;
    bool CursorToPoint(Canvas* canvas, int cursor, int& X, int& Y) override;
    bool CharAt(int pos, char& ch, TSectionBase*& obj) override;
    void CopySelection() override;
    void MoveY(int dy) override;
    void AddToPositionList() override;
    bool IsAbsolute() const override { return Placement == posAbsolute; }
    bool IsFloating() const override { return FloatSide != ANone; }
    std::unique_ptr<TSectionBase> Clone(TSectionList& root, TCellBasic& container) const override;
    // At the block's end: the bottom margin of its last block, when nothing
    // stands between them, joins its own.
    void CollapseLastMargin();
    // The block around a table: margin collapsing treats a floating one apart.
    virtual bool IsTableBlock() const { return false; }

    void Dump(std::string& out, int depth) const override;
    const char* KindName() const override { return "TBlock"; }

protected:
    // The room a list marker needs left of the content; 0 for other blocks.
    virtual int MarkerRoom() const { return 0; }
    // Gives the block the background picture at source, tiled as props say.
    void SetBackImage(const TProperties& props, std::string source);
    // Paints the box: background colour and picture, borders.
    void PaintBox(Canvas& canvas, const TRect& clip, int X);
    void PaintContent(Canvas& canvas, const TRect& clip, int X);
    // Whether the margins of the blocks inside may meet this block's own:
    // not for the page body and list items, which keep theirs apart.
    virtual bool SharesMarginsWithContent() const { return true; }
    // Orders the content by StackOrder, keeping document order among equals.
    void RebuildPaintOrder();
    // Resolves BoxSpec into Box for the room, keeping the vertical margins
    // settled when the block was made; returns how many of width and the
    // side margins are auto.
    int ResolveBox(int RoomWidth, int HeightBase);
    // Margin, border and padding left and right of the content (Box resolved).
    int LeftSide() const;
    int RightSide() const;

    // The temporary indents that hold the content between LeftX and
    // LeftX + ContentWidth from TopY while it is laid out, visible only to
    // this block's content.
    struct TContentEdges {
        const void* SavedID;
        int Left, Right;
    };
    TContentEdges HoldContentEdges(TIndentManager& indents);
    // Ends them at Y.
    void ReleaseContentEdges(TIndentManager& indents, const TContentEdges& edges, int Y);

    int borderTopY_ = 0; // document Y of the border box's top, after a relative shift
    // MeasureWidths of the last layout pass: each block is measured once per
    // pass, not once for every block around it.
    int measuredPass_ = -1;
    const Canvas* measuredOn_ = nullptr;
    int measuredMin_ = 0, measuredMax_ = 0;
    TPaintIndex<TSectionBase> paintIndex_;
    // The origin handed to the content, from which its absolutely placed
    // items are placed (document X and Y): this block's padding box corner
    // when it is absolutely placed, its content top (Y only) when relatively
    // placed, else the origin the block was given.
    int originX_ = 0, originY_ = 0;

private:
    // Margin collapsing when the block is made. spacingTop: the top margin
    // is paragraph spacing.
    void CollapseTopMargin(const TCellBasic& container, bool spacingTop);
    void CollapseWith(TBlock& previous, bool spacingTop, bool pastFloats);
    // Paragraph spacing at the top of a cell.
    void DropSpacingAtCellTop(const TCellBasic& container);
    // A first block's top margin joins the margin of the block it stands in.
    void CollapseIntoParent(const TCellBasic& container);
    // Whether no border, padding or set height stands between the margin on
    // that side and the blocks inside, so that their margins meet.
    bool MarginMeetsContent(TBoxBorder::Side side) const;

    // The top margin went to the block around it (or further out).
    bool topMarginOutside_ = false;

    // The steps of LayOut, in order.
    // Sets the offsets of a placed block; an absolutely placed one moves X
    // and Y to where it is placed.
    void ApplyPlacement(const TLayoutContext& context, int& X, int& Y);
    // The rows a float goes down from top, past the bottoms of the floats
    // beside it, until its margin box fits in the room left.
    int FloatDropFor(const TIndentManager& indents, int X, int top, int RoomWidth) const;
    // ContentOffset (and for a list item ContentWidth) from the room at the
    // top of the margin box.
    void PlaceContentX(const TIndentManager& indents, int X, int marginBoxTop, int RoomWidth);
    // A float at the left must not cover a list marker.
    void KeepMarkerClearOfFloats(const TIndentManager& indents, int X, int marginBoxTop);
    void PlaceContentBox(int X, int marginBoxTop);
    void SetContentOrigin(const TLayoutContext& context);
    // Returns the widest line or object of the content; heldFloats: the
    // bottom of the floats the block holds inside its box, of those added
    // since floatsBefore, 0 for none.
    int LayOutContent(const TLayoutContext& context, const TIndentManager::TMark& floatsBefore,
                      int& heldFloats);
    // heldFloats: the bottom of the floats the block holds inside its box
    // (a float holds those inside it), 0 for none.
    void SetBottoms(int heldFloats);
    // A block in the flow adds its height, and is painted down to the
    // floats it holds (those added since floatsBefore); a float adds its
    // indent instead, and an absolutely placed block takes no room at all.
    void TakePlace(TIndentManager& indents, int Y, const TIndentManager::TMark& floatsBefore);
    // The float's indent, from the top of its margin box down.
    void AddFloat(TIndentManager& indents, int top);
    // How far a relatively placed block is drawn below its place; 0 otherwise.
    int ShiftY() const;
};

// The extra space above an item so it clears the floats on the given sides.
int ClearGapFor(const TIndentManager& indents, ClearAttrType side, int Y);

} // namespace lumo
