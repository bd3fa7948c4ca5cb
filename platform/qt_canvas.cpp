#include "platform/qt_canvas.h"

#include "platform/qt_text.h"
#include "platform/text.h"
#include "platform/utf8.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPolygon>
#include <QRawFont>
#include <QRegion>

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <set>
#include <unordered_map>

namespace lumo {

namespace {

QRect ToQRect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

QPolygon ToQPolygon(const std::vector<TPoint>& points) {
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const TPoint& p : points)
        polygon << QPoint(p.X, p.Y);
    return polygon;
}

const std::set<std::string>& InstalledFamilies() {
    static std::set<std::string> families;
    static std::once_flag once;
    std::call_once(once, [] {
        for (const QString& family : QFontDatabase::families())
            families.insert(LowerCase(FromQString(family)));
    });
    return families;
}

// Fontconfig answers the core faces with their metric twins; either name of a
// pair counts as installed when the other is.
constexpr std::pair<std::string_view, std::string_view> kMetricTwins[] = {
    {"times new roman", "liberation serif"},
    {"arial", "liberation sans"},
    {"courier new", "liberation mono"},
};

// Characters Qt measures by context (controls, the soft hyphen, marks that
// combine with the character before, joiners) are measured with the whole text.
bool MeasuredInContext(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xAD) return true;
    if (c < 0x300) return false;
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format: return true;
    default: return false;
    }
}

// Fonts that differ only in colour are the same face.
bool SameFace(const FontSpec& a, const FontSpec& b) {
    return a.Size == b.Size && a.Bold == b.Bold && a.Italic == b.Italic &&
           a.Underline == b.Underline && a.StrikeOut == b.StrikeOut && a.Overline == b.Overline &&
           a.SmallCaps == b.SmallCaps && a.Charset == b.Charset && a.CodePage == b.CodePage &&
           a.Name == b.Name;
}

} // namespace

QColor ToQColor(TColor color) {
    TColor rgb = ColorToRGB(color);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TColor FromQColor(const QColor& color) {
    return static_cast<TColor>(color.red() | color.green() << 8 | color.blue() << 16);
}

bool IsFontFaceInstalled(std::string_view name) {
    std::string key = LowerCase(Trim(name));
    if (key.empty()) return false;
    const auto& families = InstalledFamilies();
    if (families.count(key)) return true;
    for (const auto& [core, twin] : kMetricTwins) {
        if (key == core && families.count(std::string(twin))) return true;
        if (key == twin && families.count(std::string(core))) return true;
    }
    return false;
}

struct QtCanvas::ByteAdvances {
    static constexpr int32_t Unknown = -1;
    static constexpr int32_t InContext = -2;
    std::array<int32_t, 256> sixtyFourths; // of a pixel, or one of the two marks above
    QFontMetricsF metrics;

    std::array<char16_t, 256> chars; // of the bytes, in the font's code page
    // UTF-8 text: the characters past ASCII, as they are met.
    std::unordered_map<char32_t, int32_t> wide;
    // Ascent plus descent in whole pixels, as every measured piece reports
    // it: read once, as each read of the metrics takes Qt's font lock.
    int height;

    ByteAdvances(const QFont& font, QPaintDevice* device, TCodePage page) : metrics(font, device) {
        const QFontMetrics whole(font, device);
        height = whole.ascent() + whole.descent();
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            chars[b] = page == TCodePage::Utf8 && b >= 0x80 ? 0 : CodePageChar(byte, page);
            sixtyFourths[b] = MeasuredInContext(chars[b]) ? InContext : Unknown;
        }
    }

    int32_t Measure(char32_t c) const {
        if (MeasuredInContext(c)) return InContext;
        const char32_t one[] = {c};
        return static_cast<int32_t>(
            std::lround(metrics.horizontalAdvance(QString::fromUcs4(one, 1)) * 64));
    }

    int32_t Of(unsigned char byte) {
        int32_t& advance = sixtyFourths[byte];
        if (advance == Unknown) advance = Measure(chars[byte]);
        return advance;
    }

    int32_t OfCodePoint(char32_t c) {
        if (c < 0x80) return Of(static_cast<unsigned char>(c));
        if (const auto it = wide.find(c); it != wide.end()) return it->second;
        if (wide.size() >= 65536) wide.clear();
        return wide.emplace(c, Measure(c)).first->second;
    }

    // The width of text in 64ths of a pixel, or a negative mark when a
    // character must be measured in context.
    int64_t Sum(std::string_view text, TCodePage page) {
        int64_t sum = 0;
        if (page != TCodePage::Utf8) {
            for (const char c : text) {
                const int32_t advance = Of(static_cast<unsigned char>(c));
                if (advance < 0) return advance;
                sum += advance;
            }
            return sum;
        }
        for (size_t i = 0; i < text.size();) {
            const TUtf8Char c = DecodeUtf8Char(text, i);
            const int32_t advance = OfCodePoint(c.CodePoint);
            if (advance < 0) return advance;
            sum += advance;
            i += static_cast<size_t>(c.Length);
        }
        return sum;
    }

    // The table of a font on a device, made on first use. Many faces and
    // sizes on one page start the collection afresh rather than grow it
    // without bound; canvases keep the tables they hold.
    static std::shared_ptr<ByteAdvances> For(const QFont& font, QPaintDevice& device,
                                             TCodePage page) {
        static std::unordered_map<QString, std::shared_ptr<ByteAdvances>> tables;
        const QChar capitals = font.capitalization() == QFont::SmallCaps ? u'c' : u'm';
        const QString key = font.key() + capitals + QLatin1Char('@') +
                            QString::number(device.logicalDpiX()) + QLatin1Char('x') +
                            QString::number(device.logicalDpiY()) + QLatin1Char('/') +
                            QString::number(static_cast<int>(page));
        if (const auto it = tables.find(key); it != tables.end()) return it->second;
        if (tables.size() >= 1024) tables.clear();
        auto table = std::make_shared<ByteAdvances>(font, &device, page);
        tables.emplace(key, table);
        return table;
    }
};

