// Pages, pictures and cursors compiled into the program, found by name and
// type as "res/<TYPE>/<NAME>" (both compared without regard to case).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumo {

// The resource's bytes, or nothing when no resource has that name and type.
std::optional<std::string> FindResource(std::string_view name, std::string_view type);

} // namespace lumo
