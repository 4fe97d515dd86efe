#include "catalog/CatalogLocation.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace tavik {

namespace fs = std::filesystem;

fs::path CurrentProgramDirectory() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self.parent_path();
}

fs::path UserDataDirectory() {
    fs::path base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home && home[0] ? home : "/tmp") / ".local" / "share";
    }
    return base / "Arvex" / "Tavik";
}

std::string DefaultCatalogPath() { return (UserDataDirectory() / kCatalogFileName).string(); }

std::string DataDirectory(const SettingsStore& settings) {
    const std::string path = settings.GetProfileString(kCatalogSection, kCatalogEntry, DefaultCatalogPath());
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string DataFilePath(const SettingsStore& settings, const std::string& name) {
    return DataDirectory(settings) + name;
}

bool NoteCatalogBesideProgram(const fs::path& programDir, SettingsStore& settings) {
    if (programDir.empty()) return false;
    const fs::path candidate = programDir / kBesideProgramCatalog;
    std::error_code ec;
    if (!fs::is_regular_file(candidate, ec)) return false;
    settings.WriteProfileString(kCatalogSection, kCatalogEntry, fs::absolute(candidate, ec).string());
    return true;
}

std::string LocateCatalog(const fs::path& programDir, SettingsStore& settings) {
    NoteCatalogBesideProgram(programDir, settings);
    return settings.GetProfileString(kCatalogSection, kCatalogEntry, DefaultCatalogPath());
}

namespace {
std::ifstream OpenForReading(const fs::path& path) { return std::ifstream(path, std::ios::binary); }

// Copies the data files and the constellation descriptions of `source` into
// `target` (created if need be). Files already in `target` are the user's and
// stay. False with `error` set when a folder or file cannot be made.
bool CopyDataFolder(const fs::path& source, const fs::path& target, std::string& error) {
    std::error_code ec;
    fs::create_directories(target, ec);
    if (ec) {
        error = "cannot create " + target.string() + ": " + ec.message();
        return false;
    }
    std::vector<std::string> names = BundledDataFiles();
    for (const auto& entry : fs::directory_iterator(source, ec)) {
        if (entry.path().extension() == ".p91") names.push_back(entry.path().filename().string());
    }
    for (const std::string& name : names) {
        const fs::path from = source / name;
        const fs::path to = target / name;
        if (fs::exists(to, ec)) continue;  // the user's copy stays
        if (!fs::is_regular_file(from, ec)) continue;
        fs::copy_file(from, to, fs::copy_options::skip_existing, ec);
        if (ec) {
            error = "cannot copy " + from.string() + " to " + to.string() + ": " + ec.message();
            return false;
        }
        // Installed copies may be read-only; the user's copy must be writable.
        fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
    }
    return true;
}

// The files of the bundled data that later versions added. A data folder set
// up by an earlier version lacks them; they are added to it (never replacing
// a file of the user's), and a failure only leaves them out.
void AddLaterFiles(const fs::path& source, const fs::path& target) {
    static const char* const kLater[] = {DeepSkySizes::kFileName, ExtraNames::kFileName};
    std::error_code ec;
    if (!fs::is_regular_file(target / kCatalogFileName, ec)) return;
    for (const char* name : kLater) {
        const fs::path to = target / name;
        if (fs::exists(to, ec) || !fs::is_regular_file(source / name, ec)) continue;
        if (fs::copy_file(source / name, to, fs::copy_options::skip_existing, ec))
            fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
    }
}

bool SameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    return (a / "").lexically_normal() == (b / "").lexically_normal();
}
}  // namespace

CatalogOpenResult LoadCatalogAtStartup(StarCatalog& catalog, const fs::path& programDir,
                                       SettingsStore& settings, const PumpFn& pump) {
    CatalogOpenResult result;
    result.path = LocateCatalog(programDir, settings);
    std::ifstream in = OpenForReading(result.path);
    if (in) {
        settings.WriteProfileString(kCatalogSection, kCatalogEntry, result.path);
        result.catalog = catalog.Load(in, pump);
        catalog.SetLoaded(true);
        LoadSizesBeside(catalog, result.path);
        LoadNamesBeside(catalog, result.path);
    } else {
        result.catalog.error = "cannot open " + result.path;
        settings.WriteProfileInt("OPTION3", "FULL_SCREEN", 0);
    }
    result.tapMarks = catalog.LoadTapMarks(DataFilePath(settings, kTapFileName));
    return result;
}

CatalogOpenResult LoadChosenCatalog(StarCatalog& catalog, const fs::path& path, SettingsStore& settings,
                                    const PumpFn& pump) {
    CatalogOpenResult result;
    result.path = path.string();
    std::ifstream in = OpenForReading(path);
    if (!in) {
        result.catalog.error = "cannot open " + result.path;
        return result;
    }
    // Loaded only once the records and their sizes are in: the load pumps
    // messages, and no pass may draw (on the render thread) from a catalogue
    // that is still being filled.
    catalog.SetLoaded(false);
    result.catalog = catalog.Load(in, pump);
    if (!result.catalog.ok) {
        // Not a catalogue (or a damaged one): refused, nothing remembered.
        catalog.Clear();
        return result;
    }
    LoadSizesBeside(catalog, path);
    LoadNamesBeside(catalog, path);
    catalog.SetLoaded(true);
    settings.WriteProfileString(kCatalogSection, kCatalogEntry, result.path);
    result.tapMarks = catalog.LoadTapMarks(DataFilePath(settings, kTapFileName));
    return result;
}

