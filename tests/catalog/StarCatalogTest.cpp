#include "catalog/StarCatalog.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <vector>

#include "TestFiles.h"
#include "catalog/ByteOrder.h"

using namespace tavik;
using tavik::test::MakeStar;

namespace {

std::string FileWith(const std::vector<StarRecord>& records, std::int32_t declared = -1) {
    std::string bytes = RecordFileBytes(records);
    if (declared >= 0) le::SetI32(bytes, 4, declared);
    return bytes;
}

std::vector<StarRecord> Stars(int n) {
    std::vector<StarRecord> v;
    for (int i = 0; i < n; ++i) v.push_back(MakeStar(i + 1, 0.01 * (i + 1), 3.0));
    return v;
}

}  // namespace

TEST(StarCatalog, LoadKeepsFileOrderAndAppliesDropRules) {
    std::vector<StarRecord> records = Stars(5);
    records[1].mag = 0.0;
    records[1].ra = 0.0;      // dropped
    records[2].mag = 0.0;     // kept: ra is not 0
    records[3].kind = 10000;  // dropped
    records[4].kind = -3;     // kept
    std::istringstream in(FileWith(records));
    StarCatalog catalog;
    catalog.AppendTapMark(MakeStar(99, 1, 1));
    int pumps = 0;
    const RecordFileResult result = catalog.Load(in, [&] { ++pumps; });
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.read, 5u);
    EXPECT_EQ(result.kept, 3u);
    EXPECT_GE(pumps, 5);
    ASSERT_EQ(catalog.Count(), 3u);
    EXPECT_EQ(catalog.At(0).number, 1);
    EXPECT_EQ(catalog.At(1).number, 3);
    EXPECT_EQ(catalog.At(2).number, 5);
    EXPECT_EQ(catalog.TapMarkCount(), 0u);  // loading empties the tap-mark list
}

TEST(StarCatalog, ShortFileReportsHowManyWereReadAndKeepsThem) {
    const std::string whole = FileWith(Stars(4));
    // Cut inside the third record.
    std::istringstream in(whole.substr(0, 8 + 2 * 68 + 30));
    StarCatalog catalog;
    const RecordFileResult result = catalog.Load(in);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.read, 2u);
    EXPECT_EQ(result.error, "file ends after 2 of 4 records");
    EXPECT_EQ(catalog.Count(), 2u);
}

TEST(StarCatalog, HugeOrNegativeCountsDoNotAllocateOrCrash) {
    StarCatalog catalog;
    std::istringstream huge(FileWith(Stars(3), std::numeric_limits<std::int32_t>::max()));
    RecordFileResult result = catalog.Load(huge);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.read, 3u);
    EXPECT_EQ(catalog.Count(), 3u);

    std::istringstream negative(FileWith(Stars(3), 0) .replace(4, 4, std::string("\xFF\xFF\xFF\xFF", 4)));
    result = catalog.Load(negative);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(catalog.Count(), 0u);

    std::istringstream headerOnly(std::string("\xE8\x03", 2));
    result = catalog.Load(headerOnly);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
}

TEST(StarCatalog, UnknownRecordVersionStopsReadingInsteadOfParsingGarbage) {
    std::string bytes = FileWith(Stars(3));
    bytes[8 + 68] = '\x05';  // second record's version word (records without a name are 68 bytes)
    std::istringstream in(bytes);
    StarCatalog catalog;
    const RecordFileResult result = catalog.Load(in);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.read, 1u);
    EXPECT_NE(result.error.find("unknown version 773"), std::string::npos) << result.error;
    EXPECT_EQ(catalog.Count(), 1u);
}

TEST(StarCatalog, PlaceholdersShareOneRecordBelowHundredRecords) {
    StarCatalog catalog;
    for (const auto& r : Stars(99)) catalog.Append(r);
    StarRecord& first = catalog.SolarPlaceholder(0);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(&catalog.SolarPlaceholder(i), &first);
    EXPECT_EQ(catalog.Count(), 99u);
}

TEST(StarCatalog, PlaceholdersAreAppendedOnceWithTheirPosition) {
    StarCatalog catalog;
    for (const auto& r : Stars(100)) catalog.Append(r);
    StarRecord& moon = catalog.SolarPlaceholder(kSolarMoon);
    EXPECT_EQ(catalog.Count(), 101u);
    EXPECT_EQ(moon.kind, 8305);
    EXPECT_EQ(moon.number, 100);
    EXPECT_EQ(moon.constellation[0], '#');
    EXPECT_TRUE(moon.IsSolarPlaceholder());
    EXPECT_EQ(catalog.SolarPlaceholderPosition(kSolarMoon), 100u);

    StarRecord& sun = catalog.SolarPlaceholder(kSolarSun);
    EXPECT_EQ(sun.kind, 8192 + 16 * 8 + 1);
    EXPECT_EQ(sun.number, 101);
    // Later requests return the same records; references stay valid.
    moon.mag = -6.0;
    EXPECT_EQ(&catalog.SolarPlaceholder(kSolarMoon), &moon);
    EXPECT_EQ(catalog.At(100).mag, -6.0);
    EXPECT_EQ(catalog.Count(), 102u);

    catalog.Clear();
    EXPECT_EQ(catalog.SolarPlaceholderPosition(kSolarMoon), 0u);
}

TEST(StarCatalog, TapMarksSaveAndLoadInFileFormat) {
    test::TempDir dir;
    StarCatalog catalog;
    StarRecord mark = MakeStar(1, 0.5, -100.0);
    mark.SetSpectral("!TP!");
    mark.name = "text";
    mark.kind = 3;
    catalog.AppendTapMark(mark);
    catalog.AppendTapMark(MakeStar(2, 0.6, -100.0));
    const auto path = dir / "TavikUser.tap";
    ASSERT_TRUE(catalog.SaveTapMarks(path));
    const std::string bytes = test::ReadBytes(path);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\xE8\x03\x00\x00\x02\x00\x00\x00", 8));
    EXPECT_EQ(bytes.substr(8, 4), std::string("\xE9\x03\x00\x00", 4));

    // Appends to what is there, unfiltered (a mark with mag 0 and ra 0 stays).
    StarCatalog other;
    StarRecord zero;
    zero.mag = 0.0;
    other.AppendTapMark(zero);
    const RecordFileResult result = other.LoadTapMarks(path);
    EXPECT_TRUE(result.ok);
    ASSERT_EQ(other.TapMarkCount(), 3u);
    EXPECT_TRUE(other.TapMark(1).IsTapMark());
    EXPECT_EQ(*other.TapMark(1).name, "text");
    other.RemoveTapMark(0);
    EXPECT_EQ(other.TapMark(0).number, 1);

    // A missing tap file is no error worth showing and changes nothing.
    const RecordFileResult missing = other.LoadTapMarks(dir / "absent.tap");
    EXPECT_FALSE(missing.opened);
    EXPECT_EQ(other.TapMarkCount(), 2u);

    // Saving into a folder that does not exist fails without a crash.
    EXPECT_FALSE(other.SaveTapMarks(dir / "no" / "such" / "x.tap"));
}
