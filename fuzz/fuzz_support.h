// Helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

namespace lumo::fuzz {

// A folder for the target's files: the one fuzz/run.sh gives (and removes),
// or a new one made once per process.
inline const std::string& WorkFolder() {
    static const std::string folder = [] {
        if (const char* given = std::getenv("LUMO_FUZZ_FILES"); given && *given)
            return std::string(given) + "/";
        std::string pattern = "/tmp/lumo-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        return pattern + "/";
    }();
    return folder;
}

inline void WriteFile(const std::string& name, const uint8_t* data, size_t size) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline std::string_view AsText(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace lumo::fuzz
