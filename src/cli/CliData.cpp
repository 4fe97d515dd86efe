// tavik-cli data [--settings INI]: sets up and shows the user's sky data, as the
// application does at start: on the first run (no catalogue path stored and no
// TavikM-1.dat beside the program) the bundled files are copied into the
// per-user data directory and that path is stored in TAVIK/TAVIK_DATA. A stored
// path is never changed. Prints one "name<TAB>value" line each:
//
//   installed  1 when this run copied the bundled data, else 0
//   catalog    the catalogue path the application will open
//   data_dir   the data directory (the catalogue path up to its last "/")
//
// --settings uses the given INI file instead of the user's settings.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "catalog/CatalogLocation.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "settings/SettingsStore.h"

namespace tavik::cli {

namespace {

int RunData(const std::vector<std::string>& args) {
    CliArgs parsed(args, {"settings"});
    if (!parsed.Positional().empty()) throw CliError("usage: tavik-cli data [--settings INI]");
    auto store = parsed.Value("settings") ? std::make_unique<QtSettingsStore>(*parsed.Value("settings"))
                                          : std::make_unique<QtSettingsStore>();
    const auto programDir = CurrentProgramDirectory();
    const FirstRunResult firstRun = InstallBundledDataIfNeeded(programDir, *store);
    const std::string catalog = LocateCatalog(programDir, *store);
    store->Sync();
    std::printf("installed\t%d\ncatalog\t%s\ndata_dir\t%s\n", firstRun.installed ? 1 : 0, catalog.c_str(),
                DataDirectory(*store).c_str());
    if (!firstRun.error.empty()) {
        std::fprintf(stderr, "tavik-cli data: %s\n", firstRun.error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

static const CliCommand kData{"data", "set up (first run) and show the user's sky data location", RunData};

}  // namespace tavik::cli
