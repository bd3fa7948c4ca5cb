#include "layout/font_run.h"

#include <algorithm>

namespace lumo {

void UseFont(Canvas& canvas, const FontSpec& font) {
    if (!(canvas.Font() == font)) canvas.SetFont(font);
}

const TUrlTarget& TFontRun::Link() const {
    static const TUrlTarget none;
    return link_ ? link_->Link : none;
}

const TFont& TFontRun::CurrentFont() const {
    if (OnFirstLine && FirstLineFont) return *FirstLineFont;
    if (IsHovered && HoverFont()) return *HoverFont();
    if (IsVisited && VisitedFont()) return *VisitedFont();
    return PlainFont();
}

void TFontRun::Measure(Canvas& canvas) {
    if (measuredOn_ == &canvas) return;
    UseFont(canvas, CurrentFont());
    TTextMetrics m = canvas.GetTextMetrics();
    TextHeight = m.Height;
    RunHeight = m.Height + m.ExternalLeading;
    RunDescent = m.Descent;
    RunOverhang = m.Overhang;
    MaxCharWidth = m.MaxCharWidth;
    measuredOn_ = &canvas;
}

void TFontRun::MarkVisited(bool visited) {
    if (IsVisited == visited) return;
    IsVisited = visited;
    measuredOn_ = nullptr;
}

void TFontRun::MarkHover(bool hovered) {
    if (IsHovered == hovered) return;
    IsHovered = hovered;
    measuredOn_ = nullptr;
}

void TFontRun::MarkFirstLine(bool on) {
    if (OnFirstLine == on) return;
    OnFirstLine = on;
    measuredOn_ = nullptr;
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
