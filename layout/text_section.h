// A run of inline content: text in several fonts, laid out into lines for the
// room at its position. Placeholder bytes in Text: 5 a space inside NOBR (on
// input only), 8 a forced line break, 160 a non-breaking space (in a UTF-8
// page its two bytes); 2, 4, 6 and 7 stand for form controls, pictures and
// panels, which join the line breaker with them.
#pragma once

#include "html/positioned_text.h"
#include "html/properties.h"
#include "layout/box_border.h"
#include "layout/font_run.h"
#include "layout/section_base.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace lumo {

class TAttributeList;
class TInlineImage;
class TFormControl;
class TInlineObject;
class TInlinePanel;

// Bytes of a section's text that stand for something else: a line break,
// and the placeholders of inline objects (2, 4, 6, 7), drawn by their own code.
constexpr char BreakChar = 8;
constexpr bool IsObject(char c) {
    return c == 2 || c == 4 || c == 6 || c == 7;
}

// Where a stretch of characters came from in the source: characters from
// CharIndex on map to SourceIndex on, one to one.
struct TSourceMapEntry {
    int CharIndex;
    int SourceIndex;
};

// One line of a section. Heights are pixels; a line is ExtraAbove, then
// its text, then ExtraBelow.
struct TTextLine {
    int Start = 0;     // index in Text of the first character
    int CharCount = 0; // characters on the line, trailing spaces and break included
    // The tallest font on the line (height plus external leading) and the
    // largest descent; 0 for a line of nothing but objects or a gap.
    int LineTextHeight = 0;
    int LineDescent = 0;
    // Line-height spacing above and below the text; a gap line (clearing or
    // waiting below a float) is all ExtraAbove.
    int ExtraAbove = 0;
    int ExtraBelow = 0;
    int LinePaintHeight = 0; // rows from LineY the line paints in
    int LineOffset = 0;      // X of the first character from the section's X
    int LineRoom = 0;        // width between the indents at LineY
    int LineY = 0;           // document Y of the top of the line
    // A justified line: SpreadExtra pixels shared among the SpreadSpaces
    // spaces before SpreadEnd (the line less its trailing spaces).
    int SpreadExtra = 0;
    int SpreadSpaces = 0;
    int SpreadEnd = 0;
    // Where the line was last painted, in device pixels.
    int PaintedX = 0;
    int PaintedY = 0;

    int Height() const { return ExtraAbove + LineTextHeight + ExtraBelow; }
    // The rows the line's glyphs reach, which a line height below the
    // text's lets stand out of the line's own.
    int GlyphTop() const { return LineY + std::min(0, ExtraAbove); }
    int GlyphBottom() const {
        return LineY + std::max(LinePaintHeight, ExtraAbove + LineTextHeight);
    }
};

// An inline element's border and padding around the characters [Start, End)
// of a section; an element that spans sections has a part in each. Sides
// are top, right, bottom, left; a part that does not hold the element's
// start or end has no left or right side.
struct TInlineBox {
    int Start = 0, End = 0;
    int Border[4] = {};
    int Padding[4] = {};
    int MarginLeft = 0, MarginRight = 0;
    TBoxBorder Lines; // the sides' styles and colours
    TColor Background = clNone;

    // The room the sides take on the line, before Start and after End.
    int LeftSide() const { return MarginLeft + Border[3] + Padding[3]; }
    int RightSide() const { return MarginRight + Border[1] + Padding[1]; }
};

enum class TextAlign : int { Left = 1, Center = 2, Right = 3, Justify = 4 };

class TSection : public TSectionBase {
public:
    // The first font run comes from props (a link run when link has an
    // address); attributes may give CLEAR and ID.
    TSection(TSectionList& root, const TAttributeList* attributes, const TUrlTarget& link,
             const TProperties& props, int scriptShift);
    // A copy for another document: text, runs and settings; no names.
    TSection(TSectionList& root, const TSection& source);
    ~TSection() override;
    std::unique_ptr<TSectionBase> Clone(TSectionList& root, TCellBasic& container) const override;

