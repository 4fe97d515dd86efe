#pragma once
// Where the catalogue and the data directory are: the catalogue path is kept
// in the settings entry TAVIK/TAVIK_DATA; a "TavikM-1.dat" beside the program
// wins over it; without either the per-user data directory is used. The data
// directory (constellation files, pictures, the user's tap file) is the
// catalogue path up to and including its last "/".
//
// Everything here works without a window: the application shell adds the
// prompt, the file dialog and the timed exit around these steps.

#include <filesystem>
#include <string>
#include <vector>

#include "catalog/RecordFile.h"
#include "catalog/StarCatalog.h"
#include "settings/SettingsStore.h"

namespace tavik {

inline constexpr char kCatalogSection[] = "TAVIK";
inline constexpr char kCatalogEntry[] = "TAVIK_DATA";
inline constexpr char kBesideProgramCatalog[] = "TavikM-1.dat";
inline constexpr char kCatalogFileName[] = "tavik.dat";
inline constexpr char kLineFileName[] = "tavikline.dat";
inline constexpr char kFigureFileName[] = "tavikconste.dat";
inline constexpr char kMilkyWayFileName[] = "Milkey.p92";
inline constexpr char kTapFileName[] = "TavikUser.tap";
// The deep star set: a complete second data folder inside the bundled one.
inline constexpr char kDeepDataFolder[] = "deep";

// The folder of the running program (from /proc/self/exe; empty if unknown).
std::filesystem::path CurrentProgramDirectory();

// The per-user data directory: $XDG_DATA_HOME/Arvex/Tavik, or
// $HOME/.local/share/Arvex/Tavik when XDG_DATA_HOME is unset or not absolute.
std::filesystem::path UserDataDirectory();
// UserDataDirectory()/tavik.dat: the catalogue path when none is stored.
std::string DefaultCatalogPath();

// The stored catalogue path (or the default) cut after its last "/"
// (empty when it has none). Read from the settings at every call.
std::string DataDirectory(const SettingsStore& settings);
// DataDirectory + name.
std::string DataFilePath(const SettingsStore& settings, const std::string& name);

// If "TavikM-1.dat" stands in `programDir`, stores its full path in
// TAVIK/TAVIK_DATA and returns true.
bool NoteCatalogBesideProgram(const std::filesystem::path& programDir, SettingsStore& settings);

// The catalogue path to open: the one beside the program (stored as above),
// else the stored TAVIK/TAVIK_DATA, else DefaultCatalogPath().
std::string LocateCatalog(const std::filesystem::path& programDir, SettingsStore& settings);

struct CatalogOpenResult {
    std::string path;           // the catalogue path tried
    RecordFileResult catalog;   // catalog.opened false: the file could not be opened
    RecordFileResult tapMarks;  // the user's tap file of the data directory
};

// The document's start-up load: locates the catalogue and loads it. When it
// opens, its path is written back to TAVIK_DATA and the loaded flag is set
// after reading (also for a short file: what was read is shown, and the
// result carries the error); when it does not open, OPTION3/FULL_SCREEN is
// set to 0 so that the next start shows the menus. In both cases the tap file
// of the data directory is loaded afterwards.
CatalogOpenResult LoadCatalogAtStartup(StarCatalog& catalog, const std::filesystem::path& programDir,
                                       SettingsStore& settings, const PumpFn& pump = {});

// Sets the deep-sky sizes of the size file beside the catalogue at
// `catalogPath` (DeepSkySizes::kFileName). A missing file gives no sizes; a
// damaged one gives no sizes and one warning on stderr, headed by `program`
// ("tavik"); neither is a failure of the catalogue. LoadCatalogAtStartup and
// LoadChosenCatalog call it after a load.
void LoadSizesBeside(StarCatalog& catalog, const std::filesystem::path& catalogPath, const char* program = "tavik");
// The same for the extra names of the names file beside it
// (ExtraNames::kFileName): missing, no extra names; damaged, none and one
// warning naming the line. LoadCatalogAtStartup and LoadChosenCatalog call
// it after a load.
void LoadNamesBeside(StarCatalog& catalog, const std::filesystem::path& catalogPath, const char* program = "tavik");

// A catalogue the user picked: loaded when it opens and reads whole, its path
// stored in TAVIK_DATA and the tap file of its data directory loaded. When it
// does not open nothing changes (result.catalog.opened false); when it is no
// catalogue or a damaged one (result.catalog.ok false, the error says why) the
// catalogue is left empty and unloaded and nothing is stored.
CatalogOpenResult LoadChosenCatalog(StarCatalog& catalog, const std::filesystem::path& path,
                                    SettingsStore& settings, const PumpFn& pump = {});

// The folder the file choice for a missing catalogue starts in: the folder of
// the stored (or default) catalogue path when it exists, else the per-user
// data directory when it exists, else `fallback`.
std::filesystem::path CatalogPromptFolder(const SettingsStore& settings, const std::filesystem::path& fallback);

// "Reset data location": deletes TAVIK/TAVIK_DATA, SEIZAE/FILE and SEIZALINE/FILE.
void ResetDataLocation(SettingsStore& settings);

// --- bundled data and the first run -------------------------------------

// The bundled files copied on first run.
const std::vector<std::string>& BundledDataFiles();

// Folders that may hold the bundled data, in order of preference: an
// installed copy (<programDir>/../share/tavik) and the source tree's data/
// folder known at build time. Only folders that hold a tavik.dat are listed.
std::vector<std::filesystem::path> BundledDataCandidates(const std::filesystem::path& programDir);

struct FirstRunResult {
    bool installed = false;   // files were set up and TAVIK_DATA stored
    std::string catalogPath;  // the stored path when installed
    std::string error;        // why nothing (installed false) or the deep set
                              // (installed true) could not be set up
};

// First run: when TAVIK/TAVIK_DATA is not stored and no "TavikM-1.dat" stands
// beside the program, copies the bundled files from the first folder of
// `bundledDirs` into `targetDir` (files already there are kept, never
// overwritten) and stores targetDir/tavik.dat in TAVIK/TAVIK_DATA; then the
// deep set in its "deep" subfolder, when there is one, into targetDir/deep.
// A stored path is never changed; when it lies in targetDir or targetDir/deep
// (set up by an earlier version), the size and names files it lacks are
// copied into both folders. Otherwise, returns installed false and no error.
FirstRunResult InstallBundledDataIfNeeded(const std::filesystem::path& programDir,
                                          SettingsStore& settings,
                                          const std::vector<std::filesystem::path>& bundledDirs,
                                          const std::filesystem::path& targetDir);
// The same with the default folders (BundledDataCandidates, UserDataDirectory).
FirstRunResult InstallBundledDataIfNeeded(const std::filesystem::path& programDir,
                                          SettingsStore& settings);

// Acknowledgement lines for the bundled sky data (UTF-8), for the about box.
const std::vector<std::string>& SkyDataCredits();

}  // namespace tavik
