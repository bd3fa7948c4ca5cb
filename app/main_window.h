// The main window: the application. It owns the frame browser that shows
// pages, the disk cache, the cookie store, the document connection, the
// address box, the menus, the toolbar and the status bar, and keeps the
// state files of the program folder. It is the navigation driver too: every
// document the frame browser shows is fetched here (GetPostRequest), from
// the disk cache or through a URL connection.
#pragma once

#include "app/settings.h"
#include "app/time_travel.h"
#include "net/content_kind.h"
#include "print/print_settings.h"
#include "tools/window_translator.h"

#include <QMainWindow>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QProgressBar;
class QToolButton;

namespace lumo {

class ExclusiveFileLock;
class MessageWindow;
class TCookieList;
class TDiskCache;
class TFindDialog;
class TFrameBrowser;
class TImageQueue;
class THTMLViewer;
class TBookmarkManager;
class TLookUpComboBox;
class TUnzipWindow;
class TMemoryStream;
class TPageSelection;
class TStream;
class TURLConnection;
class TWebArchive;
struct TRightClickParameters;

class TMainWindow : public QMainWindow {
public:
    // Window design values, used until the settings file says otherwise.
    static constexpr int DesignLeft = 100, DesignTop = 80, DesignWidth = 800, DesignHeight = 600;
    // The window's private messages.
    static constexpr unsigned MsgGetButton = 1024 + 124;   // load the address box's address
    static constexpr unsigned MsgDownload = 1024 + 125;    // download DownloadURL
    static constexpr unsigned MsgAbort = 1024 + 126;       // abort the document connection
    static constexpr unsigned MsgOpenPending = 1024 + 127; // load the address typed meanwhile

    explicit TMainWindow(QWidget* parent = nullptr); // creation: folders, settings, state files
    ~TMainWindow() override;                         // destruction: writes the state files

    // Takes the address given on the command line.
    void FormShow(const std::string& address);
    // Takes a local file dropped on the window.
    void TakeDroppedFile(const std::string& fileName);

    // --- Navigation (navigation_driver.cpp) ---------------------------------
    // Loads the address in the address box: a typed local path is a file,
    // any other text without a scheme a web address. Entered while a page is
    // being fetched, it is loaded when that fetch is over.
    void GetButtonClick();
    // Loads an address without reading the address box.
    void NavigateTo(const std::string& url);
    // The frame browser's request for a document: from the disk cache or
    // through a connection. Sender is the frame browser for a whole page, a
    // frame for a frame's document. Stream is DocStream, which the window keeps.
    void GetPostRequest(QWidget* Sender, bool IsGet, const std::string& URL,
                        const std::string& Query, bool Reload, std::string& NewURL,
                        TContentKind& DocType, TStream*& Stream);
    void HTTPHeaderData();
    void HTTPDocData1();
    void Processing(bool ProcessingOn);
    void HistoryChange();
    void HistoryItemClick(int index);
    void BackButtonClick();
    void FwdButtonClick();
    void ReloadClick();
    void CancelButtonClick();
    void SetBusy();
    void SetIdle();
    // Back to idle ("DONE") once nothing is loading any more.
    void CheckDone();
    // The gauge: Done of Total bytes; a Total below 0 is unknown.
    void ShowProgress(int64_t Done, int64_t Total);

    // --- Web archives (archive_commands.cpp) -----------------------------------
    // Opens an archive file (its index from the cache folder, or built
    // there); web addresses are then answered from it. Throws Exception.
    void OpenArchive(const std::string& fileName);
    void CloseArchive();
    // The next page takes the latest captures, as if no page had been shown.
    void ForgetArchivePages();
    // The open archive, or null.
    const TWebArchive* Archive() const { return archive_.get(); }
    // Whether the address is answered by the open archive (or is an archive
    // file's, which opens it): never from the disk cache nor kept in it.
    bool ServedFromArchive(const std::string& url) const;
    // The connection for an address: an archive's, or CreateForURL's.
    std::unique_ptr<TURLConnection> CreateConnection(const std::string& url);
    // "Fetch what the archive lacks from the live web": off unless the user turns it on.
    QAction* LiveWeb1 = nullptr;
    QAction* CloseArchive1 = nullptr;

    // --- Links and the pop-up menu (link_commands.cpp) -------------------------
    void HotSpotTargetCovered(const std::string& Target, const std::string& URL);
    void HotSpotTargetClick(const std::string& Target, const std::string& URL, bool& Handled);
    void BlankWindowRequest(const std::string& URL);
    void RightClick(THTMLViewer* Sender, const TRightClickParameters& Parameters);
    void OpenInNewWindowClick();
    void CopyLinkClick();

