#include "astro/SunMoon.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/Angles.h"
#include "astro/TimeScales.h"

namespace tavik {
namespace {

TEST(SunPosition, LatitudeZeroAndGeometricOffset) {
    for (int m = 1; m <= 12; ++m) {
        const SunEcliptic s = SunPosition(DateTime(2010, m, 15, 6, 0, 0));
        EXPECT_EQ(s.latitude, 0.0);
        EXPECT_NEAR((s.geometricLongitude - s.apparentLongitude) * kRadToDeg, 0.0057, 1e-12);
    }
}

TEST(SunPosition, DistanceOverAYear) {
    double minR = 10, maxR = 0;
    int minDay = 0, maxDay = 0;
    for (int d = 0; d < 365; ++d) {
        DateTime t(2005, 1, 1, 0, 0, 0);
        t.AddOffset(DateOffset(d, 0, 0, 0));
        const double r = SunPosition(t).distance;
        if (r < minR) { minR = r; minDay = d; }
        if (r > maxR) { maxR = r; maxDay = d; }
    }
    EXPECT_NEAR(minR, 0.9833, 0.0005);
    EXPECT_NEAR(maxR, 1.0167, 0.0005);
    EXPECT_LE(minDay, 6);  // perihelion in early January
    EXPECT_NEAR(maxDay, 186, 7);  // aphelion in early July (the Moon blurs the flat maximum)
}

TEST(SunPosition, EquinoxAndSolstice) {
    // 2004-03-20 06:49 UT equinox, 2004-06-21 00:57 UT solstice.
    const Spherical eq = SunEquatorial(DateTime(2004, 3, 20, 6, 49, 0));
    EXPECT_NEAR(eq.lat * kRadToDeg, 0.0, 0.01);
    EXPECT_NEAR(std::remainder(eq.lon, kTwoPi) * kRadToDeg, 0.0, 0.02);
    const Spherical sol = SunEquatorial(DateTime(2004, 6, 21, 0, 57, 0));
    EXPECT_NEAR(sol.lat, Obliquity(2004, 6, 21), 1e-5);
    EXPECT_NEAR(sol.lon * kRadToDeg, 90.0, 0.02);
}

// The age is the time since the last new moon: 2026-12-09 00:52 UT.
TEST(MoonAge, DaysSinceTheLastNewMoon) {
    EXPECT_NEAR(MoonAge(DateTime(2026, 12, 10, 6, 0, 0)), 1.21, 0.1);    // 15:00 in Japan
    EXPECT_NEAR(MoonAge(DateTime(2026, 12, 21, 12, 0, 0)), 12.46, 0.1);  // 21:00 in Japan
    EXPECT_NEAR(MoonAge(DateTime(2026, 12, 9, 2, 52, 0)), 2.0 / 24, 0.1);
    EXPECT_GT(MoonAge(DateTime(2026, 12, 8, 22, 52, 0)), 29.0);  // the lunation before, nearly over

    // Hour by hour through two lunations: it grows with the clock and starts
    // again from nil once a lunation, never out of 0..29.9.
    DateTime t(2030, 3, 1, 0, 0, 0);
    double last = MoonAge(t);
    int newMoons = 0;
    for (int h = 0; h < 24 * 59; ++h) {
        t.AddOffset(DateOffset(0, 1, 0, 0));
        const double age = MoonAge(t);
        ASSERT_GE(age, 0.0);
        ASSERT_LT(age, 29.9);
        if (age < last) {
            ++newMoons;
            EXPECT_LT(age, 1.0 / 24 + 1e-6);
        } else {
            EXPECT_NEAR(age - last, 1.0 / 24, 1e-6);
        }
        last = age;
    }
    EXPECT_EQ(newMoons, 2);
}

TEST(MoonAge, PhaseIndexStaysInsideTheCycle) {
    EXPECT_EQ(MoonPhaseIndex(0.0), 29);
    EXPECT_EQ(MoonPhaseIndex(1.0), 0);
    EXPECT_EQ(MoonPhaseIndex(15.0), 14);
    EXPECT_EQ(MoonPhaseIndex(30.0), 29);
    EXPECT_EQ(MoonPhaseIndex(31.0), 0);
    for (int d = 0; d < 400; ++d) {
        DateTime t(2026, 1, 1, 12, 0, 0);
        t.AddOffset(DateOffset(d, 0, 0, 0));
        const int i = MoonPhaseIndex(MoonAge(t));
        ASSERT_GE(i, 0);
        ASSERT_LT(i, 30);
    }
}

TEST(MoonEcliptic, RangesAndMotion) {
    for (int d = 0; d < 60; ++d) {
        DateTime t(2012, 5, 1, 0, 0, 0);
        t.AddOffset(DateOffset(d, 0, 0, 0));
        const MoonEclipticPosition m = MoonEcliptic(t);
        EXPECT_LE(std::fabs(m.latitude) * kRadToDeg, 5.35);
        EXPECT_GE(m.parallax * kRadToDeg, 0.89);
        EXPECT_LE(m.parallax * kRadToDeg, 1.03);
        // About 13 degrees a day (between 11.7 and 15.4).
        DateTime next = t;
        next.AddOffset(DateOffset(1, 0, 0, 0));
        const double step = (MoonEcliptic(next).longitude - m.longitude) * kRadToDeg;
        EXPECT_GT(step, 11.5);
        EXPECT_LT(step, 15.5);
    }
}

TEST(MoonEcliptic, NewMoonConjunction) {
    // New moon of 2004-03-20 22:41 UT: Moon and Sun share the ecliptic longitude.
    const DateTime t(2004, 3, 20, 22, 41, 0);
    const double diff = std::remainder(MoonEcliptic(t).longitude - SunPosition(t).apparentLongitude, kTwoPi);
    EXPECT_NEAR(diff * kRadToDeg, 0.0, 0.1);
}

TEST(MoonTopocentric, ParallaxGeometry) {
    const DateTime t(2010, 8, 20, 12, 0, 0);
    const Spherical geo = MoonEquatorial(t);
    const double p = MoonEcliptic(t).parallax;
    // From the north pole the displacement is along the axis: right ascension stays.
    const Spherical pole = MoonTopocentric(t, 1.234, kPi / 2);
    EXPECT_NEAR(std::remainder(pole.lon - geo.lon, kTwoPi), 0.0, 1e-12);
    EXPECT_LT(pole.lat, geo.lat);
    // On the equator with the Moon on the meridian: declination only.
    const Spherical eq = MoonTopocentric(t, geo.lon, 0.0);
    EXPECT_NEAR(std::remainder(eq.lon - geo.lon, kTwoPi), 0.0, 1e-12);
    EXPECT_NEAR(eq.lat - geo.lat, p * std::sin(geo.lat), 2e-4);  // away from the zenith
    // Seen anywhere, the Moon stands lower by about p * cos(altitude).
    const double phi = 35.5 * kDegToRad;
    for (double lst = 0; lst < kTwoPi; lst += 0.5) {
        const Spherical top = MoonTopocentric(t, lst, phi);
        const double hGeo = EquatorialToHorizontal(geo.lon, geo.lat, phi, lst).lat;
        const double hTop = EquatorialToHorizontal(top.lon, top.lat, phi, lst).lat;
        EXPECT_NEAR(hGeo - hTop, p * std::cos(hGeo), 2e-4) << lst;
    }
}

TEST(MoonTopocentric, OrientationPointLeadsAlongTheEcliptic) {
    const DateTime t(2010, 8, 20, 12, 0, 0);
    const Spherical moon = MoonEquatorial(t);
    const Spherical ahead = MoonOrientationPoint(t);
    const double sep = std::acos(std::sin(moon.lat) * std::sin(ahead.lat) +
                                 std::cos(moon.lat) * std::cos(ahead.lat) * std::cos(moon.lon - ahead.lon));
    EXPECT_NEAR(sep, 0.05 * std::cos(MoonEcliptic(t).latitude), 1e-3);
    EXPECT_GT(std::remainder(ahead.lon - moon.lon, kTwoPi), 0.0);  // eastward
}

}  // namespace
}  // namespace tavik
