// The text dump of what the frame browser shows, for --dump-layout, tests
// and scripts. An ordinary page prints its document dump only. A frameset
// page prints its tree first, one line per frame set and frame in document
// order, indented two spaces per level, with each rectangle as left, top,
// width and height in the browser's client coordinates:
//
//   frameset at 0 0 800 600 cols 25%,*
//     frame 1 at 0 0 200 600 name "left" source "http://host/left.htm"
//     frameset at 200 0 600 600 rows 100,*
//       frame 2 at 200 0 600 100 source "http://host/top.htm"
//
// A frame whose document is a frameset has its set on the lines below it; a
// frame that shows nothing says "empty". Then, for each frame with a
// document in the viewer, a line "--- frame N" and that document's dump.
#pragma once

#include <string>

namespace lumo {

class TFrameBrowser;

std::string DumpFrameBrowser(TFrameBrowser& browser);

} // namespace lumo
