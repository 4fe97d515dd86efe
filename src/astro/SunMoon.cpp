#include "astro/SunMoon.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "astro/Angles.h"
#include "astro/Series.h"
#include "astro/TimeScales.h"

namespace tavik {

namespace {

// Terms added inside the argument of the Moon's equation of centre.
constexpr std::array<SeriesTerm, 4> kMoonAnomaly{{
    AngleTerm(0.004, 93.8, -1.33),
    AngleTerm(0.002, 248.6, -19.34),
    AngleTerm(0.0006, 66, 0.2),
    AngleTerm(0.0006, 249, -19.3),
}};

// Terms added inside the argument of the Moon's principal latitude term.
constexpr std::array<SeriesTerm, 5> kMoonLatitudeArgument{{
    AngleTerm(0.0267, 68.64, -19.341),
    AngleTerm(0.0043, 342.6, -19.36),
    AngleTerm(0.004, 93.8, -1.33),
    AngleTerm(0.002, 248.6, -19.34),
    AngleTerm(0.0005, 358, -19.4),
}};

constexpr std::array<SeriesTerm, 38> kMoonLongitude{{
    AngleTerm(1.274, 107.248, -4133.3536),
    AngleTerm(0.6538, 51.668, 8905.3422),
    AngleTerm(0.2136, 317.831, 9543.9773),
    AngleTerm(0.1856, 176.531, 359.9905),
    AngleTerm(0.1143, 292.463, 9664.0404),
    AngleTerm(0.0588, 86.16, 638.635),
    AngleTerm(0.0572, 103.78, -3773.363),
    AngleTerm(0.0533, 30.58, 13677.331),
    AngleTerm(0.0459, 124.86, -8545.352),
    AngleTerm(0.041, 342.38, 4411.998),
    AngleTerm(0.0348, 25.83, 4452.671),
    AngleTerm(0.0305, 155.45, 5131.979),
    AngleTerm(0.0153, 240.79, 758.698),
    AngleTerm(0.0125, 271.38, 14436.029),
    AngleTerm(0.011, 226.45, -4892.052),
    AngleTerm(0.0107, 55.58, -13038.696),
    AngleTerm(0.01, 296.75, 14315.966),
    AngleTerm(0.0085, 34.5, -8266.71),
    AngleTerm(0.0079, 290.7, -4493.34),
    AngleTerm(0.0068, 228.2, 9265.33),
    AngleTerm(0.0052, 133.1, 319.32),
    AngleTerm(0.005, 202.4, 4812.66),
    AngleTerm(0.0048, 68.6, -19.34),
    AngleTerm(0.004, 34.1, 13317.34),
    AngleTerm(0.004, 9.5, 18449.32),
    AngleTerm(0.004, 93.8, -1.33),
    AngleTerm(0.0039, 103.3, 17810.68),
    AngleTerm(0.0037, 65.1, 5410.62),
    AngleTerm(0.0027, 321.3, 9183.99),
    AngleTerm(0.0026, 174.8, -13797.39),
    AngleTerm(0.0024, 82.7, 998.63),
    AngleTerm(0.0024, 4.7, 9227.66),
    AngleTerm(0.0022, 121.4, -8185.36),
    AngleTerm(0.0021, 134.4, 9903.97),
    AngleTerm(0.0021, 173.1, 719.98),
    AngleTerm(0.0021, 100.3, -3413.37),
    AngleTerm(0.002, 248.6, -19.34),
    AngleTerm(0.0018, 98.1, 4013.29),
}};

// Rows 9 and 10 turn backwards (negative rates); with forward rates the
// latitude error doubles.
constexpr std::array<SeriesTerm, 10> kMoonLatitude{{
    AngleTerm(0.2806, 215.147, 9604.0088),
    AngleTerm(0.2777, 77.316, 60.0316),
    AngleTerm(0.1732, 4.563, -4073.322),
    AngleTerm(0.0554, 308.98, 8965.374),
    AngleTerm(0.0463, 343.48, 698.667),
    AngleTerm(0.0326, 287.9, 13737.362),
    AngleTerm(0.0172, 194.06, 14375.997),
    AngleTerm(0.0093, 25.6, -8845.31),
    AngleTerm(0.0088, 98.4, -4711.96),
    AngleTerm(0.0082, 1.1, -3713.33),
}};

constexpr std::array<SeriesTerm, 5> kMoonParallax{{
    AngleTerm(0.0518, 338.92, 4771.989),
    AngleTerm(0.0095, 287.2, -4133.35),
    AngleTerm(0.0078, 51.7, 8905.34),
    AngleTerm(0.0028, 317.8, 9543.98),
    AngleTerm(0.0009, 31, 13677.3),
}};

constexpr std::array<SeriesTerm, 18> kSunLongitude{{
    AngleTerm(0.02, 353.06, 719.981),
    AngleTerm(-0.0048, 248.64, -19.341),
    AngleTerm(0.002, 285, 329.64),
    AngleTerm(0.0018, 334.2, -4452.67),
    AngleTerm(0.0018, 293.7, -0.2),
    AngleTerm(0.0015, 242.4, 450.37),
    AngleTerm(0.0013, 211.1, 225.18),
    AngleTerm(0.0008, 208, 659.29),
    AngleTerm(0.0007, 53.5, 90.38),
    AngleTerm(0.0007, 12.1, -30.35),
    AngleTerm(0.0006, 239.1, 337.18),
    AngleTerm(0.0005, 10.1, -1.5),
    AngleTerm(0.0005, 99.1, -22.81),
    AngleTerm(0.0004, 264.8, 315.56),
    AngleTerm(0.0004, 233.8, 299.3),
    AngleTerm(-0.0004, 198.1, 720.02),
    AngleTerm(0.0003, 349.6, 1079.97),
    AngleTerm(0.0003, 241.2, -44.43),
}};

constexpr std::array<SeriesTerm, 4> kSunDistance{{
    PlainTerm(-0.000091, 353.1, 719.98),
    PlainTerm(0.000013, 205.8, 4452.67),
    PlainTerm(0.000007, 62, 450.4),
    PlainTerm(0.000007, 105, 329.6),
}};

// Geometric minus apparent longitude of the Sun: 0.0057 degree.
constexpr double kSunAberration = 9.94837673636768e-05;

SunEcliptic SunAt(double t) {
    const double m = 6.2226398354279 + 6.28302822754691 * t;
    double lambda = 4.87012344093639 + 6.28331952299907 * t + (1.9159 - 0.00005 * t) * kDegToRad * std::sin(m);
    SineSeries(t, lambda, kSunLongitude);
    double logR = (-0.007261 + 0.0000002 * t) * std::cos((356.530 + 359.991 * t) * kDegToRad) + 0.000030;
    CosineSeries(t, logR, kSunDistance);
    return {lambda, lambda + kSunAberration, 0.0, std::pow(10.0, logR)};
}

MoonEclipticPosition MoonAt(double t) {
    double a = 0.0;
    SineSeries(t, a, kMoonAnomaly);
    double lambda = 2.179486884744927 + 83.9970910754626 * t +
                    0.1097585206701674 * std::sin(5.915182634396582 + 83.28691293763467 * t + a);
    SineSeries(t, lambda, kMoonLongitude);
    double b = 0.0;
    SineSeries(t, b, kMoonLatitudeArgument);
    double beta = 0.0895039747007732 * std::sin(4.1230087452787245 + 84.3346620128749 * t + b);
    SineSeries(t, beta, kMoonLatitude);
    double p = 0.01659284519871009;
    CosineSeries(t, p, kMoonParallax);
    return {lambda, beta, p};
}

}  // namespace

SunEcliptic SunPosition(const DateTime& ut) { return SunAt(EphemerisYears(ut)); }

Spherical SunEquatorial(const DateTime& ut) {
    const SunEcliptic sun = SunPosition(ut);
    return EclipticToEquatorial(Obliquity(ut.Year(), ut.Month(), ut.Day()), sun.apparentLongitude, 0.0);
}

MoonEclipticPosition MoonEcliptic(const DateTime& ut) { return MoonAt(EphemerisYears(ut)); }

Spherical MoonEquatorial(const DateTime& ut) {
    const MoonEclipticPosition moon = MoonEcliptic(ut);
    return EclipticToEquatorial(Obliquity(ut.Year(), ut.Month(), ut.Day()), moon.longitude, moon.latitude);
}

Spherical MoonTopocentric(const DateTime& ut, double lst, double phi) {
    const MoonEclipticPosition moon = MoonEcliptic(ut);
    const double eps = Obliquity(ut.Year(), ut.Month(), ut.Day());
    const Spherical eq = EclipticToEquatorial(eps, moon.longitude, moon.latitude);
    const double r = kEarthRadiusKm / moon.parallax;
    const double cd = std::cos(eq.lat);
    const double x = r * cd * std::cos(eq.lon) - kEarthRadiusKm * std::cos(phi) * std::cos(lst);
    const double y = r * cd * std::sin(eq.lon) - kEarthRadiusKm * std::cos(phi) * std::sin(lst);
    const double z = r * std::sin(eq.lat) - kEarthRadiusKm * std::sin(phi);
    const double n = std::sqrt(x * x + y * y + z * z);
    return {std::atan2(y, x), std::asin(std::clamp(z / n, -1.0, 1.0))};
}

Spherical MoonOrientationPoint(const DateTime& ut) {
    const MoonEclipticPosition moon = MoonEcliptic(ut);
    return EclipticToEquatorial(Obliquity(ut.Year(), ut.Month(), ut.Day()), moon.longitude + 0.05,
                                moon.latitude);
}

double MoonAge(const DateTime& ut) {
    constexpr double kDaysPerYear = 365.25;
    constexpr double kSynodicYears = 29.530589 / kDaysPerYear;  // mean synodic month
    // The Moon's ecliptic longitude less the Sun's: it grows by 2pi from one new
    // moon to the next and never runs backwards.
    const auto elongation = [](double t) { return MoonAt(t).longitude - SunAt(t).apparentLongitude; };
    const double t = EphemerisYears(ut);
    double e = std::fmod(elongation(t), kTwoPi);
    if (e < 0.0) e += kTwoPi;
    // The last new moon: guessed from the mean motion, then moved until the
    // elongation there is nil (the Moon's changing speed makes the guess up to
    // most of a day off; each step shrinks that to a quarter or less).
    double newMoon = t - e / kTwoPi * kSynodicYears;
    for (int i = 0; i < 10; ++i) newMoon -= std::remainder(elongation(newMoon), kTwoPi) / kTwoPi * kSynodicYears;
    return std::max(0.0, (t - newMoon) * kDaysPerYear);
}

int MoonPhaseIndex(double age) {
    // The phase pictures form a 30-step cycle: an age past it wraps instead of
    // running past the last picture.
    if (!std::isfinite(age)) return 0;
    double index = std::fmod(std::trunc(age) - 1.0, 30.0);
    if (index < 0) index += 30.0;
    return static_cast<int>(index);
}

}  // namespace tavik
