#pragma once
// Segment clipping shared by every line drawing of the chart (grids,
// constellation lines and figures, add-in polylines). No Qt.

namespace tavik {

struct ViewState;

struct PixelPoint {
    int x = 0;
    int y = 0;
};

// A client rectangle with exclusive right and bottom edges.
struct ClipRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The widest horizontal extent every caller allows for a segment whose two
// ends both lie outside the rectangle.
inline constexpr int kMaxSegmentSpan = 400;

// Decides whether the segment from..to is drawn, moving its ends when needed.
//
// Rectangle mode (every view but the planisphere): a segment inside the
// rectangle is drawn as is; otherwise it is cut to the rectangle. A segment
// with both ends outside is drawn only when it crosses the rectangle and its
// ends are at most maxSpan apart horizontally (longer ones are projection
// wrap-arounds, not real lines).
//
// Circle mode (the planisphere): the horizon circle about (chartOffsetX +
// chartHalf, chartHalf) with radius chartHalf. Both ends inside: drawn; both
// outside: not drawn; one inside: drawn whole (the line runs past the rim),
// except when both ends share their x.
bool ClipSegment(const ViewState& view, PixelPoint& from, PixelPoint& to, const ClipRect& rect,
                 bool rectangleMode, int maxSpan = kMaxSegmentSpan);

}  // namespace tavik
