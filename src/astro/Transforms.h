#pragma once
// Rotations between spherical frames. Pure functions on radians; nothing is
// allocated and no state is kept. Longitude-like results come from atan2 and
// lie in (-pi, pi]; latitude-like results lie in [-pi/2, pi/2]. Azimuth is
// measured from north through east.

#include <array>

namespace tavik {

// A direction: longitude-like angle first (longitude, right ascension,
// azimuth), latitude-like second (latitude, declination, altitude).
struct Spherical {
    double lon;
    double lat;
};

// Row-major 3x3 matrix (m00, m01, m02, m10, ..., m22) and a 3-vector.
using Matrix3 = std::array<double, 9>;
using Vector3 = std::array<double, 3>;

// Unit vector (cos B cos L, cos B sin L, sin B).
Vector3 ToVector(double lon, double lat);
// Overwrites v with m * v.
void ApplyMatrix(const Matrix3& m, Vector3& v);
// Direction of a unit vector: (atan2(y, x), asin(z)).
Spherical FromVector(const Vector3& v);

// Ecliptic longitude/latitude to right ascension/declination.
Spherical EclipticToEquatorial(double obliquity, double lambda, double beta);

// Right ascension/declination to azimuth/altitude for site latitude phi and
// local sidereal time theta. No refraction or parallax.
Spherical EquatorialToHorizontal(double ra, double dec, double phi, double theta);

// Rotation about the x axis by tilt g after subtracting offset e from the longitude.
Spherical RotatePole(double lon, double lat, double g, double e);

// Inverse of RotatePole: rotation by -g, then the offset e subtracted.
Spherical UnrotatePole(double lon, double lat, double g, double e);

// Two-angle rotation: first about y (rows (sin p1, 0, cos p1), (0, 1, 0),
// (-cos p1, 0, sin p1)), then about z by p2.
Spherical RotateByAngles(double lon, double lat, double phi1, double phi2);

// Reduces x into [0, 2pi), in place.
void NormalizeAngle(double& x);

}  // namespace tavik
