#include "net/file_connection.h"

#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/stream.h"
#include "platform/text.h"

namespace lumo {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Decodes "%XX" from left to right; decoding ends at the first "%" that is
// not followed by two hexadecimal digits.
std::string DecodePercent(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    for (; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size()) break;
        const int hi = HexValue(s[i + 1]), lo = HexValue(s[i + 2]);
        if (hi < 0 || lo < 0) break;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    out.append(s.substr(i)); // what follows a "%" that ended decoding stays as it is
    return out;
}

bool IsDriveForm(std::string_view s) {
    return s.size() >= 2 && ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z')) &&
           (s[1] == '|' || s[1] == ':') && (s.size() == 2 || s[2] == '/' || s[2] == '\\');
}

std::string RemoveText(std::string s, std::string_view what) {
    for (size_t at; (at = LowerCase(s).find(what)) != std::string::npos;)
        s.erase(at, what.size());
    return s;
}

} // namespace

std::optional<std::string> FileConnectionPath(std::string_view url) {
    std::string_view rest = url.substr(0, url.find('?'));
    rest = rest.substr(std::min<size_t>(7, rest.size())); // "file://"
    if (rest.size() > 1 && rest[0] == '/' && IsDriveForm(rest.substr(1))) rest.remove_prefix(1);
    std::string name = DecodePercent(rest);
    if (name.find('\0') != std::string::npos) return std::nullopt;
    if (name.find('/') != std::string::npos) {
        name = RemoveText(name, "file:///");
        name = RemoveText(name, "file://");
    }
    if (IsDriveForm(name)) name[1] = ':';
    return name;
}

ThtmlFileType FileKindOf(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || fileName.find('/', dot) != std::string_view::npos)
        return ckHTML;
    const std::string ext = LowerCase(fileName.substr(dot));
    if (ext == ".bmp" || ext == ".gif" || ext == ".jpg" || ext == ".jpeg" || ext == ".png")
        return ckImage;
    if (ext == ".txt") return ckText;
    return ckHTML;
}

void TFileConnection::Get(const std::string& url) {
    EnsureContentStream();
    const std::optional<std::string> name = FileConnectionPath(url);
    const std::optional<std::string> bytes =
        name ? ReadWholeFile(*name, MaxFileSize) : std::optional<std::string>();
    if (!bytes) {
        FireRequestDone(1);
        throw Exception("Cannot open file " + (name ? *name : std::string(url)));
    }
    if (auto* memory = dynamic_cast<TMemoryStream*>(contentStream_)) memory->Clear();
    contentStream_->Seek(0);
    contentStream_->Write(*bytes);
    contentKind_ = FileKindOf(*name);
    contentLength_ = contentStream_->Size();
    statusCode_ = 200;
    FireRequestDone(0);
}

} // namespace lumo
