// Sun, Moon and planet positions and Greenwich sidereal time against libnova
// (VSOP87 and ELP theories) over 1950..2049. libnova's equatorial positions are
// referred to J2000 and are precessed to the equinox of date before comparing.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "astro/Angles.h"
#include "astro/DateTime.h"
#include "astro/Planets.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"
#include "astro/Transforms.h"

#ifdef TAVIK_HAVE_LIBNOVA
#include <libnova/julian_day.h>
#include <libnova/lunar.h>
#include <libnova/mars.h>
#include <libnova/mercury.h>
#include <libnova/jupiter.h>
#include <libnova/precession.h>
#include <libnova/saturn.h>
#include <libnova/sidereal_time.h>
#include <libnova/solar.h>
#include <libnova/venus.h>
#endif

namespace tavik {
namespace {

#ifdef TAVIK_HAVE_LIBNOVA

// Instants spread over 1950..2049: 250 reproducible pseudo-random UT moments at
// whole minutes.
std::vector<DateTime> Instants() {
    std::mt19937 rng(20041);
    std::uniform_int_distribution<int> year(1950, 2049), month(1, 12), hour(0, 23), minute(0, 59);
    std::vector<DateTime> out;
    for (int i = 0; i < 250; ++i) {
        const int y = year(rng), m = month(rng);
        std::uniform_int_distribution<int> day(1, DaysInMonth(y, m));
        out.emplace_back(y, m, day(rng), hour(rng), minute(rng), 0);
    }
    return out;
}

double JulianDay(const DateTime& ut) {
    ln_date d{ut.Year(), ut.Month(), ut.Day(), ut.Hour(), ut.Minute(), static_cast<double>(ut.Second())};
    return ln_get_julian_day(&d);
}

// Great-circle separation in degrees.
double SeparationDeg(double ra1, double dec1, double ra2, double dec2) {
    const double s = std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    const double c1 = std::cos(dec2) * std::sin(ra1 - ra2);
    const double c2 = std::cos(dec1) * std::sin(dec2) - std::sin(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    return std::atan2(std::hypot(c1, c2), s) * kRadToDeg;
}

// libnova J2000 position precessed to the equinox of date, radians.
Spherical ReferenceOfDate(void (*get)(double, ln_equ_posn*), double jd) {
    ln_equ_posn j2000{}, ofDate{};
    get(jd, &j2000);
    ln_get_equ_prec(&j2000, jd, &ofDate);
    return {ofDate.ra * kDegToRad, ofDate.dec * kDegToRad};
}

struct Body {
    const char* name;
    double boundDeg;
    void (*reference)(double, ln_equ_posn*);
    std::function<Spherical(const DateTime&)> ours;
};

Spherical PlanetOf(const DateTime& ut, int i) {
    std::array<double, kPlanetCount> ra{}, dec{};
    PlanetsEquatorial(ut, ra, dec);
    return {ra[static_cast<size_t>(i)], dec[static_cast<size_t>(i)]};
}

TEST(EphemerisAccuracy, GeocentricPositionsAgainstLibnova) {
    const std::vector<Body> bodies{
        {"Sun", 0.02, ln_get_solar_equ_coords, [](const DateTime& t) { return SunEquatorial(t); }},
        {"Moon", 0.06, ln_get_lunar_equ_coords, [](const DateTime& t) { return MoonEquatorial(t); }},
        {"Mercury", 0.03, ln_get_mercury_equ_coords, [](const DateTime& t) { return PlanetOf(t, 0); }},
        {"Venus", 0.03, ln_get_venus_equ_coords, [](const DateTime& t) { return PlanetOf(t, 1); }},
        {"Mars", 0.03, ln_get_mars_equ_coords, [](const DateTime& t) { return PlanetOf(t, 2); }},
        {"Jupiter", 0.03, ln_get_jupiter_equ_coords, [](const DateTime& t) { return PlanetOf(t, 3); }},
        {"Saturn", 0.03, ln_get_saturn_equ_coords, [](const DateTime& t) { return PlanetOf(t, 4); }},
    };
    const std::vector<DateTime> instants = Instants();
    ASSERT_GE(instants.size(), 200u);
    for (const Body& body : bodies) {
        double worst = 0.0;
        DateTime worstAt;
        for (const DateTime& t : instants) {
            const Spherical ref = ReferenceOfDate(body.reference, JulianDay(t));
            const Spherical ours = body.ours(t);
            const double err = SeparationDeg(ours.lon, ours.lat, ref.lon, ref.lat);
            if (err > worst) {
                worst = err;
                worstAt = t;
            }
        }
        std::printf("%-8s worst %.4f deg (bound %.2f) at %04d-%02d-%02d %02d:%02d UT\n", body.name, worst,
                    body.boundDeg, worstAt.Year(), worstAt.Month(), worstAt.Day(), worstAt.Hour(),
                    worstAt.Minute());
        EXPECT_LE(worst, body.boundDeg) << body.name;
    }
}

TEST(EphemerisAccuracy, MoonLatitudeAgainstLibnova) {
    // The latitude alone shows faults in the Moon's latitude series that the
    // combined position bound could hide (measured: about 0.021 degree, the
    // rest being libnova's fixed J2000 ecliptic; with rows 9 and 10 turning
    // forwards it grows to 0.037).
    double worst = 0.0;
    for (const DateTime& t : Instants()) {
        ln_lnlat_posn ref{};
        ln_get_lunar_ecl_coords(JulianDay(t), &ref, 0.0);
        worst = std::max(worst, std::fabs(MoonEcliptic(t).latitude * kRadToDeg - ref.lat));
    }
    std::printf("Moon latitude worst %.4f deg\n", worst);
    EXPECT_LE(worst, 0.028);
}

TEST(EphemerisAccuracy, GreenwichSiderealTimeAgainstLibnova) {
    double worstSeconds = 0.0;
    for (const DateTime& t : Instants()) {
        const double ours = LocalSiderealTime(t, 0, 0, 0);  // UT clock at Greenwich
        const double refHours = ln_get_mean_sidereal_time(JulianDay(t));
        const double diff = std::remainder(ours - refHours * 15.0 * kDegToRad, kTwoPi);
        worstSeconds = std::max(worstSeconds, std::fabs(diff) / kTwoPi * 86400.0);
    }
    std::printf("GMST     worst %.3f s of time (bound 1 s)\n", worstSeconds);
    EXPECT_LE(worstSeconds, 1.0);
}

// The Moon's ecliptic longitude less the Sun's by libnova, degrees in [0, 360).
double ReferenceElongation(double jd) {
    const auto longitude = [jd](void (*get)(double, ln_equ_posn*)) {
        ln_equ_posn p{};
        get(jd, &p);
        const double eps = 23.4392911 * kDegToRad, ra = p.ra * kDegToRad, dec = p.dec * kDegToRad;
        return std::atan2(std::sin(ra) * std::cos(eps) + std::tan(dec) * std::sin(eps), std::cos(ra)) * kRadToDeg;
    };
    const double e = std::fmod(longitude(ln_get_lunar_equ_coords) - longitude(ln_get_solar_equ_coords), 360.0);
    return e < 0.0 ? e + 360.0 : e;
}

// Days from libnova's new moon nearest to jd - guess to jd: from the guess,
// steps at the mean rate of the elongation until libnova puts it at nil.
double ReferenceMoonAge(double jd, double guess) {
    double newMoon = jd - guess;
    for (int i = 0; i < 6; ++i) newMoon -= std::remainder(ReferenceElongation(newMoon), 360.0) / (360.0 / 29.530589);
    return jd - newMoon;
}

TEST(EphemerisAccuracy, MoonAgeAgainstLibnova) {
    double worst = 0.0;
    const std::vector<DateTime> instants = Instants();
    for (std::size_t i = 0; i < instants.size(); i += 4) {
        const double ours = MoonAge(instants[i]);
        worst = std::max(worst, std::fabs(ours - ReferenceMoonAge(JulianDay(instants[i]), ours)));
    }
    std::printf("Moon age worst %.3f days (bound 0.1)\n", worst);
    EXPECT_LE(worst, 0.1);
}

#else

TEST(EphemerisAccuracy, NeedsLibnova) { GTEST_SKIP() << "libnova not installed; run tools/install-deps.sh"; }

#endif

}  // namespace
}  // namespace tavik
