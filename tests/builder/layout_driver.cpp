// Lays one HTML file out and prints the layout dump or writes a picture.
//
//   layout_driver [--fixed] [--width N] [--png OUT.png [--top Y] [--height H]] PAGE.htm
//   layout_driver --rebaseline
//
// --fixed measures with the recording canvas's made-up metrics (what the
// golden tests use); otherwise the installed fonts are used. --png paints the
// document into OUT.png: from --top (0) down --height pixels (the whole
// document, at most 32,000 pixels of it, by default). --rebaseline
// rewrites the expected dumps of tests/data/layout.
#include "golden_layout.h"

#include "builder/document_dump.h"
#include "layout/section_list.h"
#include "platform/file_system.h"
#include "platform/qt_canvas.h"
#include "platform/recording_canvas.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: layout_driver [--fixed] [--width N] [--png OUT.png [--top Y] "
                         "[--height H]] PAGE.htm\n"
                         "       layout_driver --rebaseline\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    bool fixed = false, rebaseline = false;
    int width = 800, top = 0, window = 0;
    std::string png, page;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--fixed"))
            fixed = true;
        else if (!std::strcmp(argv[i], "--rebaseline"))
            rebaseline = true;
        else if (!std::strcmp(argv[i], "--width") && i + 1 < argc)
            width = std::clamp(std::atoi(argv[++i]), 1, 100000);
        else if (!std::strcmp(argv[i], "--top") && i + 1 < argc)
            top = std::max(0, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--height") && i + 1 < argc)
            window = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--png") && i + 1 < argc)
            png = argv[++i];
        else if (argv[i][0] == '-')
            return Usage();
        else
            page = argv[i];
    }
    if (rebaseline) {
        std::printf("rewrote %d expected dumps\n", lumo::test::RebaselineGoldenPages());
        return 0;
    }
    if (page.empty()) return Usage();
    auto html = lumo::ReadWholeFile(page, 64 << 20);
    if (!html) {
        std::fprintf(stderr, "cannot read %s\n", page.c_str());
        return 1;
    }

    QImage scratch(8, 8, QImage::Format_RGB32);
    std::unique_ptr<lumo::Canvas> measure;
    if (fixed)
        measure = std::make_unique<lumo::RecordingCanvas>();
    else
        measure = std::make_unique<lumo::QtCanvas>(scratch);
    lumo::TSectionList list(*measure);
    list.SetDefaults(lumo::TDefaultLook{});
    lumo::TLayoutSettings settings;
    settings.Width = width;
    lumo::TLayoutResult result = lumo::BuildAndLayOut(list, *html, *measure, settings);
    if (png.empty()) {
        std::fputs(lumo::DumpDocument(list, result).c_str(), stdout);
        return 0;
    }
    const int height = std::clamp(window ? window : result.Height - top, 1, 32000);
    const int picture = std::max(width, std::min(result.ScrollWidth, 32000));
    QImage image(picture, height, QImage::Format_RGB32);
    image.fill(list.BackColor == lumo::clNone ? Qt::white : lumo::ToQColor(list.BackColor));
    {
        lumo::QtCanvas canvas(image);
        list.SetScrollY(top);
        list.PaintCell(canvas, {0, 0, picture, height}, width, 0, 0);
    }
    if (!image.save(QString::fromStdString(png))) {
        std::fprintf(stderr, "cannot write %s\n", png.c_str());
        return 1;
    }
    std::printf("%s: %dx%d\n", png.c_str(), picture, height);
    return 0;
}
