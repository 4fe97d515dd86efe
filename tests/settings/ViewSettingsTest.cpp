#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "settings/ViewSettings.h"

namespace tavik {
namespace {

std::string Key(std::string_view section, std::string_view entry) {
    return std::string(section) + "/" + std::string(entry);
}

TEST(ViewSettingsTest, EmptyStoreReadsEveryDefault) {
    const MemorySettingsStore empty;
    ViewSettings v;
    v.Load(empty);

    EXPECT_EQ(v.zoomInPoint, 500);
    EXPECT_EQ(v.zoomLimitMagnitude, 6);
    EXPECT_EQ(v.zoomStarShift, -40);
    EXPECT_EQ(v.zoomThreshold, 400);
    EXPECT_EQ(v.gradation, 1);
    EXPECT_EQ(v.redKeepsBackground, 1);
    EXPECT_EQ(v.stepMinutes, 3);
    EXPECT_EQ(v.stepSeconds, 0);
    EXPECT_EQ(v.savedFacing, 3);
    EXPECT_EQ(v.savedTurn, 3);
    EXPECT_EQ(v.savedZoom, 50);
    EXPECT_EQ(v.savedAltitude, 45);
    EXPECT_FALSE(v.popupTelescope);
    EXPECT_EQ(v.userTapText, 1);
    EXPECT_EQ(v.autoEnter, 1);
    EXPECT_EQ(v.planetJpeg, 1);
    EXPECT_EQ(v.realMoon, 1);
    EXPECT_EQ(v.zoomCentreMark, 1);
    EXPECT_EQ(v.cursorReversed, 1);
    EXPECT_EQ(v.fontSize, 75);
    EXPECT_TRUE(v.messierJpeg);
    EXPECT_TRUE(v.tapNoTurn);
    EXPECT_TRUE(v.rememberScreen);
    // Nothing of the screen state is stored (a first start): it starts as
    // SCREEN/END 0 starts it, the planisphere facing South.
    EXPECT_EQ(v.viewMode, 0);
    EXPECT_EQ(v.facing, 3);
    EXPECT_EQ(v.heightBand, 0);
    EXPECT_FALSE(v.constellationLines);
    EXPECT_TRUE(v.selectedLines);
    EXPECT_TRUE(v.noWaitCursor);
    EXPECT_EQ(v.wideTenths, 13);
    EXPECT_EQ(v.starShift, 0);
    EXPECT_TRUE(v.selectedFigure);
    EXPECT_TRUE(v.selectedName);
    EXPECT_TRUE(v.popupDisplay);
    EXPECT_TRUE(v.messier);
    EXPECT_EQ(v.limitingMagnitude, 4);
    EXPECT_TRUE(v.realtime);
    EXPECT_FALSE(v.autoUpdate);
    EXPECT_EQ(v.site.zoneOffsetHours, 9);
    EXPECT_EQ(v.site.longitudeDegrees, 139);
    EXPECT_EQ(v.site.longitudeMinutes, 22);
    EXPECT_EQ(v.site.latitudeDegrees, 35);
    EXPECT_EQ(v.site.latitudeMinutes, 34);
    EXPECT_EQ(v.site.name, "神奈川県相模原市");
    // Colour table: 0x00BBGGRR.
    EXPECT_EQ(v.colors[0], 0x0000FFFFu);   // (255, 255, 0)
    EXPECT_EQ(v.colors[4], 0x00FFC0C0u);   // (192, 192, 255)
    EXPECT_EQ(v.colors[11], 0x006060FFu);  // (255, 96, 96)
    EXPECT_EQ(v.colors[17], 0x00408060u);  // (96, 128, 64)
    EXPECT_EQ(v.colors[27], 0x0000C1C1u);  // (193, 193, 0)
    EXPECT_EQ(v.colors[30], 0x00404020u);  // (32, 64, 64)
    for (int i = 31; i < kColorCount; ++i) EXPECT_EQ(v.colors[i], 0u) << i;

    // A default-constructed object is the same.
    const ViewSettings d;
    EXPECT_EQ(d.fontSize, v.fontSize);
    EXPECT_EQ(d.colors, v.colors);
    EXPECT_EQ(d.site, v.site);
}

TEST(ViewSettingsTest, EveryViewEntryIsReadWithItsSchemaDefault) {
    // Load, then Save into a fresh store: every entry the view saves comes back
    // as the schema default (encoded), which catches a field bound to the wrong
    // entry or a default typed twice.
    ViewSettings v;
    v.Load(MemorySettingsStore{});
    MemorySettingsStore out;
    v.Save(out);
    v.SaveTimeStep(out);
    v.SaveMagnifierState(out);
    v.SaveMilkyWay(out);
    for (const SettingDef& d : AllSettings()) {
        if (d.group == SettingGroup::Other) continue;
        ASSERT_TRUE(out.Contains(d.section, d.entry)) << Key(d.section, d.entry);
        if (d.type == SettingType::String) {
            EXPECT_EQ(out.GetProfileString(d.section, d.entry, "?"), d.stringDefault);
        } else if (d.type == SettingType::Int) {
            // The screen state of a first start is the start value.
            const int expected = d.group == SettingGroup::ViewScreen ? d.startValue : d.intDefault;
            EXPECT_EQ(out.GetProfileInt(d.section, d.entry, -12345), expected) << Key(d.section, d.entry);
        } else {
            EXPECT_EQ(out.GetProfileInt(d.section, d.entry, -12345), d.intDefault != 0 ? 1 : 0)
                << Key(d.section, d.entry);
        }
    }
}

TEST(ViewSettingsTest, OneSaveWritesEveryEntryInOrder) {
    MemorySettingsStore store;
    ViewSettings v;
    v.Load(store);
    v.Save(store);
    const std::vector<std::string>& log = store.WriteLog();

    std::vector<std::string> head = {
        "ZOOMINVIEW/THISPOINT", "ZOOMINVIEW/MAG", "ZOOMINVIEW/SHIFT", "ZOOMINVIEW/UPTO",
        "KOUGAI/REDUCE", "BACKPAINT/GRADATION", "REDSCR/NO_REDBACK", "TAPFONT/ENLARGE",
        "MEMORY/SEIZE_FILES", "CUR_SET/ACTION_FUNC", "SETTING/POPUPTS"};
    ASSERT_GE(log.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + head.size()), head);

