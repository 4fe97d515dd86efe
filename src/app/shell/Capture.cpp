#include "app/shell/Capture.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTextStream>

#include <filesystem>

#include "app/shell/MainFrame.h"
#include "app/dialogs/Prompts.h"
#include "app/shell/TavikApp.h"
#include "app/view/TavikView.h"
#include "catalog/CatalogLocation.h"
#include "settings/SettingsStore.h"
#include "view/CommandSet.h"

namespace tavik {

namespace {

// 2026-01-15 21:00 local time: winter sky with Orion up in the south-east.
class FixedClock final : public Clock {
public:
    DateTime Now() const override { return DateTime(2026, 1, 15, 21, 0, 0); }
};

bool Save(CMainFrame& frame, const QString& path) {
    if (!WaitForRender(*frame.View())) return false;
    return frame.grab().save(path);
}

}  // namespace

int CaptureWindowPictures(const QString& dir) {
    QTextStream err(stderr);
    QDir().mkpath(dir);
    const std::filesystem::path programDir = QCoreApplication::applicationDirPath().toStdString();
    const auto candidates = BundledDataCandidates(programDir);
    if (candidates.empty()) {
        err << "tavik: no bundled data (tavik.dat) found\n";
        return 1;
    }
    MemorySettingsStore store;
    store.WriteProfileString(kCatalogSection, kCatalogEntry,
                             (candidates.front() / kCatalogFileName).string());
    store.WriteProfileInt("SCREEN", "END", 1);
    store.WriteProfileInt("VIEW", "STATUS", 0);  // the planisphere first
    store.WriteProfileInt("SEIZA", "LINE", 1);
    store.WriteProfileInt("SETTING", "SEIZA", 1);
    RecordingPrompts prompts;
    FixedClock clock;
    AppOptions options;
    options.instanceKey = QStringLiteral("TavikCapture");
    options.store = &store;
    options.prompts = &prompts;
    options.clock = &clock;
    CTavikApp app(options);
    if (!app.InitInstance()) {
        err << "tavik: another capture is running\n";
        return 1;
    }
    CMainFrame& frame = *app.Frame();
    frame.View()->Time().SetCurrent(clock.Now());
    frame.OnToolbarTimer();
    bool ok = Save(frame, dir + "/tavik-planisphere.png");
    frame.RunCommand(32934);  // direction view, facing south
    ok = Save(frame, dir + "/tavik-direction.png") && ok;
    frame.RunCommand(cmd::RedMode);
    ok = Save(frame, dir + "/tavik-red.png") && ok;
    if (!ok) err << "tavik: a picture could not be made\n";
    return ok ? 0 : 1;
}

}  // namespace tavik
