// tavik-cli ephem: where the Sun, the Moon and the five planets stand for a
// local civil time at a site, as the sky view computes them.
//
// Output (tab-separated; angles in radians with 17 significant digits):
//   body  ra  dec  azimuth  altitude            (header line)
//   Sun, Moon, Mercury, Venus, Mars, Jupiter, Saturn, one line each
//   lst       <local sidereal time, not reduced>
//   moon_age  <days since the last new moon>
// Right ascension and declination are the engine's, of date (the chart draws
// them precessed to J2000). The Moon is topocentric (parallax for the site),
// the others geocentric;
// azimuth runs from north through east. Without --date or --time the missing
// part comes from this computer's local clock.

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "astro/Planets.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"
#include "astro/Transforms.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliSite.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage =
    "usage: tavik-cli ephem [--date YYYY-MM-DD] [--time HH:MM:SS] [--lon D:M] [--lat D:M] [--zone H]";

void PrintBody(const char* name, const Spherical& eq, double phi, double theta) {
    const Spherical hz = EquatorialToHorizontal(eq.lon, eq.lat, phi, theta);
    std::printf("%s\t%s\t%s\t%s\t%s\n", name, FormatDouble(eq.lon).c_str(), FormatDouble(eq.lat).c_str(),
                FormatDouble(hz.lon).c_str(), FormatDouble(hz.lat).c_str());
}

int RunEphem(const std::vector<std::string>& argv) {
    CliArgs args(argv, {"date", "time", "lon", "lat", "zone"});
    if (!args.Positional().empty())
        throw CliError("unexpected argument '" + args.Positional()[0] + "'\n" + kUsage);

    const CliSite site = ParseSiteOptions(args);
    const auto [date, time] = ParseMomentOptions(args, site.zone);

    const DateTime local(date.year, date.month, date.day, time.hour, time.minute, time.second);
    const DateTime ut = ToUniversalTime(local, site.zone);
    const double theta = LocalSiderealTime(local, site.zone, site.lon.degrees, site.lon.minutes);
    const double phi = LatitudeRadians(site.lat.degrees, site.lat.minutes);

    std::printf("body\tra\tdec\tazimuth\taltitude\n");
    PrintBody("Sun", SunEquatorial(ut), phi, theta);
    PrintBody("Moon", MoonTopocentric(ut, theta, phi), phi, theta);
    std::array<double, kPlanetCount> ra{};
    std::array<double, kPlanetCount> dec{};
    PlanetsEquatorial(ut, ra, dec);
    constexpr const char* kNames[kPlanetCount] = {"Mercury", "Venus", "Mars", "Jupiter", "Saturn"};
    for (int i = 0; i < kPlanetCount; ++i) PrintBody(kNames[i], Spherical{ra[i], dec[i]}, phi, theta);
    std::printf("lst\t%s\n", FormatDouble(theta).c_str());
    std::printf("moon_age\t%s\n", FormatDouble(MoonAge(ut)).c_str());
    return 0;
}

const CliCommand kEphem{"ephem", "Sun, Moon and planet positions for a local date-time at a site (default: now)",
                        kUsage, RunEphem};

}  // namespace

}  // namespace tavik::cli
