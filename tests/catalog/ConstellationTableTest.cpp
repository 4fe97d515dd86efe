#include "catalog/ConstellationTable.h"

#include <gtest/gtest.h>

#include <set>

#include "catalog/ShiftJis.h"

using namespace tavik;

TEST(ConstellationTable, RowsFitTheirFixedFields) {
    const auto& table = ConstellationTable();
    EXPECT_STREQ(table[0].abbreviation, "And");
    EXPECT_STREQ(table[88].abbreviation, "Vul");
    std::set<std::string> distinct;
    int serpens = 0;
    for (const auto& row : table) {
        EXPECT_EQ(std::string(row.abbreviation).size(), 3u);
        bool ok = false;
        const std::string sjis = Utf8ToSjis(row.name, &ok);
        EXPECT_TRUE(ok) << row.abbreviation;
        EXPECT_LE(sjis.size(), 18u) << row.abbreviation;  // 19-byte field with its NUL
        distinct.insert(row.abbreviation);
        if (std::string(row.abbreviation) == "Ser") ++serpens;
    }
    EXPECT_EQ(distinct.size(), 88u);
    EXPECT_EQ(serpens, 2);
}

TEST(ConstellationTable, NameLookup) {
    EXPECT_EQ(ConstellationNameUtf8(std::string_view("Ori\0", 4)), "オリオン");
    EXPECT_EQ(ConstellationNameUtf8("CMa"), "おおいぬ");
    EXPECT_EQ(ConstellationNameUtf8("Serxyz"), "へび");  // first three bytes
    EXPECT_EQ(ConstellationNameUtf8("ori"), "");        // case-sensitive
    EXPECT_EQ(ConstellationNameUtf8(" Or"), "");
    EXPECT_EQ(ConstellationNameUtf8(std::string_view("\0\0\0\0", 4)), "");
    EXPECT_EQ(ConstellationNameUtf8("Xyz"), "");
    EXPECT_EQ(ConstellationNameUtf8("Or"), "");
    EXPECT_EQ(SjisToUtf8(ConstellationNameSjis("Cas")), "カシオペア");
    EXPECT_EQ(ConstellationRowIndex("Ser"), 75);
}

TEST(ConstellationTable, ZodiacHasTwelveTableConstellations) {
    int count = 0;
    for (const auto& row : ConstellationTable()) count += IsZodiac(row.abbreviation) ? 1 : 0;
    EXPECT_EQ(count, 12);
    EXPECT_TRUE(IsZodiac("Sco"));
    EXPECT_FALSE(IsZodiac("Oph"));
}
