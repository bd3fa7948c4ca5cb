#include "platform/program_folder.h"

#include "platform/file_system.h"
#include "platform/qt_text.h"

#include <QStandardPaths>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo {

namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

fs::path ExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

// PREFIX/share/lumo/ for an executable in PREFIX/bin/.
fs::path InstallDataFolder(fs::path exeFolder) {
    if (!exeFolder.has_filename()) exeFolder = exeFolder.parent_path(); // a final "/"
    return exeFolder.parent_path() / "share" / "lumo";
}

TFolderFacts FactsOfThisProcess() {
    TFolderFacts facts;
    if (const char* home = std::getenv("LUMO_HOME"); home && *home) facts.Home = AnsiName(home);
    if (const fs::path exe = ExecutableFolder(); !exe.empty()) {
        facts.ExeFolder = WithSlash(AnsiName(exe));
        facts.ExeFolderWritable = ::access(exe.c_str(), W_OK) == 0;
        struct stat status {};
        facts.ExeFolderOwned = ::stat(exe.c_str(), &status) == 0 && status.st_uid == ::geteuid();
        std::error_code ec;
        facts.Installed = fs::is_directory(InstallDataFolder(exe), ec);
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!data.isEmpty()) facts.DataFolder = WithSlash(FromQFileName(data));
    return facts;
}

} // namespace

bool IsSystemFolder(std::string_view folder) {
    static constexpr std::array<std::string_view, 13> system = {
        "/bin/", "/boot/", "/etc/",  "/lib/", "/lib32/", "/lib64/", "/libx32/",
        "/opt/", "/sbin/", "/snap/", "/srv/", "/usr/",   "/var/"};
    const std::string within = WithSlash(std::string(folder));
    if (within == "/") return true;
    for (std::string_view root : system)
        if (within.compare(0, root.size(), root) == 0) return true;
    return false;
}

std::string ChooseProgramFolder(const TFolderFacts& facts) {
    if (!facts.Home.empty()) return WithSlash(facts.Home);
    const bool own = !facts.ExeFolder.empty() && facts.ExeFolderWritable && facts.ExeFolderOwned &&
                     !facts.Installed && !IsSystemFolder(facts.ExeFolder);
    if (own) return WithSlash(facts.ExeFolder);
    // Without a folder of its own the program would lose every setting silently.
    if (!facts.DataFolder.empty()) return WithSlash(facts.DataFolder);
    return facts.ExeFolder.empty() ? "./" : WithSlash(facts.ExeFolder);
}

std::string ProgramFolder() {
    const TFolderFacts facts = FactsOfThisProcess();
    const std::string folder = ChooseProgramFolder(facts);
    if (facts.Home.empty() && !facts.DataFolder.empty() && folder == WithSlash(facts.DataFolder))
        ForceDirectories(folder);
    return folder;
}

std::string SettingsFilePath() {
    return ProgramFolder() + "lumo.ini";
}

std::string ShippedLanguagesFolder(std::string_view exeFolder) {
    if (exeFolder.empty()) return {};
    const fs::path languages = InstallDataFolder(NativePath(exeFolder)) / "languages";
    std::error_code ec;
    return fs::is_directory(languages, ec) ? WithSlash(AnsiName(languages)) : std::string();
}

std::string LanguageFilesFolder() {
    const std::string shipped = ShippedLanguagesFolder(AnsiName(ExecutableFolder()));
    return shipped.empty() ? ProgramFolder() : shipped;
}

} // namespace lumo
