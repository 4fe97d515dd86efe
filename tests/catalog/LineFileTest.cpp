#include "catalog/LineFile.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "TestFiles.h"
#include "catalog/ByteOrder.h"

using namespace tavik;

namespace {

PolylineData Line(int n, double base) {
    PolylineData p;
    for (int i = 0; i < n; ++i) p.Add(base + 0.01 * i, -0.5 + 0.001 * i, i + 1 == n ? kStrokeEnd : kStrokeContinue);
    return p;
}

std::vector<LineFileSlot> Sample() {
    return {{"And", Line(3, 0.1)}, {"Ori", Line(400, 1.2)}, {"Ser", Line(2, 4.0)}, {"Ser", Line(5, 4.5)}};
}

// Reads one constellation in both modes and checks they agree.
bool ReadBoth(const std::filesystem::path& path, const char* abbreviation, ConstellationPolyline& out) {
    LineFileReader memory(path, true);
    LineFileReader perDraw(path, false);
    ConstellationPolyline a, b;
    const bool okMemory = memory.Read(abbreviation, a);
    const bool okPerDraw = perDraw.Read(abbreviation, b);
    EXPECT_EQ(okMemory, okPerDraw) << abbreviation;
    EXPECT_EQ(a.count, b.count);
    for (int i = 0; i < a.count && i < b.count; ++i) {
        EXPECT_EQ(a.codes[i], b.codes[i]);
        EXPECT_EQ(a.ra[i], b.ra[i]);
        EXPECT_EQ(a.dec[i], b.dec[i]);
    }
    out = a;
    return okMemory;
}

}  // namespace

TEST(LineFile, WriterAndBothReadingModesAgree) {
    test::TempDir dir;
    const auto path = dir / "tavikline.dat";
    test::WriteBytes(path, LineFileBytes(Sample()));

    ConstellationPolyline p;
    ASSERT_TRUE(ReadBoth(path, "Ori", p));
    EXPECT_EQ(p.count, 400);
    EXPECT_EQ(p.ra[399], 1.2 + 0.01 * 399);
    EXPECT_EQ(p.codes[398], kStrokeContinue);
    EXPECT_EQ(p.codes[399], kStrokeEnd);
    // First matching slot wins; only three bytes are compared.
    ASSERT_TRUE(ReadBoth(path, "Ser", p));
    EXPECT_EQ(p.count, 2);
    ASSERT_TRUE(ReadBoth(path, "Serx", p));
    EXPECT_EQ(p.count, 2);
    EXPECT_FALSE(ReadBoth(path, "Cyg", p));
    EXPECT_FALSE(ReadBoth(path, "Or", p));
    EXPECT_EQ(LineFileAbbreviations(test::ReadBytes(path)), (std::vector<std::string>{"And", "Ori", "Ser", "Ser"}));
}

TEST(LineFile, WriterRefusesWhatReadersWouldReject) {
    auto slots = Sample();
    slots[1].points = Line(401, 0);
    EXPECT_THROW(LineFileBytes(slots), std::invalid_argument);
    EXPECT_THROW(LineFileBytes({{"Ori", Line(2, 0)}}), std::invalid_argument);
    std::vector<LineFileSlot> many(151, {"And", Line(1, 0)});
    EXPECT_THROW(LineFileBytes(many), std::invalid_argument);
}

TEST(LineFile, FileNotStartingWithAndDrawsNothingInEitherMode) {
    test::TempDir dir;
    std::string bytes = LineFileBytes(Sample());
    bytes[0] = 'a';
    const auto path = dir / "bad.dat";
    test::WriteBytes(path, bytes);
    ConstellationPolyline p;
    EXPECT_FALSE(ReadBoth(path, "Ori", p));
    LineFileReader memory(path, true);
    EXPECT_FALSE(memory.Read("And", p));
    EXPECT_FALSE(memory.InMemory());  // the rejected copy is freed
    LineFileReader perDraw(path, false);
    EXPECT_FALSE(perDraw.Read("And", p));
    EXPECT_FALSE(perDraw.HandleOpen());

    test::WriteBytes(path, "And");  // shorter than the index
    EXPECT_FALSE(ReadBoth(path, "And", p));
}

