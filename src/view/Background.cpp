#include "view/Background.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "astro/Angles.h"
#include "astro/Transforms.h"
#include "settings/SettingsStore.h"
#include "view/Projection.h"
#include "view/ViewState.h"

namespace tavik {

int BandHeightDegrees(int p) {
    if (p >= 11) return static_cast<int>((p - 10) * 45 / 11.0 + 45) / 3;
    return 15;
}

int GradientSteps(int p) {
    if (p >= 11) {
        const int n = static_cast<int>((p - 10) * 45 / 11.0 + 45);
        return n - n % 3;
    }
    return 45;
}

SkyColors MapSkyColors(const ColorTable& colors, const ColorModes& modes) {
    return {MapSkyColor(colors[slot::kSky1], modes), MapSkyColor(colors[slot::kSky2], modes),
            MapSkyColor(colors[slot::kSky3], modes), MapSkyColor(colors[slot::kSky4], modes)};
}

ColorRef GradientColor(int e, int steps, const SkyColors& sky) {
    const int n = std::max(steps / 3, 1);
    const int third = std::clamp(e / n, 0, 2);
    const ColorRef from[3] = {sky.bottom, sky.lower, sky.upper};
    const ColorRef to[3] = {sky.lower, sky.upper, sky.top};
    const ColorRef a = from[third], b = to[third];
    const int i = e % n;
    auto channel = [&](int s, int t) {
        const int delta = ((t - s) * 256) / n;
        return s + i * delta / 256;
    };
    return MakeColorRef(channel(RedOf(a), RedOf(b)), channel(GreenOf(a), GreenOf(b)),
                        channel(BlueOf(a), BlueOf(b)));
}

namespace {

double LeftAzimuth(const ViewState& v) { return (v.facing + 3) * kPi / 2 + v.turnRadians; }
double RightAzimuth(const ViewState& v) { return v.facing * kPi / 2 + v.turnRadians; }

int LightPollution(const RenderContext& ctx) {
    return std::clamp(ctx.settings->GetProfileInt("KOUGAI", "REDUCE", 0), 0, 20);
}

bool Gradation(const RenderContext& ctx) {
    return ctx.settings->GetProfileInt("BACKPAINT", "GRADATION", 1) == 1;
}

}  // namespace

SkyEllipseFrame ComputeEllipseFrame(const RenderContext& ctx) {
    const ViewState& v = *ctx.view;
    SkyEllipseFrame f;
    const int offX = v.chartOffsetX;
    f.cx = offX + v.chartHalf;
    const ProjectedPoint z = ProjectSky(v, LeftAzimuth(v), kPi / 2, false);
    const ProjectedPoint l = ProjectSky(v, LeftAzimuth(v), 0.0, false);
    const ProjectedPoint r = ProjectSky(v, RightAzimuth(v), 0.0, false);
    f.zenithY = z.y;
    if (l.y != 0) f.aspect = (static_cast<double>(r.x - offX) / l.y - 1.0) * 0.5 + 1.0;
    if (!(f.aspect > 0.0) || f.aspect > 100.0) f.aspect = 1.0;
    f.valid = l.y > z.y;
    return f;
}

int EllipseBottomForAltitude(const RenderContext& ctx, double degrees) {
    const ViewState& v = *ctx.view;
    return ProjectSky(v, LeftAzimuth(v), degrees * kDegToRad, false).y;
}

namespace {

SkyEllipse MakeEllipse(const RenderContext& ctx, const SkyEllipseFrame& f, double degrees,
                       ColorRef c) {
    SkyEllipse e;
    e.bottomY = EllipseBottomForAltitude(ctx, degrees);
    e.radius = static_cast<int>((e.bottomY - f.zenithY) * f.aspect);
    e.color = c;
    return e;
}

}  // namespace

std::vector<SkyEllipse> BandEllipses(const RenderContext& ctx, const SkyEllipseFrame& f) {
    const SkyColors sky = MapSkyColors(*ctx.colors, ctx.modes);
    const int a = BandHeightDegrees(LightPollution(ctx));
    return {MakeEllipse(ctx, f, 0, sky.bottom), MakeEllipse(ctx, f, a, sky.lower),
            MakeEllipse(ctx, f, 2 * a, sky.upper), MakeEllipse(ctx, f, 3 * a, sky.top)};
}

std::vector<SkyEllipse> GradientEllipses(const RenderContext& ctx, const SkyEllipseFrame& f) {
    const SkyColors sky = MapSkyColors(*ctx.colors, ctx.modes);
    const int steps = GradientSteps(LightPollution(ctx));
    std::vector<SkyEllipse> out;
    out.reserve(static_cast<std::size_t>(steps));
    for (int e = 0; e < steps; ++e) out.push_back(MakeEllipse(ctx, f, e, GradientColor(e, steps, sky)));
    return out;
}

namespace {

struct Span {
    int left = 0;
    int right = -1;  // empty when right < left
    bool Empty() const { return right < left; }
};

// Pixels of row y whose centres lie inside the ellipse.
Span RowSpan(const SkyEllipseFrame& f, const SkyEllipse& e, int y, int width) {
    Span s;
    const double b = e.bottomY - f.zenithY;
    if (b <= 0.0 || e.radius <= 0) return s;
    const double t = (y + 0.5 - f.zenithY) / b;
    if (t < -1.0 || t > 1.0) return s;
    const double w = e.radius * std::sqrt(1.0 - t * t);
    s.left = std::max(0, static_cast<int>(std::ceil(f.cx - w - 0.5)));
    s.right = std::min(width - 1, static_cast<int>(std::floor(f.cx + w - 0.5)));
    return s;
}

}  // namespace

void PaintEllipses(QImage& image, const SkyEllipseFrame& f, const std::vector<SkyEllipse>& ellipses,
                   const ColorRef* outside) {
    const int width = image.width();
    const std::size_t n = ellipses.size();
    std::vector<Span> spans(n);
    std::vector<QRgb> colors(n);
    for (std::size_t i = 0; i < n; ++i) colors[i] = ToQRgb(ellipses[i].color);
    const QRgb ground = outside ? ToQRgb(*outside) : 0;
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (outside) {
            const Span s = n > 0 ? RowSpan(f, ellipses[0], y, width) : Span{};
            if (s.Empty()) {
                std::fill(row, row + width, ground);
            } else {
                std::fill(row, row + s.left, ground);
                std::fill(row + s.right + 1, row + width, ground);
            }
        }
        bool nested = true;
        std::size_t used = 0;  // spans 0 .. used-1 are non-empty
        for (std::size_t i = 0; i < n; ++i) {
            spans[i] = RowSpan(f, ellipses[i], y, width);
            if (spans[i].Empty()) continue;
            if (used != i) nested = false;  // a non-empty span inside an empty one
            if (i > 0 && !spans[i - 1].Empty() &&
                (spans[i].left < spans[i - 1].left || spans[i].right > spans[i - 1].right))
                nested = false;
            used = i + 1;
        }
        if (!nested) {
            for (std::size_t i = 0; i < n; ++i)
                if (!spans[i].Empty())
                    std::fill(row + spans[i].left, row + spans[i].right + 1, colors[i]);
            continue;
        }
        // Each ellipse shows only where the next one does not cover it.
        for (std::size_t i = 0; i < used; ++i) {
            const Span& s = spans[i];
            if (i + 1 < used) {
                const Span& in = spans[i + 1];
                std::fill(row + s.left, row + in.left, colors[i]);
                std::fill(row + in.right + 1, row + s.right + 1, colors[i]);
            } else {
                std::fill(row + s.left, row + s.right + 1, colors[i]);
            }
        }
    }
}

