// The system print dialog, asked which pages to print.
#pragma once

#include "viewer/page_device.h"

#include <optional>

class QPrinter;
class QWidget;

namespace lumo {

enum class TPrintToFile { NotOffered, Offered };

// Shows the dialog for pages 1 to maxPage on printer; the pages asked for
// ("1,5" is pages 1 and 5, every page for the all-pages choice), or nothing
// when the user cancels. Printing to a file stays offered where no printer
// is installed, since it is then the only way to print.
std::optional<TPageSelection> ShowPrintDialog(QWidget* parent, QPrinter& printer, int maxPage,
                                              TPrintToFile toFile);

} // namespace lumo
