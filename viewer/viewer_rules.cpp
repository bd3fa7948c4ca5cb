#include "viewer/viewer_rules.h"

#include "address/address.h"
#include "net/content_kind.h"
#include "platform/file_system.h"
#include "platform/text.h"

#include <charconv>
#include <filesystem>
#include <vector>

namespace lumo {

namespace {

std::string WithSlashes(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

// "." and ".." segments resolved and repeated slashes folded; ".." never
// climbs above the root.
std::string NormalisePath(std::string_view path) {
    const bool absolute = !path.empty() && path[0] == '/';
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (!absolute)
                parts.push_back(part);
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out = absolute ? "/" : "";
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += '/';
        out += parts[i];
    }
    return out;
}

std::string FolderOf(std::string_view file) {
    const size_t slash = file.find_last_of("/\\");
    return slash == std::string_view::npos ? std::string() : std::string(file.substr(0, slash + 1));
}

} // namespace

std::string ServerRootPath(std::string_view root) {
    std::string path = WithSlashes(AddressToPath(Trim(root)));
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

namespace {

std::string ExpandedName(std::string_view name, std::string_view serverRoot,
                         std::string_view baseDir, std::string_view documentFile) {
    std::string path = ServerAddressToPath(name, serverRoot);
    if (path.starts_with("\\\\") || IsDrivePath(path)) return path;
    if (path.starts_with("\\") || path.starts_with("/")) return NormalisePath(WithSlashes(path));
    if (IsOtherScheme(path)) return path;
    std::string folder;
    if (baseDir == "DosPath") {
        std::error_code ec;
        folder = AnsiName(std::filesystem::current_path(ec)) + "/";
    } else if (!baseDir.empty()) {
        folder = AddressToPath(baseDir);
        if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
    } else {
        folder = FolderOf(documentFile);
    }
    // A folder of another kind (a drive or network name, an address) is
    // joined as text; a local one is resolved.
    if (folder.starts_with("\\\\") || IsDrivePath(folder) || IsOtherScheme(folder))
        return folder + path;
    return NormalisePath(WithSlashes(folder + path));
}

} // namespace

std::string ExpandLocalName(std::string_view name, std::string_view serverRoot,
                            std::string_view baseDir, std::string_view documentFile) {
    std::string path = ExpandedName(name, serverRoot, baseDir, documentFile);
    if (path.empty() || IsOtherScheme(path) || path.starts_with("\\\\") || IsDrivePath(path))
        return path; // kept as written
    // Written the one way a local name is, so that the name expanded again
    // (history, links) stays the same: a ":" or "#" left in it is a character
    // of a name, never a drive or an anchor. A NUL ends nothing: "a.txt%00.htm"
    // names no file at all. An escaped slash is a separator once decoded, so
    // the segments it makes ("%2F..") are resolved as any others.
    const std::filesystem::path native = NativePath(path);
    if (native.empty()) return std::string();
    return AnsiName(std::filesystem::path(NormalisePath(native.native())));
}

TLinkKind LinkKindOf(std::string_view fileName) {
    const size_t slash = fileName.find_last_of("/\\");
    const std::string_view last =
        slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const size_t dot = last.rfind('.');
    if (dot == std::string_view::npos) return TLinkKind::Other;
    const auto kind = KindOfExtension(LowerCase(last.substr(dot + 1)));
    return kind == ckHTML ? TLinkKind::Html : kind == ckImage ? TLinkKind::Image : TLinkKind::Other;
}

bool IsOtherScheme(std::string_view name) {
    // One letter before ":" is a drive.
    const size_t length = SchemeLength(name);
    return length >= 2 && !SameText(name.substr(0, length), "file");
}

void ParseMetaRefresh(std::string_view content, int& delay, std::string& url) {
    const std::string_view number = Trim(content.substr(0, content.find(';')));
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), delay);
    if (number.empty() || ec != std::errc() || end != number.data() + number.size()) delay = -1;
    if (delay == 0) delay = 1;
    const size_t at = LowerCase(content).find("url=");
    url = at == std::string::npos ? std::string() : std::string(Trim(content.substr(at + 4)));
}

bool IsWordChar(char c, TCodePage page) {
    const auto b = static_cast<unsigned char>(c);
    // Every byte of a UTF-8 character past ASCII, so a word keeps them whole.
    if (page == TCodePage::Utf8 && b >= 0x80) return true;
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b >= 192;
}

} // namespace lumo
