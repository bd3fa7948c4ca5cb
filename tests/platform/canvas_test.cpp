#include "platform/qt_canvas.h"
#include "platform/qt_text.h"
#include "platform/recording_canvas.h"
#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <QImage>

#include <vector>

namespace lumo {
namespace {

TEST(RecordingCanvas, OneLinePerCallWithFixedMetrics) {
    RecordingCanvas canvas;
    FontSpec font;
    font.Size = 12;
    canvas.SetFont(font);
    EXPECT_EQ(canvas.TextExtent("Hello").cx, 40);
    TTextMetrics m = canvas.GetTextMetrics();
    EXPECT_EQ(m.Height, 16);
    EXPECT_EQ(m.Ascent + m.Descent, m.Height);
    font.Bold = true;
    canvas.SetFont(font);
    EXPECT_EQ(canvas.TextWidth("ab"), 18);
    EXPECT_EQ(canvas.FitCount("abcdef", 30), 3);

    canvas.TextOut(10, 24, "Hello \"x\"\x05");
    canvas.SetBrush(clNone, BrushStyle::Clear);
    canvas.FillRect({1, 2, 3, 4});
    canvas.MoveTo(0, 0);
    canvas.LineTo(5, 5);
    canvas.Polygon({{0, 0}, {4, 0}, {2, 3}});
    canvas.StretchDraw({0, 0, 8, 8}, Bitmap(2, 2), {0, 0, 2, 2}, nullptr);
    EXPECT_EQ(canvas.Log, "TEXT 10 24 \"Hello \\x22x\\x22\\x05\"\n"
                          "FILL 1 2 3 4\n"
                          "LINE 0 0 5 5\n"
                          "POLYGON 0,0 4,0 2,3\n"
                          "BITMAP 0 0 8 8 from 2x2 0 0 2 2\n");
}

TEST(QtCanvas, DrawsWithAlignmentAndMasks) {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QtCanvas canvas(image);
        canvas.SetBrush(0x0000FF, BrushStyle::Solid); // red
        canvas.FillRect({0, 0, 10, 10});
        Bitmap picture(2, 1, 0xFF00FF00);
        Bitmap mask(2, 1, 0xFF000000);
        mask.At(1, 0) = 0xFFFFFFFF; // the right pixel is transparent
        canvas.StretchDraw({20, 0, 40, 10}, picture, {0, 0, 2, 1}, &mask);
        // Unmasked, a clear pixel (alpha 0) leaves the canvas alone too.
        picture.At(1, 0) = 0x00FF0000;
        canvas.StretchDraw({20, 10, 40, 20}, picture, {0, 0, 2, 1}, nullptr);
    }
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(12, 5), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(25, 5), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(35, 5), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(25, 15), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(35, 15), qRgb(255, 255, 255));
}

// Lines of a colour other than the text's stand where the font draws its
// own, in their colour, for every size.
TEST(QtCanvas, LinesOfTheirOwnColourWhereTheFontDrawsThem) {
    for (const int size : {10, 12, 30}) {
        for (const int line : {0, 1, 2}) {
            QImage own(200, 80, QImage::Format_RGB32), apart(200, 80, QImage::Format_RGB32);
            own.fill(Qt::white);
            apart.fill(Qt::white);
            FontSpec font;
            font.Size = size;
            font.Underline = line == 0;
            font.StrikeOut = line == 1;
            font.Overline = line == 2;
            font.Color = 0x800000; // navy
            {
                QtCanvas canvas(own);
                canvas.SetFont(font);
                canvas.SetTextAlign(HAlign::Left, VAlign::Baseline);
                canvas.TextOut(5, 50, "iii");
            }
            font.Color = 0xFFFFFF; // white text, navy lines
            font.DecorationColor = 0x800000;
            int width = 0;
            {
                QtCanvas canvas(apart);
                canvas.SetFont(font);
                canvas.SetTextAlign(HAlign::Left, VAlign::Baseline);
                canvas.TextOut(5, 50, "iii");
                width = canvas.TextWidth("iii");
            }
            // Every pixel of the lines is one the font's own lines cover, and
            // they run the text's width.
            const QRgb navy = qRgb(0, 0, 128);
            int rows = 0;
            for (int y = 0; y < 80; ++y) {
                int across = 0;
                for (int x = 0; x < 200; ++x)
                    if (apart.pixel(x, y) == navy) {
                        EXPECT_EQ(own.pixel(x, y), navy)
                            << size << " " << line << " " << x << "," << y;
                        ++across;
                    }
                rows += across >= width - 2;
            }
            EXPECT_GT(rows, 0) << size << " " << line;
        }
    }
}

