// A batch run: one window renders a list of pages, each line of the list
// "OUTPUT ADDRESS" (OUTPUT ending in .png a picture of the window, .pdf a
// print of the page, .txt its layout dump). Each page starts from a fresh
// window state (no history, no visited links); a page that fails writes
// nothing, says why on standard error, and the run goes on.
#pragma once

#include "app/command_line.h"

#include <cstdio>
#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

class TMainWindow;

enum class TBatchOutput { Picture, Pdf, LayoutDump };

struct TBatchItem {
    std::string Output; // the file's name as given, in ANSI
    std::string Address;
    TBatchOutput Kind = TBatchOutput::Picture;
};

// The items of a list. A line that is blank or starts with "#" is passed
// over; one without an address or with another ending of OUTPUT is an
// error, with its number, in errors. Relative names and paths are found
// from currentFolder.
std::vector<TBatchItem> ReadBatchList(std::istream& list, std::string_view currentFolder,
                                      std::vector<std::string>& errors);

class TBatchRun {
public:
    // A layout dump is made at dumpSize, as --dump-layout makes it.
    // failures counts the messages of failure the window has shown so far;
    // lastMessage is the latest of them.
    TBatchRun(TMainWindow& form, std::vector<TBatchItem> items, int timeoutSeconds,
              TDumpSize dumpSize, std::function<int()> failures,
              std::function<std::string()> lastMessage);

    // Renders the list from the main loop and returns how many pages failed.
    // Progress goes to progress (done/total, pages a second, memory).
    int Run(std::FILE* progress);

private:
    std::string Write(const TBatchItem& item);
    // The frame browser at the dump's size for a dump, else as the window
    // lays it out.
    void SizeFrameBrowserFor(const TBatchItem& item);

    TMainWindow& form_;
    std::vector<TBatchItem> items_;
    int timeoutSeconds_;
    TDumpSize dumpSize_;
    std::function<int()> failures_;
    std::function<std::string()> lastMessage_;
    int windowWidth_, windowHeight_; // as the run found it
    size_t next_ = 0;
    int failed_ = 0;
};

// Resident memory of this process in MiB (0 when it cannot be read).
double ResidentMiB();

} // namespace lumo
