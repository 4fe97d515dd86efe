// The telescope's fields of view on the magnified view, measured in rendered
// frames: the worked example of an 80 mm f/7.5 refractor (600 mm) with a 25 mm
// eyepiece of 52° and a 23.5 x 15.6 mm sensor, in normal and red modes, centred
// on the view or on the telescope, and which fields hold a tapped point.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <functional>
#include <optional>

#include "astro/Angles.h"
#include "settings/FieldOfViewSettings.h"
#include "settings/SettingsStore.h"
#include "view/FieldOfView.h"
#include "view/MagnifierPanelModel.h"
#include "view/Projection.h"
#include "view/SkyRenderer.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "view_tests";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
}

struct Frame {
    QImage image;
    ViewState pass;  // the view state the pass drew with
};

Frame Render(SettingsStore& store, const ViewState& view, const std::optional<SkyPosition>& centre = {}) {
    ColorTable colors;
    colors.Set(slot::kTelescopeTrace, MakeColorRef(0, 255, 0));
    colors.Set(slot::kBackground, MakeColorRef(0, 0, 0));
    RenderScene scene;
    scene.view = &view;
    scene.settings = &store;
    scene.colors = &colors;
    scene.localTime = DateTime(2026, 12, 10, 21, 0, 0);
    scene.fieldCentre = centre;
    SkyRenderer renderer;
    Frame f{MakeSkyImage(700, 700, colors[slot::kBackground]), {}};
    renderer.RenderSky(f.image, scene);
    f.pass = renderer.LastView();
    return f;
}

// Pixels from (x, y) along the unit vector (dx, dy) to the first pixel that
// `drawn` accepts; the labels lie outside the shapes, so this is the edge.
double FirstHit(const QImage& image, double x, double y, double dx, double dy, const std::function<bool(QRgb)>& drawn) {
    for (double r = 3.0; r < 700.0; r += 0.25) {
        const int px = static_cast<int>(std::lround(x + dx * r)), py = static_cast<int>(std::lround(y + dy * r));
        if (px < 0 || py < 0 || px >= image.width() || py >= image.height()) break;
        if (drawn(image.pixel(px, py))) return r;
    }
    return -1.0;
}

