// The viewer widget: its parts made and freed, and its properties. What a
// user does with it has a file each: loading (html_viewer_loading.cpp),
// painting, scrolling, input (hover, clicks, selection, keys), links and
// history, forms, embedded panels and printing.
#include "viewer/html_viewer.h"

#include "layout/section_list.h"
#include "platform/color_names.h"
#include "platform/qt_canvas.h"
#include "platform/qt_text.h"
#include "platform/timer.h"
#include "viewer/form_widgets.h"
#include "viewer/paint_panel.h"
#include "viewer/viewer_rules.h"

#include <QScrollBar>

#include <algorithm>

namespace lumo {

namespace {

constexpr int AnimationInterval = 50; // milliseconds between animation steps

} // namespace

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

} // namespace lumo
