// Time travel: while a date is set, every web address the window fetches
// (pages, frames, pictures, forms sent with GET, redirections) is fetched
// from a Wayback-compatible web archive as it was archived nearest that
// date, in the form that gives the page exactly as archived:
// ARCHIVE/YYYYMMDDhhmmssid_/ORIGINAL. The window shows and resolves the
// original addresses; only the fetches go to the archive.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumo {

struct TCivilDate {
    int Year = 0, Month = 0, Day = 0;
    bool operator==(const TCivilDate&) const = default;
};

// "19990727" (or with "-" between the parts), a real day from 1990 to 2099.
std::optional<TCivilDate> ParseCompactDate(std::string_view text);
// The date and days between two dates, for the caption.
long DaysBetween(const TCivilDate& from, const TCivilDate& to);
// The date of an HTTP date ("Thu, 12 Aug 1999 16:00:00 GMT").
std::optional<TCivilDate> ParseHttpDate(std::string_view text);
// "12 Aug 1999".
std::string DateText(const TCivilDate& date);

class TTimeTravel {
public:
    static constexpr std::string_view DefaultArchive = "https://web.archive.org/web/";

    // The archive's base address, ending in "/".
    const std::string& Archive() const { return archive_; }
    void SetArchive(std::string_view base);
    const std::optional<TCivilDate>& Date() const { return date_; }
    void SetDate(std::optional<TCivilDate> date) { date_ = date; }
    bool On() const { return date_.has_value(); }

    // What is fetched for an address: its archived copy while on, for http
    // and https addresses outside the archive; the address itself otherwise.
    std::string FetchAddress(std::string_view original) const;
    // The original address of an address of the archive's captures (where
    // its redirection to the nearest capture leads); nothing for any other.
    std::optional<std::string> OriginalOf(std::string_view address) const;
    // The archive's calendar of the captures of an address.
    std::string CalendarAddress(std::string_view original) const;
    // "Archived 12 Aug 1999, 16 days later" for a capture's Memento-Datetime;
    // empty when the value is no date.
    std::string CaptureNote(std::string_view mementoDatetime) const;

private:
    std::string archive_{DefaultArchive};
    std::optional<TCivilDate> date_;
};

} // namespace lumo
