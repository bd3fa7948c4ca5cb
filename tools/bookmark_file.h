// The bookmark file "bookmarks/LumoBookmarks.tip": a tree of folders and
// bookmarks, one node a line, lines ended by CR LF.
//
// A line's depth is its number of leading TABs or spaces (written as TABs).
// The rest of the line is a bookmark when it holds "=" (the name before the
// first "=", the address after it) and a folder otherwise. So that any name
// reads back as it was written, "=" in a name is written "%3D", and a "%"
// that would otherwise start "%3D" or "%25" is written "%25"; files without
// these escapes read as they always did.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

enum class TBookmarkKind { Folder, Bookmark };

struct TBookmarkNode {
    TBookmarkKind Kind = TBookmarkKind::Folder;
    std::string Name;
    std::string Address; // empty for a folder
    std::vector<TBookmarkNode> Children;

    bool operator==(const TBookmarkNode&) const = default;
};

using TBookmarkList = std::vector<TBookmarkNode>;

// Files and trees are bounded so that a damaged file cannot exhaust memory
// or the stack of the code that walks the tree.
inline constexpr size_t MaxBookmarkFileSize = 8 * 1024 * 1024;
inline constexpr int MaxBookmarkDepth = 64; // levels below the top

// A name as the program stores it: CR, LF and TAB become spaces and the ends
// are trimmed, so the name cannot change the line's depth or split the line.
std::string CleanBookmarkName(std::string_view name);
// An address without CR, LF and TAB and without blanks at its ends.
std::string CleanBookmarkAddress(std::string_view address);

// The node a line's text (without its indent) stands for, and back.
TBookmarkNode BookmarkOfText(std::string_view text);
std::string TextOfBookmark(const TBookmarkNode& node);

struct TBookmarkParse {
    TBookmarkList Nodes;
    // The first bad line's message, empty when every line was good. A line
    // more than one level deeper than the one before (or deeper than
    // MaxBookmarkDepth) is kept one level below the line before.
    std::string Error;
};
TBookmarkParse ParseBookmarks(std::string_view text);

std::string FormatBookmarks(const TBookmarkList& nodes);

// The deepest level below the node (0 for a node without children).
int BookmarkHeight(const TBookmarkNode& node);

enum class TBookmarkLoad {
    Missing,    // no file: an empty tree
    Loaded,     // every line was good
    Repaired,   // bad lines were placed as they could be; the file is copied to ".bak"
    Unreadable, // too large or not readable: nothing loaded
};

struct TBookmarkFileLoad {
    TBookmarkLoad Status = TBookmarkLoad::Missing;
    TBookmarkList Nodes;
    std::string Message; // for Repaired and Unreadable: what the user is told
    // False when saving would lose what the file holds: it could not be
    // read, or it was repaired and no copy of it could be kept.
    bool Replaceable = true;
};

TBookmarkFileLoad LoadBookmarkFile(const std::string& fileName);

// Makes the folder when it is missing and replaces the file through a
// temporary file, so a failure leaves the old file whole. False on failure.
bool SaveBookmarkFile(const std::string& fileName, const TBookmarkList& nodes);

} // namespace lumo
