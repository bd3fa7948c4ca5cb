// The disk cache: copies of documents and images fetched over HTTP, kept as
// files in one folder with an index "cachinfo.txt" that maps each address to
// its file and content kind (with ";" and the character set the server
// named, when it named one). The cache never touches document bytes itself:
// after Add the caller saves the document under the returned name, and after
// a successful Lookup it loads that file (checking first that it still exists).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

// Whether this copy of the program owns the cache folder (holds the lock on
// its "Monitor.txt"). A copy that shares it with the owner deletes and
// overwrites only the files it made itself.
enum class TCacheFolder { Owned, Shared };

class TDiskCache {
public:
    static constexpr size_t Capacity = 100;
    static constexpr int FirstFileNumber = 12345;
    static constexpr size_t MaxIndexSize = 16 * 1024 * 1024;

    // Creates the folder (with its parents) when missing and loads the index.
    explicit TDiskCache(std::string folder, TCacheFolder role = TCacheFolder::Owned);
    // Writes the index back when SetSaveOnDestroy(true) was called.
    ~TDiskCache();
    TDiskCache(const TDiskCache&) = delete;
    TDiskCache& operator=(const TDiskCache&) = delete;

    // True when the address is cached; then fileName is the full path of its
    // file, kind the stored kind (0 when not a number) and charset the
    // character set stored with it (empty when none).
    bool Lookup(std::string_view url, std::string& fileName, int& kind,
                std::string* charset = nullptr) const;

    // For an http or https address (whose key keeps its scheme, so the two
    // never share an entry), the full path under which the caller must store the
    // document; empty for any other scheme. An entry added with failed set is
    // never found by Lookup; it only holds a place until it is evicted. A new
    // file is created empty under a number no file has yet.
    // The charset is kept when it is a plain name (letters, digits, "-",
    // "_", ".", ":").
    std::string Add(std::string_view url, int kind, bool failed, std::string_view charset = {});
    // Adds an http or https address with its document's bytes. A copy that cannot be
    // written (a full disk) leaves no entry, so no later visit takes an empty
    // or partial file for the document. The bytes reach the disk before the
    // index that names them (when the cache ends), not on every write: a copy
    // costs no wait for the disk. A new address's file is written in place; a
    // held one is replaced whole, its old bytes kept until the new are in.
    // False when nothing was stored.
    bool Store(std::string_view url, int kind, std::string_view bytes,
               std::string_view charset = {});

    void Remove(std::string_view url);
    void EraseAll();

    // Whether the index is written back at destruction: only by the copy of
    // the program that owns the cache folder.
    void SetSaveOnDestroy(bool save) { saveOnDestroy_ = save; }

    // The index as it would be written.
    std::string IndexText() const;

    const std::string& Folder() const { return folder_; }
    size_t Count() const { return entries_.size(); }
    int NextFileNumber() const { return nextFileNumber_; }

private:
    struct Entry {
        std::string key;
        std::string kind;
        std::string fileName;
        bool own = true; // made by this copy, or the folder is ours
    };

    void LoadIndex();
    void EvictOldest();
    void RemoveOwnFile(const Entry& e) const;
    ptrdiff_t Find(std::string_view key) const;
    // Makes a file holding bytes under the next number no file has yet, and
    // sets name to it; false when it could not be made (the name is set
    // anyway, and storing under it then fails).
    bool MakeNewFile(std::string_view key, std::string_view bytes, std::string& name);
    // The file of a held entry, made anew under a fresh number when it is
    // the owner's, which this copy never overwrites.
    const std::string& OwnFileOf(Entry& e);
    void Append(Entry entry);

    std::string folder_;
    TCacheFolder role_;
    std::vector<Entry> entries_;
    int nextFileNumber_ = FirstFileNumber;
    bool saveOnDestroy_ = false;
    bool stored_ = false; // files were written that may not be on the disk yet
};

// The index key of an address: lower case, without what comes up to and
// including its first "http://", then without a leading "www.".
std::string CacheKeyOf(std::string_view url);

// Whether a name has the form of the cache's own files: "m", decimal digits,
// then nothing or one of the known extensions. Only such files are ever deleted.
bool IsCacheFileName(std::string_view name);

} // namespace lumo
