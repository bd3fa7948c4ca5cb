#include "html/style_list.h"

#include "html/prop_stack.h"
#include "platform/text.h"

#include <algorithm>
#include <charconv>
#include <tuple>

namespace lumo {

namespace {

constexpr size_t MaxParts = 10;

std::vector<std::string_view> SplitSpaces(std::string_view s) {
    std::vector<std::string_view> parts;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ')
            ++i;
        size_t end = s.find(' ', i);
        if (end == std::string_view::npos) end = s.size();
        if (end > i) parts.push_back(s.substr(i, end - i));
        i = end;
    }
    return parts;
}

// Splits "li 110ul ol" into the rule's parts; false for a simple selector.
bool ParseContextualKey(std::string_view key, std::vector<TSelectorPart>& parts) {
    size_t space = key.find(' ');
    if (space == std::string_view::npos) return false;
    std::string_view rest = key.substr(space + 1);
    size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9')
        ++digits;
    if (digits == 0) return false;
    parts.clear();
    parts.push_back(SplitSelectorPart(key.substr(0, space)));
    for (std::string_view part : SplitSpaces(rest.substr(digits))) {
        if (parts.size() == MaxParts) break;
        parts.push_back(SplitSelectorPart(part));
    }
    return true;
}

// IDs count 10000, classes and pseudo-classes 100, element names 1: a
// selector has at most ten parts, so no count spills into the next.
int SpecificityOf(const std::vector<TSelectorPart>& parts) {
    int ids = 0, classes = 0, names = 0;
    for (const TSelectorPart& part : parts) {
        ids += !part.ID.empty();
        classes += static_cast<int>(part.Classes.size()) + !part.Pseudo.empty();
        names += !part.Tag.empty();
    }
    return std::min(ids, 99) * 10000 + std::min(classes, 99) * 100 + std::min(names, 99);
}

// The rarest thing the element part names: few elements share an ID, more a
// class, many a tag.
std::string BucketOf(const TSelectorPart& part) {
    if (!part.ID.empty()) return "#" + part.ID;
    if (!part.Classes.empty()) return "." + part.Classes.front();
    if (!part.Tag.empty()) return part.Tag;
    return "*";
}

// Whether every wanted class is a word of the element's CLASS list.
bool HasClasses(std::string_view list, const std::vector<std::string>& want) {
    for (const std::string& c : want) {
        bool found = false;
        for (size_t at = list.find(c); at != std::string_view::npos && !found;
             at = list.find(c, at + 1))
            found = (at == 0 || list[at - 1] == ' ') &&
                    (at + c.size() == list.size() || list[at + c.size()] == ' ');
        if (!found) return false;
    }
    return true;
}

// An ancestor part against an entry of the property stack. A part with a
// pseudo-class names a link state and matches that state's entry of the
// link; a plain part passes over those entries, which repeat their link's.
bool MatchesEntry(const TSelectorPart& want, const TProperties& e) {
    return want.Pseudo == e.PropPseudo && (want.Tag.empty() || e.PropTag == want.Tag) &&
           (want.ID.empty() || e.PropID == want.ID) && HasClasses(e.PropClass, want.Classes);
}

// Descendant parts match any ancestors in order, nearest first.
bool AncestorsMatch(const std::vector<TSelectorPart>& parts, const TPropStack& stack) {
    size_t part = 1;
    for (int entry = stack.PropStackTop(); entry >= 1 && part < parts.size(); --entry)
        if (MatchesEntry(parts[part], *stack[entry])) ++part;
    return part == parts.size();
}

std::string AncestorStateOf(const std::vector<TSelectorPart>& parts) {
    for (size_t i = 1; i < parts.size(); ++i)
        if (!parts[i].Pseudo.empty()) return parts[i].Pseudo;
    return {};
}

} // namespace

TSelectorPart SplitSelectorPart(std::string_view part) {
    TSelectorPart result;
    std::string* field = &result.Tag;
    for (char c : part) {
        // A pseudo-element ends its selector: one with more after it
        // ("p:first-line.two") matches nothing.
        if ((c == '.' || c == '#' || c == ':') && field == &result.Pseudo &&
            (result.Pseudo == "first-line" || result.Pseudo == "first-letter")) {
            result.Pseudo = "!";
            return result;
        }
        if (c == '.') {
            field = &result.Classes.emplace_back();
        } else if (c == '#') {
            field = &result.ID;
        } else if (c == ':') {
            field = &result.Pseudo;
        } else if (c != '*') {
            *field += c;
        }
    }
    return result;
}

TStyleList::TStyleList() = default;
TStyleList::~TStyleList() = default;

void TStyleList::Clear() {
    rules_.clear();
    byKey_.clear();
    byBucket_.clear();
    DefProp = nullptr;
    sequence_ = 10;
    LinkColorSet = VisitedColorSet = HoverColorSet = false;
    HidesElements = SetsDisplay = StylesFirstLetters = StylesFirstLines = false;
}

