// The deep-sky size file beside the catalogue: written the same for the same
// table, read back whole, refused whole when damaged, and matched to the
// catalogue's records wherever a catalogue is loaded.

#include "catalog/DeepSkySizes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TestFiles.h"
#include "catalog/ByteOrder.h"
#include "catalog/CatalogLocation.h"

using namespace tavik;
namespace fs = std::filesystem;

namespace {

StarRecord DeepSky(const char* designation, int kind) {
    StarRecord r = test::MakeStar(1, 0.5, 8.0);
    r.kind = static_cast<std::int16_t>(kind);
    r.SetDesignation(std::string("   ") + designation);
    return r;
}

DeepSkySizes Sample() {
    DeepSkySizes s;
    s.Set("NGC7000", {120.0f, 30.0f, 0.0f});
    s.Set("M31", {177.83f, 69.66f, 35.0f});
    s.Set("IC434", {90.0f, 30.0f, 0.0f});
    return s;
}

void PutF32(std::string& out, std::size_t at, float v) {
    const auto u = std::bit_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

}  // namespace

TEST(DeepSkySizes, RoundTripIsWholeAndTheBytesAreTheSameForTheSameTable) {
    test::TempDir dir;
    const DeepSkySizes a = Sample();
    DeepSkySizes b;  // the same table filled in another order, plus an unsound entry
    b.Set("IC434", {90.0f, 30.0f, 0.0f});
    b.Set("bad", {std::nanf(""), 1.0f, 0.0f});
    b.Set("M31", {177.83f, 69.66f, 35.0f});
    b.Set("NGC7000", {120.0f, 30.0f, 0.0f});
    EXPECT_EQ(a.Bytes(), b.Bytes());
    EXPECT_EQ(a.Bytes().size(), DeepSkySizes::kHeaderBytes + 3 * DeepSkySizes::kEntryBytes);
    EXPECT_EQ(a.Bytes().substr(0, 4), "TVSZ");

    ASSERT_TRUE(a.SaveFile(dir / DeepSkySizes::kFileName));
    DeepSkySizes read;
    std::string error;
    ASSERT_TRUE(read.LoadFile(dir / DeepSkySizes::kFileName, &error)) << error;
    ASSERT_EQ(read.Count(), 3u);
    const DeepSkySize* m31 = read.Find("M31");
    ASSERT_NE(m31, nullptr);
    EXPECT_EQ(m31->majorArcmin, 177.83f);
    EXPECT_EQ(m31->minorArcmin, 69.66f);
    EXPECT_EQ(m31->positionAngleDeg, 35.0f);
    EXPECT_EQ(read.Find("M3"), nullptr);

    // A missing file is no sizes, not an error; it empties a table already read.
    EXPECT_TRUE(read.LoadFile(dir / "none.dat", &error));
    EXPECT_TRUE(read.Empty());
    EXPECT_FALSE(read.LoadFile(dir.Path(), &error));  // a folder
}

TEST(DeepSkySizes, DamagedOrHostileFileIsRefusedWhole) {
    const std::string good = Sample().Bytes();
    const std::size_t e0 = DeepSkySizes::kHeaderBytes;             // first entry: "IC434"
    const std::size_t e1 = e0 + DeepSkySizes::kEntryBytes;         // "M31"
    const std::size_t f1 = e1 + DeepSkySizes::kDesignationBytes;  // its major axis
    auto edit = [&](auto change) {
        std::string b = good;
        change(b);
        return b;
    };
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"header only in part", good.substr(0, 10)},
        {"magic", edit([](std::string& b) { b[0] = 'X'; })},
        {"version", edit([](std::string& b) { le::SetI32(b, 4, 2); })},
        {"count beyond the length", edit([](std::string& b) { le::SetI32(b, 8, -1); })},
        {"count short of the length", edit([](std::string& b) { le::SetI32(b, 8, 2); })},
        {"cut inside an entry", good.substr(0, good.size() - 5)},
        {"trailing byte", good + '\0'},
        {"designation without a NUL", edit([&](std::string& b) { b.replace(e0, 8, "IC434ABC"); })},
        {"bytes after the NUL", edit([&](std::string& b) { b[e0 + 7] = 'x'; })},
        {"empty designation", edit([&](std::string& b) { b.replace(e0, 8, std::string(8, '\0')); })},
        {"out of order", edit([&](std::string& b) { b.replace(e1, 8, std::string("IC1\0\0\0\0\0", 8)); })},
        {"twice", edit([&](std::string& b) { b.replace(e1, 8, std::string("IC434\0\0\0", 8)); })},
        {"NaN axis", edit([&](std::string& b) { PutF32(b, f1, std::nanf("")); })},
        {"infinite axis", edit([&](std::string& b) { PutF32(b, f1, std::numeric_limits<float>::infinity()); })},
        {"huge axis", edit([&](std::string& b) { PutF32(b, f1, 1e30f); })},
        {"minor above major", edit([&](std::string& b) { PutF32(b, f1 + 4, 500.0f); })},
        {"no minor", edit([&](std::string& b) { PutF32(b, f1 + 4, 0.0f); })},
        {"angle of a full turn", edit([&](std::string& b) { PutF32(b, f1 + 8, 360.0f); })},
        {"negative angle", edit([&](std::string& b) { PutF32(b, f1 + 8, -1.0f); })},
    };
    for (const auto& [what, bytes] : cases) {
        DeepSkySizes s = Sample();
        std::string error;
        EXPECT_FALSE(s.Parse(bytes, &error)) << what;
        EXPECT_TRUE(s.Empty()) << what;
        EXPECT_FALSE(error.empty()) << what;
    }
    DeepSkySizes s;
    EXPECT_TRUE(s.Parse(good));
    EXPECT_EQ(s.Count(), 3u);
}

