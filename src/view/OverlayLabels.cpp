// Labels and marks of the chart: compass names, the height-band label, the
// status texts, the notice line, the polar reticle, the celestial-pole mark and
// the deep-sky symbols with the outlines of the large objects.

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "astro/Angles.h"
#include "catalog/StarRecord.h"
#include "view/DeepSkyOutline.h"
#include "view/HitList.h"
#include "view/Overlay.h"
#include "view/Projection.h"
#include "view/ViewState.h"

namespace tavik {

namespace {

constexpr double kDeg = kPi / 180.0;

const char* const kCompassNames[16] = {
    "南", "南南西", "南西", "西南西", "西", "西北西", "北西", "北北西",
    "北", "北北東", "北東", "東北東", "東", "東南東", "南東", "南南東",
};

// Text with its top-left corner at (x, top).
void TextAt(QPainter& painter, int x, int top, const QString& text) {
    const QFontMetrics fm(painter.font());
    painter.drawText(QPoint(x, top + fm.ascent()), text);
}

int TextWidth(const QPainter& painter, const QString& text) {
    return QFontMetrics(painter.font()).horizontalAdvance(text);
}

QString Utf8(const char* s) { return QString::fromUtf8(s); }

// A line as the window system draws it: the last point is not set. Only used
// for the axis-aligned and diagonal strokes of the symbols.
void GdiLine(QPainter& p, int x1, int y1, int x2, int y2) {
    const int sx = (x2 > x1) - (x2 < x1);
    const int sy = (y2 > y1) - (y2 < y1);
    p.drawLine(x1, y1, x2 - sx, y2 - sy);
}

// An ellipse in the box (left, top) .. (right, bottom), right and bottom exclusive.
void GdiEllipse(QPainter& p, int left, int top, int right, int bottom) {
    p.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

}  // namespace

std::string LongitudeText(int degrees, int minutes) {
    char buf[64];
    const bool west = degrees < 0 || minutes < 0;
    // Made positive in long long: a stored -2147483648 has no int negation.
    std::snprintf(buf, sizeof buf, west ? "西経%lld度%lld分" : "東経%lld度%lld分",
                  west ? std::llabs(degrees) : degrees, west ? std::llabs(minutes) : minutes);
    return buf;
}

std::string LatitudeText(int degrees, int minutes) {
    char buf[64];
    const bool south = degrees < 0 || minutes < 0;
    std::snprintf(buf, sizeof buf, south ? "南緯%lld度%lld分" : "北緯%lld度%lld分",
                  south ? std::llabs(degrees) : degrees, south ? std::llabs(minutes) : minutes);
    return buf;
}

const char* CompassName(int index) { return kCompassNames[((index % 16) + 16) % 16]; }

int NoticeTop(int clientHeight, int textHeight) { return clientHeight - 4 * textHeight - 2; }

int CompassRowTop(int chartSize, int clientHeight, int textHeight) {
    // Above them the band label's row, the notice line and the status lines.
    return std::min(chartSize, clientHeight - 6 * textHeight - 2);
}

void DrawPolarReticle(RenderContext& ctx) {
    if (!ctx.painter || !ctx.view) return;
    const ViewState& v = *ctx.view;
    QPainter& p = *ctx.painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ctx.MappedQColor(slot::kCompass), 0));
    p.setBrush(Qt::NoBrush);
    const int r = v.chartSize, r2 = v.chartHalf, offX = v.chartOffsetX;
    const double u = r / 240.0;
    int l = static_cast<int>(u * 30), o = static_cast<int>(u * 20);
    if (v.polarFine) {
        l = static_cast<int>(u * 90);
        o = static_cast<int>(u * 10);
    }
    GdiEllipse(p, offX + l, l, offX + r - l, r - l);
    GdiEllipse(p, offX + l + o, l + o, offX + r - l - o, r - l - o);
    p.drawLine(offX + r2, 0, offX + r2, r);
    p.drawLine(offX, r2, offX + r, r2);
    auto tick = [&](double c, double s, int from, int to) {
        p.drawLine(static_cast<int>(r2 + c * from) + offX, static_cast<int>(r2 - s * from),
                   static_cast<int>(r2 + c * to) + offX, static_cast<int>(r2 - s * to));
    };
    for (int w = 5; w <= 355; w += 5) {
        if (w == 90 || w == 180 || w == 270) continue;
        const double c = std::cos(w * kDeg), s = std::sin(w * kDeg);
        if (w % 15 == 0) {
            tick(c, s, r2 - l - o, r2 - l);
        } else {
            tick(c, s, r2 - l - o + (3 * o) / 4, r2 - l + o / 4);
        }
        tick(c, s, r2, r2 - 10);
    }
    p.restore();
}

