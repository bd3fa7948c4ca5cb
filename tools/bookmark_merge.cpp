#include "tools/bookmark_merge.h"

#include "platform/file_lock.h"
#include "platform/file_system.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace lumo {

namespace {

// A node without its children, at the path of its folders' names.
struct TEntry {
    std::vector<std::string> Folders;
    TBookmarkNode Node;

    bool operator==(const TEntry&) const = default;
};
using TEntries = std::vector<TEntry>;

void Flatten(const TBookmarkList& list, std::vector<std::string>& folders, TEntries& out) {
    for (const TBookmarkNode& node : list) {
        out.push_back({folders, {node.Kind, node.Name, node.Address, {}}});
        if (node.Children.empty()) continue;
        folders.push_back(node.Name);
        Flatten(node.Children, folders, out);
        folders.pop_back();
    }
}

TEntries Flatten(const TBookmarkList& list) {
    std::vector<std::string> folders;
    TEntries entries;
    Flatten(list, folders, entries);
    return entries;
}

// The entries of from that are not in minus, each counted once.
TEntries Without(TEntries from, const TEntries& minus) {
    for (const TEntry& entry : minus)
        if (auto at = std::find(from.begin(), from.end(), entry); at != from.end()) from.erase(at);
    return from;
}

bool SameNode(const TBookmarkNode& a, const TBookmarkNode& b) {
    return a.Kind == b.Kind && a.Name == b.Name && a.Address == b.Address;
}

// The children of the folder at the path; null when it is missing and not
// to be made.
TBookmarkList* FolderAt(TBookmarkList& top, const std::vector<std::string>& folders, bool make) {
    TBookmarkList* list = &top;
    for (const std::string& name : folders) {
        auto folder = std::find_if(list->begin(), list->end(), [&](const TBookmarkNode& node) {
            return node.Kind == TBookmarkKind::Folder && node.Name == name;
        });
        if (folder == list->end()) {
            if (!make) return nullptr;
            list->push_back({TBookmarkKind::Folder, name, {}, {}});
            folder = list->end() - 1;
        }
        list = &folder->Children;
    }
    return list;
}

TBookmarkList::iterator Find(TBookmarkList& list, const TBookmarkNode& node) {
    return std::find_if(list.begin(), list.end(),
                        [&](const TBookmarkNode& n) { return SameNode(n, node); });
}

void Remove(TBookmarkList& top, const TEntry& entry) {
    TBookmarkList* list = FolderAt(top, entry.Folders, false);
    if (!list) return;
    const auto at = Find(*list, entry.Node);
    if (at != list->end() && at->Children.empty()) list->erase(at);
}

void Add(TBookmarkList& top, const TEntry& entry) {
    TBookmarkList& list = *FolderAt(top, entry.Folders, true);
    if (Find(list, entry.Node) == list.end()) list.push_back(entry.Node);
}

} // namespace

TBookmarkList MergeBookmarks(const TBookmarkList& base, const TBookmarkList& ours,
                             const TBookmarkList& theirs) {
    const TEntries before = Flatten(base), after = Flatten(theirs);
    TBookmarkList merged = ours;
    // Children go before their folders, so a folder emptied by the removals
    // goes with them.
    const TEntries removed = Without(before, after);
    for (auto entry = removed.rbegin(); entry != removed.rend(); ++entry)
        Remove(merged, *entry);
    for (const TEntry& entry : Without(after, before))
        Add(merged, entry);
    return merged;
}

bool SaveMergedBookmarkFile(const std::string& fileName, const TBookmarkList& base,
                            TBookmarkList& nodes) {
    const std::string folder = AnsiName(NativePath(fileName).parent_path());
    ForceDirectories(folder);
    // Copies that end together take turns; without the lock the file is
    // still written whole, only a change of the other could be missed.
    const auto lock = ExclusiveFileLock::AcquireFolder(folder, 2000);
    const TBookmarkFileLoad disk = LoadBookmarkFile(fileName);
    if (!disk.Replaceable) return false;
    if (disk.Nodes != base) nodes = MergeBookmarks(base, nodes, disk.Nodes);
    return SaveBookmarkFile(fileName, nodes);
}

} // namespace lumo
