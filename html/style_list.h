// The style rules of one document: the built-in default sheet, then the rules
// of its STYLE blocks and linked sheets. Simple selectors (p, .note, a:hover,
// p.note, #top, td#x:link) are keys of their own; a descendant selector such
// as "ul li" is kept under the key "li 1<sequence>ul": its last part, a
// space, the number of ancestor parts, a sequence number, then the ancestor
// parts from the nearest outward.
#pragma once

#include "html/properties.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumo {

// One simple selector split at ".", "#" and ":".
struct TSelectorPart {
    std::string Tag, Class, ID, Pseudo;
};
TSelectorPart SplitSelectorPart(std::string_view part);

// A descendant rule: Parts[0] is the element, the rest its ancestors from the
// nearest outward.
struct TContextRule {
    std::vector<TSelectorPart> Parts;
    int Ancestors = 0;
    long long Sequence = 0;
    const TProperties* Props = nullptr;
};

// The look a document starts from before its own style rules: the viewer's
// defaults.
struct TDefaultLook {
    std::string FontName = "Times New Roman";
    std::string PreFontName = "Courier New";
    int FontSize = 12; // points
    uint8_t Charset = 0;
    TColor FontColor = 0;
    TColor HotSpotColor = 0xFF0000; // links
    TColor VisitedColor = 0x800080;
    TColor OverColor = 0xFF0000; // a link under the mouse
    bool HoverLinks = false;     // links take OverColor under the mouse
    bool UnderlineLinks = true;
    int MarginWidth = 10; // pixels left and right of the body
    int MarginHeight = 5; // pixels above and below it
};

class TStyleList {
public:
    TStyleList();
    ~TStyleList();
    TStyleList(const TStyleList&) = delete;
    TStyleList& operator=(const TStyleList&) = delete;

    // Clears the list and builds the default sheet from look.
    void Initialize(const TDefaultLook& look);
    // Stores one declaration in the rule of that key (created when missing).
    // Unknown property names are ignored.
    void SetRuleProperty(std::string_view selector, std::string_view propName,
                         std::string_view value);
    // Takes the rule; its PropTag becomes the key.
    TProperties* AddObject(std::string_view key, std::unique_ptr<TProperties> props);
    void Clear();
    // The next contextual sequence number as text.
    std::string NextSequence();

    // The contextual key of a selector with spaces ("ul li" gives "li 110ul"),
    // at most ten parts; the selector itself when it has one part.
    std::string ContextualKey(std::string_view selector);

    // The rules stored under a key, in the order they were added.
    template <class F>
    void ForEachRule(const std::string& key, F&& f) const {
        auto it = rules_.find(key);
        if (it != rules_.end())
            for (const auto& rule : it->second)
                f(*rule);
    }
    // The descendant rules whose element part has this tag, by number of
    // ancestors, then in the order they were written.
    const std::vector<TContextRule>& ContextualRules(std::string_view tag) const;
    int Count() const { return count_; }

    TProperties* DefProp = nullptr;
    double DefaultSize = 12; // points
    bool LinkColorSet = false, VisitedColorSet = false, HoverColorSet = false;

private:
    TProperties& Rule(std::string_view key);

    std::unordered_map<std::string, std::vector<std::unique_ptr<TProperties>>> rules_;
    std::map<std::string, std::vector<TContextRule>, std::less<>> contextual_;
    long long sequence_ = 10;
    int count_ = 0;
};

} // namespace lumo
