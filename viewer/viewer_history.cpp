#include "viewer/viewer_history.h"

#include "platform/text.h"

#include <algorithm>

namespace lumo {

THistoryEntry TViewerHistory::Entry(int index) const {
    const auto i = static_cast<size_t>(index);
    return {BackFiles[i], BackTitles[i], BackPositions[i].Pos, BackPositions[i].Kind,
            BackPositions[i].Source};
}

bool TViewerHistory::Bump(const THistoryEntry& previous, const THistoryEntry& current,
                          int maxCount) {
    if (maxCount < 1 || current.File.empty()) return false;
    if (previous.File == current.File && previous.Kind == current.Kind &&
        previous.Pos == current.Pos && previous.Source == current.Source)
        return false;
    if (!BackFiles.empty()) {
        const auto shown = static_cast<size_t>(std::clamp(BackIndex, 0, Count() - 1));
        if (!previous.File.empty()) {
            BackFiles[shown] = previous.File;
            BackTitles[shown] = previous.Title;
            BackPositions[shown] = {previous.Pos, previous.Kind, previous.Source};
        }
        const auto forward = static_cast<std::ptrdiff_t>(shown);
        BackFiles.erase(BackFiles.begin(), BackFiles.begin() + forward);
        BackTitles.erase(BackTitles.begin(), BackTitles.begin() + forward);
        BackPositions.erase(BackPositions.begin(), BackPositions.begin() + forward);
    }
    BackFiles.insert(BackFiles.begin(), current.File);
    BackTitles.insert(BackTitles.begin(), current.Title);
    BackPositions.insert(BackPositions.begin(), {current.Pos, current.Kind, current.Source});
    BackIndex = 0;
    const auto keep = static_cast<size_t>(maxCount);
    if (BackFiles.size() > keep) {
        BackFiles.resize(keep);
        BackTitles.resize(keep);
        BackPositions.resize(keep);
    }
    return true;
}

void TViewerHistory::SetPosition(int index, const THistoryPosition& position) {
    if (index >= 0 && index < Count()) BackPositions[static_cast<size_t>(index)] = position;
}

void TViewerHistory::Clear() {
    BackFiles.clear();
    BackTitles.clear();
    BackPositions.clear();
    BackIndex = 0;
}

TVisitedLinks::TAddResult TVisitedLinks::Add(std::string_view address, int maxCount) {
    if (maxCount <= 0) return TAddResult::Unchanged;
    if (!items_.empty() && SameText(items_.front(), address)) return TAddResult::Unchanged;
    TAddResult result = TAddResult::Added;
    if (Contains(address)) {
        auto found = std::find_if(items_.begin(), items_.end(),
                                  [&](const std::string& item) { return SameText(item, address); });
        std::rotate(items_.begin(), found, found + 1);
        result = TAddResult::Moved;
    } else {
        items_.insert(items_.begin(), std::string(address));
        folded_.insert(LowerCase(address));
    }
    Cut(maxCount);
    return result;
}

bool TVisitedLinks::Contains(std::string_view address) const {
    return folded_.contains(LowerCase(address));
}

void TVisitedLinks::Cut(int maxCount) {
    const auto keep = static_cast<size_t>(std::max(0, maxCount));
    while (items_.size() > keep) {
        folded_.erase(LowerCase(items_.back()));
        items_.pop_back();
    }
}

void TVisitedLinks::Clear() {
    items_.clear();
    folded_.clear();
}

} // namespace lumo
