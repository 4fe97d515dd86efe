// Star drawing: pixel patterns and intensities by magnitude, blending against
// the background, spectral colours, and dimming by light pollution, daylight
// and the polar view.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <utility>

#include "astro/Angles.h"
#include "catalog/LineFile.h"
#include "catalog/StarCatalog.h"
#include "settings/SettingsStore.h"
#include "view/Color.h"
#include "view/RenderContext.h"
#include "view/HitList.h"
#include "view/SkyRenderer.h"
#include "view/StarField.h"
#include "view/StarPainter.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

// A small black chart with a painter, the factory colours and default options.
struct StarChart {
    explicit StarChart(QRgb fill = qRgb(0, 0, 0)) : image(40, 40, QImage::Format_RGB32) {
        image.fill(fill);
        painter.begin(&image);
        ctx.image = &image;
        ctx.painter = &painter;
        ctx.clientWidth = image.width();
        ctx.clientHeight = image.height();
        ctx.view = &view;
        ctx.settings = &store;
        ctx.colors = &colors;
        ctx.lref = Luminance(colors[slot::kSky3]);
        options.lref = ctx.lref;
    }
    ~StarChart() {
        if (painter.isActive()) painter.end();
    }

    void Draw(double mag, const char* spectral = "", double sinAlt = 1.0, bool marker = false,
              SolarBody body = SolarBody::None) {
        StarPainter p(ctx, options);
        p.Draw(mag, spectral, marker, body, 20, 20, sinAlt);
        painter.end();
    }

    // Pixels that differ from `fill`.
    std::set<std::pair<int, int>> Marked(QRgb fill = qRgb(0, 0, 0)) const {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != (fill & 0xFFFFFF)) out.insert({x - 20, y - 20});
        return out;
    }
    QRgb At(int dx, int dy) const { return image.pixel(20 + dx, 20 + dy); }

    QImage image;
    QPainter painter;
    ViewState view;
    MemorySettingsStore store;
    ColorTable colors;
    RenderContext ctx;
    StarOptions options;
};

TEST(StarPainter, FaintStarsAreSinglePixelsHalvedPerMagnitude) {
    struct Case {
        double mag;
        int intensity;
        int channel;  // white on black at that intensity
    };
    for (const Case c : {Case{2.8, 100, 255}, Case{3.8, 50, 127}, Case{4.8, 25, 63}}) {
        SCOPED_TRACE(c.mag);
        EXPECT_EQ(PatternIntensity(c.mag, false), c.intensity);
        StarChart chart;
        chart.Draw(c.mag);
        const auto marked = chart.Marked();
        ASSERT_EQ(marked.size(), 1u);
        EXPECT_EQ(*marked.begin(), std::make_pair(0, 0));
        EXPECT_EQ(chart.At(0, 0) & 0xFFFFFF, qRgb(c.channel, c.channel, c.channel) & 0xFFFFFF);
    }
}

