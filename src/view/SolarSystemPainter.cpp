#include "view/SolarSystemPainter.h"
#include "view/HitList.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "astro/Angles.h"
#include "astro/Precession.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"
#include "catalog/StarRecord.h"
#include "settings/SettingsStore.h"
#include "view/Projection.h"
#include "view/StarPainter.h"
#include "view/ViewState.h"

namespace tavik {

namespace {

// Typical visual magnitudes: they size the planets' discs.
constexpr double kPlanetMagnitudes[kPlanetCount] = {0.0, -4.0, 1.0, -2.0, 0.5};
constexpr double kSunMoonMagnitude = -6.0;
const char* const kPlanetNames[kPlanetCount] = {"水星", "金星", "火星", "木星", "土星"};
const char* const kPlanetSymbols[kPlanetCount] = {"水", "金", "火", "木", "土"};
constexpr double kSynodicMonth = 29.530589;

bool Flag(const RenderContext& ctx, const char* section, const char* entry, int def) {
    return ctx.settings->GetProfileInt(section, entry, def) == 1;
}

// Apparent radii of the Sun and the Moon (radians): in a strongly magnified
// view their discs are drawn at this size once it exceeds the symbol's.
constexpr double kSunRadius = 0.00465;
constexpr double kMoonRadius = 0.00452;
constexpr double kSymbolRadius = 5.5;

// Chart pixels per radian of sky near the centre of the current view.
double PixelsPerRadian(const ViewState& v) {
    const double r = v.chartSize;
    switch (v.viewMode) {
        case ViewMode::Planisphere: return r / kPi;
        case ViewMode::Zenith: return r * 2.0 / kPi;
        case ViewMode::PolarAlignment: return r * (v.polarFine ? 80.0 : 24.0) / kPi;
        case ViewMode::Heliocentric: return 0.0;
        default: return r * ViewFraming(v).span / kPi;
    }
}

}  // namespace

SolarSystemState ComputeSolarSystem(const RenderContext& ctx) {
    SolarSystemState st;
    const DateTime ut = ToUniversalTime(ctx.localTime, ctx.zoneHours);
    // The engine gives places of date; the chart and its catalogue are J2000.
    const auto body = [&ut](const Spherical& ofDate, double magnitude) {
        const Spherical j = DateToJ2000(ofDate, ut);
        return SolarBodyPosition{true, j.lon, j.lat, magnitude};
    };

    st.sun = body(SunEquatorial(ut), kSunMoonMagnitude);
    st.moon = body(MoonTopocentric(ut, ctx.localSiderealTime, ctx.latitude), kSunMoonMagnitude);
    st.moonAhead = body(MoonOrientationPoint(ut), kSunMoonMagnitude);
    st.moonAge = MoonAge(ut);

    std::array<double, kPlanetCount> ra{}, dec{};
    PlanetsEquatorial(ut, ra, dec);
    for (std::size_t i = 0; i < kPlanetCount; ++i) st.planets[i] = body({ra[i], dec[i]}, kPlanetMagnitudes[i]);

    std::array<double, 10> lon{}, lat{};
    HeliocentricLongitudes(ut, lon, lat);
    st.heliocentric = {lon[4], lon[3], lon[2], lon[9], lon[1], lon[0]};
    return st;
}

double SunAltitude(const RenderContext& ctx, const SolarBodyPosition& sun) {
    const double hd = ctx.localSiderealTime - sun.ra;
    const double s = std::sin(sun.dec) * ctx.sinLatitude + std::cos(sun.dec) * ctx.cosLatitude * std::cos(hd);
    return std::asin(std::clamp(s, -1.0, 1.0));
}

Daylight DaylightFor(double sunAltitude) {
    if (sunAltitude >= 0.0) return Daylight::Day;
    if (sunAltitude >= -12.0 * kDegToRad) return Daylight::Twilight;
    return Daylight::Night;
}

double MoonIlluminatedFraction(double age) {
    return (1.0 - std::cos(kTwoPi * age / kSynodicMonth)) / 2.0;
}

bool MoonWaxing(double age) {
    const double a = std::fmod(std::fmod(age, kSynodicMonth) + kSynodicMonth, kSynodicMonth);
    return a < kSynodicMonth / 2;
}

void DrawMoonDisc(QPainter& p, double x, double y, double r, double illuminated, double dirX,
                  double dirY, const QColor& lit, const QColor& dark) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(x, y);
    if (dirX != 0.0 || dirY != 0.0) p.rotate(std::atan2(dirY, dirX) * kRadToDeg);
    p.setPen(Qt::NoPen);
    p.setBrush(dark);
    p.drawEllipse(QPointF(0, 0), r, r);

