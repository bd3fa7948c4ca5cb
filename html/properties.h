// Style values of one element (or of one style rule): 57 slots of CSS-like
// properties, combined from the element's defaults, the matching rules and
// its STYLE attribute, and inherited along the element nesting.
#pragma once

#include "html/font.h"
#include "html/prop_slots.h"
#include "platform/types.h"

#include <array>
#include <bitset>
#include <cassert>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lumo {

class Canvas;
class TStyleList;
class TPropStack;

// Sentinels of the style and layout code.
inline constexpr int Auto = -12348765;          // the auto length
inline constexpr int AutoParagraph = -12348766; // a margin that becomes paragraph spacing
inline constexpr int ParagraphSpace = 14;       // pixels of that spacing

// Lengths saturate here, font sizes stay within 1..1000 points.
inline constexpr int MaxLength = 1000000;
inline constexpr double MinFontSize = 1, MaxFontSize = 1000;

// The index of a named property's name, -1 when unknown.
int PropertyIndex(std::string_view lowerName);

enum AlignmentType : int { ANone, ATop, AMiddle, ABaseline, ABottom, ALeft, ARight };
enum ClearAttrType : int { clrNone, clrLeft, clrRight, clrAll };
enum PositionType : int { posStatic, posAbsolute, posRelative };
enum VisibilityType : int { viHidden = 1, viVisible = 2 };
// How an element takes part in the layout; dsNormal: as its tag says.
enum DisplayType : int { dsNormal, dsNone, dsBlock, dsInline, dsListItem };

// A declaration marked "!important" beats every normal one.
enum class TWeight { Normal, Important };

// A block's box values in pixels (colours for the two colour properties),
// indexed by property index from Prop::FirstBox to Prop::LastBox: only those
// take room.
class TBoxValues {
public:
    int& operator[](int prop) { return values_[Slot(prop)]; }
    int operator[](int prop) const { return values_[Slot(prop)]; }

private:
    static size_t Slot(int prop) {
        assert(prop >= Prop::FirstBox && prop <= Prop::LastBox);
        return static_cast<size_t>(prop - Prop::FirstBox);
    }
    std::array<int, Prop::LastBox - Prop::FirstBox + 1> values_{};
};

class TProperties {
public:
    std::string PropTag;
    std::string PropClass, PropID, PropPseudo;
    TColor InlineBackground = clNone;
    uint8_t Charset = 0;
    TCodePage CodePage = TCodePage::Windows1252;
    int EmSize = 0, ExSize = 0;
    // The colour was set inside the innermost link (on this element or one
    // between it and the A): it wins over the link, visited and hover colours.
    bool ColorInLink = false;
    // The lines in effect were set inside the innermost link by an element
    // with no colour of its own there: they are in the colour that element's
    // text takes, the link's.
    bool LinesInLink = false;
    // The element's own text-decoration. Its lines add to those of the
    // ancestors, which Props holds together: a child can add a line to an
    // underlined parent but never take the parent's line away.
    std::string OwnDecoration;
    // The colour of the lines: that of the element which draws them, the
    // innermost one with lines of its own; clNone when no element has any.
    TColor DecorationColor = clNone;
    // The values by property index, shared with the parent entry until set.
    TPropSlots Props;
    std::array<bool, Prop::Count> Assigned{};
    // Of a rule or a STYLE attribute: the declarations marked !important.
    std::bitset<Prop::Count> Important;

    // Takes the inherited values of parent.
    void Inherit(const TProperties& parent);
    // Takes from source what this element did not set itself.
    void Update(const TProperties& source);
    // Sets a value unless a rule or STYLE attribute already set it.
    void Assign(const TPropValue& value, int index);
    // Takes the rule's declarations of that weight; those of a link state
    // (this entry's pseudo-class, else state) go into that state's slots.
    void Merge(const TProperties& rule, TWeight weight = TWeight::Normal,
               std::string_view state = {});
    // Applies the rules of styles that match this element (against the
    // ancestors in stack) and its own parsed STYLE attribute.
    void Combine(const TStyleList& styles, const TPropStack& stack, std::string_view tag,
                 std::string_view cls, std::string_view id, std::string_view pseudo,
                 const TProperties* styleAttr);
    void TakeBackgroundColor();
    // Replaces the values declared "inherit" with the parent's.
    void TakeInherited(const TProperties& parent);

