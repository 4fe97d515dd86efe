#include "catalog/StarRecord.h"

#include <gtest/gtest.h>

#include <sstream>

#include "catalog/ShiftJis.h"

using namespace tavik;

namespace {

StarRecord Sample() {
    StarRecord r;
    r.number = -2;
    r.SetDesignation("  9Alp");
    r.SetConstellation("CMa");
    r.ra = 1.5;
    r.dec = -0.5;
    r.mag = 2.0;
    r.name = "AB";
    r.SetSpectral("A1V");
    r.kind = 0x0102;
    return r;
}

StarRecord LoadFrom(const std::string& bytes, StarRecord::ReadStatus* status = nullptr,
                    std::size_t* consumed = nullptr) {
    std::istringstream in(bytes);
    StarRecord r;
    const auto s = r.Load(in);
    if (status) *status = s;
    if (consumed) {
        in.clear();
        *consumed = static_cast<std::size_t>(in.tellg());
    }
    return r;
}

}  // namespace

TEST(StarRecord, StoresVersion1001ByteExactLittleEndian) {
    const std::string bytes = Sample().StoreBytes();
    // version 1001, dec -0.5, mag 2.0, ra 1.5 (IEEE binary64 LE), number -2,
    // constellation, designation, L=2, "AB", kind 0x0102, spectral[21].
    std::string expected("\xE9\x03\x00\x00", 4);
    expected += std::string("\x00\x00\x00\x00\x00\x00\xE0\xBF", 8);
    expected += std::string("\x00\x00\x00\x00\x00\x00\x00\x40", 8);
    expected += std::string("\x00\x00\x00\x00\x00\x00\xF8\x3F", 8);
    expected += std::string("\xFE\xFF", 2);
    expected += std::string("CMa\0", 4);
    expected += std::string("  9Alp\0\0\0\0", 10);
    expected += std::string("\x02" "AB", 3);
    expected += std::string("\x02\x01", 2);
    expected += std::string("A1V", 3) + std::string(18, '\0');
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.size(), 68u + 2u);
}

TEST(StarRecord, Version1001RoundTripKeepsEveryField) {
    StarRecord in = Sample();
    in.name = Utf8ToSjis("シリウス");
    StarRecord::ReadStatus status;
    std::size_t consumed = 0;
    const std::string bytes = in.StoreBytes();
    const StarRecord out = LoadFrom(bytes + "trailing", &status, &consumed);
    ASSERT_EQ(status, StarRecord::ReadStatus::Ok);
    EXPECT_EQ(consumed, bytes.size());
    EXPECT_EQ(out.StoreBytes(), bytes);
    EXPECT_EQ(SjisToUtf8(*out.name), "シリウス");
    EXPECT_EQ(out.number, -2);
    EXPECT_EQ(out.kind, 0x0102);
    EXPECT_EQ(out.ra, 1.5);
    EXPECT_EQ(out.dec, -0.5);
}

TEST(StarRecord, Version1000HasFixedSixtyByteName) {
    std::string bytes = Sample().StoreBytes();
    // Turn it into a version-1000 record: 60-byte name field instead of L + name.
    std::string v1000 = bytes.substr(0, 44);
    v1000[0] = '\xE8';
    std::string name = "Betelgeuse";
    name.resize(60, '\0');
    v1000 += name;
    v1000 += bytes.substr(47);  // kind and spectral
    ASSERT_EQ(v1000.size(), 127u);
    StarRecord::ReadStatus status;
    std::size_t consumed = 0;
    const StarRecord r = LoadFrom(v1000, &status, &consumed);
    ASSERT_EQ(status, StarRecord::ReadStatus::Ok);
    EXPECT_EQ(consumed, 127u);
    EXPECT_EQ(*r.name, "Betelgeuse");
    EXPECT_EQ(r.kind, 0x0102);
    EXPECT_EQ(r.SpectralText(), "A1V");
    EXPECT_EQ(r.ConstellationText(), "CMa");

    // A name that fills all 60 bytes is taken whole and no further.
    std::string full = v1000;
    std::fill(full.begin() + 44, full.begin() + 104, 'x');
    EXPECT_EQ(LoadFrom(full).name->size(), 60u);
}

TEST(StarRecord, NameLengthZeroMeansNoNameAndStaysZero) {
    StarRecord r = Sample();
    r.name.reset();
    const std::string bytes = r.StoreBytes();
    EXPECT_EQ(bytes[44], '\0');
    const StarRecord back = LoadFrom(bytes);
    EXPECT_FALSE(back.name.has_value());
    EXPECT_EQ(back.StoreBytes()[44], '\0');
}

