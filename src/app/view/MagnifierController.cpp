#include "app/view/MagnifierController.h"

#include <QCoreApplication>

#include <algorithm>

#include "app/dialogs/HorizonSearchDialog.h"
#include "app/view/ChartHost.h"
#include "app/view/MagnifierPanel.h"
#include "astro/TimeScales.h"
#include "catalog/MinorBodies.h"
#include "settings/SettingsStore.h"
#include "view/CommandSet.h"
#include "view/FieldOfView.h"
#include "view/HorizonSearch.h"
#include "view/TimeControl.h"
#include "view/ViewCommands.h"

namespace tavik {

namespace {

constexpr int kSearchDelayMs = 1000;
constexpr int kNavigator = 32862;

}  // namespace

MagnifierController::MagnifierController(const ChartContext& context)
    : c_(context) {}

MagnifierController::~MagnifierController() {
    if (panel_) QObject::disconnect(panel_, nullptr, &c_.view, nullptr);
}

bool MagnifierController::Handles(int id) {
    switch (id) {
    case kNavigator: case cmd::PanelZoomIn: case cmd::PanelZoomOut: case cmd::KeyZoomIn:
    case cmd::KeyZoomOut: case cmd::ZoomHere: case cmd::HorizonSearch: case cmd::FitFields:
        return true;
    default: return false;
    }
}

void MagnifierController::Run(int id) {
    switch (id) {
    case kNavigator: ShowNavigator(); break;
    case cmd::ZoomHere: ZoomInHere(); break;
    case cmd::FitFields: FitFields(); break;
    case cmd::HorizonSearch: c_.timers.StartTimer(timer_id::kHorizonSearch, kSearchDelayMs); break;
    case cmd::PanelZoomIn:
    case cmd::PanelZoomOut:
    case cmd::KeyZoomIn:  // the accelerators Y and X
    case cmd::KeyZoomOut: {
        // Forwarded to the panel while it exists: its zoom changes as "In" and
        // "out" change it, without the draw action.
        if (!panel_) break;
        const bool in = id == cmd::PanelZoomIn || id == cmd::KeyZoomIn;
        c_.host.ChangeState(
            [&](ViewState& view) {
                int& zoom = view.magnifier.zoom;
                zoom = in ? ZoomInStep(zoom) : ZoomOutStep(zoom);
                panel_->SetFraming(view.magnifier);
            },
            false);
        c_.host.RefreshView();
        break;
    }
    default: break;
    }
}

void MagnifierController::Sync() {
    const ViewState& view = c_.host.State();
    if (view.magnifier.present && !panel_) {
        // Created hidden and disabled: the navigator command (or a key) shows it.
        panel_ = new CMagnifierPanel(&c_.view);
        panel_->SetAutoEnter(c_.host.Settings().autoEnter == 1);
        panel_->SetFraming(view.magnifier);
        panel_->DockAt(c_.view.rect());
        panel_->hide();
        panel_->setEnabled(false);
        QObject::connect(panel_, &CMagnifierPanel::renderRequested, &c_.view, [this] {
            TakePanelValues();
            c_.host.RefreshView();
        });
        QObject::connect(panel_, &CMagnifierPanel::targetMarkRequested, &c_.view, [this] { c_.host.Repaint(); });
        QObject::connect(panel_, &CMagnifierPanel::shownChanged, &c_.view, [this] { c_.host.RelayoutAtOnce(); });
    } else if (!view.magnifier.present && panel_) {
        panel_->hide();  // the focus comes back to the chart
        panel_->deleteLater();
        panel_ = nullptr;
    } else if (panel_) {
        // The view's own changes (turning, stepping, a jump) go back to the panel.
        panel_->SetFraming(view.magnifier);
        panel_->DockAt(c_.view.rect());
    }
}

void MagnifierController::TakePanelValues() {
    if (!panel_) return;
    c_.host.ChangeState(
        [this](ViewState& view) {
            view.magnifier = panel_->Framing();
            TakeMagnifierHeading(view);
        },
        false);
}

void MagnifierController::ShowNavigator() {
    if (!panel_) return;
    if (panel_->isHidden()) {
        panel_->setEnabled(true);
        panel_->DockAt(c_.view.rect());
        panel_->show();
        c_.store.WriteProfileInt("TAP", "ZOOM_DLG", 0);
    }
    panel_->setFocus();
    c_.host.StateChanged();
}

void MagnifierController::HideForTap() {
    if (panel_ && panel_->isVisible() && c_.host.Settings().zoomTapFocus == 1) {
        panel_->hide();
        panel_->setEnabled(false);
        c_.store.WriteProfileInt("TAP", "ZOOM_DLG", 1);
    }
}

void MagnifierController::SetAutoEnter(bool on) {
    if (panel_) panel_->SetAutoEnter(on);
}

void MagnifierController::Dock() {
    if (panel_) panel_->DockAt(c_.view.rect());
}

bool MagnifierController::PanelHidden() const { return panel_ && panel_->isHidden(); }

int MagnifierController::ShownWidth() const { return panel_ && panel_->isVisible() ? panel_->width() : 0; }

void MagnifierController::ZoomInHere() {
    const QPoint tap = c_.host.TapPoint();
    const MagnifierTarget target = ZoomInTarget(c_.host.LastPass(), tap.x(), tap.y());
    const std::optional<int> zoom = c_.host.Settings().zoomInPoint;
    c_.host.ChangeState([&](ViewState& view) { ApplyMagnifierTarget(view, target, zoom); }, true);
    c_.host.RefreshView();
    c_.host.StateChanged();
}

void MagnifierController::SetFraming(MagnifierFraming framing) {
    framing.heading = WrapDegrees(framing.heading);
    framing.altitude = std::clamp(framing.altitude, double(magnifier::kAltitudeLowest), double(magnifier::kAltitudeHighest));
    framing.zoom = std::clamp(framing.zoom, magnifier::kZoomMin, magnifier::kZoomMax);
    c_.host.ChangeState(
        [&](ViewState& view) {
            view.magnifier = framing;
            TakeMagnifierHeading(view);
        },
        true);
    if (panel_) panel_->SetFraming(framing);
    c_.host.RefreshView();
}

void MagnifierController::FitFields() {
    if (!panel_) return;
    const std::optional<int> zoom = ZoomToFitFields(c_.host.LastPass(), FieldOfViewSettings::Load(c_.store));
    if (!zoom) {
        c_.host.ShowNotice(QString::fromUtf8("表示する視野がありません"));
        return;
    }
    MagnifierFraming framing = panel_->Framing();
    framing.zoom = *zoom;
    SetFraming(framing);
}

void MagnifierController::RunHorizonSearch() {
    // What the user did meanwhile is done first.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const DateTime local = c_.host.Time().Current();
    const ViewSettings& settings = c_.host.Settings();
    const ObservationSite site = settings.site;
    const double lst = LocalSiderealTime(local, site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes);
    const double latitude = LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes);
    // The loaded comets and asteroids at the same moment, for the list and the jump.
    std::vector<HorizonMinorBody> minorBodies;
    if (const std::shared_ptr<const MinorBodyList> list = c_.host.MinorBodies())
        minorBodies = MinorBodiesOfDate(list->bodies, local, site.zoneOffsetHours);
    std::vector<HorizonEntry> entries;
    // The placeholders are catalogue records a pass reads.
    c_.host.WithCatalogue([&](StarCatalog& catalog) {
        UpdateSolarPlaceholders(catalog, local, site.zoneOffsetHours, lst, latitude);
        entries = HorizonSearchList(catalog, lst, latitude, settings.userTapText == 1, &minorBodies);
    });
    std::optional<HorizonEntry> chosen;
    {
        CHorizonSearchDialog dlg(std::move(entries), &c_.view);
        if (dlg.exec() != QDialog::Accepted) return;
        chosen = dlg.Confirm(settings.noQuestionAfterSearch == 1, c_.prompts);
    }
    if (!chosen) return;
    std::optional<MagnifierTarget> target;
    c_.host.WithCatalogue([&](StarCatalog& catalog) { target = JumpTargetOf(catalog, *chosen, lst, latitude, &minorBodies); });
    if (!target) return;
    c_.host.ChangeState([&](ViewState& view) { ApplyMagnifierTarget(view, *target, std::nullopt); }, true);
    c_.host.RefreshView();
    c_.host.StateChanged();
}

std::optional<TargetMarkGeometry> MagnifierController::PendingTargetMark() const {
    // Only while a change of the panel waits to be drawn.
    if (!panel_ || panel_->isHidden() || !panel_->Model().Pending()) return std::nullopt;
    const MagnifierFraming f = panel_->Framing();
    return TargetMark(c_.host.LastPass(), f.heading, f.altitude, c_.host.Settings().zoomCentreMark == 1);
}

}  // namespace tavik
