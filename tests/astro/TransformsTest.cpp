#include "astro/Transforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "astro/Angles.h"

namespace tavik {
namespace {

double AngleBetween(Spherical a, Spherical b) {
    const Vector3 u = ToVector(a.lon, a.lat), v = ToVector(b.lon, b.lat);
    const double dot = u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
    const Vector3 c{u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    return std::atan2(std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]), dot);
}

TEST(EclipticToEquatorial, SolsticeAndPoles) {
    const double eps = 0.4091;
    auto [ra, dec] = EclipticToEquatorial(eps, kPi / 2, 0.0);
    EXPECT_NEAR(ra, kPi / 2, 1e-15);
    EXPECT_NEAR(dec, eps, 1e-15);
    // The ecliptic pole lies at RA 18h, declination 90 - eps.
    auto pole = EclipticToEquatorial(eps, 0.0, kPi / 2);
    EXPECT_NEAR(pole.lat, kPi / 2 - eps, 1e-12);
    EXPECT_NEAR(pole.lon, -kPi / 2, 1e-12);
    // Equinox stays put.
    auto eq = EclipticToEquatorial(eps, 0.0, 0.0);
    EXPECT_NEAR(eq.lon, 0.0, 1e-15);
    EXPECT_NEAR(eq.lat, 0.0, 1e-15);
}

TEST(EquatorialToHorizontal, MeridianHorizonAndPole) {
    const double phi = 35.5 * kDegToRad, dec = 10 * kDegToRad, ra = 1.0;
    auto south = EquatorialToHorizontal(ra, dec, phi, ra);  // H = 0
    EXPECT_NEAR(std::fabs(south.lon), kPi, 1e-12);
    EXPECT_NEAR(south.lat, kPi / 2 - phi + dec, 1e-12);

    auto west = EquatorialToHorizontal(0.0, 0.0, 0.0, kPi / 2);  // H = 90 degrees
    EXPECT_NEAR(west.lon, -kPi / 2, 1e-12);
    EXPECT_NEAR(west.lat, 0.0, 1e-12);

    auto pole = EquatorialToHorizontal(0.3, kPi / 2, 0.0, 2.0);
    EXPECT_NEAR(pole.lat, 0.0, 1e-12);
    EXPECT_NEAR(pole.lon, 0.0, 1e-12);

    // Rising object in the east: hour angle -90 degrees on the equator.
    auto east = EquatorialToHorizontal(kPi / 2, 0.0, phi, 0.0);
    EXPECT_NEAR(east.lon, kPi / 2, 1e-12);
    EXPECT_NEAR(east.lat, 0.0, 1e-12);
}

TEST(EquatorialToHorizontal, AltitudeMatchesZenithDistance) {
    // The altitude is 90 degrees minus the arc to the zenith (RA = LST, Dec = phi).
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int i = 0; i < 500; ++i) {
        const double ra = u(rng) * kPi, dec = u(rng) * kPi / 2, phi = u(rng) * kPi / 2, th = u(rng) * 10;
        const auto h = EquatorialToHorizontal(ra, dec, phi, th);
        EXPECT_NEAR(h.lat, kPi / 2 - AngleBetween({ra, dec}, {th, phi}), 1e-9);
        // Polar objects aside, azimuth east of north while the object is east of the meridian.
        const double hourAngle = std::remainder(th - ra, kTwoPi);
        if (std::fabs(hourAngle) > 1e-6 && std::fabs(std::fabs(hourAngle) - kPi) > 1e-6) {
            EXPECT_EQ(h.lon > 0, hourAngle < 0) << i;
        }
    }
}

