#include "html/style_sheet.h"

#include "address/address.h"
#include "html/parse_color.h"
#include "html/properties.h"
#include "html/style_list.h"
#include "platform/text.h"

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

bool IsFontSizeWord(std::string_view v) {
    for (std::string_view s : {"larger", "smaller", "xx-small", "x-small", "small", "medium",
                               "large", "x-large", "xx-large"})
        if (v == s) return true;
    return !v.empty() && v[0] >= '0' && v[0] <= '9';
}

using Store = std::function<void(std::string_view name, std::string_view value)>;

void JoinWord(std::string& words, std::string_view word) {
    if (!words.empty() && !word.starts_with(",")) words += ' ';
    words += word;
}

// Expands a shorthand into its properties; anything else is stored as it is.
void Declare(std::string_view name, std::string_view value, std::string_view path,
             const Store& store) {
    static constexpr std::string_view sides[] = {"-top", "-right", "-bottom", "-left"};
    if (name == "margin" || name == "padding" || name == "border-width") {
        std::vector<std::string> v = SplitValues(value, 4);
        if (v.empty()) return;
        // top, right, bottom, left from one to four values
        static constexpr int pick[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 1, 2, 1}, {0, 1, 2, 3}};
        std::string_view group = name == "border-width" ? "border" : name;
        for (int side = 0; side < 4; ++side) {
            std::string prop(group);
            prop += sides[side];
            if (name == "border-width") prop += "-width";
            store(prop, v[pick[v.size() - 1][side]]);
        }
    } else if (name == "border" || name == "border-top" || name == "border-right" ||
               name == "border-bottom" || name == "border-left") {
        for (const std::string& v : SplitValues(value, 7)) {
            if (IsColorValue(v))
                store("border-color", v);
            else if (IsBorderStyleWord(v))
                store(std::string(name) + "-style", v);
            else // "border" gives "border-width", itself a shorthand
                Declare(std::string(name) + "-width", v, path, store);
        }
    } else if (name == "font") {
        std::string family;
        for (const std::string& v : SplitValues(value, 7)) {
            if (v.starts_with("/")) {
                store("line-height", v.substr(1));
            } else if (v == "italic" || v == "oblique") {
                store("font-style", v);
            } else if (v == "normal" || v == "bolder" || v == "lighter" || v == "bold") {
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
        for (const std::string& v : SplitValues(value, 7))
            store(StartsWithUrl(v) ? "list-style-image" : "list-style-type", ResolveUrl(v, path));
    } else {
        store(name, ResolveUrl(value, path));
    }
}

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
    // The ">" of the tag and an enclosing "<!--"; a "<" that opens anything
    // else (the </STYLE> of an empty block) ends the sheet.
    while (ch == ' ' || ch == '!' || ch == '-' || ch == '>' || (ch == '<' && in.Peek() == '!'))
        ch = in.Get();
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
                    ch = in.Get();
                    while (!Ends(ch) && ch != ';' && ch != '}') {
                        raw += ch;
                        ch = in.Get();
                    }
                    std::string value(Trim(LowerCaseExceptUrls(raw)));
                    const TWeight weight = StripImportant(value);
                    Declare(name, StripOuterQuotes(value), path,
                            [&](std::string_view n, std::string_view v) {
                                for (const std::string& key : keys)
                                    styles.SetRuleProperty(key, n, v, weight);
                            });
                    if (ch == ';') ch = in.Get();
                }
            }
        }
        while (ch == ' ' || ch == '-' || ch == '>')
            ch = in.Get();
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
    TWeight weight = TWeight::Normal;
    auto store = [&props, &weight](std::string_view name, std::string_view value) {
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
            size_t end = s.find(';', ++i);
            if (end == std::string::npos) end = s.size();
            std::string value(Trim(std::string_view(s).substr(i, end - i)));
            weight = StripImportant(value);
            Declare(name, StripOuterQuotes(value), "", store);
            i = end;
        }
        if (i < s.size() && s[i] == ';') ++i;
        while (i < s.size() && !IsNameChar(s[i]))
            ++i;
    }
}

} // namespace lumo
