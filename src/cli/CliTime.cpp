// tavik-cli time: the time arguments of the astronomy engine for a local civil
// time at a site, one "name<TAB>value" line each.

#include <cstdio>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "astro/TimeScales.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage =
    "usage: tavik-cli time --date YYYY-MM-DD --time HH:MM:SS [--lon D:M] [--lat D:M] [--zone H]";

void PrintLine(const char* name, const std::string& value) {
    std::printf("%s\t%s\n", name, value.c_str());
}

int RunTime(const std::vector<std::string>& argv) {
    CliArgs args(argv, {"date", "time", "lon", "lat", "zone"});
    if (!args.Positional().empty()) throw CliError("unexpected argument '" + args.Positional()[0] + "'");
    const auto dateText = args.Value("date");
    const auto timeText = args.Value("time");
    if (!dateText || !timeText)
        throw CliError(kUsage);
    const CliDate date = ParseDate(*dateText);
    const CliTime time = ParseTime(*timeText);
    const CliDegMin lon = args.Value("lon") ? ParseDegMin(*args.Value("lon")) : CliDegMin{139, 22};
    const CliDegMin lat = args.Value("lat") ? ParseDegMin(*args.Value("lat")) : CliDegMin{35, 34};
    const int zone = args.Value("zone") ? ParseInt(*args.Value("zone"), "zone") : 9;
    if (zone < -24 || zone > 24) throw CliError("zone must be between -24 and 24 hours");
    if (lat.degrees < -90 || lat.degrees > 90) throw CliError("latitude must be between -90 and 90 degrees");
    if (lon.degrees < -180 || lon.degrees > 180) throw CliError("longitude must be between -180 and 180 degrees");

    const DateTime local(date.year, date.month, date.day, time.hour, time.minute, time.second);
    const DateTime ut = ToUniversalTime(local, zone);

    char utText[64];
    std::snprintf(utText, sizeof utText, "%04d-%02d-%02d %02d:%02d:%02d", ut.Year(), ut.Month(), ut.Day(),
                  ut.Hour(), ut.Minute(), ut.Second());
    PrintLine("ut", utText);
    PrintLine("day_number", std::to_string(DayNumber(ut.Year(), ut.Month(), ut.Day())));
    PrintLine("ephemeris_years", FormatDouble(EphemerisYears(ut)));
    PrintLine("julian_centuries", FormatDouble(JulianCenturies(ut)));
    PrintLine("obliquity", FormatDouble(Obliquity(ut.Year(), ut.Month(), ut.Day())));
    PrintLine("sidereal_at_midnight", FormatDouble(SiderealAtMidnight(ut.Year(), ut.Month(), ut.Day())));
    PrintLine("local_sidereal_time", FormatDouble(LocalSiderealTime(local, zone, lon.degrees, lon.minutes)));
    PrintLine("latitude", FormatDouble(LatitudeRadians(lat.degrees, lat.minutes)));
    return 0;
}

const CliCommand kTime{"time", "time arguments and sidereal time for a local date-time at a site", kUsage,
                    RunTime};

}  // namespace

}  // namespace tavik::cli
