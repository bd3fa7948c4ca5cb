#include "print/print_settings.h"

#include "platform/ansi.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

namespace lumo {

std::string ExpandTemplate(std::string_view text, const TMacroValues& values) {
    const std::pair<std::string_view, std::string> macros[] = {
        {"[title]", values.Title},
        {"[file]", values.File},
        {"[date]", values.Date},
        {"[page]", std::to_string(values.Page)},
    };
    // The first occurrence of each macro in the template, in text order. A
    // value is never searched again, so a title holding "[page]" prints as
    // it is.
    std::vector<std::pair<size_t, size_t>> found; // position, macro
    for (size_t m = 0; m < std::size(macros); ++m)
        if (const size_t at = text.find(macros[m].first); at != std::string_view::npos)
            found.emplace_back(at, m);
    std::sort(found.begin(), found.end());
    std::string out;
    size_t from = 0;
    for (const auto& [at, m] : found) {
        out.append(text.substr(from, at - from));
        out += macros[m].second;
        from = at + macros[m].first.size();
    }
    out.append(text.substr(from));
    return out;
}

TDateTime Now() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

namespace {

constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                   "Thursday", "Friday", "Saturday"};

std::string Number(int value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", digits, value);
    return buf;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

int Weekday(const TDateTime& date) {
    using namespace std::chrono;
    const year_month_day ymd{year(date.Year), month(static_cast<unsigned>(date.Month)),
                             day(static_cast<unsigned>(date.Day))};
    return static_cast<int>(weekday(sys_days(ymd)).c_encoding());
}

// One letter repeated count times (count at most 4).
std::string Field(char letter, int count, const TDateTime& date) {
    const auto name = [count](std::string_view full) {
        return std::string(count == 3 ? full.substr(0, 3) : full);
    };
    switch (letter) {
    case 'd':
        if (count >= 3) return name(kDays[static_cast<size_t>(Weekday(date))]);
        return Number(date.Day, count);
    case 'm':
        if (count >= 3) return name(kMonths[static_cast<size_t>((date.Month + 11) % 12)]);
        return Number(date.Month, count);
    case 'y': return count <= 2 ? Number(date.Year % 100, 2) : Number(date.Year, 4);
    case 'h': return Number(date.Hour, std::min(count, 2));
    case 'n': return Number(date.Minute, std::min(count, 2));
    case 's': return Number(date.Second, std::min(count, 2));
    }
    return {};
}

} // namespace

std::string FormatDate(std::string_view format, const TDateTime& date) {
    std::string out;
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const size_t end = format.find(c, i + 1);
            const size_t stop = end == std::string_view::npos ? format.size() : end;
            out.append(format.substr(i + 1, stop - i - 1));
            i = stop + 1;
            continue;
        }
        const char letter = Lower(c);
        if (std::string_view("dmyhns").find(letter) == std::string_view::npos) {
            out += c;
            ++i;
            continue;
        }
        int count = 0;
        while (i < format.size() && Lower(format[i]) == letter && count < 4) {
            ++count;
            ++i;
        }
        out += Field(letter, count, date);
    }
    return out;
}

void DrawPageBand(Canvas& canvas, TPageBand band, const TPrintSettings& settings,
                  const TMacroValues& values, int W) {
    const bool header = band == TPageBand::Header;
    const TPrintFont& font = header ? settings.HeaderFont : settings.FooterFont;
    FontSpec face;
    face.Name = font.Name;
    face.Size = font.Size;
    // The title may hold any character: the band is drawn in UTF-8.
    face.CodePage = TCodePage::Utf8;
    canvas.SetFont(face);
    TMacroValues utf8 = values;
    utf8.File = AnsiToUtf8(values.File);
    utf8.Date = AnsiToUtf8(values.Date);
    if (header) canvas.SetBkMode(BkMode::Transparent);
    struct Slot {
        const std::string& text;
        HAlign align;
        int x;
    };
    const Slot slots[] = {
        {header ? settings.HeaderLeft : settings.FooterLeft, HAlign::Left, 50},
        {header ? settings.HeaderCenter : settings.FooterCenter, HAlign::Center, W / 2},
        {header ? settings.HeaderRight : settings.FooterRight, HAlign::Right, W - 50},
    };
    constexpr int BandTextY = 40;
    for (const Slot& slot : slots) {
        if (slot.text.empty()) continue;
        canvas.SetTextAlign(slot.align, VAlign::Top);
        canvas.TextOut(slot.x, BandTextY, ExpandTemplate(AnsiToUtf8(slot.text), utf8));
    }
}

} // namespace lumo
