#include "catalog/Description.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "catalog/ConstellationTable.h"
#include "catalog/ShiftJis.h"

using namespace tavik;

TEST(Description, BothEncodingsRoundTrip) {
    test::TempDir dir;
    const auto path = dir / "Ori.p91";
    const std::u16string text = u"オリオン座は冬の星座です。\r\n三つ星";

    ASSERT_TRUE(WriteDescription(path, text, true));
    std::string bytes = test::ReadBytes(path);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(bytes.size(), 2 + 2 * text.size());
    Description d = ReadDescription(path);
    EXPECT_TRUE(d.found);
    EXPECT_TRUE(d.unicode);
    EXPECT_EQ(d.text, text);

    // Saved again without the box ticked: Shift-JIS without a mark.
    ASSERT_TRUE(WriteDescription(path, d.text, false));
    bytes = test::ReadBytes(path);
    EXPECT_EQ(bytes, Utf16ToSjis(text));
    d = ReadDescription(path);
    EXPECT_FALSE(d.unicode);
    EXPECT_EQ(d.text, text);
}

TEST(Description, LongTextsAreKeptWholeAndOddFilesDoNotBreakReading) {
    test::TempDir dir;
    const auto path = dir / "Hya.p91";
    // Far more than 2000 Shift-JIS bytes: written whole, not emptied.
    std::u16string longText;
    for (int i = 0; i < 3000; ++i) longText += u"星";
    ASSERT_TRUE(WriteDescription(path, longText, false));
    EXPECT_EQ(test::ReadBytes(path).size(), 6000u);
    EXPECT_EQ(ReadDescription(path).text, longText);

    // More than 32767 bytes reads fine too.
    test::WriteBytes(path, std::string(40000, 'a'));
    EXPECT_EQ(ReadDescription(path).text.size(), 40000u);

    // A UTF-16 file with an odd trailing byte, and a lone mark.
    test::WriteBytes(path, std::string("\xFF\xFE" "A\x00" "B", 5));
    EXPECT_EQ(ReadDescription(path).text, u"A");
    test::WriteBytes(path, "\xFF\xFE");
    EXPECT_TRUE(ReadDescription(path).text.empty());

    // Invalid Shift-JIS is replaced, not fatal; text ends at a NUL.
    test::WriteBytes(path, std::string("ok\xA0\x00rest", 7));
    EXPECT_EQ(ReadDescription(path).text, u"ok\uFFFD");

    Description missing = ReadDescription(dir / "none.p91");
    EXPECT_FALSE(missing.found);
    EXPECT_TRUE(missing.text.empty());
    EXPECT_EQ(DescriptionPath("/data/", "Ori", ".p94"), "/data/Ori.p94");
}

TEST(Description, NothingIsWrittenOverTheOldTextByAnEmptyOrLossyText) {
    test::TempDir dir;
    const auto path = dir / "Lyr.p91";
    ASSERT_TRUE(WriteDescription(path, u"こと座", false));
    const std::string old = test::ReadBytes(path);

    EXPECT_EQ(WriteDescription(path, u"", false).status, DescriptionWrite::Unchanged);
    EXPECT_EQ(WriteDescription(path, u"", true).status, DescriptionWrite::Unchanged);
    EXPECT_EQ(WriteDescription(path, std::u16string(u"\0x", 2), false).status, DescriptionWrite::Unchanged);
    // No Shift-JIS form (a hangul syllable): refused rather than turned into "?".
    EXPECT_EQ(WriteDescription(path, u"ベガ \uD55C", false).status, DescriptionWrite::Unconvertible);
    // Beyond what the file's 16-bit length can hold.
    EXPECT_EQ(WriteDescription(path, std::u16string(20000, u'星'), false).status, DescriptionWrite::TooLong);
    EXPECT_EQ(WriteDescription(path, std::u16string(16383, u'a'), true).status, DescriptionWrite::TooLong);
    EXPECT_EQ(test::ReadBytes(path), old);
    // The same text is fine in UTF-16.
    EXPECT_TRUE(WriteDescription(path, u"ベガ \uD55C", true));

    // Spoken from the .p94 file when there is one.
    EXPECT_EQ(SpokenDescriptionPath(dir.Path().string() + "/", "Lyr"), (dir / "Lyr.p91").string());
    test::WriteBytes(dir / "Lyr.p94", "x");
    EXPECT_EQ(SpokenDescriptionPath(dir.Path().string() + "/", "Lyr"), (dir / "Lyr.p94").string());
}

TEST(Description, EveryConstellationHasABundledDescription) {
    for (const ConstellationRow& row : ConstellationTable()) {
        const Description d = ReadDescription(DescriptionPath(TAVIK_DATA_DIR "/", row.abbreviation, ".p91"));
        ASSERT_TRUE(d.found) << row.abbreviation;
        EXPECT_FALSE(d.unicode);
        EXPECT_EQ(d.text.find(u'\uFFFD'), std::u16string::npos) << row.abbreviation;
        EXPECT_EQ(SjisToUtf8(Utf16ToSjis(d.text.substr(0, d.text.find(u'（')))), std::string(row.name) + "座")
            << row.abbreviation;
    }
}
