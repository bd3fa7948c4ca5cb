// The base of the frame browser: the properties and events a page-showing
// control offers its owner, passed on to every viewer it shows, so that the
// owner can treat a whole frame tree like one viewer; and the processing
// state, which is set while the control loads, reloads or routes, or while
// any of its viewers reports that it is busy.
#pragma once

#include "builder/document_builder.h"
#include "platform/color_names.h"
#include "viewer/html_viewer.h"

#include <QCursor>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace lumo {

class TFrameBrowserBase : public QWidget, public TFrameViewerBase {
public:
    explicit TFrameBrowserBase(QWidget* parent = nullptr);
    ~TFrameBrowserBase() override;

    // --- Properties (a change goes to every viewer shown) -------------------
    bool ViewImages() const { return viewImages_; }
    void SetViewImages(bool view); // ignored while processing
    int ImageCacheCount() const { return imageCacheCount_; }
    void SetImageCacheCount(int count); // ignored while processing
    bool NoSelect() const { return noSelect_; }
    void SetNoSelect(bool noSelect);
    TColor DefBackground() const { return defBackground_; }
    void SetDefBackground(TColor color);
    const std::string& DefFontName() const { return defFontName_; }
    void SetDefFontName(const std::string& name);
    const std::string& DefPreFontName() const { return defPreFontName_; }
    void SetDefPreFontName(const std::string& name);
    int DefFontSize() const { return defFontSize_; }
    void SetDefFontSize(int size);
    TColor DefFontColor() const { return defFontColor_; }
    void SetDefFontColor(TColor color);
    TColor DefHotSpotColor() const { return defHotSpotColor_; }
    void SetDefHotSpotColor(TColor color);
    TColor DefVisitedLinkColor() const { return defVisitedLinkColor_; }
    void SetDefVisitedLinkColor(TColor color);
    TColor DefOverLinkColor() const { return defOverLinkColor_; }
    void SetDefOverLinkColor(TColor color);
    const QCursor& PageCursor() const { return cursor_; }
    void SetPageCursor(const QCursor& cursor);
    // Print margins in centimetres.
    double PrintMarginLeft = 2.0, PrintMarginRight = 2.0;
    double PrintMarginTop = 2.0, PrintMarginBottom = 2.0;
    // Page margins of new frames, in pixels.
    int MarginWidth = 10;
    int MarginHeight = 5;
    uint8_t CharSet = 1;

    // --- Events raised by the frame browser itself -------------------------
    std::function<void(QWidget* Sender, const std::string& Target, const std::string& URL,
                       bool& Handled)>
        OnHotSpotTargetClick;
    std::function<void(THTMLViewer* Sender, const std::string& Target, const std::string& URL)>
        OnHotSpotTargetCovered;
    std::function<void(QWidget* Sender, const std::string& Target, const std::string& URL)>
        OnBlankWindowRequest;
    std::function<void(QWidget* Sender)> OnHistoryChange;
    std::function<void(QWidget* Sender, bool ProcessingOn)> OnProcessing;

    // --- Events handed to every viewer (set them before pages load) --------
    decltype(THTMLViewer::OnMeta) OnMeta;
    decltype(THTMLViewer::OnImageClick) OnImageClick;
    decltype(THTMLViewer::OnImageOver) OnImageOver;
    decltype(THTMLViewer::OnRightClick) OnRightClick;
    decltype(THTMLViewer::OnMouseDouble) OnMouseDouble;
    decltype(THTMLViewer::OnObjectClick) OnObjectClick;
    decltype(THTMLViewer::OnPanelCreate) OnPanelCreate;
    decltype(THTMLViewer::OnPanelDestroy) OnPanelDestroy;
    // OnInclude, OnSoundRequest and OnScript (of TFrameViewerBase) serve the
    // frameset documents and are handed to every viewer as well.

    // --- The viewers of the current page -----------------------------------
    virtual int GetViewerCount() const = 0;
    virtual THTMLViewer* GetViewer(int index) const = 0;
    // The viewer the Edit commands act on: the page's only viewer, else the
    // one that last had the focus; null when there is none.
    virtual THTMLViewer* FocusedViewer() const = 0;
    virtual void ClearHistory() = 0;

    // --- Processing ---------------------------------------------------------
    // While processing, new loads and link clicks are ignored. A viewer being
    // printed or previewed counts: its page stays until the job is done.
    bool Processing() const { return loading_ || !busyViewers_.empty() || Printing(); }
    bool Loading() const { return loading_; }
    // A viewer of the page is being printed or previewed.
    bool Printing() const;
    // Stores both flags and fires OnProcessing when Processing() changed.
    void SetProcessing(bool loading);
    // A viewer reports the start or end of its own processing.
    void ViewerProcessing(THTMLViewer* viewer, bool on);
    void ClearBusyViewers();

    // Gives a new viewer the control's properties and the events handed to
    // every viewer.
    void ApplyToViewer(THTMLViewer& viewer) const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    // Runs f for each viewer of the current page.
    void ForEachViewer(const std::function<void(THTMLViewer&)>& f) const;

    int historyMaxCount_ = 0;

private:
    void FireProcessing(bool wasProcessing);

    bool viewImages_ = true;
    int imageCacheCount_ = 5;
    bool noSelect_ = false;
    TColor defBackground_ = clBtnFace;
    std::string defFontName_ = "Times New Roman";
    std::string defPreFontName_ = "Courier New";
    int defFontSize_ = 12;
    TColor defFontColor_ = clBtnText;
    TColor defHotSpotColor_ = clBlue;
    TColor defVisitedLinkColor_ = clPurple;
    TColor defOverLinkColor_ = clBlue;
    QCursor cursor_{Qt::IBeamCursor};

    bool loading_ = false;
    std::vector<THTMLViewer*> busyViewers_;
};

// Sets the frame browser's loading flag for a scope and restores what it
// was, however the scope ends, so routing nested in a load keeps the load's
// flag.
class TProcessingScope {
public:
    explicit TProcessingScope(TFrameBrowserBase& browser);
    ~TProcessingScope();
    TProcessingScope(const TProcessingScope&) = delete;
    TProcessingScope& operator=(const TProcessingScope&) = delete;

private:
    TFrameBrowserBase& browser_;
    bool wasLoading_;
};

} // namespace lumo