TEST(StarPainter, BrightStarsDrawTheirPatterns) {
    const std::set<std::pair<int, int>> square = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {0, 0},
                                                  {1, 0},   {-1, 1}, {0, 1},  {1, 1}};
    std::set<std::pair<int, int>> tips = square;
    tips.insert({{0, -2}, {0, 2}, {-2, 0}, {2, 0}});
    const std::set<std::pair<int, int>> plus = {{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    const std::set<std::pair<int, int>> two = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};

    struct Case {
        double mag;
        std::set<std::pair<int, int>> shape;
    };
    for (const Case& c : {Case{-1.5, tips}, Case{0.0, square}, Case{1.0, plus}, Case{2.0, two}}) {
        SCOPED_TRACE(c.mag);
        StarChart chart;
        chart.Draw(c.mag);
        EXPECT_EQ(chart.Marked(), c.shape);
        EXPECT_EQ(static_cast<int>(c.shape.size()), PatternPixelCount(c.mag));
        // Brighter than 2.8: every pixel at full intensity.
        EXPECT_EQ(chart.At(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    }
}

TEST(StarPainter, PatternBoundariesAndBrightnessUp) {
    EXPECT_EQ(PatternPixelCount(-0.31), 13);
    EXPECT_EQ(PatternPixelCount(-0.3), 9);
    EXPECT_EQ(PatternPixelCount(0.4), 5);
    EXPECT_EQ(PatternPixelCount(1.4), 4);
    EXPECT_EQ(PatternPixelCount(2.8), 1);
    // Raised by a fifth, never above 100.
    EXPECT_EQ(PatternIntensity(3.8, true), 60);
    EXPECT_EQ(PatternIntensity(2.0, true), 100);
    // A very faint star fades to nothing and leaves no mark.
    EXPECT_EQ(PatternIntensity(12.0, false), 0);
    StarChart chart;
    chart.Draw(12.0);
    EXPECT_TRUE(chart.Marked().empty());
}

TEST(StarPainter, ShiftMovesTheDrawnMagnitude) {
    StarChart chart;
    chart.options.shiftTenths = 10;  // one magnitude fainter
    chart.Draw(2.8);
    EXPECT_EQ(chart.At(0, 0) & 0xFFFFFF, qRgb(127, 127, 127) & 0xFFFFFF);
}

TEST(BlendPixel, FadesWithTheBackgroundAndIgnoresOutside) {
    const ColorTable colors;
    const double lref = Luminance(colors[slot::kSky3]);
    QImage image(4, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(1, 0, ToQRgb(colors[slot::kSky3]));  // as bright as slot 9
    image.setPixel(2, 0, qRgb(0, 0, 48));               // half as bright
    image.setPixel(3, 0, qRgb(200, 200, 200));          // brighter than slot 9
    for (int x = 0; x < 4; ++x) BlendPixel(image, x, 0, MakeColorRef(255, 0, 0), 100, lref);
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(1, 0), ToQRgb(colors[slot::kSky3]));
    // k = int((lref - L) / lref x 100) = 50: each channel halfway (integer arithmetic).
    EXPECT_EQ(image.pixel(2, 0) & 0xFFFFFF, qRgb(127, 0, 24) & 0xFFFFFF);
    EXPECT_EQ(image.pixel(3, 0) & 0xFFFFFF, qRgb(200, 200, 200) & 0xFFFFFFu);
    // Outside the image: nothing happens.
    BlendPixel(image, -1, 0, kWhite, 100, lref);
    BlendPixel(image, 4, 0, kWhite, 100, lref);
    BlendPixel(image, 0, 1, kWhite, 100, lref);
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
}

TEST(StarPainter, NothingShowsOnASkyAsBrightAsSlotNine) {
    const ColorTable colors;
    StarChart chart(ToQRgb(colors[slot::kSky3]));
    chart.Draw(-1.5, "M2");
    EXPECT_TRUE(chart.Marked(ToQRgb(colors[slot::kSky3])).empty());
}

TEST(StarPainter, LightPollutionAndAltitudeDimming) {
    StarOptions o;
    o.lightPollution = 20;
    // T = 10/22 + 0.5 = 0.9545...; at s = 0.5 the star loses (T - s)/T x 8 = 3.81 magnitudes.
    EXPECT_NEAR(DrawnMagnitude(0.0, 0.5, o), 3.81, 0.005);
    EXPECT_DOUBLE_EQ(DrawnMagnitude(1.0, 0.96, o), 1.0);
    o.lightPollution = 5;
    EXPECT_NEAR(DrawnMagnitude(0.0, 0.1, o), 2.0, 1e-12);
    EXPECT_DOUBLE_EQ(DrawnMagnitude(0.0, 0.5, o), 0.0);
    EXPECT_DOUBLE_EQ(DrawnMagnitude(0.0, 0.9, o), 0.0);
    o.lightPollution = 0;
    EXPECT_DOUBLE_EQ(DrawnMagnitude(2.0, 0.0, o), 2.0);
    o.lightPollution = 10;  // the altitude rule still, up to 10
    EXPECT_NEAR(DrawnMagnitude(0.0, 0.0, o), 5.0, 1e-12);
}

TEST(StarPainter, DaylightAndPolarView) {
    StarOptions o;
    o.daylightDisplay = true;
    bool dimmed = false;
    o.daylight = Daylight::Twilight;
    EXPECT_DOUBLE_EQ(DrawnMagnitude(1.0, 1.0, o, &dimmed), 2.0);
    EXPECT_TRUE(dimmed);
    o.daylight = Daylight::Day;
    EXPECT_DOUBLE_EQ(DrawnMagnitude(1.0, 1.0, o, &dimmed), 3.5);
    EXPECT_DOUBLE_EQ(DrawnMagnitude(-6.0, 1.0, o, &dimmed), -6.0);  // the Sun itself
    EXPECT_FALSE(dimmed);
    o.daylight = Daylight::Night;
    EXPECT_DOUBLE_EQ(DrawnMagnitude(1.0, 1.0, o, &dimmed), 1.0);
    EXPECT_FALSE(dimmed);
    o.daylightDisplay = false;
    o.polarView = true;
    EXPECT_DOUBLE_EQ(DrawnMagnitude(6.0, 1.0, o), 1.0);
    // Daylight makes stars white.
    EXPECT_EQ(StarColor(1.0, "M2", true, StarOptions{}), kWhite);
}

TEST(StarColor, SpectralClasses) {
    StarOptions o;
    EXPECT_EQ(StarColor(1.0, "M1.5Iab", false, o), MakeColorRef(255, 91, 91));
    EXPECT_EQ(StarColor(1.0, "G2V", false, o), MakeColorRef(255, 255, 78));
    EXPECT_EQ(StarColor(1.0, "K0V", false, o), MakeColorRef(255, 127, 78));
    EXPECT_EQ(StarColor(1.0, "F5IV", false, o), MakeColorRef(255, 255, 137));
    // Giants, faint stars and unknown types stay white.
    EXPECT_EQ(StarColor(1.0, "K5III", false, o), kWhite);
    EXPECT_EQ(StarColor(3.0, "M2", false, o), kWhite);
    EXPECT_EQ(StarColor(1.0, "", false, o), kWhite);
    EXPECT_EQ(StarColor(1.0, "A0V", false, o), kWhite);
    // Early types turn blue only with blue on.
    EXPECT_EQ(StarColor(1.0, "B8", false, o), kWhite);
    o.blueOn = true;
    EXPECT_EQ(StarColor(1.0, "B8", false, o), MakeColorRef(51, 51, 255));
    // A composite spectrum applies both letters: M then B (blue on).
    EXPECT_EQ(StarColor(1.0, "M1+B2", false, o), MakeColorRef(107, 38, 191));
    // "T" takes the Moon colour (slot 25).
    o.moonColor = MakeColorRef(10, 20, 30);
    EXPECT_EQ(StarColor(1.0, "T", false, o), MakeColorRef(10, 20, 30));
    // Red and no-colour modes.
    o.modes.noColor = true;
    EXPECT_EQ(StarColor(1.0, "M2", false, o), kWhite);
    o.modes.red = true;
    EXPECT_EQ(StarColor(1.0, "M2", false, o), MakeColorRef(255, 0, 0));
}

TEST(StarPainter, ColouredStarReachesThePixels) {
    StarChart chart;
    chart.Draw(1.0, "M2");
    EXPECT_EQ(chart.At(0, 0) & 0xFFFFFF, qRgb(255, 91, 91) & 0xFFFFFF);
}

TEST(StarPainter, SizeUpDrawsDiscsAndDaylightCancelsIt) {
    StarChart chart;
    chart.options.sizeUp = true;
    chart.Draw(-1.5);
    const auto disc = chart.Marked();
    EXPECT_GT(disc.size(), 13u);
    for (const auto& [dx, dy] : disc) {
        EXPECT_LE(std::abs(dx), 2);
        EXPECT_LE(std::abs(dy), 2);
        // Round and centred on the point: symmetric both ways, corners left out.
        EXPECT_TRUE(disc.count({-dx, dy}) && disc.count({dx, -dy})) << dx << "," << dy;
        EXPECT_FALSE(std::abs(dx) == 2 && std::abs(dy) == 2) << dx << "," << dy;
    }

    StarChart day;
    day.options.sizeUp = true;
    day.options.daylightDisplay = true;
    day.options.daylight = Daylight::Twilight;
    day.Draw(-1.5);  // drawn at -0.5: the pattern of 13 pixels, not a disc
    EXPECT_EQ(day.Marked().size(), 13u);
}

TEST(StarPainter, SunDiscIsOpaqueEvenOnBrightSky) {
    StarChart chart(qRgb(192, 192, 255));
    chart.Draw(-6.0, "", 1.0, true, SolarBody::Sun);
    EXPECT_EQ(chart.At(0, 0) & 0xFFFFFF, qRgb(255, 214, 214) & 0xFFFFFF);
    // Corners of the square outside the disc keep the sky.
    EXPECT_EQ(chart.At(-5, -5) & 0xFFFFFF, qRgb(192, 192, 255) & 0xFFFFFF);
    // A planet disc on the same sky fades away completely.
    StarChart planet(qRgb(192, 192, 255));
    planet.Draw(-4.0, "", 1.0, true, SolarBody::Planet);
    EXPECT_TRUE(planet.Marked(qRgb(192, 192, 255)).empty());
}

TEST(StarPainter, MonochromeModesDrawDiscsOrSinglePixels) {
    StarChart bw(qRgb(255, 255, 255));
    bw.options.modes.blackOnWhite = true;
    bw.Draw(0.0);  // D = 3 - 0 = 3: a disc
    EXPECT_GT(bw.Marked(qRgb(255, 255, 255)).size(), 1u);
    EXPECT_EQ(bw.At(0, 0) & 0xFFFFFF, 0u);

    StarChart faint(qRgb(255, 255, 255));
    faint.options.modes.blackOnWhite = true;
    faint.Draw(4.0);  // D = -1: one black pixel
    EXPECT_EQ(faint.Marked(qRgb(255, 255, 255)).size(), 1u);
    EXPECT_EQ(faint.At(0, 0) & 0xFFFFFF, 0u);

    StarChart wob;
    wob.options.modes.whiteOnBlack = true;
    wob.Draw(4.5);
    EXPECT_EQ(wob.At(0, 0) & 0xFFFFFF, 0xFFFFFFu);
}

// A whole planisphere pass with size-up and constellation lines: a bright star on a
// line vertex (near the pole) against the same pass without it.
int PixelsTheStarChanges(const std::vector<std::pair<int, ColorRef>>& colorSlots) {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "view_tests";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
    constexpr double kDeg = kPi / 180.0;
    const auto dir = std::filesystem::temp_directory_path() /
                     ("tavik-sizeup-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    LineFileSlot lines{"And", {}};
    lines.points.Add(0.0, 89.0 * kDeg, 1);
    lines.points.Add(90.0 * kDeg, 85.0 * kDeg, 2);
    lines.points.Add(180.0 * kDeg, 85.0 * kDeg, 1);
    lines.points.Add(0.0, 89.0 * kDeg, 2);
    const std::string bytes = LineFileBytes({lines});
    std::ofstream(dir / "tavikline.dat", std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));

    StarRecord anchor;
    anchor.kind = kKindConstellationAnchor;
    anchor.SetConstellation("And");
    anchor.dec = 89.0 * kDeg;
    StarRecord star = anchor;
    star.kind = kKindStar;
    star.mag = 0.1;

    MemorySettingsStore store;
    store.WriteProfileInt("SEIZA", "LINE", 1);
    store.WriteProfileInt("SETTING", "BRIGHT", 1);
    ColorTable colors;
    colors.Load(store);
    for (const auto& [index, c] : colorSlots) colors.Set(index, c);
    ViewState view;
    LoadViewState(view, store);
    view.viewMode = ViewMode::Planisphere;
    auto render = [&](bool withStar) {
        StarCatalog catalog;
        if (withStar) catalog.Append(star);
        catalog.Append(anchor);
        catalog.SetLoaded(true);
        RenderScene scene;
        scene.view = &view;
        scene.settings = &store;
        scene.colors = &colors;
        scene.catalog = &catalog;
        scene.localTime = DateTime(2026, 1, 15, 21, 0, 0);
        scene.dataDirectory = dir.string() + "/";
        QImage image = MakeSkyImage(240, 240, colors[slot::kBackground]);
        SkyRenderer().RenderSky(image, scene);
        return image;
    };
    const QImage with = render(true), without = render(false);
    std::filesystem::remove_all(dir);
    int changed = 0;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x) changed += with.pixel(x, y) != without.pixel(x, y);
    return changed;
}

TEST(StarPainter, SizeUpDiscShowsOverALineButFadesOnABrightSky) {
    EXPECT_GE(PixelsTheStarChanges({}), 13);  // its disc, line pixels included
    const ColorRef white = MakeColorRef(255, 255, 255);
    EXPECT_EQ(PixelsTheStarChanges({{slot::kSky1, white}, {slot::kSky3, white}}), 0);
}

// The field's own path for one-pixel stars against Draw, star by star: a
// crowded field (stars sharing pixels, bright and tinted ones, stars off the
// edge, a magnitude that is not a number) handed over in batches over a sky
// of every shade, under each option that changes what a star becomes; the
// first, last and named stars kept in drawing order; and the magnitudes it
// says draw nothing.
TEST(StarPainter, AFieldDrawnInBatchesMatchesItsStarsDrawnOneByOne) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::vector<PlacedStar> stars(1500);
    const StarTint tints[] = {{}, {'K', 0}, {'B', 'F'}, {'T', 0}};
    for (std::size_t i = 0; i < stars.size(); ++i) {
        PlacedStar& s = stars[i];
        s.index = i;
        s.x = static_cast<int>(uniform(random) * 50) - 5;
        s.y = static_cast<int>(uniform(random) * 50) - 5;
        // Runs of one magnitude, as a catalogue gives them, at different
        // altitudes; one run in ten of bright stars, whose patterns would
        // otherwise cover every pixel.
        const double m = i % 30 == 0 ? -1.5 + 4.3 * uniform(random) : 2.8 + 6.7 * uniform(random);
        s.magnitude = i % 3 && i > 0 ? stars[i - 1].magnitude : m;
        s.sinAltitude = -0.2 + 1.2 * uniform(random);
        s.tint = tints[i % 4];
        s.named = i % 97 == 0;
    }
    stars[100].magnitude = std::nan("");

    auto drawOptions = [](StarOptions& o, int variant) {
        switch (variant) {
        case 1: o.lightPollution = 15; break;
        case 2: o.lightPollution = 5; o.brightnessUp = true; break;
        case 3: o.sizeUp = true; o.brightnessUp = true; o.blueOn = true; break;
        case 4: o.sizeUp = true; o.daylightDisplay = true; o.daylight = Daylight::Twilight; break;
        case 5: o.polarView = true; break;
        case 6: o.modes.red = true; o.shiftTenths = -20; break;
        case 7: o.modes.whiteOnBlack = true; break;
        default: break;
        }
    };
    int silent = 0;  // magnitudes that draw nothing
    for (int variant = 0; variant < 8; ++variant) {
        SCOPED_TRACE(variant);
        StarChart field, single;
        for (StarChart* chart : {&field, &single}) {
            // Dark shades, which a faint star still blends into, and on the
            // right every shade.
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    chart->image.setPixel(x, y, x < 30 ? qRgb(x % 8, y % 8, (x * y) % 16)
                                                       : qRgb(x * 6, y * 6, (x * y) % 256));
            drawOptions(chart->options, variant);
        }
        // Handed over in batches of every size, as a pass does.
        StarPainter fieldPainter(field.ctx, field.options);
        FieldDrawer drawer(fieldPainter, 1000);
        for (std::size_t first = 0, n = 1; first < stars.size(); first += n, n = n * 3 % 700 + 1)
            drawer.Take(&stars[first], std::min(n, stars.size() - first));
        StarPainter painter(single.ctx, single.options);
        std::vector<std::uint32_t> expectedNamed, named, first;
        for (std::size_t i = 0; i < stars.size(); ++i) {
            const PlacedStar& s = stars[i];
            painter.Draw(s.magnitude, s.tint, false, SolarBody::None, s.x, s.y, s.sinAltitude);
            if (s.named) expectedNamed.push_back(s.index);
        }
        for (const DrawnStar& s : drawer.Named()) named.push_back(s.index);
        for (const DrawnStar& s : drawer.First()) first.push_back(s.index);
        ASSERT_EQ(drawer.Count(), stars.size());
        ASSERT_EQ(first.size(), 1000u);
        EXPECT_EQ(first.back(), 999u);
        EXPECT_EQ(drawer.Last().index, stars.back().index);
        field.painter.end();
        single.painter.end();
        EXPECT_TRUE(field.image == single.image);
        EXPECT_EQ(named, expectedNamed);
        // With a full hit list only the last star counts.
        FieldDrawer none(fieldPainter, 0);
        none.Take(&stars[10], 5);
        EXPECT_TRUE(none.First().empty());
        EXPECT_EQ(none.Last().index, 14u);

        // A magnitude the drawer draws nothing of leaves every pixel as it
        // was, at any altitude, on the black and the dark shades too.
        StarChart quiet;
        drawOptions(quiet.options, variant);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) quiet.image.setPixel(x, y, qRgb(x % 8, y % 8, (x * y) % 16));
        const QImage sky = quiet.image.copy();
        StarPainter quietPainter(quiet.ctx, quiet.options);
        const FieldDrawer asked(quietPainter, 0);
        bool quietSeen = false;  // and so does every fainter one
        for (double m = 8.0; m < 16.0; m += 0.05) {
            EXPECT_FALSE(quietSeen && !asked.DrawsNothing(m)) << m;
            if (!asked.DrawsNothing(m)) continue;
            quietSeen = true;
            ++silent;
            for (int i = 0; i < 12; ++i)  // odd i on a black pixel
                quietPainter.Draw(m, tints[i % 4], false, SolarBody::None, i % 5 * 8, i % 2 ? i % 4 * 8 : i * 3 + 1,
                                  -0.2 + 0.1 * i);
        }
        quiet.painter.end();
        EXPECT_TRUE(quiet.image == sky);
        if (variant == 7) {
            EXPECT_FALSE(asked.DrawsNothing(99.0));  // every star through Draw
        }
    }
    EXPECT_GT(silent, 200);
}

