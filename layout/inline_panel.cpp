#include "layout/inline_panel.h"

#include "html/attributes.h"
#include "layout/font_run.h"
#include "layout/section_list.h"
#include "platform/text.h"

#include <algorithm>

namespace lumo {

namespace {

// A printed panel's ALT text starts this far in from its box's corner.
constexpr int AltInset = 15;

} // namespace

TInlinePanel::TInlinePanel(TSectionList& root, const TAttributeList& attributes, int charPos)
    : Root(&root) {
    CharPos = charPos;
    SpaceLeft = SpaceRight = 3;
    int64_t width = DefaultPanelWidth, height = DefaultPanelHeight;
    for (const auto& a : attributes) {
        if (TakePlacement(*a)) continue;
        switch (a->Which) {
        case WidthTok:
            if (a->Value > 0) width = a->Value;
            break;
        case HeightTok:
            if (a->Value > 0) height = a->Value;
            break;
        case NameTok: Name = a->Name; break;
        case TypeTok: Type = a->Name; break;
        case SrcTok: Source = a->Name; break;
        case AltTok: AltText = a->Name; break;
        default: break;
        }
    }
    SetSize(width, height);
}

TInlinePanel::TInlinePanel(TSectionList& root, const TInlinePanel& source)
    : TInlineObject(source), Root(&root), Name(source.Name), Type(source.Type),
      Source(source.Source), AltText(source.AltText), Color(source.Color),
      PrintAsBox(source.PrintAsBox) {}

TInlinePanel::~TInlinePanel() {
    if (!TakenIn) return;
    if (Root->OnPanelDestroy) Root->OnPanelDestroy(*this);
    if (!Root->Resetting) std::erase(Root->Panels, this);
}

void TInlinePanel::SetSize(int64_t width, int64_t height) {
    BoxWidth = ClampObjectSize(width);
    BoxHeight = ClampObjectSize(height);
}

void TInlinePanel::Paint(Canvas& canvas, int X, int Y) {
    if (!Root->IsPrinting || !PrintAsBox) return;
    const TRect box{X, Y, X + BoxWidth, Y + BoxHeight};
    canvas.SetPen(0, 1, PenStyle::Solid);
    canvas.SetBrush(Color, BrushStyle::Solid);
    canvas.Rectangle(box);
    if (AltText.empty()) return;
    canvas.SaveState();
    canvas.IntersectClipRect(box);
    UseFont(canvas, AltTextFont());
    canvas.SetTextColor(0);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign(HAlign::Left, VAlign::Top);
    canvas.TextOut(X + AltInset, Y + AltInset, AltText);
    canvas.RestoreState();
}

void TInlinePanel::Dump(std::string& out, int depth) const {
    DumpIndent(out, depth);
    out += "TPanelObj " + DumpPlace() + " " + QuotedBytes(Name, true) + "\n";
}

} // namespace lumo