TEST(StarRecord, TrailingBlanksTrimmedOnlyFromNamesLongerThanFourBytes) {
    StarRecord r = Sample();
    r.name = "abcd  ";
    std::string bytes = r.StoreBytes();
    EXPECT_EQ(bytes[44], 4);
    EXPECT_EQ(bytes.substr(45, 4), "abcd");
    r.name = "ab  ";
    bytes = r.StoreBytes();
    EXPECT_EQ(bytes[44], 4);
    EXPECT_EQ(bytes.substr(45, 4), "ab  ");
    r.name = "      ";  // all blanks, longer than 4: nothing left
    EXPECT_EQ(r.StoreBytes()[44], 0);
}

TEST(StarRecord, OverlongNameIsCutAtCharacterBoundaryNotWrapped) {
    StarRecord r = Sample();
    std::string name = "a";
    for (int i = 0; i < 200; ++i) name += "\x83\x56";  // 401 bytes
    r.name = name;
    const std::string bytes = r.StoreBytes();
    const auto length = static_cast<unsigned char>(bytes[44]);
    EXPECT_EQ(length, 255u);  // 1 + 127 * 2
    const StarRecord back = LoadFrom(bytes);
    EXPECT_EQ(back.name->size(), 255u);
    EXPECT_EQ(back.kind, r.kind);
    EXPECT_EQ(back.SpectralText(), "A1V");
}

TEST(StarRecord, ShortOrUnknownInputNeverReadsPastTheEnd) {
    const std::string bytes = Sample().StoreBytes();
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        StarRecord::ReadStatus status;
        const StarRecord r = LoadFrom(bytes.substr(0, cut), &status);
        EXPECT_EQ(status, StarRecord::ReadStatus::Truncated) << "cut at " << cut;
        EXPECT_EQ(r.kind, 1);
        EXPECT_EQ(r.number, 0);
    }
    // Name length 255 announced but only a few bytes follow.
    std::string longName = bytes.substr(0, 44) + "\xFF" "abc";
    StarRecord::ReadStatus status;
    LoadFrom(longName, &status);
    EXPECT_EQ(status, StarRecord::ReadStatus::Truncated);

    std::string unknown = bytes;
    unknown[0] = '\x07';
    std::size_t consumed = 0;
    const StarRecord r = LoadFrom(unknown, &status, &consumed);
    EXPECT_EQ(status, StarRecord::ReadStatus::UnknownVersion);
    EXPECT_EQ(consumed, 4u);
    EXPECT_TRUE(IsDroppedOnLoad(r));
}

TEST(StarRecord, DropRules) {
    StarRecord r;
    r.mag = 0.0;
    r.ra = 0.0;
    EXPECT_TRUE(IsDroppedOnLoad(r));
    r.ra = 1e-300;
    EXPECT_FALSE(IsDroppedOnLoad(r));
    r.ra = 0.0;
    r.mag = -0.0001;
    EXPECT_FALSE(IsDroppedOnLoad(r));
    r.mag = 1.0;
    r.kind = 9999;
    EXPECT_FALSE(IsDroppedOnLoad(r));
    r.kind = 10000;
    EXPECT_TRUE(IsDroppedOnLoad(r));
    r.kind = -5;
    EXPECT_FALSE(IsDroppedOnLoad(r));
}

TEST(StarRecord, GreekLettersAndKindWords) {
    StarRecord r;
    r.SetDesignation("  9Alp");
    EXPECT_EQ(SjisToUtf8(GreekLetterSjis(r)), "α");
    const char* abbreviations[] = {"Alp", "Bet", "Gam", "Del", "Eps", "Zet", "Eta", "The",
                                   "Iot", "Kap", "Lam", "Mu ", "Nu ", "Xi ", "Omi", "Pi ",
                                   "Rho", "Sig", "Tau", "Ups", "Phi", "Chi", "PSi", "Ome"};
    const char* letters = "αβγδεζηθικλμνξοπρστυφχψω";
    std::string all;
    for (const char* a : abbreviations) all += SjisToUtf8(GreekLetterSjis(a));
    EXPECT_EQ(all, letters);
    EXPECT_EQ(GreekLetterSjis("Psi"), "");  // psi must be spelled "PSi"
    EXPECT_EQ(GreekLetterSjis("alp"), "");
    EXPECT_EQ(GreekLetterSjis("Mu"), "");   // shorter than three bytes
    r.SetDesignation("   M31");
    EXPECT_EQ(GreekLetterSjis(r), "");

    EXPECT_EQ(KindWord(2), "球状星団 ");
    EXPECT_EQ(KindWord(7), "星雲＋球状星団 ");
    EXPECT_EQ(KindWord(8), "銀河 ");
    EXPECT_EQ(KindWord(1), "");
    EXPECT_EQ(KindWord(9), "暗黒星雲 ");
    EXPECT_EQ(KindWord(10), "");
    EXPECT_EQ(KindWord(256), "");
}
