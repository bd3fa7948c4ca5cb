// One font run of a text section: the fonts it shows in (plain, and for a
// link its visited and hover looks), its link, and the metrics of the font
// in effect, measured once per canvas and font.
#pragma once

#include "html/my_font.h"
#include "layout/url_target.h"

#include <memory>
#include <vector>

namespace lumo {

class TSection;

class TFontObj {
public:
    TFontObj(TSection* owner, int startIndex, const TMyFont& plain, int scriptShift)
        : Owner(owner), StartIndex(startIndex), PlainFont(plain), ScriptShift(scriptShift) {}

    TSection* Owner;
    int StartIndex;
    TMyFont PlainFont;
    std::unique_ptr<TMyFont> VisitedFont, HoverFont; // links only
    bool IsVisited = false;
    bool IsHovered = false;
    int ScriptShift = 0; // 0 normal, 1 subscript, 2 superscript
    TUrlTarget Link;

    // Metrics of CurrentFont on the canvas last measured with, in pixels.
    int RunHeight = 0;   // height plus external leading
    int TextHeight = 0;  // the font's height
    int RunDescent = 0;  // rows below the baseline
    int RunOverhang = 0; // the font's overhang, taken off every measured piece
    int MaxCharWidth = 0;

    bool IsLink() const { return !Link.Url.empty(); }
    const TMyFont& CurrentFont() const;
    // Reads the metrics of CurrentFont unless they are known for this canvas.
    void Measure(Canvas& canvas);
    void MarkVisited(bool visited);
    void MarkHover(bool hovered);
    // Sets the hover look of this run and of its neighbours in the document's
    // link list that belong to the same link.
    void MarkLinkHover(std::vector<TFontObj*>& links, bool hovered);

private:
    const Canvas* measuredOn_ = nullptr;
};

// Selects font on canvas unless it is already selected.
void UseFont(Canvas& canvas, const FontSpec& font);

} // namespace lumo
