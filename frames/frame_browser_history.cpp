// The frame browser's history: a list of pages (frame sets, newest first)
// and one list per frame for navigation inside the frame, tied together by
// a sequence number, so Back and Forward undo and redo in the order things
// happened. A frame set or nested set is freed once no entry refers to it.
#include "frames/frame.h"
#include "frames/frame_browser.h"
#include "frames/page_frame_set.h"
#include "platform/text.h"

#include <algorithm>

namespace lumo {

int64_t NextHistorySequence() {
    static int64_t sequence = 0;
    return sequence++;
}

void TFrameBrowser::FireHistoryChange() {
    if (OnHistoryChange) OnHistoryChange(this);
}

// --- Pages ----------------------------------------------------------------------------------

void TFrameBrowser::AddPageToHistory(TPageFrameSet* oldSet, const TScrollPosition& oldPosition) {
    if (historyMaxCount_ < 1 || shown_->CurrentAddress.empty()) {
        FreeSetIfUnused(oldSet);
        return;
    }
    if (pages_.empty()) {
        FreeSetIfUnused(oldSet);
    } else {
        pages_[static_cast<size_t>(historyPos_)] = {oldSet->CurrentAddress, oldSet->Title,
                                                    oldPosition, oldSet};
        DropForwardFrameHistory(*oldSet);
    }
    RecordCurrentPage();
}

void TFrameBrowser::BumpSamePage(const TScrollPosition& oldPosition) {
    if (historyMaxCount_ < 1 || shown_->CurrentAddress.empty()) return;
    if (!pages_.empty())
        pages_[static_cast<size_t>(historyPos_)] = {shown_->CurrentAddress, shown_->Title,
                                                    oldPosition, shown_};
    RecordCurrentPage();
}

void TFrameBrowser::BumpPage(const std::string& oldFile, const QString& oldTitle,
                             const TScrollPosition& oldPosition) {
    if (historyMaxCount_ < 1 || oldFile.empty()) return;
    if (!pages_.empty())
        pages_[static_cast<size_t>(historyPos_)] = {oldFile, oldTitle, oldPosition, shown_};
    RecordCurrentPage();
}

void TFrameBrowser::RecordCurrentPage() {
    DropForwardPages();
    pages_.insert(pages_.begin(), {shown_->CurrentAddress, shown_->Title, {}, shown_});
    while (pages_.size() > static_cast<size_t>(historyMaxCount_))
        DropPage(static_cast<size_t>(historyMaxCount_));
    FireHistoryChange();
}

void TFrameBrowser::DropForwardPages() {
    while (historyPos_ > 0 && !pages_.empty()) {
        DropPage(0);
        --historyPos_;
    }
    historyPos_ = 0;
}

void TFrameBrowser::DropPage(size_t index) {
    if (index >= pages_.size()) return;
    TPageFrameSet* set = pages_[index].Set;
    pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(index));
    FreeSetIfUnused(set);
}

void TFrameBrowser::FreeSetIfUnused(TPageFrameSet* set) {
    if (!set || set == shown_) return;
    const bool used = std::any_of(pages_.begin(), pages_.end(),
                                  [set](const TPageHistoryEntry& e) { return e.Set == set; });
    if (!used) set->Retire();
}

void TFrameBrowser::SetHistoryPos(int index) {
    if (index == historyPos_ || index < 0 || index >= static_cast<int>(pages_.size()) ||
        Processing())
        return;
    TProcessingScope processing(*this); // a second click must not start inside this one
    TPageHistoryEntry& current = pages_[static_cast<size_t>(historyPos_)];
    current.Title = shown_->Title;
    if (THTMLViewer* viewer = shown_->SingleViewer()) current.Position = viewer->ScrollPosition();
    const TPageHistoryEntry entry = pages_[static_cast<size_t>(index)];
    if (entry.Set == shown_) {
        // The set stayed, but a page loaded into its one frame may differ.
        std::vector<TFrame*> frames = shown_->AllFrames();
        if (!SameText(entry.Address, shown_->CurrentAddress) && frames.size() == 1) {
            frames.front()->EnsureViewer();
            frames.front()->LoadFrameURL(entry.Address, "", false, true, TFrame::TBump::No, "");
        }
        if (THTMLViewer* viewer = shown_->SingleViewer()) viewer->SetScrollPosition(entry.Position);
    } else {
        ShowHistoryPage(entry);
    }
    historyPos_ = index;
    FireHistoryChange();
    RefreshVisitedLinks();
}

