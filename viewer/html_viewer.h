// The viewer: the control that shows one HTML document. It loads a file, a
// string or a stream through the document builder into its root
// TSectionList, lays it out for its width, paints it on its paint panel with
// scroll bars, turns mouse and keys into link following, selection and
// scrolling, and keeps a short history of documents and the visited links.
//
// Coordinates: the paint panel shows the document from (HScroll, ScrollY);
// a panel point (X, Y) is the document point (X + HScroll, Y + ScrollY).
//
// While Processing (a load is parsing and laying out), the document is half
// built: loads are ignored, and resizes, paints, input, timers and late
// images leave it alone until the load has ended.
#pragma once

#include "html/viewer_base.h"
#include "layout/html_form.h"
#include "layout/scroll_position.h"
#include "net/content_kind.h"
#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/types.h"
#include "viewer/viewer_history.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QScrollBar;

namespace lumo {

class QtCanvas;
class TInlineImage;
class TPageDevice;
class TPageSelection;
struct TPagingJob;
class TPaintPanel;
class TPictureBudget;
class TFormControl;
class TFormWidgets;
class TPanelWidget;
class TInlinePanel;
class TSectionList;
class TStream;
class Timer;

enum class THTMLBorderStyle { htFocused, htNone, htSingle };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

enum THTMLViewerOption : unsigned {
    htOverLinksActive = 1,
    htNoLinkUnderline = 2,
    htPrintTableBackground = 4,
    htShowDummyCaret = 8,
    htShowVScroll = 16,
};
using THTMLViewerOptions = unsigned;

struct TRightClickParameters {
    std::string LinkURL, LinkTarget;
    TInlineImage* ClickedImage = nullptr;
    int ImageX = 0, ImageY = 0;
    std::string WordAtPoint;
};

class THTMLViewer : public QWidget, public TViewerBase {
public:
    static constexpr int VLineStep = 16;
    static constexpr int HLineStep = 15;
    static constexpr int MaxScrollWidth = 6000;

    explicit THTMLViewer(QWidget* parent = nullptr);
    ~THTMLViewer() override;

    // --- Properties -----------------------------------------------------
    // Read at each load unless a setter says otherwise.
    std::string DefFontName = "Times New Roman";
    std::string DefPreFontName = "Courier New";
    TColor DefFontColor;
    TColor DefHotSpotColor;
    TColor DefVisitedLinkColor;
    TColor DefOverLinkColor;
    uint8_t CharSet = 1;
    int MarginWidth = 10;
    int MarginHeight = 5;
    double PrintMarginLeft = 2.0, PrintMarginRight = 2.0;
    double PrintMarginTop = 2.0, PrintMarginBottom = 2.0;

    TColor DefBackground() const { return defBackground_; }
    void SetDefBackground(TColor color); // repaints
    int DefFontSize() const { return defFontSize_; }
    void SetDefFontSize(int size); // below 6 becomes 6
    int HistoryMaxCount() const { return historyMaxCount_; }
    void SetHistoryMaxCount(int count); // negative ignored; lowering clears the history
    int VisitedMaxCount() const { return visitedMaxCount_; }
    void SetVisitedMaxCount(int count); // negative is 0; 0 forgets and unmarks every link
    int ImageCacheCount() const { return imageCacheCount_; }
    void SetImageCacheCount(int count); // 0..20
    // The memory the pictures of the page may take, shared by the viewers
    // of one page; a viewer starts with a budget of its own.
    void SetPictureBudget(std::shared_ptr<TPictureBudget> budget);
    bool ViewImages() const { return viewImages_; }
    void SetViewImages(bool view); // lays out again, keeping the position
    bool NoSelect() const { return noSelect_; }
    void SetNoSelect(bool noSelect); // clears the selection
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle style); // lays out again
    THTMLBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(THTMLBorderStyle style);
    const std::string& ServerRoot() const { return serverRoot_; }
    void SetServerRoot(std::string_view root);
    THTMLViewerOptions htOptions() const { return options_; }
    void SetHtOptions(THTMLViewerOptions options);

