#pragma once
// Rise, upper transit and set of a place of date at a site, to a fraction of
// a minute: a fixed place from its hour angle, and a moving body (a comet or
// an asteroid) by following its place to the moment of the event.
//
// Times are minutes of local time after a reference moment at which the
// local sidereal time is `lst`; the horizon is the body's centre at altitude
// 0 (no refraction), as on the chart.

#include <functional>
#include <optional>

#include "astro/DateTime.h"
#include "astro/Transforms.h"

namespace tavik {

struct MinorBody;

// Mean solar minutes in one turn of the sky (a sidereal day).
inline constexpr double kSiderealDayMinutes = 1436.0681;

enum class HorizonEvent { Rise, Transit, Set };

// How a place of date moves against the horizon at a latitude in a day.
enum class DailyPath { Crosses, AlwaysAbove, AlwaysBelow };
DailyPath DailyPathOf(double declination, double latitude);

// Minutes in [0, one sidereal day) from the reference until a fixed place of
// date next rises, crosses the meridian south of the pole (above the horizon
// or not) or sets; nothing for a rise or set of a place that never crosses
// the horizon.
std::optional<double> FixedEventAfter(const Spherical& ofDate, double latitude, double lst, HorizonEvent event);

// The same for a moving body, whose place of date `minutes` after the
// reference is placeAt(minutes). From its place at `guessMinutes` the event
// is found as for a fixed place, the place taken again at that moment, and so
// on until the moment stands still to a second (a handful of rounds: the
// place moves far slower than the sky turns). Nothing when the body does not
// cross the horizon at the place it reaches.
std::optional<double> MovingEventAfter(const std::function<Spherical(double minutes)>& placeAt, double latitude,
                                       double lst, HorizonEvent event, double guessMinutes = 0.0);

// A comet's or an asteroid's events at a site, with the reference a local
// civil time (seconds dropped, as the sidereal clock counts whole minutes).
struct MinorEventSite {
    int longitudeDegrees;
    int longitudeMinutes;
    double latitude;  // radians
    int zoneOffsetHours;
};
// Its place of date `minutes` after `local`.
Spherical MinorBodyOfDate(const MinorBody& body, const DateTime& local, int zoneOffsetHours, double minutes);
std::optional<double> MinorEventAfter(const MinorBody& body, const DateTime& local, const MinorEventSite& site,
                                      HorizonEvent event, double guessMinutes = 0.0);

}  // namespace tavik
