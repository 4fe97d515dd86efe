#include "view/MinorBodyPainter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "astro/TimeScales.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarRecord.h"
#include "settings/SettingsStore.h"
#include "view/HitList.h"
#include "view/Projection.h"
#include "view/StarPainter.h"
#include "view/ViewState.h"

namespace tavik {

namespace {

// Longest tail drawn, in pixels, and how far along the Sun-body line (AU per
// AU of r) the point it heads for lies.
constexpr double kTailPixels = 14.0;
constexpr double kTailStep = 0.05;

// The short name a goto shows (the record's 10-byte designation field).
std::string ShortName(const MinorBody& body) {
    const std::string label = body.Label();
    if (label.size() <= 10) return label;
    if (!body.designation.empty() && body.designation.size() <= 10) return body.designation;
    return label.substr(0, 10);
}

}  // namespace

std::string MinorTapText(const MinorBody& body, const MinorPlace& place) {
    char buf[96];
    std::snprintf(buf, sizeof buf, " %.1f等 太陽から%.2fAU 地球から%.2fAU", place.magnitude, place.r, place.delta);
    return body.Label() + buf;
}

const std::vector<MinorPlace>& MinorPlaceCache::PlacesAt(const std::shared_ptr<const MinorBodyList>& list,
                                                         const DateTime& ut) {
    if (list != list_ || !(ut == ut_)) {
        list_ = list;
        ut_ = ut;
        places_.clear();
        records_.clear();
        if (list) {
            observer_ = ObserverAt(ut);
            places_.reserve(list->bodies.size());
            for (const MinorBody& body : list->bodies) places_.push_back(MinorBodyPlace(body, observer_));
            records_.resize(places_.size());
        }
    }
    return places_;
}

const StarRecord& MinorPlaceCache::TapRecord(std::size_t i) {
    std::optional<StarRecord>& kept = records_[i];
    if (!kept) {
        const MinorBody& body = list_->bodies[i];
        const MinorPlace& place = places_[i];
        StarRecord& r = kept.emplace();
        r.kind = static_cast<std::int16_t>(kKindMinorBody);
        r.SetConstellation("#");
        r.SetDesignation(ShortName(body));
        r.SetSpectral(body.designation);  // which body a menu of the tap acts on
        r.ra = place.j2000.lon;
        r.dec = place.j2000.lat;
        r.mag = place.magnitude;
        r.name = Utf8ToSjis(MinorTapText(body, place));
    }
    return *kept;
}

void DrawMinorBodies(const RenderContext& ctx, StarPainter& stars, const std::shared_ptr<const MinorBodyList>& list,
                     MinorPlaceCache& cache) {
    if (!list || list->bodies.empty()) return;
    const std::vector<MinorBody>& bodies = list->bodies;
    const std::vector<MinorPlace>& places = cache.PlacesAt(list, ToUniversalTime(ctx.localTime, ctx.zoneHours));
    const MinorObserver& observer = cache.Observer();
    const ViewState& v = *ctx.view;
    const bool names = ctx.settings->GetProfileInt(kMinorSection, kMinorNames, 0) == 1;
    QPainter& p = *ctx.painter;
    p.save();
    p.setFont(ctx.font);
    const QColor text = ctx.MappedQColor(slot::kPlanetText);
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        const MinorBody& body = bodies[i];
        const MinorPlace& place = places[i];
        if (!std::isfinite(place.magnitude)) continue;
        double s = 0.0;
        const ProjectedPoint pt = ProjectObject(v, place.j2000.lon, place.j2000.lat, place.magnitude, 0,
                                                ctx.sinLatitude, ctx.cosLatitude, &s, true);
        if (!pt.visible) continue;
        if (body.kind == MinorKind::Comet && place.magnitude <= kCometTailMagnitude) {
            // The tail heads for a point a little further out along the Sun-comet line.
            const Vector3 h = body.orbit.EquatorialPosition(observer.jd);
            const double f = 1.0 + kTailStep;
            const Spherical out = FromVector({h[0] * f - observer.earth[0], h[1] * f - observer.earth[1],
                                              h[2] * f - observer.earth[2]});
            const ProjectedPoint end = ProjectEquatorial(v, out.lon, out.lat, false);
            if (end.x != OffScreen) {
                double dx = end.x - pt.x, dy = end.y - pt.y;
                const double len = std::hypot(dx, dy);
                if (len > 0.5) {
                    const double k = kTailPixels / len;
                    dx *= k;
                    dy *= k;
                    p.setRenderHint(QPainter::Antialiasing, true);
                    p.setPen(QPen(text, 1.5));
                    p.drawLine(QPointF(pt.x + 0.5, pt.y + 0.5), QPointF(pt.x + 0.5 + dx, pt.y + 0.5 + dy));
                    p.setRenderHint(QPainter::Antialiasing, false);
                }
            }
        }
        stars.Draw(place.magnitude, "", true, SolarBody::Planet, pt.x, pt.y, s);
        if (ctx.hits) ctx.hits->AddCopy(cache.TapRecord(i), pt.x, pt.y);
        if (names) {
            p.setPen(text);
            p.drawText(pt.x + 4, pt.y - 3, QString::fromStdString(body.Label()));
        }
    }
    p.restore();
}

}  // namespace tavik
