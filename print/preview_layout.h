// Where the print preview puts its page panels: the zoom factor of the zoom
// box's entry, the panels' size, and their place in the scrolled container.
// Sizes are screen pixels; page values come from the recorded metrics.
#pragma once

#include "viewer/page_device.h"

#include <array>
#include <string_view>

namespace lumo {

enum class TZoomEntry {
    FitToPage,
    FitToWidth,
    Custom,
    Zoom25,
    Zoom50,
    Zoom75,
    Zoom100,
    Zoom125,
    Zoom150,
    Zoom200,
    Zoom300,
    Zoom400
};

// The zoom box's texts, in the order of TZoomEntry.
inline constexpr std::array<std::string_view, 12> kZoomEntryTexts = {
    "Fit To Page", "Fit To Width", "Custom", "25%",  "50%",  "75%",
    "100%",        "125%",         "150%",   "200%", "300%", "400%"};

// Zoom factors are kept between 10 % and 1000 %, so a panel never shrinks
// to nothing nor grows past what can be painted.
inline constexpr double MinZoom = 0.1;
inline constexpr double MaxZoom = 10.0;
double ClampZoom(double factor);

struct TPreviewLayoutInput {
    int ClientWidth = 0; // of the scroll area
    int ClientHeight = 0;
    int ScreenPixelsPerInch = 96;
    TPageMetrics Page;
    TZoomEntry Entry = TZoomEntry::FitToPage;
    double CustomFactor = 1.0;
    bool TwoPages = false;
};

struct TPreviewLayout {
    double Factor = 1.0;
    bool TwoPages = false; // only fitting the page shows two
    int PanelWidth = 0, PanelHeight = 0;
    int ContainerWidth = 0, ContainerHeight = 0;
    int FirstLeft = 0, SecondLeft = 0, Top = 0;
};

TPreviewLayout LayOutPreview(const TPreviewLayoutInput& in);

} // namespace lumo
