#include "html/style_list.h"

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

// Splits "li 110ul ol" into the rule's parts, its ancestor count and sequence.
bool ParseContextualKey(std::string_view key, TContextRule& rule) {
    size_t space = key.find(' ');
    if (space == std::string_view::npos) return false;
    std::string_view rest = key.substr(space + 1);
    size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9')
        ++digits;
    if (digits == 0) return false;
    rule.Ancestors = rest[0] - '0';
    rule.Sequence = 0;
    std::from_chars(rest.data() + 1, rest.data() + digits, rule.Sequence);
    rule.Parts.clear();
    rule.Parts.push_back(SplitSelectorPart(key.substr(0, space)));
    for (std::string_view part : SplitSpaces(rest.substr(digits))) {
        if (rule.Parts.size() == MaxParts) break;
        rule.Parts.push_back(SplitSelectorPart(part));
    }
    return true;
}

} // namespace

TSelectorPart SplitSelectorPart(std::string_view part) {
    TSelectorPart result;
    std::string* field = &result.Tag;
    for (char c : part) {
        if (c == '.')
            field = &result.Class;
        else if (c == '#')
            field = &result.ID;
        else if (c == ':')
            field = &result.Pseudo;
        else
            *field += c;
    }
    return result;
}

TStyleList::TStyleList() = default;
TStyleList::~TStyleList() = default;

void TStyleList::Clear() {
    rules_.clear();
    contextual_.clear();
    DefProp = nullptr;
    sequence_ = 10;
    count_ = 0;
    LinkColorSet = VisitedColorSet = HoverColorSet = false;
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
    TProperties* rule = props.get();
    rules_[std::string(key)].push_back(std::move(props));
    ++count_;
    TContextRule context;
    if (ParseContextualKey(key, context)) {
        context.Props = rule;
        auto& list = contextual_[context.Parts[0].Tag];
        // Fewer ancestors first, then in the order written; sequence numbers
        // compare as numbers, so rule 100 follows rule 99 and the built-in rules.
        auto at =
            std::upper_bound(list.begin(), list.end(), context, [](const auto& a, const auto& b) {
                return std::tie(a.Ancestors, a.Sequence) < std::tie(b.Ancestors, b.Sequence);
            });
        list.insert(at, std::move(context));
    }
    return rule;
}

TProperties& TStyleList::Rule(std::string_view key) {
    auto it = rules_.find(std::string(key));
    if (it != rules_.end() && !it->second.empty()) return *it->second.front();
    return *AddObject(key, std::make_unique<TProperties>());
}

const std::vector<TContextRule>& TStyleList::ContextualRules(std::string_view tag) const {
    static const std::vector<TContextRule> none;
    auto it = contextual_.find(tag);
    return it == contextual_.end() ? none : it->second;
}

void TStyleList::SetRuleProperty(std::string_view selector, std::string_view propName,
                                 std::string_view value) {
    int index = PropertyIndex(propName);
    if (index < 0) return;
    TProperties& rule = Rule(selector);
    if (StorePropertyValue(rule, index, value, TBadColor::Skip) && index == Prop::Color) {
        if (selector.find(":link") != std::string_view::npos) LinkColorSet = true;
        if (selector.find(":visited") != std::string_view::npos) VisitedColorSet = true;
        if (selector.find(":hover") != std::string_view::npos) HoverColorSet = true;
    }
}

void TStyleList::Initialize(const TDefaultLook& look) {
    Clear();
    DefaultSize = look.FontSize;
    const double size = look.FontSize;
    auto set = [](TProperties& rule, std::initializer_list<int> indices, const TPropValue& v) {
        for (int i : indices)
            rule.Props[i] = v;
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
}

} // namespace lumo
