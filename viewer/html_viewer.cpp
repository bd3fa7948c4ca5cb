// The viewer: construction, properties, loading, layout, painting and
// scrolling. Input is in html_viewer_input.cpp; links, anchors, history and
// visited links in html_viewer_links.cpp.
#include "viewer/html_viewer.h"

#include "builder/document_builder.h"
#include "layout/inline_image.h"
#include "layout/section_list.h"
#include "platform/color_names.h"
#include "platform/file_system.h"
#include "platform/heap_pages.h"
#include "platform/qt_canvas.h"
#include "platform/qt_text.h"
#include "platform/timer.h"
#include "viewer/form_widgets.h"
#include "viewer/paint_panel.h"
#include "viewer/viewer_rules.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace lumo {

namespace {

constexpr int AnimationInterval = 50; // milliseconds between animation steps

} // namespace

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

THTMLViewer::THTMLViewer(QWidget* parent)
    : QWidget(parent), DefFontColor(clBtnText), DefHotSpotColor(clBlue),
      DefVisitedLinkColor(clPurple), DefOverLinkColor(clBlue), defBackground_(clBtnFace),
      measureDevice_(8, 8, QImage::Format_RGB32) {
    setObjectName("HTMLViewer");
    resize(150, 150);
    setFocusPolicy(Qt::StrongFocus);
    measure_ = std::make_unique<QtCanvas>(measureDevice_);
    sectionList_ = std::make_unique<TSectionList>(*measure_);
    sectionList_->LetterCasesOf = &LetterCasesOf;
    sectionList_->Viewer = this;
    sectionList_->InvalidatePanel = [this] { InvalidatePanel(); };
    sectionList_->OnExpandName = [this](const std::string& name) { return ExpandName(name); };
    sectionList_->Pictures.OnImageRequest = [this](const std::string& name, TStream*& stream) {
        if (!OnImageRequest) return false;
        OnImageRequest(this, name, stream);
        return true;
    };
    sectionList_->OnScript = [this](void*, const std::string& name, const std::string& language,
                                    std::string script) {
        if (OnScript) OnScript(this, name, language, script);
    };
    sectionList_->OnFormSubmit = [this](TFormSubmission submission) {
        QueueSubmission(std::move(submission));
    };
    ApplyDefaults();

    panel_ = new TPaintPanel(*this);
    formWidgets_ = new TFormWidgets(
        *panel_, [this](TFormControl& control) { ScrollControlIntoView(control); });
    formWidgets_->OnObjectClick = [this](TFormControl& control) {
        if (OnObjectClick) OnObjectClick(this, &control, control.OnClickText);
    };
    sectionList_->OnPanelCreate = [this](TInlinePanel& panel) { MakePanel(panel); };
    sectionList_->OnPanelDestroy = [this](TInlinePanel& panel) { FreePanel(panel); };
    vScrollBar_ = new QScrollBar(Qt::Vertical, this);
    vScrollBar_->setObjectName("VScrollBar");
    vScrollBar_->setSingleStep(VLineStep);
    vScrollBar_->setFocusPolicy(Qt::NoFocus);
    vScrollBar_->hide();
    hScrollBar_ = new QScrollBar(Qt::Horizontal, this);
    hScrollBar_->setObjectName("HScrollBar");
    hScrollBar_->setSingleStep(HLineStep);
    hScrollBar_->setFocusPolicy(Qt::NoFocus);
    hScrollBar_->hide();
    connect(vScrollBar_, &QScrollBar::valueChanged, this, [this](int v) { BarValueChanged(v); });
    connect(hScrollBar_, &QScrollBar::valueChanged, this, [this](int v) { HBarValueChanged(v); });

    hoverTimer_ = std::make_unique<Timer>();
    hoverTimer_->SetInterval(200);
    hoverTimer_->OnTimer = [this] { HoverTick(); };
    autoScrollTimer_ = std::make_unique<Timer>();
    autoScrollTimer_->SetInterval(100);
    autoScrollTimer_->OnTimer = [this] { AutoScrollTick(); };
    dragTimer_ = std::make_unique<Timer>();
    dragTimer_->SetInterval(25);
    dragTimer_->OnTimer = [this] { DragScrollTick(); };
    animationTimer_ = std::make_unique<Timer>();
    animationTimer_->SetInterval(AnimationInterval);
    animationTimer_->OnTimer = [this] { StepAnimations(); };
    sectionList_->OnAnimationStart = [this] { animationTimer_->SetEnabled(true); };

    PlaceChildren();
}

