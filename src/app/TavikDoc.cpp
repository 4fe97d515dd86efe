#include "app/TavikDoc.h"

#include <QCoreApplication>

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

std::string CTavikDoc::DataDirectory() const { return tavik::DataDirectory(store_); }

}  // namespace tavik
