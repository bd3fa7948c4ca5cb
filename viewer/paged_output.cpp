#include "viewer/paged_output.h"

#include "layout/section_list.h"
#include "platform/color_names.h"
#include "platform/measure_only_canvas.h"
#include "platform/message_loop.h"

#include <algorithm>
#include <memory>

namespace lumo {

namespace {

// Paint passes tried for one page before its end is left as the first
// pass put it.
constexpr int MaxEndPasses = 50;

class TPager {
public:
    TPager(Canvas& measure, TPageDevice& device, const TPagingJob& job, const TPagingHooks& hooks)
        : measure_(measure), device_(device), job_(job), hooks_(hooks), skipped_(measure) {}
    ~TPager() {
        // Whatever ended the job early, the device lets go of it.
        if (begun_) device_.Abort();
    }
    TPager(const TPager&) = delete;
    TPager& operator=(const TPager&) = delete;

    int Run(const TSectionList& document) {
        device_.BeginDoc(job_.Title);
        begun_ = true;
        metrics_ = device_.Metrics();
        geometry_ = ComputePageGeometry(metrics_, job_.Margins);
        MakeCopy(document);
        LayOutCopy();
        MakeClips();
        ProcessMessages();
        Announce(1);
        int lastPage = 0;
        for (int page = 1; !stop_ && page <= LastPageAsked(); ++page) {
            const TSlice slice = SettleSlice();
            // A document that puts nothing on its only page has nothing to
            // print: no sheet with only a header and a footer.
            if (page == 1 && slice.End >= docHeight_ && !skipped_.Marked()) break;
            const bool draw = job_.Kind == TPagingKind::Preview || job_.Pages.Contains(page);
            PaintPage(page, slice, draw);
            lastPage = page;
            ProcessMessages();
            Announce(page);
            // A document that fits its last page exactly ends there, without
            // a page of nothing but its header and footer.
            if (pageTop_ >= docHeight_) stop_ = true;
        }
        begun_ = false;
        if (drawn_ == 0)
            device_.Abort();
        else
            device_.EndDoc();
        return lastPage;
    }

private:
    int LastPageAsked() const {
        return job_.Kind == TPagingKind::Preview ? MaxPreviewPages
                                                 : std::min(job_.Pages.Last(), MaxPreviewPages);
    }

    void Announce(int page) {
        if (hooks_.PageEvent) hooks_.PageEvent(page, stop_);
    }

    void MakeCopy(const TSectionList& document) {
        copy_ = std::make_unique<TSectionList>(measure_);
        copy_->CopyForPrinting(document);
        copy_->SetScrollY(0);
        copy_->SetBackColor(clWhite);
    }

    void LayOutCopy() {
        copy_->PageHeight = geometry_.Height;
        int scrollWidth = 0, cursor = 0;
        docHeight_ =
            copy_->LayOutCell(measure_, 0, geometry_.Width, geometry_.Height, scrollWidth, cursor);
    }

    void MakeClips() {
        const TPageGeometry& g = geometry_;
        bodyClip_ = {0, g.TopMargin - 1, g.LeftMargin + g.BodyWidth + 2,
                     g.TopMargin + g.BodyHeight + 2};
        pageClip_ = {0, 0, metrics_.PrintableWidth, metrics_.PrintableHeight};
        // A recorded page holds nothing outside the printable page, where a
        // printer could not have put it either.
        if (job_.Kind == TPagingKind::Preview) {
            bodyClip_.Right = std::min(bodyClip_.Right, pageClip_.Right);
            bodyClip_.Bottom = std::min(bodyClip_.Bottom, pageClip_.Bottom);
            bodyClip_.Top = std::max(bodyClip_.Top, 0);
        }
    }

    void MapScreenToDevice(Canvas& canvas, int originY) {
        canvas.SetMapping(0, originY, ScreenPixelsPerInch, ScreenPixelsPerInch, metrics_.LogX,
                          metrics_.LogY);
    }

    // A paint pass started with the page end at PaintFrom ends the page at End.
    struct TSlice {
        int PaintFrom = 0;
        int End = 0;
    };

