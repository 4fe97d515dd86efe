#pragma once
// The telescope's fields of view on the magnified view: each shown eyepiece's
// true field as a circle, each shown camera's sensor as a rectangle turned by
// its rotation against the sky's north, and the finder rings, at their true
// size, labelled with name and size. They are centred on the telescope's
// position while it is known (the trace), else on the view's centre.
//
//   true field of an eyepiece = apparent field x eyepiece focal ÷ telescope focal
//   field of a sensor side    = 2 atan(side / (2 x telescope focal))
//
// An 80 mm f/7.5 refractor (600 mm) shows 2.17° with a 25 mm eyepiece of 52°,
// and 2.24° x 1.49° on a 23.5 x 15.6 mm sensor.

#include <optional>
#include <string>
#include <vector>

#include "settings/FieldOfViewSettings.h"
#include "view/Projection.h"
#include "view/ViewState.h"

namespace tavik {

struct RenderContext;
class SettingsStore;

struct FieldShape {
    enum class Kind { Eyepiece, Camera, Finder };
    Kind kind = Kind::Eyepiece;
    std::string name;       // UTF-8; empty for a finder ring
    double width = 0.0;     // radians: the diameter of a circle, the sensor's width
    double height = 0.0;    // radians: equal to width for a circle
    double rotation = 0.0;  // radians, a camera's height side from north through east
    bool IsCircle() const { return kind != Kind::Camera; }
};

// Radians.
double EyepieceTrueField(double apparentDeg, double eyepieceFocalMm, double telescopeFocalMm);
double SensorField(double sideMm, double telescopeFocalMm);

// The fields that are switched on and have a size, eyepieces first, then the
// cameras, then the finder rings.
std::vector<FieldShape> ShownFields(const FieldOfViewSettings& settings);
// The size as labels and tap texts show it (UTF-8): "2.17°", "2.24°×1.49°";
// below one degree in arcminutes ("32.5′"); a finder ring as set ("0.5°", "4°").
std::string FieldSizeText(const FieldShape& field);
// Name and size: "25mm 2.17°" (a finder ring: its size alone).
std::string FieldLabel(const FieldShape& field);

// Where the fields go on a magnified chart: the centre in chart pixels, the
// scale, and the chart directions of the sky's north and east at the centre.
struct FieldLayout {
    double x = 0.0, y = 0.0;
    double pixelsPerRadian = 0.0;
    double northX = 0.0, northY = -1.0;  // unit vectors, y downwards
    double eastX = -1.0, eastY = 0.0;
};
// Nothing outside the magnified view, or when `centre` (J2000) does not
// project. Without a centre, the view's centre.
std::optional<FieldLayout> LayoutFields(const ViewState& view, const std::optional<SkyPosition>& centre);

// True when the chart point (x, y) lies inside the field as drawn.
bool FieldHolds(const FieldShape& field, const FieldLayout& layout, double x, double y);

// The fields of the FOV settings onto the pass's chart (magnified view only),
// in the telescope trace colour of the colour mode, each labelled.
void DrawFieldsOfView(RenderContext& ctx, const std::optional<SkyPosition>& centre);

// What a tap on an object at (x, y) adds in the magnified view: " 視野:25mm,4°"
// naming the fields holding it, " 視野外" for none; empty without a field.
std::string FieldsHoldingText(const ViewState& view, const SettingsStore& settings,
                              const std::optional<SkyPosition>& centre, int x, int y);

// The magnifier zoom (tenths, 30..900) at which the widest shown field, as it
// stands turned on the chart, just fits the chart (with a small margin);
// nothing without a shown field.
std::optional<int> ZoomToFitFields(const ViewState& view, const FieldOfViewSettings& settings);

}  // namespace tavik
