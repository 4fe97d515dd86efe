#pragma once
// The calendar record of the sky view and its offset record.
//
// DateTime has the layout of the platform's system-time record: eight unsigned
// 16-bit slots (year, month, day-of-week, day, hour, minute, second,
// milliseconds). The calendar code never touches the day-of-week and
// milliseconds slots. Field arithmetic wraps modulo 65536, like the record it
// mirrors. The calendar uses the "every fourth year is a leap year" rule.

#include <array>
#include <cstdint>
#include <ctime>

namespace tavik {

// Days, hours, minutes and seconds to add to (or subtract from) a DateTime.
struct DateOffset {
    constexpr DateOffset(int days, int hours, int minutes, int seconds)
        : days(static_cast<std::int16_t>(days)),
          hours(static_cast<std::int16_t>(hours)),
          minutes(static_cast<std::int16_t>(minutes)),
          seconds(static_cast<std::int16_t>(seconds)) {}

    std::int16_t days;
    std::int16_t hours;
    std::int16_t minutes;
    std::int16_t seconds;
};

class DateTime {
public:
    // All slots zero (not a valid date; fill it before use).
    constexpr DateTime() = default;
    // Stores the six fields (truncated to 16 bits) and normalises.
    DateTime(int year, int month, int day, int hour, int minute, int second);

    // Stores the fields as given, without normalising (e.g. a record read back
    // from a store, or a UT copy whose hour lies outside 0..23).
    static DateTime FromFields(int year, int month, int day, int hour, int minute, int second);
    // The raw eight slots in system-time order, for a 16-byte copy to or from the
    // platform clock record.
    static DateTime FromSlots(const std::array<std::uint16_t, 8>& slots);
    std::array<std::uint16_t, 8> Slots() const;

    int Year() const { return year_; }
    int Month() const { return month_; }
    int Day() const { return day_; }
    int Hour() const { return hour_; }
    int Minute() const { return minute_; }
    int Second() const { return second_; }
    int DayOfWeekSlot() const { return dayOfWeek_; }
    int MillisecondSlot() const { return milliseconds_; }

    // Carry normalisation, in place: seconds, minutes and hours carry upward;
    // day 0 and month 0 borrow; days beyond the month's length carry into the
    // next month.
    void Normalize();

    // Adds the offset slot by slot (16-bit wrap), then normalises.
    DateTime& AddOffset(const DateOffset& offset);

    // Subtracts the offset's hours and minutes with a single borrow and does not
    // normalise. A negative hour count (a site west of Greenwich) leaves the hour
    // above 23 on the previous day; the instant day + hour/24 + ... is right.
    // The offset's days and seconds are ignored.
    DateTime& SubtractOffset(const DateOffset& offset);

    friend bool operator==(const DateTime&, const DateTime&) = default;

private:
    std::uint16_t year_ = 0;
    std::uint16_t month_ = 0;
    std::uint16_t dayOfWeek_ = 0;
    std::uint16_t day_ = 0;
    std::uint16_t hour_ = 0;
    std::uint16_t minute_ = 0;
    std::uint16_t second_ = 0;
    std::uint16_t milliseconds_ = 0;
};

static_assert(sizeof(DateTime) == 16, "DateTime must keep the 16-byte system-time layout");

// Universal Time copy of a local civil time: SubtractOffset of zoneOffsetHours
// hours (local time is that many hours ahead of UT).
DateTime ToUniversalTime(DateTime local, int zoneOffsetHours);

// True for years divisible by 4 (the calendar rule used throughout).
constexpr bool IsLeapYear(int year) { return year % 4 == 0; }

// Length of a month (1..12) under that rule.
int DaysInMonth(int year, int month);

// The site's civil time at a Universal Time instant: the instant plus the
// zone offset (held between 12 hours behind and 14 ahead), on the Gregorian
// calendar. The window's clock, the mount's and tavik-cli's "now" all read it,
// so that every one of them tells the site's time whatever zone the machine is in.
DateTime SiteTimeAt(std::time_t utc, int zoneOffsetHours);

}  // namespace tavik
