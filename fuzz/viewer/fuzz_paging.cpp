// Any bytes as a document, cut into pages of a size taken from the first
// two bytes and drawn on the recording canvas: paging must end, and every
// page must start below the one before.
#include "builder/document_builder.h"
#include "fuzz/fuzz_support.h"
#include "layout/section_list.h"
#include "platform/recording_canvas.h"
#include "viewer/paged_output.h"

#include <cstddef>
#include <cstdint>

namespace {

class Pages : public lumo::TPageDevice {
public:
    explicit Pages(lumo::TPageMetrics m) : metrics_(m) {}
    lumo::TPageMetrics Metrics() const override { return metrics_; }
    void BeginDoc(const std::string&) override {}
    lumo::Canvas& PageCanvas() override { return canvas_; }
    void NewPage() override { canvas_.Log.clear(); }
    void EndDoc() override {}
    void Abort() override {}

private:
    lumo::TPageMetrics metrics_;
    lumo::RecordingCanvas canvas_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // A sheet of 2 to 10 inches by 2 to 10 inches at 96 dpi.
    const int width = 192 + data[0] * 3, height = 192 + data[1] * 3;
    const std::string_view input = lumo::fuzz::AsText(data + 2, size - 2);
    lumo::RecordingCanvas canvas;
    lumo::TSectionList list(canvas);
    lumo::ParseHtmlBuffer(list, input, {});
    Pages device({96, 96, width, height, 0, 0, width, height});
    lumo::TPagingJob job;
    job.Kind = lumo::TPagingKind::Print;
    job.Pages = lumo::TPageSelection(1, 60);
    job.Margins = {0.5, 0.5, 0.5, 0.5};
    int last = 0;
    lumo::TPagingHooks hooks;
    hooks.PageEvent = [&last](int page, bool&) {
        if (page != 1 && page != last + 1) __builtin_trap();
        last = page;
    };
    lumo::RunPaging(list, canvas, device, job, hooks);
    return 0;
}
