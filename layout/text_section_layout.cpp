// Line breaking and measuring of text sections.
#include "layout/block.h"
#include "layout/first_line_report.h"
#include "layout/inline_image.h"
#include "layout/section_list.h"
#include "layout/text_section.h"

#include <algorithm>
#include <climits>

namespace lumo {

namespace {

bool IsBreakOpportunity(char c) {
    return c == ' ' || c == 2 || c == 4;
}

} // namespace

int TSection::MeasureRange(Canvas& canvas, int start, int count, TTrailing trailing) {
    if (trailing == TTrailing::Drop)
        while (count > 1 &&
               (Text[start + count - 1] == BreakChar || Text[start + count - 1] == ' '))
            --count;
    int width = 0;
    const int end = start + count;
    for (int pos = start; pos < end;) {
        const int r = RunIndexAt(pos);
        const int stop = std::min(end, RunEnd(r));
        const TFontRun& run = *Runs[r];
        UseFont(canvas, run.CurrentFont());
        const int overhang = run.Metrics(canvas).RunOverhang;
        // Breaks and object placeholders take no width of their own here.
        int piece = pos;
        while (piece < stop) {
            int k = piece;
            while (k < stop && Text[k] != BreakChar && !IsObject(Text[k]))
                ++k;
            if (k > piece) width += canvas.TextWidth(Glyphs().substr(piece, k - piece)) - overhang;
            if (k < stop && IsObject(Text[k])) width += ObjectWidth(k);
            piece = k < stop ? k + 1 : k;
        }
        pos = stop;
    }
    if (!InlineBoxes.empty()) width += BoxSidesIn(start, end);
    return width;
}

int TSection::BoxSidesIn(int start, int end) const {
    int width = 0;
    for (const TInlineBox& box : InlineBoxes) {
        if (box.Start >= start && box.Start < end) width += box.LeftSide();
        if (box.End > start && box.End <= end) width += box.RightSide();
    }
    return width;
}

int TSection::LeftSidesAt(int i) const {
    int width = 0;
    for (const TInlineBox& box : InlineBoxes)
        if (box.Start == i) width += box.LeftSide();
    return width;
}

int TSection::RightSidesAt(int i) const {
    int width = 0;
    for (const TInlineBox& box : InlineBoxes)
        if (box.End == i) width += box.RightSide();
    return width;
}

int TSection::WidthLimit(const TIndentManager& indents, int Y) const {
    return indents.RightEdgeAt(Y) - indents.LeftEdgeAt(Y);
}

int TSection::FitCount(Canvas& canvas, int start, int maxCount, int limit) {
    const int count = FitGlyphs(canvas, start, maxCount, limit);
    if (InlineBoxes.empty()) return count;
    // The sides of the boxes take room too: fit again in what they leave.
    const int sides = BoxSidesIn(start, start + count);
    return sides > 0 ? FitGlyphs(canvas, start, maxCount, limit - sides) : count;
}

int TSection::FitGlyphs(Canvas& canvas, int start, int maxCount, int limit) {
    int width = 0, count = 0;
    const int end = start + maxCount;
    const std::vector<TInlineObject*>& objects = Objects();
    auto nextImage =
        std::lower_bound(objects.begin(), objects.end(), start,
                         [](const auto* object, int v) { return object->CharPos < v; });
    for (int pos = start; pos < end;) {
        if (nextImage != objects.end() && (*nextImage)->CharPos == pos) {
            width += (*nextImage)->LineWidth();
            if (width > limit) break;
            ++count;
            ++pos;
            ++nextImage;
            continue;
        }
        const int r = RunIndexAt(pos);
        int runEnd = std::min(end, RunEnd(r));
        if (nextImage != objects.end()) runEnd = std::min(runEnd, (*nextImage)->CharPos);
        const TFontRun& run = *Runs[r];
        UseFont(canvas, run.CurrentFont());
        const int overhang = run.Metrics(canvas).RunOverhang;
        const std::string_view rest = Glyphs().substr(pos, runEnd - pos);
        const int room = limit - width;
        const int fit = room < 0 ? 0 : canvas.FitCount(rest, room + overhang);
        // A forced break ends the count just after it. Only the characters
        // that fit, and the one after them, can hold the break that matters,
        // so the search never walks the rest of a long paragraph.
        const size_t brk = rest.substr(0, static_cast<size_t>(fit) + 1).find(BreakChar);
        const std::string_view chunk = rest.substr(0, brk);
        const int n = std::min(fit, static_cast<int>(chunk.size()));
        count += n;
        if (n < static_cast<int>(chunk.size())) break;
        if (n > 0) width += canvas.TextWidth(chunk) - overhang;
        if (brk != std::string_view::npos) {
            ++count;
            break;
        }
        pos = runEnd;
    }
    return count;
}

void TSection::FinishLine(Canvas& canvas, TTextLine& line, const TIndentManager& indents, int X,
                          int Y, int indent, TLastLine last) {
    int textHeight = 0, descent = 0;
    bool anyText = false, onlyFloats = true;
    for (int i = line.Start; i < line.Start + line.CharCount && (onlyFloats || !anyText); ++i) {
        if (!IsObject(Text[i])) {
            anyText = true;
            onlyFloats = onlyFloats && Text[i] == ' ';
        } else if (const TInlineObject* object = ObjectAtIndex(i); !object || !object->IsFloat()) {
            onlyFloats = false;
        }
    }
    // A line of floats and the spaces between them takes no room: what
    // follows starts beside the floats.
    if (anyText && !onlyFloats) {
        const int last = line.Start + line.CharCount - 1;
        for (int r = RunIndexAt(line.Start); r < static_cast<int>(Runs.size()); ++r) {
            if (Runs[r]->StartIndex > last) break;
            const TRunMetrics m = Runs[r]->Metrics(canvas);
            textHeight = std::max(textHeight, m.RunHeight);
            descent = std::max(descent, m.RunDescent);
        }
    }
    if (LineSpacing >= 0 && LineSpacing < textHeight) {
        ShrinkLine(line, textHeight, descent);
    } else {
        GrowLineForObjects(line, textHeight, descent);
        int above = 0, below = 0;
        if (LineSpacing > textHeight) {
            const int extra = LineSpacing - textHeight;
            above = extra / 2;
            below = extra - above;
        }
        line.LineTextHeight = textHeight;
        line.LineDescent = descent;
        line.ExtraAbove = above;
        line.ExtraBelow = below;
    }

    const int left = indents.LeftEdgeAt(Y) + indent, right = indents.RightEdgeAt(Y);
    int textWidth = 0;
    if (Alignment == TextAlign::Center || Alignment == TextAlign::Right)
        textWidth = MeasureRange(canvas, line.Start, line.CharCount, TTrailing::Drop);
    switch (Alignment) {
    case TextAlign::Center: line.LineOffset = (left + right - textWidth) / 2 - X; break;
    case TextAlign::Right: line.LineOffset = right - X - textWidth; break;
    default: line.LineOffset = left - X; break;
    }
    line.LineRoom = right - left;
    line.LineY = Y;
    line.LinePaintHeight = line.Height();
    if (Alignment == TextAlign::Justify && last == TLastLine::No) SpreadLine(canvas, line);
    PlaceObjectsOnLine(canvas, line);
}

void TSection::ShrinkLine(TTextLine& line, int textHeight, int descent) const {
    // A line height below the font's takes its leading from both sides of
    // the text evenly, so lines close up and may overlap; pictures on the
    // line still hold it open as far as they reach from the baseline.
    const int leading = LineSpacing - textHeight;
    const int ascent = textHeight - descent;
    const int textAbove = ascent + leading / 2;
    const int textBelow = descent + (leading - leading / 2);
    int objectsHeight = 0, objectsDescent = 0;
    GrowLineForObjects(line, objectsHeight, objectsDescent);
    const bool pictures = objectsHeight > 0;
    const int above = pictures ? std::max(textAbove, objectsHeight - objectsDescent) : textAbove;
    const int below = pictures ? std::max(textBelow, objectsDescent) : textBelow;
    line.LineTextHeight = textHeight;
    line.LineDescent = descent;
    line.ExtraAbove = above - ascent;
    line.ExtraBelow = below - descent;
}

void TSection::SpreadLine(Canvas& canvas, TTextLine& line) {
    int end = line.Start + line.CharCount;
    while (end > line.Start && Text[end - 1] == ' ')
        --end;
    if (end == line.Start || Text[end - 1] == BreakChar) return; // a BR ends it as written
    const int spaces =
        static_cast<int>(std::count(Text.begin() + line.Start, Text.begin() + end, ' '));
    const int extra =
        line.LineRoom - MeasureRange(canvas, line.Start, line.CharCount, TTrailing::Drop);
    if (spaces == 0 || extra <= 0) return;
    line.SpreadExtra = extra;
    line.SpreadSpaces = spaces;
    line.SpreadEnd = end;
}

int TSection::SpreadBefore(const TTextLine& line, int n) const {
    if (line.SpreadSpaces == 0) return 0;
    const int stop = std::min(line.Start + n, line.SpreadEnd);
    if (stop <= line.Start) return 0;
    const auto k = std::count(Text.begin() + line.Start, Text.begin() + stop, ' ');
    return static_cast<int>(static_cast<long long>(line.SpreadExtra) * k / line.SpreadSpaces);
}

int TSection::LineWidthTo(Canvas& canvas, const TTextLine& line, int n) {
    if (n <= 0) return 0;
    return MeasureRange(canvas, line.Start, n, TTrailing::Keep) + SpreadBefore(line, n);
}

int TSection::PenAt(Canvas& canvas, const TTextLine& line, int i) {
    const int pen = LineWidthTo(canvas, line, i - line.Start);
    return InlineBoxes.empty() ? pen : pen + LeftSidesAt(i);
}

namespace {

// The objects of a section whose placeholders lie in [start, end).
template <class List>
auto ObjectsIn(const List& objects, int start, int end) {
    auto first = std::lower_bound(objects.begin(), objects.end(), start,
                                  [](const auto& object, int v) { return object->CharPos < v; });
    auto last = std::lower_bound(first, objects.end(), end,
                                 [](const auto& object, int v) { return object->CharPos < v; });
    return std::pair{first, last};
}

} // namespace

void TSection::GrowLineForObjects(const TTextLine& line, int& height, int& descent) const {
    const auto [first, last] = ObjectsIn(Objects(), line.Start, line.Start + line.CharCount);
    int ascent = height - descent;
    // Pictures on the baseline first: the others fit into what they make.
    for (auto it = first; it != last; ++it) {
        const TInlineObject& image = **it;
        if (image.AlignCode == TAlignCode::Baseline || image.AlignCode == TAlignCode::Bottom)
            ascent = std::max(ascent, image.TotalHeight());
    }
    for (auto it = first; it != last; ++it) {
        const TInlineObject& image = **it;
        const int grow = image.TotalHeight() - (ascent + descent);
        if (grow <= 0) continue;
        if (image.AlignCode == TAlignCode::Middle) {
            ascent += grow / 2;
            descent += grow - grow / 2;
        } else if (image.AlignCode == TAlignCode::Top) {
            descent += grow;
        } else if (image.AlignCode == TAlignCode::LineBottom) {
            ascent += grow;
        }
    }
    height = ascent + descent;
}

void TSection::PlaceObjectsOnLine(Canvas& canvas, const TTextLine& line) {
    const auto [first, last] = ObjectsIn(Objects(), line.Start, line.Start + line.CharCount);
    const int top = line.LineY + line.ExtraAbove;
    const int baseline = top + line.LineTextHeight - line.LineDescent;
    for (auto it = first; it != last; ++it) {
        TInlineObject& image = **it;
        if (image.IsFloat()) continue;
        const int before = PenAt(canvas, line, image.CharPos);
        image.LeftX = LineX(line) + before + image.SpaceLeft;
        switch (image.AlignCode) {
        case TAlignCode::Top: image.PaintTop = top + image.SpaceTop; break;
        case TAlignCode::LineBottom:
            image.PaintTop = line.LineY + line.Height() - image.BoxHeight - image.SpaceBottom;
            break;
        case TAlignCode::Middle:
            image.PaintTop = top + (line.LineTextHeight - image.TotalHeight()) / 2 + image.SpaceTop;
            break;
        default: image.PaintTop = baseline - image.BoxHeight - image.SpaceBottom; break;
        }
    }
}

void TSection::PlaceFloat(TInlineObject& object, TIndentManager& indents, int Y) {
    const int total = object.TotalWidth();
    // One that does not fit beside the floats there goes below them.
    Y = indents.RoomYFrom(Y, INT_MIN, INT_MAX, total);
    if (object.AlignCode == TAlignCode::FloatLeft) {
        const int left = indents.LeftEdgeAt(Y);
        object.LeftX = left + object.SpaceLeft;
        indents.AddLeftFloat(left + total - indents.LeftEdgeX, Y, Y + object.TotalHeight());
    } else {
        const int right = indents.RightEdgeAt(Y);
        object.LeftX = right - total + object.SpaceLeft;
        indents.AddRightFloat(right - total - indents.LeftEdgeX, Y, Y + object.TotalHeight());
    }
    object.PaintTop = Y + object.SpaceTop;
    object.Placed = true;
    floatsBottom_ = std::max(floatsBottom_, Y + object.TotalHeight());
}

void TSection::PlaceLateFloats(const TTextLine& line, TIndentManager& indents) {
    const auto [first, last] = ObjectsIn(Objects(), line.Start, line.Start + line.CharCount);
    for (auto it = first; it != last; ++it)
        if ((*it)->IsFloat() && !(*it)->Placed)
            PlaceFloat(**it, indents, line.LineY + line.Height());
}

int TSection::LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int,
                     int& WidestOut) {
    LayoutY = TopY = PaintTopY = Y;
    LayoutX = LeftX = X;
    FirstPos = context.PosCounter;
    PosCount = static_cast<int>(Text.size());
    FlowHeight = 0;
    LineList.clear();
    if (Text.empty()) {
        // Nothing to show, but a clear still moves what follows below the floats.
        FlowHeight = ClearGapFor(context.Indents, ClearSide, Y);
        WidestOut = 0;
    } else {
        BreakIntoLines(context, X, Y, RoomWidth, WidestOut);
    }
    context.PosCounter = FirstPos + PosCount;
    ReportFirstBaseline();
    PaintHeight = std::max(FlowHeight, SumY(floatsBottom_, -Y));
    BottomY = SumY(Y, FlowHeight);
    PaintBottomY = SumY(Y, PaintHeight);
    return FlowHeight;
}

