// tavik-cli today: the day's rise, transit and set times of the Sun and the
// Moon and the transits of Mars, Jupiter and Saturn at a site, for one or more
// consecutive local days. Each day prints its header line and then its
// non-empty lines in slot order, then the rows of the comets and asteroids
// chosen: --body NAME (any number) from --minor FILE or the window's copy of
// its element file, else the ones the window marks ([MINOR] TODAY).

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "astro/TodayData.h"
#include "catalog/CatalogLocation.h"
#include "catalog/MinorBodies.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliSite.h"
#include "settings/SettingsStore.h"
#include "view/MinorBodyPainter.h"
#include "view/MinorTodayMarks.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage =
    "usage: tavik-cli today --date YYYY-MM-DD [--lon D:M] [--lat D:M] [--zone H] [--days N]\n"
    "                       [--minor FILE] [--body NAME]...";

// The comets and asteroids whose rows are listed; nullopt (after a message)
// when the file or a body cannot be found.
std::optional<std::vector<MinorBody>> ChosenMinorBodies(const CliArgs& args) {
    const QtSettingsStore settings;
    const double limit =
        settings.GetProfileInt(kMinorSection, kMinorMagnitudeLimit, static_cast<int>(kDefaultMinorMagnitudeLimit));
    const auto file = args.Value("minor");
    const std::vector<std::string> names = args.Values("body");
    std::filesystem::path path = UserDataDirectory() / kMinorFileName;
    if (file) {
        path = *file;
    } else {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) {
            if (names.empty()) return std::vector<MinorBody>{};
            std::fprintf(stderr, "tavik-cli today: no element file (give --minor FILE)\n");
            return std::nullopt;
        }
    }
    std::optional<MinorBodyList> list = ReadMinorBodyFile(path, limit);
    if (!list) {
        std::fprintf(stderr, "tavik-cli today: cannot read %s\n", path.string().c_str());
        return std::nullopt;
    }
    if (names.empty()) return MarkedMinorBodies(list->bodies, settings);
    std::vector<MinorBody> chosen;
    for (const std::string& name : names) {
        const MinorBody* body = FindMinorBody(list->bodies, name);
        if (!body) {
            std::fprintf(stderr, "tavik-cli today: no body '%s' in %s\n", name.c_str(), path.string().c_str());
            return std::nullopt;
        }
        chosen.push_back(*body);
    }
    return chosen;
}

int RunToday(const std::vector<std::string>& argv) {
    CliArgs args(argv, {"date", "lon", "lat", "zone", "days", "minor", "body"}, {}, {"body"});
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

    const std::optional<std::vector<MinorBody>> minorBodies = ChosenMinorBodies(args);
    if (!minorBodies) return 1;

    DateTime clock(date.year, date.month, date.day, 0, 0, 0);
    int remaining = days;
    RunTodayData(clock, site, [&](const DailyEvents& events) {
        std::printf("%s\n", events.Header().c_str());
        for (const std::string& line : events.Lines()) std::printf("%s\n", line.c_str());
        return --remaining > 0;
    }, *minorBodies);
    return 0;
}

const CliCommand kToday{"today", "rise, transit and set times of the Sun, Moon and planets for local days",
                        kUsage, RunToday};

}  // namespace

}  // namespace tavik::cli
