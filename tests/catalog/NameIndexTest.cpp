// The name index over the bundled data: what a person types and what it finds.

#include "catalog/NameIndex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <set>

#include "catalog/SearchFold.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarCatalog.h"

using namespace tavik;

namespace {

const std::filesystem::path kData = TAVIK_DATA_DIR;
constexpr double kArcsec = std::numbers::pi / (180.0 * 3600.0);

const StarRecord& StarByBayer(const StarCatalog& c, std::string_view bayerAndConstellation) {
    for (const StarRecord& r : c.Records())
        if (r.kind == kKindStar && std::string_view(r.designation + 3, 7) == bayerAndConstellation) return r;
    throw std::runtime_error("no such star");
}

// The bundled catalogue with its names file and one text tap mark.
struct Bundled {
    StarCatalog catalog;
    NameIndex index;
    Bundled() {
        if (!catalog.LoadFile(kData / "tavik.dat").ok) throw std::runtime_error("no bundled catalogue");
        ExtraNames names;
        if (!names.LoadFile(kData / ExtraNames::kFileName) || names.Empty()) throw std::runtime_error("no names file");
        catalog.SetExtraNames(std::move(names));
        StarRecord mark;
        mark.SetDesignation("T00007");
        mark.SetSpectral(kTapMarkMarker);
        mark.kind = 3;
        mark.name = Utf8ToSjis("望遠鏡の試験星");
        mark.mag = -100;
        catalog.AppendTapMark(mark);
        index.Build(catalog);
    }
    std::string First(std::string_view query) const {
        const auto hits = index.Find(query, 5);
        return hits.empty() ? "(nothing)" : Shown(hits.front());
    }
    std::string Shown(const SearchHit& hit) const {
        const SearchObject& o = index.Object(hit.object);
        return o.designation.empty() ? o.name : o.designation;
    }
};

const Bundled& Data() {
    static const Bundled data;
    return data;
}

}  // namespace

TEST(SearchFold, FoldsWhatAPersonTypes) {
    const std::pair<const char*, const char*> same[] = {
        {"NGC 7000", "ngc7000"}, {"N G C 7000", "ngc7000"}, {"Ｍ４２", "m42"}, {"ｎｇｃ　７０００", "ngc7000"},
        {"おりおん", "オリオン"}, {"ﾍﾞﾃﾙｷﾞｳｽ", "ベテルギウス"}, {"ﾎﾟﾗﾘｽ", "ポラリス"},
        {"アンタレース", "アンタレス"}, {"カッパ", "カツパ"}, {"ヴェガ", "ヴエガ"}, {"う゛", "ヴ"},
        {"リギル・ケンタウルス", "リギルケンタウルス"}, {"Boötes", "bootes"}, {"ΑΩς", "αωσ"},
        {"alf UMi", "αumi"}, {"Alpha Ursae Minoris", "αumi"}, {"α UMi", "αumi"}, {"アルファ こぐま座", "αumi"},
        {"58 Orionis", "58ori"}, {"psi Ori", "ψori"}, {"Alphard", "alphard"}, {"Tauri", "tauri"},
    };
    for (const auto& [typed, folded] : same) EXPECT_EQ(FoldForSearch(typed), FoldForSearch(folded)) << typed;
    EXPECT_EQ(FoldForSearch("Ｍ４２"), "m42");
    EXPECT_EQ(FoldForSearch("alf UMi"), "αumi");
    EXPECT_NE(FoldForSearch("ガ"), FoldForSearch("カ"));  // voiced marks count
    EXPECT_NE(FoldForSearch("パ"), FoldForSearch("バ"));
    // Invalid UTF-8, control bytes and a lone mark are dropped, never fatal.
    EXPECT_EQ(FoldForSearch("m\xff\xc3\x28" "4\x01\xe3\x82" "2"), "m42");
    EXPECT_EQ(FoldForSearch("\xef\xbe\x9e"), "");
    EXPECT_LE(FoldForSearch(std::string(1 << 20, 'a')).size(), kMaxFoldedBytes);
    EXPECT_LE(FoldForSearch(std::string(100000, '\xe3')).size(), kMaxFoldedBytes);
}

