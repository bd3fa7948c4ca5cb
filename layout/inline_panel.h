// Embedded panels (PANEL): a box in the text that the viewer's host fills
// with a control of its own. The engine keeps the box and where it was laid
// out; the viewer makes the panel's widget when the document takes the panel
// in (TSectionList::AddPanel), gives the box the widget's size, and keeps
// the widget over the box. Each panel stands at one placeholder byte (4) of
// its section's text.
#pragma once

#include "layout/inline_object.h"

#include <string>

namespace lumo {

class TAttributeList;
class TSectionList;

// The box of a panel without WIDTH or HEIGHT.
inline constexpr int DefaultPanelWidth = 30;
inline constexpr int DefaultPanelHeight = 20;

class TInlinePanel : public TInlineObject {
public:
    // A PANEL tag at position charPos of its section's text.
    TInlinePanel(TSectionList& root, const TAttributeList& attributes, int charPos);
    // A copy for the print copy of the document: the box and its look.
    TInlinePanel(TSectionList& root, const TInlinePanel& source);
    // A panel the document took in tells the root's OnPanelDestroy.
    ~TInlinePanel() override;
    TInlinePanel(const TInlinePanel&) = delete;
    TInlinePanel& operator=(const TInlinePanel&) = delete;

    TSectionList* Root;
    std::string Name, Type, Source, AltText; // NAME, TYPE, SRC and ALT
    // How a printed page shows the panel: a box in Color with a black
    // outline and the ALT text; nothing when PrintAsBox is off.
    TColor Color = 0xFFFFFF;
    bool PrintAsBox = true;
    // The document took the panel in (the viewer has a widget for it).
    bool TakenIn = false;

    // The box's size, bounded as every object's.
    void SetSize(int64_t width, int64_t height);
    // Only a printed page draws the panel; on screen its widget shows it.
    void Paint(Canvas& canvas, int X, int Y) override;
    void Dump(std::string& out, int depth) const;
};

} // namespace lumo
