// The coordinate grids (ground scale, equatorial, ecliptic), the grid overlay
// they are drawn through, and the polyline walk shared with constellation lines.

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <utility>
#include <vector>

#include "astro/Angles.h"
#include "astro/Transforms.h"
#include "catalog/SkyBounds.h"
#include "settings/SettingsStore.h"
#include "view/Overlay.h"
#include "view/Projection.h"
#include "view/ViewState.h"

namespace tavik {

namespace {

constexpr double kDeg = kPi / 180.0;

// Joins consecutive accepted points of one curve through ClipSegment, drawing
// the segments into the grid overlay.
class RunJoiner {
public:
    RunJoiner(const RenderContext& ctx, QImage& layer, const ClipRect& rect, int index)
        : view_(*ctx.view), layer_(layer), rect_(rect), rectangleMode_(RectangleMode(ctx)),
          index_(index) {}

    // Adds the next point; an OffScreen point (rejected by the azimuth window)
    // breaks the run.
    void Add(const ProjectedPoint& p) {
        if (p.x == OffScreen || p.y == OffScreen) {
            have_ = false;
            return;
        }
        const PixelPoint current{p.x, p.y};
        if (have_) {
            PixelPoint a = last_, b = current;
            if (ClipSegment(view_, a, b, rect_, rectangleMode_, kMaxSegmentSpan))
                DrawLayerLine(layer_, a, b, index_);
        }
        last_ = current;
        have_ = true;
    }

private:
    const ViewState& view_;
    QImage& layer_;
    ClipRect rect_;
    bool rectangleMode_;
    int index_;
    bool have_ = false;
    PixelPoint last_;
};

// Writes a grid label with its top-left corner at the point into the overlay,
// when the point lies inside the clipping area. `format` and the two numbers
// make the text.
void DrawLabelAt(const RenderContext& ctx, OverlayState& state, const ProjectedPoint& p,
                 const ClipRect& rect, int index, const char* format, int first, int second) {
    if (p.x == OffScreen) return;
    PixelPoint a{p.x, p.y}, b{p.x, p.y};
    if (!ClipSegment(*ctx.view, a, b, rect, RectangleMode(ctx))) return;
    if (RectangleMode(ctx) && (a.x != p.x || a.y != p.y)) return;
    char text[32];
    std::snprintf(text, sizeof text, format, first, second);
    QImage& layer = state.gridLayer;
    const int width = layer.width(), height = layer.height();
    const qsizetype stride = layer.bytesPerLine();
    uchar* const bits = layer.bits();
    for (const PixelPoint& ink : state.gridLabels.Get(text)) {
        const int x = p.x + ink.x, y = p.y + ink.y;
        if (x >= 0 && y >= 0 && x < width && y < height) bits[y * stride + x] = static_cast<uchar>(index);
    }
}

// The colour a grid is drawn with into the overlay (never the key).
QRgb GridColor(const RenderContext& ctx, int slotIndex) {
    const QRgb c = ctx.MappedQColor(slotIndex).rgb() | 0xFF000000u;
    return (c & 0xFFFFFF) == (kGridKey & 0xFFFFFF) ? 0xFF000000u : c;
}

// The font of the grid labels: the chart font without antialiasing, so that no
// pixel mixes with the key colour. Its size is capped: the labels are kept as
// inked pixels, and a huge font would make every stamp cost without bound.
constexpr double kMaxGridLabelPoints = 30.0;

QFont GridFont(const RenderContext& ctx) {
    QFont f = ctx.font;
    f.setStyleStrategy(QFont::NoAntialias);
    if (f.pointSizeF() > kMaxGridLabelPoints) f.setPointSizeF(kMaxGridLabelPoints);
    return f;
}

// 26.6 fixed point as the raster painter takes coordinates (truncated).
int ToFixed6(double v) { return static_cast<int>(v * 64); }
// a / b in 16.16 fixed point, truncated.
int FixedDiv16(int a, int b) { return static_cast<int>(static_cast<std::int64_t>(a) * 65536 / b); }

}  // namespace

void DrawLayerLine(QImage& layer, PixelPoint from, PixelPoint to, int index) {
    const int width = layer.width(), height = layer.height();
    const qsizetype stride = layer.bytesPerLine();
    uchar* const bits = layer.bits();
    auto put = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < width && y < height) bits[y * stride + x] = static_cast<uchar>(index);
    };
    if (from.x == to.x && from.y == to.y) {
        put(from.x, from.y);
        return;
    }
    // Ends far outside are first cut to the layer grown by a pixel (in floating
    // point), then the line is walked in fixed point: one pixel per row (steep)
    // or column (shallow), the major axis rounded to pixel centres, the minor
    // axis stepped in 16.16 and truncated, with half a pixel of square cap at
    // both ends. This reproduces the raster painter's cosmetic pen pixel for
    // pixel, so the overlay looks as it did when QPainter drew it.
    double x1f = from.x, y1f = from.y, x2f = to.x, y2f = to.y;
    const double xMin = -1, xMax = width + 1, yMin = -1, yMax = height + 1;
    if (x1f < xMin) {
        if (x2f <= xMin) return;
        y1f += (y2f - y1f) / (x2f - x1f) * (xMin - x1f);
        x1f = xMin;
    } else if (x1f > xMax) {
        if (x2f >= xMax) return;
        y1f += (y2f - y1f) / (x2f - x1f) * (xMax - x1f);
        x1f = xMax;
    }
    if (x2f < xMin) {
        y2f += (y2f - y1f) / (x2f - x1f) * (xMin - x2f);
        x2f = xMin;
    } else if (x2f > xMax) {
        y2f += (y2f - y1f) / (x2f - x1f) * (xMax - x2f);
        x2f = xMax;
    }
    if (y1f < yMin) {
        if (y2f <= yMin) return;
        x1f += (x2f - x1f) / (y2f - y1f) * (yMin - y1f);
        y1f = yMin;
    } else if (y1f > yMax) {
        if (y2f >= yMax) return;
        x1f += (x2f - x1f) / (y2f - y1f) * (yMax - y1f);
        y1f = yMax;
    }
    if (y2f < yMin) {
        x2f += (x2f - x1f) / (y2f - y1f) * (yMin - y2f);
        y2f = yMin;
    } else if (y2f > yMax) {
        x2f += (x2f - x1f) / (y2f - y1f) * (yMax - y2f);
        y2f = yMax;
    }
    int x1 = ToFixed6(x1f), y1 = ToFixed6(y1f), x2 = ToFixed6(x2f), y2 = ToFixed6(y2f);
    if (std::abs(x2 - x1) < std::abs(y2 - y1)) {
        if (y1 > y2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const int step = FixedDiv16(x2 - x1, y2 - y1);
        int x = x1 * 1024 - (step >> 1);
        y1 -= 32;
        y2 += 32;
        int y = (y1 + 32) >> 6;
        const int yEnd = (y2 + 32) >> 6;
        if (y == yEnd) return;
        x += (y * 64 + (step > 0 ? 32 : 0) - y1) * step >> 6;
        for (; y < yEnd; ++y, x += step) put(x >> 16, y);
    } else {
        if (x1 == x2) return;
        if (x1 > x2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const int step = FixedDiv16(y2 - y1, x2 - x1);
        int y = y1 * 1024 - (step >> 1);
        x1 -= 32;
        x2 += 32;
        int x = (x1 + 32) >> 6;
        const int xEnd = (x2 + 32) >> 6;
        if (x == xEnd) return;
        y += (x * 64 + (step > 0 ? 32 : 0) - x1) * step >> 6;
        for (; x < xEnd; ++x, y += step) put(x, y >> 16);
    }
}

ClipRect ClientRect(const RenderContext& ctx, bool cutToChart) {
    ClipRect r{0, 0, ctx.clientWidth, ctx.clientHeight};
    if (cutToChart && ctx.view) r.bottom = std::min(r.bottom, ChartBottom(*ctx.view));
    return r;
}

bool RectangleMode(const RenderContext& ctx) {
    return ctx.view->viewMode != ViewMode::Planisphere;
}

PixelPoint DrawSkyPolyline(const RenderContext& ctx, QPainter& painter, const SkyPolyline& line,
                           const ClipRect& rect, int maxSpan) {
    PixelPoint lastDrawn{OffScreen, OffScreen};
    if (!line.codes || !line.ra || !line.dec || line.count <= 0) return lastDrawn;
    const ViewState& view = *ctx.view;
    const bool rectangleMode = RectangleMode(ctx);
    bool strokeStart = true;
    PixelPoint previous;
    for (int i = 0; i < line.count; ++i) {
        // A point that is not a sound position (from a damaged file) breaks the stroke.
        const ProjectedPoint p = SoundSkyPosition(line.ra[i], line.dec[i])
                                     ? ProjectEquatorial(view, line.ra[i], line.dec[i], view.wideFraming)
                                     : ProjectedPoint{};
        if (p.x == OffScreen || p.y == OffScreen) {
            strokeStart = true;
            continue;
        }
        const PixelPoint current{p.x, p.y};
        if (strokeStart) {
            PixelPoint a = current, b = current;
            if (ClipSegment(view, a, b, rect, rectangleMode, maxSpan)) {
                painter.drawPoint(current.x, current.y);
                lastDrawn = current;
            }
        } else {
            PixelPoint a = previous, b = current;
            if (ClipSegment(view, a, b, rect, rectangleMode, maxSpan)) {
                painter.drawLine(a.x, a.y, b.x, b.y);
                lastDrawn = current;
            }
        }
        previous = current;
        strokeStart = line.codes[i] == 2;
    }
    return lastDrawn;
}

void LabelStamps::UseFont(const QFont& font) {
    if (haveFont_ && font_ == font) return;
    font_ = font;
    haveFont_ = true;
    stamps_.clear();
}

const std::vector<PixelPoint>& LabelStamps::Get(const std::string& text) {
    if (const auto it = stamps_.find(text); it != stamps_.end()) return it->second;
    // Drawn exactly as onto the overlay (same font, hints and image format, the
    // top at a whole pixel), with a margin for glyphs reaching past their box.
    const QString s = QString::fromUtf8(text);
    const QFontMetrics fm(font_);
    const int margin = fm.height();
    QImage canvas(fm.horizontalAdvance(s) + 2 * margin, fm.height() + 2 * margin, QImage::Format_RGB32);
    canvas.fill(0xFF000000u);
    {
        QPainter painter(&canvas);
        painter.setPen(QPen(Qt::white, 0));
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font_);
        painter.drawText(QPoint(margin, margin + QFontMetrics(painter.font()).ascent()), s);
    }
    std::vector<PixelPoint> ink;
    for (int y = 0; y < canvas.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x)
            if ((row[x] & 0xFFFFFF) != 0) ink.push_back({x - margin, y - margin});
    }
    return stamps_.emplace(text, std::move(ink)).first->second;
}

