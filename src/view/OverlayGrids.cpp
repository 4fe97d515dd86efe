// The coordinate grids (ground scale, equatorial, ecliptic), the grid overlay
// they are drawn through, and the polyline walk shared with constellation lines.

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "astro/Angles.h"
#include "astro/Transforms.h"
#include "settings/SettingsStore.h"
#include "view/Overlay.h"
#include "view/Projection.h"
#include "view/ViewState.h"

namespace tavik {

namespace {

constexpr double kDeg = kPi / 180.0;

// Joins consecutive accepted points of one curve through ClipSegment.
class RunJoiner {
public:
    RunJoiner(const RenderContext& ctx, QPainter& painter, const ClipRect& rect, int maxSpan,
              DirtyTiles* tiles)
        : view_(*ctx.view), painter_(painter), rect_(rect), rectangleMode_(RectangleMode(ctx)),
          maxSpan_(maxSpan), tiles_(tiles) {}

    void Break() { have_ = false; }

    // Adds the next point; an OffScreen point (rejected by the azimuth window)
    // breaks the run. Returns whether a segment was drawn.
    bool Add(const ProjectedPoint& p) {
        if (p.x == OffScreen || p.y == OffScreen) {
            have_ = false;
            return false;
        }
        const PixelPoint current{p.x, p.y};
        bool drawn = false;
        if (have_) {
            PixelPoint a = last_, b = current;
            if (ClipSegment(view_, a, b, rect_, rectangleMode_, maxSpan_)) {
                painter_.drawLine(a.x, a.y, b.x, b.y);
                if (tiles_) tiles_->Mark(a.x, a.y, b.x, b.y);
                drawn = true;
            }
        }
        last_ = current;
        have_ = true;
        return drawn;
    }

private:
    const ViewState& view_;
    QPainter& painter_;
    ClipRect rect_;
    bool rectangleMode_;
    int maxSpan_;
    DirtyTiles* tiles_;
    bool have_ = false;
    PixelPoint last_;
};

// Draws a grid label with its top-left corner at the point, when the point
// lies inside the clipping area.
void DrawLabelAt(const RenderContext& ctx, QPainter& painter, const ProjectedPoint& p,
                 const ClipRect& rect, const char* text, DirtyTiles* tiles) {
    if (p.x == OffScreen) return;
    PixelPoint a{p.x, p.y}, b{p.x, p.y};
    if (!ClipSegment(*ctx.view, a, b, rect, RectangleMode(ctx))) return;
    if (RectangleMode(ctx) && (a.x != p.x || a.y != p.y)) return;
    const QFontMetrics fm(painter.font());
    const QString s = QString::fromUtf8(text);
    painter.drawText(QPoint(p.x, p.y + fm.ascent()), s);
    if (tiles) tiles->Mark(p.x - 4, p.y - 4, p.x + fm.horizontalAdvance(s) + 4, p.y + fm.height() + 4);
}

// Sets up a painter on the overlay: the grid's colour, thin solid lines, and a
// font without antialiasing so that no pixel mixes with the key colour.
void SetupGridPainter(const RenderContext& ctx, QPainter& painter, int slotIndex) {
    QColor c = ctx.MappedQColor(slotIndex);
    if ((c.rgb() & 0xFFFFFF) == (kGridKey & 0xFFFFFF)) c = QColor(0, 0, 0);  // never the key
    painter.setPen(QPen(c, 0));
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    QFont f = ctx.font;
    f.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(f);
}

}  // namespace

ClipRect ClientRect(const RenderContext& ctx, bool cutToChart) {
    ClipRect r{0, 0, ctx.clientWidth, ctx.clientHeight};
    if (cutToChart && ctx.view) r.bottom = std::min(r.bottom, ctx.view->chartSize);
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
        const ProjectedPoint p = ProjectEquatorial(view, line.ra[i], line.dec[i], view.wideFraming);
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

void DirtyTiles::Reset(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    columns_ = (width_ + kTile - 1) / kTile;
    rows_ = (height_ + kTile - 1) / kTile;
    dirty_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0);
}

void DirtyTiles::Mark(int x1, int y1, int x2, int y2) {
    if (columns_ == 0 || rows_ == 0) return;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 < 0 || y2 < 0 || x1 >= width_ || y1 >= height_) return;
    const int c1 = std::max(x1, 0) / kTile, c2 = std::min(x2, width_ - 1) / kTile;
    const int r1 = std::max(y1, 0) / kTile, r2 = std::min(y2, height_ - 1) / kTile;
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c)
            dirty_[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(c)] = 1;
}

