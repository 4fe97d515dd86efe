#pragma once
// What a coordinate or magnitude read from a file must look like before it is
// projected or drawn. The files come from users and other machines: a value
// that is not finite, or lies far outside its range, is skipped by whoever
// uses it (a polyline point breaks its stroke, a record is not drawn), so that
// no such value ever reaches integer arithmetic.

#include <cmath>

#include "astro/Angles.h"

namespace tavik {

// Right ascensions are angles and may come unreduced (a sidereal time of the
// date, say); declinations may round just past a pole. Anything further out is
// not a position.
inline constexpr double kMaxAbsRightAscension = 1e9;
inline constexpr double kMaxAbsDeclination = kPi / 2.0 + 1e-6;
// Magnitudes run from about -27 (the Sun) to 20; tap marks use -100.
inline constexpr double kMaxAbsMagnitude = 1000.0;

inline bool SoundSkyPosition(double rightAscension, double declination) {
    return std::isfinite(rightAscension) && std::isfinite(declination) &&
           std::fabs(rightAscension) <= kMaxAbsRightAscension &&
           std::fabs(declination) <= kMaxAbsDeclination;
}

inline bool SoundMagnitude(double magnitude) {
    return std::isfinite(magnitude) && std::fabs(magnitude) <= kMaxAbsMagnitude;
}

}  // namespace tavik
