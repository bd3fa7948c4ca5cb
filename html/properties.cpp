#include "html/properties.h"

#include "html/parse_color.h"
#include "html/prop_stack.h"
#include "html/style_list.h"
#include "platform/canvas.h"
#include "platform/text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>
#include <utility>

namespace lumo {

namespace {

constexpr std::string_view PropNames[Prop::NamedCount] = {"font-family",
                                                          "font-size",
                                                          "font-style",
                                                          "font-weight",
                                                          "text-align",
                                                          "text-decoration",
                                                          "border-style",
                                                          "color",
                                                          "background-color",
                                                          "border-color",
                                                          "margin-top",
                                                          "margin-right",
                                                          "margin-bottom",
                                                          "margin-left",
                                                          "padding-top",
                                                          "padding-right",
                                                          "padding-bottom",
                                                          "padding-left",
                                                          "border-top-width",
                                                          "border-right-width",
                                                          "border-bottom-width",
                                                          "border-left-width",
                                                          "border-top-style",
                                                          "border-right-style",
                                                          "border-bottom-style",
                                                          "border-left-style",
                                                          "width",
                                                          "height",
                                                          "top",
                                                          "left",
                                                          "visibility",
                                                          "line-height",
                                                          "background-image",
                                                          "background-position",
                                                          "background-repeat",
                                                          "vertical-align",
                                                          "position",
                                                          "z-index",
                                                          "list-style-type",
                                                          "list-style-image",
                                                          "float",
                                                          "clear",
                                                          "text-indent",
                                                          "text-transform",
                                                          "border-top-color",
                                                          "border-right-color",
                                                          "border-bottom-color",
                                                          "border-left-color",
                                                          "display",
                                                          "font-variant",
                                                          "list-style-position"};

bool IsEmptyOrNull(const TPropValue& v) {
    if (std::holds_alternative<std::monostate>(v)) return true;
    const int* n = std::get_if<int>(&v);
    return n && *n == IntNull;
}

struct NumberAndUnit {
    double Number = 0;
    std::string Unit;
};

// The number is the leading run of digits, ".", "+" and "-" ("e" ends it, so
// 2em is 2 and em); a number that does not read is 0.
NumberAndUnit SplitNumber(std::string_view s) {
    s = Trim(s);
    size_t end = 0;
    while (end < s.size() &&
           ((s[end] >= '0' && s[end] <= '9') || s[end] == '.' || s[end] == '+' || s[end] == '-'))
        ++end;
    NumberAndUnit result;
    std::string_view number = s.substr(0, end);
    if (!number.empty() && number[0] == '+') number.remove_prefix(1);
    double n = 0;
    auto [ptr, ec] =
        std::from_chars(number.data(), number.data() + number.size(), n, std::chars_format::fixed);
    if (ec == std::errc() && ptr == number.data() + number.size())
        result.Number = n;
    else if (ec == std::errc::result_out_of_range)
        result.Number = number.starts_with('-') ? -1e300 : 1e300;
    result.Unit = LowerCase(Trim(s.substr(end)));
    return result;
}

int RoundLength(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::lround(std::clamp<double>(v, -MaxLength, MaxLength)));
}

double ClampFontSize(double v) {
    if (std::isnan(v)) return MinFontSize;
    return std::clamp(v, MinFontSize, MaxFontSize);
}

// Integer box value unless null; text through ConvertLength.
int BoxLength(const TPropValue& v, int base, int em, int ex, int textDefault, int nullValue) {
    if (const auto* s = std::get_if<std::string>(&v))
        return ConvertLength(*s, TPlainNumber::Pixels, base, em, ex, textDefault);
    if (const int* n = std::get_if<int>(&v)) return *n == IntNull ? nullValue : *n;
    if (const double* d = std::get_if<double>(&v)) return RoundLength(*d);
    return nullValue;
}

std::string StripQuotes(std::string_view s) {
    s = Trim(s);
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        s = s.substr(1, s.size() - 2);
    return std::string(s);
}

// The address inside url(...), or the whole text without it.
std::string UrlOf(std::string_view s) {
    size_t open = LowerCase(s).find("url(");
    if (open == std::string::npos) return StripQuotes(s);
    size_t close = s.find(')', open);
    size_t start = open + 4;
    return StripQuotes(
        s.substr(start, close == std::string_view::npos ? std::string_view::npos : close - start));
}

} // namespace

