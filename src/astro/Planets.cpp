#include "astro/Planets.h"

#include <algorithm>
#include <cmath>

#include "astro/Angles.h"
#include "astro/Series.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"

namespace tavik {

namespace {

// Venus, Mars, Jupiter and Saturn: rates in degrees per Julian year.
constexpr std::array<SeriesTerm, 12> kVenusLongitude{{
    AngleTerm(0.0033, 357.9, 1170.35),
    AngleTerm(0.0031, 242.3, 450.37),
    AngleTerm(0.002, 273.5, 675.55),
    AngleTerm(0.0014, 31.1, 225.18),
    AngleTerm(0.001, 233.1, 90.38),
    AngleTerm(0.0008, 350, 1.5),
    AngleTerm(0.0008, 136, 554.8),
    AngleTerm(0.0004, 295, 540.7),
    AngleTerm(0.0004, 61, -44.4),
    AngleTerm(0.0004, 17, -30.3),
    AngleTerm(0.0003, 125, 900.7),
    AngleTerm(0.0003, 44, 11),
}};

constexpr std::array<SeriesTerm, 3> kVenusDistance{{
    PlainTerm(-0.000015, 357.9, 1170.35),
    PlainTerm(0.00001, 62.3, 450.37),
    PlainTerm(0.000008, 93, 675.6),
}};

constexpr std::array<SeriesTerm, 26> kMarsLongitude{{
    AngleTerm(0.6225, 187.54, 382.797),
    AngleTerm(0.0503, 101.31, 574.196),
    AngleTerm(0.0146, 62.31, 0.198),
    AngleTerm(0.0071, 71.8, 161.05),
    AngleTerm(0.0061, 230.2, 130.71),
    AngleTerm(0.0046, 15.1, 765.59),
    AngleTerm(0.0045, 147.5, 322.11),
    AngleTerm(0.0039, 279.3, -22.81),
    AngleTerm(0.0024, 207.7, 168.59),
    AngleTerm(0.002, 140.1, 145.78),
    AngleTerm(0.0018, 224.7, 10.98),
    AngleTerm(0.0014, 221.8, -45.62),
    AngleTerm(0.001, 91.4, -30.34),
    AngleTerm(0.0009, 268, 100.4),
    AngleTerm(0.0009, 343, 352.5),
    AngleTerm(0.0007, 71, 123),
    AngleTerm(0.0007, 203, 291.8),
    AngleTerm(0.0006, 62, 513.5),
    AngleTerm(0.0005, 289, 957),
    AngleTerm(0.0005, 13, 167),
    AngleTerm(0.0004, 318, -60.7),
    AngleTerm(0.0004, 318, 179.2),
    AngleTerm(0.0004, 85, 8.9),
    AngleTerm(0.0004, 57, 483.2),
    AngleTerm(0.0004, 7, -214.2),
    AngleTerm(0.0003, 1, 100.2),
}};

constexpr std::array<SeriesTerm, 8> kMarsDistance{{
    PlainTerm(-0.002825, 187.54, 382.797),
    PlainTerm(-0.000249, 101.31, 574.196),
    PlainTerm(-0.000024, 15.1, 765.59),
    PlainTerm(0.000023, 251.7, 161.05),
    PlainTerm(0.000022, 327.6, 322.11),
    PlainTerm(0.000017, 50.2, 130.71),
    PlainTerm(0.000007, 27, 168.6),
    PlainTerm(0.000006, 320, 145.8),
}};

constexpr std::array<SeriesTerm, 35> kJupiterAnomaly{{
    AngleTerm(0.3323, 162.78, 0.385),
    AngleTerm(0.0541, 38.46, -36.256),
    AngleTerm(0.0447, 293.42, -29.941),
    AngleTerm(0.0342, 44.5, -5.907),
    AngleTerm(0.023, 201.25, -24.035),
    AngleTerm(0.0222, 109.99, -18.128),
    AngleTerm(-0.0048, 248.6, -19.34),
    AngleTerm(0.0047, 184.6, -11.81),
    AngleTerm(0.0045, 150.1, -54.38),
    AngleTerm(0.0042, 130.7, -42.16),
    AngleTerm(0.0039, 7.6, 6.31),
    AngleTerm(0.0031, 163.2, 12.22),
    AngleTerm(0.0031, 145.6, 0.77),
    AngleTerm(0.0024, 191.3, -0.23),
    AngleTerm(0.0019, 148.4, 24.44),
    AngleTerm(0.0017, 197.9, -29.941),
    AngleTerm(0.001, 307.9, 36.66),
    AngleTerm(0.001, 252.6, -72.51),
    AngleTerm(0.001, 269, -60.29),
    AngleTerm(0.001, 278.7, -29.53),
    AngleTerm(0.0008, 52, -66.6),
    AngleTerm(0.0008, 24, -35.8),
    AngleTerm(0.0005, 356, -5.5),
    AngleTerm(0.0005, 186, -23.6),
    AngleTerm(0.0004, 344, -5.9),
    AngleTerm(0.0004, 222, -48.1),
    AngleTerm(-0.0004, 198, 720),
    AngleTerm(0.0004, 140, -48.5),
    AngleTerm(0.0004, 104, -24),
    AngleTerm(0.0003, 317, -30.3),
    AngleTerm(0.0003, 280, -17.7),
    AngleTerm(0.0003, 262, -60.7),
    AngleTerm(0.0003, 211, -26.1),
    AngleTerm(0.0003, 209, 42.6),
    AngleTerm(0.0003, 1, -90.6),
}};

constexpr std::array<SeriesTerm, 16> kJupiterDistance{{
    PlainTerm(0.00023, 38.47, -36.256),
    PlainTerm(0.000168, 293.36, -29.941),
    PlainTerm(0.000074, 200.5, -24.03),
    PlainTerm(0.000055, 110, -18.13),
    PlainTerm(0.000038, 39.3, -5.91),
    PlainTerm(0.000024, 150.9, -54.38),
    PlainTerm(0.000023, 336.4, 0.41),
    PlainTerm(0.000019, 131.7, -42.16),
    PlainTerm(0.000009, 180, -11.8),
    PlainTerm(0.000007, 277, -60.3),
    PlainTerm(0.000006, 330, 24.4),
    PlainTerm(0.000006, 53, -66.6),
    PlainTerm(0.000006, 188, 6.3),
    PlainTerm(0.000006, 251, -72.5),
    PlainTerm(0.000006, 198, -29.9),
    PlainTerm(0.000005, 353.5, 12.22),
}};

constexpr std::array<SeriesTerm, 42> kSaturnAnomaly{{
    AngleTerm(0.8081, 342.74, 0.385),
    AngleTerm(0.19, 3.57, -11.813),
    AngleTerm(0.1173, 224.52, -5.907),
    AngleTerm(0.0093, 176.6, 6.31),
    AngleTerm(0.0089, 218.5, -36.26),
    AngleTerm(0.008, 10.4, -0.23),
    AngleTerm(0.0078, 56.8, 0.63),
    AngleTerm(0.0074, 325.4, 0.77),
    AngleTerm(0.0073, 209.4, -24.03),
    AngleTerm(0.0064, 202, -11.59),
    AngleTerm(-0.0048, 248.6, -19.34),
    AngleTerm(0.0034, 105.2, -30.35),
    AngleTerm(0.0034, 23.6, -15.87),
    AngleTerm(0.0025, 348.4, -11.41),
    AngleTerm(0.0022, 102.5, -7.94),
    AngleTerm(0.0021, 53.5, -3.65),
    AngleTerm(0.002, 220.4, -18.13),
    AngleTerm(0.0018, 326.7, -54.38),
    AngleTerm(0.0017, 173, -5.5),
    AngleTerm(0.0014, 165.5, -5.91),
    AngleTerm(0.0013, 307.9, -42.16),
    AngleTerm(0.0009, 292, -29.9),
    AngleTerm(0.0009, 287, -17.7),
    AngleTerm(0.0008, 299, -48.5),
    AngleTerm(0.0007, 146, 24.4),
    AngleTerm(0.0007, 155, 12.2),
    AngleTerm(0.0007, 237, 12.6),
    AngleTerm(0.0005, 199.7, -12.4),
    AngleTerm(0.0005, 146, -10),
    AngleTerm(0.0005, 6, 12.6),
    AngleTerm(0.0005, 75, -72.5),
    AngleTerm(0.0004, 57, -60.3),
    AngleTerm(0.0004, 137, -23.8),
    AngleTerm(0.0004, 187, -23.6),
    AngleTerm(-0.0004, 198, 720),
    AngleTerm(0.0003, 255, -0.2),
    AngleTerm(0.0003, 202, -7.3),
    AngleTerm(0.0003, 182, 4.3),
    AngleTerm(0.0003, 122, -7.9),
    AngleTerm(0.0003, 87, 6.3),
    AngleTerm(0.0003, 116, -24),
    AngleTerm(0.0003, 111, -20.1),
}};

constexpr std::array<SeriesTerm, 18> kSaturnDistance{{
    PlainTerm(0.000701, 3.43, -11.813),
    PlainTerm(0.000378, 110.54, -18.128),
    PlainTerm(0.000244, 219.13, -5.907),
    PlainTerm(0.000114, 158.22, 0.383),
    PlainTerm(0.000064, 218.1, -36.26),
    PlainTerm(0.000042, 215.8, -24.03),
    PlainTerm(0.000024, 201.8, -11.59),
    PlainTerm(0.000024, 1.3, 6.31),
    PlainTerm(0.000019, 307.7, 12.22),
    PlainTerm(0.000015, 326.3, -54.38),
    PlainTerm(0.00001, 311.1, -42.16),
    PlainTerm(0.00001, 83.2, 24.44),
    PlainTerm(0.000009, 348, -11.4),
    PlainTerm(0.000008, 129, -30.3),
    PlainTerm(0.000006, 295, -29.9),
    PlainTerm(0.000006, 148, -48.5),
    PlainTerm(0.000006, 103, -7.9),
    PlainTerm(0.000005, 318, 24.4),
}};

// Mercury: rates in degrees per Julian century, all cosine.
constexpr std::array<SeriesTerm, 13> kMercuryLongitude{{
    AngleTerm(0.5258, 74.38, 448417.55),
    AngleTerm(0.1796, 137.84, 298945.77),
    AngleTerm(0.1061, 249.2, 597890.1),
    AngleTerm(0.085, 143, 149473.3),
    AngleTerm(0.076, 312.6, 448418.3),
    AngleTerm(0.0256, 127.4, 597890.8),
    AngleTerm(0.023, 64, 747362.6),
    AngleTerm(0.0081, 302, 747363),
    AngleTerm(0.0069, 148, 1),
    AngleTerm(0.0052, 239, 896835),
    AngleTerm(0.0023, 117, 896836),
    AngleTerm(0.0019, 85, 6356),
    AngleTerm(0.0011, 54, 1046308),
}};

constexpr std::array<SeriesTerm, 12> kMercuryLatitude{{
    AngleTerm(0.3123, 103.51, 448417.92),
    AngleTerm(0.0753, 278.3, 597890.4),
    AngleTerm(0.0367, 55.7, 149472.1),
    AngleTerm(0.0187, 93.1, 747362.9),
    AngleTerm(0.005, 230, 298945),
    AngleTerm(0.0047, 268, 896835),
    AngleTerm(0.0028, 342, 448419),
    AngleTerm(0.0023, 347, 298946),
    AngleTerm(0.002, 157, 597891),
    AngleTerm(0.0012, 83, 1046308),
    AngleTerm(0.0009, 331, 747364),
    AngleTerm(0.0009, 45, 448717),
}};

constexpr std::array<SeriesTerm, 4> kMercuryDistance{{
    PlainTerm(0.001214, 344.38, 448417.55),
    PlainTerm(0.000218, 159.2, 597890.1),
    PlainTerm(0.000042, 334, 747363),
    PlainTerm(0.000006, 149, 896835),
}};

constexpr double kAberration[kPlanetCount] = {0.0035, 0.0048, 0.0071, 0.0129, 0.0174};

// sin of an angle given in degrees.
inline double SinD(double deg) { return std::sin(deg * kDegToRad); }
inline double CosD(double deg) { return std::cos(deg * kDegToRad); }
inline double SafeAsin(double x) { return std::asin(std::clamp(x, -1.0, 1.0)); }

HeliocentricPosition Venus(double t) {
    const double m = (178.954 + 585.178 * t) * kDegToRad;
    double q = (0.7775 - 0.00005 * t) * kDegToRad * std::sin(m);
    SineSeries(t, q, kVenusLongitude);
    const double qd = q * kRadToDeg;
    const double l = (310.1735 + 585.19212 * t) * kDegToRad + q -
                     (0.0503 * SinD(107.44 + 1170.37 * t + 2 * qd) + 0.0048 * SinD(248.6 - 19.34 * t) +
                      0.0004 * SinD(198 + 720 * t)) * kDegToRad;
    const double b = SafeAsin(0.05922 * std::sin((233.72 + 585.183 * t) * kDegToRad + q));
    double logR = -0.140658 + (-0.002947 + 0.00000021 * t) * std::cos(m);
    CosineSeries(t, logR, kVenusDistance);
    return {l, b, std::pow(10.0, logR)};
}

HeliocentricPosition Mars(double t) {
    const double m = (273.768 + 191.399 * t) * kDegToRad;
    double q = (10.6886 + 0.0001 * t) * kDegToRad * std::sin(m);
    SineSeries(t, q, kMarsLongitude);
    const double qd = q * kRadToDeg;
    const double l = (249.3542 + 191.41696 * t) * kDegToRad + q -
                     (0.0149 * SinD(40.01 + 382.819 * t + 2 * qd) + 0.0048 * SinD(248.6 - 19.34 * t) +
                      0.0004 * SinD(198 + 720 * t)) * kDegToRad;
    const double b = SafeAsin(0.03227 * std::sin((200 + 191.409 * t) * kDegToRad + q));
    double logR = 0.183844 - (0.040421 + 0.00000039 * t) * std::cos(m);
    CosineSeries(t, logR, kMarsDistance);
    return {l, b, std::pow(10.0, logR)};
}

HeliocentricPosition Jupiter(double t) {
    // Perturbed mean anomaly (the long-period terms as published: the great
    // inequality turns backwards, 245.94 - 30.349 T).
    double q = (341.5208 + 30.34907 * t + 0.0004 + (0.035 + 0.00028 * t) * SinD(245.94 - 30.349 * t) -
                (0.0019 + 0.00002 * t) * SinD(162.78 + 0.38 * t)) * kDegToRad;
    SineSeries(t, q, kJupiterAnomaly);
    const double v = q + (5.528 * std::sin(q) + 0.1666 * std::sin(2 * q) + 0.007 * std::sin(3 * q) +
                          0.0003 * std::sin(4 * q)) * kDegToRad;
    const double vd = v * kRadToDeg;
    const double l = v + (13.6526 + 0.01396 * t + 0.0075 * SinD(2 * vd + 5.91)) * kDegToRad;
    const double b = SafeAsin(0.022889 * SinD(vd + 272.975)) +
                     ((0.0128 + 0.0001 * t) * SinD(vd + 35.52) + 0.001 * SinD(291.9 - 29.94 * t) +
                      0.0003 * SinD(196 - 24 * t)) * kDegToRad;
    double s = (0.000132 + 0.0000011 * t) * CosD(245.93 - 30.349 * t);
    CosineSeries(t, s, kJupiterDistance);
    const double r = 5.190688 * std::pow(10.0, s) / (1 + 0.048254 * std::cos(v));
    return {l, b, r};
}

HeliocentricPosition Saturn(double t) {
    double q = (12.3042 + 12.22117 * t + 0.0008 + (0.0934 + 0.00075 * t) * SinD(250.29 + 12.221 * t) +
                (0.0057 + 0.00005 * t) * SinD(265.8 - 11.81 * t) + (0.0049 + 0.00004 * t) * SinD(162.7 + 0.38 * t) +
                (0.0019 + 0.00002 * t) * SinD(262 + 24.44 * t)) * kDegToRad;
    SineSeries(t, q, kSaturnAnomaly);
    const double v = q + (6.4215 * std::sin(q) + 0.2248 * std::sin(2 * q) + 0.0109 * std::sin(3 * q) +
                          0.0006 * std::sin(4 * q)) * kDegToRad;
    const double vd = v * kRadToDeg;
    const double l = v + (91.856 + 0.01396 * t + 0.0272 * SinD(2 * vd + 135.53)) * kDegToRad;
    // Principal latitude term from the inclination of Saturn's orbit.
    const double b0 = SafeAsin(0.043519 * SinD(vd + 337.763));
    const double b = b0 + ((0.0286 + 0.00023 * t) * SinD(vd + 77.06) + 0.0024 * SinD(3.9 - 11.81 * t) +
                           0.0008 * SinD(269 - 5.9 * t) + 0.0005 * SinD(135 - 30.3 * t)) * kDegToRad;
    double s = (0.000354 + 0.0000028 * t) * CosD(70.28 + 12.22 * t) + 0.000183 +
               (0.000021 + 0.0000002 * t) * CosD(265.8 - 11.81 * t);
    CosineSeries(t, s, kSaturnDistance);
    const double r = 9.508863 * std::pow(10.0, s) / (1 + 0.056061 * std::cos(v));
    return {l, b, r};
}

HeliocentricPosition Mercury(double tc) {
    double l = (252.2502 + 149474.0714 * tc + (23.4405 + 0.0023 * tc) * CosD(84.7947 + 149472.5153 * tc) +
                (2.9818 + 0.0006 * tc) * CosD(259.589 + 298945.031 * tc)) * kDegToRad;
    CosineSeries(tc, l, kMercuryLongitude);
    double b = ((1.4396 + 0.0005 * tc) * CosD(119.12 + 0.37 * tc) +
                (1.3643 + 0.0005 * tc) * CosD(288.71 + 298945.4 * tc) +
                (6.7057 + 0.0017 * tc) * CosD(113.919 + 149472.886 * tc)) * kDegToRad;
    CosineSeries(tc, b, kMercuryLatitude);
    double r = 0.395283 + 0.000002 * tc + (0.078341 + 0.000008 * tc) * CosD(354.795 + 149472.515 * tc) +
               (0.007955 + 0.000002 * tc) * CosD(169.59 + 298945.03 * tc);
    CosineSeries(tc, r, kMercuryDistance);
    return {l, b, r};
}

HeliocentricPosition PlanetAt(Planet planet, double t, double tc) {
    switch (planet) {
    case Planet::Mercury: return Mercury(tc);
    case Planet::Venus: return Venus(t);
    case Planet::Mars: return Mars(t);
    case Planet::Jupiter: return Jupiter(t);
    case Planet::Saturn: return Saturn(t);
    }
    return {0.0, 0.0, 1.0};
}

}  // namespace

HeliocentricPosition PlanetHeliocentric(Planet planet, const DateTime& ut) {
    if (planet == Planet::Mercury) return Mercury(JulianCenturies(ut));
    return PlanetAt(planet, EphemerisYears(ut), 0.0);
}

double AberrationConstant(Planet planet) {
    const int i = static_cast<int>(planet);
    return (i >= 0 && i < kPlanetCount) ? kAberration[i] : 0.0;
}

Spherical HeliocentricToGeocentric(double lambdaG, double sunDistance, double l, double b, double r,
                                   double kDegrees) {
    const double cb = std::cos(b);
    const double x = r * cb * std::cos(l) + sunDistance * std::cos(lambdaG);
    const double y = r * cb * std::sin(l) + sunDistance * std::sin(lambdaG);
    const double z = r * std::sin(b);
    const double big = std::atan2(y, x);
    const double lambda = big - 0.0057 * kDegToRad * std::cos(big - lambdaG) / sunDistance -
                          kDegrees * kDegToRad * std::cos(big - l) / r;
    const double n = std::sqrt(x * x + y * y + z * z);
    return {lambda, SafeAsin(z / n)};
}

void PlanetsEquatorial(const DateTime& ut, std::array<double, kPlanetCount>& ra,
                       std::array<double, kPlanetCount>& dec) {
    const SunEcliptic sun = SunPosition(ut);
    const double eps = Obliquity(ut.Year(), ut.Month(), ut.Day());
    const double t = EphemerisYears(ut);
    const double tc = JulianCenturies(ut);
    for (int i = 0; i < kPlanetCount; ++i) {
        const HeliocentricPosition h = PlanetAt(static_cast<Planet>(i), t, tc);
        const Spherical g = HeliocentricToGeocentric(sun.geometricLongitude, sun.distance, h.longitude, h.latitude,
                                                     h.distance, kAberration[i]);
        const Spherical e = EclipticToEquatorial(eps, g.lon, g.lat);
        ra[static_cast<size_t>(i)] = e.lon;
        dec[static_cast<size_t>(i)] = e.lat;
    }
}

Spherical SolarBodyOfDate(int body, const DateTime& ut, double lst, double phi) {
    if (body == kPlaceholderMoon) return MoonTopocentric(ut, lst, phi);
    if (body < 0 || body >= kPlanetCount) return SunEquatorial(ut);
    std::array<double, kPlanetCount> ra{}, dec{};
    PlanetsEquatorial(ut, ra, dec);
    return {ra[static_cast<size_t>(body)], dec[static_cast<size_t>(body)]};
}

void HeliocentricLongitudes(const DateTime& ut, std::array<double, 10>& longitudes,
                            std::array<double, 10>& latitudes) {
    const SunEcliptic sun = SunPosition(ut);
    const double t = EphemerisYears(ut);
    const double tc = JulianCenturies(ut);
    for (int i = 0; i < kPlanetCount; ++i) {
        const HeliocentricPosition h = PlanetAt(static_cast<Planet>(i), t, tc);
        longitudes[static_cast<size_t>(i)] = h.longitude;
        latitudes[static_cast<size_t>(i)] = h.latitude;
    }
    longitudes[9] = sun.geometricLongitude - kPi;
    latitudes[9] = sun.latitude;
}

}  // namespace tavik