    // --- Events (sender first) -------------------------------------------
    std::function<void(THTMLViewer* Sender, const std::string& SRC)> OnHotSpotCovered;
    std::function<void(THTMLViewer* Sender, const std::string& SRC, bool& Handled)> OnHotSpotClick;
    std::function<void(THTMLViewer* Sender, const std::string& Name, const std::string& Language,
                       const std::string& Script)>
        OnScript;
    std::function<void(THTMLViewer* Sender)> OnHistoryChange;
    std::function<void(THTMLViewer* Sender, bool ProcessingOn)> OnProcessing;
    std::function<void(THTMLViewer* Sender, const std::string& Command,
                       std::vector<std::string> Params, std::string& Buffer)>
        OnInclude;
    std::function<void(THTMLViewer* Sender, const std::string& SRC, int Loop, bool Terminate)>
        OnSoundRequest;
    std::function<void(THTMLViewer* Sender, const std::string& HttpEq, const std::string& Name,
                       const std::string& Content)>
        OnMeta;
    std::function<void(THTMLViewer* Sender, int Delay, const std::string& URL)> OnMetaRefresh;
    std::function<void(THTMLViewer* Sender, TInlineImage* Obj, Qt::MouseButton Button,
                       Qt::KeyboardModifiers Shift, int X, int Y)>
        OnImageClick;
    std::function<void(THTMLViewer* Sender, TInlineImage* Obj, Qt::KeyboardModifiers Shift, int X,
                       int Y)>
        OnImageOver;
    std::function<void(THTMLViewer* Sender, const TRightClickParameters& Parameters)> OnRightClick;
    std::function<void(THTMLViewer* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                       int X, int Y)>
        OnMouseDouble;
    // A form control was clicked (before a button submits or resets its
    // form); OnClick is its ONCLICK text, possibly empty. The handler may
    // load another document.
    std::function<void(THTMLViewer* Sender, TFormControl* Obj, const std::string& OnClick)>
        OnObjectClick;
    // Each printed or previewed page: the header band above the body and the
    // footer band below it (W, H: the band's size in screen units, the canvas
    // mapped so that (0, 0) is the band's top left). Setting StopPrinting
    // ends the job after the page.
    using TPagePrinted = std::function<void(THTMLViewer* Sender, Canvas& Canvas, int NumPage, int W,
                                            int H, bool& StopPrinting)>;
    TPagePrinted OnPrintHeader;
    TPagePrinted OnPrintFooter;
    // Progress of a job: 0 before anything is done, 1 once the document is
    // paged out, then after every page with its number.
    std::function<void(THTMLViewer* Sender, int NumPage, bool& StopPrinting)> OnPageEvent;
    // A form was submitted: delivered from the event loop once the click or
    // key that made it is handled. Results are "name=value", unencoded.
    std::function<void(THTMLViewer* Sender, const std::string& Action, const std::string& Target,
                       const std::string& EncType, const std::string& Method,
                       const std::vector<std::string>& Results)>
        OnFormSubmit;
    // The viewer took the keyboard focus.
    std::function<void(THTMLViewer* Sender)> OnEnter;
    // An embedded panel (PANEL) of the document being read: the host may
    // fill Panel with a control of its own and size it; the panel's box in
    // the text takes the size it is left with. Name, Type and SRC are the
    // tag's NAME, TYPE and SRC.
    std::function<void(THTMLViewer* Sender, const std::string& Name, const std::string& Type,
                       const std::string& SRC, TPanelWidget* Panel)>
        OnPanelCreate;
    // A panel's document goes (another page, a cleared one); the panel is
    // freed once the host has let it go. Not raised when the viewer itself
    // is destroyed.
    std::function<void(THTMLViewer* Sender, TPanelWidget* Panel)> OnPanelDestroy;

    // --- Host hooks ----------------------------------------------------------
    // Makes a name met in the document (a link, a style sheet) absolute; when
    // unset, names are local files (ExpandLocalName).
    std::function<std::string(THTMLViewer* Sender, const std::string& Name)> OnExpandName;
    // Asks the host for a document by its address: the page's linked style
    // sheets, and documents of the history that came from a stream. The host
    // sets Stream (borrowed; read at once), the kind, and NewURL when the
    // document came from another address; a null Stream means nothing came.
    std::function<void(THTMLViewer* Sender, const std::string& URL, std::string& NewURL,
                       TContentKind& DocType, TStream*& Stream)>
        OnGetPostRequest;
    // A picture the document needs: the host returns a stream with it, null,
    // or its wait stream for a picture that is delivered later (DeliverImage).
    // Unset, pictures are read as local files.
    std::function<void(THTMLViewer* Sender, const std::string& SRC, TStream*& Stream)>
        OnImageRequest;

