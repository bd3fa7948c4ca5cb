// Renders every page of a page's preview once and prints the page count
// and the seconds it took; run under /usr/bin/time for its peak memory.
#include "print/page_recorder.h"
#include "viewer/html_viewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPrinter>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: print_preview_run PAGE.htm\n");
        return 2;
    }
    lumo::THTMLViewer viewer;
    viewer.resize(800, 600);
    viewer.OpenFile(argv[1]);
    QPrinter printer(QPrinter::HighResolution);
    lumo::TPageRecorder recorder(printer);
    QElapsedTimer clock;
    clock.start();
    const int pages = viewer.PreviewPages(recorder);
    std::printf("%d %.3f\n", pages, clock.nsecsElapsed() / 1e9);
    return pages > 0 ? 0 : 1;
}
