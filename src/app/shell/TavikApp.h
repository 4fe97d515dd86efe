#pragma once
// app/shell: the top of the window layer. The application (TavikApp), the
// main frame with its menus and toolbars (MainFrame, ToolbarState,
// CommandList, Icons), the single-instance check, quitting on signals, Qt's
// own Japanese texts and the window captures; main.cpp builds `tavik` on it.
//
// The application: single instance, the settings store rooted at Arvex/Tavik,
// the catalogue beside the program, then the document, the main frame and the
// sky view, shown at a portrait size.

#include <QString>

#include <filesystem>
#include <memory>

namespace tavik {

class CMainFrame;
class CTavikDoc;
class CTavikView;
class Clock;
class Prompts;
class SettingsStore;
class SingleInstance;

struct AppOptions {
    QString instanceKey = QStringLiteral("TavikMutex");
    std::filesystem::path programDir;    // empty: the executable's folder
    SettingsStore* store = nullptr;      // nullptr: the user's store (QSettings Arvex/Tavik)
    Prompts* prompts = nullptr;          // nullptr: message boxes
    const Clock* clock = nullptr;        // nullptr: the computer's clock
    std::filesystem::path documentsDir;  // empty: the user's documents folder (goto history, catalogue prompt)
    bool show = true;
    // False: no single-instance lock is taken (a read-only run beside a
    // running copy, e.g. --list-commands).
    bool singleInstance = true;
};

class CTavikApp {
public:
    explicit CTavikApp(AppOptions options = {});
    ~CTavikApp();

    // Start-up. False when the program is to end at once (another copy runs).
    bool InitInstance();

    CMainFrame* Frame() const { return frame_.get(); }
    CTavikView* View() const;
    CTavikDoc* Doc() const { return doc_.get(); }
    SettingsStore& Store() const { return *store_; }
    // nullptr when started without the single-instance lock.
    SingleInstance* Instance() const { return instance_.get(); }

private:
    AppOptions options_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<SettingsStore> ownStore_;
    std::unique_ptr<Prompts> ownPrompts_;
    std::unique_ptr<Clock> ownClock_;
    SettingsStore* store_ = nullptr;
    Prompts* prompts_ = nullptr;
    const Clock* clock_ = nullptr;
    std::unique_ptr<CTavikDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};

// Processes events until the view has drawn a new picture for its current
// size (or `timeoutMs` passes). Returns whether it did.
bool WaitForRender(CTavikView& view, int timeoutMs = 5000);

}  // namespace tavik
