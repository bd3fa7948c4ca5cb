// The bookmark manager's tree: the one store of bookmarks while the program
// runs. Each item keeps its node's kind, name and address; a bookmark shows
// as "name=address", a folder as its name.
//
// Drags start inside the tree and are taken only by the same tree. A node
// dropped onto a folder becomes the folder's last child; dropped onto a
// bookmark, the bookmark's last sibling. A drop onto the dragged node, one
// of its descendants, empty space, or one that would make the tree deeper
// than a file may be, does nothing.
#pragma once

#include "tools/bookmark_file.h"

#include <QIcon>
#include <QTreeWidget>

namespace lumo {

// The three pictures of bookmarks in the tree and the menu.
enum class TBookmarkImage { ClosedFolder, OpenFolder, Bookmark };
QIcon BookmarkIcon(TBookmarkImage image);

class TBookmarkTree : public QTreeWidget {
public:
    explicit TBookmarkTree(QWidget* parent = nullptr);

    void SetNodes(const TBookmarkList& nodes);
    TBookmarkList Nodes() const;

    // The item's node without its children, and the item of a node.
    static TBookmarkNode NodeOf(const QTreeWidgetItem& item);
    static void SetNode(QTreeWidgetItem& item, const TBookmarkNode& node);
    static QTreeWidgetItem* NewItem(const TBookmarkNode& node);
    static bool IsBookmark(const QTreeWidgetItem& item);

    // Appends the item after the last sibling of `sibling` (at the top
    // level when sibling is null or a top-level item).
    void AddSibling(QTreeWidgetItem* sibling, QTreeWidgetItem* item);

    // What a drop of dragged onto target does; false when it is refused.
    bool MoveNode(QTreeWidgetItem* dragged, QTreeWidgetItem* target);

    // The MIME type of a drag from this tree, whose data names the tree.
    static constexpr const char* DragMimeType = "application/x-lumo-bookmark-node";
    QByteArray DragToken() const;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool FromThisTree(const QMimeData* data) const;
    void UpdateIcon(QTreeWidgetItem* item);
};

} // namespace lumo
