// The names file beside the catalogue: read back whole, refused whole when
// damaged (naming the line), loaded wherever a catalogue is, and the bundled
// files tie every star record to its HIP number and give the right star the
// right name.

#include "catalog/ExtraNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "TestFiles.h"
#include "catalog/CatalogLocation.h"
#include "catalog/ShiftJis.h"

using namespace tavik;
namespace fs = std::filesystem;

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kArcsec = kDeg / 3600.0;
const fs::path kData = TAVIK_DATA_DIR;

const ExtraNames::Star* StarOf(const ExtraNames& names, std::uint32_t hip) {
    for (const auto& s : names.Stars()) {
        if (s.hip == hip) return &s;
    }
    return nullptr;
}

const ExtraNames::Object* ObjectOf(const ExtraNames& names, std::string_view designation) {
    for (const auto& o : names.Objects()) {
        if (o.designation == designation) return &o;
    }
    return nullptr;
}

}  // namespace

TEST(ExtraNames, ReadsWhatItWritesAndWhatAPersonEdits) {
    ExtraNames a;
    a.AddStar({11767, 37.9545 * kDeg, 89.2641 * kDeg, {"Polaris", "北極星"}});
    a.AddStar({32349, 101.2872 * kDeg, -16.7161 * kDeg, {"", "シリウス"}});  // no English name
    a.AddStar({1, 0.0009 * kDeg, 1.089 * kDeg, {}});
    a.AddStar({2, std::nan(""), 0.0, {"Lost"}});                              // cannot be written
    a.AddObject({"M45", {"Pleiades", "すばる", "Seven Sisters"}});
    a.AddObject({"NGC7000", {"", "北アメリカ星雲"}});
    a.AddObject({"bad one", {"x"}});                                          // not a designation
    const std::string bytes = a.Bytes();
    EXPECT_EQ(bytes,
              "TAVIKNAMES\t1\n"
              "11767\t37.9545\t89.2641\tPolaris\t北極星\n"
              "32349\t101.2872\t-16.7161\t\tシリウス\n"
              "1\t0.0009\t1.089\n"
              "M45\tPleiades\tすばる\tSeven Sisters\n"
              "NGC7000\t\t北アメリカ星雲\n");
    ExtraNames b;
    std::string error;
    ASSERT_TRUE(b.Parse(bytes, &error)) << error;
    EXPECT_EQ(b.Bytes(), bytes);
    ASSERT_EQ(b.Stars().size(), 3u);
    EXPECT_NEAR(b.Stars()[0].dec, 89.2641 * kDeg, 1e-12);
    EXPECT_EQ(b.Stars()[1].names, (std::vector<std::string>{"", "シリウス"}));
    EXPECT_EQ(b.Objects()[0].names.front(), "Pleiades");

    // As a person may leave it: a mark, comments, blank lines, CR LF, nine decimals.
    ASSERT_TRUE(b.Parse("\xEF\xBB\xBFTAVIKNAMES\t1\r\n# HIP\tRA\tDec\r\n\r\n"
                        "27989\t88.792938901\t7.4070639\tBetelgeuse\r\nM42\tOrion Nebula\r\n",
                        &error))
        << error;
    ASSERT_EQ(b.Stars().size(), 1u);
    EXPECT_NEAR(b.Stars()[0].ra, 88.792938901 * kDeg, 1e-13);
    EXPECT_EQ(b.Stars()[0].names, std::vector<std::string>{"Betelgeuse"});
    EXPECT_EQ(b.Objects().at(0).designation, "M42");

    test::TempDir dir;
    ASSERT_TRUE(a.SaveFile(dir / ExtraNames::kFileName));
    ASSERT_TRUE(b.LoadFile(dir / ExtraNames::kFileName, &error)) << error;
    EXPECT_EQ(b.Bytes(), bytes);
    EXPECT_TRUE(b.LoadFile(dir / "missing.dat", &error));  // no file: no names, no error
    EXPECT_TRUE(b.Empty());
}

