// A canvas that measures through another canvas and draws nothing: the
// paging code runs the paint pass over pages it does not print, only to
// learn where each of them ends.
#pragma once

#include "platform/canvas.h"

namespace lumo {

class MeasureOnlyCanvas : public Canvas {
public:
    // measure must outlive this canvas.
    explicit MeasureOnlyCanvas(Canvas& measure) : measure_(measure) { font_ = measure.Font(); }

    void SetFont(const FontSpec& font) override {
        font_ = font;
        measure_.SetFont(font);
    }
    TTextMetrics GetTextMetrics() override {
        Sync();
        return measure_.GetTextMetrics();
    }
    TSize TextExtent(std::string_view text) override {
        Sync();
        return measure_.TextExtent(text);
    }
    bool HasFontFace(std::string_view name) override { return measure_.HasFontFace(name); }
    bool IsMonochrome() const override { return measure_.IsMonochrome(); }

    void SetTextColor(TColor) override {}
    void SetBkColor(TColor) override {}
    void SetBkMode(BkMode) override {}
    void SetTextAlign(HAlign, VAlign) override {}
    void TextOut(int, int, std::string_view) override {}
    void SetPen(TColor, int, PenStyle) override {}
    void SetBrush(TColor, BrushStyle) override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void Rectangle(const TRect&) override {}
    void FillRect(const TRect&) override {}
    void Polygon(const std::vector<TPoint>&) override {}
    void Polyline(const std::vector<TPoint>&) override {}
    void Ellipse(const TRect&) override {}
    void StretchDraw(const TRect&, const Bitmap&, const TRect&, const Bitmap*) override {}
    void SaveState() override {}
    void RestoreState() override {}
    void IntersectClipRect(const TRect&) override {}
    void ExcludeClipRect(const TRect&) override {}
    void SetDeviceClip(const TRect*) override {}
    void SetMapping(int, int, int, int, int, int) override {}

private:
    // The measuring canvas may have been given another font by its owner
    // since this one last set it.
    void Sync() {
        if (!(measure_.Font() == font_)) measure_.SetFont(font_);
    }

    Canvas& measure_;
};

} // namespace lumo
