#include "layout/form_control.h"

#include "html/attributes.h"
#include "html/properties.h"
#include "layout/font_run.h"
#include "layout/html_form.h"
#include "layout/section_list.h"
#include "platform/color_names.h"
#include "platform/text.h"

#include <algorithm>
#include <charconv>

namespace lumo {

namespace {

struct TKindName {
    TControlKind Kind;
    std::string_view Type; // INPUT's TYPE, "" for kinds no TYPE gives
    std::string_view Name;
};

constexpr TKindName KindNames[] = {
    {TControlKind::Edit, "text", "edit"},
    {TControlKind::Password, "password", "password"},
    {TControlKind::File, "file", "file"},
    {TControlKind::Submit, "submit", "submit"},
    {TControlKind::Reset, "reset", "reset"},
    {TControlKind::Button, "button", "button"},
    {TControlKind::CheckBox, "checkbox", "checkbox"},
    {TControlKind::Radio, "radio", "radio"},
    {TControlKind::Hidden, "hidden", "hidden"},
    {TControlKind::Image, "image", "image"},
    {TControlKind::ListBox, "", "listbox"},
    {TControlKind::Combo, "", "combo"},
    {TControlKind::TextArea, "", "textarea"},
};

constexpr int PointSize = 10;
constexpr TColor ShadowColor = 0x808080;
constexpr TColor LightColor = 0xC0C0C0;

// A count attribute (SIZE, ROWS, COLS): its number when it is one inside
// the allowed range, else fallback. A SIZE may read "20,1": the part before
// the first space or comma counts.
int CountAttribute(const TAttributeList& attributes, TokenKind which, int fallback) {
    const TAttribute* a = attributes.Find(which);
    if (!a) return fallback;
    std::string_view text = Trim(a->Name);
    text = text.substr(0, text.find_first_of(" ,"));
    int n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return fallback;
    return n >= MinControlCount && n <= MaxControlCount ? n : fallback;
}

int MaxLengthAttribute(const TAttributeList& attributes) {
    const TAttribute* a = attributes.Find(MaxLengthTok);
    return a && a->Value > 0 ? a->Value : 0;
}

void Bevel(Canvas& canvas, const TRect& r, bool raised) {
    const bool mono = canvas.IsMonochrome();
    canvas.SetPen(clBlack, 1, PenStyle::Solid);
    canvas.SetBrush(clWhite, BrushStyle::Solid);
    canvas.FillRect(r);
    if (mono) {
        canvas.SetBrush(clWhite, BrushStyle::Clear);
        canvas.Rectangle(r);
        return;
    }
    const TColor topLeft = raised ? LightColor : ShadowColor;
    const TColor bottomRight = raised ? ShadowColor : LightColor;
    for (int i = 0; i < 2; ++i) {
        canvas.SetPen(topLeft, 1, PenStyle::Solid);
        canvas.MoveTo(r.Left + i, r.Bottom - 1 - i);
        canvas.LineTo(r.Left + i, r.Top + i);
        canvas.LineTo(r.Right - 1 - i, r.Top + i);
        canvas.SetPen(bottomRight, 1, PenStyle::Solid);
        canvas.LineTo(r.Right - 1 - i, r.Bottom - 1 - i);
        canvas.LineTo(r.Left + i, r.Bottom - 1 - i);
    }
}

// Text drawn from x, vertically centred in r and clipped to it.
void BoxText(Canvas& canvas, const TRect& r, int x, std::string_view text) {
    canvas.SaveState();
    canvas.IntersectClipRect({r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2});
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextColor(clBlack);
    const int h = canvas.GetTextMetrics().Height;
    canvas.TextOut(x, r.Top + (r.Bottom - r.Top - h) / 2, text);
    canvas.RestoreState();
}

// A raised box with the caption in its middle.
void ButtonPicture(Canvas& canvas, const TRect& r, std::string_view caption) {
    Bevel(canvas, r, true);
    BoxText(canvas, r, r.Left + (r.Right - r.Left - canvas.TextWidth(caption)) / 2, caption);
}

// Lines of text from (x, y) down, one text height apart, in a sunken box and
// clipped to it; lines below the box are not drawn.
void BoxLines(Canvas& canvas, const TRect& r, int x, int y,
              const std::vector<std::string_view>& lines) {
    Bevel(canvas, r, false);
    canvas.SaveState();
    canvas.IntersectClipRect({r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2});
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextColor(clBlack);
    const int h = canvas.GetTextMetrics().Height;
    for (size_t i = 0; i < lines.size() && y < r.Bottom; ++i, y += h)
        canvas.TextOut(x, y, lines[i]);
    canvas.RestoreState();
}

} // namespace

TControlKind InputKind(std::string_view type) {
    for (const TKindName& k : KindNames)
        if (!k.Type.empty() && SameText(type, k.Type)) return k.Kind;
    return TControlKind::Edit;
}

std::string_view ControlKindName(TControlKind kind) {
    for (const TKindName& k : KindNames)
        if (k.Kind == kind) return k.Name;
    return "edit";
}

TFormControl::TFormControl(TSectionList& root, THtmlForm& form, TControlKind kind,
                           const TAttributeList& attributes, int charPos)
    : Root(&root), MyForm(&form), Kind(kind) {
    CharPos = charPos;
    AlignCode = kind == TControlKind::CheckBox || kind == TControlKind::Radio
                    ? TAlignCode::Bottom
                    : TAlignCode::Baseline;
    Name = attributes.Text(NameTok);
    Value = attributes.Text(ValueTok);
    OnClickText = attributes.Text(OnClickTok);
    Disabled = attributes.Find(DisabledTok) != nullptr;
    ReadOnly = attributes.Find(ReadOnlyTok) != nullptr;
    IsChecked = attributes.Find(CheckedTok) != nullptr;
    FontName = root.Defaults.PreFontName;
    switch (kind) {
    case TControlKind::Edit:
    case TControlKind::Password:
    case TControlKind::File:
        EditSize = CountAttribute(attributes, SizeTok, 20);
        MaxLength = MaxLengthAttribute(attributes);
        break;
    case TControlKind::CheckBox:
        if (!attributes.Find(ValueTok)) Value = "on";
        break;
    case TControlKind::ListBox:
    case TControlKind::Combo:
        Multiple = attributes.Find(MultipleTok) != nullptr;
        ListSize = CountAttribute(attributes, SizeTok, -1);
        break;
    case TControlKind::TextArea: {
        Rows = CountAttribute(attributes, RowsTok, 5);
        Cols = CountAttribute(attributes, ColsTok, 30);
        const std::string wrap = attributes.Text(WrapTok);
        WordWrap = SameText(wrap, "soft") || SameText(wrap, "hard");
        break;
    }
    default: break;
    }
    ResetValue();
}

TFormControl::TFormControl(TSectionList& root, const TFormControl& source)
    : TInlineObject(source), Root(&root), MyForm(nullptr), Kind(source.Kind), Name(source.Name),
      Value(source.Value), Index(source.Index), EditSize(source.EditSize),
      MaxLength(source.MaxLength), ListSize(source.ListSize), Rows(source.Rows), Cols(source.Cols),
      Multiple(source.Multiple), WordWrap(source.WordWrap), Disabled(source.Disabled),
      ReadOnly(source.ReadOnly), IsChecked(source.IsChecked), CssWidth(source.CssWidth),
      CssHeight(source.CssHeight), FontName(source.FontName), Options(source.Options),
      Longest(source.Longest), Initial(source.Initial), BrowseWidth(source.BrowseWidth),
      Text(source.Text), Checked(source.Checked), Chosen(source.Chosen) {}

TFormControl::~TFormControl() = default;

std::string TFormControl::Caption() const {
    if (!Value.empty()) return Value;
    switch (Kind) {
    case TControlKind::Submit: return "Submit";
    case TControlKind::Reset: return "Reset";
    default: return "Button";
    }
}

std::string TFormControl::CurrentLines() const {
    return Text;
}

int TFormControl::VisibleLines() const {
    if (ListSize > 0) return ListSize;
    return std::max(1, std::min(8, static_cast<int>(Options.size())));
}

void TFormControl::AddOption(std::string text, std::string value, bool selected) {
    Longest = std::max(Longest, static_cast<int>(text.size()));
    Options.push_back({std::move(text), std::move(value), selected});
}

void TFormControl::AddInitialLine(std::string line) {
    Initial.push_back(std::move(line));
}

void TFormControl::ApplyStyle(const TProperties& props) {
    // Percentages need a width the control does not know here: they count 0.
    auto pixels = [&](int index) {
        const std::optional<TStyleLength> length = StyleLength(props, index);
        return length && !length->Percent ? length->Value : 0;
    };
    CssWidth = pixels(Prop::Width);
    CssHeight = pixels(Prop::Height);
    TakeStylePlacement(props);
    Invisible = props.GetVisibility() == viHidden;
}

void TFormControl::SetSizes(Canvas& canvas) {
    FontSpec font;
    font.Name = FontName;
    font.Size = PointSize;
    UseFont(canvas, font);
    const int charWidth = canvas.TextWidth("A");
    const int lineHeight = canvas.GetTextMetrics().Height;
    const auto css = [](int wanted, int computed) { return wanted >= 10 ? wanted : computed; };
    switch (Kind) {
    case TControlKind::Edit:
    case TControlKind::Password:
        BoxWidth = css(CssWidth, charWidth * EditSize + 5);
        BoxHeight = std::max(lineHeight + 8, CssHeight);
        break;
    case TControlKind::File:
        // The edit box as for text, with its button beside it.
        BrowseWidth = canvas.TextWidth(BrowseCaption) + 20;
        BoxWidth = css(CssWidth, charWidth * EditSize + 5) + BrowseWidth;
        BoxHeight = std::max(lineHeight + 8, CssHeight);
        break;
    case TControlKind::Submit:
    case TControlKind::Reset:
    case TControlKind::Button:
        BoxWidth = css(CssWidth, canvas.TextWidth(Caption()) + 20);
        BoxHeight = std::max(lineHeight + 8, CssHeight);
        break;
    case TControlKind::CheckBox: BoxWidth = BoxHeight = 13; break;
    case TControlKind::Radio:
        BoxWidth = 13;
        BoxHeight = 14;
        break;
    case TControlKind::ListBox:
        BoxWidth = css(CssWidth, charWidth * Longest + 15) + 4;
        BoxHeight = css(CssHeight, lineHeight * VisibleLines()) + 4;
        break;
    case TControlKind::Combo:
        BoxWidth = css(CssWidth, charWidth * Longest + 30);
        BoxHeight = CssHeight >= 10 ? CssHeight : lineHeight + 8;
        break;
    case TControlKind::TextArea:
        BoxWidth = css(CssWidth, charWidth * Cols + 5) + 4;
        BoxHeight = css(CssHeight, lineHeight * Rows + 5) + 4;
        break;
    case TControlKind::Hidden:
    case TControlKind::Image: BoxWidth = BoxHeight = 0; break;
    }
}

void TFormControl::ResetValue() {
    Checked = IsChecked;
    ClickX = ClickY = -1;
    if (Kind == TControlKind::TextArea) {
        Text.clear();
        for (size_t i = 0; i < Initial.size(); ++i) {
            if (i > 0) Text += "\r\n";
            Text += Initial[i];
        }
    } else if (IsSelect()) {
        Chosen.assign(Options.size(), 0);
        if (Options.empty()) return;
        if (Multiple) {
            for (size_t i = 0; i < Options.size(); ++i)
                Chosen[i] = Options[i].Selected;
            return;
        }
        // A single select shows the last option marked, else the first.
        size_t current = 0;
        for (size_t i = 0; i < Options.size(); ++i)
            if (Options[i].Selected) current = i;
        Chosen[current] = 1;
    } else {
        Text = Value;
    }
}

void TFormControl::GetSubmission(std::vector<std::string>& results) {
    if (Disabled) return;
    const auto add = [&](std::string_view value) {
        results.push_back(Name + "=" + std::string(value));
    };
    switch (Kind) {
    case TControlKind::Edit:
    case TControlKind::Password:
    case TControlKind::File:
    case TControlKind::TextArea: add(Text); break;
    case TControlKind::CheckBox:
    case TControlKind::Radio:
        if (Checked) add(Value);
        break;
    case TControlKind::Hidden: add(Value); break;
    case TControlKind::Image:
        if (ClickX < 0) return;
        results.push_back((Name.empty() ? "" : Name + ".") + "x=" + std::to_string(ClickX));
        results.push_back((Name.empty() ? "" : Name + ".") + "y=" + std::to_string(ClickY));
        ClickX = ClickY = -1;
        break;
    case TControlKind::ListBox:
    case TControlKind::Combo:
        for (size_t i = 0; i < Options.size() && i < Chosen.size(); ++i)
            if (Chosen[i]) add(Options[i].Value.empty() ? Options[i].Text : Options[i].Value);
        break;
    case TControlKind::Submit:
    case TControlKind::Reset:
    case TControlKind::Button: break;
    }
}

void TFormControl::Paint(Canvas& canvas, int X, int Y) {
    if (Root->IsPrinting && !Invisible) PrintPaint(canvas, X, Y);
}

void TFormControl::PrintPaint(Canvas& canvas, int X, int Y) {
    FontSpec font;
    font.Name = FontName;
    font.Size = PointSize;
    const TRect box{X, Y, X + BoxWidth, Y + BoxHeight};
    canvas.SaveState();
    UseFont(canvas, font);
    switch (Kind) {
    case TControlKind::Edit:
        Bevel(canvas, box, false);
        BoxText(canvas, box, X + 4, Text);
        break;
    case TControlKind::File: {
        const TRect edit{box.Left, box.Top, box.Right - BrowseWidth, box.Bottom};
        Bevel(canvas, edit, false);
        BoxText(canvas, edit, X + 4, Text);
        ButtonPicture(canvas, {edit.Right, box.Top, box.Right, box.Bottom}, BrowseCaption);
        break;
    }
    case TControlKind::Password:
        Bevel(canvas, box, false);
        BoxText(canvas, box, X + 4, std::string(Text.size(), '*'));
        break;
    case TControlKind::Submit:
    case TControlKind::Reset:
    case TControlKind::Button: ButtonPicture(canvas, box, Caption()); break;
    case TControlKind::CheckBox: {
        Bevel(canvas, box, false);
        if (!Checked) break;
        const int mid = Y + BoxHeight / 2;
        canvas.SetPen(clBlack, 1, PenStyle::Solid);
        canvas.Polyline({{X + 3, mid}, {X + 5, mid + 2}, {X + 9, mid - 2}});
        canvas.Polyline({{X + 3, mid + 1}, {X + 5, mid + 3}, {X + 9, mid - 1}});
        break;
    }
    case TControlKind::Radio: {
        const bool mono = canvas.IsMonochrome();
        canvas.SetBrush(clWhite, BrushStyle::Solid);
        canvas.SetPen(mono ? clBlack : ShadowColor, mono ? 1 : 2, PenStyle::Solid);
        canvas.Ellipse({X, Y, X + 14, Y + 14});
        if (!Checked) break;
        canvas.SetBrush(clBlack, BrushStyle::Solid);
        canvas.SetPen(clBlack, 1, PenStyle::Solid);
        canvas.Ellipse({X + 5, Y + 5, X + 9, Y + 9});
        break;
    }
    case TControlKind::ListBox: {
        std::vector<std::string_view> lines;
        const int count = std::min<int>(VisibleLines(), static_cast<int>(Options.size()));
        for (int i = 0; i < count; ++i)
            lines.push_back(Options[i].Text);
        BoxLines(canvas, box, X + 4, Y + 2, lines);
        break;
    }
    case TControlKind::Combo: {
        Bevel(canvas, box, false);
        for (size_t i = 0; i < Options.size() && i < Chosen.size(); ++i)
            if (Chosen[i]) BoxText(canvas, box, X + 4, Options[i].Text);
        break;
    }
    case TControlKind::TextArea: {
        std::vector<std::string_view> lines;
        for (size_t start = 0; start <= Text.size();) {
            size_t end = Text.find("\r\n", start);
            if (end == std::string::npos) end = Text.size();
            lines.push_back(std::string_view(Text).substr(start, end - start));
            start = end + 2;
        }
        BoxLines(canvas, box, X + 4, Y + 3, lines);
        break;
    }
    case TControlKind::Hidden:
    case TControlKind::Image: break;
    }
    canvas.RestoreState();
}

namespace {

// A value on one dump line: line breaks written as \r and \n.
std::string DumpValue(std::string_view value) {
    std::string out = "\"";
    for (const char c : value)
        out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return out + "\"";
}

} // namespace

void TFormControl::Dump(std::string& out, int depth) const {
    out.append(static_cast<size_t>(depth) * 2, ' ');
    out += "control ";
    out += ControlKindName(Kind);
    out += " name=\"" + Name + "\"";
    switch (Kind) {
    case TControlKind::CheckBox:
    case TControlKind::Radio: out += Checked ? " checked" : " unchecked"; break;
    case TControlKind::ListBox:
    case TControlKind::Combo: {
        out += " options=" + std::to_string(Options.size()) + " chosen=";
        bool first = true;
        for (size_t i = 0; i < Chosen.size(); ++i)
            if (Chosen[i]) {
                out += (first ? "" : ",") + std::to_string(i);
                first = false;
            }
        break;
    }
    case TControlKind::Hidden:
    case TControlKind::Image: out += " value=" + DumpValue(Value); break;
    default: out += " value=" + DumpValue(IsButton() ? Caption() : Text); break;
    }
    if (HasWidget())
        out += " at (" + std::to_string(LeftX) + "," + std::to_string(PaintTop) + ") size " +
               std::to_string(BoxWidth) + "x" + std::to_string(BoxHeight);
    out += '\n';
}

} // namespace lumo
