// One FRAMESET, nested in a page or at its top (TPageFrameSet): its children
// (frames and nested sets) in document order, the sizes its ROWS or COLS
// give them, its borders and their dragging, and the meta refresh of a
// frameset document.
#pragma once

#include "builder/document_builder.h"
#include "frames/frame_tree_panel.h"
#include "frames/frameset_dimensions.h"

#include <QPointer>

#include <array>
#include <memory>

class QRubberBand;

namespace lumo {

class TAttributeList;
class Timer;

// Framesets nest at most this deep inside one document; deeper ones are ignored.
inline constexpr int MaxFrameSetNesting = 8;

class TNestedFrameSet : public TFrameTreePanel, public TFrameSetHooks {
public:
    TNestedFrameSet(QWidget* parent, TPageFrameSet* master);
    ~TNestedFrameSet() override;

    std::vector<TFrameTreePanel*> Children; // Qt children, in document order

    // Layout. Sizes, ends and positions count from the inset client area.
    bool Rows = false; // stacked top to bottom (ROWS), else side by side
    int DimCount = 0;
    TDimArray DimSpecs{};
    TDimArray Sizes{};
    int TotalSize = 0;
    // Entry i is where child i ends (1-based); entry 0 is the start.
    std::array<int, MaxFrameDims + 1> BorderPositions{};
    std::array<bool, MaxFrameDims + 1> Fixed{}; // boundary i may not move
    int DraggedBorder = 0;
    QRect DragRect; // the drag line, in the browser's coordinates
    int EdgeBorder = 0;
    int BorderSize = 2; // bevel of the frames

    // Meta refresh of the frameset document; RefreshDelay < 0 means none.
    std::string MetaRefreshURL;
    int RefreshDelay = -1;
    std::string PendingRefreshURL;
    std::string BaseHref, BaseTarget;

    // The frameset walk: the attributes of this set's FRAMESET, a FRAME, a
    // nested FRAMESET (null when this set is full or nested too deep, or the
    // page holds all the frames it may), and the set's end, which fills the
    // places no FRAME took with empty frames.
    void ApplyFrameAttributes(const TAttributeList& attributes) override;
    void FrameFound(const TAttributeList& attributes, const std::string& fName) override;
    TNestedFrameSet* FrameSetFound() override;
    void FrameSetEnded() override;
    // A frame added after the others; null when there is no room for it.
    TFrame* AddFrame(const TAttributeList* attributes);
    // The META elements of the frameset document.
    void FrameSetMeta(const std::string& httpEq, const std::string& content);
    // Frees the children and forgets the sizes.
    virtual void ClearChildren();

    // The frames of this set (not of nested frame documents) take their
    // SRC as the document's BASE, or this set's base address, says.
    void ResolveSources(const std::string& documentBase);
    // How deep this set is nested inside its document; 0 for its top set.
    int NestingDepth() const;
    // The frame whose document this set is, or null.
    TFrame* HostFrame() const;
    const std::string& InheritedBaseTarget() const;

    void PlaceChildren();
    void StartRefresh();
    void StopRefresh();

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

protected:
    virtual void RefreshTimerTimer();
    // A refresh that comes while a page loads tries again a moment later.
    void RetryRefreshLater();
    // The area the children share: the client area inset by EdgeBorder.
    QRect InsetRect() const;
    int Extent() const;

private:
    bool NearOuterEdge(const QPoint& local) const;
    // The inner boundary nearest to a point, or 0 when none is within reach.
    int BoundaryAt(const QPoint& local) const;
    int Along(const QPoint& local) const; // the coordinate across the boundaries
    void DrawDragLine(const QPoint& local);
    void EndDrag(const QPoint& local);

    std::unique_ptr<Timer> refreshTimer_;
    QPointer<QRubberBand> dragLine_; // a child of the browser, above every panel
};

} // namespace lumo
