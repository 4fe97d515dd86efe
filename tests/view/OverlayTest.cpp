#include <gtest/gtest.h>

#include <algorithm>

#include <map>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "astro/Angles.h"
#include "astro/Transforms.h"
#include "catalog/LineFile.h"
#include "catalog/OverlayFile.h"
#include "catalog/StarRecord.h"
#include "settings/SettingsStore.h"
#include "view/Color.h"
#include "view/ConstellationToggle.h"
#include "view/Fonts.h"
#include "view/Overlay.h"
#include "view/DeepSkyOutline.h"
#include "view/HitList.h"
#include "view/HorizonSearch.h"
#include "view/MagnifierPanelModel.h"
#include "view/Projection.h"
#include "view/RenderContext.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

constexpr double kDeg = kPi / 180.0;

// Fonts need a GUI application (offscreen platform in the tests).
QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "view_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = QGuiApplication::instance()
                                      ? static_cast<QGuiApplication*>(QGuiApplication::instance())
                                      : new QGuiApplication(argc, argv);
    return *app;
}

// One small render pass worth of context: a black chart of 240 x 240 at
// latitude 35 degrees with the sidereal time 0 (the zenith at RA 0, dec 35).
struct Scene {
    explicit Scene(ViewMode mode, int w = 240, int h = 240) : image(w, h, QImage::Format_RGB32) {
        App();
        image.fill(qRgb(0, 0, 0));
        colors.Set(slot::kBackground, MakeColorRef(0, 0, 0));
        view.viewMode = mode;
        view.latitude = 35.0 * kDeg;
        view.localSiderealTime = 0.0;
        UpdateChartGeometry(view, w, h);
        RefreshViewState(view);
        ctx.image = &image;
        ctx.clientWidth = w;
        ctx.clientHeight = h;
        ctx.view = &view;
        ctx.settings = &store;
        ctx.colors = &colors;
        ctx.latitude = view.latitude;
        ctx.sinLatitude = std::sin(view.latitude);
        ctx.cosLatitude = std::cos(view.latitude);
        ctx.font = ViewFont(75);
        ctx.textHeight = QFontMetrics(ctx.font).height();
        ctx.catalogue = &records;
    }
    void Begin() {
        objects = CatalogueObjects(records);
        ctx.catalogueObjects = &objects;
        painter = std::make_unique<QPainter>(&image);
        ctx.painter = painter.get();
    }
    void End() {
        painter.reset();
        ctx.painter = nullptr;
    }
    int Count(QRgb color) const {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF);
        return n;
    }
    int CountNonBlack() const { return image.width() * image.height() - Count(qRgb(0, 0, 0)); }

    QImage image;
    ViewState view;
    MemorySettingsStore store;
    ColorTable colors;
    std::vector<const StarRecord*> records;
    std::vector<std::size_t> objects;
    RenderContext ctx;
    std::unique_ptr<QPainter> painter;
};

QRgb Mixed80(ColorRef c) {
    return qRgb(RedOf(c) * 80 / 100, GreenOf(c) * 80 / 100, BlueOf(c) * 80 / 100);
}

TEST(Overlay, StatusTextFormats) {
    EXPECT_EQ(LatitudeText(-35, -20), "南緯35度20分");
    EXPECT_EQ(LatitudeText(0, -20), "南緯0度20分");
    EXPECT_EQ(LatitudeText(35, 34), "北緯35度34分");
    EXPECT_EQ(LongitudeText(-122, -5), "西経122度5分");
    EXPECT_EQ(LongitudeText(139, 22), "東経139度22分");
    EXPECT_STREQ(CompassName(0), "南");
    EXPECT_STREQ(CompassName(4), "西");
    EXPECT_STREQ(CompassName(8), "北");
    EXPECT_STREQ(CompassName(15), "南南東");
}

TEST(Overlay, EquatorialGridIsBlendedAtEightyPercent) {
    Scene s(ViewMode::Zenith);
    s.store.WriteProfileInt("SCREEN", "SEKIDO_S", 1);
    OverlayState state;
    DrawGrids(s.ctx, state);
    const QRgb line = Mixed80(s.colors[slot::kEquatorial]);
    EXPECT_GT(s.Count(line), 200);  // lines and labels, all at 80 per cent
    // Nothing but black and the blended colour: the key colour never shows.
    EXPECT_EQ(s.Count(line) + s.Count(qRgb(0, 0, 0)), 240 * 240);
    // The layer is all key again for the next pass.
    for (int y = 0; y < state.gridLayer.height(); ++y)
        for (int x = 0; x < state.gridLayer.width(); ++x)
            ASSERT_EQ(state.gridLayer.pixel(x, y), kGridKey);
    // A second pass draws the same picture.
    const QImage first = s.image.copy();
    s.image.fill(qRgb(0, 0, 0));
    DrawGrids(s.ctx, state);
    EXPECT_EQ(first, s.image);
}

