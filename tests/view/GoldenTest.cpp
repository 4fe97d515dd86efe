// Whole render passes of fixed scenes compared with stored pictures
// (tests/view/golden/*.png) within a small tolerance.
//
// The scenes use a made-up star field (fixed positions, magnitudes and spectral
// types) and no data files, so they change only when the drawing changes.
// After an intended change of the drawing, regenerate the pictures with
//
//   TAVIK_UPDATE_GOLDEN=1 <build>/bin/view_tests --gtest_filter='*Golden*'
//
// and look at them before committing. A mismatching picture is written to
// <build>/golden-actual/ for comparison.

#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "astro/Angles.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"
#include "astro/Transforms.h"
#include "catalog/StarCatalog.h"
#include "catalog/StarRecord.h"
#include "settings/SettingsStore.h"
#include "view/SkyRenderer.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

void EnsureGuiApp() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "view_tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

// A fixed pseudo-random star field: 700 stars over the whole sphere.
StarCatalog MadeUpSky() {
    StarCatalog cat;
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / 16777216.0;
    };
    const char* const spectra[] = {"B2V", "A0V", "F5V", "G2V", "K0V", "M2Iab", "K5III", "O9", "M1+B2", ""};
    for (int i = 0; i < 700; ++i) {
        StarRecord r;
        r.number = static_cast<std::int16_t>(i + 1);
        r.ra = next() * kTwoPi;
        r.dec = std::asin(next() * 2.0 - 1.0);
        r.mag = -1.5 + 7.5 * next() * next();
        r.SetSpectral(spectra[static_cast<int>(next() * 10) % 10]);
        r.SetConstellation("Ori");
        r.kind = kKindStar;
        cat.Append(r);
    }
    cat.SetLoaded(true);
    return cat;
}

struct Scene {
    std::string name;
    ViewMode mode = ViewMode::Planisphere;
    std::vector<std::pair<std::string, int>> settings;
    int hour = 21;
    HeightBand band = HeightBand::Whole;
};

QImage RenderFixedScene(const Scene& s, const StarCatalog& catalog) {
    MemorySettingsStore store;
    store.WriteProfileInt("SETTING", "MAGNIT", 6);
    for (const auto& [key, value] : s.settings) {
        const auto slash = key.find('/');
        store.WriteProfileInt(key.substr(0, slash), key.substr(slash + 1), value);
    }
    ViewState view;
    LoadViewState(view, store);
    view.viewMode = s.mode;
    view.heightBand = s.band;
    RefreshViewState(view);
    ColorTable colors;
    colors.Load(store);

    RenderScene scene;
    scene.view = &view;
    scene.settings = &store;
    scene.colors = &colors;
    scene.catalog = &catalog;
    scene.localTime = DateTime(2004, 3, 10, s.hour, 0, 0);
    scene.site = ObservationSite{};
    QImage image = MakeSkyImage(240, 240, colors[slot::kBackground]);
    SkyRenderer renderer;
    renderer.RenderSky(image, scene);
    return image;
}

const std::vector<Scene>& Scenes() {
    static const std::vector<Scene> scenes = {
        {"planisphere", ViewMode::Planisphere, {}},
        {"direction", ViewMode::Direction, {}},
        {"direction_bands", ViewMode::Direction, {{"BACKPAINT/GRADATION", 0}, {"KOUGAI/REDUCE", 12}}},
        {"direction_horizon", ViewMode::Direction, {{"TOUEI/SUIHEI", 1}}, 21, HeightBand::Low},
        {"zenith", ViewMode::Zenith, {}},
        {"polar", ViewMode::PolarAlignment, {}},
        {"helio", ViewMode::Heliocentric, {}},
        {"magnified", ViewMode::Magnified, {}},
        {"red", ViewMode::Direction, {{"COLOR/ALLRED", 1}, {"REDSCR/NO_REDBACK", 0}}},
        {"black_on_white", ViewMode::Direction, {{"SETTING/WB", 1}}},
        {"grids", ViewMode::Direction, {{"SCREEN/GRAND_S", 1}, {"SCREEN/SEKIDO_S", 1}, {"SCREEN/KOUDOU_S", 1}}},
        {"bright_planisphere", ViewMode::Planisphere,
         {{"SETTING/BRIGHT", 1}, {"SETTING/BRIGHT1", 1}, {"SETTING/BRIGHT2", 1}}},
        {"daylight", ViewMode::Direction, {{"SETTING/SUN", 1}}, 17},
    };
    return scenes;
}

