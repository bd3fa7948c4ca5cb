#include "viewer/page_device.h"

#include <algorithm>
#include <cmath>

namespace lumo {

int MulDiv(int value, int numerator, int denominator) {
    if (denominator == 0) return 0;
    return static_cast<int>(
        std::llround(static_cast<double>(value) * numerator / static_cast<double>(denominator)));
}

TPageGeometry ComputePageGeometry(const TPageMetrics& m, const TPrintMargins& margins) {
    for (const double margin : {margins.Left, margins.Right, margins.Top, margins.Bottom})
        if (!std::isfinite(margin) || margin < 0)
            throw EPrintError("Print margins must be numbers of 0 cm or more");
    // The printer cannot reach the strips outside its printable area; a
    // margin is measured from the edge of the sheet.
    const int unprintableRight = std::max(0, m.PhysicalWidth - m.PrintableWidth - m.OffsetX);
    const int unprintableBottom = std::max(0, m.PhysicalHeight - m.PrintableHeight - m.OffsetY);
    const auto dots = [](int perInch, double cm) { return std::round(perInch * cm / 2.54); };
    const double left = dots(m.LogX, margins.Left) - m.OffsetX;
    const double right = dots(m.LogX, margins.Right) - unprintableRight;
    const double top = dots(m.LogY, margins.Top) - m.OffsetY;
    const double bottom = dots(m.LogY, margins.Bottom) - unprintableBottom;
    const double bodyWidth = m.PrintableWidth - left - right;
    const double bodyHeight = m.PrintableHeight - top - bottom;
    // Less than an inch of body would page on without end, a line at a time.
    if (m.LogX <= 0 || m.LogY <= 0 || bodyWidth < m.LogX || bodyHeight < m.LogY)
        throw EPrintError("The print margins leave less than an inch of the page for the text");

    TPageGeometry g;
    g.LeftMargin = static_cast<int>(left);
    g.TopMargin = static_cast<int>(top);
    g.BodyWidth = static_cast<int>(bodyWidth);
    g.BodyHeight = static_cast<int>(bodyHeight);
    const int screen = ScreenPixelsPerInch;
    g.Left = MulDiv(g.LeftMargin, screen, m.LogX);
    g.Width = MulDiv(g.BodyWidth, screen, m.LogX);
    g.Top = MulDiv(g.TopMargin, screen, m.LogY);
    g.Height = MulDiv(g.BodyHeight, screen, m.LogY);
    g.PageWidth = MulDiv(m.PrintableWidth, screen, m.LogX);
    g.PageHeight = MulDiv(m.PrintableHeight, screen, m.LogY);
    return g;
}

TPageSelection::TPageSelection(int from, int to) : TPageSelection({{from, to}}) {}

TPageSelection::TPageSelection(std::vector<std::pair<int, int>> ranges) {
    for (auto [from, to] : ranges) {
        from = std::max(from, 1);
        if (to >= from) ranges_.emplace_back(from, to);
    }
    std::sort(ranges_.begin(), ranges_.end());
}

bool TPageSelection::Contains(int page) const {
    return std::any_of(ranges_.begin(), ranges_.end(),
                       [page](const auto& r) { return page >= r.first && page <= r.second; });
}

int TPageSelection::First() const {
    return ranges_.empty() ? 0 : ranges_.front().first;
}

int TPageSelection::Last() const {
    int last = 0;
    for (const auto& r : ranges_)
        last = std::max(last, r.second);
    return last;
}

} // namespace lumo