TEST(Overlay, GridsOffDrawNothingAndRedModeMapsTheColour) {
    Scene s(ViewMode::Direction);
    OverlayState state;
    DrawGrids(s.ctx, state);
    EXPECT_EQ(s.CountNonBlack(), 0);
    s.store.WriteProfileInt("SCREEN", "GRAND_S", 1);
    s.ctx.modes.red = true;
    DrawGrids(s.ctx, state);
    EXPECT_GT(s.Count(qRgb(192 * 80 / 100, 0, 0)), 100);  // (192,192,192) -> red 192
    EXPECT_EQ(s.Count(qRgb(192 * 80 / 100, 0, 0)) + s.Count(qRgb(0, 0, 0)), 240 * 240);
}

TEST(Overlay, GroundScaleCirclesCrossTheDirectionView) {
    Scene s(ViewMode::Direction, 240, 240);
    s.view.wideTenths = 10;
    RefreshViewState(s.view);
    s.store.WriteProfileInt("SCREEN", "GRAND_S", 1);
    OverlayState state;
    DrawGrids(s.ctx, state);
    // Facing South, the altitude circles 10..80 degrees cross a column left of the centre
    // at separate heights (about 2.67 pixels per degree); the labels are at the
    // points of the scale lines.
    int runs = 0;
    bool previous = false;
    for (int y = 0; y < 240; ++y) {
        const bool lit = (s.image.pixel(108, y) & 0xFFFFFF) != 0;
        if (lit && !previous) ++runs;
        previous = lit;
    }
    EXPECT_GE(runs, 6);
    const ProjectedPoint label = ProjectSky(s.view, kPi, 20.0 * kDeg, false);  // "0ﾟ 20ﾟ"
    int ink = 0;
    for (int y = label.y; y < label.y + s.ctx.textHeight; ++y)
        for (int x = label.x + 2; x < label.x + 30; ++x) ink += (s.image.pixel(x, y) & 0xFFFFFF) != 0;
    EXPECT_GT(ink, 10);
}

TEST(Overlay, CompassLabelsInPlanisphereAndDirectionViews) {
    Scene s(ViewMode::Planisphere);
    s.Begin();
    DrawCompassLabels(s.ctx);
    s.End();
    const QRgb green = ToQRgb(s.colors[slot::kCompass]);
    // "南" near the bottom centre, "北" near the top centre.
    const ProjectedPoint south = ProjectSky(s.view, kPi, 5.0 * kDeg, false);
    int near = 0;
    for (int y = std::max(0, south.y - 12); y < std::min(240, south.y + 12); ++y)
        for (int x = south.x - 12; x < south.x + 12; ++x) near += (s.image.pixel(x, y) & 0xFFFFFF) != 0;
    EXPECT_GT(near, 10);
    EXPECT_GT(s.CountNonBlack(), 40);
    EXPECT_GT(s.Count(green), 0);

    // Direction view, 240 x 320: names on the strip below the chart square.
    Scene d(ViewMode::Direction, 240, 320);
    d.image.fill(qRgb(9, 9, 9));  // the strip is cleared with the background
    d.Begin();
    DrawCompassLabels(d.ctx);
    DrawBandLabel(d.ctx);  // Whole band: no label
    d.End();
    int strip = 0, strayAbove = 0;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x) {
            const QRgb p = d.image.pixel(x, y) & 0xFFFFFF;
            if (y >= 240 && p != 0x000000 && p != 0x090909) ++strip;
            if (y < 240 && p != 0x090909) ++strayAbove;
        }
    EXPECT_GT(strip, 20);
    EXPECT_EQ(strayAbove, 0);
    EXPECT_EQ(d.image.pixel(5, 300) & 0xFFFFFF, 0x000000u);  // cleared strip
}

TEST(Overlay, StatusTextsLeaveOutTheSiteWhenHidden) {
    Scene s(ViewMode::Planisphere, 240, 320);
    s.ctx.localTime = DateTime(2004, 3, 10, 21, 5, 0);
    s.Begin();
    DrawStatusTexts(s.ctx);
    s.End();
    auto leftInk = [](const QImage& img) {
        int n = 0;
        for (int y = 200; y < 320; ++y)
            for (int x = 0; x < 60; ++x) n += (img.pixel(x, y) & 0xFFFFFF) != 0;
        return n;
    };
    EXPECT_GT(leftInk(s.image), 30);
    Scene hidden(ViewMode::Planisphere, 240, 320);
    hidden.store.WriteProfileInt("OPTION2", "NO_KANSOKU", 1);
    hidden.Begin();
    DrawStatusTexts(hidden.ctx);
    hidden.End();
    EXPECT_EQ(leftInk(hidden.image), 0);
    EXPECT_GT(hidden.CountNonBlack(), 30);  // date and time stay
}

