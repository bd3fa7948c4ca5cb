#include "layout/section_list.h"

#include "layout/block.h"
#include "layout/font_run.h"
#include "layout/inline_image.h"
#include "layout/inline_panel.h"
#include "layout/selection_text.h"
#include "layout/text_section.h"

#include <algorithm>
#include <numeric>

namespace lumo {

TSectionList::TSectionList(Canvas& measure) : TCell(*this), Measure(&measure) {
    OwnerTag = "default";
    IDs.YOfSourcePosition = [this](int pos) { return YOfSourcePosition(pos); };
    SetDefaults(TDefaultLook{});
}

TSectionList::~TSectionList() {
    Resetting = true;
    clear();
    BackImage.SetSource({});
}

void TSectionList::Reset() {
    Resetting = true;
    HoverLink = nullptr;
    HoverImage = nullptr;
    LinkList.clear();
    paintIndex_.Clear();
    clear();
    Panels.clear();
    Fonts.Clear();
    Resetting = false;
    Forms.clear();
    FormControls.clear();
    implicitForm_ = nullptr;
    Pictures.ClearWaiters();
    AnimatedImages.clear();
    MapList.clear();
    SelStart = SelEnd = 0;
    FirstLineHook = nullptr;
    BackImage.SetSource({});
    CodePage = TCodePage::Windows1252;
    if (!IsPrinting) {
        IDs.Clear();
        PositionList.clear();
        positionsByTop_.clear();
        SetDefaults(TDefaultLook(Defaults));
    }
}

void TSectionList::CopyForPrinting(const TSectionList& source) {
    IsPrinting = true;
    Reset();
    Pictures.Cache = source.Pictures.Cache;
    SetDefaults(source.Defaults);
    ImagesOn = source.ImagesOn;
    PrintBackgrounds = source.PrintBackgrounds;
    BackColor = source.BackColor;
    BackImage.SetSource(source.BackImage.Source);
    BackImage.Position = source.BackImage.Position;
    BackImage.Repeat = source.BackImage.Repeat;
    CodePage = source.CodePage;
    LetterCasesOf = source.LetterCasesOf;
    CloneItems(source);
}

THtmlForm& TSectionList::ImplicitForm() {
    if (!implicitForm_) implicitForm_ = Forms.Add(std::make_unique<THtmlForm>(*this, nullptr));
    return *implicitForm_;
}

TFormControl& TSectionList::AddFormControl(std::unique_ptr<TFormControl> control) {
    control->Index = static_cast<int>(FormControls.size());
    return *FormControls.Add(std::move(control));
}

void TSectionList::SubmitForm(TFormControl& control) {
    if (!OnFormSubmit || !control.MyForm) return;
    std::string pair;
    if (control.Kind == TControlKind::Submit && !control.Name.empty())
        pair = control.Name + "=" + control.Value;
    OnFormSubmit(control.MyForm->Submit(pair));
}

void TSectionList::AddPanel(TInlinePanel& panel) {
    if (Panels.size() >= MaxPanels) return;
    Panels.push_back(&panel);
    panel.TakenIn = true;
    if (OnPanelCreate) OnPanelCreate(panel);
}

void TSectionList::SetDefaults(const TDefaultLook& look) {
    Defaults = look;
    Defaults.FontSize = std::max(6, look.FontSize);
    StyleSheet.Initialize(Defaults);
}

void TSectionList::SetScrollY(int value) {
    if (value == ScrollY) return;
    ScrollY = value;
    ScrollChanged = true;
}

void TSectionList::SetBackColor(TColor color) {
    BackColor = color;
    if (OnBackgroundChange) OnBackgroundChange(*this);
}

int TSectionList::LayOutCell(Canvas& canvas, int Y, int width, int height, int& ScrollWidth,
                             int& Cursor) {
    FirstLineHook = nullptr;
    ++LayoutPass;
    int documentHeight = TCell::LayOutCell(canvas, Y, width, height, ScrollWidth, Cursor);
    RestartAnimations();
    if (!IsPrinting) {
        if (PositionList.empty()) AddToPositionList();
        SortPositionsByTop();
    }
    CopyIndentBase = 0;
    for (auto& item : *this)
        if (auto* block = dynamic_cast<TBlock*>(item.get())) {
            CopyIndentBase = block->LeftX;
            break;
        }
    return documentHeight;
}

void TSectionList::RestartAnimations() {
    if (IsPrinting || AnimatedImages.empty()) return;
    for (TInlineImage* image : AnimatedImages)
        image->RestartAnimation();
    if (OnAnimationStart) OnAnimationStart();
}

int TSectionList::PaintCell(Canvas& canvas, const TRect& clip, int width, int X, int Y) {
    PageEndY = ScrollY + clip.Bottom;
    return PaintDocument(canvas, clip, width, X, Y);
}

int TSectionList::PaintPage(Canvas& canvas, const TRect& clip, int width, int X, int pageEnd) {
    PageEndY = std::min(pageEnd, ScrollY + clip.Bottom);
    PaintDocument(canvas, clip, width, X, 0);
    return PageEndY;
}

int TSectionList::PaintDocument(Canvas& canvas, const TRect& clip, int width, int X, int Y) {
    PageLinesBottomY = 0;
    const TRect document{clip.Left - X, clip.Top + ScrollY, clip.Right - X, clip.Bottom + ScrollY};
    int bottom = TCell::PaintCell(canvas, document, width, X, Y);
    ScrollChanged = false;
    return bottom;
}

void TSectionList::SortPositionsByTop() {
    positionsByTop_.resize(PositionList.size());
    std::iota(positionsByTop_.begin(), positionsByTop_.end(), 0);
    std::stable_sort(positionsByTop_.begin(), positionsByTop_.end(), [this](int a, int b) {
        return PositionList[a]->TopY < PositionList[b]->TopY;
    });
}

int TSectionList::PositionIndexAtY(int Y) const {
    auto it = std::upper_bound(positionsByTop_.begin(), positionsByTop_.end(), Y,
                               [this](int y, int i) { return y < PositionList[i]->TopY; });
    return it == positionsByTop_.begin() ? -1 : *(it - 1);
}

TSectionBase* TSectionList::ItemAtY(int Y) const {
    const int index = PositionIndexAtY(Y);
    return index < 0 ? nullptr : PositionList[index];
}

bool TSectionList::LinkAtPoint(Canvas& canvas, int X, int Y, const TUrlTarget*& target,
                               TFormControl*& control) {
    TFontRun* before = HoverLink;
    HoverLink = nullptr;
    target = nullptr;
    control = nullptr;
    bool found = LinkAt(canvas, X, Y, target, control);
    if (Defaults.HoverLinks && HoverLink != before) {
        if (before) before->MarkLinkHover(LinkList, false);
        if (HoverLink) HoverLink->MarkLinkHover(LinkList, true);
        if (InvalidatePanel) InvalidatePanel();
    }
    return found;
}

void TSectionList::SetHoverImage(TInlineImage* object) {
    if (object == HoverImage) return;
    bool changed = HoverImage && HoverImage->SetHover(false);
    HoverImage = object;
    if (object && object->SetHover(true)) changed = true;
    if (changed && InvalidatePanel) InvalidatePanel();
}

std::string TSectionList::GetSelectedText(int maxChars) {
    if (SelEnd <= SelStart) return {};
    TSelectionCounter* saved = TextSink;
    // Counted first, so a short selection never pays for the largest buffer.
    TSelectionCounter count;
    TextSink = &count;
    CopySelection();
    std::vector<char> buffer(static_cast<size_t>(std::clamp(count.Leng, 1, std::max(1, maxChars))) +
                             1);
    TSelectionBuffer sink(buffer.data(), static_cast<int>(buffer.size()));
    sink.Page = CodePage;
    TextSink = &sink;
    CopySelection();
    TextSink = saved;
    return std::string(buffer.data(), static_cast<size_t>(sink.Leng));
}

std::string TSectionList::ClipboardText() {
    if (SelEnd <= SelStart) return {};
    TClipboardText sink;
    sink.Page = CodePage;
    TSelectionCounter* saved = TextSink;
    TextSink = &sink;
    CopySelection();
    TextSink = saved;
    sink.Terminate();
    return sink.Text();
}

int TSectionList::YOfSourcePosition(int sourcePos) {
    // The first text at or after the position: an ID sits in its tag, before
    // the text of its element.
    for (TSectionBase* item : PositionList) {
        auto* section = dynamic_cast<TSection*>(item);
        if (!section || section->SourceMap.empty()) continue;
        const TSourceMapEntry& last = section->SourceMap.back();
        const int lastSource =
            last.SourceIndex + static_cast<int>(section->Text.size()) - last.CharIndex - 1;
        if (lastSource < sourcePos) continue;
        int doc = section->DocPosOfSource(sourcePos, TBetween::Next);
        int x = 0, y = 0;
        if (doc >= 0 && section->CursorToPoint(nullptr, doc, x, y)) return y;
        return section->TopY;
    }
    return 0;
}

std::string TSectionList::DumpLayout() const {
    std::string out;
    TCellBasic::Dump(out, 0);
    for (const auto& form : Forms) {
        out += "form method=\"" + form->Method + "\" action=\"" + form->Action + "\" target=\"" +
               form->Target + "\"\n";
        for (const TFormControl* control : form->Controls)
            control->Dump(out, 1);
    }
    return out;
}

} // namespace lumo