void TSection::BreakIntoLines(const TLayoutContext& context, int X, int Y, int RoomWidth,
                              int& WidestOut) {
    Canvas& canvas = context.Measure;
    TIndentManager& indents = context.Indents;
    floatsBottom_ = Y;
    for (auto& image : Images())
        image->SizeFor(canvas, RoomWidth);
    for (TFormControl* control : Controls())
        control->SetSizes(canvas);
    for (TInlineObject* object : Objects())
        object->Placed = false;
    ColumnWidth = indents.RightEdgeAt(Y) - X;
    WidestOut = std::min(indents.RightEdgeAt(Y) - indents.LeftEdgeAt(Y), RoomWidth);
    if (const int gap = ClearGapFor(indents, ClearSide, Y); gap > 0) AddGapLine(0, Y, gap);

    // The first line starts further in (or, for a negative indent, out), or
    // after the text it runs on from.
    int indent = FirstLineIndent(RoomWidth) + InsideMarkerRoom();
    if (RunOnX >= 0) indent = RunOnX - indents.LeftEdgeAt(Y);
    const int len = static_cast<int>(Text.size());
    // A first-line look holds until the first line's end is known.
    bool firstLineLook = HasFirstLineLook();
    if (firstLineLook) {
        JoinCutRuns();
        MarkFirstLine(len);
    }
    bool belowRunOn = false; // moved below the text this section runs on from
    for (int pos = 0; pos < len;) {
        const int y = SumY(Y, FlowHeight);
        // Floats first on their line, with only objects and spaces before
        // them, take their places before the line's room is known.
        for (int i = pos; i < len && (IsObject(Text[i]) || Text[i] == ' '); ++i) {
            TInlineObject* object = Text[i] == ' ' ? nullptr : ObjectAtIndex(i);
            if (object && object->IsFloat() && !object->Placed) PlaceFloat(*object, indents, y);
        }
        const int remaining = len - pos;
        const int counted = FitCount(canvas, pos, remaining, WidthLimit(indents, y) - indent);
        // At least one whole character, however narrow the room.
        const int fit = std::min(std::max(CharEnd(pos) - pos, counted), remaining);
        int n = fit < remaining ? LineLength(pos, fit) : fit;
        // A picture first on the line that does not fit goes below, as a word does.
        const bool pictureWithoutRoom = counted == 0 && IsObject(Text[pos]);
        if ((n == 0 || pictureWithoutRoom) && RunOnX >= 0 && !belowRunOn && FlowHeight == 0) {
            // Not a word fits beside the text before: start below its line,
            // once (a line of no height would leave the loop where it was).
            AddGapLine(pos, y, RunOnHeight);
            indent = 0;
            belowRunOn = true;
            continue;
        }
        if (n == 0 || pictureWithoutRoom) {
            // One word wider than the line: below a float it may fit.
            if (const int wider = indents.NextWiderY(y); wider > y) {
                AddGapLine(pos, y, wider - y);
                continue;
            }
        }
        if (n == 0) {
            n = WideWordLength(pos, fit);
            WidestOut = std::max(WidestOut, MeasureRange(canvas, pos, n, TTrailing::Drop));
        }
        if (firstLineLook) {
            SplitRunAt(pos + n);
            MarkFirstLine(pos + n);
            firstLineLook = false;
        }
        TTextLine line;
        line.Start = pos;
        line.CharCount = n;
        FinishLine(canvas, line, indents, X, y, indent,
                   pos + n < len ? TLastLine::No : TLastLine::Yes);
        indent = 0;
        PlaceLateFloats(line, indents);
        LineList.push_back(line);
        FlowHeight = SumY(FlowHeight, line.Height());
        pos += n;
    }
}