THTMLViewer::~THTMLViewer() {
    // The children and timers reach into the document: they go first, and
    // the document's hooks point back here, so none may run while it goes.
    hoverTimer_.reset();
    autoScrollTimer_.reset();
    dragTimer_.reset();
    animationTimer_.reset();
    sectionList_->OnAnimationStart = nullptr;
    QObject::disconnect(vScrollBar_, nullptr, this, nullptr);
    QObject::disconnect(hScrollBar_, nullptr, this, nullptr);
    formWidgets_->Clear();
    // The panels' widgets go with the paint panel; the host, which may be
    // going too, hears nothing.
    sectionList_->OnPanelCreate = nullptr;
    sectionList_->OnPanelDestroy = nullptr;
    panels_.clear();
    delete panel_;
    panel_ = nullptr;
    formWidgets_ = nullptr;
    sectionList_->OnFormSubmit = nullptr;
    sectionList_->InvalidatePanel = nullptr;
    sectionList_->OnExpandName = nullptr;
    sectionList_->Pictures.OnImageRequest = nullptr;
    sectionList_->OnScript = nullptr;
    sectionList_->OnStyleSheetRequest = nullptr;
}

Canvas& THTMLViewer::MeasureCanvas() {
    return *measure_;
}

QWidget* THTMLViewer::PaintPanel() const {
    return panel_;
}

// --- Properties ------------------------------------------------------------

void THTMLViewer::SetDefBackground(TColor color) {
    defBackground_ = color;
    InvalidatePanel();
}

void THTMLViewer::SetDefFontSize(int size) {
    defFontSize_ = std::max(6, size);
}

void THTMLViewer::SetHistoryMaxCount(int count) {
    if (count < 0) return;
    const bool lowered = count < historyMaxCount_;
    historyMaxCount_ = count;
    if (lowered && history_.Count() > 0) {
        history_.Clear();
        if (OnHistoryChange) OnHistoryChange(this);
    }
}

void THTMLViewer::SetImageCacheCount(int count) {
    imageCacheCount_ = std::clamp(count, 0, 20);
    sectionList_->Pictures.Cache->SetCacheLimit(imageCacheCount_);
}

void THTMLViewer::SetPictureBudget(std::shared_ptr<TPictureBudget> budget) {
    sectionList_->Pictures.Cache->SetBudget(std::move(budget));
}

void THTMLViewer::SetViewImages(bool view) {
    if (view == viewImages_ || processing_) return;
    viewImages_ = view;
    sectionList_->ImagesOn = view;
    LayOutKeepingPosition();
}

void THTMLViewer::SetNoSelect(bool noSelect) {
    noSelect_ = noSelect;
    if (noSelect) SetSelection(caretIndex_, caretIndex_);
}

void THTMLViewer::SetScrollBars(TScrollStyle style) {
    if (style == scrollBars_ || processing_) return;
    scrollBars_ = style;
    LayOutKeepingPosition();
}

void THTMLViewer::SetBorderStyle(THTMLBorderStyle style) {
    if (style == borderStyle_ || processing_) return;
    borderStyle_ = style;
    LayOutKeepingPosition();
    update();
}

void THTMLViewer::SetServerRoot(std::string_view root) {
    serverRoot_ = ServerRootPath(root);
}

void THTMLViewer::SetHtOptions(THTMLViewerOptions options) {
    const THTMLViewerOptions changed = options ^ options_;
    options_ = options;
    sectionList_->ShowDummyCaret = (options & htShowDummyCaret) != 0;
    sectionList_->PrintBackgrounds = (options & htPrintTableBackground) != 0;
    if ((changed & htShowVScroll) && !processing_) PlaceChildren();
    InvalidatePanel();
}

void THTMLViewer::SetBase(std::string_view base) {
    hostBase_ = base;
    if (docBase_.empty()) baseDir_ = hostBase_;
}

void THTMLViewer::ApplyDefaults() {
    TSectionList& root = *sectionList_;
    TDefaultLook look;
    look.FontName = DefFontName;
    look.PreFontName = DefPreFontName;
    look.FontSize = defFontSize_;
    look.Charset = CharSet;
    look.FontColor = DefFontColor;
    look.HotSpotColor = DefHotSpotColor;
    look.VisitedColor = DefVisitedLinkColor;
    look.OverColor = DefOverLinkColor;
    look.HoverLinks = (options_ & htOverLinksActive) != 0;
    look.UnderlineLinks = (options_ & htNoLinkUnderline) == 0;
    look.MarginWidth = MarginWidth;
    look.MarginHeight = MarginHeight;
    root.SetDefaults(look);
    root.ImagesOn = viewImages_;
    root.ShowDummyCaret = (options_ & htShowDummyCaret) != 0;
    root.PrintBackgrounds = (options_ & htPrintTableBackground) != 0;
    root.BackColor = clNone;
}

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
            SetHot({}, {});
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
    SetHot({}, {}); // the link under the mouse was one of the old page
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
    hotURL_.clear();
    hotTarget_.clear();
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

// --- Painting --------------------------------------------------------------

TColor THTMLViewer::BackgroundColor() const {
    return sectionList_->BackColor != clNone ? sectionList_->BackColor : defBackground_;
}

void THTMLViewer::InvalidatePanel() {
    if (panel_) panel_->update();
}