void DrawCompassLabels(RenderContext& ctx) {
    if (!ctx.painter || !ctx.view) return;
    const ViewState& v = *ctx.view;
    QPainter& p = *ctx.painter;
    p.save();
    p.setFont(ctx.font);
    p.setPen(ctx.MappedQColor(slot::kCompass));
    const int h = ctx.textHeight;
    if (v.viewMode == ViewMode::Planisphere || v.viewMode == ViewMode::Zenith) {
        static const char* const kFour[4] = {"東", "南", "西", "北"};
        const double altitude = (v.viewMode == ViewMode::Planisphere ? 5.0 : 50.0) * kDeg;
        for (int i = 0; i < 4; ++i) {
            const ProjectedPoint pt = ProjectSky(v, (90.0 * (i + 1)) * kDeg, altitude, false);
            const QString text = Utf8(kFour[i]);
            TextAt(p, pt.x - TextWidth(p, text) / 2, pt.y - h / 2, text);
        }
        p.restore();
        return;
    }
    // Direction-type views: the strip below the chart square is cleared first
    // (the magnified sky fills the chart).
    if (ctx.clientHeight > ChartBottom(v)) {
        p.fillRect(QRect(0, v.chartSize, ctx.clientWidth, ctx.clientHeight - v.chartSize),
                   ctx.BackgroundQColor());
    }
    double altitude = 0.0;
    if (v.heightBand == HeightBand::High) altitude = 30.0;
    if (v.heightBand == HeightBand::Middle) altitude = 15.0;
    const int top = CompassRowTop(v.chartSize, ctx.clientHeight, h);
    // On a wide client the names would crowd: every second one is written.
    const int step = ctx.clientWidth > 300 ? 2 : 1;
    for (int i = 0; i < 16; i += step) {
        const double azimuth = 180 - static_cast<int>(-22.5 * i);
        const ProjectedPoint pt = ProjectSky(v, azimuth * kDeg, altitude * kDeg, true);
        if (!pt.visible) continue;
        const QString text = Utf8(kCompassNames[i]);
        TextAt(p, pt.x - TextWidth(p, text) / 2, top, text);
    }
    p.restore();
}

void DrawBandLabel(RenderContext& ctx) {
    if (!ctx.painter || !ctx.view) return;
    const ViewState& v = *ctx.view;
    if (!IsDirectionType(v.viewMode)) return;
    const char* text = "";
    if (v.viewMode == ViewMode::Magnified) {
        text = "拡大表示中";
    } else if (v.heightBand == HeightBand::High) {
        text = "高";
    } else if (v.heightBand == HeightBand::Middle) {
        text = "中";
    } else if (v.heightBand == HeightBand::Low) {
        text = "低";
    }
    if (!*text) return;
    QPainter& p = *ctx.painter;
    p.save();
    p.setFont(ctx.font);
    p.setPen(ctx.MappedQColor(slot::kCompass));
    const int h = ctx.textHeight;
    const QString s = Utf8(text);
    TextAt(p, (ctx.clientWidth - TextWidth(p, s)) / 2, CompassRowTop(v.chartSize, ctx.clientHeight, h) + h, s);
    p.restore();
}

void DrawStatusTexts(RenderContext& ctx) {
    if (!ctx.painter) return;
    QPainter& p = *ctx.painter;
    p.save();
    p.setFont(ctx.font);
    p.setPen(ctx.MappedQColor(slot::kGeneralText));
    const int h = ctx.textHeight;
    const int b = ctx.clientHeight;
    char buf[160];
    const bool hideSite = ctx.settings && OverlaySwitches::Load(*ctx.settings).hideSite;
    if (!hideSite) {
        TextAt(p, 0, b - 3 * h - 2,
               QString::fromStdString(LongitudeText(ctx.longitudeDegrees, ctx.longitudeMinutes)));
        TextAt(p, 0, b - 2 * h - 1,
               QString::fromStdString(LatitudeText(ctx.latitudeDegrees, ctx.latitudeMinutes)));
        TextAt(p, 0, b - h, Utf8("観測地：") + ctx.siteName);
    }
    std::snprintf(buf, sizeof buf, "%d年%d月%d日", ctx.localTime.Year(), ctx.localTime.Month(),
                  ctx.localTime.Day());
    QString s = Utf8(buf);
    TextAt(p, ctx.clientWidth - TextWidth(p, s), b - 2 * h - 2, s);
    std::snprintf(buf, sizeof buf, "%d時%d分", ctx.localTime.Hour(), ctx.localTime.Minute());
    s = Utf8(buf);
    TextAt(p, ctx.clientWidth - TextWidth(p, s), b - h, s);
    p.restore();
}

