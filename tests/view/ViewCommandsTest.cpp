#include <gtest/gtest.h>

#include "view/ViewCommands.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

ViewState DirectionView(int facing, int turn, HeightBand band = HeightBand::Whole) {
    ViewState v;
    v.viewMode = ViewMode::Direction;
    v.facing = facing;
    v.turnDegrees = turn;
    v.heightBand = band;
    RefreshViewState(v);
    return v;
}

TEST(ViewCommands, TurnAcrossFacingBoundaries) {
    ViewState v = DirectionView(Facing::South, 80);
    TurnRight(v);
    EXPECT_EQ(v.facing, Facing::West);
    EXPECT_EQ(v.turnDegrees, 0);
    TurnLeft(v);
    EXPECT_EQ(v.facing, Facing::South);
    EXPECT_EQ(v.turnDegrees, 80);
    v = DirectionView(Facing::North, 30);
    TurnRight(v);
    EXPECT_EQ(v.facing, Facing::North);
    EXPECT_EQ(v.turnDegrees, 40);
    EXPECT_NEAR(v.turnRadians, 40 * 3.141592653589793 / 180, 1e-12);
}

TEST(ViewCommands, TurnInMagnifiedUsesPanelStep) {
    ViewState v = DirectionView(Facing::South, 0);
    v.savedZoom = 120;
    ToggleMagnified(v);
    ASSERT_TRUE(v.magnifier.present);
    const int facing = v.facing, turn = v.turnDegrees;
    TurnRight(v);
    EXPECT_EQ(v.facing * 90 + v.turnDegrees, facing * 90 + turn + 5);
    // The panel heading follows: view direction + 90 from the south.
    EXPECT_EQ(v.magnifier.heading, (v.facing * 90 + v.turnDegrees + 90) % 360);
}

TEST(ViewCommands, StepUpAndDownThroughBands) {
    ViewState v = DirectionView(Facing::South, 0, HeightBand::Low);
    StepUp(v);
    EXPECT_EQ(v.heightBand, HeightBand::Middle);
    StepUp(v);
    EXPECT_EQ(v.heightBand, HeightBand::High);
    StepUp(v);
    EXPECT_EQ(v.viewMode, ViewMode::Zenith);
    EXPECT_EQ(v.heightBand, HeightBand::Whole);
    // Up does nothing more in the zenith view.
    StepUp(v);
    EXPECT_EQ(v.viewMode, ViewMode::Zenith);
    StepDown(v);
    EXPECT_EQ(v.viewMode, ViewMode::Direction);
    EXPECT_EQ(v.heightBand, HeightBand::Whole);
    StepDown(v);
    EXPECT_EQ(v.heightBand, HeightBand::Low);
    StepDown(v);
    EXPECT_EQ(v.heightBand, HeightBand::Whole);
    v.heightBand = HeightBand::Whole;
    StepUp(v);
    EXPECT_EQ(v.heightBand, HeightBand::High);
}

TEST(ViewCommands, NoWholeBandSkipsWhole) {
    ViewState v = DirectionView(Facing::South, 0, HeightBand::High);
    v.noWholeBand = true;
    StepUp(v);
    EXPECT_EQ(v.viewMode, ViewMode::Zenith);
    EXPECT_EQ(v.heightBand, HeightBand::High);
    StepDown(v);
    EXPECT_EQ(v.viewMode, ViewMode::Direction);
    EXPECT_EQ(v.heightBand, HeightBand::High);
    v.heightBand = HeightBand::Low;
    StepDown(v);
    EXPECT_EQ(v.heightBand, HeightBand::Low);
}

TEST(ViewCommands, StepsDisabledInToggledViews) {
    ViewState v = DirectionView(Facing::South, 0);
    v.viewMode = ViewMode::PolarAlignment;
    EXPECT_FALSE(RunViewCommand(v, ViewCommand::StepUp).handled);
    EXPECT_FALSE(RunViewCommand(v, ViewCommand::StepDown).handled);
    v.viewMode = ViewMode::Planisphere;
    EXPECT_FALSE(ViewCommandState(v, ViewCommand::StepUp).enabled);
    EXPECT_TRUE(RunViewCommand(v, ViewCommand::StepDown).handled);
    EXPECT_EQ(v.viewMode, ViewMode::Direction);
}

