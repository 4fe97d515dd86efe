#pragma once
// The magnified view's controls: the magnifier panel docked at the view's
// right edge (it exists exactly while the magnified view is shown), the
// navigator, "ここをズームイン", "視野に合わせる", the panel's forwarded zoom commands, the
// framing that gestures set, the target mark of a change not yet drawn, and
// the horizon search that jumps into the view. Owned by the view; talks to it
// through ChartHost.

#include <QPoint>
#include <QRect>

#include <optional>

#include "view/MagnifierPanelModel.h"
#include "app/view/ChartHost.h"

class QWidget;

namespace tavik {

class CMagnifierPanel;
class Prompts;
class SettingsStore;
class TimerHost;

class MagnifierController {
public:
    explicit MagnifierController(const ChartContext& context);
    // The panel stays the view's child; its signals no longer reach here.
    ~MagnifierController();

    static bool Handles(int id);
    void Run(int id);

    // Creates or removes the panel as the magnified view comes or goes, and
    // hands the view's own changes (turning, stepping, a jump) to it.
    void Sync();
    // The panel's values, at the start of every pass.
    void TakePanelValues();
    void ShowNavigator();
    // Message 2053.
    void RunHorizonSearch();
    // Frames the magnified view (wrapped and clamped), stored and drawn.
    void SetFraming(MagnifierFraming framing);
    // A tap hides the panel when the option asks for it.
    void HideForTap();
    void SetAutoEnter(bool on);
    // Keeps the panel at the view's right edge.
    void Dock();

    // The panel while the magnified view is shown, else nullptr.
    CMagnifierPanel* Panel() const { return panel_; }
    bool PanelHidden() const;
    // The width of the panel's strip while it shows, else 0.
    int ShownWidth() const;
    // The mark of a change of the panel that waits to be drawn.
    std::optional<TargetMarkGeometry> PendingTargetMark() const;

private:
    void ZoomInHere();
    // "視野に合わせる": the zoom at which the widest shown field spans the chart.
    void FitFields();

    ChartContext c_;
    CMagnifierPanel* panel_ = nullptr;
};

}  // namespace tavik
