#include "cli/CliDataLocation.h"

#include <cstdio>
#include <system_error>

#include "catalog/CatalogLocation.h"

namespace tavik::cli {

namespace fs = std::filesystem;

fs::path BundledDataDirectory() {
    const auto candidates = BundledDataCandidates(CurrentProgramDirectory());
    return candidates.empty() ? fs::path(TAVIK_BUNDLED_DATA_DIR) : candidates.front();
}

fs::path WindowCatalogPath(const SettingsStore& settings) {
    std::error_code ec;
    const fs::path programDir = CurrentProgramDirectory();
    if (!programDir.empty() && fs::is_regular_file(programDir / kBesideProgramCatalog, ec))
        return programDir / kBesideProgramCatalog;
    const fs::path stored = settings.GetProfileString(kCatalogSection, kCatalogEntry, DefaultCatalogPath());
    if (fs::is_regular_file(stored, ec)) return stored;
    return BundledDataDirectory() / kCatalogFileName;
}

bool LoadWholeCatalog(StarCatalog& catalog, const fs::path& path, const char* command) {
    const RecordFileResult r = catalog.LoadFile(path);
    if (r.ok) {
        catalog.SetLoaded(true);
        const std::string program = std::string("tavik-cli ") + command;
        LoadSizesBeside(catalog, path, program.c_str());
        LoadNamesBeside(catalog, path, program.c_str());
        return true;
    }
    std::fprintf(stderr, "tavik-cli %s: %s: %s\n", command, path.string().c_str(), r.error.c_str());
    catalog.Clear();
    catalog.SetLoaded(false);
    return false;
}

}  // namespace tavik::cli
