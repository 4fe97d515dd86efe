#pragma once
// The sky view window. It owns the view's state (mode and framing, settings,
// site, moment) and its commands, renders the sky into an off-screen image on
// request (message 2048, coalesced: passes never overlap) and paints by copying
// that image. Every timer of the view goes through one handler keyed by the
// timer's identifier.

#include <QBasicTimer>
#include <QImage>
#include <QString>
#include <QWidget>

#include <map>
#include <memory>

#include "app/SkyPass.h"
#include "settings/ViewSettings.h"
#include "view/CommandSet.h"
#include "view/TimeControl.h"
#include "view/ViewState.h"

namespace tavik {

class CTavikDoc;
class SkyRenderer;
class Prompts;
class SettingsStore;

// Private messages of the view, posted as events of type QEvent::User + id.
namespace view_message {
inline constexpr int kRender = 2048;
inline constexpr int kClientArea = 2055;
}  // namespace view_message

class CTavikView : public QWidget, public TimerHost {
    Q_OBJECT
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
    bool TimerActive(int id) const;
    // The timer handler (public so that tests can fire a timer at once).
    void OnTimer(int id);

    // Runs a command of the view (window-free ones and the view's dialogs).
    // Returns false for identifiers the view does not know.
    bool RunCommand(int id);
    bool HandlesCommand(int id) const;
    ItemState CommandState(int id) const;

    // Recomputes the framing and posts a render request; nothing before the
    // catalogue is loaded.
    void RefreshView();
    // Posts message 2048 unless one is pending.
    void PostRender();
    void ShowNotice(const QString& text);

    // Applies a site from the site dialog: saved, clock set to now, refreshed.
    void ApplySite(const ObservationSite& site);

    ViewState& View() { return view_; }
    ViewSettings& Settings() { return settings_; }
    TimeControl& Time() { return time_; }
    CommandSet& Commands() { return commands_; }
    const QImage& Image() const { return image_; }
    int RenderCount() const { return renderCount_; }
    int PaintCount() const { return paintCount_; }
    bool RenderPending() const { return renderPending_; }
    QString Notice() const { return notice_; }
    // The pass run by message 2048 (replaceable for tests).
    void SetRenderer(SkyRenderFn fn) { renderer_ = std::move(fn); }

    QSize sizeHint() const override;

signals:
    // The menu and toolbar state may have changed.
    void stateChanged();
    // Timer 9999: the program is to end.
    void exitRequested();
    // Message 2048 has drawn a new image.
    void rendered();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    void HandleRender();
    void ApplyTime(const TimeAction& action);
    void AskForCatalogue();
    void RunSiteDialog();
    void RunDateTimeDialog();
    void RunIntervalDialog();
    void RunTodayData();
    void RunColorDialog();

    CTavikDoc& doc_;
    SettingsStore& store_;
    Prompts& prompts_;
    ViewState view_;
    ViewSettings settings_;
    TimeControl time_;
    CommandSet commands_;
    std::shared_ptr<SkyRenderer> skyRenderer_;
    SkyRenderFn renderer_;

    QImage image_;
    bool renderPending_ = false;
    bool rendering_ = false;
    bool firstPaintDone_ = false;
    int renderCount_ = 0;
    int paintCount_ = 0;
    QString notice_;
    std::map<int, QBasicTimer> timers_;
};

}  // namespace tavik
