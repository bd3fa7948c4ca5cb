// A frame set: building it from the frameset walk, its sizes and their
// placement, loading its frames, and its meta refresh. Border dragging is
// in nested_frame_set_drag.cpp.
#include "frames/nested_frame_set.h"

#include "address/address.h"
#include "frames/frame.h"
#include "frames/frame_browser.h"
#include "frames/link_address.h"
#include "frames/page_frame_set.h"
#include "html/attributes.h"
#include "platform/text.h"
#include "platform/timer.h"
#include "viewer/viewer_rules.h"

#include <QRubberBand>

#include <algorithm>

namespace lumo {

namespace {

std::span<int> First(TDimArray& values, int count) {
    return {values.data(), static_cast<size_t>(std::clamp(count, 0, MaxFrameDims))};
}

} // namespace

TNestedFrameSet::TNestedFrameSet(QWidget* parent, TPageFrameSet* master)
    : TFrameTreePanel(parent, master), refreshTimer_(std::make_unique<Timer>()) {
    refreshTimer_->SetEnabled(false);
    refreshTimer_->OnTimer = [this] { RefreshTimerTimer(); };
}

TNestedFrameSet::~TNestedFrameSet() {
    delete dragLine_.data();
}

// --- The frameset walk ---------------------------------------------------------

TFrame* TNestedFrameSet::AddFrame(const TAttributeList* attributes) {
    if (Children.size() >= static_cast<size_t>(MaxFrameDims) || !MasterSet->RoomForFrame())
        return nullptr;
    auto* frame = new TFrame(this, attributes);
    Children.push_back(frame);
    frame->setGeometry(InsetRect());
    frame->show();
    return frame;
}

void TNestedFrameSet::FrameFound(const TAttributeList& attributes, const std::string&) {
    AddFrame(&attributes);
}

TNestedFrameSet* TNestedFrameSet::FrameSetFound() {
    // A set could hold no frame on a page that has no room for one.
    if (Children.size() >= static_cast<size_t>(MaxFrameDims) || !MasterSet->RoomForFrame())
        return nullptr;
    if (NestingDepth() + 1 >= MaxFrameSetNesting) return nullptr;
    auto* set = new TNestedFrameSet(this, MasterSet);
    set->BorderSize = MasterSet->BorderSize;
    set->BaseAddress = BaseAddress;
    set->CharSet = CharSet;
    Children.push_back(set);
    set->setGeometry(InsetRect());
    set->show();
    return set;
}

void TNestedFrameSet::ApplyFrameAttributes(const TAttributeList& attributes) {
    if (const TAttribute* rows = attributes.Find(RowsTok)) {
        Rows = true;
        DimCount = ParseDimensionList(rows->Name, DimSpecs);
    }
    const TAttribute* cols = attributes.Find(ColsTok);
    if (cols && DimCount <= 1) {
        Rows = false;
        DimCount = ParseDimensionList(cols->Name, DimSpecs);
    }
    if (this != MasterSet || (Browser().fvOptions() & fvNoBorder)) return;
    const TAttribute* border = attributes.Find(BorderTok);
    if (!border) border = attributes.Find(FrameBorderTok);
    if (!border) {
        BorderSize = 2;
        return;
    }
    BorderSize = std::clamp(border->Value, 0, 20);
    EdgeBorder = std::max(2 - BorderSize, 0);
    SetBevel(EdgeBorder);
}

void TNestedFrameSet::FrameSetEnded() {
    while (static_cast<int>(Children.size()) < DimCount && AddFrame(nullptr)) {
    }
    while (DimCount < static_cast<int>(Children.size()))
        DimSpecs[static_cast<size_t>(DimCount++)] = -1;
}

void TNestedFrameSet::FrameSetMeta(const std::string& httpEq, const std::string& content) {
    if (!SameText(Trim(httpEq), "refresh")) return;
    int delay = -1;
    std::string url;
    ParseMetaRefresh(content, delay, url);
    if (delay < 0) return;
    RefreshDelay = delay;
    MetaRefreshURL = url;
}

void TNestedFrameSet::ResolveSources(const std::string& documentBase) {
    for (TFrameTreePanel* child : Children) {
        if (auto* frame = dynamic_cast<TFrame*>(child))
            frame->ResolveSource(documentBase, BaseAddress);
        else if (auto* set = dynamic_cast<TNestedFrameSet*>(child))
            set->ResolveSources(documentBase);
    }
}

void TNestedFrameSet::ClearChildren() {
    StopRefresh();
    for (TFrameTreePanel* child : Children)
        child->Retire();
    Children.clear();
    Rows = false;
    DimCount = 0;
    DimSpecs.fill(0);
    Sizes.fill(0);
    TotalSize = 0;
    BorderPositions.fill(0);
    Fixed.fill(false);
    DraggedBorder = 0;
    MetaRefreshURL.clear();
    PendingRefreshURL.clear();
    RefreshDelay = -1;
    BaseHref.clear();
    BaseTarget.clear();
}

// --- Where the set stands ---------------------------------------------------------

int TNestedFrameSet::NestingDepth() const {
    int depth = 0;
    for (QWidget* p = parentWidget(); dynamic_cast<TNestedFrameSet*>(p); p = p->parentWidget())
        ++depth;
    return depth;
}

TFrame* TNestedFrameSet::HostFrame() const {
    return dynamic_cast<TFrame*>(parentWidget());
}

const std::string& TNestedFrameSet::InheritedBaseTarget() const {
    for (const TNestedFrameSet* set = this; set; set = set->OwnerSet())
        if (!set->BaseTarget.empty()) return set->BaseTarget;
    return BaseTarget;
}

// --- Sizes and placement ------------------------------------------------------------

QRect TNestedFrameSet::InsetRect() const {
    const int w = std::max(0, width() - 2 * EdgeBorder);
    const int h = std::max(0, height() - 2 * EdgeBorder);
    return {EdgeBorder, EdgeBorder, w, h};
}

int TNestedFrameSet::Extent() const {
    const QRect area = InsetRect();
    return Rows ? area.height() : area.width();
}

void TNestedFrameSet::ComputeSizes(int width, int height) {
    const int count = std::min(DimCount, static_cast<int>(Children.size()));
    TotalSize =
        ComputeDimensionSizes(First(DimSpecs, count), Rows ? height : width, First(Sizes, count));
    for (int i = 0; i < count; ++i) {
        const int size = Sizes[static_cast<size_t>(i)];
        Children[static_cast<size_t>(i)]->ComputeSizes(Rows ? width : size, Rows ? size : height);
    }
}

void TNestedFrameSet::PlaceChildren() {
    const QRect area = InsetRect();
    const int count = std::min(DimCount, static_cast<int>(Children.size()));
    TDimArray ends{};
    PlaceDimensions(First(Sizes, count), TotalSize, Extent(), First(ends, count));
    BorderPositions[0] = 0;
    int start = 0;
    for (int i = 0; i < count; ++i) {
        const int end = ends[static_cast<size_t>(i)];
        const QRect bounds =
            Rows ? QRect(area.left(), area.top() + start, area.width(), end - start)
                 : QRect(area.left() + start, area.top(), end - start, area.height());
        Children[static_cast<size_t>(i)]->SetBounds(bounds);
        BorderPositions[static_cast<size_t>(i + 1)] = end;
        start = end;
    }
}

void TNestedFrameSet::Arrange() {
    PlaceChildren();
}

bool TNestedFrameSet::CollectNoResize(bool& lower, bool& upper) {
    lower = upper = false;
    Fixed.fill(false);
    bool any = false;
    const size_t count = Children.size();
    for (size_t i = 0; i < count; ++i) {
        bool childLower = false, childUpper = false;
        if (!Children[i]->CollectNoResize(childLower, childUpper)) continue;
        any = true;
        Fixed[i] = true; // the boundaries on both sides of the child
        Fixed[i + 1] = true;
        if (i == 0) lower = true;
        if (i + 1 == count) upper = true;
    }
    return any;
}

void TNestedFrameSet::CollectFrames(std::vector<TFrame*>& frames) {
    for (TFrameTreePanel* child : Children)
        child->CollectFrames(frames);
}

// --- Content ---------------------------------------------------------------------------

void TNestedFrameSet::LoadContent() {
    for (TFrameTreePanel* child : Children)
        child->LoadContent();
}

void TNestedFrameSet::ReloadContent(const std::optional<TScrollPosition>& position) {
    for (TFrameTreePanel* child : Children)
        child->ReloadContent(position);
    IsUnloaded = false;
    StartRefresh();
}

void TNestedFrameSet::UnloadContent() {
    StopRefresh();
    for (TFrameTreePanel* child : Children)
        child->UnloadContent();
    IsUnloaded = true;
}

void TNestedFrameSet::Retire() {
    StopRefresh();
    if (MasterSet && MasterSet->DragOwnerSet == this) MasterSet->DragOwnerSet = nullptr;
    if (dragLine_) dragLine_->hide();
    for (TFrameTreePanel* child : Children)
        child->Retire();
    TFrameTreePanel::Retire();
}

// --- Meta refresh ----------------------------------------------------------------------

void TNestedFrameSet::StartRefresh() {
    if (RefreshDelay < 0 || !(Browser().fvOptions() & fvMetaRefresh)) return;
    PendingRefreshURL = MetaRefreshURL;
    refreshTimer_->SetInterval(std::max(1, RefreshDelay) * 1000);
    refreshTimer_->SetEnabled(true);
}

void TNestedFrameSet::StopRefresh() {
    refreshTimer_->SetEnabled(false);
}

void TNestedFrameSet::RetryRefreshLater() {
    // A load is running: come back when it is over, never inside it.
    refreshTimer_->SetInterval(RefreshRetryMs);
    refreshTimer_->SetEnabled(true);
}

void TNestedFrameSet::RefreshTimerTimer() {
    refreshTimer_->SetEnabled(false);
    TFrame* frame = HostFrame();
    if (!frame || IsUnloaded || frame->SubFrameSet != this) return;
    if (Browser().Processing()) {
        RetryRefreshLater();
        return;
    }
    auto [address, anchor] = SplitAnchor(PendingRefreshURL);
    if (!address.empty() && !IsFullAddress(address))
        address = ResolveRelative(BaseAddress, address);
    TProcessingScope processing(Browser());
    frame->LoadFrameURL(address, anchor, true, true, TFrame::TBump::Yes, "");
    Browser().RefreshVisitedLinks();
}

} // namespace lumo