int TSection::OpenLineEnd(Canvas& canvas) {
    if (LineList.empty() || Text.empty() || Text.back() == BreakChar) return -1;
    if (Alignment != TextAlign::Left && Alignment != TextAlign::Justify) return -1;
    const TTextLine& line = LineList.back();
    if (line.CharCount == 0) return -1;
    return LineX(line) + LineWidthTo(canvas, line, line.CharCount);
}

void TSection::ShiftLastLine(int dx) {
    if (LineList.empty() || dx == 0) return;
    TTextLine& line = LineList.back();
    line.LineOffset += dx;
    line.LineRoom -= dx;
    const auto [first, last] = ObjectsIn(Objects(), line.Start, line.Start + line.CharCount);
    for (auto it = first; it != last; ++it)
        if (!(*it)->IsFloat()) (*it)->LeftX += dx;
}

int TSection::LineLength(int pos, int fit) const {
    const int len = static_cast<int>(Text.size());
    int n = fit;
    const char last = Text[pos + n - 1], next = Text[pos + n];
    if (last == BreakChar || last == ' ' || next == ' ' || next == BreakChar) {
        if (next == BreakChar && last != BreakChar) ++n; // the break goes with its line
        while (pos + n < len && Text[pos + n] == ' ')
            ++n;
        return n;
    }
    if (next == 2 || next == 4) return n; // the line ends before the object
    int k = n - 1;
    while (k >= 0 && !IsBreakOpportunity(Text[pos + k]))
        --k;
    return k + 1;
}

