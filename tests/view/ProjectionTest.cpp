#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "astro/Angles.h"
#include "astro/Transforms.h"
#include "catalog/StarRecord.h"
#include "settings/SettingsStore.h"
#include "view/Projection.h"
#include "view/ViewCommands.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

constexpr double kDeg = kPi / 180.0;

ViewState MakeView(ViewMode mode, int width = 240, int height = 240) {
    ViewState v;
    v.viewMode = mode;
    v.facing = Facing::South;
    v.turnDegrees = 0;
    v.latitude = 35.0 * kDeg;
    v.localSiderealTime = 1.234;
    UpdateChartGeometry(v, width, height);
    RefreshViewState(v);
    return v;
}

// Unproject every visible pixel of a coarse grid and project the result again:
// the pixel must come back within the truncations of both ways: one pixel in y,
// and in x two truncations scaled by the horizontal stretch.
void ExpectRoundTrip(const ViewState& v, int step = 7) {
    const int xTolerance = static_cast<int>(2.0 * ViewFraming(v).stretch) + 1;
    int checked = 0;
    for (int y = 1; y < v.chartSize; y += step) {
        for (int x = 1; x < v.clientWidth; x += step) {
            const SkyPosition sky = UnprojectSky(v, x, y);
            const Spherical h =
                EquatorialToHorizontal(sky.rightAscension, sky.declination, v.latitude,
                                       v.localSiderealTime);
            const ProjectedPoint forward = ProjectSky(v, h.lon, h.lat, false);
            // Only pixels that the forward projection can reach are meaningful:
            // planisphere pixels beyond the nadir circle do not exist.
            if (v.viewMode == ViewMode::Planisphere) {
                const double dx = x - v.clientWidth / 2, dy = v.chartHalf - y;
                if (std::sqrt(dx * dx + dy * dy) > v.chartSize * 0.99) continue;
            }
            if (!forward.visible) continue;
            ++checked;
            EXPECT_LE(std::abs(forward.x - x), xTolerance) << "at " << x << "," << y;
            EXPECT_LE(std::abs(forward.y - y), 1) << "at " << x << "," << y;
        }
    }
    EXPECT_GT(checked, 300);
}

TEST(ProjectionRoundTrip, Planisphere) {
    ViewState v = MakeView(ViewMode::Planisphere);
    ExpectRoundTrip(v);
    v.facing = Facing::East;
    v.turnDegrees = 35;
    RefreshViewState(v);
    ExpectRoundTrip(v);
}

TEST(ProjectionRoundTrip, Zenith) {
    ViewState v = MakeView(ViewMode::Zenith, 320, 240);
    ExpectRoundTrip(v);
    v.facing = Facing::West;
    v.turnDegrees = 70;
    RefreshViewState(v);
    ExpectRoundTrip(v);
}

TEST(ProjectionRoundTrip, DirectionAllBandsAndFramings) {
    for (bool horizon : {false, true}) {
        for (HeightBand band :
             {HeightBand::Whole, HeightBand::High, HeightBand::Middle, HeightBand::Low}) {
            ViewState v = MakeView(ViewMode::Direction, 300, 260);
            v.horizonFraming = horizon;
            v.heightBand = band;
            v.facing = Facing::North;
            v.turnDegrees = 20;
            RefreshViewState(v);
            SCOPED_TRACE(testing::Message() << "horizon " << horizon << " band "
                                            << static_cast<int>(band));
            ExpectRoundTrip(v);
        }
    }
}

TEST(ProjectionRoundTrip, Magnified) {
    ViewState v = MakeView(ViewMode::Magnified);
    v.savedAltitude = 30;
    v.savedZoom = 120;
    RefreshViewState(v);
    ASSERT_TRUE(v.magnifier.present);
    ExpectRoundTrip(v, 5);
}