QtCanvas::QtCanvas(QPaintDevice& device) : QtCanvas(device, device) {}

QtCanvas::QtCanvas(QPaintDevice& device, QPaintDevice& measureOn)
    : device_(device), measureOn_(measureOn), painter_(&device) {
    SetFont(font_);
    bkColor_ = Qt::white;
}

QtCanvas::~QtCanvas() {
    if (painter_.isActive()) painter_.end();
}

void QtCanvas::SetFont(const FontSpec& font) {
    if (metrics_ && font == font_) { // layout asks again for every run it measures
        painter_.setFont(qfont_);    // a restored painter state may hold another
        textColor_ = ToQColor(font.Color);
        return;
    }
    font_ = font;
    textColor_ = ToQColor(font.Color);
    // Layout goes back and forth between a page's few faces; making a face
    // ready on the device costs far more than finding it again.
    const auto sameFace = [&font](const UsedFont& used) { return SameFace(used.Face, font); };
    if (const auto it = std::find_if(used_.begin(), used_.end(), sameFace); it != used_.end()) {
        qfont_ = it->Font;
        metrics_ = it->Metrics;
        advances_ = it->Advances;
        painter_.setFont(qfont_);
        return;
    }
    qfont_ = QFont(ToQString(font.Name));
    qfont_.setPixelSize(std::max(1, PointsToPixels(font.Size)));
    qfont_.setBold(font.Bold);
    qfont_.setItalic(font.Italic);
    qfont_.setUnderline(font.Underline);
    qfont_.setStrikeOut(font.StrikeOut);
    qfont_.setOverline(font.Overline);
    qfont_.setCapitalization(font.SmallCaps ? QFont::SmallCaps : QFont::MixedCase);
    // Text is drawn glyph by glyph, without kerning or ligatures, as the
    // pages were drawn when they were written; it also spares layout the
    // shaping of every measured piece.
    qfont_.setKerning(false);
    qfont_.setStyleStrategy(QFont::PreferNoShaping);
    painter_.setFont(qfont_);
    metrics_.emplace(qfont_, &measureOn_);
    advances_ = ByteAdvances::For(qfont_, measureOn_, font.CodePage);
    if (used_.size() >= 16) used_.erase(used_.begin());
    used_.push_back({font, qfont_, *metrics_, advances_});
}

