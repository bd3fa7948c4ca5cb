// Headless extraction: lumo --unzip ARCHIVE TARGET [PATTERN...]
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace lumo {

// Extracts like the unzip window, without a window and without replacing
// existing files. Writes one line per selected member to out, in archive
// order:
//     done NAME
//     failed NAME: CODE MESSAGE
// and a failure of the whole archive to err as "lumo: ARCHIVE: MESSAGE".
// Returns the exit status: 0 when every selected member was extracted, 1
// otherwise. Names and patterns are ANSI; the output is UTF-8.
int RunUnzipCommand(const std::string& archive, const std::string& target,
                    const std::vector<std::string>& patterns, std::FILE* out, std::FILE* err);

} // namespace lumo