std::optional<double> LengthPercent(const TPropValue& v) {
    const auto* s = std::get_if<std::string>(&v);
    if (!s) return std::nullopt;
    const NumberAndUnit nu = SplitNumber(*s);
    if (nu.Unit != "%") return std::nullopt;
    return nu.Number;
}

int PropertyIndex(std::string_view lowerName) {
    for (int i = 0; i < Prop::NamedCount; ++i)
        if (PropNames[i] == lowerName) return i;
    return -1;
}

void TProperties::Inherit(const TProperties& parent) {
    Props.Inherit(parent.Props);
    InlineBackground = parent.InlineBackground;
    DecorationColor = parent.DecorationColor;
    Charset = parent.Charset;
    CodePage = parent.CodePage;
    ColorInLink = parent.ColorInLink;
    LinesInLink = parent.LinesInLink;
    SizeEm();
}

void TProperties::Update(const TProperties& source) {
    for (int i = 0; i < Prop::Count; ++i)
        if (!Assigned[i]) Props.Set(i, source.Props[i]);
    if (Assigned[Prop::TextDecoration]) JoinDecoration(source.Props[Prop::TextDecoration]);
    if (!DrawsOwnLines()) DecorationColor = source.DecorationColor;
    ColorInLink = PropTag != "a" && (Assigned[Prop::Color] || source.ColorInLink);
    LinesInLink = PropTag != "a" && (DrawsOwnLines() ? !ColorInLink : source.LinesInLink);
    SizeEm();
}

void TProperties::SizeEm() {
    double points = 12; // as MakeFont
    if (const double* d = std::get_if<double>(&Props[Prop::FontSize]))
        points = *d;
    else if (const int* n = Int(Prop::FontSize))
        points = *n;
    EmSize = PointsToPixels(ClampFontSize(points)); // the font's own em
    ExSize = EmSize / 2;
}

void TProperties::Assign(const TPropValue& value, int index) {
    if (index < 0 || index >= Prop::Count || Assigned[index]) return;
    Props.Set(index, value);
    Assigned[index] = true;
    if (index == Prop::Color && PropTag != "a") ColorInLink = true;
}

void TProperties::Merge(const TProperties& rule, TWeight weight, std::string_view stateName) {
    // Link state entries take only colours and decoration, into their slots.
    if (!PropPseudo.empty()) stateName = PropPseudo;
    int state = stateName == "link"      ? 0
                : stateName == "hover"   ? 1
                : stateName == "visited" ? 2
                                         : -1;
    auto put = [this](int index, const TPropValue& v) {
        Props.Set(index, v);
        Assigned[index] = true;
    };
    for (int i = 0; i < Prop::NamedCount; ++i) {
        const TPropValue& v = rule.Props[i];
        if (IsEmptyOrNull(v) || rule.Important[i] != (weight == TWeight::Important)) continue;
        if (state < 0) {
            put(i, v);
            continue;
        }
        if (i == Prop::Color) {
            put(Prop::LinkColor + 3 * state, v);
        } else if (i == Prop::BackgroundColor || i == Prop::TextDecoration) {
            int offset = i == Prop::BackgroundColor ? 1 : 2;
            // A link's look reaches its hover and visited looks too; hover reaches visited.
            for (int s = state; s < 3; ++s)
                put(Prop::LinkColor + 3 * s + offset, v);
        }
    }
}

void TProperties::Combine(const TStyleList& styles, const TPropStack& stack, std::string_view tag,
                          std::string_view cls, std::string_view id, std::string_view pseudo,
                          const TProperties* styleAttr) {
    double inheritedSize = styles.DefaultSize;
    if (const double* d = std::get_if<double>(&Props[Prop::FontSize]))
        inheritedSize = *d;
    else if (const int* n = std::get_if<int>(&Props[Prop::FontSize]))
        inheritedSize = *n;

    PropTag = tag;
    PropClass = cls;
    PropID = id;
    PropPseudo = pseudo;

    // Important declarations after all the normal ones, in the same order.
    const TPropValue outerDecoration = Props[Prop::TextDecoration];
    const std::vector<const TStyleRule*> rules = styles.MatchingRules(stack, tag, cls, id, pseudo);
    for (TWeight weight : {TWeight::Normal, TWeight::Important}) {
        for (const TStyleRule* rule : rules)
            Merge(*rule->Props, weight, rule->AncestorState);
        if (styleAttr) Merge(*styleAttr, weight);
    }
    if (!stack.empty()) TakeInherited(stack.TopProps());
    if (Assigned[Prop::TextDecoration]) {
        const std::string* own = Text(Prop::TextDecoration);
        OwnDecoration = own ? *own : std::string();
        JoinDecoration(outerDecoration);
        if (const int* color = Int(Prop::Color); color && DrawsOwnLines())
            DecorationColor = static_cast<TColor>(*color);
    }

    if (const auto* s = std::get_if<std::string>(&Props[Prop::FontSize]))
        Props.Set(Prop::FontSize, ConvertFontSize(*s, inheritedSize, styles.DefaultSize));
    // A link starts afresh: what its own rules say goes to its state slots.
    ColorInLink = tag != "a" && (ColorInLink || Assigned[Prop::Color]);
    LinesInLink = tag != "a" && (DrawsOwnLines() ? !ColorInLink : LinesInLink);
    // Lengths in em and ex of this element are of its own font.
    SizeEm();
}

