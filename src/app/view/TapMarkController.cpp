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

TapMarkController::TapMarkController(const ChartContext& context, CTavikDoc& doc)
    : c_(context), doc_(doc) {}

TapMarkController::~TapMarkController() = default;

bool TapMarkController::Handles(int id) {
    return id == cmd::TapRegister || id == cmd::TapChange || id == cmd::AddInList;
}

void TapMarkController::Run(int id) {
    if (id == cmd::AddInList) {
        bool ok = false;
        c_.host.WithPassesHeld([&] {  // the dialog writes the ADIN entries
            CAddInDialog dialog(c_.store, BrowserFileChooser(c_.prompts, &c_.view), &c_.view);
            ok = dialog.exec() == QDialog::Accepted;
        });
        if (ok) c_.host.RefreshView();
        return;
    }
    TimeControl& time = c_.host.Time();
    if (time.Stepping()) {
        c_.host.ApplyTime(time.ToggleStepping());
        c_.host.StateChanged();
    }
    if (time.AutoUpdate() && c_.host.TimerActive(timer_id::kAutoUpdate)) {
        c_.timers.KillTimer(timer_id::kAutoUpdate);
        autoUpdateHeld_ = true;
    }
    if (!noTurn_) noTurn_ = c_.host.HoldTapTurns();
    c_.timers.StartTimer(id == cmd::TapRegister ? timer_id::kTapSave0 : timer_id::kTapSave1, kTapMarkDelayMs);
}

void TapMarkController::OnTimer(bool change) {
    if (!noTurn_) return;  // no tap-mark command is waiting for it
    bool redraw = false;
    c_.host.WithPassesHeld([&] {  // the tap list changes under the dialog
        TapMarkSession session{doc_.Catalog(), c_.store, doc_.DataDirectory(), c_.prompts,
                               BrowserFileChooser(c_.prompts, &c_.view), &c_.view, {}, &c_.host.Time().GetClock()};
        if (change) {
            const std::optional<StarRecord>& tapped = c_.host.TappedRecord();
            redraw = ChangeTapAt(session, tapped && tapped->IsTapMark() ? &*tapped : nullptr);
        } else {
            redraw = RegisterTapAt(session, c_.host.SkyUnderTap());
        }
    });
    noTurn_.reset();
    if (autoUpdateHeld_) {
        autoUpdateHeld_ = false;
        if (c_.host.Time().AutoUpdate()) c_.timers.StartTimer(timer_id::kAutoUpdate, kAutoUpdatePeriodMs);
    }
    if (redraw) c_.host.RefreshView();
    c_.host.StateChanged();
}

bool TapMarkController::ActOn(const StarRecord& mark) {
    TapMarkActions actions;
    actions.showPicture = [this](const std::string& path) { c_.host.ShowPicture(path); };
    actions.showAddIn = [this](const std::string& path) { c_.host.ShowTapImage(c_.host.ChartWithAddIn(path)); };
    const TapActionResult r = RunTapMarkAction(mark, c_.prompts, actions);
    if (r.text) {
        QImage image = c_.host.ChartImage();
        {
            QPainter p(&image);
            DrawTextBlock(p, c_.host.TapFont(), 10, 22, *r.text, c_.host.Colors(), ColorModes::Load(c_.store));
        }
        c_.host.ShowTapImage(std::move(image));
    }
    return r.asked;
}

}  // namespace tavik
