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
