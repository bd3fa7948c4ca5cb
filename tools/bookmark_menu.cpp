#include "tools/bookmark_menu.h"

#include "platform/qt_text.h"
#include "tools/bookmark_tree.h"

#include <QAction>
#include <QMenu>

namespace lumo {
namespace {

// "&" would mark the next letter as the item's key.
QString Caption(const std::string& text) {
    return ToQString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

void ClearMenu(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        menu.removeAction(action);
        if (action->parent() == &menu) action->deleteLater();
    }
    for (QMenu* sub : menu.findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        sub->deleteLater();
}

struct TMenuBuild {
    TOpenBookmark Open;
    QIcon Folder = BookmarkIcon(TBookmarkImage::ClosedFolder);
    QIcon Bookmark = BookmarkIcon(TBookmarkImage::Bookmark);
};

void AddItems(QMenu& menu, const TBookmarkList& nodes, const TMenuBuild& build) {
    for (const TBookmarkNode& node : nodes) {
        const bool bookmark = node.Kind == TBookmarkKind::Bookmark;
        const std::string caption = bookmark ? node.Name + "=" + node.Address : node.Name;
        if (!node.Children.empty()) {
            QMenu* sub = menu.addMenu(build.Folder, Caption(caption));
            sub->setToolTipsVisible(true);
            AddItems(*sub, node.Children, build);
        } else if (!bookmark) {
            menu.addAction(build.Folder, Caption(caption));
        } else {
            QAction* item = menu.addAction(build.Bookmark, Caption(node.Name));
            const std::string address = node.Address;
            item->setData(ToQString(address));
            item->setToolTip(ToQString(address));
            QObject::connect(item, &QAction::triggered, item,
                             [open = build.Open, address] { open(address); });
        }
    }
}

} // namespace

void BuildBookmarkMenu(QMenu& menu, const TBookmarkList& nodes, const TOpenBookmark& open) {
    ClearMenu(menu);
    menu.setToolTipsVisible(true);
    AddItems(menu, nodes, TMenuBuild{open});
}

} // namespace lumo