void PrepareGridLayer(QImage& layer, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (layer.width() != width || layer.height() != height || layer.format() != QImage::Format_Indexed8) {
        layer = QImage(width, height, QImage::Format_Indexed8);
        layer.setColorTable({kGridKey, kGridKey, kGridKey, kGridKey});
        layer.fill(0);
    }
}

void BlendAndClearLayer(QImage& image, QImage& layer, int percent) {
    const int layerWidth = layer.width(), layerHeight = layer.height();
    const int width = std::min(image.width(), layerWidth);
    const int height = std::min(image.height(), layerHeight);
    // Per layer colour and channel, what each chart value becomes.
    const QList<QRgb> colors = layer.colorTable();
    std::vector<std::array<std::array<std::uint8_t, 256>, 3>> mixed(colors.size());
    for (qsizetype i = 0; i < colors.size(); ++i) {
        const int channels[3] = {qRed(colors[i]), qGreen(colors[i]), qBlue(colors[i])};
        for (int c = 0; c < 3; ++c)
            for (int old = 0; old < 256; ++old)
                mixed[i][c][old] = static_cast<std::uint8_t>(old + (channels[c] - old) * percent / 100);
    }
    uchar* const srcBits = layer.bits();
    uchar* const dstBits = image.bits();
    const qsizetype srcStride = layer.bytesPerLine(), dstStride = image.bytesPerLine();
    std::vector<int> drawn;
    drawn.reserve(static_cast<std::size_t>(layerWidth));
    for (int y = 0; y < layerHeight; ++y) {
        uchar* const src = srcBits + y * srcStride;
        QRgb* const dst = y < height ? reinterpret_cast<QRgb*>(dstBits + y * dstStride) : nullptr;
        // First the drawn pixels of the row (most of the overlay is key: it is
        // skipped eight pixels at a time), asking for their chart pixels ahead
        // so that those reads overlap instead of waiting one after another.
        drawn.clear();
        auto note = [&](int x) {
            drawn.push_back(x);
            if (dst && x < width) __builtin_prefetch(dst + x, 1);
        };
        int x = 0;
        for (; x + 8 <= layerWidth; x += 8) {
            std::uint64_t eight;
            std::memcpy(&eight, src + x, sizeof eight);
            if (eight == 0) continue;
            for (int i = x; i < x + 8; ++i)
                if (src[i] != 0) note(i);
        }
        for (; x < layerWidth; ++x)
            if (src[x] != 0) note(x);
        for (const int d : drawn) {
            if (dst && d < width && src[d] < mixed.size()) {
                const auto& m = mixed[src[d]];
                const QRgb old = dst[d];
                dst[d] = qRgb(m[0][qRed(old)], m[1][qGreen(old)], m[2][qBlue(old)]);
            }
            src[d] = 0;
        }
    }
}