// Widths are summed from each byte's advance; they must be what Qt measures
// for the whole text, or painted text would not match its layout.
// Printed pages ask whether they go to a device of one bit (black text,
// plain controls) or of colour.
TEST(QtCanvas, MonochromeOnlyOnDevicesOfOneBit) {
    QImage mono(8, 8, QImage::Format_Mono), colour(8, 8, QImage::Format_RGB32);
    EXPECT_TRUE(QtCanvas(mono).IsMonochrome());
    EXPECT_FALSE(QtCanvas(colour).IsMonochrome());
}

TEST(QtCanvas, WidthsAgreeWithQtForEveryByte) {
    QImage image(8, 8, QImage::Format_RGB32);
    QtCanvas canvas(image);
    std::string all, printable;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char>(b);
        const bool special = b < 32 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F ||
                             b == 0x90 || b == 0x9D || b == 0xAD;
        if (!special) printable += static_cast<char>(b);
    }
    const std::string texts[] = {
        all,
        printable,
        "Plain words, with punctuation: \x93quoted\x94 \x85 \x80 10\x89",
        "soft\xADhyphen and a\ttab and \x7F and \x81\x8D",
        "\xA0nbsp\xA0\xA0 \xC0\xE9\xFF \x8C\x9C \x99",
    };
    for (const char* face : {"Times New Roman", "Arial", "Courier New", "No Such Face"}) {
        for (int size : {7, 10, 12, 17, 36}) {
            FontSpec font;
            font.Name = face;
            font.Size = size;
            font.Bold = size % 2 == 0;
            font.Italic = size > 15;
            canvas.SetFont(font);
            QFont qfont(ToQString(face));
            qfont.setPixelSize(PointsToPixels(size));
            qfont.setBold(font.Bold);
            qfont.setItalic(font.Italic);
            qfont.setKerning(false);
            qfont.setStyleStrategy(QFont::PreferNoShaping);
            const QFontMetrics metrics(qfont, &image);
            for (const std::string& text : texts)
                for (size_t n = 1; n <= text.size(); n += 7)
                    EXPECT_EQ(canvas.TextWidth(std::string_view(text).substr(0, n)),
                              metrics.horizontalAdvance(ToQString(text.substr(0, n))))
                        << face << " " << size << " " << n;
        }
    }
}

// A page's code page says which characters its bytes are: Qt measures and
// draws those, and bytes a code page leaves undefined keep their own value.
TEST(QtCanvas, TextInThePagesCodePage) {
    const struct {
        TCodePage page;
        const char* bytes;
        const char16_t* text;
    } rows[] = {
        {TCodePage::Windows1251, "\xCF\xF0\xE8\xE2\xE5\xF2", u"Привет"},
        {TCodePage::Koi8R, "\xF0\xD2\xC9\xD7\xC5\xD4", u"Привет"},
        {TCodePage::Iso8859_5, "\xBF", u"П"},
        {TCodePage::Windows1250, "\x8A\xE8", u"Šč"},
        {TCodePage::Iso8859_2, "\xA9\xE8", u"Šč"},
        {TCodePage::Windows1253, "\xE1\xAA", u"αª"},
        {TCodePage::Iso8859_7, "\xE1", u"α"},
        {TCodePage::Windows1254, "\xF0", u"ğ"},
        {TCodePage::Windows1257, "\xE0", u"ą"},
        {TCodePage::Windows1252, "\x80\x81\xE9", u"€é"},
    };
    QImage image(8, 8, QImage::Format_RGB32);
    QtCanvas canvas(image);
    for (const auto& row : rows) {
        const QString text = QString::fromUtf16(row.text);
        EXPECT_EQ(DecodeText(row.bytes, row.page), text) << row.bytes;
        FontSpec font;
        font.Name = "Arial";
        font.CodePage = row.page;
        canvas.SetFont(font);
        QFont qfont(QStringLiteral("Arial"));
        qfont.setPixelSize(PointsToPixels(font.Size));
        qfont.setKerning(false);
        qfont.setStyleStrategy(QFont::PreferNoShaping);
        EXPECT_EQ(canvas.TextWidth(row.bytes), QFontMetrics(qfont, &image).horizontalAdvance(text))
            << row.bytes;
        std::string encoded;
        if (!text.contains(QChar::ReplacementCharacter)) {
            EXPECT_TRUE(EncodeText(text, row.page, encoded)) << row.bytes;
            EXPECT_EQ(encoded, row.bytes);
        }
    }
    std::string bytes;
    EXPECT_FALSE(EncodeText(QStringLiteral("Жx"), TCodePage::Windows1252, bytes));
}

