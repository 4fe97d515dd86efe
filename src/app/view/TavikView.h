#pragma once
// app/view: the sky view and what belongs to it alone. The view (CTavikView)
// and its document (CTavikDoc); the controllers it owns for taps and keys
// (InputController), gestures (GestureController), the magnified view
// (MagnifierController with its panel), tap marks (TapMarkController) and its
// own dialogs (ViewDialogs), which reach it only through ChartHost; the marks
// drawn over the chart; night mode. Builds on app/telescope, app/pictures and
// app/dialogs, whose controllers (ScopeController, PicturePresenter) it owns
// through their own Host interfaces.
//
// The sky view window. It owns the view's state (mode and framing, settings,
// site, moment) and its commands, renders the sky into an off-screen image on
// request (message 2048, coalesced: passes never overlap) and paints by copying
// that image. Every timer of the view goes through one handler keyed by the
// timer's identifier.

#include <QBasicTimer>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "app/pictures/PicturePresenter.h"
#include "app/telescope/ScopeController.h"
#include "app/view/ChartHost.h"
#include "catalog/StarRecord.h"
#include "settings/ViewSettings.h"
#include "view/Color.h"
#include "view/CommandSet.h"
#include "view/Menus.h"
#include "view/Projection.h"
#include "view/TimeControl.h"
#include "view/ViewState.h"

