// 10,000 bookmarks in 100 folders: reading the file, building the manager's
// tree, and building the Bookmarks menu, beside the floor of splitting the
// same file into lines.
#include "tools/bookmark_file.h"
#include "tools/bookmark_menu.h"
#include "tools/bookmark_tree.h"

#include <QMenu>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace {

using namespace lumo;

const std::string& TenThousand() {
    static const std::string text = [] {
        TBookmarkList tree;
        for (int f = 0; f < 100; ++f) {
            TBookmarkNode folder{TBookmarkKind::Folder, "Folder " + std::to_string(f), {}, {}};
            for (int b = 0; b < 100; ++b)
                folder.Children.push_back({TBookmarkKind::Bookmark,
                                           "Page " + std::to_string(b) + " & more",
                                           "http://site" + std::to_string(f) + ".test/page" +
                                               std::to_string(b) + ".htm?a=1",
                                           {}});
            tree.push_back(std::move(folder));
        }
        return FormatBookmarks(tree);
    }();
    return text;
}

void SplitLines(benchmark::State& state) {
    for (auto _ : state) {
        std::istringstream in(TenThousand());
        int lines = 0;
        for (std::string line; std::getline(in, line);)
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
}

void ParseFile(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseBookmarks(TenThousand()));
}

void LoadTreeAndMenu(benchmark::State& state) {
    for (auto _ : state) {
        TBookmarkTree tree;
        tree.SetNodes(ParseBookmarks(TenThousand()).Nodes);
        QMenu menu;
        BuildBookmarkMenu(menu, tree.Nodes(), [](const std::string&) {});
        benchmark::DoNotOptimize(menu.actions().size());
    }
}

void TreeOnly(benchmark::State& state) {
    const TBookmarkList nodes = ParseBookmarks(TenThousand()).Nodes;
    for (auto _ : state) {
        TBookmarkTree tree;
        tree.SetNodes(nodes);
        benchmark::DoNotOptimize(tree.topLevelItemCount());
    }
}

void MenuOnly(benchmark::State& state) {
    const TBookmarkList nodes = ParseBookmarks(TenThousand()).Nodes;
    for (auto _ : state) {
        QMenu menu;
        BuildBookmarkMenu(menu, nodes, [](const std::string&) {});
        benchmark::DoNotOptimize(menu.actions().size());
    }
}

BENCHMARK(TreeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(MenuOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(SplitLines)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseFile)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadTreeAndMenu)->Unit(benchmark::kMillisecond);

} // namespace
