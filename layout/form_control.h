// Form controls (INPUT, SELECT, TEXTAREA) as the document keeps them: what
// the markup gave, the value the user has made of it, the box the control
// takes on its line, what it contributes to a submission, and its picture on
// a printed page. The viewer shows each one as a live widget that reads and
// writes the current value here, so submission, reset and printing never need
// a widget. Each visible control stands at one placeholder byte (2) of its
// section's text; hidden inputs stand nowhere.
#pragma once

#include "layout/inline_image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumo {

class TAttributeList;
class TSectionList;
class THtmlForm;
class TProperties;

enum class TControlKind : uint8_t {
    Edit,
    Password,
    File,
    Submit,
    Reset,
    Button,
    CheckBox,
    Radio,
    Hidden,
    Image,
    ListBox,
    Combo,
    TextArea,
};

// The kind of an INPUT of type (any case); an unknown type is a text edit.
TControlKind InputKind(std::string_view type);
// The kind's name in dumps ("edit", "checkbox", ...).
std::string_view ControlKindName(TControlKind kind);

struct TControlOption {
    std::string Text;
    std::string Value; // may be empty: the text is sent then
    bool Selected = false;
};

// The caption of a file input's button, which opens the file dialog.
inline constexpr std::string_view BrowseCaption = "Browse...";

// Numbers that size a control (SIZE, ROWS, COLS) count only in this range.
inline constexpr int MinControlCount = 1;
inline constexpr int MaxControlCount = 1000;

class TFormControl : public TInlineObject {
public:
    // A control of kind at position charPos (-1: none) of its section's text,
    // joining form.
    TFormControl(TSectionList& root, THtmlForm& form, TControlKind kind,
                 const TAttributeList& attributes, int charPos);
    // A copy for the print copy of the document: its current state, no form.
    TFormControl(TSectionList& root, const TFormControl& source);
    ~TFormControl() override;
    TFormControl(const TFormControl&) = delete;
    TFormControl& operator=(const TFormControl&) = delete;

    TSectionList* Root;
    THtmlForm* MyForm; // null in a print copy
    TControlKind Kind;
    std::string Name, Value, OnClickText;
    int Index = 0; // place among the document's controls, in document order

    // From the markup.
    int EditSize = 20;
    int MaxLength = 0; // 0: no limit
    int ListSize = -1; // -1: automatic
    int Rows = 5, Cols = 30;
    bool Multiple = false;
    bool WordWrap = false;
    bool Disabled = false;
    bool ReadOnly = false;
    bool IsChecked = false; // CHECKED: the initial state
    int CssWidth = 0, CssHeight = 0;
    std::string FontName; // the document's pre-formatted font, 10 points
    std::vector<TControlOption> Options;
    int Longest = 3;                  // longest option text
    std::vector<std::string> Initial; // a text area's initial lines
    TInlineImage* MyImage = nullptr;  // an image input's picture
    int BrowseWidth = 0;              // a file input's button, at the right of its box
    // visibility: hidden: the control keeps its room, shows nothing and
    // takes no focus; its value is still sent.
    bool Invisible = false;

    // The current state, as the user left it.
    std::string Text;               // edits and text areas (lines joined by CR LF)
    bool Checked = false;           // check boxes and radio buttons
    std::vector<char> Chosen;       // selects: one flag per option
    int ClickX = -1, ClickY = -1;   // an image input's click; -1 = not clicked
    int PendingX = 0, PendingY = 0; // the point over the image last looked up

    bool HasWidget() const { return Kind != TControlKind::Hidden && Kind != TControlKind::Image; }
    bool IsButton() const {
        return Kind == TControlKind::Submit || Kind == TControlKind::Reset ||
               Kind == TControlKind::Button;
    }
    bool IsSelect() const { return Kind == TControlKind::ListBox || Kind == TControlKind::Combo; }
    // A button's caption: VALUE, else the kind's own word.
    std::string Caption() const;
    // The text area's text, user line breaks as CR LF.
    std::string CurrentLines() const;
    // The lines a list box shows: ListSize, or max(1, min(8, options)).
    int VisibleLines() const;

    // The builder's calls.
    void AddOption(std::string text, std::string value, bool selected);
    void AddInitialLine(std::string line);
    // The style's width, height, vertical alignment and side margins (kept
    // as SpaceLeft and SpaceRight, in pixels).
    void ApplyStyle(const TProperties& props);

    // The box for the canvas's fonts; called before every layout.
    void SetSizes(Canvas& canvas);
    // Back to the value the markup gave.
    void ResetValue();
    // Appends what this control sends ("name=value", unencoded).
    void GetSubmission(std::vector<std::string>& results);
    // Draws a picture of the control in its current state at device (X, Y).
    void PrintPaint(Canvas& canvas, int X, int Y);
    // On screen the control's widget shows it; a page gets its picture.
    void Paint(Canvas& canvas, int X, int Y) override;

    void Dump(std::string& out, int depth) const;
};

} // namespace lumo
