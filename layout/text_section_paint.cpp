// Painting, hit tests, find, copying and position mapping of text sections.
#include "layout/inline_image.h"
#include "layout/inline_panel.h"
#include "layout/section_list.h"
#include "layout/selection_text.h"
#include "layout/text_section.h"
#include "platform/ansi.h"
#include "platform/text.h"
#include "platform/utf8.h"

#include <algorithm>
#include <cstdio>

namespace lumo {

namespace {

TColor PrintedColor(const TSectionList& root, Canvas& canvas, TColor color) {
    if (!root.IsPrinting) return color;
    if (canvas.IsMonochrome()) return 0;
    if (!root.PrintBackgrounds && (ColorToRGB(color) & 0x00E0E0) > 0xE0DF) return 0xA0A0A0;
    return color;
}

// An inline box's sides in the colours they are painted in; a side with no
// colour of its own takes the text's.
TBoxBorder SidesAsPainted(const TSectionList& root, Canvas& canvas, TBoxBorder lines, TColor text) {
    for (int side = TBoxBorder::Top; side <= TBoxBorder::Left; ++side) {
        const auto s = static_cast<TBoxBorder::Side>(side);
        const TColor own = lines.Color(s);
        lines.SetColor(s, PrintedColor(root, canvas, own != clNone ? own : text));
    }
    return lines;
}

bool MeetsClip(const TInlineObject& object, const TRect& clip) {
    return object.PaintTop < clip.Bottom && object.PaintTop + object.BoxHeight > clip.Top;
}

// Whether UTF-8 text holds want at i, character by character without regard
// to case. A capital and its partner take as many bytes as each other, so a
// match is as long as want.
bool FoldedMatchAt(std::string_view text, size_t i, std::string_view want) {
    for (size_t k = 0; k < want.size();) {
        if (i >= text.size()) return false;
        const TUtf8Char a = DecodeUtf8Char(text, i), b = DecodeUtf8Char(want, k);
        if (FoldedCodePoint(a.CodePoint) != FoldedCodePoint(b.CodePoint) || a.Length != b.Length)
            return false;
        i += static_cast<size_t>(a.Length);
        k += static_cast<size_t>(b.Length);
    }
    return true;
}

} // namespace

int TSection::LineAtY(int Y) const {
    auto it = std::upper_bound(LineList.begin(), LineList.end(), Y,
                               [](int y, const TTextLine& line) { return y < line.LineY; });
    if (it == LineList.begin()) return -1;
    --it;
    if (Y >= it->LineY + it->Height()) return -1;
    return static_cast<int>(it - LineList.begin());
}

int TSection::CharsBeforeX(Canvas& canvas, const TTextLine& line, int X, TRounding rounding) {
    const int lineX = LineX(line);
    if (X <= lineX) return 0;
    // A count inside a character stands for the boundary before it: the
    // fonts of text read before a later META named the page's code page
    // measure it byte by byte.
    const auto whole = [&](int count) { return CharStart(line.Start + count) - line.Start; };
    int n =
        whole(std::min(FitCount(canvas, line.Start, line.CharCount, X - lineX), line.CharCount));
    if (line.SpreadSpaces > 0) {
        // Stretched spaces only move characters right: the answer is at
        // most n, the last count whose laid-out width still fits.
        int lo = 0, hi = n;
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            if (LineWidthTo(canvas, line, whole(mid)) <= X - lineX)
                lo = mid;
            else
                hi = mid - 1;
        }
        n = whole(lo);
    }
    if (rounding == TRounding::Nearest && n < line.CharCount) {
        // Past the middle of the next character the caret goes after it.
        const int next = std::min(CharEnd(line.Start + n) - line.Start, line.CharCount);
        const int before = LineWidthTo(canvas, line, n);
        const int after = LineWidthTo(canvas, line, next);
        if (X - lineX > (before + after) / 2) n = next;
    }
    return n;
}

