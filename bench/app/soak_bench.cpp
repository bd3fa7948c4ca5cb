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
#include "platform/heap_pages.h"
#include "platform/lumo_application.h"
#include "platform/message_box.h"

#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
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

// Walks the list from the event loop, as a user's clicks would come: each
// page is opened from an event, and the next one waits until the page is
// shown ("DONE", every frame painted) or 30 s have passed. Objects the
// window frees later (deleteLater) go when control is back in the loop, as
// in the program.
class Walk {
public:
    Walk(TMainWindow& form, std::vector<std::string> list, int pages, std::set<int> checkpoints)
        : form_(form), list_(std::move(list)), pages_(pages), checkpoints_(std::move(checkpoints)) {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    }
    void Start() {
        QTimer::singleShot(0, [this] { OpenNext(); });
    }
    const std::set<std::string>& TimedOut() const { return timedOut_; }

private:
    void OpenNext() {
        address_ = list_[static_cast<size_t>(shown_) % list_.size()];
        started_.start();
        form_.NavigateTo(address_);
        poll_.start();
    }
    void Poll() {
        const bool late = started_.elapsed() > 30'000;
        if (!late && !form_.PageShown()) return;
        poll_.stop();
        if (late) {
            timedOut_.insert(address_);
            form_.CancelButtonClick();
        }
        ++shown_;
        if (checkpoints_.count(shown_))
            std::printf("pages %5d rss %7.1f MiB peak %7.1f MiB\n", shown_, StatusMiB("VmRSS"),
                        StatusMiB("VmHWM"));
        std::fflush(stdout);
        if (shown_ < pages_)
            QTimer::singleShot(0, [this] { OpenNext(); });
        else
            QCoreApplication::quit();
    }

    TMainWindow& form_;
    const std::vector<std::string> list_;
    const int pages_;
    const std::set<int> checkpoints_;
    QTimer poll_;
    QElapsedTimer started_;
    std::string address_;
    int shown_ = 0;
    std::set<std::string> timedOut_;
};

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

    Walk walk(form, list, pages, checkpoints);
    walk.Start();
    LumoApplication::exec();
    for (const std::string& address : walk.TimedOut())
        std::printf("timed out: %s\n", address.c_str());
    std::printf("message boxes: %d\n", boxes.Count);
    form.close();
    return 0;
}
