#include "app/main_window.h"
#include "app/image_queue.h"

#include "address/address.h"
#include "app/address_file.h"
#include "app/app_exceptions.h"
#include "app/command_line.h"
#include "app/find_dialog.h"
#include "app/lookup_combo_box.h"
#include "app/proxy_dialog.h"
#include "frames/frame_browser.h"
#include "net/cookie_list.h"
#include "net/disk_cache.h"
#include "net/url_connection.h"
#include "platform/app_exception.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "platform/message_box.h"
#include "platform/message_window.h"
#include "platform/program_folder.h"
#include "platform/qt_text.h"
#include "platform/stream.h"
#include "platform/text.h"
#include "tools/unzip_window.h"
#include "viewer/html_viewer.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPrinter>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdlib>

namespace lumo {

TMainWindow::TMainWindow(QWidget* parent)
    : QMainWindow(parent), docStream_(std::make_unique<TMemoryStream>()) {
    setObjectName("HTTPForm");
    setWindowTitle("Lumo 10");
    move(DesignLeft, DesignTop);
    resize(DesignWidth, DesignHeight);
    CreateMenus();
    CreateToolbar();
    CreatePageArea();
    CreateStatusBar();
    CreatePopupMenu();

    programFolder_ = lumo::ProgramFolder();
    cacheDir_ = programFolder_ + "Cache/";
    settingsFile_ = SettingsFilePath();
    // Only the copy of the program that holds the lock on "Monitor.txt"
    // writes the cache index, the cookie file and the address file back, and
    // only it deletes or overwrites cache files it did not make.
    ForceDirectories(cacheDir_);
    monitor_ = ExclusiveFileLock::Acquire(cacheDir_ + "Monitor.txt");
    diskCache_ = std::make_unique<TDiskCache>(cacheDir_, LogOpen() ? TCacheFolder::Owned
                                                                   : TCacheFolder::Shared);
    settings_.RetainCache = true;
    Status1->clear();
    ReadSettings();
    ApplyBrowserDefaults();

    diskCache_->SetSaveOnDestroy(LogOpen());
    cookies_ = std::make_unique<TCookieList>(cacheDir_);
    cookies_->SetSaveOnDestroy(LogOpen());

    imageQueue_ = std::make_unique<TImageQueue>(*this);
    ConnectFrameBrowser();
    bookmarkFile_ = programFolder_ + "bookmarks/LumoBookmarks.tip";
    CreateUserTools();
    LoadAddressFile();
    setAcceptDrops(true);
    SetExceptionHandler([this](const std::exception& e) { AppException(e); });
    messages_ = std::make_unique<MessageWindow>(
        [this](UINT msg, WPARAM wParam, LPARAM) -> LRESULT { return Message(msg, wParam); });
}

TMainWindow::~TMainWindow() {
    SetExceptionHandler(nullptr);
    // The frame browser goes with the window's widgets; it may ask for nothing meanwhile.
    FrameBrowser->OnGetPostRequest = nullptr;
    FrameBrowser->OnProcessing = nullptr;
    FrameBrowser->OnHistoryChange = nullptr;
    messages_.reset();
    connection_.reset();
    if (!settings_.RetainCache) diskCache_->EraseAll();
    diskCache_.reset();
    cookies_.reset();
    if (LogOpen()) SaveAddressFile();
    monitor_.reset();
}

void TMainWindow::LoadAddressFile() {
    TAddressFile file;
    if (!ReadAddressFile(cacheDir_ + "urls.txt", file)) return;
    Proxy = file.Proxy;
    ProxyPort = file.ProxyPort;
    UrlCombobox->SetItems(std::move(file.Addresses));
}

void TMainWindow::SaveAddressFile() {
    TAddressFile file{Proxy, ProxyPort, UrlCombobox->Items()};
    WriteAddressFile(cacheDir_ + "urls.txt", file);
}

void TMainWindow::ReadSettings() {
    const TIniFile ini(settingsFile_);
    if (!ini.Readable())
        TheMessageBoxes().Show(MessageKind::Warning, ApplicationTitle(),
                               "The settings file " + settingsFile_ +
                                   " cannot be read (it may be larger than 4 MB). It is left as "
                                   "it is, and settings changed in this session are not saved.",
                               MessageButtons::Ok);
    settings_.Placement = {false, y(), x(), width(), height()};
    settings_ = lumo::ReadSettings(ini, settings_);
    const TMainWindowPlacement& p = settings_.Placement;
    if (p.Maximized) {
        setWindowState(Qt::WindowMaximized);
    } else {
        move(p.Left, p.Top);
        resize(p.Width, p.Height);
        setWindowState(Qt::WindowNoState);
    }
    RetainCache1->setChecked(settings_.RetainCache);
    ApplySecuritySettings();
}

void TMainWindow::WriteSettings() {
    TWindowState state = TWindowState::Normal;
    if (isMinimized())
        state = TWindowState::Minimized;
    else if (isMaximized())
        state = TWindowState::Maximized;
    else
        settings_.Placement = {false, y(), x(), width(), height()};
    TIniFile ini(settingsFile_);
    lumo::WriteSettings(ini, settings_, state);
}

long long TMainWindow::Message(unsigned msg, uintptr_t wParam) {
    switch (msg) {
    case MsgGetButton: GetButtonClick(); break;
    case MsgOpenPending: OpenPendingAddress(); break;
    case MsgDownload: DownloadFile(); break;
    case MsgAbort:
        // Only the connection the message was posted for: a late message
        // never aborts the next fetch.
        if (connection_ && wParam == connectionSerial_) connection_->Abort();
        break;
    }
    return 0;
}

void TMainWindow::closeEvent(QCloseEvent* event) {
    // A fetch running below this event ends now; what it raises is not shown.
    closing_ = true;
    Cancelled = true;
    if (connection_) connection_->Abort();
    WriteSettings();
    CloseUserTools();
    event->accept();
}

void TMainWindow::FormShow(const std::string& address) {
    if (address.empty()) return;
    ShowAddress(address);
    messages_->Send(WM_USER + 124);
}

void TMainWindow::ShowAddress(const std::string& address) {
    UrlCombobox->SetText(address);
}

void TMainWindow::TakeDroppedFile(const std::string& fileName) {
    if (fileName.empty()) return;
    ShowAddress(FileAddressOf(fileName));
    GetButtonClick();
    LastOpenFile = fileName;
}

void TMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainWindow::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        TakeDroppedFile(FromQFileName(url.toLocalFile()));
        break; // only the first dropped file is opened
    }
    event->acceptProposedAction();
}

