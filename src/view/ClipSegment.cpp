#include "view/ClipSegment.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "view/ViewState.h"

namespace tavik {

namespace {

struct Crossing {
    float x;
    float y;
};

int RoundHalfUp(float v) { return static_cast<int>(std::floor(v + 0.5f)); }

bool ClipCircle(const ViewState& view, const PixelPoint& from, const PixelPoint& to) {
    const long long cx = view.chartOffsetX + view.chartHalf;
    const long long cy = view.chartHalf;
    const long long r = view.chartHalf;
    auto inside = [&](const PixelPoint& p) {
        const long long dx = p.x - cx, dy = p.y - cy;
        return dx * dx + dy * dy <= r * r;
    };
    const bool a = inside(from), b = inside(to);
    if (a && b) return true;
    if (!a && !b) return false;
    return from.x != to.x;
}

bool ClipRectangle(PixelPoint& from, PixelPoint& to, const ClipRect& rect, int maxSpan) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return false;
    const bool fromInside = rect.Contains(from.x, from.y);
    const bool toInside = rect.Contains(to.x, to.y);
    if (fromInside && toInside) return true;

    const int minX = std::min(from.x, to.x), maxX = std::max(from.x, to.x);
    const int minY = std::min(from.y, to.y), maxY = std::max(from.y, to.y);

    // Vertical or horizontal: cut the bounding box to the rectangle.
    if (from.x == to.x || from.y == to.y) {
        const int l = std::max(minX, rect.left), r = std::min(maxX, rect.right - 1);
        const int t = std::max(minY, rect.top), b = std::min(maxY, rect.bottom - 1);
        if (l > r || t > b) return false;
        auto clampInto = [&](PixelPoint& p) {
            p.x = std::clamp(p.x, l, r);
            p.y = std::clamp(p.y, t, b);
        };
        clampInto(from);
        clampInto(to);
        return true;
    }

    if (!fromInside && !toInside && static_cast<long long>(maxX) - minX > maxSpan) return false;

    // The line through both ends; its crossings with the four edges, each only
    // where it lies on the segment and on the edge itself.
    const float slope = static_cast<float>(to.y - from.y) / static_cast<float>(to.x - from.x);
    const float intercept = static_cast<float>(from.y) - slope * static_cast<float>(from.x);
    const float left = static_cast<float>(rect.left), right = static_cast<float>(rect.right - 1);
    const float top = static_cast<float>(rect.top), bottom = static_cast<float>(rect.bottom - 1);
    constexpr float kSlack = 1e-3f;
    Crossing crossings[4];
    int count = 0;
    auto add = [&](float x, float y) {
        if (x < minX - kSlack || x > maxX + kSlack || y < minY - kSlack || y > maxY + kSlack) return;
        if (x < left - kSlack || x > right + kSlack || y < top - kSlack || y > bottom + kSlack) return;
        for (int i = 0; i < count; ++i) {
            // A corner is met by two edges: count it once.
            if (std::fabs(crossings[i].x - x) < 0.5f && std::fabs(crossings[i].y - y) < 0.5f) return;
        }
        crossings[count++] = {x, y};
    };
    add(left, slope * left + intercept);
    add(right, slope * right + intercept);
    add((top - intercept) / slope, top);
    add((bottom - intercept) / slope, bottom);

    auto distance2 = [](const PixelPoint& p, const Crossing& c) {
        const float dx = c.x - p.x, dy = c.y - p.y;
        return dx * dx + dy * dy;
    };
    auto moveTo = [](PixelPoint& p, const Crossing& c) {
        p.x = RoundHalfUp(c.x);
        p.y = RoundHalfUp(c.y);
    };

    if (fromInside || toInside) {
        if (count < 1) return false;
        PixelPoint& outside = fromInside ? to : from;
        // The crossing nearest the outside end is where the segment leaves.
        int best = 0;
        for (int i = 1; i < count; ++i) {
            if (distance2(outside, crossings[i]) < distance2(outside, crossings[best])) best = i;
        }
        moveTo(outside, crossings[best]);
        return true;
    }
    if (count < 2) return false;
    // Both ends outside: each end moves to the nearer of the first two crossings.
    const Crossing a = crossings[0], b = crossings[1];
    if (distance2(from, a) <= distance2(from, b)) {
        moveTo(from, a);
        moveTo(to, b);
    } else {
        moveTo(from, b);
        moveTo(to, a);
    }
    return true;
}

}  // namespace

bool ClipSegment(const ViewState& view, PixelPoint& from, PixelPoint& to, const ClipRect& rect,
                 bool rectangleMode, int maxSpan) {
    // Off-screen sentinels are never joined.
    if (from.x == OffScreen || to.x == OffScreen || from.y == OffScreen || to.y == OffScreen) {
        return false;
    }
    if (!rectangleMode) return ClipCircle(view, from, to);
    return ClipRectangle(from, to, rect, maxSpan);
}

}  // namespace tavik
