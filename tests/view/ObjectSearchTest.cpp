// Search results placed at a moment and a site: the kind, the altitude now,
// the next rise and set (checked against the altitude at those minutes), and
// the list line of an object below the horizon, never rising or never setting.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "catalog/MinorBodies.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarCatalog.h"
#include "catalog/NameIndex.h"
#include "view/ObjectSearch.h"

namespace tavik {
namespace {

StarRecord Record(int kind, const char* name, const char* designation, const char* constellation, double ra,
                  double dec, double mag) {
    StarRecord r;
    r.kind = static_cast<std::int16_t>(kind);
    r.name = Utf8ToSjis(name);
    r.SetDesignation(designation);
    r.SetConstellation(constellation);
    r.ra = ra;
    r.dec = dec;
    r.mag = mag;
    return r;
}

class ObjectSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        catalog.Append(Record(kKindStar, "ベテルギウス", " 58Alp", "Ori", 1.5497284573940731, 0.12927828302447197, 0.45));
        catalog.Append(Record(kKindStar, "リギル・ケンタウルス", "   Alp", "Cen", 3.8380156770498224,
                              -1.0617535971582306, -0.01));
        catalog.Append(Record(kKindStar, "北極星", "  1Alp", "UMi", 0.66243099094818791, 1.5579524488294703, 1.97));
        catalog.Append(Record(kKindGalaxy, "アンドロメダ銀河", "   M31", "And", 0.18648, 0.72028, 3.4));
        catalog.SetLoaded(true);
        index.Build(catalog);
    }
    // The first result for `text` at `local` at the default site (Sagamihara, UT+9).
    SearchResult First(const char* text, const DateTime& local) {
        const std::vector<SearchResult> r =
            PlaceSearchHits(index, index.Find(text, 1), local, site, &catalog, &minorBodies);
        EXPECT_EQ(r.size(), 1u) << text;
        return r.empty() ? SearchResult{} : r.front();
    }
    // The event stands at the horizon to the minute, moving the right way.
    void ExpectCrossing(const char* text, const DateTime& at, bool rising) {
        DateTime before = at, after = at;
        before.AddOffset(DateOffset(0, 0, -1, 0));
        after.AddOffset(DateOffset(0, 0, 10, 0));
        EXPECT_EQ(First(text, at).aboveHorizon(), rising) << text;
        EXPECT_EQ(First(text, before).aboveHorizon(), !rising) << text;
        EXPECT_EQ(First(text, after).aboveHorizon(), rising) << text;
    }
    StarCatalog catalog;
    std::vector<MinorBody> minorBodies;
    NameIndex index;
    ObservationSite site;
};

std::string Clock(const DateTime& t) {
    char s[32];
    std::snprintf(s, sizeof s, "%d時%02d分", t.Hour(), t.Minute());
    return s;
}

