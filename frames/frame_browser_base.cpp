#include "frames/frame_browser_base.h"

#include "platform/qt_canvas.h"

#include <algorithm>

namespace lumo {

TFrameBrowserBase::TFrameBrowserBase(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

TFrameBrowserBase::~TFrameBrowserBase() = default;

void TFrameBrowserBase::SetViewImages(bool view) {
    if (Processing() || view == viewImages_) return;
    viewImages_ = view;
    ForEachViewer([view](THTMLViewer& v) { v.SetViewImages(view); });
}

void TFrameBrowserBase::SetImageCacheCount(int count) {
    if (Processing()) return;
    imageCacheCount_ = std::clamp(count, 0, 20);
    ForEachViewer([this](THTMLViewer& v) { v.SetImageCacheCount(imageCacheCount_); });
}

void TFrameBrowserBase::SetNoSelect(bool noSelect) {
    noSelect_ = noSelect;
    ForEachViewer([noSelect](THTMLViewer& v) { v.SetNoSelect(noSelect); });
}

void TFrameBrowserBase::SetDefBackground(TColor color) {
    defBackground_ = color;
    // What no frame covers shows the page colour too.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    setPalette(palette);
    setAutoFillBackground(true);
    ForEachViewer([color](THTMLViewer& v) { v.SetDefBackground(color); });
}

void TFrameBrowserBase::SetDefFontName(const std::string& name) {
    defFontName_ = name;
    ForEachViewer([&name](THTMLViewer& v) { v.DefFontName = name; });
}

void TFrameBrowserBase::SetDefPreFontName(const std::string& name) {
    defPreFontName_ = name;
    ForEachViewer([&name](THTMLViewer& v) { v.DefPreFontName = name; });
}

void TFrameBrowserBase::SetDefFontSize(int size) {
    defFontSize_ = std::max(6, size);
    ForEachViewer([this](THTMLViewer& v) { v.SetDefFontSize(defFontSize_); });
}

void TFrameBrowserBase::SetDefFontColor(TColor color) {
    defFontColor_ = color;
    ForEachViewer([color](THTMLViewer& v) { v.DefFontColor = color; });
}

void TFrameBrowserBase::SetDefHotSpotColor(TColor color) {
    defHotSpotColor_ = color;
    ForEachViewer([color](THTMLViewer& v) { v.DefHotSpotColor = color; });
}

void TFrameBrowserBase::SetDefVisitedLinkColor(TColor color) {
    defVisitedLinkColor_ = color;
    ForEachViewer([color](THTMLViewer& v) { v.DefVisitedLinkColor = color; });
}

void TFrameBrowserBase::SetDefOverLinkColor(TColor color) {
    defOverLinkColor_ = color;
    ForEachViewer([color](THTMLViewer& v) { v.DefOverLinkColor = color; });
}

void TFrameBrowserBase::SetPageCursor(const QCursor& cursor) {
    cursor_ = cursor;
    ForEachViewer([&cursor](THTMLViewer& v) { v.setCursor(cursor); });
}

void TFrameBrowserBase::ApplyToViewer(THTMLViewer& viewer) const {
    viewer.SetViewImages(viewImages_);
    viewer.SetImageCacheCount(imageCacheCount_);
    viewer.SetNoSelect(noSelect_);
    viewer.SetDefBackground(defBackground_);
    viewer.DefFontName = defFontName_;
    viewer.DefPreFontName = defPreFontName_;
    viewer.SetDefFontSize(defFontSize_);
    viewer.DefFontColor = defFontColor_;
    viewer.DefHotSpotColor = defHotSpotColor_;
    viewer.DefVisitedLinkColor = defVisitedLinkColor_;
    viewer.DefOverLinkColor = defOverLinkColor_;
    viewer.setCursor(cursor_);
    viewer.SetHistoryMaxCount(historyMaxCount_);
    viewer.PrintMarginLeft = PrintMarginLeft;
    viewer.PrintMarginRight = PrintMarginRight;
    viewer.PrintMarginTop = PrintMarginTop;
    viewer.PrintMarginBottom = PrintMarginBottom;
    viewer.OnMeta = OnMeta;
    viewer.OnImageClick = OnImageClick;
    viewer.OnImageOver = OnImageOver;
    viewer.OnRightClick = OnRightClick;
    viewer.OnMouseDouble = OnMouseDouble;
    viewer.OnObjectClick = OnObjectClick;
    viewer.OnPanelCreate = OnPanelCreate;
    viewer.OnPanelDestroy = OnPanelDestroy;
    if (OnSoundRequest)
        viewer.OnSoundRequest = [f = OnSoundRequest](THTMLViewer* v, const std::string& src,
                                                     int loop, bool terminate) {
            f(v, src, loop, terminate);
        };
    if (OnInclude)
        viewer.OnInclude = [f = OnInclude](THTMLViewer* v, const std::string& command,
                                           std::vector<std::string> params, std::string& buffer) {
            f(v, command, std::move(params), buffer);
        };
    if (OnScript)
        viewer.OnScript = [f = OnScript](THTMLViewer* v, const std::string& name,
                                         const std::string& language, const std::string& script) {
            f(v, name, language, script);
        };
}

void TFrameBrowserBase::ForEachViewer(const std::function<void(THTMLViewer&)>& f) const {
    for (int i = 0; i < GetViewerCount(); ++i)
        if (THTMLViewer* v = GetViewer(i)) f(*v);
}

bool TFrameBrowserBase::Printing() const {
    for (int i = 0; i < GetViewerCount(); ++i)
        if (const THTMLViewer* v = GetViewer(i); v && v->Printing()) return true;
    return false;
}

void TFrameBrowserBase::FireProcessing(bool wasProcessing) {
    if (Processing() != wasProcessing && OnProcessing) OnProcessing(this, Processing());
}

void TFrameBrowserBase::SetProcessing(bool loading) {
    const bool was = Processing();
    loading_ = loading;
    FireProcessing(was);
}

void TFrameBrowserBase::ViewerProcessing(THTMLViewer* viewer, bool on) {
    const bool was = Processing();
    const auto found = std::find(busyViewers_.begin(), busyViewers_.end(), viewer);
    if (on && found == busyViewers_.end()) busyViewers_.push_back(viewer);
    if (!on && found != busyViewers_.end()) busyViewers_.erase(found);
    FireProcessing(was);
}

void TFrameBrowserBase::ClearBusyViewers() {
    busyViewers_.clear();
}

void TFrameBrowserBase::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    THTMLViewer* viewer = FocusedViewer();
    if (viewer && viewer->isVisible() && viewer->focusPolicy() != Qt::NoFocus) viewer->setFocus();
}

TProcessingScope::TProcessingScope(TFrameBrowserBase& browser)
    : browser_(browser), wasLoading_(browser.Loading()) {
    browser_.SetProcessing(true);
}

TProcessingScope::~TProcessingScope() {
    browser_.SetProcessing(wasLoading_);
}

} // namespace lumo
