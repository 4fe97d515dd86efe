#include "view/FieldOfView.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "astro/Angles.h"
#include "view/Color.h"
#include "view/DeepSkyOutline.h"
#include "view/MagnifierPanelModel.h"
#include "view/RenderContext.h"

namespace tavik {

namespace {

constexpr double kDegree = kPi / 180.0;

std::string Degrees(double radians) {
    const double deg = radians / kDegree;
    char buf[32];
    if (deg < 1.0) {
        std::snprintf(buf, sizeof buf, "%.1f\xE2\x80\xB2", deg * 60.0);  // ′
    } else {
        std::snprintf(buf, sizeof buf, "%.2f\xC2\xB0", deg);  // °
    }
    return buf;
}

// The four corners of a camera's rectangle, in chart pixels.
std::array<QPointF, 4> Corners(const FieldShape& f, const FieldLayout& l) {
    const double c = std::cos(f.rotation), s = std::sin(f.rotation);
    // The sensor's height side along north turned towards east by the rotation,
    // its width side along east turned the same way.
    const double vx = c * l.northX + s * l.eastX, vy = c * l.northY + s * l.eastY;
    const double ux = c * l.eastX - s * l.northX, uy = c * l.eastY - s * l.northY;
    const double hw = f.width / 2.0 * l.pixelsPerRadian, hh = f.height / 2.0 * l.pixelsPerRadian;
    std::array<QPointF, 4> p;
    const int signs[4][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
    for (int i = 0; i < 4; ++i) {
        p[i] = QPointF(l.x + signs[i][0] * hw * ux + signs[i][1] * hh * vx,
                       l.y + signs[i][0] * hw * uy + signs[i][1] * hh * vy);
    }
    return p;
}

}  // namespace

double EyepieceTrueField(double apparentDeg, double eyepieceFocalMm, double telescopeFocalMm) {
    if (!(telescopeFocalMm > 0.0)) return 0.0;
    return apparentDeg * kDegree * eyepieceFocalMm / telescopeFocalMm;
}

double SensorField(double sideMm, double telescopeFocalMm) {
    if (!(telescopeFocalMm > 0.0)) return 0.0;
    return 2.0 * std::atan(sideMm / (2.0 * telescopeFocalMm));
}

std::vector<FieldShape> ShownFields(const FieldOfViewSettings& s) {
    std::vector<FieldShape> out;
    for (const auto& e : s.eyepieces) {
        if (!e.shown || e.focalTenths <= 0 || e.apparentDeg <= 0) continue;
        FieldShape f;
        f.kind = FieldShape::Kind::Eyepiece;
        f.name = e.name;
        f.width = f.height = EyepieceTrueField(e.apparentDeg, e.focalTenths / 10.0, s.focalMm);
        if (f.width > 0.0) out.push_back(f);
    }
    for (const auto& c : s.cameras) {
        if (!c.shown || c.widthHundredths <= 0 || c.heightHundredths <= 0) continue;
        FieldShape f;
        f.kind = FieldShape::Kind::Camera;
        f.name = c.name;
        f.width = SensorField(c.widthHundredths / 100.0, s.focalMm);
        f.height = SensorField(c.heightHundredths / 100.0, s.focalMm);
        f.rotation = c.rotationDeg * kDegree;
        if (f.width > 0.0 && f.height > 0.0) out.push_back(f);
    }
    for (const auto& r : s.finders) {
        if (!r.shown || r.tenthsDeg <= 0) continue;
        FieldShape f;
        f.kind = FieldShape::Kind::Finder;
        f.width = f.height = r.tenthsDeg / 10.0 * kDegree;
        out.push_back(f);
    }
    return out;
}

std::string FieldSizeText(const FieldShape& f) {
    if (f.kind == FieldShape::Kind::Finder) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g\xC2\xB0", std::round(f.width / kDegree * 10.0) / 10.0);
        return buf;
    }
    if (f.IsCircle()) return Degrees(f.width);
    return Degrees(f.width) + "\xC3\x97" + Degrees(f.height);  // ×
}

std::string FieldLabel(const FieldShape& f) {
    return f.name.empty() ? FieldSizeText(f) : f.name + " " + FieldSizeText(f);
}

std::optional<FieldLayout> LayoutFields(const ViewState& view, const std::optional<SkyPosition>& centre) {
    if (!SkyFillsChart(view)) return std::nullopt;
    FieldLayout l;
    l.pixelsPerRadian = PixelsPerArcmin(view) * 60.0 / kDegree;
    SkyPosition at;
    if (centre) {
        const std::optional<ChartPointF> p = ProjectDirectionExact(view, centre->rightAscension, centre->declination);
        if (!p) return std::nullopt;
        l.x = p->x;
        l.y = p->y;
        at = *centre;
    } else {
        const ProjectedPoint p = PlaceOnChart(view, 0, 0, 1.0);
        l.x = p.x;
        l.y = p.y;
        at = UnprojectSky(view, p.x, p.y);
    }
    // The sky's north and east at the centre, as the chart turns them.
    constexpr double d = 1e-4;
    const double cosDec = std::max(std::cos(at.declination), 1e-6);
    const auto n1 = ProjectDirectionExact(view, at.rightAscension, at.declination + d);
    const auto n0 = ProjectDirectionExact(view, at.rightAscension, at.declination - d);
    const auto e1 = ProjectDirectionExact(view, at.rightAscension + d / cosDec, at.declination);
    const auto e0 = ProjectDirectionExact(view, at.rightAscension - d / cosDec, at.declination);
    if (n1 && n0 && e1 && e0) {
        const double nx = n1->x - n0->x, ny = n1->y - n0->y;
        const double ex = e1->x - e0->x, ey = e1->y - e0->y;
        const double nl = std::hypot(nx, ny), el = std::hypot(ex, ey);
        if (nl > 0.0 && el > 0.0) {
            l.northX = nx / nl;
            l.northY = ny / nl;
            l.eastX = ex / el;
            l.eastY = ey / el;
        }
    }
    return l;
}

bool FieldHolds(const FieldShape& f, const FieldLayout& l, double x, double y) {
    if (f.IsCircle()) return std::hypot(x - l.x, y - l.y) <= f.width / 2.0 * l.pixelsPerRadian;
    const std::array<QPointF, 4> c = Corners(f, l);
    QPolygonF poly;
    for (const QPointF& q : c) poly << q;
    return poly.containsPoint(QPointF(x, y), Qt::OddEvenFill);
}

void DrawFieldsOfView(RenderContext& ctx, const std::optional<SkyPosition>& centre) {
    if (!ctx.view || !ctx.settings || !SkyFillsChart(*ctx.view)) return;
    const std::vector<FieldShape> fields = ShownFields(FieldOfViewSettings::Load(*ctx.settings));
    if (fields.empty()) return;
    const std::optional<FieldLayout> layout = LayoutFields(*ctx.view, centre);
    if (!layout) return;
    QPainter& p = *ctx.painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor color = ctx.MappedQColor(slot::kTelescopeTrace);
    p.setPen(QPen(color, std::max(1.0, ctx.view->pixelRatio)));
    p.setBrush(Qt::NoBrush);
    p.setFont(ctx.font);
    const QFontMetrics metrics(ctx.font, ctx.image);
    std::vector<QRectF> labels;  // the labels written so far, which a new one keeps clear of
    const QRectF chart(0.0, 0.0, ctx.clientWidth, ctx.clientHeight);
    for (const FieldShape& f : fields) {
        // A field wholly off the chart (the telescope elsewhere) is not labelled either.
        const double reach = std::hypot(f.width, f.height) / 2.0 * layout->pixelsPerRadian;
        if (!chart.intersects(QRectF(layout->x - reach, layout->y - reach, 2.0 * reach, 2.0 * reach))) continue;
        QPointF labelAt;
        if (f.IsCircle()) {
            const double r = f.width / 2.0 * layout->pixelsPerRadian;
            p.drawEllipse(QPointF(layout->x, layout->y), r, r);
            // Above the circle's upper right, clear of the line.
            labelAt = QPointF(layout->x + r * 0.7071 + 2.0, layout->y - r * 0.7071 - 2.0);
        } else {
            const std::array<QPointF, 4> c = Corners(f, *layout);
            p.drawPolygon(c.data(), static_cast<int>(c.size()));
            // By the corner furthest up and to the right.
            labelAt = *std::min_element(c.begin(), c.end(), [](const QPointF& a, const QPointF& b) {
                return a.y() - a.x() < b.y() - b.x();
            });
            labelAt += QPointF(2.0, -2.0);
        }
        const QString text = QString::fromStdString(FieldLabel(f));
        // Kept on the chart where the shape is larger than it.
        const double w = metrics.horizontalAdvance(text);
        labelAt.setX(std::clamp(labelAt.x(), 0.0, std::max(0.0, ctx.clientWidth - w - 1.0)));
        labelAt.setY(std::clamp(labelAt.y(), double(metrics.ascent()), std::max(double(metrics.ascent()), ctx.clientHeight - 1.0)));
        QRectF box(labelAt.x(), labelAt.y() - metrics.ascent(), w, metrics.height());
        for (std::size_t tries = 0; tries < 2 * labels.size(); ++tries) {
            const QRectF padded = box.adjusted(-3.0, -1.0, 3.0, 1.0);
            const bool clear =
                std::none_of(labels.begin(), labels.end(), [&](const QRectF& r) { return r.intersects(padded); });
            if (clear) break;
            box.translate(0.0, metrics.height());
        }
        labels.push_back(box);
        p.drawText(QPointF(box.x(), box.y() + metrics.ascent()), text);
    }
    p.restore();
}

std::string FieldsHoldingText(const ViewState& view, const SettingsStore& settings,
                              const std::optional<SkyPosition>& centre, int x, int y) {
    if (!SkyFillsChart(view)) return {};
    const std::vector<FieldShape> fields = ShownFields(FieldOfViewSettings::Load(settings));
    if (fields.empty()) return {};
    const std::optional<FieldLayout> layout = LayoutFields(view, centre);
    if (!layout) return {};
    std::string names;
    for (const FieldShape& f : fields) {
        if (!FieldHolds(f, *layout, x, y)) continue;
        if (!names.empty()) names += ",";
        names += f.name.empty() ? FieldSizeText(f) : f.name;
    }
    return names.empty() ? " 視野外" : " 視野:" + names;
}

std::optional<int> ZoomToFitFields(const ViewState& view, const FieldOfViewSettings& settings) {
    const std::vector<FieldShape> fields = ShownFields(settings);
    if (fields.empty() || view.chartSize <= 0) return std::nullopt;
    // How far each field reaches across and down the chart, as the sky turns on it.
    const FieldLayout l = LayoutFields(view, std::nullopt).value_or(FieldLayout{});
    double across = 0.0, down = 0.0;  // radians
    for (const FieldShape& f : fields) {
        if (f.IsCircle()) {
            across = std::max(across, f.width);
            down = std::max(down, f.width);
            continue;
        }
        const double c = std::cos(f.rotation), s = std::sin(f.rotation);
        const double ux = c * l.eastX - s * l.northX, uy = c * l.eastY - s * l.northY;
        const double vx = c * l.northX + s * l.eastX, vy = c * l.northY + s * l.eastY;
        across = std::max(across, f.width * std::abs(ux) + f.height * std::abs(vx));
        down = std::max(down, f.width * std::abs(uy) + f.height * std::abs(vy));
    }
    // Pixels per radian are chartSize x zoom/10 / pi in the magnified view; a
    // small margin keeps the outermost line and its label on the chart.
    constexpr double kMargin = 0.96;
    const double fit = std::min(view.clientWidth / across, ChartBottom(view) / down);
    const double zoom = kMargin * 10.0 * kPi * fit / view.chartSize;
    return std::clamp(static_cast<int>(std::floor(zoom)), magnifier::kZoomMin, magnifier::kZoomMax);
}

}  // namespace tavik
