// One font run of a text section: the fonts it shows in (plain, and for a
// link its visited and hover looks), its link, and the metrics of the font
// in effect, measured once per canvas and font.
#pragma once

#include "html/font.h"
#include "layout/url_target.h"

#include <memory>
#include <vector>

namespace lumo {

class TSection;

// What a run inside a link has beyond its font: the link and the visited and
// hover looks. Kept apart because most runs are not in a link.
struct TLinkLook {
    TUrlTarget Link;
    const TFont* VisitedFont = nullptr;
    const TFont* HoverFont = nullptr; // only when hovered links change look
};

// The fonts a run points at belong to its document's font table.
class TFontRun {
public:
    TFontRun(TSection* owner, int startIndex, const TFont& plain, int scriptShift)
        : Owner(owner), StartIndex(startIndex), ScriptShift(scriptShift), plain_(&plain) {}

    TSection* Owner;
    int StartIndex;
    int ScriptShift = 0; // 0 normal, 1 subscript, 2 superscript
    bool IsVisited = false;
    bool IsHovered = false;
    // The look a ":first-line" rule gives the run where it stands on its
    // section's first line (null: none), and whether it stands there now.
    const TFont* FirstLineFont = nullptr;
    bool OnFirstLine = false;
    bool Cut = false; // cut off the run before it at a first line's end

    // Metrics of CurrentFont on the canvas last measured with, in pixels.
    int RunHeight = 0;   // height plus external leading
    int TextHeight = 0;  // the font's height
    int RunDescent = 0;  // rows below the baseline
    int RunOverhang = 0; // the font's overhang, taken off every measured piece
    int MaxCharWidth = 0;

    bool IsLink() const { return link_ != nullptr; }
    // The link's address and target; empty outside a link.
    const TUrlTarget& Link() const;
    const TFont& PlainFont() const { return *plain_; }
    // The looks of a visited and a hovered link; null when the run has none.
    const TFont* VisitedFont() const { return link_ ? link_->VisitedFont : nullptr; }
    const TFont* HoverFont() const { return link_ ? link_->HoverFont : nullptr; }
    // Makes this a run of link (a link needs an address).
    void SetLink(const TLinkLook& look) { link_ = std::make_unique<TLinkLook>(look); }
    const TFont& CurrentFont() const;
    // Reads the metrics of CurrentFont unless they are known for this canvas.
    void Measure(Canvas& canvas);
    void MarkVisited(bool visited);
    void MarkHover(bool hovered);
    void MarkFirstLine(bool on);
    // The same run from start on (which the caller makes its own run).
    std::unique_ptr<TFontRun> CopyFrom(int start) const;
    // Sets the hover look of this run and of its neighbours in the document's
    // link list that belong to the same link.
    void MarkLinkHover(std::vector<TFontRun*>& links, bool hovered);

private:
    const TFont* plain_;
    std::unique_ptr<TLinkLook> link_;
    const Canvas* measuredOn_ = nullptr;
};

// Selects font on canvas unless it is already selected.
void UseFont(Canvas& canvas, const FontSpec& font);

} // namespace lumo