    // The lit half towards +x, then the terminator ellipse taken away (crescent)
    // or added (gibbous).
    const double k = std::clamp(illuminated, 0.0, 1.0);
    QPainterPath half;
    half.moveTo(0, -r);
    half.arcTo(QRectF(-r, -r, 2 * r, 2 * r), 90, -180);
    half.closeSubpath();
    const double a = r * std::abs(1.0 - 2.0 * k);
    QPainterPath term;
    term.addEllipse(QPointF(0, 0), a, r);
    const QPainterPath litPath = k < 0.5 ? half.subtracted(term) : half.united(term);
    p.setBrush(lit);
    p.drawPath(litPath);
    p.restore();
}

namespace {

void DrawCenteredText(QPainter& p, int x, int y, const QString& text) {
    const QFontMetrics fm(p.font());
    const int w = fm.horizontalAdvance(text);
    p.drawText(x - w / 2, y - fm.height() / 2 + fm.ascent(), text);
}

}  // namespace

void DrawSolarSystem(const RenderContext& ctx, StarPainter& stars, const SolarSystemState& st) {
    const ViewState& v = *ctx.view;
    const bool noSun = Flag(ctx, "OPTION2", "NO_SUN", 0);
    const bool noPlanet = Flag(ctx, "OPTION2", "NO_PLANET", 0);
    const bool asNames = Flag(ctx, "SCREEN", "PLA_NAME", 0);
    const bool realMoon = Flag(ctx, "OPTION2", "REAL_MOON", 1);
    QPainter& p = *ctx.painter;
    p.save();
    p.setFont(ctx.font);

    auto project = [&](const SolarBodyPosition& b, int index, double* s) {
        return ProjectObject(v, b.ra, b.dec, b.magnitude, SolarPlaceholderKind(index), ctx.sinLatitude,
                             ctx.cosLatitude, s, true);
    };
    // Each body drawn is one the user may tap.
    auto addHit = [&](const SolarBodyPosition& b, int index, const ProjectedPoint& pt) {
        if (!ctx.hits) return;
        StarRecord& r = ctx.hits->SolarRecord(index);
        r.ra = b.ra;
        r.dec = b.dec;
        r.mag = b.magnitude;
        ctx.hits->Add(r, pt.x, pt.y);
    };

    if (!noPlanet) {
        for (int i = 0; i < kPlanetCount; ++i) {
            const SolarBodyPosition& b = st.planets[static_cast<std::size_t>(i)];
            if (!b.known) continue;
            double s = 0.0;
            const ProjectedPoint pt = project(b, i, &s);
            if (!pt.visible) continue;
            addHit(b, i, pt);
            p.setPen(ctx.MappedQColor(slot::kPlanetText));
            if (asNames) {
                DrawCenteredText(p, pt.x, pt.y, QString::fromUtf8(kPlanetNames[i]));
                continue;
            }
            stars.Draw(b.magnitude, "", true, SolarBody::Planet, pt.x, pt.y, s);
            p.drawText(pt.x + 4, pt.y - 3, QString::fromUtf8(kPlanetSymbols[i]));
        }
    }

    if (!noSun && st.sun.known) {
        double s = 0.0;
        const ProjectedPoint pt = project(st.sun, kSolarSun, &s);
        if (pt.visible) addHit(st.sun, kSolarSun, pt);
        if (pt.visible) {
            if (asNames) {
                p.setPen(ctx.MappedQColor(slot::kSunText));
                DrawCenteredText(p, pt.x, pt.y, QStringLiteral("太陽"));
            } else {
                const double r = kSunRadius * PixelsPerRadian(v);
                if (r > kSymbolRadius && !ctx.modes.whiteOnBlack && !ctx.modes.blackOnWhite) {
                    p.setRenderHint(QPainter::Antialiasing, true);
                    p.setPen(Qt::NoPen);
                    p.setBrush(ctx.modes.red ? QColor(255, 0, 0) : QColor(255, 214, 214));
                    p.drawEllipse(QPointF(pt.x + 0.5, pt.y + 0.5), r, r);
                    p.setRenderHint(QPainter::Antialiasing, false);
                } else {
                    stars.Draw(st.sun.magnitude, "", true, SolarBody::Sun, pt.x, pt.y, s);
                }
                const int ring = std::max(7, static_cast<int>(r) + 2);
                p.setPen(ctx.MappedQColor(slot::kSunText));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(QPoint(pt.x, pt.y), ring, ring);
            }
        }
    }

    if (!noSun && st.moon.known) {
        double s = 0.0;
        const ProjectedPoint pt = project(st.moon, kSolarMoon, &s);
        if (pt.visible) addHit(st.moon, kSolarMoon, pt);
        if (pt.visible) {
            const QColor moonColor = ctx.MappedQColor(slot::kMoon);
            if (asNames) {
                p.setPen(moonColor);
                DrawCenteredText(p, pt.x, pt.y, QStringLiteral("月"));
            } else if (ctx.modes.whiteOnBlack || ctx.modes.blackOnWhite) {
                stars.Draw(st.moon.magnitude, "", true, SolarBody::Moon, pt.x, pt.y, s);
            } else {
                const ProjectedPoint ahead = ProjectEquatorial(v, st.moonAhead.ra, st.moonAhead.dec, false);
                double dx = ahead.x - pt.x, dy = ahead.y - pt.y;
                if (ahead.x == OffScreen) dx = dy = 0.0;
                if (MoonWaxing(st.moonAge)) {
                    dx = -dx;
                    dy = -dy;
                }
                const double k = realMoon ? MoonIlluminatedFraction(st.moonAge) : 1.0;
                const QColor dark = QColor::fromRgbF(moonColor.redF() * 0.25, moonColor.greenF() * 0.25,
                                                     moonColor.blueF() * 0.25);
                const double r = std::max(kSymbolRadius, kMoonRadius * PixelsPerRadian(v));
                DrawMoonDisc(p, pt.x + 0.5, pt.y + 0.5, r, k, dx, dy, moonColor, dark);
            }
        }
    }
    p.restore();
}

