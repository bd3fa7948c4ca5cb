#include "tools/bookmark_manager.h"

#include "platform/input_box.h"
#include "platform/message_box.h"
#include "tools/bookmark_merge.h"
#include "tools/bookmark_tree.h"
#include "tools/named_controls.h"
#include "tools/window_placement.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumo {
namespace {

bool AskName(std::string& name) {
    if (!InputQuery("Bookmarks", "Enter new name:", name)) return false;
    name = CleanBookmarkName(name);
    return true;
}

} // namespace

TBookmarkManager::TBookmarkManager(QWidget* parent, std::string bookmarkFile)
    : QDialog(parent), fileName_(std::move(bookmarkFile)) {
    setObjectName("BookmarksF");
    setWindowTitle("Bookmarks");
    resize(502, 480);
    CreateControls();
    LoadTree();
    TWindowPlacement::Restore(*this);
    language_.InitForm(*this);
}

void TBookmarkManager::CreateControls() {
    OKBtn = NamedButton(this, "OKBtn", "OK");
    CancelBtn = NamedButton(this, "CancelBtn", "Cancel");
    NewFolderBtn = NamedButton(this, "NewFolderBtn", "New Folder");
    RenameBtn = NamedButton(this, "RenameBtn", "Rename");
    DeleteBtn = NamedButton(this, "DeleteBtn", "Delete");
    LanguageBtn = NamedButton(this, "LanguageBtn", "Language");
    LanguageBtn->setToolTip("Select Language");
    TreeView1 = new TBookmarkTree(this);
    TreeView1->setObjectName("TreeView1");

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {OKBtn, CancelBtn, NewFolderBtn, RenameBtn, DeleteBtn, LanguageBtn})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* row = new QHBoxLayout(this);
    row->addLayout(buttons);
    row->addWidget(TreeView1, 1);

    connect(OKBtn, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
    connect(NewFolderBtn, &QPushButton::clicked, this, [this] { NewFolderClick(); });
    connect(RenameBtn, &QPushButton::clicked, this, [this] { RenameClick(); });
    connect(DeleteBtn, &QPushButton::clicked, this, [this] { DeleteClick(); });
    connect(LanguageBtn, &QPushButton::clicked, this, [this] { LanguageClick(); });
}

void TBookmarkManager::LoadTree() {
    TBookmarkFileLoad load = LoadBookmarkFile(fileName_);
    replaceable_ = load.Replaceable;
    TreeView1->SetNodes(load.Nodes);
    read_ = std::move(load.Nodes);
    if (!load.Message.empty())
        TheMessageBoxes().Show(MessageKind::Warning, ApplicationTitle(), load.Message,
                               MessageButtons::Ok);
}

void TBookmarkManager::SetBookmarksMenu(QMenu* menu, TOpenBookmark open) {
    menu_ = menu;
    open_ = std::move(open);
    // Built as it opens: the style's folder and bookmark icons it shows are
    // loaded then, not by every start, most of which never open the menu.
    if (menu_) connect(menu_, &QMenu::aboutToShow, this, [this] { BuildStaleMenu(); });
    RebuildMenu();
}

void TBookmarkManager::RebuildMenu() {
    // The tree as it stands now: edits the user then cancels stay out.
    menuNodes_ = TreeView1->Nodes();
    menuStale_ = true;
    if (menu_ && menu_->isVisible()) BuildStaleMenu();
}

void TBookmarkManager::BuildStaleMenu() {
    if (!menu_ || !menuStale_) return;
    menuStale_ = false;
    BuildBookmarkMenu(*menu_, menuNodes_, open_);
}

bool TBookmarkManager::AddBookmark(const std::string& address, const std::string& title) {
    TBookmarkNode node{TBookmarkKind::Bookmark, {}, CleanBookmarkAddress(address), {}};
    if (node.Address.empty() || title.empty()) return false;
    std::string name = title;
    if (!InputQuery("Lumo Bookmarks", "Enter Bookmark name:", name)) return false;
    node.Name = CleanBookmarkName(name);
    if (node.Name.empty()) return false;
    TreeView1->AddSibling(nullptr, TBookmarkTree::NewItem(node));
    RebuildMenu();
    return true;
}

void TBookmarkManager::Manage() {
    shown_ = true;
    if (exec() == QDialog::Accepted) RebuildMenu();
}

bool TBookmarkManager::ProgramClosing() {
    // The place of a manager never shown is not a place the user chose.
    if (shown_) TWindowPlacement::Save(*this);
    if (!replaceable_) return true;
    TBookmarkList nodes = TreeView1->Nodes();
    if (SaveMergedBookmarkFile(fileName_, read_, nodes)) {
        read_ = std::move(nodes);
        return true;
    }
    ShowErrorMessage("Cannot create file " + fileName_);
    return false;
}

void TBookmarkManager::NewFolderClick() {
    QTreeWidgetItem* selected = TreeView1->currentItem();
    if (!selected) return;
    auto* folder = TBookmarkTree::NewItem({TBookmarkKind::Folder, "New Folder", {}, {}});
    TreeView1->AddSibling(selected, folder);
    TreeView1->setCurrentItem(folder);
}

void TBookmarkManager::RenameClick() {
    QTreeWidgetItem* item = TreeView1->currentItem();
    if (!item) return;
    TBookmarkNode node = TBookmarkTree::NodeOf(*item);
    std::string name = node.Name;
    if (!AskName(name) || name.empty()) return;
    // A folder's name holds no "=": the file would read it as a bookmark's.
    if (node.Kind == TBookmarkKind::Folder && name.find('=') != std::string::npos) return;
    node.Name = name;
    TBookmarkTree::SetNode(*item, node);
}

void TBookmarkManager::DeleteClick() {
    QTreeWidgetItem* item = TreeView1->currentItem();
    if (!item) return;
    const TBookmarkNode node = TBookmarkTree::NodeOf(*item);
    const std::string question = node.Kind == TBookmarkKind::Folder
                                     ? "Delete folder " + node.Name + " and all of its contents?"
                                     : std::string("Delete bookmark?");
    if (TheMessageBoxes().Show(MessageKind::Question, ApplicationTitle(), question,
                               MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    delete item; // with its children
}

void TBookmarkManager::LanguageClick() {
    language_.SelectLanguage(*this);
}

} // namespace lumo
