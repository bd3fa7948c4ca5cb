// The program's entry: the command line, the application object and the main window.
#include "app/command_line.h"
#include "app/http_form.h"
#include "app/image_info.h"
#include "app/screenshot.h"
#include "app/viewer_loading.h"
#include "builder/document_dump.h"
#include "platform/ansi.h"
#include "platform/lumo_application.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "tools/unzip_command.h"
#include "viewer/html_viewer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace lumo;

// In headless runs nobody can answer a box: its text goes to standard error.
class StandardErrorBoxes : public MessageBoxes {
public:
    MessageAnswer Show(MessageKind, const std::string& title, const std::string& text,
                       MessageButtons) override {
        std::fprintf(stderr, "%s: %s\n", AnsiToUtf8(title).c_str(), AnsiToUtf8(text).c_str());
        return MessageAnswer::Cancel;
    }
};

bool HasDisplay() {
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

int TakeScreenshot(THTTPForm& form, const TCommandLine& line) {
    std::string error;
    bool written = false;
    if (!WaitUntil([&] { return form.PageShown(); }, std::min(line.TimeoutSeconds, 86400) * 1000))
        error = "the page was not shown within " + std::to_string(line.TimeoutSeconds) + " s";
    else
        written = WriteWindowShot(form, line.ScreenshotFile, error);
    form.close();
    if (!written) std::fprintf(stderr, "lumo: %s\n", AnsiToUtf8(error).c_str());
    return written ? 0 : 1;
}

} // namespace

// Lays the page out in a viewer of the window's page size and prints the dump.
int DumpLayout(const TCommandLine& line) {
    THTMLViewer viewer;
    viewer.resize(line.Width > 0 ? line.Width : 800, line.Height > 0 ? line.Height : 600);
    viewer.SetDefBackground(clWhite);
    try {
        if (LoadAddressIntoViewer(viewer, line.Address) != TViewerLoad::Loaded) {
            std::fprintf(stderr, "lumo: only local files and built-in pages can be dumped\n");
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumo: %s\n", AnsiToUtf8(e.what()).c_str());
        return 1;
    }
    const TLayoutResult result{viewer.DocHeight(), viewer.ScrollWidth(), viewer.PageTitle()};
    const std::string dump = DumpDocument(viewer.SectionList(), result);
    std::fwrite(dump.data(), 1, dump.size(), stdout);
    return 0;
}

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code ec;
    const TCommandLine line = ParseCommandLine(args, std::filesystem::current_path(ec).native());
    if (!line.Error.empty()) {
        std::fprintf(stderr, "lumo: %s\n%s", line.Error.c_str(), UsageText);
        return 2;
    }
    if (!line.ImageInfoFile.empty()) return PrintImageInfo(line.ImageInfoFile);
    if (line.Unzip)
        return RunUnzipCommand(line.UnzipArchive, line.UnzipTarget, line.UnzipPatterns, stdout,
                               stderr);
    const bool headless = !line.ScreenshotFile.empty() || line.DumpLayout;
    if (headless && !HasDisplay() && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    LumoApplication app(argc, argv);
    LumoApplication::setApplicationName("Lumo 10");
    SetApplicationTitle("Lumo 10");
    StandardErrorBoxes errorBoxes;
    if (headless) SetMessageBoxes(&errorBoxes);

    if (line.DumpLayout) return DumpLayout(line);

    // The window takes its size before the page is laid out for it.
    THTTPForm form;
    if (headless && line.Width > 0) form.resize(line.Width, line.Height);
    form.show();
    form.FormShow(line.Address);
    if (headless) return TakeScreenshot(form, line);
    return LumoApplication::exec();
}
