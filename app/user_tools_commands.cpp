// The main window's side of the user tools: the Bookmarks menu and the
// bookmark buttons, the font and colour dialog, the window's language.
#include "app/main_window.h"

#include "app/lookup_combo_box.h"
#include "frames/frame_browser.h"
#include "platform/ini_file.h"
#include "platform/qt_text.h"
#include "tools/bookmark_manager.h"
#include "tools/font_color_dialog.h"
#include "viewer/html_viewer.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace lumo {
namespace {

template <class Handler>
void ConnectItem(TMainWindow* form, const char* name, Handler handler) {
    auto* item = form->findChild<QAction*>(QString::fromLatin1(name));
    item->setEnabled(true);
    QObject::connect(item, &QAction::triggered, form, [form, handler] { (form->*handler)(); });
}

template <class Handler>
void ConnectButton(TMainWindow* form, const char* name, Handler handler) {
    auto* button = form->findChild<QToolButton*>(QString::fromLatin1(name));
    button->setEnabled(true);
    QObject::connect(button, &QToolButton::clicked, form, [form, handler] { (form->*handler)(); });
}

} // namespace

void TMainWindow::CreateUserTools() {
    language_.InitForm(*this);
    BookmarkManager = new TBookmarkManager(this, bookmarkFile_);
    BookmarkManager->SetBookmarksMenu(
        findChild<QMenu*>("Bookmarks1"),
        [this](const std::string& address) { OpenBookmark(address); });
    ConnectItem(this, "ManageBookmarks1", &TMainWindow::ManageBookmarks1Click);
    ConnectItem(this, "Fontandcolor1", &TMainWindow::Fontandcolor1Click);
    ConnectItem(this, "Language1", &TMainWindow::Language1Click);
    ConnectButton(this, "BookmarkButton", &TMainWindow::SaveURLClick);
    ConnectButton(this, "BookmarkFrameButton", &TMainWindow::BookmarkFrameClick);
}

void TMainWindow::CloseUserTools() {
    BookmarkManager->ProgramClosing();
}

void TMainWindow::ManageBookmarks1Click() {
    BookmarkManager->Manage();
}

// The bookmark file holds Windows-1252 names: a title's characters outside
// it are written as "?".
void TMainWindow::SaveURLClick() {
    BookmarkManager->AddBookmark(FrameBrowser->CurrentAddress(),
                                 FromQString(FrameBrowser->PageTitle()));
}

void TMainWindow::BookmarkFrameClick() {
    if (const THTMLViewer* viewer = ActiveViewer())
        BookmarkManager->AddBookmark(viewer->DocumentFile(), FromQString(viewer->PageTitle()));
}

void TMainWindow::OpenBookmark(const std::string& address) {
    NavigateTo(address);
    UrlCombobox->SetText(address);
}

void TMainWindow::Fontandcolor1Click() {
    TFontColorDialog dialog(this);
    dialog.SetValues(settings_.Browser);
    if (dialog.exec() == QDialog::Accepted) SetBrowserDefaults(dialog.Values());
}

void TMainWindow::SetBrowserDefaults(const TBrowserDefaults& defaults) {
    settings_.Browser = defaults;
    ApplyBrowserDefaults();
    TIniFile ini(settingsFile_);
    WriteBrowserDefaults(ini, defaults);
    ReloadClick();
}

void TMainWindow::Language1Click() {
    language_.SelectLanguage(*this);
}

} // namespace lumo
