#include "html/style_sheet.h"

#include "address/address.h"
#include "html/parse_color.h"
#include "html/properties.h"
#include "html/style_list.h"
#include "platform/text.h"

#include <algorithm>
#include <string>
#include <vector>

namespace lumo {

namespace {

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

bool IsSelectorChar(char c) {
    return IsNameChar(c) || c == ' ' || c == '#' || c == '.' || c == ':' || c == '*';
}

// A class, ID or pseudo-class is a name that starts with a letter: ".1" or
// "p." makes the whole selector one no element matches.
bool IsValidSelector(std::string_view selector) {
    for (size_t i = 0; i < selector.size(); ++i) {
        if (selector[i] != '.' && selector[i] != '#' && selector[i] != ':') continue;
        char next = i + 1 < selector.size() ? selector[i + 1] : ' ';
        if (next == '-' && i + 2 < selector.size()) next = selector[i + 2];
        if (!((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z'))) return false;
    }
    return true;
}

// Lower case, except inside url(...): file names are case-sensitive here.
std::string LowerCaseExceptUrls(std::string_view s) {
    std::string out(s);
    size_t i = 0;
    while (i < out.size()) {
        if (i + 4 <= out.size() && SameText(std::string_view(out).substr(i, 4), "url(")) {
            for (size_t k = i; k < i + 4; ++k)
                out[k] = AsciiLower(out[k]);
            size_t close = out.find(')', i + 4);
            i = close == std::string::npos ? out.size() : close + 1;
            continue;
        }
        out[i] = AsciiLower(out[i]);
        ++i;
    }
    return out;
}

std::string_view StripOuterQuotes(std::string_view s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        s = s.substr(1, s.size() - 2);
    return s;
}

bool StartsWithUrl(std::string_view s) {
    return s.substr(0, 4) == "url(";
}

// url(x) made absolute against the sheet's own address or folder.
std::string ResolveUrl(std::string_view value, std::string_view path) {
    if (path.empty() || !StartsWithUrl(value)) return std::string(value);
    size_t close = value.find(')');
    std::string_view inner =
        value.substr(4, close == std::string_view::npos ? std::string_view::npos : close - 4);
    std::string address(StripOuterQuotes(Trim(inner)));
    std::string result;
    if (path.find("://") != std::string_view::npos) {
        // Against the sheet's folder: path is the sheet's own address.
        result = IsAbsolute(address) ? address : ResolveRelative(DirectoryOf(path), address);
    } else {
        result = AddressToPath(address);
        bool absolute = (result.size() >= 2 && result[1] == ':') || result.starts_with("\\\\") ||
                        result.starts_with("/");
        // Against the sheet's folder: path may name the sheet's own file.
        if (!absolute) result = std::string(path.substr(0, path.find_last_of("/\\") + 1)) + result;
    }
    return "url(" + result + ")";
}

// Shorthand values: double spaces and ", " folded, then cut at spaces; a part
// that starts with a quote runs to the matching quote.
std::vector<std::string> SplitValues(std::string_view value, size_t maxParts) {
    std::string s;
    s.reserve(value.size());
    for (char c : value)
        if (c != ' ' || s.empty() || (s.back() != ' ' && s.back() != ',')) s += c;
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < s.size() && parts.size() < maxParts) {
        if (s[i] == ' ') {
            ++i;
            continue;
        }
        size_t end;
        if (s[i] == '"' || s[i] == '\'') {
            end = s.find(s[i], i + 1);
            end = end == std::string::npos ? s.size() : end + 1;
        } else {
            end = s.find(' ', i);
            if (end == std::string::npos) end = s.size();
        }
        parts.push_back(s.substr(i, end - i));
        i = end;
    }
    return parts;
}

bool IsColorValue(std::string_view v) {
    TColor color;
    return v.starts_with("#") || v.starts_with("rgb") || ColorFromName(v, color);
}

bool IsBorderStyleWord(std::string_view v) {
    for (std::string_view s :
         {"none", "solid", "dashed", "dotted", "double", "groove", "inset", "outset", "ridge"})
        if (v == s) return true;
    return false;
}

// A number with one of the units of length, or none (pages of the time
// wrote pixels bare): "1.5em", "-2px", "50%", "0". "px", "50zu" and
// "funny" are not lengths.
bool IsLength(std::string_view v) {
    if (!v.empty() && (v[0] == '-' || v[0] == '+')) v.remove_prefix(1);
    size_t end = 0;
    bool digits = false;
    for (; end < v.size() && ((v[end] >= '0' && v[end] <= '9') || v[end] == '.'); ++end)
        digits |= v[end] != '.';
    if (!digits) return false;
    const std::string_view unit = v.substr(end);
    for (std::string_view u : {"", "px", "pt", "pc", "in", "cm", "mm", "em", "ex", "%"})
        if (unit == u) return true;
    return false;
}

bool IsBorderWidthValue(std::string_view v) {
    return v == "thin" || v == "medium" || v == "thick" || IsLength(v);
}

bool IsOneOf(std::string_view v, std::initializer_list<std::string_view> words) {
    return std::find(words.begin(), words.end(), v) != words.end();
}

// Whether every part of a length property's value is a length or one of
// the words it takes; an invalid value drops the declaration whole.
bool IsValidLengthValue(std::string_view name, std::string_view value) {
    const bool border = name.starts_with("border");
    const bool takesAuto = name.starts_with("margin") || name == "width" || name == "height";
    const bool takesNormal = name == "letter-spacing" || name == "word-spacing";
    const std::vector<std::string> parts = SplitValues(value, 5);
    if (parts.empty() || parts.size() > 4) return false;
    for (const std::string& v : parts) {
        const bool word = (border && IsOneOf(v, {"thin", "medium", "thick"})) ||
                          (takesAuto && v == "auto") || (takesNormal && v == "normal");
        if (!word && !IsLength(v)) return false;
    }
    return true;
}

bool IsLengthProperty(std::string_view name) {
    if (name.starts_with("border")) return name.ends_with("width");
    return name.starts_with("margin") || name.starts_with("padding") || name == "width" ||
           name == "height" || name == "text-indent" || name == "letter-spacing" ||
           name == "word-spacing";
}

// Declarations whose value cannot be what their property takes are dropped,
// so that the value an earlier rule gave stays: a length that is no length,
// a line no decoration draws, a string anywhere but in a font's family.
bool IsValidDeclaration(std::string_view name, std::string_view value) {
    if (value == "inherit") return true;
    if ((value.starts_with('"') || value.starts_with('\'')) && name != "font-family" &&
        name != "font")
        return false;
    if (IsLengthProperty(name)) return IsValidLengthValue(name, value);
    if (name == "text-decoration") {
        for (const std::string& v : SplitValues(value, 5))
            if (!IsOneOf(v, {"none", "underline", "overline", "line-through", "blink"}))
                return false;
    }
    return true;
}

// A border shorthand whose parts are not all a colour, a style or a width is
// dropped whole.
bool IsBorderShorthandValid(const std::vector<std::string>& parts) {
    for (const std::string& v : parts)
        if (!IsColorValue(v) && !IsBorderStyleWord(v) && !IsBorderWidthValue(v)) return false;
    return true;
}

// A size, with or without its line height ("small/200%", ".8em/1.2").
bool IsFontSizeWord(std::string_view v) {
    v = v.substr(0, v.find('/'));
    for (std::string_view s : {"larger", "smaller", "xx-small", "x-small", "small", "medium",
                               "large", "x-large", "xx-large"})
        if (v == s) return true;
    return !v.empty() && ((v[0] >= '0' && v[0] <= '9') || v[0] == '.');
}

bool IsFontKeyword(std::string_view v) {
    return IsOneOf(v, {"normal", "italic", "oblique", "small-caps", "bold", "bolder", "lighter",
                       "100", "200", "300", "400", "500", "600", "700", "800", "900"});
}

// A font shorthand with a size has only style, variant and weight words
// before it ("bold highlighted 100% serif" is not a font); one without a
// size is read leniently as a list of faces.
bool IsFontShorthandValid(const std::vector<std::string>& parts) {
    const auto size = std::find_if(parts.begin(), parts.end(), [](const std::string& v) {
        return !IsFontKeyword(v) && IsFontSizeWord(v);
    });
    return size == parts.end() ||
           std::all_of(parts.begin(), size, [](const std::string& v) { return IsFontKeyword(v); });
}

using Store = std::function<void(std::string_view name, std::string_view value)>;

// Paddings, border widths, font sizes, widths, heights and line heights
// cannot be negative: such a declaration is dropped whole, so the value it
// would have replaced stays.
bool IsNegativeWhereNoneMayBe(std::string_view name, std::string_view value) {
    const bool positive = name.starts_with("padding") || name == "font-size" || name == "width" ||
                          name == "height" || name == "line-height" ||
                          (name.starts_with("border") && name.ends_with("width"));
    if (!positive) return false;
    for (const std::string& v : SplitValues(value, 4))
        if (v.starts_with("-")) return true;
    return false;
}

void JoinWord(std::string& words, std::string_view word) {
    if (!words.empty() && !word.starts_with(",")) words += ' ';
    words += word;
}

// Expands a shorthand into its properties; anything else is stored as it is.
void Declare(std::string_view name, std::string_view value, std::string_view path,
             const Store& store) {
    static constexpr std::string_view sides[] = {"-top", "-right", "-bottom", "-left"};
    if (IsNegativeWhereNoneMayBe(name, value) || !IsValidDeclaration(name, value)) return;
    if (name == "margin" || name == "padding" || name == "border-width" || name == "border-color" ||
        name == "border-style") {
        std::vector<std::string> v = SplitValues(value, 4);
        if (v.empty()) return;
        // top, right, bottom, left from one to four values
        static constexpr int pick[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 1, 2, 1}, {0, 1, 2, 3}};
        const bool border = name.starts_with("border-");
        std::string_view group = border ? "border" : name;
        // The single border colour that tables and inline boxes draw is the top's.
        if (name == "border-color") store(name, v[0]);
        for (int side = 0; side < 4; ++side) {
            std::string prop(group);
            prop += sides[side];
            if (border) prop += name.substr(std::string_view("border").size());
            store(prop, v[pick[v.size() - 1][side]]);
        }
    } else if (name == "border" || name == "border-top" || name == "border-right" ||
               name == "border-bottom" || name == "border-left") {
        const std::vector<std::string> parts = SplitValues(value, 7);
        if (!IsBorderShorthandValid(parts)) return;
        for (const std::string& v : parts) {
            if (IsColorValue(v)) // "border" gives "border-color", itself a shorthand
                Declare(std::string(name) + "-color", v, path, store);
            else if (IsBorderStyleWord(v))
                store(std::string(name) + "-style", v);
            else // "border" gives "border-width", itself a shorthand
                Declare(std::string(name) + "-width", v, path, store);
        }
    } else if (name == "font") {
        const std::vector<std::string> parts = SplitValues(value, 7);
        if (!IsFontShorthandValid(parts)) return;
        std::string family;
        for (const std::string& v : parts) {
            if (v.starts_with("/")) {
                store("line-height", v.substr(1));
            } else if (v == "italic" || v == "oblique") {
                store("font-style", v);
            } else if (IsFontKeyword(v) && v != "small-caps") { // normal, bold, 700
                store("font-weight", v);
            } else if (v == "small-caps") {
                store("font-variant", v);
            } else if (IsFontSizeWord(v)) {
                size_t slash = v.find('/'); // 12pt/14pt: size and line height
                store("font-size", v.substr(0, slash));
                if (slash != std::string::npos) store("line-height", v.substr(slash + 1));
            } else {
                JoinWord(family, v); // an unquoted face of several words stays whole
            }
        }
        if (!family.empty()) store("font-family", family);
    } else if (name == "background") {
        std::string position;
        for (const std::string& v : SplitValues(value, 7)) {
            if (StartsWithUrl(v))
                store("background-image", ResolveUrl(v, path));
            else if (v == "none")
                store("background-image", v);
            else if (v.find("repeat") != std::string::npos)
                store("background-repeat", v);
            else if (IsColorValue(v))
                store("background-color", v);
            else
                JoinWord(position, v);
        }
        if (!position.empty()) store("background-position", position);
    } else if (name == "list-style") {
        for (const std::string& v : SplitValues(value, 7)) {
            if (StartsWithUrl(v))
                store("list-style-image", ResolveUrl(v, path));
            else if (v == "inside" || v == "outside")
                store("list-style-position", v);
            else
                store("list-style-type", v);
        }
    } else {
        store(name, ResolveUrl(value, path));
    }
}

using WeightedStore =
    std::function<void(std::string_view name, std::string_view value, TWeight weight)>;

// One declaration as the sheet has it: its value lower-cased (addresses
// apart), trimmed and with its "!important" taken off.
void DeclareText(std::string_view name, std::string_view raw, std::string_view path,
                 const WeightedStore& store) {
    std::string value(Trim(LowerCaseExceptUrls(raw)));
    const TWeight weight = StripImportant(value);
    Declare(name, value, path,
            [&](std::string_view n, std::string_view v) { store(n, v, weight); });
}

// Where a declaration's value ends: at a ";" or "}" outside its strings
// and outside the brackets and blocks it opens itself, so that
// 'rotation: "}"' or 'x: @a { y: "}" }' cannot end the rule.
class ValueScanner {
public:
    // Takes the next character; true when c ends the value (and is not
    // part of it).
    bool Ends(char c) {
        if (escaped_) {
            escaped_ = false;
        } else if (c == '\\') {
            escaped_ = true;
        } else if (quote_) {
            if (c == quote_) quote_ = 0;
        } else if (c == '"' || c == '\'') {
            quote_ = c;
        } else if (c == '{' || c == '(' || c == '[') {
            ++depth_;
            heldBlock_ |= c == '{';
        } else if (depth_ > 0 && (c == '}' || c == ')' || c == ']')) {
            --depth_;
        } else {
            return depth_ == 0 && (c == ';' || c == '}');
        }
        return false;
    }

    // A value with a block of its own is no value of any property.
    bool HeldBlock() const { return heldBlock_; }

private:
    char quote_ = 0;
    bool escaped_ = false;
    bool heldBlock_ = false;
    int depth_ = 0;
};

// The character source of a sheet: comments skipped, CR as space, one
// character of push-back.
class SheetReader {
public:
    SheetReader(const std::function<char()>& getChar, const std::function<char()>& peekChar)
        : getChar_(getChar), peekChar_(peekChar) {}

    static char Fold(char c) { return c == '\r' || c == '\n' || c == '\t' ? ' ' : c; }

    char Peek() { return hasPushBack_ ? pushBack_ : ended_ ? EofCh : Fold(peekChar_()); }

    char Get() {
        for (;;) {
            char c = Raw();
            if (c != '/') return c;
            char next = Raw();
            if (next != '*') {
                pushBack_ = next;
                hasPushBack_ = true;
                return c;
            }
            // A comment runs to "*/", or ends at "<" or the end so that it
            // cannot swallow </STYLE>.
            for (char prev = 0;; prev = c) {
                c = Raw();
                if (c == EofCh || c == '<') return c;
                if (prev == '*' && c == '/') break;
            }
        }
    }

private:
    char Raw() {
        if (hasPushBack_) {
            hasPushBack_ = false;
            return pushBack_;
        }
        if (ended_) return EofCh;
        char c = getChar_();
        if (c == EofCh) ended_ = true;
        return Fold(c);
    }

    const std::function<char()>& getChar_;
    const std::function<char()>& peekChar_;
    char pushBack_ = 0;
    bool hasPushBack_ = false;
    bool ended_ = false;
};

bool Ends(char c) {
    return c == EofCh || c == '<';
}

// The address of "@import url(x.css)" or "@import 'x.css'" (a media list may
// follow), or "" for any other at-rule.
std::string ImportAddress(std::string_view rule) {
    constexpr std::string_view keyword = "@import";
    if (rule.size() <= keyword.size() || !SameText(rule.substr(0, keyword.size()), keyword) ||
        IsNameChar(rule[keyword.size()]))
        return "";
    std::string_view rest = Trim(rule.substr(keyword.size()));
    if (rest.size() > 4 && SameText(rest.substr(0, 4), "url(")) {
        rest = rest.substr(4, rest.find(')') == std::string_view::npos ? std::string_view::npos
                                                                       : rest.find(')') - 4);
        return std::string(StripOuterQuotes(Trim(rest)));
    }
    if (!rest.empty() && (rest[0] == '"' || rest[0] == '\'')) {
        size_t close = rest.find(rest[0], 1);
        if (close != std::string_view::npos) return std::string(rest.substr(1, close - 1));
    }
    return "";
}

} // namespace

void ReadStyleSheet(TStyleList& styles, char& curChar, const std::function<char()>& getChar,
                    const std::function<char()>& peekChar, std::string_view path) {
    SheetReader in(getChar, peekChar);
    char ch = SheetReader::Fold(curChar);
    // The ">" of the tag, and "<!--" and "-->" before, between and after the
    // rules; a "<" that opens anything else (the </STYLE>) ends the sheet.
    auto skipBetweenRules = [&] {
        while (ch == ' ' || ch == '!' || ch == '-' || ch == '>' || (ch == '<' && in.Peek() == '!'))
            ch = in.Get();
    };
    skipBetweenRules();
    // Imports count only before the first rule, as their rules come first.
    bool rulesSeen = false;
    while (!Ends(ch)) {
        if (ch == '@') {
            std::string rule;
            while (!Ends(ch) && ch != ';' && ch != '{') {
                rule += ch;
                ch = in.Get();
            }
            if (ch == '{') rulesSeen = true;
            if (ch == ';' && !rulesSeen && styles.OnImport) {
                std::string address = ImportAddress(rule);
                if (!address.empty() && !path.empty())
                    address = ResolveUrl("url(" + address + ")", path);
                if (address.starts_with("url(")) address = address.substr(4, address.size() - 5);
                if (!address.empty()) styles.OnImport(address, path);
            }
            // The block is skipped whole, nested blocks included.
            for (int depth = 0; !Ends(ch);) {
                if (ch == '{') ++depth;
                if (ch == '}' && --depth == 0) break;
                if (depth == 0 && ch != '{') break;
                ch = in.Get();
            }
            if (ch == ';' || ch == '}') ch = in.Get();
        } else {
            rulesSeen = true;
            std::vector<std::string> selectors;
            std::string current;
            for (;;) {
                if (IsSelectorChar(ch)) {
                    current += ch;
                } else if (ch == ',') {
                    selectors.push_back(std::move(current));
                    current.clear();
                } else {
                    break;
                }
                ch = in.Get();
            }
            selectors.push_back(std::move(current));
            // A selector we cannot read (a combinator, an attribute test)
            // drops the rule set rather than widening it to its first part.
            const bool readable = ch == '{';
            std::vector<std::string> keys;
            for (const std::string& s : selectors) {
                std::string selector = LowerCase(Trim(s));
                if (readable && !selector.empty() && IsValidSelector(selector))
                    keys.push_back(styles.ContextualKey(selector));
            }
            while (!Ends(ch) && ch != '{')
                ch = in.Get();
            if (ch == '{') {
                styles.NewBlock();
                ch = in.Get();
                for (;;) {
                    while (!Ends(ch) && ch != '}' && !IsNameChar(ch))
                        ch = in.Get();
                    if (Ends(ch)) break;
                    if (ch == '}') {
                        ch = in.Get();
                        break;
                    }
                    std::string name;
                    while (IsNameChar(ch)) {
                        name += AsciiLower(ch);
                        ch = in.Get();
                    }
                    while (ch == ' ')
                        ch = in.Get();
                    if (ch != ':') continue;
                    std::string raw;
                    ValueScanner value;
                    ch = in.Get();
                    while (!Ends(ch) && !value.Ends(ch)) {
                        raw += ch;
                        ch = in.Get();
                    }
                    if (!value.HeldBlock())
                        DeclareText(name, raw, path,
                                    [&](std::string_view n, std::string_view v, TWeight weight) {
                                        for (const std::string& key : keys)
                                            styles.SetRuleProperty(key, n, v, weight);
                                    });
                    if (ch == ';') ch = in.Get();
                }
            }
        }
        skipBetweenRules();
    }
    curChar = AsciiUpper(ch);
}

void ReadStyleSheetText(TStyleList& styles, std::string_view text, std::string_view path) {
    size_t at = 0;
    std::function<char()> next = [&]() -> char { return at < text.size() ? text[at++] : EofCh; };
    std::function<char()> peek = [&]() -> char { return at < text.size() ? text[at] : EofCh; };
    // Every character goes through the sheet reader, so a sheet may start
    // with a comment or a line end. A "<" inside a linked sheet is no tag;
    // the sheet goes on after it.
    for (;;) {
        char ch = ' ';
        ReadStyleSheet(styles, ch, next, peek, path);
        if (ch == EofCh) break;
    }
}

void ReadPropertyText(std::string_view text, TProperties& props) {
    const std::string s = LowerCaseExceptUrls(text);
    auto store = [&props](std::string_view name, std::string_view value, TWeight weight) {
        StoreDeclaration(props, PropertyIndex(name), value, TBadColor::Black, weight);
    };
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ')
            ++i;
        size_t start = i;
        while (i < s.size() && IsNameChar(s[i]))
            ++i;
        std::string name = s.substr(start, i - start);
        while (i < s.size() && s[i] == ' ')
            ++i;
        if (!name.empty() && i < s.size() && s[i] == ':') {
            ValueScanner value;
            size_t end = ++i;
            while (end < s.size() && !value.Ends(s[end]))
                ++end;
            if (!value.HeldBlock()) DeclareText(name, s.substr(i, end - i), "", store);
            i = end;
        }
        if (i < s.size() && s[i] == ';') ++i;
        while (i < s.size() && !IsNameChar(s[i]))
            ++i;
    }
}

} // namespace lumo
