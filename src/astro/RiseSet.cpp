#include "astro/RiseSet.h"

#include <algorithm>
#include <cmath>

#include "astro/Angles.h"
#include "astro/MinorOrbit.h"
#include "astro/Precession.h"
#include "astro/TimeScales.h"

namespace tavik {

namespace {

// Rounds of MovingEventAfter before it settles for the last moment found.
constexpr int kMovingRounds = 6;
constexpr double kSettledMinutes = 1.0 / 60.0;

double Turn(double x) {
    NormalizeAngle(x);
    return x;
}

DateTime WholeMinute(const DateTime& t) {
    return DateTime(t.Year(), t.Month(), t.Day(), t.Hour(), t.Minute(), 0);
}

}  // namespace

DailyPath DailyPathOf(double declination, double latitude) {
    // sin h at the upper and the lower culmination.
    const double highest = std::cos(latitude - declination);
    const double lowest = -std::cos(latitude + declination);
    if (lowest >= 0.0) return DailyPath::AlwaysAbove;
    if (highest < 0.0) return DailyPath::AlwaysBelow;
    return DailyPath::Crosses;
}

std::optional<double> FixedEventAfter(const Spherical& ofDate, double latitude, double lst, HorizonEvent event) {
    double target = 0.0;  // hour angle of the event
    if (event != HorizonEvent::Transit) {
        if (DailyPathOf(ofDate.lat, latitude) != DailyPath::Crosses) return std::nullopt;
        const double cosH0 = -std::tan(latitude) * std::tan(ofDate.lat);
        const double h0 = std::acos(std::clamp(cosH0, -1.0, 1.0));
        target = event == HorizonEvent::Rise ? -h0 : h0;
    }
    const double hourAngle = lst - ofDate.lon;
    return Turn(target - hourAngle) / kTwoPi * kSiderealDayMinutes;
}

std::optional<double> MovingEventAfter(const std::function<Spherical(double minutes)>& placeAt, double latitude,
                                       double lst, HorizonEvent event, double guessMinutes) {
    double at = guessMinutes;
    std::optional<double> found;
    for (int round = 0; round < kMovingRounds; ++round) {
        found = FixedEventAfter(placeAt(at), latitude, lst, event);
        if (!found) return std::nullopt;
        if (round > 0 && std::abs(*found - at) < kSettledMinutes) break;
        at = *found;
    }
    return found;
}

Spherical MinorBodyOfDate(const MinorBody& body, const DateTime& local, int zoneOffsetHours, double minutes) {
    DateTime t = WholeMinute(local);
    const long seconds = std::lround(std::clamp(minutes, 0.0, 20000.0) * 60.0);
    t.AddOffset(DateOffset(0, 0, static_cast<int>(seconds / 60), static_cast<int>(seconds % 60)));
    const DateTime ut = ToUniversalTime(t, zoneOffsetHours);
    const MinorPlace p = MinorBodyPlace(body, ObserverAt(ut));
    return J2000ToDate(p.j2000.lon, p.j2000.lat, JulianCenturies(ut));
}

std::optional<double> MinorEventAfter(const MinorBody& body, const DateTime& local, const MinorEventSite& site,
                                      HorizonEvent event, double guessMinutes) {
    const double lst =
        LocalSiderealTime(WholeMinute(local), site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes);
    return MovingEventAfter(
        [&](double minutes) { return MinorBodyOfDate(body, local, site.zoneOffsetHours, minutes); }, site.latitude,
        lst, event, guessMinutes);
}

}  // namespace tavik
