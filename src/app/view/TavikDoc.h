#pragma once
// The document: the star catalogue and the user's tap marks, located and
// loaded at start-up (a catalogue beside the program wins over the stored
// path; on the first run the bundled data is installed for the user).

#include <QString>

#include <filesystem>
#include <memory>

#include "catalog/MinorBodies.h"

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
    // A catalogue the user picked; true when it loaded. A file that is no
    // catalogue is refused: LastResult().catalog.error tells why.
    bool LoadChosen(const std::filesystem::path& path);
    // Where the choice of a missing catalogue starts: "tavik.dat" proposed in
    // the data folder (the stored or default one, when it exists) or else in
    // the documents folder.
    QString CataloguePromptStart() const;
    // The user's documents folder: the goto history is written there.
    void SetDocumentsFolder(const std::filesystem::path& folder);

    bool Loaded() const { return catalog_.Loaded(); }
    StarCatalog& Catalog() { return catalog_; }
    const StarCatalog& Catalog() const { return catalog_; }
    const CatalogOpenResult& LastResult() const { return last_; }
    // The data directory (with a trailing '/'), or empty.
    std::string DataDirectory() const;
    const std::filesystem::path& ProgramDir() const { return programDir_; }
    // The telescope's goto history: each accepted goto is appended to the
    // file in the documents folder at once.
    GotoHistory& History() { return history_; }
    // The numbered marks ①②③ (never stored).
    NumberedMarks& Numbered() { return numbered_; }
    // The comets and asteroids loaded (null: none). Replaced whole by the
    // window thread while passes read the old list, so both go through
    // atomic loads and stores.
    std::shared_ptr<const MinorBodyList> MinorBodies() const { return std::atomic_load(&minorBodies_); }
    void SetMinorBodies(std::shared_ptr<const MinorBodyList> list) { std::atomic_store(&minorBodies_, std::move(list)); }
    const NumberedMarks& Numbered() const { return numbered_; }

private:
    SettingsStore& store_;
    std::filesystem::path programDir_;
    std::filesystem::path documents_;
    StarCatalog catalog_;
    CatalogOpenResult last_;
    GotoHistory history_;
    NumberedMarks numbered_;
    std::shared_ptr<const MinorBodyList> minorBodies_;
};

}  // namespace tavik
