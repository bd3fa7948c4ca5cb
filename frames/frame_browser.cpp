// The frame browser: loading pages, the viewers' events, link and form
// routing, selection and find. The history is in frame_browser_history.cpp.
#include "frames/frame_browser.h"

#include "address/address.h"
#include "frames/frame.h"
#include "frames/link_address.h"
#include "frames/page_frame_set.h"
#include "platform/stream.h"
#include "platform/text.h"

#include <QResizeEvent>

namespace lumo {

TFrameBrowser::TFrameBrowser(QWidget* parent) : TFrameBrowserBase(parent) {
    setObjectName("FrameBrowser");
    shown_ = new TPageFrameSet(*this);
    shown_->EdgeBorder = 2; // the empty browser shows a sunken frame
    shown_->SetBevel(2);
    shown_->setGeometry(rect());
    shown_->show();
}

TFrameBrowser::~TFrameBrowser() {
    // The sets and their viewers go first, while what they call back into
    // still stands; nothing of theirs may reach the owner meanwhile.
    OnGetPostRequest = nullptr;
    OnViewerClear = nullptr;
    OnFramesLeftOut = nullptr;
    OnHistoryChange = nullptr;
    OnProcessing = nullptr;
    pages_.clear();
    shown_ = nullptr;
    for (TPageFrameSet* set : findChildren<TPageFrameSet*>(Qt::FindDirectChildrenOnly))
        delete set;
}

void TFrameBrowser::SetFvOptions(TFrameViewerOptions options) {
    const bool border = !(options & fvNoBorder);
    options_ = options;
    if (shown_->CurrentAddress.empty() && shown_->Children.empty()) {
        shown_->EdgeBorder = border ? 2 : 0;
        shown_->SetBevel(shown_->EdgeBorder);
        shown_->BorderSize = border ? 2 : 0;
    }
}

void TFrameBrowser::resizeEvent(QResizeEvent* event) {
    TFrameBrowserBase::resizeEvent(event);
    shown_->SetBounds(rect());
}

// --- Loading pages -------------------------------------------------------------------------

void TFrameBrowser::OpenAddress(const std::string& url) {
    if (Processing()) return;
    OpenTopAddress(CompleteAddress(url), "", false, true);
}

void TFrameBrowser::OpenTopAddress(const std::string& url, const std::string& query, bool reload,
                                   bool isGet) {
    if (!OnGetPostRequest) throw Exception("No OnGetPostRequest event defined");
    TProcessingScope processing(*this);
    auto [address, anchor] = SplitAnchor(url);
    ClearBusyViewers();
    if (OnSoundRequest) OnSoundRequest(this, "", 1, true);
    if (SameText(address, shown_->CurrentAddress))
        LoadSameAddress(address, anchor, query, reload, isGet);
    else
        LoadNewAddress(address, anchor, query, reload, isGet);
    AddVisited(url);
    RefreshVisitedLinks();
}

void TFrameBrowser::LoadSameAddress(const std::string& address, const std::string& anchor,
                                    const std::string& query, bool reload, bool isGet) {
    const TScrollPosition position = shown_->SingleViewerPosition();
    // The viewers go with the old content: the owner must not deliver to them.
    for (THTMLViewer* viewer : shown_->Viewers())
        ViewerClear(viewer);
    std::string newURL;
    TContentKind kind = ckHTML;
    TStream* stream = RequestDocument(this, isGet, address, query, reload, newURL, kind);
    if (!stream) throw EFrameLoadError("Can't locate cache file: " + address);
    shown_->LoadDocument(*stream, kind, anchor, newURL.empty() ? address : newURL);
    BumpSamePage(position);
}

void TFrameBrowser::LoadNewAddress(std::string address, const std::string& anchor,
                                   const std::string& query, bool reload, bool isGet) {
    for (THTMLViewer* viewer : shown_->Viewers())
        ViewerClear(viewer);
    TPageFrameSet* old = shown_;
    auto* set = new TPageFrameSet(*this);
    set->setGeometry(rect());
    set->lower();
    set->show();
    try {
        std::string newURL;
        TContentKind kind = ckHTML;
        TStream* stream = RequestDocument(this, isGet, address, query, reload, newURL, kind);
        if (!stream) throw EFrameLoadError("Can't load: " + address);
        if (!newURL.empty()) address = newURL;
        if (address.find(':') != std::string::npos) {
            set->BaseAddress = DirectoryOf(address);
        } else {
            set->BaseAddress = old->BaseAddress;
            address = ResolveRelative(set->BaseAddress, address);
        }
        set->LoadDocument(*stream, kind, anchor, address);
    } catch (...) {
        set->Retire();
        throw;
    }
    const TScrollPosition position = old->SingleViewerPosition();
    old->UnloadContent();
    SwitchTo(set);
    AddPageToHistory(old, position);
}

void TFrameBrowser::SwitchTo(TPageFrameSet* set) {
    TPageFrameSet* old = shown_;
    shown_ = set;
    set->setGeometry(rect());
    set->Arrange();
    set->raise();
    set->show();
    if (old != set) old->hide();
    update();
}

void TFrameBrowser::Reload() {
    TProcessingScope processing(*this);
    ClearBusyViewers();
    setUpdatesEnabled(false);
    try {
        if (shown_->IsFramePage) {
            ReloadFramePage();
        } else {
            shown_->UnloadContent();
            shown_->ReloadContent(std::nullopt);
        }
    } catch (...) {
        setUpdatesEnabled(true);
        throw;
    }
    setUpdatesEnabled(true);
    RefreshVisitedLinks();
}

void TFrameBrowser::ReloadFramePage() {
    // The frameset document comes again too, so a changed frameset shows;
    // the page is built from it anew, each frame from its own document.
    const std::string address = shown_->CurrentAddress;
    std::string newURL;
    TContentKind kind = ckHTML;
    for (THTMLViewer* viewer : shown_->Viewers())
        ViewerClear(viewer);
    TStream* stream = RequestDocument(this, true, address, "", true, newURL, kind);
    if (!stream) throw EFrameLoadError("Can't locate cache file: " + address);
    if (!newURL.empty()) shown_->BaseAddress = DirectoryOf(newURL);
    shown_->LoadDocument(*stream, kind, "", newURL.empty() ? address : newURL);
    if (!pages_.empty()) {
        TPageHistoryEntry& entry = pages_[static_cast<size_t>(historyPos_)];
        entry.Address = shown_->CurrentAddress;
        entry.Title = shown_->Title;
    }
    FireHistoryChange();
}

TStream* TFrameBrowser::RequestDocument(QWidget* sender, bool isGet, const std::string& url,
                                        const std::string& query, bool reload, std::string& newURL,
                                        TContentKind& kind) {
    if (!OnGetPostRequest) throw Exception("No OnGetPostRequest event defined");
    TStream* stream = nullptr;
    newURL.clear();
    OnGetPostRequest(sender, isGet, url, query, reload, newURL, kind, stream);
    return stream;
}

bool TFrameBrowser::IsFrameStream(TStream& stream) {
    TLoadInput input;
    input.Mode = TLoadMode::Stream;
    input.Stream = &stream;
    return IsFrameDocument(input, *this);
}

// --- The viewers --------------------------------------------------------------------------------

const std::string& TFrameBrowser::CurrentAddress() const {
    return shown_->CurrentAddress;
}

const QString& TFrameBrowser::PageTitle() const {
    return shown_->Title;
}

THTMLViewer* TFrameBrowser::FocusedViewer() const {
    const std::vector<THTMLViewer*> viewers = shown_->Viewers();
    if (viewers.size() == 1) return viewers.front();
    for (THTMLViewer* viewer : viewers)
        if (viewer == shown_->FocusedViewer) return viewer;
    return nullptr;
}

int TFrameBrowser::GetViewerCount() const {
    return static_cast<int>(shown_->Viewers().size());
}

THTMLViewer* TFrameBrowser::GetViewer(int index) const {
    const std::vector<THTMLViewer*> viewers = shown_->Viewers();
    return index >= 0 && index < static_cast<int>(viewers.size())
               ? viewers[static_cast<size_t>(index)]
               : nullptr;
}

TFrame* TFrameBrowser::FrameOf(THTMLViewer* viewer) {
    return viewer ? dynamic_cast<TFrame*>(viewer->parentWidget()) : nullptr;
}

std::string TFrameBrowser::ResolveLink(THTMLViewer* viewer, std::string_view link) const {
    const TFrame* frame = FrameOf(viewer);
    if (!frame) return std::string(link);
    const auto [address, anchor] = SplitAnchor(link);
    return ResolveFrameLink(address, viewer->BaseDir(), frame->BaseAddress, frame->Source) + anchor;
}

void TFrameBrowser::ViewerClear(THTMLViewer* viewer) {
    if (OnViewerClear && viewer) OnViewerClear(viewer);
}

void TFrameBrowser::AttachViewer(THTMLViewer& viewer, TFrame& frame) {
    THTMLViewerOptions options = viewer.htOptions() | htPrintTableBackground;
    if (options_ & fvOverLinksActive) options |= htOverLinksActive;
    if (options_ & fvNoLinkUnderline) options |= htNoLinkUnderline;
    if (!(options_ & fvPrintTableBackground)) options &= ~htPrintTableBackground;
    if (options_ & fvShowVScroll) options |= htShowVScroll;
    viewer.SetHtOptions(options);
    // The browser keeps the visited list of all its frames.
    viewer.SetVisitedMaxCount(0);
    viewer.SetPictureBudget(frame.MasterSet->PictureBudget);
    viewer.OnImageRequest = OnImageRequest;
    viewer.OnHotSpotClick = [this](THTMLViewer* v, const std::string& url, bool& handled) {
        HotSpotClick(v, url, handled);
    };
    viewer.OnHotSpotCovered = [this](THTMLViewer* v, const std::string& url) {
        HotSpotCovered(v, url);
    };
    viewer.OnProcessing = [this](THTMLViewer* v, bool on) { ViewerProcessing(v, on); };
    viewer.OnFormSubmit = [this](THTMLViewer* v, const std::string& action,
                                 const std::string& target, const std::string& encType,
                                 const std::string& method,
                                 const std::vector<std::string>& results) {
        FormSubmit(v, action, target, encType, method, results);
    };
    viewer.OnEnter = [master = frame.MasterSet](THTMLViewer* v) { master->FocusedViewer = v; };
    viewer.OnMetaRefresh = [&frame](THTMLViewer*, int delay, const std::string& url) {
        frame.ViewerRefresh(delay, url);
    };
    viewer.OnExpandName = [&frame](THTMLViewer* v, const std::string& name) {
        return ExpandFrameName(name, v->BaseDir(), frame.BaseAddress);
    };
    viewer.OnGetPostRequest = [this, &frame](THTMLViewer*, const std::string& url,
                                             std::string& newURL, TContentKind& kind,
                                             TStream*& stream) {
        stream = RequestDocument(&frame, true, url, "", false, newURL, kind);
    };
}

// --- Links -----------------------------------------------------------------------------------

std::string TFrameBrowser::TargetOfLink(THTMLViewer* viewer, TFrame* frame) const {
    if (!viewer->HotTarget().empty()) return viewer->HotTarget();
    if (!viewer->DefaultTarget().empty()) return viewer->DefaultTarget();
    return frame->ParentSet->InheritedBaseTarget();
}

TFrameTreePanel* TFrameBrowser::TargetOf(TFrame* frame, const std::string& target) const {
    if (target.empty() || SameText(target, "_self")) return frame;
    if (TFrame* named = shown_->FrameNamed(target)) return named;
    if (SameText(target, "_top")) return shown_;
    if (SameText(target, "_parent")) {
        for (QWidget* p = frame->parentWidget(); p; p = p->parentWidget()) {
            if (auto* above = dynamic_cast<TFrame*>(p)) return above;
            if (p == shown_) return shown_;
        }
        return shown_;
    }
    return nullptr;
}

void TFrameBrowser::HotSpotClick(THTMLViewer* viewer, const std::string& url, bool& handled) {
    handled = true; // the browser follows links itself
    TFrame* frame = FrameOf(viewer);
    if (Processing() || !frame) return;
    clickedURL_ = url;
    clickedTarget_ = TargetOfLink(viewer, frame);
    clickedSource_ = frame->Source;
    const auto [address, anchor] = SplitAnchor(ResolveLink(viewer, url));
    bool ownerHandled = false;
    if (OnHotSpotTargetClick)
        OnHotSpotTargetClick(this, clickedTarget_, address + anchor, ownerHandled);
    if (ownerHandled) return;
    TFrameTreePanel* target = TargetOf(frame, clickedTarget_);
    if (!target) {
        AddVisited(address + anchor);
        RefreshVisitedLinks();
        if (OnBlankWindowRequest) OnBlankWindowRequest(this, clickedTarget_, address + anchor);
        return;
    }
    GoTo(target, address, anchor, "", false, true, TWholePage::Yes);
}

void TFrameBrowser::GoTo(TFrameTreePanel* target, const std::string& address,
                         const std::string& anchor, const std::string& query, bool reload,
                         bool isGet, TWholePage wholePage) {
    TProcessingScope processing(*this);
    auto* frame = dynamic_cast<TFrame*>(target);
    // On an ordinary page a link to another page replaces the page.
    if (wholePage == TWholePage::Yes && frame && shown_->SingleViewer() &&
        !SameText(address, shown_->CurrentAddress))
        frame = nullptr;
    if (frame)
        frame->LoadFrameURL(address, anchor, reload, isGet, TFrame::TBump::Yes, query);
    else
        OpenTopAddress(address + anchor, query, reload, isGet);
    RefreshVisitedLinks();
}

void TFrameBrowser::HotSpotCovered(THTMLViewer* viewer, const std::string& url) {
    if (!OnHotSpotTargetCovered) return;
    const std::string shown = viewer->OverLink() ? ResolveLink(viewer, url) : std::string();
    OnHotSpotTargetCovered(viewer, viewer->HotTarget(), shown);
}

void TFrameBrowser::FormSubmit(THTMLViewer* viewer, const std::string& action,
                               const std::string& target, const std::string& encType,
                               const std::string& method, const std::vector<std::string>& results) {
    TFrame* frame = FrameOf(viewer);
    if (inFormSubmit_ || !frame) return;
    inFormSubmit_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inFormSubmit_};
    bool handled = false;
    if (OnFormSubmit) OnFormSubmit(this, action, target, encType, method, results, handled);
    if (handled) return;
    const std::string query = EncodeFormResults(results);
    const auto [address, anchor] = SplitAnchor(ResolveLink(viewer, action));
    TFrameTreePanel* destination = TargetOf(frame, target);
    if (!destination) {
        if (OnBlankWindowRequest)
            OnBlankWindowRequest(this, target, address + "?" + query + anchor);
        return;
    }
    GoTo(destination, address, anchor, query, true, SameText(method, "get"), TWholePage::No);
}

