// One font run of a text section: the fonts it shows in (plain, and for a
// link its visited and hover looks), its link, and the metrics of the font
// in effect, measured once per canvas and font.
#pragma once

#include "html/font.h"
#include "layout/font_table.h"
#include "layout/url_target.h"

#include <memory>
#include <vector>

namespace lumo {

class TSection;

// What a run inside a link has beyond its font: the link and the visited and
// hover looks. Kept apart because most runs are not in a link.
struct TLinkLook {
    TUrlTarget Link;
    const TInternedFont* VisitedFont = nullptr;
    const TInternedFont* HoverFont = nullptr; // only when hovered links change look
};

// The fonts a run points at belong to its document's font table.
class TFontRun {
public:
    TFontRun(TSection* owner, int startIndex, const TInternedFont& plain, int scriptShift)
        : Owner(owner), StartIndex(startIndex), ScriptShift(scriptShift), plain_(&plain) {}

    TSection* Owner;
    int StartIndex;
    int ScriptShift = 0; // 0 normal, 1 subscript, 2 superscript
    bool IsVisited = false;
    bool IsHovered = false;
    // The look a ":first-line" rule gives the run where it stands on its
    // section's first line (null: none), and whether it stands there now.
    const TInternedFont* FirstLineFont = nullptr;
    bool OnFirstLine = false;
    bool Cut = false; // cut off the run before it at a first line's end

    bool IsLink() const { return link_ != nullptr; }
    // The link's address and target; empty outside a link.
    const TUrlTarget& Link() const;
    const TInternedFont& PlainFont() const { return *plain_; }
    // The looks of a visited and a hovered link; null when the run has none.
    const TInternedFont* VisitedFont() const { return link_ ? link_->VisitedFont : nullptr; }
    const TInternedFont* HoverFont() const { return link_ ? link_->HoverFont : nullptr; }
    // Makes this a run of link (a link needs an address).
    void SetLink(const TLinkLook& look) { link_ = std::make_unique<TLinkLook>(look); }
    const TInternedFont& CurrentFont() const;
    // The metrics of CurrentFont on canvas (see TInternedFont::MetricsOn).
    TRunMetrics Metrics(Canvas& canvas) const { return CurrentFont().MetricsOn(canvas); }
    void MarkVisited(bool visited) { IsVisited = visited; }
    void MarkHover(bool hovered) { IsHovered = hovered; }
    void MarkFirstLine(bool on) { OnFirstLine = on; }
    // The same run from start on (which the caller makes its own run).
    std::unique_ptr<TFontRun> CopyFrom(int start) const;
    // Sets the hover look of this run and of its neighbours in the document's
    // link list that belong to the same link.
    void MarkLinkHover(std::vector<TFontRun*>& links, bool hovered);

private:
    const TInternedFont* plain_;
    std::unique_ptr<TLinkLook> link_;
};

} // namespace lumo