int TSection::Paint(Canvas& canvas, const TRect& clip, int X) {
    if (Text.empty() || LineList.empty()) return LayoutY + FlowHeight;
    if (PaintTopY >= clip.Bottom || PaintBottomY < clip.Top) return LayoutY + FlowHeight;
    canvas.SetTextAlign(HAlign::Left, VAlign::Baseline);

    // The first line that may meet the clip, by binary search on the line
    // tops, and before it any whose glyphs reach down past their line.
    auto first = std::upper_bound(LineList.begin(), LineList.end(), clip.Top,
                                  [](int y, const TTextLine& line) { return y < line.LineY; });
    if (first != LineList.begin()) --first;
    while (first != LineList.begin() && std::prev(first)->GlyphBottom() > clip.Top)
        --first;
    for (auto it = first; it != LineList.end(); ++it) {
        TTextLine& line = *it;
        if (line.GlyphTop() >= clip.Bottom) break;
        if (line.GlyphBottom() <= clip.Top || line.CharCount == 0) continue;
        if (Root->IsPrinting) {
            if (StartsNextPage(line, clip)) break;
            if (line.LineY < clip.Top) continue; // printed on the page before
        }
        PaintLine(canvas, line, X);
    }
    // Floats last, so they lie above the text of the section.
    for (TInlineObject* object : Objects())
        if (object->IsFloat() && object->Placed && MeetsClip(*object, clip))
            object->Paint(canvas, object->LeftX + X, object->PaintTop - Root->ScrollY);
    canvas.SetBkMode(BkMode::Transparent);
    return LayoutY + FlowHeight;
}

bool TSection::StartsNextPage(const TTextLine& line, const TRect& clip) {
    // A line taller than a whole page is cut wherever the page ends.
    if (line.LinePaintHeight >= clip.Bottom - clip.Top) return false;
    const int bottom = line.LineY + line.LinePaintHeight;
    if (bottom <= Root->PageEndY) {
        Root->PageLinesBottomY = std::max(Root->PageLinesBottomY, bottom);
        return false;
    }
    // A line crossing the page end starts the next page.
    Root->PageEndY = std::min(Root->PageEndY, line.LineY);
    return true;
}

void TSection::PaintLine(Canvas& canvas, TTextLine& line, int X) {
    const int selStart = Root->SelStart - FirstPos, selEnd = Root->SelEnd - FirstPos;
    line.PaintedX = LineX(line) + X;
    line.PaintedY = line.LineY - Root->ScrollY;
    const int baseline = line.PaintedY + line.ExtraAbove + line.LineTextHeight - line.LineDescent;
    int end = line.Start + line.CharCount;
    while (end > line.Start && (Text[end - 1] == BreakChar || Text[end - 1] == ' '))
        --end;
    if (!InlineBoxes.empty()) PaintInlineBoxes(canvas, line, end, baseline);
    int penX = line.PaintedX;
    for (int pos = line.Start; pos < end;) {
        const int r = RunIndexAt(pos);
        int stop = std::min(end, RunEnd(r));
        // Split where the selection starts or ends.
        const bool selected = pos >= selStart && pos < selEnd;
        if (!selected && selStart > pos && selStart < stop) stop = selStart;
        if (selected && selEnd < stop) stop = selEnd;
        int objectAt = pos;
        while (objectAt < stop && !IsObject(Text[objectAt]))
            ++objectAt;
        if (objectAt == pos) { // objects draw with their own code
            if (TInlineObject* object = ObjectAtIndex(pos); object && !object->IsFloat()) {
                object->Paint(canvas, object->LeftX + X, object->PaintTop - Root->ScrollY);
                penX += object->LineWidth();
            }
            ++pos;
            continue;
        }
        // On a justified line each space ends a piece and the pen jumps on
        // by that space's share of the room.
        int pieceEnd = objectAt;
        // Where the line's measure puts the piece: pieces measured one by
        // one would add up their roundings and run past the line's end.
        if (!InlineBoxes.empty() || line.SpreadSpaces > 0)
            penX = line.PaintedX + PenAt(canvas, line, pos);
        if (!InlineBoxes.empty()) {
            // The sides of inline boxes stand between pieces.
            for (const TInlineBox& box : InlineBoxes)
                for (int edge : {box.Start, box.End})
                    if (edge > pos && edge < pieceEnd) pieceEnd = edge;
        }
        if (line.SpreadSpaces > 0)
            if (const size_t space = Text.find(' ', pos); space < static_cast<size_t>(pieceEnd))
                pieceEnd = static_cast<int>(space) + 1;
        penX = PaintPiece(canvas, *Runs[r], pos, pieceEnd, selected, penX, baseline) +
               SpreadBefore(line, pieceEnd - line.Start) - SpreadBefore(line, pos - line.Start);
        pos = pieceEnd;
    }
}

