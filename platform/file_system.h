// Files and folders named by ANSI text. The names are converted to the native
// form here and nowhere else.
//
// A local file name inside the program is ANSI text in the form of an
// address's path: a percent escape stands for one byte of the native name and
// any other character for itself (in UTF-8), so every name a user's files have
// can be written, whatever bytes it holds. AnsiName writes a native path with
// every byte that is not plain ASCII, and each of % # ? : \ | ", as an escape;
// such a name stands in a "file:///" address as it is.
#pragma once

#include "platform/atomic_file.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

// The native path of a local file name; empty, naming no file, when it would
// hold a NUL byte.
std::filesystem::path NativePath(std::string_view name);

// The program's name of a native path; NativePath gives the path back.
std::string AnsiName(const std::filesystem::path& path);

// The same name written the way AnsiName writes it, so names of one file
// compare equal: an escape of a character that needs none is decoded, and a
// character outside ASCII, a control byte and a "%" that starts no escape are
// escaped. Every other character stands as it is, so "/", "\" and ":" keep
// what they mean in a link.
std::string LocalName(std::string_view name);

bool FileExists(std::string_view name); // a regular file (symbolic links followed)
bool DirectoryExists(std::string_view name);

// Creates the folder and any missing parents; true when it exists afterwards.
bool ForceDirectories(std::string_view name);

// Writes count bytes to an open descriptor, going on after interruptions;
// the number written, fewer (with errno set) when the rest could not be.
size_t WriteToDescriptor(int fd, const void* bytes, size_t count);

enum class TNewFile { Created, Exists, Failed };
// Creates a file holding bytes (none by default) only when no file of that
// name exists, so that two programs sharing a folder never take the same
// name. A file whose bytes could not all be written is removed: Failed.
TNewFile CreateNewFile(std::string_view name, std::string_view bytes = {});

// Deletes a file; true when it was deleted.
bool RemoveFile(std::string_view name);

// A larger file than asked for is refused, or read up to the limit.
enum class TOverLimit { Refuse, ReadStart };
// The whole file when it is a regular file of at most maxBytes (or its first
// maxBytes when asked); nothing otherwise.
std::optional<std::string> ReadWholeFile(std::string_view name, size_t maxBytes,
                                         TOverLimit over = TOverLimit::Refuse);

// Writes a temporary file beside the target and renames it over the target, so
// a reader sees either the old or the new content, never a part.
bool WriteFileAtomically(std::string_view name, std::string_view bytes, TFlush flush = TFlush::Now);
// Writes as WriteFileAtomically does, unless the file already holds exactly
// these bytes: a state file saved at every exit then keeps its time, and the
// disk is spared a flush, when nothing in it changed.
bool WriteFileIfChanged(std::string_view name, std::string_view bytes);
// Sends what was written to the file system holding the folder to the disk.
void FlushFileSystem(std::string_view folder);

enum class TLoneCR { EndsLine, Kept };
// Splits text into lines at CR LF, LF and (unless kept) CR alone; a final
// line break adds no empty line.
std::vector<std::string> SplitLines(std::string_view text, TLoneCR loneCR = TLoneCR::EndsLine);

// Joins lines, each followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

} // namespace lumo