void TProperties::TakeInherited(const TProperties& parent) {
    Props.TakeInherited(parent.Props);
}

void TProperties::TakeBackgroundColor() {
    if (Assigned[Prop::BackgroundColor])
        if (const int* n = Int(Prop::BackgroundColor)) InlineBackground = static_cast<TColor>(*n);
}

// text-decoration is a list of lines ("underline overline"); each word draws
// its own, any other word ("none", "blink") draws nothing.
namespace {

constexpr std::string_view DecorationLines[] = {"underline", "overline", "line-through"};

template <class Visit>
void ForEachWord(std::string_view value, Visit visit) {
    while (!value.empty()) {
        const size_t space = value.find(' ');
        if (space != 0) visit(value.substr(0, space));
        value = space == std::string_view::npos ? std::string_view() : value.substr(space + 1);
    }
}

void AddDecoration(FontSpec& font, std::string_view value) {
    ForEachWord(value, [&font](std::string_view word) {
        font.Underline |= word == "underline";
        font.StrikeOut |= word == "line-through";
        font.Overline |= word == "overline";
    });
}

bool ListsALine(std::string_view value) {
    bool any = false;
    ForEachWord(value, [&any](std::string_view word) {
        any |= std::find(std::begin(DecorationLines), std::end(DecorationLines), word) !=
               std::end(DecorationLines);
    });
    return any;
}

} // namespace

bool TProperties::DrawsOwnLines() const {
    return ListsALine(OwnDecoration);
}

void TProperties::JoinDecoration(const TPropValue& outer) {
    const std::string* outerText = std::get_if<std::string>(&outer);
    std::string joined;
    for (std::string_view line : DecorationLines) {
        bool listed = false;
        auto find = [&](std::string_view word) { listed |= word == line; };
        if (outerText) ForEachWord(*outerText, find);
        ForEachWord(OwnDecoration, find);
        if (!listed) continue;
        if (!joined.empty()) joined += ' ';
        joined += line;
    }
    Props.Set(Prop::TextDecoration, joined.empty() ? std::string("none") : joined);
}

TFont TProperties::MakeFont(Canvas& faces) const {
    TFont font;
    font.bgColor = InlineBackground;
    if (const int* n = Int(Prop::Color)) font.Color = static_cast<TColor>(*n);
    if (const std::string* w = Text(Prop::FontWeight)) {
        int weight = 0;
        std::from_chars(w->data(), w->data() + w->size(), weight);
        font.Bold = w->find("bold") != std::string::npos || weight >= 600;
    } else if (const int* n = Int(Prop::FontWeight)) {
        font.Bold = *n >= 600;
    }
    if (const std::string* s = Text(Prop::FontStyle))
        font.Italic = *s == "italic" || *s == "oblique";
    if (const std::string* d = Text(Prop::TextDecoration)) AddDecoration(font, *d);
    if (font.HasLines()) font.DecorationColor = DecorationColor;
    if (const std::string* v = Text(Prop::FontVariant)) font.SmallCaps = *v == "small-caps";
    if (const std::string* t = Text(Prop::TextTransform))
        font.Case = *t == "uppercase"    ? TextCase::Upper
                    : *t == "lowercase"  ? TextCase::Lower
                    : *t == "capitalize" ? TextCase::Capitalize
                                         : TextCase::AsWritten;
    double size = 12;
    if (const double* d = std::get_if<double>(&Props[Prop::FontSize]))
        size = *d;
    else if (const int* n = Int(Prop::FontSize))
        size = *n;
    font.Size = ClampFontSize(size);
    font.Charset = Charset;
    font.CodePage = CodePage;
    if (const std::string* family = Text(Prop::FontFamily)) {
        std::string_view list = *family;
        while (!list.empty()) {
            size_t comma = list.find(',');
            std::string name = StripQuotes(list.substr(0, comma));
            list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
            if (name.empty()) continue;
            font.Name = name; // the last name tried stays when none is installed
            if (faces.HasFontFace(name)) break;
        }
    }
    return font;
}

