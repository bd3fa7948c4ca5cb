// The navigation driver: from an address to a document handed to the frame
// browser, from the disk cache or through a connection, and the toolbar,
// status bar, History menu and caption kept in step with it.
#include "address/address.h"
#include "app/app_exceptions.h"
#include "app/command_line.h"
#include "app/image_queue.h"
#include "app/lookup_combo_box.h"
#include "app/main_window.h"
#include "app/response_rules.h"
#include "builder/document_builder.h"
#include "frames/frame_browser.h"
#include "frames/page_frame_set.h"
#include "net/cookie_list.h"
#include "net/disk_cache.h"
#include "net/file_connection.h"
#include "net/http_connection.h"
#include "net/web_archive.h"
#include "platform/file_system.h"
#include "platform/message_window.h"
#include "platform/qt_text.h"
#include "platform/stream.h"
#include "platform/text.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace lumo {

namespace {

constexpr size_t HistoryCaptionLength = 80;

// The part of an HTTP response whose status says it leads elsewhere.
bool IsRedirection(int status) {
    return status >= 300 && status < 400;
}

// A menu caption shows "&" as it stands.
QString MenuText(QString text) {
    return text.replace('&', "&&");
}

// Holds the fetch flag for the life of a fetch, however it ends.
class FetchScope {
public:
    explicit FetchScope(bool& flag) : flag_(flag) {
        if (flag_) throw ESpecialException("A page is already being fetched");
        flag_ = true;
    }
    ~FetchScope() { flag_ = false; }
    FetchScope(const FetchScope&) = delete;
    FetchScope& operator=(const FetchScope&) = delete;

private:
    bool& flag_;
};

} // namespace

// --- From the address box to the frame browser ----------------------------------------

void TMainWindow::GetButtonClick() {
    const std::string text(Trim(UrlCombobox->Text()));
    if (text.empty()) return;
    // The typing is over: the box is the window's to keep in step again.
    FrameBrowser->setFocus();
    if (FrameBrowser->Processing() && !FrameBrowser->Printing()) {
        // Typed while a page is being fetched: it is loaded once that is in.
        pendingAddress_ = TypedAddress(text);
        return;
    }
    NavigateTo(TypedAddress(text));
}

void TMainWindow::OpenPendingAddress() {
    if (pendingAddress_.empty() || FrameBrowser->Processing()) return;
    NavigateTo(std::exchange(pendingAddress_, {}));
}

bool TMainWindow::AddressBoxInUse() const {
    return UrlCombobox->hasFocus() || UrlCombobox->lineEdit()->hasFocus();
}

void TMainWindow::NavigateTo(const std::string& url) {
    // The page being printed or previewed stays until the job is done.
    if (FrameBrowser->Printing()) return;
    BaseURL = DirectoryOf(url);
    SetBusy();
    Status1->clear();
    Status2->clear();
    doneNote_.clear();
    FrameBrowser->OpenAddress(url);
    Reloading = false;
    imageQueue_->StartImageJobs();
    CheckDone();
    FrameBrowser->setFocus();
}

// --- The fetch ---------------------------------------------------------------------------------

void TMainWindow::GetPostRequest(QWidget* Sender, bool IsGet, const std::string& URL,
                                 const std::string& Query, bool Reload, std::string& NewURL,
                                 TContentKind& DocType, TStream*& Stream) {
    const FetchScope fetching(fetching_);
    if (closing_) throw ESpecialException("Abort on user request");
    Status1->clear();
    Status2->clear();
    ContentTypeError.clear();
    Cancelled = false;
    ImagesTotal = ImagesDone = 0;
    ShowProgress(0, 0);
    ProgressBar->show();
    const std::string address = CompleteAddress(URL);
    BaseURL = DirectoryOf(address);
    SetBusy();
    RedirectURL.clear();
    docStream_->Clear();
    docStream_->Charset.clear();
    // A query of a GET is part of what is fetched and cached; the answer to
    // a POST is never taken from the cache nor kept in it. While time
    // travelling a GET goes to the archive and is cached under its address;
    // an open archive file answers for itself, and its captures never mix
    // with the live web's copies.
    const std::string wanted = IsGet && !Query.empty() ? address + "?" + Query : address;
    const bool fromArchive = ServedFromArchive(address);
    const std::string fetched = IsGet && !fromArchive ? timeTravel_.FetchAddress(wanted) : wanted;
    const bool cached = IsGet && !fromArchive;
    const bool topPage = Sender == FrameBrowser;
    fetchNote_.clear();
    if (topPage) captureNote_.clear();
    bool failed = false;
    if (Reloading || Reload) {
        diskCache_->Remove(fetched);
        DocType = ckHTML;
    } else if (cached && LoadFromCache(fetched, DocType)) {
        NoteOversizedPage();
        NoteFetchSecurity(fetched, topPage, {});
        NewURL.clear();
        Stream = docStream_.get();
        return;
    }
    connection_.reset();
    connection_ = CreateConnection(fromArchive ? address : fetched);
    ++connectionSerial_;
    if (!connection_) {
        const std::string message = "Unsupported protocol: " + SchemeOf(address);
        if (Sender == FrameBrowser) throw ESpecialException(message);
        docStream_->Write(message);
    } else {
        Fetch(Sender, IsGet, IsGet ? fetched : address, IsGet ? std::string() : Query, DocType,
              failed);
        Status1->setText(ToQString("Received " + std::to_string(docStream_->Size()) + " bytes"));
        NoteOversizedPage();
        // A redirected page is kept under the address it came from.
        if (cached) StoreInCache(RedirectURL.empty() ? fetched : RedirectURL, DocType, failed);
    }
    NewURL = ShownAddress(RedirectURL, wanted);
    if (!fetchNote_.empty() && topPage) captureNote_ = doneNote_ = fetchNote_;
    Stream = docStream_.get();
}

