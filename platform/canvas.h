// The one drawing and measuring surface of the engine. Layout and paint code
// takes a Canvas and never sees the toolkit: QtCanvas draws with a painter on
// any paint device (screen, offscreen image, PDF page, recorded preview page);
// RecordingCanvas writes one text line per call and measures with fixed,
// made-up metrics so tests do not depend on installed fonts.
//
// Coordinates are document units (pixels at 96 dots per inch) before the
// mapping set with SetMapping; rectangles include their left and top edge and
// exclude their right and bottom edge. Text is Windows-1252 bytes.
#pragma once

#include "platform/code_page.h"
#include "platform/types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

struct TPoint {
    int X = 0, Y = 0;
};

struct TSize {
    int cx = 0, cy = 0;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Left >= Right || Top >= Bottom; }
};

// What a and b both cover; empty when they do not meet.
inline TRect Intersect(const TRect& a, const TRect& b) {
    return {a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
            a.Right < b.Right ? a.Right : b.Right, a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
}

// What a font is asked for. Size is in points, a fraction too (a style's
// 10px is 7.5 points); on screen a point is 96/72 px.
struct FontSpec {
    std::string Name = "Times New Roman";
    double Size = 12;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool Overline = false;
    bool SmallCaps = false; // lower-case letters drawn as smaller capitals
    uint8_t Charset = 0;
    TCodePage CodePage = TCodePage::Windows1252; // what the text's bytes are
    TColor Color = 0;
    // The colour of the underline, overline and line-through; clNone: Color.
    TColor DecorationColor = clNone;

    // Whether any line (underline, overline, line-through) is drawn.
    bool HasLines() const { return Underline || StrikeOut || Overline; }

    bool operator==(const FontSpec&) const = default;
};

// Pixels per inch of the screen; point sizes convert at this fixed rate so a
// page lays out the same on every machine.
inline constexpr int ScreenPixelsPerInch = 96;

// The pixel height of a font's em square for a size in points.
int PointsToPixels(double points);

// The metrics of the current font, in the meaning the layout code expects:
// Height = Ascent + Descent; Height - InternalLeading is the em height.
struct TTextMetrics {
    int Height = 0;
    int Ascent = 0;
    int Descent = 0;
    int InternalLeading = 0;
    int ExternalLeading = 0;
    int AveCharWidth = 0;
    int MaxCharWidth = 0;
    int Overhang = 0;
};

// A picture in memory: Width x Height pixels, 0xAARRGGBB, row by row from the top.
struct Bitmap {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;

    Bitmap() = default;
    Bitmap(int width, int height, uint32_t fill = 0xFF000000);
    uint32_t& At(int x, int y) { return Pixels[static_cast<size_t>(y) * Width + x]; }
    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

enum class BkMode { Transparent, Opaque };
enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Baseline, Bottom };
enum class PenStyle { Solid, Dash, Dot, Clear };
enum class BrushStyle { Solid, Clear };

class Canvas {
public:
    virtual ~Canvas() = default;

    // --- Measuring -------------------------------------------------------
    // Also makes the font's colour the text colour.
    virtual void SetFont(const FontSpec& font) = 0;
    const FontSpec& Font() const { return font_; }
    virtual TTextMetrics GetTextMetrics() = 0;
    // Width and height of the text in the current font; the height is the
    // font's Height even for empty text.
    virtual TSize TextExtent(std::string_view text) = 0;
    int TextWidth(std::string_view text) { return TextExtent(text).cx; }
    // How many leading characters of text fit in maxWidth (a search on the
    // extent of the first n characters; the cost follows the answer).
    int FitCount(std::string_view text, int maxWidth);
    // Whether asking for this face gives that face (or its metric twin), so a
    // font list can fall back to its next name.
    virtual bool HasFontFace(std::string_view name) = 0;
    // True for a one-plane, one-bit device (a black and white printer).
    virtual bool IsMonochrome() const { return false; }

    // --- Text ------------------------------------------------------------
    virtual void SetTextColor(TColor color) = 0;
    virtual void SetBkColor(TColor color) = 0;
    virtual void SetBkMode(BkMode mode) = 0;
    virtual void SetTextAlign(HAlign h, VAlign v) = 0;
    // Draws at (X, Y) as the alignment says: Top puts the font's top at Y,
    // Baseline its baseline, Bottom its bottom. With BkMode::Opaque the text's
    // cell is filled with the background colour first.
    virtual void TextOut(int X, int Y, std::string_view text) = 0;

    // --- Lines and shapes ------------------------------------------------
    virtual void SetPen(TColor color, int width, PenStyle style) = 0;
    virtual void SetBrush(TColor color, BrushStyle style) = 0;
    virtual void MoveTo(int X, int Y) = 0;
    // A line from the current point to (X, Y), which becomes the current point.
    virtual void LineTo(int X, int Y) = 0;
    // Outlined with the pen and filled with the brush.
    virtual void Rectangle(const TRect& r) = 0;
    // Filled with the brush, no outline.
    virtual void FillRect(const TRect& r) = 0;
    virtual void Polygon(const std::vector<TPoint>& points) = 0;
    virtual void Polyline(const std::vector<TPoint>& points) = 0;
    // The ellipse inscribed in r.
    virtual void Ellipse(const TRect& r) = 0;

    // --- Pictures --------------------------------------------------------
    // Copies the source rectangle of the picture stretched onto dest. Where a
    // mask is given, mask pixels that are white (0xFFFFFF ignoring alpha)
    // leave the canvas as it is; without one, the picture's alpha blends.
    virtual void StretchDraw(const TRect& dest, const Bitmap& picture, const TRect& source,
                             const Bitmap* mask) = 0;

    // --- Clipping and mapping --------------------------------------------
    virtual void SaveState() = 0;
    virtual void RestoreState() = 0;
    // Narrows the clip region to its intersection with r.
    virtual void IntersectClipRect(const TRect& r) = 0;
    virtual void ExcludeClipRect(const TRect& r) = 0;
    // Replaces the clip with a rectangle in device pixels, whatever the
    // mapping says; null removes the clip. The paging code clips the page
    // body in printer dots.
    virtual void SetDeviceClip(const TRect* r) = 0;
    // Document point (x, y) lands on device point
    // (OriginX + x * ViewportX / WindowX, OriginY + y * ViewportY / WindowY):
    // the print path maps screen pixels to printer dots with it.
    virtual void SetMapping(int originX, int originY, int windowX, int windowY, int viewportX,
                            int viewportY) = 0;

protected:
    FontSpec font_;
};

// The RGB value of a colour with its flags removed; system colours become
// their usual desktop colours.
TColor ColorToRGB(TColor color);

} // namespace lumo
