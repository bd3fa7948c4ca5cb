// lumo --archive-list FILE: the captures of a web archive file, one JSON
// object a line, without a window.
#pragma once

#include <cstdio>
#include <string>

namespace lumo {

// Prints every capture (address, date, record type, content type, status,
// length and offset) in the order of the file to out, and each record that
// could not be read to err as "lumo: FILE: offset N: message". The index is
// kept in the cache folder as when the window opens the file. Returns 0,
// or 1 when the file cannot be opened.
int PrintArchiveList(const std::string& fileName, const std::string& cacheFolder, std::FILE* out,
                     std::FILE* err);

} // namespace lumo
