#pragma once
// Where tavik-cli finds the sky data, and how it loads a catalogue.

#include <filesystem>

#include "catalog/StarCatalog.h"
#include "settings/SettingsStore.h"

namespace tavik::cli {

// The bundled sky data: the installed copy beside the program, else the source
// tree's data folder.
std::filesystem::path BundledDataDirectory();

// The catalogue the window opens with these settings: a TavikM-1.dat beside the
// program, else the stored TAVIK/TAVIK_DATA (or the per-user default); when that
// file does not exist (the window has not set up the data yet), the bundled
// one. Nothing is written to the settings.
std::filesystem::path WindowCatalogPath(const SettingsStore& settings);

// Loads the catalogue at `path` whole. A file that cannot be opened, is a
// folder, or does not read whole is said on stderr after "tavik-cli COMMAND:"
// and gives false; the catalogue is then left empty and unloaded.
bool LoadWholeCatalog(StarCatalog& catalog, const std::filesystem::path& path, const char* command);

}  // namespace tavik::cli