// A redirection within the archive (to the nearest capture) leads to the
// original address of the capture, which is all the window shows.
std::string TMainWindow::ShownAddress(const std::string& redirect,
                                      const std::string& wanted) const {
    if (redirect.empty()) return {};
    const std::optional<std::string> original = timeTravel_.OriginalOf(redirect);
    if (!original) return redirect;
    return *original == wanted ? std::string() : *original;
}

void TMainWindow::NoteOversizedPage() {
    const int64_t size = docStream_->Size();
    if (size <= static_cast<int64_t>(MaxDocumentSize)) return;
    Status1->setText(ToQString("Showing the first " + std::to_string(MaxDocumentSize >> 20) +
                               " MB of " + std::to_string(size) + " bytes"));
}

bool TMainWindow::LoadFromCache(const std::string& key, TContentKind& kind) {
    std::string fileName;
    int stored = ckHTML;
    if (!diskCache_->Lookup(key, fileName, stored, &docStream_->Charset)) {
        kind = ckHTML;
        return false;
    }
    kind = stored >= ckHTML && stored <= ckImage ? static_cast<TContentKind>(stored) : ckHTML;
    std::optional<std::string> bytes = ReadWholeFile(fileName, TFileConnection::MaxFileSize);
    if (!bytes) return false;
    docStream_->Assign(std::move(*bytes));
    return true;
}

void TMainWindow::StoreInCache(const std::string& key, TContentKind kind, bool failed) {
    // A copy that cannot be written is only a copy the next visit lacks.
    if (failed)
        diskCache_->Add(key, kind, true);
    else
        diskCache_->Store(key, kind, docStream_->Bytes(), docStream_->Charset);
}

void TMainWindow::PrepareConnection(const std::string& address) {
    TURLConnection& c = *connection_;
    c.UseStream(docStream_.get());
    c.Cookie = cookies_->CookieHeaderFor(address);
    // A redirection takes the cookies of where it leads, including one the
    // redirecting answer itself has just set.
    c.OnCookieRequest = [this](TURLConnection&, const std::string& url, std::string& cookie) {
        cookie = cookies_->CookieHeaderFor(url);
    };
    responseAddress_ = nextResponseAddress_ = address;
    c.OnHeaderBegin = [this](TURLConnection&) { responseAddress_ = nextResponseAddress_; };
    c.OnHeaderData = [this](TURLConnection&) { HTTPHeaderData(); };
    c.OnDocData = [this](TURLConnection&, const char*, int) { HTTPDocData1(); };
    UseProxies(c);
}

void TMainWindow::Fetch(QWidget* Sender, bool IsGet, const std::string& address,
                        const std::string& query, TContentKind& DocType, bool& failed) {
    PrepareConnection(IsGet && !query.empty() ? address + "?" + query : address);
    if (dynamic_cast<THTTPConnection*>(connection_.get())) Status1->setText("Connecting");
    try {
        if (IsGet) {
            connection_->Get(query.empty() ? address : address + "?" + query);
        } else {
            TMemoryStream post;
            post.Write(query);
            post.Seek(0);
            connection_->PostStream = &post;
            connection_->ContentTypePost = "application/x-www-form-urlencoded";
            try {
                connection_->Post(address);
            } catch (...) {
                connection_->PostStream = nullptr;
                throw;
            }
            connection_->PostStream = nullptr;
        }
        DocType = connection_->ContentKind();
        docStream_->Charset = connection_->ContentCharset();
        // A short answer can end before the posted abort arrives.
        if (!ContentTypeError.empty()) throw EContentTypeError(ContentTypeError);
    } catch (const EContentTypeError&) {
        connection_.reset();
        throw;
    } catch (const std::exception& e) {
        failed = true;
        if (ShowFailurePage(address, DocType))
            return NoteFetchSecurity({}, Sender == FrameBrowser, {});
        FetchFailed(Sender, e, DocType);
    }
    if (auto* http = dynamic_cast<THTTPConnection*>(connection_.get()))
        NoteFetchSecurity(http->Client().Location(), Sender == FrameBrowser,
                          http->Client().PeerSubject());
}

