// The magnifier panel's arithmetic, its pending draw, the target mark and
// "ここをズームイン".

#include <gtest/gtest.h>

#include <vector>

#include "astro/Angles.h"
#include "view/MagnifierPanelModel.h"
#include "view/ViewCommands.h"

namespace tavik {
namespace {

TEST(MagnifierPanel, ZoomButtonsHeadingWrapAndSteps) {
    MagnifierPanelModel m;
    m.SetZoom(50);
    std::vector<int> zooms;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(m.ZoomIn().render);
        zooms.push_back(m.Zoom());
    }
    EXPECT_EQ(zooms, (std::vector<int>{55, 60, 66, 72, 79}));
    // out steps back along the same values.
    for (int i = 3; i >= 0; --i) {
        m.ZoomOut();
        EXPECT_EQ(m.Zoom(), zooms[static_cast<std::size_t>(i)]);
    }
    m.SetZoom(899);
    m.ZoomIn();
    EXPECT_EQ(m.Zoom(), 900);
    EXPECT_FALSE(m.ZoomIn().render) << "In at 900 does nothing";
    // out takes zoom / 11 away: 34 goes to 31, then (31 - 2 = 29) to the
    // bound 30; 33 - 33 / 11 is 30 at once.
    m.SetZoom(34);
    m.ZoomOut();
    EXPECT_EQ(m.Zoom(), 31);
    m.ZoomOut();
    EXPECT_EQ(m.Zoom(), 30);
    EXPECT_FALSE(m.ZoomOut().render);
    m.SetZoom(33);
    m.ZoomOut();
    EXPECT_EQ(m.Zoom(), 30);

    m.SetZoom(120);
    EXPECT_EQ(m.Step(), 5);
    m.SetZoom(400);
    EXPECT_EQ(m.Step(), 1);

    m.SetZoom(50);
    m.SetHeading(355);
    EXPECT_TRUE(m.ScrollHeading(+1).render);
    EXPECT_EQ(m.Heading(), 5);
    m.ScrollHeading(-1);
    EXPECT_EQ(m.Heading(), 355);
    // The scroll bar stops at 84 although the edit allows 89.
    m.SetAltitude(80);
    m.ScrollAltitude(+1);
    EXPECT_EQ(m.Altitude(), 84);
    m.SetAltitude(90);
    EXPECT_EQ(m.Altitude(), 89);
    // A step never moves against its direction: from beyond 84 (or below 4),
    // where a drag or the box may leave the view, the step stays put.
    m.ScrollAltitude(+1);
    EXPECT_EQ(m.Altitude(), 89);
    m.ScrollAltitude(-1);
    EXPECT_EQ(m.Altitude(), 79);
    m.SetAltitude(1.5);
    m.ScrollAltitude(-1);
    EXPECT_EQ(m.Altitude(), 1.5);

    // The heading edit runs from 360 down to -1: up decreases, both ends wrap.
    m.SetHeading(0);
    EXPECT_EQ(m.HeadingAfterArrows(1), 359);
    EXPECT_EQ(m.HeadingAfterArrows(-4), 4);
    m.EditHeading(360);
    EXPECT_EQ(m.Heading(), 0);
    m.EditHeading(-1);
    EXPECT_EQ(m.Heading(), 359);

    EXPECT_EQ(SpinIncrement(0), 1);
    EXPECT_EQ(SpinIncrement(1999), 1);
    EXPECT_EQ(SpinIncrement(2000), 2);
    EXPECT_EQ(SpinIncrement(4999), 2);
    EXPECT_EQ(SpinIncrement(5000), 4);

