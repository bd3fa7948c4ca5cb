// Headless printing: lumo --print-pdf OUT.pdf [--pages A-B] ADDRESS opens
// the address in the real window, waits until the page is shown and prints
// the active viewer into a PDF file through the printing code.
#pragma once

namespace lumo {

class THTTPForm;
struct TCommandLine;

// Returns the program's exit status: 0 when the file was written, 1 with a
// message on standard error otherwise (the page failed to load or timed
// out, had nothing to print or fewer pages than the range asked, or the file
// could not be written).
int PrintPdf(THTTPForm& form, const TCommandLine& line);

} // namespace lumo