TFont TProperties::StateFont(TFont font, int first) const {
    const int* color = Int(first);
    if (color && !ColorInLink) font.Color = static_cast<TColor>(*color);
    if (color && LinesInLink && font.HasLines()) font.DecorationColor = static_cast<TColor>(*color);
    if (const int* n = Int(first + 1)) font.bgColor = static_cast<TColor>(*n);
    // A link's own lines add to those it stands in, in the link's colour
    // whatever colour its text takes inside it.
    if (const std::string* d = Text(first + 2); d && ListsALine(*d)) {
        AddDecoration(font, *d);
        font.DecorationColor = color ? static_cast<TColor>(*color) : font.Color;
    }
    return font;
}

TFont TProperties::MakeLinkFont(Canvas& faces) const {
    return StateFont(MakeFont(faces), Prop::LinkColor);
}
TFont TProperties::MakeHoverFont(Canvas& faces) const {
    return StateFont(MakeFont(faces), Prop::HoverColor);
}
TFont TProperties::MakeVisitedFont(Canvas& faces) const {
    return StateFont(MakeFont(faces), Prop::VisitedColor);
}
TProperties::TLinkFonts TProperties::MakeLinkFonts(Canvas& faces) const {
    const TFont plain = MakeFont(faces);
    return {StateFont(plain, Prop::LinkColor), StateFont(plain, Prop::VisitedColor),
            StateFont(plain, Prop::HoverColor)};
}

bool TProperties::GetBackgroundImage(std::string& url) const {
    const std::string* s = Text(Prop::BackgroundImage);
    if (!s) return false;
    url = SameText(Trim(*s), "none") ? std::string() : UrlOf(*s);
    return true;
}

TColor TProperties::GetBackgroundColor() const {
    const int* n = Int(Prop::BackgroundColor);
    return n && Assigned[Prop::BackgroundColor] ? static_cast<TColor>(*n) : clNone;
}

TColor TProperties::GetColor() const {
    const int* n = Int(Prop::Color);
    return n && Assigned[Prop::Color] ? static_cast<TColor>(*n) : clNone;
}

namespace {

// The value of a keyword property by a table of words; false when the
// property is not text or not one of the words.
template <class T>
bool Keyword(const std::string* s, std::initializer_list<std::pair<std::string_view, T>> words,
             T& out) {
    if (!s) return false;
    for (const auto& [word, value] : words)
        if (*s == word) {
            out = value;
            return true;
        }
    return false;
}

} // namespace

bool TProperties::GetVertAlign(AlignmentType& a) const {
    return Keyword<AlignmentType>(Text(Prop::VerticalAlign),
                                  {{"top", ATop},
                                   {"text-top", ATop},
                                   {"middle", AMiddle},
                                   {"baseline", ABaseline},
                                   {"bottom", ABottom}},
                                  a);
}

bool TProperties::GetFloat(AlignmentType& f) const {
    return Keyword<AlignmentType>(Text(Prop::Float),
                                  {{"left", ALeft}, {"right", ARight}, {"none", ANone}}, f);
}

bool TProperties::GetClear(ClearAttrType& c) const {
    return Keyword<ClearAttrType>(
        Text(Prop::Clear),
        {{"left", clrLeft}, {"right", clrRight}, {"both", clrAll}, {"none", clrNone}}, c);
}

PositionType TProperties::GetPosition() const {
    const std::string* s = Text(Prop::Position);
    if (s && *s == "absolute") return posAbsolute;
    if (s && *s == "relative") return posRelative;
    return posStatic;
}

VisibilityType TProperties::GetVisibility() const {
    const int* n = Int(Prop::Visibility);
    return n && *n == viHidden ? viHidden : viVisible;
}

bool TProperties::MarkerInside() const {
    const std::string* s = Text(Prop::ListStylePosition);
    return s && *s == "inside";
}

