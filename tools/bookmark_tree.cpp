#include "tools/bookmark_tree.h"

#include "platform/qt_text.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QStyle>

#include <algorithm>
#include <array>

namespace lumo {
namespace {

constexpr int KindRole = Qt::UserRole;
constexpr int NameRole = Qt::UserRole + 1;
constexpr int AddressRole = Qt::UserRole + 2;

QByteArray Bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Text(const QVariant& value) {
    const QByteArray bytes = value.toByteArray();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QTreeWidgetItem* ItemOf(const TBookmarkNode& node) {
    QTreeWidgetItem* item = TBookmarkTree::NewItem(node);
    for (const TBookmarkNode& child : node.Children)
        item->addChild(ItemOf(child));
    return item;
}

TBookmarkNode NodeWithChildren(const QTreeWidgetItem& item) {
    TBookmarkNode node = TBookmarkTree::NodeOf(item);
    for (int i = 0; i < item.childCount(); ++i)
        node.Children.push_back(NodeWithChildren(*item.child(i)));
    return node;
}

int Depth(const QTreeWidgetItem* item) {
    int depth = 0;
    for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        ++depth;
    return depth;
}

int Height(const QTreeWidgetItem* item) {
    int height = 0;
    for (int i = 0; i < item->childCount(); ++i)
        height = std::max(height, Height(item->child(i)) + 1);
    return height;
}

bool IsWithin(const QTreeWidgetItem* item, const QTreeWidgetItem* ancestor) {
    for (; item; item = item->parent())
        if (item == ancestor) return true;
    return false;
}

} // namespace

QIcon BookmarkIcon(TBookmarkImage image) {
    // Asking the style for each of 10,000 nodes took seconds. The icons are
    // kept for the program's life (not freed after the application object).
    static const auto* icons =
        new std::array<QIcon, 3>{QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon),
                                 QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon),
                                 QApplication::style()->standardIcon(QStyle::SP_FileLinkIcon)};
    return (*icons)[static_cast<size_t>(image)];
}

TBookmarkTree::TBookmarkTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setIndentation(19);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* i) { UpdateIcon(i); });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* i) { UpdateIcon(i); });
}

void TBookmarkTree::SetNodes(const TBookmarkList& nodes) {
    clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(nodes.size()));
    for (const TBookmarkNode& node : nodes)
        items.append(ItemOf(node));
    addTopLevelItems(items);
}

TBookmarkList TBookmarkTree::Nodes() const {
    TBookmarkList nodes;
    for (int i = 0; i < topLevelItemCount(); ++i)
        nodes.push_back(NodeWithChildren(*topLevelItem(i)));
    return nodes;
}

TBookmarkNode TBookmarkTree::NodeOf(const QTreeWidgetItem& item) {
    TBookmarkNode node;
    node.Kind = IsBookmark(item) ? TBookmarkKind::Bookmark : TBookmarkKind::Folder;
    node.Name = Text(item.data(0, NameRole));
    node.Address = Text(item.data(0, AddressRole));
    return node;
}

void TBookmarkTree::SetNode(QTreeWidgetItem& item, const TBookmarkNode& node) {
    const bool bookmark = node.Kind == TBookmarkKind::Bookmark;
    item.setData(0, KindRole, static_cast<int>(node.Kind));
    item.setData(0, NameRole, Bytes(node.Name));
    item.setData(0, AddressRole, Bytes(bookmark ? node.Address : std::string()));
    item.setText(0, ToQString(bookmark ? node.Name + "=" + node.Address : node.Name));
    item.setIcon(0, BookmarkIcon(bookmark            ? TBookmarkImage::Bookmark
                                 : item.isExpanded() ? TBookmarkImage::OpenFolder
                                                     : TBookmarkImage::ClosedFolder));
}

QTreeWidgetItem* TBookmarkTree::NewItem(const TBookmarkNode& node) {
    auto* item = new QTreeWidgetItem;
    SetNode(*item, node);
    return item;
}

bool TBookmarkTree::IsBookmark(const QTreeWidgetItem& item) {
    return item.data(0, KindRole).toInt() == static_cast<int>(TBookmarkKind::Bookmark);
}

void TBookmarkTree::UpdateIcon(QTreeWidgetItem* item) {
    SetNode(*item, NodeOf(*item));
}

void TBookmarkTree::AddSibling(QTreeWidgetItem* sibling, QTreeWidgetItem* item) {
    if (QTreeWidgetItem* parent = sibling ? sibling->parent() : nullptr)
        parent->addChild(item);
    else
        addTopLevelItem(item);
}

bool TBookmarkTree::MoveNode(QTreeWidgetItem* dragged, QTreeWidgetItem* target) {
    if (!dragged || !target || IsWithin(target, dragged)) return false;
    const bool intoFolder = !IsBookmark(*target);
    const int depth = Depth(target) + (intoFolder ? 1 : 0);
    if (depth + Height(dragged) > MaxBookmarkDepth) return false;

    if (QTreeWidgetItem* parent = dragged->parent())
        parent->takeChild(parent->indexOfChild(dragged));
    else
        takeTopLevelItem(indexOfTopLevelItem(dragged));
    if (intoFolder) {
        target->addChild(dragged);
        target->setExpanded(true);
    } else {
        AddSibling(target, dragged);
    }
    setCurrentItem(dragged);
    return true;
}

QByteArray TBookmarkTree::DragToken() const {
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(reinterpret_cast<quintptr>(this));
}

bool TBookmarkTree::FromThisTree(const QMimeData* data) const {
    return data && data->data(DragMimeType) == DragToken();
}

void TBookmarkTree::startDrag(Qt::DropActions) {
    if (!currentItem()) return;
    auto* data = new QMimeData;
    data->setData(DragMimeType, DragToken());
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(currentItem()->icon(0).pixmap(16, 16));
    // The drop moves the node itself; nothing is left to do when the drag ends.
    drag->exec(Qt::MoveAction);
}

void TBookmarkTree::dragEnterEvent(QDragEnterEvent* event) {
    if (FromThisTree(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TBookmarkTree::dragMoveEvent(QDragMoveEvent* event) {
    QTreeWidget::dragMoveEvent(event); // scrolls near the edges
    if (FromThisTree(event->mimeData())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TBookmarkTree::dropEvent(QDropEvent* event) {
    stopAutoScroll();
    setState(NoState);
    if (!FromThisTree(event->mimeData())) {
        event->ignore();
        return;
    }
    MoveNode(currentItem(), itemAt(event->position().toPoint()));
    event->setDropAction(Qt::MoveAction);
    event->accept();
    viewport()->update();
}

} // namespace lumo
