// Astronomy engine timings: the Sun, Moon and planet positions of one repaint,
// and one whole day of today's data (720 two-minute samples).

#include <benchmark/benchmark.h>

#include <array>

#include "astro/DateTime.h"
#include "astro/Planets.h"
#include "astro/SunMoon.h"
#include "astro/TimeScales.h"
#include "astro/TodayData.h"
#include "astro/Transforms.h"

namespace {

using namespace tavik;

// What a repaint computes for the solar system: sidereal time, the Sun, the
// topocentric Moon with its orientation point and age, the five planets, and
// the horizontal position of each body.
void BM_RepaintAstronomy(benchmark::State& state) {
    DateTime local(2004, 3, 10, 21, 0, 0);
    const int zone = 9;
    std::array<double, kPlanetCount> ra{};
    std::array<double, kPlanetCount> dec{};
    for (auto _ : state) {
        const DateTime ut = ToUniversalTime(local, zone);
        const double theta = LocalSiderealTime(local, zone, 139, 22);
        const double phi = LatitudeRadians(35, 34);
        double sum = 0;
        const Spherical sun = SunEquatorial(ut);
        sum += EquatorialToHorizontal(sun.lon, sun.lat, phi, theta).lat;
        const Spherical moon = MoonTopocentric(ut, theta, phi);
        sum += EquatorialToHorizontal(moon.lon, moon.lat, phi, theta).lat;
        const Spherical orient = MoonOrientationPoint(ut);
        sum += EquatorialToHorizontal(orient.lon, orient.lat, phi, theta).lat;
        sum += MoonAge(ut);
        PlanetsEquatorial(ut, ra, dec);
        for (int i = 0; i < kPlanetCount; ++i) sum += EquatorialToHorizontal(ra[i], dec[i], phi, theta).lat;
        benchmark::DoNotOptimize(sum);
        // Step the clock by a minute so that the obliquity cache and the series
        // see a fresh moment each time, as in real-time mode.
        local.AddOffset(DateOffset(0, 0, 1, 0));
    }
}
BENCHMARK(BM_RepaintAstronomy)->Unit(benchmark::kMicrosecond);

void BM_TodayDataDay(benchmark::State& state) {
    const EventSite tokyo{139, 45, 35, 41, 9};
    DateTime clock(2004, 3, 10, 21, 0, 0);
    DailyEvents events;
    for (auto _ : state) {
        ComputeDailyEvents(clock, tokyo, events);  // leaves the clock at the next day
        benchmark::DoNotOptimize(events);
    }
}
BENCHMARK(BM_TodayDataDay)->Unit(benchmark::kMillisecond);

}  // namespace
