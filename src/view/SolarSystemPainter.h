#pragma once
// The Sun, the Moon and the planets on the chart: their positions for the
// pass, their discs and symbols (or names), the Moon's phase, and the small
// Moon-phase marker of the planisphere-type views.

#include <array>

#include "astro/DateTime.h"
#include "astro/Planets.h"
#include "view/RenderContext.h"

namespace tavik {

class StarPainter;

struct SolarBodyPosition {
    bool known = false;
    double ra = 0.0;   // radians, J2000 as the catalogue
    double dec = 0.0;  // radians
    double magnitude = 0.0;
};

struct SolarSystemState {
    SolarBodyPosition sun;
    SolarBodyPosition moon;
    std::array<SolarBodyPosition, kPlanetCount> planets;  // Mercury .. Saturn
    // A point 0.05 rad further along the ecliptic than the Moon: the on-screen
    // direction towards it orients the Moon's lit side.
    SolarBodyPosition moonAhead;
    double moonAge = 0.0;  // days since the last new moon
    // Heliocentric longitudes of Saturn, Jupiter, Mars, Earth, Venus, Mercury.
    std::array<double, 6> heliocentric{};
};

// Positions for the local moment at the site of the context (lst, latitude),
// in the catalogue's frame (mean equator and equinox of J2000.0).
SolarSystemState ComputeSolarSystem(const RenderContext& ctx);

// Sun's altitude (radians) for the context's sidereal time and latitude.
double SunAltitude(const RenderContext& ctx, const SolarBodyPosition& sun);
// Night, twilight (Sun above -12 degrees) or day (Sun above the horizon).
Daylight DaylightFor(double sunAltitude);

// Illuminated fraction (0 new .. 1 full) and whether the Moon is waxing, for an
// age in days.
double MoonIlluminatedFraction(double ageDays);
bool MoonWaxing(double ageDays);

// Step 15 of the pass: Sun, planets and Moon unless hidden (OPTION2/NO_SUN,
// NO_PLANET), as discs with symbols, or as names when SCREEN/PLA_NAME is set.
void DrawSolarSystem(const RenderContext& ctx, StarPainter& stars, const SolarSystemState& state);

// The small phase disc in the top-left area of the planisphere, polar and
// heliocentric views (only a coloured disc when OPTION3/QUICK_MOON_COLOR is set).
void DrawMoonPhaseMarker(const RenderContext& ctx, const SolarSystemState& state);

// Draws a Moon disc of radius r centred on (x, y) with its lit side turned to
// the screen direction (dirX, dirY).
void DrawMoonDisc(QPainter& painter, double x, double y, double r, double illuminated,
                  double dirX, double dirY, const QColor& lit, const QColor& dark);

// The heliocentric layout (rings, labels, date and time).
void DrawHeliocentric(const RenderContext& ctx, const SolarSystemState& state);

}  // namespace tavik
