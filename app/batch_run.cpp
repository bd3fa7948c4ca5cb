#include "app/batch_run.h"

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/page_walk.h"
#include "app/screenshot.h"
#include "frames/frame_browser.h"
#include "frames/frame_dump.h"
#include "platform/ansi.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "viewer/page_device.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdlib>
#include <fstream>

namespace lumo {

namespace {

// How often progress is told, in pages.
constexpr size_t ProgressStep = 10;

bool KindOfOutput(std::string_view name, TBatchOutput& kind) {
    const std::string lower = LowerCase(name);
    if (lower.ends_with(".png"))
        kind = TBatchOutput::Picture;
    else if (lower.ends_with(".pdf"))
        kind = TBatchOutput::Pdf;
    else if (lower.ends_with(".txt"))
        kind = TBatchOutput::LayoutDump;
    else
        return false;
    return true;
}

std::string LocalFileName(std::string_view text, std::string_view currentFolder) {
    std::string name(text);
    if (!name.starts_with('/') && !currentFolder.empty())
        name = std::string(currentFolder) + "/" + name;
    return Utf8ToAnsi(name);
}

} // namespace

double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:")) return std::atof(line.c_str() + 6) / 1024;
    return 0;
}

std::vector<TBatchItem> ReadBatchList(std::istream& list, std::string_view currentFolder,
                                      std::vector<std::string>& errors) {
    std::vector<TBatchItem> items;
    int number = 0;
    for (std::string line; std::getline(list, line);) {
        ++number;
        const std::string_view text = Trim(line);
        if (text.empty() || text.starts_with('#')) continue;
        const size_t blank = text.find_first_of(" \t");
        TBatchItem item;
        const std::string_view address =
            blank == std::string_view::npos ? std::string_view() : Trim(text.substr(blank));
        if (address.empty() || !KindOfOutput(text.substr(0, blank), item.Kind)) {
            errors.push_back("line " + std::to_string(number) +
                             ": needs OUTPUT.png, OUTPUT.pdf or OUTPUT.txt and an address");
            continue;
        }
        item.Output = LocalFileName(text.substr(0, blank), currentFolder);
        item.Address = AddressFromCommandText(address, currentFolder);
        items.push_back(std::move(item));
    }
    return items;
}

TBatchRun::TBatchRun(TMainWindow& form, std::vector<TBatchItem> items, int timeoutSeconds,
                     TDumpSize dumpSize, std::function<int()> failures,
                     std::function<std::string()> lastMessage)
    : form_(form), items_(std::move(items)), timeoutSeconds_(timeoutSeconds), dumpSize_(dumpSize),
      failures_(std::move(failures)), lastMessage_(std::move(lastMessage)),
      windowWidth_(form.width()), windowHeight_(form.height()) {}

int TBatchRun::Run(std::FILE* progress) {
    QElapsedTimer clock;
    clock.start();
    TPageWalk walk(form_, timeoutSeconds_ * 1000);
    int failuresBefore = 0;
    walk.OnNext = [this]() -> std::optional<std::string> {
        if (next_ == items_.size()) return std::nullopt;
        return items_[next_].Address;
    };
    walk.OnOpen = [&](const std::string&) {
        // A fresh start: no history to go back to, no link marked as
        // visited, and an archive's captures as if no page had been shown.
        const int visited = form_.FrameBrowser->VisitedMaxCount();
        form_.FrameBrowser->SetVisitedMaxCount(0);
        form_.FrameBrowser->SetVisitedMaxCount(visited);
        form_.FrameBrowser->ClearHistory();
        form_.ForgetArchivePages();
        SizeFrameBrowserFor(items_[next_]);
        failuresBefore = failures_();
    };
    walk.OnShown = [&](const std::string& address, bool timedOut) {
        const TBatchItem& item = items_[next_++];
        std::string error;
        if (timedOut)
            error = "the page was not shown within " + std::to_string(timeoutSeconds_) + " s";
        else if (failures_() > failuresBefore)
            error = lastMessage_();
        else
            error = Write(item);
        if (!error.empty()) {
            ++failed_;
            std::fprintf(stderr, "lumo: %s: %s\n", AnsiToUtf8(address).c_str(),
                         AnsiToUtf8(error).c_str());
        }
        if (next_ % ProgressStep == 0 || next_ == items_.size()) {
            const double seconds = std::max(clock.elapsed(), qint64(1)) / 1000.0;
            std::fprintf(progress, "lumo: %zu/%zu pages, %.1f pages/s, %.0f MiB\n", next_,
                         items_.size(), static_cast<double>(next_) / seconds, ResidentMiB());
            std::fflush(progress);
        }
    };
    walk.Start();
    QCoreApplication::exec();
    return failed_;
}

void TBatchRun::SizeFrameBrowserFor(const TBatchItem& item) {
    QWidget& browser = *form_.FrameBrowser;
    if (item.Kind == TBatchOutput::LayoutDump) {
        browser.setFixedSize(dumpSize_.Width, dumpSize_.Height);
        return;
    }
    browser.setMinimumSize(0, 0);
    browser.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // A dump may have made the window grow around the browser. Each layout
    // between the browser and the window hears that it may shrink again in
    // a round of its own; then the window takes its own size back, and the
    // browser its place, before the page.
    for (QWidget* w = &browser; w && w != &form_; w = w->parentWidget())
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    form_.resize(windowWidth_, windowHeight_);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

std::string TBatchRun::Write(const TBatchItem& item) {
    std::string error;
    switch (item.Kind) {
    case TBatchOutput::Picture: WriteWindowShot(form_, item.Output, error); break;
    case TBatchOutput::Pdf: error = form_.PrintToPdf(item.Output, TPageSelection()); break;
    case TBatchOutput::LayoutDump:
        if (!WriteFileAtomically(AnsiName(AnsiToUtf8(item.Output)),
                                 DumpFrameBrowser(*form_.FrameBrowser)))
            error = "cannot write " + item.Output;
        break;
    }
    return error;
}

} // namespace lumo
