// Remembers a window's place between runs in the settings file, in a section
// named after the window: "State" 1 when it was maximized, else 0 with
// "Left" and "Top" (the frame's position) and "Width" and "Height" (the
// size inside the frame). Restoring moves and resizes the same way, so a
// window does not creep by its title bar from run to run.
#pragma once

class QWidget;

namespace lumo {

class TWindowPlacement {
public:
    // Keys that are missing keep the window's current value; without a
    // saved "Left" the window is left where it is.
    static void Restore(QWidget& window);
    // False when the settings file could not be written.
    static bool Save(const QWidget& window);
};

// Puts the window's frame at (left, top) with that inner size. A size is
// kept between 1 and 16384 pixels, and a place that no screen shows any of
// (a screen that is gone) leaves the window where it is.
void PlaceWindow(QWidget& window, int left, int top, int width, int height);

} // namespace lumo
