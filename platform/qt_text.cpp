#include "platform/qt_text.h"

#include "platform/ansi.h"
#include "platform/file_system.h"

#include <QFile>

namespace lumo {

QString ToQString(std::string_view ansi) {
    QString out;
    out.reserve(static_cast<qsizetype>(ansi.size()));
    for (char c : ansi)
        out += QChar(static_cast<char16_t>(AnsiToCodePoint(static_cast<unsigned char>(c))));
    return out;
}

std::string FromQString(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (auto it = text.cbegin(); it != text.cend(); ++it) {
        char32_t cp = it->unicode();
        if (it->isHighSurrogate() && it + 1 != text.cend() && (it + 1)->isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(*it, *(it + 1));
            ++it;
        }
        out += static_cast<char>(CodePointToAnsi(cp));
    }
    return out;
}

QString ToQFileName(std::string_view name) {
    return QFile::decodeName(QByteArray::fromStdString(NativePath(name).native()));
}

std::string FromQFileName(const QString& path) {
    return AnsiName(QFile::encodeName(path).toStdString());
}

} // namespace lumo
