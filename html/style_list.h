// The style rules of one document: the built-in default sheet, then the rules
// of its STYLE blocks and linked sheets. Simple selectors (p, .note, a:hover,
// p.note, #top, td#x:link) are keys of their own; a descendant selector such
// as "ul li" is kept under the key "li 1<sequence>ul": its last part, a
// space, the number of ancestor parts, a sequence number, then the ancestor
// parts from the nearest outward.
#pragma once

#include "html/properties.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumo {

class TPropStack;

// One simple selector split at ".", "#" and ":". An empty tag (or "*")
// stands for any element; every class listed must be one of the element's.
struct TSelectorPart {
    std::string Tag, ID, Pseudo;
    std::vector<std::string> Classes;
};
TSelectorPart SplitSelectorPart(std::string_view part);

// One declaration block under one selector. Parts[0] is the element, the
// rest its ancestors from the nearest outward.
struct TStyleRule {
    std::vector<TSelectorPart> Parts;
    std::unique_ptr<TProperties> Props;
    int Specificity = 0; // IDs, then classes and pseudo-classes, then element names
    long long Order = 0; // the place of the block among all the blocks read
    bool Author = false; // from the page, not the default sheet
    long long Block = 0; // the declaration block it was read from
    // The link state an ancestor part names ("a:hover span"): the rule
    // gives the look of that state only.
    std::string AncestorState;
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
    // Starts a new declaration block: the declarations that follow make new
    // rules, later in the cascade than every rule before.
    void NewBlock() { ++block_; }
    // Stores one declaration in the rule of that key for the current block
    // (created when missing). Unknown property names are ignored.
    void SetRuleProperty(std::string_view selector, std::string_view propName,
                         std::string_view value, TWeight weight = TWeight::Normal);
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
        auto it = byKey_.find(key);
        if (it != byKey_.end())
            for (const TStyleRule* rule : it->second)
                f(*rule->Props);
    }
    // The rules that apply to an element whose ancestors are on stack, in
    // the order they are merged: the default sheet before the page's rules,
    // then by specificity, then in the order written. cls is the element's
    // CLASS attribute, a list of names separated by spaces.
    std::vector<const TStyleRule*> MatchingRules(const TPropStack& stack, std::string_view tag,
                                                 std::string_view cls, std::string_view id,
                                                 std::string_view pseudo) const;
    int Count() const { return static_cast<int>(rules_.size()); }

    // Reads the sheet that an @import names into this list, before the
    // rules that follow the @import. The address is made absolute against
    // the importing sheet's own address (sheetPath) when it has one, else it
    // is as written in the document's STYLE block. Unset, imports are skipped.
    std::function<void(const std::string& address, std::string_view sheetPath)> OnImport;

    TProperties* DefProp = nullptr;
    double DefaultSize = 12; // points
    bool LinkColorSet = false, VisitedColorSet = false, HoverColorSet = false;
    // A rule says "display: none": the builder then asks each element it
    // meets whether it is shown at all.
    bool HidesElements = false;
    // A rule sets "display" to anything: the builder then asks the elements
    // whose kind it can change how they are shown.
    bool SetsDisplay = false;
    // A rule is of the ":first-letter" of its elements.
    bool StylesFirstLetters = false;
    // A rule is of the ":first-line" of its elements.
    bool StylesFirstLines = false;

private:
    TProperties& Rule(std::string_view key);

    std::vector<std::unique_ptr<TStyleRule>> rules_; // in the order made
    std::unordered_map<std::string, std::vector<TStyleRule*>> byKey_;
    // By the element part's "#id", else its first ".class", else its tag,
    // else "*": an element looks in at most those buckets.
    std::unordered_map<std::string, std::vector<TStyleRule*>> byBucket_;
    long long sequence_ = 10;
    long long block_ = 0;
    bool author_ = true;
};

} // namespace lumo
