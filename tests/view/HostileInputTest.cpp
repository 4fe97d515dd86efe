// Values from damaged or hostile files reaching the projection and the
// painters: nothing may overflow (the sanitizer build aborts on it), unsound
// points break their strokes and unsound records are not drawn.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "astro/Angles.h"
#include "catalog/StarRecord.h"
#include "settings/SettingsStore.h"
#include "view/Color.h"
#include "view/Overlay.h"
#include "view/Projection.h"
#include "view/RenderContext.h"
#include "view/StarPainter.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kDeg = kPi / 180.0;

const ViewMode kModes[] = {ViewMode::Planisphere, ViewMode::PolarAlignment, ViewMode::Zenith,
                           ViewMode::Direction, ViewMode::Magnified};

ViewState MakeView(ViewMode mode) {
    ViewState v;
    v.viewMode = mode;
    v.latitude = 35.0 * kDeg;
    UpdateChartGeometry(v, 240, 240);
    RefreshViewState(v);
    return v;
}

TEST(HostileInput, ProjectionClampsHugeAndRejectsNonFinitePoints) {
    for (ViewMode mode : kModes) {
        SCOPED_TRACE(static_cast<int>(mode));
        const ViewState v = MakeView(mode);
        // A far-out altitude lands anywhere, but inside int.
        const ProjectedPoint far = ProjectSky(v, 0.3, -1e300, false);
        EXPECT_LT(std::abs(far.x), 20000000);
        EXPECT_LT(std::abs(far.y), 20000000);
        for (double bad : {kNaN, kInf, -kInf}) {
            const ProjectedPoint p = ProjectSky(v, bad, 0.5, false);
            EXPECT_FALSE(p.visible);
            EXPECT_EQ(p.x, OffScreen);
            EXPECT_EQ(ProjectEquatorial(v, 1.0, bad, false).x, OffScreen);
        }
        // Unsound records are not drawn; a sound one at the same place is.
        const double s = std::sin(v.latitude), c = std::cos(v.latitude);
        EXPECT_TRUE(ProjectObject(v, 0.0, 89.0 * kDeg, 1.0, kKindStar, s, c).visible || mode != ViewMode::Planisphere);
        EXPECT_FALSE(ProjectObject(v, 0.0, kNaN, 1.0, kKindStar, s, c).visible);
        EXPECT_FALSE(ProjectObject(v, kInf, 0.5, 1.0, kKindStar, s, c).visible);
        EXPECT_FALSE(ProjectObject(v, 0.0, 89.0 * kDeg, kNaN, 2, s, c).visible);
        EXPECT_FALSE(ProjectObject(v, 0.0, 100.0 * kDeg, 1.0, kKindStar, s, c).visible);
    }
}

// A stroke A-B-C drawn with B sound and with B broken: the broken point leaves
// only A and C as single points.
TEST(HostileInput, UnsoundPolylinePointBreaksTheStroke) {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "view_tests";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
    auto drawn = [](double middleDec) {
        ViewState v = MakeView(ViewMode::Planisphere);
        QImage image(240, 240, QImage::Format_RGB32);
        image.fill(0);
        MemorySettingsStore store;
        ColorTable colors;
        RenderContext ctx;
        ctx.image = &image;
        ctx.clientWidth = ctx.clientHeight = 240;
        ctx.view = &v;
        ctx.settings = &store;
        ctx.colors = &colors;
        const std::int32_t codes[] = {1, 1, 2};
        const double ra[] = {0.0, 0.5, 1.0};
        const double dec[] = {60.0 * kDeg, middleDec, 60.0 * kDeg};
        QPainter p(&image);
        p.setPen(QPen(Qt::white, 0));
        DrawSkyPolyline(ctx, p, SkyPolyline{3, codes, ra, dec}, ClientRect(ctx, true));
        p.end();
        int n = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 240; ++x) n += (image.pixel(x, y) & 0xFFFFFF) != 0;
        return n;
    };
    EXPECT_GT(drawn(70.0 * kDeg), 20);
    for (double bad : {kNaN, kInf, 1e300}) EXPECT_LE(drawn(bad), 2) << bad;
}

TEST(HostileInput, StarPainterSurvivesAbsurdMagnitudes) {
    EXPECT_EQ(DiscSize(-1e10, 0, true, false), 4 + 1000000);  // bounded, then capped by the painter
    EXPECT_LT(DiscSize(1e10, 0, true, false), 0);
    EXPECT_EQ(DiscSize(kNaN, 0, true, true), 4);
    EXPECT_EQ(LongitudeText(INT_MIN, INT_MIN), "西経2147483648度2147483648分");
    EXPECT_EQ(LatitudeText(INT_MIN, 0), "南緯2147483648度0分");

    QImage image(40, 40, QImage::Format_RGB32);
    for (int mode = 0; mode < 3; ++mode) {
        const QRgb fill = mode == 1 ? 0xFFFFFFFFu : 0xFF000000u;
        image.fill(fill);
        QPainter painter(&image);
        MemorySettingsStore store;
        ColorTable colors;
        ViewState view;
        RenderContext ctx;
        ctx.image = &image;
        ctx.painter = &painter;
        ctx.view = &view;
        ctx.settings = &store;
        ctx.colors = &colors;
        ctx.lref = Luminance(colors[slot::kSky3]);
        StarOptions o = StarOptions::FromContext(ctx);
        o.sizeUp = true;
        o.brightnessUp = true;
        o.modes.blackOnWhite = mode == 1;
        o.modes.whiteOnBlack = mode == 2;
        StarPainter stars(ctx, o);
        for (double m : {-1e10, 1e10, -kInf, kInf, kNaN, -1e300}) stars.Draw(m, "G2V", mode == 0, SolarBody::None, 20, 20, 1.0);
        painter.end();
        EXPECT_NE(image.pixel(20, 20), fill) << mode;  // the -1e10 star shows
    }
}

}  // namespace
}  // namespace tavik
