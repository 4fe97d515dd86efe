#include "astro/TodayData.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "astro/Angles.h"
#include "astro/MinorOrbit.h"
#include "astro/Planets.h"
#include "astro/RiseSet.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"
#include "astro/Transforms.h"

namespace tavik {

namespace {

// Line formats of slots 0..11 as Shift-JIS bytes (slot 8 has none):
// "太陽 %02d時%02d分 日出", "太陽 %02d時%02d分 南中", "太陽 %02d時%02d分 日没",
// "太陽 %02d時%02d分 天底", "月 %02d時%02d分 月出", "月 %02d時%02d分 南中",
// "月 %02d時%02d分 月没", "月 %02d時%02d分 天底", -, "惑星 %02d時%02d分 火星南中",
// "惑星 %02d時%02d分 木星南中", "惑星 %02d時%02d分 土星南中".
constexpr const char* kLineFormats[DailyEvents::kEventSlots] = {
    "\x91\xBE\x97z %02d\x8E\x9E%02d\x95\xAA \x93\xFA\x8Fo",
    "\x91\xBE\x97z %02d\x8E\x9E%02d\x95\xAA \x93\xEC\x92\x86",
    "\x91\xBE\x97z %02d\x8E\x9E%02d\x95\xAA \x93\xFA\x96v",
    "\x91\xBE\x97z %02d\x8E\x9E%02d\x95\xAA \x93V\x92\xEA",
    "\x8C\x8E %02d\x8E\x9E%02d\x95\xAA \x8C\x8E\x8Fo",
    "\x8C\x8E %02d\x8E\x9E%02d\x95\xAA \x93\xEC\x92\x86",
    "\x8C\x8E %02d\x8E\x9E%02d\x95\xAA \x8C\x8E\x96v",
    "\x8C\x8E %02d\x8E\x9E%02d\x95\xAA \x93V\x92\xEA",
    nullptr,
    "\x98" "f\x90\xAF %02d\x8E\x9E%02d\x95\xAA \x89\xCE\x90\xAF\x93\xEC\x92\x86",
    "\x98" "f\x90\xAF %02d\x8E\x9E%02d\x95\xAA \x96\xD8\x90\xAF\x93\xEC\x92\x86",
    "\x98" "f\x90\xAF %02d\x8E\x9E%02d\x95\xAA \x93y\x90\xAF\x93\xEC\x92\x86",
};

// Shift-JIS (code page 932) to UTF-8 through glibc iconv. The listing only ever
// converts its own fixed texts, so a conversion failure is a broken platform.
std::string ShiftJisToUtf8(const char* bytes) {
    const std::size_t length = std::strlen(bytes);
    if (length == 0) return {};
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter available");
    std::string out(length * 3 + 4, '\0');
    char* in = const_cast<char*>(bytes);
    std::size_t inLeft = length;
    char* dst = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) throw std::runtime_error("Shift-JIS text could not be converted");
    out.resize(out.size() - outLeft);
    return out;
}

struct SitePlace {
    double theta;  // local sidereal time
    double phi;    // latitude
};

SitePlace PlaceAt(const DateTime& local, const EventSite& site) {
    return {LocalSiderealTime(local, site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes),
            LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes)};
}

// Where a body stands at a sample: above the horizon and on the sky's turn.
struct BodySample {
    Spherical horizontal;  // azimuth from north through east, altitude
    double hourAngle;      // not reduced
};

BodySample SampleOf(const Spherical& equatorial, const SitePlace& p) {
    return {EquatorialToHorizontal(equatorial.lon, equatorial.lat, p.phi, p.theta), p.theta - equatorial.lon};
}

// The listing's bodies, evaluated for a local time at the site.
BodySample SunAt(const DateTime& local, const EventSite& site) {
    return SampleOf(SunEquatorial(ToUniversalTime(local, site.zoneOffsetHours)), PlaceAt(local, site));
}

BodySample MoonAt(const DateTime& local, const EventSite& site) {
    const SitePlace p = PlaceAt(local, site);
    return SampleOf(MoonTopocentric(ToUniversalTime(local, site.zoneOffsetHours), p.theta, p.phi), p);
}

