#include "astro/Transforms.h"

#include <cmath>

#include "astro/Angles.h"

namespace tavik {

namespace {
// asin whose argument may exceed 1 by a rounding error: without the clamp a
// direction at a pole would come out as NaN.
inline double SafeAsin(double x) {
    if (x > 1.0) x = 1.0;
    if (x < -1.0) x = -1.0;
    return std::asin(x);
}
}  // namespace

Vector3 ToVector(double lon, double lat) {
    const double cb = std::cos(lat);
    return {std::cos(lon) * cb, std::sin(lon) * cb, std::sin(lat)};
}

void ApplyMatrix(const Matrix3& m, Vector3& v) {
    const double x = v[0], y = v[1], z = v[2];
    v[0] = m[0] * x + m[1] * y + m[2] * z;
    v[1] = m[3] * x + m[4] * y + m[5] * z;
    v[2] = m[6] * x + m[7] * y + m[8] * z;
}

Spherical FromVector(const Vector3& v) {
    return {std::atan2(v[1], v[0]), SafeAsin(v[2])};
}

Spherical EclipticToEquatorial(double obliquity, double lambda, double beta) {
    const double se = std::sin(obliquity), ce = std::cos(obliquity);
    const double sl = std::sin(lambda), cl = std::cos(lambda);
    const double sb = std::sin(beta), cb = std::cos(beta);
    const double dec = SafeAsin(se * sl * cb + ce * sb);
    const double ra = std::atan2(ce * sl * cb - se * sb, cl * cb);
    return {ra, dec};
}

Spherical EquatorialToHorizontal(double ra, double dec, double phi, double theta) {
    const double h = theta - ra;
    const double sh = std::sin(h), ch = std::cos(h);
    const double sd = std::sin(dec), cd = std::cos(dec);
    const double sp = std::sin(phi), cp = std::cos(phi);
    const double az = std::atan2(-sh * cd, cp * sd - sp * ch * cd);
    const double alt = SafeAsin(ch * cp * cd + sp * sd);
    return {az, alt};
}

Spherical RotatePole(double lon, double lat, double g, double e) {
    const double h = lon - e;
    const double sg = std::sin(g), cg = std::cos(g);
    const double sh = std::sin(h), ch = std::cos(h);
    const double sb = std::sin(lat), cb = std::cos(lat);
    const double b = SafeAsin(sg * cb * sh + cg * sb);
    const double l = std::atan2(cg * cb * sh - sg * sb, ch * cb);
    return {l, b};
}

Spherical UnrotatePole(double lon, double lat, double g, double e) {
    const double sg = std::sin(g), cg = std::cos(g);
    const double sl = std::sin(lon), cl = std::cos(lon);
    const double sb = std::sin(lat), cb = std::cos(lat);
    const double b = SafeAsin(cg * sb - sg * cb * sl);
    const double l = std::atan2(cg * cb * sl + sg * sb, cl * cb) - e;
    return {l, b};
}

Spherical RotateByAngles(double lon, double lat, double phi1, double phi2) {
    Vector3 v = ToVector(lon, lat);
    const double s1 = std::sin(phi1), c1 = std::cos(phi1);
    const double s2 = std::sin(phi2), c2 = std::cos(phi2);
    const Matrix3 first{s1, 0.0, c1, 0.0, 1.0, 0.0, -c1, 0.0, s1};
    const Matrix3 second{c2, -s2, 0.0, s2, c2, 0.0, 0.0, 0.0, 1.0};
    ApplyMatrix(first, v);
    ApplyMatrix(second, v);
    return FromVector(v);
}

void NormalizeAngle(double& x) {
    // A non-finite angle would never leave the loops below.
    if (!std::isfinite(x)) {
        x = 0.0;
        return;
    }
    // For huge magnitudes, subtracting 2pi one step at a time would take
    // forever; reduce with fmod first (exact for values within a few turns).
    if (x >= 64.0 * kTwoPi || x < -64.0 * kTwoPi) x = std::fmod(x, kTwoPi);
    while (x >= kTwoPi) x -= kTwoPi;
    while (x < 0.0) x += kTwoPi;
    // x + 2pi may round up to exactly 2pi for a tiny negative x.
    if (x >= kTwoPi) x = 0.0;
}

}  // namespace tavik
