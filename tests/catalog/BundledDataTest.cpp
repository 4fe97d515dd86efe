// The bundled sky data under data/ loads through the project's own readers
// and holds what a user expects to find.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <set>

#include "catalog/CatalogLocation.h"
#include "catalog/ConstellationTable.h"
#include "catalog/LineFile.h"
#include "catalog/OverlayFile.h"
#include "catalog/RecordFile.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarCatalog.h"

using namespace tavik;

namespace {

const std::filesystem::path kData = TAVIK_DATA_DIR;
constexpr double kDeg = std::numbers::pi / 180.0;

const StarRecord* FindDesignation(const StarCatalog& c, std::string_view fromChar3) {
    for (const auto& r : c.Records()) {
        if (std::string_view(r.designation + 3, 7).substr(0, fromChar3.size()) == fromChar3 &&
            (fromChar3.size() == 7 || r.designation[3 + fromChar3.size()] == '\0' ||
             r.designation[3 + fromChar3.size()] == ' ')) {
            if (r.kind != kKindStar || fromChar3.size() == 3) return &r;
        }
    }
    return nullptr;
}

}  // namespace

TEST(BundledData, CatalogueLoadsWholeAndNothingIsDropped) {
    StarCatalog catalog;
    const RecordFileResult result = catalog.LoadFile(kData / "tavik.dat");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.read, static_cast<std::size_t>(result.declared));
    EXPECT_EQ(result.kept, result.read);  // no record falls to the drop rules

    int stars = 0, anchors = 0, dsos = 0, named = 0;
    std::set<int> numbers;
    double previousMag = -100;
    bool sorted = true;
    for (const auto& r : catalog.Records()) {
        numbers.insert(r.number);
        if (r.kind == kKindStar) {
            ++stars;
            if (r.name) ++named;
            EXPECT_LE(r.mag, 6.5);
            EXPECT_FALSE(r.ConstellationText().empty());
        } else if (r.kind == kKindConstellationAnchor) {
            ++anchors;
        } else {
            ASSERT_GE(r.kind, 2);
            ASSERT_TRUE(IsDeepSkyKind(r.kind));
            ++dsos;
        }
        if (r.kind != kKindConstellationAnchor) {
            if (r.mag < previousMag) sorted = false;
            previousMag = r.mag;
        }
        EXPECT_GE(r.ra, 0.0);
        EXPECT_LT(r.ra, 2 * std::numbers::pi);
        EXPECT_LE(std::abs(r.dec), std::numbers::pi / 2);
    }
    EXPECT_GT(stars, 8500);
    EXPECT_LT(stars, 9300);
    EXPECT_GT(named, 200);
    EXPECT_EQ(anchors, 89);
    EXPECT_GE(dsos, 110);
    EXPECT_TRUE(sorted) << "objects must run from bright to faint";
    EXPECT_EQ(numbers.size(), catalog.Count());  // numbers are distinct
}

TEST(BundledData, KnownRecords) {
    StarCatalog catalog;
    ASSERT_TRUE(catalog.LoadFile(kData / "tavik.dat").ok);

    const StarRecord* sirius = nullptr;
    const StarRecord* polaris = nullptr;
    for (const auto& r : catalog.Records()) {
        if (r.kind == kKindStar && r.name && SjisToUtf8(*r.name) == "シリウス") sirius = &r;
        if (r.kind == kKindStar && r.ConstellationText() == "UMi" && std::string_view(r.designation + 3, 3) == "Alp") {
            polaris = &r;
        }
    }
    ASSERT_NE(sirius, nullptr);
    EXPECT_DOUBLE_EQ(sirius->mag, -1.44);
    EXPECT_EQ(std::string_view(sirius->designation + 3, 3), "Alp");
    EXPECT_EQ(sirius->ConstellationText(), "CMa");
    EXPECT_EQ(SjisToUtf8(GreekLetterSjis(*sirius)), "α");
    EXPECT_EQ(sirius->SpectralText().substr(0, 1), "A");
    EXPECT_NEAR(sirius->ra / kDeg, 101.287, 0.01);

    ASSERT_NE(polaris, nullptr);
    EXPECT_NEAR(polaris->dec / kDeg, 89.26, 0.01);

    const StarRecord* m31 = FindDesignation(catalog, "M31");
    ASSERT_NE(m31, nullptr);
    EXPECT_EQ(m31->kind, kKindGalaxy);
    EXPECT_EQ(m31->ConstellationText(), "And");
    EXPECT_EQ(SjisToUtf8(*m31->name), "アンドロメダ銀河");
    const StarRecord* m42 = FindDesignation(catalog, "M42");
    ASSERT_NE(m42, nullptr);
    EXPECT_EQ(m42->kind, kKindDiffuseNebula);
    // A seven-character designation fills the field to its end.
    const StarRecord* ngc7000 = FindDesignation(catalog, "NGC7000");
    ASSERT_NE(ngc7000, nullptr);
    EXPECT_EQ(ngc7000->kind, kKindDiffuseNebula);
    EXPECT_EQ(ngc7000->ConstellationText(), "Cyg");
    EXPECT_EQ(ngc7000->DesignationText(), "   NGC7000");
    EXPECT_EQ(ngc7000->ShortDesignation(), "NGC7000");
    EXPECT_EQ(m31->ShortDesignation(), "M31");
    for (int m = 1; m <= 110; ++m) {
        EXPECT_NE(FindDesignation(catalog, "M" + std::to_string(m)), nullptr) << "M" << m;
    }

    // Every row of the table has its anchor, named with the table's name;
    // Serpens has two, at different points.
    std::vector<const StarRecord*> serpens;
    for (const auto& row : ConstellationTable()) {
        bool found = false;
        for (const auto& r : catalog.Records()) {
            if (r.kind == kKindConstellationAnchor && r.ConstellationText() == row.abbreviation) {
                EXPECT_EQ(SjisToUtf8(*r.name), row.name);
                found = true;
                if (std::string_view(row.abbreviation) == "Ser" && serpens.size() < 2) serpens.push_back(&r);
            }
        }
        EXPECT_TRUE(found) << row.abbreviation;
    }
    ASSERT_EQ(serpens.size(), 2u);
    EXPECT_NE(serpens[0]->ra, serpens[1]->ra);
}

