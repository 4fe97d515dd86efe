#include "astro/TimeScales.h"

#include <mutex>

#include "astro/Angles.h"

namespace tavik {

int DayNumber(int year, int month, int day) {
    const int y = year - 1900;
    int n = static_cast<int>(365.25 * y) + 31 * month + day;
    if ((month + 7) / 10 == 1) n -= static_cast<int>(0.44 * (month + 4.4));
    if (month <= 2 && y % 4 == 0) n -= 1;
    return n;
}

int DaysBetween(int y1, int m1, int d1, int y2, int m2, int d2) {
    return DayNumber(y2, m2, d2) - DayNumber(y1, m1, d1);
}

namespace {
double DayFraction(const DateTime& t) {
    return t.Hour() / 24.0 + t.Minute() / 1440.0 + t.Second() / 86400.0;
}
}  // namespace

double EphemerisYears(const DateTime& ut) {
    const double d = DayNumber(ut.Year(), ut.Month(), ut.Day()) - 27424 + DayFraction(ut);
    const double t = d * 0.0027378507871321013;
    return t + (1.43 + 0.0317 * t) * 1e-6;
}

double JulianCenturies(const DateTime& ut) {
    int g = ut.Month();
    int y = ut.Year() - 1900;
    if (g < 3) {
        g += 12;
        y -= 1;
    }
    const int n = 365 * y + y / 4 + 30 * g + static_cast<int>(0.6 * (g + 1)) + ut.Day() - 33;
    return (n - 0.5 + DayFraction(ut)) * 2.7378507871321012e-05 - 1.0;
}

namespace {
struct ObliquityCache {
    std::mutex lock;
    bool valid = false;
    int year = 0, month = 0, day = 0;
    double value = 0.0;
};

ObliquityCache& TheObliquityCache() {
    static ObliquityCache cache;
    return cache;
}

double ComputeObliquity(int year, int month, int day) {
    const double t = DaysBetween(2000, 1, 1, year, month, day) / 36525.0;
    const double deg = 23.439166666666665 - 0.013004166666666666 * t -
                       1.638888888888889e-07 * t * t + 5.027777777777778e-07 * t * t * t;
    return deg * 0.017453292519943295;
}
}  // namespace

double Obliquity(int year, int month, int day) {
    // The render worker and the user-interface thread both ask; the cache is
    // read and replaced under its own lock (the computation is cheap, so it
    // runs outside the lock).
    ObliquityCache& c = TheObliquityCache();
    {
        std::lock_guard<std::mutex> guard(c.lock);
        if (c.valid && c.year == year && c.month == month && c.day == day) return c.value;
    }
    const double value = ComputeObliquity(year, month, day);
    std::lock_guard<std::mutex> guard(c.lock);
    c.valid = true;
    c.year = year;
    c.month = month;
    c.day = day;
    c.value = value;
    return value;
}

double SiderealAtMidnight(int year, int month, int day) {
    const int d0 = DaysBetween(2000, 1, 1, year, month, day);
    const double t = (d0 - 0.5) / 36525.0;
    const double s = 24110.54841 + 8640184.812866 * t + 0.093104 * t * t - 6.2e-06 * t * t * t;
    return s * 7.27220521664304e-05;
}

double LocalSiderealTime(const DateTime& local, int zoneOffsetHours, int lonDegrees, int lonMinutes) {
    const DateTime u = ToUniversalTime(local, zoneOffsetHours);
    const double theta0 = SiderealAtMidnight(u.Year(), u.Month(), u.Day());
    return theta0 + (u.Hour() + u.Minute() / 60.0) * 0.2625161447810598 +
           (lonDegrees + lonMinutes / 60.0) * (kPi / 180.0);
}

double LongitudeRadians(int degrees, int minutes) {
    return -(degrees + minutes / 60.0) * (kPi / 180.0);
}

double LatitudeRadians(int degrees, int minutes) {
    return (degrees + minutes / 60.0) * (kPi / 180.0);
}

}  // namespace tavik
