#include "app/address_file.h"

#include "platform/file_system.h"

namespace lumo {

bool ReadAddressFile(const std::string& fileName, TAddressFile& file) {
    const auto text = ReadWholeFile(fileName, MaxAddressFileSize);
    if (!text) return false;
    std::vector<std::string> lines = SplitLines(*text);
    if (lines.size() >= 1) file.Proxy = lines[0];
    if (lines.size() >= 2) file.ProxyPort = lines[1];
    for (size_t i = 2; i < lines.size(); ++i)
        if (!lines[i].empty()) file.Addresses.push_back(std::move(lines[i]));
    return true;
}

bool WriteAddressFile(const std::string& fileName, const TAddressFile& file) {
    std::vector<std::string> lines{file.Proxy, file.ProxyPort};
    lines.insert(lines.end(), file.Addresses.begin(), file.Addresses.end());
    return WriteFileIfChanged(fileName, JoinLines(lines));
}

} // namespace lumo
