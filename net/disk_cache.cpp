#include "net/disk_cache.h"

#include "address/address.h"
#include "net/content_kind.h"
#include "platform/file_system.h"
#include "platform/text.h"

#include <algorithm>
#include <charconv>

namespace lumo {

namespace {

// A known extension with its dot, as it stands in a key or a cache file name.
bool IsKnownExtension(std::string_view ext) {
    return ext.size() > 1 && ext[0] == '.' && KindOfExtension(ext.substr(1));
}

// The key's extension with its dot when it is a known one; the dot must stand
// among the last six characters.
std::string_view KnownExtensionOf(std::string_view key) {
    const size_t first = key.size() > 6 ? key.size() - 6 : 0;
    const size_t dot = key.rfind('.');
    if (dot == std::string_view::npos || dot < first) return {};
    const std::string_view ext = key.substr(dot);
    return IsKnownExtension(ext) ? ext : std::string_view{};
}

// The number in a cache file name ("m12345.htm" gives 12345), or -1.
int FileNumberOf(std::string_view name) {
    if (!IsCacheFileName(name)) return -1;
    const std::string_view digits = name.substr(1, name.find('.') - 1);
    int number = -1;
    const auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return ec == std::errc() ? number : -1;
}

// The index's kind field: the kind, and ";" and a charset that cannot break
// the line's fields.
std::string KindField(int kind, std::string_view charset) {
    std::string field = std::to_string(kind);
    const bool plain = !charset.empty() && charset.size() <= 40 &&
                       std::all_of(charset.begin(), charset.end(), [](char c) {
                           return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                  (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
                                  c == ':';
                       });
    if (plain) field += ";" + std::string(charset);
    return field;
}

// Only http and https addresses are cached; their keys keep the scheme.
bool IsCached(std::string_view url) {
    const std::string scheme = SchemeOf(url);
    return scheme == "http" || scheme == "https";
}

} // namespace

std::string CacheKeyOf(std::string_view url) {
    // Control characters would break the index into lines; they are written
    // as "%XX" so every key stays one line.
    std::string key = EncodePercents(LowerCase(url), [](unsigned char c) { return c < 32; });
    if (const size_t at = key.find("http://"); at != std::string::npos) key.erase(0, at + 7);
    if (key.starts_with("www.")) key.erase(0, 4);
    return key;
}

bool IsCacheFileName(std::string_view name) {
    if (name.size() < 2 || name[0] != 'm') return false;
    size_t i = 1;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9')
        ++i;
    if (i == 1 || i - 1 > 9) return false;
    const std::string_view ext = name.substr(i);
    return ext.empty() || IsKnownExtension(ext);
}

TDiskCache::TDiskCache(std::string folder, TCacheFolder role)
    : folder_(std::move(folder)), role_(role) {
    if (folder_.empty() || folder_.back() != '/') folder_ += '/';
    ForceDirectories(folder_);
    LoadIndex();
}

TDiskCache::~TDiskCache() {
    if (!saveOnDestroy_) return;
    // The index may name no file that could still be lost.
    if (stored_) FlushFileSystem(folder_);
    WriteFileIfChanged(folder_ + "cachinfo.txt", IndexText());
}

bool TDiskCache::Store(std::string_view url, int kind, std::string_view bytes,
                       std::string_view charset) {
    if (!IsCached(url)) return false;
    std::string key = CacheKeyOf(url);
    if (const ptrdiff_t i = Find(key); i >= 0) {
        // A held address is replaced whole: its old bytes stay until the new are in.
        if (WriteFileAtomically(folder_ + OwnFileOf(entries_[static_cast<size_t>(i)]), bytes,
                                TFlush::Later)) {
            stored_ = true;
            return true;
        }
        Remove(url);
        return false;
    }
    // A new address's file takes a number no file had, and no index names it
    // before the bytes are in: it is written in place, with no temporary
    // copy to rename over it.
    Entry e{std::move(key), KindField(kind, charset), {}};
    if (!MakeNewFile(e.key, bytes, e.fileName)) return false;
    Append(std::move(e));
    stored_ = true;
    return true;
}

void TDiskCache::LoadIndex() {
    const auto text = ReadWholeFile(folder_ + "cachinfo.txt", MaxIndexSize);
    if (!text) return;
    int highest = -1;
    for (const std::string& line : SplitLines(*text)) {
        // Key, kind and file name are split at the last two spaces, so keys
        // holding spaces survive; the kind and the file name never hold one.
        const std::string_view l = TrimRight(line);
        const size_t fileSep = l.rfind(' ');
        if (fileSep == std::string_view::npos || fileSep == 0) continue;
        const size_t kindSep = l.rfind(' ', fileSep - 1);
        if (kindSep == std::string_view::npos) continue;
        Entry e{std::string(Trim(l.substr(0, kindSep))),
                std::string(Trim(l.substr(kindSep + 1, fileSep - kindSep - 1))),
                std::string(Trim(l.substr(fileSep + 1))), role_ == TCacheFolder::Owned};
        const int number = FileNumberOf(e.fileName);
        if (number < 0 || e.key.empty()) continue; // not a file of ours: never touch it
        highest = std::max(highest, number);
        entries_.push_back(std::move(e));
    }
    // One past the highest number in use, so a new name never repeats an old one.
    if (highest >= 0) nextFileNumber_ = highest + 1;
    EvictOldest();
}

void TDiskCache::EvictOldest() {
    if (entries_.size() <= Capacity) return;
    const auto excess = static_cast<ptrdiff_t>(entries_.size() - Capacity);
    for (auto it = entries_.begin(); it != entries_.begin() + excess; ++it)
        RemoveOwnFile(*it);
    entries_.erase(entries_.begin(), entries_.begin() + excess);
}

void TDiskCache::RemoveOwnFile(const Entry& e) const {
    if (e.own) RemoveFile(folder_ + e.fileName);
}

ptrdiff_t TDiskCache::Find(std::string_view key) const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].key == key) return static_cast<ptrdiff_t>(i);
    return -1;
}

