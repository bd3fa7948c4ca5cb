// The character entities of the reader: the names of HTML 4 with their code
// points. The Latin-1 names and the eight that pages wrote without a closing
// ';' ("&copy 1997") are read with or without one; the names HTML 4 added
// beside them need the ';', so a query string such as "?a=1&lang=en" in a
// link stays as written. Names compare exactly, case included.
#pragma once

#include <string_view>

namespace lumo {

// The longest entity name ("thetasym").
inline constexpr size_t MaxEntityName = 8;

enum class EntityClosed { No, Yes };

// The code point an entity name stands for, or 0 when the name is unknown
// or needs a ';' it was not given.
char32_t EntityCodePoint(std::string_view name, EntityClosed closed);

} // namespace lumo
