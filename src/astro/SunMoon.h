#pragma once
// Positions of the Sun and the Moon for a moment in Universal Time, from short
// trigonometric series in Julian years since 1975 January 0.0 (EphemerisYears).

#include "astro/DateTime.h"
#include "astro/Transforms.h"

namespace tavik {

struct SunEcliptic {
    double apparentLongitude;   // radians, not reduced
    double geometricLongitude;  // apparent + 0.0057 degree
    double latitude;            // always 0
    double distance;            // AU
};

// Ecliptic position of the Sun for a UT moment.
SunEcliptic SunPosition(const DateTime& ut);

// Right ascension and declination of the Sun (apparent longitude, obliquity of
// the UT date).
Spherical SunEquatorial(const DateTime& ut);

struct MoonEclipticPosition {
    double longitude;  // radians, not reduced
    double latitude;   // radians
    double parallax;   // horizontal parallax, radians
};

// Geocentric ecliptic position and horizontal parallax of the Moon.
MoonEclipticPosition MoonEcliptic(const DateTime& ut);

// Geocentric right ascension and declination of the Moon.
Spherical MoonEquatorial(const DateTime& ut);

// Right ascension and declination of the Moon as seen from the site: local
// sidereal time lst and site latitude phi in radians (spherical Earth).
Spherical MoonTopocentric(const DateTime& ut, double lst, double phi);

// Geocentric equatorial position of the point 0.05 rad further along the
// ecliptic than the Moon (lambda + 0.05, beta). Projected together with the
// Moon it gives the on-screen direction used to orient the lit side.
Spherical MoonOrientationPoint(const DateTime& ut);

// Age of the Moon in days at a UT moment: the time since the last new moon,
// when the Moon's ecliptic longitude equalled the Sun's (0 up to about 29.8).
double MoonAge(const DateTime& ut);

// Index 0..29 of a phase picture for an age in days: the whole days less one,
// with age 0 giving 29 and ages of 30 and more wrapping round the 30-step cycle.
int MoonPhaseIndex(double age);

// Mean equatorial radius of the Earth used for the Moon's parallax, km.
inline constexpr double kEarthRadiusKm = 6378.14;

}  // namespace tavik
