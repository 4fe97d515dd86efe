#include "catalog/OverlayFile.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "TestFiles.h"
#include "catalog/ByteOrder.h"

using namespace tavik;

TEST(OverlayFile, RoundTripsThroughTheFixedArrays) {
    PolylineData p;
    for (int i = 0; i < 1000; ++i) p.Add(0.001 * i, -0.002 * i, i % 7 == 6 ? kStrokeEnd : kStrokeContinue);
    const std::string bytes = OverlayFileBytes(p);
    ASSERT_EQ(bytes.size(), 20004u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xE8\x03\x00\x00", 4));
    std::istringstream in(bytes);
    PolylineData back;
    ASSERT_TRUE(ReadOverlayFile(in, back).ok);
    EXPECT_EQ(back.codes, p.codes);
    EXPECT_EQ(back.ra, p.ra);
    EXPECT_EQ(back.dec, p.dec);

    PolylineData small;
    small.Add(1.0, 0.5, kStrokeEnd);
    std::istringstream one(OverlayFileBytes(small));
    ASSERT_TRUE(ReadOverlayFile(one, back).ok);
    EXPECT_EQ(back.size(), 1u);

    p.Add(0, 0, 2);
    EXPECT_THROW(OverlayFileBytes(p), std::invalid_argument);
}

TEST(OverlayFile, BadCountsAndShortFilesYieldNothing) {
    PolylineData p;
    p.Add(1.0, 0.5, kStrokeEnd);
    std::string bytes = OverlayFileBytes(p);
    PolylineData back;

    std::string huge = bytes;
    le::SetI32(huge, 0, 1001);
    std::istringstream a(huge);
    OverlayReadResult r = ReadOverlayFile(a, back);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(back.codes.empty());

    le::SetI32(huge, 0, -1);
    std::istringstream b(huge);
    EXPECT_FALSE(ReadOverlayFile(b, back).ok);

    std::istringstream c(bytes.substr(0, 100));
    r = ReadOverlayFile(c, back);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("too short"), std::string::npos);

    test::TempDir dir;
    EXPECT_FALSE(ReadOverlayFile(dir / "none.p92", back).ok);
}

TEST(OverlayFile, AddInTypeFromTheLowerCasedPath) {
    EXPECT_EQ(AddInType("/sky/Milkey.P92"), 92);
    EXPECT_EQ(AddInType("/sky/list.p93"), 93);
    EXPECT_EQ(AddInType("/sky/x.p95"), 95);
    EXPECT_EQ(AddInType("/sky/a.p91.p99"), 99);  // the first of .p99 ... .p91 found
    EXPECT_EQ(AddInType("/sky/drawing.p90"), 90);
    EXPECT_EQ(AddInType("/sky/notes.txt"), 90);
}

TEST(OverlayFile, CaptionedOverlayRoundTripAndDamage) {
    CaptionedOverlay o;
    for (int i = 0; i < 50; ++i) o.points.Add(0.1 * i, 0.05 * i, i == 49 ? kStrokeEnd : kStrokeContinue);
    o.caption = u"観測メモ";
    const std::string bytes = CaptionedOverlayBytes(o);
    ASSERT_EQ(bytes.size(), 4u + 1000u + 2u + 8u);
    std::istringstream in(bytes);
    CaptionedOverlay back;
    ASSERT_TRUE(ReadCaptionedOverlay(in, back).ok);
    EXPECT_EQ(back.points.ra, o.points.ra);
    EXPECT_EQ(back.points.codes, o.points.codes);
    EXPECT_EQ(back.caption, o.caption);

    // Caption cut by the end of the file: the points and what is there stay.
    std::istringstream cut(bytes.substr(0, bytes.size() - 3));
    const OverlayReadResult r = ReadCaptionedOverlay(cut, back);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(back.points.size(), 50u);
    EXPECT_EQ(back.caption, u"観測");

    std::string bad = bytes;
    le::SetI32(bad, 0, 51);
    std::istringstream tooMany(bad);
    EXPECT_FALSE(ReadCaptionedOverlay(tooMany, back).ok);
    EXPECT_TRUE(back.points.codes.empty());

    std::string negative = bytes.substr(0, 1006);
    le::SetI16(negative, 1004, -5);
    std::istringstream noCaption(negative);
    EXPECT_TRUE(ReadCaptionedOverlay(noCaption, back).ok);
    EXPECT_TRUE(back.caption.empty());

    o.points.Add(0, 0, 2);
    EXPECT_THROW(CaptionedOverlayBytes(o), std::invalid_argument);
}