    // Heading and view direction (facing x 90 + turn) are a quarter turn apart.
    m.SetHeadingFromView(3 * 90 + 10);  // South, turned 10
    EXPECT_EQ(m.Heading(), 10);
    EXPECT_EQ(m.ViewDirection(), 280);
}

TEST(MagnifierPanel, PendingDrawAutoEnterAndProgrammaticChanges) {
    MagnifierPanelModel m;
    m.SetAutoEnter(false);
    PanelEffect e = m.EditAltitude(60);
    EXPECT_TRUE(e.mark);
    EXPECT_FALSE(e.render);
    EXPECT_TRUE(m.Pending());
    e = m.EditZoom(200);
    EXPECT_FALSE(e.mark) << "a zoom edit only shows the button";
    EXPECT_TRUE(m.Pending());
    EXPECT_TRUE(m.Draw().render);
    EXPECT_FALSE(m.Pending());

    m.WhileProgrammatic([&] {
        e = m.EditHeading(100);
        EXPECT_TRUE(m.ProgrammaticChange());
    });
    EXPECT_FALSE(e.mark || e.render || m.Pending());
    EXPECT_FALSE(m.ProgrammaticChange());
    EXPECT_NE(m.Heading(), 100) << "the program's own change is not taken as an edit";

    m.SetAutoEnter(true);
    e = m.EditHeading(100);
    EXPECT_TRUE(e.mark && e.render);
    EXPECT_FALSE(m.Pending());
}

// A direction view facing South in the Low band: the chart centre looks due
// south at 30 degrees.
ViewState SouthAt30() {
    ViewState v;
    v.viewMode = ViewMode::Direction;
    v.facing = Facing::South;
    v.heightBand = HeightBand::Low;
    v.localSiderealTime = 1.234;
    v.latitude = 35.5 * kDegToRad;
    UpdateChartGeometry(v, 240, 240);
    RefreshViewState(v);
    return v;
}

TEST(MagnifierPanel, ZoomInHereAndTheTargetMark) {
    ViewState v = SouthAt30();
    const MagnifierTarget t = ZoomInTarget(v, 120, 120);
    EXPECT_EQ(t.facing, Facing::South);
    EXPECT_EQ(t.turn, 0);
    EXPECT_EQ(t.altitude, 30);

    // No panel yet: the panel built on entering starts at the target.
    ApplyMagnifierTarget(v, t, 500);
    EXPECT_EQ(v.viewMode, ViewMode::Magnified);
    EXPECT_EQ(v.previousMode, ViewMode::Direction);
    ASSERT_TRUE(v.magnifier.present);
    EXPECT_EQ(v.magnifier.heading, 0);
    EXPECT_EQ(v.magnifier.altitude, 30);
    EXPECT_EQ(v.magnifier.zoom, 500);

    // With a panel: it takes the new target; the previous mode stays.
    ApplyMagnifierTarget(v, {Facing::East, 0, 50}, 320);
    EXPECT_EQ(v.previousMode, ViewMode::Direction);
    EXPECT_EQ(v.magnifier.heading, 270);
    EXPECT_EQ(v.magnifier.altitude, 50);
    EXPECT_EQ(v.magnifier.zoom, 320);

    // The step commands ("上へ", "下へ") never move against their direction either.
    v.magnifier.altitude = 88.5;
    StepUp(v);
    EXPECT_EQ(v.magnifier.altitude, 88.5);
    StepDown(v);
    EXPECT_EQ(v.magnifier.altitude, 86.5);
    v.magnifier.altitude = 2;
    StepDown(v);
    EXPECT_EQ(v.magnifier.altitude, 2);
    StepUp(v);
    EXPECT_EQ(v.magnifier.altitude, 4);
    v.magnifier.altitude = 50;

    // The mark of the panel's own centre sits at the chart centre.
    const auto mark = TargetMark(v, v.magnifier.heading, v.magnifier.altitude, true);
    ASSERT_TRUE(mark);
    EXPECT_EQ(mark->x, 120);
    EXPECT_EQ(mark->y, 120);
    EXPECT_EQ(mark->lines[0].x1, 113);
    EXPECT_EQ(mark->lines[0].y2, 128);
    EXPECT_EQ(mark->lines[1].x1, 127);
    EXPECT_EQ(mark->lines[1].x2, 112);
    EXPECT_FALSE(TargetMark(v, 0, 30, false)) << "ZOOM/MARK off draws no mark";
}

}  // namespace
}  // namespace tavik