void TSection::PaintInlineBoxes(Canvas& canvas, const TTextLine& line, int end, int baseline) {
    enum { Top, Right, Bottom, Left };
    for (const TInlineBox& box : InlineBoxes) {
        const int from = std::max(box.Start, line.Start), to = std::min(box.End, end);
        if (from >= to) continue;
        // The element's sides stand only where its first and last characters are.
        const bool first = from == box.Start, last = to == box.End;
        const int padLeft = first ? box.Padding[Left] : 0, padRight = last ? box.Padding[Right] : 0;
        const int left = line.PaintedX + PenAt(canvas, line, from) - padLeft;
        const int right = line.PaintedX + LineWidthTo(canvas, line, to - line.Start) -
                          (last ? RightSidesAt(to) : 0) + padRight;
        TFontRun& run = *Runs[RunIndexAt(from)];
        const TRunMetrics m = run.Metrics(canvas);
        const int top = baseline - (m.TextHeight - m.RunDescent) - box.Padding[Top];
        const int bottom = baseline + m.RunDescent + box.Padding[Bottom];
        if (box.Background != clNone && (!Root->IsPrinting || Root->PrintBackgrounds)) {
            canvas.SetBrush(box.Background, BrushStyle::Solid);
            canvas.FillRect({left, top, right, bottom});
        }
        const int bl = first ? box.Border[Left] : 0, br = last ? box.Border[Right] : 0;
        const TBoxBorder lines = SidesAsPainted(*Root, canvas, box.Lines, run.CurrentFont().Color);
        lines.Paint(canvas,
                    {left - bl, top - box.Border[Top], right + br, bottom + box.Border[Bottom]},
                    {left, top, right, bottom});
    }
}

namespace {

// Sets the canvas's colours for a piece of text in font; returns the text colour.
TColor UseTextColors(const TSectionList& root, Canvas& canvas, const TFont& font, bool selected) {
    const TColor textColor = PrintedColor(root, canvas, font.Color);
    if (selected) {
        canvas.SetBkMode(BkMode::Opaque);
        canvas.SetBkColor(textColor);
        TColor back = font.bgColor != clNone ? font.bgColor : root.BackColor;
        canvas.SetTextColor(back == clNone ? 0xFFFFFF : back);
    } else if (font.bgColor != clNone && (!root.IsPrinting || root.PrintBackgrounds)) {
        canvas.SetBkMode(BkMode::Opaque);
        canvas.SetBkColor(font.bgColor);
        canvas.SetTextColor(textColor);
    } else {
        canvas.SetBkMode(BkMode::Transparent);
        canvas.SetTextColor(textColor);
    }
    return textColor;
}

} // namespace

int TSection::PaintPiece(Canvas& canvas, TFontRun& run, int start, int stop, bool selected,
                         int penX, int baseline) {
    const TFont& font = run.CurrentFont();
    UseFont(canvas, font);
    const TRunMetrics m = run.Metrics(canvas);
    const TColor textColor = UseTextColors(*Root, canvas, font, selected);
    if (!selected && Root->ShowDummyCaret && Root->CaretPos == FirstPos + start) {
        canvas.SetBrush(textColor, BrushStyle::Solid);
        canvas.FillRect(
            {penX, baseline - m.TextHeight + m.RunDescent, penX + 1, baseline + m.RunDescent});
    }
    int y = baseline;
    if (run.ScriptShift == 1) y += m.RunDescent / 2 + 1;
    if (run.ScriptShift == 2) y -= m.RunHeight / 3;
    std::string piece = Drawable(Glyphs().substr(start, stop - start));
    piece.erase(std::remove(piece.begin(), piece.end(), BreakChar), piece.end());
    canvas.TextOut(penX - m.RunOverhang / 2, y, piece);
    return penX + canvas.TextWidth(piece) - m.RunOverhang;
}

bool TSection::ObjectAt(int X, int Y, TInlineImage*& object, int& IX, int& IY) {
    // Floats lie on top, so they are hit first.
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& image : Images()) {
            if (image->IsFloat() != (pass == 0) || (image->IsFloat() && !image->Placed)) continue;
            const int border = image->LinkBorder ? 1 : 0;
            const int x = X - image->LeftX - border, y = Y - image->PaintTop - border;
            if (x < 0 || y < 0 || x >= image->BoxWidth - 2 * border ||
                y >= image->BoxHeight - 2 * border)
                continue;
            object = image.get();
            IX = x;
            IY = y;
            return true;
        }
    return false;
}

