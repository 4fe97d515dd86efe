#include "astro/Planets.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/Angles.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"

namespace tavik {
namespace {

double Separation(double ra1, double dec1, double ra2, double dec2) {
    return std::acos(std::clamp(std::sin(dec1) * std::sin(dec2) +
                                    std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2), -1.0, 1.0));
}

TEST(PlanetHeliocentric, DistancesStayOnTheirOrbits) {
    struct Range { Planet p; double lo, hi; };
    const Range ranges[] = {{Planet::Mercury, 0.3074, 0.4667}, {Planet::Venus, 0.7184, 0.7283},
                            {Planet::Mars, 1.381, 1.667},     {Planet::Jupiter, 4.94, 5.46},
                            {Planet::Saturn, 9.0, 10.1}};
    for (int i = 0; i < 400; ++i) {
        DateTime t(1950, 1, 1, 0, 0, 0);
        for (int k = 0; k < i; ++k) t.AddOffset(DateOffset(91, 7, 0, 0));
        for (const Range& r : ranges) {
            const HeliocentricPosition h = PlanetHeliocentric(r.p, t);
            EXPECT_GE(h.distance, r.lo) << static_cast<int>(r.p) << " " << t.Year();
            EXPECT_LE(h.distance, r.hi) << static_cast<int>(r.p) << " " << t.Year();
            EXPECT_LE(std::fabs(h.latitude) * kRadToDeg, 7.1);  // Mercury's inclination is the largest
        }
    }
}

TEST(PlanetsEquatorial, InnerPlanetsStayNearTheSun) {
    double maxMercury = 0, maxVenus = 0;
    DateTime t(1990, 1, 1, 0, 0, 0);
    for (int i = 0; i < 1500; ++i, t.AddOffset(DateOffset(5, 0, 0, 0))) {
        std::array<double, kPlanetCount> ra{}, dec{};
        PlanetsEquatorial(t, ra, dec);
        const Spherical sun = SunEquatorial(t);
        maxMercury = std::max(maxMercury, Separation(ra[0], dec[0], sun.lon, sun.lat));
        maxVenus = std::max(maxVenus, Separation(ra[1], dec[1], sun.lon, sun.lat));
    }
    EXPECT_LT(maxMercury * kRadToDeg, 28.5);
    EXPECT_GT(maxMercury * kRadToDeg, 27.0);
    EXPECT_LT(maxVenus * kRadToDeg, 47.9);
    EXPECT_GT(maxVenus * kRadToDeg, 45.0);
}

TEST(HeliocentricToGeocentric, LightTimeTerms) {
    const double lambdaG = 1.0, R = 0.99, r = 5.2, k = AberrationConstant(Planet::Jupiter);
    EXPECT_DOUBLE_EQ(k, 0.0129);
    // Planet beyond the Sun: the direction from the Earth is the Sun's and the planet's own.
    const Spherical behind = HeliocentricToGeocentric(lambdaG, R, lambdaG, 0.0, r, k);
    EXPECT_NEAR(behind.lon, lambdaG - 0.0057 * kDegToRad / R - k * kDegToRad / r, 1e-14);
    EXPECT_NEAR(behind.lat, 0.0, 1e-15);
    // At opposition the annual term changes sign.
    const Spherical opposite = HeliocentricToGeocentric(lambdaG, R, lambdaG + kPi, 0.0, r, k);
    EXPECT_NEAR(std::remainder(opposite.lon - (lambdaG + kPi), kTwoPi),
                0.0057 * kDegToRad / R - k * kDegToRad / r, 1e-14);
    // A planet above the ecliptic at opposition: latitude from the geocentric distance r - R.
    const Spherical up = HeliocentricToGeocentric(lambdaG, R, lambdaG + kPi, 0.02, r, k);
    EXPECT_NEAR(up.lat, std::atan2(r * std::sin(0.02), r * std::cos(0.02) - R), 1e-12);
}

TEST(HeliocentricLongitudes, EarthOppositeTheSunAndSlotsUntouched) {
    const DateTime t(2004, 3, 10, 12, 0, 0);
    std::array<double, 10> lon, lat;
    lon.fill(-7.0);
    lat.fill(-7.0);
    HeliocentricLongitudes(t, lon, lat);
    const SunEcliptic sun = SunPosition(t);
    EXPECT_DOUBLE_EQ(lon[9], sun.geometricLongitude - kPi);
    EXPECT_EQ(lat[9], 0.0);
    for (int i = 5; i <= 8; ++i) {
        EXPECT_EQ(lon[static_cast<size_t>(i)], -7.0);
        EXPECT_EQ(lat[static_cast<size_t>(i)], -7.0);
    }
    for (int i = 0; i < kPlanetCount; ++i) {
        const HeliocentricPosition h = PlanetHeliocentric(static_cast<Planet>(i), t);
        EXPECT_DOUBLE_EQ(lon[static_cast<size_t>(i)], h.longitude);
        EXPECT_DOUBLE_EQ(lat[static_cast<size_t>(i)], h.latitude);
    }
}

}  // namespace
}  // namespace tavik
