#include "layout/table_columns.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace lumo {

namespace {

// A table asked to honour a percentage beside columns that hold something
// and leave them no room wants to be as wide as it may; this is as wide.
constexpr int MaxTableWidth = 1 << 20;

// What the cells starting in one column say, before it becomes a TColumn.
struct TColumnNeeds {
    int Min = 0;
    int ContentMax = 0; // the widest content of the cells without WIDTH
    int FixedMax = 0;   // the widest WIDTH in pixels, never below its cell's minimum
    int Percent = 0;
    bool HasFixed = false;
};

void TakeSingleCell(TColumnNeeds& col, const TColumnCell& cell) {
    col.Min = std::max(col.Min, cell.Min);
    col.Percent = std::max(col.Percent, cell.Percent);
    if (cell.Fixed > 0) {
        col.HasFixed = true;
        col.FixedMax = std::max(col.FixedMax, std::max(cell.Min, cell.Fixed));
    } else {
        col.ContentMax = std::max(col.ContentMax, cell.Max);
    }
}

// A WIDTH in pixels is the column's widest, whatever its other cells hold;
// a percentage outranks both.
TColumn ColumnOf(const TColumnNeeds& needs) {
    TColumn col;
    col.Min = needs.Min;
    col.Max = std::max(needs.Min, needs.HasFixed ? needs.FixedMax : needs.ContentMax);
    col.Percent = needs.Percent;
    col.Kind = needs.Percent > 0 ? TColumnKind::Percent
               : needs.HasFixed  ? TColumnKind::Fixed
                                 : TColumnKind::Auto;
    return col;
}

std::vector<TColumn> MeasureSingleCells(int numCols, const std::vector<TColumnCell>& cells) {
    std::vector<TColumnNeeds> needs(numCols);
    for (const TColumnCell& cell : cells)
        if (cell.Span == 1) TakeSingleCell(needs[cell.Col], cell);
    std::vector<TColumn> cols(numCols);
    std::transform(needs.begin(), needs.end(), cols.begin(), ColumnOf);
    return cols;
}

// Adds amount to the entries of w in proportion to weights, or in equal
// parts when the weights are all 0; the entries grow by exactly amount.
void Spread(std::vector<int>& w, const std::vector<int64_t>& weights, int amount) {
    const size_t n = w.size();
    if (n == 0) return;
    int64_t total = std::accumulate(weights.begin(), weights.end(), int64_t{0});
    const bool equal = total <= 0;
    if (equal) total = static_cast<int64_t>(n);
    int64_t cumulative = 0, given = 0;
    for (size_t c = 0; c < n; ++c) {
        cumulative += equal ? 1 : weights[c];
        const int64_t upTo = amount * cumulative / total;
        w[c] += static_cast<int>(upTo - given);
        given = upTo;
    }
}

// A spanning cell's percentage, beyond what its columns already hold, is
// shared among its columns without one by how wide they could be.
void SharePercent(std::vector<TColumn>& cols, const TColumnCell& cell) {
    const auto first = cols.begin() + cell.Col, last = first + cell.Span;
    int held = 0;
    std::vector<TColumn*> free;
    std::vector<int64_t> weights;
    for (auto c = first; c != last; ++c) {
        if (c->Kind == TColumnKind::Percent) {
            held += c->Percent;
        } else {
            free.push_back(&*c);
            weights.push_back(c->Max);
        }
    }
    if (cell.Percent <= held || free.empty()) return;
    std::vector<int> shares(free.size(), 0);
    Spread(shares, weights, cell.Percent - held);
    for (size_t i = 0; i < free.size(); ++i) {
        if (shares[i] <= 0) continue;
        free[i]->Kind = TColumnKind::Percent;
        free[i]->Percent = shares[i];
    }
}

// A cell over several columns widens them as a table of those columns
// would share its width: the gaps between them count towards the cell.
void SpreadSpanningCell(std::vector<TColumn>& cols, const TColumnCell& cell, int spacing) {
    if (cell.Percent > 0) SharePercent(cols, cell);
    const int gaps = (cell.Span - 1) * spacing;
    const int cellMin = std::max(0, cell.Min - gaps);
    const int cellMax =
        std::max(cellMin, (cell.Fixed > 0 ? std::max(cell.Min, cell.Fixed) : cell.Max) - gaps);
    const std::vector<TColumn> spanned(cols.begin() + cell.Col,
                                       cols.begin() + cell.Col + cell.Span);
    const std::vector<int> mins = DistributeColumns(spanned, cellMin);
    const std::vector<int> maxes = DistributeColumns(spanned, cellMax);
    for (int i = 0; i < cell.Span; ++i) {
        TColumn& col = cols[cell.Col + i];
        col.Min = std::max(col.Min, mins[i]);
        col.Max = std::max({col.Max, maxes[i], col.Min});
    }
}

void SpreadSpanningCells(std::vector<TColumn>& cols, const std::vector<TColumnCell>& cells,
                         int spacing) {
    std::vector<const TColumnCell*> spanning;
    for (const TColumnCell& cell : cells)
        if (cell.Span > 1) spanning.push_back(&cell);
    // Narrower spans first, so that wider ones see what those gave.
    std::stable_sort(spanning.begin(), spanning.end(),
                     [](const TColumnCell* a, const TColumnCell* b) { return a->Span < b->Span; });
    for (const TColumnCell* cell : spanning)
        SpreadSpanningCell(cols, *cell, spacing);
}

// Percentages are honoured in column order until they reach 100 %; later
// ones get what is left, which may be nothing.
void CapPercents(std::vector<TColumn>& cols) {
    int left = 1000;
    for (TColumn& col : cols) {
        if (col.Kind != TColumnKind::Percent) continue;
        col.Percent = std::min(col.Percent, left);
        left -= col.Percent;
    }
}

// The width at which every percentage column gets its widest content as its
// share, and the other columns theirs from what the percentages leave.
int64_t WidthForPercents(const std::vector<TColumn>& cols) {
    int64_t need = 0, otherMax = 0;
    int percents = 0;
    for (const TColumn& col : cols) {
        if (col.Kind != TColumnKind::Percent) {
            otherMax += col.Max;
        } else if (col.Percent > 0) {
            percents += col.Percent;
            need = std::max(need, (int64_t{col.Max} * 1000 + col.Percent - 1) / col.Percent);
        }
    }
    if (percents == 0) return 0;
    if (percents < 1000)
        need = std::max(need, (otherMax * 1000 + (1000 - percents) - 1) / (1000 - percents));
    else if (otherMax > 0)
        need = MaxTableWidth;
    return need;
}

void Total(TColumnMeasures& m, TWidenForPercents widen) {
    int64_t min = 0, max = 0;
    for (const TColumn& col : m.Cols) {
        min += col.Min;
        max += col.Max;
    }
    m.TotalMin = static_cast<int>(std::min<int64_t>(min, MaxTableWidth));
    if (widen == TWidenForPercents::Yes) max = std::max(max, WidthForPercents(m.Cols));
    m.TotalMax = static_cast<int>(std::clamp<int64_t>(max, m.TotalMin, MaxTableWidth));
}

// The four widths each column passes through as the table widens: its
// minimum; its percentage of the width; its WIDTH in pixels; its widest.
enum Stage { AtMin, PercentsMet, FixedMet, AllMet, StageCount };

std::array<std::vector<int>, StageCount> Stages(const std::vector<TColumn>& cols, int width) {
    std::array<std::vector<int>, StageCount> s;
    for (const TColumn& col : cols) {
        const int share =
            static_cast<int>(int64_t{width} * col.Percent / 1000); // Percent is 0 when not one
        const bool percent = col.Kind == TColumnKind::Percent;
        s[AtMin].push_back(col.Min);
        s[PercentsMet].push_back(percent ? std::max(col.Min, share) : col.Min);
        s[FixedMet].push_back(col.Kind == TColumnKind::Fixed ? col.Max : s[PercentsMet].back());
        s[AllMet].push_back(col.Kind == TColumnKind::Auto ? col.Max : s[FixedMet].back());
    }
    return s;
}

int64_t Sum(const std::vector<int>& w) {
    return std::accumulate(w.begin(), w.end(), int64_t{0});
}

// Between two stages, each column covers the same part of its way.
std::vector<int> Between(const std::vector<int>& from, const std::vector<int>& to, int amount) {
    std::vector<int> w = from;
    std::vector<int64_t> weights(from.size());
    for (size_t c = 0; c < from.size(); ++c)
        weights[c] = to[c] - from[c];
    Spread(w, weights, amount);
    return w;
}

// Width beyond every column's widest: auto columns take it by their widest,
// else fixed ones by theirs, else percentage ones by their percentages;
// equal parts where those are all 0.
void SpreadSurplus(std::vector<int>& w, const std::vector<TColumn>& cols, int surplus) {
    for (TColumnKind kind : {TColumnKind::Auto, TColumnKind::Fixed, TColumnKind::Percent}) {
        std::vector<int64_t> weights(cols.size(), 0);
        bool any = false;
        for (size_t c = 0; c < cols.size(); ++c)
            if (cols[c].Kind == kind) {
                weights[c] = kind == TColumnKind::Percent ? cols[c].Percent : cols[c].Max;
                any = true;
            }
        if (!any) continue;
        if (std::all_of(weights.begin(), weights.end(), [](int64_t x) { return x == 0; }))
            for (size_t c = 0; c < cols.size(); ++c)
                weights[c] = cols[c].Kind == kind ? 1 : 0;
        Spread(w, weights, surplus);
        return;
    }
}

} // namespace

TColumnMeasures MeasureColumns(int numCols, const std::vector<TColumnCell>& cells, int spacing,
                               TWidenForPercents widen) {
    TColumnMeasures m;
    m.Cols = MeasureSingleCells(numCols, cells);
    SpreadSpanningCells(m.Cols, cells, spacing);
    CapPercents(m.Cols);
    Total(m, widen);
    return m;
}

std::vector<int> DistributeColumns(const std::vector<TColumn>& cols, int width) {
    if (cols.empty()) return {};
    const auto stages = Stages(cols, width);
    if (width <= Sum(stages[AtMin])) return stages[AtMin];
    for (int s = PercentsMet; s < StageCount; ++s)
        if (width <= Sum(stages[s]))
            return Between(stages[s - 1], stages[s], width - static_cast<int>(Sum(stages[s - 1])));
    std::vector<int> w = stages[AllMet];
    SpreadSurplus(w, cols, width - static_cast<int>(Sum(w)));
    return w;
}

void ShareExtra(std::vector<int>& heights, int first, int count, int extra) {
    if (count <= 0 || extra <= 0) return;
    for (int r = first; r < first + count; ++r)
        heights[r] += extra / count;
    heights[first + count - 1] += extra % count;
}

} // namespace lumo
