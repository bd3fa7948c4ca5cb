#include "print/print_dialog.h"

#include <QPageRanges>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <utility>
#include <vector>

namespace lumo {

std::optional<TPageSelection> ShowPrintDialog(QWidget* parent, QPrinter& printer, int maxPage,
                                              TPrintToFile toFile) {
    QPrintDialog dialog(&printer, parent);
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintPageRange;
    if (toFile == TPrintToFile::Offered || QPrinterInfo::availablePrinters().isEmpty())
        options |= QAbstractPrintDialog::PrintToFile;
    dialog.setOptions(options);
    dialog.setMinMax(1, maxPage);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    std::vector<std::pair<int, int>> ranges;
    for (const QPageRanges::Range& r : printer.pageRanges().toRangeList())
        ranges.emplace_back(r.from, r.to);
    if (dialog.printRange() != QAbstractPrintDialog::PageRange) return TPageSelection(1, maxPage);
    if (ranges.empty()) ranges.emplace_back(dialog.fromPage(), dialog.toPage());
    return TPageSelection(std::move(ranges));
}

} // namespace lumo