TTextMetrics QtCanvas::GetTextMetrics() {
    const QFontMetrics& fm = *metrics_;
    TTextMetrics m;
    m.Ascent = fm.ascent();
    m.Descent = fm.descent();
    m.Height = m.Ascent + m.Descent;
    m.InternalLeading = std::max(0, m.Height - qfont_.pixelSize());
    m.ExternalLeading = std::max(0, fm.leading());
    m.AveCharWidth = fm.averageCharWidth();
    m.MaxCharWidth = fm.maxWidth();
    return m;
}

TSize QtCanvas::TextExtent(std::string_view text) {
    const int height = advances_->height;
    const int64_t sum = advances_->Sum(text, font_.CodePage);
    if (sum < 0) return {metrics_->horizontalAdvance(DecodeText(text, font_.CodePage)), height};
    // Rounded as Qt rounds its fixed-point widths: half a pixel goes up.
    return {static_cast<int>((sum + 32) >> 6), height};
}

bool QtCanvas::HasFontFace(std::string_view name) {
    return IsFontFaceInstalled(name);
}

bool QtCanvas::IsMonochrome() const {
    return device_.depth() == 1;
}

void QtCanvas::SetTextColor(TColor color) {
    textColor_ = ToQColor(color);
}
void QtCanvas::SetBkColor(TColor color) {
    bkColor_ = ToQColor(color);
}
void QtCanvas::SetBkMode(BkMode mode) {
    bkMode_ = mode;
}
void QtCanvas::SetTextAlign(HAlign h, VAlign v) {
    hAlign_ = h;
    vAlign_ = v;
}

void QtCanvas::TextOut(int X, int Y, std::string_view text) {
    QString qtext = DecodeText(text, font_.CodePage);
    const QFontMetrics& fm = *metrics_;
    int width = fm.horizontalAdvance(qtext);
    int left = X;
    if (hAlign_ == HAlign::Center)
        left -= width / 2;
    else if (hAlign_ == HAlign::Right)
        left -= width;
    int baseline = Y;
    if (vAlign_ == VAlign::Top)
        baseline += fm.ascent();
    else if (vAlign_ == VAlign::Bottom)
        baseline -= fm.descent();
    if (bkMode_ == BkMode::Opaque)
        painter_.fillRect(QRect(left, baseline - fm.ascent(), width, fm.ascent() + fm.descent()),
                          bkColor_);
    QPen saved = painter_.pen();
    painter_.setPen(textColor_);
    if (LinesOfTheirOwnColor()) {
        QFont plain = qfont_;
        plain.setUnderline(false);
        plain.setStrikeOut(false);
        plain.setOverline(false);
        painter_.setFont(plain);
        painter_.drawText(QPoint(left, baseline), qtext);
        painter_.setFont(qfont_);
        DrawLines(left, baseline, QFontMetricsF(qfont_).horizontalAdvance(qtext));
    } else {
        painter_.drawText(QPoint(left, baseline), qtext);
    }
    painter_.setPen(saved);
}

bool QtCanvas::LinesOfTheirOwnColor() const {
    return font_.HasLines() && font_.DecorationColor != clNone &&
           ToQColor(font_.DecorationColor) != textColor_;
}

void QtCanvas::DrawLines(int left, int baseline, qreal width) {
    // Where and as thick as the font draws them with its glyphs.
    const QRawFont raw = QRawFont::fromFont(qfont_);
    QPen pen(ToQColor(font_.DecorationColor), raw.lineThickness(), Qt::SolidLine, Qt::FlatCap);
    painter_.setPen(pen);
    const qreal y = baseline;
    const qreal right = std::floor(left + width);
    auto line = [&](qreal at) { painter_.drawLine(QLineF(left, at, right, at)); };
    if (font_.Underline) {
        // Below the baseline by the rounded-up offset, but within the descent.
        const qreal offset = raw.underlinePosition();
        qreal below = std::ceil(offset) + 0.5;
        if (offset <= raw.descent()) below = std::min(below, raw.descent() - 0.5);
        line(y + below);
    }
    if (font_.StrikeOut) line(y - raw.ascent() / 3);
    if (font_.Overline) line(y - raw.ascent());
}

