#pragma once
// Coordinates of date: the chart and the catalogue hold right ascension and
// declination for the mean equator and equinox of J2000.0, while a telescope
// hand controller points in coordinates of the current equator and equinox.
// These functions carry a direction between the two frames: the IAU 1976
// precession (Lieske's angles zeta, z, theta) and, optionally, the principal
// terms of the IAU 1980 nutation (good to about 0.5 arc second).
//
// Time is given in Julian centuries from J2000.0 (JulianCenturies of a UT
// moment; the difference between UT and TT is far below what matters here).

#include "astro/DateTime.h"
#include "astro/Transforms.h"

namespace tavik {

// Rotation from the mean equator and equinox of J2000.0 to the mean equator
// and equinox of the epoch t (Julian centuries from J2000.0).
Matrix3 PrecessionMatrix(double t);

// Nutation in longitude and in obliquity, radians, for the epoch t.
struct Nutation {
    double longitude;  // delta psi
    double obliquity;  // delta epsilon
};
Nutation NutationAt(double t);

// Rotation from the mean to the true equator and equinox of the epoch t.
Matrix3 NutationMatrix(double t);

// J2000.0 right ascension and declination (radians) to the equinox of the
// epoch t: mean equinox, or the true equinox when `withNutation` is set.
// The right ascension is returned in [0, 2pi).
Spherical J2000ToDate(double ra, double dec, double t, bool withNutation = true);
// The inverse of J2000ToDate.
Spherical DateToJ2000(double ra, double dec, double t, bool withNutation = true);

// A place of date that the engine computed for a UT moment (the Sun, the Moon,
// a planet), in the chart's frame: DateToJ2000 at that moment, the inverse of
// what a goto in coordinates of date applies.
Spherical DateToJ2000(const Spherical& ofDate, const DateTime& ut);

// Julian centuries from J2000.0 for a local civil time at a zone offset.
double CenturiesForLocalTime(const DateTime& local, int zoneOffsetHours);

}  // namespace tavik