    // 41 entries before the screen state, 9 of it, ROTATE/RIGHT, 48 colours,
    // 30 after.
    EXPECT_EQ(log.size(), 51u + 48u + 30u);
    auto pos = [&](const std::string& k) {
        for (size_t i = 0; i < log.size(); ++i)
            if (log[i] == k) return static_cast<int>(i);
        return -1;
    };
    EXPECT_EQ(pos("ACTION/MENU") + 1, pos("TAP/NODIR"));
    EXPECT_EQ(pos("SCREEN/END") + 1, pos("VIEW/STATUS"));
    EXPECT_EQ(pos("SCREEN/HALF") + 1, pos("ROTATE/RIGHT"));
    EXPECT_EQ(pos("ROTATE/RIGHT") + 1, pos("USR_CLR/CLR00"));
    EXPECT_EQ(pos("USR_CLR/CLR00") + 47, pos("USR_CLR/CLR47"));
    EXPECT_EQ(pos("USR_CLR/CLR47") + 1, pos("PROC/SANDCLOCK"));
    EXPECT_EQ(pos("SETTING/JISA") + 3, pos("SETTING/DIRECT"));
    EXPECT_EQ(pos("SETTING/SEIZA") + 1, pos("SETTING/SELECT"));
    EXPECT_EQ(pos("LOCATION/NAME") + 1, pos("SETTING/BW"));
    EXPECT_EQ(log.back(), "MACHINE/CURSORKEY");

    // Each written once; none of the entries with their own moments.
    EXPECT_EQ(std::set<std::string>(log.begin(), log.end()).size(), log.size());
    for (const char* k : {"ANIME/MIN", "SUPERZOOMSAVE/ZOOMING", "SHOW/MILKEY"})
        EXPECT_EQ(pos(k), -1) << k;

