// Two copies of the program may share one bookmark file (a link opened in a
// new window starts a second copy). Each keeps the tree it read and writes
// its whole tree when it ends, so on saving, what the other copy changed in
// the file since is merged into this copy's tree.
#pragma once

#include "tools/bookmark_file.h"

#include <string>

namespace lumo {

// Merges the changes from base to theirs into ours. A node is known by its
// kind, name and address at the path of its folders' names. A node theirs
// added joins ours in its folder (made when missing), after what ours holds
// there, unless ours has it already; a node theirs removed goes from ours
// too, a folder only when nothing is left in it.
TBookmarkList MergeBookmarks(const TBookmarkList& base, const TBookmarkList& ours,
                             const TBookmarkList& theirs);

// Saves nodes over the file, which base was read from, after merging in what
// another copy saved there since; the folder is locked meanwhile. nodes
// becomes what was saved. False when the file could not be read or written.
bool SaveMergedBookmarkFile(const std::string& fileName, const TBookmarkList& base,
                            TBookmarkList& nodes);

} // namespace lumo
