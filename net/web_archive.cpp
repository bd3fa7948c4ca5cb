#include "net/web_archive.h"

#include "net/archive_address.h"
#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdio>

namespace lumo {

namespace {

// Text shown in a page: the characters markup would take as its own are escaped.
std::string HtmlText(std::string_view text) {
    std::string html;
    for (char c : text) {
        switch (c) {
        case '&': html += "&amp;"; break;
        case '<': html += "&lt;"; break;
        case '>': html += "&gt;"; break;
        case '"': html += "&quot;"; break;
        default: html += c;
        }
    }
    return html;
}

// "2026-12-07 11:35:21".
std::string DateText(uint64_t date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04llu-%02llu-%02llu %02llu:%02llu:%02llu",
                  static_cast<unsigned long long>(date / 10000000000),
                  static_cast<unsigned long long>(date / 100000000 % 100),
                  static_cast<unsigned long long>(date / 1000000 % 100),
                  static_cast<unsigned long long>(date / 10000 % 100),
                  static_cast<unsigned long long>(date / 100 % 100),
                  static_cast<unsigned long long>(date % 100));
    return text;
}

bool IsListedPage(const TArchiveEntry& entry) {
    return entry.Status >= 200 && entry.Status < 300 && IsHtmlType(entry.ContentType);
}

bool Matches(const TArchiveEntry& entry, std::string_view lowerFilter) {
    return lowerFilter.empty() || LowerCase(entry.Address).find(lowerFilter) != std::string::npos ||
           LowerCase(entry.Title).find(lowerFilter) != std::string::npos;
}

// 64-bit FNV-1a: the same name gives the same file in every run.
uint64_t NameHash(std::string_view text) {
    uint64_t hash = 14695981039346656037ull;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

bool IsArchiveFileName(std::string_view fileName) {
    const std::string lower = LowerCase(fileName);
    for (std::string_view ending : {".warc", ".warc.gz", ".arc", ".arc.gz"})
        if (lower.ends_with(ending)) return true;
    return false;
}

std::string PlaceText(TRecordPlace place) {
    std::string text = std::to_string(place.Offset);
    if (place.Inner != 0) text += "-" + std::to_string(place.Inner);
    return text;
}

bool ParsePlaceText(std::string_view text, TRecordPlace& place) {
    const size_t dash = text.find('-');
    place = TRecordPlace();
    if (!ParseInteger(text.substr(0, dash), place.Offset)) return false;
    return dash == std::string_view::npos || ParseInteger(text.substr(dash + 1), place.Inner);
}

std::string ArchiveIndexFile(const std::string& indexFolder, const std::string& archiveFile) {
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.idx",
                  static_cast<unsigned long long>(NameHash(archiveFile)));
    return indexFolder + "/" + name;
}

TWebArchive::TWebArchive(const std::string& fileName, const std::string& indexFolder)
    : fileName_(fileName), file_(std::make_unique<TWebArchiveFile>(fileName)) {
    const std::string indexFile = ArchiveIndexFile(indexFolder, fileName);
    if (auto saved = TArchiveIndex::Load(indexFile, file_->Size(), file_->ModifiedSeconds())) {
        index_ = std::move(*saved);
        indexWasSaved_ = true;
        return;
    }
    index_ = TArchiveIndex::Build(*file_);
    // An index that cannot be kept is only built again next time.
    if (ForceDirectories(indexFolder))
        index_.Save(indexFile, file_->Size(), file_->ModifiedSeconds());
}

std::string TWebArchive::Name() const {
    const size_t slash = fileName_.find_last_of('/');
    return slash == std::string::npos ? fileName_ : fileName_.substr(slash + 1);
}

TCapturedDocument TWebArchive::Read(const TArchiveEntry& capture) const {
    const TArchiveEntry* entry = index_.DocumentOf(capture);
    if (!entry)
        throw Exception("The record repeated at " + capture.Address + " is not in this archive");
    TRecordStream stream(*file_, entry->Place.Offset);
    TRecordHeader header;
    std::string error;
    if (stream.Skip(entry->Place.Inner) < entry->Place.Inner ||
        !ReadRecordHeader(stream, file_->Format(), header, error))
        throw Exception("The record of " + entry->Address + " cannot be read");
    TCapturedDocument document;
    document.ContentType = header.ContentType;
    int64_t left = header.ContentLength;
    THttpHead head;
    const bool http = file_->Format() == TArchiveFormat::Arc ||
                      StartsWithText(header.ContentType, "application/http");
    if (http && ReadHttpHead(stream, left, head)) {
        document.Status = head.Status;
        document.ContentType = head.ContentType;
        document.Location = head.Location;
    }
    if (left > MaxDocumentSize)
        throw Exception("The capture of " + entry->Address + " is too large to show");
    document.Body.resize(static_cast<size_t>(left));
    if (stream.Read(document.Body.data(), document.Body.size()) < document.Body.size())
        throw Exception("The record of " + entry->Address + " is cut short");
    return document;
}

const TArchiveEntry* TWebArchive::ShownCapture(std::string_view address) const {
    const auto it = shown_.find(ArchiveKey(address));
    return it == shown_.end() ? nullptr : it->second;
}

void TWebArchive::NoteShown(std::string_view address, const TArchiveEntry& entry) {
    shown_[ArchiveKey(address)] = &entry;
}

void TWebArchive::ForgetPagesShown() {
    PageDate = 0;
    shown_.clear();
}

TReturnToShownScope::TReturnToShownScope(std::shared_ptr<TWebArchive> archive)
    : archive_(std::move(archive)) {
    if (archive_) archive_->ReturningToShown = true;
}

TReturnToShownScope::~TReturnToShownScope() {
    if (archive_) archive_->ReturningToShown = false;
}

std::string TWebArchive::IndexPage(const std::string& selfAddress, std::string_view filter) const {
    const std::string lowerFilter = LowerCase(Trim(filter));
    std::vector<const TArchiveEntry*> pages;
    size_t total = 0;
    for (const TArchiveEntry& e : index_.Entries()) {
        if (!IsListedPage(e)) continue;
        ++total;
        if (Matches(e, lowerFilter)) pages.push_back(&e);
    }
    std::stable_sort(pages.begin(), pages.end(), [](const auto* a, const auto* b) {
        return a->Address != b->Address ? a->Address < b->Address : a->Date < b->Date;
    });
    const std::string name = HtmlText(Name());
    std::string html = "<HTML><HEAD><TITLE>Captures in " + name + "</TITLE></HEAD><BODY>\n<H2>" +
                       name + "</H2>\n<FORM METHOD=GET ACTION=\"" + HtmlText(selfAddress) +
                       "\">Filter: <INPUT NAME=\"filter\" SIZE=40 VALUE=\"" +
                       HtmlText(lowerFilter) + "\"> <INPUT TYPE=SUBMIT VALUE=\"Show\"></FORM>\n";
    html += "<P>" + std::to_string(pages.size()) + " of " + std::to_string(total) + " pages";
    if (pages.size() > MaxIndexRows)
        html += "; the first " + std::to_string(MaxIndexRows) + " are listed";
    html += "</P>\n<TABLE BORDER=1 CELLPADDING=2 CELLSPACING=0>\n"
            "<TR><TH>Address</TH><TH>Date</TH><TH>Size</TH><TH>Title</TH></TR>\n";
    pages.resize(std::min(pages.size(), MaxIndexRows));
    for (const TArchiveEntry* e : pages)
        html += "<TR><TD><A HREF=\"" + HtmlText(selfAddress) + "?capture=" + PlaceText(e->Place) +
                "\">" + HtmlText(e->Address) + "</A></TD><TD>" + DateText(e->Date) + "</TD><TD>" +
                std::to_string(e->Length) + "</TD><TD>" + HtmlText(e->Title) + "</TD></TR>\n";
    html += "</TABLE>\n</BODY></HTML>\n";
    return html;
}

} // namespace lumo