TEST(BundledData, EveryConstellationHasLinesAndAnOutline) {
    for (const char* file : {"tavikline.dat", "tavikconste.dat"}) {
        LineFileReader memory(kData / file, true);
        LineFileReader perDraw(kData / file, false);
        for (const auto& row : ConstellationTable()) {
            ConstellationPolyline p, q;
            ASSERT_TRUE(memory.Read(row.abbreviation, p)) << file << " " << row.abbreviation;
            ASSERT_TRUE(perDraw.Read(row.abbreviation, q)) << file << " " << row.abbreviation;
            EXPECT_EQ(p.count, q.count);
            EXPECT_GE(p.count, 2);
            EXPECT_LE(p.count, kMaxConstellationPoints);
            EXPECT_EQ(p.codes[static_cast<std::size_t>(p.count - 1)], kStrokeEnd) << row.abbreviation;
        }
    }
    // Both parts of Serpens in the one slot: at least two strokes.
    LineFileReader outlines(kData / "tavikconste.dat", false);
    ConstellationPolyline ser;
    ASSERT_TRUE(outlines.Read("Ser", ser));
    int strokes = 0;
    for (int i = 0; i < ser.count; ++i) strokes += ser.codes[static_cast<std::size_t>(i)] == kStrokeEnd ? 1 : 0;
    EXPECT_GE(strokes, 2);
}

TEST(BundledData, MilkyWayOutlineFitsTheOverlayFormat) {
    PolylineData p;
    const OverlayReadResult r = ReadOverlayFile(kData / "Milkey.p92", p);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_GT(p.size(), 500u);
    EXPECT_LE(p.size(), 1000u);
    EXPECT_EQ(p.codes.back(), kStrokeEnd);
    for (std::size_t i = 0; i < p.size(); ++i) {
        EXPECT_LE(std::abs(p.dec[i]), std::numbers::pi / 2);
    }
}

// Faults of the source data that a user meets on a tap: a second record on top
// of a Messier object wins its taps, a name on two objects, wrong names and kinds.
TEST(BundledData, DeepSkyListHasNoDuplicatesAndTheRightNames) {
    for (const auto& dir : {kData, kData / "deep"}) {
        SCOPED_TRACE(dir.string());
        StarCatalog catalog;
        ASSERT_TRUE(catalog.LoadFile(dir / "tavik.dat").ok);
        std::vector<const StarRecord*> messier, others;
        std::map<std::string, std::string> names;  // name -> designation of its first record
        for (const auto& r : catalog.Records()) {
            if (r.kind == kKindConstellationAnchor) continue;
            if (r.name) {
                const auto [it, added] = names.emplace(*r.name, std::string(r.DesignationText()));
                EXPECT_TRUE(added) << SjisToUtf8(*r.name) << " on " << it->second << " and " << r.DesignationText();
            }
            if (r.kind == kKindStar) continue;
            (r.ShortDesignation().starts_with("M") ? messier : others).push_back(&r);
        }
        // The default set has no object near a Messier object that would take
        // its taps (the brightest within reach is named); the deep set keeps
        // every object and leaves the choice to the tap.
        for (const StarRecord* m : messier) {
            for (const StarRecord* o : others) {
                if (dir != kData) break;
                const double cosD = std::sin(m->dec) * std::sin(o->dec) +
                                    std::cos(m->dec) * std::cos(o->dec) * std::cos(m->ra - o->ra);
                EXPECT_TRUE(cosD < std::cos(0.5 * kDeg) || o->mag > m->mag)
                    << o->ShortDesignation() << " on " << m->ShortDesignation();
            }
        }
        const std::pair<const char*, int> kinds[] = {{"M8", kKindDiffuseNebula},  {"M11", kKindOpenCluster},
                                                     {"M16", kKindDiffuseNebula}, {"M42", kKindDiffuseNebula},
                                                     {"M51", kKindGalaxy},        {"NGC6281", kKindOpenCluster},
                                                     {"LMC", kKindGalaxy},        {"NGC292", kKindGalaxy}};
        for (const auto& [designation, kind] : kinds) {
            const StarRecord* r = FindDesignation(catalog, designation);
            ASSERT_NE(r, nullptr) << designation;
            EXPECT_EQ(r->kind, kind) << designation;
        }
        const std::pair<const char*, const char*> named[] = {
            {"M8", "干潟星雲"},       {"M11", "野鴨星団"},       {"M16", "わし星雲"},
            {"M42", "オリオン大星雲"}, {"M45", "プレアデス星団"}, {"M51", "子持ち銀河"},
            {"LMC", "大マゼラン雲"},   {"NGC292", "小マゼラン雲"}};
        for (const auto& [designation, name] : named) {
            const StarRecord* r = FindDesignation(catalog, designation);
            ASSERT_TRUE(r && r->name) << designation;
            EXPECT_EQ(SjisToUtf8(*r->name), name) << designation;
        }
    }
}

