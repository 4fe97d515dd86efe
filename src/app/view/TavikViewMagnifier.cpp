// The sky view's magnified view: the magnifier panel docked at the view's
// right edge (it exists exactly while the magnified view is shown), the
// navigator, "ここをズームイン", the panel's forwarded zoom commands, the
// target mark, option 4, and the horizon search that jumps into the view.

#include <QCoreApplication>
#include <QPainter>

#include "app/dialogs/HorizonSearchDialog.h"
#include "app/view/MagnifierPanel.h"
#include "app/dialogs/OptionDialogs.h"
#include "app/telescope/ScopeExchange.h"
#include "app/telescope/TelescopeSettingsDialog.h"
#include "app/dialogs/Prompts.h"
#include "app/view/TavikDoc.h"
#include "app/view/TavikView.h"
#include "astro/TimeScales.h"
#include "settings/SettingsStore.h"
#include "view/HorizonSearch.h"
#include "view/MagnifierPanelModel.h"
#include "view/SkyRenderer.h"
#include "view/ViewCommands.h"

namespace tavik {

namespace {

constexpr int kSearchDelayMs = 1000;
constexpr int kNavigator = 32862;

}  // namespace

bool CTavikView::RunMagnifierCommand(int id) {
    switch (id) {
    case kNavigator: ShowNavigator(); return true;
    case cmd::ZoomHere: ZoomInHere(); return true;
    case cmd::HorizonSearch: StartTimer(timer_id::kHorizonSearch, kSearchDelayMs); return true;
    case cmd::OptionDialogs: RunOptionDialogs(); return true;
    case cmd::PanelZoomIn:
    case cmd::PanelZoomOut:
    case cmd::KeyZoomIn:  // the accelerators Y and X
    case cmd::KeyZoomOut: {
        // Forwarded to the panel while it exists: its zoom changes as "In" and
        // "out" change it, without the draw action.
        if (!panel_) return true;
        {
            auto lock = Lock();
            int& zoom = view_.magnifier.zoom;
            const bool in = id == cmd::PanelZoomIn || id == cmd::KeyZoomIn;
            zoom = in ? ZoomInStep(zoom) : ZoomOutStep(zoom);
            panel_->SetFraming(view_.magnifier);
        }
        RefreshView();
        return true;
    }
    default: return false;
    }
}

void CTavikView::SyncMagnifierPanel() {
    if (view_.magnifier.present && !panel_) {
        // Created hidden and disabled: the navigator command (or a key) shows it.
        panel_ = new CMagnifierPanel(this);
        panel_->SetAutoEnter(settings_.autoEnter == 1);
        panel_->SetFraming(view_.magnifier);
        panel_->DockAt(rect());
        panel_->hide();
        panel_->setEnabled(false);
        connect(panel_, &CMagnifierPanel::renderRequested, this, [this] {
            TakePanelValues();
            RefreshView();
        });
        connect(panel_, &CMagnifierPanel::targetMarkRequested, this, [this] { update(); });
        connect(panel_, &CMagnifierPanel::shownChanged, this, [this] { RelayoutAtOnce(); });
    } else if (!view_.magnifier.present && panel_) {
        panel_->hide();  // the focus comes back to the chart
        panel_->deleteLater();
        panel_ = nullptr;
    } else if (panel_) {
        // The view's own changes (turning, stepping, a jump) go back to the panel.
        panel_->SetFraming(view_.magnifier);
        panel_->DockAt(rect());
    }
}

void CTavikView::TakePanelValues() {
    if (!panel_) return;
    auto lock = Lock();
    view_.magnifier = panel_->Framing();
    TakeMagnifierHeading(view_);
}

void CTavikView::ShowNavigator() {
    if (!panel_) return;
    if (panel_->isHidden()) {
        panel_->setEnabled(true);
        panel_->DockAt(rect());
        panel_->show();
        store_.WriteProfileInt("TAP", "ZOOM_DLG", 0);
    }
    panel_->setFocus();
    emit stateChanged();
}

void CTavikView::ZoomInHere() {
    {
        auto lock = Lock();
        const MagnifierTarget target = ZoomInTarget(canvas_->LastViewLocked(), tapPoint_.x(), tapPoint_.y());
        ApplyMagnifierTarget(view_, target, settings_.zoomInPoint);
        commands_.SaveAll();
    }
    RefreshView();
    emit stateChanged();
}

void CTavikView::RunHorizonSearch() {
    // What the user did meanwhile is done first.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const DateTime local = time_.Current();
    const ObservationSite site = settings_.site;
    const double lst = LocalSiderealTime(local, site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes);
    const double latitude = LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes);
    std::vector<HorizonEntry> entries;
    {
        auto lock = Lock();  // the placeholders are catalogue records a pass reads
        UpdateSolarPlaceholders(doc_.Catalog(), local, site.zoneOffsetHours, lst, latitude);
        entries = HorizonSearchList(doc_.Catalog(), lst, latitude, settings_.userTapText == 1);
    }
    std::optional<HorizonEntry> chosen;
    {
        CHorizonSearchDialog dlg(std::move(entries), this);
        if (dlg.exec() != QDialog::Accepted) return;
        chosen = dlg.Confirm(settings_.noQuestionAfterSearch == 1, prompts_);
    }
    if (!chosen) return;
    {
        auto lock = Lock();
        const std::optional<MagnifierTarget> target = JumpTargetOf(doc_.Catalog(), *chosen, lst, latitude);
        if (!target) return;
        ApplyMagnifierTarget(view_, *target, std::nullopt);
        commands_.SaveAll();
    }
    RefreshView();
    emit stateChanged();
}

