// The main window: the application. It owns the page area, the disk cache,
// the cookie store, the address box, the menus, the toolbar and the status
// bar, and keeps the state files of the program folder.
#pragma once

#include "app/settings.h"

#include <QMainWindow>

#include <exception>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;

namespace lumo {

class ExclusiveFileLock;
class MessageWindow;
class TCookieList;
class TDiskCache;
class TFindDialog;
class THTMLViewer;
class TLookUpComboBox;
class TLumoUnzipF;
class TURLConnection;

class THTTPForm : public QMainWindow {
public:
    // Window design values, used until the settings file says otherwise.
    static constexpr int DesignLeft = 100, DesignTop = 80, DesignWidth = 800, DesignHeight = 600;

    explicit THTTPForm(QWidget* parent = nullptr); // creation: folders, settings, state files
    ~THTTPForm() override;                         // destruction: writes the state files

    // Takes the address given on the command line.
    void FormShow(const std::string& address);
    // Takes a local file dropped on the window.
    void TakeDroppedFile(const std::string& fileName);

    // Loads the address in the address box (a local file or a built-in page).
    void GetButtonClick();
    // Loads an address without reading the address box.
    void NavigateTo(const std::string& url);

    // Menu commands.
    void Openfile1Click();
    void Exit1Click();
    void Proxy1Click();
    void DeleteCacheClick();
    void RetainCache1Click();
    void About1Click();
    void Contents1Click();
    void Find1Click();
    void FindDialogFind();
    void Copy1Click();
    void SelectAll1Click();
    void BackButtonClick();
    void FwdButtonClick();
    void Unzip1Click(); // shows the unzip window, made on first use

    // Whether the page asked for last is laid out and painted as it stands.
    bool PageShown() const;

    // The handler of exceptions that reach the event loop.
    void AppException(const std::exception& e);

    TDiskCache& DiskCache() { return *diskCache_; }
    TCookieList& Cookies() { return *cookies_; }
    const std::string& ProgramFolder() const { return programFolder_; }
    const std::string& CacheDir() const { return cacheDir_; }
    const std::string& SettingsFile() const { return settingsFile_; }
    const std::string& BookmarkFile() const { return bookmarkFile_; }
    // Whether this copy of the program owns the cache folder and writes the
    // state files back at the end.
    bool LogOpen() const { return monitor_ != nullptr; }
    bool RetainCache() const { return settings_.RetainCache; }
    const TBrowserDefaults& BrowserDefaults() const { return settings_.Browser; }

    std::string Proxy;
    std::string ProxyPort = "80";
    // The SOCKS server, kept in the settings file.
    const TSocksSettings& Socks() const { return settings_.Socks; }
    void SetSocks(const TSocksSettings& socks) { settings_.Socks = socks; }
    // Gives a connection the HTTP proxy and the SOCKS server; every
    // connection the window makes is given them here.
    void UseProxies(TURLConnection& connection) const;
    std::string LastOpenFile;
    bool Cancelled = false;

    // Components, named as the language files name them.
    TLookUpComboBox* UrlCombobox = nullptr;
    QLabel* Status1 = nullptr;
    QLabel* Status2 = nullptr;
    QLabel* Status3 = nullptr;
    QProgressBar* ProgressBar = nullptr;
    // The page area. Until the frame browser takes its place it is one
    // viewer, used only through Viewer and the commands above.
    QWidget* FrameBrowser = nullptr;
    THTMLViewer* Viewer = nullptr;
    TFindDialog* FindDialog = nullptr;
    QToolButton* BackButton = nullptr;
    QToolButton* FwdButton = nullptr;
    QAction* RetainCache1 = nullptr;
    QMenu* History1 = nullptr;
    TLumoUnzipF* UnzipForm = nullptr; // a child window of this one

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateMenus();
    void CreateToolbar();
    void CreatePageArea();
    void CreateStatusBar();
    void LoadAddressFile();
    void SaveAddressFile();
    void ReadSettings();
    void WriteSettings();
    void ShowAddress(const std::string& address);
    void LoadPage(const std::string& address);
    void ApplyBrowserDefaults();
    void HotSpotCovered(const std::string& url);
    void HistoryChange();

    std::string programFolder_;
    std::string cacheDir_;
    std::string settingsFile_;
    std::string bookmarkFile_;
    TSettings settings_;
    std::unique_ptr<TDiskCache> diskCache_;
    std::unique_ptr<TCookieList> cookies_;
    std::unique_ptr<ExclusiveFileLock> monitor_;
    std::unique_ptr<MessageWindow> messages_;
    bool loading_ = false;
};

} // namespace lumo
