#include "golden_layout.h"

#include "builder/document_dump.h"
#include "platform/file_system.h"
#include "platform/recording_canvas.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace lumo::test {

std::string GoldenFolder() {
    return std::string(LUMO_SOURCE_DIR) + "/tests/data/layout/";
}

std::vector<std::string> GoldenPages() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(GoldenFolder()))
        if (entry.path().extension() == ".htm") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string GoldenDump(const std::string& name) {
    auto html = ReadWholeFile(GoldenFolder() + name + ".htm", 1 << 20);
    if (!html) return "missing input\n";
    TLayoutSettings settings;
    const std::string marker = "<!-- width=";
    if (html->rfind(marker, 0) == 0) settings.Width = std::atoi(html->c_str() + marker.size());
    RecordingCanvas canvas;
    return DumpLayoutOf(*html, canvas, settings);
}

int RebaselineGoldenPages() {
    int count = 0;
    for (const std::string& name : GoldenPages()) {
        WriteFileAtomically(GoldenFolder() + name + ".layout", GoldenDump(name));
        ++count;
    }
    return count;
}

} // namespace lumo::test