void LoadSizesBeside(StarCatalog& catalog, const fs::path& catalogPath, const char* program) {
    DeepSkySizes sizes;
    std::string error;
    const fs::path path = catalogPath.parent_path() / DeepSkySizes::kFileName;
    if (!sizes.LoadFile(path, &error)) {
        std::fprintf(stderr, "%s: %s が壊れているため、星雲星団の大きさは使いません (%s)\n", program,
                     path.string().c_str(), error.c_str());
    }
    catalog.SetSizes(std::move(sizes));
}

void LoadNamesBeside(StarCatalog& catalog, const fs::path& catalogPath, const char* program) {
    ExtraNames names;
    std::string error;
    const fs::path path = catalogPath.parent_path() / ExtraNames::kFileName;
    if (!names.LoadFile(path, &error)) {
        std::fprintf(stderr, "%s: %s が壊れているため、名前の追加データは使いません (%s)\n", program,
                     path.string().c_str(), error.c_str());
    }
    catalog.SetExtraNames(std::move(names));
}

fs::path CatalogPromptFolder(const SettingsStore& settings, const fs::path& fallback) {
    std::error_code ec;
    for (const fs::path& folder : {fs::path(DataDirectory(settings)), UserDataDirectory()}) {
        if (!folder.empty() && fs::is_directory(folder, ec)) return folder;
    }
    return fallback;
}

void ResetDataLocation(SettingsStore& settings) {
    settings.WriteProfileString(kCatalogSection, kCatalogEntry, std::nullopt);
    settings.WriteProfileString("SEIZAE", "FILE", std::nullopt);
    settings.WriteProfileString("SEIZALINE", "FILE", std::nullopt);
}

const std::vector<std::string>& BundledDataFiles() {
    static const std::vector<std::string> files{kCatalogFileName, DeepSkySizes::kFileName, ExtraNames::kFileName,
                                                kLineFileName, kFigureFileName, kMilkyWayFileName};
    return files;
}

std::vector<fs::path> BundledDataCandidates(const fs::path& programDir) {
    std::vector<fs::path> all;
    if (!programDir.empty()) all.push_back(programDir.parent_path() / "share" / "tavik");
#ifdef TAVIK_BUNDLED_DATA_DIR
    all.emplace_back(TAVIK_BUNDLED_DATA_DIR);
#endif
    std::vector<fs::path> found;
    std::error_code ec;
    for (const auto& dir : all) {
        if (fs::is_regular_file(dir / kCatalogFileName, ec)) found.push_back(dir);
    }
    return found;
}

FirstRunResult InstallBundledDataIfNeeded(const fs::path& programDir, SettingsStore& settings,
                                          const std::vector<fs::path>& bundledDirs,
                                          const fs::path& targetDir) {
    FirstRunResult result;
    if (settings.Contains(kCatalogSection, kCatalogEntry)) {
        // Set up before: the stored path stays, but a data folder set up here
        // by an earlier version gets the files added since.
        const fs::path stored = settings.GetProfileString(kCatalogSection, kCatalogEntry, "");
        const fs::path folder = stored.parent_path();
        if (!bundledDirs.empty() && (SameFolder(folder, targetDir) || SameFolder(folder, targetDir / kDeepDataFolder))) {
            AddLaterFiles(bundledDirs.front(), targetDir);
            AddLaterFiles(bundledDirs.front() / kDeepDataFolder, targetDir / kDeepDataFolder);
        }
        return result;
    }
    std::error_code ec;
    if (!programDir.empty() && fs::is_regular_file(programDir / kBesideProgramCatalog, ec)) return result;
    if (bundledDirs.empty()) {
        result.error = "no bundled sky data found";
        return result;
    }
    const fs::path& source = bundledDirs.front();
    if (!CopyDataFolder(source, targetDir, result.error)) return result;
    result.catalogPath = (targetDir / kCatalogFileName).string();
    settings.WriteProfileString(kCatalogSection, kCatalogEntry, result.catalogPath);
    result.installed = true;
    // The deep set gets its own writable copy too, so that taps made on it can be
    // saved; without it the default set still works.
    if (fs::is_regular_file(source / kDeepDataFolder / kCatalogFileName, ec))
        CopyDataFolder(source / kDeepDataFolder, targetDir / kDeepDataFolder, result.error);
    return result;
}

const std::vector<std::string>& SkyDataCredits() {
    static const std::vector<std::string> lines{
        "星のデータ: d3-celestial 0.7.35 (c) 2015 Olaf Frohn, BSD 3-Clause License",
        "恒星: XHIP (Anderson & Francis 2012) / Hipparcos",
        "星名: IV/27A, IV/22, GCVS, Gliese, Stellarium sky cultures",
        "星雲星団: SAC Database 8.1, SEDS Messier data (H. Frommert)",
        "星雲星団と大きさ: OpenNGC (Mattia Verga), CC BY-SA 4.0",
        "星座線: IAU, 星座境界: Davenhall & Leggett (1989)",
        "天の川: Milky Way Outline Catalog (J. R. Vieira)",
        "星座絵の代わりに星座境界を表示しています",
    };
    return lines;
}

FirstRunResult InstallBundledDataIfNeeded(const fs::path& programDir, SettingsStore& settings) {
    return InstallBundledDataIfNeeded(programDir, settings, BundledDataCandidates(programDir),
                                      UserDataDirectory());
}

}  // namespace tavik