void THTMLViewer::PaintPanelRect(QPainter& painter, const QRect& rect) {
    if (rect.isEmpty()) return;
    // On a high-density screen the page is drawn at the device's pixels, in
    // the same logical coordinates, and measured as layout measured it.
    const qreal ratio = painter.device()->devicePixelRatioF();
    QImage buffer((QSizeF(rect.size()) * ratio).toSize(), QImage::Format_RGB32);
    if (buffer.isNull()) throw EOutOfResources("Out of Resources");
    buffer.setDevicePixelRatio(ratio);
    {
        QtCanvas canvas(buffer, measureDevice_);
        canvas.Painter().translate(-rect.x(), -rect.y());
        const TRect clip{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
        canvas.SetBrush(BackgroundColor(), BrushStyle::Solid);
        canvas.FillRect(clip);
        PaintBackgroundPicture(canvas, clip);
        // A half-built document is never painted.
        if (!processing_) {
            PaintDocument(canvas, clip);
            ++paintCount_;
            paintedSinceLayout_ = true;
        }
    }
    painter.drawImage(rect.topLeft(), buffer);
}

void THTMLViewer::StepAnimations() {
    if (processing_) return;
    const int hs = HScroll(), sy = ScrollY();
    const TRect view{hs, sy, hs + PanelWidth(), sy + PanelHeight()};
    bool playing = false;
    for (TInlineImage* image : sectionList_->AnimatedImages) {
        if (!image->Animating()) continue;
        playing = true;
        // A picture out of view keeps its frame until it is scrolled back.
        const TRect box = image->BoxRect();
        if (Intersect(box, view).IsEmpty() || !image->StepAnimation()) continue;
        panel_->update(box.Left - hs, box.Top - sy, box.Width(), box.Height());
    }
    if (!playing) animationTimer_->SetEnabled(false);
}

bool THTMLViewer::AnimationTimerRunning() const {
    return animationTimer_->Enabled();
}

void THTMLViewer::PaintBackgroundPicture(Canvas& canvas, const TRect& clip) {
    // Tiled from the document's corner, so the picture scrolls with the text.
    const TRect page{-HScroll(), -ScrollY(), std::max(clip.Right, scrollWidth_ - HScroll()),
                     std::max(clip.Bottom, docHeight_ - ScrollY())};
    sectionList_->BackImage.Paint(canvas, page, clip);
}

void THTMLViewer::PaintDocument(Canvas& canvas, const TRect& clip) {
    sectionList_->PaintCell(canvas, clip, MaxScrollWidth, -HScroll(), 0);
}

void THTMLViewer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const bool border = borderStyle_ == THTMLBorderStyle::htSingle ||
                        (borderStyle_ == THTMLBorderStyle::htFocused && hasFocus());
    if (border) {
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void THTMLViewer::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
    if (OnEnter) OnEnter(this);
}

void THTMLViewer::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

// --- Scrolling -------------------------------------------------------------

int THTMLViewer::ScrollY() const {
    return sectionList_->ScrollY;
}

int THTMLViewer::HScroll() const {
    return hScrollBar_->value();
}

void THTMLViewer::ScrollTo(int y) {
    const int old = sectionList_->ScrollY;
    y = std::clamp(y, 0, std::max(0, docHeight_ - PanelHeight()));
    settingBars_ = true;
    vScrollBar_->setValue(y);
    settingBars_ = false;
    sectionList_->SetScrollY(y);
    const int dy = old - y;
    if (dy == 0) return;
    // Short moves shift what is on screen and paint the strip uncovered.
    // The shift carries the widgets along; placing then puts each exactly.
    if (std::abs(dy) < PanelHeight() && !processing_)
        panel_->scroll(0, dy);
    else
        InvalidatePanel();
    PlaceControls();
}

void THTMLViewer::ScrollHorzTo(int x) {
    const int old = HScroll();
    settingBars_ = true;
    hScrollBar_->setValue(std::clamp(x, 0, hScrollBar_->maximum()));
    settingBars_ = false;
    if (HScroll() == old) return;
    PlaceControls();
    InvalidatePanel();
}

void THTMLViewer::ScrollBy(int dy) {
    ScrollTo(ScrollY() + dy);
}

void THTMLViewer::BarValueChanged(int value) {
    if (settingBars_) return;
    if (processing_) {
        settingBars_ = true;
        vScrollBar_->setValue(ScrollY());
        settingBars_ = false;
        return;
    }
    ScrollTo(value);
}

void THTMLViewer::HBarValueChanged(int) {
    if (settingBars_) return;
    PlaceControls();
    InvalidatePanel();
}

TScrollPosition THTMLViewer::ScrollPosition() {
    return ScrollPositionAt(*sectionList_, ScrollY());
}

void THTMLViewer::SetScrollPosition(const TScrollPosition& position) {
    const int y = ScrollYOf(*sectionList_, position);
    if (y >= 0) ScrollTo(y);
}

} // namespace lumo
