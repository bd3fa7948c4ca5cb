#include "builder/document_dump.h"

#include "builder/document_builder.h"
#include "layout/section_list.h"

namespace lumo {

TLayoutResult LayOutAgain(TSectionList& list, Canvas& canvas, const TLayoutSettings& settings) {
    TLayoutResult result;
    int cursor = 0;
    result.Height =
        list.LayOutCell(canvas, 0, settings.Width, settings.Height, result.ScrollWidth, cursor);
    return result;
}

TLayoutResult BuildAndLayOut(TSectionList& list, std::string_view html, Canvas& canvas,
                             const TLayoutSettings& settings) {
    list.Reset();
    const std::string title = ParseHtmlBuffer(list, html).Title;
    TLayoutResult result = LayOutAgain(list, canvas, settings);
    result.Title = title;
    return result;
}

std::string DumpDocument(const TSectionList& list, const TLayoutResult& result) {
    std::string out = "document \"" + result.Title + "\" height " + std::to_string(result.Height) +
                      " width " + std::to_string(result.ScrollWidth) + "\n";
    return out + list.DumpLayout();
}

std::string DumpLayoutOf(std::string_view html, Canvas& canvas, const TLayoutSettings& settings) {
    TSectionList list(canvas);
    return DumpDocument(list, BuildAndLayOut(list, html, canvas, settings));
}

} // namespace lumo
