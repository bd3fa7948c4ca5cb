// The canvas that draws with a QPainter on any paint device: a widget, an
// offscreen QImage, a PDF page or a recorded picture. Text metrics come from
// QFontMetrics on that device. To measure only, give it a small QImage.
#pragma once

#include "platform/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <memory>
#include <optional>
#include <vector>

namespace lumo {

class QtCanvas : public Canvas {
public:
    // Paints on device until the canvas goes; device must outlive it.
    explicit QtCanvas(QPaintDevice& device);
    // Paints on device but measures text as it measures on measureOn, so a
    // page laid out on one device paints the same on a printer or a
    // recorded picture; measureOn must outlive the canvas.
    QtCanvas(QPaintDevice& device, QPaintDevice& measureOn);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    QPainter& Painter() { return painter_; }

    void SetFont(const FontSpec& font) override;
    TTextMetrics GetTextMetrics() override;
    TSize TextExtent(std::string_view text) override;
    bool HasFontFace(std::string_view name) override;
    bool IsMonochrome() const override;

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
    // The font's lines are drawn in a colour other than its text's: then
    // they are drawn apart from the glyphs.
    bool LinesOfTheirOwnColor() const;
    void DrawLines(int left, int baseline, qreal width);

    QPaintDevice& device_;
    QPaintDevice& measureOn_;
    QPainter painter_;
    QFont qfont_;
    // The metrics of qfont_ on the device, made once per SetFont: layout asks
    // for extents thousands of times per font.
    std::optional<QFontMetrics> metrics_;
    // The advances of single bytes in qfont_ on the device, shared by every
    // canvas that uses the same font: without kerning and shaping a text's
    // width is the sum of its characters' advances.
    struct ByteAdvances;
    std::shared_ptr<ByteAdvances> advances_;
    // The faces this canvas was given last, ready to be taken again.
    struct UsedFont {
        FontSpec Face;
        QFont Font;
        QFontMetrics Metrics;
        std::shared_ptr<ByteAdvances> Advances;
    };
    std::vector<UsedFont> used_;
    QColor textColor_;
    QColor bkColor_;
    BkMode bkMode_ = BkMode::Opaque;
    HAlign hAlign_ = HAlign::Left;
    VAlign vAlign_ = VAlign::Top;
    QPoint pen_;
};

// The QColor of a TColor (flags removed, system colours resolved).
QColor ToQColor(TColor color);
// The TColor of a QColor's red, green and blue.
TColor FromQColor(const QColor& color);

// Whether fontconfig has this family, or the family is one of the core faces
// whose metric twin is installed (Times New Roman, Arial, Courier New and the
// Liberation Serif, Sans and Mono faces stand for each other).
bool IsFontFaceInstalled(std::string_view name);

} // namespace lumo
