#pragma once
// The magnifier panel without its window: the heading, altitude and zoom it
// holds, what each of its controls does to them, and whether a change waits
// for "描画". The panel window (src/app/MagnifierPanel) shows this model and
// turns its answers into requests to the view; everything here is plain
// integer arithmetic that tests can drive directly.
//
// Also here: the X-shaped target mark of the panel's centre on the current
// chart, and "ここをズームイン" (the target heading and altitude under a tap
// point, and how the view takes it).

#include <array>
#include <optional>

#include "astro/Transforms.h"
#include "view/ViewState.h"

namespace tavik {

// Control identifiers of the panel's spin edits.
namespace MagnifierControl {
inline constexpr int Heading = 1079;
inline constexpr int Altitude = 1080;
inline constexpr int Zoom = 1081;
}  // namespace MagnifierControl

namespace magnifier {
inline constexpr int kZoomMin = 30;   // tenths: 3.0
inline constexpr int kZoomMax = 900;  // tenths: 90.0
// The framing looks anywhere from the horizon to a degree below the zenith
// (a drag, the wheel, the altitude box); the steps and the scroll bar keep
// 4..84, and a jump ("ここをズームイン", the search) 4..86.
inline constexpr int kAltitudeLowest = 0;
inline constexpr int kAltitudeHighest = 89;
inline constexpr int kAltitudeMin = 4;
inline constexpr int kAltitudeJumpMax = 86;
inline constexpr int kAltitudeStepMax = 84;
// The heading spin edit runs from 360 down to -1 (its up arrow decreases the
// heading); both ends wrap into 0..359.
inline constexpr int kHeadingSpinLow = -1;
inline constexpr int kHeadingSpinHigh = 360;
}  // namespace magnifier

// Acceleration of the spin edits: after `seconds` of holding an arrow, each
// step moves by `increment`.
struct SpinAcceleration {
    int seconds;
    int increment;
};
const std::array<SpinAcceleration, 3>& MagnifierAcceleration();
// The increment for an arrow held for `heldMs` milliseconds: 1 during the
// first two seconds, then 2, and 4 from the fifth second on.
int SpinIncrement(int heldMs);

// A heading brought into 0..359 the way the heading spin edit wraps: below 0
// add 360, above 359 subtract 360 (any other value is reduced modulo 360).
int WrapHeading(int heading);

// Zoom after "In" (+zoom/10, at most 900) and "out" (-zoom/11, at least 30);
// at the bound the zoom stays.
int ZoomInStep(int zoom);
int ZoomOutStep(int zoom);

// What a panel operation asks of the outside.
struct PanelEffect {
    bool changed = false;  // a value changed
    bool mark = false;     // redraw the target mark (message 2051)
    bool render = false;   // the draw action ran: render the view (message 2048)
};

class MagnifierPanelModel {
public:
    // Heading and altitude are held in fractional degrees (a drag leaves
    // fractions); the boxes show them rounded to whole degrees.
    double Heading() const { return heading_; }    // [0, 360), degrees from the south
    double Altitude() const { return altitude_; }  // 0..89
    int Zoom() const { return zoom_; }             // 30..900, tenths
    int ShownHeading() const;   // 0..359
    int ShownAltitude() const;  // 0..89
    // Step size in degrees for the current zoom.
    int Step() const;
    // A change waits for "描画" (the button is shown and enabled).
    bool Pending() const { return pending_; }
    // Set while the program itself changes a value (see SetValues): change
    // handlers called meanwhile treat the change as none of the user's.
    bool ProgrammaticChange() const { return programmaticChange_; }
    // OPTION2/AUTO_ENTER: a user's edit runs the draw action at once instead
    // of waiting for "描画".
    bool AutoEnter() const { return autoEnter_; }
    void SetAutoEnter(bool on) { autoEnter_ = on; }

    // --- the program's changes (no mark, nothing pending) -----------------
    // Heading from a view direction v = facing x 90 + turn.
    void SetHeadingFromView(int viewDirection);
    // The view direction of the heading: heading - 90, plus 360 if negative.
    int ViewDirection() const;
    void SetHeading(double heading);    // wrapped into [0, 360)
    void SetAltitude(double altitude);  // clamped to 0..89
    void SetZoom(int zoom);             // clamped to 30..900
    // Takes the view's panel values (heading, altitude, zoom).
    void SetFraming(const MagnifierFraming& framing);
    // The values as the projection reads them (`present` set).
    MagnifierFraming Framing() const;
    // Runs `change` with programmaticChange set; the window uses it around
    // the updates of its spin edits.
    template <class F>
    void WhileProgrammatic(F&& change) {
        const bool before = programmaticChange_;
        programmaticChange_ = true;
        change();
        programmaticChange_ = before;
    }

