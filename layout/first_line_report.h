// What the first text line laid out in a list item reports to the item.
#pragma once

namespace lumo {

// The item sets the room its marker takes inside the first line, if it
// stands there; the line reports where it is and where that room starts.
struct TFirstLineReport {
    int Baseline = 0;   // document Y; 0 until a line is laid out
    int MarkerRoom = 0; // pixels at the line's start
    int MarkerX = 0;    // document X where that room starts
};

} // namespace lumo