// However little room there is, what fits of UTF-8 text ends between two
// characters, and the width of what fits is the width of those characters.
// What a user types into a form goes in the page's code page, a character
// it cannot hold as a reference; the widget reads those references back.
TEST(QtText, FormTextInThePagesCodePage) {
    const struct {
        TCodePage page;
        const char16_t* typed;
        const char* bytes;
    } rows[] = {
        {TCodePage::Koi8R, u"Ёж", "\xB3\xD6"},
        {TCodePage::Koi8R, u"a中😀;", "a&#20013;&#128512;;"},
        {TCodePage::Windows1252, u"é€Ж", "\xE9\x80&#1046;"},
        {TCodePage::Iso8859_7, u"γ\n", "\xE3\n"},
        {TCodePage::Utf8, u"Ж中", "Ж中"},
    };
    for (const auto& row : rows) {
        const QString typed = QString::fromUtf16(row.typed);
        EXPECT_EQ(EncodeFormText(typed, row.page), row.bytes) << row.bytes;
        EXPECT_EQ(FormText(row.bytes, row.page), typed) << row.bytes;
    }
    // A reference to a character the page holds, or no reference at all, is
    // text the user typed as it stands.
    for (const char* literal : {"&#1078;", "&#;", "&#20013", "&#99999999;", "&#55296;"})
        EXPECT_EQ(FormText(literal, TCodePage::Koi8R), QString::fromLatin1(literal)) << literal;
}

TEST(QtCanvas, FitCountKeepsUtf8CharactersWhole) {
    QImage image(8, 8, QImage::Format_RGB32);
    QtCanvas canvas(image);
    FontSpec font;
    font.Name = "Arial";
    font.CodePage = TCodePage::Utf8;
    canvas.SetFont(font);
    for (const std::string text : {"ЖЖЖЖЖЖ", "中中中", "😀😀😀", "aЖ中😀b"}) {
        int last = 0;
        for (int room = 0; room <= canvas.TextWidth(text) + 1; ++room) {
            const int n = canvas.FitCount(text, room);
            EXPECT_EQ(Utf8CharStart(text, static_cast<size_t>(n)), static_cast<size_t>(n))
                << text << " " << room;
            EXPECT_LE(canvas.TextWidth(text.substr(0, static_cast<size_t>(n))), room);
            EXPECT_GE(n, last);
            last = n;
        }
        EXPECT_EQ(last, static_cast<int>(text.size()));
    }
}

// A canvas keeps the faces it was given, and one that paints on another
// device measures as the device it was told to measure on.
TEST(QtCanvas, FacesTakenAgainMeasureAsBefore) {
    QImage reference(8, 8, QImage::Format_RGB32);
    QImage fine(400, 60, QImage::Format_RGB32);
    fine.setDotsPerMeterX(11811); // 300 dpi
    fine.setDotsPerMeterY(11811);
    fine.fill(Qt::white);
    QtCanvas measured(reference);
    QtCanvas canvas(fine, reference);
    FontSpec font;
    font.Name = "Arial";
    std::vector<int> widths;
    for (int size = 6; size < 30; ++size) { // more faces than a canvas keeps
        font.Size = size;
        measured.SetFont(font);
        canvas.SetFont(font);
        widths.push_back(canvas.TextWidth("Some text"));
        EXPECT_EQ(widths.back(), measured.TextWidth("Some text")) << size;
        EXPECT_EQ(canvas.GetTextMetrics().Height, measured.GetTextMetrics().Height) << size;
    }
    for (int size = 29; size >= 6; --size) {
        font.Size = size;
        font.Color = 0x0000FF; // another colour is the same face
        canvas.SetFont(font);
        EXPECT_EQ(canvas.TextWidth("Some text"), widths[static_cast<size_t>(size - 6)]) << size;
    }
    // The face taken again draws in its new colour.
    font.Size = 24;
    canvas.SetFont(font);
    canvas.SetTextAlign(HAlign::Left, VAlign::Top);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.TextOut(0, 0, "MMMM");
    canvas.Painter().end();
    bool red = false;
    for (int y = 0; y < 40 && !red; ++y)
        for (int x = 0; x < 200 && !red; ++x)
            red = qRed(fine.pixel(x, y)) > 200 && qGreen(fine.pixel(x, y)) < 60;
    EXPECT_TRUE(red);
}

TEST(FontFaceNames, MetricTwinsCountAsInstalled) {
    if (!IsFontFaceInstalled("Liberation Sans")) GTEST_SKIP() << "fonts-liberation is missing";
    for (const char* face : {"Arial", "arial", "Times New Roman", "Courier New", "Liberation Mono"})
        EXPECT_TRUE(IsFontFaceInstalled(face)) << face;
    EXPECT_FALSE(IsFontFaceInstalled("No Such Face"));
    EXPECT_FALSE(IsFontFaceInstalled(""));
}

TEST(Colors, FlagsAndSystemColours) {
    EXPECT_EQ(ColorToRGB(0x020088FF), 0x0088FFu);
    EXPECT_EQ(ColorToRGB(0x80000000 | 15), 0xC0C0C0u);
    EXPECT_EQ(ColorToRGB(0x80000000 | 200), 0u);
    EXPECT_EQ(PointsToPixels(12), 16);
    EXPECT_EQ(PointsToPixels(10), 13);
}

} // namespace
} // namespace lumo
