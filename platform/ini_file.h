// Settings files in the Windows INI format, kept as a list of lines so that
// everything a user or another program wrote survives a rewrite untouched.
//
// A section is the line "[name]" (name compared without regard to case, no
// blanks around the line); it ends at the next line that, trimmed, begins with
// "[" and ends with "]". An entry is "key=value": the key is the trimmed text
// before the first "=" and compared exactly, the value the trimmed text after it.
// CR and LF in a section name, key or value are written as spaces.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumo {

class TIniFile {
public:
    // Loads the file when it exists; a missing file is empty. A file that
    // exists but is not read (larger than MaxFileSize, or unreadable) reads
    // as empty too, and is never saved over: what it holds would be lost.
    explicit TIniFile(std::string fileName);

    // False when the file exists but could not be read: writes then change
    // only what this object holds and return false.
    bool Readable() const { return readable_; }

    // An entry that is missing or has an empty value reads as the default.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Decimal, or hexadecimal after "0x"; anything unreadable gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // Read as an integer; non-zero is true.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    // Every entry line of the section in file order, as key and value.
    std::vector<std::pair<std::string, std::string>>
    ReadSectionValues(std::string_view section) const;

    // Each write saves the whole file; false when it could not be written.
    // Between BeginUpdate and EndUpdate writes only change the lines, and
    // EndUpdate saves them once (false when that failed).
    void BeginUpdate() { ++updating_; }
    bool EndUpdate();
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, int value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);

    const std::string& FileName() const { return fileName_; }
    const std::vector<std::string>& Lines() const { return lines_; }

    // Settings files larger than this are not read.
    static constexpr size_t MaxFileSize = 4 * 1024 * 1024;

private:
    // Index of the section's header line, or npos.
    size_t FindSection(std::string_view section) const;
    // Index of the line that ends the section starting after header (a header or the end).
    size_t SectionEnd(size_t header) const;
    // Index of the entry line of key inside the section, or npos.
    size_t FindKey(size_t header, std::string_view key) const;

    bool Save();

    std::string fileName_;
    std::vector<std::string> lines_;
    bool readable_ = true;
    int updating_ = 0;
    bool changed_ = false;
};

// Parses an INI integer: decimal, or hexadecimal when longer than two
// characters and starting with "0x" or "0X". False when unreadable or out of range.
bool ParseIniInteger(std::string_view text, int& value);

} // namespace lumo