TEST(Overlay, ShowNoticeIsReadableInEveryColourMode) {
    App();
    ColorTable colors;
    ColorModes modes;
    QImage window(240, 240, QImage::Format_RGB32);
    const QFont font = ViewFont(75);
    // The text's and the box's colours on the notice's line, most frequent first.
    auto inks = [&](const char* text) {
        window.fill(qRgb(0, 0, 0));
        ShowNotice(window, 240, font, QString::fromUtf8(text), colors, modes);
        std::map<QRgb, int> counts;
        const int top = NoticeTop(240, QFontMetrics(font, &window).height());
        for (int y = top; y < top + 12; ++y)
            for (int x = 0; x < 10; ++x) ++counts[window.pixel(x, y) & 0xFFFFFF];
        std::vector<std::pair<int, QRgb>> byCount;
        for (auto [c, n] : counts) byCount.push_back({n, c});
        std::sort(byCount.rbegin(), byCount.rend());
        return byCount;
    };
    // Slot 5 (255, 0, 0) on its inverse (0, 255, 255).
    auto normal = inks("天頂に切替");
    EXPECT_EQ(normal[0].second, 0x00FFFFu);
    // Red mode: red text on a dark box, not red on red.
    modes.red = true;
    auto red = inks("天頂に切替");
    ASSERT_GE(red.size(), 2u);
    EXPECT_LT(qRed(red[0].second), 80) << std::hex << red[0].second;
    EXPECT_GT(qRed(red[1].second), 150) << std::hex << red[1].second;
    // Black-on-white: black text on white.
    modes.red = false;
    modes.blackOnWhite = true;
    EXPECT_EQ(inks("白黒")[0].second, 0xFFFFFFu);
}

// The compass names, the band label, the notice and the status lines each keep
// rows of their own at the bottom of a window whose chart fills its height, in
// every direction-type view and band.
TEST(Overlay, BottomTextsKeepRowsOfTheirOwn) {
    struct Case {
        ViewMode mode;
        HeightBand band;
        int turn;
    };
    for (const Case c : {Case{ViewMode::Direction, HeightBand::Middle, 21}, Case{ViewMode::Direction, HeightBand::Low, 0},
                         Case{ViewMode::Direction, HeightBand::High, 45}, Case{ViewMode::Magnified, HeightBand::Whole, 0},
                         Case{ViewMode::Direction, HeightBand::Whole, 80}}) {
        SCOPED_TRACE(static_cast<int>(c.mode) * 100 + static_cast<int>(c.band));
        // Inked rows of one drawing, on a background of (9, 9, 9).
        auto rows = [](const QImage& img) {
            int first = img.height(), last = -1;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if ((img.pixel(x, y) & 0xFFFFFF) != 0x090909) {
                        first = std::min(first, y);
                        last = std::max(last, y);
                    }
            return std::pair{first, last};
        };
        auto scene = [&] {
            auto s = std::make_unique<Scene>(ViewMode::Direction, 720, 700);
            s->view.viewMode = c.mode;
            s->view.heightBand = c.band;
            s->view.facing = Facing::West;
            s->view.turnDegrees = c.turn;
            UpdateChartGeometry(s->view, 720, 700);
            RefreshViewState(s->view);
            s->colors.Set(slot::kBackground, MakeColorRef(9, 9, 9));
            s->image.fill(qRgb(9, 9, 9));
            s->ctx.siteName = QString::fromUtf8("中野高原観測所");
            s->ctx.latitudeDegrees = 36;
            s->ctx.latitudeMinutes = 36;
            s->Begin();
            return s;
        };
        auto labels = scene();
        DrawCompassLabels(labels->ctx);
        DrawBandLabel(labels->ctx);
        labels->End();
        auto status = scene();
        DrawStatusTexts(status->ctx);
        status->End();
        QImage notice(720, 700, QImage::Format_RGB32);
        notice.fill(qRgb(9, 9, 9));
        ShowNotice(notice, 700, status->ctx.font, QString::fromUtf8("トレース"), status->colors, ColorModes{});
        const auto [labelTop, labelBottom] = rows(labels->image);
        const auto [noticeTop, noticeBottom] = rows(notice);
        const auto [statusTop, statusBottom] = rows(status->image);
        ASSERT_LE(labelTop, labelBottom);
        EXPECT_LT(labelBottom, noticeTop);
        EXPECT_LT(noticeBottom, statusTop);
        EXPECT_GT(statusBottom, 690);
    }
}

TEST(Overlay, DeepSkySymbols) {
    App();
    auto draw = [](int kind) {
        QImage img(20, 20, QImage::Format_RGB32);
        img.fill(qRgb(0, 0, 0));
        QPainter p(&img);
        DrawDeepSkySymbol(p, kind, 10, 10, QColor(0, 255, 0));
        p.end();
        std::vector<std::pair<int, int>> lit;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (img.pixel(x, y) & 0xFFFFFF) lit.push_back({x - 10, y - 10});
        return lit;
    };
    // Open cluster: exactly the nine pixels.
    auto open = draw(kKindOpenCluster);
    EXPECT_EQ(open.size(), 9u);
    for (auto [dx, dy] : open) {
        EXPECT_EQ(dx % 2, 0);
        EXPECT_EQ(dy % 2, 0);
    }
    // Every symbol stays inside the box the layout reserves for it.
    for (int kind = kKindGlobularCluster; kind <= kKindGalaxy; ++kind) {
        auto lit = draw(kind);
        EXPECT_FALSE(lit.empty()) << kind;
        for (auto [dx, dy] : lit) {
            EXPECT_GE(dx, -3) << kind;
            EXPECT_LE(dx, 3) << kind;
            EXPECT_GE(dy, -3) << kind;
            EXPECT_LE(dy, 3) << kind;
        }
    }
    // Supernova remnant is filled: its centre is lit; the galaxy is flat.
    auto snr = draw(kKindSupernovaRemnant);
    EXPECT_NE(std::find(snr.begin(), snr.end(), std::make_pair(0, 0)), snr.end());
    for (auto [dx, dy] : draw(kKindGalaxy)) {
        EXPECT_GE(dy, -1);
        EXPECT_LE(dy, 1);
    }
}

