#include "platform/shell.h"

#include "platform/file_system.h"
#include "platform/qt_text.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace lumo {
namespace {

class DesktopShell : public Shell {
public:
    bool OpenAddress(const std::string& address) override {
        return QDesktopServices::openUrl(QUrl(ToQString(address)));
    }

    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override {
        QStringList arguments;
        for (const auto& a : args)
            arguments << ToQString(a);
        return QProcess::startDetached(ToQString(program), arguments);
    }

    void PlaySound(const std::string& fileName) override {
        for (const char* player : {"paplay", "aplay", "play"}) {
            const QString found = QStandardPaths::findExecutable(QString::fromLatin1(player));
            if (found.isEmpty()) continue;
            QProcess::startDetached(found, {QString::fromStdString(NativePath(fileName).string())});
            return;
        }
    }
};

DesktopShell desktopShell;
Shell* current = &desktopShell;

} // namespace

Shell& TheShell() {
    return *current;
}

Shell* SetShell(Shell* shell) {
    Shell* previous = current;
    current = shell ? shell : &desktopShell;
    return previous;
}

} // namespace lumo
