// The bookmark manager: a window made at start-up that lives until the
// program ends. Its tree is the one store of bookmarks; the Bookmarks menu
// is rebuilt from it at start-up, after each bookmark is added and when the
// manager closes with OK. Cancel keeps the edits in the tree and only skips
// the menu's rebuild. The file is read when the manager is made and written
// when the program closes, with what other copies of the program wrote to
// it meanwhile merged in.
#pragma once

#include "tools/bookmark_file.h"
#include "tools/bookmark_menu.h"
#include "tools/window_translator.h"

#include <QDialog>

#include <string>

class QMenu;
class QPushButton;

namespace lumo {

class TBookmarkTree;

class TBookmarkManager : public QDialog {
public:
    // Loads the file (telling the user once about a damaged one), restores
    // the window's place and applies its language.
    TBookmarkManager(QWidget* parent, std::string bookmarkFile);

    // The menu the tree is copied into as it opens, and what choosing a
    // bookmark does.
    void SetBookmarksMenu(QMenu* menu, TOpenBookmark open);
    void RebuildMenu();

    // Asks for the bookmark's name (the title proposed) and adds it at the
    // end of the top level. False when nothing was added: no address, no
    // title, or no name given.
    bool AddBookmark(const std::string& address, const std::string& title);

    // Shows the manager; with OK the menu is rebuilt.
    void Manage();

    // At program end: writes the tree and the window's place. A file that
    // could not be written is reported; false then.
    bool ProgramClosing();

    // Buttons' handlers.
    void NewFolderClick();
    void RenameClick();
    void DeleteClick();
    void LanguageClick();

    const std::string& BookmarkFile() const { return fileName_; }
    TWindowTranslator& Language() { return language_; }

    // Controls, named as the language files name them.
    TBookmarkTree* TreeView1 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* NewFolderBtn = nullptr;
    QPushButton* RenameBtn = nullptr;
    QPushButton* DeleteBtn = nullptr;
    QPushButton* LanguageBtn = nullptr;

private:
    void CreateControls();
    void LoadTree();
    void BuildStaleMenu();

    std::string fileName_;
    bool replaceable_ = true; // false: saving would lose what the file holds
    // The tree as the file held it when read or last saved: what another
    // copy of the program changed in the file since is merged in on saving.
    TBookmarkList read_;
    bool shown_ = false;
    QMenu* menu_ = nullptr;
    TBookmarkList menuNodes_; // what the menu shows
    bool menuStale_ = false;  // the menu is built again as it next opens
    TOpenBookmark open_;
    TWindowTranslator language_;
};

} // namespace lumo
