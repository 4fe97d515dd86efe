#include "app/view/TavikDoc.h"

#include <QCoreApplication>
#include <QDir>

#include "settings/SettingsStore.h"

namespace tavik {

namespace {
// Keeps the window alive while a large catalogue is read.
void Pump() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }
}  // namespace

CTavikDoc::CTavikDoc(SettingsStore& store, std::filesystem::path programDir)
    : store_(store), programDir_(std::move(programDir)) {}

bool CTavikDoc::LoadAtStartup() {
    InstallBundledDataIfNeeded(programDir_, store_);
    last_ = LoadCatalogAtStartup(catalog_, programDir_, store_, Pump);
    return catalog_.Loaded();
}

bool CTavikDoc::LoadChosen(const std::filesystem::path& path) {
    last_ = LoadChosenCatalog(catalog_, path, store_, Pump);
    return catalog_.Loaded();
}

QString CTavikDoc::CataloguePromptStart() const {
    const std::filesystem::path folder = CatalogPromptFolder(store_, documents_);
    return QDir(QString::fromStdString(folder.string())).filePath(QString::fromLatin1(kCatalogFileName));
}

void CTavikDoc::SetDocumentsFolder(const std::filesystem::path& folder) {
    documents_ = folder;
    history_.SetFolder(folder);
}

std::string CTavikDoc::DataDirectory() const { return tavik::DataDirectory(store_); }

}  // namespace tavik