TEST(ProjectSky, PlanisphereLayout) {
    ViewState v = MakeView(ViewMode::Planisphere, 320, 240);
    // Zenith at the centre of the horizon circle about (W/2, R/2).
    ProjectedPoint p = ProjectSky(v, 0.3, kPi / 2, false);
    EXPECT_EQ(p.x, 160);
    EXPECT_EQ(p.y, 120);
    // Facing South: the south point is straight down on the rim, east on the left.
    p = ProjectSky(v, kPi, 0.0, false);
    EXPECT_NEAR(p.x, 160, 1);
    EXPECT_NEAR(p.y, 240, 1);
    p = ProjectSky(v, kPi / 2, 0.0, false);
    EXPECT_NEAR(p.x, 40, 1);
    EXPECT_NEAR(p.y, 120, 1);
    // Always reported visible, even below the horizon.
    EXPECT_TRUE(ProjectSky(v, 0.0, -1.0, false).visible);
}

TEST(ProjectSky, DirectionWholeBandShowsHorizonAtBottomAndZenithAtTop) {
    ViewState v = MakeView(ViewMode::Direction);
    v.wideTenths = 10;
    RefreshViewState(v);
    ProjectedPoint p = ProjectSky(v, kPi, 0.0, true);  // due south on the horizon
    EXPECT_TRUE(p.visible);
    EXPECT_EQ(p.x, 120);
    EXPECT_NEAR(p.y, 240, 1);
    p = ProjectSky(v, kPi, kPi / 2, true);
    EXPECT_NEAR(p.y, 0, 1);
}

TEST(ProjectSky, AzimuthWindowAcrossNorth) {
    ViewState v = MakeView(ViewMode::Direction);
    v.facing = Facing::North;
    RefreshViewState(v);
    ProjectedPoint p = ProjectSky(v, 350.0 * kDeg, 20.0 * kDeg, true);
    EXPECT_NE(p.x, OffScreen);
    EXPECT_TRUE(p.visible);
    p = ProjectSky(v, 180.0 * kDeg, 20.0 * kDeg, true);
    EXPECT_FALSE(p.visible);
    EXPECT_EQ(p.x, OffScreen);
    EXPECT_EQ(p.y, OffScreen);
    // Without clipping the same point is still written.
    p = ProjectSky(v, 180.0 * kDeg, 20.0 * kDeg, false);
    EXPECT_NE(p.x, OffScreen);
    // Facing South the window does not wrap: 91 degrees off passes, 93 does not.
    v.facing = Facing::South;
    RefreshViewState(v);
    EXPECT_NE(ProjectSky(v, (180.0 + 91.0) * kDeg, 0.0, true).x, OffScreen);
    EXPECT_EQ(ProjectSky(v, (180.0 - 93.0) * kDeg, 0.0, true).x, OffScreen);
}

TEST(ProjectSky, ZenithAndPolarVisibility) {
    ViewState v = MakeView(ViewMode::Zenith);
    // The horizon lies at radius R: outside the square.
    EXPECT_FALSE(ProjectSky(v, kPi, 0.0, false).visible);
    EXPECT_TRUE(ProjectSky(v, kPi, 60.0 * kDeg, false).visible);

    ViewState polar = MakeView(ViewMode::PolarAlignment);
    // The celestial pole (azimuth north, altitude = latitude) is the chart centre.
    ProjectedPoint p = ProjectSky(polar, 0.0, polar.latitude, false);
    EXPECT_EQ(p.x, 120);
    EXPECT_EQ(p.y, 120);
    // One degree from the pole is about 32 pixels at the coarse scale and
    // 106.7 at the fine one.
    p = ProjectSky(polar, 0.0, polar.latitude - 1.0 * kDeg, false);
    EXPECT_NEAR(std::abs(p.y - 120) + std::abs(p.x - 120), 32, 1);
    polar.polarFine = true;
    p = ProjectSky(polar, 0.0, polar.latitude - 1.0 * kDeg, false);
    EXPECT_NEAR(std::abs(p.y - 120) + std::abs(p.x - 120), 107, 1);
}

