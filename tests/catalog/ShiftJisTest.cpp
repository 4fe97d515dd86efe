#include "catalog/ShiftJis.h"

#include <gtest/gtest.h>

using namespace tavik;

TEST(ShiftJis, RoundTripsJapaneseTextThroughUtf8AndUtf16) {
    const std::string utf8 = "シリウス・アンドロメダ座α";
    bool ok = false;
    const std::string sjis = Utf8ToSjis(utf8, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(sjis.substr(0, 2), "\x83\x56");  // シ
    EXPECT_EQ(SjisToUtf8(sjis), utf8);
    EXPECT_EQ(SjisToUtf16(sjis), u"シリウス・アンドロメダ座α");
    EXPECT_EQ(Utf16ToSjis(u"シリウス・アンドロメダ座α", &ok), sjis);
    EXPECT_TRUE(ok);
    EXPECT_EQ(SjisToUtf8(""), "");
    EXPECT_EQ(SjisToUtf8("ABC 123"), "ABC 123");
}

TEST(ShiftJis, InvalidInputIsReplacedNotFatal) {
    // An undefined lead byte, a lead byte with a bad trail byte and a cut-off
    // double-byte character at the end.
    EXPECT_EQ(SjisToUtf8("A\xA0" "B"), "A\xEF\xBF\xBD" "B");
    const std::string cut = SjisToUtf8("X\x83");
    EXPECT_EQ(cut, "X\xEF\xBF\xBD");
    EXPECT_EQ(SjisToUtf16("X\x83"), u"X\uFFFD");

    bool ok = true;
    // A character with no code-page-932 form and a broken UTF-8 sequence.
    EXPECT_EQ(Utf8ToSjis("a\xF0\x9F\x98\x80" "b", &ok), "a?b");
    EXPECT_FALSE(ok);
    EXPECT_EQ(Utf8ToSjis("a\xE3\x82" "b", &ok), "a?b");
    EXPECT_FALSE(ok);
    EXPECT_EQ(Utf16ToSjis(u"a\U0001F600b", &ok), "a?b");
    EXPECT_FALSE(ok);
}

TEST(ShiftJis, PrefixLengthNeverSplitsADoubleByteCharacter) {
    const std::string sjis = Utf8ToSjis("aシリ");  // 1 + 2 + 2 bytes
    EXPECT_EQ(SjisPrefixLength(sjis, 5), 5u);
    EXPECT_EQ(SjisPrefixLength(sjis, 4), 3u);
    EXPECT_EQ(SjisPrefixLength(sjis, 2), 1u);
    EXPECT_EQ(SjisPrefixLength(sjis, 0), 0u);
    EXPECT_EQ(SjisPrefixLength("\x83", 5), 0u);  // a lone lead byte is not a character
}
