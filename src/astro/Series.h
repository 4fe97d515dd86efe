#pragma once
// Periodic series of the Sun, Moon and planet theories. Each row adds
// amplitude * sin(rate * T + phase) (or cosine) to an accumulator the caller
// has already set. Rows are kept in read-only constant tables.

#include <cmath>
#include <span>

#include "astro/Angles.h"

namespace tavik {

// Phase in radians, rate in radians per time unit (Julian year or century),
// amplitude in radians for angle series or plain for distance series.
struct SeriesTerm {
    double amplitude;
    double phase;
    double rate;
};

// A row given in degrees: amplitude, phase and rate each times pi/180.
constexpr SeriesTerm AngleTerm(double amplitudeDeg, double phaseDeg, double rateDeg) {
    return {amplitudeDeg * kDegToRad, phaseDeg * kDegToRad, rateDeg * kDegToRad};
}

// A row whose amplitude is a plain number (log10 AU, or AU): only the phase and
// rate are converted from degrees.
constexpr SeriesTerm PlainTerm(double amplitude, double phaseDeg, double rateDeg) {
    return {amplitude, phaseDeg * kDegToRad, rateDeg * kDegToRad};
}

inline void SineSeries(double t, double& accumulator, std::span<const SeriesTerm> table) {
    for (const SeriesTerm& row : table) accumulator += row.amplitude * std::sin(row.rate * t + row.phase);
}

inline void CosineSeries(double t, double& accumulator, std::span<const SeriesTerm> table) {
    for (const SeriesTerm& row : table) accumulator += row.amplitude * std::cos(row.rate * t + row.phase);
}

}  // namespace tavik
