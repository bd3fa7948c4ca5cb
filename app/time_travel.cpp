#include "app/time_travel.h"

#include "address/address.h"
#include "platform/text.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace lumo {

namespace {

constexpr std::array<std::string_view, 12> MonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The archive is asked for the middle of the day, so the captures of the
// day itself come before those of the days around it.
constexpr std::string_view TimeOfDay = "120000";

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : Days[month - 1];
}

std::optional<TCivilDate> ValidDate(int year, int month, int day) {
    if (year < 1990 || year > 2099 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return std::nullopt;
    return TCivilDate{year, month, day};
}

// Days since 1 March of year 0, as the proleptic Gregorian calendar counts.
long DayNumber(const TCivilDate& d) {
    const long y = d.Year - (d.Month <= 2 ? 1 : 0);
    const long era = y / 400;
    const long yearOfEra = y - era * 400;
    const long dayOfYear = (153L * (d.Month + (d.Month > 2 ? -3 : 9)) + 2) / 5 + d.Day - 1;
    return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
}

bool AllDigits(std::string_view s) {
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return !s.empty();
}

int Number(std::string_view digits) {
    int n = 0;
    for (const char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

std::string Stamp(const TCivilDate& d) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", d.Year, d.Month, d.Day);
    return text + std::string(TimeOfDay);
}

} // namespace

std::optional<TCivilDate> ParseCompactDate(std::string_view text) {
    std::string digits;
    for (const char c : Trim(text))
        if (c != '-') digits += c;
    if (digits.size() != 8 || !AllDigits(digits)) return std::nullopt;
    return ValidDate(Number(digits.substr(0, 4)), Number(digits.substr(4, 2)),
                     Number(digits.substr(6, 2)));
}

long DaysBetween(const TCivilDate& from, const TCivilDate& to) {
    return DayNumber(to) - DayNumber(from);
}

std::optional<TCivilDate> ParseHttpDate(std::string_view text) {
    if (const size_t comma = text.find(','); comma != std::string_view::npos)
        text.remove_prefix(comma + 1);
    std::array<std::string_view, 3> parts; // day, month, year
    for (std::string_view& part : parts) {
        text = TrimLeft(text);
        part = text.substr(0, text.find(' '));
        text.remove_prefix(part.size());
    }
    int month = 0;
    for (size_t i = 0; i < MonthNames.size(); ++i)
        if (SameText(parts[1], MonthNames[i])) month = static_cast<int>(i) + 1;
    if (month == 0 || !AllDigits(parts[0]) || parts[0].size() > 2 || !AllDigits(parts[2]) ||
        parts[2].size() != 4)
        return std::nullopt;
    return ValidDate(Number(parts[2]), month, Number(parts[0]));
}

std::string DateText(const TCivilDate& date) {
    return std::to_string(date.Day) + " " + std::string(MonthNames[date.Month - 1]) + " " +
           std::to_string(date.Year);
}

void TTimeTravel::SetArchive(std::string_view base) {
    archive_ = Trim(base);
    if (archive_.empty()) archive_ = DefaultArchive;
    if (archive_.back() != '/') archive_ += '/';
}

std::string TTimeTravel::FetchAddress(std::string_view original) const {
    const std::string scheme = SchemeOf(original);
    if (!date_ || (scheme != "http" && scheme != "https") || StartsWithText(original, archive_))
        return std::string(original);
    return archive_ + Stamp(*date_) + "id_/" + std::string(original);
}

// A capture's address is the archive's, 1 to 14 digits of its time, a
// modifier such as "id_", "/" and the original address.
std::optional<std::string> TTimeTravel::OriginalOf(std::string_view address) const {
    if (!StartsWithText(address, archive_)) return std::nullopt;
    std::string_view rest = address.substr(archive_.size());
    size_t digits = 0;
    while (digits < rest.size() && digits < 14 && rest[digits] >= '0' && rest[digits] <= '9')
        ++digits;
    const size_t slash = rest.find('/');
    if (digits == 0 || slash == std::string_view::npos || slash - digits > 4) return std::nullopt;
    rest.remove_prefix(slash + 1);
    if (rest.empty()) return std::nullopt;
    return IsAbsolute(rest) ? std::string(rest) : "http://" + std::string(rest);
}

std::string TTimeTravel::CalendarAddress(std::string_view original) const {
    return archive_ + "*/" + std::string(original);
}

std::string TTimeTravel::CaptureNote(std::string_view mementoDatetime) const {
    const std::optional<TCivilDate> capture = ParseHttpDate(mementoDatetime);
    if (!capture) return {};
    const std::string note = "Archived " + DateText(*capture);
    if (!date_) return note;
    const long days = DaysBetween(*date_, *capture);
    if (days == 0) return note + ", the day asked for";
    const long count = std::labs(days);
    return note + ", " + std::to_string(count) + (count == 1 ? " day " : " days ") +
           (days > 0 ? "later" : "earlier");
}

} // namespace lumo