void PaintEllipsesStacked(QPainter& p, const SkyEllipseFrame& f, const std::vector<SkyEllipse>& ellipses) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    for (const SkyEllipse& e : ellipses) {
        const double b = e.bottomY - f.zenithY;
        if (b <= 0 || e.radius <= 0) continue;
        p.setBrush(ToQColor(e.color));
        p.drawEllipse(QRectF(f.cx - e.radius, f.zenithY - b, 2.0 * e.radius, 2.0 * b));
    }
    p.restore();
}

namespace {

bool DaylightSky(const RenderContext& ctx) {
    return ctx.daylightDisplay && ctx.daylight != Daylight::Night;
}

ColorRef DaylightColor(const RenderContext& ctx) {
    const int s = ctx.daylight == Daylight::Day ? slot::kDayLight : slot::kDayTwilight;
    return MapSkyColor((*ctx.colors)[s], ctx.modes);
}

// Horizon framing: the colour of each pixel follows the true altitude under it.
SkyBackdrop PaintHorizonFramed(const RenderContext& ctx, BackgroundCache* cache) {
    const ViewState& v = *ctx.view;
    const Framing fr = ViewFraming(v);
    const int steps = GradientSteps(LightPollution(ctx));
    const int band = BandHeightDegrees(LightPollution(ctx));
    const bool gradation = Gradation(ctx);
    const bool daylight = DaylightSky(ctx);
    const SkyColors sky = MapSkyColors(*ctx.colors, ctx.modes);
    const ColorRef dayColor = DaylightColor(ctx);
    const ColorRef ground = ctx.Background();
    const int w = ctx.image->width(), h = ctx.image->height();

    const std::vector<double> key = {
        double(w), double(h), double(v.chartSize), fr.tiltDegrees, fr.span, fr.stretch,
        double(steps), double(band), double(gradation), double(daylight), double(sky.top),
        double(sky.upper), double(sky.lower), double(sky.bottom), double(dayColor), double(ground)};
    if (cache && cache->key == key && cache->image.size() == ctx.image->size()) {
        ctx.painter->drawImage(0, 0, cache->image);
        return {&cache->image};
    }

    QImage out(w, h, QImage::Format_RGB32);
    const double g = fr.tiltDegrees * kDegToRad;
    const double r = v.chartSize;
    const int halfW = w / 2;
    for (int y = 0; y < h; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        const double dy = r - y;
        for (int x = 0; x < w; ++x) {
            const double dx = static_cast<int>((x - halfW) / fr.stretch);
            const double rho = std::sqrt(dx * dx + dy * dy);
            const double latp = kPi / 2 - rho * kPi / (r * fr.span);
            double alt = -1.0;
            if (latp >= -kPi / 2) alt = UnrotatePole(kPi / 2 - std::atan2(dx, dy), latp, g, 0.0).lat;
            ColorRef c = ground;
            if (alt >= 0.0) {
                const double deg = alt * kRadToDeg;
                if (daylight) {
                    c = dayColor;
                } else if (gradation) {
                    c = GradientColor(std::min(static_cast<int>(deg), steps - 1), steps, sky);
                } else {
                    c = deg < band ? sky.bottom : deg < 2 * band ? sky.lower : deg < 3 * band ? sky.upper : sky.top;
                }
            }
            row[x] = ToQRgb(c);
        }
    }
    ctx.painter->drawImage(0, 0, out);
    if (!cache) return {};
    cache->image = std::move(out);
    cache->key = key;
    return {&cache->image};
}

}  // namespace