void TMainWindow::FetchFailed(QWidget* Sender, const std::exception& e, TContentKind& DocType) {
    // The connection goes whatever happens next.
    const std::unique_ptr<TURLConnection> connection = std::move(connection_);
    if (!ContentTypeError.empty()) throw EContentTypeError(ContentTypeError);
    if (Cancelled) throw ESpecialException("Abort on user request");
    if (Sender == FrameBrowser) throw ESpecialException(e.what());
    // A frame shows what went wrong as its document.
    if (dynamic_cast<THTTPConnection*>(connection.get())) {
        if (docStream_->Size() == 0)
            docStream_->Write(connection->ReasonPhrase() +
                              "<p>Statuscode: " + std::to_string(connection->StatusCode()));
        DocType = ckHTML;
    } else {
        docStream_->Assign(e.what());
    }
}

void TMainWindow::HTTPHeaderData() {
    if (!connection_) return;
    const THeaderLine line = ReadHeaderLine(connection_->LastLine());
    switch (line.Field) {
    case THeaderField::Location:
        RedirectURL = ResolveLocation(responseAddress_, line.Value);
        BaseURL = DirectoryOf(RedirectURL);
        nextResponseAddress_ = RedirectURL;
        break;
    case THeaderField::SetCookie:
        // Stored for the server that sent it, even when it also redirects.
        cookies_->StoreSetCookie(responseAddress_, line.RawValue);
        break;
    case THeaderField::ContentType:
        if (IsRedirection(connection_->StatusCode()) || CanShowContentType(line.Value)) break;
        ContentTypeError = ContentTypeMessage(line.Value);
        // The connection is inside its own event: it is aborted from the
        // event loop, and only if it is still the one this came from.
        messages_->Post(MsgAbort, connectionSerial_);
        break;
    case THeaderField::MementoDatetime: fetchNote_ = timeTravel_.CaptureNote(line.Value); break;
    case THeaderField::Other: break;
    }
}

void TMainWindow::HTTPDocData1() {
    if (!connection_) return;
    const int64_t received = connection_->ReceivedBytes();
    Status1->setText(ToQString("Text: " + std::to_string(received) + " bytes"));
    ShowProgress(received, connection_->ContentLength());
}

void TMainWindow::ShowProgress(int64_t Done, int64_t Total) {
    if (Total < 0) {
        if (ProgressBar->maximum() != 0) ProgressBar->setRange(0, 0); // unknown: the bar runs
        return;
    }
    const int position =
        Total == 0 ? 0 : static_cast<int>(std::clamp<int64_t>(Done * 100 / Total, 0, 100));
    if (ProgressBar->maximum() != 100) ProgressBar->setRange(0, 100);
    if (ProgressBar->value() == position) return;
    ProgressBar->setValue(position);
    ProgressBar->repaint();
}

// --- Busy and idle -------------------------------------------------------------------------------

void TMainWindow::SetBusy() {
    busy_ = true;
    // A user typing in the box keeps it, and its focus.
    if (!AddressBoxInUse()) UrlCombobox->setEnabled(false);
    StopButton->setEnabled(true);
    ReloadButton->setEnabled(false);
    BusyGauge->show();
    ProgressBar->show();
}

void TMainWindow::SetIdle() {
    busy_ = false;
    UrlCombobox->setEnabled(true);
    StopButton->setEnabled(false);
    ReloadButton->setEnabled(true);
    Reloading = false;
    BusyGauge->hide();
    ProgressBar->hide();
}

void TMainWindow::CheckDone() {
    if (FrameBrowser->Processing()) return;
    if (connection_ && connection_->State() >= 2) return; // connected or later
    if (!imageQueue_->Idle()) return;                     // pictures still to come or to insert
    SetIdle();
    Status2->setText("DONE");
    // Said after the fetches, whose byte counts would hide it.
    if (!doneNote_.empty()) Status1->setText(ToQString(doneNote_));
    doneNote_.clear();
}