std::string TStyleList::NextSequence() {
    return std::to_string(sequence_++);
}

std::string TStyleList::ContextualKey(std::string_view selector) {
    std::vector<std::string_view> parts = SplitSpaces(selector);
    if (parts.size() <= 1) return std::string(Trim(selector));
    if (parts.size() > MaxParts) parts.erase(parts.begin(), parts.end() - MaxParts);
    std::string key(parts.back());
    key += ' ';
    key += std::to_string(parts.size() - 1);
    key += NextSequence();
    for (size_t i = parts.size() - 1; i-- > 0;) {
        key += parts[i];
        if (i > 0) key += ' ';
    }
    return key;
}

TProperties* TStyleList::AddObject(std::string_view key, std::unique_ptr<TProperties> props) {
    props->PropTag = key;
    auto rule = std::make_unique<TStyleRule>();
    if (!ParseContextualKey(key, rule->Parts)) rule->Parts = {SplitSelectorPart(key)};
    rule->Props = std::move(props);
    rule->Specificity = SpecificityOf(rule->Parts);
    rule->AncestorState = AncestorStateOf(rule->Parts);
    rule->Order = static_cast<long long>(rules_.size());
    rule->Author = author_;
    rule->Block = block_;
    if (rule->Parts.front().Pseudo == "first-letter") StylesFirstLetters = true;
    if (rule->Parts.front().Pseudo == "first-line") StylesFirstLines = true;
    byKey_[std::string(key)].push_back(rule.get());
    byBucket_[BucketOf(rule->Parts.front())].push_back(rule.get());
    rules_.push_back(std::move(rule));
    return rules_.back()->Props.get();
}

TProperties& TStyleList::Rule(std::string_view key) {
    auto it = byKey_.find(std::string(key));
    if (it != byKey_.end() && !it->second.empty() && it->second.back()->Block == block_)
        return *it->second.back()->Props;
    return *AddObject(key, std::make_unique<TProperties>());
}

