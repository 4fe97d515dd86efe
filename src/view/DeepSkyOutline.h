#pragma once
// Deep-sky objects beyond their symbols: which of them a view draws at its
// scale, and the outline of a large one at its true size and position angle in
// the magnified view. No Qt.
//
// Which objects are drawn: Messier objects and named objects always; others
// with a known magnitude down to a limit that follows the scale (magnitude 10
// in the whole-sky and direction views, deeper as the magnified view zooms
// in); those without a magnitude (most nebulae) when their major axis spans
// kKeepBySizePixels on the chart, or, without a size, once the limit reaches
// kAllDeepSkyMagnitude.

#include <optional>
#include <string_view>

#include "catalog/DeepSkySizes.h"
#include "catalog/StarRecord.h"
#include "view/ViewState.h"

namespace tavik {

// An outline is drawn when the object's major axis is longer than this on the
// chart (the symbols are 5 to 7 pixels across).
inline constexpr double kSymbolPixels = 7.0;
// An object without a magnitude is drawn when it spans this much.
inline constexpr double kKeepBySizePixels = 10.0;
// The limit in the views that show the whole sky or a large part of it.
inline constexpr double kWideDeepSkyMagnitude = 10.0;
// From this limit on every object is drawn, also one without magnitude or size.
inline constexpr double kAllDeepSkyMagnitude = 14.0;

// "M" and a number: a Messier object.
bool IsMessierDesignation(std::string_view shortDesignation);

// The faintest magnitude of the deep-sky objects the view draws: 10, and in
// the magnified view 10 + 4 log10(zoom / 5x) above the 5x zoom (about 11 at
// 10x, 14 at 50x).
double DeepSkyLimitingMagnitude(const ViewState& view);

// Chart pixels per arcminute at the projection centre (the direction view's
// horizontal stretch left aside).
double PixelsPerArcmin(const ViewState& view);

// True when the view draws the object (see above); `size` may be null.
bool DeepSkyShown(const StarRecord& record, const DeepSkySize* size, double limit, double pixelsPerArcmin);

// The magnified view's field as a cone: the sky direction of the projection
// centre (unit vector, x towards RA 0, z north) and the angle to the farthest
// chart corner, in radians. Nothing outside the magnified view.
struct FieldCone {
    double x = 0.0, y = 0.0, z = 1.0;
    double radius = 0.0;
};
std::optional<FieldCone> MagnifiedField(const ViewState& view);

// An ellipse on the chart: its centre and its half axes as chart vectors.
struct ChartOutline {
    float cx = 0.0f, cy = 0.0f;
    float majorX = 0.0f, majorY = 0.0f;  // half the major axis
    float minorX = 0.0f, minorY = 0.0f;  // half the minor axis, at right angles on the sky
    // The length of the major axis in pixels.
    double MajorPixels() const;
    // The area in square pixels.
    double Area() const;
    // True when (x, y) lies inside or on the ellipse.
    bool Contains(double x, double y) const;
};

// The outline of `record` of this size in the magnified view: the sky ellipse
// (major axis at the position angle from north through east) mapped through
// the chart's local scale, orientation and handedness at the object's place,
// taken from points projected a little north and east of it. Nothing outside
// the magnified view, when the major axis is not longer than kSymbolPixels on
// the chart, or when the ellipse cannot reach the chart. `approxX`/`approxY` is
// where the object was placed (off the chart too), for the cheap reach test.
std::optional<ChartOutline> OutlineOnChart(const ViewState& view, const StarRecord& record,
                                           const DeepSkySize& size, int approxX, int approxY);

}  // namespace tavik
