// What a printed page carries besides the document: the header and footer
// templates with their fonts, the date format and the margins, and how a
// band is drawn from them. Held by the main window for the run.
#pragma once

#include "platform/canvas.h"
#include "viewer/page_device.h"

#include <string>
#include <string_view>

namespace lumo {

struct TPrintFont {
    std::string Name = "arial";
    int Size = 8; // points

    bool operator==(const TPrintFont&) const = default;
};

struct TPrintSettings {
    std::string HeaderLeft = "[title]";
    std::string HeaderCenter;
    std::string HeaderRight = "[file]";
    TPrintFont HeaderFont;
    std::string FooterLeft = "[date]";
    std::string FooterCenter;
    std::string FooterRight = "[page]";
    TPrintFont FooterFont;
    std::string DateFormat = "dd-mmm-yyyy";
    TPrintMargins Margins{2.0, 2.0, 2.0, 3.0};
};

// The values the four macros stand for on one page.
struct TMacroValues {
    std::string Title; // [title]: the document title, in UTF-8
    std::string File;  // [file]: the document's address or file name
    std::string Date;  // [date]: today in the date format
    int Page = 0;      // [page]
};

// Replaces the first "[title]", "[file]", "[date]" and "[page]" of the
// template (letter case counts); a second occurrence of a macro is printed
// as it stands.
std::string ExpandTemplate(std::string_view text, const TMacroValues& values);

struct TDateTime {
    int Year = 2000, Month = 1, Day = 1; // Month 1..12
    int Hour = 0, Minute = 0, Second = 0;
};

TDateTime Now();

// Formats a date with the letters of the date format, in either case:
// d dd (day), ddd dddd (weekday name), m mm (month), mmm mmmm (month name),
// yy yyyy (year), h hh, n nn, s ss (hour, minute, second); text in double or
// single quotes and every other character stand as written.
std::string FormatDate(std::string_view format, const TDateTime& date);

enum class TPageBand { Header, Footer };

// Draws a band of a page (W: its width in screen units) at 40 pixels below
// its top: the left template from x = 50, the centre one centred on W / 2,
// the right one ending at W - 50. The header text is drawn transparently;
// the footer keeps the canvas's background mode.
void DrawPageBand(Canvas& canvas, TPageBand band, const TPrintSettings& settings,
                  const TMacroValues& values, int W);

} // namespace lumo
