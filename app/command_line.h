// The program's command line: an address or a local path, and the options of
// headless use.
#pragma once

#include "app/time_travel.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

struct TCommandLine {
    std::string Address;        // the address to open at start; empty when none
    std::string ScreenshotFile; // --screenshot OUT.png: write the window and quit
    bool DumpLayout = false;    // --dump-layout: print the laid-out page and quit
    std::string ImageInfoFile;  // --image-info FILE: describe the picture and quit
    std::string PrintPdfFile;   // --print-pdf OUT.pdf: print the page into a PDF and quit
    int FromPage = 1;           // --pages A-B (or A): the pages printed
    int ToPage = 9999;
    int Width = 0; // --size WxH
    int Height = 0;
    int TimeoutSeconds = 30; // --timeout S
    // --unzip ARCHIVE TARGET [PATTERN...]: extract without a window and quit
    bool Unzip = false;
    std::string UnzipArchive;
    std::string UnzipTarget;
    std::vector<std::string> UnzipPatterns;
    std::optional<TCivilDate> TimeTravelDate; // --time-travel YYYYMMDD
    std::string TimeTravelArchive;            // --time-travel-archive BASE
    std::string ArchiveFile;                  // --archive FILE: web addresses are answered from it
    std::string ArchiveListFile;              // --archive-list FILE: print its captures and quit
    std::string BatchList; // --batch LIST: render every page of the list ("-": standard input)
    bool Help = false;     // --help: print HelpText and quit
    bool Version = false;  // --version: print VersionText and quit
    std::string Error;     // a usage error, or empty
};

// The size a layout dump is made at: --size, or 800x600 without it. A dump
// lays out the frame browser at exactly this size, whatever the window's
// own bars take, so its rectangles are the same on every machine.
struct TDumpSize {
    int Width = 800;
    int Height = 600;
};
TDumpSize DumpSizeOf(const TCommandLine& line);

// args are the arguments after the program name as the system gives them
// (UTF-8); currentFolder, a native path, is where relative paths are found.
TCommandLine ParseCommandLine(const std::vector<std::string>& args, std::string_view currentFolder);

// The address meant by the text of the command line (UTF-8): quotes removed
// and blanks trimmed; an absolute address ("http://...", "res:///...", any
// letter case) stays, its characters outside ASCII escaped. A native path
// (one that starts like a path, "/", "\", a drive or ".", or names an
// existing file) becomes a "file:///" address that names exactly that file.
// Anything else is a web address ("127.0.0.1:8080/page.htm"), completed as
// the address box completes it.
std::string AddressFromCommandText(std::string_view text, std::string_view currentFolder);

// Whether a typed text is a local path: it starts with "/" or "\", or with a
// drive and a separator ("c:\dir"), so "x:80" stays a server and its port.
bool IsTypedPath(std::string_view text);

// The address a text typed into the address box means: a text with a scheme
// stays, a local path becomes its "file:///" address, and anything else is a
// web address (CompleteAddress: "http://" when no scheme, "/" when no path).
std::string TypedAddress(std::string_view text);

// The "file:///" address of a local file name (platform/file_system.h) or of
// a typed path: characters outside ASCII and control bytes are escaped.
std::string FileAddressOf(std::string_view path);

// Whether the text begins with a scheme and "://".
bool HasScheme(std::string_view text);

extern const char* const UsageText;
// The usage lines followed by what each option does (as the manual page says).
extern const char* const HelpText;
// The program's name and version, one line.
extern const char* const VersionText;

} // namespace lumo
