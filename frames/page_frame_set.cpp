#include "frames/page_frame_set.h"

#include "address/address.h"
#include "frames/frame.h"
#include "frames/frame_browser.h"
#include "frames/link_address.h"
#include "image/picture_budget.h"
#include "platform/qt_text.h"
#include "platform/stream.h"
#include "platform/text.h"
#include "viewer/html_viewer.h"

namespace lumo {

TPageFrameSet::TPageFrameSet(TFrameBrowser& browser)
    : TNestedFrameSet(&browser, this), OwningBrowser(browser),
      PictureBudget(std::make_shared<TPictureBudget>(browser.PagePictureBytes)) {
    BorderSize = (browser.fvOptions() & fvNoBorder) ? 0 : 2;
    CharSet = browser.CharSet;
}

TPageFrameSet::~TPageFrameSet() = default;

void TPageFrameSet::LoadDocument(TStream& stream, TContentKind kind, const std::string& anchor,
                                 const std::string& url) {
    ClearChildren();
    CurrentAddress = url;
    TFrameBrowser& browser = OwningBrowser;
    IsFramePage = kind == ckHTML && browser.IsFrameStream(stream);
    if (IsFramePage) {
        TLoadInput input;
        input.Mode = TLoadMode::Stream;
        input.Stream = &stream;
        const TParseResult result =
            ParseFrameDocument(browser, this, input,
                               [this](void*, const std::string& httpEq, const std::string& name,
                                      const std::string& content) {
                                   if (OwningBrowser.OnMeta)
                                       OwningBrowser.OnMeta(nullptr, httpEq, name, content);
                                   FrameSetMeta(httpEq, content);
                               });
        Title = DecodeText(result.Title, result.CodePage);
        BaseHref = result.Base.empty() ? BaseAddress : result.Base;
        BaseTarget = result.BaseTarget;
        ResolveSources(result.Base);
        MasterResize(); // the frames have their places before their viewers come
        LoadContent();
        ResetSize();
        MasterResize();
        bool lower = false, upper = false;
        CollectNoResize(lower, upper);
        StartRefresh();
        return;
    }
    TFrame* frame = AddFrame(nullptr);
    frame->Source = frame->OriginalSource = url;
    frame->FrameStream = &stream;
    frame->FrameDocType = kind;
    frame->Anchor = anchor;
    FrameSetEnded();
    MasterResize();
    frame->LoadContent();
    if (THTMLViewer* viewer = frame->Viewer) {
        Title = viewer->PageTitle();
        BaseHref = viewer->BaseDir();
        BaseTarget = viewer->DefaultTarget();
    }
}

bool TPageFrameSet::RoomForFrame() {
    if (*LiveFrames < MaxPageFrames) return true;
    if (!framesLeftOut_) {
        framesLeftOut_ = true;
        if (OwningBrowser.OnFramesLeftOut) OwningBrowser.OnFramesLeftOut(&OwningBrowser);
    }
    return false;
}

void TPageFrameSet::MasterResize() {
    const QRect area = InsetRect();
    if (area.width() == LastWidth && area.height() == LastHeight) return;
    ComputeSizes(area.width(), area.height());
    PlaceChildren();
    LastWidth = area.width();
    LastHeight = area.height();
}

void TPageFrameSet::Arrange() {
    MasterResize();
}

void TPageFrameSet::ClearChildren() {
    TNestedFrameSet::ClearChildren();
    DragOwnerSet = nullptr;
    FocusedViewer = nullptr;
    IsFramePage = false;
    framesLeftOut_ = false;
    Title.clear();
    ResetSize();
}

std::vector<TFrame*> TPageFrameSet::AllFrames() {
    std::vector<TFrame*> frames;
    CollectFrames(frames);
    return frames;
}

std::vector<THTMLViewer*> TPageFrameSet::Viewers() {
    std::vector<THTMLViewer*> viewers;
    for (TFrame* frame : AllFrames())
        if (frame->Viewer) viewers.push_back(frame->Viewer);
    return viewers;
}

TFrame* TPageFrameSet::FrameNamed(const std::string& name) {
    if (name.empty()) return nullptr;
    for (TFrame* frame : AllFrames())
        if (SameText(frame->FrameName, name)) return frame;
    return nullptr;
}

THTMLViewer* TPageFrameSet::SingleViewer() {
    const std::vector<THTMLViewer*> viewers = Viewers();
    return viewers.size() == 1 ? viewers.front() : nullptr;
}

TScrollPosition TPageFrameSet::SingleViewerPosition() {
    THTMLViewer* viewer = SingleViewer();
    return viewer ? viewer->ScrollPosition() : TScrollPosition{};
}

void TPageFrameSet::RefreshTimerTimer() {
    StopRefresh();
    if (this != OwningBrowser.ShownFrameSet() || IsUnloaded) return;
    if (OwningBrowser.Processing()) {
        RetryRefreshLater();
        return;
    }
    // An empty address in the refresh means this page again.
    std::string address = PendingRefreshURL.empty() ? CurrentAddress : PendingRefreshURL;
    if (!IsFullAddress(address)) address = ResolveRelative(BaseAddress, address);
    OwningBrowser.OpenTopAddress(address, "", true, true);
}

} // namespace lumo
