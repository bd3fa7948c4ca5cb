// The pictures of the toolbar buttons and of the status bar's padlock, drawn
// at start-up.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace lumo {

enum class Glyph { Back, Forward, Refresh, Stop, Bookmark, BookmarkFrame, Search };

QIcon ToolbarGlyph(Glyph glyph);

// A closed padlock, 16 by 16 pixels.
QPixmap PadlockPicture();

} // namespace lumo