void QtCanvas::SetPen(TColor color, int width, PenStyle style) {
    static constexpr Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::NoPen};
    QPen pen(ToQColor(color), std::max(0, width), styles[static_cast<int>(style)]);
    painter_.setPen(pen);
}

void QtCanvas::SetBrush(TColor color, BrushStyle style) {
    painter_.setBrush(style == BrushStyle::Clear ? QBrush(Qt::NoBrush) : QBrush(ToQColor(color)));
}

void QtCanvas::MoveTo(int X, int Y) {
    pen_ = QPoint(X, Y);
}

void QtCanvas::LineTo(int X, int Y) {
    painter_.drawLine(pen_, QPoint(X, Y));
    pen_ = QPoint(X, Y);
}

void QtCanvas::Rectangle(const TRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    painter_.drawRect(QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1)));
}

void QtCanvas::FillRect(const TRect& r) {
    painter_.fillRect(ToQRect(r), painter_.brush());
}

void QtCanvas::Polygon(const std::vector<TPoint>& points) {
    painter_.drawPolygon(ToQPolygon(points), Qt::WindingFill);
}

void QtCanvas::Polyline(const std::vector<TPoint>& points) {
    painter_.drawPolyline(ToQPolygon(points));
}

void QtCanvas::Ellipse(const TRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    painter_.drawEllipse(QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1)));
}

void QtCanvas::StretchDraw(const TRect& dest, const Bitmap& picture, const TRect& source,
                           const Bitmap* mask) {
    if (picture.Width <= 0 || picture.Height <= 0) return;
    if (!mask) { // the pixels are drawn where they lie, with their own alpha
        const QImage image(reinterpret_cast<const uchar*>(picture.Pixels.data()), picture.Width,
                           picture.Height, picture.Width * 4, QImage::Format_ARGB32);
        painter_.drawImage(ToQRect(dest), image, ToQRect(source));
        return;
    }
    QImage image(picture.Width, picture.Height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.Height; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < picture.Width; ++x) {
            uint32_t pixel = picture.At(x, y);
            bool transparent = mask && x < mask->Width && y < mask->Height &&
                               (mask->At(x, y) & 0xFFFFFF) == 0xFFFFFF;
            line[x] = transparent ? 0 : pixel;
        }
    }
    painter_.drawImage(ToQRect(dest), image, ToQRect(source));
}

void QtCanvas::SaveState() {
    painter_.save();
}
void QtCanvas::RestoreState() {
    painter_.restore();
    painter_.setFont(qfont_);
}

void QtCanvas::IntersectClipRect(const TRect& r) {
    painter_.setClipRect(ToQRect(r), Qt::IntersectClip);
}

void QtCanvas::ExcludeClipRect(const TRect& r) {
    QRegion current = painter_.hasClipping() ? painter_.clipRegion()
                                             : QRegion(painter_.transform().inverted().mapRect(
                                                   QRect(0, 0, device_.width(), device_.height())));
    painter_.setClipRegion(current.subtracted(ToQRect(r)));
}

void QtCanvas::SetDeviceClip(const TRect* r) {
    if (!r) {
        painter_.setClipping(false);
        return;
    }
    const QTransform mapping = painter_.transform();
    painter_.resetTransform();
    painter_.setClipRect(ToQRect(*r));
    painter_.setTransform(mapping);
}

void QtCanvas::SetMapping(int originX, int originY, int windowX, int windowY, int viewportX,
                          int viewportY) {
    double sx = windowX ? static_cast<double>(viewportX) / windowX : 1.0;
    double sy = windowY ? static_cast<double>(viewportY) / windowY : 1.0;
    painter_.setTransform(QTransform(sx, 0, 0, sy, originX, originY));
}

} // namespace lumo
