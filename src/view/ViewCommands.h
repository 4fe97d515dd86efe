#pragma once
// The mode, direction, height-band and turning commands of the sky view as
// operations on the view state. Each one changes the state, runs
// RefreshViewState, and tells the caller whether the view settings are to be
// saved and which notice (UTF-8, empty for none) to show. Menus, toolbars and
// the actual saving belong to the application shell.

#include <string>

#include "view/ViewState.h"

namespace tavik {

// Command identifiers of the view commands handled here.
namespace ViewCommand {
inline constexpr int East = 32796;
inline constexpr int Zenith = 32797;
inline constexpr int South = 32798;
inline constexpr int West = 32799;
inline constexpr int North = 32800;
inline constexpr int Planisphere = 32801;
inline constexpr int BandWhole = 32805;
inline constexpr int PolarAlignment = 32806;
inline constexpr int Heliocentric = 32810;
inline constexpr int BandHigh = 32846;
inline constexpr int BandMiddle = 32847;
inline constexpr int BandLow = 32848;
inline constexpr int Magnified = 32860;
inline constexpr int TurnLeft = 32879;
inline constexpr int TurnRight = 32880;
inline constexpr int StepUp = 32881;
inline constexpr int StepDown = 32882;
inline constexpr int HorizonFraming = 32928;
inline constexpr int Direction = 32934;
}  // namespace ViewCommand

struct CommandOutcome {
    bool handled = false;  // the command is one of the above and was enabled
    bool save = false;     // write the view settings
    std::string notice;    // ShowNotice text, UTF-8
};

// Menu state of a command: enabled, and checked (menu check mark or pressed
// toolbar button).
struct CommandState {
    bool enabled = true;
    bool checked = false;
};

// Runs one view command. Unknown or disabled commands change nothing.
CommandOutcome RunViewCommand(ViewState& view, int commandId);
CommandState ViewCommandState(const ViewState& view, int commandId);

// The individual operations.
CommandOutcome SetFacing(ViewState& view, int facing);
CommandOutcome SelectHeightBand(ViewState& view, HeightBand band);
CommandOutcome ShowDirectionView(ViewState& view);
CommandOutcome ShowZenithView(ViewState& view);
CommandOutcome TogglePlanisphere(ViewState& view);
CommandOutcome TogglePolarAlignment(ViewState& view);
CommandOutcome ToggleHeliocentric(ViewState& view);
CommandOutcome ToggleHorizonFraming(ViewState& view);
// Enters the magnified view or leaves it again.
CommandOutcome ToggleMagnified(ViewState& view);
CommandOutcome TurnRight(ViewState& view);
CommandOutcome TurnLeft(ViewState& view);
// Turns by a number of degrees (negative: left), carrying into the next or
// previous compass direction as the turning steps do (taps on the chart's sides).
CommandOutcome TurnBy(ViewState& view, int degrees);
CommandOutcome StepUp(ViewState& view);
CommandOutcome StepDown(ViewState& view);

// The magnifier's step in degrees for a zoom in tenths.
int MagnifierStep(int zoom);
// The magnified view's altitude after a step of `degrees` (up when positive):
// the steps stop at 4 and 84, and an altitude beyond them (a drag or the box
// can reach 0..89) stays where it is rather than move against the step.
double SteppedAltitude(double altitude, int degrees);

// At the start of a render pass in the magnified view the facing and turn follow
// the magnifier panel's heading.
void TakeMagnifierHeading(ViewState& view);

}  // namespace tavik