TEST(NameIndex, QueriesFindWhatAPersonMeans) {
    const std::pair<const char*, const char*> table[] = {
        {"すばる", "M45"}, {"昴", "M45"}, {"ぷれあです", "M45"}, {"アンドロメダ", "And"},
        {"Ｍ４２", "M42"}, {"m 42", "M42"}, {"オリオン大星雲", "M42"}, {"ngc 7000", "NGC 7000"},
        {"N G C 7000", "NGC 7000"}, {"ＮＧＣ７０００", "NGC 7000"}, {"ic2602", "IC 2602"},
        {"北極星", "α UMi"}, {"Polaris", "α UMi"}, {"alf UMi", "α UMi"}, {"Alpha Ursae Minoris", "α UMi"},
        {"HIP 11767", "α UMi"}, {"hip11767", "α UMi"}, {"木星", "木星"}, {"jupiter", "木星"},
        {"もくせい", "木星"}, {"月", "月"}, {"Sun", "太陽"}, {"ベテ", "α Ori"}, {"ﾍﾞﾃﾙｷﾞｳｽ", "α Ori"},
        {"Betelgeuse", "α Ori"}, {"HIP 27989", "α Ori"}, {"α Ori", "α Ori"}, {"58 Ori", "α Ori"},
        {"アルファ オリオン", "α Ori"}, {"おりおん", "Ori"}, {"オリオン座", "Ori"}, {"ORION", "Ori"},
        {"Ursa Major", "UMa"}, {"umi", "UMi"}, {"はくちょう", "Cyg"}, {"Swan", "Cyg"},
        {"アンタレース", "α Sco"}, {"しりうす", "α CMa"}, {"二重星団", "C14"}, {"Double Cluster", "C14"}, {"Pleiades", "M45"}, {"rigel", "β Ori"}, {"子持ち", "M51"},
        {"大マゼラン", "LMC"}, {"Andromeda Galaxy", "M31"}, {"ｍ３１", "M31"},
        {"ヒアデス", "C41"}, {"試験星", "T00007"}, {"alpha or", "α Ori"}, {"ギウス", "α Ori"},
    };
    static_assert(std::size(table) >= 30);
    for (const auto& [query, first] : table) EXPECT_EQ(Data().First(query), first) << query;
    // Unknown input finds nothing.
    for (const char* query : {"", "   ", "xyzzy", "ＮＧＣ９９９９９", "HIP 27988", "・ー、"})
        EXPECT_TRUE(Data().index.Find(query).empty()) << query;
}

TEST(NameIndex, RanksExactThenPrefixThenSubstringBrighterFirstEachOnce) {
    const Bundled& d = Data();
    // The constellation by its whole name, then M31 by the beginning of its name.
    const auto andromeda = d.index.Find("アンドロメダ");
    ASSERT_GE(andromeda.size(), 2u);
    EXPECT_EQ(d.index.Object(andromeda[0].object).kind, SearchKind::Constellation);
    EXPECT_EQ(andromeda[0].rank, MatchRank::Exact);
    EXPECT_EQ(d.Shown(andromeda[1]), "M31");
    EXPECT_EQ(andromeda[1].rank, MatchRank::Prefix);

    // "M4": M4, then M40 ... M49 in numeric order, the named M42 among them.
    const auto m4 = d.index.Find("M4", 11);
    std::vector<std::string> shown;
    for (const auto& h : m4) shown.push_back(d.Shown(h));
    EXPECT_EQ(shown, (std::vector<std::string>{"M4", "M40", "M41", "M42", "M43", "M44", "M45", "M46", "M47", "M48", "M49"}));

    // Ranks never go back, every object appears once, and within the
    // substring rank named objects come brighter first.
    for (const char* query : {"星団", "ア", "m", "オリオン", "5"}) {
        const auto hits = d.index.Find(query, 200);
        std::set<std::size_t> seen;
        double lastMag = -100;
        for (std::size_t i = 0; i < hits.size(); ++i) {
            EXPECT_TRUE(seen.insert(hits[i].object).second) << query;
            if (i > 0) {
                EXPECT_LE(hits[i - 1].rank, hits[i].rank) << query;
            }
            const SearchObject& o = d.index.Object(hits[i].object);
            if (hits[i].rank == MatchRank::Substring && o.kind == SearchKind::DeepSky && !o.name.empty()) {
                const double mag = std::isnan(o.mag) ? 1e9 : o.mag;  // unknown: last
                EXPECT_LE(lastMag, mag) << query << " " << i;
                lastMag = mag;
            }
        }
    }
    const auto clusters = d.index.Find("星団", 200);
    ASSERT_FALSE(clusters.empty());
    EXPECT_EQ(clusters.back().rank, MatchRank::Substring);
    EXPECT_EQ(d.index.Find("ア", 7).size(), 7u);  // the limit holds

    // What the index tells about an object.
    const auto polaris = d.index.Find("Polaris");
    ASSERT_GE(polaris.size(), 3u);  // Polaris, then Polaris Australis, Polaris Galacticus Borealis ...
    const SearchObject& o = d.index.Object(polaris[0].object);
    EXPECT_EQ(o.kind, SearchKind::Star);
    EXPECT_EQ(o.name, "北極星");
    EXPECT_EQ(o.englishName, "Polaris");
    EXPECT_EQ(o.constellation, "UMi");
    EXPECT_EQ(&d.catalog.At(o.ref), &StarByBayer(d.catalog, "Alp UMi"));
    EXPECT_NEAR(o.mag, 1.97, 0.01);
}