TEST(ViewCommands, ModeTogglesRestorePreviousMode) {
    ViewState v = DirectionView(Facing::East, 20, HeightBand::Middle);
    CommandOutcome o = RunViewCommand(v, ViewCommand::Planisphere);
    EXPECT_EQ(v.viewMode, ViewMode::Planisphere);
    EXPECT_EQ(o.notice, "早見に切替");
    EXPECT_TRUE(o.save);
    RunViewCommand(v, ViewCommand::Planisphere);
    EXPECT_EQ(v.viewMode, ViewMode::Direction);

    o = RunViewCommand(v, ViewCommand::PolarAlignment);
    EXPECT_EQ(v.viewMode, ViewMode::PolarAlignment);
    EXPECT_EQ(v.facing, Facing::North);
    EXPECT_EQ(v.turnDegrees, 0);
    EXPECT_EQ(o.notice, "極軸調整画面");
    EXPECT_FALSE(o.save);
    RunViewCommand(v, ViewCommand::PolarAlignment);
    EXPECT_EQ(v.viewMode, ViewMode::Direction);

    o = RunViewCommand(v, ViewCommand::Heliocentric);
    EXPECT_EQ(o.notice, "惑星軌道に切替");
    RunViewCommand(v, ViewCommand::Heliocentric);
    EXPECT_EQ(v.viewMode, ViewMode::Direction);

    // Planisphere -> polar -> polar off -> planisphere off must not stay stuck.
    RunViewCommand(v, ViewCommand::Planisphere);
    RunViewCommand(v, ViewCommand::PolarAlignment);
    RunViewCommand(v, ViewCommand::PolarAlignment);
    EXPECT_EQ(v.viewMode, ViewMode::Planisphere);
    RunViewCommand(v, ViewCommand::Planisphere);
    EXPECT_NE(v.viewMode, ViewMode::Planisphere);
}

TEST(ViewCommands, PlanisphereLeavesMagnifiedFirst) {
    ViewState v = DirectionView(Facing::West, 30);
    ToggleMagnified(v);
    ASSERT_EQ(v.viewMode, ViewMode::Magnified);
    EXPECT_EQ(v.heightBand, HeightBand::Middle);
    v.magnifier.zoom = 222;
    TogglePlanisphere(v);
    EXPECT_EQ(v.viewMode, ViewMode::Planisphere);
    EXPECT_FALSE(v.magnifier.present);
    EXPECT_EQ(v.savedZoom, 222);
    EXPECT_EQ(v.savedFacing, Facing::West);
    EXPECT_EQ(v.savedTurn, 30);
    // Leaving the planisphere returns to the view before the magnified one.
    TogglePlanisphere(v);
    EXPECT_EQ(v.viewMode, ViewMode::Direction);
    // Entering magnified from the planisphere takes the saved facing and turn.
    v.viewMode = ViewMode::Planisphere;
    v.facing = Facing::North;
    v.turnDegrees = 0;
    ToggleMagnified(v);
    EXPECT_EQ(v.facing, Facing::West);
    EXPECT_EQ(v.turnDegrees, 30);
    EXPECT_EQ(v.magnifier.zoom, 222);
}

TEST(ViewCommands, FacingBandsAndUpdateHandlers) {
    ViewState v = DirectionView(Facing::South, 40, HeightBand::High);
    RunViewCommand(v, ViewCommand::North);
    EXPECT_EQ(v.facing, Facing::North);
    EXPECT_EQ(v.turnDegrees, 0);
    EXPECT_TRUE(ViewCommandState(v, ViewCommand::North).checked);
    EXPECT_FALSE(ViewCommandState(v, ViewCommand::South).checked);
    EXPECT_TRUE(ViewCommandState(v, ViewCommand::BandHigh).checked);
    EXPECT_FALSE(ViewCommandState(v, ViewCommand::BandWhole).checked);
    RunViewCommand(v, ViewCommand::BandWhole);
    EXPECT_EQ(v.heightBand, HeightBand::Whole);
    CommandState whole = ViewCommandState(v, ViewCommand::BandWhole);
    EXPECT_TRUE(whole.checked);
    EXPECT_FALSE(whole.enabled);
    v.viewMode = ViewMode::Zenith;
    EXPECT_FALSE(ViewCommandState(v, ViewCommand::BandLow).enabled);
    EXPECT_TRUE(ViewCommandState(v, ViewCommand::BandWhole).checked);
    RunViewCommand(v, ViewCommand::BandLow);  // disabled in the zenith view
    EXPECT_EQ(v.viewMode, ViewMode::Zenith);
    EXPECT_EQ(RunViewCommand(v, ViewCommand::Direction).notice, "方角画面切替");
    EXPECT_EQ(v.viewMode, ViewMode::Direction);
    RunViewCommand(v, ViewCommand::BandLow);
    EXPECT_EQ(v.heightBand, HeightBand::Low);
    EXPECT_EQ(RunViewCommand(v, ViewCommand::HorizonFraming).notice, "地平線");
    EXPECT_TRUE(v.wideFraming);  // Low band with horizon framing
    EXPECT_EQ(RunViewCommand(v, ViewCommand::HorizonFraming).notice, "");
    EXPECT_FALSE(v.wideFraming);
}

}  // namespace
}  // namespace tavik
