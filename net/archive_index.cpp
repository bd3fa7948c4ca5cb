#include "net/archive_index.h"

#include "net/archive_address.h"
#include "platform/file_system.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <unordered_map>

namespace lumo {

namespace {

constexpr std::string_view IndexHeader = "lumo archive index 2";
constexpr size_t TitlePeek = 8192;
constexpr size_t MaxIndexFile = 1024 * 1024 * 1024;

const char* KindName(TCaptureKind kind) {
    switch (kind) {
    case TCaptureKind::Response: return "response";
    case TCaptureKind::Resource: return "resource";
    case TCaptureKind::Revisit: return "revisit";
    }
    return "response";
}

std::optional<TCaptureKind> KindOf(std::string_view type) {
    if (type == "response") return TCaptureKind::Response;
    if (type == "resource") return TCaptureKind::Resource;
    if (type == "revisit") return TCaptureKind::Revisit;
    return std::nullopt; // requests, metadata, warcinfo and the like show nothing
}

// A field of the saved index holds no tab or line end.
std::string Field(std::string_view text) {
    std::string field(text);
    std::replace_if(
        field.begin(), field.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; },
        ' ');
    return field;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) return parts;
        start = tab + 1;
    }
}

void JsonString(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
}

} // namespace

bool IsHtmlType(std::string_view contentType) {
    return StartsWithText(Trim(contentType), "text/html");
}

// --- Building ----------------------------------------------------------------------------

// One pass over the file: member by member for a gzip file, record by record
// for a plain one. A record that cannot be read is noted and passed over;
// a plain file is searched for the next record header after it, a gzip file
// for the next member.
class TArchiveIndex::TBuilder {
public:
    TBuilder(const TWebArchiveFile& file, TArchiveIndex& index) : file_(file), index_(index) {}

    void Run() {
        int64_t offset = 0;
        while (offset < file_.Size() && index_.entries_.size() < MaxEntries) {
            TRecordStream stream(file_, offset);
            offset = file_.Compressed() ? ReadMember(stream, offset) : ReadPlain(stream, offset);
        }
        if (offset < file_.Size())
            AddError(offset, "the archive holds more than " + std::to_string(MaxEntries) +
                                 " captures; the rest is left out");
        ResolveRevisits();
    }

private:
    struct TRevisit {
        size_t Entry;
        std::string RefersTo, RefersToTarget, Digest;
        uint64_t RefersToDate;
    };

    // The records of a plain file from offset on; returns where to go on.
    int64_t ReadPlain(TRecordStream& stream, int64_t offset) {
        while (index_.entries_.size() < MaxEntries) {
            const int64_t start = offset + stream.Position();
            std::string error;
            resumeAt_ = -1;
            if (ReadRecord(stream, TRecordPlace{start, 0}, error)) continue;
            if (error.empty()) return file_.Size();
            AddError(start, error);
            // A record whose length is wrong may hold the start of the next.
            return NextRecordStart(resumeAt_ >= 0 ? offset + resumeAt_ : start + 1);
        }
        return offset + stream.Position();
    }

    // The records of the gzip member at offset; returns where the next starts.
    int64_t ReadMember(TRecordStream& stream, int64_t offset) {
        const size_t before = index_.entries_.size();
        std::string error;
        while (index_.entries_.size() < MaxEntries && error.empty())
            if (!ReadRecord(stream, TRecordPlace{offset, stream.Position()}, error)) break;
        if (error.empty() && !stream.Error().empty()) error = stream.Error();
        if (!error.empty()) AddError(offset, error);
        stream.Skip(INT64_MAX);
        if (stream.MemberEnd() <= offset || !stream.Error().empty())
            return NextMemberStart(offset + 1);
        // A record of its own member is as long as the member in the file.
        if (index_.entries_.size() == before + 1 && index_.entries_.back().Place.Inner == 0)
            index_.entries_.back().Length = stream.MemberEnd() - offset;
        return stream.MemberEnd();
    }

    // Reads one record and notes its entry; false at the end of the bytes
    // or, with a message in error, on a record that cannot be read.
    bool ReadRecord(TRecordStream& stream, TRecordPlace place, std::string& error) {
        const int64_t start = stream.Position();
        TRecordHeader header;
        if (!ReadRecordHeader(stream, file_.Format(), header, error)) return false;
        const int64_t blockStart = stream.Position();
        const std::optional<TCaptureKind> kind = KindOf(header.Type);
        TArchiveEntry entry;
        if (kind) ReadCapture(stream, header, *kind, entry);
        const int64_t rest = header.ContentLength - (stream.Position() - blockStart);
        if (rest < 0) {
            // The captured response's head runs past the record's end.
            resumeAt_ = blockStart;
            error = "the record's length is wrong";
            return false;
        }
        if (stream.Skip(rest) < rest) {
            resumeAt_ = blockStart;
            error = "the record is cut short";
            return false;
        }
        if (!PassRecordEnd(stream)) {
            resumeAt_ = blockStart;
            error = "the record's length is wrong";
            return false;
        }
        if (!kind || header.TargetURI.empty()) return true;
        entry.Place = place;
        entry.Length = stream.Position() - start;
        Note(std::move(entry), header);
        return true;
    }