TEST(ViewFraming, Table) {
    ViewState v = MakeView(ViewMode::Direction);
    v.heightBand = HeightBand::High;
    Framing f = ViewFraming(v);
    EXPECT_DOUBLE_EQ(f.tiltDegrees, -30.0);
    EXPECT_DOUBLE_EQ(f.span, 3.0);
    EXPECT_NEAR(f.stretch, 1.3, 1e-12);
    v.horizonFraming = true;
    v.heightBand = HeightBand::Middle;
    f = ViewFraming(v);
    EXPECT_DOUBLE_EQ(f.tiltDegrees, -75.0);
    EXPECT_DOUBLE_EQ(f.stretch, 1.0);
    v.heightBand = static_cast<HeightBand>(7);  // unknown band frames as Whole
    EXPECT_DOUBLE_EQ(ViewFraming(v).tiltDegrees, -90.0);
    EXPECT_DOUBLE_EQ(ViewFraming(v).span, 2.0);
    ViewState m = MakeView(ViewMode::Magnified);
    m.savedAltitude = 30;
    m.savedZoom = 120;
    m.magnifier.present = false;
    RefreshViewState(m);
    f = ViewFraming(m);
    EXPECT_DOUBLE_EQ(f.tiltDegrees, -60.0);
    EXPECT_DOUBLE_EQ(f.span, 12.0);
    EXPECT_DOUBLE_EQ(f.stretch, 1.0);
}

StarRecord StarAt(double ra, double dec, double mag) {
    StarRecord s;
    s.ra = ra;
    s.dec = dec;
    s.mag = mag;
    return s;
}

TEST(ProjectStar, JustBelowHorizonNeverDrawnInAnyMode) {
    for (ViewMode mode : {ViewMode::Planisphere, ViewMode::PolarAlignment, ViewMode::Heliocentric,
                          ViewMode::Zenith, ViewMode::Direction, ViewMode::Magnified}) {
        for (bool horizon : {false, true}) {
            ViewState v = MakeView(mode);
            v.horizonFraming = horizon;
            v.heightBand = HeightBand::Low;
            v.limitMagnitude = 7;
            RefreshViewState(v);
            // A star due south on the meridian 0.01 degree below the horizon.
            const double dec = v.latitude - kPi / 2 - 0.01 * kDeg;
            const StarRecord s = StarAt(v.localSiderealTime, dec, 1.0);
            double sinAlt = 1.0;
            const ProjectedPoint p =
                ProjectStar(v, s, std::sin(v.latitude), std::cos(v.latitude), &sinAlt);
            EXPECT_FALSE(p.visible) << "mode " << static_cast<int>(mode);
            EXPECT_LT(sinAlt, 0.0);
            // Just above it is drawn (in the views whose chart reaches the horizon).
            const StarRecord above = StarAt(v.localSiderealTime, dec + 0.02 * kDeg, 1.0);
            const ProjectedPoint q =
                ProjectStar(v, above, std::sin(v.latitude), std::cos(v.latitude));
            if (mode == ViewMode::Planisphere) {
                EXPECT_TRUE(q.visible);
            }
        }
    }
}

TEST(ProjectStar, MagnitudeLimit) {
    ViewState v = MakeView(ViewMode::Planisphere);
    const double sl = std::sin(v.latitude), cl = std::cos(v.latitude);
    const double ra = v.localSiderealTime, dec = v.latitude;  // at the zenith
    EXPECT_TRUE(ProjectStar(v, StarAt(ra, dec, 4.5), sl, cl).visible);
    EXPECT_FALSE(ProjectStar(v, StarAt(ra, dec, 4.51), sl, cl).visible);
    // Other kinds are not culled by magnitude.
    StarRecord galaxy = StarAt(ra, dec, 9.0);
    galaxy.kind = kKindGalaxy;
    EXPECT_TRUE(ProjectStar(v, galaxy, sl, cl).visible);
    // MAGNIT 7 means everything to 11.5, in every mode.
    for (ViewMode mode : {ViewMode::Planisphere, ViewMode::Zenith, ViewMode::Direction,
                          ViewMode::Magnified}) {
        ViewState w = MakeView(mode);
        w.limitMagnitude = 7;
        w.heightBand = HeightBand::High;
        RefreshViewState(w);
        EXPECT_DOUBLE_EQ(LimitingMagnitude(w), 11.0);
    }
    // The polar alignment view ignores the limit.
    ViewState polar = MakeView(ViewMode::PolarAlignment);
    EXPECT_TRUE(ProjectStar(polar, StarAt(0.0, kPi / 2 - 0.001, 14.0), sl, cl).visible);
    // Magnified at or above the threshold: the zoom limit, 7 meaning 11.
    ViewState m = MakeView(ViewMode::Magnified);
    m.savedZoom = 400;
    m.magnifier.present = false;
    RefreshViewState(m);
    EXPECT_DOUBLE_EQ(LimitingMagnitude(m), 6.0);
    m.zoomMagnitude = 7;
    EXPECT_DOUBLE_EQ(LimitingMagnitude(m), 11.0);
    m.magnifier.zoom = 399;
    EXPECT_DOUBLE_EQ(LimitingMagnitude(m), 4.0);
    // The selection filter drops the object.
    EXPECT_FALSE(ProjectStar(v, StarAt(ra, dec, 1.0), sl, cl, nullptr, false).visible);
}