TEST_F(ObjectSearchTest, BelowTheHorizonRisingAndNeverRisingOrSetting) {
    const DateTime noon(2026, 1, 15, 12, 0, 0);
    const SearchResult betelgeuse = First("ベテルギウス", noon);
    EXPECT_EQ(betelgeuse.kindWord, "恒星");
    EXPECT_FALSE(betelgeuse.aboveHorizon());
    ASSERT_TRUE(betelgeuse.nextRise && betelgeuse.nextSet);
    // It rises in the afternoon (about 16:40 in January) and sets the next morning.
    EXPECT_EQ(betelgeuse.nextRise->Day(), 15);
    EXPECT_GE(betelgeuse.nextRise->Hour(), 15);
    EXPECT_LE(betelgeuse.nextRise->Hour(), 17);
    EXPECT_EQ(betelgeuse.nextSet->Day(), 16);
    EXPECT_EQ(betelgeuse.ListText(),
              "恒星 α Ori ベテルギウス 0.5等 オリオン座 地平線下 (" + Clock(*betelgeuse.nextRise) + "に昇る)")
        << betelgeuse.ListText();
    ExpectCrossing("ベテルギウス", *betelgeuse.nextRise, true);
    ExpectCrossing("ベテルギウス", *betelgeuse.nextSet, false);
    // Up at midnight: its altitude, the minute it sets.
    const SearchResult up = First("ベテルギウス", DateTime(2026, 1, 15, 23, 0, 0));
    EXPECT_GT(up.altitudeDeg, 40.0);
    EXPECT_NE(up.ListText().find(" 高度 " + std::to_string(static_cast<int>(up.altitudeDeg)) + "°"), std::string::npos)
        << up.ListText();

    // α Cen never clears the horizon at 35.6° N; Polaris never sets.
    const SearchResult cen = First("リギル・ケンタウルス", noon);
    EXPECT_TRUE(cen.neverRises && !cen.nextRise && !cen.nextSet);
    EXPECT_NE(cen.ListText().find("地平線下 (昇りません)"), std::string::npos) << cen.ListText();
    const SearchResult polaris = First("北極星", noon);
    EXPECT_TRUE(polaris.neverSets && polaris.aboveHorizon() && !polaris.nextRise);
    EXPECT_NE(polaris.ListText().find("° (沈みません)"), std::string::npos) << polaris.ListText();

    // A deep-sky object by its kind, with its magnitude.
    EXPECT_EQ(First("アンドロメダ銀河", noon).ListText().rfind("銀河 M31 アンドロメダ銀河 3.4等 アンドロメダ座 ", 0), 0u);
}

TEST_F(ObjectSearchTest, SunAndMoonRiseAndSetFollowTheirMotion) {
    const DateTime evening(2026, 1, 15, 20, 0, 0);
    const SearchResult sun = First("太陽", evening);
    EXPECT_EQ(sun.kindWord, "太陽");
    EXPECT_FALSE(sun.aboveHorizon());
    ASSERT_TRUE(sun.nextRise && sun.nextSet);
    // Sunrise near Tokyo in mid-January is about 6:50, sunset about 16:55.
    EXPECT_EQ(sun.nextRise->Day(), 16);
    EXPECT_EQ(sun.nextRise->Hour(), 6);
    EXPECT_EQ(sun.nextSet->Hour(), 16);
    EXPECT_EQ(sun.ListText(), "太陽 地平線下 (" + Clock(*sun.nextRise) + "に昇る)");
    ExpectCrossing("太陽", *sun.nextRise, true);
    ExpectCrossing("太陽", *sun.nextSet, false);
    // The J2000 place is filled in: the Sun stands in Sagittarius in mid-January.
    EXPECT_NEAR(sun.object.ra, 5.15, 0.1);

    const SearchResult moon = First("月", evening);
    EXPECT_EQ(moon.kindWord, "月");
    ASSERT_TRUE(moon.nextRise && moon.nextSet);
    ExpectCrossing("月", *moon.nextRise, true);
    ExpectCrossing("月", *moon.nextSet, false);
}

// A comet near the Earth moves a few degrees a day: its rise and set are
// followed to the minute it crosses the horizon, not taken at its place now.
TEST_F(ObjectSearchTest, CometRiseAndSetFollowItsMotion) {
    minorBodies.push_back(*ParseMinorBodyLine(
        "    CK20F030  2020 07  3.6790  0.294653  0.999178   37.2785   61.0103  128.9375  20200720   7.0  3.2  "
        "C/2020 F3 (NEOWISE)                                      MPEC 2020-P62"));
    index.Build(catalog, &minorBodies);
    const SearchResult neowise = First("NEOWISE", DateTime(2020, 7, 23, 15, 0, 0));
    EXPECT_EQ(neowise.kindWord, "彗星");
    ASSERT_TRUE(neowise.nextRise && neowise.nextSet);
    ExpectCrossing("NEOWISE", *neowise.nextRise, true);
    ExpectCrossing("NEOWISE", *neowise.nextSet, false);
}

}  // namespace
}  // namespace tavik