    std::string Text;
    std::vector<int> SourcePositions; // while building: one per character
    std::vector<std::unique_ptr<TFontRun>> Runs;
    std::vector<TSourceMapEntry> SourceMap;
    std::vector<TTextLine> LineList;
    std::vector<TInlineBox> InlineBoxes;
    TextAlign Alignment = TextAlign::Left;
    ClearAttrType ClearSide = clrNone;
    int LineSpacing = -1; // line height in pixels from the style; -1 for the fonts' own
    int ColumnWidth = 0;  // from LayoutX to the right indent at TopY
    int LayoutX = 0;      // document X the section was laid out at
    bool HasAnchor = false;
    // Set by the builder's NOBR state when text is appended.
    bool NoBreak = false;
    // Text that runs on along a line a float interrupted: set by the cell
    // before each layout, the document X its first line starts at (none when
    // negative) and that line's height, to step below it when not even a
    // word fits beside.
    int RunOnX = -1;
    int RunOnHeight = 0;

    // The pictures standing at placeholders of Text, in text order.
    const std::vector<std::unique_ptr<TInlineImage>>& Images() const;
    // The form controls standing at placeholders of Text, in text order
    // (owned by the root).
    const std::vector<TFormControl*>& Controls() const;
    // The embedded panels standing at placeholders of Text, in text order.
    const std::vector<std::unique_ptr<TInlinePanel>>& Panels() const;
    // Every inline object (pictures, controls and panels), in text order.
    const std::vector<TInlineObject*>& Objects() const;

    // --- Building ---------------------------------------------------------
    void AppendText(std::string_view text, int sourceIndex);
    virtual void AppendToken(const TPositionedText& token);
    // A new run from the current end (or a new font for an empty last run).
    void StartRun(const TProperties& props, const TUrlTarget& link, int scriptShift);
    // Registers an anchor name for this section; it is then never dropped.
    void AddAnchorName(std::string_view name);
    // An IMG at the end of the text, from its tag's attributes.
    TInlineImage& AppendImage(const TAttributeList& attributes, int sourceIndex);
    // A form control's placeholder at the end of the text; the control is
    // the root's and takes its position here.
    void AppendControl(TFormControl& control, int sourceIndex);
    // A PANEL at the end of the text, from its tag's attributes.
    TInlinePanel& AppendPanel(const TAttributeList& attributes, int sourceIndex);
    // Converts SourcePositions into SourceMap.
    // Also works out Shown from the runs' letter case.
    void Seal();
    // Gives an empty section one space, so an empty paragraph has a line.
    void SingleSpace(int sourcePos);
    // A section holding only white space, no anchor and no clearing is dropped.
    virtual bool Droppable() const;