// The next number whose file does not exist yet: another copy of the program
// may have used numbers since the index was read.
bool TDiskCache::MakeNewFile(std::string_view key, std::string_view bytes, std::string& name) {
    const std::string extension(KnownExtensionOf(key));
    while (true) {
        name = "m" + std::to_string(nextFileNumber_++) + extension;
        const TNewFile made = CreateNewFile(folder_ + name, bytes);
        if (made != TNewFile::Exists) return made == TNewFile::Created;
    }
}

const std::string& TDiskCache::OwnFileOf(Entry& e) {
    if (!e.own) { // the owner's file: this copy stores the address anew
        MakeNewFile(e.key, {}, e.fileName);
        e.own = true;
    }
    return e.fileName;
}

void TDiskCache::Append(Entry entry) {
    entries_.push_back(std::move(entry));
    EvictOldest();
}

bool TDiskCache::Lookup(std::string_view url, std::string& fileName, int& kind,
                        std::string* charset) const {
    fileName.clear();
    kind = 0;
    if (charset) charset->clear();
    const ptrdiff_t i = Find(CacheKeyOf(url));
    if (i < 0) return false;
    const Entry& e = entries_[static_cast<size_t>(i)];
    fileName = folder_ + e.fileName;
    const std::string_view field = e.kind;
    const size_t semicolon = field.find(';');
    const std::string_view number = field.substr(0, semicolon);
    int n = 0;
    const auto [p, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
    kind = (ec == std::errc() && p == number.data() + number.size()) ? n : 0;
    if (charset && semicolon != std::string_view::npos)
        *charset = std::string(field.substr(semicolon + 1));
    return true;
}

std::string TDiskCache::Add(std::string_view url, int kind, bool failed, std::string_view charset) {
    if (!IsCached(url)) return {};
    const std::string key = CacheKeyOf(url);
    if (const ptrdiff_t i = Find(key); i >= 0)
        return folder_ + OwnFileOf(entries_[static_cast<size_t>(i)]);
    Entry e{key, KindField(kind, charset), {}};
    MakeNewFile(key, {}, e.fileName);
    if (failed) e.key += '*';
    std::string fileName = folder_ + e.fileName;
    Append(std::move(e));
    return fileName;
}

void TDiskCache::Remove(std::string_view url) {
    const ptrdiff_t i = Find(CacheKeyOf(url));
    if (i < 0) return;
    RemoveOwnFile(entries_[static_cast<size_t>(i)]);
    entries_.erase(entries_.begin() + i);
}

void TDiskCache::EraseAll() {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        RemoveOwnFile(*it);
    entries_.clear();
}

std::string TDiskCache::IndexText() const {
    std::string text;
    for (const Entry& e : entries_)
        text += e.key + " " + e.kind + " " + e.fileName + "\r\n";
    return text;
}

} // namespace lumo
