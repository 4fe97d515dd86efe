#pragma once
// The sky view's own dialogs: the site, the date and time, the step interval,
// today's data, the colours, the option chain (command 32775), the fields of
// view ("視野設定"), the
// constellation selection, and the question for a catalogue when none could
// be had. Owned by the view; talks to it through ChartHost.

#include <string>

#include "app/view/ChartHost.h"

class QWidget;

namespace tavik {

class CTavikDoc;
class MagnifierController;
class Prompts;
class ScopeController;
class SettingsStore;
class TimerHost;

class ViewDialogs {
public:
    ViewDialogs(const ChartContext& context, CTavikDoc& doc, ScopeController& telescope, MagnifierController& magnifier);

    static bool Handles(int id);
    // Runs the dialog of a command (enabled ones only reach it); the
    // constellation commands act on `constellation` (that of the last pop-up menu).
    void Run(int id, const std::string& constellation);
    // Timer 998: no catalogue could be had. A file is asked for; without one
    // the program ends ten seconds later.
    void AskForCatalogue();

private:
    void RunSiteDialog();
    void RunDateTimeDialog();
    void RunIntervalDialog();
    void RunColorDialog();
    void RunOptionDialogs();
    void RunConstellationDialog();
    void RunFieldOfViewDialog();
    void SelectConstellation(bool onlyTapped, const std::string& constellation);

    ChartContext c_;
    CTavikDoc& doc_;
    ScopeController& telescope_;
    MagnifierController& magnifier_;
};

}  // namespace tavik
