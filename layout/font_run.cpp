#include "layout/font_run.h"

#include <algorithm>

namespace lumo {

const TUrlTarget& TFontRun::Link() const {
    static const TUrlTarget none;
    return link_ ? link_->Link : none;
}

const TInternedFont& TFontRun::CurrentFont() const {
    if (OnFirstLine && FirstLineFont) return *FirstLineFont;
    if (IsHovered && HoverFont()) return *HoverFont();
    if (IsVisited && VisitedFont()) return *VisitedFont();
    return PlainFont();
}

std::unique_ptr<TFontRun> TFontRun::CopyFrom(int start) const {
    auto copy = std::make_unique<TFontRun>(Owner, start, *plain_, ScriptShift);
    if (link_) copy->link_ = std::make_unique<TLinkLook>(*link_);
    copy->IsVisited = IsVisited;
    copy->IsHovered = IsHovered;
    copy->FirstLineFont = FirstLineFont;
    copy->OnFirstLine = OnFirstLine;
    copy->Cut = true;
    return copy;
}

void TFontRun::MarkLinkHover(std::vector<TFontRun*>& links, bool hovered) {
    MarkHover(hovered);
    auto it = std::find(links.begin(), links.end(), this);
    if (it == links.end()) return;
    for (auto up = it; up != links.begin();) {
        --up;
        if ((*up)->Link().ID != Link().ID) break;
        (*up)->MarkHover(hovered);
    }
    for (auto down = it + 1; down != links.end() && (*down)->Link().ID == Link().ID; ++down)
        (*down)->MarkHover(hovered);
}

} // namespace lumo