    // --- the user's changes ------------------------------------------------
    // A value typed or stepped in a spin edit (the raw spin value: the
    // heading may be -1 or 360 and is wrapped). A value equal to the one shown
    // changes nothing (the fraction behind it stays). Heading and altitude ask for
    // the target mark; all three leave a pending change, or run the draw
    // action with AUTO_ENTER. Nothing happens while programmaticChange is set.
    PanelEffect EditHeading(int value);
    PanelEffect EditAltitude(int value);
    PanelEffect EditZoom(int value);
    // The heading spin edit's arrows: `steps` degrees of up arrow (negative
    // for down, already multiplied by the acceleration); up decreases the
    // heading, from the one shown. Returns the new heading (0..359); nothing
    // is changed yet.
    int HeadingAfterArrows(int steps) const;

    // Scroll bars: -1 for left/page left/far left or down/page down/bottom,
    // +1 for right/page right/far right or up/page up/top. The heading turns
    // by the step and wraps, the altitude moves by the step within 4..84
    // (SteppedAltitude); then the draw action runs.
    PanelEffect ScrollHeading(int direction);
    PanelEffect ScrollAltitude(int direction);
    // "In" and "out": nothing at 900 (30); otherwise the zoom step, then the
    // draw action.
    PanelEffect ZoomIn();
    PanelEffect ZoomOut();
    // "描画": render, and nothing is pending any more.
    PanelEffect Draw();

private:
    PanelEffect UserChange(bool changed, bool mark);

    double heading_ = 0.0;
    double altitude_ = 45.0;
    int zoom_ = 50;
    bool pending_ = false;
    bool programmaticChange_ = false;
    bool autoEnter_ = true;
};

// --- target mark (message 2051) ---------------------------------------------

// The X of the panel's centre on the chart drawn for `chart`: the point of
// azimuth (heading - 180) degrees and the panel's altitude, placed without
// azimuth clipping, crossed by the lines (x-7, y-7)-(x+8, y+8) and
// (x+7, y-7)-(x-8, y+8).
struct TargetMarkGeometry {
    int x = 0, y = 0;
    struct Line {
        int x1, y1, x2, y2;
    };
    std::array<Line, 2> lines{};
};
// Nothing when the mark is off (ZOOM/MARK not 1), there is no panel, or the
// point cannot be placed.
std::optional<TargetMarkGeometry> TargetMark(const ViewState& chart, double heading, double altitude,
                                             bool markOn);

// --- dragging the magnified sky ----------------------------------------------

// The framing of the magnified view drawn for `view` (its chart, zoom and
// framing) that puts the horizontal position `sky` (azimuth from north
// through east, altitude; radians) at offsets (dx right, dy up, pixels) from
// the projection centre, so that a point under the pointer stays under it.
// Of the two framings that can, the one that turns the sky least from the
// heading of `view` and `nearAltitude` (pass the last answer's `altitude`,
// so that the sky moves smoothly and never turns round). The framing's
// altitude is kept within 0..89; where that stops it, as over the zenith, the
// heading still follows the unbounded answer, so that the view never turns
// round.
struct PlacedFraming {
    MagnifierFraming framing;
    double altitude = 45.0;  // degrees, unbounded: above 90 over the zenith
};
PlacedFraming FramingPlacing(const ViewState& view, const Spherical& sky, double dx, double dy,
                             double nearAltitude);

// --- "ここをズームイン" (32943) ------------------------------------------------

// Where the magnified view is to look: the view direction H (facing x 90 +
// turn, so H / 90 is the facing and H mod 90 the turn) and the altitude.
struct MagnifierTarget {
    int facing = Facing::South;
    int turn = 0;
    int altitude = 45;
    int viewDirection() const { return facing * 90 + turn; }
};

// Whole degrees of an angle, truncated toward zero. Values within 1e-7 degree
// of a whole number count as that number, so that a point computed as
// 179.99999999 degrees (due south after the inverse transforms) is 180.
int WholeDegrees(double radians);

// The target under chart pixel (x, y) of the chart drawn for `chart` (its
// sidereal time and latitude set): the sky position there as azimuth
// A (0..360) and altitude h; H = trunc(A) + 90, altitude trunc(h).
MagnifierTarget ZoomInTarget(const ViewState& chart, int x, int y);

// Points the magnified view at `target`: facing and turn; the magnified view
// is entered when not shown (the previous mode remembered); a panel that
// exists takes the heading, the altitude and, when given, the zoom; without
// a panel the remembered facing, turn, altitude (and zoom) are set so that the
// panel built by RefreshViewState starts there. Ends with RefreshViewState.
void ApplyMagnifierTarget(ViewState& view, const MagnifierTarget& target,
                          std::optional<int> zoom);

}  // namespace tavik