TEST(NameIndex, NamesFileStarsTieByPositionWithinAnArcsecond) {
    StarCatalog catalog;
    for (const double ra : {0.1, 1.0, 2.0, 6.283185}) {
        StarRecord r;
        r.ra = ra;
        r.dec = ra == 2.0 ? 1.5707 : 0.3;  // one beside the pole
        r.mag = 5;
        catalog.Append(r);
    }
    ExtraNames names;
    names.AddStar({101, 0.1 + 0.7 * kArcsec, 0.3, {"Near"}});
    names.AddStar({102, 1.0, 0.3 + 3 * kArcsec, {"Far"}});
    names.AddStar({103, 2.0 + 50 * kArcsec, 1.5707, {"Pole"}});  // 50" of RA is 0.005" of sky there
    names.AddStar({104, 0.2 * kArcsec, 0.3, {"Wrapped"}});  // across RA 0: 0.26" from the last star
    names.AddObject({"M31", {"Andromeda Galaxy", "NGC 224"}});  // no such record: ignored
    catalog.SetExtraNames(std::move(names));
    NameIndex index;
    index.Build(catalog);
    const auto ref = [&](const char* q) {
        const auto hits = index.Find(q);
        return hits.empty() ? std::size_t{99} : index.Object(hits[0].object).ref;
    };
    EXPECT_EQ(ref("Near"), 0u);
    EXPECT_EQ(ref("HIP 101"), 0u);
    EXPECT_EQ(ref("Far"), 99u);
    EXPECT_EQ(ref("Pole"), 2u);
    EXPECT_EQ(ref("HIP 104"), 3u);
    EXPECT_EQ(ref("NGC 224"), 99u);
}

TEST(NameIndex, CatalogueNumbersComeInNumericOrderWithTheirSuffixes) {
    StarCatalog catalog;
    for (const char* designation : {"N7070A", "N702-2", "NGC7000", "NGC700", "N702-1", "NGC70", "NGC7"}) {
        StarRecord r;
        r.kind = kKindGalaxy;
        r.mag = 12;
        r.SetDesignation(std::string("   ") + designation);
        catalog.Append(r);
    }
    NameIndex index;
    index.Build(catalog);
    const auto shown = [&](const char* query) {
        std::string all;
        for (const auto& h : index.Find(query)) all += index.Object(h.object).designation + (h.rank == MatchRank::Exact ? "!" : "") + ";";
        return all;
    };
    EXPECT_EQ(shown("ngc 70"), "NGC 70!;NGC 700;NGC 702-1;NGC 702-2;NGC 7000;NGC 7070A;");
    EXPECT_EQ(shown("NGC7070A"), "NGC 7070A!;");
    EXPECT_EQ(shown("NGC 7022"), "");  // not NGC 702-2 with its dash dropped
    EXPECT_EQ(shown("ngc"), "NGC 7;NGC 70;NGC 700;NGC 702-1;NGC 702-2;NGC 7000;NGC 7070A;");
    EXPECT_EQ(shown("70"), "");  // numbers are never found inside
}

TEST(NameIndex, AnyInputReturnsAndARebuildReplaces) {
    const Bundled& d = Data();
    std::mt19937 random(7);
    std::string noise(1 << 20, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    (void)d.index.Find(noise);
    (void)d.index.Find(std::string(1 << 20, 'a'));
    (void)d.index.Find("\xe3\x81" "\xef\xbe\x9e\xef\xbe\x9e" "hip99999999999999999999 m0 ngc");
    EXPECT_FALSE(d.index.Find("m0").size() > 0 && d.Shown(d.index.Find("m0")[0]) == "M0");

    NameIndex index = d.index;
    StarCatalog empty;
    index.Build(empty);  // the solar bodies and the constellations stay
    EXPECT_EQ(index.ObjectCount(), 7u + 88u);
    EXPECT_TRUE(index.Find("M31").empty());
    EXPECT_EQ(index.Object(index.Find("アンドロメダ").at(0).object).kind, SearchKind::Constellation);
}
