#pragma once
// Comets and asteroids the user loaded, on the chart: a dot sized by the
// magnitude as the planets are drawn, a short tail turned away from the Sun
// for a bright comet, the name beside it while [MINOR] NAMES is set, and a
// tap entry naming the body with its magnitude and distances (the record
// carries its designation in the spectral field).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "astro/MinorOrbit.h"
#include "catalog/MinorBodies.h"
#include "catalog/StarRecord.h"
#include "view/RenderContext.h"

namespace tavik {

class StarPainter;

// Settings of our own: the faintest magnitude a body needs to be kept when a
// file is read, and the name switch.
inline constexpr char kMinorSection[] = "MINOR";
inline constexpr char kMinorMagnitudeLimit[] = "MAGLIMIT";
inline constexpr char kMinorNames[] = "NAMES";
inline constexpr char kMinorFileName[] = "minorbodies.txt";
// Comets at this magnitude or brighter are drawn with a tail.
inline constexpr double kCometTailMagnitude = 9.0;

// The tap text of a body: "C/2020 F3 (NEOWISE) 6.1等 太陽から0.45AU 地球から0.70AU".
std::string MinorTapText(const MinorBody& body, const MinorPlace& place);

// The places of the loaded bodies for one moment, kept from pass to pass: a
// gesture redraws the same moment again and again, and the places of 10,000
// bodies take a few milliseconds.
class MinorPlaceCache {
public:
    // The places of the list's bodies (in its order) at the UT moment,
    // computed again only when the list or the moment changed.
    const std::vector<MinorPlace>& PlacesAt(const std::shared_ptr<const MinorBodyList>& list, const DateTime& ut);
    const MinorObserver& Observer() const { return observer_; }
    // The tap record of body i of the last PlacesAt (its tap text in the
    // name), made the first time it is asked for.
    const StarRecord& TapRecord(std::size_t i);

private:
    std::shared_ptr<const MinorBodyList> list_;
    DateTime ut_;
    MinorObserver observer_;
    std::vector<MinorPlace> places_;
    std::vector<std::optional<StarRecord>> records_;
};

// Draws every body of the list for the pass's moment.
void DrawMinorBodies(const RenderContext& ctx, StarPainter& stars, const std::shared_ptr<const MinorBodyList>& list,
                     MinorPlaceCache& places);

}  // namespace tavik
