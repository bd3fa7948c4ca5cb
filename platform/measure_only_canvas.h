// A canvas that measures through another canvas and draws nothing: the
// paging code runs the paint pass over pages it does not print, only to
// learn where each of them ends, and whether anything would be drawn.
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
    void TextOut(int, int, std::string_view text) override { marked_ = marked_ || !text.empty(); }
    void SetPen(TColor, int, PenStyle) override {}
    void SetBrush(TColor, BrushStyle) override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override { marked_ = true; }
    void Rectangle(const TRect&) override { marked_ = true; }
    void FillRect(const TRect&) override { marked_ = true; }
    void Polygon(const std::vector<TPoint>&) override { marked_ = true; }
    void Polyline(const std::vector<TPoint>&) override { marked_ = true; }
    void Ellipse(const TRect&) override { marked_ = true; }
    void StretchDraw(const TRect&, const Bitmap&, const TRect&, const Bitmap*) override {
        marked_ = true;
    }
    void SaveState() override {}
    void RestoreState() override {}
    void IntersectClipRect(const TRect&) override {}
    void ExcludeClipRect(const TRect&) override {}
    void SetDeviceClip(const TRect*) override {}
    void SetMapping(int, int, int, int, int, int) override {}

    // Whether anything was drawn since the last ClearMarks.
    bool Marked() const { return marked_; }
    void ClearMarks() { marked_ = false; }

private:
    // The measuring canvas may have been given another font by its owner
    // since this one last set it.
    void Sync() {
        if (!(measure_.Font() == font_)) measure_.SetFont(font_);
    }

    Canvas& measure_;
    bool marked_ = false;
};

} // namespace lumo
