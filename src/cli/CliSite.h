#pragma once
// Site and moment options shared by the astronomy subcommands: --lon D:M, --lat D:M
// and --zone H (default: the program's default site, 139:22 E, 35:34 N, UT+9),
// --date and --time.

#include "cli/CliArgs.h"

namespace tavik::cli {

struct CliSite {
    CliDegMin lon{139, 22};
    CliDegMin lat{35, 34};
    int zone = 9;
};

// Reads --lon, --lat and --zone; out-of-range values are usage errors.
CliSite ParseSiteOptions(const CliArgs& args);

// The local date and time given by --date and --time; a part left out is the
// site's present time (this computer's clock in UTC plus the site's zone), as
// the window's clock tells it.
struct CliMoment {
    CliDate date;
    CliTime time;
};
CliMoment ParseMomentOptions(const CliArgs& args, int zoneOffsetHours);

}  // namespace tavik::cli
