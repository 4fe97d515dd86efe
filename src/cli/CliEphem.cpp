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
//
// With --minor FILE (a Minor Planet Center comet or asteroid element file) the
// comets and asteroids of the file that can reach --limit (default 12) are
// printed instead, or only the one named by --body:
//   body  ra  dec  azimuth  altitude  delta  r  magnitude      (header line)
//   one line per body (its label: "1P/Halley", "(1) Ceres")
//   lst       <local sidereal time, not reduced>
// Here ra and dec are J2000 (the chart's frame), with light time; azimuth and
// altitude are for the place of date; delta and r are the distances from the
// Earth and the Sun in AU. A summary of what was read goes to stderr.

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "astro/MinorOrbit.h"
#include "astro/Planets.h"
#include "astro/Precession.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"
#include "astro/Transforms.h"
#include "catalog/MinorBodies.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliSite.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage =
    "usage: tavik-cli ephem [--date YYYY-MM-DD] [--time HH:MM:SS] [--lon D:M] [--lat D:M] [--zone H]\n"
    "                       [--minor FILE [--body NAME] [--limit MAG]]";

void PrintBody(const char* name, const Spherical& eq, double phi, double theta) {
    const Spherical hz = EquatorialToHorizontal(eq.lon, eq.lat, phi, theta);
    std::printf("%s\t%s\t%s\t%s\t%s\n", name, FormatDouble(eq.lon).c_str(), FormatDouble(eq.lat).c_str(),
                FormatDouble(hz.lon).c_str(), FormatDouble(hz.lat).c_str());
}

// The comets and asteroids of an element file; exit 1 when the file cannot be
// read or the body named is not in it.
int PrintMinorBodies(const CliArgs& args, const DateTime& ut, double phi, double theta) {
    const std::string path = *args.Value("minor");
    const double limit = args.Has("limit") ? ParseDouble(*args.Value("limit"), "--limit", 50) : kDefaultMinorMagnitudeLimit;
    const std::optional<MinorBodyList> list = ReadMinorBodyFile(path, limit);
    if (!list) {
        std::fprintf(stderr, "tavik-cli ephem: cannot read %s\n", path.c_str());
        return 1;
    }
    std::fprintf(stderr, "%s: %zu bodies (%zu lines unreadable, %zu fainter than %.1f)\n", path.c_str(),
                 list->bodies.size(), list->unreadable, list->fainter, limit);
    std::vector<const MinorBody*> chosen;
    if (args.Has("body")) {
        const MinorBody* body = FindMinorBody(list->bodies, *args.Value("body"));
        if (!body) {
            std::fprintf(stderr, "tavik-cli ephem: no body '%s' in %s\n", args.Value("body")->c_str(), path.c_str());
            return 1;
        }
        chosen.push_back(body);
    } else {
        for (const MinorBody& b : list->bodies) chosen.push_back(&b);
    }
    const MinorObserver observer = ObserverAt(ut);
    const double t = JulianCenturies(ut);
    std::printf("body\tra\tdec\tazimuth\taltitude\tdelta\tr\tmagnitude\n");
    for (const MinorBody* b : chosen) {
        const MinorPlace p = MinorBodyPlace(*b, observer);
        const Spherical ofDate = J2000ToDate(p.j2000.lon, p.j2000.lat, t);
        const Spherical hz = EquatorialToHorizontal(ofDate.lon, ofDate.lat, phi, theta);
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", b->Label().c_str(), FormatDouble(p.j2000.lon).c_str(),
                    FormatDouble(p.j2000.lat).c_str(), FormatDouble(hz.lon).c_str(), FormatDouble(hz.lat).c_str(),
                    FormatDouble(p.delta).c_str(), FormatDouble(p.r).c_str(), FormatDouble(p.magnitude).c_str());
    }
    std::printf("lst\t%s\n", FormatDouble(theta).c_str());
    return 0;
}

int RunEphem(const std::vector<std::string>& argv) {
    CliArgs args(argv, {"date", "time", "lon", "lat", "zone", "minor", "body", "limit"});
    if (!args.Positional().empty())
        throw CliError("unexpected argument '" + args.Positional()[0] + "'\n" + kUsage);

    const CliSite site = ParseSiteOptions(args);
    const auto [date, time] = ParseMomentOptions(args, site.zone);

    const DateTime local(date.year, date.month, date.day, time.hour, time.minute, time.second);
    const DateTime ut = ToUniversalTime(local, site.zone);
    const double theta = LocalSiderealTime(local, site.zone, site.lon.degrees, site.lon.minutes);
    const double phi = LatitudeRadians(site.lat.degrees, site.lat.minutes);
    if (args.Has("minor")) return PrintMinorBodies(args, ut, phi, theta);
    if (args.Has("body") || args.Has("limit")) throw CliError(std::string("--body and --limit need --minor\n") + kUsage);

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

const CliCommand kEphem{"ephem",
                        "Sun, Moon and planet positions (or comets and asteroids of an element file) for a local "
                        "date-time at a site (default: now)",
                        kUsage, RunEphem};

}  // namespace

}  // namespace tavik::cli