void TFrameBrowser::ShowHistoryPage(const TPageHistoryEntry& entry) {
    TPageFrameSet* set = entry.Set;
    TPageFrameSet* old = shown_;
    set->ResetSize();
    set->setGeometry(rect());
    set->lower();
    set->show();
    set->Arrange();
    // A single-frame set shows the page of this entry, which a later page
    // loaded into the same frame may have replaced.
    std::vector<TFrame*> frames = set->AllFrames();
    const bool single = !set->IsFramePage && frames.size() == 1;
    if (single && !SameText(frames.front()->Source, entry.Address)) {
        frames.front()->Source = entry.Address;
        set->CurrentAddress = entry.Address;
        set->Title = entry.Title;
    }
    try {
        set->ReloadContent(single ? std::optional<TScrollPosition>(entry.Position) : std::nullopt);
    } catch (...) {
        set->UnloadContent();
        set->hide();
        old->raise();
        throw;
    }
    if (single && frames.front()->Viewer) set->Title = frames.front()->Viewer->PageTitle();
    old->UnloadContent();
    SwitchTo(set);
}

void TFrameBrowser::ClearHistory() {
    const bool any = !pages_.empty();
    std::vector<TPageFrameSet*> sets;
    for (const TPageHistoryEntry& e : pages_)
        sets.push_back(e.Set);
    pages_.clear();
    historyPos_ = 0;
    std::sort(sets.begin(), sets.end());
    sets.erase(std::unique(sets.begin(), sets.end()), sets.end());
    for (TPageFrameSet* set : sets)
        FreeSetIfUnused(set);
    for (TFrame* frame : shown_->AllFrames()) {
        std::vector<TFrameTrailEntry> trail = std::move(frame->FrameTrail);
        frame->FrameTrail.clear();
        frame->FrameTrailPos = 0;
        for (const TFrameTrailEntry& e : trail)
            if (e.Set && e.Set != frame->SubFrameSet) e.Set->Retire();
    }
    if (any) FireHistoryChange();
}

void TFrameBrowser::SetHistoryMaxCount(int count) {
    if (count < 0 || count == historyMaxCount_) return;
    ClearHistory();
    historyMaxCount_ = count;
    ForEachViewer([count](THTMLViewer& v) {
        v.SetHistoryMaxCount(0);
        v.SetHistoryMaxCount(count);
    });
}

// --- Frames ------------------------------------------------------------------------------

void TFrameBrowser::StartFrameHistory(TFrame& frame, const std::string& address,
                                      const TScrollPosition& position) {
    frame.FrameTrailPos = 0;
    frame.FrameTrail.insert(frame.FrameTrail.begin(),
                            {address, frame.SubFrameSet, position, NextHistorySequence()});
    DropOldFrameHistory(frame);
    FireHistoryChange();
}

void TFrameBrowser::DropOldFrameHistory(TFrame& frame) {
    // A frame keeps as many documents as the window keeps pages, and always
    // the one it shows.
    const size_t keep = static_cast<size_t>(std::max(historyMaxCount_, 1));
    std::vector<TNestedFrameSet*> dropped;
    for (; frame.FrameTrail.size() > keep; frame.FrameTrail.pop_back())
        if (TNestedFrameSet* set = frame.FrameTrail.back().Set) dropped.push_back(set);
    for (TNestedFrameSet* set : dropped)
        ReleaseNestedSet(set);
}

void TFrameBrowser::BumpFrameHistory(TFrame& frame, const std::string& address,
                                     const TScrollPosition& newPosition,
                                     const TScrollPosition& oldPosition) {
    if (!frame.FrameTrail.empty())
        frame.FrameTrail[static_cast<size_t>(frame.FrameTrailPos)].Pos = oldPosition;
    DropForwardFrameHistory(*frame.MasterSet);
    StartFrameHistory(frame, address, newPosition);
}

void TFrameBrowser::ReplaceFrameHistory(TFrame& frame, const std::string& address,
                                        const TScrollPosition& position) {
    if (frame.FrameTrail.empty()) {
        StartFrameHistory(frame, address, position);
        return;
    }
    TFrameTrailEntry& entry = frame.FrameTrail[static_cast<size_t>(frame.FrameTrailPos)];
    entry.Address = address;
    entry.Set = frame.SubFrameSet;
    entry.Pos = position;
    FireHistoryChange();
}

bool TFrameBrowser::NestedSetInUse(const TNestedFrameSet* set, TPageFrameSet& master) {
    for (TFrame* frame : master.AllFrames()) {
        if (frame->SubFrameSet == set) return true;
        for (const TFrameTrailEntry& e : frame->FrameTrail)
            if (e.Set == set) return true;
    }
    return false;
}