    // --- State -------------------------------------------------------------
    const std::string& DocumentFile() const { return documentFile_; }
    TContentKind DocKind() const { return docKind_; }
    // The TITLE's text, read in the page's code page.
    const QString& PageTitle() const { return pageTitle_; }
    // The document's BASE, else the base the host gave with SetBase.
    const std::string& BaseDir() const { return baseDir_; }
    void SetBase(std::string_view base);
    const std::string& DefaultTarget() const { return defaultTarget_; }
    // The link under the mouse: its address (empty for a link to the page
    // itself) and target frame.
    bool OverLink() const { return overLink_; }
    const std::string& HotURL() const { return hotURL_; }
    const std::string& HotTarget() const { return hotTarget_; }
    bool Processing() const { return processing_; }
    int CaretIndex() const { return caretIndex_; }
    int DocHeight() const { return docHeight_; }
    int ScrollWidth() const { return scrollWidth_; }
    int RefreshDelay() const { return refreshDelay_; }
    const std::string& RefreshURL() const { return refreshURL_; }
    const TViewerHistory& History() const { return history_; }
    int BackIndex() const { return history_.BackIndex; }
    const std::vector<std::string>& VisitedLinks() const { return visited_.Items(); }
    TSectionList& SectionList() { return *sectionList_; }
    // The canvas the document is measured with.
    Canvas& MeasureCanvas();
    // Layouts done so far (loads, resizes, option changes).
    int LayoutCount() const { return layoutCount_; }
    // Paints of the panel that drew the document (not while processing).
    int PaintCount() const { return paintCount_; }
    // The animation timer's step (every 50 ms while a GIF on the page
    // plays): the playing pictures in view advance, and only their
    // rectangles are repainted. The timer stops when none plays.
    void StepAnimations();
    bool AnimationTimerRunning() const;
    // The document is laid out for the present size and painted since.
    bool LaidOutAndPainted() const {
        return !processing_ && !layoutScheduled_ && paintedSinceLayout_;
    }

    // --- Loading (ignored while Processing) -------------------------------
    // name may end in "#" and an anchor; raises EInOutError
    // "Can't locate file: " + name when the file is missing.
    void OpenFile(const std::string& name);
    void OpenImageFile(const std::string& name);
    void OpenTextFile(const std::string& name); // shown as plain text
    void OpenText(std::string_view buffer);
    // The stream is read whole from its start; DocumentFile becomes address.
    void OpenStream(const std::string& address, TStream& stream, TContentKind kind);
    virtual void ClearDocument();

    // --- Navigation ---------------------------------------------------------
    bool GoToAnchor(std::string_view name);
    virtual void FollowLink();
    virtual std::string ExpandName(std::string_view name);
    TScrollPosition ScrollPosition();
    void SetScrollPosition(const TScrollPosition& position);
    // Shows history entry index (loaded again when it names another
    // document: a file by name, a stream through OnGetPostRequest) at its
    // remembered position.
    void SetHistoryIndex(int index);
    // Marks each link of the document visited when the host's visited(link
    // as written) says so; repaints when a mark changed.
    void MarkLinks(const std::function<bool(const std::string& url)>& visited);
    // The next load asks the host for every picture again (Reload).
    void ForgetPicturesOnNextLoad() { forgetPictures_ = true; }
    // A picture that arrived after the load; false while Processing.
    bool DeliverImage(const std::string& address, TStream& stream);
    // The same in two steps for many pictures at once: each is taken into
    // the document, and the page is laid out again once for all of them.
    bool TakeImage(const std::string& address, TStream& stream);
    void SettleImages();

    // --- Scrolling ----------------------------------------------------------
    int ScrollY() const;
    int HScroll() const;
    // Clamped to 0..DocHeight - panel height (0 when the document fits).
    void ScrollTo(int y);
    void ScrollHorzTo(int x);
    QWidget* PaintPanel() const;
    QScrollBar* VScrollBar() const { return vScrollBar_; }
    QScrollBar* HScrollBar() const { return hScrollBar_; }
    // The live widgets of the document's form controls.
    TFormWidgets& FormWidgets() { return *formWidgets_; }
    // The widget of one of the document's panels; null for a panel past the
    // document's bound or one the host freed.
    TPanelWidget* PanelOf(const TInlinePanel& panel) const;

