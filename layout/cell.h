// Cells: ordered, owning lists of layout items. TCellBasic holds the list
// operations; TCell is a cell with its own float bookkeeping (the document,
// later table cells); TBlockCell is the content of a block and shares the
// indents of the cell around it.
#pragma once

#include "html/free_list.h"
#include "layout/indent_manager.h"
#include "layout/paint_index.h"
#include "layout/section_base.h"

#include <memory>
#include <string>

namespace lumo {

class TBlock;
class TSection;
class TSectionList;

class TCellBasic : public TFreeList<TSectionBase> {
public:
    explicit TCellBasic(TSectionList& root) : Root(&root) {}
    virtual ~TCellBasic() = default;
    TCellBasic(const TCellBasic&) = delete;
    TCellBasic& operator=(const TCellBasic&) = delete;

    TSectionList* Root;
    int CellTopY = 0; // document Y the first item was laid out at
    TIndentManager* CellIndents = nullptr;
    int FirstPos = 0; // the first item's document position
    int PosCount = 0; // positions the items hold
    // The tag of the element that owns the cell ("default", "body", "li", ...).
    std::string OwnerTag;

    // Results of the last layout, in document rows; an empty cell gives its
    // top for each.
    int CellBottomY = 0;      // largest BottomY of the items not absolutely placed
    int CellPaintTopY = 0;    // smallest PaintTopY
    int CellPaintBottomY = 0; // largest PaintBottomY
    int CellFlowHeight = 0;   // sum of the items' FlowHeight

    // Appends an item and returns it. A text section holding nothing but
    // white space is freed instead (its names go with it) and null returned.
    TSectionBase* AddItem(std::unique_ptr<TSectionBase> item);
    // Appends copies of the items of source, made for this cell's root.
    void CloneItems(const TCellBasic& source);
    // A trailing paragraph-spacing bottom margin of the last block goes.
    void CheckLastBottomMargin();

    // Lays out the items one under the other from Y; returns the flow height.
    int DoLayout(const TLayoutContext& context, int X, int Y, int Width, int HeightBase,
                 int& WidestOut);

    bool LinkAt(Canvas& canvas, int X, int Y, const TUrlTarget*& target, TFormControl*& control);
    bool ObjectAt(int X, int Y, TInlineImage*& object, int& IX, int& IY);
    int CursorAt(Canvas& canvas, int X, int Y, int& XR, int& YR, int& CaretHt, bool& InText);
    int FindText(int from, std::string_view text, bool matchCase);
    int SourceOfDocPos(int docPos);
    int DocPosOfSource(int sourcePos, TBetween between);
    bool CursorToPoint(Canvas* canvas, int cursor, int& X, int& Y);
    bool CharAt(int pos, char& ch, TSectionBase*& obj);
    void MeasureWidths(Canvas& canvas, int& Min, int& Max);
    void CopySelection();
    void AddToPositionList();
    void Dump(std::string& out, int depth) const;
    // Moves the laid-out items dy rows down.
    void MoveY(int dy);

private:
    // Lays out a float met on the open last line of before (whose content
    // ends at lineEnd, moved right when the float goes in front of it).
    int LayOutBesideLine(const TLayoutContext& context, TSection& before, TBlock& block, int X,
                         int Y, int Width, int HeightBase, int& lineEnd, int& widest);
};

class TBlockCell : public TCellBasic {
public:
    TBlockCell(TSectionList& root, std::string ownerTag) : TCellBasic(root) {
        OwnerTag = std::move(ownerTag);
    }

    TBlock* Owner = nullptr; // the block whose content this is
};

class TCell : public TCellBasic {
public:
    explicit TCell(TSectionList& root);

    TIndentManager Indents;

    // Lays out the items for width from Y with fresh indents; returns the
    // height, at least down to the bottom of the floats.
    int LayOutCell(Canvas& canvas, int Y, int width, int HeightBase, int& ScrollWidth, int& Cursor);
    // The same with the content's left edge at document X; context gives the
    // canvas and the position counter (its indents are not used).
    int LayOutCellAt(const TLayoutContext& context, int X, int Y, int width, int HeightBase,
                     int& WidestOut);
    // Moves the items and their floats dy rows down.
    void MoveCellY(int dy);
    // Paints the items meeting the clip rectangle (document coordinates),
    // shifted right by X.
    int PaintCell(Canvas& canvas, const TRect& clip, int width, int X, int Y);

protected:
    void RebuildPaintIndex();
    TPaintIndex<TSectionBase> paintIndex_;
};

} // namespace lumo