int TSection::WideWordLength(int pos, int fit) const {
    const int len = static_cast<int>(Text.size());
    int end = pos + fit;
    while (end < len && !IsBreakOpportunity(Text[end]) && Text[end] != BreakChar)
        ++end;
    if (end < len && Text[end] == BreakChar) ++end;
    while (end < len && Text[end] == ' ')
        ++end;
    return end - pos;
}

void TSection::AddGapLine(int start, int y, int height) {
    TTextLine gap;
    gap.Start = start;
    gap.LineY = y;
    gap.ExtraAbove = height;
    gap.LinePaintHeight = height;
    LineList.push_back(gap);
    FlowHeight = SumY(FlowHeight, height);
}

void TSection::ReportFirstBaseline() const {
    TFirstLineReport* hook = Root->FirstLineHook;
    if (!hook || hook->Baseline != 0) return;
    for (const TTextLine& line : LineList)
        if (line.CharCount > 0) {
            hook->Baseline = line.LineY + line.ExtraAbove + line.LineTextHeight - line.LineDescent;
            hook->MarkerX = LeftX + line.LineOffset - hook->MarkerRoom;
            return;
        }
}

int TSection::InsideMarkerRoom() const {
    const TFirstLineReport* hook = Root->FirstLineHook;
    return hook && hook->Baseline == 0 ? hook->MarkerRoom : 0;
}

