#include "app/view/TapMarkController.h"

#include <QFont>
#include <QPainter>

#include "app/dialogs/AddInDialog.h"
#include "app/dialogs/Prompts.h"
#include "app/dialogs/TapMarkDialog.h"
#include "app/view/ChartHost.h"
#include "app/view/TapMarkAction.h"
#include "app/view/TavikDoc.h"
#include "view/CommandSet.h"
#include "view/OverlayUser.h"
#include "view/TapMarks.h"
#include "view/TimeControl.h"

namespace tavik {

namespace {

constexpr int kTapMarkDelayMs = 1000;

}  // namespace

TapMarkController::TapMarkController(ChartHost& host, TimerHost& timers, CTavikDoc& doc, SettingsStore& store,
                                     Prompts& prompts, QWidget& view)
    : host_(host), timers_(timers), doc_(doc), store_(store), prompts_(prompts), view_(view) {}

TapMarkController::~TapMarkController() = default;

bool TapMarkController::Handles(int id) {
    return id == cmd::TapRegister || id == cmd::TapChange || id == cmd::AddInList;
}

void TapMarkController::Run(int id) {
    if (id == cmd::AddInList) {
        bool ok = false;
        host_.WithPassesHeld([&] {  // the dialog writes the ADIN entries
            CAddInDialog dialog(store_, BrowserFileChooser(prompts_, &view_), &view_);
            ok = dialog.exec() == QDialog::Accepted;
        });
        if (ok) host_.RefreshView();
        return;
    }
    TimeControl& time = host_.Time();
    if (time.Stepping()) {
        host_.ApplyTime(time.ToggleStepping());
        host_.StateChanged();
    }
    if (time.AutoUpdate() && host_.TimerActive(timer_id::kAutoUpdate)) {
        timers_.KillTimer(timer_id::kAutoUpdate);
        autoUpdateHeld_ = true;
    }
    if (!noTurn_) noTurn_ = host_.HoldTapTurns();
    timers_.StartTimer(id == cmd::TapRegister ? timer_id::kTapSave0 : timer_id::kTapSave1, kTapMarkDelayMs);
}

void TapMarkController::OnTimer(bool change) {
    if (!noTurn_) return;  // no tap-mark command is waiting for it
    bool redraw = false;
    host_.WithPassesHeld([&] {  // the tap list changes under the dialog
        TapMarkSession session{doc_.Catalog(), store_, doc_.DataDirectory(), prompts_,
                               BrowserFileChooser(prompts_, &view_), &view_, {}, &host_.Time().GetClock()};
        if (change) {
            const std::optional<StarRecord>& tapped = host_.TappedRecord();
            redraw = ChangeTapAt(session, tapped && tapped->IsTapMark() ? &*tapped : nullptr);
        } else {
            redraw = RegisterTapAt(session, host_.SkyUnderTap());
        }
    });
    noTurn_.reset();
    if (autoUpdateHeld_) {
        autoUpdateHeld_ = false;
        if (host_.Time().AutoUpdate()) timers_.StartTimer(timer_id::kAutoUpdate, kAutoUpdatePeriodMs);
    }
    if (redraw) host_.RefreshView();
    host_.StateChanged();
}

bool TapMarkController::ActOn(const StarRecord& mark) {
    TapMarkActions actions;
    actions.showPicture = [this](const std::string& path) { host_.ShowPicture(path); };
    actions.showAddIn = [this](const std::string& path) { host_.ShowTapImage(host_.ChartWithAddIn(path)); };
    const TapActionResult r = RunTapMarkAction(mark, prompts_, actions);
    if (r.text) {
        QImage image = host_.ChartImage();
        {
            QPainter p(&image);
            DrawTextBlock(p, host_.TapFont(), 10, 22, *r.text, host_.Colors(), ColorModes::Load(store_));
        }
        host_.ShowTapImage(std::move(image));
    }
    return r.asked;
}

}  // namespace tavik
