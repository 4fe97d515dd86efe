#pragma once
// Today's data: for one local day at a site, the times at which the Sun and the
// Moon rise, cross the meridian, set and pass the lowest point, and the meridian
// transits of Mars, Jupiter and Saturn, with the date and the Moon's age as a
// header; below them, rows for the comets and asteroids the user marked
// (their rise, transit and set, see ComputeDailyEvents).
//
// The day is sampled every two minutes of local time from 00:00 (720 samples)
// and each event takes the first sample that passes its EventTest, so listed
// times are a few minutes early by design (the listing says so with its fixed
// note). The line texts are kept as Shift-JIS bytes in fixed 120-byte slots,
// the form in which they are formatted and stored; SlotText and Lines hand out
// UTF-8 for display.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "astro/MinorOrbit.h"

namespace tavik {

// Event kinds of EventTest.
enum EventKind : int {
    kEventRise = 0,
    kEventUpperTransit = 1,
    kEventSet = 2,
    kEventLowerTransit = 3,
};

// Whether a body at azimuth A (from north through east) and altitude h (radians)
// passes the sample test of an event kind:
//   rise:           -1.8 deg <= h < 0 and A < 180 deg (eastern side)
//   upper transit:  178.2 deg <= A < 180 deg and h >= 0
//   set:            -1.8 deg <= h < 0 and A >= 180 deg (western side)
//   lower transit:  A >= 358.2 deg and h < 0
// A is first reduced to [0, 2pi) and h folded into [-pi/2, pi/2] by steps of pi.
// Any other kind is false.
bool EventTest(double azimuth, double altitude, int kind);

// The site as the listing needs it: east longitude and north latitude in signed
// whole degrees and minutes (west and south negative in both parts), and the
// zone offset in whole hours ahead of Universal Time.
struct EventSite {
    int longitudeDegrees = 139;
    int longitudeMinutes = 22;
    int latitudeDegrees = 35;
    int latitudeMinutes = 34;
    int zoneOffsetHours = 9;
};

// Line slots of the listing (body and event). Slot 8 is never written.
enum DailySlot : int {
    kSlotSunRise = 0,
    kSlotSunTransit = 1,
    kSlotSunSet = 2,
    kSlotSunLowerTransit = 3,
    kSlotMoonRise = 4,
    kSlotMoonTransit = 5,
    kSlotMoonSet = 6,
    kSlotMoonLowerTransit = 7,
    kSlotMarsTransit = 9,
    kSlotJupiterTransit = 10,
    kSlotSaturnTransit = 11,
};

// One day's listing: the line buffer, the found-flags and the header.
class DailyEvents {
public:
    static constexpr int kSlotCount = 60;
    static constexpr int kSlotBytes = 120;
    static constexpr int kEventSlots = 12;  // slots 0..11 carry events

    // Zeroes every slot, every found-flag and the header.
    void Clear();

    // Writes "%d年%d月%d日 月齢%d日" for the local date and the Moon's age at
    // local noon of that date (MoonAge) rounded to whole days, as almanacs give it.
    void SetHeader(int year, int month, int day, int zoneOffsetHours);

    // Fills an event slot with its line for the local hour and minute and marks
    // it found. An event is written only once a day: a second call for a found
    // slot, or a call for slot 8 or a slot outside 0..11, changes nothing and
    // returns false.
    bool Record(int slot, int hour, int minute);

    bool Found(int slot) const;
    // Local time of a found event in minutes after 00:00, or -1.
    int EventMinutes(int slot) const;
    // True once all eleven events (slots 0..7 and 9..11) are found.
    bool AllFound() const;

    // Adds a row after the fixed slots (UTF-8).
    void AddRow(std::string text) { rows_.push_back(std::move(text)); }
    const std::vector<std::string>& Rows() const { return rows_; }

    // The NUL-terminated Shift-JIS bytes of a slot ("" for an empty slot or a
    // slot outside 0..59).
    const char* SlotBytes(int slot) const;
    // The slot's text in UTF-8 ("" when empty).
    std::string SlotText(int slot) const;
    // UTF-8 texts of the non-empty slots, in slot order, then the rows.
    std::vector<std::string> Lines() const;

    // The header in UTF-8 ("" before SetHeader).
    const std::string& Header() const { return header_; }
    int Year() const { return year_; }
    int Month() const { return month_; }
    int Day() const { return day_; }

private:
    std::array<std::array<char, kSlotBytes>, kSlotCount> slots_{};
    std::array<bool, kEventSlots> found_{};
    std::array<int, kEventSlots> minutes_{};
    std::vector<std::string> rows_;
    std::string header_;
    int year_ = 0;
    int month_ = 0;
    int day_ = 0;
};

// Computes the listing for the local date the clock stands at. The clock is
// the running clock of the computation: it is set to 00:00:00 of its date,
// advanced by two minutes per sample, and left at 00:00:00 of the following
// day, ready for the next day. `events` is cleared first.
//
// Each event is taken at the first sample of the day that passes its test, so
// a rise or set under way at midnight (the body inside the band from 1.8
// degrees below the horizon to the horizon) is listed at 00:00, and may be
// listed at the end of the previous day as well.
//
// A body that culminates high (or passes low under the pole) sweeps through
// more azimuth in one sample than the transit windows hold. Its transit is
// then taken at the first sample at which it has crossed the meridian: its
// hour angle has just passed 0 (upper transit, south of the zenith, above the
// horizon) or 180 degrees (lower transit, north of the nadir, below the
// horizon), by less than one sample's turn of the sky.
//
// Each body of `minorBodies` adds its rise, transit (when above the horizon)
// and set of the day as rows, "彗星 21時05分 C/2020 F3 (NEOWISE) 出",
// "小惑星 23時40分 (1) Ceres 南中", "... 没": the first of each after 00:00,
// followed with the body's motion (MinorEventAfter) and rounded to the
// minute, the centre at altitude 0. None for a body that does not cross the
// horizon that day.
void ComputeDailyEvents(DateTime& clock, const EventSite& site, DailyEvents& events,
                        const std::vector<MinorBody>& minorBodies = {});

// The whole "today's data" sequence on the caller's clock: computes the day the
// clock stands at and hands it to `showDay`; while `showDay` returns true ("明日へ")
// computes the following day and shows it again. The clock is given back
// exactly as it was (every slot of the record) when the sequence ends, also
// when `showDay` throws. Returns the number of days shown.
int RunTodayData(DateTime& clock, const EventSite& site,
                 const std::function<bool(const DailyEvents&)>& showDay,
                 const std::vector<MinorBody>& minorBodies = {});

// The listing's fixed note about its precision (UTF-8).
inline constexpr const char* kTodayDataNote = "１０分程度の誤差があります。";

}  // namespace tavik
