// A document built from markup and laid out with the recording canvas's
// fixed metrics (16-pixel lines, 8-pixel characters in the default font),
// and ways to find its items.
#pragma once

#include "builder/document_builder.h"
#include "builder/document_dump.h"
#include "layout/block.h"
#include "layout/html_table.h"
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "platform/recording_canvas.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumo::test {

struct Doc {
    explicit Doc(std::string_view html, int width = 600, const TBuilderHooks& hooks = {}) {
        list.Reset();
        result.Title = ParseHtmlBuffer(list, html, hooks).Title;
        LayOut(width);
    }
    void LayOut(int width) {
        TLayoutSettings settings;
        settings.Width = width;
        const std::string title = result.Title;
        result = LayOutAgain(list, canvas, settings);
        result.Title = title;
    }
    std::string Dump() const { return DumpDocument(list, result); }
    // Paints rows [top, bottom) of the document and returns the canvas log.
    std::string Paint(int top, int bottom, int width = 600) {
        canvas.Log.clear();
        list.SetScrollY(top);
        list.PaintCell(canvas, {0, 0, width, bottom - top}, width, 0, 0);
        return canvas.Log;
    }

    RecordingCanvas canvas;
    TSectionList list{canvas};
    TLayoutResult result;
};

// n paragraphs "Paragraph 0" ... with a title.
inline std::string Paragraphs(int n, std::string_view title = "Many") {
    std::string html = "<HTML><HEAD><TITLE>" + std::string(title) + "</TITLE></HEAD><BODY>";
    for (int i = 0; i < n; ++i)
        html += "<P>Paragraph " + std::to_string(i) + "</P>\n";
    return html + "</BODY></HTML>";
}

template <class T>
void Collect(const TCellBasic& cell, std::vector<T*>& out) {
    for (const auto& item : cell) {
        if (auto* t = dynamic_cast<T*>(item.get())) out.push_back(t);
        if (auto* b = dynamic_cast<TBlock*>(item.get())) Collect(b->Content, out);
        if (auto* table = dynamic_cast<THtmlTable*>(item.get())) {
            Collect(table->Caption, out);
            for (const auto& row : table->Rows)
                for (const auto& cell : row->Cells)
                    Collect(cell->Cell, out);
        }
    }
}

template <class T>
std::vector<T*> All(const TCellBasic& cell) {
    std::vector<T*> out;
    Collect(cell, out);
    return out;
}

// The first section whose text contains what.
inline TSection* SectionWith(const TCellBasic& cell, std::string_view what) {
    for (TSection* s : All<TSection>(cell))
        if (s->Text.find(what) != std::string::npos) return s;
    return nullptr;
}

// The font run of the first character of what.
inline TFontRun* RunOf(const TCellBasic& cell, std::string_view what) {
    TSection* s = SectionWith(cell, what);
    if (!s) return nullptr;
    return s->Runs[s->RunIndexAt(static_cast<int>(s->Text.find(what)))].get();
}

// The deepest nesting of blocks in the cell.
inline int BlockDepth(const TCellBasic& cell) {
    int deepest = 0;
    std::vector<std::pair<const TCellBasic*, int>> work{{&cell, 0}};
    while (!work.empty()) {
        auto [c, depth] = work.back();
        work.pop_back();
        deepest = std::max(deepest, depth);
        for (const auto& item : *c)
            if (auto* b = dynamic_cast<TBlock*>(item.get()))
                work.push_back({&b->Content, depth + 1});
    }
    return deepest;
}

} // namespace lumo::test
