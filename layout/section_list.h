// The root of a laid-out document: the cell that holds the body block, with
// everything the document shares (style sheet, names, links, maps, the
// selection and scroll position, the default look).
#pragma once

#include "html/style_list.h"
#include "html/viewer_base.h"
#include "layout/anchor_list.h"
#include "layout/background_image.h"
#include "layout/cell.h"
#include "layout/font_table.h"
#include "layout/form_control.h"
#include "layout/html_form.h"
#include "layout/image_map.h"
#include "layout/picture_source.h"

#include <functional>
#include <string>
#include <vector>

namespace lumo {

class TFontRun;
class TInlineImage;
class TInlinePanel;
class TSelectionCounter;
struct TFirstLineReport;

// A document takes in this many panels at most; further PANEL tags stand as
// boxes no host fills, so no page can make widgets without end.
inline constexpr size_t MaxPanels = 1000;

// The document's script handler: the viewer, the script's NAME and LANGUAGE,
// and its whole text.
using TScriptEvent = std::function<void(TViewerBase* sender, const std::string& name,
                                        const std::string& language, std::string script)>;

class TSectionList : public TCell {
public:
    // measure gives fonts their metrics while the document is built.
    explicit TSectionList(Canvas& measure);
    ~TSectionList() override;

    Canvas* Measure;
    // The viewer showing the document, the sender of the events its parse
    // raises; null for a document no viewer shows.
    TViewerBase* Viewer = nullptr;
    bool IsPrinting = false;
    bool ImagesOn = true;
    bool PrintBackgrounds = false;
    int ScrollY = 0; // document Y at the top of the view
    bool ScrollChanged = false;
    // Document Y where the page being painted ends: a paint moves it up to
    // the first line or break that must start the next page. PageHeight is
    // the height of a page body while printing. PageLinesBottomY is the
    // lowest bottom of the lines the paint kept on the page: below PageEndY
    // when a line painted early (one cell of a row) lies across an end that
    // a later line moved up.
    int PageEndY = 0;
    int PageLinesBottomY = 0;
    int PageHeight = 0;
    int SelStart = 0;
    int SelEnd = 0;
    // The caret bar (option htShowDummyCaret) is drawn at CaretPos.
    bool ShowDummyCaret = false;
    int CaretPos = 0;
    TColor BackColor = clNone;
    std::function<void(TSectionList&)> OnBackgroundChange;
    // Asks the paint panel to repaint (hover changes).
    std::function<void()> InvalidatePanel;

    // The default look, handed to the style system at each SetDefaults and
    // Reset. A page's OLINK turns HoverLinks on.
    TDefaultLook Defaults;
    // The code page the page declares for its text (copies and finds use it).
    TCodePage CodePage = TCodePage::Windows1252;
    // The letter pairs of a single-byte CodePage, given by the host from its
    // codecs: finds fold with them and text-transform changes case with them.
    // Unset, Windows-1252's. A hook of the host, so Reset keeps it.
    const TLetterCases& (*LetterCasesOf)(TCodePage) = nullptr;

    // The fonts of the text runs, each kept once.
    TFontTable Fonts;
    TFontRun* HoverLink = nullptr;
    // The roll-over image (ACTIVE) the mouse is over.
    TInlineImage* HoverImage = nullptr;
    std::vector<TFontRun*> LinkList; // every link font run, in document order
    TFreeList<TImageMap> MapList;
    // The link last found on a picture whose link is made at the point hit
    // (a map area, a server map's coordinates).
    TUrlTarget ImageLink;
    // The document's pictures and the image objects waiting for theirs.
    TPictureSource Pictures;
    // The page's background picture (BODY's BACKGROUND or background-image),
    // tiled by the viewer behind everything.
    TBackgroundImage BackImage{*this};
    // The image objects whose animated GIF plays; OnAnimationStart tells
    // the viewer when one starts, so it can run its timer.
    std::vector<TInlineImage*> AnimatedImages;
    std::function<void()> OnAnimationStart;
    TAnchorList IDs;
    // The document's forms, and every form control in document order.
    TFreeList<THtmlForm> Forms;
    TFreeList<TFormControl> FormControls;
    // A submission the viewer delivers once the click that made it is handled.
    std::function<void(TFormSubmission submission)> OnFormSubmit;
    // The panels taken in, in document order (their sections own them). The
    // viewer makes a panel's widget in OnPanelCreate, which may set the box's
    // size, and lets it go in OnPanelDestroy when the panel goes.
    std::vector<TInlinePanel*> Panels;
    std::function<void(TInlinePanel& panel)> OnPanelCreate;
    std::function<void(TInlinePanel& panel)> OnPanelDestroy;
    std::vector<TSectionBase*> PositionList;
    TStyleList StyleSheet;
    // Where the first text line laid out reports to the list item being
    // laid out; null outside list items.
    TFirstLineReport* FirstLineHook = nullptr;
    // Where CopySelection puts the selected text, and the X from which
    // copied lines count their indent.
    TSelectionCounter* TextSink = nullptr;
    int CopyIndentBase = 0;

