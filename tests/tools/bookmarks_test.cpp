// The bookmark manager: its tree, drops, the Bookmarks menu it builds, its
// buttons, and the file it reads at start-up and writes at the end.
#include "platform/ini_file.h"
#include "tests/support/recording_boxes.h"
#include "tests/support/scripted_input.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/bookmark_nodes.h"
#include "tools/bookmark_manager.h"
#include "tools/bookmark_menu.h"
#include "tools/bookmark_tree.h"

#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace lumo {
namespace {

using test::Folder;
using test::Mark;

// The tree: News{Paper=p, Sports{}}, Lumo=l, Empty{}
const TBookmarkList Sample = {Folder("News", {Mark("Paper", "p"), Folder("Sports")}),
                              Mark("Lumo", "l"), Folder("Empty")};

TEST(BookmarkTree, DropsMoveIntoFoldersBesideBookmarksAndNeverIntoThemselves) {
    struct Row {
        const char* name;
        std::vector<int> dragged, target; // paths of child indices
        bool moved;
        TBookmarkList expected;
    } rows[] = {
        {"onto a folder: its last child",
         {1},
         {2},
         true,
         {Folder("News", {Mark("Paper", "p"), Folder("Sports")}),
          Folder("Empty", {Mark("Lumo", "l")})}},
        {"onto a bookmark: its last sibling",
         {1},
         {0, 0},
         true,
         {Folder("News", {Mark("Paper", "p"), Folder("Sports"), Mark("Lumo", "l")}),
          Folder("Empty")}},
        {"a folder onto a top-level bookmark",
         {0, 1},
         {1},
         true,
         {Folder("News", {Mark("Paper", "p")}), Mark("Lumo", "l"), Folder("Empty"),
          Folder("Sports")}},
        {"onto itself", {0}, {0}, false, Sample},
        {"onto its own descendant", {0}, {0, 1}, false, Sample},
    };
    for (const auto& row : rows) {
        TBookmarkTree tree;
        tree.SetNodes(Sample);
        auto item = [&](const std::vector<int>& path) {
            QTreeWidgetItem* i = tree.topLevelItem(path[0]);
            for (size_t k = 1; k < path.size(); ++k)
                i = i->child(path[k]);
            return i;
        };
        EXPECT_EQ(tree.MoveNode(item(row.dragged), item(row.target)), row.moved) << row.name;
        EXPECT_EQ(tree.Nodes(), row.expected) << row.name;
    }
}

// The tree with its drop handler in reach.
struct DropTree : TBookmarkTree {
    using TBookmarkTree::dropEvent;
};

TEST(BookmarkTree, OnlyItsOwnDragsAreDropped) {
    DropTree tree;
    tree.SetNodes(Sample);
    tree.resize(300, 300);
    tree.show();
    QCoreApplication::processEvents();         // lays the items out
    tree.setCurrentItem(tree.topLevelItem(1)); // Lumo
    const QPoint onEmptyFolder = tree.visualItemRect(tree.topLevelItem(2)).center();

    QMimeData foreign;
    foreign.setData(TBookmarkTree::DragMimeType, "someone else");
    QDropEvent fromOutside(onEmptyFolder, Qt::MoveAction, &foreign, Qt::LeftButton, Qt::NoModifier);
    tree.dropEvent(&fromOutside);
    EXPECT_EQ(tree.Nodes(), Sample);

    QMimeData own;
    own.setData(TBookmarkTree::DragMimeType, tree.DragToken());
    QDropEvent fromTree(onEmptyFolder, Qt::MoveAction, &own, Qt::LeftButton, Qt::NoModifier);
    tree.dropEvent(&fromTree);
    EXPECT_EQ(tree.Nodes(), (TBookmarkList{Folder("News", {Mark("Paper", "p"), Folder("Sports")}),
                                           Folder("Empty", {Mark("Lumo", "l")})}));
}

TEST(BookmarkMenu, CopiesTheTreeWithAddressesInTheItems) {
    QMenu menu;
    menu.addAction("stale item");
    std::vector<std::string> opened;
    const TBookmarkList tree = {Folder("Tom & Jerry", {Mark("A&B", "http://ab.test/")}),
                                Folder("Leaf folder"), Mark("Lumo", "http://lumo.test/")};
    BuildBookmarkMenu(menu, tree, [&](const std::string& a) { opened.push_back(a); });

    const QList<QAction*> items = menu.actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), "Tom && Jerry");
    ASSERT_NE(items[0]->menu(), nullptr);
    QAction* ab = items[0]->menu()->actions().value(0);
    ASSERT_NE(ab, nullptr);
    EXPECT_EQ(ab->text(), "A&&B");
    EXPECT_EQ(ab->data().toString(), "http://ab.test/");
    EXPECT_EQ(items[1]->text(), "Leaf folder");
    EXPECT_EQ(items[1]->menu(), nullptr);
    items[1]->trigger(); // a leaf folder does nothing
    ab->trigger();
    items[2]->trigger();
    EXPECT_EQ(opened, (std::vector<std::string>{"http://ab.test/", "http://lumo.test/"}));
}