std::vector<const TStyleRule*> TStyleList::MatchingRules(const TPropStack& stack,
                                                         std::string_view tag, std::string_view cls,
                                                         std::string_view id,
                                                         std::string_view pseudo) const {
    // A pseudo-element takes only its own rules: its element's are already
    // the element's, which it inherits.
    const bool pseudoElement = pseudo == "first-letter" || pseudo == "first-line";
    std::vector<const TStyleRule*> found;
    std::string bucket;
    auto takeBucket = [&](std::string_view prefix, std::string_view name) {
        bucket.assign(prefix);
        bucket.append(name);
        auto it = byBucket_.find(bucket);
        if (it == byBucket_.end()) return;
        for (const TStyleRule* rule : it->second) {
            const TSelectorPart& self = rule->Parts.front();
            if (pseudoElement && self.Pseudo != pseudo) continue;
            if ((!self.Tag.empty() && self.Tag != tag) || (!self.ID.empty() && self.ID != id) ||
                (!self.Pseudo.empty() && self.Pseudo != pseudo) || !HasClasses(cls, self.Classes))
                continue;
            if (rule->Parts.size() > 1 && !AncestorsMatch(rule->Parts, stack)) continue;
            found.push_back(rule);
        }
    };
    takeBucket("", tag);
    takeBucket("", "*");
    if (!id.empty()) takeBucket("#", id);
    for (std::string_view c : SplitSpaces(cls))
        takeBucket(".", c);
    std::sort(found.begin(), found.end(), [](const TStyleRule* a, const TStyleRule* b) {
        return std::tie(a->Author, a->Specificity, a->Order) <
               std::tie(b->Author, b->Specificity, b->Order);
    });
    // A bucket named twice (a class listed twice) gave its rules twice.
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

void TStyleList::SetRuleProperty(std::string_view selector, std::string_view propName,
                                 std::string_view value, TWeight weight) {
    int index = PropertyIndex(propName);
    if (index < 0) return;
    TProperties& rule = Rule(selector);
    if (!StoreDeclaration(rule, index, value, TBadColor::Skip, weight)) return;
    if (index == Prop::Color) {
        if (selector.find(":link") != std::string_view::npos) LinkColorSet = true;
        if (selector.find(":visited") != std::string_view::npos) VisitedColorSet = true;
        if (selector.find(":hover") != std::string_view::npos) HoverColorSet = true;
    }
    if (index == Prop::Display) {
        SetsDisplay = true;
        if (rule.GetDisplay() == dsNone) HidesElements = true;
    }
}

void TStyleList::Initialize(const TDefaultLook& look) {
    Clear();
    author_ = false;
    DefaultSize = look.FontSize;
    const double size = look.FontSize;
    auto set = [](TProperties& rule, std::initializer_list<int> indices, const TPropValue& v) {
        for (int i : indices)
            rule.Props.Set(i, v);
    };
    auto text = [](std::string_view s) { return TPropValue(std::string(s)); };
    const std::initializer_list<int> vertical = {Prop::MarginTop, Prop::MarginBottom};

    TProperties& def = Rule("default");
    set(def, {Prop::FontFamily}, text(look.FontName));
    set(def, {Prop::FontSize}, size);
    set(def, {Prop::FontStyle}, text("none"));
    set(def, {Prop::FontWeight}, text("normal"));
    set(def, {Prop::TextAlign}, text("left"));
    set(def, {Prop::TextDecoration}, text("none"));
    set(def, {Prop::Color}, static_cast<int>(look.FontColor));
    set(def, vertical, look.MarginHeight);
    set(def, {Prop::MarginLeft, Prop::MarginRight}, look.MarginWidth);
    set(def, {Prop::Visibility}, static_cast<int>(viVisible));
    set(def, {Prop::LinkColor}, static_cast<int>(look.HotSpotColor | PaletteRelative));
    set(def, {Prop::HoverColor}, static_cast<int>(look.OverColor | PaletteRelative));
    set(def, {Prop::VisitedColor}, static_cast<int>(look.VisitedColor | PaletteRelative));
    set(def, {Prop::LinkTextDecoration, Prop::HoverTextDecoration, Prop::VisitedTextDecoration},
        text(look.UnderlineLinks ? "underline" : "none"));
    def.Charset = look.Charset;
    DefProp = &def;

    Rule("null");
    TProperties& pre = Rule("pre");
    set(pre, {Prop::FontFamily}, text(look.PreFontName));
    set(pre, {Prop::FontSize}, size * 10 / 12);
    set(pre, {Prop::FontStyle}, text("none"));
    set(pre, {Prop::FontWeight}, text("normal"));
    set(pre, {Prop::TextAlign}, text("left"));
    set(pre, {Prop::TextDecoration}, text("none"));
    set(Rule("p"), vertical, AutoParagraph);
    set(Rule("p 11pre"), {Prop::MarginTop}, 0);
    for (std::string_view list : {"ul", "menu", "dir", "ol", "dl"}) {
        TProperties& rule = Rule(list);
        set(rule, {Prop::MarginLeft}, list == "dl" ? 0 : 35);
        set(rule, vertical, AutoParagraph);
        set(rule, {Prop::ListStyleType},
            text(list == "ol"   ? "decimal"
                 : list == "dl" ? "none"
                                : "disc"));
    }
    TProperties& dd = Rule("dd");
    set(dd, {Prop::MarginLeft}, 40);
    set(dd, vertical, 0);
    TProperties& quote = Rule("blockquote");
    set(quote, {Prop::MarginLeft}, 35);
    set(quote, vertical, 14);
    for (auto [key, marker] : {std::pair{"ul 13ul", "circle"}, std::pair{"ul 24ul ul", "square"}}) {
        TProperties& rule = Rule(key);
        set(rule, {Prop::MarginLeft}, 35);
        set(rule, vertical, AutoParagraph);
        set(rule, {Prop::ListStyleType}, text(marker));
    }
    set(Rule("ul 14li"), {Prop::MarginTop}, 0);
    set(Rule("ol 15li"), {Prop::MarginTop}, 0);
    for (std::string_view key : {"code", "tt", "kbd", "samp"}) {
        set(Rule(key), {Prop::FontFamily}, text(look.PreFontName));
        set(Rule(key), {Prop::FontSize}, text("0.833em"));
    }
    for (std::string_view key : {"b", "strong", "th"})
        set(Rule(key), {Prop::FontWeight}, text("bold"));
    for (std::string_view key : {"sup", "sub"})
        set(Rule(key), {Prop::FontSize}, text("75%"));
    set(Rule("big"), {Prop::FontSize}, text("1.25em"));
    set(Rule("small"), {Prop::FontSize}, text("0.75em"));
    set(Rule("table"), {Prop::TextAlign}, text("none"));
    for (std::string_view key : {"i", "em", "cite", "var", "address"})
        set(Rule(key), {Prop::FontStyle}, text("italic"));
    for (std::string_view key : {"u", "ins"})
        set(Rule(key), {Prop::TextDecoration}, text("underline"));
    for (std::string_view key : {"s", "strike", "del"})
        set(Rule(key), {Prop::TextDecoration}, text("line-through"));
    for (std::string_view key : {"center", "caption"})
        set(Rule(key), {Prop::TextAlign}, text("center"));
    set(Rule("hr"), {Prop::MarginTop, Prop::MarginRight, Prop::MarginBottom, Prop::MarginLeft}, 10);
    constexpr int headingSizes[] = {24, 18, 14, 12, 10, 8};
    for (int level = 1; level <= 6; ++level) {
        TProperties& h = Rule("h" + std::to_string(level));
        set(h, {Prop::FontSize}, size / 12 * headingSizes[level - 1]);
        set(h, vertical, 19);
        set(h, {Prop::FontWeight}, text("bold"));
    }
    // The page's rules follow, each in a block of its own.
    author_ = true;
    NewBlock();
}

} // namespace lumo