namespace tavik {

class CTavikDoc;
class HitList;
class GestureController;
class InputController;
class MagnifierController;
class MinorBodyController;
class ObjectSearchController;
class SkyCanvas;
class TapMarkController;
class ViewDialogs;
struct RenderScene;
class Prompts;
class SettingsStore;

class CTavikView : public QWidget,
                   public TimerHost,
                   private ChartHost,
                   private ScopeController::Host,
                   private PicturePresenter::Host {
    Q_OBJECT
    friend class RenderSuspension;

public:
    CTavikView(CTavikDoc& doc, SettingsStore& store, Prompts& prompts, const Clock& clock,
               QWidget* parent = nullptr);
    ~CTavikView() override;

    // After the document's load: starts timer 165 when auto update was on, or
    // timer 998 (the catalogue prompt) when no catalogue could be had.
    void StartAfterLoad();

    // TimerHost.
    void StartTimer(int id, int periodMs) override;
    void KillTimer(int id) override;
    bool TimerActive(int id) const override;
    // The timer handler (public so that tests can fire a timer at once).
    void OnTimer(int id);

    // Runs a command of the view (window-free ones and the view's dialogs).
    // Returns false for identifiers the view does not know.
    bool RunCommand(int id) override;
    bool HandlesCommand(int id) const;
    ItemState CommandState(int id) const;

    // Recomputes the framing and posts a render request; nothing before the
    // catalogue is loaded.
    void RefreshView() override;
    // Posts message 2048 unless one is pending.
    void PostRender();
    void ShowNotice(const QString& text) override;

    // Applies a site from the site dialog: saved, clock set to now, refreshed.
    void ApplySite(const ObservationSite& site) override;

    // The frame's command routing: menu items, keys and taps run their
    // commands through `run`, and pop-up menus take their items' state from
    // `state`, exactly as the frame's own menus do.
    void SetCommandRouter(std::function<void(int)> run, ItemStateFn state);

    // --- taps ------------------------------------------------------------
    // The hit list of the last pass.
    std::shared_ptr<const HitList> Hits() const;
    // What the last stylus-down found (kept until the next one) and where;
    // the rest of the taps' state, and the pop-up menus, are Input()'s.
    const std::optional<StarRecord>& TappedRecord() const override;
    QPoint TapPoint() const override;

    // --- the view's controllers -------------------------------------------
    ScopeController& Telescope() { return *telescope_; }
    MagnifierController& Magnifier() { return *magnifier_; }
    InputController& Input() { return *input_; }
    ObjectSearchController& Search() { return *search_; }
    MinorBodyController& MinorBodies() { return *minor_; }

    // Fits the chart square to the present client area even while full
    // screen keeps it fixed (after the frame has changed the window for it).
    void FitChartToWindow();
    bool FullScreen() const { return view_.fullScreen; }

    ViewState& View() { return view_; }
    // The chart of the pass on the screen.
    ViewState LastPass() const override;
    std::shared_ptr<const MinorBodyList> MinorBodies() const override;
    ViewSettings& Settings() { return settings_; }
    TimeControl& Time() override { return time_; }
    CommandSet& Commands() { return commands_; }
    // A copy of the off-screen image.
    QImage Image() const;
    int RenderCount() const { return renderCount_; }
    int PaintCount() const { return paintCount_; }
    bool RenderPending() const { return renderPending_; }
    // Passes started and not yet reported done (the worker may be drawing).
    int PassesInFlight() const { return passesInFlight_; }
    QString Notice() const { return notice_; }
    // The hourglass option (PROC/SANDCLOCK): passes run on the render worker,
    // with a busy mark instead of the wait cursor.
    bool Hourglass() const { return settings_.noWaitCursor; }

    QSize sizeHint() const override;
    // Where the chart is drawn: the whole view, less the magnifier panel's
    // strip at the right while the panel shows (the chart lies beside it, its
    // corners and centre in sight).
    QSize ChartArea() const override;
    // The same in device pixels: the size of the chart's image, and of the
    // view's geometry and every position in it (taps, hits, markers).
    QSize DeviceArea() const;
    QPoint ToDevice(QPointF windowPoint) const;
    // The chart's area changes by the program's doing (restyled bars, the
    // panel shown or hidden): drawn at once, not after the second a resize by
    // the user waits.
    void RelayoutAtOnce() override;
    // The chart geometry for the present area and pixel ratio; lock held.
    void UpdateGeometryLocked();

    // The view's lock (the canvas lock): held while the view state, the
    // settings or the catalogue change, since a pass may read them on the
    // worker thread.
    std::unique_lock<std::mutex> Lock() const;

signals:
    // The menu and toolbar state may have changed.
    void stateChanged();
    // Timer 9999: the program is to end.
    void exitRequested();
    // A pass has drawn a new image.
    void rendered();
    // Full screen was switched on or off (the frame hides or shows its bars).
    void fullScreenChanged(bool on);


protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    RenderScene Scene() const;
    void OnPassDone();
    void HandleRender();
    // The commands of the view's controllers; false for other identifiers.
    bool RunControllerCommand(int id);

    // What the controllers ask of the view (ChartHost, ScopeController::Host,
    // PicturePresenter::Host).
    const ViewState& State() const override { return view_; }
    const ViewSettings& Settings() const override { return settings_; }
    void ChangeState(const std::function<void(ViewState&)>& change, bool save) override;
    void ChangeSettings(const std::function<void(ViewSettings&)>& change) override;
    void ChangeTime(const std::function<TimeAction(TimeControl&)>& change) override;
    void EditWithoutPasses(const std::function<void(ViewSettings&, ViewState&)>& edit) override;
    void WithCanvas(const std::function<void(SkyCanvas&)>& work) override;
    void FullScreenChanged() override { emit fullScreenChanged(view_.fullScreen); }
    void WithCatalogue(const std::function<void(StarCatalog&)>& work) override;
    void ApplyTime(const TimeAction& action) override;
    void SetTapPoint(QPoint at) override;
    std::optional<TapOutcome> TapAt(QPoint at, QImage* withText) override;
    SkyPosition SkyUnderTap() const override;
    void EndTap() override;
    std::unique_ptr<TapNoTurnHold> HoldTapTurns() override;
    QImage ChartImage() const override;
    QImage ChartWithAddIn(const std::string& path) const override;
    QFont TapFont() const override;
    const ColorTable& Colors() const override { return colors_; }
    void ShowTapImage(QImage image) override;
    void ShowOverChart(QImage image, int shownMs) override;
    void ShowPicture(const std::string& path) override;
    void RunRouted(int id) override;
    ItemState RoutedState(int id) const override;
    // The markers changed; in the magnified view the fields of view follow the
    // telescope's position, so a new one draws the chart again.
    void Repaint() override;
    void StateChanged() override { emit stateChanged(); }
    void WithPassesHeld(const std::function<void()>& dialog) override;
    ViewMode Mode() const override { return view_.viewMode; }
    bool TelescopeOn() const override { return settings_.telescopeControl == 1; }
    void SetTelescopeOn(bool on) override;
    int ZoneOffsetHours() const override { return settings_.site.zoneOffsetHours; }
    bool AutoUpdating() const override { return time_.AutoUpdate(); }
    void SaveSettings() override;
    std::string DataDirectory() const override;
    bool FinishPasses() override;
    DateTime Moment() const override { return time_.Current(); }

    CTavikDoc& doc_;
    SettingsStore& store_;
    Prompts& prompts_;
    // The telescope's position the fields of view are centred on (guarded by the lock).
    std::optional<SkyPosition> fieldCentre_;
    ViewState view_;
    ViewSettings settings_;
    TimeControl time_;
    CommandSet commands_;
    ColorTable colors_;
    std::unique_ptr<SkyCanvas> canvas_;

    bool renderPending_ = false;
    int suspended_ = 0;
    bool deferredRender_ = false;
    bool firstPaintDone_ = false;
    bool relayout_ = false;  // the program moved the chart's edge: the next resize draws at once
    int passesInFlight_ = 0;
    int renderCount_ = 0;
    int paintCount_ = 0;
    QString notice_;
    int noticeUntilPass_ = 0;  // the notice goes with the pass after this one
    std::map<int, QBasicTimer> timers_;

    std::function<void(int)> router_;
    ItemStateFn routerState_;
    bool reminderArmed_ = false;

    std::unique_ptr<ScopeController> telescope_;
    std::unique_ptr<PicturePresenter> pictures_;
    std::unique_ptr<MagnifierController> magnifier_;
    std::unique_ptr<ObjectSearchController> search_;
    std::unique_ptr<MinorBodyController> minor_;
    std::unique_ptr<TapMarkController> tapMarks_;
    std::unique_ptr<GestureController> gestures_;
    std::unique_ptr<ViewDialogs> dialogs_;
    std::unique_ptr<InputController> input_;
};

// While a modal dialog that writes settings is open no pass runs; a render
// request that arrives meanwhile is run when the dialog has closed.
class RenderSuspension {
public:
    explicit RenderSuspension(CTavikView& view);
    ~RenderSuspension();
    RenderSuspension(const RenderSuspension&) = delete;
    RenderSuspension& operator=(const RenderSuspension&) = delete;

private:
    CTavikView& view_;
};

}  // namespace tavik
