#include "astro/TimeScales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "astro/Angles.h"
#include "astro/Transforms.h"

namespace tavik {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (an independent count).
long CivilDays(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

template <typename F>
void ForEachDay(int fromYear, int toYear, F f) {
    for (int y = fromYear; y <= toYear; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= DaysInMonth(y, m); ++d) f(y, m, d);
}

TEST(DayNumber, KnownValuesAndContinuity) {
    EXPECT_EQ(DayNumber(1975, 1, 1), 27425);
    EXPECT_EQ(DayNumber(2000, 1, 1), 36556);
    EXPECT_EQ(DayNumber(1974, 12, 31), 27424);
    // Over the valid range the count advances by exactly one per calendar day.
    const long offset = DayNumber(1901, 1, 1) - CivilDays(1901, 1, 1);
    ForEachDay(1901, 2099, [&](int y, int m, int d) {
        ASSERT_EQ(DayNumber(y, m, d) - CivilDays(y, m, static_cast<unsigned>(d)), offset)
            << y << "-" << m << "-" << d;
    });
}

TEST(DayNumber, DaysBetweenSign) {
    EXPECT_EQ(DaysBetween(2000, 1, 1, 2000, 1, 2), 1);
    EXPECT_EQ(DaysBetween(2004, 3, 1, 2004, 2, 28), -2);
    EXPECT_EQ(DaysBetween(2000, 1, 1, 2001, 1, 1), 366);
}

TEST(TimeArguments, EphemerisYearsOrigin) {
    // 1975 January 0.0 UT: only the clock correction remains.
    EXPECT_DOUBLE_EQ(EphemerisYears(DateTime(1974, 12, 31, 0, 0, 0)), 1.43e-6);
    // One Julian year later (365.25 days), plus the grown correction.
    const double t = EphemerisYears(DateTime::FromFields(1975, 12, 31, 6, 0, 0));
    EXPECT_NEAR(t, 1.0 + (1.43 + 0.0317) * 1e-6, 1e-12);
}

TEST(TimeArguments, JulianCenturiesMatchesDayCount) {
    EXPECT_NEAR(JulianCenturies(DateTime(2000, 1, 1, 12, 0, 0)), 0.0, 1e-15);
    EXPECT_NEAR(JulianCenturies(DateTime(1900, 1, 1, 12, 0, 0)), -1.0 + 1.0 / 36525, 1e-12);
    ForEachDay(1901, 2099, [&](int y, int m, int d) {
        const DateTime t(y, m, d, 18, 36, 0);
        const double days = DayNumber(y, m, d) - 36556 - 0.5 + 18.6 / 24.0;
        ASSERT_NEAR(JulianCenturies(t) * 36525.0, days, 1e-7) << y << "-" << m << "-" << d;
        const double years = (DayNumber(y, m, d) - 27424 + 18.6 / 24.0) / 365.25;
        ASSERT_NEAR(EphemerisYears(t), years + (1.43 + 0.0317 * years) * 1e-6, 1e-9);
    });
}

TEST(TimeArguments, HourAbove23IsTakenAtFaceValue) {
    const DateTime west = ToUniversalTime(DateTime(2004, 3, 10, 10, 0, 0), -5);  // 03-09 39:00
    const DateTime plain(2004, 3, 10, 15, 0, 0);
    EXPECT_NEAR(EphemerisYears(west), EphemerisYears(plain), 1e-12);
    EXPECT_NEAR(JulianCenturies(west), JulianCenturies(plain), 1e-14);
}

TEST(Obliquity, ValuesAndCache) {
    EXPECT_DOUBLE_EQ(Obliquity(2000, 1, 1), 23.439166666666665 * kDegToRad);
    const double t = DaysBetween(2000, 1, 1, 2050, 6, 1) / 36525.0;
    const double want = (23.439166666666665 - 0.013004166666666666 * t - 1.638888888888889e-07 * t * t +
                         5.027777777777778e-07 * t * t * t) * kDegToRad;
    EXPECT_DOUBLE_EQ(Obliquity(2050, 6, 1), want);
    EXPECT_DOUBLE_EQ(Obliquity(2050, 6, 1), want);  // cached
    EXPECT_DOUBLE_EQ(Obliquity(2000, 1, 1), 23.439166666666665 * kDegToRad);  // cache replaced
    // It falls by about 47 arc seconds per century.
    EXPECT_NEAR((Obliquity(1950, 1, 1) - Obliquity(2000, 1, 1)) / kDegToRad * 3600, 23.4, 0.1);
}

TEST(Obliquity, TwoThreadsAlternatingDatesGetTheirOwnValues) {
    const double a = Obliquity(1960, 5, 5);
    const double b = Obliquity(2040, 7, 7);
    ASSERT_NE(a, b);
    auto worker = [](int year, int month, int day, double want, int* bad) {
        for (int i = 0; i < 20000; ++i)
            if (Obliquity(year, month, day) != want) ++*bad;
    };
    int badA = 0, badB = 0;
    std::thread t1(worker, 1960, 5, 5, a, &badA);
    std::thread t2(worker, 2040, 7, 7, b, &badB);
    t1.join();
    t2.join();
    EXPECT_EQ(badA, 0);
    EXPECT_EQ(badB, 0);
}

TEST(SiderealTime, AtMidnight) {
    const double s2000 = SiderealAtMidnight(2000, 1, 1);
    EXPECT_NEAR(s2000 / 7.27220521664304e-05, 23992.27, 0.01);
    EXPECT_NEAR(s2000, 1.74477, 1e-5);
    // Against the linear IAU expression 100.46061837 + 0.98564736629 deg per day
    // at 0h UT (days from J2000.0): the two agree to well under a second of time.
    for (int y = 1950; y < 2050; y += 7) {
        const double d = DaysBetween(2000, 1, 1, y, 3, 21) - 0.5;
        double want = (100.46061837 + 0.98564736629 * d) * kDegToRad;
        double got = SiderealAtMidnight(y, 3, 21);
        NormalizeAngle(want);
        NormalizeAngle(got);
        double diff = std::remainder(got - want, kTwoPi);
        EXPECT_LT(std::fabs(diff) / kTwoPi * 86400.0, 0.5) << y;
    }
}

TEST(SiderealTime, LocalAddsHoursAndEastLongitude) {
    const DateTime local(2004, 3, 10, 21, 0, 0);  // 12:00 UT
    const double greenwich = LocalSiderealTime(local, 9, 0, 0);
    EXPECT_DOUBLE_EQ(greenwich, SiderealAtMidnight(2004, 3, 10) + 12 * 0.2625161447810598);
    EXPECT_NEAR(LocalSiderealTime(local, 9, 139, 22) - greenwich, -LongitudeRadians(139, 22), 1e-12);
    EXPECT_NEAR(LocalSiderealTime(local, 9, -74, -30) - greenwich, -74.5 * kDegToRad, 1e-12);
    // Seconds are not used.
    EXPECT_DOUBLE_EQ(LocalSiderealTime(DateTime(2004, 3, 10, 21, 0, 59), 9, 0, 0), greenwich);
}

TEST(SiderealTime, WestZoneGivesSameInstant) {
    // 10:00 at zone -5 is 15:00 UT: the hour-39 UT record must give the same
    // sidereal time as the plain record, up to the rate's rounding.
    double west = LocalSiderealTime(DateTime(2004, 3, 10, 10, 0, 0), -5, -75, 0);
    double plain = LocalSiderealTime(DateTime(2004, 3, 10, 15, 0, 0), 0, -75, 0);
    const double diffSeconds = std::remainder(west - plain, kTwoPi) / kTwoPi * 86400.0;
    EXPECT_LT(std::fabs(diffSeconds), 0.05);
}

TEST(SiteAngles, SignsAndMinutes) {
    EXPECT_DOUBLE_EQ(LongitudeRadians(139, 22), -(139 + 22 / 60.0) * kPi / 180);
    EXPECT_DOUBLE_EQ(LatitudeRadians(35, 34), (35 + 34 / 60.0) * kPi / 180);
    EXPECT_DOUBLE_EQ(LatitudeRadians(-33, -52), -(33 + 52 / 60.0) * kPi / 180);
    EXPECT_DOUBLE_EQ(LongitudeRadians(0, -30), 0.5 * kPi / 180);
}

}  // namespace
}  // namespace tavik
