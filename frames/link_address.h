// How the frame browser reads the addresses of links, frame sources and
// form submissions: which are complete, what a relative one means in a
// frame, and how form results travel in a query. Pure text rules.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumo {

// Whether a link names its own scheme ("http://", "https:", "mailto:",
// "ftp:", "news:"...), so that it is taken as it stands. A single letter
// before ":" is a drive, not a scheme.
bool IsFullAddress(std::string_view link);

// The address and the anchor of a link, split at the first "#"; the anchor
// keeps its "#" and is empty when there is none.
std::pair<std::string, std::string> SplitAnchor(std::string_view url);

// A name met in a frame's document made absolute: a name with "\" becomes a
// "file:///" address, a full address stays, and a relative one is resolved
// against the folder of the document's BASE when it has one, else against
// the frame's base address.
std::string ExpandFrameName(std::string_view name, std::string_view documentBase,
                            std::string_view frameBase);

// The address a link in a frame leads to (without its anchor): an empty
// address is the frame's own source; anything else as ExpandFrameName.
std::string ResolveFrameLink(std::string_view address, std::string_view documentBase,
                             std::string_view frameBase, std::string_view frameSource);

// Form results ("name=value" lines) as a query: letters, digits and
// "@*-.=_" stay, a blank becomes "+", every other byte "%XX"; lines are
// joined with "&".
std::string EncodeFormResults(const std::vector<std::string>& results);

} // namespace lumo