void TMainWindow::Processing(bool ProcessingOn) {
    if (ProcessingOn) {
        FwdButton->setEnabled(false);
        BackButton->setEnabled(false);
        ReloadButton->setEnabled(false);
        return;
    }
    FwdButton->setEnabled(FrameBrowser->FwdButtonEnabled());
    BackButton->setEnabled(FrameBrowser->BackButtonEnabled());
    ReloadButton->setEnabled(!FrameBrowser->CurrentAddress().empty());
    // The page is built: its bytes are not read again (a reload fetches or
    // takes them from the cache), so they do not stay beside the document.
    docStream_->Clear();
    CheckDone();
    // From the event loop: this runs inside the frame browser's load.
    if (!pendingAddress_.empty()) messages_->Post(MsgOpenPending);
}

// --- Toolbar and the History menu
// ------------------------------------------------------------------

void TMainWindow::CancelButtonClick() {
    Cancelled = true;
    if (connection_) connection_->Abort();
    imageQueue_->ClearImageQueues();
    CheckDone();
}

void TMainWindow::ReloadClick() {
    ReloadButton->setEnabled(false);
    Reloading = true;
    if (TPageFrameSet* shown = FrameBrowser->ShownFrameSet())
        for (THTMLViewer* viewer : shown->Viewers())
            viewer->ForgetPicturesOnNextLoad();
    {
        const TReturnToShownScope again(archive_);
        FrameBrowser->Reload();
    }
    ReloadButton->setEnabled(true);
    FrameBrowser->setFocus();
}

void TMainWindow::BackButtonClick() {
    {
        const TReturnToShownScope again(archive_);
        FrameBrowser->StepBack();
    }
    CheckDone();
}

void TMainWindow::FwdButtonClick() {
    {
        const TReturnToShownScope again(archive_);
        FrameBrowser->StepForward();
    }
    CheckDone();
}

void TMainWindow::HistoryChange() {
    FwdButton->setEnabled(FrameBrowser->FwdButtonEnabled());
    BackButton->setEnabled(FrameBrowser->BackButtonEnabled());
    const std::vector<TPageHistoryEntry>& history = FrameBrowser->History();
    History1->menuAction()->setVisible(!history.empty());
    for (size_t i = 0; i < HistoryItems.size(); ++i) {
        QAction* item = HistoryItems[i];
        if (i >= history.size()) {
            item->setVisible(false);
            continue;
        }
        QString caption = ToQString(history[i].Address.substr(0, HistoryCaptionLength));
        if (!history[i].Title.isEmpty())
            caption = (caption + "--" + history[i].Title).left(HistoryCaptionLength);
        item->setText(MenuText(caption));
        item->setVisible(true);
        item->setCheckable(true);
        item->setChecked(static_cast<int>(i) == FrameBrowser->HistoryPos());
    }
    ShowCaption();
    // The box shows the page's own address, after redirections too, unless
    // the user is typing in it or has typed the address that comes next.
    if (AddressBoxInUse() || !pendingAddress_.empty()) return;
    if (!FrameBrowser->CurrentAddress().empty()) ShowAddress(FrameBrowser->CurrentAddress());
    FrameBrowser->setFocus();
}

void TMainWindow::ShowCaption() {
    const QString& title = FrameBrowser->PageTitle();
    QString caption = title.isEmpty() ? QString("Lumo 10") : title;
    if (!captureNote_.empty()) caption += " (" + ToQString(captureNote_) + ")";
    if (archive_) caption += " - " + ToQString(archive_->Name());
    setWindowTitle(caption);
}

void TMainWindow::HistoryItemClick(int index) {
    const std::vector<TPageHistoryEntry>& history = FrameBrowser->History();
    if (index < 0 || index >= static_cast<int>(history.size())) return;
    BaseURL = DirectoryOf(history[static_cast<size_t>(index)].Address);
    const TReturnToShownScope again(archive_);
    FrameBrowser->SetHistoryPos(index);
}

bool TMainWindow::PageShown() const {
    if (busy_ || FrameBrowser->Processing()) return false;
    for (int i = 0; i < FrameBrowser->GetViewerCount(); ++i) {
        const THTMLViewer* viewer = FrameBrowser->GetViewer(i);
        const QWidget* panel = viewer->PaintPanel();
        const bool visible = viewer->isVisible() && panel->width() > 0 && panel->height() > 0;
        if (visible && !viewer->LaidOutAndPainted()) return false;
    }
    return true;
}

} // namespace lumo
