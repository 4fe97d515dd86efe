#include "view/ViewCommands.h"

#include <algorithm>
#include <cmath>

namespace tavik {

namespace {

CommandOutcome Done(ViewState& view, bool save, std::string notice = {}) {
    RefreshViewState(view);
    return {true, save, std::move(notice)};
}

// The mode a toggled view (planisphere, polar, heliocentric) returns to. A remembered mode equal to the
// view being left (possible after toggling two such views in turn) would
// leave the user stuck in it, so the direction view is used instead.
ViewMode ModeToRestore(const ViewState& view) {
    if (view.previousMode == view.viewMode) return ViewMode::Direction;
    return view.previousMode;
}

void LeaveMagnified(ViewState& view) {
    view.viewMode = ModeToRestore(view);
    view.savedTurn = view.turnDegrees;
    view.savedFacing = view.facing;
    if (view.magnifier.present) {
        view.savedZoom = view.magnifier.zoom;
        view.savedAltitude = static_cast<int>(std::lround(view.magnifier.altitude));
    }
}

int TurnStep(const ViewState& view) {
    return view.magnifier.present ? MagnifierStep(view.magnifier.zoom) : 10;
}

}  // namespace

int MagnifierStep(int zoom) {
    if (zoom < 70) return 10;
    if (zoom < 150) return 5;
    if (zoom < 250) return 3;
    if (zoom < 350) return 2;
    return 1;
}

double SteppedAltitude(double altitude, int degrees) {
    constexpr double kLow = 4.0, kHigh = 84.0;
    if (degrees > 0) return altitude >= kHigh ? altitude : std::min(altitude + degrees, kHigh);
    if (degrees < 0) return altitude <= kLow ? altitude : std::max(altitude + degrees, kLow);
    return altitude;
}

namespace {

// Facing and turn take the whole degrees of the panel's view direction;
// RefreshViewState adds the fraction.
void FollowMagnifierHeading(ViewState& view) {
    if (!view.magnifier.present) return;
    const int v = static_cast<int>(MagnifierViewDirection(view.magnifier.heading));
    view.facing = (v / 90) % 4;
    view.turnDegrees = v % 90;
}

}  // namespace

void TakeMagnifierHeading(ViewState& view) {
    if (!view.magnifier.present) return;
    FollowMagnifierHeading(view);
    view.savedFacing = view.facing;
    view.savedTurn = view.turnDegrees;
    view.savedAltitude = static_cast<int>(std::lround(view.magnifier.altitude));
    view.savedZoom = view.magnifier.zoom;
}

CommandOutcome SetFacing(ViewState& view, int facing) {
    view.facing = ((facing % 4) + 4) % 4;
    view.turnDegrees = 0;
    RefreshViewState(view);
    UpdateMagnifierHeading(view);
    return Done(view, true);
}

CommandOutcome SelectHeightBand(ViewState& view, HeightBand band) {
    view.heightBand = band;
    view.viewMode = ViewMode::Direction;
    return Done(view, true);
}

CommandOutcome ShowDirectionView(ViewState& view) {
    view.viewMode = ViewMode::Direction;
    return Done(view, false, "方角画面切替");
}

CommandOutcome ShowZenithView(ViewState& view) {
    view.viewMode = ViewMode::Zenith;
    return Done(view, false, "天頂に切替");
}

CommandOutcome TogglePlanisphere(ViewState& view) {
    std::string notice;
    if (view.viewMode != ViewMode::Planisphere) {
        if (view.viewMode == ViewMode::Magnified) LeaveMagnified(view);
        view.previousMode = view.viewMode;
        notice = "早見に切替";
        view.viewMode = ViewMode::Planisphere;
    } else {
        view.viewMode = ModeToRestore(view);
    }
    return Done(view, true, std::move(notice));
}

CommandOutcome TogglePolarAlignment(ViewState& view) {
    if (view.viewMode == ViewMode::PolarAlignment) {
        view.viewMode = ModeToRestore(view);
        return Done(view, false);
    }
    view.previousMode = view.viewMode;
    view.viewMode = ViewMode::PolarAlignment;
    view.facing = Facing::North;
    view.turnDegrees = 0;
    RefreshViewState(view);
    UpdateMagnifierHeading(view);
    return Done(view, false, "極軸調整画面");
}

CommandOutcome ToggleHeliocentric(ViewState& view) {
    if (view.viewMode == ViewMode::Heliocentric) {
        view.viewMode = ModeToRestore(view);
        return Done(view, true);
    }
    view.previousMode = view.viewMode;
    view.viewMode = ViewMode::Heliocentric;
    return Done(view, true, "惑星軌道に切替");
}

CommandOutcome ToggleHorizonFraming(ViewState& view) {
    view.horizonFraming = !view.horizonFraming;
    return Done(view, true, view.horizonFraming ? "地平線" : "");
}

CommandOutcome ToggleMagnified(ViewState& view) {
    if (view.viewMode == ViewMode::Magnified) {
        LeaveMagnified(view);
        return Done(view, true);
    }
    if (view.viewMode == ViewMode::Planisphere || view.viewMode == ViewMode::PolarAlignment ||
        view.viewMode == ViewMode::Heliocentric) {
        view.facing = ((view.savedFacing % 4) + 4) % 4;
        view.turnDegrees = ((view.savedTurn % 90) + 90) % 90;
    }
    view.previousMode = view.viewMode;
    view.viewMode = ViewMode::Magnified;
    view.heightBand = HeightBand::Middle;
    return Done(view, true);
}

namespace {

// Turns by whole degrees, carrying into the next or previous compass direction;
// the magnified view turns its panel's heading, keeping the fraction a drag left.
CommandOutcome Turn(ViewState& view, int degrees, bool save) {
    if (view.magnifier.present) {
        view.magnifier.heading = WrapDegrees(view.magnifier.heading + degrees);
        FollowMagnifierHeading(view);
        return Done(view, save);
    }
    view.turnDegrees += degrees;
    while (view.turnDegrees >= 90) {
        view.turnDegrees -= 90;
        view.facing = (view.facing + 1) % 4;
    }
    while (view.turnDegrees < 0) {
        view.turnDegrees += 90;
        view.facing = view.facing == 0 ? 3 : view.facing - 1;
    }
    RefreshViewState(view);
    return Done(view, save);
}

}  // namespace

CommandOutcome TurnRight(ViewState& view) { return Turn(view, TurnStep(view), false); }

CommandOutcome TurnLeft(ViewState& view) { return Turn(view, -TurnStep(view), false); }

CommandOutcome TurnBy(ViewState& view, int degrees) { return Turn(view, degrees, true); }

CommandOutcome StepUp(ViewState& view) {
    if (view.magnifier.present) {
        view.magnifier.altitude = SteppedAltitude(view.magnifier.altitude, MagnifierStep(view.magnifier.zoom));
        return Done(view, false);
    }
    switch (view.viewMode) {
    case ViewMode::Planisphere:
    case ViewMode::Zenith:
    case ViewMode::PolarAlignment:
    case ViewMode::Heliocentric:
        return {};
    default: break;
    }
    switch (view.heightBand) {
    case HeightBand::Low: view.heightBand = HeightBand::Middle; break;
    case HeightBand::Middle: view.heightBand = HeightBand::High; break;
    case HeightBand::High:
        view.viewMode = ViewMode::Zenith;
        view.heightBand = view.noWholeBand ? HeightBand::High : HeightBand::Whole;
        break;
    case HeightBand::Whole:
    default: view.heightBand = HeightBand::High; break;
    }
    return Done(view, false);
}

CommandOutcome StepDown(ViewState& view) {
    if (view.magnifier.present) {
        view.magnifier.altitude = SteppedAltitude(view.magnifier.altitude, -MagnifierStep(view.magnifier.zoom));
        return Done(view, false);
    }
    if (view.viewMode == ViewMode::PolarAlignment || view.viewMode == ViewMode::Heliocentric) {
        return {};
    }
    if (view.viewMode == ViewMode::Planisphere || view.viewMode == ViewMode::Zenith) {
        view.viewMode = ViewMode::Direction;
        view.heightBand = view.noWholeBand ? HeightBand::High : HeightBand::Whole;
        RefreshViewState(view);
        UpdateMagnifierHeading(view);
        return Done(view, false);
    }
    switch (view.heightBand) {
    case HeightBand::High: view.heightBand = HeightBand::Middle; break;
    case HeightBand::Middle: view.heightBand = HeightBand::Low; break;
    case HeightBand::Low:
        if (!view.noWholeBand) view.heightBand = HeightBand::Whole;
        break;
    case HeightBand::Whole:
    default: view.heightBand = HeightBand::Low; break;
    }
    return Done(view, false);
}

CommandOutcome RunViewCommand(ViewState& view, int id) {
    if (!ViewCommandState(view, id).enabled) return {};
    switch (id) {
    case ViewCommand::West: return SetFacing(view, Facing::West);
    case ViewCommand::North: return SetFacing(view, Facing::North);
    case ViewCommand::East: return SetFacing(view, Facing::East);
    case ViewCommand::South: return SetFacing(view, Facing::South);
    case ViewCommand::BandWhole: return SelectHeightBand(view, HeightBand::Whole);
    case ViewCommand::BandHigh: return SelectHeightBand(view, HeightBand::High);
    case ViewCommand::BandMiddle: return SelectHeightBand(view, HeightBand::Middle);
    case ViewCommand::BandLow: return SelectHeightBand(view, HeightBand::Low);
    case ViewCommand::Direction: return ShowDirectionView(view);
    case ViewCommand::Zenith: return ShowZenithView(view);
    case ViewCommand::Planisphere: return TogglePlanisphere(view);
    case ViewCommand::PolarAlignment: return TogglePolarAlignment(view);
    case ViewCommand::Heliocentric: return ToggleHeliocentric(view);
    case ViewCommand::HorizonFraming: return ToggleHorizonFraming(view);
    case ViewCommand::Magnified: return ToggleMagnified(view);
    case ViewCommand::TurnRight: return TurnRight(view);
    case ViewCommand::TurnLeft: return TurnLeft(view);
    case ViewCommand::StepUp: return StepUp(view);
    case ViewCommand::StepDown: return StepDown(view);
    default: return {};
    }
}

CommandState ViewCommandState(const ViewState& view, int id) {
    const ViewMode mode = view.viewMode;
    const bool directionType = static_cast<int>(mode) > 19;
    switch (id) {
    case ViewCommand::West: return {true, view.facing == Facing::West};
    case ViewCommand::North: return {true, view.facing == Facing::North};
    case ViewCommand::East: return {true, view.facing == Facing::East};
    case ViewCommand::South: return {true, view.facing == Facing::South};
    case ViewCommand::Zenith: return {true, mode == ViewMode::Zenith};
    case ViewCommand::Planisphere: return {true, mode == ViewMode::Planisphere};
    case ViewCommand::PolarAlignment: return {true, mode == ViewMode::PolarAlignment};
    case ViewCommand::Heliocentric: return {true, mode == ViewMode::Heliocentric};
    case ViewCommand::Direction: return {true, mode == ViewMode::Direction};
    case ViewCommand::BandHigh: return {directionType, directionType && view.heightBand == HeightBand::High};
    case ViewCommand::BandMiddle: return {directionType, directionType && view.heightBand == HeightBand::Middle};
    case ViewCommand::BandLow: return {directionType, directionType && view.heightBand == HeightBand::Low};
    case ViewCommand::BandWhole:
        if (mode == ViewMode::Direction) {
            const bool whole = view.heightBand == HeightBand::Whole;
            return {!whole, whole};
        }
        return {true, view.heightBand == HeightBand::Whole};
    case ViewCommand::HorizonFraming: return {true, view.horizonFraming};
    case ViewCommand::Magnified: return {true, mode == ViewMode::Magnified};
    case ViewCommand::StepUp:
        return {view.magnifier.present || (mode != ViewMode::Planisphere &&
                                           mode != ViewMode::PolarAlignment &&
                                           mode != ViewMode::Heliocentric),
                false};
    case ViewCommand::StepDown:
        return {view.magnifier.present ||
                    (mode != ViewMode::PolarAlignment && mode != ViewMode::Heliocentric),
                false};
    case ViewCommand::TurnLeft:
    case ViewCommand::TurnRight: return {true, false};
    default: return {false, false};
    }
}

}  // namespace tavik