    // --- Saving (save_commands.cpp) --------------------------------------------
    // Saves the picture under the last right click: the cache's copy, or
    // fetched afresh.
    void SaveImageAsClick();
    // Asks for a file name and downloads DownloadURL into it.
    void DownloadFile();
    // The save dialog, replaceable by tests: given the folder it starts in
    // and the proposed name, the chosen file, or nothing.
    std::function<std::optional<std::string>(const std::string& folder, const std::string& name)>
        ChooseSaveFile;

    // --- Menu commands --------------------------------------------------------------
    void File1Click();
    void Edit1Click();
    void Openfile1Click();
    void Exit1Click();
    void Proxy1Click();
    void DeleteCacheClick();
    void RetainCache1Click();
    void About1Click();
    void Contents1Click();
    void SupportedTags1Click();
    void VoraFreeware1Click();
    void SearchWeb1Click();
    void HTMLHelp1Click();
    void Find1Click();
    void FindDialogFind();
    void Copy1Click();
    void SelectAll1Click();
    void Unzip1Click(); // shows the unzip window, made on first use

    // --- User tools (user_tools_commands.cpp) -----------------------------------
    void ManageBookmarks1Click();
    void SaveURLClick();       // the toolbar's "Bookmark": the page
    void BookmarkFrameClick(); // the toolbar's "Bookmark Frame": the frame in use
    // A bookmark chosen in the menu: shown, and put into the address box.
    void OpenBookmark(const std::string& address);
    void Fontandcolor1Click();
    // Every viewer takes the defaults, the settings file keeps them, and the
    // page is loaded again to show them.
    void SetBrowserDefaults(const TBrowserDefaults& defaults);
    void Language1Click();
    TWindowTranslator& Language() { return language_; }

    // Printing (print_commands.cpp). The settings hold for the run; the
    // active viewer (the frame that last had the focus, or the page's one
    // viewer) is the one printed.
    TPrintSettings PrintSettings;
    THTMLViewer* ActiveViewer() const;
    void Print1Click();
    void PrintPreviewClick();
    void Printsetttings1Click();
    void PrintHeader(THTMLViewer* Sender, Canvas& Canvas, int NumPage, int W, int H,
                     bool& StopPrinting);
    void PrintFooter(THTMLViewer* Sender, Canvas& Canvas, int NumPage, int W, int H,
                     bool& StopPrinting);
    // Prints the asked pages of the active viewer into a PDF file through
    // the same printing code; returns what went wrong, empty on success.
    std::string PrintToPdf(const std::string& fileName, const TPageSelection& pages);
    // The printer of the print commands, made on first use.
    QPrinter& Printer();
    // The print dialog, replaceable by tests: the pages to print, or nothing.
    std::function<std::optional<TPageSelection>(QPrinter& printer, int maxPage)> ChoosePrintPages;

    // Handles one of the window's private messages (posted to itself).
    // MsgAbort carries the serial of the connection it was posted for.
    long long Message(unsigned msg, uintptr_t wParam);

    // Whether the window is idle and its pages laid out and painted as they stand.
    bool PageShown() const;
    // Whether a document is being fetched (GetPostRequest has not returned).
    bool Fetching() const { return fetching_; }

    // The handler of exceptions that reach the event loop.
    void AppException(const std::exception& e);

    TDiskCache& DiskCache() { return *diskCache_; }
    TImageQueue& ImageQueue() { return *imageQueue_; }
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

    // --- https and time travel (security_commands.cpp) ---------------------------
    // The date and archive every fetch goes through while time travel is on;
    // the command line may set them for a run.
    TTimeTravel& TimeTravel() { return timeTravel_; }
    void TimeTravel1Click();
    void Security1Click();
    // The padlock: a page is secure while everything fetched for it (its
    // document, frames and pictures) came over https. A fetch of the page
    // itself starts the count afresh; subject is the certificate's, when known.
    void NoteFetchSecurity(const std::string& fetched, bool wholePage, const std::string& subject);
    bool PageSecure() const { return pageSecure_; }
    std::string LastOpenFile;
    std::string BaseURL;     // the folder of the address fetched last
    std::string RedirectURL; // where the last redirection of the fetch led
    std::string DownloadURL;
    std::string ImageURL; // the picture under the last right click
    std::string LinkURL;  // the link under the last right click
    std::string ContentTypeError;
    bool Reloading = false; // the fetches bypass the cache
    bool Cancelled = false; // Stop was pressed during the fetch
    int ImagesTotal = 0, ImagesDone = 0;

