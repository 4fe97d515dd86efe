// Today's data against an independent reference: every listed rise and set of
// the Sun and the Moon, and every listed upper transit, is compared with the
// event libnova computes for the same date. The listing takes the first
// two-minute sample inside a 1.8 degree band below the horizon (or inside a
// 1.8 degree azimuth window before the meridian) and has no refraction, so it
// is early by design: a listed time may lie up to 15 minutes before the
// reference event and at most 4 minutes after it.

#include <gtest/gtest.h>

#ifdef TAVIK_HAVE_LIBNOVA

#include <libnova/julian_day.h>
#include <libnova/lunar.h>
#include <libnova/precession.h>
#include <libnova/sidereal_time.h>
#include <libnova/solar.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <tuple>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "astro/TodayData.h"

namespace tavik {
namespace {

constexpr double kEarliestMinutes = -15.0;  // listed time minus reference time
constexpr double kLatestMinutes = 4.0;

struct Site {
    const char* name;
    EventSite site;
};

const Site kSites[] = {
    {"Tokyo", {139, 45, 35, 41, 9}},
    {"Sydney", {151, 12, -33, -52, 10}},
    {"New York", {-74, 0, 40, 43, -5}},
};

enum class Body { Sun, Moon };
enum class Kind { Rise, Transit, Set };

// Julian day (UT) of 00:00 local time on a date at a site.
double LocalMidnightJd(int year, int month, int day, int zone) {
    ln_date d{};
    d.years = year;
    d.months = month;
    d.days = day;
    d.hours = 0;
    d.minutes = 0;
    d.seconds = 0.0;
    return ln_get_julian_day(&d) - zone / 24.0;
}

// libnova's equatorial position of the body, precessed from J2000 to the date.
ln_equ_posn BodyOfDate(Body body, double jd) {
    ln_equ_posn j2000{};
    if (body == Body::Sun) {
        ln_get_solar_equ_coords(jd, &j2000);
    } else {
        ln_get_lunar_equ_coords(jd, &j2000);
    }
    ln_equ_posn ofDate{};
    ln_get_equ_prec(&j2000, jd, &ofDate);
    return ofDate;
}

// ln_get_lunar_rst interpolates the Moon's right ascension between whole days
// and its transit can be off by most of an hour; a few Newton steps on the hour
// angle, with libnova's own positions, put each reference transit on the meridian.
double RefineTransit(Body body, double jd, const ln_lnlat_posn& observer) {
    for (int i = 0; i < 4; ++i) {
        const ln_equ_posn pos = BodyOfDate(body, jd);
        double hourAngle = ln_get_apparent_sidereal_time(jd) * 15.0 + observer.lng - pos.ra;
        hourAngle = std::remainder(hourAngle, 360.0);
        jd -= hourAngle / (body == Body::Sun ? 360.9856 : 347.8);
    }
    return jd;
}

// libnova's rise, transit and set for the days before, of and after a moment
// (whatever day convention it uses, the event nearest to a listed one is among
// them); days on which the body stays above or below the horizon are left out.
// Kept per body, moment and site, since each listed event of the day asks.
const std::vector<ln_rst_time>& RstAround(Body body, double jd, const ln_lnlat_posn& observer) {
    static std::map<std::tuple<int, double, double, double>, std::vector<ln_rst_time>> cache;
    auto& out = cache[{static_cast<int>(body), jd, observer.lng, observer.lat}];
    if (!out.empty()) return out;
    for (int k = -1; k <= 1; ++k) {
        ln_lnlat_posn o = observer;
        ln_rst_time rst{};
        const int rc = body == Body::Sun ? ln_get_solar_rst(jd + k, &o, &rst) : ln_get_lunar_rst(jd + k, &o, &rst);
        if (rc == 0) out.push_back(rst);
    }
    return out;
}

std::vector<double> ReferenceEvents(Body body, Kind kind, double jd, const EventSite& s) {
    ln_lnlat_posn observer{};
    observer.lng = s.longitudeDegrees + s.longitudeMinutes / 60.0;
    observer.lat = s.latitudeDegrees + s.latitudeMinutes / 60.0;
    std::vector<double> out;
    for (const ln_rst_time& rst : RstAround(body, jd, observer)) {
        if (kind == Kind::Transit) {
            out.push_back(RefineTransit(body, rst.transit, observer));
        } else {
            out.push_back(kind == Kind::Rise ? rst.rise : rst.set);
        }
    }
    return out;
}

struct Worst {
    double earliest = std::numeric_limits<double>::infinity();
    double latest = -std::numeric_limits<double>::infinity();
    int count = 0;
};

TEST(TodayDataReference, ListedTimesAgreeWithLibnova) {
    struct Check {
        Body body;
        Kind kind;
        int slot;
        const char* label;
    };
    const Check checks[] = {
        {Body::Sun, Kind::Rise, kSlotSunRise, "Sun rise"},
        {Body::Sun, Kind::Transit, kSlotSunTransit, "Sun transit"},
        {Body::Sun, Kind::Set, kSlotSunSet, "Sun set"},
        {Body::Moon, Kind::Rise, kSlotMoonRise, "Moon rise"},
        {Body::Moon, Kind::Transit, kSlotMoonTransit, "Moon transit"},
        {Body::Moon, Kind::Set, kSlotMoonSet, "Moon set"},
    };
    Worst worst[std::size(checks)];

    for (const Site& site : kSites) {
        // 32 dates spread over 1990..2038 and over the months and lunar phases.
        for (int i = 0; i < 32; ++i) {
            const int year = 1990 + (i * 37) % 49;
            const int month = 1 + (i * 5) % 12;
            const int day = 1 + (i * 11) % 28;
            DateTime clock(year, month, day, 12, 0, 0);
            DailyEvents events;
            ComputeDailyEvents(clock, site.site, events);
            const double midnight = LocalMidnightJd(year, month, day, site.site.zoneOffsetHours);

            for (size_t c = 0; c < std::size(checks); ++c) {
                const int minutes = events.EventMinutes(checks[c].slot);
                if (minutes < 0) continue;
                const double listed = midnight + minutes / 1440.0;
                const std::vector<double> ref = ReferenceEvents(checks[c].body, checks[c].kind, midnight, site.site);
                double best = std::numeric_limits<double>::infinity();
                for (double r : ref) {
                    const double diff = (listed - r) * 1440.0;
                    if (std::abs(diff) < std::abs(best)) best = diff;
                }
                char where[96];
                std::snprintf(where, sizeof where, "%s %04d-%02d-%02d %s listed %02d:%02d", site.name, year, month,
                              day, checks[c].label, minutes / 60, minutes % 60);
                ASSERT_TRUE(std::isfinite(best)) << where << ": no reference event";
                EXPECT_GE(best, kEarliestMinutes) << where;
                EXPECT_LE(best, kLatestMinutes) << where;
                worst[c].earliest = std::min(worst[c].earliest, best);
                worst[c].latest = std::max(worst[c].latest, best);
                ++worst[c].count;
            }
        }
    }

    std::printf("listed minus libnova, minutes (bound %+.0f .. %+.0f):\n", kEarliestMinutes, kLatestMinutes);
    for (size_t c = 0; c < std::size(checks); ++c) {
        if (worst[c].count == 0) {
            std::printf("  %-13s no listed events\n", checks[c].label);
            continue;
        }
        std::printf("  %-13s %3d events, from %+6.1f to %+6.1f\n", checks[c].label, worst[c].count, worst[c].earliest,
                    worst[c].latest);
    }
    // Every kind of event was exercised, transits included (at Tokyo and New York).
    for (size_t c = 0; c < std::size(checks); ++c) EXPECT_GT(worst[c].count, 20) << checks[c].label;
}

}  // namespace
}  // namespace tavik

#endif  // TAVIK_HAVE_LIBNOVA
