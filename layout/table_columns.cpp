#include "layout/table_columns.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace lumo {

namespace {

int Sum(const std::vector<int>& v, int first, int count) {
    return std::accumulate(v.begin() + first, v.begin() + first + count, 0);
}

// a * b / c in 64 bits; c is never 0 here.
int MulDiv(int64_t a, int64_t b, int64_t c) {
    return static_cast<int>(a * b / c);
}

// The same rounded to the nearest: a pixel width turned into a percentage
// and back must come out as it went in.
int MulDivRound(int64_t a, int64_t b, int64_t c) {
    return static_cast<int>((a * b + c / 2) / c);
}

// Adds excess over count entries from first in proportion to their values
// (all to the first when they are all 0); the rounding remainder goes to the
// last, so the entries always grow by the whole excess.
void Spread(std::vector<int>& w, int first, int count, int excess) {
    const int sum = Sum(w, first, count);
    if (sum <= 0) {
        w[first] += excess;
        return;
    }
    int given = 0;
    for (int c = first; c < first + count; ++c) {
        const int part = MulDiv(excess, w[c], sum);
        w[c] += part;
        given += part;
    }
    w[first + count - 1] += excess - given;
}

// The cells in the order their spans are met: all single columns first.
std::vector<const TColumnCell*> BySpan(const std::vector<TColumnCell>& cells) {
    std::vector<const TColumnCell*> order;
    order.reserve(cells.size());
    for (const auto& c : cells)
        order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const TColumnCell* a, const TColumnCell* b) { return a->Span < b->Span; });
    return order;
}

void Finish(TColumnMeasures& m) {
    for (size_t c = 0; c < m.MinW.size(); ++c)
        m.MaxW[c] = std::max(m.MaxW[c], m.MinW[c]);
    m.TotalMin = std::accumulate(m.MinW.begin(), m.MinW.end(), 0);
    m.TotalMax = std::accumulate(m.MaxW.begin(), m.MaxW.end(), 0);
}

TColumnMeasures Empty(int numCols) {
    TColumnMeasures m;
    m.MinW.assign(numCols, 0);
    m.MaxW.assign(numCols, 0);
    m.Percents.assign(numCols, 0);
    return m;
}

// A cell spanning several columns, when neither it nor its columns have a
// percentage: the columns grow in proportion to what they hold.
void GrowInProportion(std::vector<int>& w, const TColumnCell& cell, int want) {
    const int sum = Sum(w, cell.Col, cell.Span);
    if (want <= sum) return;
    if (sum == 0) {
        for (int c = cell.Col; c < cell.Col + cell.Span; ++c)
            w[c] = want / cell.Span;
        w[cell.Col + cell.Span - 1] += want % cell.Span;
        return;
    }
    Spread(w, cell.Col, cell.Span, want - sum);
}

void SpanWithPercent(TColumnMeasures& m, const TColumnCell& cell) {
    const int first = cell.Col, last = cell.Col + cell.Span;
    const int sumMin = Sum(m.MinW, first, cell.Span), sumMax = Sum(m.MaxW, first, cell.Span);
    const int sumPct = Sum(m.Percents, first, cell.Span);
    // The spanned columns that had no percentage of their own.
    std::vector<int> freeCols;
    int freeMax = 0;
    for (int c = first; c < last; ++c)
        if (m.Percents[c] == 0) {
            freeCols.push_back(c);
            freeMax += m.MaxW[c];
        }
    const int k = static_cast<int>(freeCols.size());
    if (k > 0) {
        const int share = std::max(0, (cell.Percent - sumPct) / k);
        for (int c : freeCols)
            m.Percents[c] = share;
    } else if (cell.Percent > sumPct) {
        for (int c = first; c < last; ++c)
            m.Percents[c] = MulDiv(m.Percents[c], cell.Percent, sumPct);
    }
    const int P = std::max(sumPct, cell.Percent);
    const int minExcess = cell.Min - sumMin, maxExcess = cell.Max - sumMax;
    if (minExcess > 0 && k == 0) {
        for (int c = first; c < last; ++c)
            m.MinW[c] = std::max(m.MinW[c], MulDiv(cell.Min, m.Percents[c], P));
    } else if (minExcess > 0) {
        // Over the free columns by what they could hold, equal parts when
        // they hold nothing.
        int given = 0;
        for (int c : freeCols) {
            const int part = freeMax > 0 ? MulDiv(minExcess, m.MaxW[c], freeMax) : minExcess / k;
            m.MinW[c] += part;
            given += part;
        }
        m.MinW[freeCols.back()] += minExcess - given;
    }
    if (maxExcess >= 1 && k == 0) {
        for (int c = first; c < last; ++c)
            m.MaxW[c] = std::max(m.MaxW[c], MulDiv(cell.Max, m.Percents[c], P));
    } else if (maxExcess >= 1) {
        for (int c : freeCols)
            m.MaxW[c] += maxExcess / k;
    }
}

} // namespace

