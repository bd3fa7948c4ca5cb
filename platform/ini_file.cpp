#include "platform/ini_file.h"

#include "platform/file_system.h"
#include "platform/text.h"

#include <algorithm>

namespace lumo {

namespace {
constexpr size_t npos = std::string::npos;

// CR and LF become spaces: a name or value never adds lines or sections to
// the file, and the rest of what the user gave is kept.
std::string OneLine(std::string_view text) {
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

// The trimmed key and value of an entry line; false for a line without "=".
bool SplitEntry(std::string_view line, std::string_view& key, std::string_view& value) {
    const size_t eq = line.find('=');
    if (eq == npos) return false;
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
    return true;
}

bool IsSectionHeader(std::string_view line) {
    const std::string_view t = Trim(line);
    return t.size() >= 2 && t.front() == '[' && t.back() == ']';
}
} // namespace

bool ParseIniInteger(std::string_view text, int& value) {
    return ParseInteger(text, value);
}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    if (auto text = ReadWholeFile(fileName_, MaxFileSize))
        lines_ = SplitLines(*text);
    else
        readable_ = !FileExists(fileName_);
}

size_t TIniFile::FindSection(std::string_view section) const {
    const std::string header = "[" + OneLine(section) + "]";
    for (size_t i = 0; i < lines_.size(); ++i)
        if (SameText(lines_[i], header)) return i;
    return npos;
}

size_t TIniFile::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && !IsSectionHeader(lines_[i]))
        ++i;
    return i;
}

size_t TIniFile::FindKey(size_t header, std::string_view keyText) const {
    const std::string key = OneLine(keyText);
    const size_t end = SectionEnd(header);
    std::string_view entryKey, value;
    for (size_t i = header + 1; i < end; ++i)
        if (SplitEntry(lines_[i], entryKey, value) && entryKey == key) return i;
    return npos;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    const size_t header = FindSection(section);
    if (header == npos) return std::string(defaultValue);
    const size_t line = FindKey(header, key);
    if (line == npos) return std::string(defaultValue);
    std::string_view entryKey, value;
    SplitEntry(lines_[line], entryKey, value);
    return std::string(value.empty() ? defaultValue : value);
}

std::vector<std::pair<std::string, std::string>>
TIniFile::ReadSectionValues(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    const size_t header = FindSection(section);
    if (header == npos) return entries;
    const size_t end = SectionEnd(header);
    std::string_view key, value;
    for (size_t i = header + 1; i < end; ++i)
        if (SplitEntry(lines_[i], key, value)) entries.emplace_back(key, value);
    return entries;
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    int value = 0;
    return ParseIniInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string entry = OneLine(key) + "=" + OneLine(value);
    const size_t header = FindSection(section);
    if (header == npos) {
        lines_.emplace_back();
        lines_.push_back("[" + OneLine(section) + "]");
        lines_.push_back(std::move(entry));
    } else if (const size_t line = FindKey(header, key); line != npos) {
        lines_[line] = std::move(entry);
    } else {
        const auto at = lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header));
        lines_.insert(at, std::move(entry));
    }
    changed_ = true;
    return updating_ > 0 || Save();
}

bool TIniFile::EndUpdate() {
    if (updating_ > 0 && --updating_ > 0) return true;
    return !changed_ || Save();
}

bool TIniFile::Save() {
    changed_ = false;
    return readable_ && WriteFileIfChanged(fileName_, JoinLines(lines_));
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

} // namespace lumo
