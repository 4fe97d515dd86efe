#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>

#include "settings/ObservationSite.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"

namespace tavik {
namespace {

TEST(SettingsSchemaTest, KeysAreUniqueAndSaveOrderCoversTheView) {
    std::set<std::pair<std::string, std::string>> keys;
    for (const SettingDef& d : AllSettings()) {
        EXPECT_TRUE(keys.insert({d.section, d.entry}).second) << d.section << "/" << d.entry;
        if (d.bound.action != OutOfRange::Keep) {
            EXPECT_EQ(d.Bounded(d.intDefault), d.intDefault) << d.section << "/" << d.entry;
        }
    }
    // Every saved key is a view entry of the schema, and every view entry except
    // the ones with their own moments is saved.
    std::set<std::pair<std::string, std::string>> saved;
    for (const SettingKey& k : ViewSaveOrder()) {
        const SettingDef* d = FindSetting(k.section, k.entry);
        ASSERT_NE(d, nullptr) << k.section << "/" << k.entry;
        EXPECT_NE(d->group, SettingGroup::Other);
        saved.insert({std::string(k.section), std::string(k.entry)});
    }
    for (const SettingDef& d : AllSettings()) {
        if (d.group == SettingGroup::Other) continue;
        const bool ownMoment = d.section == "ANIME" || d.section == "SUPERZOOMSAVE" ||
                               (d.section == "SHOW" && d.entry == "MILKEY");
        EXPECT_EQ(saved.count({d.section, d.entry}) == 1, !ownMoment)
            << d.section << "/" << d.entry;
    }
}

TEST(SettingsSchemaTest, ScreenStateFollowsScreenEnd) {
    const auto& all = AllSettings();
    size_t end = 0;
    while (end < all.size() && !(all[end].section == "SCREEN" && all[end].entry == "END")) ++end;
    ASSERT_LT(end + 9, all.size());
    for (size_t i = end + 1; i <= end + 9; ++i) EXPECT_EQ(all[i].group, SettingGroup::ViewScreen);
    EXPECT_EQ(all[end + 1].entry, "STATUS");
    EXPECT_EQ(all[end + 9].section, "SETTING");
    EXPECT_EQ(all[end + 9].entry, "DIRECT");
    EXPECT_NE(all[end + 10].group, SettingGroup::ViewScreen);
}

TEST(SettingsSchemaTest, NumberedFamiliesAndOtherOwners) {
    MemorySettingsStore empty;
    EXPECT_EQ(ReadSettingString(empty, "ADIN", "f1"), "");
    EXPECT_EQ(ReadSettingString(empty, "ADIN", "f12"), "");
    EXPECT_EQ(ReadSettingInt(empty, "USERLOC", "LOC_JISA07"), 9);
    EXPECT_EQ(ReadSettingString(empty, "USERLOC", "LOC03"), "");
    EXPECT_EQ(FindSetting("USERLOC", "LOC3"), nullptr);  // always two digits
    EXPECT_EQ(FindSetting("ADIN", "f"), nullptr);
    EXPECT_EQ(FindSetting("ADIN", "fx"), nullptr);
    EXPECT_EQ(ReadSettingInt(empty, "TS", "COMPORT"), 1);
    EXPECT_EQ(ReadSettingInt(empty, "TS", "TRACE_TIME"), 2);
    EXPECT_EQ(ReadSettingInt(empty, "CMD_BAR", "MENU_TOOL"), 1);
    EXPECT_EQ(ReadSettingInt(empty, "POPUPMENU", "MAG"), 4);
    EXPECT_EQ(ReadSettingInt(empty, "TAPREG", "CNT"), 1);
    EXPECT_EQ(ReadSettingString(empty, "TAVIK", "TAVIK_DATA"),
              "\\MultiMedia Card\\My Documents\\tavik\\tavik.dat");
    EXPECT_THROW(ReadSettingInt(empty, "NOPE", "NOPE"), std::out_of_range);

    // MEMORY/CARD: written as 2 by the about box, any non-zero value is checked.
    MemorySettingsStore store;
    store.WriteProfileInt("MEMORY", "CARD", 2);
    EXPECT_TRUE(ReadSettingBool(store, "MEMORY", "CARD"));
    store.WriteProfileInt("MEMORY", "CARD", 1);
    EXPECT_TRUE(ReadSettingBool(store, "MEMORY", "CARD"));
    // CMD_BAR/STS is a flag.
    store.WriteProfileInt("CMD_BAR", "STS", 2);
    EXPECT_FALSE(ReadSettingBool(store, "CMD_BAR", "STS"));

    // Bounded entries of other owners.
    store.WriteProfileInt("TS", "COMPORT", 9);
    EXPECT_EQ(ReadSettingInt(store, "TS", "COMPORT"), 1);
    store.WriteProfileInt("ADIN", "COUNT", 2000000000);
    EXPECT_EQ(ReadSettingInt(store, "ADIN", "COUNT"), 1000);
    store.WriteProfileInt("CMD_BAR", "TYPE", 12);
    EXPECT_EQ(ReadSettingInt(store, "CMD_BAR", "TYPE"), 0);
}

TEST(ObservationSiteTest, CurrentSiteReadAndWritten) {
    MemorySettingsStore store;
    const ObservationSite def = ReadCurrentSite(store);
    EXPECT_EQ(def, ObservationSite{});
    EXPECT_EQ(def.name, "神奈川県相模原市");
    EXPECT_DOUBLE_EQ(def.LongitudeDegrees(), 139.0 + 22.0 / 60.0);
    EXPECT_DOUBLE_EQ(def.LatitudeDegrees(), 35.0 + 34.0 / 60.0);

    // 74°0'W, 40°45'N, zone -5: west and south negate both parts.
    ObservationSite ny{"ニューヨーク", -74, 0, 40, 45, -5};
    WriteCurrentSite(store, ny);
    EXPECT_EQ(store.GetProfileInt("LOCATION", "TOUKEI", 0), -74);
    EXPECT_EQ(store.GetProfileInt("LOCATION", "TOUKEIF", 99), 0);
    EXPECT_EQ(store.GetProfileInt("LOCATION", "HOKUI", 0), 40);
    EXPECT_EQ(store.GetProfileInt("LOCATION", "HOKUIF", 0), 45);
    EXPECT_EQ(store.GetProfileInt("SETTING", "JISA", 0), -5);
    EXPECT_EQ(ReadCurrentSite(store), ny);

    ObservationSite south{"x", 0, -30, -33, -52, 10};
    EXPECT_DOUBLE_EQ(south.LongitudeDegrees(), -0.5);
    EXPECT_DOUBLE_EQ(south.LatitudeDegrees(), -(33.0 + 52.0 / 60.0));
}

// Stored values at the ends of int, as a damaged or hostile store may hold
// them, come back inside ranges the program can compute with.
TEST(SettingsSchemaTest, ExtremeStoredIntegersAreBoundedWhereRead) {
    MemorySettingsStore store;
    for (const char* e : {"TOUKEI", "TOUKEIF", "HOKUI", "HOKUIF"}) store.WriteProfileInt("LOCATION", e, INT_MIN);
    const ObservationSite site = ReadCurrentSite(store);
    EXPECT_EQ(site.longitudeDegrees, -180);
    EXPECT_EQ(site.longitudeMinutes, -59);
    EXPECT_EQ(site.latitudeDegrees, -90);
    EXPECT_EQ(site.latitudeMinutes, -59);
    store.WriteProfileInt("LOCATION", "TOUKEI", INT_MAX);
    EXPECT_EQ(ReadCurrentSite(store).longitudeDegrees, 180);

    const std::pair<const char*, const char*> keys[] = {
        {"FONT", "SIZE"}, {"MAGN", "SHIFT"}, {"ZOOMINVIEW", "SHIFT"}, {"ANIME", "DAY"}, {"ANIME", "HOUR"},
        {"ANIME", "MIN"}, {"ANIME", "SEC"}, {"USERLOC", "LOC_KEIDOH03"}};
    for (const auto& [section, entry] : keys) {
        for (int extreme : {INT_MIN, INT_MAX}) {
            store.WriteProfileInt(section, entry, extreme);
            EXPECT_LE(std::abs(ReadSettingInt(store, section, entry)), 1000000) << section << "/" << entry;
        }
    }
    store.WriteProfileInt("FONT", "SIZE", 12345);
    EXPECT_EQ(ReadSettingInt(store, "FONT", "SIZE"), 1000);
    store.WriteProfileInt("TAPREG", "CNT", INT_MAX);
    EXPECT_EQ(ReadSettingInt(store, "TAPREG", "CNT"), INT_MAX - 1);  // one more still fits
}

}  // namespace
}  // namespace tavik