void DirtyTiles::MarkAll() { std::fill(dirty_.begin(), dirty_.end(), 1); }
void DirtyTiles::Clear() { std::fill(dirty_.begin(), dirty_.end(), 0); }

void PrepareGridLayer(QImage& layer, DirtyTiles& tiles, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (layer.width() != width || layer.height() != height || layer.format() != QImage::Format_RGB32) {
        layer = QImage(width, height, QImage::Format_RGB32);
        layer.fill(kGridKey);
    }
    if (tiles.Width() != width || tiles.Height() != height) tiles.Reset(width, height);
}

void BlendAndClearLayer(QImage& image, QImage& layer, DirtyTiles& tiles, int percent) {
    const int w = std::min(image.width(), layer.width());
    const int h = std::min(image.height(), layer.height());
    if (tiles.Width() != layer.width() || tiles.Height() != layer.height()) {
        tiles.Reset(layer.width(), layer.height());
        tiles.MarkAll();
    }
    uchar* const dstBits = image.bits();
    uchar* const srcBits = layer.bits();
    const qsizetype dstStride = image.bytesPerLine(), srcStride = layer.bytesPerLine();
    constexpr std::uint64_t kKeyPair = (static_cast<std::uint64_t>(kGridKey) << 32) | kGridKey;
    auto mix = [percent](int old, int neu) { return old + (neu - old) * percent / 100; };
    // Row by row across the dirty tiles, so that both images are read in
    // address order (the sparse pixels of thin lines otherwise cost a cache
    // and page-table miss each).
    for (int row = 0; row < tiles.Rows(); ++row) {
        const int y0 = row * DirtyTiles::kTile, y1 = std::min(y0 + DirtyTiles::kTile, h);
        for (int y = y0; y < y1; ++y) {
            QRgb* dst = reinterpret_cast<QRgb*>(dstBits + y * dstStride);
            QRgb* src = reinterpret_cast<QRgb*>(srcBits + y * srcStride);
            for (int column = 0; column < tiles.Columns(); ++column) {
                if (!tiles.IsDirty(column, row)) continue;
                const int x0 = column * DirtyTiles::kTile, x1 = std::min(x0 + DirtyTiles::kTile, w);
                int x = x0;
                while (x < x1) {
                    // Most of the overlay is key: skip it two pixels at a time.
                    if (x + 2 <= x1) {
                        std::uint64_t pair;
                        std::memcpy(&pair, src + x, sizeof pair);
                        if (pair == kKeyPair) {
                            x += 2;
                            continue;
                        }
                    }
                    const QRgb o = src[x];
                    if ((o & 0xFFFFFF) != (kGridKey & 0xFFFFFF)) {
                        const QRgb d = dst[x];
                        dst[x] = qRgb(mix(qRed(d), qRed(o)), mix(qGreen(d), qGreen(o)), mix(qBlue(d), qBlue(o)));
                        src[x] = kGridKey;
                    }
                    ++x;
                }
            }
        }
    }
    tiles.Clear();
    // A layer larger than the image keeps nothing drawn outside it.
    if (layer.width() > w || layer.height() > h) layer.fill(kGridKey);
}

void DrawGroundScale(const RenderContext& ctx, QPainter& painter, DirtyTiles* tiles) {
    const ViewState& view = *ctx.view;
    const bool clip = view.wideFraming;
    const ClipRect rect = ClientRect(ctx);
    SetupGridPainter(ctx, painter, slot::kGroundScale);
    // The scale counts azimuth from the south: scale value a stands at azimuth a + 180.
    auto project = [&](int a, int alt) {
        return ProjectSky(view, (a + 180) * kDeg, alt * kDeg, clip);
    };
    for (int alt = 0; alt <= 80; alt += 10) {
        RunJoiner run(ctx, painter, rect, kMaxSegmentSpan, tiles);
        for (int a = 0; a <= 360; a += 10) run.Add(project(a, alt));
    }
    char label[32];
    for (int a = 0; a <= 360; a += 10) {
        RunJoiner run(ctx, painter, rect, kMaxSegmentSpan, tiles);
        for (int alt = 0; alt <= 80; alt += 20) {
            const ProjectedPoint p = project(a, alt);
            run.Add(p);
            if (a % 30 == 0 && a < 360) {
                std::snprintf(label, sizeof label, "%dﾟ %dﾟ", a, alt);
                DrawLabelAt(ctx, painter, p, rect, label, tiles);
            }
        }
    }
}

