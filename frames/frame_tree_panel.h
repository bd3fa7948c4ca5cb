// The panels of the frame browser's tree: a frame set (one FRAMESET) or a
// frame (one FRAME). Each is a QFrame whose bevel is the frame's border; the
// tree's geometry is set from the top down through SetBounds, never from
// resize events, so hidden sets kept for the history lay out the same way.
//
// Mouse events that reach a panel (its bevel, or the gaps of a set) are
// border-dragging input: they travel up to the frame set whose boundary
// they are near. Points are passed in global coordinates.
#pragma once

#include "layout/scroll_position.h"

#include <QFrame>

#include <optional>
#include <string>
#include <vector>

namespace lumo {

class TFrameBrowser;
class TFrame;
class TPageFrameSet;
class TNestedFrameSet;

// A meta refresh whose time comes while a page loads tries again this much later.
inline constexpr int RefreshRetryMs = 250;

class TFrameTreePanel : public QFrame {
public:
    TFrameTreePanel(QWidget* parent, TPageFrameSet* master);
    ~TFrameTreePanel() override;

    TPageFrameSet* MasterSet; // the root of the tree; a master set is its own
    std::string BaseAddress;  // relative addresses in this part of the tree
    uint8_t CharSet = 1;
    bool IsUnloaded = false; // the content was unloaded for the history

    TFrameBrowser& Browser() const;
    // The frame set that lists this panel among its children (for a set that
    // is a frame's document: the frame's set); null for a master set.
    TNestedFrameSet* OwnerSet() const;

    // Appends every frame of this part of the tree, in document order.
    virtual void CollectFrames(std::vector<TFrame*>& frames) = 0;
    virtual void BorderMouseDown(QWidget* receiver, Qt::MouseButton button,
                                 const QPoint& global) = 0;
    virtual void BorderMouseMove(QWidget* receiver, const QPoint& global) = 0;
    virtual void BorderMouseUp(QWidget* receiver, Qt::MouseButton button, const QPoint& global) = 0;
    // Whether a NORESIZE frame is here; lower and upper tell whether one
    // touches the first or the last edge.
    virtual bool CollectNoResize(bool& lower, bool& upper) = 0;
    // Fetches and shows the documents the first time.
    virtual void LoadContent() = 0;
    // Fetches the documents again after UnloadContent; a viewer scrolls to
    // position, or without one to where it was.
    virtual void ReloadContent(const std::optional<TScrollPosition>& position) = 0;
    virtual void UnloadContent() = 0;
    // Works out the sizes of the children of every set below for an area.
    virtual void ComputeSizes(int width, int height) = 0;
    // Places the children for the present size.
    virtual void Arrange() = 0;
    // Stops what could run on its own (timers, drags) and frees the panel
    // from the event loop, so a panel may go from inside its own handler.
    virtual void Retire();

    void SetBounds(const QRect& bounds);
    // The bevel: a sunken panel border of width, or none for 0.
    void SetBevel(int width);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace lumo