void TMainWindow::Openfile1Click() {
    const std::string folder =
        LastOpenFile.empty() ? programFolder_ : AnsiName(NativePath(LastOpenFile).parent_path());
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("htm");
    dialog.setDirectory(ToQFileName(folder));
    dialog.setNameFilters({"html files (*.htm *.html)",
                           "image files (*.bmp *.gif *.jpg *.jpeg *.png)", "text files (*.txt)",
                           "web archives (*.warc *.warc.gz *.arc *.arc.gz)", "all files (*)"});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const std::string fileName = FromQFileName(dialog.selectedFiles().first());
    ShowAddress(FileAddressOf(fileName));
    GetButtonClick();
    ShowCaption();
    LastOpenFile = fileName;
}

void TMainWindow::Unzip1Click() {
    if (!UnzipWindow) UnzipWindow = new TUnzipWindow(this);
    UnzipWindow->show();
    UnzipWindow->raise();
    UnzipWindow->activateWindow();
}

void TMainWindow::Exit1Click() {
    close();
}

void TMainWindow::Proxy1Click() {
    TProxyDialog dialog(this);
    dialog.SetValues(Proxy, ProxyPort);
    dialog.SetSocks(settings_.Socks);
    if (dialog.exec() != QDialog::Accepted) return;
    Proxy = dialog.Proxy();
    ProxyPort = dialog.Port();
    settings_.Socks = dialog.Socks();
}

