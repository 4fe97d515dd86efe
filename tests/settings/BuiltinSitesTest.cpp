#include "settings/BuiltinSites.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <set>
#include <string>

namespace tavik {
namespace {

// Bytes the name takes in Shift-JIS, or -1 when it cannot be converted.
int ShiftJisLength(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return -1;
    std::string in = utf8;
    char out[128];
    char* inp = in.data();
    size_t inLeft = in.size();
    char* outp = out;
    size_t outLeft = sizeof out;
    const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) return -1;
    return static_cast<int>(sizeof out - outLeft);
}

TEST(BuiltinSites, TableRowsAreValidAndFitTheNameField) {
    const auto& sites = BuiltinSites();
    ASSERT_EQ(sites.size(), 95u);
    for (const auto& s : sites) {
        SCOPED_TRACE(s.name);
        const int len = ShiftJisLength(s.name);
        EXPECT_GT(len, 0);
        EXPECT_LT(len, 20);  // 20-byte field with its terminator
        EXPECT_GE(s.longitudeDegrees, 0);
        EXPECT_LE(s.longitudeDegrees, 180);
        EXPECT_GE(s.latitudeDegrees, 0);
        EXPECT_LE(s.latitudeDegrees, 90);
        EXPECT_GE(s.longitudeMinutes, 0);
        EXPECT_LT(s.longitudeMinutes, 60);
        EXPECT_GE(s.latitudeMinutes, 0);
        EXPECT_LT(s.latitudeMinutes, 60);
        EXPECT_GE(s.zoneHours, 0);
        EXPECT_LE(s.zoneHours, 12);
    }
}

TEST(BuiltinSites, KnownRows) {
    const auto& s = BuiltinSites();
    auto values = [](const BuiltinSite& r) {
        return std::array<int, 5>{r.longitudeDegrees, r.longitudeMinutes, r.latitudeDegrees,
                                  r.latitudeMinutes, r.zoneHours};
    };
    EXPECT_EQ(values(s[0]), (std::array<int, 5>{141, 20, 43, 3, 9}));
    EXPECT_EQ(values(s[38]), (std::array<int, 5>{139, 22, 35, 34, 9}));
    EXPECT_EQ(values(s[91]), (std::array<int, 5>{35, 12, 31, 48, 2}));
    EXPECT_STREQ(s[91].name, "イスラエル");
    EXPECT_STREQ(s[94].name, "サイパン島");
    EXPECT_EQ(values(s[1]), values(s[5]));
    EXPECT_STREQ(s[1].name, s[5].name);
    EXPECT_STREQ(DefaultSiteName(), s[kDefaultSiteRow].name);
    // Japanese places are in zone +9 and within the country's extent.
    for (int i = 0; i <= 82; ++i) {
        EXPECT_EQ(s[i].zoneHours, 9) << i;
        EXPECT_GE(s[i].longitudeDegrees, 122) << i;
        EXPECT_LE(s[i].longitudeDegrees, 146) << i;
        EXPECT_GE(s[i].latitudeDegrees, 24) << i;
        EXPECT_LE(s[i].latitudeDegrees, 46) << i;
    }
}

UserSiteValues Site(const std::string& name, int lonDeg) {
    UserSiteValues v;
    v.name = name;
    v.longitudeDegrees = lonDeg;
    v.latitudeDegrees = 40;
    v.latitudeMinutes = 45;
    v.west = true;
    v.zoneHours = 5;
    v.zoneMinus = true;
    return v;
}

TEST(UserSites, RegisterUpdateAndFullList) {
    MemorySettingsStore store;
    // A fresh slot reads empty with zone 9.
    EXPECT_EQ(ReadUserSite(store, 3).name, "");
    EXPECT_EQ(ReadUserSite(store, 3).zoneHours, 9);

    auto r = RegisterUserSite(store, Site("New York", 74));
    EXPECT_EQ(r.kind, RegisterResult::Kind::Registered);
    EXPECT_EQ(r.slot, 0);
    EXPECT_EQ(RegisteredMessage(r.slot), "新しい観測地を登録しました(1/10)");
    EXPECT_EQ(ReadUserSite(store, 0), Site("New York", 74));
    EXPECT_EQ(store.GetProfileInt("USERLOC", "LOC_TOUZAI00", -1), 1);
    EXPECT_EQ(store.GetProfileInt("USERLOC", "LOC_JISAM00", -1), 1);

    // Same name again: the slot is updated, no new registration.
    r = RegisterUserSite(store, Site("New York", 73));
    EXPECT_EQ(r.kind, RegisterResult::Kind::Updated);
    EXPECT_EQ(r.slot, 0);
    EXPECT_EQ(ReadUserSite(store, 0).longitudeDegrees, 73);

    for (int i = 1; i < 10; ++i) {
        r = RegisterUserSite(store, Site("site" + std::to_string(i), i));
        EXPECT_EQ(r.kind, RegisterResult::Kind::Registered);
        EXPECT_EQ(r.slot, i);
    }
    EXPECT_EQ(RegisteredMessage(9), "新しい観測地を登録しました(10/10)");

    // An eleventh name does not fit and writes nothing.
    store.ClearWriteLog();
    r = RegisterUserSite(store, Site("one too many", 1));
    EXPECT_EQ(r.kind, RegisterResult::Kind::Full);
    EXPECT_TRUE(store.WriteLog().empty());
    // An existing name still updates when the list is full.
    EXPECT_EQ(RegisterUserSite(store, Site("site9", 99)).kind, RegisterResult::Kind::Updated);
}

TEST(UserSites, ExistingNameWinsOverAnEarlierFreeSlot) {
    MemorySettingsStore store;
    WriteUserSite(store, 4, Site("Tenerife", 16));
    const auto r = RegisterUserSite(store, Site("Tenerife", 17));
    EXPECT_EQ(r.kind, RegisterResult::Kind::Updated);
    EXPECT_EQ(r.slot, 4);
    EXPECT_EQ(ReadUserSite(store, 0).name, "");
}

}  // namespace
}  // namespace tavik
