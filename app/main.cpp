// The program's entry: the command line, the application object and the main window.
#include "app/archive_list.h"
#include "app/batch_run.h"
#include "app/command_line.h"
#include "app/image_info.h"
#include "app/main_window.h"
#include "app/screenshot.h"
#include "frames/frame_browser.h"
#include "frames/frame_dump.h"
#include "platform/ansi.h"
#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/heap_pages.h"
#include "platform/lumo_application.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/program_folder.h"
#include "tools/unzip_command.h"
#include "viewer/page_device.h"

#include <QIcon>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

using namespace lumo;

// In headless runs nobody can answer a box: its text goes to standard error.
class StandardErrorBoxes : public MessageBoxes {
public:
    MessageAnswer Show(MessageKind kind, const std::string& title, const std::string& text,
                       MessageButtons) override {
        // A batch tells each failure with its page's address instead.
        if (!Quiet)
            std::fprintf(stderr, "%s: %s\n", AnsiToUtf8(title).c_str(), AnsiToUtf8(text).c_str());
        if (kind == MessageKind::Plain || kind == MessageKind::Error) {
            ++Failures;
            LastFailure = text;
        }
        return MessageAnswer::Cancel;
    }
    bool Quiet = false;
    int Failures = 0; // boxes that told of something that went wrong
    std::string LastFailure;
};

bool HasDisplay() {
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// Opens the address as a user's action would and waits until the page is
// shown ("DONE", every frame laid out and painted). Past the timeout the
// window closes, which stops a fetch that is still running.
bool ShowPage(TMainWindow& form, const TCommandLine& line, std::string& error) {
    bool timedOut = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&] {
        timedOut = true;
        form.close();
    });
    deadline.start(std::min(line.TimeoutSeconds, 86400) * 1000);
    form.FormShow(line.Address);
    WaitUntil([&] { return timedOut || form.PageShown(); });
    deadline.stop();
    if (timedOut)
        error = "the page was not shown within " + std::to_string(line.TimeoutSeconds) + " s";
    return !timedOut;
}

int Finish(const std::string& error, const StandardErrorBoxes& boxes) {
    if (!error.empty()) std::fprintf(stderr, "lumo: %s\n", AnsiToUtf8(error).c_str());
    return error.empty() && boxes.Failures == 0 ? 0 : 1;
}

int TakeScreenshot(TMainWindow& form, const TCommandLine& line, const StandardErrorBoxes& boxes) {
    std::string error;
    if (ShowPage(form, line, error)) WriteWindowShot(form, line.ScreenshotFile, error);
    form.close();
    return Finish(error, boxes);
}

// The frame browser takes exactly the asked size, so the rectangles of a
// dump do not depend on the window's own bars. The settings file is left
// as it was: the window is never closed by the user.
int DumpLayout(TMainWindow& form, const TCommandLine& line, const StandardErrorBoxes& boxes) {
    std::string error;
    if (ShowPage(form, line, error) && boxes.Failures == 0) {
        const std::string dump = DumpFrameBrowser(*form.FrameBrowser);
        std::fwrite(dump.data(), 1, dump.size(), stdout);
    }
    return Finish(error, boxes);
}

// Prints the page shown into a PDF file through the printing code; a page
// that failed to load, had nothing to print or fewer pages than the range
// asked, or a file that could not be written, is an error, and no file is
// left.
int PrintPdf(TMainWindow& form, const TCommandLine& line, const StandardErrorBoxes& boxes) {
    std::string error;
    if (ShowPage(form, line, error) && boxes.Failures == 0)
        error = form.PrintToPdf(line.PrintPdfFile, TPageSelection(line.FromPage, line.ToPage));
    form.close();
    return Finish(error, boxes);
}