    // Fonts; the canvas answers which face of a font list is installed.
    TFont MakeFont(Canvas& faces) const;
    TFont MakeLinkFont(Canvas& faces) const;
    TFont MakeHoverFont(Canvas& faces) const;
    TFont MakeVisitedFont(Canvas& faces) const;
    // The three looks of a link from one look-up of its font.
    struct TLinkFonts {
        TFont Link, Visited, Hover;
    };
    TLinkFonts MakeLinkFonts(Canvas& faces) const;

    bool GetBackgroundImage(std::string& url) const;
    TColor GetBackgroundColor() const;
    TColor GetColor() const;
    bool GetVertAlign(AlignmentType& a) const;
    bool GetFloat(AlignmentType& f) const;
    bool GetClear(ClearAttrType& c) const;
    PositionType GetPosition() const;
    VisibilityType GetVisibility() const;
    DisplayType GetDisplay() const;
    int GetZIndex() const;
    // Line height in pixels, -1 for the fonts' own (not given, normal or
    // unreadable); a plain number and percentages multiply the font size.
    int GetLineHeight() const;
    int GetListStyleType() const;
    bool GetListStyleImage(std::string& url) const;
    // list-style-position: inside, the marker starts the first line.
    bool MarkerInside() const;

    // Text helpers for the readers.
    const std::string* Text(int index) const { return std::get_if<std::string>(&Props[index]); }
    const int* Int(int index) const { return std::get_if<int>(&Props[index]); }

    // EmSize and ExSize from the element's own font size.
    void SizeEm();

private:
    // The plain font in the look of the link state whose slots start at first.
    TFont StateFont(TFont font, int first) const;
    // Whether OwnDecoration draws a line ("none" and "blink" do not).
    bool DrawsOwnLines() const;
    // Props' text-decoration: the ancestors' lines (outer) and OwnDecoration.
    void JoinDecoration(const TPropValue& outer);
};

// Stores declaration text in a property: border styles also in the sides
// (or the sides in border-style), colours parsed, visibility as its number,
// anything else as text. An unparsable background or border colour stores
// clNone; an unparsable color is skipped or stored as black, as badColor says.
// True when a colour was parsed.
enum class TBadColor { Skip, Black };
bool StorePropertyValue(TProperties& props, int index, std::string_view value, TBadColor badColor);
// The same for a declaration of a rule or STYLE attribute, which keeps its
// weight: a normal declaration does not replace an important one.
bool StoreDeclaration(TProperties& props, int index, std::string_view value, TBadColor badColor,
                      TWeight weight);
// Takes a trailing "!important" ("! important" too) off value.
TWeight StripImportant(std::string& value);

// Font sizes in points and lengths in pixels from style text. A number
// without a unit is pixels, or a multiple of base.
enum class TPlainNumber { Pixels, TimesBase };
double ConvertFontSize(std::string_view s, double parentSize, double defaultSize);
int ConvertLength(std::string_view s, TPlainNumber plain, int base, int emSize, int exSize,
                  int defaultValue);

// The 22 box values of an element as the style system gave them, indexed by
// property index (Prop::BackgroundColor to Prop::Left): what a block keeps to
// resolve again at each layout, without a whole TProperties.
// Every block keeps one, and most set two or three of the values, so only the
// values that differ from an unset one are stored.
class TBoxSpec {
public:
    static TBoxSpec Of(const TProperties& props);
    const TPropValue& operator[](int index) const;
    void Set(int index, TPropValue value);

private:
    std::vector<std::pair<int, TPropValue>> values_; // by property index, in order
};

void ResolveBoxValues(const TBoxSpec& boxSpec, int width, int height, int emSize, int exSize,
                      TBoxValues& box, int& autoCount);
// The number of a length given in percent; none for any other value.
std::optional<double> LengthPercent(const TPropValue& v);
void ResolveVerticalMargins(const TBoxSpec& boxSpec, int base, int emSize, int exSize,
                            TBoxValues& box, bool& topFlag, bool& bottomFlag);
void ResolveBoxValues(const TProperties& props, int width, int height, int emSize, int exSize,
                      TBoxValues& box, int& autoCount);
void ResolveVerticalMargins(const TProperties& props, int base, int emSize, int exSize,
                            TBoxValues& box, bool& topFlag, bool& bottomFlag);

} // namespace lumo