void DrawGroundScale(const RenderContext& ctx, OverlayState& state) {
    const ViewState& view = *ctx.view;
    const bool clip = view.wideFraming;
    const ClipRect rect = ClientRect(ctx);
    constexpr int index = 1;
    state.gridLayer.setColor(index, GridColor(ctx, slot::kGroundScale));
    // The scale counts azimuth from the south: scale value a stands at azimuth a + 180.
    auto project = [&](int a, int alt) {
        return ProjectSky(view, (a + 180) * kDeg, alt * kDeg, clip);
    };
    for (int alt = 0; alt <= 80; alt += 10) {
        RunJoiner run(ctx, state.gridLayer, rect, index);
        for (int a = 0; a <= 360; a += 10) run.Add(project(a, alt));
    }
    for (int a = 0; a <= 360; a += 10) {
        RunJoiner run(ctx, state.gridLayer, rect, index);
        for (int alt = 0; alt <= 80; alt += 20) {
            const ProjectedPoint p = project(a, alt);
            run.Add(p);
            if (a % 30 == 0 && a < 360) DrawLabelAt(ctx, state, p, rect, index, "%dﾟ %dﾟ", a, alt);
        }
    }
}

void DrawEquatorialGrid(const RenderContext& ctx, OverlayState& state) {
    const ViewState& view = *ctx.view;
    const ClipRect rect = ClientRect(ctx);
    const bool planisphere = view.viewMode == ViewMode::Planisphere;
    constexpr int index = 2;
    state.gridLayer.setColor(index, GridColor(ctx, slot::kEquatorial));
    for (int dec = -80; dec <= 80; dec += 10) {
        RunJoiner run(ctx, state.gridLayer, rect, index);
        for (int ra = 0; ra <= 360; ra += 10) {
            run.Add(ProjectEquatorial(view, ra * kDeg, dec * kDeg, true));
        }
    }
    for (int ra = 0; ra <= 360; ra += 15) {
        RunJoiner run(ctx, state.gridLayer, rect, index);
        for (int dec = -80; dec <= 80; dec += 10) {
            const ProjectedPoint p = ProjectEquatorial(view, ra * kDeg, dec * kDeg, true);
            run.Add(p);
            if (ra == 360) continue;  // the 24 h circle is the 0 h circle again
            if (planisphere && (ra % 30 != 0 || dec % 30 != 0)) continue;
            DrawLabelAt(ctx, state, p, rect, index, "%dh %dﾟ", ra / 15, dec);
        }
    }
}