void DrawEquatorialGrid(const RenderContext& ctx, QPainter& painter, DirtyTiles* tiles) {
    const ViewState& view = *ctx.view;
    const ClipRect rect = ClientRect(ctx);
    const bool planisphere = view.viewMode == ViewMode::Planisphere;
    SetupGridPainter(ctx, painter, slot::kEquatorial);
    for (int dec = -80; dec <= 80; dec += 10) {
        RunJoiner run(ctx, painter, rect, kMaxSegmentSpan, tiles);
        for (int ra = 0; ra <= 360; ra += 10) {
            run.Add(ProjectEquatorial(view, ra * kDeg, dec * kDeg, true));
        }
    }
    char label[32];
    for (int ra = 0; ra <= 360; ra += 15) {
        RunJoiner run(ctx, painter, rect, kMaxSegmentSpan, tiles);
        for (int dec = -80; dec <= 80; dec += 10) {
            const ProjectedPoint p = ProjectEquatorial(view, ra * kDeg, dec * kDeg, true);
            run.Add(p);
            if (ra == 360) continue;  // the 24 h circle is the 0 h circle again
            if (planisphere && (ra % 30 != 0 || dec % 30 != 0)) continue;
            std::snprintf(label, sizeof label, "%dh %dﾟ", ra / 15, dec);
            DrawLabelAt(ctx, painter, p, rect, label, tiles);
        }
    }
}

void DrawEclipticGrid(const RenderContext& ctx, QPainter& painter, DirtyTiles* tiles) {
    const ViewState& view = *ctx.view;
    const ClipRect rect = ClientRect(ctx);
    const bool planisphere = view.viewMode == ViewMode::Planisphere;
    SetupGridPainter(ctx, painter, slot::kEcliptic);
    auto project = [&](int lon, int lat) {
        const Spherical eq = EclipticToEquatorial(ctx.obliquity, lon * kDeg, lat * kDeg);
        return ProjectEquatorial(view, eq.lon, eq.lat, false);
    };
    for (int lat = -30; lat <= 30; lat += 10) {
        RunJoiner run(ctx, painter, rect, kMaxSegmentSpan, tiles);
        for (int lon = 0; lon <= 360; lon += 10) run.Add(project(lon, lat));
    }
    char label[32];
    for (int lon = 0; lon <= 360; lon += 15) {
        RunJoiner run(ctx, painter, rect, kMaxSegmentSpan, tiles);
        for (int lat = -30; lat <= 30; lat += 10) {
            const ProjectedPoint p = project(lon, lat);
            run.Add(p);
            if (lon == 360) continue;
            if (planisphere && lon % 30 != 0) continue;
            std::snprintf(label, sizeof label, "%dh %dﾟ", lon / 15, lat);
            DrawLabelAt(ctx, painter, p, rect, label, tiles);
        }
    }
}

void DrawGrids(RenderContext& ctx, OverlayState& state) {
    if (!ctx.image || !ctx.view || !ctx.settings) return;
    const OverlaySwitches sw = OverlaySwitches::Load(*ctx.settings);
    if (!sw.groundScale && !sw.equatorialGrid && !sw.eclipticGrid) return;
    // The three grids share one pass through the overlay: drawn into the
    // key-coloured layer, then blended at 80 per cent with the key pixels left
    // out, so grid lines never hide the sky completely. Only the tiles drawn
    // into are read back, and blending puts the key colour back, so the layer
    // needs no refill before the next pass.
    PrepareGridLayer(state.gridLayer, state.gridTiles, ctx.clientWidth, ctx.clientHeight);
    {
        QPainter painter(&state.gridLayer);
        if (sw.groundScale) DrawGroundScale(ctx, painter, &state.gridTiles);
        if (sw.equatorialGrid) DrawEquatorialGrid(ctx, painter, &state.gridTiles);
        if (sw.eclipticGrid) DrawEclipticGrid(ctx, painter, &state.gridTiles);
    }
    BlendAndClearLayer(*ctx.image, state.gridLayer, state.gridTiles, 80);
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
