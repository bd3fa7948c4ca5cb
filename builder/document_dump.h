// The text dump of a laid-out document, from markup: what the program's
// --dump-layout option and the golden layout tests print. One line per item
// (kind, tag, position, size; for text its lines with their text), indented
// two spaces per level, no pointer values.
#pragma once

#include "platform/canvas.h"

#include <string>
#include <string_view>

namespace lumo {

class TSectionList;

struct TLayoutSettings {
    int Width = 600;
    int Height = 400; // the base for percentage heights
};

struct TLayoutResult {
    int Height = 0;
    int ScrollWidth = 0;
    std::string Title;
};

// Builds html into list (reset first) and lays it out.
TLayoutResult BuildAndLayOut(TSectionList& list, std::string_view html, Canvas& canvas,
                             const TLayoutSettings& settings);
// Lays an already built list out again at another width.
TLayoutResult LayOutAgain(TSectionList& list, Canvas& canvas, const TLayoutSettings& settings);
// The dump of list as laid out, after a header line with the title, the
// document height and the scroll width.
std::string DumpDocument(const TSectionList& list, const TLayoutResult& result);
// Both steps, for one page.
std::string DumpLayoutOf(std::string_view html, Canvas& canvas, const TLayoutSettings& settings);

} // namespace lumo