    // Host hooks of the builder (any may be unset).
    TScriptEvent OnScript;
    // Turns a style sheet's address into its text; false when it cannot.
    std::function<bool(const std::string& address, std::string& text)> OnStyleSheetRequest;
    // Makes a relative address absolute for the document.
    std::function<std::string(const std::string& name)> OnExpandName;

    // Lays the document out for width; returns its height. ScrollWidth grows
    // to the widest line or object. On screen the animated pictures play
    // again from their first frame.
    int LayOutCell(Canvas& canvas, int Y, int width, int height, int& ScrollWidth, int& Cursor);
    // Paints what meets clip (device coordinates: document Y minus ScrollY,
    // document X plus X).
    int PaintCell(Canvas& canvas, const TRect& clip, int width, int X, int Y);
    // Paints a page of the print copy as PaintCell does, the page ending at
    // pageEnd (document Y) or above it; returns where it ends.
    int PaintPage(Canvas& canvas, const TRect& clip, int width, int X, int pageEnd);

    void Reset();
    // Makes this document the print copy of source: the same items, laid
    // out on their own for the printer.
    void CopyForPrinting(const TSectionList& source);
    void SetScrollY(int value);
    // A font size below 6 points becomes 6.
    void SetDefaults(const TDefaultLook& look);
    void SetBackColor(TColor color);
    // Fetches the page's background picture, once the page says where it is.
    void LoadBackBitmap() { BackImage.Load(); }
    // The item of the position list at Y: the one whose top is the nearest
    // at or above Y (the later in the document of equals), or null.
    TSectionBase* ItemAtY(int Y) const;
    // The index in PositionList of that item, or -1. Tops are not in
    // document order (placed blocks, negative margins), so this searches an
    // index sorted by top, made at each layout.
    int PositionIndexAtY(int Y) const;
    // The link (and its font run as HoverLink) under a document point.
    bool LinkAtPoint(Canvas& canvas, int X, int Y, const TUrlTarget*& target,
                     TFormControl*& control);
    // The mouse is over object (null: over no image); a roll-over image
    // that changes look asks for a repaint.
    void SetHoverImage(TInlineImage* object);
    // The selected text, line breaks as CR LF, at most maxChars characters.
    std::string GetSelectedText(int maxChars = 1 << 24);
    // The selection as a copy to the clipboard takes it (at most 32499
    // characters); empty without a selection.
    std::string ClipboardText();
    // The Y of the line holding a source position, for IDs met in the markup.
    int YOfSourcePosition(int sourcePos);

    // The form that controls outside any FORM join, made on first need.
    THtmlForm& ImplicitForm();
    // Takes a control into FormControls, numbering it in document order.
    TFormControl& AddFormControl(std::unique_ptr<TFormControl> control);
    // Submits control's form, with control's "name=value" last when it is a
    // named submit button. Nothing happens without OnFormSubmit.
    void SubmitForm(TFormControl& control);
    // Takes a panel the builder made into Panels and raises OnPanelCreate,
    // while there are fewer than MaxPanels.
    void AddPanel(TInlinePanel& panel);

    // The text dump of the laid-out tree.
    std::string DumpLayout() const;

    // Counts the layouts, so measurements can be kept for one pass.
    int LayoutPass = 0;

    // True while Reset frees the items, so they skip the per-item cleanup
    // of lists that are cleared whole.
    bool Resetting = false;

private:
    int PaintDocument(Canvas& canvas, const TRect& clip, int width, int X, int Y);
    void SortPositionsByTop();
    void RestartAnimations();

    THtmlForm* implicitForm_ = nullptr;
    // PositionList's indices by TopY.
    std::vector<int> positionsByTop_;
};

} // namespace lumo
