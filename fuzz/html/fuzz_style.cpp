// The style sheet reader, the STYLE attribute reader and style resolution
// over any bytes.
#include "fuzz/fuzz_support.h"
#include "html/parse_color.h"
#include "html/prop_stack.h"
#include "html/style_list.h"
#include "html/style_sheet.h"
#include "platform/recording_canvas.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input = lumo::fuzz::AsText(data, size);
    lumo::TStyleList styles;
    lumo::TDefaultLook look;
    look.OverColor = 0xFF;
    look.MarginHeight = 10;
    styles.Initialize(look);
    // An import reads the same bytes again, two deep.
    int imports = 0;
    styles.OnImport = [&](const std::string&, std::string_view path) {
        if (imports++ < 2) lumo::ReadStyleSheetText(styles, input, path);
    };
    lumo::ReadStyleSheetText(styles, input, size > 0 && (data[0] & 1) ? "http://host/css/" : "/d/");

    lumo::TProperties attr;
    lumo::ReadPropertyText(input, attr);
    lumo::TColor color;
    lumo::ParseColor(input.substr(0, 64),
                     size > 0 && (data[0] & 2) ? lumo::TPound::Required : lumo::TPound::Optional,
                     color);

    lumo::RecordingCanvas canvas;
    lumo::TPropStack stack(styles);
    stack.Reset();
    for (const char* tag : {"body", "div", "ul", "li", "p", "a", "span"})
        stack.PushProps(tag, "c d", "i", "", &attr);
    stack.PushProps("a", "", "", "hover", nullptr);
    const lumo::TProperties& top = stack.TopProps();
    top.MakeHoverFont(canvas);
    lumo::TBoxValues box{};
    int autoCount = 0;
    bool t = false, b = false;
    lumo::ResolveBoxValues(top, 500, 400, top.EmSize, top.ExSize, box, autoCount);
    lumo::ResolveVerticalMargins(top, 400, top.EmSize, top.ExSize, box, t, b);
    top.GetLineHeight();
    stack.PopPropsFor("div");
    return 0;
}
