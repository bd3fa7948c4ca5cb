// The download window: fetches one address into a file while it shows the
// amount received, the rate and the time left, and cancels on request. The
// body goes straight to disk, never whole into memory. While the transfer
// runs the file is "<name>.partial"; it takes the chosen name only when the
// whole document has arrived and is on disk. A failed or cancelled download
// keeps what came under the ".partial" name and says so.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QPushButton;

namespace lumo {

class TFileStream;
class TURLConnection;

// The two progress texts for Received of Length bytes (Length below 0:
// unknown) after Elapsed milliseconds.
struct TDownloadProgress {
    std::string Status;
    std::string TimeLeft;
};
TDownloadProgress DownloadProgress(int64_t Received, int64_t Length, int64_t Elapsed);

// The name a download is written under until it is complete.
std::string PartialFileName(const std::string& fileName);

class TDownloadDialog : public QDialog {
public:
    explicit TDownloadDialog(QWidget* parent = nullptr);
    ~TDownloadDialog() override;

    std::string URL;
    std::string FileName;
    // Gives the connection the proxies before the fetch.
    std::function<void(TURLConnection&)> PrepareConnection;
    // Makes the connection for the address; CreateForURL when not set.
    std::function<std::unique_ptr<TURLConnection>(const std::string& url)> CreateConnection;

    int64_t BytesReceived = 0;
    int64_t ContentLength = -1;
    // Whether the last download ended with the whole document in FileName.
    bool Succeeded() const { return succeeded_; }

    QLabel* Status = nullptr;
    QLabel* TimeLeft = nullptr;
    QPushButton* CancelButton = nullptr;

    void CancelButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    // Escape and the close box cancel the transfer instead of hiding the
    // window while it goes on.
    void reject() override;

private:
    void DoDownload();
    // Fetches into the open file; the failure's reason, empty on success.
    std::string Fetch(TFileStream& file);
    void DownloadDocData(int Len);
    void ShowProgress();
    void Finish(const std::string& failure);

    std::unique_ptr<TURLConnection> connection_;
    int64_t startTime_ = 0;  // when the response header began
    int64_t lastShown_ = -1; // when the texts were last updated
    int documentStatus_ = 0; // the status the document came with
    bool started_ = false;
    bool succeeded_ = false;
};

} // namespace lumo
