// tavik-cli find: the name search ("天体検索") for one moment and site.
//
//   tavik-cli find TEXT [--date YYYY-MM-DD --time HH:MM:SS] [--lon D:M --lat D:M --zone H]
//       [--data DIR] [--minor FILE] [--limit N]
//
// Looks TEXT up in the name index (any name, designation or number a person
// may type: "すばる", "ｍ４２", "ngc 7000", "alf UMi", "HIP 11767", "木星"; words
// after TEXT are joined to it with a blank) and prints the results best first,
// at most N (default 20), one tab-separated line each:
//
//   KIND  DESIGNATION  NAME  MAG  CONSTELLATION  RA  DEC  ALT  RISE  SET
//
// KIND the Japanese kind word ("恒星", "星座", "惑星", "月", "太陽", "銀河",
// "散開星団", ... "タップマーク"); MAG one decimal ("1.5"); CONSTELLATION the
// Japanese name ("オリオン座"); RA and DEC the J2000 place as HH:MM:SS.S and
// ±DD:MM:SS (the Sun, the Moon as seen from the site and the planets computed
// for the moment); ALT the altitude now in degrees, one decimal; RISE and SET
// the next rise and set after the moment, local time YYYY-MM-DD HH:MM, or
// "沈みません" (both) for an object that never sets there and "昇りません"
// (both) for one that never rises. A field with nothing to say is empty.
//
// The moment and the site default to now at the default site, as `today`.
// The catalogue is DIR/tavik.dat with --data, else the one the window opens
// (see WindowCatalogPath), with the tap marks of its folder. Exit 0 with
// results, 1 when nothing matches (or the catalogue does not read whole, or
// --minor's file cannot be read), 2 for usage errors.
//
// Comets and asteroids are found as the window finds them: from the copy of
// the element file the window keeps in the user's data folder (kept to the
// window's [MINOR] MAGLIMIT), or from --minor FILE; KIND "彗星" or "小惑星",
// their place and magnitude those of the moment.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "astro/Angles.h"
#include "catalog/CatalogLocation.h"
#include "catalog/MinorBodies.h"
#include "catalog/NameIndex.h"
#include "catalog/StarCatalog.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliDataLocation.h"
#include "cli/CliSite.h"
#include "settings/SettingsStore.h"
#include "view/MinorBodyPainter.h"
#include "view/ObjectSearch.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage =
    "usage: tavik-cli find TEXT [--date YYYY-MM-DD --time HH:MM:SS] [--lon D:M --lat D:M --zone H]\n"
    "       [--data DIR] [--minor FILE] [--limit N]\n"
    "prints KIND DESIGNATION NAME MAG CONSTELLATION RA DEC ALT RISE SET, tab-separated, best first:\n"
    "RA/DEC J2000 HH:MM:SS.S/+DD:MM:SS, ALT degrees now, RISE/SET local YYYY-MM-DD HH:MM\n"
    "(or 沈みません / 昇りません); exit 1 when nothing matches";

constexpr int kDefaultLimit = 20;

std::string RightAscensionText(double ra) {
    long tenths = std::lround(ra * kRadToDeg / 15.0 * 36000.0) % (24L * 36000L);
    if (tenths < 0) tenths += 24L * 36000L;
    char s[32];
    std::snprintf(s, sizeof s, "%02ld:%02ld:%02ld.%ld", tenths / 36000, tenths / 600 % 60, tenths / 10 % 60,
                  tenths % 10);
    return s;
}