// Per channel a difference up to 24 is tolerated (text edges); beyond that at
// most 0.3 % of the pixels may differ.
int CountBadPixels(const QImage& a, const QImage& b) {
    int bad = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 24 || std::abs(qGreen(p) - qGreen(q)) > 24 ||
                std::abs(qBlue(p) - qBlue(q)) > 24)
                ++bad;
        }
    return bad;
}

class Golden : public ::testing::TestWithParam<Scene> {
protected:
    static void SetUpTestSuite() { EnsureGuiApp(); }
};

TEST_P(Golden, MatchesStoredPicture) {
    const Scene& scene = GetParam();
    static const StarCatalog catalog = MadeUpSky();
    const QImage image = RenderFixedScene(scene, catalog).convertToFormat(QImage::Format_RGB32);
    const QString path =
        QStringLiteral(TAVIK_SOURCE_DIR "/tests/view/golden/%1.png").arg(QString::fromStdString(scene.name));

    if (qEnvironmentVariableIntValue("TAVIK_UPDATE_GOLDEN") == 1) {
        QDir().mkpath(QStringLiteral(TAVIK_SOURCE_DIR "/tests/view/golden"));
        ASSERT_TRUE(image.save(path, "PNG")) << path.toStdString();
        GTEST_SKIP() << "regenerated " << path.toStdString();
    }

    const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(golden.isNull()) << "no stored picture " << path.toStdString()
                                  << "; make it with TAVIK_UPDATE_GOLDEN=1";
    ASSERT_EQ(golden.size(), image.size());
    const int bad = CountBadPixels(image, golden);
    if (bad * 1000 > image.width() * image.height() * 3) {
        QDir().mkpath(QStringLiteral(TAVIK_BINARY_DIR "/golden-actual"));
        image.save(QStringLiteral(TAVIK_BINARY_DIR "/golden-actual/%1.png").arg(QString::fromStdString(scene.name)));
        FAIL() << bad << " pixels differ from " << path.toStdString() << " (actual picture in "
               << TAVIK_BINARY_DIR << "/golden-actual)";
    }
}

INSTANTIATE_TEST_SUITE_P(Scenes, Golden, ::testing::ValuesIn(Scenes()),
                         [](const ::testing::TestParamInfo<Scene>& info) { return info.param.name; });

// One renderer across passes (its background cache in use): the same inputs
// give the same picture, a colour change shows at once, and changing it back
// restores the first picture.
TEST(GoldenScenes, CachedBackgroundFollowsColourChanges) {
    EnsureGuiApp();
    MemorySettingsStore store;
    ViewState view;
    LoadViewState(view, store);
    view.viewMode = ViewMode::Direction;
    RefreshViewState(view);
    ColorTable colors;
    RenderScene scene;
    scene.view = &view;
    scene.settings = &store;
    scene.colors = &colors;
    scene.localTime = DateTime(2004, 3, 10, 21, 0, 0);
    SkyRenderer renderer;
    auto pass = [&] {
        QImage image = MakeSkyImage(200, 160, kBlack);
        renderer.RenderSky(image, scene);
        return image;
    };
    const QImage first = pass();
    EXPECT_EQ(pass(), first);
    colors.Set(slot::kSky2, MakeColorRef(90, 0, 0));
    const QImage changed = pass();
    EXPECT_NE(changed, first);
    colors.ResetToDefaults();
    EXPECT_EQ(pass(), first);
    // "全て初期" after a change of the ground colour: the next pass shows the
    // factory background at once.
    colors.Set(slot::kBackground, MakeColorRef(200, 0, 200));
    EXPECT_EQ(pass().pixel(0, 159) & 0xFFFFFF, qRgb(200, 0, 200) & 0xFFFFFF);
    ApplyColorDialogResult(ColorDialogResult::ResetAll, colors, store);
    EXPECT_EQ(pass().pixel(0, 159) & 0xFFFFFF, qRgb(96, 128, 64) & 0xFFFFFF);
    EXPECT_EQ(pass(), first);

    // The overwrite flag keeps the previous picture under the new pass.
    bool overwrite = false;
    EXPECT_EQ(ToggleOverwrite(overwrite), "");
    EXPECT_TRUE(overwrite);
    EXPECT_EQ(ToggleOverwrite(overwrite), "上書き解除");
    EXPECT_FALSE(overwrite);
    QImage trail = changed.copy();
    scene.overwrite = true;
    renderer.RenderSky(trail, scene);
    EXPECT_EQ(trail.pixel(100, 20), changed.pixel(100, 20));
}

