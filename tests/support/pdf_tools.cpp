#include "tests/support/pdf_tools.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

namespace lumo::test {

namespace {

std::optional<std::string> Run(const QString& program, const QStringList& args) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return std::nullopt;
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return std::nullopt;
    return process.readAllStandardOutput().toStdString();
}

} // namespace

bool HasPdfTools() {
    for (const char* tool : {"pdfinfo", "pdftotext", "pdftoppm"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) return false;
    return true;
}

std::optional<PdfInfo> ReadPdfInfo(const std::string& file) {
    const auto out = Run("pdfinfo", {QString::fromStdString(file)});
    if (!out) return std::nullopt;
    PdfInfo info;
    const QString text = QString::fromStdString(*out);
    const auto pages =
        QRegularExpression(R"(^Pages:\s+(\d+))", QRegularExpression::MultilineOption).match(text);
    const auto size = QRegularExpression(R"(^Page size:\s+([\d.]+) x ([\d.]+) pts)",
                                         QRegularExpression::MultilineOption)
                          .match(text);
    const auto title =
        QRegularExpression(R"(^Title:\s+(.*)$)", QRegularExpression::MultilineOption).match(text);
    if (!pages.hasMatch() || !size.hasMatch()) return std::nullopt;
    info.Pages = pages.captured(1).toInt();
    info.Width = size.captured(1).toDouble();
    info.Height = size.captured(2).toDouble();
    if (title.hasMatch()) info.Title = title.captured(1).toStdString();
    return info;
}

std::vector<std::string> PdfPageTexts(const std::string& file) {
    const auto out = Run("pdftotext", {"-layout", QString::fromStdString(file), "-"});
    std::vector<std::string> pages;
    if (!out) return pages;
    size_t from = 0, feed;
    while ((feed = out->find('\f', from)) != std::string::npos) {
        pages.push_back(out->substr(from, feed - from));
        from = feed + 1;
    }
    return pages;
}

std::vector<PdfWord> PdfWords(const std::string& file) {
    const auto out = Run("pdftotext", {"-bbox", QString::fromStdString(file), "-"});
    std::vector<PdfWord> words;
    if (!out) return words;
    const QString html = QString::fromStdString(*out);
    static const QRegularExpression item(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    int page = 0;
    for (auto it = item.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith("<page")) {
            ++page;
            continue;
        }
        words.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(),
                         m.captured(3).toDouble(), m.captured(4).toDouble(),
                         m.captured(5).toStdString()});
    }
    return words;
}

QImage RenderPdfPage(const std::string& file, int page, int dpi) {
    QTemporaryDir folder;
    const QString prefix = folder.path() + "/page";
    const QString number = QString::number(page);
    if (!Run("pdftoppm", {"-r", QString::number(dpi), "-f", number, "-l", number, "-png",
                          "-singlefile", QString::fromStdString(file), prefix}))
        return {};
    return QImage(prefix + ".png");
}

} // namespace lumo::test
