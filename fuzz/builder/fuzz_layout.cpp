// Any bytes as a document: built, laid out at two widths, painted on the
// recording canvas, searched, hit-tested and copied. An input whose first
// byte is odd is also read as a page declared UTF-8 (malformed sequences
// included), where every caret position must fall between characters.
#include "builder/document_builder.h"
#include "builder/document_dump.h"
#include "fuzz/fuzz_support.h"
#include "layout/scroll_position.h"
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "platform/recording_canvas.h"
#include "platform/utf8.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr std::string_view Utf8Meta =
    "<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=utf-8\">";

// The caret positions along a few rows stand at the start of a character.
void CheckCaretsAreBoundaries(lumo::TSectionList& list, lumo::Canvas& canvas, int width,
                              int height) {
    for (int y = 0; y < height && y < 1000; y += 29)
        for (int x = 0; x < width; x += 7) {
            int xr = 0, yr = 0, caretHeight = 0;
            bool inText = false;
            const int pos = list.CursorAt(canvas, x, y, xr, yr, caretHeight, inText);
            char ch = 0;
            lumo::TSectionBase* object = nullptr;
            if (pos < 0 || !list.CharAt(pos, ch, object)) continue;
            const auto* section = dynamic_cast<const lumo::TSection*>(object);
            if (!section) continue;
            const auto i = static_cast<size_t>(pos - section->FirstPos);
            if (lumo::Utf8CharStart(section->Text, i) != i) __builtin_trap();
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(lumo::fuzz::AsText(data, size));
    const bool utf8 = size > 0 && (data[0] & 1);
    if (utf8) text.insert(0, Utf8Meta);
    const std::string_view input = text;
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
        lumo::TFormControl* control = nullptr;
        for (int y = 0; y < result.Height && y < 4000; y += 37)
            list.LinkAtPoint(canvas, (y * 7) % width, y, target, control);
        // A later META may name another code page: carets follow the one the
        // page ends up in.
        if (list.CodePage == lumo::TCodePage::Utf8)
            CheckCaretsAreBoundaries(list, canvas, width, result.Height);
    }
    list.SelStart = 3;
    list.SelEnd = 1 << 30;
    list.GetSelectedText(4096);
    list.FindText(0, "a", false);
    list.FindText(1, "\xD0\x96", false);
    list.DumpLayout();
    // A position taken deep in the document finds its way back.
    const lumo::TScrollPosition position = lumo::ScrollPositionAt(list, result.Height / 2);
    if (lumo::ScrollYOf(list, position) != result.Height / 2) __builtin_trap();
    return 0;
}
