// "urls.txt": the proxy host on line 1, the proxy port on line 2, then the
// addresses the address box remembers, one per line.
#pragma once

#include <string>
#include <vector>

namespace lumo {

struct TAddressFile {
    std::string Proxy; // empty: direct connections
    std::string ProxyPort = "80";
    std::vector<std::string> Addresses;
};

inline constexpr size_t MaxAddressFileSize = 4 * 1024 * 1024;

// Reads the file into file. A missing or unreadable file changes nothing and
// gives false; lines the file lacks keep their values.
bool ReadAddressFile(const std::string& fileName, TAddressFile& file);

bool WriteAddressFile(const std::string& fileName, const TAddressFile& file);

} // namespace lumo
