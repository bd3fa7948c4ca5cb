#include "app/download_dialog.h"

#include "net/url_connection.h"
#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/qt_text.h"
#include "platform/stream.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace lumo {

namespace {

// The texts are updated at most this often: a fast transfer is not slowed
// by painting.
constexpr int64_t UpdateInterval = 100;

// "%4.1f" whatever the locale says about decimal points.
std::string Rate(double rate) {
    char digits[32];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, rate, std::chars_format::fixed, 1);
    std::string text(digits, end.ptr);
    if (text.size() < 4) text.insert(0, 4 - text.size(), ' ');
    return text;
}

std::string Clock(int64_t seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds % 3600 / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

} // namespace

TDownloadProgress DownloadProgress(int64_t Received, int64_t Length, int64_t Elapsed) {
    TDownloadProgress progress;
    const double rate =
        Elapsed > 0 ? static_cast<double>(Received) / static_cast<double>(Elapsed) : 0;
    const std::string total = Length < 0 ? std::string("?") : std::to_string(Length / 1024);
    progress.Status =
        std::to_string(Received / 1024) + "k of " + total + "k (at " + Rate(rate) + "k/sec)";
    // Whole elapsed seconds, as the rate so far predicts the rest; nothing to
    // go by before the first byte or without a length.
    if (Length < 0 || Received <= 0) {
        progress.TimeLeft = "--:--:--";
        return progress;
    }
    const __int128 remaining = std::max<int64_t>(Length - Received, 0);
    const auto left = static_cast<int64_t>(remaining * (Elapsed / 1000) / Received);
    progress.TimeLeft = Clock(left);
    return progress;
}

std::string PartialFileName(const std::string& fileName) {
    return fileName + ".partial";
}

TDownloadDialog::TDownloadDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("DownLoadForm");
    setWindowTitle("DownLoad");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    auto* grid = new QGridLayout(this);
    Status = new QLabel(this);
    Status->setObjectName("Status");
    Status->setFixedWidth(220);
    TimeLeft = new QLabel(this);
    TimeLeft->setObjectName("TimeLeft");
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->setObjectName("CancelButton");
    grid->addWidget(new QLabel("Status:", this), 0, 0);
    grid->addWidget(Status, 0, 1);
    grid->addWidget(new QLabel("Time Left:", this), 1, 0);
    grid->addWidget(TimeLeft, 1, 1);
    grid->addWidget(CancelButton, 2, 0, 1, 2, Qt::AlignHCenter);
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
}

TDownloadDialog::~TDownloadDialog() = default;

void TDownloadDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    // Once the window is on screen and its modal loop runs.
    QMetaObject::invokeMethod(
        this, [this] { DoDownload(); }, Qt::QueuedConnection);
}

void TDownloadDialog::reject() {
    if (connection_) return CancelButtonClick(); // the window closes when the fetch has ended
    started_ = true;                             // a download not yet begun never begins
    QDialog::reject();
}

void TDownloadDialog::CancelButtonClick() {
    if (connection_) connection_->Abort();
}

void TDownloadDialog::DoDownload() {
    if (!isVisible()) return;
    BytesReceived = 0;
    ContentLength = -1;
    succeeded_ = false;
    std::unique_ptr<TFileStream> file;
    try {
        file = std::make_unique<TFileStream>(PartialFileName(FileName), TFileStream::Mode::Create);
    } catch (const Exception& e) {
        ShowErrorMessage(e.what());
        return done(QDialog::Rejected);
    }
    std::string failure = Fetch(*file);
    file.reset();
    // What the last buffer's write lost shows in the size on disk.
    std::error_code error;
    const auto written = std::filesystem::file_size(NativePath(PartialFileName(FileName)), error);
    if (failure.empty() && (error || static_cast<int64_t>(written) != BytesReceived))
        failure = "Cannot write " + PartialFileName(FileName);
    if (failure.empty()) {
        std::filesystem::rename(NativePath(PartialFileName(FileName)), NativePath(FileName), error);
        if (error) failure = "Cannot write " + FileName;
    }
    Finish(failure);
}

std::string TDownloadDialog::Fetch(TFileStream& file) {
    connection_ = CreateConnection ? CreateConnection(URL) : TURLConnection::CreateForURL(URL);
    if (!connection_) return "Cannot download " + URL;
    if (PrepareConnection) PrepareConnection(*connection_);
    connection_->UseStream(&file);
    connection_->OnHeaderBegin = [this](TURLConnection&) { startTime_ = TickCount(); };
    connection_->OnDocBegin = [this](TURLConnection&) {
        ContentLength = connection_->ContentLength();
        documentStatus_ = connection_->StatusCode();
    };
    connection_->OnDocData = [this](TURLConnection&, const char*, int Len) {
        DownloadDocData(Len);
    };
    std::string failure;
    try {
        connection_->Get(URL);
    } catch (const std::exception&) {
        failure = connection_->ReasonPhrase();
        if (failure.empty()) failure = "Download failed";
    }
    connection_.reset();
    return failure;
}

void TDownloadDialog::DownloadDocData(int Len) {
    BytesReceived += Len;
    if (TickCount() - lastShown_ >= UpdateInterval || BytesReceived == ContentLength)
        ShowProgress();
}

void TDownloadDialog::ShowProgress() {
    const int64_t now = TickCount();
    lastShown_ = now;
    const int64_t elapsed = now - startTime_;
    if (elapsed <= 0) return;
    const TDownloadProgress progress = DownloadProgress(BytesReceived, ContentLength, elapsed);
    Status->setText(ToQString(progress.Status));
    TimeLeft->setText(ToQString(progress.TimeLeft));
}

// A failure keeps the part of the document that came under its own name,
// never under the chosen one; an error page or an empty file is removed.
void TDownloadDialog::Finish(const std::string& failure) {
    succeeded_ = failure.empty();
    if (!succeeded_) {
        const std::string partial = PartialFileName(FileName);
        const bool keep = documentStatus_ >= 200 && documentStatus_ < 300 && BytesReceived > 0;
        if (!keep) RemoveFile(partial);
        ShowErrorMessage(failure + "\n" +
                         (keep ? "The part received is kept in " + partial + "."
                               : FileName + " was not saved."));
    }
    done(succeeded_ ? QDialog::Accepted : QDialog::Rejected);
}

} // namespace lumo
