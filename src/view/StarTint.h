#pragma once
// What a star's colour takes from its record: the spectral letters that tint
// it. Only stars brighter than magnitude 3 that are not giants ("III") are
// tinted, by the first letter of the spectral type and by the letter after a
// '+' (a composite spectrum); every other star is plain. Worked out once per
// catalogue for the star field, and per call for other objects. No Qt.

#include <string_view>

namespace tavik {

struct StarTint {
    char first = 0;   // 0: no tint at all
    char second = 0;  // 0: no second letter
};

inline StarTint TintOf(double magnitude, std::string_view spectral) {
    StarTint t;
    if (!(magnitude < 3.0) || spectral.empty() || spectral.find("III") != std::string_view::npos) return t;
    t.first = spectral[0];
    const auto plus = spectral.find('+');
    if (plus != std::string_view::npos && plus + 1 < spectral.size()) t.second = spectral[plus + 1];
    return t;
}

}  // namespace tavik
