#include "frames/frame.h"

#include "address/address.h"
#include "frames/frame_browser.h"
#include "frames/link_address.h"
#include "frames/page_frame_set.h"
#include "html/attributes.h"
#include "image/picture_budget.h"
#include "platform/text.h"
#include "platform/timer.h"
#include "viewer/html_viewer.h"

#include <algorithm>

namespace lumo {

namespace {

constexpr int MaxFrameMargin = 1000;

// A viewer that leaves the page is freed later, from the event loop; what
// its pictures take stops counting against the page's budget now.
void LeavePictureBudget(THTMLViewer& viewer) {
    viewer.SetPictureBudget(std::make_shared<TPictureBudget>());
}

} // namespace

TFrame::TFrame(TNestedFrameSet* owner, const TAttributeList* attributes)
    : TFrameTreePanel(owner, owner->MasterSet), ParentSet(owner),
      refreshTimer_(std::make_unique<Timer>()), liveFrames_(owner->MasterSet->LiveFrames) {
    ++*liveFrames_;
    const TFrameBrowser& browser = Browser();
    CharSet = owner->CharSet;
    BaseAddress = owner->BaseAddress;
    FrameMarginHeight = browser.MarginHeight;
    FrameMarginWidth = browser.MarginWidth;
    ShowBevel(true);
    refreshTimer_->SetEnabled(false);
    refreshTimer_->OnTimer = [this] { RefreshTimerTimer(); };
    if (attributes) ApplyAttributes(*attributes);
}

TFrame::~TFrame() {
    LeavePage();
}

void TFrame::LeavePage() {
    if (liveFrames_) --*liveFrames_;
    liveFrames_.reset();
}

void TFrame::ApplyAttributes(const TAttributeList& attributes) {
    FrameName = attributes.Text(NameTok);
    auto [source, anchor] = SplitAnchor(Trim(attributes.Text(SrcTok)));
    RawSource = std::move(source);
    Anchor = std::move(anchor);
    NoResize = attributes.Find(NoResizeTok) != nullptr;
    NoScroll = SameText(Trim(attributes.Text(ScrollingTok)), "NO");
    if (const TAttribute* a = attributes.Find(MarginWidthTok))
        FrameMarginWidth = std::clamp(a->Value, 0, MaxFrameMargin);
    if (const TAttribute* a = attributes.Find(MarginHeightTok))
        FrameMarginHeight = std::clamp(a->Value, 0, MaxFrameMargin);
}

void TFrame::ResolveSource(const std::string& documentBase, const std::string& setBase) {
    if (RawSource.empty()) return;
    if (RawSource.find(":/") != std::string::npos) {
        Source = RawSource;
        BaseAddress = DirectoryOf(RawSource);
    } else {
        BaseAddress = documentBase.empty() ? setBase : DirectoryOf(documentBase);
        Source = ResolveRelative(BaseAddress, RawSource);
    }
    OriginalSource = Source;
}

int TFrame::Depth() const {
    int depth = 0;
    for (QWidget* p = parentWidget(); p; p = p->parentWidget())
        if (dynamic_cast<TFrame*>(p)) ++depth;
    return depth;
}

void TFrame::ShowBevel(bool show) {
    SetBevel(show ? ParentSet->BorderSize : 0);
}

// --- The first load ----------------------------------------------------------------

void TFrame::LoadContent() {
    // Nesting is counted by the frames above, so no path (a load, a link,
    // a reload) can take documents deeper.
    if (Source.empty() || Depth() >= MaxFrameDepth) {
        FrameStream = nullptr;
        return;
    }
    if (!FrameStream) {
        std::string newURL;
        FrameStream =
            Browser().RequestDocument(this, true, Source, "", false, newURL, FrameDocType);
        if (!newURL.empty()) Source = newURL;
    }
    if (!FrameStream) return;
    BaseAddress = DirectoryOf(Source);
    if (FrameDocType == ckHTML && Browser().IsFrameStream(*FrameStream)) {
        BuildNestedSet();
        Browser().StartFrameHistory(*this, Source, {});
    } else {
        CreateViewer();
        Viewer->OpenStream(Source, *FrameStream, FrameDocType);
        Viewer->GoToAnchor(Anchor);
        Browser().StartFrameHistory(*this, Source, Viewer->ScrollPosition());
    }
    FrameStream = nullptr;
}

void TFrame::BuildNestedSet() {
    auto* set = new TNestedFrameSet(this, MasterSet);
    set->BorderSize = MasterSet->BorderSize;
    set->BaseAddress = BaseAddress;
    set->CharSet = CharSet;
    SubFrameSet = set;
    ShowBevel(false);
    set->setGeometry(rect());
    set->show();
    TLoadInput input;
    input.Mode = TLoadMode::Stream;
    input.Stream = FrameStream;
    TFrameBrowser& browser = Browser();
    const TParseResult result =
        ParseFrameDocument(browser, set, input,
                           [set, &browser](void*, const std::string& httpEq,
                                           const std::string& name, const std::string& content) {
                               if (browser.OnMeta) browser.OnMeta(nullptr, httpEq, name, content);
                               set->FrameSetMeta(httpEq, content);
                           });
    FrameStream = nullptr; // read whole; the frames below fetch their own
    set->BaseHref = result.Base.empty() ? BaseAddress : result.Base;
    set->BaseTarget = result.BaseTarget;
    set->ResolveSources(result.Base);
    set->ComputeSizes(width(), height());
    set->SetBounds(rect());
    set->LoadContent();
    bool lower = false, upper = false;
    set->CollectNoResize(lower, upper);
    set->StartRefresh();
}

void TFrame::CreateViewer() {
    auto* viewer = new THTMLViewer(this);
    viewer->setObjectName("FrameViewer");
    TFrameBrowser& browser = Browser();
    browser.ApplyToViewer(*viewer);
    viewer->MarginWidth = FrameMarginWidth;
    viewer->MarginHeight = FrameMarginHeight;
    viewer->CharSet = CharSet;
    if (NoScroll) viewer->SetScrollBars(TScrollStyle::ssNone);
    if (MasterSet->BorderSize == 0) viewer->SetBorderStyle(THTMLBorderStyle::htNone);
    browser.AttachViewer(*viewer, *this);
    Viewer = viewer;
    ShowBevel(true);
    viewer->setGeometry(contentsRect());
    viewer->lower();
    viewer->show();
}

THTMLViewer* TFrame::EnsureViewer() {
    if (!Viewer) CreateViewer();
    return Viewer;
}

void TFrame::DropViewer() {
    if (!Viewer) return;
    THTMLViewer* viewer = Viewer;
    Viewer = nullptr;
    Browser().ViewerClear(viewer);
    Browser().ViewerProcessing(viewer, false);
    if (MasterSet->FocusedViewer == viewer) MasterSet->FocusedViewer = nullptr;
    viewer->hide();
    LeavePictureBudget(*viewer);
    viewer->deleteLater(); // its click or refresh may be what got us here
}

// --- Unloading and reloading for the history --------------------------------------

void TFrame::UnloadContent() {
    StopRefresh();
    if (SubFrameSet) {
        SubFrameSet->UnloadContent();
    } else if (Viewer) {
        SavedPosition = Viewer->ScrollPosition();
        Browser().ViewerClear(Viewer);
        // The pictures of a document kept for the history give way to
        // those of the documents shown; they are read again when it comes back.
        Viewer->ForgetPicturesOnNextLoad();
        Viewer->ClearDocument();
    }
    IsUnloaded = true;
}

void TFrame::ReloadContent(const std::optional<TScrollPosition>& position) {
    if (SubFrameSet) {
        SubFrameSet->ReloadContent(position);
    } else if (Viewer) {
        std::string newURL;
        TContentKind kind = FrameDocType;
        TStream* stream = Browser().RequestDocument(this, true, Source, "", false, newURL, kind);
        if (!newURL.empty()) Source = newURL;
        if (stream) {
            FrameDocType = kind;
            Viewer->OpenStream(Source, *stream, kind);
        }
        Viewer->SetScrollPosition(position ? *position : SavedPosition);
    }
    IsUnloaded = false;
}

// --- Loading what is aimed at the frame ------------------------------------------------

void TFrame::LoadFrameURL(std::string url, const std::string& anchor, bool reload, bool isGet,
                          TBump bump, const std::string& query) {
    StopRefresh();
    if (url.empty())
        url = Source;
    else
        BaseAddress = DirectoryOf(url);
    const bool same = SameText(url, Source);
    bool fetched = false;
    if (!same || reload) {
        if (Viewer) Browser().ViewerClear(Viewer);
        std::string newURL;
        FrameStream =
            Browser().RequestDocument(this, isGet, url, query, same, newURL, FrameDocType);
        if (!newURL.empty()) {
            url = newURL;
            BaseAddress = DirectoryOf(url);
        }
        fetched = true;
    }
    if (fetched && !FrameStream) return; // nothing came: the frame stays as it was
    const std::string oldSource = Source;
    Source = url;
    if (!fetched) {
        StayOnDocument(anchor, bump);
        return;
    }
    const bool frames = FrameDocType == ckHTML && Browser().IsFrameStream(*FrameStream);
    if (!Viewer || frames)
        ReplaceContent(frames, anchor, same, bump);
    else
        ReloadViewer(anchor, bump, oldSource);
    FrameStream = nullptr;
}

void TFrame::StayOnDocument(const std::string& anchor, TBump bump) {
    if (Viewer) {
        const TScrollPosition old = Viewer->ScrollPosition();
        Viewer->GoToAnchor(anchor);
        Browser().AddVisited(Source + anchor);
        const TScrollPosition now = Viewer->ScrollPosition();
        if (bump == TBump::Yes && now != old) Browser().BumpFrameHistory(*this, Source, now, old);
        return;
    }
    if (!SubFrameSet) return;
    std::vector<TFrame*> frames;
    for (TFrameTreePanel* child : SubFrameSet->Children)
        if (auto* frame = dynamic_cast<TFrame*>(child)) frames.push_back(frame);
    for (TFrame* frame : frames)
        if (!SameText(frame->Source, frame->OriginalSource))
            frame->LoadFrameURL(frame->OriginalSource, "", false, true, bump, "");
}

void TFrame::ReplaceContent(bool frames, const std::string& anchor, bool same, TBump bump) {
    TNestedFrameSet* oldSet = SubFrameSet;
    const bool hadViewer = Viewer != nullptr;
    const TScrollPosition oldPosition = hadViewer ? Viewer->ScrollPosition() : TScrollPosition{};
    if (hadViewer) DropViewer();
    if (oldSet) {
        oldSet->UnloadContent();
        oldSet->hide();
    }
    SubFrameSet = nullptr;
    if (frames) {
        BuildNestedSet();
    } else {
        CreateViewer();
        Viewer->OpenStream(Source, *FrameStream, FrameDocType);
        Viewer->GoToAnchor(anchor);
    }
    Browser().AddVisited(Source + anchor);
    const TScrollPosition position = Viewer ? Viewer->ScrollPosition() : TScrollPosition{};
    // A frame that loads its own address again replaces its entry.
    if (same)
        Browser().ReplaceFrameHistory(*this, Source, position);
    else if (bump == TBump::Yes)
        Browser().BumpFrameHistory(*this, Source, position, oldPosition);
    if (oldSet) Browser().ReleaseNestedSet(oldSet); // freed unless the history keeps it
    update();
}

void TFrame::ReloadViewer(const std::string& anchor, TBump bump, const std::string& oldSource) {
    const TScrollPosition oldPosition = Viewer->ScrollPosition();
    const QString oldTitle = MasterSet->Title;
    const std::string oldAddress = MasterSet->CurrentAddress;
    Viewer->OpenStream(Source, *FrameStream, FrameDocType);
    Viewer->GoToAnchor(anchor);
    Browser().AddVisited(Source + anchor);
    if (SameText(Source, oldSource)) return;
    if (MasterSet->SingleViewer() == Viewer) {
        // The only viewer is the page: it has changed as a whole.
        MasterSet->CurrentAddress = Source;
        MasterSet->Title = Viewer->PageTitle();
        MasterSet->BaseHref = Viewer->BaseDir();
        MasterSet->BaseTarget = Viewer->DefaultTarget();
        if (bump == TBump::Yes) Browser().BumpPage(oldAddress, oldTitle, oldPosition);
        return;
    }
    if (bump == TBump::Yes)
        Browser().BumpFrameHistory(*this, Source, Viewer->ScrollPosition(), oldPosition);
}

void TFrame::ShowNestedSet(TNestedFrameSet* set) {
    DropViewer();
    SubFrameSet = set;
    ShowBevel(false);
    set->show();
    set->ComputeSizes(width(), height());
    set->SetBounds(rect());
    set->ReloadContent(std::nullopt);
}

// --- Meta refresh -----------------------------------------------------------------------

void TFrame::ViewerRefresh(int delay, const std::string& url) {
    if (delay < 0 || !(Browser().fvOptions() & fvMetaRefresh)) return;
    const std::string extension = LowerCase(ExtensionOf(url));
    if (extension == "exe" || extension == "zip") return;
    if (url.empty())
        RefreshURL = Source;
    else if (IsFullAddress(url))
        RefreshURL = url;
    else
        RefreshURL = BaseAddress + url;
    refreshTimer_->SetInterval(std::max(1, delay) * 1000);
    refreshTimer_->SetEnabled(true);
}

void TFrame::StopRefresh() {
    refreshTimer_->SetEnabled(false);
}

void TFrame::RefreshTimerTimer() {
    StopRefresh();
    if (IsUnloaded) return;
    TFrameBrowser& browser = Browser();
    if (browser.Processing()) {
        // A load is running: come back when it is over, never inside it.
        refreshTimer_->SetInterval(RefreshRetryMs);
        refreshTimer_->SetEnabled(true);
        return;
    }
    auto [address, anchor] = SplitAnchor(RefreshURL);
    if (!IsFullAddress(address)) address = ResolveRelative(BaseAddress, address);
    if (MasterSet->SingleViewer() == Viewer && Viewer) {
        browser.OpenTopAddress(address + anchor, "", true, true);
        return;
    }
    TProcessingScope processing(browser);
    LoadFrameURL(address, anchor, true, true, TBump::Yes, "");
    browser.RefreshVisitedLinks();
}

// --- Geometry and the mouse ------------------------------------------------------------

void TFrame::ComputeSizes(int width, int height) {
    if (SubFrameSet) SubFrameSet->ComputeSizes(width, height);
}

void TFrame::Arrange() {
    if (SubFrameSet) SubFrameSet->SetBounds(rect());
    if (Viewer) Viewer->setGeometry(contentsRect());
}

void TFrame::CollectFrames(std::vector<TFrame*>& frames) {
    frames.push_back(this);
    if (SubFrameSet) SubFrameSet->CollectFrames(frames);
}

bool TFrame::CollectNoResize(bool& lower, bool& upper) {
    lower = upper = NoResize;
    return NoResize;
}

void TFrame::BorderMouseDown(QWidget* receiver, Qt::MouseButton button, const QPoint& global) {
    ParentSet->BorderMouseDown(receiver, button, global);
}

void TFrame::BorderMouseMove(QWidget* receiver, const QPoint& global) {
    if (NoResize && !MasterSet->DragOwnerSet) return;
    ParentSet->BorderMouseMove(receiver, global);
}

void TFrame::BorderMouseUp(QWidget* receiver, Qt::MouseButton button, const QPoint& global) {
    ParentSet->BorderMouseUp(receiver, button, global);
}

void TFrame::Retire() {
    StopRefresh();
    LeavePage();
    if (Viewer) LeavePictureBudget(*Viewer);
    // The sets the history keeps go with the frame.
    for (const TFrameTrailEntry& entry : FrameTrail)
        if (entry.Set && entry.Set != SubFrameSet) entry.Set->Retire();
    if (SubFrameSet) SubFrameSet->Retire();
    TFrameTreePanel::Retire();
}

} // namespace lumo