TColumnMeasures MeasurePixelColumns(int numCols, const std::vector<TColumnCell>& cells) {
    TColumnMeasures m = Empty(numCols);
    for (const TColumnCell* cell : BySpan(cells)) {
        int mn = cell->Min, mx = cell->Max;
        if (cell->PixelWidth > 0) {
            mn = std::max(mn, cell->PixelWidth + cell->Extra);
            mx = mn;
        }
        if (cell->Span == 1) {
            m.MinW[cell->Col] = std::max(m.MinW[cell->Col], mn);
            m.MaxW[cell->Col] = std::max(m.MaxW[cell->Col], mx);
            continue;
        }
        const int sumMin = Sum(m.MinW, cell->Col, cell->Span);
        if (mn > sumMin) Spread(m.MinW, cell->Col, cell->Span, mn - sumMin);
        const int sumMax = Sum(m.MaxW, cell->Col, cell->Span);
        if (mx > sumMax) Spread(m.MaxW, cell->Col, cell->Span, mx - sumMax);
    }
    Finish(m);
    return m;
}

TColumnMeasures MeasurePercentColumns(int numCols, const std::vector<TColumnCell>& cells,
                                      int tableWidth) {
    TColumnMeasures m = Empty(numCols);
    for (const TColumnCell* source : BySpan(cells)) {
        TColumnCell cell = *source;
        if (cell.Percent == 0 && cell.PixelWidth > 0 && tableWidth > 0)
            cell.Percent = std::min(1000, MulDivRound(cell.PixelWidth, 1000, tableWidth));
        if (cell.Span == 1) {
            m.MinW[cell.Col] = std::max(m.MinW[cell.Col], cell.Min);
            m.MaxW[cell.Col] = std::max(m.MaxW[cell.Col], cell.Max);
            m.Percents[cell.Col] = std::max(m.Percents[cell.Col], cell.Percent);
        } else if (cell.Percent == 0 && Sum(m.Percents, cell.Col, cell.Span) == 0) {
            GrowInProportion(m.MinW, cell, cell.Min);
            GrowInProportion(m.MaxW, cell, cell.Max);
        } else {
            SpanWithPercent(m, cell);
        }
    }
    Finish(m);
    return m;
}

namespace {

// Percentage columns whose share would drop below their minimum are fixed
// there; the excess is then taken from the others by their percentages.
void ShrinkPercentColumns(std::vector<int>& w, std::vector<bool>& counting,
                          const TColumnMeasures& m, int room) {
    const int n = static_cast<int>(w.size());
    auto pctSum = [&] {
        int s = 0;
        for (int c = 0; c < n; ++c)
            if (counting[c]) s += m.Percents[c];
        return s;
    };
    for (int round = 0; round < 4; ++round) {
        const int excess = std::accumulate(w.begin(), w.end(), 0) - room, sum = pctSum();
        if (excess <= 0 || sum == 0) return;
        bool fixedMore = false;
        for (int c = 0; c < n; ++c) {
            if (!counting[c] || w[c] - MulDiv(excess, m.Percents[c], sum) >= m.MinW[c]) continue;
            w[c] = m.MinW[c];
            counting[c] = false;
            fixedMore = true;
        }
        if (!fixedMore) break;
    }
    const int excess = std::accumulate(w.begin(), w.end(), 0) - room, sum = pctSum();
    if (excess <= 0 || sum == 0) return;
    for (int c = 0; c < n; ++c)
        if (counting[c]) w[c] -= std::min(MulDiv(excess, m.Percents[c], sum), w[c] - m.MinW[c]);
}

void GrowColumns(std::vector<int>& w, const TColumnMeasures& m, int room) {
    const int n = static_cast<int>(w.size());
    const int rest = room - std::accumulate(w.begin(), w.end(), 0);
    int freeCols = 0, slack = 0, pctSum = 0;
    for (int c = 0; c < n; ++c) {
        if (m.Percents[c] == 0) {
            ++freeCols;
            slack += m.MaxW[c] - m.MinW[c];
        }
        pctSum += m.Percents[c];
    }
    for (int c = 0; c < n; ++c) {
        if (freeCols == 0)
            w[c] += MulDiv(rest, m.Percents[c], pctSum);
        else if (m.Percents[c] != 0)
            continue;
        else if (slack > 0 && rest / 2 <= slack)
            w[c] += MulDiv(rest, m.MaxW[c] - m.MinW[c], slack);
        else
            w[c] += rest / freeCols;
    }
}

} // namespace

std::vector<int> DistributeColumns(const TColumnMeasures& m, int room) {
    const int n = static_cast<int>(m.MinW.size());
    std::vector<int> w = m.MinW;
    if (n == 0 || m.TotalMin >= room) return w;
    std::vector<bool> counting(n, false);
    for (int c = 0; c < n; ++c) {
        if (m.Percents[c] <= 0) continue;
        const int want = MulDivRound(room, m.Percents[c], 1000);
        if (want <= m.MinW[c]) continue;
        w[c] = want;
        counting[c] = true;
    }
    const int sum = std::accumulate(w.begin(), w.end(), 0);
    if (sum > room)
        ShrinkPercentColumns(w, counting, m, room);
    else if (sum < room)
        GrowColumns(w, m, room);
    // Rounding: the first column takes what is missing; an excess comes off
    // columns that are above their minimum.
    int diff = room - std::accumulate(w.begin(), w.end(), 0);
    if (diff > 0) w[0] += diff;
    for (int c = 0; c < n && diff < 0; ++c) {
        const int cut = std::min(-diff, w[c] - m.MinW[c]);
        w[c] -= cut;
        diff += cut;
    }
    return w;
}

void ShareExtra(std::vector<int>& heights, int first, int count, int extra) {
    if (count <= 0 || extra <= 0) return;
    for (int r = first; r < first + count; ++r)
        heights[r] += extra / count;
    heights[first + count - 1] += extra % count;
}

} // namespace lumo
