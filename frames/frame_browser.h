// The frame browser: the control the main window shows pages in. An
// ordinary page is one viewer; a frameset page is a tree of frame sets and
// frames, each frame with its own viewer or a nested frameset. It fetches
// nothing itself: every document, for the whole page or one frame, is asked
// of its owner through OnGetPostRequest. It routes link clicks and form
// submissions to frames by target name, runs the meta refresh of frames and
// framesets, and keeps a history of pages and of navigation inside frames,
// so that Back and Forward undo and redo in the order things happened.
//
// Panels and viewers that may be running a handler when they are dropped
// are freed from the event loop (deleteLater), never inside the handler.
#pragma once

#include "frames/frame_browser_base.h"
#include "image/image_limits.h"
#include "viewer/viewer_history.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

class TStream;
class TFrame;
class TFrameTreePanel;
class TPageFrameSet;
class TNestedFrameSet;

// No stream came for a page.
class EFrameLoadError : public Exception {
public:
    using Exception::Exception;
};

enum TFrameViewerOption : unsigned {
    fvMetaRefresh = 1,
    fvNoBorder = 2,
    fvOverLinksActive = 4,
    fvNoLinkUnderline = 8,
    fvPrintTableBackground = 16,
    fvShowVScroll = 32,
};
using TFrameViewerOptions = unsigned;

// A page of the history: its address, title and scroll position, and the
// frame set that showed it (one set may stand behind several entries).
struct TPageHistoryEntry {
    std::string Address;
    QString Title;
    TScrollPosition Position;
    TPageFrameSet* Set = nullptr;
};

class TFrameBrowser : public TFrameBrowserBase {
public:
    // Sender is the frame browser for a whole page and the TFrame for a
    // frame's document. The owner sets Stream (it keeps it; the browser
    // reads it before its next request), the kind, and NewURL when the
    // document came from another address (a redirection).
    using TGetPostRequestEvent = std::function<void(
        QWidget* Sender, bool IsGet, const std::string& URL, const std::string& Query, bool Reload,
        std::string& NewURL, TContentKind& DocType, TStream*& Stream)>;
    using TFormSubmitEvent =
        std::function<void(QWidget* Sender, const std::string& Action, const std::string& Target,
                           const std::string& EncType, const std::string& Method,
                           const std::vector<std::string>& Results, bool& Handled)>;

    explicit TFrameBrowser(QWidget* parent = nullptr);
    ~TFrameBrowser() override;

    TFrameViewerOptions fvOptions() const { return options_; }
    void SetFvOptions(TFrameViewerOptions options);
    // The memory the pictures of one page may take together, given to each
    // page as it is made.
    int64_t PagePictureBytes = MaxPageImageBytes;

    TGetPostRequestEvent OnGetPostRequest;
    decltype(THTMLViewer::OnImageRequest) OnImageRequest; // handed to every viewer
    // A viewer is about to be cleared or dropped: nothing may be delivered to it.
    std::function<void(THTMLViewer* Sender)> OnViewerClear;
    // A page had more frames than it may hold (MaxPageFrames): the rest were
    // left out. Raised once for a page.
    std::function<void(QWidget* Sender)> OnFramesLeftOut;
    TFormSubmitEvent OnFormSubmit;

    // --- Loading -------------------------------------------------------------
    // Ignored while processing.
    void OpenAddress(const std::string& url);
    void OpenTopAddress(const std::string& url, const std::string& query, bool reload, bool isGet);
    // Fetches every document of the current page again.
    void Reload();

    // --- The page ---------------------------------------------------------------
    const std::string& CurrentAddress() const;
    const QString& PageTitle() const;
    TPageFrameSet* ShownFrameSet() const { return shown_; }
    THTMLViewer* FocusedViewer() const override;
    int GetViewerCount() const override;
    THTMLViewer* GetViewer(int index) const override;
    // Where a link, a picture's source or a form's action in the viewer's
    // document leads, its anchor kept: resolved against the document's BASE,
    // else its frame's base; an empty address is the document itself. Every
    // use of a link (click, status line, pop-up menu, submission, visited
    // marks) goes through here, so all of them agree.
    std::string ResolveLink(THTMLViewer* viewer, std::string_view link) const;
    // The link being followed: as clicked, its target, and the address of
    // the document it was clicked in.
    const std::string& ClickedURL() const { return clickedURL_; }
    const std::string& ClickedTarget() const { return clickedTarget_; }
    const std::string& ClickedSource() const { return clickedSource_; }

    // --- Selection and find on the focused viewer ---------------------------
    QString SelText() const;
    // Raises EBufferTooSmall-like errors through the owner: see the main window.
    bool HasSelection() const;
    void CopyToClipboard();
    void SelectAll();
    bool Find(const QString& text, bool matchCase);

