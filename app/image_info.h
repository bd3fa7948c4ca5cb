// `lumo --image-info FILE`: what the picture readers make of a file, as one
// line of JSON for scripts and tests.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

// The JSON object for the file's bytes: kind, whether the reader accepted
// them (with its reason if not), size, frame and loop counts, and each
// frame's place, delay (ms), disposal and transparent index (-1 for none).
// Keys and their order never change; numbers are 0 and frames empty for
// refused data.
std::string ImageInfoJson(std::string_view data);

// Prints the JSON line for the file (unreadable files are refused with the
// reason) and returns the exit status: 0 accepted, 1 refused.
int PrintImageInfo(const std::string& fileName);

} // namespace lumo
