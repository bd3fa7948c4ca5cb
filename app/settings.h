// The settings file "lumo.ini": the main window's placement, the default font
// and colours of pages, whether the cache is kept between runs, and the SOCKS
// server (the HTTP proxy stays in "urls.txt", where it always was), the
// extra trusted certificates of https, and time travel's date and archive.
#pragma once

#include "net/socks_settings.h"
#include "tools/browser_defaults.h"

#include <string>

namespace lumo {

class TIniFile;

struct TMainWindowPlacement {
    bool Maximized = false;
    int Top = 0, Left = 0, Width = 0, Height = 0;
};

enum class TWindowState { Normal, Maximized, Minimized };

struct TSettings {
    TMainWindowPlacement Placement;
    TBrowserDefaults Browser;
    bool RetainCache = true;
    TSocksSettings Socks;
    std::string TrustFile;         // a PEM file of certificates trusted beside the system's
    std::string TimeTravelDate;    // "19990727"; empty while time travel is off
    std::string TimeTravelArchive; // the archive's base address; empty for the default
};

// Reads every setting; a missing key keeps the value given in current.
TSettings ReadSettings(const TIniFile& ini, const TSettings& current);

// Writes the page defaults into "Font" and "Colors"; false when the file
// could not be saved.
bool WriteBrowserDefaults(TIniFile& ini, const TBrowserDefaults& defaults);

// Writes the page defaults, then the placement as the window state asks
// (normal: position, size and "Maximized" false; maximized: only "Maximized";
// minimized: nothing), then "Retain", the SOCKS server, the trusted
// certificates and time travel.
void WriteSettings(TIniFile& ini, const TSettings& settings, TWindowState state);

} // namespace lumo
