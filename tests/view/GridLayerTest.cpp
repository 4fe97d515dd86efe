// The grid overlay draws its lines and labels itself instead of through
// QPainter; these tests hold it to the pixels QPainter sets, and check the
// blend back onto the chart.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <random>
#include <string>

#include "view/Fonts.h"
#include "view/Overlay.h"

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

// The pixels set (non-key) in the layer and (non-black) in a QPainter picture
// of the same size, as one bit pattern each.
std::string LayerInk(const QImage& layer) {
    std::string s;
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) s += layer.pixelIndex(x, y) != 0 ? '#' : '.';
    return s;
}
std::string PaintedInk(const QImage& picture) {
    std::string s;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) s += (picture.pixel(x, y) & 0xFFFFFF) != 0 ? '#' : '.';
    return s;
}

TEST(GridLayer, LinesSetThePixelsOfQPaintersCosmeticPen) {
    EnsureGuiApp();
    constexpr int kW = 97, kH = 64;
    QImage layer;
    PrepareGridLayer(layer, kW, kH);
    QImage picture(kW, kH, QImage::Format_RGB32);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> inX(0, kW - 1), inY(0, kH - 1), near(-12, 12), far(-2000, 2000), edge(-2, 2);
    for (int i = 0; i < 4000; ++i) {
        PixelPoint a{inX(rng), inY(rng)}, b;
        switch (i % 5) {
        case 0: b = {inX(rng), inY(rng)}; break;                       // across the layer
        case 1: b = {a.x + near(rng) / 4, a.y + near(rng) / 4}; break;  // short, often a point
        case 2: b = {far(rng), far(rng)}; break;                        // running far outside
        case 3: a = {edge(rng), inY(rng)}; b = {kW - 1 + edge(rng), inY(rng)}; break;  // edge to edge
        default: a = {far(rng), far(rng)}; b = {far(rng), far(rng)}; break;          // both outside
        }
        picture.fill(0xFF000000u);
        {
            QPainter painter(&picture);
            painter.setPen(QPen(QColor(255, 255, 255), 0));
            painter.drawLine(a.x, a.y, b.x, b.y);
        }
        DrawLayerLine(layer, a, b, 1);
        ASSERT_EQ(LayerInk(layer), PaintedInk(picture))
            << "(" << a.x << "," << a.y << ") to (" << b.x << "," << b.y << ")";
        layer.fill(0);
    }
}

TEST(GridLayer, LabelStampsInkWhatDrawTextInks) {
    EnsureGuiApp();
    QFont font = ViewFont(75);
    font.setStyleStrategy(QFont::NoAntialias);
    LabelStamps stamps;
    stamps.UseFont(font);
    for (const char* text : {"12h -30ﾟ", "330ﾟ 80ﾟ", "0h 0ﾟ"}) {
        QImage picture(80, 30, QImage::Format_RGB32);
        picture.fill(0xFF000000u);
        {
            QPainter painter(&picture);
            painter.setPen(QPen(Qt::white, 0));
            painter.setRenderHint(QPainter::TextAntialiasing, false);
            painter.setFont(font);
            painter.drawText(QPoint(5, 4 + QFontMetrics(painter.font()).ascent()), QString::fromUtf8(text));
        }
        QImage stamped(80, 30, QImage::Format_RGB32);
        stamped.fill(0xFF000000u);
        const auto& ink = stamps.Get(text);
        EXPECT_GT(ink.size(), 20u) << text;
        for (const PixelPoint& p : ink) stamped.setPixel(5 + p.x, 4 + p.y, 0xFFFFFFFFu);
        EXPECT_EQ(stamped, picture) << text;
        EXPECT_EQ(&stamps.Get(text), &ink);  // kept, not drawn again
    }
}

TEST(GridLayer, CrossingPixelTakesTheLastColourBlendedOnce) {
    EnsureGuiApp();
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(qRgb(100, 100, 100));
    QImage layer;
    PrepareGridLayer(layer, 50, 30);  // wider than the image
    layer.setColor(1, qRgb(200, 0, 0));
    layer.setColor(2, qRgb(0, 0, 200));
    DrawLayerLine(layer, {0, 10}, {49, 10}, 1);  // red row, running past the image
    DrawLayerLine(layer, {20, 0}, {20, 29}, 2);  // blue column over it
    BlendAndClearLayer(image, layer, 80);
    EXPECT_EQ(image.pixel(5, 10), qRgb(180, 20, 20));
    EXPECT_EQ(image.pixel(20, 5), qRgb(20, 20, 180));
    EXPECT_EQ(image.pixel(20, 10), qRgb(20, 20, 180));  // blue over red, blended once
    EXPECT_EQ(image.pixel(5, 11), qRgb(100, 100, 100));
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) ASSERT_EQ(layer.pixelIndex(x, y), 0) << x << "," << y;
    EXPECT_EQ(layer.pixel(45, 10), kGridKey);
}

}  // namespace
}  // namespace tavik
