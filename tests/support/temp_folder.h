// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace lumo::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, ending in "/".
    const std::string& Path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + std::string(name); }

    void Write(std::string_view name, std::string_view bytes) const;
    std::string Read(std::string_view name) const; // empty when missing
    bool Exists(std::string_view name) const;

private:
    std::string path_;
};

// Sets LUMO_HOME for the life of the object.
class ScopedHome {
public:
    explicit ScopedHome(const std::string& folder);
    ~ScopedHome();

private:
    std::string previous_;
    bool hadPrevious_;
};

} // namespace lumo::test
