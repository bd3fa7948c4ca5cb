#include "platform/recording_canvas.h"

#include "platform/text.h"
#include "platform/utf8.h"

#include <cstdio>

namespace lumo {

namespace {

std::string Hex(TColor color) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(color));
    return buf;
}

std::string Rect(const TRect& r) {
    return std::to_string(r.Left) + " " + std::to_string(r.Top) + " " + std::to_string(r.Right) +
           " " + std::to_string(r.Bottom);
}

std::string Points(const std::vector<TPoint>& points) {
    std::string out;
    for (const TPoint& p : points)
        out += " " + std::to_string(p.X) + "," + std::to_string(p.Y);
    return out;
}

} // namespace

RecordingCanvas::RecordingCanvas() : Faces{"times new roman", "arial", "courier new"} {}

void RecordingCanvas::Line(const std::string& text) {
    Log += text;
    Log += '\n';
}

void RecordingCanvas::State(const std::string& text) {
    if (LogState) Line(text);
}

int RecordingCanvas::CharWidth() const {
    return PointsToPixels(font_.Size) / 2 + (font_.Bold ? 1 : 0);
}

void RecordingCanvas::SetFont(const FontSpec& font) {
    font_ = font;
    char size[32];
    std::snprintf(size, sizeof size, "%g", font.Size);
    State("FONT " + QuotedBytes(font.Name) + " " + size + (font.Bold ? " bold" : "") +
          (font.Italic ? " italic" : "") + (font.Underline ? " underline" : "") +
          (font.StrikeOut ? " strikeout" : "") + (font.Overline ? " overline" : "") +
          (font.SmallCaps ? " small-caps" : "") + " " + Hex(font.Color) +
          (font.DecorationColor != clNone ? " lines " + Hex(font.DecorationColor) : ""));
}

TTextMetrics RecordingCanvas::GetTextMetrics() {
    int p = PointsToPixels(font_.Size);
    TTextMetrics m;
    m.Height = p;
    m.Descent = p / 5;
    m.Ascent = p - m.Descent;
    m.InternalLeading = p / 8;
    m.AveCharWidth = CharWidth();
    m.MaxCharWidth = CharWidth();
    return m;
}

TSize RecordingCanvas::TextExtent(std::string_view text) {
    int characters = 0;
    for (size_t i = 0; i < text.size(); i = NextCharIndex(text, i, font_.CodePage))
        ++characters;
    return {characters * CharWidth(), PointsToPixels(font_.Size)};
}

bool RecordingCanvas::HasFontFace(std::string_view name) {
    return Faces.count(LowerCase(Trim(name))) > 0;
}

void RecordingCanvas::SetTextColor(TColor color) {
    State("TEXTCOLOR " + Hex(color));
}
void RecordingCanvas::SetBkColor(TColor color) {
    State("BKCOLOR " + Hex(color));
}
void RecordingCanvas::SetBkMode(BkMode mode) {
    State(mode == BkMode::Opaque ? "BKMODE opaque" : "BKMODE transparent");
}
void RecordingCanvas::SetTextAlign(HAlign h, VAlign v) {
    static const char* const hs[] = {"left", "center", "right"};
    static const char* const vs[] = {"top", "baseline", "bottom"};
    State(std::string("ALIGN ") + hs[static_cast<int>(h)] + " " + vs[static_cast<int>(v)]);
}

void RecordingCanvas::TextOut(int X, int Y, std::string_view text) {
    Line("TEXT " + std::to_string(X) + " " + std::to_string(Y) + " " + QuotedBytes(text));
}

void RecordingCanvas::SetPen(TColor color, int width, PenStyle style) {
    static const char* const styles[] = {"solid", "dash", "dot", "clear"};
    State("PEN " + Hex(color) + " " + std::to_string(width) + " " +
          styles[static_cast<int>(style)]);
}

void RecordingCanvas::SetBrush(TColor color, BrushStyle style) {
    State("BRUSH " + Hex(color) + (style == BrushStyle::Clear ? " clear" : " solid"));
}

void RecordingCanvas::MoveTo(int X, int Y) {
    pen_ = {X, Y};
}

void RecordingCanvas::LineTo(int X, int Y) {
    Line("LINE " + std::to_string(pen_.X) + " " + std::to_string(pen_.Y) + " " + std::to_string(X) +
         " " + std::to_string(Y));
    pen_ = {X, Y};
}

void RecordingCanvas::Rectangle(const TRect& r) {
    Line("RECT " + Rect(r));
}
void RecordingCanvas::FillRect(const TRect& r) {
    Line("FILL " + Rect(r));
}
void RecordingCanvas::Polygon(const std::vector<TPoint>& points) {
    Line("POLYGON" + Points(points));
}
void RecordingCanvas::Polyline(const std::vector<TPoint>& points) {
    Line("POLYLINE" + Points(points));
}
void RecordingCanvas::Ellipse(const TRect& r) {
    Line("ELLIPSE " + Rect(r));
}

void RecordingCanvas::StretchDraw(const TRect& dest, const Bitmap& picture, const TRect& source,
                                  const Bitmap* mask) {
    Line("BITMAP " + Rect(dest) + " from " + std::to_string(picture.Width) + "x" +
         std::to_string(picture.Height) + " " + Rect(source) + (mask ? " masked" : ""));
}

void RecordingCanvas::SaveState() {
    State("SAVE");
}
void RecordingCanvas::RestoreState() {
    State("RESTORE");
}
void RecordingCanvas::IntersectClipRect(const TRect& r) {
    Line("CLIP " + Rect(r));
}
void RecordingCanvas::ExcludeClipRect(const TRect& r) {
    Line("EXCLUDE " + Rect(r));
}
void RecordingCanvas::SetDeviceClip(const TRect* r) {
    Line(r ? "DEVICECLIP " + Rect(*r) : std::string("DEVICECLIP none"));
}
void RecordingCanvas::SetMapping(int originX, int originY, int windowX, int windowY, int viewportX,
                                 int viewportY) {
    Line("MAPPING " + std::to_string(originX) + " " + std::to_string(originY) + " " +
         std::to_string(windowX) + " " + std::to_string(windowY) + " " + std::to_string(viewportX) +
         " " + std::to_string(viewportY));
}

} // namespace lumo
