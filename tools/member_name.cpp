#include "tools/member_name.h"

#include "platform/ansi.h"
#include "tools/zip_directory.h"

namespace lumo {
namespace {

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// '*' and '?' never match "/", so a pattern's parts line up with the
// path's parts. Backtracking to the last '*' only is enough: an earlier '*'
// cannot reach past the "/" that a later part begins after.
bool MatchWildcard(std::string_view pattern, std::string_view text) {
    size_t p = 0, t = 0;
    size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '?' && text[t] != '/') {
            ++p;
            ++t;
            while (t < text.size() && IsContinuationByte(text[t]))
                ++t;
        } else if (p < pattern.size() && pattern[p] != '*' && pattern[p] != '?' &&
                   FoldAscii(pattern[p]) == FoldAscii(text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (starP != std::string_view::npos && text[starT] != '/') {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// The whole path, and with recurse each tail of it that begins a part.
bool MatchesPattern(std::string_view pattern, std::string_view path, TRecurse recurse) {
    for (size_t from = 0;;) {
        if (MatchWildcard(pattern, path.substr(from))) return true;
        if (recurse == TRecurse::No) return false;
        from = path.find('/', from);
        if (from == std::string_view::npos) return false;
        ++from;
    }
}

} // namespace

std::string MemberNameUtf8(const TZipEntry& entry) {
    std::string name = entry.Utf8Name() ? ValidUtf8(entry.RawName) : Cp437ToUtf8(entry.RawName);
    for (char& c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F)
            c = '_';
        else if (c == '\\')
            c = '/';
    }
    return name;
}

std::optional<std::string> SafeRelativePath(std::string_view name) {
    const bool absolute = !name.empty() && name[0] == '/';
    const bool drive = name.size() >= 2 && name[1] == ':' &&
                       ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
    if (absolute || drive) return std::nullopt;
    std::string path;
    for (size_t start = 0; start <= name.size();) {
        size_t end = name.find('/', start);
        if (end == std::string_view::npos) end = name.size();
        const std::string_view part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") return std::nullopt;
        if (!path.empty()) path += '/';
        path += part;
    }
    return path;
}

bool MatchesSpecs(const std::vector<std::string>& specs, std::string_view path, TRecurse recurse) {
    for (std::string pattern : specs) {
        for (char& c : pattern)
            if (c == '\\') c = '/';
        if (MatchesPattern(pattern, path, recurse)) return true;
        // "*.*" and "NAME.*" take names without an extension too.
        if (pattern.ends_with(".*") &&
            MatchesPattern(std::string_view(pattern).substr(0, pattern.size() - 2), path, recurse))
            return true;
    }
    return false;
}

std::vector<std::string> SplitSpecs(std::string_view text) {
    std::vector<std::string> specs;
    std::string current;
    bool quoted = false, any = false;
    const auto finish = [&] {
        if (any) specs.push_back(current);
        current.clear();
        any = false;
    };
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            finish();
        } else {
            current += c;
            any = true;
        }
    }
    finish();
    std::erase(specs, std::string());
    if (specs.empty()) specs.push_back("*.*");
    return specs;
}

} // namespace lumo
