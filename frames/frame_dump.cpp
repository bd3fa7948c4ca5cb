#include "frames/frame_dump.h"

#include "builder/document_dump.h"
#include "frames/frame.h"
#include "frames/frame_browser.h"
#include "frames/page_frame_set.h"
#include "platform/qt_text.h"
#include "platform/text.h"
#include "viewer/html_viewer.h"

namespace lumo {

namespace {

class TFrameDumper {
public:
    explicit TFrameDumper(TFrameBrowser& browser) : browser_(browser) {}

    void Set(const TNestedFrameSet& set, int depth) {
        Line(depth, "frameset", set);
        out_ += set.Rows ? " rows " : " cols ";
        for (int i = 0; i < set.DimCount; ++i)
            out_ += (i ? "," : "") + DimensionText(set.DimSpecs[static_cast<size_t>(i)]);
        out_ += '\n';
        for (const TFrameTreePanel* child : set.Children) {
            if (const auto* frame = dynamic_cast<const TFrame*>(child))
                Frame(*frame, depth + 1);
            else if (const auto* nested = dynamic_cast<const TNestedFrameSet*>(child))
                Set(*nested, depth + 1);
        }
    }

    void Frame(const TFrame& frame, int depth) {
        frames_.push_back(&frame);
        Line(depth, "frame " + std::to_string(frames_.size()), frame);
        if (!frame.FrameName.empty()) out_ += " name " + QuotedBytes(frame.FrameName);
        if (!frame.Source.empty()) out_ += " source " + QuotedBytes(frame.Source);
        if (!frame.Viewer && !frame.SubFrameSet) out_ += " empty";
        out_ += '\n';
        if (frame.SubFrameSet) Set(*frame.SubFrameSet, depth + 1);
    }

    void Documents() {
        for (size_t i = 0; i < frames_.size(); ++i) {
            THTMLViewer* viewer = frames_[i]->Viewer;
            if (!viewer) continue;
            out_ += "--- frame " + std::to_string(i + 1) + '\n';
            Document(*viewer);
        }
    }

    void Document(THTMLViewer& viewer) {
        // The dump keeps the title's bytes as a Windows-1252 page holds them.
        const TLayoutResult result{viewer.DocHeight(), viewer.ScrollWidth(),
                                   FromQString(viewer.PageTitle())};
        out_ += DumpDocument(viewer.SectionList(), result);
    }

    std::string Take() { return std::move(out_); }

private:
    void Line(int depth, const std::string& what, const QWidget& panel) {
        const QPoint at = panel.mapTo(&browser_, QPoint(0, 0));
        out_ += std::string(static_cast<size_t>(depth) * 2, ' ') + what + " at " +
                std::to_string(at.x()) + ' ' + std::to_string(at.y()) + ' ' +
                std::to_string(panel.width()) + ' ' + std::to_string(panel.height());
    }

    TFrameBrowser& browser_;
    std::string out_;
    std::vector<const TFrame*> frames_;
};

} // namespace

std::string DumpFrameBrowser(TFrameBrowser& browser) {
    TPageFrameSet& page = *browser.ShownFrameSet();
    TFrameDumper dumper(browser);
    if (!page.IsFramePage) {
        if (THTMLViewer* viewer = page.SingleViewer()) dumper.Document(*viewer);
        return dumper.Take();
    }
    dumper.Set(page, 0);
    dumper.Documents();
    return dumper.Take();
}

} // namespace lumo