bool TSection::CachedWidths(const Canvas& canvas, int& Min, int& Max) const {
    if (widthsOn_ != &canvas || minWidth_ < 0) return false;
    Min = minWidth_;
    Max = maxWidth_;
    return true;
}

void TSection::KeepWidths(const Canvas& canvas, int Min, int Max) {
    minWidth_ = Min;
    maxWidth_ = Max;
    widthsOn_ = &canvas;
}

void TSection::MoveY(int dy) {
    TSectionBase::MoveY(dy);
    for (TTextLine& line : LineList)
        line.LineY += dy;
    // Pictures keep document positions too: a table cell laid out at the top
    // of its table and then moved into its row takes them along.
    for (TInlineObject* object : Objects())
        object->PaintTop += dy;
    floatsBottom_ += dy;
}

void TSection::MeasureWidths(Canvas& canvas, int& Min, int& Max) {
    if (CachedWidths(canvas, Min, Max)) return;
    const int len = static_cast<int>(Text.size());
    // Percentage widths follow the column, so they ask for nothing here.
    for (auto& image : Images())
        image->SizeFor(canvas, 0);
    for (TFormControl* control : Controls())
        control->SetSizes(canvas);
    // A first-line indent widens the first stretch; a percentage of an
    // unknown width counts as nothing.
    int indent = std::max(0, FirstLineIndent(0));
    Max = 0;
    for (int start = 0; start < len;) {
        int end = start;
        while (end < len && Text[end] != BreakChar)
            ++end;
        if (end > start) {
            int floats = 0;
            const auto [first, last] = ObjectsIn(Objects(), start, end);
            for (auto it = first; it != last; ++it)
                if ((*it)->IsFloat()) floats += (*it)->TotalWidth();
            Max = std::max(Max, MeasureRange(canvas, start, end - start, TTrailing::Drop) + floats +
                                    indent);
        }
        indent = 0;
        start = end + 1;
    }
    // The widest word; a word can only win when its length times the widest
    // character of its font beats the best so far.
    Min = 0;
    for (int i = 0; i < len;) {
        while (i < len && (Text[i] == ' ' || Text[i] == BreakChar || Text[i] == 4))
            ++i;
        int end = i;
        while (end < len && Text[end] != ' ' && Text[end] != BreakChar && Text[end] != 4)
            ++end;
        if (end > i) {
            int widest = 0;
            for (int r = RunIndexAt(i);
                 r < static_cast<int>(Runs.size()) && Runs[r]->StartIndex < end; ++r) {
                widest = std::max(widest, Runs[r]->Metrics(canvas).MaxCharWidth);
            }
            if ((end - i) * widest > Min)
                Min = std::max(Min, MeasureRange(canvas, i, end - i, TTrailing::Keep));
        }
        i = end;
    }
    for (const TInlineObject* object : Objects())
        Min = std::max(Min, object->TotalWidth());
    KeepWidths(canvas, Min, Max);
}

} // namespace lumo