Spherical PlanetEquatorial(Planet planet, const DateTime& ut, const SunEcliptic& sun, double obliquity) {
    const HeliocentricPosition hp = PlanetHeliocentric(planet, ut);
    const Spherical g = HeliocentricToGeocentric(sun.geometricLongitude, sun.distance, hp.longitude, hp.latitude,
                                                 hp.distance, AberrationConstant(planet));
    return EclipticToEquatorial(obliquity, g.lon, g.lat);
}

BodySample PlanetAt(Planet planet, const DateTime& local, const EventSite& site) {
    const DateTime ut = ToUniversalTime(local, site.zoneOffsetHours);
    return SampleOf(PlanetEquatorial(planet, ut, SunPosition(ut), Obliquity(ut.Year(), ut.Month(), ut.Day())),
                    PlaceAt(local, site));
}

// How far the sky turns in one sample (two minutes of sidereal time), with a
// little to spare for a planet moving backwards among the stars.
constexpr double kSampleTurn = 2.0 / 1440.0 * 1.0027379 * kTwoPi * 1.01;

// Whether the body has crossed the meridian of a transit at most one sample
// ago: hour angle just past 0 above the horizon and south of the zenith
// (upper), or just past 180 degrees below the horizon and north of the nadir
// (lower), where the transit windows lie.
bool JustCrossedMeridian(const BodySample& s, int kind) {
    const bool upper = kind == kEventUpperTransit;
    double h = std::fmod(s.hourAngle - (upper ? 0.0 : kPi), kTwoPi);
    if (h < 0.0) h += kTwoPi;
    if (!(h < kSampleTurn)) return false;
    const bool south = std::cos(s.horizontal.lon) < 0.0;
    return upper ? s.horizontal.lat >= 0.0 && south : s.horizontal.lat < 0.0 && !south;
}

// Whether an event is listed at this sample: its EventTest passes, or it is a
// transit that the body swept past between two samples (near the zenith or the
// nadir the azimuth moves more than the window in one step). Such a transit is
// taken at the first sample past the meridian, unless the sample before (which
// may be the last of the previous day) lay in the window and so listed it.
template <class Before>
bool EventAt(const BodySample& now, int kind, const Before& before) {
    if (EventTest(now.horizontal.lon, now.horizontal.lat, kind)) return true;
    if ((kind != kEventUpperTransit && kind != kEventLowerTransit) || !JustCrossedMeridian(now, kind)) return false;
    const BodySample b = before();
    return !EventTest(b.horizontal.lon, b.horizontal.lat, kind);
}

// The four event slots of the Sun (first = 0) or the Moon (first = 4): each
// missing event that the body passes at this sample is listed at it. A rise or
// set already under way at 00:00 is listed at 00:00, as the first sample of the
// day that passes its test. `at` evaluates the body for a local time, here for
// the sample before when a transit needs it.
template <class At>
void TestBody(DailyEvents& events, int first, const At& at, const DateTime& clock, const DateTime& previous) {
    const BodySample now = at(clock);
    for (int kind = kEventRise; kind <= kEventLowerTransit; ++kind) {
        const int slot = first + kind;
        if (!events.Found(slot) && EventAt(now, kind, [&] { return at(previous); }))
            events.Record(slot, clock.Hour(), clock.Minute());
    }
}

bool AnyMissing(const DailyEvents& events, int first) {
    for (int slot = first; slot < first + 4; ++slot)
        if (!events.Found(slot)) return true;
    return false;
}

// A planet whose meridian transit is still missing, with the position it had
// when last computed.
//
// The transit test needs the azimuth within 1.8 degrees before the south point
// and the planet above the horizon. From cos(dec) sin(H) = -sin(A) cos(h), its
// hour angle H then has |sin H| <= sin(1.8 deg) / cos(dec). A planet's right
// ascension moves less than 0.15 degree an hour, so a position at most an
// hour old whose |sin H| exceeds that bound by a wide margin cannot pass the
// test at this sample; it is skipped, which leaves the listing exactly as if
// every sample had been computed. (A transit taken just past the meridian has
// |H| below half a degree, well inside the bound too.)
struct PlanetTrack {
    Planet planet;
    int slot;
    Spherical position{0.0, 0.0};
    int evaluatedAt = -1000;  // sample of the last computation