// --- Selection and find --------------------------------------------------------------------

QString TFrameBrowser::SelText() const {
    THTMLViewer* viewer = FocusedViewer();
    return viewer ? viewer->SelectedText() : QString();
}

bool TFrameBrowser::HasSelection() const {
    THTMLViewer* viewer = FocusedViewer();
    return viewer && viewer->SelectionLength() != 0;
}

void TFrameBrowser::CopyToClipboard() {
    if (THTMLViewer* viewer = FocusedViewer()) viewer->CopySelectionToClipboard();
}

void TFrameBrowser::SelectAll() {
    if (THTMLViewer* viewer = FocusedViewer()) viewer->SelectEverything();
}

bool TFrameBrowser::Find(const QString& text, bool matchCase) {
    THTMLViewer* viewer = FocusedViewer();
    return viewer && viewer->FindNext(text, matchCase);
}

// --- Visited links ----------------------------------------------------------------------------

void TFrameBrowser::AddVisited(const std::string& address) {
    if (visitedMaxCount_ > 0) visited_.Add(address, visitedMaxCount_);
}

bool TFrameBrowser::IsVisitedLink(THTMLViewer* viewer, const std::string& link) const {
    return visited_.Contains(ResolveLink(viewer, link));
}

void TFrameBrowser::RefreshVisitedLinks() {
    if (visitedMaxCount_ <= 0) return;
    for (THTMLViewer* viewer : shown_->Viewers())
        viewer->MarkLinks([&](const std::string& link) { return IsVisitedLink(viewer, link); });
}

void TFrameBrowser::SetVisitedMaxCount(int count) {
    count = std::max(0, count);
    if (count == visitedMaxCount_) return;
    visitedMaxCount_ = count;
    visited_.Cut(count);
    if (count > 0) return;
    visited_.Clear();
    ForEachViewer([](THTMLViewer& v) { v.MarkLinks([](const std::string&) { return false; }); });
    update();
}

} // namespace lumo
