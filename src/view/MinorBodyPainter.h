#pragma once
// Comets and asteroids the user loaded, on the chart: a dot sized by the
// magnitude as the planets are drawn, a short tail turned away from the Sun
// for a bright comet, the name beside it while [MINOR] NAMES is set, and a
// tap entry naming the body with its magnitude and distances (the record
// carries its designation in the spectral field).

#include <string>
#include <vector>

#include "astro/MinorOrbit.h"
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

// Draws every body of the list for the pass's moment (one observer for all).
void DrawMinorBodies(const RenderContext& ctx, StarPainter& stars, const std::vector<MinorBody>& bodies);

}  // namespace tavik
