// The viewer's rules that need no window: how link names become local file
// names, which files a link may open, how a refresh request reads, and which
// characters make a word.
#pragma once

#include "platform/code_page.h"

#include <string>
#include <string_view>

namespace lumo {

// The full local file name of a link or file name: the name in address form
// becomes a path (a server-relative one under serverRoot); a name starting
// with "\" is taken from the root of the file system; drive names ("c:\...")
// and network names ("\\server\...") stay as they are; any other relative
// name is taken from baseDir (a folder or a folder address) when it is set,
// else from the folder of documentFile. baseDir "DosPath" means the current
// folder. "." and ".." segments are resolved. The result is a local name
// (platform/file_system.h); empty for a name that would hold a NUL byte.
std::string ExpandLocalName(std::string_view name, std::string_view serverRoot,
                            std::string_view baseDir, std::string_view documentFile);

// The server root as stored: a local path without a trailing separator.
std::string ServerRootPath(std::string_view root);

enum class TLinkKind { Html, Image, Other };
// By the extension of the file name, in any case: .htm and .html are pages;
// .bmp, .gif, .jpg, .jpeg and .png pictures; anything else neither.
TLinkKind LinkKindOf(std::string_view fileName);

// Whether the text starts with a scheme other than "file" (http://, res:///,
// mailto:...): such a name is no local file.
bool IsOtherScheme(std::string_view name);

// The CONTENT of a refresh META: the delay is the number before the first
// ";" (or the whole text), -1 when it is no number, and 0 counts as 1; the
// address follows "url=" (found in any case, taken as written), empty when
// there is none.
void ParseMetaRefresh(std::string_view content, int& delay, std::string& url);

// Digits, ASCII letters and the bytes 192 to 255.
bool IsWordChar(char c, TCodePage page);

} // namespace lumo