TEST(ExtraNames, ADamagedFileIsRefusedWholeNamingTheLine) {
    const std::string head = "TAVIKNAMES\t1\n11767\t37.9545\t89.2641\tPolaris\n";
    const std::pair<std::string, std::string> cases[] = {
        {"", "empty"},
        {"TAVIKNAMES\t2\n", "line 1"},
        {"TVSZ\x01\0\0\0", "line 1"},
        {head + "12\t361\t0\n", "line 3: bad right ascension"},
        {head + "12\t10\t-90.5\n", "line 3: bad declination"},
        {head + "12\t1e5\t0\n", "line 3: bad right ascension"},
        {head + "12\t.5\t0\n", "line 3"},
        {head + "12\t10.\t0\n", "line 3"},
        {head + "12\t10\n", "line 3"},
        {head + "12x\t10\t0\n", "line 3: bad HIP number"},
        {head + "1234567890\t10\t0\n", "line 3: bad HIP number"},
        {head + "12\t10\t0\tA\t\tB\n", "line 3: bad name"},
        {head + "12\t10\t0\t\xC3\x28\n", "line 3: bad name"},      // broken UTF-8
        {head + "12\t10\t0\t\xED\xA0\x80\n", "line 3: bad name"},  // a surrogate
        {head + "12\t10\t0\tA\x01" "B\n", "line 3: bad name"},     // a control character
        {head + "12\t10\t0\t" + std::string(256, 'a') + "\n", "line 3: bad name"},
        {head + "M31\n", "line 3"},
        {head + "NGC70000\tx\n", "line 3: bad designation"},
        {head + "M 31\tx\n", "line 3: bad designation"},
        {head + "# \xFF\n", "line 3"},
        {head + "\nM31\t" + std::string(ExtraNames::kMaxLineBytes, 'a') + "\n", "line 4: line too long"},
    };
    for (const auto& [bytes, expected] : cases) {
        ExtraNames names;
        names.AddStar({1, 0, 0, {}});
        std::string error;
        EXPECT_FALSE(names.Parse(bytes, &error)) << bytes;
        EXPECT_TRUE(names.Empty()) << bytes;
        EXPECT_NE(error.find(expected), std::string::npos) << bytes << " -> " << error;
    }
    std::string tooLarge = head;
    tooLarge.resize(ExtraNames::kMaxFileBytes + 1, '\n');
    ExtraNames names;
    EXPECT_FALSE(names.Parse(tooLarge));
    // Many names on one line: up to kMaxNames.
    std::string many = "TAVIKNAMES\t1\nM31";
    for (std::size_t i = 0; i <= ExtraNames::kMaxNames; ++i) many += "\tn";
    EXPECT_FALSE(names.Parse(many));
}

TEST(ExtraNames, NamesBesideTheCatalogueAreLoadedWhereverItIsAndAWarningNamesADamagedOne) {
    test::TempDir dir;
    test::WriteBytes(dir / "tavik.dat", RecordFileBytes(std::vector<StarRecord>{test::MakeStar(1, 1.0, 0.5)}));
    test::WriteBytes(dir / ExtraNames::kFileName, "TAVIKNAMES\t1\nM31\tAndromeda Galaxy\n");
    MemorySettingsStore settings;
    settings.WriteProfileString("TAVIK", "TAVIK_DATA", (dir / "tavik.dat").string());
    StarCatalog catalog;
    ASSERT_TRUE(LoadCatalogAtStartup(catalog, {}, settings).catalog.ok);
    ASSERT_EQ(catalog.Names().Objects().size(), 1u);

    test::WriteBytes(dir / ExtraNames::kFileName, "TAVIKNAMES\t1\nM31\tAndromeda Galaxy\n12\tx\t0\n");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(LoadChosenCatalog(catalog, dir / "tavik.dat", settings).catalog.ok);
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(catalog.Names().Empty());
    EXPECT_NE(warning.find(ExtraNames::kFileName), std::string::npos) << warning;
    EXPECT_NE(warning.find("line 3"), std::string::npos) << warning;
}