void TMainWindow::UseProxies(TURLConnection& connection) const {
    connection.Proxy = Proxy;
    connection.ProxyPort = ProxyPort;
    connection.Socks = settings_.Socks;
}

void TMainWindow::DeleteCacheClick() {
    diskCache_->EraseAll();
}

void TMainWindow::RetainCache1Click() {
    settings_.RetainCache = RetainCache1->isChecked();
}

void TMainWindow::About1Click() {
    ShowMessage("Lumo 10\n\n"
                "A web browser for the pages of the late 1990s.\n"
                "Written by the Lumo team of Vora.\n"
                "Questions and reports: the Lumo developers, through the project's issue tracker.");
}

void TMainWindow::AppException(const std::exception& e) {
    if (closing_) return; // the user closed the window during a fetch
    if (dynamic_cast<const ESpecialException*>(&e)) {
        ShowMessage(e.what());
        Cancelled = false;
    } else {
        ShowErrorMessage(e.what());
    }
}
// --- The page area ---------------------------------------------------------

void TMainWindow::ApplyBrowserDefaults() {
    const TBrowserDefaults& d = settings_.Browser;
    FrameBrowser->SetDefFontName(d.DefFontName);
    FrameBrowser->SetDefFontSize(d.DefFontSize);
    FrameBrowser->SetDefFontColor(d.DefFontColor);
    FrameBrowser->SetDefBackground(d.DefBackground);
    FrameBrowser->SetDefHotSpotColor(d.DefHotSpotColor);
    FrameBrowser->SetDefOverLinkColor(d.DefOverLinkColor);
    FrameBrowser->SetDefVisitedLinkColor(d.DefVisitedLinkColor);
}

bool TMainWindow::HasDocument() const {
    const THTMLViewer* viewer = FrameBrowser->FocusedViewer();
    return viewer && !viewer->DocumentFile().empty();
}

void TMainWindow::File1Click() {
    const bool viewer = ActiveViewer() != nullptr;
    Print1->setEnabled(viewer);
    PrintPreview->setEnabled(viewer);
}

void TMainWindow::Edit1Click() {
    const bool document = HasDocument();
    SelectAll1->setEnabled(document);
    Find1->setEnabled(document);
    Copy1->setEnabled(FrameBrowser->HasSelection());
}

void TMainWindow::Contents1Click() {
    NavigateTo("res:///help.htm");
}

void TMainWindow::SupportedTags1Click() {
    NavigateTo("res:///support.htm");
}

void TMainWindow::Find1Click() {
    if (!HasDocument()) return;
    FindDialog->show();
    FindDialog->raise();
    FindDialog->activateWindow();
}

void TMainWindow::FindDialogFind() {
    const QString text = FindDialog->FindText();
    if (text.isEmpty() || FrameBrowser->Find(text, FindDialog->MatchCase())) return;
    TheMessageBoxes().Show(MessageKind::Information, ApplicationTitle(),
                           "No further occurances of \"" + FromQString(text) + "\"",
                           MessageButtons::Ok);
}

void TMainWindow::Copy1Click() {
    THTMLViewer* viewer = FrameBrowser->FocusedViewer();
    if (!viewer || viewer->SelectionLength() == 0) return;
    if (std::abs(viewer->SelectionLength()) >= 32000)
        throw EBufferTooSmall("Selected text exceeds buffer size");
    if (!FrameBrowser->SelText().isEmpty()) FrameBrowser->CopyToClipboard();
}

void TMainWindow::SelectAll1Click() {
    FrameBrowser->SelectAll();
}

} // namespace lumo
