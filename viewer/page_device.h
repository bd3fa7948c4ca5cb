// What the paging code prints on: a page device (the printer, or the
// preview's page recorder), its metrics, the pages a job asks for, and the
// geometry of a page worked out from the print margins.
//
// Device values are in the device's pixels; screen values in document
// pixels (ScreenPixelsPerInch to the inch), which the page mapping scales to
// the device.
#pragma once

#include "platform/canvas.h"
#include "platform/exception.h"

#include <string>
#include <vector>

namespace lumo {

// A print job that cannot run: margins that leave no room, a printer that
// cannot be used, a file that cannot be written.
class EPrintError : public Exception {
public:
    using Exception::Exception;
};

struct TPageMetrics {
    int LogX = ScreenPixelsPerInch; // pixels per inch across
    int LogY = ScreenPixelsPerInch; // and down
    int PhysicalWidth = 0;          // the sheet
    int PhysicalHeight = 0;
    int OffsetX = 0; // of the printable area on the sheet
    int OffsetY = 0;
    int PrintableWidth = 0;
    int PrintableHeight = 0;
};

// The printer or the page recorder. Pages are produced in order: BeginDoc,
// drawing on PageCanvas, NewPage before each further page, then EndDoc, or
// Abort to drop the job.
class TPageDevice {
public:
    virtual ~TPageDevice() = default;
    virtual TPageMetrics Metrics() const = 0;
    // The job's title is UTF-8.
    virtual void BeginDoc(const std::string& title) = 0;
    // The canvas of the current page, in device pixels from the top left of
    // the printable area.
    virtual Canvas& PageCanvas() = 0;
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;
    virtual void Abort() = 0;
};

// Print margins in centimetres.
struct TPrintMargins {
    double Left = 2.0, Right = 2.0, Top = 2.0, Bottom = 2.0;
};

// The page body and bands of one job.
struct TPageGeometry {
    // Device pixels, from the top left of the printable area.
    int LeftMargin = 0, TopMargin = 0, BodyWidth = 0, BodyHeight = 0;
    // Screen units: the body rectangle and the printable page.
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int PageWidth = 0, PageHeight = 0;
};

// Raises EPrintError when a margin is negative or not a number, or when the
// margins leave less than an inch across or down for the body.
TPageGeometry ComputePageGeometry(const TPageMetrics& metrics, const TPrintMargins& margins);

// value * numerator / denominator, rounded to the nearest integer.
int MulDiv(int value, int numerator, int denominator);

// The pages a print job asks for: ranges of page numbers from 1, in order.
class TPageSelection {
public:
    static constexpr int AllPages = 9999;

    TPageSelection() : TPageSelection(1, AllPages) {}
    TPageSelection(int from, int to);
    // Ranges such as those of "1,5,7-9"; empty or backward ones are dropped.
    explicit TPageSelection(std::vector<std::pair<int, int>> ranges);

    bool Contains(int page) const;
    int First() const; // 0 when nothing is asked for
    int Last() const;

private:
    std::vector<std::pair<int, int>> ranges_;
};

} // namespace lumo
