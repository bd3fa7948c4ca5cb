// The viewer's links: following them, anchors, the history of documents,
// the visited links and the refresh request of a page.
#include "layout/anchor_list.h"
#include "layout/font_run.h"
#include "layout/section_list.h"
#include "platform/stream.h"
#include "platform/text.h"
#include "viewer/html_viewer.h"
#include "viewer/viewer_rules.h"

#include <algorithm>

namespace lumo {

namespace {

// Sets a flag for the life of the object, however the scope ends.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

} // namespace

std::string THTMLViewer::ExpandName(std::string_view name) {
    if (OnExpandName) return OnExpandName(this, std::string(name));
    return ExpandLocalName(name, serverRoot_, baseDir_, documentFile_);
}

void THTMLViewer::FollowLink() {
    if (processing_) return;
    const std::string url = hotURL_; // the handler may move the mouse on
    bool handled = false;
    if (OnHotSpotClick) OnHotSpotClick(this, url, handled);
    if (handled) return;
    FlagScope following(followingLink_);
    if (url.starts_with('#')) {
        const THistoryEntry previous = CurrentEntry();
        if (GoToAnchor(url)) BumpHistory(previous);
        return;
    }
    const size_t hash = url.find('#');
    const std::string file = ExpandName(url.substr(0, hash));
    if (file.empty() || IsOtherScheme(file)) return; // not a local file
    const std::string anchor = hash == std::string::npos ? std::string() : url.substr(hash + 1);
    // Taken before the new page changes the folder that relative links mean.
    const std::string visitedKey = LinkKey(url);
    switch (LinkKindOf(file)) {
    case TLinkKind::Html:
        if (file == documentFile_ && docKind_ == ckHTML) {
            const THistoryEntry previous = CurrentEntry();
            bool positioned = true;
            if (anchor.empty())
                ScrollTo(0);
            else
                positioned = GoToAnchor(anchor);
            if (positioned) BumpHistory(previous);
        } else {
            OpenFile(anchor.empty() ? file : file + "#" + anchor);
        }
        AddVisited(visitedKey);
        break;
    case TLinkKind::Image: OpenImageFile(file); break;
    case TLinkKind::Other: break;
    }
}

bool THTMLViewer::GoToAnchor(std::string_view name) {
    if (name.starts_with('#')) name.remove_prefix(1);
    if (name.empty()) return false;
    TAnchorTarget* object = sectionList_->IDs.Find(name);
    if (!object) return false;
    ScrollTo(object->YPosition());
    ScrollHorzTo(0);
    AddVisited(documentFile_ + "#" + std::string(name));
    return true;
}

// --- History ---------------------------------------------------------------

THistoryEntry THTMLViewer::CurrentEntry() {
    return {documentFile_, pageTitle_, ScrollPosition(), docKind_, docSource_};
}

void THTMLViewer::BumpHistory(const THistoryEntry& previous) {
    if (history_.Bump(previous, CurrentEntry(), historyMaxCount_) && OnHistoryChange)
        OnHistoryChange(this);
}

void THTMLViewer::SetHistoryIndex(int index) {
    if (Busy() || index < 0 || index >= history_.Count() || index == history_.BackIndex) return;
    history_.SetPosition(history_.BackIndex, {ScrollPosition(), docKind_, docSource_});
    const THistoryEntry entry = history_.Entry(index);
    if (entry.File != documentFile_ || entry.Kind != docKind_) {
        if (entry.Source == TDocumentSource::File)
            LoadFile(entry.File, entry.Kind);
        else if (!LoadStreamEntry(entry))
            return;
    }
    history_.BackIndex = index;
    SetScrollPosition(entry.Pos);
    if (OnHistoryChange) OnHistoryChange(this);
}

bool THTMLViewer::LoadStreamEntry(const THistoryEntry& entry) {
    if (!OnGetPostRequest) return false;
    std::string newURL;
    TContentKind kind = entry.Kind;
    TStream* stream = nullptr;
    OnGetPostRequest(this, entry.File, newURL, kind, stream);
    if (!stream) return false;
    LoadStream(newURL.empty() ? entry.File : newURL, *stream, kind);
    return true;
}

bool THTMLViewer::RequestStyleSheet(const std::string& address, std::string& text) {
    static constexpr int64_t MaxStyleSheet = 1 << 20;
    std::string newURL;
    TContentKind kind = ckText;
    TStream* stream = nullptr;
    OnGetPostRequest(this, address, newURL, kind, stream);
    if (!stream) return false;
    text.resize(static_cast<size_t>(std::clamp<int64_t>(stream->Size(), 0, MaxStyleSheet)));
    stream->Seek(0);
    text.resize(stream->Read(text.data(), text.size()));
    return true;
}

// --- Visited links -----------------------------------------------------------

std::string THTMLViewer::LinkKey(const std::string& url) {
    if (url.starts_with('#')) return documentFile_ + url;
    const size_t hash = url.find('#');
    std::string key = ExpandName(url.substr(0, hash));
    if (hash != std::string::npos) key += url.substr(hash);
    return key;
}

void THTMLViewer::MarkLinks(const std::function<bool(const std::string& url)>& visited) {
    bool changed = false;
    for (TFontRun* run : sectionList_->LinkList) {
        const bool mark = visited(run->Link().Url);
        if (mark == run->IsVisited) continue;
        run->MarkVisited(mark);
        changed = true;
    }
    if (changed) InvalidatePanel();
}

void THTMLViewer::MarkVisitedLinks() {
    if (visited_.Items().empty()) return;
    for (TFontRun* run : sectionList_->LinkList) {
        const bool visited = visited_.Contains(LinkKey(run->Link().Url));
        if (visited != run->IsVisited) run->MarkVisited(visited);
    }
}

void THTMLViewer::AddVisited(const std::string& address) {
    if (visited_.Add(address, visitedMaxCount_) != TVisitedLinks::TAddResult::Added) return;
    bool marked = false;
    for (TFontRun* run : sectionList_->LinkList)
        if (!run->IsVisited && SameText(LinkKey(run->Link().Url), address)) {
            run->MarkVisited(true);
            marked = true;
        }
    if (marked) InvalidatePanel();
}

void THTMLViewer::SetVisitedMaxCount(int count) {
    visitedMaxCount_ = std::max(0, count);
    visited_.Cut(visitedMaxCount_);
    if (visitedMaxCount_ > 0) return;
    for (TFontRun* run : sectionList_->LinkList)
        if (run->IsVisited) run->MarkVisited(false);
    InvalidatePanel();
}

// --- Meta ------------------------------------------------------------------------

void THTMLViewer::HandleMeta(const std::string& httpEq, const std::string& name,
                             const std::string& content) {
    if (OnMeta) OnMeta(this, httpEq, name, content);
    if (!OnMetaRefresh || !SameText(Trim(httpEq), "refresh")) return;
    ParseMetaRefresh(content, refreshDelay_, refreshURL_);
    refreshAsked_ = true;
}

} // namespace lumo
