#include "astro/Precession.h"

#include <cmath>

#include "astro/Angles.h"
#include "astro/TimeScales.h"

namespace tavik {

namespace {

constexpr double kArcsec = kDegToRad / 3600.0;

Matrix3 Multiply(const Matrix3& a, const Matrix3& b) {
    Matrix3 m{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[r * 3 + c] = a[r * 3] * b[c] + a[r * 3 + 1] * b[3 + c] + a[r * 3 + 2] * b[6 + c];
    return m;
}

Matrix3 Transpose(const Matrix3& a) {
    return {a[0], a[3], a[6], a[1], a[4], a[7], a[2], a[5], a[8]};
}

// Rotations of the coordinate frame about the x and z axes.
Matrix3 FrameX(double a) {
    const double c = std::cos(a), s = std::sin(a);
    return {1, 0, 0, 0, c, s, 0, -s, c};
}
Matrix3 FrameZ(double a) {
    const double c = std::cos(a), s = std::sin(a);
    return {c, s, 0, -s, c, 0, 0, 0, 1};
}

// Mean obliquity of the ecliptic (IAU 1980), radians.
double MeanObliquity(double t) {
    return (84381.448 - 46.8150 * t - 0.00059 * t * t + 0.001813 * t * t * t) * kArcsec;
}

Matrix3 FrameChange(double t, bool withNutation) {
    const Matrix3 p = PrecessionMatrix(t);
    return withNutation ? Multiply(NutationMatrix(t), p) : p;
}

Spherical Apply(const Matrix3& m, double ra, double dec) {
    Vector3 v = ToVector(ra, dec);
    ApplyMatrix(m, v);
    Spherical s = FromVector(v);
    NormalizeAngle(s.lon);
    return s;
}

}  // namespace

Matrix3 PrecessionMatrix(double t) {
    const double t2 = t * t, t3 = t2 * t;
    const double zeta = (2306.2181 * t + 0.30188 * t2 + 0.017998 * t3) * kArcsec;
    const double z = (2306.2181 * t + 1.09468 * t2 + 0.018203 * t3) * kArcsec;
    const double theta = (2004.3109 * t - 0.42665 * t2 - 0.041833 * t3) * kArcsec;
    // P = R3(-z) R2(theta) R3(-zeta), written out.
    const double cz = std::cos(zeta), sz = std::sin(zeta);
    const double cZ = std::cos(z), sZ = std::sin(z);
    const double ct = std::cos(theta), st = std::sin(theta);
    return {cZ * ct * cz - sZ * sz, -cZ * ct * sz - sZ * cz, -cZ * st,
            sZ * ct * cz + cZ * sz, -sZ * ct * sz + cZ * cz, -sZ * st,
            st * cz,                -st * sz,                ct};
}

Nutation NutationAt(double t) {
    // Longitude of the Moon's ascending node, mean longitudes of the Sun and the Moon.
    const double omega = (125.04452 - 1934.136261 * t) * kDegToRad;
    const double sun = (280.4665 + 36000.7698 * t) * kDegToRad;
    const double moon = (218.3165 + 481267.8813 * t) * kDegToRad;
    const double dpsi = -17.20 * std::sin(omega) - 1.32 * std::sin(2 * sun) -
                        0.23 * std::sin(2 * moon) + 0.21 * std::sin(2 * omega);
    const double deps = 9.20 * std::cos(omega) + 0.57 * std::cos(2 * sun) +
                        0.10 * std::cos(2 * moon) - 0.09 * std::cos(2 * omega);
    return {dpsi * kArcsec, deps * kArcsec};
}

Matrix3 NutationMatrix(double t) {
    const Nutation n = NutationAt(t);
    const double eps = MeanObliquity(t);
    // N = R1(-(eps + deps)) R3(-dpsi) R1(eps)
    return Multiply(FrameX(-(eps + n.obliquity)), Multiply(FrameZ(-n.longitude), FrameX(eps)));
}

Spherical J2000ToDate(double ra, double dec, double t, bool withNutation) {
    return Apply(FrameChange(t, withNutation), ra, dec);
}

Spherical DateToJ2000(double ra, double dec, double t, bool withNutation) {
    return Apply(Transpose(FrameChange(t, withNutation)), ra, dec);
}

Spherical DateToJ2000(const Spherical& ofDate, const DateTime& ut) {
    return DateToJ2000(ofDate.lon, ofDate.lat, JulianCenturies(ut));
}

double CenturiesForLocalTime(const DateTime& local, int zoneOffsetHours) {
    return JulianCenturies(ToUniversalTime(local, zoneOffsetHours));
}

}  // namespace tavik
