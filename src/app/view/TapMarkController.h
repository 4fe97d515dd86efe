#pragma once
// The registered tap marks: "タップを登録" and "タップを変更、削除" through the
// tap information dialog, what a tap on a mark does, and the add-in list.
// Owned by the view; talks to it through ChartHost.

#include <memory>

#include "app/view/ChartHost.h"

class QWidget;

namespace tavik {

class CTavikDoc;
class Prompts;
class SettingsStore;
class TapNoTurnHold;
class TimerHost;
struct StarRecord;

class TapMarkController {
public:
    TapMarkController(const ChartContext& context, CTavikDoc& doc);
    ~TapMarkController();

    static bool Handles(int id);
    // Runs a tap-mark command. Stepping stops, so that the mark lands on the
    // sky that was pressed; real-time updating waits and taps do not turn the
    // view until the dialog is done, and both come back on every way out.
    void Run(int id);
    // Timers 900 and 901: the dialog that registers or changes the mark.
    void OnTimer(bool change);
    // What a tap on `mark` does. True when a question took the press.
    bool ActOn(const StarRecord& mark);

private:
    ChartContext c_;
    CTavikDoc& doc_;
    std::unique_ptr<TapNoTurnHold> noTurn_;  // TAP/NODIR held on during a command
    bool autoUpdateHeld_ = false;             // real-time updating paused for it
};

}  // namespace tavik