void DrawMoonPhaseMarker(const RenderContext& ctx, const SolarSystemState& st) {
    if (!st.moon.known) return;
    QPainter& p = *ctx.painter;
    const QColor moonColor = ctx.MappedQColor(slot::kMoon);
    const double k = MoonIlluminatedFraction(st.moonAge);
    const double r = 7.0;
    const double cx = 2 + r, cy = 2 + r;
    if (Flag(ctx, "OPTION3", "QUICK_MOON_COLOR", 0)) {
        // Only a colour: the Moon's colour at the brightness of its lit part.
        const double f = 0.2 + 0.8 * k;
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgbF(moonColor.redF() * f, moonColor.greenF() * f, moonColor.blueF() * f));
        p.drawEllipse(QPointF(cx, cy), r, r);
        p.restore();
        return;
    }
    // As seen from the north: the waxing Moon is lit on its right.
    const double dir = MoonWaxing(st.moonAge) ? 1.0 : -1.0;
    const QColor dark = QColor::fromRgbF(moonColor.redF() * 0.25, moonColor.greenF() * 0.25,
                                         moonColor.blueF() * 0.25);
    DrawMoonDisc(p, cx, cy, r, k, dir, 0.0, moonColor, dark);
}

void DrawHeliocentric(const RenderContext& ctx, const SolarSystemState& st) {
    const HeliocentricLayout layout = LayoutHeliocentric(*ctx.view, st.heliocentric);
    QPainter& p = *ctx.painter;
    p.save();
    p.setFont(ctx.font);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor planetColor = ctx.MappedQColor(slot::kPlanetPositionText);
    const QColor sunColor = ctx.MappedQColor(slot::kGeneralText);
    for (const HelioRing& ring : layout.rings) {
        if (!ring.shown) continue;
        p.setPen(planetColor);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRect(layout.centerX - ring.radius, layout.centerY - ring.radius, 2 * ring.radius,
                            2 * ring.radius));
    }
    for (const HelioRing& ring : layout.rings) {
        if (!ring.shown) continue;
        p.setPen(planetColor);
        DrawCenteredText(p, ring.labelX, ring.labelY, QString::fromUtf8(ring.label));
    }
    p.setPen(sunColor);
    DrawCenteredText(p, layout.centerX, layout.centerY, QStringLiteral("日"));

    const QFontMetrics fm(ctx.font);
    const DateTime& t = ctx.localTime;
    const QString date = QStringLiteral("%1年%2月%3日").arg(t.Year()).arg(t.Month()).arg(t.Day());
    const QString time = QStringLiteral("%1時%2分").arg(t.Hour()).arg(t.Minute());
    const int bottom = ctx.clientHeight;
    const int h = fm.height();
    p.drawText(ctx.clientWidth - fm.horizontalAdvance(date), bottom - 2 * h - 2 + fm.ascent(), date);
    p.drawText(ctx.clientWidth - fm.horizontalAdvance(time), bottom - h + fm.ascent(), time);
    p.restore();
}

}  // namespace tavik