void DrawPoleMark(RenderContext& ctx) {
    if (!ctx.painter || !ctx.view || !ctx.settings) return;
    if (!OverlaySwitches::Load(*ctx.settings).showPole) return;
    const ViewState& v = *ctx.view;
    if (v.viewMode == ViewMode::Heliocentric) return;
    const double dec = v.latitude < 0.0 ? -kPi / 2 : kPi / 2;
    const ProjectedPoint pt =
        ProjectObject(v, 0.0, dec, 0.0, 0, ctx.sinLatitude, ctx.cosLatitude);
    if (!pt.visible) return;
    QPainter& p = *ctx.painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ctx.MappedQColor(slot::kPoleMark), 0));
    p.setBrush(Qt::NoBrush);
    // A ring with a cross through it.
    GdiEllipse(p, pt.x - 4, pt.y - 4, pt.x + 5, pt.y + 5);
    p.drawLine(pt.x - 7, pt.y, pt.x + 7, pt.y);
    p.drawLine(pt.x, pt.y - 7, pt.x, pt.y + 7);
    p.restore();
}

void DrawDeepSkySymbol(QPainter& p, int kind, int x, int y, const QColor& color) {
    p.setPen(QPen(color, 0));
    p.setBrush(Qt::NoBrush);
    switch (kind) {
    case kKindGlobularCluster:
        GdiEllipse(p, x - 2, y - 2, x + 3, y + 3);
        p.drawPoint(x, y);
        break;
    case kKindOpenCluster:
        for (int dy = -2; dy <= 2; dy += 2)
            for (int dx = -2; dx <= 2; dx += 2) p.drawPoint(x + dx, y + dy);
        break;
    case kKindPlanetaryNebula:
        GdiEllipse(p, x - 2, y - 2, x + 3, y + 3);
        GdiLine(p, x, y - 2, x, y + 3);
        break;
    case kKindDiffuseNebula:
        GdiLine(p, x - 3, y - 3, x + 4, y + 4);
        GdiLine(p, x + 3, y - 3, x - 4, y + 4);
        GdiLine(p, x - 2, y, x + 3, y);
        GdiLine(p, x, y - 2, x, y + 3);
        break;
    case kKindSupernovaRemnant:
        p.setBrush(color);
        GdiEllipse(p, x - 2, y - 2, x + 3, y + 3);
        p.setBrush(Qt::NoBrush);
        break;
    case kKindNebulaWithCluster:
        GdiEllipse(p, x - 2, y - 2, x + 3, y + 3);
        GdiLine(p, x, y - 2, x, y + 3);
        GdiLine(p, x + 3, y, x - 2, y);
        break;
    case kKindGalaxy:
        GdiEllipse(p, x - 2, y - 1, x + 3, y + 2);
        break;
    case kKindDarkNebula:
        p.drawRect(x - 2, y - 2, 4, 4);
        break;
    default: break;
    }
}

std::vector<std::size_t> CatalogueObjects(const std::vector<const StarRecord*>& catalogue) {
    std::vector<std::size_t> objects;
    for (std::size_t i = 0; i < catalogue.size(); ++i)
        if (catalogue[i] && catalogue[i]->kind != kKindStar) objects.push_back(i);
    return objects;
}

void DrawDeepSkyOutline(QPainter& p, int kind, const ChartOutline& outline, const QColor& color) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(color, 0);
    // A dark nebula is a hole in the sky: dashed, never filled.
    if (kind == kKindDarkNebula) pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // The unit circle through the outline's axes (the pen stays one pixel wide).
    p.setTransform(QTransform(outline.majorX, outline.majorY, outline.minorX, outline.minorY, outline.cx,
                              outline.cy),
                   true);
    p.drawEllipse(QPointF(0.0, 0.0), 1.0, 1.0);
    p.restore();
}