TEST(BundledData, OpenNgcRowsBecomeRecordsWithTheirSizes) {
    struct Set {
        std::filesystem::path dir;
        std::size_t deepSky;
        std::size_t sizes;
    };
    // Every deep-sky object of OpenNGC in the deep set; the Messier, bright and
    // named ones in the default set.
    for (const Set& set : {Set{kData, 682, 675}, Set{kData / "deep", 12162, 12057}}) {
        SCOPED_TRACE(set.dir.string());
        StarCatalog catalog;
        ASSERT_TRUE(catalog.LoadFile(set.dir / "tavik.dat").ok);
        LoadSizesBeside(catalog, set.dir / "tavik.dat");
        EXPECT_EQ(catalog.Sizes().Count(), set.sizes);
        std::size_t deepSky = 0;
        for (const auto& r : catalog.Records()) deepSky += IsDeepSkyKind(r.kind);
        EXPECT_EQ(deepSky, set.deepSky);

        auto sizeIs = [&](const char* designation, float major, float minor, float angle) {
            const StarRecord* r = FindDesignation(catalog, designation);
            ASSERT_NE(r, nullptr) << designation;
            const DeepSkySize* s = catalog.SizeOf(*r);
            ASSERT_NE(s, nullptr) << designation;
            EXPECT_NEAR(s->majorArcmin, major, 0.01) << designation;
            EXPECT_NEAR(s->minorArcmin, minor, 0.01) << designation;
            EXPECT_EQ(s->positionAngleDeg, angle) << designation;
        };
        // M31 is one record under its Messier designation, never also NGC224.
        sizeIs("M31", 177.83f, 69.66f, 35.0f);
        EXPECT_EQ(FindDesignation(catalog, "NGC224"), nullptr);
        EXPECT_EQ(FindDesignation(catalog, "M31")->kind, kKindGalaxy);
        sizeIs("NGC7000", 120.0f, 30.0f, 0.0f);
        EXPECT_EQ(FindDesignation(catalog, "NGC7000")->kind, kKindDiffuseNebula);
        // The Horsehead (addendum B033): a dark nebula with its Japanese name,
        // on IC 434 (HII region, a diffuse nebula).
        sizeIs("B33", 6.0f, 4.0f, 90.0f);
        const StarRecord* horsehead = FindDesignation(catalog, "B33");
        EXPECT_EQ(horsehead->kind, kKindDarkNebula);
        EXPECT_EQ(SjisToUtf8(*horsehead->name), "馬頭星雲");
        EXPECT_FALSE(HasKnownMagnitude(horsehead->kind, horsehead->mag));
        sizeIs("IC434", 90.0f, 30.0f, 0.0f);
        EXPECT_EQ(FindDesignation(catalog, "IC434")->kind, kKindDiffuseNebula);
        // A Dup row (IC 11 is NGC 281) is left out; an English name where
        // there is no Japanese one.
        EXPECT_EQ(FindDesignation(catalog, "IC11"), nullptr);
        EXPECT_EQ(SjisToUtf8(*FindDesignation(catalog, "C14")->name), "Double Cluster");
        EXPECT_NE(FindDesignation(catalog, "LMC"), nullptr);
        EXPECT_EQ(FindDesignation(catalog, "E56-115"), nullptr);  // the LMC of the addendum
        if (set.dir == kData) {
            EXPECT_EQ(FindDesignation(catalog, "NGC1980"), nullptr);  // in M42's region
        } else {
            // A faint open cluster without a size.
            const StarRecord* ic1363 = FindDesignation(catalog, "IC1363");
            ASSERT_NE(ic1363, nullptr);
            EXPECT_EQ(ic1363->kind, kKindOpenCluster);
            EXPECT_EQ(catalog.SizeOf(*ic1363), nullptr);
            EXPECT_NE(FindDesignation(catalog, "NGC1980"), nullptr);
        }
    }
}
