#include "view/HitList.h"

#include <algorithm>
#include <limits>

#include "catalog/ShiftJis.h"

namespace tavik {

namespace {

std::int16_t ClampToInt16(int v) {
    return static_cast<std::int16_t>(std::clamp<int>(v, std::numeric_limits<std::int16_t>::min(),
                                                     std::numeric_limits<std::int16_t>::max()));
}

// Names of the solar-system records, by index (Mercury .. Saturn, two unused
// slots, the Moon, the Sun, one unused slot).
const char* SolarName(int i) {
    static const char* const names[kSolarBodies] = {"水星", "金星", "火星", "木星", "土星",
                                                    "",     "",     "月",   "太陽", ""};
    return names[i];
}

bool IsMessier(const StarRecord& r) { return IsDeepSkyKind(r.kind) && IsMessierDesignation(r.ShortDesignation()); }

// An NGC/IC object without a name: a Messier object in the same box outranks it.
bool UnnamedNeighbour(const StarRecord& r) {
    return IsDeepSkyKind(r.kind) && !IsMessier(r) && !(r.name && !r.name->empty());
}

bool Eligible(const StarRecord& r, bool tapMarksEnabled) {
    if (r.spectral[0] == '!') return tapMarksEnabled;
    if (r.IsSolarPlaceholder()) return true;
    const char c = r.designation[3];
    return c != '\0' && c != ' ';
}

}  // namespace

HitList::HitList() {
    entries_.reserve(1024);
    for (int i = 0; i < kSolarBodies; ++i) {
        StarRecord& r = solar_[static_cast<std::size_t>(i)];
        r.kind = static_cast<std::int16_t>(SolarPlaceholderKind(i));
        r.SetConstellation("#");
        r.SetDesignation(Utf8ToSjis(SolarName(i)));
    }
}

void HitList::Add(const StarRecord& record, int x, int y) {
    const HitEntry e{&record, ClampToInt16(x), ClampToInt16(y)};
    if (entries_.size() < kCapacity) {
        entries_.push_back(e);
    } else {
        entries_.back() = e;
    }
}

void HitList::AddCopy(const StarRecord& record, int x, int y) {
    // A full list overwrites its last entry: reuse that entry's copy, so the
    // copies never outgrow the list.
    if (entries_.size() >= kCapacity && !copies_.empty() && entries_.back().record == &copies_.back()) {
        copies_.back() = record;
        entries_.back().x = ClampToInt16(x);
        entries_.back().y = ClampToInt16(y);
        return;
    }
    copies_.push_back(record);
    Add(copies_.back(), x, y);
}

void HitList::AddOutline(const StarRecord& record, const ChartOutline& outline) {
    if (outlines_.size() < kCapacity) outlines_.push_back({&record, outline});
}

StarRecord& HitList::SolarRecord(int i) {
    return solar_[static_cast<std::size_t>(std::clamp(i, 0, kSolarBodies - 1))];
}

TapTarget FindTapTarget(const HitList& hits, int x, int y, bool tapMarksEnabled) {
    // `kept`: the brightest entry that is not an unnamed NGC/IC object, what
    // a tap finds when a Messier object shares the box with such objects.
    TapTarget best, kept;
    double bestMag = 99.99, keptMag = 99.99;
    bool messier = false;
    for (const HitEntry& e : hits.Entries()) {
        if (!e.record) continue;
        // The box around the drawn point, right and bottom edges excluded: a
        // tap 4 pixels left of a star finds it, 4 pixels right does not.
        if (x < e.x - 4 || x >= e.x + 4 || y < e.y - 4 || y >= e.y + 4) continue;
        if (!Eligible(*e.record, tapMarksEnabled)) continue;
        if (e.record->mag < bestMag) {
            bestMag = e.record->mag;
            best = {e.record, e.x, e.y};
        }
        if (!UnnamedNeighbour(*e.record) && e.record->mag < keptMag) {
            keptMag = e.record->mag;
            kept = {e.record, e.x, e.y};
        }
        messier = messier || IsMessier(*e.record);
    }
    if (best.record && messier && UnnamedNeighbour(*best.record)) return kept;
    if (best.record) return best;
    best.x = x;
    best.y = y;
    double bestArea = 0.0;
    for (const HitList::OutlineEntry& o : hits.Outlines()) {
        if (!o.record || !o.outline.Contains(x, y)) continue;
        const double area = o.outline.Area();
        if (!best.record || area < bestArea) {
            best.record = o.record;
            bestArea = area;
        }
    }
    return best;
}

}  // namespace tavik
