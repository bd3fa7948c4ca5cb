// Any bytes as a document: built, laid out at two widths, painted on the
// recording canvas, searched, hit-tested and copied.
#include "builder/document_builder.h"
#include "builder/document_dump.h"
#include "fuzz/fuzz_support.h"
#include "layout/scroll_position.h"
#include "layout/section_list.h"
#include "platform/recording_canvas.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input = lumo::fuzz::AsText(data, size);
    lumo::RecordingCanvas canvas;
    lumo::TSectionList list(canvas);
    lumo::TLayoutSettings settings;
    settings.Width = 640;
    lumo::TLayoutResult result = lumo::BuildAndLayOut(list, input, canvas, settings);
    for (int width : {640, 90}) {
        settings.Width = width;
        result = lumo::LayOutAgain(list, canvas, settings);
        list.SetScrollY(0);
        list.PaintCell(canvas, {0, 0, width, 480}, width, 0, 0);
        list.SetScrollY(std::max(0, result.Height - 480));
        list.PaintCell(canvas, {0, 0, width, 480}, width, 0, 0);
        canvas.Log.clear();
        const lumo::TUrlTarget* target = nullptr;
        lumo::TFormControlObj* control = nullptr;
        for (int y = 0; y < result.Height && y < 4000; y += 37)
            list.LinkAtPoint(canvas, (y * 7) % width, y, target, control);
    }
    list.SelStart = 3;
    list.SelEnd = 1 << 30;
    list.GetSelectedText(4096);
    list.FindText(0, "a", false);
    list.DumpLayout();
    // A position taken deep in the document finds its way back.
    const lumo::TScrollPosition position = lumo::ScrollPositionAt(list, result.Height / 2);
    if (lumo::ScrollYOf(list, position) != result.Height / 2) __builtin_trap();
    return 0;
}