TEST(ExtraNames, BundledFilesTieEveryStarToItsRecordAndGiveEachNameToItsOwner) {
    for (const fs::path& dir : {kData, kData / "deep"}) {
        SCOPED_TRACE(dir.string());
        StarCatalog catalog;
        ASSERT_TRUE(catalog.LoadFile(dir / "tavik.dat").ok);
        std::string error;
        ExtraNames names;
        ASSERT_TRUE(names.LoadFile(dir / ExtraNames::kFileName, &error)) << error;
        EXPECT_LE(fs::file_size(dir / ExtraNames::kFileName), 4u << 20);

        // Every star record once, within 0.01".
        std::vector<std::pair<double, double>> records;  // (dec, ra)
        for (const StarRecord& r : catalog.Records()) {
            if (r.kind == kKindStar) records.emplace_back(r.dec, r.ra);
        }
        std::sort(records.begin(), records.end());
        ASSERT_EQ(names.Stars().size(), records.size());
        std::size_t tied = 0;
        for (const auto& s : names.Stars()) {
            auto it = std::lower_bound(records.begin(), records.end(), std::make_pair(s.dec - 0.01 * kArcsec, -1.0));
            int matches = 0;
            for (; it != records.end() && it->first <= s.dec + 0.01 * kArcsec; ++it)
                matches += std::abs(it->second - s.ra) * std::cos(s.dec) < 0.01 * kArcsec;
            tied += matches == 1;
            ASSERT_NE(s.hip, 0u);
        }
        EXPECT_EQ(tied, records.size());

        const auto english = [&](std::uint32_t hip) {
            const ExtraNames::Star* s = StarOf(names, hip);
            return s && !s->names.empty() ? s->names.front() : std::string("-");
        };
        EXPECT_EQ(english(11767), "Polaris");
        EXPECT_EQ(english(27989), "Betelgeuse");
        // A name several stars share goes to one: the IAU's, else the brightest.
        EXPECT_EQ(english(13288), "Angetenar");  // τ2 Eri, not the brighter τ4 Eri
        EXPECT_EQ(english(15474), "-");
        EXPECT_EQ(english(20535), "Beemim");     // υ3 Eri
        EXPECT_EQ(english(20042), "-");
        EXPECT_EQ(english(5364), "Dheneb");      // η Cet, whose "デネブ" is α Cyg's
        EXPECT_EQ(english(14135), "Menkar");     // α Cet
        EXPECT_EQ(english(13954), "-");

        const ExtraNames::Object* m45 = ObjectOf(names, "M45");
        ASSERT_NE(m45, nullptr);
        EXPECT_EQ(m45->names, (std::vector<std::string>{"Pleiades", "プレアデス", "プレアデスセイダン"}));
        // Kana readings of the names with kanji, where MeCab misreads them too.
        const auto hasName = [&](const std::vector<std::string>& list, const char* name) {
            return std::find(list.begin(), list.end(), name) != list.end();
        };
        EXPECT_TRUE(hasName(StarOf(names, 11767)->names, "ホッキョクセイ"));
        EXPECT_TRUE(hasName(ObjectOf(names, "M20")->names, "サンレツセイウン"));
        EXPECT_TRUE(hasName(ObjectOf(names, "LMC")->names, "ダイマゼランウン"));
        EXPECT_TRUE(hasName(ObjectOf(names, "M11")->names, "ノガモセイダン"));
        const ExtraNames::Object* m42 = ObjectOf(names, "M42");
        ASSERT_NE(m42, nullptr);
        EXPECT_EQ(m42->names.front(), "Orion Nebula");
        EXPECT_NE(std::find(m42->names.begin(), m42->names.end(), "オリオン星雲"), m42->names.end());
        // Wrong source names stay out: M11's is M16's, M84's is the chain of
        // galaxies, NGC 300's entry is M83's.
        const ExtraNames::Object* m11 = ObjectOf(names, "M11");
        ASSERT_NE(m11, nullptr);
        EXPECT_EQ(std::find(m11->names.begin(), m11->names.end(), "わし星団"), m11->names.end());
        EXPECT_EQ(ObjectOf(names, "M84"), nullptr);
        if (const ExtraNames::Object* n300 = ObjectOf(names, "NGC300"))
            EXPECT_EQ(std::find(n300->names.begin(), n300->names.end(), "南の回転花火銀河"), n300->names.end());
        // The parts of the Rosette Nebula all carry its name.
        if (const ExtraNames::Object* part = ObjectOf(names, "NGC2237"))
            EXPECT_NE(std::find(part->names.begin(), part->names.end(), "ばら星雲"), part->names.end());
        // No Japanese name in the file that the record already carries (an
        // English one it carries is among the English names).
        for (const StarRecord& r : catalog.Records()) {
            if (!IsDeepSkyKind(r.kind) || !r.name || static_cast<unsigned char>((*r.name)[0]) < 0x80) continue;
            if (const ExtraNames::Object* o = ObjectOf(names, r.ShortDesignation())) {
                EXPECT_EQ(std::find(o->names.begin() + 1, o->names.end(), SjisToUtf8(*r.name)), o->names.end())
                    << r.ShortDesignation();
            }
        }
    }
}