bool TSection::LinkAt(Canvas& canvas, int X, int Y, const TUrlTarget*& target,
                      TFormControl*& control) {
    TInlineImage* image = nullptr;
    int IX = 0, IY = 0;
    if (ObjectAt(X, Y, image, IX, IY)) {
        if (!image->FormControl) return ImageLinkAt(*image, IX, IY, target);
        // An image button: no address, but the point is where a click
        // would send it.
        control = image->FormControl;
        control->PendingX = IX;
        control->PendingY = IY;
        return true;
    }
    const int index = LineAtY(Y);
    if (index < 0) return false;
    const TTextLine& line = LineList[index];
    if (X < LineX(line) || line.CharCount == 0) return false;
    const int n = CharsBeforeX(canvas, line, X, TRounding::Down);
    if (n >= line.CharCount) return false;
    const int i = line.Start + n;
    if (IsObject(Text[i]) || Text[i] == BreakChar) return false;
    // Past the drawn text of the line (its trailing spaces) is no link.
    if (X >= LineX(line) + MeasureRange(canvas, line.Start, line.CharCount, TTrailing::Drop) +
                 line.SpreadExtra)
        return false;
    TFontRun* run = Runs[RunIndexAt(i)].get();
    if (!run->IsLink()) return false;
    target = &run->Link();
    Root->HoverLink = run;
    return true;
}

bool TSection::ImageLinkAt(TInlineImage& image, int IX, int IY, const TUrlTarget*& target) {
    if (const TImageMap* map = image.ClientMap()) {
        std::unique_ptr<TUrlTarget> area;
        if (!map->LinkAtPoint(IX, IY, area)) return false;
        Root->ImageLink = *area;
        target = &Root->ImageLink;
        return true;
    }
    TFontRun* run = Runs[RunIndexAt(image.CharPos)].get();
    if (!run->IsLink()) return false;
    Root->HoverLink = run;
    target = &run->Link();
    if (image.ServerMap) {
        // The server's map gets the point clicked within the picture.
        Root->ImageLink = run->Link();
        Root->ImageLink.Url += "?" + std::to_string(IX) + "," + std::to_string(IY);
        target = &Root->ImageLink;
    }
    return true;
}

int TSection::CursorAt(Canvas& canvas, int X, int Y, int& XR, int& YR, int& CaretHt, bool& InText) {
    if (X < LayoutX) return -1;
    const int index = LineAtY(Y);
    if (index < 0) return -1;
    const TTextLine& line = LineList[index];
    if (X > LineX(line) + line.LineRoom) return -1;
    InText = true;
    CaretHt = line.LineTextHeight;
    YR = line.LineY + line.ExtraAbove;
    if (X < LineX(line)) {
        XR = LineX(line);
        InText = false;
        return FirstPos + line.Start;
    }
    int n = CharsBeforeX(canvas, line, X, TRounding::Nearest);
    int visible = line.CharCount;
    while (visible > 0 && Text[line.Start + visible - 1] == BreakChar)
        --visible;
    if (n >= visible) {
        n = visible;
        InText = false;
    }
    XR = LineX(line) + LineWidthTo(canvas, line, n);
    return FirstPos + line.Start + n;
}

bool TSection::CursorToPoint(Canvas* canvas, int cursor, int& X, int& Y) {
    const int i = cursor - FirstPos;
    if (Text.empty() || i < 0 || i >= static_cast<int>(Text.size())) return false;
    for (const TTextLine& line : LineList) {
        if (line.CharCount == 0 || i >= line.Start + line.CharCount) continue;
        if (i < line.Start) return false;
        Y = line.LineY;
        X = LineX(line);
        if (canvas) X += PenAt(*canvas, line, i);
        return true;
    }
    return false;
}

int TSection::FindText(int from, std::string_view text, bool matchCase) {
    const int len = static_cast<int>(Text.size());
    if (len == 0 || text.empty() || from >= FirstPos + len) return -1;
    const int start = std::max(0, from - FirstPos);
    if (matchCase) {
        size_t found = Text.find(text, static_cast<size_t>(start));
        return found == std::string::npos ? -1 : FirstPos + static_cast<int>(found);
    }
    const std::string_view want = text.substr(0, std::min<size_t>(text.size(), 255));
    if (Root->CodePage == TCodePage::Utf8) {
        // A search from inside a character starts after it.
        const int at = CharStart(start);
        const int first = at < start ? CharEnd(at) : start;
        for (int i = first; i < len; i = CharEnd(i))
            if (FoldedMatchAt(Text, static_cast<size_t>(i), want)) return FirstPos + i;
        return -1;
    }
    // Folded in the code page, so "é" finds "É" as "e" finds "E" (and "ж" "Ж").
    const TCaseFold* fold =
        Root->LetterCasesOf ? &Root->LetterCasesOf(Root->CodePage).Lower : nullptr;
    const auto folded = [fold](char c) {
        return fold ? static_cast<char>((*fold)[static_cast<unsigned char>(c)]) : AnsiLowerChar(c);
    };
    const auto matchesAt = [&](int i) {
        for (size_t k = 0; k < want.size(); ++k)
            if (folded(Text[static_cast<size_t>(i) + k]) != folded(want[k])) return false;
        return true;
    };
    const char first = folded(want[0]);
    for (int i = start; i + static_cast<int>(want.size()) <= len; ++i)
        if (folded(Text[i]) == first && matchesAt(i)) return FirstPos + i;
    return -1;
}

