// Colour modes, the user colour table, the sky background painters and the
// view font.

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <memory>

#include "settings/SettingsStore.h"
#include "view/Background.h"
#include "view/Color.h"
#include "view/Fonts.h"
#include "view/RenderContext.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

TEST(MapColor, ModesInOrderOfPrecedence) {
    ColorModes m;
    EXPECT_EQ(MapColor(MakeColorRef(0, 255, 128), m), MakeColorRef(0, 255, 128));
    m.red = true;
    EXPECT_EQ(MapColor(MakeColorRef(0, 255, 128), m), MakeColorRef(255, 0, 0));
    EXPECT_EQ(MapColor(MakeColorRef(0, 64, 0), m), MakeColorRef(64, 0, 0));
    EXPECT_EQ(MapColor(MakeColorRef(0x12, 0x30, 0x05), m), MakeColorRef(0x37, 0, 0));
    m.blackOnWhite = true;  // wins over red
    EXPECT_EQ(MapColor(MakeColorRef(0, 255, 128), m), kBlack);
    m.whiteOnBlack = true;  // wins over both
    EXPECT_EQ(MapColor(MakeColorRef(0, 255, 128), m), kWhite);
}

TEST(MapColor, SkyBackgroundMapping) {
    const ColorRef c = MakeColorRef(0, 0, 96);
    ColorModes m;
    EXPECT_EQ(MapSkyColor(c, m), c);
    m.red = true;  // keep-background is on by default
    EXPECT_EQ(MapSkyColor(c, m), c);
    m.keepBackground = false;
    EXPECT_EQ(MapSkyColor(c, m), MakeColorRef(96, 0, 0));
    m.blackOnWhite = true;
    EXPECT_EQ(MapSkyColor(c, m), kWhite);
    m.whiteOnBlack = true;
    EXPECT_EQ(MapSkyColor(c, m), c);
}

TEST(MapColor, TextColourAndModesFromSettings) {
    MemorySettingsStore s;
    ColorModes m = ColorModes::Load(s);
    EXPECT_FALSE(m.red);
    EXPECT_TRUE(m.keepBackground);
    EXPECT_EQ(TextColor(m), kWhite);
    s.WriteProfileInt("COLOR", "ALLRED", 1);
    s.WriteProfileInt("REDSCR", "NO_REDBACK", 2);  // a flag is true only when it is exactly 1
    m = ColorModes::Load(s);
    EXPECT_TRUE(m.red);
    EXPECT_FALSE(m.keepBackground);
    EXPECT_EQ(TextColor(m), kPureRed);
    s.WriteProfileInt("SETTING", "WB", 1);
    EXPECT_EQ(TextColor(ColorModes::Load(s)), kBlack);
    s.WriteProfileInt("SETTING", "BW", 1);
    EXPECT_EQ(TextColor(ColorModes::Load(s)), kWhite);
}

TEST(ColorTable, DefaultsLoadSaveAndReset) {
    ColorTable t;
    EXPECT_EQ(t[slot::kBackground], MakeColorRef(96, 128, 64));
    EXPECT_EQ(t[slot::kSky3], MakeColorRef(0, 0, 96));
    EXPECT_EQ(t[slot::kMoon], MakeColorRef(255, 255, 0));
    EXPECT_EQ(t[slot::kMilkyWay], MakeColorRef(32, 64, 64));
    EXPECT_EQ(t[40], kBlack);  // reserved
    EXPECT_STREQ(ColorTable::SlotName(17), "基本背景");
    EXPECT_STREQ(ColorTable::SlotName(30), "天の川 p92");
    EXPECT_STREQ(ColorTable::SlotName(32), "");

    MemorySettingsStore s;
    s.WriteProfileInt("USR_CLR", "CLR17", static_cast<int>(MakeColorRef(1, 2, 3)));
    t.Load(s);
    EXPECT_EQ(t[17], MakeColorRef(1, 2, 3));
    EXPECT_EQ(t[9], MakeColorRef(0, 0, 96));  // absent entries keep the factory colour

    t.Set(5, MakeColorRef(9, 9, 9));
    MemorySettingsStore out;
    t.Save(out);
    EXPECT_EQ(out.WriteLog().size(), 48u);
    EXPECT_EQ(out.GetProfileInt("USR_CLR", "CLR05", -1), static_cast<int>(MakeColorRef(9, 9, 9)));
    ColorTable back;
    back.Load(out);
    EXPECT_EQ(back, t);

    // "All defaults" restores slot 17 at once.
    t.ResetToDefaults();
    EXPECT_EQ(t[17], MakeColorRef(96, 128, 64));
    EXPECT_EQ(t, ColorTable());
}

