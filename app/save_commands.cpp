// Saving from the page: the picture under the mouse, and the targets of
// download links, each under a file name the user chooses.
#include "address/address.h"
#include "app/download_dialog.h"
#include "app/main_window.h"
#include "net/disk_cache.h"
#include "net/url_connection.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/qt_text.h"
#include "platform/stream.h"

#include <QFileDialog>

#include <filesystem>
#include <system_error>

namespace lumo {

std::optional<std::string> TMainWindow::AskSaveFile(const std::string& name) {
    if (ChooseSaveFile) return ChooseSaveFile(cacheDir_, name);
    // Qt's dialog asks before an existing file is replaced.
    const QString chosen = QFileDialog::getSaveFileName(
        this, QString(), ToQFileName(cacheDir_ + name), "All Files (*)");
    if (chosen.isEmpty()) return std::nullopt;
    return FromQFileName(chosen);
}

void TMainWindow::SaveImageAsClick() {
    if (ImageURL.empty()) return;
    const auto fileName = AskSaveFile(LastSegmentOf(ImageURL));
    if (!fileName) return;
    // The cached copy as it was fetched, when the cache still has it.
    std::string cached;
    int kind = 0;
    if (!ServedFromArchive(ImageURL) && diskCache_->Lookup(ImageURL, cached, kind) &&
        FileExists(cached)) {
        std::error_code error;
        std::filesystem::copy_file(NativePath(cached), NativePath(*fileName),
                                   std::filesystem::copy_options::overwrite_existing, error);
        if (error) ShowErrorMessage("Cannot write " + *fileName);
        return;
    }
    // An archive's picture is saved as it was captured.
    auto connection = CreateConnection(ImageURL);
    if (!connection) return;
    UseProxies(*connection);
    TMemoryStream picture;
    connection->UseStream(&picture);
    try {
        connection->Get(ImageURL);
    } catch (const std::exception& e) {
        ShowErrorMessage(ServedFromArchive(ImageURL) ? e.what() : connection->ReasonPhrase());
        return;
    }
    if (!WriteFileAtomically(*fileName, picture.Bytes()))
        ShowErrorMessage("Cannot write " + *fileName);
}

void TMainWindow::DownloadFile() {
    const auto fileName = AskSaveFile(LastSegmentOf(DownloadURL));
    if (!fileName) return;
    TDownloadDialog form(this);
    form.FileName = *fileName;
    form.URL = DownloadURL;
    form.PrepareConnection = [this](TURLConnection& connection) { UseProxies(connection); };
    form.CreateConnection = [this](const std::string& url) { return CreateConnection(url); };
    form.exec();
}

} // namespace lumo
