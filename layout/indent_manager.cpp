#include "layout/indent_manager.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace lumo {

namespace {

int Push(TFreeList<IndentRec>& list, int X, int Y, const void* id) {
    auto rec = std::make_unique<IndentRec>();
    rec->X = X;
    rec->YT = Y;
    rec->ID = id;
    list.Add(std::move(rec));
    return static_cast<int>(list.size()) - 1;
}

void Pop(TFreeList<IndentRec>& list, int index, int Y) {
    if (index >= 0 && index < static_cast<int>(list.size())) list[index]->YB = Y - 1;
}

int LargestFloatBottom(const TFreeList<IndentRec>& list, int none) {
    int bottom = none;
    for (const auto& r : list)
        if (r->Float) bottom = std::max(bottom, r->YB);
    return bottom;
}

// The smallest YB above Y of the float records, INT_MAX when none.
int NextBottom(const TFreeList<IndentRec>& list, int Y) {
    int next = INT_MAX;
    for (const auto& r : list)
        if (r->Float && r->YB > Y) next = std::min(next, r->YB);
    return next;
}

int AddFloat(TFreeList<IndentRec>& list, int X, int YT, int YB) {
    auto rec = std::make_unique<IndentRec>();
    rec->X = X;
    rec->YT = YT;
    rec->YB = YB;
    rec->Float = true;
    list.Add(std::move(rec));
    return static_cast<int>(list.size()) - 1;
}

void Release(TFreeList<IndentRec>& list, int index, int Y) {
    if (index < 0 || index >= static_cast<int>(list.size())) return;
    if (index + 1 == static_cast<int>(list.size()))
        list.pop_back();
    else
        list[index]->YB = Y - 1;
}

} // namespace

bool IndentManagerBasic::Active(const IndentRec& r, int Y) const {
    return r.YT <= Y && Y < r.YB && (!r.ID || r.ID == ActiveID);
}

void IndentManagerBasic::Clear() {
    L.clear();
    R.clear();
    ActiveID = nullptr;
}

void IndentManagerBasic::Reset(int lf, int wd) {
    LeftEdgeX = lf;
    Width = wd;
    ActiveID = nullptr;
}

int IndentManagerBasic::PushLeftIndent(int X, int Y) {
    return Push(L, X, Y, ActiveID);
}
int IndentManagerBasic::PushRightIndent(int X, int Y) {
    return Push(R, X, Y, ActiveID);
}
void IndentManagerBasic::PopLeftIndent(int index, int Y) {
    Pop(L, index, Y);
}
void IndentManagerBasic::PopRightIndent(int index, int Y) {
    Pop(R, index, Y);
}

namespace {

enum class TExtreme { Smallest, Largest };

// The largest (or smallest) X of the records active at Y that keep accepts.
template <class Keep>
std::optional<int> ExtremeX(const IndentManagerBasic& im, const TFreeList<IndentRec>& list, int Y,
                            TExtreme extreme, Keep keep) {
    const bool largest = extreme == TExtreme::Largest;
    std::optional<int> x;
    for (const auto& r : list)
        if (im.Active(*r, Y) && keep(*r) && (!x || (largest ? r->X > *x : r->X < *x))) x = r->X;
    return x;
}

bool Any(const IndentRec&) {
    return true;
}

} // namespace

int IndentManagerBasic::LeftEdgeAt(int Y) const {
    return LeftEdgeX + ExtremeX(*this, L, Y, TExtreme::Largest, Any).value_or(0);
}

int IndentManagerBasic::RightEdgeAt(int Y) const {
    auto x = ExtremeX(*this, R, Y, TExtreme::Smallest, Any);
    return x ? LeftEdgeX + *x : Width;
}

FloatPlace IndentManagerBasic::PlaceLeftFloat(int Y) const {
    auto isFloat = [](const IndentRec& r) { return r.Float; };
    int limit = ExtremeX(*this, R, Y, TExtreme::Smallest, isFloat).value_or(99999);
    auto x = ExtremeX(*this, L, Y, TExtreme::Largest,
                      [limit](const IndentRec& r) { return r.X < limit; });
    return {LeftEdgeX + x.value_or(0), limit};
}

FloatPlace IndentManagerBasic::PlaceRightFloat(int Y) const {
    auto isFloat = [](const IndentRec& r) { return r.Float; };
    int limit = ExtremeX(*this, L, Y, TExtreme::Largest, isFloat).value_or(0);
    auto x = ExtremeX(*this, R, Y, TExtreme::Smallest,
                      [limit](const IndentRec& r) { return r.X > limit; });
    return {x ? LeftEdgeX + *x : Width, limit};
}

int IndentManagerBasic::AddLeftFloat(int X, int YT, int YB) {
    return AddFloat(L, X, YT, YB);
}
int IndentManagerBasic::AddRightFloat(int X, int YT, int YB) {
    return AddFloat(R, X, YT, YB);
}
void IndentManagerBasic::ReleaseLeftIndent(int index, int Y) {
    Release(L, index, Y);
}
void IndentManagerBasic::ReleaseRightIndent(int index, int Y) {
    Release(R, index, Y);
}

int IndentManagerBasic::FloatsBottom() const {
    return std::max(LargestFloatBottom(L, 0), LargestFloatBottom(R, 0));
}

void IndentManagerBasic::ClearY(int& CL, int& CR) const {
    CL = 1 + LargestFloatBottom(L, -1);
    CR = 1 + LargestFloatBottom(R, -1);
}

int IndentManagerBasic::NextWiderY(int Y) const {
    int next = std::min(NextBottom(L, Y), NextBottom(R, Y));
    return next == INT_MAX ? Y : next;
}

} // namespace lumo
