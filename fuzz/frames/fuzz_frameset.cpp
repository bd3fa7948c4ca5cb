// Framesets as pages write them: the first line is a ROWS or COLS list whose
// sizes must place every child inside the area, and the whole input is a
// page loaded into a frame browser (each frame's own document is a short
// page), laid out and resized.
#include "frames/frame_browser.h"
#include "frames/frameset_dimensions.h"
#include "fuzz/fuzz_support.h"
#include "platform/stream.h"

#include <QApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace lumo;

void CheckDimensions(std::string_view list, int total) {
    TDimArray specs{}, sizes{}, ends{};
    const int count = ParseDimensionList(list, specs);
    if (count < 1 || count > MaxFrameDims) __builtin_trap();
    const auto n = static_cast<size_t>(count);
    const int sum = ComputeDimensionSizes({specs.data(), n}, total, {sizes.data(), n});
    if (sum < 0) __builtin_trap();
    PlaceDimensions({sizes.data(), n}, sum, total, {ends.data(), n});
    int previous = 0;
    for (size_t i = 0; i < n; ++i) {
        if (ends[i] < previous || ends[i] > total) __builtin_trap();
        previous = ends[i];
    }
    if (ends[n - 1] != total) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input = fuzz::AsText(data, size);
    CheckDimensions(input.substr(0, input.find('\n')), static_cast<int>(size % 2000));

    TFrameBrowser browser;
    browser.resize(640, 480);
    TMemoryStream page, frame;
    browser.OnGetPostRequest = [&](QWidget* sender, bool, const std::string&, const std::string&,
                                   bool, std::string&, TContentKind& kind, TStream*& stream) {
        kind = ckHTML;
        if (sender == &browser) {
            page.Assign(std::string(input));
            stream = &page;
        } else {
            frame.Assign("<P>frame");
            stream = &frame;
        }
    };
    try {
        browser.OpenAddress("http://fuzz/page.htm");
    } catch (const std::exception&) {
    }
    browser.resize(300, 900);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
