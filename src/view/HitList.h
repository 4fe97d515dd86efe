#pragma once
// The objects a render pass drew, with the screen points they were drawn at,
// for tap hit-testing. Each pass fills a list of its own and publishes it when
// it is done, so a tap on the user-interface thread only ever sees a whole
// list, never one that the render worker is still filling.
//
// Entries point at catalogue records (the document keeps them while the
// catalogue stays loaded) or at the list's own copies of the Sun, the Moon and
// the planets for the pass's moment. No Qt.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "catalog/StarRecord.h"
#include "view/DeepSkyOutline.h"

namespace tavik {

struct HitEntry {
    const StarRecord* record = nullptr;
    std::int16_t x = 0;
    std::int16_t y = 0;
};

class HitList {
public:
    static constexpr std::size_t kCapacity = 9999;

    HitList();

    // Appends in drawing order; once the list is full the last entry is
    // overwritten. Points are clamped to the int16 range.
    void Add(const StarRecord& record, int x, int y);
    // Add for a record that does not outlive the pass (a tap mark the user may
    // delete, an object read from an add-in file): the list keeps its own copy.
    void AddCopy(const StarRecord& record, int x, int y);
    const std::vector<HitEntry>& Entries() const { return entries_; }
    // How many more entries fit before Add starts replacing the last one.
    std::size_t Room() const { return kCapacity - entries_.size(); }

    // The outline a large deep-sky object was drawn with (it is also added
    // with Add at its point): a tap inside it finds the object when nothing
    // lies within the tap box. Up to kCapacity; later ones are dropped.
    void AddOutline(const StarRecord& record, const ChartOutline& outline);
    struct OutlineEntry {
        const StarRecord* record = nullptr;
        ChartOutline outline;
    };
    const std::vector<OutlineEntry>& Outlines() const { return outlines_; }

    // The pass's record for solar-system body i (0..9, kSolar* indices): kind,
    // "#" constellation and the body's name are set; the pass fills in ra, dec
    // and mag before adding it.
    StarRecord& SolarRecord(int i);

    // The Moon's age in days at the pass's moment (for the tap text).
    double moonAge = 0.0;

private:
    std::vector<HitEntry> entries_;
    std::vector<OutlineEntry> outlines_;
    std::array<StarRecord, kSolarBodies> solar_;
    std::deque<StarRecord> copies_;  // records of AddCopy; a deque keeps them in place
};

// The object under a tap: among the eligible entries whose 8 x 8 box (from 4
// pixels left of and above the drawn point, right and bottom edges excluded)
// holds (x, y), the one with the smallest magnitude;
// on equal magnitudes the earlier entry wins. When that entry is an unnamed
// NGC/IC object (the deep set's crowd around a Messier object) and a Messier
// object shares the box, the unnamed objects are passed over: the brightest
// of the others wins (the Messier object, or a star or named object brighter
// than it). With nothing in the box, the smallest outline holding (x, y)
// gives the object, and the tap point stays where it is. Eligible are tap marks (only
// while `tapMarksEnabled`), solar-system records, and records with a Bayer
// letter or deep-sky designation at designation character 3.
struct TapTarget {
    const StarRecord* record = nullptr;  // none found: nullptr
    int x = 0;                           // the tap point, moved to the record's point
    int y = 0;
};
TapTarget FindTapTarget(const HitList& hits, int x, int y, bool tapMarksEnabled);

}  // namespace tavik
