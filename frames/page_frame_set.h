// The top frame set of a page: the document it shows (a frameset page, or
// an ordinary page in one frame), the names of its frames, the viewers of
// the whole tree, and the layout of the tree when the browser's size changes.
// It is a FRAMESET like the sets nested in it, with what only the top of
// the tree keeps.
#pragma once

#include "frames/nested_frame_set.h"
#include "net/content_kind.h"

#include <QPointer>

#include <memory>

namespace lumo {

class TPictureBudget;
class TStream;
class THTMLViewer;

// One page holds at most this many frames at once, those of its nested
// frame documents and of the documents its frames keep for their history
// included; frames past it are left out.
inline constexpr int MaxPageFrames = 1000;
// What the status says, once for a page, when frames were left out.
inline constexpr const char* TooManyFramesText = "Too many frames: only the first 1000 are shown";

class TPageFrameSet : public TNestedFrameSet {
public:
    explicit TPageFrameSet(TFrameBrowser& browser);
    ~TPageFrameSet() override;

    TFrameBrowser& OwningBrowser;
    QString Title;
    std::string CurrentAddress;
    TNestedFrameSet* DragOwnerSet = nullptr;
    int LastWidth = -1, LastHeight = -1;
    QPointer<THTMLViewer> FocusedViewer; // the viewer that last had the focus
    // The page is a frameset document (not an ordinary page in one frame).
    bool IsFramePage = false;
    // The memory the pictures of every viewer of the page may take together.
    const std::shared_ptr<TPictureBudget> PictureBudget;
    // The frames of the page that have not been retired: each frame holds
    // the count and takes itself off when it is retired or freed.
    const std::shared_ptr<int> LiveFrames = std::make_shared<int>(0);

    // Whether one more frame fits the page. The first time one does not,
    // the browser's owner hears of it (OnFramesLeftOut).
    bool RoomForFrame();

    // Shows a document as this page: a frameset builds the frame tree and
    // loads every frame's document; anything else goes into one frame.
    void LoadDocument(TStream& stream, TContentKind kind, const std::string& anchor,
                      const std::string& url);
    // Lays the tree out when the browser's size changed, from the ROWS and
    // COLS specifications (undoing border drags).
    void MasterResize();
    // Forgets the remembered size, so the next MasterResize lays out.
    void ResetSize() { LastWidth = LastHeight = -1; }

    // The frames and viewers of the tree as it is shown now (nested sets
    // kept for a frame's history are not part of it), in document order.
    // They are worked out when asked, so they never go stale.
    std::vector<TFrame*> AllFrames();
    std::vector<THTMLViewer*> Viewers();
    // The first frame of the tree with that NAME, compared without regard
    // to case; null when none.
    TFrame* FrameNamed(const std::string& name);
    // The only viewer, when the page holds exactly one.
    THTMLViewer* SingleViewer();
    // The scroll position of the only viewer, else the start.
    TScrollPosition SingleViewerPosition();

    void ClearChildren() override;
    void Arrange() override;

protected:
    void RefreshTimerTimer() override;

private:
    bool framesLeftOut_ = false;
};

} // namespace lumo