// Renders every page of the list; the exit status says whether any failed.
int RunBatch(TMainWindow& form, const TCommandLine& line, StandardErrorBoxes& boxes,
             const std::string& currentFolder) {
    std::vector<std::string> errors;
    std::ifstream file;
    if (line.BatchList != "-") {
        file.open(std::filesystem::path(line.BatchList));
        if (!file) return Finish("cannot read " + Utf8ToAnsi(line.BatchList), boxes);
    }
    std::vector<TBatchItem> items =
        ReadBatchList(line.BatchList == "-" ? std::cin : file, currentFolder, errors);
    for (const std::string& error : errors)
        std::fprintf(stderr, "lumo: %s: %s\n", line.BatchList.c_str(), error.c_str());
    boxes.Quiet = true;
    TBatchRun batch(
        form, std::move(items), std::min(line.TimeoutSeconds, 86400), DumpSizeOf(line),
        [&boxes] { return boxes.Failures; }, [&boxes] { return boxes.LastFailure; });
    const int failed = batch.Run(stderr);
    form.close();
    return failed == 0 && errors.empty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    UseLargePagesForHeap();
    FailWritesPastFileSizeLimit();
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code ec;
    const std::string currentFolder = std::filesystem::current_path(ec).native();
    TCommandLine line = ParseCommandLine(args, currentFolder);
    if (!line.Error.empty()) {
        std::fprintf(stderr, "lumo: %s\n%s", line.Error.c_str(), UsageText);
        return 2;
    }
    if (line.Help) {
        std::fputs(UsageText, stdout);
        std::fputs(HelpText, stdout);
        return 0;
    }
    if (line.Version) {
        std::fputs(VersionText, stdout);
        return 0;
    }
    if (!line.ImageInfoFile.empty()) return PrintImageInfo(line.ImageInfoFile);
    if (line.Unzip)
        return RunUnzipCommand(line.UnzipArchive, line.UnzipTarget, line.UnzipPatterns, stdout,
                               stderr);
    if (!line.ArchiveListFile.empty())
        return PrintArchiveList(AnsiName(std::filesystem::absolute(line.ArchiveListFile, ec)),
                                ProgramFolder() + "Cache/", stdout, stderr);
    const bool headless = !line.ScreenshotFile.empty() || line.DumpLayout ||
                          !line.PrintPdfFile.empty() || !line.BatchList.empty();
    if (headless && !HasDisplay() && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    LumoApplication app(argc, argv);
    LumoApplication::setApplicationName("Lumo 10");
    // The desktop finds the entry and the icon an install puts in place.
    LumoApplication::setDesktopFileName("lumo");
    LumoApplication::setWindowIcon(QIcon::fromTheme("lumo"));
    SetApplicationTitle("Lumo 10");
    StandardErrorBoxes errorBoxes;
    if (headless) SetMessageBoxes(&errorBoxes);

    // The window takes its size before the page is laid out for it.
    TMainWindow form;
    // For this run only: the settings file keeps its own.
    if (line.TimeTravelDate) form.TimeTravel().SetDate(line.TimeTravelDate);
    if (!line.TimeTravelArchive.empty()) form.TimeTravel().SetArchive(line.TimeTravelArchive);
    if (line.DumpLayout)
        form.FrameBrowser->setFixedSize(DumpSizeOf(line).Width, DumpSizeOf(line).Height);
    else if (headless && line.Width > 0)
        form.resize(line.Width, line.Height);
    form.show();
    if (!line.ArchiveFile.empty()) {
        const std::string archive = AnsiName(std::filesystem::absolute(line.ArchiveFile, ec));
        try {
            form.OpenArchive(archive);
        } catch (const std::exception& e) {
            return Finish(e.what(), errorBoxes);
        }
        if (line.Address.empty()) line.Address = FileAddressOf(archive);
    }
    if (!line.BatchList.empty()) return RunBatch(form, line, errorBoxes, currentFolder);
    if (line.DumpLayout) return DumpLayout(form, line, errorBoxes);
    if (!line.PrintPdfFile.empty()) return PrintPdf(form, line, errorBoxes);
    if (headless) return TakeScreenshot(form, line, errorBoxes);
    form.FormShow(line.Address);
    return LumoApplication::exec();
}
