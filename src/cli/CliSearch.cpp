// tavik-cli search: the horizon search ("地平線上検索") for one moment and site.
//
//   tavik-cli search [--date YYYY-MM-DD --time HH:MM:SS] [--lon D:M --lat D:M --zone H]
//       [--set SECTION/ENTRY=VALUE]... [--data DIR] [--pick TEXT]
//
// Prints the search list in the list's order, one entry per line:
//   TEXT<TAB>REFERENCE
// TEXT exactly as the list shows it (UTF-8); REFERENCE the record reference
// (catalogue position, or 0, -1, -2, ... for the tap marks of the data
// folder's TavikUser.tap). --pick TEXT then prints what choosing the first
// entry whose text contains TEXT sets in the magnified view:
//   facing<TAB>N   (West 0, North 1, East 2, South 3)
//   turn<TAB>N
//   altitude<TAB>N
// and exits 1 (after the list) when no entry contains TEXT.
//
// The frame is built as `render` builds it (every render option is accepted);
// OPTION3/USR_TAP_TEXT decides whether tap marks are searched.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/StarCatalog.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliFrame.h"
#include "view/HorizonSearch.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage =
    "usage: tavik-cli search [--date YYYY-MM-DD --time HH:MM:SS] [--lon D:M --lat D:M --zone H]\n"
    "       [--set SECTION/ENTRY=VALUE]... [--data DIR] [--pick TEXT]";

int RunSearch(const std::vector<std::string>& argv) {
    std::vector<std::string> options = FrameOptions();
    options.push_back("pick");
    CliArgs args(argv, options, {}, {"set"});
    if (!args.Positional().empty())
        throw CliError("unexpected argument '" + args.Positional()[0] + "'\n" + kUsage);

    Frame frame;
    if (const int rc = PrepareFrame(args, frame, "search")) return rc;
    StarCatalog& catalog = frame.catalog;
    // The user's tap marks, as the document loads them (unless the frame has
    // them already); a missing file is none.
    if (catalog.TapMarkCount() == 0)
        catalog.LoadTapMarks(std::filesystem::path(frame.scene.dataDirectory) / "TavikUser.tap");

    const ViewState& chart = frame.renderer.LastView();
    const double theta = chart.localSiderealTime;
    const double latitude = chart.latitude;
    UpdateSolarPlaceholders(catalog, frame.scene.localTime, frame.scene.site.zoneOffsetHours, theta, latitude);
    const bool tapMarks = frame.store.GetProfileInt("OPTION3", "USR_TAP_TEXT", 1) == 1;
    const std::vector<HorizonEntry> entries = HorizonSearchList(catalog, theta, latitude, tapMarks);
    for (const HorizonEntry& e : entries) std::printf("%s\t%d\n", e.text.c_str(), e.reference);

    if (const auto pick = args.Value("pick")) {
        for (const HorizonEntry& e : entries) {
            if (e.text.find(*pick) == std::string::npos) continue;
            const auto target = JumpTargetOf(catalog, e, theta, latitude);
            if (!target) break;
            std::printf("facing\t%d\nturn\t%d\naltitude\t%d\n", target->facing, target->turn, target->altitude);
            std::fflush(stdout);
            return 0;
        }
        std::fflush(stdout);
        std::fprintf(stderr, "tavik-cli search: no entry contains '%s'\n", pick->c_str());
        return 1;
    }
    std::fflush(stdout);
    return 0;
}

const CliCommand kSearch{"search", "list what is above the horizon, as the horizon search lists it", kUsage,
                        RunSearch};

}  // namespace

}  // namespace tavik::cli
