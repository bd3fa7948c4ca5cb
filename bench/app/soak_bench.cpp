// A soak run: one window opens the addresses of a list one after another,
// round and round until it has shown the asked number of pages, and prints
// its memory after chosen counts, so a leak shows as memory that keeps
// growing. bench/app/soak.sh builds the list and serves its pages.
//
//   bench_soak LIST PAGES [CHECKPOINT...]
//
// prints "pages N rss MIB peak MIB" at each checkpoint (resident memory now
// and its peak so far) and, at the end, the pages that failed or timed out.
#include "app/main_window.h"
#include "app/page_walk.h"
#include "platform/heap_pages.h"
#include "platform/lumo_application.h"
#include "platform/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace lumo;

// Boxes would wait for a click that never comes: count them instead.
class CountingBoxes : public MessageBoxes {
public:
    MessageAnswer Show(MessageKind, const std::string&, const std::string&,
                       MessageButtons) override {
        ++Count;
        return MessageAnswer::Cancel;
    }
    int Count = 0;
};

// A field of /proc/self/status in MiB ("VmRSS", "VmHWM").
double StatusMiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::atof(line.c_str() + field.size() + 1) / 1024;
    return 0;
}

std::vector<std::string> ReadList(const char* fileName) {
    std::ifstream in(fileName);
    std::vector<std::string> list;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) list.push_back(line);
    return list;
}

} // namespace

int main(int argc, char** argv) {
    UseLargePagesForHeap();
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_soak LIST PAGES [CHECKPOINT...]\n");
        return 2;
    }
    const std::vector<std::string> list = ReadList(argv[1]);
    const int pages = std::atoi(argv[2]);
    std::set<int> checkpoints{pages};
    for (int i = 3; i < argc; ++i)
        checkpoints.insert(std::atoi(argv[i]));
    if (list.empty() || pages <= 0) return 2;

    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    LumoApplication app(argc, argv);
    CountingBoxes boxes;
    SetMessageBoxes(&boxes);
    TMainWindow form;
    form.resize(800, 600);
    form.show();

    // Round and round the list; a page not shown within 30 s is stopped.
    int shown = 0;
    std::set<std::string> timedOut;
    TPageWalk walk(form, 30'000);
    walk.OnNext = [&]() -> std::optional<std::string> {
        if (shown == pages) return std::nullopt;
        return list[static_cast<size_t>(shown) % list.size()];
    };
    walk.OnShown = [&](const std::string& address, bool late) {
        if (late) timedOut.insert(address);
        if (checkpoints.count(++shown))
            std::printf("pages %5d rss %7.1f MiB peak %7.1f MiB\n", shown, StatusMiB("VmRSS"),
                        StatusMiB("VmHWM"));
        std::fflush(stdout);
    };
    walk.Start();
    LumoApplication::exec();
    for (const std::string& address : timedOut)
        std::printf("timed out: %s\n", address.c_str());
    std::printf("message boxes: %d\n", boxes.Count);
    form.close();
    return 0;
}
