// The picture tools tests make their inputs with: gifsicle and ImageMagick's
// convert (Debian's, in /usr/bin), run in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <string>

namespace lumo::test {

inline QString ToolPath(const char* name) {
    return QStandardPaths::findExecutable(name, {"/usr/bin"});
}

// Runs the tool in folder; true when it ran and exited 0.
inline bool RunTool(const char* name, const QStringList& args, const std::string& folder) {
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(folder));
    process.start(ToolPath(name), args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << name << " did not finish";
        return false;
    }
    if (process.exitCode() != 0)
        ADD_FAILURE() << name << " " << args.join(' ').toStdString() << ": "
                      << process.readAllStandardError().toStdString();
    return process.exitCode() == 0;
}

} // namespace lumo::test

// Skips the test when the tool is not installed (scripts/install-deps.sh installs it).
#define LUMO_NEED_TOOL(name)                                                                       \
    do {                                                                                           \
        if (::lumo::test::ToolPath(name).isEmpty()) GTEST_SKIP() << name << " is not installed";   \
    } while (false)