    // Draws the page from pageTop_ when asked, and moves pageTop_ to where
    // the next page starts.
    void PaintPage(int page, const TSlice& slice, bool draw) {
        if (draw) {
            if (drawn_++ > 0) device_.NewPage();
            Canvas& canvas = device_.PageCanvas();
            PaintSlice(canvas, slice.PaintFrom);
            FinishPage(canvas, page, slice.End);
        }
        // A page end that does not pass the page top (an item taller than
        // the page that will not split) would page for ever.
        pageTop_ = slice.End > pageTop_ ? slice.End : pageTop_ + geometry_.Height;
    }

    // The pass moves the page end up to the first line that must start the
    // next page, but a line painted before (in an earlier cell of a row, or
    // beside a float) may lie across an end a later line moved. The pass
    // then runs again from the new end, until no line kept on the page
    // reaches below it. Side-by-side lines with no common gap in the lower
    // half of the page keep the first pass's end, which cuts one of them.
    TSlice SettleSlice() {
        const int full = pageTop_ + geometry_.Height;
        const int first = PaintSlice(skipped_, full);
        int from = full, end = first;
        for (int pass = 1; copy_->PageLinesBottomY > end; ++pass) {
            if (pass == MaxEndPasses || end <= pageTop_ + geometry_.Height / 2)
                return {full, first};
            from = end;
            end = PaintSlice(skipped_, from);
        }
        return {from, end};
    }

    // One paint pass over the page from pageTop_, the page ending at from
    // at the latest; returns where the pass ended it.
    int PaintSlice(Canvas& canvas, int from) {
        const TPageGeometry& g = geometry_;
        skipped_.ClearMarks();
        copy_->SetScrollY(pageTop_ - g.Top);
        MapScreenToDevice(canvas, 0);
        canvas.SetDeviceClip(&bodyClip_);
        const TRect body{g.Left, g.Top, g.Left + g.Width, g.Top + g.Height};
        return copy_->PaintPage(canvas, body, g.Width, g.Left, from);
    }

    // Blanks what the paint pass left outside the slice and draws the bands.
    void FinishPage(Canvas& canvas, int page, int end) {
        const TPageGeometry& g = geometry_;
        canvas.SaveState();
        canvas.SetDeviceClip(job_.Kind == TPagingKind::Preview ? &pageClip_ : nullptr);
        canvas.SetPen(clWhite, 1, PenStyle::Solid);
        canvas.SetBrush(clWhite, BrushStyle::Solid);
        canvas.FillRect({g.Left, 0, g.Left + g.Width + 1, g.Top});
        // The lines from the page end on belong to the next page.
        canvas.FillRect({g.Left, end - pageTop_ + g.Top, g.Left + g.Width + 1, g.Top + g.Height});
        canvas.SetTextAlign(HAlign::Left, VAlign::Top);
        if (hooks_.Header) hooks_.Header(canvas, page, g.PageWidth, g.Top, stop_);
        if (hooks_.Footer) {
            MapScreenToDevice(canvas, MulDiv(g.Top + g.Height, metrics_.LogY, ScreenPixelsPerInch));
            hooks_.Footer(canvas, page, g.PageWidth, g.PageHeight - (g.Top + g.Height), stop_);
        }
        canvas.RestoreState();
    }

    Canvas& measure_;
    TPageDevice& device_;
    const TPagingJob& job_;
    const TPagingHooks& hooks_;
    MeasureOnlyCanvas skipped_;
    TPageMetrics metrics_;
    TPageGeometry geometry_;
    std::unique_ptr<TSectionList> copy_;
    TRect bodyClip_, pageClip_;
    int docHeight_ = 0;
    int pageTop_ = 0;
    int drawn_ = 0;
    bool stop_ = false;
    bool begun_ = false;
};

} // namespace

int RunPaging(const TSectionList& document, Canvas& measure, TPageDevice& device,
              const TPagingJob& job, const TPagingHooks& hooks) {
    TPager pager(measure, device, job, hooks);
    return pager.Run(document);
}

} // namespace lumo
