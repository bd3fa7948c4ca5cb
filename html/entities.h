// The character entities of the reader: eight with a value of their own and
// the Latin-1 names "nbsp" to "yuml" for the bytes 160 to 255. Names compare
// exactly, case included.
#pragma once

#include <string_view>

namespace lumo {

// The Windows-1252 text of an entity name ("hellip" is three dots), or an
// empty view when the name is unknown.
std::string_view EntityValue(std::string_view name);

} // namespace lumo