TEST(ColorDialog, ScrollBarsAndResults) {
    EXPECT_EQ(ColorScrollToByte(0), 0);
    EXPECT_EQ(ColorScrollToByte(1), 15);
    EXPECT_EQ(ColorScrollToByte(16), 255);
    EXPECT_EQ(ColorByteToScroll(0), 0);
    EXPECT_EQ(ColorByteToScroll(15), 1);
    EXPECT_EQ(ColorByteToScroll(255), 16);
    EXPECT_EQ(ColorByteToScroll(96), 6);
    // Every bar position survives the round trip through its byte.
    for (int p = 0; p <= kColorScrollMax; ++p) EXPECT_EQ(ColorByteToScroll(ColorScrollToByte(p)), p);
    EXPECT_EQ(ColorFromScrolls(16, 0, 1), MakeColorRef(255, 0, 15));

    MemorySettingsStore store;
    ColorTable t;
    t.Set(17, MakeColorRef(1, 1, 1));
    ApplyColorDialogResult(ColorDialogResult::Ok, t, store);
    EXPECT_EQ(store.GetProfileInt("USR_CLR", "CLR17", -1), static_cast<int>(MakeColorRef(1, 1, 1)));
    t.Set(17, MakeColorRef(2, 2, 2));
    ApplyColorDialogResult(ColorDialogResult::Cancel, t, store);  // back to what was stored
    EXPECT_EQ(t[17], MakeColorRef(1, 1, 1));
    ApplyColorDialogResult(ColorDialogResult::ResetAll, t, store);
    EXPECT_EQ(t[17], MakeColorRef(96, 128, 64));
    EXPECT_EQ(store.GetProfileInt("USR_CLR", "CLR17", -1), static_cast<int>(MakeColorRef(96, 128, 64)));
}

TEST(SkyBackground, BandAndGradientSteps) {
    EXPECT_EQ(BandHeightDegrees(0), 15);
    EXPECT_EQ(BandHeightDegrees(10), 15);
    EXPECT_EQ(BandHeightDegrees(11), 16);  // int(49.09) / 3
    EXPECT_EQ(BandHeightDegrees(20), 28);  // int(85.9) / 3
    EXPECT_EQ(GradientSteps(0), 45);
    EXPECT_EQ(GradientSteps(11), 48);
    EXPECT_EQ(GradientSteps(20), 84);
    for (int p = 0; p <= 20; ++p) EXPECT_EQ(GradientSteps(p) % 3, 0);
}

TEST(SkyBackground, GradientRunsThroughTheFourSlots) {
    const ColorTable t;
    const SkyColors sky = MapSkyColors(t, ColorModes{});
    EXPECT_EQ(GradientColor(0, 45, sky), t[10]);
    EXPECT_EQ(GradientColor(15, 45, sky), t[9]);
    EXPECT_EQ(GradientColor(30, 45, sky), t[8]);
    // Step 44 is one step short of slot 7: 64 + 14 x ((0 - 64) x 256 / 15) / 256.
    EXPECT_EQ(GradientColor(44, 45, sky), MakeColorRef(0, 0, 64 + 14 * ((-64 * 256) / 15) / 256));
    // Blue falls steadily from slot 10 to slot 7.
    int previous = 256;
    for (int e = 0; e < 45; ++e) {
        const int b = BlueOf(GradientColor(e, 45, sky));
        EXPECT_LE(b, previous);
        previous = b;
    }
}

class SkyBackgroundFrame : public ::testing::Test {
protected:
    void SetUp() override {
        UpdateChartGeometry(view, 300, 240);
        view.viewMode = ViewMode::Direction;
        RefreshViewState(view);
        image = QImage(300, 240, QImage::Format_RGB32);
        image.fill(ToQRgb(colors[slot::kBackground]));
        ctx.image = &image;
        ctx.clientWidth = 300;
        ctx.clientHeight = 240;
        ctx.view = &view;
        ctx.settings = &store;
        ctx.colors = &colors;
    }
    ViewState view;
    MemorySettingsStore store;
    ColorTable colors;
    QImage image;
    RenderContext ctx;
};

