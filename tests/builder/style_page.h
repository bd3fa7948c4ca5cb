// A page laid out and painted with the installed fonts, for tests that check
// style results where a reader would: positions in the layout dump and
// colours in the painted picture (solid boxes and large glyphs, judged by
// their dominant hue so that anti-aliased edges cannot blur the answer).
#pragma once

#include "builder/document_dump.h"
#include "layout/section_list.h"
#include "platform/qt_canvas.h"
#include "platform/stream.h"

#include <QImage>

#include <functional>
#include <string>
#include <string_view>

namespace lumo::test {

enum class Tint { Red, Green, Blue };

struct StylePage {
    // files answers the page's requests for style sheets (LINK, @import)
    // and pictures by address; unset, none load.
    explicit StylePage(std::string_view html, int width = 400,
                       std::function<bool(const std::string&, std::string&)> files = {});

    // The box of the n-th dumped item whose line has what ("TBlock <div>").
    QRect Box(std::string_view what, int n = 0) const;
    // The n-th line of text that starts with text: its section's width,
    // the line's height.
    QRect Line(std::string_view text, int n = 0) const;
    // The pixels of rect whose hue is tint.
    int Count(const QRect& rect, Tint tint) const;
    // Whether rect has pixels of tint and hardly any of another hue.
    bool Mostly(const QRect& rect, Tint tint) const;

    TMemoryStream answer; // the picture last asked for
    QImage scratch{8, 8, QImage::Format_RGB32};
    QtCanvas measure{scratch};
    TSectionList list{measure};
    TLayoutResult result;
    std::string dump;
    QImage picture;
};

} // namespace lumo::test
