#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lumo::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "lumo-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern + "/";
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void TempFolder::Write(std::string_view name, std::string_view bytes) const {
    const fs::path file = path_ + std::string(name);
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempFolder::Read(std::string_view name) const {
    std::ifstream in(path_ + std::string(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool TempFolder::Exists(std::string_view name) const {
    return fs::exists(path_ + std::string(name));
}

ScopedHome::ScopedHome(const std::string& folder) {
    const char* previous = std::getenv("LUMO_HOME");
    hadPrevious_ = previous != nullptr;
    if (previous) previous_ = previous;
    setenv("LUMO_HOME", folder.c_str(), 1);
}

ScopedHome::~ScopedHome() {
    if (hadPrevious_)
        setenv("LUMO_HOME", previous_.c_str(), 1);
    else
        unsetenv("LUMO_HOME");
}

} // namespace lumo::test
