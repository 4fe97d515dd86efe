#pragma once
// The document: the star catalogue and the user's tap marks, located and
// loaded at start-up (a catalogue beside the program wins over the stored
// path; on the first run the bundled data is installed for the user).

#include <QString>

#include <filesystem>

#include "catalog/CatalogLocation.h"
#include "catalog/StarCatalog.h"
#include "telescope/GotoHistory.h"
#include "view/TapMarks.h"

namespace tavik {

class SettingsStore;

class CTavikDoc {
public:
    CTavikDoc(SettingsStore& store, std::filesystem::path programDir);

    // The start-up load. Returns true when the catalogue was loaded.
    bool LoadAtStartup();
    // A catalogue the user picked; true when it loaded.
    bool LoadChosen(const std::filesystem::path& path);

    bool Loaded() const { return catalog_.Loaded(); }
    StarCatalog& Catalog() { return catalog_; }
    const StarCatalog& Catalog() const { return catalog_; }
    const CatalogOpenResult& LastResult() const { return last_; }
    // The data directory (with a trailing '/'), or empty.
    std::string DataDirectory() const;
    const std::filesystem::path& ProgramDir() const { return programDir_; }
    // The telescope's goto history, written out at 100 lines and when the
    // document goes away.
    GotoHistory& History() { return history_; }
    // The numbered marks ①②③ (never stored).
    NumberedMarks& Numbered() { return numbered_; }
    const NumberedMarks& Numbered() const { return numbered_; }

private:
    SettingsStore& store_;
    std::filesystem::path programDir_;
    StarCatalog catalog_;
    CatalogOpenResult last_;
    GotoHistory history_;
    NumberedMarks numbered_;
};

}  // namespace tavik
