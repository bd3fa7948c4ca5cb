// Member names: what a name says, where below the target folder it may be
// written, and which file specifications select it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

struct TZipEntry;

// The name as UTF-8: flag bit 11 names are UTF-8 (malformed sequences become
// '?'), the rest code page 437. Control characters become '_', so a name is
// always one printable line; "\" becomes "/", the separator of every writer
// that used it.
std::string MemberNameUtf8(const TZipEntry& entry);

// The path below the target folder that a name (as MemberNameUtf8 gives it)
// is written to, parts joined by "/", without a folder's final "/". Empty and
// "." parts are dropped, so a name of no other parts ("./") gives the empty
// path: the target folder itself. Nothing when the name would lead
// elsewhere: absolute ("/x"), a drive ("C:x") or a ".." part.
std::optional<std::string> SafeRelativePath(std::string_view name);

enum class TRecurse { No, Yes };

// Whether a member's path (parts joined by "/", no final "/") is selected by
// one of the file specifications (UTF-8). '*' stands for any run of
// characters within one part and '?' for one character; letters match without
// regard to ASCII case; a pattern ending in ".*" also matches a name
// without a dot, so "*.*" matches every name. With recurse, a pattern
// may match the path's last parts ("*.txt" finds "a/b.txt"); without it, the
// whole path ("*.txt" finds only members outside folders).
bool MatchesSpecs(const std::vector<std::string>& specs, std::string_view path, TRecurse recurse);

// Splits the text of a specifications box at blanks; double quotes keep a
// pattern with blanks together. No pattern means "*.*".
std::vector<std::string> SplitSpecs(std::string_view text);

} // namespace lumo
