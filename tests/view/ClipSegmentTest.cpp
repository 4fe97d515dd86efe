#include <gtest/gtest.h>

#include "view/ClipSegment.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

class ClipSegmentTest : public ::testing::Test {
protected:
    ClipSegmentTest() {
        view_.viewMode = ViewMode::Direction;
        UpdateChartGeometry(view_, 320, 240);
        RefreshViewState(view_);
    }
    bool Clip(PixelPoint& a, PixelPoint& b, bool rectangleMode = true, int span = kMaxSegmentSpan) {
        return ClipSegment(view_, a, b, rect_, rectangleMode, span);
    }
    ViewState view_;
    ClipRect rect_{0, 0, 320, 240};
};

TEST_F(ClipSegmentTest, InsideSegmentIsKept) {
    PixelPoint a{10, 20}, b{300, 200};
    EXPECT_TRUE(Clip(a, b));
    EXPECT_EQ(a.x, 10);
    EXPECT_EQ(a.y, 20);
    EXPECT_EQ(b.x, 300);
    EXPECT_EQ(b.y, 200);
}

TEST_F(ClipSegmentTest, OneEndOutsideMovesToTheEdge) {
    PixelPoint a{100, 100}, b{500, 100 + 400};  // leaves through the bottom edge
    EXPECT_TRUE(Clip(a, b));
    EXPECT_EQ(a.x, 100);
    EXPECT_EQ(a.y, 100);
    EXPECT_EQ(b.y, 239);
    EXPECT_EQ(b.x, 239);
    // Leaving through the left edge.
    PixelPoint c{-50, 50}, d{50, 150};
    EXPECT_TRUE(Clip(c, d));
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, 100);
    EXPECT_EQ(d.x, 50);
}

TEST_F(ClipSegmentTest, AxisAlignedSegmentsAreCutToTheRectangle) {
    PixelPoint a{50, -100}, b{50, 500};
    EXPECT_TRUE(Clip(a, b));
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(b.y, 239);
    PixelPoint c{-10, 30}, d{1000, 30};
    EXPECT_TRUE(Clip(c, d));
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(d.x, 319);
    PixelPoint e{400, 30}, f{500, 30};  // entirely to the right
    EXPECT_FALSE(Clip(e, f));
}

TEST_F(ClipSegmentTest, BothEndsOutsideHonoursMaximumSpan) {
    // Crossing the chart diagonally, 400 pixels apart horizontally: drawn.
    PixelPoint a{-40, -10}, b{360, 250};
    EXPECT_TRUE(Clip(a, b));
    EXPECT_TRUE(rect_.Contains(a.x, a.y));
    EXPECT_TRUE(rect_.Contains(b.x, b.y));
    EXPECT_LT(a.x, b.x);  // each end moved to its own side
    // 401 apart: a wrap-around, not drawn.
    PixelPoint c{-40, -10}, d{361, 250};
    EXPECT_FALSE(Clip(c, d));
    // Both outside and missing the rectangle.
    PixelPoint e{-100, -50}, f{50, -10};
    EXPECT_FALSE(Clip(e, f));
}

TEST_F(ClipSegmentTest, OffScreenEndsAreNeverJoined) {
    PixelPoint a{OffScreen, OffScreen}, b{10, 10};
    EXPECT_FALSE(Clip(a, b));
    EXPECT_FALSE(Clip(b, a, false));
}

TEST_F(ClipSegmentTest, CircleModeInThePlanisphere) {
    view_.viewMode = ViewMode::Planisphere;
    UpdateChartGeometry(view_, 240, 240);  // circle about (120, 120), radius 120
    PixelPoint a{120, 120}, b{130, 130};
    EXPECT_TRUE(Clip(a, b, false));
    // One end inside, one outside: drawn whole, not cut at the rim.
    PixelPoint c{120, 120}, d{300, 260};
    EXPECT_TRUE(Clip(c, d, false));
    EXPECT_EQ(d.x, 300);
    EXPECT_EQ(d.y, 260);
    // ... unless both ends share their x.
    PixelPoint e{120, 120}, f{120, 400};
    EXPECT_FALSE(Clip(e, f, false));
    // Both outside the circle (even though the square corners are inside the rectangle).
    PixelPoint g{2, 2}, h{238, 2};
    EXPECT_FALSE(Clip(g, h, false));
}

}  // namespace
}  // namespace tavik