    bool FarFromMeridian(double theta) const {
        const double cosDec = std::cos(position.lat);
        if (cosDec < 0.2) return false;  // too near the pole for the bound
        const double sinH = std::sin(theta - position.lon);
        return std::abs(sinH) > std::sin(kPi / 100.0) / cosDec + 0.02;
    }
};

// Samples between two computations of a planet that is far from the meridian.
constexpr int kRefreshSamples = 30;

// Restores a borrowed clock on every way out of a scope.
class ClockGuard {
public:
    explicit ClockGuard(DateTime& clock) : clock_(clock), saved_(clock) {}
    ~ClockGuard() { clock_ = saved_; }
    ClockGuard(const ClockGuard&) = delete;
    ClockGuard& operator=(const ClockGuard&) = delete;

private:
    DateTime& clock_;
    const DateTime saved_;
};

// The rows of a comet or an asteroid for the day that starts at `midnight`.
void AddMinorRows(const MinorBody& body, const DateTime& midnight, const EventSite& site, DailyEvents& events) {
    const MinorEventSite at{site.longitudeDegrees, site.longitudeMinutes,
                            LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes), site.zoneOffsetHours};
    const std::string kind = body.kind == MinorKind::Comet ? "彗星" : "小惑星";
    constexpr double kNoon = 720.0;
    for (const HorizonEvent event : {HorizonEvent::Rise, HorizonEvent::Transit, HorizonEvent::Set}) {
        const std::optional<double> minutes = MinorEventAfter(body, midnight, at, event, kNoon);
        if (!minutes) continue;
        if (event == HorizonEvent::Transit) {
            const Spherical place = MinorBodyOfDate(body, midnight, site.zoneOffsetHours, *minutes);
            if (std::abs(at.latitude - place.lat) >= kPi / 2) continue;  // below the horizon
        }
        // Found within one turn of the sky after 00:00, so within the day.
        const int m = std::min(static_cast<int>(std::lround(*minutes)), 24 * 60 - 1);
        const char* word = event == HorizonEvent::Rise ? "出" : event == HorizonEvent::Transit ? "南中" : "没";
        char clock[32];
        std::snprintf(clock, sizeof clock, " %02d時%02d分 ", m / 60, m % 60);
        events.AddRow(kind + clock + body.Label() + " " + word);
    }
}

}  // namespace

bool EventTest(double azimuth, double altitude, int kind) {
    constexpr double kBand = kPi / 100.0;            // 1.8 degrees
    constexpr double kWindowStart = kPi - kBand;      // 178.2 degrees
    constexpr double kNadirStart = kTwoPi - kBand;    // 358.2 degrees
    if (!std::isfinite(azimuth) || !std::isfinite(altitude)) return false;
    double a = std::fmod(azimuth, kTwoPi);
    if (a < 0.0) a += kTwoPi;
    if (a >= kTwoPi) a -= kTwoPi;
    double h = altitude;
    if (h > kPi / 2 || h < -kPi / 2) {
        h = std::fmod(h + kPi / 2, kPi);
        if (h < 0.0) h += kPi;
        h -= kPi / 2;
    }
    switch (kind) {
        case kEventRise: return h < 0.0 && h >= -kBand && a < kPi;
        case kEventUpperTransit: return a < kPi && a >= kWindowStart && h >= 0.0;
        case kEventSet: return h < 0.0 && h >= -kBand && a >= kPi;
        case kEventLowerTransit: return a >= kNadirStart && h < 0.0;
        default: return false;
    }
}

void DailyEvents::Clear() {
    for (auto& slot : slots_) slot.fill('\0');
    found_.fill(false);
    minutes_.fill(-1);
    rows_.clear();
    header_.clear();
    year_ = month_ = day_ = 0;
}

void DailyEvents::SetHeader(int year, int month, int day, int zoneOffsetHours) {
    year_ = year;
    month_ = month;
    day_ = day;
    const DateTime noon(year, month, day, 12, 0, 0);
    const int age = static_cast<int>(MoonAge(ToUniversalTime(noon, zoneOffsetHours)) + 0.5);
    char text[96];
    std::snprintf(text, sizeof text, "%d年%d月%d日 月齢%d日", year, month, day, age);
    header_ = text;
}

bool DailyEvents::Record(int slot, int hour, int minute) {
    if (slot < 0 || slot >= kEventSlots || kLineFormats[slot] == nullptr || found_[slot]) return false;
    std::snprintf(slots_[slot].data(), kSlotBytes, kLineFormats[slot], hour, minute);
    found_[slot] = true;
    minutes_[slot] = hour * 60 + minute;
    return true;
}

