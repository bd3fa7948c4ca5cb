#include "net/archive_connection.h"

#include "address/address.h"
#include "net/archive_address.h"
#include "net/file_connection.h"
#include "net/web_archive.h"
#include "platform/exception.h"
#include "platform/stream.h"
#include "platform/text.h"

namespace lumo {

namespace {

// The value of a query's parameter, its escapes and "+" decoded.
std::string QueryValue(std::string_view query, std::string_view name) {
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string_view::npos) end = query.size();
        const std::string_view parameter = query.substr(start, end - start);
        if (parameter.starts_with(name) && parameter.substr(name.size()).starts_with("=")) {
            std::string value(parameter.substr(name.size() + 1));
            std::replace(value.begin(), value.end(), '+', ' ');
            DecodePercents(value);
            return value;
        }
        start = end + 1;
    }
    return {};
}

} // namespace

bool IsArchiveAddress(std::string_view url, const std::string& archiveFile) {
    if (SchemeOf(url) != "file") return false;
    const std::optional<std::string> name = FileConnectionPath(url);
    return name && *name == archiveFile;
}

TArchiveConnection::TArchiveConnection(std::shared_ptr<TWebArchive> archive,
                                       std::string selfAddress)
    : archive_(std::move(archive)), selfAddress_(std::move(selfAddress)) {}

void TArchiveConnection::Get(const std::string& url) {
    EnsureContentStream();
    contentStream_->Clear();
    try {
        Serve(url);
    } catch (const std::exception&) {
        FireRequestDone(1);
        throw;
    }
    statusCode_ = 200;
    reasonPhrase_ = "OK";
    contentLength_ = contentStream_->Size();
    FireRequestDone(0);
}

void TArchiveConnection::Serve(const std::string& url) {
    if (IsArchiveAddress(url, archive_->FileName())) {
        const size_t question = url.find('?');
        const std::string_view query = question == std::string::npos
                                           ? std::string_view()
                                           : std::string_view(url).substr(question + 1);
        TRecordPlace place;
        if (!ParsePlaceText(QueryValue(query, "capture"), place)) return ServeIndex(query);
        const TArchiveEntry* entry = archive_->Index().AtPlace(place);
        if (!entry) throw Exception("Not in this archive: " + url);
        // The page keeps the address it was captured under.
        TellHeader("Location: " + entry->Address);
        return ServeCapture(entry->Address, entry);
    }
    ServeCapture(url, CaptureFor(url, archive_->PageDate, TRedirects::Take));
}

const TArchiveEntry* TArchiveConnection::CaptureFor(const std::string& address, uint64_t date,
                                                    TRedirects redirects) const {
    if (archive_->ReturningToShown)
        if (const TArchiveEntry* shown = archive_->ShownCapture(address)) return shown;
    return archive_->Index().Find(address, date, redirects);
}

void TArchiveConnection::ServeIndex(std::string_view query) {
    contentStream_->Write(archive_->IndexPage(selfAddress_, QueryValue(query, "filter")));
    contentKind_ = ckHTML;
    charset_.clear();
}

void TArchiveConnection::ServeCapture(std::string address, const TArchiveEntry* entry) {
    for (int hop = 0; entry; ++hop) {
        TCapturedDocument document = archive_->Read(*entry);
        const bool redirection = document.Status >= 300 && document.Status < 400;
        if (!redirection || document.Location.empty()) {
            // Told as a server tells it, so that a type the window cannot
            // show is refused as it is over http.
            if (!document.ContentType.empty()) TellHeader("Content-Type: " + document.ContentType);
            contentStream_->Write(document.Body);
            contentKind_ = KindOfContentType(document.ContentType);
            charset_ = ContentTypeCharset(document.ContentType);
            if (contentKind_ == ckHTML) {
                archive_->PageDate = entry->Date;
                archive_->NoteShown(address, *entry);
            }
            return;
        }
        if (hop == MaxRedirections) throw Exception("Too many redirections at " + address);
        const std::string next = ResolveLocation(address, document.Location);
        TellHeader("Location: " + next);
        // A redirection to the same document written another way (to "www.",
        // to https) leads to a capture that is no redirection.
        const TRedirects redirects =
            ArchiveKey(next) == ArchiveKey(address) ? TRedirects::Avoid : TRedirects::Take;
        entry = CaptureFor(next, entry->Date, redirects);
        address = next;
    }
    throw Exception("Not in this archive: " + address);
}

void TArchiveConnection::TellHeader(std::string line) {
    lastLine_ = std::move(line);
    if (const auto begin = OnHeaderBegin) begin(*this);
    if (const auto data = OnHeaderData) data(*this);
}

} // namespace lumo