void DrawEclipticGrid(const RenderContext& ctx, OverlayState& state) {
    const ViewState& view = *ctx.view;
    const ClipRect rect = ClientRect(ctx);
    const bool planisphere = view.viewMode == ViewMode::Planisphere;
    constexpr int index = 3;
    state.gridLayer.setColor(index, GridColor(ctx, slot::kEcliptic));
    auto project = [&](int lon, int lat) {
        const Spherical eq = EclipticToEquatorial(ctx.obliquity, lon * kDeg, lat * kDeg);
        return ProjectEquatorial(view, eq.lon, eq.lat, false);
    };
    for (int lat = -30; lat <= 30; lat += 10) {
        RunJoiner run(ctx, state.gridLayer, rect, index);
        for (int lon = 0; lon <= 360; lon += 10) run.Add(project(lon, lat));
    }
    for (int lon = 0; lon <= 360; lon += 15) {
        RunJoiner run(ctx, state.gridLayer, rect, index);
        for (int lat = -30; lat <= 30; lat += 10) {
            const ProjectedPoint p = project(lon, lat);
            run.Add(p);
            if (lon == 360) continue;
            if (planisphere && lon % 30 != 0) continue;
            DrawLabelAt(ctx, state, p, rect, index, "%dh %dﾟ", lon / 15, lat);
        }
    }
}