TEST(LineFile, UnsoundIndexEntriesAreSkippedNotFollowed) {
    test::TempDir dir;
    const std::string good = LineFileBytes(Sample());
    const auto path = dir / "damaged.dat";
    ConstellationPolyline p;

    std::string bytes = good;
    le::SetI16(bytes, 600 + 2 * 1, 401);  // Ori: too many points
    test::WriteBytes(path, bytes);
    EXPECT_FALSE(ReadBoth(path, "Ori", p));
    EXPECT_TRUE(ReadBoth(path, "And", p));  // the others still draw

    bytes = good;
    le::SetI16(bytes, 600 + 2 * 1, -1);
    test::WriteBytes(path, bytes);
    EXPECT_FALSE(ReadBoth(path, "Ori", p));

    for (std::size_t table : {900u, 1500u, 2100u}) {
        bytes = good;
        le::SetI32(bytes, table + 4 * 1, static_cast<std::int32_t>(good.size()) - 8);  // runs off the end
        test::WriteBytes(path, bytes);
        EXPECT_FALSE(ReadBoth(path, "Ori", p)) << table;
        le::SetI32(bytes, table + 4 * 1, -2000000000);
        test::WriteBytes(path, bytes);
        EXPECT_FALSE(ReadBoth(path, "Ori", p)) << table;
    }

    // A file cut inside the arrays of its last slot.
    auto slots = Sample();
    slots.push_back({"Cyg", Line(20, 2.0)});
    const std::string withCyg = LineFileBytes(slots);
    test::WriteBytes(path, withCyg.substr(0, withCyg.size() - 100));
    EXPECT_FALSE(ReadBoth(path, "Cyg", p));
    EXPECT_TRUE(ReadBoth(path, "And", p));
}

TEST(LineFile, PerDrawHandleStaysOpenUntilTheFileIsGone) {
    test::TempDir dir;
    const auto path = dir / "tavikconste.dat";
    test::WriteBytes(path, LineFileBytes(Sample()));
    LineFileReader reader(path, false);
    ConstellationPolyline p;
    EXPECT_TRUE(reader.Read("And", p));
    EXPECT_TRUE(reader.HandleOpen());
    EXPECT_TRUE(reader.Read("Ori", p));
    std::filesystem::remove(path);
    EXPECT_FALSE(reader.Read("And", p));
    EXPECT_FALSE(reader.HandleOpen());
    EXPECT_EQ(p.count, 0);
    // It comes back when the file does.
    test::WriteBytes(path, LineFileBytes(Sample()));
    EXPECT_TRUE(reader.Read("And", p));
}

TEST(LineFile, MemoryModeKeepsItsCopyAndFallsBackWhenMemoryRunsOut) {
    test::TempDir dir;
    const auto path = dir / "tavikline.dat";
    test::WriteBytes(path, LineFileBytes(Sample()));
    LineFileReader reader(path, true);
    ConstellationPolyline p;
    EXPECT_TRUE(reader.Read("Ori", p));
    EXPECT_TRUE(reader.InMemory());
    std::filesystem::remove(path);
    EXPECT_TRUE(reader.Read("Ori", p));  // drawn from the copy, no file access

    test::WriteBytes(path, LineFileBytes(Sample()));
    LineFileReader starved(path, true);
    starved.SimulateAllocationFailureForTesting();
    EXPECT_TRUE(starved.Read("And", p));
    EXPECT_FALSE(starved.MemoryMode());
    EXPECT_FALSE(starved.InMemory());
    EXPECT_TRUE(starved.HandleOpen());

    LineFileReader missing(dir / "absent.dat", true);
    EXPECT_FALSE(missing.Read("And", p));
}
