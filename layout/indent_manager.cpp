#include "layout/indent_manager.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace lumo {

namespace {

int Push(std::vector<TIndent>& list, int X, int Y, const void* id) {
    list.push_back({.X = X, .YT = Y, .ID = id});
    return static_cast<int>(list.size()) - 1;
}

void Pop(std::vector<TIndent>& list, int index, int Y) {
    if (index >= 0 && index < static_cast<int>(list.size())) list[index].YB = Y - 1;
}

int LargestFloatBottom(const std::vector<TIndent>& list, int none, size_t from = 0) {
    int bottom = none;
    for (size_t i = from; i < list.size(); ++i)
        if (list[i].Float) bottom = std::max(bottom, list[i].YB);
    return bottom;
}

// The smallest YB above Y of the float records, INT_MAX when none.
int NextBottom(const std::vector<TIndent>& list, int Y) {
    int next = INT_MAX;
    for (const auto& r : list)
        if (r.Float && r.YB > Y) next = std::min(next, r.YB);
    return next;
}

int AddFloat(std::vector<TIndent>& list, int X, int YT, int YB) {
    list.push_back({.X = X, .YT = YT, .YB = YB, .Float = true});
    return static_cast<int>(list.size()) - 1;
}

void Release(std::vector<TIndent>& list, int index, int Y) {
    if (index < 0 || index >= static_cast<int>(list.size())) return;
    if (index + 1 == static_cast<int>(list.size()))
        list.pop_back();
    else
        list[index].YB = Y - 1;
}

} // namespace

bool TIndentManager::Active(const TIndent& r, int Y) const {
    return r.YT <= Y && Y < r.YB && (!r.ID || r.ID == ActiveID);
}

void TIndentManager::Clear() {
    L.clear();
    R.clear();
    ActiveID = nullptr;
}

void TIndentManager::Reset(int lf, int wd) {
    LeftEdgeX = lf;
    Width = wd;
    ActiveID = nullptr;
}

int TIndentManager::PushLeftIndent(int X, int Y) {
    return Push(L, X, Y, ActiveID);
}
int TIndentManager::PushRightIndent(int X, int Y) {
    return Push(R, X, Y, ActiveID);
}
void TIndentManager::PopLeftIndent(int index, int Y) {
    Pop(L, index, Y);
}
void TIndentManager::PopRightIndent(int index, int Y) {
    Pop(R, index, Y);
}

namespace {

enum class TExtreme { Smallest, Largest };

// The largest (or smallest) X of the records active at Y that keep accepts.
template <class Keep>
std::optional<int> ExtremeX(const TIndentManager& im, const std::vector<TIndent>& list, int Y,
                            TExtreme extreme, Keep keep) {
    const bool largest = extreme == TExtreme::Largest;
    std::optional<int> x;
    for (const auto& r : list)
        if (im.Active(r, Y) && keep(r) && (!x || (largest ? r.X > *x : r.X < *x))) x = r.X;
    return x;
}

bool Any(const TIndent&) {
    return true;
}

} // namespace

int TIndentManager::LeftEdgeAt(int Y) const {
    return LeftEdgeX + ExtremeX(*this, L, Y, TExtreme::Largest, Any).value_or(0);
}

int TIndentManager::RightEdgeAt(int Y) const {
    auto x = ExtremeX(*this, R, Y, TExtreme::Smallest, Any);
    return x ? LeftEdgeX + *x : Width;
}

TFloatPlace TIndentManager::PlaceLeftFloat(int Y) const {
    auto isFloat = [](const TIndent& r) { return r.Float; };
    int limit = ExtremeX(*this, R, Y, TExtreme::Smallest, isFloat).value_or(99999);
    auto x =
        ExtremeX(*this, L, Y, TExtreme::Largest, [limit](const TIndent& r) { return r.X < limit; });
    return {LeftEdgeX + x.value_or(0), limit};
}

TFloatPlace TIndentManager::PlaceRightFloat(int Y) const {
    auto isFloat = [](const TIndent& r) { return r.Float; };
    int limit = ExtremeX(*this, L, Y, TExtreme::Largest, isFloat).value_or(0);
    auto x = ExtremeX(*this, R, Y, TExtreme::Smallest,
                      [limit](const TIndent& r) { return r.X > limit; });
    return {x ? LeftEdgeX + *x : Width, limit};
}

int TIndentManager::AddLeftFloat(int X, int YT, int YB) {
    return AddFloat(L, X, YT, YB);
}
int TIndentManager::AddRightFloat(int X, int YT, int YB) {
    return AddFloat(R, X, YT, YB);
}
void TIndentManager::ReleaseLeftIndent(int index, int Y) {
    Release(L, index, Y);
}
void TIndentManager::ReleaseRightIndent(int index, int Y) {
    Release(R, index, Y);
}

int TIndentManager::FloatsBottom() const {
    return std::max(LargestFloatBottom(L, 0), LargestFloatBottom(R, 0));
}

int TIndentManager::FloatsBottomSince(const TMark& mark) const {
    return std::max(LargestFloatBottom(L, 0, mark.Left), LargestFloatBottom(R, 0, mark.Right));
}

void TIndentManager::ClearY(int& CL, int& CR) const {
    CL = 1 + LargestFloatBottom(L, -1);
    CR = 1 + LargestFloatBottom(R, -1);
}

int TIndentManager::NextWiderY(int Y) const {
    int next = std::min(NextBottom(L, Y), NextBottom(R, Y));
    return next == INT_MAX ? Y : next;
}

int TIndentManager::RoomYFrom(int top, int left, int right, int width) const {
    int y = top;
    for (int step = 0; step < MaxFloatDrops; ++step) {
        if (std::min(right, RightEdgeAt(y)) - std::max(left, LeftEdgeAt(y)) >= width) break;
        const int next = NextWiderY(y);
        if (next <= y) break; // no float is beside it any more
        y = next;
    }
    return y;
}

} // namespace lumo