void DrawGrids(RenderContext& ctx, OverlayState& state) {
    if (!ctx.image || !ctx.view || !ctx.settings) return;
    const OverlaySwitches sw = OverlaySwitches::Load(*ctx.settings);
    if (!sw.groundScale && !sw.equatorialGrid && !sw.eclipticGrid) return;
    // The three grids share one pass through the overlay: drawn into the
    // key-coloured layer, then blended at 80 per cent with the key pixels left
    // out, so grid lines never hide the sky completely. Only the pixels drawn
    // are read back, and blending puts the key colour back, so the layer needs
    // no refill before the next pass.
    PrepareGridLayer(state.gridLayer, ctx.clientWidth, ctx.clientHeight);
    state.gridLabels.UseFont(GridFont(ctx));
    if (sw.groundScale) DrawGroundScale(ctx, state);
    if (sw.equatorialGrid) DrawEquatorialGrid(ctx, state);
    if (sw.eclipticGrid) DrawEclipticGrid(ctx, state);
    BlendAndClearLayer(*ctx.image, state.gridLayer, 80);
}

OverlaySwitches OverlaySwitches::Load(const SettingsStore& s) {
    OverlaySwitches w;
    w.groundScale = s.GetProfileInt("SCREEN", "GRAND_S", 0) == 1;
    w.equatorialGrid = s.GetProfileInt("SCREEN", "SEKIDO_S", 0) == 1;
    w.eclipticGrid = s.GetProfileInt("SCREEN", "KOUDOU_S", 0) != 0;
    w.showPole = s.GetProfileInt("SETTING", "SHOW_POLER", 0) == 1;
    w.hideSite = s.GetProfileInt("OPTION2", "NO_KANSOKU", 0) != 0;
    w.deepSky = s.GetProfileInt("SETTING", "MESIE", 1) == 1;
    w.constellationNames = s.GetProfileInt("SETTING", "SEIZA", 0) == 1;
    w.constellationLines = s.GetProfileInt("SEIZA", "LINE", 0) == 1;
    w.constellationFigures = s.GetProfileInt("SEIZA", "PICT", 0) == 1;
    w.figuresInPlanisphere = s.GetProfileInt("OPTION2", "SEIZAE_NOT_QUICK", 0) == 0;
    w.filesInMemory = s.GetProfileInt("MEMORY", "SEIZE_FILES", 0) != 0;
    w.milkyWay = s.GetProfileInt("SHOW", "MILKEY", 0) != 0;
    return w;
}

}  // namespace tavik
