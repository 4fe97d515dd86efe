#pragma once
// What the sky view's own controllers (the magnifier, the tap marks and the
// gestures) may ask of the view. They read its state and settings on the
// window thread and change the state only through ChangeState, which holds
// the view's lock (a pass may read the state on the worker thread meanwhile).

#include <QImage>
#include <QPoint>

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

namespace tavik {

class StarCatalog;
class TapNoTurnHold;
class TimeControl;
struct TimeAction;

class ChartHost {
public:
    virtual ~ChartHost() = default;

    // The view's state and settings; a change is saved with the view's
    // settings when `save` is set.
    virtual const ViewState& State() const = 0;
    virtual const ViewSettings& Settings() const = 0;
    virtual void ChangeState(const std::function<void(ViewState&)>& change, bool save) = 0;
    // The chart of the pass on the screen; the catalogue, under the lock.
    virtual ViewState LastPass() const = 0;
    virtual void WithCatalogue(const std::function<void(StarCatalog&)>& work) = 0;

    // The clock, and its timers.
    virtual TimeControl& Time() = 0;
    virtual void ApplyTime(const TimeAction& action) = 0;
    virtual bool TimerActive(int id) const = 0;

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
    virtual QImage ChartImage() const = 0;
    virtual QImage ChartWithAddIn(const std::string& path) const = 0;
    virtual QFont TapFont() const = 0;
    virtual const ColorTable& Colors() const = 0;
    virtual void ShowTapImage(QImage image) = 0;
    virtual void ShowPicture(const std::string& path) = 0;

    // Commands (through the frame's routing), redraws and the menus' state.
    virtual void RunRouted(int id) = 0;
    virtual void RefreshView() = 0;
    virtual void RelayoutAtOnce() = 0;
    virtual void Repaint() = 0;
    virtual void StateChanged() = 0;
    // Runs a dialog that writes settings while no pass of the chart runs.
    virtual void WithPassesHeld(const std::function<void()>& dialog) = 0;
};

}  // namespace tavik
