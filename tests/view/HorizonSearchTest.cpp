// The horizon search: which records it lists, their lines and order, and the
// jump into the magnified view.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "astro/Angles.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarCatalog.h"
#include "view/HorizonSearch.h"

namespace tavik {
namespace {

// At the north pole a record's altitude is its declination.
constexpr double kPole = kPi / 2.0;

StarRecord At(double altitudeDeg, int kind, const char* name, double mag = 0.0,
              const char* designation = "", const char* constellation = "") {
    StarRecord r;
    r.kind = static_cast<std::int16_t>(kind);
    r.dec = altitudeDeg * kDegToRad;
    r.ra = 1.0;
    r.mag = mag;
    if (name) r.name = Utf8ToSjis(name);
    r.SetDesignation(designation);
    r.SetConstellation(constellation);
    return r;
}

std::vector<std::string> Texts(const std::vector<HorizonEntry>& entries) {
    std::vector<std::string> t;
    for (const HorizonEntry& e : entries) t.push_back(e.text);
    return t;
}

TEST(HorizonSearch, ThresholdsMarksAndLines) {
    StarCatalog c;
    c.Append(At(5.0, kKindConstellationAnchor, "オリオン", 0, "", "Ori"));  // exactly 5: not listed
    c.Append(At(6.0, kKindConstellationAnchor, "オリオン", 0, "", "Ori"));
    c.Append(At(30.0, kKindStar, "ベテルギウス", 1.5, " 58Alp", "Ori"));
    c.Append(At(12.0, kKindStar, "リゲル", 1.5, " 19Bet", "Ori"));
    c.Append(At(30.0, kKindStar, "ベラトリックス", 2.0, " 24Gam", "Ori"));  // magnitude 2.0: not listed
    c.Append(At(30.0, kKindStar, nullptr, 0.5));                         // no name: not listed
    c.Append(At(50.0, kKindGalaxy, "甲", 8.4, "   M99"));
    c.Append(At(50.0, kKindDiffuseNebula, "乙", 4.3, "   M42"));
    c.Append(At(10.0, kKindOpenCluster, "丙", 4.3, "   M41"));
    c.Append(At(6.0, kKindOpenCluster, "丁", -1.46, "   X1"));
    c.Append(At(5.9, kKindOpenCluster, "戊", 1.0, "   X2"));  // deep-sky needs 6 or more
    c.Append(At(-30.0, kKindStar, "南", 0.0));                  // below the horizon
    c.Append(At(40.0, kKindOpenCluster, "己", -0.5, "   X3"));
    StarRecord text = At(30.0, 3, "綺麗");
    StarRecord picture = At(30.0, 0, "/x.jpg");
    c.AppendTapMark(picture);  // only text marks are listed
    c.AppendTapMark(text);

    const std::vector<HorizonEntry> found = SearchAboveHorizon(c, 0.3, kPole, true);
    EXPECT_EQ(Texts(found), (std::vector<std::string>{
                                "R:綺麗 30度",
                                " オリオン座 低6度",
                                "恒:ベテルギウス  30度 オリオン",
                                "恒:リゲル 低12度 オリオン",
                                "M99 ○ 甲  8.4等  50度",
                                "M42 ◎ 乙  4.3等  50度",
                                "M41 × 丙  4.3等 低10度",
                                "X1 × 丁  -1.4等 低6度",
                                "X3 ○ 己  -0.5等  40度",
                            }));
    EXPECT_EQ(found[0].reference, -1);
    EXPECT_TRUE(found[0].tapMark);
    EXPECT_EQ(found[1].reference, 1);
    EXPECT_EQ(SearchAboveHorizon(c, 0.3, kPole, false).size(), found.size() - 1) << "USR_TAP_TEXT off";

    double s = 0.0;
    EXPECT_TRUE(AboveHorizonTest(c.At(0), 0.3, 1.0, 0.0, &s));
    EXPECT_NEAR(s, std::sin(5.0 * kDegToRad), 1e-12);
    EXPECT_FALSE(AboveHorizonTest(c.At(11), 0.3, 1.0, 0.0));
}

TEST(HorizonSearch, PlanetsAndTheMoonComeAfterTheCatalogueAndFirstInTheList) {
    StarCatalog c;
    for (int i = 0; i < 100; ++i) c.Append(At(40.0, kKindStar, nullptr, 5.0));
    c.Append(At(40.0, kKindStar, "アルデバラン", 0.9, " 87Alp", "Tau"));
    c.Append(At(40.0, kKindConstellationAnchor, "おうし", 0, "", "Tau"));
    c.SolarPlaceholder(kSolarMoon).dec = 20.0 * kDegToRad;
    c.SolarPlaceholder(4).dec = 30.0 * kDegToRad;  // Saturn
    c.SolarPlaceholder(3).dec = 50.0 * kDegToRad;  // Jupiter
    c.SolarPlaceholder(1).dec = 5.0 * kDegToRad;   // Venus at 5: not listed

    const std::vector<HorizonEntry> found = SearchAboveHorizon(c, 0.0, kPole, true);
    EXPECT_EQ(Texts(found), (std::vector<std::string>{"恒:アルデバラン  40度 おうし", " おうし座  40度",
                                                      "  木星  50度", "  土星  30度", "  月  20度"}));
    EXPECT_EQ(found[2].reference, static_cast<int>(c.SolarPlaceholderPosition(3)));
    EXPECT_EQ(Texts(HorizonSearchList(c, 0.0, kPole, true)),
              (std::vector<std::string>{"  土星  30度", "  月  20度", "  木星  50度", " おうし座  40度",
                                        "恒:アルデバラン  40度 おうし"}));

    EXPECT_TRUE(EntryMatches(found[2], "木星"));
    EXPECT_TRUE(EntryMatches({"M42 ◎ x  4.0等  48度", 7, false}, " m42 "));
    EXPECT_FALSE(EntryMatches(found[2], "土星"));
    EXPECT_EQ(JumpQuestion(found[2]), "  木星  50度へ移動しますか？");
}

TEST(HorizonSearch, JumpArithmetic) {
    MagnifierTarget east = JumpTarget(90.0 * kDegToRad, 40.7 * kDegToRad);
    EXPECT_EQ(east.facing, Facing::East);
    EXPECT_EQ(east.turn, 0);
    EXPECT_EQ(east.altitude, 40);
    const MagnifierTarget southWest = JumpTarget(-135.0 * kDegToRad, 10.0 * kDegToRad);
    EXPECT_EQ(southWest.facing, Facing::South);
    EXPECT_EQ(southWest.turn, 45);
    const MagnifierTarget north = JumpTarget(0.0, 10.0 * kDegToRad);
    EXPECT_EQ(north.facing, Facing::North);

    // The first tap mark and the first catalogue record share the reference
    // 0; each jumps to its own record. At the equator with sidereal time 0 the
    // record at ra 90 degrees, dec 0 is rising due east, the one at ra 0,
    // dec -30 stands due south.
    StarCatalog c;
    StarRecord south = At(-30.0, kKindStar, "南", 1.0);
    south.ra = 0.0;
    c.Append(south);
    StarRecord mark = At(0.0, 3, "東");
    mark.ra = kPi / 2.0;
    c.AppendTapMark(mark);
    const auto toMark = JumpTargetOf(c, {"R:東 0度", 0, true}, 0.0, 0.0);
    const auto toRecord = JumpTargetOf(c, {"恒:南", 0, false}, 0.0, 0.0);
    ASSERT_TRUE(toMark && toRecord);
    EXPECT_EQ(toMark->facing, Facing::East);
    EXPECT_EQ(toRecord->facing, Facing::South);
    EXPECT_EQ(toRecord->altitude, 60);
    EXPECT_FALSE(JumpTargetOf(c, {"gone", 5, false}, 0.0, 0.0));

    // Without a panel the jump enters the magnified view with a panel there.
    ViewState v;
    v.viewMode = ViewMode::Planisphere;
    ApplyMagnifierTarget(v, *toMark, std::nullopt);
    EXPECT_EQ(v.viewMode, ViewMode::Magnified);
    EXPECT_EQ(v.previousMode, ViewMode::Planisphere);
    ASSERT_TRUE(v.magnifier.present);
    EXPECT_EQ(v.magnifier.heading, 270);
    EXPECT_EQ(v.magnifier.altitude, 4) << "the panel looks no lower than 4 degrees";
}

}  // namespace
}  // namespace tavik
