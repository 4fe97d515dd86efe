#pragma once
// Element files of comets and asteroids in the Minor Planet Center's one-line
// layouts, as users download them:
//
//   comets    ("CometEls.txt"): columns 15-29 perihelion time (year, month,
//             day.dddd TT), 31-39 q, 42-49 e, 52-59 argument of perihelion,
//             62-69 node, 72-79 inclination (J2000), 82-89 epoch YYYYMMDD
//             (may be blank), 92-95 g, 97-100 k, 103-158 designation and name;
//   asteroids ("MPCORB.DAT" and its extracts): 1-7 packed designation, 9-13 H,
//             15-19 G (blank: 0.15), 21-25 packed epoch, 27-35 mean anomaly,
//             38-46 argument of perihelion, 49-57 node, 60-68 inclination,
//             71-79 e, 93-103 a, 167-194 readable designation and name.
//
// The layout is told line by line, so both kinds may share one file. A line
// that fits neither, or holds an impossible value (a field that is not a
// number, q or a not positive, an asteroid with e >= 1, a date out of range,
// no magnitude), is skipped and counted. Everything before a line of
// dashes (the MPCORB header) is not counted. Nothing in a line is trusted:
// every field is checked for its columns and range before use.

#include <cstddef>
#include <filesystem>
#include <istream>
#include <optional>
#include <string_view>
#include <vector>

#include "astro/MinorOrbit.h"

namespace tavik {

// The default magnitude limit of the bodies kept.
inline constexpr double kDefaultMinorMagnitudeLimit = 12.0;

// One line of either layout; nothing when the line cannot be read.
std::optional<MinorBody> ParseCometLine(std::string_view line);
std::optional<MinorBody> ParseAsteroidLine(std::string_view line);
std::optional<MinorBody> ParseMinorBodyLine(std::string_view line);

// A magnitude the body can never be brighter than, seen from the Earth:
//   comets: g + 5 log(max(q - 1.017, 0.01)) + 2.5 k log q: at perihelion, the
//     Earth no nearer than its aphelion distance allows (for q below that, a
//     close approach of 0.01 AU is allowed); a comet whose k is negative (it
//     would brighten going out) is always kept;
//   asteroids: H + 5 log(q max(q - 1.017, 0.01)): at perihelion, at opposition
//     (phase 0) with the Earth at its aphelion side.
double BrightestPossibleMagnitude(const MinorBody& body);

struct MinorBodyList {
    std::vector<MinorBody> bodies;  // in file order
    std::size_t unreadable = 0;     // lines skipped as unreadable
    std::size_t fainter = 0;        // bodies read that never reach the limit
};

// Reads a whole file (streamed; a million lines need no more memory than the
// bodies kept) keeping the bodies that can reach magnitudeLimit.
MinorBodyList ReadMinorBodies(std::istream& in, double magnitudeLimit = kDefaultMinorMagnitudeLimit);
// The same from a file; a file that cannot be opened gives std::nullopt.
std::optional<MinorBodyList> ReadMinorBodyFile(const std::filesystem::path& path,
                                               double magnitudeLimit = kDefaultMinorMagnitudeLimit);

// A body by name: its label, designation or name, compared without regard to
// ASCII case; the first match, or nullptr.
const MinorBody* FindMinorBody(const std::vector<MinorBody>& bodies, std::string_view name);

}  // namespace tavik