TEST(Overlay, PolarReticleAndPoleMark) {
    Scene s(ViewMode::PolarAlignment);
    s.Begin();
    DrawPolarReticle(s.ctx);
    s.End();
    // The cross through the centre and the rings are there.
    EXPECT_NE(s.image.pixel(120, 5) & 0xFFFFFF, 0u);
    EXPECT_NE(s.image.pixel(5, 120) & 0xFFFFFF, 0u);
    EXPECT_NE(s.image.pixel(120 + 120 - 30, 120) & 0xFFFFFF, 0u);  // ring at inset 30 on the axis

    Scene z(ViewMode::Zenith);
    z.Begin();
    DrawPoleMark(z.ctx);  // switch off
    z.End();
    EXPECT_EQ(z.CountNonBlack(), 0);
    z.store.WriteProfileInt("SETTING", "SHOW_POLER", 1);
    z.view.viewMode = ViewMode::Planisphere;
    z.Begin();
    DrawPoleMark(z.ctx);
    z.End();
    const ProjectedPoint pole = ProjectSky(z.view, 0.0, z.view.latitude, false);
    EXPECT_EQ(z.image.pixel(pole.x, pole.y) & 0xFFFFFF, ToQRgb(z.colors[slot::kPoleMark]) & 0xFFFFFF);
}

// ---- constellation files ---------------------------------------------------

class ConstellationFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("tavik-viewgeom-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir_);
        // "And" as a small triangle around the zenith (RA 0, dec 35), "Ori" elsewhere.
        LineFileSlot andromeda{"And", {}};
        andromeda.points.Add(350.0 * kDeg, 30.0 * kDeg, 1);
        andromeda.points.Add(10.0 * kDeg, 30.0 * kDeg, 1);
        andromeda.points.Add(0.0, 42.0 * kDeg, 2);
        andromeda.points.Add(0.0, 20.0 * kDeg, 1);
        andromeda.points.Add(0.0, 25.0 * kDeg, 2);
        LineFileSlot orion{"Ori", {}};
        orion.points.Add(5.5 * 15 * kDeg, 0.0, 1);
        orion.points.Add(5.6 * 15 * kDeg, 5.0 * kDeg, 2);
        bytes_ = LineFileBytes({andromeda, orion});
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path Write(const std::string& bytes, const char* name = "tavikline.dat") {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    static void PutInt16(std::string& b, std::size_t at, std::int16_t v) { std::memcpy(&b[at], &v, 2); }
    static void PutInt32(std::string& b, std::size_t at, std::int32_t v) { std::memcpy(&b[at], &v, 4); }

    int DrawAndromeda(const std::filesystem::path& path, bool memory) {
        Scene s(ViewMode::Zenith);
        LineFileReader reader(path, memory);
        ConstellationPolyline buffer;
        s.Begin();
        DrawConstellationPolyline(s.ctx, reader, buffer, "And", QColor(0, 255, 255));
        s.End();
        return s.CountNonBlack();
    }

    std::filesystem::path dir_;
    std::string bytes_;
};

TEST_F(ConstellationFileTest, SoundFileDrawsInBothModes) {
    const auto path = Write(bytes_);
    const int memory = DrawAndromeda(path, true);
    const int perDraw = DrawAndromeda(path, false);
    EXPECT_GT(memory, 40);
    EXPECT_EQ(memory, perDraw);
}

TEST_F(ConstellationFileTest, UnsoundEntriesAreSkippedInBothModes) {
    // A point count above 400.
    std::string tooMany = bytes_;
    PutInt16(tooMany, 600, 401);
    // Right ascensions said to lie past the end of the file.
    std::string pastEnd = bytes_;
    PutInt32(pastEnd, 1500, static_cast<std::int32_t>(bytes_.size() - 8));
    // A negative offset.
    std::string negative = bytes_;
    PutInt32(negative, 2100, -16);
    // A first slot that is not "And": the whole file is rejected.
    std::string rejected = bytes_;
    rejected[0] = 'X';
    // A file cut short inside Andromeda's arrays.
    const std::string cut = bytes_.substr(0, kLineFileIndexBytes + 30);
    for (const std::string* bad : std::vector<const std::string*>{&tooMany, &pastEnd, &negative, &rejected, &cut}) {
        const auto path = Write(*bad);
        EXPECT_EQ(DrawAndromeda(path, true), 0);
        EXPECT_EQ(DrawAndromeda(path, false), 0);
    }
    // A missing file draws nothing, silently.
    EXPECT_EQ(DrawAndromeda(dir_ / "absent.dat", true), 0);
    EXPECT_EQ(DrawAndromeda(dir_ / "absent.dat", false), 0);
}

TEST_F(ConstellationFileTest, NotDrawnInPolarAndHeliocentricViews) {
    const auto path = Write(bytes_);
    for (ViewMode mode : {ViewMode::PolarAlignment, ViewMode::Heliocentric}) {
        Scene s(mode);
        LineFileReader reader(path, true);
        ConstellationPolyline buffer;
        s.Begin();
        DrawConstellationPolyline(s.ctx, reader, buffer, "And", QColor(0, 255, 255));
        s.End();
        EXPECT_EQ(s.CountNonBlack(), 0);
    }
}

TEST_F(ConstellationFileTest, AnchorsAndSelectionDecideWhatIsDrawn) {
    Write(bytes_);
    StarRecord anchor;
    anchor.kind = kKindConstellationAnchor;
    anchor.SetConstellation("And");
    anchor.ra = 0.0;
    anchor.dec = 35.0 * kDeg;  // at the zenith
    StarRecord hidden = anchor;
    hidden.SetConstellation("Ori");
    hidden.dec = -80.0 * kDeg;  // below the horizon: Orion's lines are not drawn

    Scene s(ViewMode::Zenith);
    s.records = {&anchor, &hidden};
    s.ctx.dataDirectory = dir_.string() + "/";
    s.store.WriteProfileInt("SEIZA", "LINE", 1);
    OverlayState state;
    s.Begin();
    DrawConstellations(s.ctx, state);
    s.End();
    const QRgb lineColor = ToQRgb(s.colors[slot::kConstellationLine]);
    const int lines = s.Count(lineColor);
    EXPECT_GT(lines, 40);

    // Only Orion selected: Andromeda is not drawn.
    Scene t(ViewMode::Zenith);
    t.records = {&anchor, &hidden};
    t.ctx.dataDirectory = s.ctx.dataDirectory;
    t.store.WriteProfileInt("SEIZA", "LINE", 1);
    t.store.WriteProfileInt("SETTING", "SEIZA", 1);
    OverlayState selected;
    selected.selection.SelectOnly("Ori", t.records);
    t.Begin();
    DrawConstellations(t.ctx, selected);
    t.End();
    EXPECT_EQ(t.CountNonBlack(), 0);
    // Andromeda selected: lines and the name.
    selected.selection.SelectOnly("And", t.records);
    t.Begin();
    DrawConstellations(t.ctx, selected);
    t.End();
    EXPECT_EQ(t.Count(lineColor) >= lines - 5, true);
    EXPECT_GT(t.Count(ToQRgb(t.colors[slot::kConstellationName])), 0);
}

TEST(ConstellationSelection, SlotsAndMarks) {
    StarRecord a, b, none;
    a.SetConstellation("Ori");
    b.SetConstellation("Tau");
    std::vector<const StarRecord*> catalogue{&a, &b, &none};
    ConstellationSelection sel;
    EXPECT_TRUE(sel.IsSelected("Tau"));  // off: everything
    EXPECT_TRUE(sel.Shows(2));
    sel.SelectOnly("Ori", catalogue);
    EXPECT_TRUE(sel.Active());
    EXPECT_TRUE(sel.IsSelected("Ori"));
    EXPECT_FALSE(sel.IsSelected("Tau"));
    EXPECT_TRUE(sel.Shows(0));
    EXPECT_FALSE(sel.Shows(1));
    // Empty slots match a record without constellation.
    EXPECT_TRUE(sel.Shows(2));
    EXPECT_FALSE(sel.Shows(99));  // no such position
    sel.SetActive(false);
    EXPECT_TRUE(sel.Shows(1));

    // The dialog's OK: the chosen constellations, or off when none is chosen.
    sel.TakeDialogResult(true, {"Tau", "Gem"}, catalogue);
    EXPECT_TRUE(sel.Active());
    EXPECT_EQ(sel.Slot(0), "Tau");
    EXPECT_EQ(sel.Slot(1), "Gem");
    EXPECT_FALSE(sel.Shows(0));
    EXPECT_TRUE(sel.Shows(1));
    sel.TakeDialogResult(true, {}, catalogue);
    EXPECT_FALSE(sel.Active());
    EXPECT_EQ(sel.Slot(0), "");
    std::vector<std::string> many(150, "Ori");
    sel.TakeDialogResult(true, many, catalogue);
    EXPECT_EQ(sel.Slot(99), "Ori");  // at most 100 slots, no overflow
}

TEST_F(ConstellationFileTest, PolylineBreaksAtTheAzimuthWindow) {
    // Direction view facing South with wide framing: a vertex due north is
    // rejected and the two southern vertices around it must not be joined.
    Scene s(ViewMode::Direction);
    s.view.horizonFraming = true;
    s.view.heightBand = HeightBand::Whole;
    RefreshViewState(s.view);
    ASSERT_TRUE(s.view.wideFraming);
    // Horizontal positions turned into equatorial ones for the scene's site.
    auto eq = [&](double azDeg, double altDeg) {
        const double az = azDeg * kDeg, alt = altDeg * kDeg, lat = s.view.latitude;
        const double dec = std::asin(std::sin(alt) * std::sin(lat) + std::cos(alt) * std::cos(lat) * std::cos(az));
        const double h = std::atan2(-std::sin(az) * std::cos(alt),
                                    std::sin(alt) * std::cos(lat) - std::cos(az) * std::cos(alt) * std::sin(lat));
        return std::pair<double, double>{s.view.localSiderealTime - h, dec};
    };
    const auto p1 = eq(150, 20), p2 = eq(0, 30), p3 = eq(210, 20);
    const std::int32_t codes[3] = {1, 1, 2};
    const double ra[3] = {p1.first, p2.first, p3.first};
    const double dec[3] = {p1.second, p2.second, p3.second};
    const ProjectedPoint a = ProjectEquatorial(s.view, ra[0], dec[0], true);
    const ProjectedPoint b = ProjectEquatorial(s.view, ra[1], dec[1], true);
    const ProjectedPoint c = ProjectEquatorial(s.view, ra[2], dec[2], true);
    ASSERT_TRUE(a.visible);
    ASSERT_EQ(b.x, OffScreen);
    ASSERT_TRUE(c.visible);
    s.Begin();
    s.painter->setPen(QPen(QColor(255, 255, 255), 0));
    DrawSkyPolyline(s.ctx, *s.painter, SkyPolyline{3, codes, ra, dec}, ClientRect(s.ctx));
    s.End();
    // Only the two lone points: nothing along the straight line between them.
    EXPECT_LE(s.CountNonBlack(), 2);
    EXPECT_EQ(s.image.pixel((a.x + c.x) / 2, (a.y + c.y) / 2) & 0xFFFFFF, 0u);
}

TEST_F(ConstellationFileTest, MilkyWayBandUnderTheStars) {
    // A short arc through the zenith of the scene.
    PolylineData arc;
    for (int i = 0; i <= 6; ++i) arc.Add((-30.0 + 10.0 * i) * kDeg, 35.0 * kDeg, i == 6 ? 2 : 1);
    const std::string good = OverlayFileBytes(arc);
    Write(good, "Milkey.p92");

    Scene s(ViewMode::Zenith);
    s.ctx.dataDirectory = dir_.string() + "/";
    s.image.setPixel(120, 120, qRgb(255, 255, 255));  // a star already drawn at the zenith
    OverlayState state;
    DrawMilkyWay(s.ctx, state);  // switched off
    EXPECT_EQ(s.CountNonBlack(), 1);

    s.store.WriteProfileInt("SHOW", "MILKEY", 1);
    DrawMilkyWay(s.ctx, state);
    const QRgb band = ToQRgb(s.colors[slot::kMilkyWay]);
    EXPECT_GT(s.Count(band), 200);  // a broad stroke, not a thin line
    EXPECT_EQ(s.image.pixel(120, 120) & 0xFFFFFF, 0xFFFFFFu);  // the star stays on top
    // The layer is clear again: a second pass over a fresh chart draws the same band.
    const QImage first = s.image.copy();
    s.image.fill(qRgb(0, 0, 0));
    s.image.setPixel(120, 120, qRgb(255, 255, 255));
    DrawMilkyWay(s.ctx, state);
    EXPECT_EQ(first, s.image);

    // A file claiming more than 1000 points, or cut short, draws nothing.
    std::string tooMany = good;
    PutInt32(tooMany, 0, 1001);
    const std::string cut = good.substr(0, 5000);
    for (const std::string* bad : std::vector<const std::string*>{&tooMany, &cut}) {
        Write(*bad, "Milkey.p92");
        Scene t(ViewMode::Zenith);
        t.ctx.dataDirectory = s.ctx.dataDirectory;
        t.store.WriteProfileInt("SHOW", "MILKEY", 1);
        OverlayState fresh;
        DrawMilkyWay(t.ctx, fresh);
        EXPECT_EQ(t.CountNonBlack(), 0);
    }
}

TEST_F(ConstellationFileTest, SwitchingOnChecksTheFile) {
    // Only the line file exists.
    Write(bytes_);
    ConstellationToggle t = ToggleConstellationLayer(false, ConstellationLayer::Lines, dir_);
    EXPECT_TRUE(t.on);
    EXPECT_EQ(t.notice, "星座線");
    EXPECT_TRUE(t.errorMessage.empty());
    t = ToggleConstellationLayer(false, ConstellationLayer::Figures, dir_);
    EXPECT_FALSE(t.on);
    EXPECT_TRUE(t.notice.empty());
    EXPECT_EQ(t.errorMessage, "TavikConste.datが見つかりません");
    std::filesystem::remove(dir_ / "tavikline.dat");
    t = ToggleConstellationLayer(false, ConstellationLayer::Lines, dir_);
    EXPECT_FALSE(t.on);
    EXPECT_EQ(t.errorMessage, "星座線 tavikline.dat が見つかりません。");
    // Switching off needs no file.
    t = ToggleConstellationLayer(true, ConstellationLayer::Lines, dir_);
    EXPECT_FALSE(t.on);
    EXPECT_TRUE(t.errorMessage.empty());
}

TEST(SkyPolyline, StrokeCodeTwoEndsAStroke) {
    Scene s(ViewMode::Zenith);
    auto eq = [&](double azDeg, double altDeg) {
        const double az = azDeg * kDeg, alt = altDeg * kDeg, lat = s.view.latitude;
        const double dec = std::asin(std::sin(alt) * std::sin(lat) + std::cos(alt) * std::cos(lat) * std::cos(az));
        const double h = std::atan2(-std::sin(az) * std::cos(alt),
                                    std::sin(alt) * std::cos(lat) - std::cos(az) * std::cos(alt) * std::sin(lat));
        return std::pair<double, double>{s.view.localSiderealTime - h, dec};
    };
    // A-B is one stroke (B ends it), C-D the next; B and C must not be joined.
    const std::pair<double, double> pts[4] = {eq(180, 55), eq(180, 75), eq(90, 55), eq(90, 75)};
    const std::int32_t codes[4] = {1, 2, 1, 2};
    double ra[4], dec[4];
    ProjectedPoint px[4];
    for (int i = 0; i < 4; ++i) {
        ra[i] = pts[i].first;
        dec[i] = pts[i].second;
        px[i] = ProjectEquatorial(s.view, ra[i], dec[i], false);
        ASSERT_TRUE(px[i].visible);
    }
    s.Begin();
    s.painter->setPen(QPen(QColor(255, 255, 255), 0));
    const PixelPoint last = DrawSkyPolyline(s.ctx, *s.painter, SkyPolyline{4, codes, ra, dec}, ClientRect(s.ctx));
    s.End();
    auto lit = [&](const ProjectedPoint& a, const ProjectedPoint& b) {
        return (s.image.pixel((a.x + b.x) / 2, (a.y + b.y) / 2) & 0xFFFFFF) != 0;
    };
    EXPECT_TRUE(lit(px[0], px[1]));
    EXPECT_TRUE(lit(px[2], px[3]));
    EXPECT_FALSE(lit(px[1], px[2]));
    EXPECT_EQ(last.x, px[3].x);
    EXPECT_EQ(last.y, px[3].y);
}

TEST(Overlay, ChartTextsGrowWithTheChartAndThePixelRatio) {
    App();
    QImage chart(8, 8, QImage::Format_RGB32);  // the chart's image: text measured as drawn
    auto height = [&](int chartSize, double ratio) {
        return QFontMetrics(ViewFont(ChartFontTenths(kDefaultFontTenths, chartSize, ratio)), &chart).height();
    };
    const int device = height(240, 1.0);
    EXPECT_EQ(ChartFontTenths(kDefaultFontTenths, 240), kDefaultFontTenths) << "the pocket device's size";
    EXPECT_GE(height(1080, 1.0), 14);
    EXPECT_LE(height(4000, 1.0), device * 3) << "bounded";
    // On a screen of two device pixels per window pixel the same window's text
    // takes twice the device pixels.
    EXPECT_NEAR(height(2160, 2.0), 2 * height(1080, 1.0), 2);
}

// M31 (178' x 70', position angle 35 degrees) in the magnified view at 20x: the
// drawn ellipse reaches the sky points 89' from the centre along the angle and
// 35' across it, computed here on the sphere and projected on their own. A tap
// inside the outline finds it; a faint unsized galaxy waits for a deeper zoom.
TEST(Overlay, LargeGalaxyOutlineHasItsTrueSizeAndAngleAndTakesTapsInside) {
    Scene s(ViewMode::Magnified, 700, 700);
    const double ra = 10.6847 * kDeg, dec = 41.2690 * kDeg;
    s.view.localSiderealTime = ra + 30.0 * kDeg;  // west of the meridian, the chart turned
    s.ctx.localSiderealTime = s.view.localSiderealTime;
    const Spherical h = EquatorialToHorizontal(ra, dec, s.view.latitude, s.view.localSiderealTime);
    ApplyMagnifierTarget(s.view, JumpTarget(h.lon, h.lat), 200);
    s.ctx.zoomedIn = false;

    StarRecord m31;
    m31.kind = kKindGalaxy;
    m31.SetDesignation("  M31");
    m31.ra = ra;
    m31.dec = dec;
    m31.mag = 3.4;
    StarRecord faint = m31;
    faint.SetDesignation("NGC1");
    faint.ra += 1.0 * kDeg;
    faint.mag = 13.0;
    const DeepSkySize size{178.0f, 70.0f, 35.0f};
    s.records = {&m31, &faint};
    const std::vector<const DeepSkySize*> sizes = {&size, nullptr};
    s.ctx.objectSizes = &sizes;
    HitList hits;
    s.ctx.hits = &hits;
    s.Begin();
    DrawDeepSkyMarks(s.ctx);
    s.End();

    const ProjectedPoint c = ProjectEquatorial(s.view, ra, dec, false);
    ASSERT_TRUE(c.visible);
    // The sky point `arcmin` from M31 towards position angle `pa` (north through east).
    auto along = [&](double pa, double arcmin) {
        const double d = arcmin / 60.0 * kDeg, p = pa * kDeg;
        const double dec2 = std::asin(std::sin(dec) * std::cos(d) + std::cos(dec) * std::sin(d) * std::cos(p));
        const double ra2 =
            ra + std::atan2(std::sin(p) * std::sin(d) * std::cos(dec), std::cos(d) - std::sin(dec) * std::sin(dec2));
        return ProjectEquatorial(s.view, ra2, dec2, false);
    };
    std::vector<QPoint> lit;
    for (int y = 0; y < s.image.height(); ++y)
        for (int x = 0; x < s.image.width(); ++x)
            if (qGray(s.image.pixel(x, y)) > 40 && std::hypot(x - c.x, y - c.y) > 6) lit.emplace_back(x, y);
    ASSERT_FALSE(lit.empty());
    auto nearestLit = [&](const ProjectedPoint& p) {
        double best = 1e9;
        for (const QPoint& q : lit) best = std::min(best, std::hypot(q.x() - p.x, q.y() - p.y));
        return best;
    };
    const ProjectedPoint major1 = along(35, 89), major2 = along(215, 89);
    const ProjectedPoint minor1 = along(125, 35), minor2 = along(305, 35);
    const double semiMajor = std::hypot(major1.x - c.x, major1.y - c.y);
    ASSERT_GT(semiMajor, 100.0) << "a chart large enough to measure";
    for (const ProjectedPoint& end : {major1, major2, minor1, minor2}) EXPECT_LE(nearestLit(end), 2.5);
    double farthest = 0.0, nearest = 1e9;
    QPoint far;
    for (const QPoint& q : lit) {
        const double r = std::hypot(q.x() - c.x, q.y() - c.y);
        if (r > farthest) farthest = r, far = q;
        nearest = std::min(nearest, r);
    }
    EXPECT_NEAR(farthest, semiMajor, 2.5);
    EXPECT_LE(std::min(std::hypot(far.x() - major1.x, far.y() - major1.y),
                       std::hypot(far.x() - major2.x, far.y() - major2.y)),
              4.0);
    // Pixel edges of the integer centre and of the smoothed line: 3.5 pixels of 46.
    EXPECT_NEAR(nearest, std::hypot(minor1.x - c.x, minor1.y - c.y), 3.5);
    EXPECT_EQ(s.Count(ToQRgb(s.ctx.Mapped(slot::kDeepSky))) > 0, true) << "drawn in the deep-sky colour";

    // Taps: inside the outline far from the symbol, just beyond its end, on the faint galaxy's place.
    const int insideX = c.x + (major1.x - c.x) * 6 / 10, insideY = c.y + (major1.y - c.y) * 6 / 10;
    EXPECT_EQ(FindTapTarget(hits, insideX, insideY, false).record, &m31);
    EXPECT_EQ(FindTapTarget(hits, insideX, insideY, false).x, insideX) << "the text stays at the tap";
    EXPECT_EQ(FindTapTarget(hits, c.x + (major1.x - c.x) * 11 / 10, c.y + (major1.y - c.y) * 11 / 10, false).record,
              nullptr);
    const ProjectedPoint f = ProjectEquatorial(s.view, faint.ra, faint.dec, false);
    ASSERT_TRUE(f.visible);
    EXPECT_EQ(FindTapTarget(hits, f.x, f.y, false).record, nullptr) << "fainter than the 20x limit";
    EXPECT_LT(DeepSkyLimitingMagnitude(s.view), faint.mag);
    s.view.magnifier.zoom = 900;
    EXPECT_GE(DeepSkyLimitingMagnitude(s.view), faint.mag) << "the limit deepens with the zoom";
}

// On an upright screen the magnified sky fills the chart below its square:
// a galaxy placed there is outlined and tapped inside its outline too.
TEST(Overlay, OutlineBelowTheChartSquareOfAnUprightScreen) {
    Scene s(ViewMode::Magnified, 360, 700);
    ApplyMagnifierTarget(s.view, JumpTarget(180.0 * kDeg, 45.0 * kDeg), 200);
    ASSERT_GT(ChartBottom(s.view), 600);
    const SkyPosition at = UnprojectSky(s.view, 180, 640);
    StarRecord galaxy;
    galaxy.kind = kKindGalaxy;
    galaxy.SetDesignation("  M33");
    galaxy.ra = at.rightAscension;
    galaxy.dec = at.declination;
    galaxy.mag = 5.7;
    const DeepSkySize size{60.0f, 40.0f, 20.0f};
    s.records = {&galaxy};
    const std::vector<const DeepSkySize*> sizes = {&size};
    s.ctx.objectSizes = &sizes;
    HitList hits;
    s.ctx.hits = &hits;
    s.Begin();
    DrawDeepSkyMarks(s.ctx);
    s.End();
    ASSERT_EQ(hits.Outlines().size(), 1u);
    const ChartOutline& o = hits.Outlines()[0].outline;
    EXPECT_GT(o.cy, 600.0f);
    EXPECT_EQ(FindTapTarget(hits, static_cast<int>(o.cx + o.majorX * 0.7f), static_cast<int>(o.cy + o.majorY * 0.7f),
                            false)
                  .record,
              &galaxy);
}

}  // namespace
}  // namespace tavik