SkyBackdrop PaintSkyBackground(const RenderContext& ctx, BackgroundCache* cache) {
    if (ctx.overwrite) return {};
    const ViewState& v = *ctx.view;
    switch (v.viewMode) {
        case ViewMode::Heliocentric: return {};
        case ViewMode::Planisphere:
        case ViewMode::PolarAlignment: {
            const ColorRef c = DaylightSky(ctx) ? DaylightColor(ctx)
                                                : MapSkyColor((*ctx.colors)[slot::kSky1], ctx.modes);
            QPainter& p = *ctx.painter;
            p.save();
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(ToQColor(c));
            p.setBrush(ToQColor(c));
            p.drawEllipse(QRect(v.chartOffsetX, 0, v.chartSize - 1, v.chartSize - 1));
            p.restore();
            return {nullptr, true, ToQRgb(c)};
        }
        default: break;
    }
    if (v.viewMode == ViewMode::Direction && v.horizonFraming && !v.magnifier.present)
        return PaintHorizonFramed(ctx, cache);
    const SkyEllipseFrame frame = ComputeEllipseFrame(ctx);
    if (!frame.valid) {
        const QRgb sky = ToQRgb(MapSkyColor((*ctx.colors)[slot::kSky1], ctx.modes));
        ctx.image->fill(sky);
        return {nullptr, true, sky};
    }
    std::vector<SkyEllipse> ellipses;
    if (DaylightSky(ctx))
        ellipses = {MakeEllipse(ctx, frame, 0, DaylightColor(ctx))};
    else if (Gradation(ctx))
        ellipses = GradientEllipses(ctx, frame);
    else
        ellipses = BandEllipses(ctx, frame);
    const ColorRef ground = ctx.Background();

    QImage& image = *ctx.image;
    if (!cache) {
        PaintEllipses(image, frame, ellipses, &ground);
        return {};
    }
    // The same sky as last time: copy it.
    std::vector<double> key = {-1.0, double(image.width()), double(image.height()), double(frame.cx),
                               double(frame.zenithY), frame.aspect, double(ground)};
    for (const SkyEllipse& e : ellipses) key.insert(key.end(), {double(e.bottomY), double(e.radius), double(e.color)});
    if (cache->key != key || cache->image.size() != image.size() || cache->image.format() != image.format()) {
        cache->image = QImage(image.size(), QImage::Format_RGB32);
        PaintEllipses(cache->image, frame, ellipses, &ground);
        cache->key = std::move(key);
    }
    const qsizetype rowBytes = static_cast<qsizetype>(image.width()) * 4;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), cache->image.constScanLine(y), static_cast<std::size_t>(rowBytes));
    return {&cache->image};
}

bool BackgroundCoversImage(const RenderContext& ctx) {
    if (ctx.overwrite || !ctx.view) return false;
    switch (ctx.view->viewMode) {
        case ViewMode::Direction:
        case ViewMode::Zenith:
        case ViewMode::Magnified: return true;
        default: return false;
    }
}

}  // namespace tavik