    void ReadCapture(TRecordStream& stream, const TRecordHeader& header, TCaptureKind kind,
                     TArchiveEntry& entry) {
        entry.Kind = kind;
        entry.Address = header.TargetURI;
        entry.Date = header.Date;
        entry.ContentType = header.ContentType;
        int64_t left = header.ContentLength;
        THttpHead head;
        const bool http = file_.Format() == TArchiveFormat::Arc ||
                          StartsWithText(header.ContentType, "application/http");
        if (http && ReadHttpHead(stream, left, head)) {
            entry.Status = head.Status;
            entry.ContentType = head.ContentType;
        }
        if (kind == TCaptureKind::Revisit || !IsHtmlType(entry.ContentType)) return;
        std::string page(static_cast<size_t>(std::min<int64_t>(left, TitlePeek)), '\0');
        page.resize(stream.Read(page.data(), page.size()));
        entry.Title = TitleOf(page);
    }

    // The blank lines that end a record. A WARC record not followed by them
    // (nor by the end of the bytes) was given a wrong length.
    bool PassRecordEnd(TRecordStream& stream) {
        const std::string_view next = stream.Peek(4);
        if (next.starts_with("\r\n\r\n")) return stream.Skip(4) == 4;
        if (next.starts_with("\n\n")) return stream.Skip(2) == 2;
        if (next.starts_with("\n")) return stream.Skip(1) == 1;
        return file_.Format() == TArchiveFormat::Arc || next.empty();
    }

    void Note(TArchiveEntry entry, const TRecordHeader& header) {
        const size_t number = index_.entries_.size();
        if (entry.Kind == TCaptureKind::Revisit)
            revisits_.push_back({number, header.RefersTo, header.RefersToTargetURI,
                                 header.PayloadDigest, header.RefersToDate});
        else {
            if (!header.RecordID.empty()) byRecordId_[header.RecordID] = number;
            if (!header.PayloadDigest.empty())
                byDigest_[header.PayloadDigest + " " + ArchiveKey(entry.Address)] = number;
        }
        index_.entries_.push_back(std::move(entry));
    }

    void ResolveRevisits() {
        index_.MakeKeys();
        for (const TRevisit& r : revisits_) {
            TArchiveEntry& entry = index_.entries_[r.Entry];
            if (auto it = byRecordId_.find(r.RefersTo); it != byRecordId_.end())
                entry.Original = static_cast<int32_t>(it->second);
            else if (auto d = byDigest_.find(r.Digest + " " + ArchiveKey(entry.Address));
                     !r.Digest.empty() && d != byDigest_.end())
                entry.Original = static_cast<int32_t>(d->second);
            else if (!r.RefersToTarget.empty())
                if (const TArchiveEntry* original = index_.Find(r.RefersToTarget, r.RefersToDate))
                    if (original->Kind != TCaptureKind::Revisit)
                        entry.Original = static_cast<int32_t>(original - index_.entries_.data());
        }
    }

    void AddError(int64_t offset, std::string message) {
        if (index_.errors_.size() < MaxErrors)
            index_.errors_.push_back({offset, std::move(message)});
    }

    // Where the next record of a plain file starts, or the file's end: a
    // WARC version line (which a record cut short may have glued to its own
    // last line) that a record header follows, so that a captured page
    // quoting one is passed over, or an ARC header line.
    int64_t NextRecordStart(int64_t from) {
        if (file_.Format() == TArchiveFormat::Warc) {
            for (int64_t at = from;; ++at) {
                at = NextMatch(at, [](std::string_view bytes, size_t i) {
                    // The version and the CR before the line's end.
                    return bytes.substr(i).starts_with("WARC/") && i + 8 < bytes.size() &&
                           bytes.find('\n', i) <= i + MaxWarcVersionLine + 1;
                });
                if (at >= file_.Size() || RecordHeaderAt(at)) return at;
            }
        }
        TRecordStream stream(file_, from);
        std::string line;
        // The first line is the rest of the one the search starts in.
        stream.ReadLine(line, 0);
        while (!stream.AtEnd()) {
            const int64_t start = from + stream.Position();
            TRecordHeader header;
            if (stream.ReadLine(line, 1024) && ParseArcHeaderLine(line, header)) return start;
        }
        return file_.Size();
    }