TEST(DeepSkySizes, SizesBesideTheCatalogueAreMatchedWhereverItIsLoaded) {
    test::TempDir dir;
    const std::vector<StarRecord> records{DeepSky("M31", kKindGalaxy), DeepSky("NGC7000", kKindDiffuseNebula),
                                          DeepSky("M33", kKindGalaxy), test::MakeStar(4, 1.0, 2.0)};
    test::WriteBytes(dir / "tavik.dat", RecordFileBytes(records));
    ASSERT_TRUE(Sample().SaveFile(dir / DeepSkySizes::kFileName));

    MemorySettingsStore settings;
    settings.WriteProfileString("TAVIK", "TAVIK_DATA", (dir / "tavik.dat").string());
    StarCatalog catalog;
    ASSERT_TRUE(LoadCatalogAtStartup(catalog, {}, settings).catalog.ok);
    ASSERT_EQ(catalog.Count(), 4u);
    ASSERT_NE(catalog.SizeOf(catalog.At(0)), nullptr);
    EXPECT_EQ(catalog.SizeOf(catalog.At(0))->positionAngleDeg, 35.0f);
    EXPECT_EQ(catalog.SizeOf(catalog.At(1))->majorArcmin, 120.0f);
    EXPECT_EQ(catalog.SizeOf(catalog.At(2)), nullptr);  // no size in the file
    EXPECT_EQ(catalog.SizeOf(catalog.At(3)), nullptr);  // a star

    // A damaged size file: the catalogue loads as ever, without sizes, and
    // one warning names the file.
    std::string bytes = Sample().Bytes();
    bytes.resize(bytes.size() - 1);
    test::WriteBytes(dir / DeepSkySizes::kFileName, bytes);
    testing::internal::CaptureStderr();
    const CatalogOpenResult picked = LoadChosenCatalog(catalog, dir / "tavik.dat", settings);
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(picked.catalog.ok);
    EXPECT_EQ(catalog.Count(), 4u);
    EXPECT_TRUE(catalog.Sizes().Empty());
    EXPECT_EQ(catalog.SizeOf(catalog.At(0)), nullptr);
    EXPECT_NE(warning.find(DeepSkySizes::kFileName), std::string::npos) << warning;
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;

    // No file: no sizes and no word.
    fs::remove(dir / DeepSkySizes::kFileName);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(LoadCatalogAtStartup(catalog, {}, settings).catalog.ok);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(catalog.Sizes().Empty());
}