void TFrameBrowser::ReleaseNestedSet(TNestedFrameSet* set) {
    if (set && !NestedSetInUse(set, *set->MasterSet)) set->Retire();
}

void TFrameBrowser::DropForwardFrameHistory(TPageFrameSet& master) {
    std::vector<TNestedFrameSet*> dropped;
    for (TFrame* frame : master.AllFrames()) {
        const auto forward = static_cast<std::ptrdiff_t>(
            std::clamp(frame->FrameTrailPos, 0, static_cast<int>(frame->FrameTrail.size())));
        for (auto e = frame->FrameTrail.begin(); e != frame->FrameTrail.begin() + forward; ++e)
            if (e->Set) dropped.push_back(e->Set);
        frame->FrameTrail.erase(frame->FrameTrail.begin(), frame->FrameTrail.begin() + forward);
        frame->FrameTrailPos = 0;
    }
    for (TNestedFrameSet* set : dropped)
        ReleaseNestedSet(set);
}

void TFrameBrowser::GoToFrameHistory(TFrame& frame, int index) {
    if (index == frame.FrameTrailPos || index < 0 ||
        index >= static_cast<int>(frame.FrameTrail.size()))
        return;
    TProcessingScope processing(*this);
    frame.StopRefresh();
    TNestedFrameSet* shownSet = frame.SubFrameSet;
    if (shownSet) {
        shownSet->UnloadContent();
        shownSet->hide();
    } else if (frame.Viewer) {
        frame.FrameTrail[static_cast<size_t>(frame.FrameTrailPos)].Pos =
            frame.Viewer->ScrollPosition();
    }
    const TFrameTrailEntry entry = frame.FrameTrail[static_cast<size_t>(index)];
    if (!entry.Set) {
        frame.SubFrameSet = nullptr;
        const bool fresh = frame.Viewer == nullptr;
        frame.EnsureViewer();
        if (fresh) frame.Source.clear(); // a new viewer has no document yet
        frame.LoadFrameURL(entry.Address, "", false, true, TFrame::TBump::No, "");
        if (frame.Viewer) frame.Viewer->SetScrollPosition(entry.Pos);
    } else {
        frame.ShowNestedSet(entry.Set);
    }
    frame.Source = entry.Address;
    frame.FrameTrailPos = index;
    FireHistoryChange();
    RefreshVisitedLinks();
}

// --- Back and Forward -------------------------------------------------------------------

void TFrameBrowser::StepBack() {
    if (Processing()) return;
    TFrame* latest = nullptr;
    for (TFrame* frame : shown_->AllFrames()) {
        const int count = static_cast<int>(frame->FrameTrail.size());
        if (count - 2 < frame->FrameTrailPos) continue; // no older entry
        const int64_t seq = frame->FrameTrail[static_cast<size_t>(frame->FrameTrailPos)].Seq;
        if (!latest || seq > latest->FrameTrail[static_cast<size_t>(latest->FrameTrailPos)].Seq)
            latest = frame;
    }
    if (latest)
        GoToFrameHistory(*latest, latest->FrameTrailPos + 1);
    else
        SetHistoryPos(historyPos_ + 1);
    if (OnSoundRequest) OnSoundRequest(this, "", 1, true);
}

void TFrameBrowser::StepForward() {
    if (Processing()) return;
    TFrame* earliest = nullptr;
    int64_t earliestSeq = 0;
    for (TFrame* frame : shown_->AllFrames()) {
        if (frame->FrameTrailPos < 1) continue;
        const int64_t seq = frame->FrameTrail[static_cast<size_t>(frame->FrameTrailPos - 1)].Seq;
        if (!earliest || seq < earliestSeq) {
            earliest = frame;
            earliestSeq = seq;
        }
    }
    if (earliest)
        GoToFrameHistory(*earliest, earliest->FrameTrailPos - 1);
    else
        SetHistoryPos(historyPos_ - 1);
    if (OnSoundRequest) OnSoundRequest(this, "", 1, true);
}

bool TFrameBrowser::BackButtonEnabled() {
    if (static_cast<int>(pages_.size()) - 2 >= historyPos_) return true;
    for (TFrame* frame : shown_->AllFrames())
        if (static_cast<int>(frame->FrameTrail.size()) - 2 >= frame->FrameTrailPos) return true;
    return false;
}

bool TFrameBrowser::FwdButtonEnabled() {
    if (historyPos_ >= 1) return true;
    for (TFrame* frame : shown_->AllFrames())
        if (frame->FrameTrailPos >= 1) return true;
    return false;
}

} // namespace lumo
