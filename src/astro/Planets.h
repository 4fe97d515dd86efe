#pragma once
// Heliocentric and geocentric positions of Mercury, Venus, Mars, Jupiter and
// Saturn from abbreviated analytic theories (principal terms plus periodic
// series), good to about 0.01 degree in 1950..2050.

#include <array>

#include "astro/DateTime.h"
#include "astro/Transforms.h"

namespace tavik {

// Planet order everywhere (array indices 0..4).
enum class Planet : int { Mercury = 0, Venus = 1, Mars = 2, Jupiter = 3, Saturn = 4 };
inline constexpr int kPlanetCount = 5;

// Indices of the solar-system placeholders of the catalogue: the planets use
// their planet index, then the Moon and the Sun.
inline constexpr int kPlaceholderMercury = 0;
inline constexpr int kPlaceholderVenus = 1;
inline constexpr int kPlaceholderMars = 2;
inline constexpr int kPlaceholderJupiter = 3;
inline constexpr int kPlaceholderSaturn = 4;
inline constexpr int kPlaceholderMoon = 7;
inline constexpr int kPlaceholderSun = 8;

struct HeliocentricPosition {
    double longitude;  // l, radians, not reduced
    double latitude;   // b, radians
    double distance;   // r, AU
};

// Heliocentric ecliptic position of a planet at a UT moment.
HeliocentricPosition PlanetHeliocentric(Planet planet, const DateTime& ut);

// Light-time aberration constant k of a planet, degrees
// (Mercury 0.0035, Venus 0.0048, Mars 0.0071, Jupiter 0.0129, Saturn 0.0174).
double AberrationConstant(Planet planet);

// Geocentric ecliptic longitude and latitude of a planet at heliocentric
// (l, b, r), seen from the Earth opposite the Sun's geometric longitude
// lambdaG at distance sunDistance (AU); k in degrees.
Spherical HeliocentricToGeocentric(double lambdaG, double sunDistance, double l, double b, double r,
                                   double kDegrees);

// Geocentric right ascensions and declinations of the five planets, in planet order.
void PlanetsEquatorial(const DateTime& ut, std::array<double, kPlanetCount>& ra,
                       std::array<double, kPlanetCount>& dec);

// Right ascension and declination of date of a solar-system body at a UT
// moment: a planet index 0..4, kPlaceholderMoon (as seen from a site at local
// sidereal time lst and latitude phi, radians) or kPlaceholderSun; any other
// index gives the Sun.
Spherical SolarBodyOfDate(int body, const DateTime& ut, double lst, double phi);

// Heliocentric longitudes and latitudes for the heliocentric view: indices 0..4
// the planets, index 9 the Earth (Sun's geometric longitude - pi, latitude 0).
// Indices 5..8 are left as they are. Longitudes are not reduced.
void HeliocentricLongitudes(const DateTime& ut, std::array<double, 10>& longitudes,
                            std::array<double, 10>& latitudes);

}  // namespace tavik