    // --- History ------------------------------------------------------------------
    int HistoryMaxCount() const { return historyMaxCount_; }
    void SetHistoryMaxCount(int count);
    int VisitedMaxCount() const { return visitedMaxCount_; }
    void SetVisitedMaxCount(int count);
    const std::vector<TPageHistoryEntry>& History() const { return pages_; }
    int HistoryPos() const { return historyPos_; }
    // Shows page entry index (ignored when it is shown, out of range, or
    // while processing).
    void SetHistoryPos(int index);
    void StepBack();
    void StepForward();
    bool BackButtonEnabled();
    bool FwdButtonEnabled();
    void ClearHistory() override;
    const TVisitedLinks& Visited() const { return visited_; }

    // --- Form submissions (wired to the viewers by the form code) ------------
    void FormSubmit(THTMLViewer* viewer, const std::string& action, const std::string& target,
                    const std::string& encType, const std::string& method,
                    const std::vector<std::string>& results);

    // --- For the frame tree -----------------------------------------------------
    // Asks the owner for a document; null when none came. Raises without an owner.
    TStream* RequestDocument(QWidget* sender, bool isGet, const std::string& url,
                             const std::string& query, bool reload, std::string& newURL,
                             TContentKind& kind);
    bool IsFrameStream(TStream& stream);
    void ViewerClear(THTMLViewer* viewer);
    // Binds a new viewer of frame to the browser.
    void AttachViewer(THTMLViewer& viewer, TFrame& frame);
    void AddVisited(const std::string& address);
    void RefreshVisitedLinks();
    void StartFrameHistory(TFrame& frame, const std::string& address,
                           const TScrollPosition& position);
    void BumpFrameHistory(TFrame& frame, const std::string& address,
                          const TScrollPosition& newPosition, const TScrollPosition& oldPosition);
    // The frame's shown entry becomes this document (the frame loaded its
    // own address again).
    void ReplaceFrameHistory(TFrame& frame, const std::string& address,
                             const TScrollPosition& position);
    void BumpPage(const std::string& oldFile, const QString& oldTitle,
                  const TScrollPosition& oldPosition);
    // Frees a nested set that no frame history refers to any more.
    void ReleaseNestedSet(TNestedFrameSet* set);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Loading (frame_browser.cpp).
    void LoadSameAddress(const std::string& address, const std::string& anchor,
                         const std::string& query, bool reload, bool isGet);
    void LoadNewAddress(std::string address, const std::string& anchor, const std::string& query,
                        bool reload, bool isGet);
    void SwitchTo(TPageFrameSet* set);
    void ReloadFramePage();
    // Link routing.
    void HotSpotClick(THTMLViewer* viewer, const std::string& url, bool& handled);
    void HotSpotCovered(THTMLViewer* viewer, const std::string& url);
    TFrameTreePanel* TargetOf(TFrame* frame, const std::string& target) const;
    std::string TargetOfLink(THTMLViewer* viewer, TFrame* frame) const;
    // Whether an ordinary page's one frame stands for the whole page.
    enum class TWholePage { No, Yes };
    void GoTo(TFrameTreePanel* target, const std::string& address, const std::string& anchor,
              const std::string& query, bool reload, bool isGet, TWholePage wholePage);
    static TFrame* FrameOf(THTMLViewer* viewer);
    bool IsVisitedLink(THTMLViewer* viewer, const std::string& link) const;

    // History (frame_browser_history.cpp).
    void AddPageToHistory(TPageFrameSet* oldSet, const TScrollPosition& oldPosition);
    void BumpSamePage(const TScrollPosition& oldPosition);
    void RecordCurrentPage();
    void DropForwardPages();
    void DropPage(size_t index);
    void FreeSetIfUnused(TPageFrameSet* set);
    void DropForwardFrameHistory(TPageFrameSet& master);
    // Drops the frame's oldest entries past the history's length and frees
    // the nested sets only they kept.
    void DropOldFrameHistory(TFrame& frame);
    void GoToFrameHistory(TFrame& frame, int index);
    void ShowHistoryPage(const TPageHistoryEntry& entry);
    bool NestedSetInUse(const TNestedFrameSet* set, TPageFrameSet& master);
    void FireHistoryChange();

    TFrameViewerOptions options_ = fvPrintTableBackground;
    TPageFrameSet* shown_ = nullptr;
    std::vector<TPageHistoryEntry> pages_;
    int historyPos_ = 0;
    int visitedMaxCount_ = 50;
    TVisitedLinks visited_;
    std::string clickedURL_, clickedTarget_, clickedSource_;
    bool inFormSubmit_ = false;
};

// Shared by every frame history: each new entry takes the next number, so
// Back and Forward can tell which frame moved last.
int64_t NextHistorySequence();

} // namespace lumo