// A pass with more stars than the hit list holds: the first stars drawn fill
// it in drawing order (the last record first), as they did star by star.
TEST(SkyRenderer, ADenseFieldFillsTheHitListInDrawingOrder) {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "view_tests";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
    constexpr std::size_t kStars = HitList::kCapacity + 2000;
    StarCatalog catalog;
    std::mt19937 random(3);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    for (std::size_t i = 0; i < kStars; ++i) {
        StarRecord star;  // circumpolar: every one is drawn
        star.ra = uniform(random) * 2.0 * kPi;
        star.dec = (70.0 + 19.0 * uniform(random)) * kPi / 180.0;
        // Three in four too faint to light a pixel: the hit list still
        // takes them.
        star.mag = i % 4 == 2 ? 3.0 + 2.0 * uniform(random) : 10.0 + 1.4 * uniform(random);
        star.SetConstellation("UMi");
        catalog.Append(star);
    }
    catalog.SetLoaded(true);
    MemorySettingsStore store;
    store.WriteProfileInt("SETTING", "MAGNIT", 7);
    ColorTable colors;
    colors.Load(store);
    ViewState view;
    LoadViewState(view, store);
    view.viewMode = ViewMode::Planisphere;
    RenderScene scene;
    scene.view = &view;
    scene.settings = &store;
    scene.colors = &colors;
    scene.catalog = &catalog;
    scene.localTime = DateTime(2026, 1, 15, 21, 0, 0);
    QImage image = MakeSkyImage(480, 480, colors[slot::kBackground]);
    SkyRenderer renderer;
    renderer.RenderSky(image, scene);

    std::vector<const StarRecord*> records;
    for (const StarRecord& r : catalog.Records()) records.push_back(&r);
    const std::vector<HitEntry>& entries = renderer.Hits()->Entries();
    ASSERT_EQ(entries.size(), HitList::kCapacity);
    for (std::size_t i = 0; i + 1 < HitList::kCapacity; ++i) ASSERT_EQ(entries[i].record, records[kStars - 1 - i]) << i;
}

}  // namespace
}  // namespace tavik
