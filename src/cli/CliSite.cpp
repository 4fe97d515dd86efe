#include "cli/CliSite.h"

#include <ctime>

#include "astro/DateTime.h"

namespace tavik::cli {

CliSite ParseSiteOptions(const CliArgs& args) {
    CliSite site;
    if (auto v = args.Value("lon")) site.lon = ParseDegMin(*v);
    if (auto v = args.Value("lat")) site.lat = ParseDegMin(*v);
    if (auto v = args.Value("zone")) site.zone = ParseInt(*v, "zone");
    if (site.zone < -24 || site.zone > 24) throw CliError("zone must be between -24 and 24 hours");
    const double lat = site.lat.degrees + site.lat.minutes / 60.0;
    const double lon = site.lon.degrees + site.lon.minutes / 60.0;
    if (lat < -90.0 || lat > 90.0) throw CliError("latitude must be between -90 and 90 degrees");
    if (lon < -180.0 || lon > 180.0) throw CliError("longitude must be between -180 and 180 degrees");
    return site;
}

CliMoment ParseMomentOptions(const CliArgs& args, int zoneOffsetHours) {
    const DateTime now = SiteTimeAt(std::time(nullptr), zoneOffsetHours);
    // A leap second is never seen: UTC instants count none.
    CliMoment m{{now.Year(), now.Month(), now.Day()}, {now.Hour(), now.Minute(), now.Second()}};
    if (auto v = args.Value("date")) m.date = ParseDate(*v);
    if (auto v = args.Value("time")) m.time = ParseTime(*v);
    return m;
}

}  // namespace tavik::cli
