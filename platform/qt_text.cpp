#include "platform/qt_text.h"

#include "platform/ansi.h"
#include "platform/file_system.h"

#include <QFile>
#include <QStringDecoder>

#include <array>

namespace lumo {

QString ToQString(std::string_view ansi) {
    QString out;
    out.reserve(static_cast<qsizetype>(ansi.size()));
    for (char c : ansi)
        out += QChar(static_cast<char16_t>(AnsiToCodePoint(static_cast<unsigned char>(c))));
    return out;
}

namespace {

constexpr size_t CodePageCount = static_cast<size_t>(TCodePage::Koi8R) + 1;
using CharTable = std::array<char16_t, 256>;

CharTable MakeTable(TCodePage page) {
    CharTable table;
    QStringDecoder decoder(std::string(CodePageName(page)).c_str());
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        char16_t c = static_cast<char16_t>(AnsiToCodePoint(byte));
        if (page != TCodePage::Windows1252 && decoder.isValid()) {
            const char in = static_cast<char>(byte);
            const QString decoded = decoder.decode(QByteArrayView(&in, 1));
            c = decoded.size() == 1 && decoded[0] != QChar::ReplacementCharacter
                    ? decoded[0].unicode()
                    : static_cast<char16_t>(byte);
        }
        table[byte] = c;
    }
    return table;
}

const CharTable& TableOf(TCodePage page) {
    static const std::array<CharTable, CodePageCount> tables = [] {
        std::array<CharTable, CodePageCount> all;
        for (size_t i = 0; i < CodePageCount; ++i)
            all[i] = MakeTable(static_cast<TCodePage>(i));
        return all;
    }();
    const auto index = static_cast<size_t>(page);
    return tables[index < CodePageCount ? index : 0];
}

} // namespace

char16_t CodePageChar(unsigned char byte, TCodePage page) {
    return TableOf(page)[byte];
}

QString DecodeText(std::string_view bytes, TCodePage page) {
    const CharTable& table = TableOf(page);
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes)
        out += QChar(table[static_cast<unsigned char>(c)]);
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
