// Paged output: a private copy of a document is laid out for the width of a
// page body and cut into page-high slices where its paint pass says each
// page must end. Printing and the preview run this one algorithm; the
// slices are painted by the same paint code as the screen, on the device's
// canvas with a mapping from screen units to device pixels.
#pragma once

#include "viewer/page_device.h"

#include <functional>
#include <string>

namespace lumo {

class TSectionList;

enum class TPagingKind { Print, Preview };

// A page never passes this number, however the document pages.
inline constexpr int MaxPreviewPages = 9999;

struct TPagingJob {
    TPagingKind Kind = TPagingKind::Print;
    TPageSelection Pages; // the pages drawn when printing; a preview draws all
    TPrintMargins Margins;
    std::string Title; // UTF-8, as the page's title is shown
};

// Called per page: the canvas is mapped in screen units with its origin at
// the top left of the band (the header band is above the body, the footer
// band below it); W and H are the band's size. Setting stop ends the job
// after this page.
using TBandPainter = std::function<void(Canvas& canvas, int page, int W, int H, bool& stop)>;

struct TPagingHooks {
    TBandPainter Header;
    TBandPainter Footer;
    // With 0 before anything is done, 1 once the copy is laid out, then
    // after every page with its number.
    std::function<void(int page, bool& stop)> PageEvent;
};

// Runs a job over document, measuring text on measure (the reference device
// both printing and the preview lay out with); returns the number of the
// last page cut, 0 when the job stopped before the first or the document
// draws nothing on its one page. A print job that draws no page is aborted, so it leaves nothing
// behind. Raises EPrintError for margins that leave no room, and whatever the device raises; the
// job is aborted then.
int RunPaging(const TSectionList& document, Canvas& measure, TPageDevice& device,
              const TPagingJob& job, const TPagingHooks& hooks);

} // namespace lumo
