// The viewer's own history of documents with their scroll positions, and its
// list of visited link addresses. Both are plain lists; the viewer decides
// when to add to them.
#pragma once

#include "layout/scroll_position.h"
#include "net/content_kind.h"

#include <QString>

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace lumo {

// Where a document came from: a local file the viewer reads again by name,
// or a stream its host handed over, which the host is asked for again.
enum class TDocumentSource { File, Stream };

struct THistoryPosition {
    TScrollPosition Pos;
    TContentKind Kind = ckHTML;
    TDocumentSource Source = TDocumentSource::File;
};

struct THistoryEntry {
    std::string File;
    QString Title;
    TScrollPosition Pos;
    TContentKind Kind = ckHTML;
    TDocumentSource Source = TDocumentSource::File;
};

// Entry 0 is the newest; BackIndex is the entry shown. The entries before
// BackIndex are the forward part.
class TViewerHistory {
public:
    std::vector<std::string> BackFiles;
    std::vector<QString> BackTitles;
    std::vector<THistoryPosition> BackPositions;
    int BackIndex = 0;

    int Count() const { return static_cast<int>(BackFiles.size()); }
    THistoryEntry Entry(int index) const;
    // Records the move from previous to current: the shown entry takes the
    // previous document's last state, the forward part goes, and current
    // becomes entry 0. Nothing happens without room (maxCount < 1), without
    // a current file, or when nothing changed. True when the lists changed.
    bool Bump(const THistoryEntry& previous, const THistoryEntry& current, int maxCount);
    // Keeps the position and kind of the shown entry up to date.
    void SetPosition(int index, const THistoryPosition& position);
    void Clear();
};

// Addresses, most recent first, compared without regard to case. Look-ups
// go through a set of the folded addresses, so marking the links of many
// pages against thousands of visited addresses stays linear in the links.
class TVisitedLinks {
public:
    enum class TAddResult { Unchanged, Moved, Added };

    // A new address goes to the front; one found elsewhere moves there; the
    // list is then cut to maxCount.
    TAddResult Add(std::string_view address, int maxCount);
    bool Contains(std::string_view address) const;
    void Cut(int maxCount);
    void Clear();
    const std::vector<std::string>& Items() const { return items_; }

private:
    std::vector<std::string> items_;
    std::unordered_set<std::string> folded_;
};

} // namespace lumo
