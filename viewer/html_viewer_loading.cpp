// The viewer's loading: files, text, streams and pictures read into a new
// document, the document laid out to the panel's width, and the panel and
// scroll bars placed to fit it.
#include "viewer/html_viewer.h"

#include "builder/document_builder.h"
#include "layout/section_list.h"
#include "platform/file_system.h"
#include "platform/heap_pages.h"
#include "platform/qt_canvas.h"
#include "platform/qt_text.h"
#include "platform/timer.h"
#include "viewer/form_widgets.h"
#include "viewer/paint_panel.h"
#include "viewer/viewer_rules.h"

#include <QApplication>
#include <QScrollBar>

#include <algorithm>

namespace lumo {

struct THTMLViewer::TLoadRequest {
    enum class Source { File, Buffer, Stream };
    Source From = Source::Buffer;
    TContentKind Kind = ckHTML;
    std::string Name; // the full file name, or the address of a stream
    std::string Anchor;
    std::string_view Buffer;
    TStream* Stream = nullptr;
};

// Holds Processing for the life of a load, and the hourglass for a file
// load; both go however the load ends.
class THTMLViewer::ProcessingScope {
public:
    ProcessingScope(THTMLViewer& viewer, bool hourglass) : viewer_(viewer), hourglass_(hourglass) {
        viewer_.processing_ = true;
        if (hourglass_) QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~ProcessingScope() { End(); }
    ProcessingScope(const ProcessingScope&) = delete;
    ProcessingScope& operator=(const ProcessingScope&) = delete;

    void End() {
        if (ended_) return;
        ended_ = true;
        viewer_.processing_ = false;
        if (hourglass_) QApplication::restoreOverrideCursor();
    }

private:
    THTMLViewer& viewer_;
    bool hourglass_;
    bool ended_ = false;
};

// --- Loading ---------------------------------------------------------------

void THTMLViewer::OpenFile(const std::string& name) {
    OpenFileAs(name, ckHTML);
}

void THTMLViewer::OpenImageFile(const std::string& name) {
    OpenFileAs(name, ckImage);
}

void THTMLViewer::OpenTextFile(const std::string& name) {
    OpenFileAs(name, ckText);
}

void THTMLViewer::OpenFileAs(const std::string& name, TContentKind kind) {
    if (Busy()) return;
    const THistoryEntry previous = CurrentEntry();
    LoadFile(name, kind);
    if (previous.File != documentFile_ || previous.Kind != docKind_) BumpHistory(previous);
}

void THTMLViewer::LoadFile(const std::string& name, TContentKind kind) {
    if (Busy()) return;
    const size_t hash = name.find('#');
    const std::string file = name.substr(0, hash);
    // Checked before anything changes: the document shown stays.
    const std::string full = ExpandLocalName(file, {}, "DosPath", {});
    if (!FileExists(full)) throw EInOutError("Can't locate file: " + file);
    TLoadRequest request;
    request.From = TLoadRequest::Source::File;
    request.Kind = kind;
    request.Name = full;
    if (hash != std::string::npos) request.Anchor = name.substr(hash + 1);
    Load(request);
}

void THTMLViewer::OpenText(std::string_view buffer) {
    TLoadRequest request;
    request.Buffer = buffer;
    Load(request);
}

void THTMLViewer::OpenStream(const std::string& address, TStream& stream, TContentKind kind) {
    if (processing_) return;
    const THistoryEntry previous = CurrentEntry();
    LoadStream(address, stream, kind);
    if (previous.File != documentFile_ || previous.Kind != docKind_) BumpHistory(previous);
}

void THTMLViewer::LoadStream(const std::string& address, TStream& stream, TContentKind kind) {
    TLoadRequest request;
    request.From = TLoadRequest::Source::Stream;
    request.Kind = kind;
    request.Name = address;
    request.Stream = &stream;
    Load(request);
}

void THTMLViewer::Load(const TLoadRequest& request) {
    if (Busy()) return;
    {
        ProcessingScope scope(*this, request.From == TLoadRequest::Source::File);
        try {
            if (OnProcessing) OnProcessing(this, true);
            BuildDocument(request);
        } catch (...) {
            // What was half built is dropped; the viewer shows an empty page
            // and takes the next load.
            ResetDocumentState();
            LayOutDocument();
            scope.End();
            ClearHot();
            InvalidatePanel();
            if (OnProcessing) OnProcessing(this, false);
            throw;
        }
    }
    FinishLoad();
}

void THTMLViewer::BuildDocument(const TLoadRequest& request) {
    TSectionList& root = *sectionList_;
    const std::string previousFile = documentFile_;
    layoutScheduled_ = false; // the load lays out for the size it ends with
    ResetDocumentState();
    documentFile_ = request.From == TLoadRequest::Source::Buffer ? std::string() : request.Name;
    docKind_ = request.Kind;
    docSource_ = request.From == TLoadRequest::Source::File ? TDocumentSource::File
                                                            : TDocumentSource::Stream;
    root.OnStyleSheetRequest = nullptr;
    if (OnGetPostRequest)
        root.OnStyleSheetRequest = [this](const std::string& address, std::string& text) {
            return RequestStyleSheet(address, text);
        };

    TBuilderHooks hooks;
    hooks.OnMeta = [this](void*, const std::string& httpEq, const std::string& name,
                          const std::string& content) { HandleMeta(httpEq, name, content); };
    if (OnInclude)
        hooks.OnInclude = [this](void*, const std::string& command, std::vector<std::string> params,
                                 std::string& buffer) {
            OnInclude(this, command, std::move(params), buffer);
        };
    if (OnSoundRequest)
        hooks.OnSoundRequest = [this](void*, const std::string& src, int loop, bool terminate) {
            OnSoundRequest(this, src, loop, terminate);
        };

    TParseResult result;
    using Source = TLoadRequest::Source;
    switch (request.Kind) {
    case ckHTML:
        if (OnSoundRequest) OnSoundRequest(this, "", 0, true);
        if (request.From == Source::File)
            result = ParseHtmlFile(root, request.Name, hooks);
        else if (request.From == Source::Stream)
            result = ParseHtmlStream(root, *request.Stream, hooks);
        else
            result = ParseHtmlBuffer(root, request.Buffer, hooks);
        break;
    case ckText:
        if (request.From == Source::File)
            ParseTextFile(root, request.Name);
        else if (request.From == Source::Stream)
            ParseTextStream(root, *request.Stream);
        else
            ParseTextBuffer(root, request.Buffer);
        break;
    case ckImage: {
        // A picture is shown as a page of one image.
        std::string src = request.From == Source::Buffer ? std::string() : request.Name;
        src.erase(std::remove(src.begin(), src.end(), '"'), src.end());
        result = ParseHtmlBuffer(root, "<IMG SRC=\"" + src + "\">", hooks);
        break;
    }
    }
    pageTitle_ = DecodeText(result.Title, result.CodePage);
    docBase_ = result.Base;
    baseDir_ = docBase_.empty() ? hostBase_ : docBase_;
    defaultTarget_ = result.BaseTarget;
    sectionList_->LoadBackBitmap();

    LayOutDocument();
    MarkVisitedLinks();
    const bool positioned = !request.Anchor.empty() && GoToAnchor(request.Anchor);
    if (!positioned && (documentFile_.empty() || documentFile_ != previousFile)) {
        ScrollTo(0);
        ScrollHorzTo(0);
    }
}

void THTMLViewer::FinishLoad() {
    PlaceControls();
    InvalidatePanel();
    ClearHot(); // the link under the mouse was one of the old page
    if (OnProcessing) OnProcessing(this, false);
    if (refreshAsked_ && OnMetaRefresh) OnMetaRefresh(this, refreshDelay_, refreshURL_);
}

void THTMLViewer::ResetDocumentState() {
    ++documentSerial_;
    hoverTimer_->SetEnabled(false);
    autoScrollTimer_->SetEnabled(false);
    animationTimer_->SetEnabled(false);
    EndDragScroll();
    selecting_ = false;
    // The widgets reach into the controls: they go first.
    formWidgets_->Clear();
    sectionList_->Reset();
    // Pictures of older pages stay cached for a few more pages.
    sectionList_->Pictures.Cache->AgeAndPurge();
    if (forgetPictures_) sectionList_->Pictures.ForgetUnused();
    forgetPictures_ = false;
    imagesNeedLayout_ = false;
    ReturnFreeHeapMemory();
    ApplyDefaults();
    documentFile_.clear();
    docKind_ = ckHTML;
    docSource_ = TDocumentSource::File;
    pageTitle_.clear();
    docBase_.clear();
    baseDir_ = hostBase_;
    defaultTarget_.clear();
    caretIndex_ = selAnchor_ = 0;
    sectionList_->CaretPos = 0;
    refreshAsked_ = false;
    refreshDelay_ = 0;
    refreshURL_.clear();
}

void THTMLViewer::ClearDocument() {
    if (Busy()) return;
    ResetDocumentState();
    ClearHot(); // the link under the mouse is gone with the document
    sectionList_->SetScrollY(0);
    LayOutDocument();
    ScrollHorzTo(0);
    if (OnSoundRequest) OnSoundRequest(this, "", 0, true);
    InvalidatePanel();
}

bool THTMLViewer::DeliverImage(const std::string& address, TStream& stream) {
    if (!TakeImage(address, stream)) return false;
    SettleImages();
    return true;
}

bool THTMLViewer::TakeImage(const std::string& address, TStream& stream) {
    if (Busy()) return false;
    if (HandImageToDocument(address, stream)) imagesNeedLayout_ = true;
    InvalidatePanel();
    return true;
}

void THTMLViewer::SettleImages() {
    if (!imagesNeedLayout_ || Busy()) return;
    imagesNeedLayout_ = false;
    LayOutKeepingPosition();
}

bool THTMLViewer::HandImageToDocument(const std::string& address, TStream& stream) {
    bool relayout = false;
    sectionList_->Pictures.ImageArrived(address, stream, relayout);
    return relayout;
}

// --- Layout ----------------------------------------------------------------

bool THTMLViewer::HasBorder() const {
    return borderStyle_ != THTMLBorderStyle::htNone;
}

int THTMLViewer::BorderWidth() const {
    return HasBorder() ? 1 : 0;
}

int THTMLViewer::PanelHeight() const {
    return panel_->height();
}

int THTMLViewer::PanelWidth() const {
    return panel_->width();
}

void THTMLViewer::LayOutDocument() {
    ++layoutCount_;
    paintedSinceLayout_ = false;
    const bool vAllowed =
        scrollBars_ == TScrollStyle::ssBoth || scrollBars_ == TScrollStyle::ssVertical;
    const int barWidth = vScrollBar_->sizeHint().width();
    const int width =
        std::max(1, this->width() - (HasBorder() ? 3 : 1) - (vAllowed ? barWidth : 0));
    const int clientHeight = std::max(0, height() - 2 * BorderWidth());
    scrollWidth_ = 0;
    int cursor = 0;
    docHeight_ = sectionList_->LayOutCell(*measure_, 0, width, clientHeight, scrollWidth_, cursor);
    scrollWidth_ = std::min(scrollWidth_, MaxScrollWidth);
    formWidgets_->DocumentLaidOut(*sectionList_);
    PlaceChildren();
}

void THTMLViewer::PlaceChildren() {
    const int b = BorderWidth();
    const QRect inner(b, b, std::max(0, width() - 2 * b), std::max(0, height() - 2 * b));
    const bool vAllowed =
        scrollBars_ == TScrollStyle::ssBoth || scrollBars_ == TScrollStyle::ssVertical;
    const bool hAllowed =
        scrollBars_ == TScrollStyle::ssBoth || scrollBars_ == TScrollStyle::ssHorizontal;
    const bool vNeeded = docHeight_ > inner.height() - 2;
    const bool showV = vAllowed && (vNeeded || (options_ & htShowVScroll));
    const int vw = showV ? vScrollBar_->sizeHint().width() : 0;
    const bool showH = hAllowed && scrollWidth_ > inner.width() - vw;
    const int hh = showH ? hScrollBar_->sizeHint().height() : 0;
    panel_->setGeometry(inner.x(), inner.y(), std::max(0, inner.width() - vw),
                        std::max(0, inner.height() - hh));
    vScrollBar_->setGeometry(inner.x() + inner.width() - vw, inner.y(), vw,
                             std::max(0, inner.height() - hh));
    hScrollBar_->setGeometry(inner.x(), inner.y() + inner.height() - hh,
                             std::max(0, inner.width() - vw), hh);
    vScrollBar_->setVisible(showV);
    vScrollBar_->setEnabled(vNeeded);
    hScrollBar_->setVisible(showH);
    SetBarRanges();
}

void THTMLViewer::SetBarRanges() {
    settingBars_ = true;
    const int panelHeight = PanelHeight(), panelWidth = PanelWidth();
    // The bar's range is what can be scrolled: the document less one panel.
    vScrollBar_->setRange(0, std::max(0, docHeight_ - panelHeight));
    vScrollBar_->setPageStep(std::max(1, panelHeight - VLineStep));
    hScrollBar_->setRange(0, std::max(0, scrollWidth_ - panelWidth));
    hScrollBar_->setPageStep(std::max(1, panelWidth - 20));
    settingBars_ = false;
    const int y = std::clamp(sectionList_->ScrollY, 0, vScrollBar_->maximum());
    settingBars_ = true;
    vScrollBar_->setValue(y);
    settingBars_ = false;
    sectionList_->SetScrollY(y);
    PlaceControls();
}

void THTMLViewer::LayOutKeepingPosition() {
    const TScrollPosition position = ScrollPosition();
    LayOutDocument();
    ScrollTo(std::max(0, ScrollYOf(*sectionList_, position)));
    InvalidatePanel();
}

void THTMLViewer::ScheduleLayout() {
    PlaceChildren();
    if (layoutScheduled_) return;
    layoutScheduled_ = true;
    scheduledPosition_ = ScrollPosition();
    QMetaObject::invokeMethod(
        this, [this] { RunScheduledLayout(); }, Qt::QueuedConnection);
}

void THTMLViewer::RunScheduledLayout() {
    if (!layoutScheduled_ || processing_) return;
    layoutScheduled_ = false;
    LayOutDocument();
    ScrollTo(std::max(0, ScrollYOf(*sectionList_, scheduledPosition_)));
    InvalidatePanel();
}

void THTMLViewer::resizeEvent(QResizeEvent*) {
    // A load in progress lays out for the size it ends with.
    if (processing_) return;
    ScheduleLayout();
}

} // namespace lumo
