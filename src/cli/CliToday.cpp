// tavik-cli today: the day's rise, transit and set times of the Sun and the
// Moon and the transits of Mars, Jupiter and Saturn at a site, for one or more
// consecutive local days. Each day prints its header line and then its
// non-empty lines in slot order.

#include <cstdio>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "astro/TodayData.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliSite.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage =
    "usage: tavik-cli today --date YYYY-MM-DD [--lon D:M] [--lat D:M] [--zone H] [--days N]";

int RunToday(const std::vector<std::string>& argv) {
    CliArgs args(argv, {"date", "lon", "lat", "zone", "days"});
    if (!args.Positional().empty()) throw CliError("unexpected argument '" + args.Positional()[0] + "'");
    const auto dateText = args.Value("date");
    if (!dateText) throw CliError(kUsage);
    const CliDate date = ParseDate(*dateText);
    const CliSite cliSite = ParseSiteOptions(args);
    const EventSite site{cliSite.lon.degrees, cliSite.lon.minutes, cliSite.lat.degrees, cliSite.lat.minutes,
                         cliSite.zone};
    const int days = args.Value("days") ? ParseInt(*args.Value("days"), "days") : 1;
    if (days < 1 || days > 3660) throw CliError("days must be between 1 and 3660");

    DateTime last(date.year, date.month, date.day, 0, 0, 0);
    for (int i = 1; i < days; ++i) last.AddOffset(DateOffset(1, 0, 0, 0));
    if (last.Year() > 2099) throw CliError("the days must end by 2099-12-31");

    DateTime clock(date.year, date.month, date.day, 0, 0, 0);
    int remaining = days;
    RunTodayData(clock, site, [&](const DailyEvents& events) {
        std::printf("%s\n", events.Header().c_str());
        for (const std::string& line : events.Lines()) std::printf("%s\n", line.c_str());
        return --remaining > 0;
    });
    return 0;
}

const CliCommand kToday{"today", "rise, transit and set times of the Sun, Moon and planets for local days",
                        kUsage, RunToday};

}  // namespace

}  // namespace tavik::cli
