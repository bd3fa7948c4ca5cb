// The pictures of the toolbar buttons, drawn at start-up.
#pragma once

#include <QIcon>

namespace lumo {

enum class Glyph { Back, Forward, Refresh, Stop, Bookmark, BookmarkFrame, Search };

QIcon ToolbarGlyph(Glyph glyph);

} // namespace lumo