    // Table 3: ACTION/MENU always 1; SELECT starts 0, CURSORKEY starts 1 whatever
    // was stored before.
    EXPECT_EQ(store.GetProfileInt("ACTION", "MENU", 0), 1);
    EXPECT_EQ(store.GetProfileInt("SETTING", "SELECT", -1), 0);
    EXPECT_EQ(store.GetProfileInt("MACHINE", "CURSORKEY", -1), 1);
}

TEST(ViewSettingsTest, WriteOnlyEntriesAreNotReadBack) {
    MemorySettingsStore store;
    store.WriteProfileInt("SETTING", "SELECT", 1);
    store.WriteProfileInt("MACHINE", "CURSORKEY", 0);
    store.WriteProfileInt("ACTION", "MENU", 0);
    ViewSettings v;
    v.Load(store);
    EXPECT_FALSE(v.constellationSelection);
    EXPECT_TRUE(v.cursorKeys);
    v.Save(store);
    EXPECT_EQ(store.GetProfileInt("SETTING", "SELECT", -1), 0);
    EXPECT_EQ(store.GetProfileInt("MACHINE", "CURSORKEY", -1), 1);
    EXPECT_EQ(store.GetProfileInt("ACTION", "MENU", -1), 1);
}

TEST(ViewSettingsTest, EncodingsOfFlagNonZeroAndInt) {
    MemorySettingsStore store;
    store.WriteProfileInt("COLOR", "ALLRED", 2);        // flag: 2 is false
    store.WriteProfileInt("TAP", "NODIR", 2);           // flag with default 1: 2 is false
    store.WriteProfileInt("MEMORY", "SEIZE_FILES", 2);  // nonzero: 2 is true
    store.WriteProfileInt("BACKPAINT", "GRADATION", 2); // int: kept as 2
    store.WriteProfileInt("SETTING", "MESIE", -1);      // flag: -1 is false
    ViewSettings v;
    v.Load(store);
    EXPECT_FALSE(v.allRed);
    EXPECT_FALSE(v.tapNoTurn);
    EXPECT_TRUE(v.constellationFilesInMemory);
    EXPECT_EQ(v.gradation, 2);
    EXPECT_FALSE(v.messier);

    v.Save(store);
    EXPECT_EQ(store.GetProfileInt("COLOR", "ALLRED", -1), 0);
    EXPECT_EQ(store.GetProfileInt("TAP", "NODIR", -1), 0);
    EXPECT_EQ(store.GetProfileInt("MEMORY", "SEIZE_FILES", -1), 1);
    EXPECT_EQ(store.GetProfileInt("BACKPAINT", "GRADATION", -1), 2);
    EXPECT_EQ(store.GetProfileInt("SETTING", "MESIE", -1), 0);
}

TEST(ViewSettingsTest, ScreenStateTakesStartValuesWhenEndIsOff) {
    MemorySettingsStore store;
    store.WriteProfileInt("SCREEN", "END", 0);
    store.WriteProfileInt("VIEW", "STATUS", 21);
    store.WriteProfileInt("SETTING", "DIRECT", 1);
    store.WriteProfileInt("SCREEN", "SEKIDO_S", 1);
    store.WriteProfileInt("SCREEN", "ZOOM_H", 2);
    store.WriteProfileInt("SCREEN", "HALF", 30);
    store.WriteProfileInt("SCREEN", "KOUDOU_S", 1);
    store.WriteProfileInt("SCREEN", "POLER2", 1);
    ViewSettings v;
    v.Load(store);
    EXPECT_FALSE(v.rememberScreen);
    EXPECT_EQ(v.viewMode, 0);  // planisphere
    EXPECT_EQ(v.facing, 3);    // South
    EXPECT_FALSE(v.equatorialGrid);
    EXPECT_EQ(v.heightBand, 0);
    EXPECT_EQ(v.turnDegrees, 0);
    EXPECT_EQ(v.eclipticGrid, 0);
    EXPECT_FALSE(v.polarFine);

    // The ignored values are overwritten by the first save.
    v.Save(store);
    EXPECT_EQ(store.GetProfileInt("SCREEN", "END", -1), 0);
    EXPECT_EQ(store.GetProfileInt("VIEW", "STATUS", -1), 0);
    EXPECT_EQ(store.GetProfileInt("SETTING", "DIRECT", -1), 3);
    EXPECT_EQ(store.GetProfileInt("SCREEN", "SEKIDO_S", -1), 0);
    EXPECT_EQ(store.GetProfileInt("SCREEN", "HALF", -1), 0);

    // With END on again the stored screen state is read.
    store.WriteProfileInt("SCREEN", "END", 1);
    store.WriteProfileInt("VIEW", "STATUS", 21);
    store.WriteProfileInt("SCREEN", "ZOOM_H", -1);
    store.WriteProfileInt("SETTING", "DIRECT", 0);
    v.Load(store);
    EXPECT_EQ(v.viewMode, 21);
    EXPECT_EQ(v.heightBand, -1);
    EXPECT_EQ(v.facing, 0);
}

TEST(ViewSettingsTest, StoredValuesRoundTrip) {
    MemorySettingsStore store;
    store.WriteProfileInt("ZOOMINVIEW", "THISPOINT", 250);
    store.WriteProfileInt("USR_CLR", "CLR05", 0x123456);
    store.WriteProfileInt("USR_CLR", "CLR40", 0x00ABCDEF);
    store.WriteProfileInt("LOCATION", "TOUKEI", -74);
    store.WriteProfileInt("LOCATION", "TOUKEIF", 0);
    store.WriteProfileInt("LOCATION", "HOKUI", 40);
    store.WriteProfileInt("LOCATION", "HOKUIF", 45);
    store.WriteProfileInt("SETTING", "JISA", -5);
    store.WriteProfileString("LOCATION", "NAME", std::string("ニューヨーク"));
    store.WriteProfileInt("ANIME", "HOUR", 1);
    store.WriteProfileInt("SUPERZOOMSAVE", "HEIGHT", 60);
    ViewSettings v;
    v.Load(store);
    EXPECT_EQ(v.zoomInPoint, 250);
    EXPECT_EQ(v.colors[5], 0x123456u);
    EXPECT_EQ(v.colors[40], 0x00ABCDEFu);
    EXPECT_EQ(v.site.longitudeDegrees, -74);
    EXPECT_EQ(v.site.zoneOffsetHours, -5);
    EXPECT_EQ(v.site.name, "ニューヨーク");
    EXPECT_EQ(v.stepHours, 1);
    EXPECT_EQ(v.savedAltitude, 60);

    MemorySettingsStore out;
    v.Save(out);
    EXPECT_EQ(out.GetProfileInt("USR_CLR", "CLR05", 0), 0x123456);
    EXPECT_EQ(out.GetProfileInt("LOCATION", "TOUKEI", 0), -74);
    EXPECT_EQ(out.GetProfileString("LOCATION", "NAME", ""), "ニューヨーク");
    v.SaveTimeStep(out);
    v.SaveMagnifierState(out);
    EXPECT_EQ(out.GetProfileInt("ANIME", "HOUR", 0), 1);
    EXPECT_EQ(out.GetProfileInt("SUPERZOOMSAVE", "HEIGHT", 0), 60);
}

// Values that would divide by zero, stall or index past a table later are
// brought back into range as they are read.
TEST(ViewSettingsTest, DangerousValuesAreBounded) {
    struct Case {
        const char* section;
        const char* entry;
        int stored;
        int expected;
    };
    const std::vector<Case> cases = {
        {"DIREC", "WIDE", 0, 1},           {"DIREC", "WIDE", -13, 1},
        {"DIREC", "WIDE", 500, 20},        {"FONT", "SIZE", 0, 30},
        {"FONT", "SIZE", -75, 30},         {"FONT", "SIZE", 1 << 30, 1000},
        {"SETTING", "MAGNIT", 0, 1},       {"SETTING", "MAGNIT", 9, 7},
        {"SETTING", "MAGNIT", -3, 1},      {"ZOOMINVIEW", "MAG", 0, 1},
        {"ZOOMINVIEW", "MAG", 8, 7},       {"ZOOMINVIEW", "THISPOINT", 0, 30},
        {"SUPERZOOMSAVE", "ZOOMING", 0, 30}, {"SUPERZOOMSAVE", "HEIGHT", 90, 86},
        {"KOUGAI", "REDUCE", 1000000, 20}, {"KOUGAI", "REDUCE", -1, 0},
        {"MAGN", "SHIFT", 1 << 30, 20},    {"ZOOMINVIEW", "SHIFT", -(1 << 30), -99},
        {"SCREEN", "ZOOM_H", 3, 0},        {"SCREEN", "ZOOM_H", -2, 0},
        {"VIEW", "STATUS", 5, 1},          {"VIEW", "STATUS", 22, 22},
        {"SETTING", "DIRECT", 4, 3},       {"SETTING", "DIRECT", -1, 3},
        {"CUR_SET", "ACTION_FUNC", 3, 0},  {"SCREEN", "HALF", 90, 0},
        {"SETTING", "JISA", 100, 14},      {"SETTING", "JISA", -100, -12},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        store.WriteProfileInt(c.section, c.entry, c.stored);
        EXPECT_EQ(ReadSettingInt(store, c.section, c.entry), c.expected)
            << c.section << "/" << c.entry << " = " << c.stored;
    }

    MemorySettingsStore store;
    store.WriteProfileInt("DIREC", "WIDE", 0);
    store.WriteProfileInt("FONT", "SIZE", 0);
    store.WriteProfileInt("SETTING", "MAGNIT", 0);
    store.WriteProfileInt("SCREEN", "ZOOM_H", 7);
    ViewSettings v;
    v.Load(store);
    EXPECT_EQ(v.wideTenths, 1);
    EXPECT_EQ(v.fontSize, 30);
    EXPECT_EQ(v.limitingMagnitude, 1);
    EXPECT_EQ(v.heightBand, 0);
    // Values in range are kept.
    MemorySettingsStore ok;
    ok.WriteProfileInt("DIREC", "WIDE", 20);
    ok.WriteProfileInt("FONT", "SIZE", 31);
    ok.WriteProfileInt("SETTING", "MAGNIT", 7);
    v.Load(ok);
    EXPECT_EQ(v.wideTenths, 20);
    EXPECT_EQ(v.fontSize, 31);
    EXPECT_EQ(v.limitingMagnitude, 7);
}

}  // namespace
}  // namespace tavik
