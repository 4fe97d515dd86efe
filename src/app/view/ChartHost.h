#pragma once
// What the sky view's own controllers (taps and keys, gestures, the magnified
// view, tap marks, the view's dialogs) may ask of the view. They read its
// state and settings on the window thread and change them only through the
// Change and With calls, which hold the view's lock (a pass may read them on
// the worker thread meanwhile), or EditWithoutPasses while no pass runs.

#include <QImage>
#include <QPoint>
#include <QString>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "catalog/StarRecord.h"
#include "settings/ViewSettings.h"
#include "view/Color.h"
#include "view/Projection.h"
#include "view/ViewState.h"

class QFont;
class QWidget;

namespace tavik {

class Prompts;
class SettingsStore;
class SkyCanvas;
class StarCatalog;
struct MinorBodyList;
struct ItemState;
struct TapOutcome;
class TapNoTurnHold;
class TimeControl;
class TimerHost;
struct TimeAction;

// Private messages of the view, posted as events of type QEvent::User + id.
namespace view_message {
inline constexpr int kRender = 2048;
inline constexpr int kControlDialog = 2052;  // open the telescope control dialog
inline constexpr int kHorizonSearch = 2053;  // run the horizon search
inline constexpr int kPopup = 2054;       // the long press's pop-up menu
inline constexpr int kClientArea = 2055;
}  // namespace view_message

class ChartHost {
public:
    virtual ~ChartHost() = default;

    // The view's state and settings. A change of the state is saved with the
    // view's settings when `save` is set; SaveSettings saves them at any time.
    virtual const ViewState& State() const = 0;
    virtual const ViewSettings& Settings() const = 0;
    virtual void ChangeState(const std::function<void(ViewState&)>& change, bool save) = 0;
    virtual void ChangeSettings(const std::function<void(ViewSettings&)>& change) = 0;
    // Settings and state edited by dialogs while no pass runs (no lock: the
    // window paints meanwhile).
    virtual void EditWithoutPasses(const std::function<void(ViewSettings&, ViewState&)>& edit) = 0;
    virtual void ApplySite(const ObservationSite& site) = 0;
    virtual void FullScreenChanged() = 0;
    virtual void SaveSettings() = 0;
    // Where the chart is drawn, in window pixels.
    virtual QSize ChartArea() const = 0;
    // The chart of the pass on the screen; the catalogue, under the lock.
    virtual ViewState LastPass() const = 0;
    virtual void WithCatalogue(const std::function<void(StarCatalog&)>& work) = 0;
    virtual void WithCanvas(const std::function<void(SkyCanvas&)>& work) = 0;
    // The comets and asteroids loaded (null: none).
    virtual std::shared_ptr<const MinorBodyList> MinorBodies() const = 0;

    // The clock, and its timers.
    virtual TimeControl& Time() = 0;
    virtual void ApplyTime(const TimeAction& action) = 0;
    // Changes the clock under the lock, then applies what the change asks for.
    virtual void ChangeTime(const std::function<TimeAction(TimeControl&)>& change) = 0;
    virtual bool TimerActive(int id) const = 0;

    // What a tap at `at` finds on the chart of the last pass (and that chart
    // with the tap text written on it).
    virtual std::optional<TapOutcome> TapAt(QPoint at, QImage* withText) = 0;
    // The last tap: where, what it found, the sky under it.
    virtual QPoint TapPoint() const = 0;
    virtual void SetTapPoint(QPoint at) = 0;
    virtual const std::optional<StarRecord>& TappedRecord() const = 0;
    virtual SkyPosition SkyUnderTap() const = 0;
    // The press became a drag: no tap text, no long-press menu.
    virtual void EndTap() = 0;
    // Taps do not turn the view while the hold lives (TAP/NODIR).
    virtual std::unique_ptr<TapNoTurnHold> HoldTapTurns() = 0;

    // Images shown over the chart in the tap text's place, and pictures.
    virtual std::string DataDirectory() const = 0;
    virtual QImage ChartImage() const = 0;
    virtual QImage ChartWithAddIn(const std::string& path) const = 0;
    virtual QFont TapFont() const = 0;
    virtual const ColorTable& Colors() const = 0;
    virtual void ShowTapImage(QImage image) = 0;
    virtual void ShowPicture(const std::string& path) = 0;

    // Commands, at once or through the frame's routing, and the state their
    // menu items show; redraws; the menus' state may have changed.
    virtual bool RunCommand(int id) = 0;
    virtual void RunRouted(int id) = 0;
    virtual ItemState RoutedState(int id) const = 0;
    virtual void RefreshView() = 0;
    virtual void RelayoutAtOnce() = 0;
    virtual void ShowNotice(const QString& text) = 0;
    virtual void Repaint() = 0;
    virtual void StateChanged() = 0;
    // Runs a dialog that writes settings while no pass of the chart runs.
    virtual void WithPassesHeld(const std::function<void()>& dialog) = 0;
};

// What each of the view's controllers is made with: the view through its
// host interface and as the parent of dialogs, its timers, the settings store
// and the prompts.
struct ChartContext {
    ChartHost& host;
    TimerHost& timers;
    SettingsStore& store;
    Prompts& prompts;
    QWidget& view;
};

}  // namespace tavik