TEST(FieldOfView, WorkedExampleAtItsTrueSizeInARenderedFrame) {
    EnsureApp();
    MemorySettingsStore store;
    // The defaults are the worked example, every field off.
    FieldOfViewSettings fov = FieldOfViewSettings::Load(store);
    ASSERT_EQ(fov.focalMm, 600);
    EXPECT_TRUE(ShownFields(fov).empty());
    fov.eyepieces[0].shown = true;
    fov.Save(store);
    ASSERT_EQ(ShownFields(fov).size(), 1u);
    EXPECT_EQ(FieldLabel(ShownFields(fov)[0]), "25mm 2.17°");

    ViewState view;
    LoadViewState(view, store);
    view.viewMode = ViewMode::Magnified;
    view.savedAltitude = 50;
    view.savedZoom = 600;
    RefreshViewState(view);

    const auto green = [](QRgb p) { return qGreen(p) > 120 && qRed(p) < 90 && qBlue(p) < 90; };
    const auto red = [](QRgb p) { return qRed(p) > 100 && qGreen(p) < 60 && qBlue(p) < 60; };
    // The view's own scale and the sky's north and east at a chart point, from its projection.
    struct Axes { double perDegree, nx, ny, ex, ey; };
    const auto axes = [](const ViewState& pass, double x, double y) {
        const SkyPosition c = UnprojectSky(pass, static_cast<int>(x), static_cast<int>(y));
        const double h = 0.5 * kDegToRad;
        const auto n1 = ProjectDirectionExact(pass, c.rightAscension, c.declination + h);
        const auto n0 = ProjectDirectionExact(pass, c.rightAscension, c.declination - h);
        const double k = h / std::cos(c.declination);
        const auto e1 = ProjectDirectionExact(pass, c.rightAscension + k, c.declination);
        const auto e0 = ProjectDirectionExact(pass, c.rightAscension - k, c.declination);
        const double n = std::hypot(n1->x - n0->x, n1->y - n0->y), e = std::hypot(e1->x - e0->x, e1->y - e0->y);
        return Axes{n, (n1->x - n0->x) / n, (n1->y - n0->y) / n, (e1->x - e0->x) / e, (e1->y - e0->y) / e};
    };

    for (const bool redMode : {false, true}) {
        SCOPED_TRACE(redMode ? "red" : "normal");
        store.WriteProfileInt("COLOR", "ALLRED", redMode ? 1 : 0);
        const auto drawn = redMode ? std::function<bool(QRgb)>(red) : std::function<bool(QRgb)>(green);
        const Frame f = Render(store, view);
        const ProjectedPoint c = PlaceOnChart(f.pass, 0, 0, 1.0);  // the view's centre
        const Axes a = axes(f.pass, c.x, c.y);
        ASSERT_GT(a.perDegree, 200.0) << "a chart large enough to measure";
        const double radius = 2.1667 / 2 * a.perDegree;
        for (const auto& [dx, dy] : {std::pair{a.nx, a.ny}, std::pair{-a.nx, -a.ny}, std::pair{a.ex, a.ey},
                                    std::pair{-a.ex, -a.ey}})
            EXPECT_NEAR(FirstHit(f.image, c.x, c.y, dx, dy, drawn), radius, 2.0);
    }
    store.WriteProfileInt("COLOR", "ALLRED", 0);

    // The camera alone: its width along east, its height along north (rotation 0).
    fov.eyepieces[0].shown = false;
    fov.cameras[0].shown = true;
    fov.Save(store);
    EXPECT_EQ(FieldLabel(ShownFields(fov)[0]), "APS-C 2.24°×1.49°");
    {
        const Frame f = Render(store, view);
        const ProjectedPoint c = PlaceOnChart(f.pass, 0, 0, 1.0);
        const Axes a = axes(f.pass, c.x, c.y);
        EXPECT_NEAR(FirstHit(f.image, c.x, c.y, a.ex, a.ey, green), 2.2438 / 2 * a.perDegree, 2.0);
        EXPECT_NEAR(FirstHit(f.image, c.x, c.y, -a.ex, -a.ey, green), 2.2438 / 2 * a.perDegree, 2.0);
        EXPECT_NEAR(FirstHit(f.image, c.x, c.y, a.nx, a.ny, green), 1.4897 / 2 * a.perDegree, 2.0);
        EXPECT_NEAR(FirstHit(f.image, c.x, c.y, -a.nx, -a.ny, green), 1.4897 / 2 * a.perDegree, 2.0);

        // Which fields hold a tapped point, with the eyepiece shown again.
        fov.eyepieces[0].shown = true;
        fov.Save(store);
        const double between = (2.1667 / 2 + 0.03) * a.perDegree;  // outside the circle, inside the sensor
        EXPECT_EQ(FieldsHoldingText(f.pass, store, std::nullopt, c.x, c.y), " 視野:25mm,APS-C");
        EXPECT_EQ(FieldsHoldingText(f.pass, store, std::nullopt, static_cast<int>(std::lround(c.x + a.ex * between)),
                                    static_cast<int>(std::lround(c.y + a.ey * between))),
                  " 視野:APS-C");
        EXPECT_EQ(FieldsHoldingText(f.pass, store, std::nullopt, c.x + 340, c.y + 340), " 視野外");
        // "視野に合わせる": the widest field (the sensor's 2.24°, turned with the sky)
        // just fits the 700-pixel chart, which 2.24° fills at zoom 802.
        const int fit = ZoomToFitFields(f.pass, fov).value_or(0);
        EXPECT_LT(fit, 802 * 0.97);
        EXPECT_GT(fit, 802 * 0.6);
    }

    // While the telescope's position is known the fields are centred on it.
    fov.cameras[0].shown = false;
    fov.Save(store);
    const Frame plain = Render(store, view);
    const ProjectedPoint c = PlaceOnChart(plain.pass, 0, 0, 1.0);
    const SkyPosition scope = UnprojectSky(plain.pass, c.x + 60, c.y - 40);
    const Frame traced = Render(store, view, scope);
    const auto at = ProjectDirectionExact(traced.pass, scope.rightAscension, scope.declination);
    ASSERT_TRUE(at);
    const Axes a = axes(traced.pass, at->x, at->y);
    EXPECT_NEAR(FirstHit(traced.image, at->x, at->y, -a.nx, -a.ny, green), 2.1667 / 2 * a.perDegree, 2.0);
    EXPECT_NEAR(FirstHit(traced.image, at->x, at->y, -a.ex, -a.ey, green), 2.1667 / 2 * a.perDegree, 2.0);
}

}  // namespace
}  // namespace tavik
