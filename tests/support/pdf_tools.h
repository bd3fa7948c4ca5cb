// The poppler tools run on a PDF file a test wrote: its page count and
// size, its text as laid out, its words with their boxes, and a page
// rendered into a picture. Every reader gives nothing when the tool is
// missing, and the test then skips with a message.
#pragma once

#include <QImage>

#include <optional>
#include <string>
#include <vector>

namespace lumo::test {

// Whether pdfinfo, pdftotext and pdftoppm are installed.
bool HasPdfTools();

struct PdfInfo {
    int Pages = 0;
    double Width = 0, Height = 0; // of the first page, in points
    std::string Title;
};
std::optional<PdfInfo> ReadPdfInfo(const std::string& file);

// The text of each page as pdftotext -layout places it.
std::vector<std::string> PdfPageTexts(const std::string& file);

struct PdfWord {
    int Page = 0;                                  // from 1
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0; // points from the top left
    std::string Text;
};
// Every word of every page, as pdftotext -bbox finds them.
std::vector<PdfWord> PdfWords(const std::string& file);

// A page (from 1) rendered by pdftoppm at dpi; null when it failed.
QImage RenderPdfPage(const std::string& file, int page, int dpi);

} // namespace lumo::test
