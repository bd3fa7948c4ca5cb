#include "tests/builder/style_page.h"

#include <QColor>

#include <algorithm>
#include <cstdio>

namespace lumo::test {

namespace {

// "... at (x,y) size WxH ..." of one dump line.
QRect BoxOf(std::string_view line) {
    int x = 0, y = 0, w = 0, h = 0;
    size_t at = line.find(" at (");
    if (at == std::string_view::npos) return {};
    std::sscanf(std::string(line.substr(at)).c_str(), " at (%d,%d) size %dx%d", &x, &y, &w, &h);
    return {x, y, w, h};
}

} // namespace

StylePage::StylePage(std::string_view html, int width,
                     std::function<bool(const std::string&, std::string&)> files) {
    list.SetDefaults(TDefaultLook{});
    if (files) {
        list.OnStyleSheetRequest = files;
        list.Pictures.OnImageRequest = [this, files](const std::string& name, TStream*& stream) {
            std::string bytes;
            stream = nullptr;
            if (!files(name, bytes)) return true;
            answer.Clear();
            answer.Write(bytes.data(), bytes.size());
            stream = &answer;
            return true;
        };
    }
    TLayoutSettings settings;
    settings.Width = width;
    result = BuildAndLayOut(list, html, measure, settings);
    dump = DumpDocument(list, result);
    picture = QImage(width, std::clamp(result.Height, 1, 4000), QImage::Format_RGB32);
    picture.fill(list.BackColor == clNone ? Qt::white : ToQColor(list.BackColor));
    QtCanvas canvas(picture);
    list.SetScrollY(0);
    list.PaintCell(canvas, {0, 0, picture.width(), picture.height()}, width, 0, 0);
}

QRect StylePage::Box(std::string_view what, int n) const {
    std::string_view rest = dump;
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? "" : rest.substr(end + 1);
        if (line.find(what) != std::string_view::npos && n-- == 0) return BoxOf(line);
    }
    return {};
}

QRect StylePage::Line(std::string_view text, int n) const {
    const std::string quoted = "\"" + std::string(text);
    size_t at = dump.find(quoted);
    while (at != std::string::npos && n-- > 0)
        at = dump.find(quoted, at + 1);
    if (at == std::string::npos) return {};
    size_t section = dump.rfind("TSection at", at);
    QRect box = BoxOf(std::string_view(dump).substr(section));
    int x = 0, y = 0, h = 0;
    size_t line = dump.rfind(" x=", at);
    std::sscanf(dump.c_str() + line, " x=%d y=%d h=%d", &x, &y, &h);
    return {box.x(), y, box.width(), h};
}

int StylePage::Count(const QRect& rect, Tint tint) const {
    int count = 0;
    const QRect inside = rect & picture.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            const int r = c.red(), g = c.green(), b = c.blue();
            const int lead = tint == Tint::Red ? r : tint == Tint::Green ? g : b;
            const int other = tint == Tint::Red     ? std::max(g, b)
                              : tint == Tint::Green ? std::max(r, b)
                                                    : std::max(r, g);
            count += lead > other + 60;
        }
    return count;
}

bool StylePage::Mostly(const QRect& rect, Tint tint) const {
    int mine = Count(rect, tint), others = 0;
    for (Tint t : {Tint::Red, Tint::Green, Tint::Blue})
        if (t != tint) others += Count(rect, t);
    return mine > 0 && mine > 4 * others;
}

} // namespace lumo::test