class BookmarkManagerTest : public testing::Test {
protected:
    std::unique_ptr<TBookmarkManager> MakeForm() {
        auto form = std::make_unique<TBookmarkManager>(nullptr, file);
        form->SetBookmarksMenu(&menu, [this](const std::string& a) { opened.push_back(a); });
        return form;
    }
    QTreeWidgetItem* Top(TBookmarkManager& form, int i) { return form.TreeView1->topLevelItem(i); }

    test::TempFolder home;
    test::ScopedHome scopedHome{home.Path()};
    test::RecordingBoxes boxes;
    test::ScriptedInput input;
    const std::string file = home / "bookmarks/LumoBookmarks.tip";
    // The menu's items as it opens.
    QList<QAction*> MenuItems() {
        emit menu.aboutToShow();
        return menu.actions();
    }
    QMenu menu;
    std::vector<std::string> opened;
};

TEST_F(BookmarkManagerTest, BookmarksAddedAreInTheMenuAndInTheFileAfterARestart) {
    {
        auto form = MakeForm();
        input.answers = {"Lumo home", "  "};
        EXPECT_TRUE(form->AddBookmark("http://lumo.test/", "Lumo"));
        EXPECT_FALSE(form->AddBookmark("http://b.test/", "Blank name")); // name left empty
        EXPECT_FALSE(form->AddBookmark("http://c.test/", ""));           // no title: not asked
        EXPECT_FALSE(form->AddBookmark("", "No address"));
        EXPECT_FALSE(form->AddBookmark("http://d.test/", "Cancelled")); // no answer left
        EXPECT_EQ(input.asked.front(), "Lumo Bookmarks|Enter Bookmark name:|Lumo");
        ASSERT_EQ(MenuItems().size(), 1);
        MenuItems()[0]->trigger();
        EXPECT_EQ(opened, std::vector<std::string>{"http://lumo.test/"});
        EXPECT_TRUE(form->ProgramClosing());
    }
    EXPECT_EQ(home.Read("bookmarks/LumoBookmarks.tip"), "Lumo home=http://lumo.test/\r\n");
    // The manager was never shown, so it has no place of its own to keep.
    EXPECT_EQ(TIniFile(home / "lumo.ini").ReadString("BookmarksF", "Left", "none"), "none");
    auto again = MakeForm();
    EXPECT_EQ(again->TreeView1->Nodes(), (TBookmarkList{Mark("Lumo home", "http://lumo.test/")}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(BookmarkManagerTest, FoldersAreMadeRenamedAndDeleted) {
    home.Write("bookmarks/LumoBookmarks.tip", "Lumo=http://lumo.test/\r\n");
    auto form = MakeForm();
    form->NewFolderClick(); // nothing selected: nothing happens
    EXPECT_EQ(form->TreeView1->topLevelItemCount(), 1);
    form->TreeView1->setCurrentItem(Top(*form, 0));
    form->NewFolderClick();
    ASSERT_EQ(form->TreeView1->topLevelItemCount(), 2);
    EXPECT_EQ(form->TreeView1->currentItem(), Top(*form, 1));

    input.answers = {"", "a=b", " Reading "};
    form->RenameClick(); // an empty folder name is refused
    form->RenameClick(); // so is "=" in a folder's name
    EXPECT_EQ(TBookmarkTree::NodeOf(*Top(*form, 1)).Name, "New Folder");
    form->RenameClick();
    EXPECT_EQ(TBookmarkTree::NodeOf(*Top(*form, 1)).Name, "Reading");
    EXPECT_EQ(input.asked[0], "Bookmarks|Enter new name:|New Folder");

    form->TreeView1->setCurrentItem(Top(*form, 0));
    input.answers = {"E=mc\xB2"}; // a bookmark's name may hold "=": the address stays
    form->RenameClick();
    EXPECT_EQ(TBookmarkTree::NodeOf(*Top(*form, 0)), Mark("E=mc\xB2", "http://lumo.test/"));

    form->TreeView1->setCurrentItem(Top(*form, 1));
    boxes.answer = MessageAnswer::No;
    form->DeleteClick();
    EXPECT_EQ(form->TreeView1->topLevelItemCount(), 2);
    boxes.answer = MessageAnswer::Yes;
    form->DeleteClick();
    EXPECT_EQ(form->TreeView1->topLevelItemCount(), 1);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].second, "Delete folder Reading and all of its contents?");

    form->ProgramClosing();
    form.reset();
    EXPECT_EQ(MakeForm()->TreeView1->Nodes(),
              (TBookmarkList{Mark("E=mc\xB2", "http://lumo.test/")}));
}

// A link opened in a new window starts a second copy of the program on the
// same file; whichever ends last keeps what the other added and removed.
TEST_F(BookmarkManagerTest, TwoCopiesOverOneFileKeepEachOthersChanges) {
    home.Write("bookmarks/LumoBookmarks.tip", "Old=http://old.test/\r\n");
    auto first = MakeForm();
    auto second = MakeForm();
    input.answers = {"First", "Second"};
    ASSERT_TRUE(first->AddBookmark("http://first.test/", "First"));
    ASSERT_TRUE(second->AddBookmark("http://second.test/", "Second"));
    second->TreeView1->setCurrentItem(Top(*second, 0));
    boxes.answer = MessageAnswer::Yes;
    second->DeleteClick();
    EXPECT_TRUE(second->ProgramClosing());
    EXPECT_TRUE(first->ProgramClosing());
    EXPECT_EQ(home.Read("bookmarks/LumoBookmarks.tip"),
              "First=http://first.test/\r\nSecond=http://second.test/\r\n");
}

TEST_F(BookmarkManagerTest, ADamagedFileWarnsOnceAndIsKept) {
    const std::string damaged = "A\r\n\t\t\tdeep=u\r\n";
    home.Write("bookmarks/LumoBookmarks.tip", damaged);
    auto form = MakeForm();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].second.find("Invalid level (3)"), std::string::npos);
    EXPECT_EQ(form->TreeView1->Nodes(), (TBookmarkList{Folder("A", {Mark("deep", "u")})}));
    EXPECT_TRUE(form->ProgramClosing());
    EXPECT_EQ(home.Read("bookmarks/LumoBookmarks.tip.bak"), damaged);
    EXPECT_EQ(home.Read("bookmarks/LumoBookmarks.tip"), "A\r\n\tdeep=u\r\n");
}

TEST_F(BookmarkManagerTest, CancelKeepsTheEditsButNotTheMenu) {
    home.Write("bookmarks/LumoBookmarks.tip", "Lumo=l\r\n");
    auto form = MakeForm();
    EXPECT_TRUE(menu.actions().isEmpty()); // built as it first opens, not at the start
    form->TreeView1->setCurrentItem(Top(*form, 0));
    form->NewFolderClick();
    QTimer::singleShot(0, form.get(), [&] { form->CancelBtn->click(); });
    form->Manage();
    EXPECT_EQ(MenuItems().size(), 1);
    EXPECT_EQ(form->TreeView1->topLevelItemCount(), 2);
    QTimer::singleShot(0, form.get(), [&] { form->OKBtn->click(); });
    form->Manage();
    EXPECT_EQ(MenuItems().size(), 2);
    form->ProgramClosing(); // shown now: its place is kept
    EXPECT_NE(TIniFile(home / "lumo.ini").ReadString("BookmarksF", "Left", "none"), "none");
}

} // namespace
} // namespace lumo
