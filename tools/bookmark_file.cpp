#include "tools/bookmark_file.h"

#include "platform/file_system.h"
#include "platform/text.h"

#include <algorithm>
#include <filesystem>

namespace lumo {

namespace {

bool BreaksLine(char c) {
    return c == '\r' || c == '\n' || c == '\t';
}

// "%3D" or "%25" (either case) at position i.
bool EscapeAt(std::string_view text, size_t i) {
    if (i + 2 >= text.size() || text[i] != '%') return false;
    const char a = text[i + 1], b = AsciiUpper(text[i + 2]);
    return (a == '3' && b == 'D') || (a == '2' && b == '5');
}

std::string EncodeName(std::string_view name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '=')
            out += "%3D";
        else if (EscapeAt(name, i))
            out += "%25";
        else
            out += name[i];
    }
    return out;
}

std::string DecodeName(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (EscapeAt(text, i)) {
            out += text[i + 1] == '3' ? '=' : '%';
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

void FormatLevel(const TBookmarkList& nodes, int level, std::string& out) {
    for (const TBookmarkNode& node : nodes) {
        out.append(static_cast<size_t>(level), '\t');
        out += TextOfBookmark(node);
        out += "\r\n";
        FormatLevel(node.Children, level + 1, out);
    }
}

std::string InvalidLevel(size_t level, std::string_view text) {
    return "Invalid level (" + std::to_string(level) + ") for item \"" + std::string(text) + "\"";
}

} // namespace

std::string CleanBookmarkName(std::string_view name) {
    std::string out(name);
    std::replace_if(out.begin(), out.end(), BreaksLine, ' ');
    return std::string(Trim(out));
}

std::string CleanBookmarkAddress(std::string_view address) {
    std::string out(address);
    out.erase(std::remove_if(out.begin(), out.end(), BreaksLine), out.end());
    return std::string(Trim(out));
}

TBookmarkNode BookmarkOfText(std::string_view text) {
    TBookmarkNode node;
    const size_t eq = text.find('=');
    if (eq == std::string_view::npos) {
        node.Name = CleanBookmarkName(DecodeName(text));
        return node;
    }
    node.Kind = TBookmarkKind::Bookmark;
    node.Name = CleanBookmarkName(DecodeName(text.substr(0, eq)));
    node.Address = CleanBookmarkAddress(text.substr(eq + 1));
    return node;
}

std::string TextOfBookmark(const TBookmarkNode& node) {
    std::string text = EncodeName(CleanBookmarkName(node.Name));
    if (node.Kind == TBookmarkKind::Bookmark) text += "=" + CleanBookmarkAddress(node.Address);
    return text;
}

TBookmarkParse ParseBookmarks(std::string_view text) {
    TBookmarkParse result;
    // lists[d] receives the nodes of depth d; lists[d + 1] is the children
    // of the last node added at depth d.
    std::vector<TBookmarkList*> lists{&result.Nodes};
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);

        const size_t indent = std::min(line.find_first_not_of("\t "), line.size());
        const std::string_view rest = line.substr(indent);
        if (Trim(rest).empty()) continue;
        const int deepest = std::min(static_cast<int>(lists.size()) - 1, MaxBookmarkDepth);
        int level = static_cast<int>(std::min<size_t>(indent, MaxBookmarkDepth + 1));
        if (level > deepest) {
            if (result.Error.empty()) result.Error = InvalidLevel(indent, rest);
            level = deepest;
        }
        TBookmarkList& list = *lists[static_cast<size_t>(level)];
        list.push_back(BookmarkOfText(rest));
        lists.resize(static_cast<size_t>(level) + 1);
        lists.push_back(&list.back().Children);
    }
    return result;
}

std::string FormatBookmarks(const TBookmarkList& nodes) {
    std::string out;
    FormatLevel(nodes, 0, out);
    return out;
}

int BookmarkHeight(const TBookmarkNode& node) {
    int height = 0;
    for (const TBookmarkNode& child : node.Children)
        height = std::max(height, BookmarkHeight(child) + 1);
    return height;
}

TBookmarkFileLoad LoadBookmarkFile(const std::string& fileName) {
    TBookmarkFileLoad load;
    if (!FileExists(fileName)) return load;
    const std::optional<std::string> text = ReadWholeFile(fileName, MaxBookmarkFileSize);
    if (!text) {
        load.Status = TBookmarkLoad::Unreadable;
        load.Replaceable = false;
        load.Message = "The bookmark file " + fileName +
                       " cannot be read (it may be larger than 8 MB). It is left as it is, "
                       "and bookmarks added in this session are not saved.";
        return load;
    }
    TBookmarkParse parse = ParseBookmarks(*text);
    load.Nodes = std::move(parse.Nodes);
    if (parse.Error.empty()) {
        load.Status = TBookmarkLoad::Loaded;
        return load;
    }
    // Saving rewrites the file without the bad lines' original places, so
    // the file as it was is kept beside it.
    load.Status = TBookmarkLoad::Repaired;
    const std::string backup = fileName + ".bak";
    load.Message = parse.Error + "\n\nThe bookmarks were loaded as well as they could be";
    if (WriteFileAtomically(backup, *text)) {
        load.Message += "; the file as it was is kept as " + backup + ".";
    } else {
        load.Replaceable = false;
        load.Message += ". No copy of the file could be kept as " + backup +
                        ", so it is left as it is, and bookmarks added in this session are not "
                        "saved.";
    }
    return load;
}

bool SaveBookmarkFile(const std::string& fileName, const TBookmarkList& nodes) {
    ForceDirectories(AnsiName(NativePath(fileName).parent_path()));
    return WriteFileIfChanged(fileName, FormatBookmarks(nodes));
}

} // namespace lumo
