// The program started as its own process, with its state files in a folder
// of the test's.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>
#include <utility>
#include <vector>

namespace lumo::test {

struct LumoRun {
    int exitCode;
    std::string output;
    std::string errors;
};

// Runs lumo with args; home (when not empty) is its folder for state files.
// env: variables to set, or with an empty value to remove. wrapper: a
// command that runs lumo, given after it with its arguments. A run longer
// than milliseconds is stopped.
inline LumoRun RunLumo(const std::string& home, const QStringList& args,
                       const std::vector<std::pair<QString, QString>>& env = {},
                       const QStringList& wrapper = {}, int milliseconds = 60000) {
    QProcess process;
    QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
    if (!home.empty()) all.insert("LUMO_HOME", QString::fromStdString(home));
    all.insert("QT_QPA_PLATFORM", "offscreen");
    for (const auto& [name, value] : env)
        if (value.isEmpty())
            all.remove(name);
        else
            all.insert(name, value);
    process.setProcessEnvironment(all);
    if (wrapper.isEmpty())
        process.start(LUMO_BINARY, args);
    else
        process.start(wrapper.front(), wrapper.mid(1) + QStringList{LUMO_BINARY} + args);
    if (!process.waitForFinished(milliseconds)) return {-1, "", "timed out"};
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace lumo::test
