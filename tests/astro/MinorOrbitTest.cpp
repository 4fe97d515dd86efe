#include "astro/MinorOrbit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "astro/Angles.h"
#include "astro/Planets.h"
#include "astro/Precession.h"
#include "astro/TimeScales.h"

namespace tavik {
namespace {

double Separation(const Spherical& a, const Spherical& b) {
    return std::acos(std::clamp(std::sin(a.lat) * std::sin(b.lat) +
                                    std::cos(a.lat) * std::cos(b.lat) * std::cos(a.lon - b.lon), -1.0, 1.0));
}

TEST(SolveKepler, SatisfiesKeplersEquationAndJoinsAcrossTheParabola) {
    for (double e : {0.0, 0.2, 0.99, 0.999999, 1.0, 1.000001, 1.2, 5.0}) {
        for (double q : {0.05, 1.0, 30.0}) {
            for (double dt : {0.0, 1e-6, -0.5, 3.0, 40.0, -400.0, 5000.0, -80000.0, 3e6}) {
                const OrbitPlanePosition p = SolveKepler(q, e, dt);
                ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << e << " " << q << " " << dt;
                EXPECT_NEAR(KeplerResidual(q, e, dt, p.anomaly), 0.0, 1e-9 * std::max(1.0, std::fabs(dt)))
                    << e << " " << q << " " << dt;
                EXPECT_NEAR(std::hypot(p.x, p.y), p.r, 1e-11 * p.r) << e << " " << q << " " << dt;
                EXPECT_GE(p.r, q * (1 - 1e-12));
                // The velocity is the derivative of the position.
                const OrbitPlanePosition before = SolveKepler(q, e, dt - 1e-3), after = SolveKepler(q, e, dt + 1e-3);
                EXPECT_NEAR(p.vx, (after.x - before.x) / 2e-3, 1e-5 * std::hypot(p.vx, p.vy) + 1e-9);
                EXPECT_NEAR(p.vy, (after.y - before.y) / 2e-3, 1e-5 * std::hypot(p.vx, p.vy) + 1e-9);
                if (e >= 1) {
                    EXPECT_EQ(dt < 0, p.y < 0) << e << " " << q << " " << dt;
                }
            }
        }
    }
    // A circle turns at the mean motion.
    const double n = kGaussK;  // q = 1
    const OrbitPlanePosition c = SolveKepler(1.0, 0.0, 100.0);
    EXPECT_NEAR(std::atan2(c.y, c.x), std::remainder(n * 100.0, kTwoPi), 1e-12);
    // Either side of e = 1 the positions meet the parabola's.
    for (double dt : {-200.0, 20.0, 1000.0}) {
        const OrbitPlanePosition parabola = SolveKepler(0.5, 1.0, dt);
        for (double e : {1 - 1e-9, 1 + 1e-9}) {
            const OrbitPlanePosition p = SolveKepler(0.5, e, dt);
            EXPECT_NEAR(p.x, parabola.x, 1e-6 * parabola.r);
            EXPECT_NEAR(p.y, parabola.y, 1e-6 * parabola.r);
        }
    }
}

// Elements referred to the B1950 ecliptic, evaluated in the J2000 equator.
Matrix3 B1950EclipticToJ2000() {
    const double t1950 = (2433282.4235 - 2451545.0) / 36525.0;
    const double eps = 23.4457889 * kDegToRad;
    const Matrix3 p = PrecessionMatrix(t1950);  // J2000 -> B1950 equator
    const double c = std::cos(eps), s = std::sin(eps);
    // (P^T) * Rx(eps), written out.
    Matrix3 m{};
    for (int i = 0; i < 3; ++i) {
        m[static_cast<size_t>(i * 3 + 0)] = p[static_cast<size_t>(0 * 3 + i)];
        m[static_cast<size_t>(i * 3 + 1)] = p[static_cast<size_t>(1 * 3 + i)] * c + p[static_cast<size_t>(2 * 3 + i)] * s;
        m[static_cast<size_t>(i * 3 + 2)] = -p[static_cast<size_t>(1 * 3 + i)] * s + p[static_cast<size_t>(2 * 3 + i)] * c;
    }
    return m;
}

// IAU Circular 5306 (1991 July 13): elements and ephemeris of periodic comet
// Levy (1991q), equinox B1950, e = 0.927. The circular gives R.A. to 0.01 min,
// Dec. to 0.1', distances to 0.001 AU; the elements to 0.001 degree.
TEST(MinorBodyPlace, MatchesAPublishedCometEphemeris) {
    OrbitalElements el;
    el.perihelionJd = JulianDate(DateTime(1991, 7, 8, 0, 0, 0)) + 0.185;
    el.q = 0.98217;
    el.e = 0.92728;
    el.argPerihelion = 41.472 * kDegToRad;
    el.node = 328.693 * kDegToRad;
    el.inclination = 19.182 * kDegToRad;
    const KeplerOrbit orbit(el, B1950EclipticToJ2000());
    struct Row { int month, day; double raMin, decDeg, decMin, delta, r; };
    const Row rows[] = {{7, 13, 4 * 60 + 0.66, 31, 1.1, 1.364, 0.985},
                        {7, 23, 4 * 60 + 50.80, 34, 22.2, 1.435, 1.013},
                        {8, 2, 5 * 60 + 38.75, 36, 13.2, 1.515, 1.065},
                        {8, 12, 6 * 60 + 22.76, 36, 51.5, 1.595, 1.137},
                        {8, 22, 7 * 60 + 1.82, 36, 38.0, 1.672, 1.225}};
    const double t1950 = (2433282.4235 - 2451545.0) / 36525.0;
    for (const Row& row : rows) {
        const DateTime ut(1991, row.month, row.day, 0, 0, 0);
        const GeocentricPlace g = PlaceOf(orbit, ObserverAt(ut));
        const Spherical b1950 = J2000ToDate(g.j2000.lon, g.j2000.lat, t1950, false);
        const Spherical expected{row.raMin / 60.0 * 15.0 * kDegToRad, (row.decDeg + row.decMin / 60.0) * kDegToRad};
        EXPECT_LT(Separation(b1950, expected) * kRadToDeg * 60.0, 0.25) << row.month << "/" << row.day;
        EXPECT_NEAR(g.delta, row.delta, 0.0015) << row.month << "/" << row.day;
        EXPECT_NEAR(g.r, row.r, 0.0015) << row.month << "/" << row.day;
    }
}

// Heliocentric J2000 equatorial position of an engine planet, AU.
Vector3 EnginePlanet(Planet planet, const DateTime& ut) {
    const HeliocentricPosition h = PlanetHeliocentric(planet, ut);
    const Spherical ofDate = EclipticToEquatorial(Obliquity(ut.Year(), ut.Month(), ut.Day()), h.longitude, h.latitude);
    const Spherical j2000 = DateToJ2000(ofDate, ut);
    const Vector3 u = ToVector(j2000.lon, j2000.lat);
    return {u[0] * h.distance, u[1] * h.distance, u[2] * h.distance};
}

// Osculating elements (J2000 ecliptic) from a position and a velocity (per day)
// in the J2000 equator.
OrbitalElements ElementsFromState(Vector3 r, Vector3 v, double jd) {
    const double c = std::cos(kObliquityJ2000), s = std::sin(kObliquityJ2000);
    auto toEcliptic = [&](Vector3& w) { w = {w[0], c * w[1] + s * w[2], -s * w[1] + c * w[2]}; };
    toEcliptic(r);
    toEcliptic(v);
    const double mu = kGaussK * kGaussK;
    const Vector3 h{r[1] * v[2] - r[2] * v[1], r[2] * v[0] - r[0] * v[2], r[0] * v[1] - r[1] * v[0]};
    const double hn = std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
    const double rn = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    const Vector3 vxh{v[1] * h[2] - v[2] * h[1], v[2] * h[0] - v[0] * h[2], v[0] * h[1] - v[1] * h[0]};
    const Vector3 ev{vxh[0] / mu - r[0] / rn, vxh[1] / mu - r[1] / rn, vxh[2] / mu - r[2] / rn};
    OrbitalElements el;
    el.e = std::sqrt(ev[0] * ev[0] + ev[1] * ev[1] + ev[2] * ev[2]);
    el.q = hn * hn / mu / (1 + el.e);
    el.inclination = std::acos(h[2] / hn);
    el.node = std::atan2(h[0], -h[1]);
    el.argPerihelion = std::atan2(ev[2] / std::sin(el.inclination),
                                  ev[0] * std::cos(el.node) + ev[1] * std::sin(el.node));
    double nu = std::acos(std::clamp((ev[0] * r[0] + ev[1] * r[1] + ev[2] * r[2]) / (el.e * rn), -1.0, 1.0));
    if (r[0] * v[0] + r[1] * v[1] + r[2] * v[2] < 0) nu = -nu;
    const double ecc = 2 * std::atan(std::sqrt((1 - el.e) / (1 + el.e)) * std::tan(nu / 2));
    const double a = el.q / (1 - el.e);
    el.perihelionJd = jd - (ecc - el.e * std::sin(ecc)) / (kGaussK / (a * std::sqrt(a)));
    return el;
}

// The solver fed the engine's own osculating elements of Mars and Jupiter in
// 2026 follows the engine's planets within 1' over 60 days either side.
TEST(MinorBodyPlace, FollowsTheEnginePlanetsFromTheirOsculatingElements) {
    for (Planet planet : {Planet::Mars, Planet::Jupiter}) {
        const DateTime epoch(2026, 7, 1, 0, 0, 0);
        const Vector3 before = EnginePlanet(planet, DateTime(2026, 6, 30, 0, 0, 0));
        const Vector3 after = EnginePlanet(planet, DateTime(2026, 7, 2, 0, 0, 0));
        const Vector3 velocity{(after[0] - before[0]) / 2, (after[1] - before[1]) / 2, (after[2] - before[2]) / 2};
        const KeplerOrbit orbit(ElementsFromState(EnginePlanet(planet, epoch), velocity, JulianDate(epoch)));
        double worst = 0;
        DateTime ut(2026, 5, 2, 0, 0, 0);  // 60 days before the epoch
        for (int step = 0; step <= 24; ++step, ut.AddOffset(DateOffset(5, 0, 0, 0))) {
            const Spherical engine = DateToJ2000(SolarBodyOfDate(static_cast<int>(planet), ut, 0, 0), ut);
            worst = std::max(worst, Separation(PlaceOf(orbit, ObserverAt(ut)).j2000, engine));
        }
        EXPECT_LT(worst * kRadToDeg * 60, 1.0) << static_cast<int>(planet);
    }
}

TEST(MinorMagnitudes, FollowTheirLaws) {
    // Comet: g at 1 AU from both; each doubling of r adds 2.5 k log 2.
    EXPECT_NEAR(CometMagnitude(5.5, 4.0, 1.0, 1.0), 5.5, 1e-12);
    EXPECT_NEAR(CometMagnitude(5.5, 4.0, 1.0, 2.0) - 5.5, 10.0 * std::log10(2.0), 1e-12);
    // Asteroid: H at 1 AU at zero phase; H 3.34, G 0.12 at r 2.55, delta 1.58 and
    // phase 8.5 degrees gives 6.97 by hand (phi1 0.524, phi2 0.924).
    EXPECT_NEAR(AsteroidMagnitude(3.34, 0.12, 1.0, 1.0, 0.0), 3.34, 1e-12);
    EXPECT_NEAR(AsteroidMagnitude(3.34, 0.12, 1.58, 2.55, 8.5 * kDegToRad), 6.97, 0.01);
}

}  // namespace
}  // namespace tavik
