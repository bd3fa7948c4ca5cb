// The viewer's side of embedded panels: a widget for each panel the document
// takes in, filled by the host, freed when the panel goes, and kept over the
// panel's box as the view moves.
#include "layout/inline_panel.h"
#include "layout/section_list.h"
#include "platform/qt_canvas.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"
#include "viewer/panel_widget.h"

namespace lumo {

void THTMLViewer::MakePanel(TInlinePanel& object) {
    QPointer<TPanelWidget> panel = new TPanelWidget(panel_);
    panel->setObjectName(QString::fromLatin1(object.Name));
    panel->resize(object.BoxWidth, object.BoxHeight);
    panels_[&object] = panel;
    if (OnPanelCreate) OnPanelCreate(this, object.Name, object.Type, object.Source, panel);
    if (!panel) return; // the host freed it: the box keeps its size
    object.SetSize(panel->width(), panel->height());
    object.Color = FromQColor(panel->palette().color(panel->backgroundRole()));
    object.PrintAsBox = panel->PrintAsBox;
}

void THTMLViewer::FreePanel(TInlinePanel& object) {
    const auto it = panels_.find(&object);
    if (it == panels_.end()) return;
    const QPointer<TPanelWidget> panel = it->second;
    panels_.erase(it);
    if (panel && OnPanelDestroy) OnPanelDestroy(this, panel);
    if (!panel) return;
    // The panel's control may be running the handler that replaced the page.
    panel->hide();
    panel->deleteLater();
}

TPanelWidget* THTMLViewer::PanelOf(const TInlinePanel& object) const {
    const auto it = panels_.find(&object);
    return it == panels_.end() ? nullptr : it->second.data();
}

void THTMLViewer::PlacePanels() {
    const QRect view(0, 0, PanelWidth(), PanelHeight());
    for (const auto& [object, panel] : panels_) {
        if (!panel) continue;
        const QPoint at(object->LeftX - HScroll(), object->PaintTop - ScrollY());
        if (view.intersects(QRect(at, panel->size()))) {
            panel->move(at);
            panel->show();
        } else {
            panel->hide();
        }
    }
}

} // namespace lumo
