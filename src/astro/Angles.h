#pragma once
// Angle constants shared by the astronomy engine. All angles are radians.

namespace tavik {

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kDegToRad = 0.017453292519943295;
inline constexpr double kRadToDeg = 57.29577951308232;

}  // namespace tavik
