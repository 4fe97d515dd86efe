#include "settings/ObservationSite.h"

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"

namespace tavik {

ObservationSite ReadCurrentSite(const SettingsStore& store) {
    ObservationSite site;
    site.zoneOffsetHours = ReadSettingInt(store, "SETTING", "JISA");
    site.longitudeDegrees = ReadSettingInt(store, "LOCATION", "TOUKEI");
    site.longitudeMinutes = ReadSettingInt(store, "LOCATION", "TOUKEIF");
    site.latitudeDegrees = ReadSettingInt(store, "LOCATION", "HOKUI");
    site.latitudeMinutes = ReadSettingInt(store, "LOCATION", "HOKUIF");
    site.name = ReadSettingString(store, "LOCATION", "NAME");
    return site;
}

void WriteCurrentSite(SettingsStore& store, const ObservationSite& site) {
    WriteSettingInt(store, "SETTING", "JISA", site.zoneOffsetHours);
    WriteSettingInt(store, "LOCATION", "TOUKEI", site.longitudeDegrees);
    WriteSettingInt(store, "LOCATION", "TOUKEIF", site.longitudeMinutes);
    WriteSettingInt(store, "LOCATION", "HOKUI", site.latitudeDegrees);
    WriteSettingInt(store, "LOCATION", "HOKUIF", site.latitudeMinutes);
    WriteSettingString(store, "LOCATION", "NAME", site.name);
}

}  // namespace tavik
