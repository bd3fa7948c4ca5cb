// Splitting, classifying, combining and normalising addresses and local paths.
// All take and return ANSI text; positions count from 1 where a result is a position.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

struct AddressParts {
    std::string Proto, User, Pass, Host, Port, Path;
};

AddressParts SplitAddress(std::string_view url);

// The lower-cased protocol of the address without its query.
std::string SchemeOf(std::string_view url);

// The address up to and including the last "/" of its path; "/" appended when it has none.
std::string DirectoryOf(std::string_view url);

// An absolute address for rel, relative to the directory address base; a
// network-path reference ("//server/x") takes only the scheme of base.
std::string ResolveRelative(std::string_view base, std::string_view rel);

// A typed address made whole: "http://" when no scheme, "/" when no path.
std::string CompleteAddress(std::string_view url);

// Where a redirection leads: the address in a Location value, made absolute
// against the address that answered with it. The navigation driver and the
// HTTP client both resolve it this way.
std::string ResolveLocation(std::string_view current, std::string_view location);

bool IsAbsolute(std::string_view url);

// The length of the scheme name that starts text and is followed by ":" (a
// letter, then letters, digits, "+", "-" or "."); 0 when there is none. A
// single letter counts too: callers that take it for a drive check for it.
size_t SchemeLength(std::string_view text);

// Whether text starts with a drive name: a letter and ":" ("c:", "C:\dir").
bool IsDrivePath(std::string_view text);

// The text after the dot that stands among the last six characters before
// the query or the anchor, up to them: "zip" for "a.zip?dl=1" and for
// "a.zip#part"; empty when there is no such dot.
std::string ExtensionOf(std::string_view url);

std::string LastSegmentOf(std::string_view url);

// Position of the last occurrence of sub in s, 0 when none.
size_t LastPos(std::string_view sub, std::string_view s);

// A local path as the part of a "file:///" address after the three slashes.
std::string PathToAddress(std::string_view path);

// The local file name of an address (see LocalName in platform/file_system.h):
// the "file://" prefix removed and the escapes written as a local name writes
// them. A drive address (file:///c|/dir/a.htm) keeps its Windows form as text
// (c:\dir\a.htm); any other path keeps its slashes, so file:///home/u/a%20b.htm
// is /home/u/a b.htm.
std::string AddressToPath(std::string_view url);

// AddressToPath, with a server-relative result ("/dir/a.htm" from an address
// that was not a file address, or "\\dir") placed under root.
std::string ServerAddressToPath(std::string_view url, std::string_view root);

} // namespace lumo