DisplayType TProperties::GetDisplay() const {
    const int* n = Int(Prop::Display);
    return n && *n > dsNormal && *n <= dsListItem ? static_cast<DisplayType>(*n) : dsNormal;
}

int TProperties::GetZIndex() const {
    if (const int* n = Int(Prop::ZIndex)) return *n;
    if (const std::string* s = Text(Prop::ZIndex)) return RoundLength(SplitNumber(*s).Number);
    return 0;
}

int TProperties::GetLineHeight() const {
    const std::string* s = Text(Prop::LineHeight);
    const std::string_view value = s ? Trim(*s) : std::string_view();
    if (value.empty() ||
        !(std::isdigit(static_cast<unsigned char>(value[0])) || value[0] == '.' || value[0] == '+'))
        return -1;
    const NumberAndUnit nu = SplitNumber(value);
    if (nu.Unit.empty()) return RoundLength(EmSize * nu.Number);
    return ConvertLength(value, TPlainNumber::Pixels, EmSize, EmSize, ExSize, 0);
}

int TProperties::GetListStyleType() const {
    static constexpr std::string_view kinds[] = {"blank",       "circle",      "decimal", "disc",
                                                 "lower-alpha", "lower-roman", "none",    "square",
                                                 "upper-alpha", "upper-roman"};
    const std::string* s = Text(Prop::ListStyleType);
    if (!s) return -1;
    auto it = std::find(std::begin(kinds), std::end(kinds), *s);
    return it == std::end(kinds) ? -1 : static_cast<int>(it - std::begin(kinds));
}

bool TProperties::GetListStyleImage(std::string& url) const {
    const std::string* s = Text(Prop::ListStyleImage);
    if (!s || SameText(Trim(*s), "none")) return false;
    url = UrlOf(*s);
    return !url.empty();
}

namespace {

// The slots a declaration of index stores into.
std::vector<int> SlotsOf(int index) {
    if (index == Prop::BorderStyle)
        return {Prop::BorderStyle, Prop::BorderTopStyle, Prop::BorderRightStyle,
                Prop::BorderBottomStyle, Prop::BorderLeftStyle};
    if (index >= Prop::BorderTopStyle && index <= Prop::BorderLeftStyle)
        return {index, Prop::BorderStyle};
    return {index};
}

} // namespace

bool StorePropertyValue(TProperties& props, int index, std::string_view value, TBadColor badColor) {
    auto& v = props.Props;
    if (value == "inherit") { // the parent's value, taken when the element is combined
        for (int slot : SlotsOf(index))
            if (slot >= 0 && slot < Prop::NamedCount) v.Set(slot, std::string(value));
        return false;
    }
    TColor color;
    switch (index) {
    case Prop::BorderStyle:
        for (int i : {Prop::BorderStyle, Prop::BorderTopStyle, Prop::BorderRightStyle,
                      Prop::BorderBottomStyle, Prop::BorderLeftStyle})
            v.Set(i, std::string(value));
        return false;
    case Prop::BorderTopStyle:
    case Prop::BorderRightStyle:
    case Prop::BorderBottomStyle:
    case Prop::BorderLeftStyle:
        v.Set(index, std::string(value));
        v.Set(Prop::BorderStyle, std::string(value));
        return false;
    case Prop::Color:
        if (ParseColor(value, TPound::Optional, color)) {
            v.Set(index, static_cast<int>(color));
            return true;
        }
        if (badColor == TBadColor::Black) v.Set(index, 0);
        return false;
    case Prop::BackgroundColor:
    case Prop::BorderColor:
    case Prop::BorderTopColor:
    case Prop::BorderRightColor:
    case Prop::BorderBottomColor:
    case Prop::BorderLeftColor: {
        bool ok = ParseColor(value, TPound::Optional, color);
        v.Set(index, static_cast<int>(ok ? color : clNone));
        return ok;
    }
    case Prop::Visibility:
        if (value == "visible")
            v.Set(index, static_cast<int>(viVisible));
        else if (value == "hidden")
            v.Set(index, static_cast<int>(viHidden));
        return false;
    case Prop::FontVariant:
        if (value != "normal" && value != "small-caps") return false;
        v.Set(index, std::string(value));
        return true;
    case Prop::ListStylePosition:
        if (value != "inside" && value != "outside") return false;
        v.Set(index, std::string(value));
        return true;
    case Prop::Display: {
        // Any other value is not CSS1's and leaves the element as it was.
        constexpr std::pair<std::string_view, DisplayType> kinds[] = {
            {"none", dsNone}, {"block", dsBlock}, {"inline", dsInline}, {"list-item", dsListItem}};
        for (const auto& [name, kind] : kinds)
            if (value == name) {
                v.Set(index, static_cast<int>(kind));
                return true;
            }
        return false;
    }
    default:
        if (index >= 0 && index < Prop::NamedCount) v.Set(index, std::string(value));
        return false;
    }
}