    // --- Selection and text -------------------------------------------------
    void SelectEverything();
    void CopySelectionToClipboard();
    // The selection's characters, read in the page's code page.
    QString SelectedText();
    // Negative when the selection was made backwards from the caret.
    int SelectionLength() const;
    // Finds the text the user typed from the caret on, comparing characters
    // in the page's code page (a character the page cannot hold is never found).
    bool FindNext(const QString& text, bool matchCase);

    // --- Printing (html_viewer_print.cpp) -------------------------------------
    // Prints the asked pages of the document on printer, laying out a copy of
    // it for the page; pages before the first asked one are paged but not
    // drawn. Nothing is printed while Processing or for an empty document,
    // and a job that draws no page leaves nothing behind. Raises EPrintError
    // ("Printing in progress" from inside another job; margins that leave no
    // room) and what the printer raises.
    void PrintPages(TPageDevice& printer, const TPageSelection& pages);
    // Records every page on recorder; returns the page count.
    int PreviewPages(TPageDevice& recorder);
    // The last page number of the last job.
    int PrintedPages() const { return printedPages_; }
    // While a job runs or a preview holds the viewer, loads and late pictures
    // are refused, so what is printed stays the document shown.
    bool Printing() const { return printHolds_ > 0; }
    class TPrintHold {
    public:
        explicit TPrintHold(THTMLViewer& viewer);
        ~TPrintHold();
        TPrintHold(const TPrintHold&) = delete;
        TPrintHold& operator=(const TPrintHold&) = delete;

