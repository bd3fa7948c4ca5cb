#include "app/http_form.h"

#include "app/address_file.h"
#include "app/app_exceptions.h"
#include "app/command_line.h"
#include "app/lookup_combo_box.h"
#include "app/proxy_form.h"
#include "net/cookie_list.h"
#include "net/disk_cache.h"
#include "platform/app_exception.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "platform/message_box.h"
#include "platform/qt_text.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <QVBoxLayout>

namespace lumo {

THTTPForm::THTTPForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("HTTPForm");
    setWindowTitle("Lumo 10");
    move(DesignLeft, DesignTop);
    resize(DesignWidth, DesignHeight);
    CreateMenus();
    CreateToolbar();
    CreatePageArea();
    CreateStatusBar();

    programFolder_ = lumo::ProgramFolder();
    cacheDir_ = programFolder_ + "Cache/";
    settingsFile_ = programFolder_ + "lumo.ini";
    diskCache_ = std::make_unique<TDiskCache>(cacheDir_);
    settings_.RetainCache = true;
    Status1->clear();
    ReadSettings();

    // Only the copy of the program that holds the lock on "Monitor.txt"
    // writes the cache index, the cookie file and the address file back.
    monitor_ = ExclusiveFileLock::Acquire(cacheDir_ + "Monitor.txt");
    diskCache_->SetSaveOnDestroy(LogOpen());
    cookies_ = std::make_unique<TCookieList>(cacheDir_);
    cookies_->SetSaveOnDestroy(LogOpen());

    bookmarkFile_ = programFolder_ + "bookmarks/LumoBookmarks.tip";
    LoadAddressFile();
    setAcceptDrops(true);
    SetExceptionHandler([this](const std::exception& e) { AppException(e); });
}

THTTPForm::~THTTPForm() {
    SetExceptionHandler(nullptr);
    if (!settings_.RetainCache) diskCache_->EraseAll();
    diskCache_.reset();
    cookies_.reset();
    if (LogOpen()) SaveAddressFile();
    monitor_.reset();
}

void THTTPForm::LoadAddressFile() {
    TAddressFile file;
    if (!ReadAddressFile(cacheDir_ + "urls.txt", file)) return;
    Proxy = file.Proxy;
    ProxyPort = file.ProxyPort;
    UrlCombobox->SetItems(std::move(file.Addresses));
}

void THTTPForm::SaveAddressFile() {
    TAddressFile file{Proxy, ProxyPort, UrlCombobox->Items()};
    WriteAddressFile(cacheDir_ + "urls.txt", file);
}

void THTTPForm::ReadSettings() {
    const TIniFile32 ini(settingsFile_);
    settings_.Placement = {false, y(), x(), width(), height()};
    settings_ = lumo::ReadSettings(ini, settings_);
    const TWindowPlacement& p = settings_.Placement;
    if (p.Maximized) {
        setWindowState(Qt::WindowMaximized);
    } else {
        move(p.Left, p.Top);
        resize(p.Width, p.Height);
        setWindowState(Qt::WindowNoState);
    }
    RetainCache1->setChecked(settings_.RetainCache);
}

void THTTPForm::WriteSettings() {
    TWindowState state = TWindowState::Normal;
    if (isMinimized())
        state = TWindowState::Minimized;
    else if (isMaximized())
        state = TWindowState::Maximized;
    else
        settings_.Placement = {false, y(), x(), width(), height()};
    TIniFile32 ini(settingsFile_);
    lumo::WriteSettings(ini, settings_, state);
}

void THTTPForm::closeEvent(QCloseEvent* event) {
    WriteSettings();
    event->accept();
}

void THTTPForm::FormShow(const std::string& address) {
    if (!address.empty()) ShowAddress(address);
}

void THTTPForm::ShowAddress(const std::string& address) { UrlCombobox->SetText(address); }

void THTTPForm::TakeDroppedFile(const std::string& fileName) {
    if (fileName.empty()) return;
    ShowAddress(FileAddressOf(fileName));
    LastOpenFile = fileName;
}

void THTTPForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void THTTPForm::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        TakeDroppedFile(FromQString(url.toLocalFile()));
        break; // only the first dropped file is opened
    }
    event->acceptProposedAction();
}

void THTTPForm::Openfile1Click() {
    const std::string folder =
        LastOpenFile.empty() ? programFolder_ : AnsiName(NativePath(LastOpenFile).parent_path());
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("htm");
    dialog.setDirectory(ToQString(folder));
    dialog.setNameFilters({"html files (*.htm *.html)",
                           "image files (*.bmp *.gif *.jpg *.jpeg *.png)", "text files (*.txt)",
                           "all files (*)"});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const std::string fileName = FromQString(dialog.selectedFiles().first());
    ShowAddress(FileAddressOf(fileName));
    LastOpenFile = fileName;
}

void THTTPForm::Exit1Click() { close(); }

void THTTPForm::Proxy1Click() {
    TProxyForm dialog(this);
    dialog.SetValues(Proxy, ProxyPort);
    if (dialog.exec() != QDialog::Accepted) return;
    Proxy = dialog.Proxy();
    ProxyPort = dialog.Port();
}

void THTTPForm::DeleteCacheClick() { diskCache_->EraseAll(); }

void THTTPForm::RetainCache1Click() { settings_.RetainCache = RetainCache1->isChecked(); }

void THTTPForm::About1Click() {
    ShowMessage("Lumo 10\n\n"
                "A web browser for the pages of the late 1990s.\n"
                "Written by the Lumo team of Vora.\n"
                "Questions and reports: the Lumo developers, through the project's issue tracker.");
}

void THTTPForm::AppException(const std::exception& e) {
    if (dynamic_cast<const ESpecialException*>(&e)) {
        ShowMessage(e.what());
        Cancelled = false;
    } else {
        ShowErrorMessage(e.what());
    }
}

} // namespace lumo