bool StoreDeclaration(TProperties& props, int index, std::string_view value, TBadColor badColor,
                      TWeight weight) {
    if (index < 0 || index >= Prop::NamedCount) return false;
    const bool important = weight == TWeight::Important;
    if (!important && props.Important[index]) return false;
    const bool parsed = StorePropertyValue(props, index, value, badColor);
    for (int slot : SlotsOf(index))
        props.Important[slot] = important;
    return parsed;
}

TWeight StripImportant(std::string& value) {
    size_t bang = value.rfind('!');
    if (bang == std::string::npos || !SameText(Trim(value.substr(bang + 1)), "important"))
        return TWeight::Normal;
    value = std::string(Trim(value.substr(0, bang)));
    return TWeight::Important;
}

namespace {

// The absolute size keywords against the default size, which is medium's:
// the steps of 16 pixels to 9, 10, 13, 16, 18, 24 and 32 that pages were
// written for. Any other word is the default size.
double SizeKeywordFactor(std::string_view word) {
    static constexpr std::pair<std::string_view, double> sizes[] = {
        {"large", 18.0 / 16},   {"medium", 1},   {"small", 13.0 / 16},   {"x-large", 24.0 / 16},
        {"x-small", 10.0 / 16}, {"xx-large", 2}, {"xx-small", 9.0 / 16},
    };
    for (const auto& [name, factor] : sizes)
        if (word == name) return factor;
    return 1;
}

} // namespace

double ConvertFontSize(std::string_view s, double parentSize, double defaultSize) {
    NumberAndUnit nu = SplitNumber(s);
    const double n = nu.Number, d = defaultSize;
    const std::string& u = nu.Unit;
    double points;
    if (u == "in")
        points = n * 72;
    else if (u == "cm")
        points = n * 72 / 2.54;
    else if (u == "mm")
        points = n * 72 / 25.4;
    else if (u == "pt")
        points = n;
    else if (u == "px" || (u.empty() && !Trim(s).empty()))
        points = n * 72 / ScreenPixelsPerInch;
    else if (u == "pc")
        points = n * 12;
    else if (u == "em")
        points = n * parentSize;
    else if (u == "ex")
        points = n * parentSize / 2;
    else if (u == "%")
        points = n * parentSize / 100;
    else if (u == "smaller")
        points = 0.75 * parentSize;
    else if (u == "larger")
        points = 1.25 * parentSize;
    else
        points = d * SizeKeywordFactor(u);
    return ClampFontSize(points);
}

int ConvertLength(std::string_view s, TPlainNumber plain, int base, int emSize, int exSize,
                  int defaultValue) {
    NumberAndUnit nu = SplitNumber(s);
    const double n = nu.Number, p = ScreenPixelsPerInch;
    const std::string& u = nu.Unit;
    if (u.empty()) return RoundLength(plain == TPlainNumber::TimesBase ? n * base : n);
    if (u == "in") return RoundLength(n * p);
    if (u == "cm") return RoundLength(n * p / 2.54);
    if (u == "mm") return RoundLength(n * p / 25.4);
    if (u == "pt") return RoundLength(n * p / 72);
    if (u == "pc") return RoundLength(n * p / 6);
    if (u == "px") return RoundLength(n);
    if (u == "em") return RoundLength(n * emSize);
    if (u == "ex") return RoundLength(n * exSize);
    if (u == "%") return RoundLength(n * base / 100);
    return defaultValue;
}

namespace {

// How a box value reads when nothing set it: margins, padding, borders and
// the placement lengths as IntNull, the two colours as nothing.
const TPropValue& UnsetBoxValue(int index) {
    static const TPropValue unsetLength(IntNull), unsetColor;
    return Prop::IsBox(index) ? unsetLength : unsetColor;
}

} // namespace

