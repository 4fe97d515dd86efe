#pragma once
// The comets and asteroids the user marked for today's data: their
// designations in [MINOR] TODAY, separated by ";" (a character no designation
// holds), in the order they were marked.

#include <string>
#include <vector>

#include "astro/MinorOrbit.h"

namespace tavik {

class SettingsStore;

inline constexpr char kMinorToday[] = "TODAY";

std::vector<std::string> MinorTodayMarks(const SettingsStore& store);
bool IsMinorTodayMarked(const SettingsStore& store, const std::string& designation);
// Marks or unmarks one designation (an empty one changes nothing).
void SetMinorTodayMark(SettingsStore& store, const std::string& designation, bool marked);
// The bodies of `bodies` that are marked, in file order.
std::vector<MinorBody> MarkedMinorBodies(const std::vector<MinorBody>& bodies, const SettingsStore& store);

}  // namespace tavik
