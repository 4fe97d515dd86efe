#include "catalog/Description.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
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