    bool RecordHeaderAt(int64_t offset) const {
        TRecordStream stream(file_, offset);
        TRecordHeader header;
        std::string error;
        return ReadRecordHeader(stream, file_.Format(), header, error);
    }

    // The next gzip member's start after from, or the file's end.
    int64_t NextMemberStart(int64_t from) {
        return NextMatch(from, [](std::string_view bytes, size_t i) {
            return bytes.substr(i, 3) == std::string_view("\x1F\x8B\x08", 3);
        });
    }

    // The first offset from on where matches says the bytes there start
    // what is looked for; it sees at least 16 bytes past the offset.
    template <class Matches>
    int64_t NextMatch(int64_t from, Matches matches) {
        constexpr size_t Overlap = 16;
        std::vector<char> buffer(64 * 1024);
        for (int64_t offset = from; offset < file_.Size();) {
            const size_t got = file_.ReadAt(offset, buffer.data(), buffer.size());
            const std::string_view bytes(buffer.data(), got);
            const bool last = got <= Overlap || offset + static_cast<int64_t>(got) >= file_.Size();
            const size_t end = last ? got : got - Overlap;
            for (size_t i = 0; i < end; ++i)
                if (matches(bytes, i)) return offset + static_cast<int64_t>(i);
            if (last) break;
            offset += static_cast<int64_t>(end);
        }
        return file_.Size();
    }

    const TWebArchiveFile& file_;
    TArchiveIndex& index_;
    std::vector<TRevisit> revisits_;
    int64_t resumeAt_ = -1; // where to look for the next record after a bad one
    std::unordered_map<std::string, size_t> byRecordId_;
    std::unordered_map<std::string, size_t> byDigest_;
};

TArchiveIndex TArchiveIndex::Build(const TWebArchiveFile& file) {
    TArchiveIndex index;
    TBuilder(file, index).Run();
    return index;
}

void TArchiveIndex::MakeKeys() {
    keys_.clear();
    keys_.reserve(entries_.size());
    for (const TArchiveEntry& e : entries_)
        keys_.push_back(ArchiveKey(e.Address));
    byKey_.resize(entries_.size());
    for (uint32_t i = 0; i < byKey_.size(); ++i)
        byKey_[i] = i;
    std::stable_sort(byKey_.begin(), byKey_.end(), [this](uint32_t a, uint32_t b) {
        if (const int c = keys_[a].compare(keys_[b]); c != 0) return c < 0;
        return entries_[a].Date < entries_[b].Date;
    });
}

// --- Finding -----------------------------------------------------------------------------

const TArchiveEntry* TArchiveIndex::Find(std::string_view address, uint64_t date,
                                         TRedirects redirects) const {
    const std::string key = ArchiveKey(address);
    const auto [first, last] =
        std::equal_range(byKey_.begin(), byKey_.end(), key, [this](const auto& a, const auto& b) {
            if constexpr (std::is_same_v<std::decay_t<decltype(a)>, uint32_t>)
                return keys_[a] < b;
            else
                return a < keys_[b];
        });
    const TArchiveEntry* best = nullptr;
    int64_t bestDistance = INT64_MAX;
    const int64_t seconds = date == 0 ? INT64_MAX : ArchiveDateSeconds(date);
    for (auto it = first; it != last; ++it) {
        const TArchiveEntry& e = entries_[*it];
        if (redirects == TRedirects::Avoid && e.Status >= 300 && e.Status < 400) continue;
        // Dates run up within a key: on a tie the later capture wins.
        const int64_t distance = date == 0 ? 0 : std::abs(ArchiveDateSeconds(e.Date) - seconds);
        if (distance <= bestDistance) {
            best = &e;
            bestDistance = distance;
        }
    }
    return best;
}

const TArchiveEntry* TArchiveIndex::AtPlace(TRecordPlace place) const {
    const auto it = std::lower_bound(
        entries_.begin(), entries_.end(), place, [](const TArchiveEntry& e, const TRecordPlace& p) {
            return e.Place.Offset != p.Offset ? e.Place.Offset < p.Offset : e.Place.Inner < p.Inner;
        });
    return it != entries_.end() && it->Place == place ? &*it : nullptr;
}

const TArchiveEntry* TArchiveIndex::DocumentOf(const TArchiveEntry& entry) const {
    if (entry.Kind != TCaptureKind::Revisit) return &entry;
    if (entry.Original < 0 || static_cast<size_t>(entry.Original) >= entries_.size())
        return nullptr;
    const TArchiveEntry& original = entries_[static_cast<size_t>(entry.Original)];
    return original.Kind == TCaptureKind::Revisit ? nullptr : &original;
}

// --- Saving and loading ------------------------------------------------------------------

