// The sky view's registered tap marks: "タップを登録" and "タップを変更、削除"
// through the tap information dialog, what a tap on a mark does, and the
// add-in list.

#include "app/dialogs/AddInDialog.h"
#include "app/dialogs/Prompts.h"
#include "app/view/TapMarkAction.h"
#include "app/dialogs/TapMarkDialog.h"
#include "app/view/TavikDoc.h"
#include "app/view/TavikView.h"
#include "view/Fonts.h"
#include "view/OverlayUser.h"
#include "view/SkyRenderer.h"

namespace tavik {

namespace {

constexpr int kTapMarkDelayMs = 1000;

}  // namespace

bool CTavikView::RunTapMarkCommand(int id) {
    if (id == cmd::AddInList) {
        RenderSuspension suspended(*this);  // the dialog writes the ADIN entries
        CAddInDialog dialog(store_, BrowserFileChooser(prompts_, this), this);
        const bool ok = dialog.exec() == QDialog::Accepted;
        if (ok) RefreshView();
        return true;
    }
    // Stepping stops, so that the mark lands on the sky that was pressed.
    // Real-time updating waits and taps do not turn the view until the dialog
    // is done; both come back on every way out.
    if (time_.Stepping()) {
        ApplyTime(time_.ToggleStepping());
        emit stateChanged();
    }
    if (time_.AutoUpdate() && TimerActive(timer_id::kAutoUpdate)) {
        KillTimer(timer_id::kAutoUpdate);
        autoUpdateHeld_ = true;
    }
    if (!noTurn_) noTurn_.emplace(settings_);
    StartTimer(id == cmd::TapRegister ? timer_id::kTapSave0 : timer_id::kTapSave1, kTapMarkDelayMs);
    return true;
}

void CTavikView::OnTapMarkTimer(bool change) {
    if (!noTurn_) return;  // no tap-mark command is waiting for it
    bool redraw = false;
    {
        RenderSuspension suspended(*this);  // the tap list changes under the dialog
        TapMarkSession session{doc_.Catalog(), store_, doc_.DataDirectory(), prompts_,
                               BrowserFileChooser(prompts_, this), this, {}, &time_.GetClock()};
        if (change) {
            redraw = ChangeTapAt(session, tappedRecord_ && tappedRecord_->IsTapMark() ? &*tappedRecord_ : nullptr);
        } else {
            SkyPosition at;
            {
                auto lock = Lock();
                at = UnprojectSky(canvas_->LastViewLocked(), tapPoint_.x(), tapPoint_.y());
            }
            redraw = RegisterTapAt(session, at);
        }
    }
    noTurn_.reset();
    if (autoUpdateHeld_) {
        autoUpdateHeld_ = false;
        if (time_.AutoUpdate()) StartTimer(timer_id::kAutoUpdate, kAutoUpdatePeriodMs);
    }
    if (redraw) RefreshView();
    emit stateChanged();
}

void CTavikView::RunTapMarkActionOf(const StarRecord& mark) {
    TapMarkActions actions;
    actions.showPicture = [this](const std::string& path) { ShowPicture(path); };
    actions.showAddIn = [this](const std::string& path) {
        tapImage_ = canvas_->WithAddIn(path);
        update();
    };
    const TapActionResult r = RunTapMarkAction(mark, prompts_, actions);
    // A question took the press (its box had the release): the press is over,
    // no long-press menu follows.
    if (r.asked) pressEnded_ = true;
    if (r.text) {
        QImage image = canvas_->Snapshot();
        {
            QPainter p(&image);
            DrawTextBlock(p, ViewFont(ChartFontTenths(TapFontTenths(store_), view_.chartSize, view_.pixelRatio)), 10, 22, *r.text, colors_, ColorModes::Load(store_));
        }
        tapImage_ = std::move(image);
        update();
    }
}

}  // namespace tavik