TEST(PoleRotations, RoundTripAndSpecialCases) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int i = 0; i < 500; ++i) {
        const double l = u(rng) * kPi, b = u(rng) * 1.5, g = u(rng) * kPi, e = u(rng) * 4;
        const auto r = RotatePole(l, b, g, e);
        const auto back = UnrotatePole(r.lon, r.lat, g, -e);  // undo the rotation, then add e back
        EXPECT_NEAR(back.lat, b, 1e-9);
        EXPECT_NEAR(std::remainder(back.lon - l, kTwoPi), 0.0, 1e-9);
        // Rotations keep arcs.
        const auto r2 = RotatePole(l + 0.3, b * 0.5, g, e);
        EXPECT_NEAR(AngleBetween(r, r2), AngleBetween({l, b}, {l + 0.3, b * 0.5}), 1e-9);
    }
    // With the obliquity and no offset, RotatePole is the ecliptic conversion
    // and UnrotatePole its inverse.
    const double eps = 0.40909;
    const auto a = EclipticToEquatorial(eps, 2.1, -0.2);
    const auto b = RotatePole(2.1, -0.2, eps, 0.0);
    EXPECT_DOUBLE_EQ(a.lon, b.lon);
    EXPECT_DOUBLE_EQ(a.lat, b.lat);
    const auto ecl = UnrotatePole(a.lon, a.lat, eps, 0.0);
    EXPECT_NEAR(ecl.lon, 2.1, 1e-12);
    EXPECT_NEAR(ecl.lat, -0.2, 1e-12);
    // The offset is subtracted after the inverse rotation.
    const auto off = UnrotatePole(a.lon, a.lat, eps, 0.5);
    EXPECT_NEAR(off.lon, 2.1 - 0.5, 1e-12);
}

TEST(RotateByAngles, MatrixOrder) {
    // phi1 = 90 degrees makes the first matrix the identity; phi2 then turns the longitude.
    const auto r = RotateByAngles(0.4, 0.3, kPi / 2, 0.25);
    EXPECT_NEAR(r.lon, 0.65, 1e-12);
    EXPECT_NEAR(r.lat, 0.3, 1e-12);
    // phi1 = 0: the first matrix sends the pole (0, 0, 1) to (1, 0, 0).
    const auto p = RotateByAngles(0.0, kPi / 2, 0.0, 0.0);
    EXPECT_NEAR(p.lon, 0.0, 1e-12);
    EXPECT_NEAR(p.lat, 0.0, 1e-12);
    // ... and (1, 0, 0) to (0, 0, -1); then phi2 does not move the pole.
    const auto q = RotateByAngles(0.0, 0.0, 0.0, 1.0);
    EXPECT_NEAR(q.lat, -kPi / 2, 1e-12);
    // Arcs are preserved.
    const Spherical s1{0.2, 0.1}, s2{1.3, -0.7};
    const auto t1 = RotateByAngles(s1.lon, s1.lat, 0.6, -2.0), t2 = RotateByAngles(s2.lon, s2.lat, 0.6, -2.0);
    EXPECT_NEAR(AngleBetween(t1, t2), AngleBetween(s1, s2), 1e-12);
}

TEST(RotateByAngles, NeverReturnsNaNAtThePole) {
    for (double phi1 = 0.0; phi1 < 7.0; phi1 += 0.01) {
        const auto r = RotateByAngles(0.0, kPi / 2, phi1, 0.1);
        EXPECT_FALSE(std::isnan(r.lat)) << phi1;
    }
}

TEST(NormalizeAngle, Ranges) {
    double x = -0.1;
    NormalizeAngle(x);
    EXPECT_DOUBLE_EQ(x, kTwoPi - 0.1);
    x = 4 * kPi + 0.1;
    NormalizeAngle(x);
    EXPECT_NEAR(x, 0.1, 1e-14);
    x = kTwoPi;
    NormalizeAngle(x);
    EXPECT_EQ(x, 0.0);
    x = -1e-18;  // x + 2pi rounds to 2pi
    NormalizeAngle(x);
    EXPECT_GE(x, 0.0);
    EXPECT_LT(x, kTwoPi);
    x = 1e12 + 0.5;
    NormalizeAngle(x);
    EXPECT_GE(x, 0.0);
    EXPECT_LT(x, kTwoPi);
    EXPECT_NEAR(x, std::fmod(1e12 + 0.5, kTwoPi), 1e-9);
    x = std::numeric_limits<double>::infinity();
    NormalizeAngle(x);  // must return, not spin
    EXPECT_FALSE(std::isinf(x));
}

}  // namespace
}  // namespace tavik