bool DailyEvents::Found(int slot) const {
    return slot >= 0 && slot < kEventSlots && found_[slot];
}

int DailyEvents::EventMinutes(int slot) const {
    return Found(slot) ? minutes_[slot] : -1;
}

bool DailyEvents::AllFound() const {
    for (int slot = 0; slot < kEventSlots; ++slot)
        if (kLineFormats[slot] != nullptr && !found_[slot]) return false;
    return true;
}

const char* DailyEvents::SlotBytes(int slot) const {
    if (slot < 0 || slot >= kSlotCount) return "";
    return slots_[slot].data();
}

std::string DailyEvents::SlotText(int slot) const { return ShiftJisToUtf8(SlotBytes(slot)); }

std::vector<std::string> DailyEvents::Lines() const {
    std::vector<std::string> lines;
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (slots_[slot][0] != '\0') lines.push_back(SlotText(slot));
    lines.insert(lines.end(), rows_.begin(), rows_.end());
    return lines;
}

void ComputeDailyEvents(DateTime& clock, const EventSite& site, DailyEvents& events,
                        const std::vector<MinorBody>& minorBodies) {
    events.Clear();
    clock = DateTime(clock.Year(), clock.Month(), clock.Day(), 0, 0, 0);
    events.SetHeader(clock.Year(), clock.Month(), clock.Day(), site.zoneOffsetHours);
    for (const MinorBody& body : minorBodies) AddMinorRows(body, clock, site, events);

    constexpr int kSamples = 24 * 30;
    const DateOffset step(0, 0, 2, 0);
    PlanetTrack planets[] = {{Planet::Jupiter, kSlotJupiterTransit},
                             {Planet::Saturn, kSlotSaturnTransit},
                             {Planet::Mars, kSlotMarsTransit}};
    // The sample before the current one: at first 23:58 of the previous day.
    DateTime previous = clock;
    previous.SubtractOffset(step);
    const auto sunAt = [&](const DateTime& local) { return SunAt(local, site); };
    const auto moonAt = [&](const DateTime& local) { return MoonAt(local, site); };
    for (int i = 0; i < kSamples; ++i) {
        const DateTime ut = ToUniversalTime(clock, site.zoneOffsetHours);
        const SitePlace place = PlaceAt(clock, site);
        SunEcliptic sun{};
        double obliquity = 0.0;
        bool sunReady = false;

        if (AnyMissing(events, kSlotSunRise)) TestBody(events, kSlotSunRise, sunAt, clock, previous);
        if (AnyMissing(events, kSlotMoonRise)) TestBody(events, kSlotMoonRise, moonAt, clock, previous);
        for (PlanetTrack& track : planets) {
            if (events.Found(track.slot)) continue;
            // A planet far from the meridian cannot pass the transit test, so its
            // position is only refreshed hourly until it comes near.
            if (i - track.evaluatedAt < kRefreshSamples && track.FarFromMeridian(place.theta)) continue;
            if (!sunReady) {
                // PlanetsEquatorial's steps, for the planets that need them only:
                // the Sun and the obliquity once per sample, then each planet.
                sun = SunPosition(ut);
                obliquity = Obliquity(ut.Year(), ut.Month(), ut.Day());
                sunReady = true;
            }
            track.position = PlanetEquatorial(track.planet, ut, sun, obliquity);
            track.evaluatedAt = i;
            const auto before = [&] { return PlanetAt(track.planet, previous, site); };
            if (EventAt(SampleOf(track.position, place), kEventUpperTransit, before))
                events.Record(track.slot, clock.Hour(), clock.Minute());
        }
        previous = clock;
        clock.AddOffset(step);
    }
}

int RunTodayData(DateTime& clock, const EventSite& site,
                 const std::function<bool(const DailyEvents&)>& showDay,
                 const std::vector<MinorBody>& minorBodies) {
    ClockGuard guard(clock);
    DailyEvents events;
    int shown = 0;
    bool more = true;
    while (more) {
        ComputeDailyEvents(clock, site, events, minorBodies);
        ++shown;
        more = showDay(events);
    }
    return shown;
}

}  // namespace tavik
