#pragma once
// The sky view's drawing state: which of the six view modes is shown, which way
// the chart faces, how high it looks, how big the chart square is, and the few
// per-paint values (turn in radians, azimuth window, sidereal time, latitude)
// that every projection reads. Plain data with no Qt: the projection code and
// the view commands work on it as pure functions.

namespace tavik {

class SettingsStore;
struct ViewSettings;

// The numbers are what the settings store holds under VIEW/STATUS.
enum class ViewMode : int {
    Planisphere = 0,
    PolarAlignment = 1,
    Heliocentric = 2,
    Zenith = 11,
    Direction = 21,
    Magnified = 22,
};

// Which compass direction the chart faces (SETTING/DIRECT).
namespace Facing {
inline constexpr int West = 0;
inline constexpr int North = 1;
inline constexpr int East = 2;
inline constexpr int South = 3;
}  // namespace Facing

// Height band of the direction view (SCREEN/ZOOM_H).
enum class HeightBand : int {
    Whole = 0,
    High = 1,
    Middle = 2,
    Low = -1,
};

// The sentinel written for a point that the direction view's azimuth window
// rejects; callers must never draw at it.
inline constexpr int OffScreen = -99999999;

// The part of the magnifier panel's state that enters the projection. The panel
// itself (spin edits, buttons) belongs to the application shell; `present` is
// true while it exists, that is while the magnified view is shown. Heading and
// altitude are held in fractional degrees, so that a drag or the wheel can
// move the sky by less than a degree; the panel's boxes and the stored
// settings show and keep whole degrees.
struct MagnifierFraming {
    bool present = false;
    double heading = 0.0;    // degrees from the south: 0 south, 90 west, 180 north, 270 east; [0, 360)
    double altitude = 45.0;  // centre altitude, degrees
    int zoom = 50;           // tenths
};

struct ViewState {
    // --- stored state ---------------------------------------------------
    ViewMode viewMode = ViewMode::PolarAlignment;
    ViewMode previousMode = ViewMode::Planisphere;  // restored when a toggled view is left
    int facing = Facing::South;
    int turnDegrees = 0;  // 0..89, added to the facing direction
    HeightBand heightBand = HeightBand::Whole;
    int wideTenths = 13;  // horizontal stretch of the direction view
    bool horizonFraming = false;
    bool noWholeBand = false;
    bool polarFine = false;
    bool fullScreen = false;
    int savedFacing = Facing::South;
    int savedTurn = 3;
    int savedAltitude = 45;  // magnified view centre altitude
    int savedZoom = 50;      // magnified view zoom in tenths

    // Limiting magnitude and the magnified view's replacements.
    int limitMagnitude = 4;  // SETTING/MAGNIT; 7 means all stars
    int zoomUpTo = 400;      // ZOOMINVIEW/UPTO
    int zoomMagnitude = 6;   // ZOOMINVIEW/MAG; 7 means all stars

    // --- chart geometry (recomputed from the client size) -----------------
    int clientWidth = 240;
    int clientHeight = 240;
    int chartSize = 240;
    int chartHalf = 120;
    int chartOffsetX = 0;
    // Device pixels per window pixel: the chart is drawn at the screen's own
    // pixels (sharp lines and discs on a high-density screen); sizes above are
    // in device pixels.
    double pixelRatio = 1.0;

    // --- per-paint values -------------------------------------------------
    // facing x pi/2 + turnRadians is the view direction; in the magnified view
    // it is the panel's (fractional) heading - 90 degrees.
    double turnRadians = 0.0;
    double azimuthLow = 0.0;   // azimuth window of the direction view, [0, 2pi)
    double azimuthHigh = 0.0;
    bool wideFraming = false;  // the chart spans so much azimuth that curves may wrap
    double localSiderealTime = 0.0;  // radians
    double latitude = 0.0;           // site latitude, radians

    MagnifierFraming magnifier;
};

// True for the views projected by the direction branch (direction, magnified,
// and the fallback for unknown modes).
bool IsDirectionType(ViewMode mode);

// Points the magnifier panel (when present) at the view's facing and turn.
void UpdateMagnifierHeading(ViewState& view);
// Degrees brought into [0, 360).
double WrapDegrees(double degrees);
// The view direction of a magnifier heading: heading - 90 degrees, in [0, 360).
double MagnifierViewDirection(double heading);

// Recomputes the chart square from the client area. With `fullScreen` set the
// chart size and its half keep their previous values; the offset of the square
// and the client size always follow.
void UpdateChartGeometry(ViewState& view, int clientWidth, int clientHeight);

// What the view does after every change of its state: the turn in radians, the
// azimuth window and the wide-framing flag.
void RefreshViewState(ViewState& view);

// Takes the view's part of the persistent view settings, and gives it back.
// Facing and turn are brought into 0..3 and 0..89.
void ApplyViewSettings(ViewState& view, const ViewSettings& settings);
void StoreViewSettings(const ViewState& view, ViewSettings& settings);

// Reads the view state from the store (through ViewSettings). When SCREEN/END is not 1 the stored
// screen is ignored: planisphere, facing South, turn 0, band Whole.
void LoadViewState(ViewState& view, const SettingsStore& store);
// Writes the stored part of the view state.
void SaveViewState(const ViewState& view, SettingsStore& store);
// Writes the magnified view's remembered facing, turn, zoom and altitude (done
// only when the view goes away).
void SaveMagnifierState(const ViewState& view, SettingsStore& store);

}  // namespace tavik