// A bright star just below the horizon leaves no trace in any mode, even in
// the planisphere whose rim is the horizon; one just above it is drawn.
TEST(GoldenScenes, StarJustBelowTheHorizonIsNeverDrawn) {
    EnsureGuiApp();
    const DateTime local(2004, 3, 10, 21, 0, 0);
    const ObservationSite site;
    const double lst = LocalSiderealTime(local, site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes);
    const double lat = site.LatitudeDegrees() * kDegToRad;
    auto catalogWith = [&](double altitudeDegrees) {
        StarCatalog cat;
        StarRecord r;
        r.ra = lst;  // on the meridian, due south at its highest
        r.dec = lat - kPi / 2 + altitudeDegrees * kDegToRad;
        r.mag = -1.5;
        r.kind = kKindStar;
        cat.Append(r);
        cat.SetLoaded(true);
        return cat;
    };
    const StarCatalog below = catalogWith(-0.1), above = catalogWith(0.3), none;
    for (ViewMode mode : {ViewMode::Planisphere, ViewMode::PolarAlignment, ViewMode::Zenith, ViewMode::Direction,
                          ViewMode::Magnified}) {
        MemorySettingsStore store;
        ViewState view;
        LoadViewState(view, store);
        view.viewMode = mode;
        RefreshViewState(view);
        ColorTable colors;
        colors.Set(slot::kSky4, kBlack);  // let a star near the horizon show on the lowest band
        RenderScene scene;
        scene.view = &view;
        scene.settings = &store;
        scene.colors = &colors;
        scene.localTime = local;
        scene.site = site;
        auto render = [&](const StarCatalog& cat) {
            scene.catalog = &cat;
            QImage image = MakeSkyImage(240, 240, kBlack);
            SkyRenderer().RenderSky(image, scene);
            return image;
        };
        const QImage empty = render(none);
        EXPECT_EQ(render(below), empty) << "mode " << static_cast<int>(mode);
        if (mode == ViewMode::Planisphere || mode == ViewMode::Direction) {
            EXPECT_NE(render(above), empty) << "mode " << static_cast<int>(mode);
        }
    }
}


// Magnified far enough, the Moon is drawn at its apparent size with its phase:
// a crescent four and a half days after new Moon (a fifth lit), much larger
// than the plain symbol.
TEST(GoldenScenes, MagnifiedMoonShowsItsCrescent) {
    EnsureGuiApp();
    const DateTime local(2004, 3, 25, 19, 30, 0);
    const ObservationSite site;
    const double lst = LocalSiderealTime(local, site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes);
    const double lat = site.LatitudeDegrees() * kDegToRad;
    const Spherical moon = MoonTopocentric(ToUniversalTime(local, site.zoneOffsetHours), lst, lat);
    const Spherical hz = EquatorialToHorizontal(moon.lon, moon.lat, lat, lst);
    double az = hz.lon * kRadToDeg;
    if (az < 0) az += 360;

    MemorySettingsStore store;
    ViewState view;
    LoadViewState(view, store);
    // Facing azimuth = (facing - 1) x 90 + turn.
    const int total = static_cast<int>(std::lround(az + 90)) % 360;
    view.facing = total / 90;
    view.turnDegrees = total % 90;
    view.savedAltitude = static_cast<int>(std::lround(hz.lat * kRadToDeg));
    view.savedZoom = 600;
    view.viewMode = ViewMode::Magnified;
    RefreshViewState(view);
    ColorTable colors;
    RenderScene scene;
    scene.view = &view;
    scene.settings = &store;
    scene.colors = &colors;
    scene.localTime = local;
    scene.site = site;
    auto moonPixels = [&] {
        QImage image = MakeSkyImage(240, 240, kBlack);
        SkyRenderer().RenderSky(image, scene);
        int lit = 0, dark = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 240; ++x) {
                const QRgb p = image.pixel(x, y);
                if (qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) < 80) ++lit;
                if (qRed(p) > 40 && qRed(p) < 90 && qGreen(p) > 40 && qGreen(p) < 90 && qBlue(p) < 20) ++dark;
            }
        return std::make_pair(lit, dark);
    };
    const auto [lit, dark] = moonPixels();
    EXPECT_GT(lit, 30);       // the crescent
    EXPECT_GT(dark, 3 * lit); // most of the disc is unlit
    store.WriteProfileInt("OPTION2", "REAL_MOON", 0);  // without phases: a full disc
    const auto [fullLit, fullDark] = moonPixels();
    EXPECT_GT(fullLit, lit + dark / 2);
    EXPECT_LT(fullDark, 10);
}

}  // namespace
}  // namespace tavik
