// The items of a laid-out document. Every item lays itself out in one pass
// (LayOut: given its position and the room it has, it works out its own
// geometry and returns the height it adds to the flow) and paints in another.
//
// Geometry is kept in document coordinates: X from the left of the root cell,
// Y from the top of the document, both in pixels. Painting translates them:
// a paint call gets the clip rectangle in document coordinates and a
// horizontal offset X that is added to every stored X; the root's ScrollY is
// subtracted from every Y. So hit tests need no earlier paint.
#pragma once

#include "layout/anchor_list.h"
#include "platform/canvas.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

namespace lumo {

class TSectionList;
class TCellBasic;
class TIndentManager;
class TUrlTarget;
class TFormControl;
class TInlineImage;

// Document Y stays within plus or minus MaxDocumentY however a page's lengths
// add up: Y is summed with SumY, which saturates.
inline constexpr int MaxDocumentY = 1000000000;
template <class... T>
int SumY(T... values) {
    const long long sum = (static_cast<long long>(values) + ...);
    return static_cast<int>(std::clamp<long long>(sum, -MaxDocumentY, MaxDocumentY));
}

// Which document position a source position between two stretches of text
// maps to: the character before it or the one after.
enum class TBetween { Previous, Next };

// What a layout pass hands down the tree alongside each item's place and
// room. Every level passes it on as it is, except that a placed block gives
// its content a new origin.
struct TLayoutContext {
    Canvas& Measure;         // the canvas text is measured on
    TIndentManager& Indents; // the indents and floats of the cell being laid out
    // The next document position: each item takes its FirstPos here and moves
    // it past the positions it holds.
    int& PosCounter;
    // Document X and Y that absolutely placed items are placed from.
    int OriginX = 0;
    int OriginY = 0;
};

class TSectionBase : public TAnchorTarget {
public:
    explicit TSectionBase(TSectionList& root) : Root(&root) {}
    ~TSectionBase() override = default;
    TSectionBase(const TSectionBase&) = delete;
    TSectionBase& operator=(const TSectionBase&) = delete;

    TSectionList* Root;
    // Results of the last layout. "Y" below is the Y handed to LayOut, the
    // item's place in its cell's flow. A block's values are those of its
    // place in the flow, before a relative shift, unless said otherwise.

    // What LayOut returns: the rows the item adds to its cell's flow, from Y
    // down to BottomY (clear gap and margins included); 0 for floats and
    // absolutely placed blocks. The body block's reach down to its paint
    // bottom and bottom margin.
    int FlowHeight = 0;
    // The rows from LayoutY the item may paint in: FlowHeight, for a block in
    // the flow at least down to the lowest float so far; 0 for an absolutely
    // placed block.
    int PaintHeight = 0;
    // The item's first document position (its first character counted over
    // the whole document) and how many positions it holds.
    int FirstPos = 0;
    int PosCount = 0;
    // Paint order among the items of a cell: higher paints later, on top.
    int StackOrder = 0;
    // Document Y of the top of the content: a block's content box (below its
    // clear gap, top margin, border and padding), a section's LayoutY.
    int TopY = 0;
    // Document Y of the bottom in the flow: a block's bottom margin edge, the
    // bottom of a section's last line.
    int BottomY = 0;
    // Document X of the left of the content: a block's content box (after a
    // relative shift), the X a section was laid out at, a rule's left end.
    int LeftX = 0;
    // The document rows the item and everything inside it paint in, from
    // PaintTopY down to the row before PaintBottomY. A block's rows start at
    // its top margin edge (higher with a negative top margin or content
    // reaching up) and end at the lowest of its border box, its content and
    // LayoutY + PaintHeight.
    int PaintTopY = 0;
    int PaintBottomY = 0;
    // Document Y the item was laid out at: Y, or an absolutely placed block's
    // placed Y; its clear gap and margins lie below it.
    int LayoutY = 0;

    int YPosition() override { return AnchorY(); }
    virtual int AnchorY() { return TopY; }
    virtual void CopySelection() {}
    // Lays the item out at document point (X, Y) with RoomWidth pixels of
    // width; HeightBase is what percentage heights count from. WidestOut gets
    // the width the item needs. Returns the height added to the flow of the
    // enclosing cell.
    virtual int LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
                       int& WidestOut);
    // Returns the bottom Y of the item in the flow.
    virtual int Paint(Canvas& canvas, const TRect& clip, int X);
    virtual bool LinkAt(Canvas& canvas, int X, int Y, const TUrlTarget*& target,
                        TFormControl*& control);
    virtual bool ObjectAt(int X, int Y, TInlineImage*& object, int& IX, int& IY);
    virtual int CursorAt(Canvas& canvas, int X, int Y, int& XR, int& YR, int& CaretHt,
                         bool& InText);
    virtual int FindText(int from, std::string_view text, bool matchCase);
    virtual int SourceOfDocPos(int docPos);
    virtual int DocPosOfSource(int sourcePos, TBetween between);
    virtual bool CursorToPoint(Canvas* canvas, int cursor, int& X, int& Y);
    virtual bool CharAt(int pos, char& ch, TSectionBase*& obj);
    virtual void MeasureWidths(Canvas& canvas, int& Min, int& Max);
    // Moves the laid-out item dy rows down, as if laid out dy rows lower:
    // a table cell's content is laid out once and then moved into place.
    virtual void MoveY(int dy);
    virtual void AddToPositionList();
    // A copy of the item for another document (the print copy), to be
    // appended to container there.
    virtual std::unique_ptr<TSectionBase> Clone(TSectionList& root,
                                                TCellBasic& container) const = 0;

    // Absolutely placed items take no part in their cell's bottom, and
    // floats only in the bottoms of cells that hold their floats.
    virtual bool IsAbsolute() const { return false; }
    virtual bool IsFloating() const { return false; }

    // The text dump of the laid-out item: one line for the item (kind, tag,
    // position and size), then its lines or children, each indented by two
    // spaces per depth.
    virtual void Dump(std::string& out, int depth) const;
    // The item's kind as dumps print it. These words are part of the dump
    // format that golden files and scripts compare, so they stay as they are
    // whatever the classes are called.
    virtual const char* KindName() const { return "TSectionBase"; }

protected:
    // The copy keeps the source's flow height and stack order.
    TSectionBase(TSectionList& root, const TSectionBase& source)
        : Root(&root), FlowHeight(source.FlowHeight), StackOrder(source.StackOrder) {}
};

// Appends depth * 2 spaces.
void DumpIndent(std::string& out, int depth);

} // namespace lumo
