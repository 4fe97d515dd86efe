#pragma once
// app/telescope: the telescope's windows. The sky view's telescope side
// (ScopeController), the exchange thread the mount is driven on with its
// message boxes and clock (ScopeExchange), and the control and settings
// dialogs. Builds on app/dialogs; knows nothing of the view's class.
//
// ScopeController: the control dialog, goto and sync of the tapped object, the
// position check, switching control on and off, the toolbar moves and speeds,
// the trace after a goto with its markers, and the start-up reminder. Every
// exchange runs on the exchange thread, one at a time; what it found is shown
// when it has ended, so the window paints and takes input while a mount keeps
// it waiting. Every accepted goto is appended to the goto history at once; a
// history that cannot be written is said once per file. The view owns it,
// passes it the telescope commands and timers, and draws the markers it keeps.

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "catalog/StarRecord.h"
#include "view/Projection.h"
#include "view/ViewState.h"

class QWidget;

namespace tavik {

class GotoHistory;
class Mount;
class Prompts;
class ScopeExchange;
class SettingsStore;
class TimerHost;
class WindowTelescopeClock;
class WindowTelescopeUi;
struct GotoTarget;

class ScopeController final : public QObject {
    Q_OBJECT
public:
    // What the controller needs of the sky view.
    class Host {
    public:
        virtual ~Host() = default;
        virtual ViewMode Mode() const = 0;
        // The last tap: the object it found, or else the sky under it at the
        // moment and site of the pass on the screen.
        virtual const std::optional<StarRecord>& TappedRecord() const = 0;
        virtual SkyPosition SkyUnderTap() const = 0;
        // The stored telescope-control switch (saved with the view's settings).
        virtual bool TelescopeOn() const = 0;
        virtual void SetTelescopeOn(bool on) = 0;
        virtual int ZoneOffsetHours() const = 0;
        virtual bool AutoUpdating() const = 0;
        // A command of the view, run at once or through the frame's routing.
        virtual bool RunCommand(int id) = 0;
        virtual void RunRouted(int id) = 0;
        virtual void SaveSettings() = 0;
        virtual void ShowNotice(const QString& text) = 0;
        // The markers changed: the window repaints.
        virtual void Repaint() = 0;
        virtual void RefreshView() = 0;
        // The menus' and toolbars' state may have changed.
        virtual void StateChanged() = 0;
        // Runs a dialog that writes settings while no pass of the chart runs.
        virtual void WithPassesHeld(const std::function<void()>& dialog) = 0;
    };

    ScopeController(Host& host, TimerHost& timers, SettingsStore& store, Prompts& prompts, GotoHistory& history,
                    QWidget* window);
    // An exchange under way ends at once; then the mount goes, before its clock.
    ~ScopeController() override;

    static bool Handles(int id);
    // Runs a telescope command (enabled ones only reach it).
    void Run(int id);
    // Message 2052: the control dialog, after a running trace has ended.
    void OpenControlDialog();
    // The trace's step timer, its end (the markers go) and the start-up reminder.
    void OnTraceTimer();
    void OnTraceEnd();
    void OnReminder();
    // The telescope settings dialog after control was switched on elsewhere;
    // skipped while an exchange runs.
    void RunSettingsDialog();

    // The goto of "ここを導入する" to `target` (J2000 or of date, as it
    // says): refused outside the direction-type views, without telescope
    // control or real-time updating; sent after a running trace has ended,
    // written to the history, traced when tracing is on. Nothing is sent for
    // no target (the user is told).
    void SendGoto(const std::optional<GotoTarget>& target);

    // The controller for the configured link, created on first use and kept.
    Mount& Scope();
    ScopeExchange& Exchange() { return *exchange_; }
    // The last goto target and the telescope's position last read (J2000
    // radians), drawn as markers over the chart while they are set.
    const std::optional<SkyPosition>& TargetMark() const { return targetMark_; }
    const std::optional<SkyPosition>& ScopeMark() const { return scopeMark_; }

private:
    void GotoTapped();
    // "ここで同期": after a question naming it, the mount is told that it
    // points at the tapped object.
    void SyncTapped();
    void ShowScopePosition();
    void SwitchTelescopeControl();
    void ScopeToolbar(int id);
    // What a goto and a sync share. MayAim: the direction-type views only,
    // telescope control and real-time updating on (each refusal said), the
    // mount not busy. ConnectAndAim (exchange thread): the link opened when
    // idle, the position read and shown, the target set. ReportAimFailure
    // (window thread): the notice and message of a failed outcome; false for
    // Aimed.
    enum class AimOutcome { NoPort, NoAnswer, CommError, BadTarget, Aimed };
    bool MayAim();
    AimOutcome ConnectAndAim(Mount& scope, const std::optional<GotoTarget>& target);
    bool ReportAimFailure(AimOutcome outcome);
    // What "ここを導入する" sends; nullopt when that cannot be a target.
    std::optional<GotoTarget> TappedTarget() const;
    // Ends a running trace (its step under way included), then runs `next`
    // on the window thread once no exchange runs.
    void AfterTrace(std::function<void()> next);
    bool StartExchange(std::function<void()> work, std::function<void()> done);
    // ShowNotice from any thread, through the window's queue.
    void PostNotice(const QString& text);

    Host& host_;
    TimerHost& timers_;
    SettingsStore& store_;
    Prompts& prompts_;
    GotoHistory& history_;
    QWidget* window_;
    std::unique_ptr<ScopeExchange> exchange_;
    std::unique_ptr<WindowTelescopeClock> clock_;
    std::unique_ptr<WindowTelescopeUi> ui_;
    std::unique_ptr<Mount> scope_;
    std::atomic<int> zone_{9};  // the site's zone, as the exchange thread reads it
    bool traceStopping_ = false;
    std::optional<SkyPosition> targetMark_;
    std::optional<SkyPosition> scopeMark_;
};

}  // namespace tavik
