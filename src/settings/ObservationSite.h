#pragma once
// The observation site: where the sky is seen from. East longitude and north
// latitude are signed whole degrees and minutes; west and south negate both
// parts, so degrees + minutes / 60 is the signed angle. The zone offset is in
// whole hours ahead of Universal Time (negative when behind).

#include <string>
#include <string_view>

namespace tavik {

class SettingsStore;

inline constexpr std::string_view kDefaultSiteName = "神奈川県相模原市";
inline constexpr int kDefaultLongitudeDegrees = 139;
inline constexpr int kDefaultLongitudeMinutes = 22;
inline constexpr int kDefaultLatitudeDegrees = 35;
inline constexpr int kDefaultLatitudeMinutes = 34;
inline constexpr int kDefaultZoneOffsetHours = 9;

struct ObservationSite {
    std::string name{kDefaultSiteName};
    int longitudeDegrees = kDefaultLongitudeDegrees;
    int longitudeMinutes = kDefaultLongitudeMinutes;
    int latitudeDegrees = kDefaultLatitudeDegrees;
    int latitudeMinutes = kDefaultLatitudeMinutes;
    int zoneOffsetHours = kDefaultZoneOffsetHours;

    // Signed angles in degrees (east and north positive).
    double LongitudeDegrees() const { return longitudeDegrees + longitudeMinutes / 60.0; }
    double LatitudeDegrees() const { return latitudeDegrees + latitudeMinutes / 60.0; }

    bool operator==(const ObservationSite&) const = default;
};

// The current site: LOCATION TOUKEI, TOUKEIF, HOKUI, HOKUIF, NAME and SETTING
// JISA. Missing entries give the default site; a zone offset outside -12..14
// hours is brought back into that range.
ObservationSite ReadCurrentSite(const SettingsStore& store);
// Writes the six entries of the current site (in the order the view's save
// operation uses for them: JISA first, then the LOCATION entries).
void WriteCurrentSite(SettingsStore& store, const ObservationSite& site);

}  // namespace tavik
