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
// --settings uses the given INI file instead of the user's settings: a new file
// in an existing folder, or a settings file. A folder, a missing folder, or a
// file that is not a settings file (it would be overwritten) is refused with
// exit 1 and nothing written; so is a user's settings file that cannot be read.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "catalog/CatalogLocation.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "settings/SettingsStore.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage = "usage: tavik-cli data [--settings INI]";

int RunData(const std::vector<std::string>& args) {
    CliArgs parsed(args, {"settings"});
    if (!parsed.Positional().empty()) throw CliError(kUsage);
    std::unique_ptr<QtSettingsStore> store;
    if (const auto path = parsed.Value("settings")) {
        namespace fs = std::filesystem;
        std::error_code ec;
        const fs::path folder = fs::absolute(*path, ec).parent_path();
        const char* problem = fs::is_directory(*path, ec)    ? "is a folder, not a settings file"
                              : !fs::is_directory(folder, ec) ? "its folder does not exist"
                                                              : nullptr;
        if (problem) {
            std::fprintf(stderr, "tavik-cli data: %s: %s\n", path->c_str(), problem);
            return 1;
        }
        store = std::make_unique<QtSettingsStore>(*path);
    } else {
        store = std::make_unique<QtSettingsStore>();
    }
    if (!store->Readable()) {
        std::fprintf(stderr, "tavik-cli data: %s: not a settings file that can be read; left as it is\n",
                     store->FileName().c_str());
        return 1;
    }
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

static const CliCommand kData{"data", "set up (first run) and show the user's sky data location", kUsage,
                              RunData};

}  // namespace tavik::cli