void TSection::CopySelection() {
    TSelectionCounter* sink = Root->TextSink;
    if (!sink) return;
    const int selStart = Root->SelStart - FirstPos, selEnd = Root->SelEnd - FirstPos;
    for (const TTextLine& line : LineList) {
        if (line.CharCount == 0) continue;
        const int lineEnd = line.Start + line.CharCount;
        if (lineEnd <= selStart || line.Start >= selEnd) continue;
        const int from = std::max(selStart, line.Start), to = std::min(selEnd, lineEnd);
        if (selStart <= line.Start) {
            // Three spaces per 35 pixels of indent; a line left of the text
            // column (negative offset) gets none.
            const int indent = std::max(0, LineX(line) - Root->CopyIndentBase);
            const std::string spaces(static_cast<size_t>(indent / 35 * 3), ' ');
            if (!spaces.empty()) sink->AddText(spaces.data(), static_cast<int>(spaces.size()));
        }
        int n = to - from;
        // The break byte at the line end becomes the CR LF below.
        const bool reachesEnd = selEnd >= lineEnd;
        if (reachesEnd)
            while (n > 0 && (Text[from + n - 1] == BreakChar))
                --n;
        if (n > 0) sink->AddText(Text.data() + from, n);
        if (reachesEnd) sink->AddText("\r\n", 2);
    }
}

int TSection::SourceOfDocPos(int docPos) {
    const int i = docPos - FirstPos;
    if (i < 0 || i >= static_cast<int>(Text.size()) || SourceMap.empty()) return -1;
    auto it = std::upper_bound(SourceMap.begin(), SourceMap.end(), i,
                               [](int v, const TSourceMapEntry& o) { return v < o.CharIndex; });
    if (it == SourceMap.begin()) return -1;
    --it;
    return i - it->CharIndex + it->SourceIndex;
}

int TSection::DocPosOfSource(int sourcePos, TBetween between) {
    const int len = static_cast<int>(Text.size());
    for (size_t k = 0; k < SourceMap.size(); ++k) {
        const TSourceMapEntry& o = SourceMap[k];
        const int runEnd = k + 1 < SourceMap.size() ? SourceMap[k + 1].CharIndex : len;
        const int count = runEnd - o.CharIndex;
        if (sourcePos >= o.SourceIndex && sourcePos < o.SourceIndex + count)
            return FirstPos + o.CharIndex + sourcePos - o.SourceIndex;
        // Between this stretch and the next one.
        if (k + 1 < SourceMap.size() && sourcePos >= o.SourceIndex + count &&
            sourcePos < SourceMap[k + 1].SourceIndex)
            return FirstPos + (between == TBetween::Previous ? runEnd - 1 : runEnd);
    }
    return -1;
}

bool TSection::CharAt(int pos, char& ch, TSectionBase*& obj) {
    const int i = pos - FirstPos;
    if (i < 0 || i >= static_cast<int>(Text.size())) return false;
    ch = Text[i];
    obj = this;
    return true;
}

void TSection::Dump(std::string& out, int depth) const {
    DumpIndent(out, depth);
    out += KindName();
    out += " at (" + std::to_string(LayoutX) + "," + std::to_string(TopY) + ") size " +
           std::to_string(ColumnWidth) + "x" + std::to_string(FlowHeight) + " lines " +
           std::to_string(LineList.size()) + " pos " + std::to_string(FirstPos) + "\n";
    for (size_t i = 0; i < LineList.size(); ++i) {
        const TTextLine& line = LineList[i];
        DumpIndent(out, depth + 1);
        out += "line " + std::to_string(i) + " x=" + std::to_string(LineX(line)) +
               " y=" + std::to_string(line.LineY) + " h=" + std::to_string(line.Height()) +
               (line.SpreadExtra ? " spread=" + std::to_string(line.SpreadExtra) : "") + " " +
               QuotedBytes(std::string_view(Text).substr(line.Start, line.CharCount), true) + "\n";
    }
    for (const auto& image : Images())
        image->Dump(out, depth + 1);
    for (const auto& panel : Panels())
        panel->Dump(out, depth + 1);
}

} // namespace lumo
