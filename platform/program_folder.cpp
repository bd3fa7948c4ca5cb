#include "platform/program_folder.h"

#include "platform/file_system.h"
#include "platform/qt_text.h"

#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace lumo {

namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

} // namespace

std::string ProgramFolder() {
    if (const char* home = std::getenv("LUMO_HOME"); home && *home)
        return WithSlash(AnsiName(home));
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && ::access(exe.parent_path().c_str(), W_OK) == 0)
        return WithSlash(AnsiName(exe.parent_path()));
    // Without a folder of its own the program would lose every setting silently.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty()) return ec ? "./" : WithSlash(AnsiName(exe.parent_path()));
    const std::string folder = WithSlash(FromQFileName(data));
    ForceDirectories(folder);
    return folder;
}

std::string SettingsFilePath() {
    return ProgramFolder() + "lumo.ini";
}

} // namespace lumo