    private:
        QPointer<THTMLViewer> viewer_;
    };

protected:
    // Paints the document onto canvas for the panel rectangle clip.
    virtual void PaintDocument(Canvas& canvas, const TRect& clip);
    // The page's background picture, tiled behind the document.
    void PaintBackgroundPicture(Canvas& canvas, const TRect& clip);
    virtual void DocMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y);
    virtual void DocMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int X, int Y);
    virtual void DocMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y);
    virtual void DocMouseDouble(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y);
    // Hands a late picture to the document's image objects; true when one of
    // them had no size of its own, so the document must be laid out again.
    virtual bool HandImageToDocument(const std::string& address, TStream& stream);

    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class TPaintPanel;
    struct TLoadRequest;
    class ProcessingScope;

    // Loading (html_viewer.cpp). Busy: a load or a print job holds the document.
    bool Busy() const { return processing_ || Printing(); }
    void OpenFileAs(const std::string& name, TContentKind kind);
    // Forgets the document and everything taken from it (base, target,
    // refresh, selection), leaving an empty page to lay out.
    void ResetDocumentState();
    void LoadFile(const std::string& name, TContentKind kind);
    void LoadStream(const std::string& address, TStream& stream, TContentKind kind);
    // Loads a history entry that came from a stream; false when the host has
    // no document for it.
    bool LoadStreamEntry(const THistoryEntry& entry);
    bool RequestStyleSheet(const std::string& address, std::string& text);
    void Load(const TLoadRequest& request);
    void BuildDocument(const TLoadRequest& request);
    void ApplyDefaults();
    void FinishLoad();

    // Layout and painting (html_viewer.cpp).
    void LayOutDocument();
    void LayOutKeepingPosition();
    void ScheduleLayout();
    void RunScheduledLayout();
    void PlaceChildren();
    void SetBarRanges();
    int BorderWidth() const;
    bool HasBorder() const;
    int PanelHeight() const;
    int PanelWidth() const;
    void PaintPanelRect(QWidget& panel, const QRect& rect);
    void InvalidatePanel();
    TColor BackgroundColor() const;

    // Input (html_viewer_input.cpp).
    int DocX(int X) const { return X + HScroll(); }
    int DocY(int Y) const { return Y + ScrollY(); }
    int PositionAt(int X, int Y, bool* inText = nullptr);
    void ExtendSelection(int position);
    void SetSelection(int start, int end);
    void SelectWordAt(int X, int Y);
    // The word (IsWordChar) at or just before a position.
    bool WordRange(int position, int& start, int& end);
    std::string TextBetween(int start, int end);
    void UpdateHover(int X, int Y, Qt::KeyboardModifiers shift);
    void SetHot(const std::string& url, const std::string& target);
    void ClearHot();
    void HoverTick();
    void MouseLeft();
    void AutoScrollTick();
    void StartDragScroll(int Y);
    void EndDragScroll();
    void DragScrollTick();
    void ScrollBy(int dy);
    void BarValueChanged(int value);
    void HBarValueChanged(int value);

    // Forms (html_viewer_forms.cpp).
    void QueueSubmission(TFormSubmission submission);
    void DeliverSubmission();
    void ClickImageControl(TFormControl& control);
    void ScrollControlIntoView(TFormControl& control);
    // The form widgets and the panels go where their boxes are.
    void PlaceControls();

    // Panels (html_viewer_panels.cpp).
    void MakePanel(TInlinePanel& panel);
    void FreePanel(TInlinePanel& panel);
    void PlacePanels();

    // Printing (html_viewer_print.cpp).
    int RunPrintJob(TPageDevice& device, TPagingJob& job);

    // Links, anchors, history (html_viewer_links.cpp).
    std::string LinkKey(const std::string& url);
    void MarkVisitedLinks();
    void AddVisited(const std::string& address);
    void BumpHistory(const THistoryEntry& previous);
    THistoryEntry CurrentEntry();
    void HandleMeta(const std::string& httpEq, const std::string& name, const std::string& content);

    // Property state.
    TColor defBackground_;
    int defFontSize_ = 12;
    int historyMaxCount_ = 0;
    int visitedMaxCount_ = 50;
    int imageCacheCount_ = 5;
    bool viewImages_ = true;
    bool forgetPictures_ = false;
    bool noSelect_ = false;
    TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
    THTMLBorderStyle borderStyle_ = THTMLBorderStyle::htFocused;
    std::string serverRoot_;
    THTMLViewerOptions options_ = htPrintTableBackground;

    // Document state.
    QImage measureDevice_;
    std::unique_ptr<QtCanvas> measure_;
    std::unique_ptr<TSectionList> sectionList_;
    std::string documentFile_;
    TContentKind docKind_ = ckHTML;
    TDocumentSource docSource_ = TDocumentSource::File;
    QString pageTitle_;
    std::string baseDir_, docBase_, hostBase_;
    std::string defaultTarget_;
    std::string hotURL_, hotTarget_;
    bool overLink_ = false;
    bool processing_ = false;
    int caretIndex_ = 0;
    int selAnchor_ = 0;
    int docHeight_ = 0;
    int scrollWidth_ = 0;
    int refreshDelay_ = 0;
    std::string refreshURL_;
    bool refreshAsked_ = false;
    TViewerHistory history_;
    TVisitedLinks visited_;
    int layoutCount_ = 0;
    bool imagesNeedLayout_ = false; // a picture taken changed the layout
    int paintCount_ = 0;
    bool paintedSinceLayout_ = false;
    bool layoutScheduled_ = false;
    TScrollPosition scheduledPosition_;
    bool settingBars_ = false;
    int printHolds_ = 0;
    bool jobRunning_ = false;
    int printedPages_ = 0;

    // Input state.
    unsigned documentSerial_ = 0; // counts the documents shown, for handlers that load
    bool selecting_ = false;
    bool afterDouble_ = false;
    bool followingLink_ = false;
    QPoint lastMouse_;
    bool mouseInside_ = false;
    bool dragScrolling_ = false;
    int dragStartY_ = 0;

    // Submissions waiting for the event loop, with the document they came from.
    struct TQueuedSubmission {
        unsigned Document;
        TFormSubmission Submission;
    };
    std::deque<TQueuedSubmission> submissions_;

    // Children and timers.
    TPaintPanel* panel_ = nullptr;
    TFormWidgets* formWidgets_ = nullptr; // a child of the panel
    // The widgets of the document's panels, children of the paint panel.
    std::unordered_map<const TInlinePanel*, QPointer<TPanelWidget>> panels_;
    QScrollBar* vScrollBar_ = nullptr;
    QScrollBar* hScrollBar_ = nullptr;
    std::unique_ptr<Timer> hoverTimer_;
    std::unique_ptr<Timer> autoScrollTimer_;
    std::unique_ptr<Timer> dragTimer_;
    std::unique_ptr<Timer> animationTimer_;
};

} // namespace lumo
