// A canvas for tests: every drawing call appends one line of text to Log
// (TEXT 10 24 "Hello"), and fonts are measured with fixed, made-up metrics,
// so what was painted can be compared without pixels or installed fonts.
//
// Metrics for a font of p pixels (PointsToPixels of its size): Height p,
// Ascent p - p/5, Descent p/5, InternalLeading p/8, ExternalLeading 0; every
// character is p/2 wide (one more when bold), so "Hello" in 12 pt (16 px) is
// 40 px wide. In a UTF-8 font a character is one whole sequence of bytes.
#pragma once

#include "platform/canvas.h"

#include <set>
#include <string>

namespace lumo {

class RecordingCanvas : public Canvas {
public:
    RecordingCanvas();

    std::string Log;
    // The faces HasFontFace accepts (compared without regard to case).
    std::set<std::string> Faces;
    // Whether state changes (font, colours, pen, brush) are logged too.
    bool LogState = false;

    void SetFont(const FontSpec& font) override;
    TTextMetrics GetTextMetrics() override;
    TSize TextExtent(std::string_view text) override;
    bool HasFontFace(std::string_view name) override;

    void SetTextColor(TColor color) override;
    void SetBkColor(TColor color) override;
    void SetBkMode(BkMode mode) override;
    void SetTextAlign(HAlign h, VAlign v) override;
    void TextOut(int X, int Y, std::string_view text) override;

    void SetPen(TColor color, int width, PenStyle style) override;
    void SetBrush(TColor color, BrushStyle style) override;
    void MoveTo(int X, int Y) override;
    void LineTo(int X, int Y) override;
    void Rectangle(const TRect& r) override;
    void FillRect(const TRect& r) override;
    void Polygon(const std::vector<TPoint>& points) override;
    void Polyline(const std::vector<TPoint>& points) override;
    void Ellipse(const TRect& r) override;

    void StretchDraw(const TRect& dest, const Bitmap& picture, const TRect& source,
                     const Bitmap* mask) override;

    void SaveState() override;
    void RestoreState() override;
    void IntersectClipRect(const TRect& r) override;
    void ExcludeClipRect(const TRect& r) override;
    void SetDeviceClip(const TRect* r) override;
    void SetMapping(int originX, int originY, int windowX, int windowY, int viewportX,
                    int viewportY) override;

private:
    void Line(const std::string& text);
    void State(const std::string& text);
    int CharWidth() const;

    TPoint pen_;
};

} // namespace lumo