TBoxSpec TBoxSpec::Of(const TProperties& props) {
    TBoxSpec boxSpec;
    if (props.Props.BoxUnset()) return boxSpec;
    for (int i = Prop::FirstBox; i <= Prop::LastBox; ++i)
        if (props.Props[i] != UnsetBoxValue(i)) boxSpec.values_.emplace_back(i, props.Props[i]);
    return boxSpec;
}

const TPropValue& TBoxSpec::operator[](int index) const {
    for (const auto& [i, value] : values_)
        if (i == index) return value;
    return UnsetBoxValue(index);
}

void TBoxSpec::Set(int index, TPropValue value) {
    auto at = std::find_if(values_.begin(), values_.end(),
                           [index](const auto& entry) { return entry.first >= index; });
    if (at != values_.end() && at->first == index)
        at->second = std::move(value);
    else
        values_.emplace(at, index, std::move(value));
}

void ResolveBoxValues(const TProperties& props, int width, int height, int emSize, int exSize,
                      TBoxValues& box, int& autoCount) {
    ResolveBoxValues(TBoxSpec::Of(props), width, height, emSize, exSize, box, autoCount);
}

void ResolveVerticalMargins(const TProperties& props, int base, int emSize, int exSize,
                            TBoxValues& box, bool& topFlag, bool& bottomFlag) {
    ResolveVerticalMargins(TBoxSpec::Of(props), base, emSize, exSize, box, topFlag, bottomFlag);
}

void ResolveBoxValues(const TBoxSpec& v, int width, int height, int emSize, int exSize,
                      TBoxValues& box, int& autoCount) {
    autoCount = 0;
    auto color = [&](int i) {
        const int* n = std::get_if<int>(&v[i]);
        box[i] = n ? *n : static_cast<int>(clNone);
    };
    color(Prop::BackgroundColor);
    color(Prop::BorderColor);
    for (int i : {Prop::MarginRight, Prop::MarginLeft}) {
        const auto* s = std::get_if<std::string>(&v[i]);
        if (s && Trim(*s) == "auto") {
            box[i] = Auto;
            ++autoCount;
        } else {
            box[i] = BoxLength(v[i], width, emSize, exSize, 0, 0);
        }
    }
    for (int i = Prop::PaddingTop; i <= Prop::PaddingLeft; ++i)
        box[i] = BoxLength(v[i], width, emSize, exSize, 0, 0);
    box[Prop::Height] = BoxLength(v[Prop::Height], height, emSize, exSize, 0, 0);
    for (int side = 0; side < 4; ++side) {
        int w = Prop::BorderTopWidth + side, st = Prop::BorderTopStyle + side;
        const auto* style = std::get_if<std::string>(&v[st]);
        // An unset side style is none, as is the word.
        if (!style || Trim(*style) == "none") {
            box[w] = 0;
            continue;
        }
        const auto* s = std::get_if<std::string>(&v[w]);
        if (s && *s == "thin")
            box[w] = 2;
        else if (s && *s == "medium")
            box[w] = 4;
        else if (s && *s == "thick")
            box[w] = 6;
        else
            box[w] = BoxLength(v[w], width, emSize, exSize, 4, 4);
    }
    box[Prop::Width] = BoxLength(v[Prop::Width], width, emSize, exSize, Auto, Auto);
    if (box[Prop::Width] == Auto) ++autoCount;
    box[Prop::Top] = BoxLength(v[Prop::Top], height, emSize, exSize, Auto, Auto);
    box[Prop::Left] = BoxLength(v[Prop::Left], width, emSize, exSize, Auto, Auto);
    for (int i = Prop::BorderTopStyle; i <= Prop::BorderLeftStyle; ++i)
        box[i] = BoxLength(v[i], width, emSize, exSize, 0, 0);
}

void ResolveVerticalMargins(const TBoxSpec& boxSpec, int base, int emSize, int exSize,
                            TBoxValues& box, bool& topFlag, bool& bottomFlag) {
    auto resolve = [&](int i, bool& flag) {
        flag = false;
        const TPropValue& v = boxSpec[i];
        if (const int* n = std::get_if<int>(&v); n && *n == AutoParagraph) {
            box[i] = ParagraphSpace;
            flag = true;
        } else {
            box[i] = BoxLength(v, base, emSize, exSize, 0, 0);
        }
    };
    resolve(Prop::MarginTop, topFlag);
    resolve(Prop::MarginBottom, bottomFlag);
}

} // namespace lumo