    // --- Layout and the rest ----------------------------------------------
    int LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
               int& WidestOut) override;
    int Paint(Canvas& canvas, const TRect& clip, int X) override;
    bool LinkAt(Canvas& canvas, int X, int Y, const TUrlTarget*& target,
                TFormControl*& control) override;
    int CursorAt(Canvas& canvas, int X, int Y, int& XR, int& YR, int& CaretHt,
                 bool& InText) override;
    int FindText(int from, std::string_view text, bool matchCase) override;
    int SourceOfDocPos(int docPos) override;
    int DocPosOfSource(int sourcePos, TBetween between) override;
    bool CursorToPoint(Canvas* canvas, int cursor, int& X, int& Y) override;
    bool CharAt(int pos, char& ch, TSectionBase*& obj) override;
    bool ObjectAt(int X, int Y, TInlineImage*& object, int& IX, int& IY) override;
    void MeasureWidths(Canvas& canvas, int& Min, int& Max) override;
    void MoveY(int dy) override;
    void CopySelection() override;
    void Dump(std::string& out, int depth) const override;
    const char* KindName() const override { return "TSection"; }

    // The font the section starts in.
    const TFont& FirstFont() const { return Runs.front()->PlainFont(); }
    // The characters as drawn and measured.
    std::string_view Glyphs() const {
        return rare_ && !rare_->Shown.empty() ? std::string_view(rare_->Shown) : Text;
    }
    // The first line's indent (text-indent) in pixels, a percentage being of
    // room; 0 without one.
    int FirstLineIndent(int room) const;
    // Text after a nested block starts no first line of its own.
    void DropFirstIndent();
    // Whole characters of Text (several bytes each in a UTF-8 page): the
    // index after the one at i, and the start of the one holding i.
    int CharEnd(int i) const;
    int CharStart(int i) const;
    // The run covering index i of Text.
    int RunIndexAt(int i) const;
    // A run starts at index (the one holding it is cut there).
    void SplitRunAt(int index);
    // Runs have a look for the first line; MarkFirstLine gives it to those
    // that start before end, and takes it from the others.
    bool HasFirstLineLook() const { return firstLineLook_; }
    // The run last started takes font where it stands on the first line.
    void SetFirstLineFont(const TFont& font);
    void MarkFirstLine(int end);
    // The runs cut at an earlier layout's first line end join their runs
    // again, so laying out at many widths never multiplies the runs.
    void JoinCutRuns();
    int RunEnd(int runIndex) const;
    // Width of count characters from start; with TTrailing::Drop trailing
    // spaces and breaks are left out (at least one character kept).
    enum class TTrailing { Keep, Drop };
    int MeasureRange(Canvas& canvas, int start, int count, TTrailing trailing);
    // How many characters from start fit in the room at Y (at least 0).
    int FitCount(Canvas& canvas, int start, int maxCount, int limit);
    // The inline object at index i of Text, or null.
    TInlineObject* ObjectAtIndex(int i) const;
    // The width the object at index i takes on its line; 0 for none.
    int ObjectWidth(int i) const;
    // A picture changed size: the widths must be measured again.
    void ForgetWidths() { minWidth_ = maxWidth_ = -1; }
    // Pixels a justified line adds before its character n.
    int SpreadBefore(const TTextLine& line, int n) const;
    // Width of the first n characters of a line as laid out, with the sides
    // of the inline boxes among them.
    int LineWidthTo(Canvas& canvas, const TTextLine& line, int n);
    // Where character i of a line is drawn from the line's X: after the
    // left sides of the boxes it starts.
    int PenAt(Canvas& canvas, const TTextLine& line, int i);
    // The X in the document of a line's first character.
    int LineX(const TTextLine& line) const { return LayoutX + line.LineOffset; }
    // The document X after the text of the last line when more inline
    // content may follow on it (left-aligned text not ended by a break); -1
    // otherwise.
    int OpenLineEnd(Canvas& canvas);
    // A float placed at the start of the last line pushes its text dx right.
    void ShiftLastLine(int dx);

protected:
    // The width a line may take at Y; sections that never wrap say more.
    virtual int WidthLimit(const TIndentManager& indents, int Y) const;
    void AppendRaw(std::string_view text, const int* positions);
    // Whether Text ends in a space or non-breaking space a forced break may
    // take the place of (leaving one byte of it for the break).
    bool EndsWithSpace();
    // The text of a piece as drawn: non-breaking spaces as spaces.
    std::string Drawable(std::string_view piece) const;
    // The index of the line holding Y, or -1.
    int LineAtY(int Y) const;
    // Characters of the line from its start that lie left of X; rounded to
    // the nearest boundary, a character past whose middle X lies counts too.
    enum class TRounding { Down, Nearest };
    int CharsBeforeX(Canvas& canvas, const TTextLine& line, int X, TRounding rounding);

    // MeasureWidths, once per canvas: the text never changes after building.
    bool CachedWidths(const Canvas& canvas, int& Min, int& Max) const;
    void KeepWidths(const Canvas& canvas, int Min, int Max);
    int minWidth_ = -1, maxWidth_ = -1;
    const Canvas* widthsOn_ = nullptr;

