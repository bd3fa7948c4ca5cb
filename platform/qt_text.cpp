#include "platform/qt_text.h"

#include "platform/ansi.h"
#include "platform/file_system.h"
#include "platform/utf8.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <mutex>
#include <optional>
#include <string>

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

// A table for each code page, made when the page is first asked for: most
// runs meet no page but the default, and a page's table costs a converter.
template <class Table>
class TPerCodePage {
public:
    explicit TPerCodePage(Table (*make)(TCodePage)) : make_(make) {}
    const Table& operator[](TCodePage page) {
        const auto asked = static_cast<size_t>(page);
        const size_t index = asked < CodePageCount ? asked : 0;
        std::call_once(made_[index],
                       [&] { tables_[index] = make_(static_cast<TCodePage>(index)); });
        return tables_[index];
    }

private:
    Table (*make_)(TCodePage);
    std::array<std::once_flag, CodePageCount> made_;
    std::array<Table, CodePageCount> tables_{};
};

CharTable MakeTable(TCodePage page) {
    CharTable table;
    for (int b = 0; b < 256; ++b)
        table[size_t(b)] = static_cast<char16_t>(AnsiToCodePoint(static_cast<unsigned char>(b)));
    if (page == TCodePage::Windows1252) return table;
    QStringDecoder decoder(std::string(CodePageName(page)).c_str());
    if (!decoder.isValid()) return table;
    for (int b = 0; b < 256; ++b) {
        const char in = static_cast<char>(b);
        const QString decoded = decoder.decode(QByteArrayView(&in, 1));
        table[size_t(b)] = decoded.size() == 1 && decoded[0] != QChar::ReplacementCharacter
                               ? decoded[0].unicode()
                               : static_cast<char16_t>(b);
    }
    return table;
}

const CharTable& TableOf(TCodePage page) {
    static TPerCodePage<CharTable> tables(MakeTable);
    return tables[page];
}

// The code points of text, a surrogate pair as one.
template <class F>
void ForEachCodePoint(const QString& text, F&& f) {
    for (auto it = text.cbegin(); it != text.cend(); ++it) {
        char32_t cp = it->unicode();
        if (it->isHighSurrogate() && it + 1 != text.cend() && (it + 1)->isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(*it, *(it + 1));
            ++it;
        }
        f(cp);
    }
}

// The byte of a code point in a single-byte code page.
std::optional<char> ByteOf(char32_t cp, const CharTable& table) {
    if (cp > 0xFFFF) return std::nullopt;
    const auto* byte = std::find(table.begin(), table.end(), static_cast<char16_t>(cp));
    if (byte == table.end()) return std::nullopt;
    return static_cast<char>(byte - table.begin());
}

TLetterCases MakeLetterCases(TCodePage page) {
    const CharTable& table = TableOf(page);
    const auto inPage = [&table](char16_t c, int b) {
        const auto byte = ByteOf(c, table);
        return static_cast<unsigned char>(byte ? *byte : b);
    };
    TLetterCases cases;
    for (int b = 0; b < 256; ++b) {
        const QChar c(table[static_cast<size_t>(b)]);
        cases.Lower[static_cast<size_t>(b)] = inPage(c.toLower().unicode(), b);
        cases.Upper[static_cast<size_t>(b)] = inPage(c.toUpper().unicode(), b);
    }
    return cases;
}

} // namespace

const TLetterCases& LetterCasesOf(TCodePage page) {
    static TPerCodePage<TLetterCases> cases(MakeLetterCases);
    return cases[page];
}

char16_t CodePageChar(unsigned char byte, TCodePage page) {
    return TableOf(page)[byte];
}

QString DecodeText(std::string_view bytes, TCodePage page) {
    if (page == TCodePage::Utf8) {
        QString out;
        out.reserve(static_cast<qsizetype>(bytes.size()));
        for (size_t i = 0; i < bytes.size();) {
            const TUtf8Char c = DecodeUtf8Char(bytes, i);
            out += QChar::fromUcs4(c.CodePoint);
            i += static_cast<size_t>(c.Length);
        }
        return out;
    }
    const CharTable& table = TableOf(page);
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes)
        out += QChar(table[static_cast<unsigned char>(c)]);
    return out;
}

bool EncodeText(const QString& text, TCodePage page, std::string& bytes) {
    bytes.clear();
    if (page == TCodePage::Utf8) {
        bytes = text.toStdString();
        return true;
    }
    const CharTable& table = TableOf(page);
    bool whole = true;
    ForEachCodePoint(text, [&](char32_t cp) {
        const auto byte = ByteOf(cp, table);
        whole = whole && byte;
        if (byte) bytes += *byte;
    });
    return whole;
}

std::string EncodeFormText(const QString& text, TCodePage page) {
    if (page == TCodePage::Utf8) return text.toStdString();
    const CharTable& table = TableOf(page);
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    ForEachCodePoint(text, [&](char32_t cp) {
        if (const auto byte = ByteOf(cp, table))
            bytes += *byte;
        else
            bytes += "&#" + std::to_string(static_cast<uint32_t>(cp)) + ';';
    });
    return bytes;
}

QString FormText(std::string_view bytes, TCodePage page) {
    if (page == TCodePage::Utf8) return DecodeText(bytes, page);
    const CharTable& table = TableOf(page);
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes.compare(i, 2, "&#") == 0) {
            // At most seven digits: U+10FFFF is 1114111.
            size_t end = i + 2;
            char32_t cp = 0;
            while (end < bytes.size() && end < i + 9 && bytes[end] >= '0' && bytes[end] <= '9')
                cp = cp * 10 + static_cast<char32_t>(bytes[end++] - '0');
            const bool reference = end > i + 2 && end < bytes.size() && bytes[end] == ';' &&
                                   cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
            if (reference && !ByteOf(cp, table)) {
                out += QString::fromUcs4(&cp, 1);
                i = end;
                continue;
            }
        }
        out += QChar(table[static_cast<unsigned char>(bytes[i])]);
    }
    return out;
}

std::string FromQString(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    ForEachCodePoint(text, [&](char32_t cp) { out += static_cast<char>(CodePointToAnsi(cp)); });
    return out;
}

QString ToQFileName(std::string_view name) {
    return QFile::decodeName(QByteArray::fromStdString(NativePath(name).native()));
}

std::string FromQFileName(const QString& path) {
    return AnsiName(QFile::encodeName(path).toStdString());
}

} // namespace lumo