void CTavikView::RunOptionDialogs() {
    const bool wasFullScreen = view_.fullScreen;
    const bool controlBefore = TelescopeOn();
    OptionsOutcome outcome;
    {
        RenderSuspension suspended(*this);  // the dialogs write the view's settings
        outcome = RunOptionChain(settings_, view_, store_, prompts_, this);
        // Cancelled throughout, nothing is stored.
        auto lock = Lock();
        if (outcome.confirmed) commands_.SaveAll();
    }
    if (panel_) panel_->SetAutoEnter(settings_.autoEnter == 1);
    if (view_.fullScreen != wasFullScreen) emit fullScreenChanged(view_.fullScreen);
    if (outcome.telescopeControl && outcome.confirmed) {
        // With telescope control on after the options: its settings, the clock
        // to now, and real-time updating.
        if (!controlBefore && !Exchange().Running()) {
            RenderSuspension suspended(*this);
            CTelescopeSettingsDialog::Run(Scope(), store_, this);
        }
        RunCommand(cmd::SetNow);
        if (!time_.AutoUpdate()) {
            RunCommand(cmd::AutoUpdate);
            ShowNotice(QString::fromUtf8("自動更新モードを設定しました"));
        }
    }
    if (outcome.confirmed) RefreshView();
    emit stateChanged();
}

void CTavikView::DrawTargetMark(QPainter& p) {
    // Only while a change of the panel waits to be drawn.
    if (!panel_ || panel_->isHidden() || !panel_->Model().Pending()) return;
    const MagnifierFraming f = panel_->Framing();
    std::optional<TargetMarkGeometry> mark;
    {
        auto lock = Lock();
        mark = tavik::TargetMark(canvas_->LastViewLocked(), f.heading, f.altitude, settings_.zoomCentreMark == 1);
    }
    if (!mark) return;
    const ColorModes modes = ColorModes::Load(store_);
    p.save();
    p.setPen(QPen(ToQColor(TextColor(modes)), 1));
    for (const auto& l : mark->lines) p.drawLine(l.x1, l.y1, l.x2, l.y2);
    p.restore();
}

}  // namespace tavik
