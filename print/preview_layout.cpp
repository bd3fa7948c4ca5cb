#include "print/preview_layout.h"

#include <algorithm>
#include <cmath>

namespace lumo {

double ClampZoom(double factor) {
    if (!std::isfinite(factor)) return 1.0;
    return std::clamp(factor, MinZoom, MaxZoom);
}

namespace {

// The page's size in inches across and down; a page without size counts as
// an inch, so no factor is a division by zero.
double Inches(int pixels, int perInch) {
    return pixels > 0 && perInch > 0 ? static_cast<double>(pixels) / perInch : 1.0;
}

double FactorOf(const TPreviewLayoutInput& in) {
    constexpr double Fixed[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
    const double ppi = std::max(1, in.ScreenPixelsPerInch);
    switch (in.Entry) {
    case TZoomEntry::FitToPage:
        return (in.ClientHeight - 20) / ppi / Inches(in.Page.PhysicalHeight, in.Page.LogY);
    case TZoomEntry::FitToWidth:
        return (in.ClientWidth - 20) / ppi / Inches(in.Page.PhysicalWidth, in.Page.LogX);
    case TZoomEntry::Custom: return in.CustomFactor;
    default: return Fixed[static_cast<int>(in.Entry) - static_cast<int>(TZoomEntry::Zoom25)];
    }
}

} // namespace

TPreviewLayout LayOutPreview(const TPreviewLayoutInput& in) {
    TPreviewLayout out;
    out.Factor = ClampZoom(FactorOf(in));
    out.TwoPages = in.TwoPages && in.Entry == TZoomEntry::FitToPage;
    const double ppi = in.ScreenPixelsPerInch;
    out.PanelHeight = static_cast<int>(
        std::lround(ppi * out.Factor * Inches(in.Page.PhysicalHeight, in.Page.LogY)));
    out.PanelWidth = static_cast<int>(
        std::lround(ppi * out.Factor * Inches(in.Page.PhysicalWidth, in.Page.LogX)));
    const int contentWidth = (out.PanelWidth + 20) * (out.TwoPages ? 2 : 1);
    const int contentHeight = out.PanelHeight + 20;
    out.ContainerWidth = std::max(contentWidth, in.ClientWidth - 1);
    out.ContainerHeight = std::max(contentHeight, in.ClientHeight - 1);
    out.Top =
        out.ContainerHeight > contentHeight ? (out.ContainerHeight - out.PanelHeight) / 2 : 10;
    out.FirstLeft =
        contentWidth < out.ContainerWidth ? out.ContainerWidth / 2 - (contentWidth - 20) / 2 : 10;
    out.SecondLeft = out.FirstLeft + out.PanelWidth + 20;
    return out;
}

} // namespace lumo
