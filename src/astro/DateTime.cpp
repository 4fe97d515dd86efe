#include "astro/DateTime.h"

#include <algorithm>

namespace tavik {

namespace {
inline std::uint16_t U16(int v) { return static_cast<std::uint16_t>(v); }
}  // namespace

DateTime::DateTime(int year, int month, int day, int hour, int minute, int second)
    : year_(U16(year)), month_(U16(month)), day_(U16(day)),
      hour_(U16(hour)), minute_(U16(minute)), second_(U16(second)) {
    Normalize();
}

DateTime DateTime::FromFields(int year, int month, int day, int hour, int minute, int second) {
    DateTime t;
    t.year_ = U16(year);
    t.month_ = U16(month);
    t.day_ = U16(day);
    t.hour_ = U16(hour);
    t.minute_ = U16(minute);
    t.second_ = U16(second);
    return t;
}

DateTime DateTime::FromSlots(const std::array<std::uint16_t, 8>& s) {
    DateTime t;
    t.year_ = s[0];
    t.month_ = s[1];
    t.dayOfWeek_ = s[2];
    t.day_ = s[3];
    t.hour_ = s[4];
    t.minute_ = s[5];
    t.second_ = s[6];
    t.milliseconds_ = s[7];
    return t;
}

std::array<std::uint16_t, 8> DateTime::Slots() const {
    return {year_, month_, dayOfWeek_, day_, hour_, minute_, second_, milliseconds_};
}

int DaysInMonth(int year, int month) {
    switch (month) {
    case 4: case 6: case 9: case 11:
        return 30;
    case 2:
        return IsLeapYear(year) ? 29 : 28;
    default:
        return 31;
    }
}

void DateTime::Normalize() {
    // Each loop below ends: the field strictly decreases while it stays at or
    // above its bound, so even a wrapped value (e.g. 65535) carries out in a
    // bounded number of steps.
    while (second_ >= 60) { second_ = U16(second_ - 60); minute_ = U16(minute_ + 1); }
    while (minute_ >= 60) { minute_ = U16(minute_ - 60); hour_ = U16(hour_ + 1); }
    while (hour_ >= 24) { hour_ = U16(hour_ - 24); day_ = U16(day_ + 1); }
    if (day_ == 0) { day_ = 1; month_ = U16(month_ - 1); }
    if (month_ == 0) { month_ = 12; year_ = U16(year_ - 1); }
    while (day_ >= 32) { day_ = U16(day_ - 31); month_ = U16(month_ + 1); }
    while (month_ > 12) { month_ = U16(month_ - 12); year_ = U16(year_ + 1); }
    if (month_ == 4 || month_ == 6 || month_ == 9 || month_ == 11) {
        while (day_ > 30) { day_ = U16(day_ - 30); month_ = U16(month_ + 1); }
    }
    while (month_ > 12) { month_ = U16(month_ - 12); year_ = U16(year_ + 1); }
    if (month_ == 2) {
        const std::uint16_t limit = IsLeapYear(year_) ? 29 : 28;
        while (day_ > limit) { day_ = U16(day_ - limit); month_ = U16(month_ + 1); }
    }
}

DateTime& DateTime::AddOffset(const DateOffset& o) {
    day_ = U16(day_ + o.days);
    hour_ = U16(hour_ + o.hours);
    minute_ = U16(minute_ + o.minutes);
    second_ = U16(second_ + o.seconds);
    Normalize();
    return *this;
}

DateTime& DateTime::SubtractOffset(const DateOffset& o) {
    std::uint16_t h = U16(o.hours);
    const std::uint16_t m = U16(o.minutes);
    if (minute_ < m) {
        minute_ = U16(minute_ + 60);
        h = U16(h + 1);
    }
    minute_ = U16(minute_ - m);
    if (hour_ < h) {  // unsigned: a negative hour count always borrows
        hour_ = U16(hour_ + 24);
        if (day_ == 1) {
            if (month_ == 1) {
                month_ = 12;
                year_ = U16(year_ - 1);
            } else {
                month_ = U16(month_ - 1);
            }
            day_ = U16(DaysInMonth(year_, month_));
        } else {
            day_ = U16(day_ - 1);
        }
    }
    hour_ = U16(hour_ - h);
    return *this;
}

DateTime ToUniversalTime(DateTime local, int zoneOffsetHours) {
    local.SubtractOffset(DateOffset(0, zoneOffsetHours, 0, 0));
    return local;
}

DateTime SiteTimeAt(std::time_t utc, int zoneOffsetHours) {
    const int zone = std::clamp(zoneOffsetHours, -12, 14);
    const std::time_t shifted = utc + static_cast<std::time_t>(zone) * 3600;
    std::tm t{};
    gmtime_r(&shifted, &t);
    return DateTime(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
}

}  // namespace tavik
