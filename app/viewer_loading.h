// How the main window puts an address into its one viewer until the frame
// browser and the navigation driver take this over: local files are opened
// by name, so their links and history work; built-in pages come through
// their connection. Other addresses are not loaded here.
#pragma once

#include <string>

namespace lumo {

class THTMLViewer;

enum class TViewerLoad { Loaded, NotLocal };

// Raises what the viewer or the connection raises (a missing file, a
// missing built-in page).
TViewerLoad LoadAddressIntoViewer(THTMLViewer& viewer, const std::string& address);

} // namespace lumo
