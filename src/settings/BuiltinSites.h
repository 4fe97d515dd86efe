#pragma once
// The built-in observation sites offered by the site dialog, in list order,
// and the ten user site slots kept in the USERLOC section of the store.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "settings/SettingsStore.h"

namespace tavik {

// One built-in row: east longitude and north latitude in whole degrees and
// minutes, zone hours ahead of UT. Every built-in place is east and north.
struct BuiltinSite {
    const char* name;  // UTF-8; fits the 20-byte Shift-JIS name field with its terminator
    std::int16_t longitudeDegrees;
    std::int16_t longitudeMinutes;
    std::int16_t latitudeDegrees;
    std::int16_t latitudeMinutes;
    std::int16_t zoneHours;
};

inline constexpr int kBuiltinSiteCount = 95;
inline constexpr int kDefaultSiteRow = 38;
const std::array<BuiltinSite, kBuiltinSiteCount>& BuiltinSites();

// The default site's name (row 38), also the default of LOCATION/NAME.
const char* DefaultSiteName();

// A site as the dialog edits it: unsigned magnitudes plus the three choices.
struct UserSiteValues {
    std::string name;
    int latitudeDegrees = 0;   // 0..90
    int latitudeMinutes = 0;   // 0..59
    int longitudeDegrees = 0;  // 0..180
    int longitudeMinutes = 0;  // 0..59
    bool south = false;        // LOC_NANBOKU: 0 north, 1 south
    bool west = false;         // LOC_TOUZAI: 0 east, 1 west
    int zoneHours = 9;         // LOC_JISA: 0..12
    bool zoneMinus = false;    // LOC_JISAM: 0 plus, 1 minus

    bool operator==(const UserSiteValues&) const = default;
};

inline constexpr int kUserSiteSlots = 10;

// Reads slot 0..9 (the name is empty when the slot is free).
UserSiteValues ReadUserSite(const SettingsStore& store, int slot);
// Writes the name and the nine values of slot 0..9.
void WriteUserSite(SettingsStore& store, int slot, const UserSiteValues& site);

// Outcome of storing a typed name that is not a list entry.
struct RegisterResult {
    enum class Kind { Updated, Registered, Full } kind;
    int slot = -1;  // the slot written (Updated, Registered)
};

// A slot (0..9) holding exactly this name is overwritten; otherwise the first
// free slot receives the site. When all ten are taken by other names nothing is
// written and the result is Full.
RegisterResult RegisterUserSite(SettingsStore& store, const UserSiteValues& site);

// "新しい観測地を登録しました(%d/%d)" for a registration into `slot`.
std::string RegisteredMessage(int slot);
// Shown when all ten user slots hold other names.
inline constexpr const char* kUserSitesFullMessage =
    "これ以上観測値を登録できません.古いデータを更新してください";

}  // namespace tavik