std::string DeclinationText(double dec) {
    const long seconds = std::lround(std::abs(dec) * kRadToDeg * 3600.0);
    char s[32];
    std::snprintf(s, sizeof s, "%c%02ld:%02ld:%02ld", dec < 0.0 && seconds > 0 ? '-' : '+', seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return s;
}

// A text as one field: tabs and line breaks (a tap mark's text may hold
// them) become blanks.
std::string Field(std::string s) {
    for (char& c : s)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return s;
}

std::string EventText(const std::optional<DateTime>& t, const SearchResult& r) {
    if (r.neverSets) return "沈みません";
    if (r.neverRises) return "昇りません";
    if (!t) return "";
    char s[32];
    std::snprintf(s, sizeof s, "%04d-%02d-%02d %02d:%02d", t->Year(), t->Month(), t->Day(), t->Hour(), t->Minute());
    return s;
}

int RunFind(const std::vector<std::string>& argv) {
    CliArgs args(argv, {"date", "time", "lon", "lat", "zone", "data", "minor", "limit"});
    if (args.Positional().empty()) throw CliError(kUsage);
    std::string text;
    for (const std::string& word : args.Positional()) text += (text.empty() ? "" : " ") + word;
    const CliSite cliSite = ParseSiteOptions(args);
    const CliMoment m = ParseMomentOptions(args, cliSite.zone);
    const int limit = args.Value("limit") ? ParseInt(*args.Value("limit"), "limit", 1, 10000) : kDefaultLimit;
    ObservationSite site;
    site.longitudeDegrees = cliSite.lon.degrees;
    site.longitudeMinutes = cliSite.lon.minutes;
    site.latitudeDegrees = cliSite.lat.degrees;
    site.latitudeMinutes = cliSite.lat.minutes;
    site.zoneOffsetHours = cliSite.zone;
    const DateTime local(m.date.year, m.date.month, m.date.day, m.time.hour, m.time.minute, m.time.second);

    // The catalogue; without one, the Sun, the Moon, the planets and the
    // constellations are still found.
    const QtSettingsStore settings;
    std::filesystem::path path;
    if (const auto dir = args.Value("data")) {
        path = std::filesystem::path(*dir) / kCatalogFileName;
    } else {
        path = WindowCatalogPath(settings);
    }
    StarCatalog catalog;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        std::fprintf(stderr, "tavik-cli find: no star catalogue at %s\n", path.string().c_str());
    } else if (!LoadWholeCatalog(catalog, path, "find")) {
        return 1;
    } else {
        catalog.LoadTapMarks(path.parent_path() / kTapFileName);
    }

    // The comets and asteroids: --minor's file, else the window's copy when
    // there is one; both kept to the window's magnitude limit.
    const double minorLimit =
        settings.GetProfileInt(kMinorSection, kMinorMagnitudeLimit, static_cast<int>(kDefaultMinorMagnitudeLimit));
    std::vector<MinorBody> minorBodies;
    if (const auto file = args.Value("minor")) {
        std::optional<MinorBodyList> list = ReadMinorBodyFile(*file, minorLimit);
        if (!list) {
            std::fprintf(stderr, "tavik-cli find: cannot read %s\n", file->c_str());
            return 1;
        }
        minorBodies = std::move(list->bodies);
    } else if (const std::filesystem::path stored = UserDataDirectory() / kMinorFileName;
               std::filesystem::is_regular_file(stored, ec)) {
        if (std::optional<MinorBodyList> list = ReadMinorBodyFile(stored, minorLimit)) minorBodies = std::move(list->bodies);
    }

    NameIndex index;
    index.Build(catalog, &minorBodies);
    const std::vector<SearchResult> results = PlaceSearchHits(
        index, index.Find(text, static_cast<std::size_t>(limit)), local, site, &catalog, &minorBodies);
    if (results.empty()) {
        std::fprintf(stderr, "tavik-cli find: nothing matches '%s'\n", text.c_str());
        return 1;
    }
    for (const SearchResult& r : results) {
        const SearchObject& o = r.object;
        char altitude[32];
        std::snprintf(altitude, sizeof altitude, "%.1f", r.altitudeDeg);
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", r.kindWord.c_str(), Field(o.designation).c_str(),
                    Field(o.name).c_str(), SearchMagnitudeText(o.mag).c_str(),
                    SearchConstellationText(o.constellation).c_str(), RightAscensionText(o.ra).c_str(),
                    DeclinationText(o.dec).c_str(), altitude, EventText(r.nextRise, r).c_str(),
                    EventText(r.nextSet, r).c_str());
    }
    std::fflush(stdout);
    return 0;
}

const CliCommand kFind{"find", "find an object by any name or number, with its place, altitude and rise/set",
                       kUsage, RunFind};

}  // namespace

}  // namespace tavik::cli
