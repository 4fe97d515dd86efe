// Catalogues larger than one storage block and one read block: records and
// errors as for small files, and records that stay where they are.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "catalog/RecordFile.h"
#include "catalog/StarCatalog.h"

namespace tavik {
namespace {

std::vector<StarRecord> ManyStars(std::size_t n) {
    std::vector<StarRecord> v(n);
    for (std::size_t i = 0; i < n; ++i) {
        v[i].number = static_cast<std::int16_t>(i);
        v[i].ra = 0.001 * static_cast<double>(i + 1);
        v[i].mag = 5.0;
        if (i % 7 == 0) v[i].name = std::string(i % 3 == 0 ? 200 : 3, 'a');  // long and short names
    }
    return v;
}

TEST(LargeCatalog, ReadsAcrossBlocksWithStableRecordsAndTheSameErrors) {
    const std::size_t n = StarCatalog::kBlockRecords * 2 + 5;
    const std::vector<StarRecord> stars = ManyStars(n);
    const std::string bytes = RecordFileBytes(stars);

    StarCatalog catalog;
    std::istringstream in(bytes);
    const RecordFileResult result = catalog.Load(in);
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(catalog.Count(), n);
    for (std::size_t i = 0; i < n; i += 997) EXPECT_EQ(catalog.At(i).StoreBytes(), stars[i].StoreBytes());
    EXPECT_EQ(catalog.At(n - 1).StoreBytes(), stars[n - 1].StoreBytes());

    // Appends (placeholders among them) never move a record.
    const StarRecord* first = &catalog.At(0);
    const StarRecord* last = &catalog.At(n - 1);
    const std::uint64_t before = catalog.Generation();
    for (int i = 0; i < 10000; ++i) catalog.Append(stars[0]);
    StarRecord& sun = catalog.SolarPlaceholder(kSolarSun);
    EXPECT_EQ(first, &*catalog.Records().begin());
    EXPECT_EQ(last, &static_cast<const StarCatalog&>(catalog).At(n - 1));
    EXPECT_EQ(&sun, &catalog.SolarPlaceholder(kSolarSun));
    EXPECT_NE(catalog.Generation(), before);

    // A file cut inside a record far beyond the first read block.
    const std::size_t cut = bytes.size() - 30;
    std::istringstream shortIn(bytes.substr(0, cut));
    const RecordFileResult truncated = catalog.Load(shortIn);
    EXPECT_FALSE(truncated.ok);
    EXPECT_EQ(truncated.read, n - 1);
    EXPECT_EQ(truncated.error, "file ends after " + std::to_string(n - 1) + " of " + std::to_string(n) + " records");
    EXPECT_EQ(catalog.Count(), n - 1);

    // An unknown version word in the middle.
    std::string bad = bytes;
    std::size_t offset = 8;
    for (std::size_t i = 0; i < StarCatalog::kBlockRecords + 3; ++i) offset += stars[i].StoreBytes().size();
    bad[offset] = 7;
    std::istringstream badIn(bad);
    const RecordFileResult unknown = catalog.Load(badIn);
    EXPECT_EQ(unknown.read, StarCatalog::kBlockRecords + 3);
    EXPECT_NE(unknown.error.find("unknown version"), std::string::npos);
}

}  // namespace
}  // namespace tavik