TEST(ChartGeometry, FollowsClientUnlessFullScreen) {
    ViewState v;
    EXPECT_EQ(v.chartSize, 240);
    UpdateChartGeometry(v, 480, 301);
    EXPECT_EQ(v.chartSize, 301);
    EXPECT_EQ(v.chartHalf, 150);
    EXPECT_EQ(v.chartOffsetX, 240 - 150);
    ViewState f;
    f.fullScreen = true;
    UpdateChartGeometry(f, 480, 640);
    EXPECT_EQ(f.chartSize, 240);
    EXPECT_EQ(f.chartHalf, 120);
    EXPECT_EQ(f.chartOffsetX, 120);
}

TEST(Heliocentric, RingsAndLabels) {
    ViewState v = MakeView(ViewMode::Heliocentric);
    const HeliocentricLayout l =
        LayoutHeliocentric(v, {1.0, 2.0, 3.0, 0.0, kPi, 0.5});
    EXPECT_EQ(l.centerX, 120);
    EXPECT_EQ(l.centerY, 120);
    EXPECT_EQ(l.rings[0].radius, 110);  // Saturn
    EXPECT_EQ(l.rings[5].radius, 9);    // Mercury
    EXPECT_FALSE(l.rings[3].shown);     // longitude exactly 0: no ring
    // Longitude pi puts Venus straight above the Sun (longitude 0 is below).
    EXPECT_EQ(l.rings[4].labelX, 120);
    EXPECT_EQ(l.rings[4].labelY, 120 - (2 * 120) / 13);
}

TEST(ViewSettings, LoadHonoursScreenEnd) {
    MemorySettingsStore store;
    ViewState v;
    LoadViewState(v, store);
    EXPECT_EQ(v.viewMode, ViewMode::Planisphere);  // first start: the start values
    EXPECT_EQ(v.facing, Facing::South);
    store.WriteProfileInt("VIEW", "STATUS", 21);
    store.WriteProfileInt("SETTING", "DIRECT", 1);
    store.WriteProfileInt("SCREEN", "HALF", 40);
    LoadViewState(v, store);
    EXPECT_EQ(v.viewMode, ViewMode::Direction);
    EXPECT_EQ(v.turnDegrees, 40);
    store.WriteProfileInt("SCREEN", "END", 0);
    LoadViewState(v, store);
    EXPECT_EQ(v.viewMode, ViewMode::Planisphere);
    EXPECT_EQ(v.facing, Facing::South);
    EXPECT_EQ(v.turnDegrees, 0);
    // A save and load gives back the state.
    v.viewMode = ViewMode::Zenith;
    v.heightBand = HeightBand::Low;
    v.facing = Facing::East;
    MemorySettingsStore out;
    SaveViewState(v, out);
    ViewState w;
    LoadViewState(w, out);
    EXPECT_EQ(w.viewMode, ViewMode::Zenith);
    EXPECT_EQ(w.heightBand, HeightBand::Low);
    EXPECT_EQ(w.facing, Facing::East);
}

}  // namespace
}  // namespace tavik
