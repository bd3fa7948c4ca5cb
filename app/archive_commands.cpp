// Web archive files in the window: opening one, the connections that answer
// from it, and the option that lets what it lacks come from the live web.
#include "address/address.h"
#include "app/app_exceptions.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "net/archive_connection.h"
#include "net/file_connection.h"
#include "net/web_archive.h"
#include "platform/exception.h"

#include <QAction>

namespace lumo {

namespace {

bool IsWebAddress(std::string_view url) {
    const std::string scheme = SchemeOf(url);
    return scheme == "http" || scheme == "https";
}

// The archive file a file address names, or nothing.
std::optional<std::string> ArchiveFileOf(std::string_view url) {
    if (SchemeOf(url) != "file") return std::nullopt;
    std::optional<std::string> name = FileConnectionPath(url);
    if (!name || !IsArchiveFileName(*name)) return std::nullopt;
    return name;
}

} // namespace

void TMainWindow::OpenArchive(const std::string& fileName) {
    if (archive_ && archive_->FileName() == fileName) return;
    archive_ = std::make_shared<TWebArchive>(fileName, CacheDir() + "Archives");
    if (CloseArchive1) CloseArchive1->setEnabled(true);
}

void TMainWindow::CloseArchive() {
    archive_.reset();
    if (CloseArchive1) CloseArchive1->setEnabled(false);
    ShowCaption();
}

void TMainWindow::ForgetArchivePages() {
    if (archive_) archive_->ForgetPagesShown();
}

bool TMainWindow::ServedFromArchive(const std::string& url) const {
    if (ArchiveFileOf(url)) return true;
    if (!archive_ || !IsWebAddress(url)) return false;
    const bool live = LiveWeb1 && LiveWeb1->isChecked();
    return !live || archive_->Index().Find(url, 0) != nullptr;
}

std::unique_ptr<TURLConnection> TMainWindow::CreateConnection(const std::string& url) {
    if (const std::optional<std::string> file = ArchiveFileOf(url)) {
        try {
            OpenArchive(*file);
        } catch (const Exception& e) {
            throw ESpecialException(e.what());
        }
        return std::make_unique<TArchiveConnection>(archive_, FileAddressOf(*file));
    }
    if (ServedFromArchive(url))
        return std::make_unique<TArchiveConnection>(archive_, FileAddressOf(archive_->FileName()));
    return TURLConnection::CreateForURL(url);
}

} // namespace lumo