    // Components, named as the language files name them.
    TLookUpComboBox* UrlCombobox = nullptr;
    QLabel* Status1 = nullptr;
    QLabel* Status2 = nullptr;
    QLabel* Status3 = nullptr;
    QLabel* Padlock = nullptr; // shown while the page is secure
    QProgressBar* ProgressBar = nullptr;
    QProgressBar* BusyGauge = nullptr;
    TFrameBrowser* FrameBrowser = nullptr;
    TFindDialog* FindDialog = nullptr;
    QToolButton* BackButton = nullptr;
    QToolButton* FwdButton = nullptr;
    QToolButton* ReloadButton = nullptr;
    QToolButton* StopButton = nullptr;
    QToolButton* SearchButton = nullptr;
    QAction* RetainCache1 = nullptr;
    QAction* Find1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* SelectAll1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* PrintPreview = nullptr;
    QMenu* History1 = nullptr;
    std::vector<QAction*> HistoryItems;
    QMenu* PopupMenu = nullptr;
    QAction* SaveImageAs1 = nullptr;
    QAction* OpenInNewWindow1 = nullptr;
    QAction* CopyLink1 = nullptr;
    TUnzipWindow* UnzipWindow = nullptr;         // a child window of this one
    TBookmarkManager* BookmarkManager = nullptr; // a child window of this one

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateMenus();
    void CreateToolbar();
    void CreatePageArea();
    void CreateStatusBar();
    void CreatePopupMenu();
    void ConnectFrameBrowser();
    void LoadAddressFile();
    void SaveAddressFile();
    void ReadSettings();
    void WriteSettings();
    // The trusted certificates and time travel as the settings say.
    void ApplySecuritySettings();
    // What a failed fetch shows in its frame when it has a page of its own:
    // a refused certificate, or a page the archive does not hold.
    bool ShowFailurePage(const std::string& fetched, TContentKind& DocType);
    // The address the frame browser shows after a redirection to redirect
    // while fetching wanted: empty when it stays wanted.
    std::string ShownAddress(const std::string& redirect, const std::string& wanted) const;
    void ShowAddress(const std::string& address);
    // The page's title, and the open archive's name, in the caption.
    void ShowCaption();
    // Whether the user is in the address box: while so, loads leave its
    // text, its state and the focus alone.
    bool AddressBoxInUse() const;
    void OpenPendingAddress();
    void ApplyBrowserDefaults();
    void PrepareToPrint(THTMLViewer& viewer);
    void DrawPageBand(TPageBand band, THTMLViewer* viewer, Canvas& canvas, int page, int W);
    // Whether the Edit commands have something to act on.
    bool HasDocument() const;
    void StartNewWindow(const std::string& address);
    std::optional<std::string> AskSaveFile(const std::string& name);

    // The fetch (navigation_driver.cpp).
    // A page longer than the viewer reads is shown up to that length: the
    // status says so.
    void NoteOversizedPage();
    bool LoadFromCache(const std::string& key, TContentKind& kind);
    void Fetch(QWidget* Sender, bool IsGet, const std::string& address, const std::string& query,
               TContentKind& DocType, bool& failed);
    void PrepareConnection(const std::string& address);
    void FetchFailed(QWidget* Sender, const std::exception& e, TContentKind& DocType);
    void StoreInCache(const std::string& key, TContentKind kind, bool failed);
    void CreateUserTools();
    void CloseUserTools();

    std::string programFolder_;
    std::string cacheDir_;
    std::string settingsFile_;
    std::string bookmarkFile_;
    TSettings settings_;
    std::unique_ptr<TDiskCache> diskCache_;
    std::unique_ptr<TCookieList> cookies_;
    std::unique_ptr<ExclusiveFileLock> monitor_;
    std::unique_ptr<MessageWindow> messages_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<TMemoryStream> docStream_; // every fetched document goes through it
    std::unique_ptr<TURLConnection> connection_;
    uintptr_t connectionSerial_ = 0;  // tells an abort message whose connection it was for
    std::string responseAddress_;     // who sent the response being read
    std::string nextResponseAddress_; // who sends the next one after a redirection
    std::string pendingAddress_;      // entered during a fetch, loaded after it
    bool fetching_ = false;
    bool busy_ = false;
    std::string doneNote_; // what the status shows once the page is done
    TTimeTravel timeTravel_;
    std::string captureNote_; // the archived page's date, for the caption
    std::string fetchNote_;   // the capture date of the document being fetched
    bool pageSecure_ = false;
    // Shared with the connections answering from it.
    std::shared_ptr<TWebArchive> archive_;
    bool closing_ = false;
    TWindowTranslator language_;
    // Last, so it goes first: its jobs report to the window.
    std::unique_ptr<TImageQueue> imageQueue_;
};

} // namespace lumo
