// The help of the print settings: a window showing the built-in page that
// describes the templates, the macros and the date format.
#pragma once

class QWidget;

namespace lumo {

void ShowPrintHelp(QWidget* parent);

} // namespace lumo