void DrawDeepSkyMarks(RenderContext& ctx, const ConstellationSelection* selection) {
    if (!ctx.painter || !ctx.view || !ctx.catalogue || !ctx.catalogueObjects || !ctx.settings) return;
    if (!OverlaySwitches::Load(*ctx.settings).deepSky) return;
    const ViewState& v = *ctx.view;
    QPainter& p = *ctx.painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor color = ctx.MappedQColor(slot::kDeepSky);
    const auto& records = *ctx.catalogue;
    const auto& objects = *ctx.catalogueObjects;
    const std::vector<const DeepSkySize*>* sizes =
        ctx.objectSizes && ctx.objectSizes->size() == objects.size() ? ctx.objectSizes : nullptr;
    const double limit = DeepSkyLimitingMagnitude(v);
    const double perArcmin = PixelsPerArcmin(v);
    // In the magnified view the objects outside its field (widened by the
    // largest object and a degree for the rounding of the view's angles) are
    // dropped by one dot product each.
    const std::vector<std::array<float, 3>>* directions =
        ctx.objectDirections && ctx.objectDirections->size() == objects.size() ? ctx.objectDirections : nullptr;
    const std::optional<FieldCone> field = directions ? MagnifiedField(v) : std::nullopt;
    const double reach = field ? field->radius + ctx.largestObjectRadius + kPi / 180.0 : kPi;
    const bool cull = reach < kPi / 2;
    const double cosReach = std::cos(reach);
    std::vector<LabelledStar> labels;
    for (std::size_t k = 0; k < objects.size(); ++k) {
        const StarRecord* r = records[objects[k]];
        if (!IsDeepSkyKind(r->kind)) continue;
        if (cull) {
            const auto& u = (*directions)[k];
            if (u[0] * field->x + u[1] * field->y + u[2] * field->z < cosReach) continue;
        }
        const DeepSkySize* size = sizes ? (*sizes)[k] : nullptr;
        if (!DeepSkyShown(*r, size, limit, perArcmin)) continue;
        const bool shown = !selection || selection->Shows(objects[k]);
        const ProjectedPoint pt =
            ProjectStar(v, *r, ctx.sinLatitude, ctx.cosLatitude, nullptr, shown);
        // Above the horizon (placed, on the chart or not): a large object's
        // outline may reach the chart from outside it.
        if (size && pt.x != OffScreen) {
            if (const auto outline = OutlineOnChart(v, *r, *size, pt.x, pt.y)) {
                DrawDeepSkyOutline(p, r->kind, *outline, color);
                if (ctx.hits) ctx.hits->AddOutline(*r, *outline);
            }
        }
        if (!pt.visible) continue;
        DrawDeepSkySymbol(p, r->kind, pt.x, pt.y, color);
        labels.push_back({r, pt.x, pt.y});
        if (ctx.hits) ctx.hits->Add(*r, pt.x, pt.y);
    }
    p.restore();
    DrawDeepSkyDesignations(ctx, std::move(labels));
}

void ShowNotice(QPaintDevice& target, int clientHeight, const QFont& font, const QString& text,
                const ColorTable& colors, const ColorModes& modes) {
    if (text.isEmpty()) return;
    ColorRef fore = MapColor(colors[slot::kGeneralText], modes);
    ColorRef back = colors[slot::kGeneralText] ^ 0xFFFFFFu;
    if (modes.whiteOnBlack) {
        fore = kWhite;
        back = kBlack;
    } else if (modes.blackOnWhite) {
        fore = kBlack;
        back = kWhite;
    } else if (modes.red) {
        // Red text on the red mode's own sky, never on a box that the red
        // mapping turns into the text's own colour.
        back = MapSkyColor(colors[slot::kBackground], modes);
        auto brightness = [](ColorRef c) { return (RedOf(c) * 3 + GreenOf(c) * 6 + BlueOf(c)) / 10; };
        if (std::abs(brightness(fore) - brightness(back)) < 96) back = kBlack;
    }
    QPainter p(&target);
    p.setFont(font);
    const QFontMetrics fm(font, &target);
    const int h = fm.height();
    const int top = NoticeTop(clientHeight, h);
    const QRect box(0, top, fm.horizontalAdvance(text), h);
    p.fillRect(box, ToQColor(back));
    p.setPen(ToQColor(fore));
    p.drawText(QPoint(0, top + fm.ascent()), text);
}

}  // namespace tavik
