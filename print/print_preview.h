// The print preview: the active viewer's document rendered into page
// pictures exactly as printing would make them, shown one or two at a time
// with zoom levels, a zoom tool and a hand tool, an optional inch or
// centimetre grid, page navigation, and printing of a range of its pages.
#pragma once

#include "print/preview_layout.h"
#include "viewer/html_viewer.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QPainter;
class QPrinter;
class QScrollArea;
class QToolButton;

namespace lumo {

class TPageRecorder;

class TPrintPreview : public QDialog {
public:
    enum class TTool { Zoom, Hand };

    // viewer and printer must outlive the window or be gone before it acts
    // on them; the viewer is held (no loads) while the window lives.
    TPrintPreview(QWidget* owner, THTMLViewer& viewer, QPrinter& printer);
    ~TPrintPreview() override;

    // Renders the pages through the status window; false when the user
    // cancelled, and then the window is not to be shown. Raises what the
    // job raises.
    bool Render();

    TPageRecorder& Recorder() { return *recorder_; }
    int CurrentPage() const { return currentPage_; } // from 0
    const TPreviewLayout& Layout() const { return layout_; }
    bool ShowsTwoPages() const { return twoPages_; }

    void ShowPage(int index);
    void OnePageClick();
    void TwoPageClick();
    void FitPageClick();
    void FitWidthClick();
    void ZoomBoxChange(int entry);
    void FirstPageClick();
    void PrevPageClick();
    void NextPageClick();
    void LastPageClick();
    void GoPageClick();
    void PrintClick();
    void SelectTool(TTool tool);
    // A press of the zoom or hand tool on a page panel (0: the first).
    void PanelMousePress(int panel, QPoint point, Qt::MouseButton button);
    void PanelMouseMove(QPoint globalPoint);
    void PanelMouseRelease();
    void PaintPanel(int panel, QPainter& painter);

    // Dialogs, replaceable by tests: the page to go to (from 1), and the
    // pages to print.
    std::function<std::optional<int>(int current, int count)> ChoosePage;
    std::function<std::optional<TPageSelection>(QPrinter& printer, int count)> ChoosePrintPages;

    QToolButton *OnePageButton, *TwoPageButton, *FitPageButton, *FitWidthButton;
    QToolButton *GridButton, *ZoomToolButton, *HandToolButton;
    QToolButton *FirstPageButton, *PrevPageButton, *NextPageButton, *LastPageButton;
    QToolButton *GoPageButton, *PrintButton, *CloseButton;
    QComboBox *ZoomBox, *UnitsBox;
    QLabel *ZoomLabel, *PageLabel, *HintLabel;
    QScrollArea* ScrollBox;
    QWidget* Container;
    QWidget* FirstPanel;
    QWidget* SecondPanel;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CreateToolbar();
    void CreatePageArea();
    void LayOut();
    void LayOutTwice();
    void SetEntry(TZoomEntry entry);
    void UpdateButtons();
    void DrawGrid(QPainter& painter);

    QPointer<THTMLViewer> viewer_;
    THTMLViewer::TPrintHold hold_;
    QPrinter& printer_;
    std::unique_ptr<TPageRecorder> recorder_;
    TPreviewLayout layout_;
    TZoomEntry entry_ = TZoomEntry::FitToPage;
    double customFactor_ = 1.0;
    bool twoPages_ = false;
    int currentPage_ = 0;
    TTool tool_ = TTool::Zoom;
    bool dragging_ = false;
    QPoint dragFrom_;
};

} // namespace lumo
