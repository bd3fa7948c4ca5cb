// One FRAME: it shows its document in its own viewer, or a frameset
// document as a nested frame set; it loads what links, submissions, its
// refresh and the history aim at it; and it keeps its own history.
#pragma once

#include "frames/frame_tree_panel.h"
#include "net/content_kind.h"

#include <cstdint>
#include <memory>

namespace lumo {

class TAttributeList;
class THTMLViewer;
class TStream;
class Timer;

// A frame's document in its history. Set is the nested frame set it showed,
// or null for a document in the viewer.
struct TFrameTrailEntry {
    std::string Address;
    TNestedFrameSet* Set = nullptr;
    TScrollPosition Pos;
    int64_t Seq = 0;
};

// Frames hold documents this many frame documents deep at most; deeper ones stay empty.
inline constexpr int MaxFrameDepth = 4;

class TFrame : public TFrameTreePanel {
public:
    // attributes may be null for a frame added without a FRAME element.
    TFrame(TNestedFrameSet* owner, const TAttributeList* attributes);
    ~TFrame() override;

    TNestedFrameSet* ParentSet;
    bool NoScroll = false;
    int FrameMarginHeight = 5;
    int FrameMarginWidth = 10;
    std::vector<TFrameTrailEntry> FrameTrail; // newest first
    int FrameTrailPos = 0;
    std::string RefreshURL;
    THTMLViewer* Viewer = nullptr;
    TScrollPosition SavedPosition;
    TNestedFrameSet* SubFrameSet = nullptr;
    std::string Source;
    std::string OriginalSource;
    std::string Anchor;             // with its "#"
    std::string RawSource;          // the SRC as written, until the walk knows the BASE
    TStream* FrameStream = nullptr; // borrowed; only valid during a load
    TContentKind FrameDocType = ckHTML;
    std::string FrameName;
    bool NoResize = false;

    // The frames above this one (each a frame whose document is a frameset).
    int Depth() const;
    // Source from the SRC as written, against the document's BASE or the set's base.
    void ResolveSource(const std::string& documentBase, const std::string& setBase);

    // A link, a submission, a refresh or the history aims at this frame.
    enum class TBump { No, Yes };
    void LoadFrameURL(std::string url, const std::string& anchor, bool reload, bool isGet,
                      TBump bump, const std::string& query);
    // The viewer's page asked for a refresh.
    void ViewerRefresh(int delay, const std::string& url);
    void StopRefresh();
    // Shows the nested set of a history entry in place of the viewer, or a
    // viewer in place of a nested set (the frame history moves).
    void ShowNestedSet(TNestedFrameSet* set);
    THTMLViewer* EnsureViewer();
    void DropViewer();

    void CollectFrames(std::vector<TFrame*>& frames) override;
    void BorderMouseDown(QWidget* receiver, Qt::MouseButton button, const QPoint& global) override;
    void BorderMouseMove(QWidget* receiver, const QPoint& global) override;
    void BorderMouseUp(QWidget* receiver, Qt::MouseButton button, const QPoint& global) override;
    bool CollectNoResize(bool& lower, bool& upper) override;
    void LoadContent() override;
    void ReloadContent(const std::optional<TScrollPosition>& position) override;
    void UnloadContent() override;
    void ComputeSizes(int width, int height) override;
    void Arrange() override;
    void Retire() override;

private:
    void ApplyAttributes(const TAttributeList& attributes);
    void CreateViewer();
    // Builds the nested set from FrameStream, loads its frames and lays it out.
    void BuildNestedSet();
    void StayOnDocument(const std::string& anchor, TBump bump);
    void ReplaceContent(bool frames, const std::string& anchor, bool same, TBump bump);
    // Takes the frame off the page's count of frames (once).
    void LeavePage();
    void ReloadViewer(const std::string& anchor, TBump bump, const std::string& oldSource);
    void RefreshTimerTimer();
    void ShowBevel(bool show);

    std::unique_ptr<Timer> refreshTimer_;
    std::shared_ptr<int> liveFrames_; // the page's count, while this frame is on it
};

} // namespace lumo