bool TArchiveIndex::Save(const std::string& indexFile, int64_t size, int64_t modified) const {
    std::string text(IndexHeader);
    text += "\t" + std::to_string(size) + "\t" + std::to_string(modified) + "\n";
    for (const TArchiveError& e : errors_)
        text += "E\t" + std::to_string(e.Offset) + "\t" + Field(e.Message) + "\n";
    for (const TArchiveEntry& e : entries_) {
        text += std::to_string(e.Place.Offset) + "\t" + std::to_string(e.Place.Inner) + "\t" +
                std::to_string(e.Length) + "\t" + std::to_string(e.Date) + "\t" +
                std::to_string(e.Status) + "\t" + KindName(e.Kind) + "\t" +
                std::to_string(e.Original) + "\t" + Field(e.Address) + "\t" + Field(e.ContentType) +
                "\t" + Field(e.Title) + "\n";
    }
    // The look-up order, so that loading needs no sort.
    text += "O";
    for (uint32_t i : byKey_)
        text += "\t" + std::to_string(i);
    text += "\n";
    return WriteFileAtomically(indexFile, text, TFlush::Later);
}

std::optional<TArchiveIndex> TArchiveIndex::Load(const std::string& indexFile, int64_t size,
                                                 int64_t modified) {
    const std::optional<std::string> text = ReadWholeFile(indexFile, MaxIndexFile);
    if (!text) return std::nullopt;
    std::string_view rest = *text;
    const auto nextLine = [&rest] {
        const size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        return line;
    };
    const std::string expected =
        std::string(IndexHeader) + "\t" + std::to_string(size) + "\t" + std::to_string(modified);
    if (nextLine() != expected) return std::nullopt;
    TArchiveIndex index;
    // An entry a line: the list is made once, not grown and moved.
    index.entries_.reserve(
        std::min<size_t>(size_t(std::count(rest.begin(), rest.end(), '\n')), MaxEntries + 1));
    while (!rest.empty()) {
        const std::vector<std::string_view> f = SplitTabs(nextLine());
        if (!f.empty() && f[0] == "O") {
            index.byKey_.resize(f.size() - 1);
            for (size_t i = 1; i < f.size(); ++i)
                if (!ParseInteger(f[i], index.byKey_[i - 1])) return std::nullopt;
            continue;
        }
        if (f.size() == 3 && f[0] == "E") {
            TArchiveError error{0, std::string(f[2])};
            if (!ParseInteger(f[1], error.Offset)) return std::nullopt;
            index.errors_.push_back(std::move(error));
            continue;
        }
        TArchiveEntry e;
        const std::optional<TCaptureKind> kind = f.size() == 10 ? KindOf(f[5]) : std::nullopt;
        if (!kind || !ParseInteger(f[0], e.Place.Offset) || !ParseInteger(f[1], e.Place.Inner) ||
            !ParseInteger(f[2], e.Length) || !ParseInteger(f[3], e.Date) ||
            !ParseInteger(f[4], e.Status) || !ParseInteger(f[6], e.Original))
            return std::nullopt;
        e.Kind = *kind;
        e.Address = f[7];
        e.ContentType = f[8];
        e.Title = f[9];
        index.entries_.push_back(std::move(e));
        if (index.entries_.size() > MaxEntries) return std::nullopt;
    }
    index.keys_.reserve(index.entries_.size());
    for (const TArchiveEntry& e : index.entries_)
        index.keys_.push_back(ArchiveKey(e.Address));
    if (!index.OrderHolds()) index.MakeKeys();
    return index;
}

bool TArchiveIndex::OrderHolds() const {
    if (byKey_.size() != entries_.size()) return false;
    std::vector<bool> seen(entries_.size());
    for (size_t i = 0; i < byKey_.size(); ++i) {
        const uint32_t at = byKey_[i];
        if (at >= entries_.size() || seen[at]) return false;
        seen[at] = true;
        if (i == 0) continue;
        const uint32_t before = byKey_[i - 1];
        if (const int c = keys_[before].compare(keys_[at]);
            c > 0 || (c == 0 && entries_[before].Date > entries_[at].Date))
            return false;
    }
    return true;
}

std::string ArchiveEntryJson(const TArchiveEntry& e) {
    std::string json = "{\"address\":";
    JsonString(json, e.Address);
    json += ",\"date\":\"" + std::to_string(e.Date) + "\",\"type\":\"" + KindName(e.Kind) +
            "\",\"content_type\":";
    JsonString(json, e.ContentType);
    json += ",\"status\":" + std::to_string(e.Status) + ",\"length\":" + std::to_string(e.Length) +
            ",\"offset\":" + std::to_string(e.Place.Offset) + "}";
    return json;
}

} // namespace lumo