private:
    // The room inline box sides take among characters [start, end): left
    // sides of the boxes starting there, right sides of those ending there.
    int BoxSidesIn(int start, int end) const;
    // The left sides of the boxes starting at i; the right sides of those ending at i.
    int LeftSidesAt(int i) const;
    int RightSidesAt(int i) const;
    // FitCount for the glyphs and objects alone.
    int FitGlyphs(Canvas& canvas, int start, int maxCount, int limit);

    // The steps of LayOut.
    void BreakIntoLines(const TLayoutContext& context, int X, int Y, int RoomWidth, int& WidestOut);
    // How many characters from pos make a line when fit of them fit and more
    // follow: up to the last break opportunity, with the spaces and forced
    // break after it; 0 when not even the first word fits.
    int LineLength(int pos, int fit) const;
    // A word wider than the line from pos, with the spaces and forced break
    // after it, when it must take a line of its own.
    int WideWordLength(int pos, int fit) const;
    // An empty line of height rows at y: a clear, or waiting below a float.
    void AddGapLine(int start, int y, int height);
    // indent moves the line's left edge in (text-indent of a first line).
    enum class TLastLine { No, Yes };
    void FinishLine(Canvas& canvas, TTextLine& line, const TIndentManager& indents, int X, int Y,
                    int indent, TLastLine last);
    // Justified text: the spaces of a line that neither ends the section
    // nor a forced break share the room left on it.
    void SpreadLine(Canvas& canvas, TTextLine& line);
    // The line's text height and descent grown to hold its inline pictures.
    void GrowLineForObjects(const TTextLine& line, int& height, int& descent) const;
    // The line's heights for a line height below the text's own.
    void ShrinkLine(TTextLine& line, int textHeight, int descent) const;
    // The places of the inline pictures of a finished line.
    void PlaceObjectsOnLine(Canvas& canvas, const TTextLine& line);
    // A float takes its place beside the text at Y.
    void PlaceFloat(TInlineObject& object, TIndentManager& indents, int Y);
    // The floats of the line that were not placed at its start go below it.
    void PlaceLateFloats(const TTextLine& line, TIndentManager& indents);
    // While a list item is laid out, its first text line's baseline and
    // where the room for a marker inside that line starts.
    void ReportFirstBaseline() const;
    // The room the first line of a list item leaves for a marker inside it.
    int InsideMarkerRoom() const;

    // The steps of Paint. While printing, a line that must start the next
    // page moves the page end up to it.
    bool StartsNextPage(const TTextLine& line, const TRect& clip);
    void PaintLine(Canvas& canvas, TTextLine& line, int X);
    // The borders and padding of the inline boxes on a painted line.
    void PaintInlineBoxes(Canvas& canvas, const TTextLine& line, int end, int baseline);
    // Draws the characters start to stop of one run (no objects among them)
    // from penX on baseline; returns the pen's X after them.
    int PaintPiece(Canvas& canvas, TFontRun& run, int start, int stop, bool selected, int penX,
                   int baseline);
    void RemoveLinkRuns();
    void ApplyLetterCase();
    // The link of a picture at point (IX, IY) inside it: its map's area, or
    // the link around it (with the point for a server map).
    bool ImageLinkAt(TInlineImage& image, int IX, int IY, const TUrlTarget*& target);
    // The inline objects of the few sections that hold any, kept apart so
    // the many others do not pay for four empty lists.
    struct TObjectLists {
        std::vector<std::unique_ptr<TInlineImage>> Images;
        std::vector<TFormControl*> Controls;
        std::vector<std::unique_ptr<TInlinePanel>> Panels;
        std::vector<TInlineObject*> All;
    };
    TObjectLists& ObjectLists();
    // A copy's pictures, controls and panels, each copied for root.
    void CopyObjects(TSectionList& root, const TObjectLists& source);
    std::unique_ptr<TObjectLists> objects_;
    // What few sections have, kept apart so the many others do not pay
    // for it.
    struct TRare {
        // Text as drawn and measured where a run changes its case; empty
        // when none does. Same length as Text, placeholders where Text has them.
        std::string Shown;
        // text-indent of the first line, resolved at layout, with the em and
        // ex sizes of the section's font.
        std::string FirstIndent;
        int IndentEm = 0, IndentEx = 0;
        std::vector<std::string> Names; // names registered for this section
    };
    TRare& Rare();
    bool firstLineLook_ = false; // a run has a first-line font
    std::unique_ptr<TRare> rare_;
    int floatsBottom_ = 0; // document Y below the lowest float of the last layout
};

} // namespace lumo