TEST_F(SkyBackgroundFrame, RingPainterMatchesStackedEllipses) {
    for (HeightBand band : {HeightBand::Whole, HeightBand::High, HeightBand::Low}) {
        view.heightBand = band;
        RefreshViewState(view);
        const SkyEllipseFrame frame = ComputeEllipseFrame(ctx);
        ASSERT_TRUE(frame.valid);
        for (bool gradient : {false, true}) {
            const auto ellipses = gradient ? GradientEllipses(ctx, frame) : BandEllipses(ctx, frame);
            QImage rings = image.copy();
            PaintEllipses(rings, frame, ellipses);
            QImage stacked = image.copy();
            {
                QPainter p(&stacked);
                PaintEllipsesStacked(p, frame, ellipses);
            }
            // The same picture, except that an edge may fall one pixel further
            // along: every differing pixel has the stacked colour right beside it.
            int differing = 0, unexplained = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    if (rings.pixel(x, y) == stacked.pixel(x, y)) continue;
                    ++differing;
                    bool near = false;
                    for (int dy = -1; dy <= 1 && !near; ++dy)
                        for (int dx = -1; dx <= 1 && !near; ++dx)
                            near = rings.valid(x + dx, y + dy) &&
                                   rings.pixel(x + dx, y + dy) == stacked.pixel(x, y);
                    if (!near) ++unexplained;
                }
            EXPECT_EQ(unexplained, 0) << "band " << static_cast<int>(band) << " gradient " << gradient;
            EXPECT_LT(differing, image.width() * image.height() / 20);
        }
    }
}

TEST_F(SkyBackgroundFrame, BandsLieInOrderFromTheHorizon) {
    store.WriteProfileInt("BACKPAINT", "GRADATION", 0);
    PaintSkyBackground(ctx);
    const SkyEllipseFrame frame = ComputeEllipseFrame(ctx);
    // Straight above the centre: slot 7 at the top, slot 10 just above the horizon.
    const int cx = frame.cx;
    const int horizonY = EllipseBottomForAltitude(ctx, 0);
    EXPECT_EQ(image.pixel(cx, 1) & 0xFFFFFF, ToQRgb(colors[7]) & 0xFFFFFF);
    EXPECT_EQ(image.pixel(cx, horizonY - 2) & 0xFFFFFF, ToQRgb(colors[10]) & 0xFFFFFF);
    // The corners below the horizon keep the ground colour.
    EXPECT_EQ(image.pixel(0, 239) & 0xFFFFFF, ToQRgb(colors[17]) & 0xFFFFFF);
}

TEST_F(SkyBackgroundFrame, HorizonFramedSkyFollowsAltitude) {
    view.horizonFraming = true;
    view.heightBand = HeightBand::Low;  // the horizon runs along the bottom of the chart
    RefreshViewState(view);
    QPainter p(&image);
    ctx.painter = &p;
    BackgroundCache cache;
    PaintSkyBackground(ctx, &cache);
    p.end();
    EXPECT_EQ(image.pixel(150, 239) & 0xFFFFFF, ToQRgb(GradientColor(0, 45, MapSkyColors(colors, {}))) & 0xFFFFFF);
    EXPECT_EQ(image.pixel(150, 0) & 0xFFFFFF, ToQRgb(GradientColor(44, 45, MapSkyColors(colors, {}))) & 0xFFFFFF);
    EXPECT_FALSE(cache.image.isNull());
    // The second pass reuses the cached sky.
    QImage again(300, 240, QImage::Format_RGB32);
    again.fill(Qt::black);
    QPainter p2(&again);
    ctx.image = &again;
    ctx.painter = &p2;
    PaintSkyBackground(ctx, &cache);
    p2.end();
    EXPECT_EQ(again, image);
}

// The font needs a GUI application (the offscreen platform is enough).
class ViewFontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QGuiApplication::instance()) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "view_tests";
            static char* argv[] = {name, nullptr};
            app_ = new QGuiApplication(argc, argv);
        }
    }
    static QGuiApplication* app_;

    static QImage Render(const QString& text) {
        QImage img(80, 30, QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter p(&img);
        p.setFont(ViewFont(kDefaultFontTenths));
        p.setPen(Qt::white);
        p.drawText(2, 20, text);
        return img;
    }
    static int Lit(const QImage& img) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) != 0;
        return n;
    }
};
QGuiApplication* ViewFontTest::app_ = nullptr;

TEST_F(ViewFontTest, JapaneseLabelsRenderAsGlyphs) {
    const QFont f = ViewFont(kDefaultFontTenths);
    EXPECT_EQ(QFontInfo(f).family(), QStringLiteral("IPAPGothic"));
    EXPECT_DOUBLE_EQ(ViewFont(20).pointSizeF(), 3.0);  // never below 30 tenths
    const QImage south = Render(QStringLiteral("南"));
    const QImage north = Render(QStringLiteral("北"));
    const QImage missing = Render(QString(QChar(0xE000)));  // no glyph anywhere: the box
    EXPECT_GT(Lit(south), 10);
    EXPECT_GT(Lit(north), 10);
    // Boxes would all look alike; real glyphs differ from each other and from the box.
    EXPECT_NE(south, north);
    EXPECT_NE(south, missing);
    EXPECT_NE(north, missing);
}

}  // namespace
}  // namespace tavik
