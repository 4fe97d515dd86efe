#pragma once
// The sky background of the direction, zenith and magnified views (bands,
// smooth gradient, or the horizon-framed variant), the horizon disc of the
// planisphere and polar alignment views, and the daylight sky.
//
// The band and gradient painters lay concentric ellipses from the horizon
// inwards, each over the previous one. The ellipses are similar and nested, so
// instead of filling every one of them completely the painter walks the rows
// once and fills, per row, only the ring between one ellipse and the next: every
// pixel is written once and the picture is the same as the stacked fills.

#include <vector>

#include "view/Color.h"
#include "view/RenderContext.h"

namespace tavik {

// Band height in degrees of the band painter for light-pollution level P.
int BandHeightDegrees(int lightPollution);
// Number of one-degree steps of the gradient painter for level P (a multiple of 3).
int GradientSteps(int lightPollution);

// The four night-sky colours (slots 7 to 10) as the backgrounds use them.
struct SkyColors {
    ColorRef top;     // slot 7
    ColorRef upper;   // slot 8
    ColorRef lower;   // slot 9
    ColorRef bottom;  // slot 10
};
SkyColors MapSkyColors(const ColorTable& colors, const ColorModes& modes);

// Colour of gradient step e (0 .. steps - 1).
ColorRef GradientColor(int step, int steps, const SkyColors& sky);

// One sky ellipse: centred on (cx, zenithY), horizontal radius r, bottom at
// y = bottomY (its top at 2 zenithY - bottomY).
struct SkyEllipse {
    int bottomY = 0;
    int radius = 0;
    ColorRef color = 0;
};

// The geometry shared by the ellipse painters.
struct SkyEllipseFrame {
    int cx = 0;
    int zenithY = 0;
    double aspect = 1.0;  // k: horizontal radius per unit of vertical radius
    bool valid = false;
};
SkyEllipseFrame ComputeEllipseFrame(const RenderContext& ctx);
// The bottom y of the sky ellipse for altitude `degrees`.
int EllipseBottomForAltitude(const RenderContext& ctx, double degrees);

// Ellipses of the band and gradient painters, from the horizon inwards.
std::vector<SkyEllipse> BandEllipses(const RenderContext& ctx, const SkyEllipseFrame& frame);
std::vector<SkyEllipse> GradientEllipses(const RenderContext& ctx, const SkyEllipseFrame& frame);

// Paints ellipses in order, each over the previous one (row by row, each pixel
// once). With `outside` given, every pixel outside the first ellipse is set to
// it as well, so the whole image is painted.
void PaintEllipses(QImage& image, const SkyEllipseFrame& frame, const std::vector<SkyEllipse>& ellipses,
                   const ColorRef* outside = nullptr);
// The same with one painter fill per ellipse (the plain way; kept for comparison).
void PaintEllipsesStacked(QPainter& painter, const SkyEllipseFrame& frame,
                          const std::vector<SkyEllipse>& ellipses);

// The background painter of the pass: chooses by mode, gradation, framing and
// daylight, and draws the planisphere's horizon disc. Does nothing in the
// heliocentric view or with the overwrite flag. `cache` keeps the painted sky
// between passes: while the size, the framing and the colours stay the same,
// the next pass copies it instead of painting it again.
//
// Returns what it painted, so that a star can be measured against the sky
// itself rather than against a line or grid drawn over it since.
struct BackgroundCache;
struct SkyBackdrop;
SkyBackdrop PaintSkyBackground(const RenderContext& ctx, BackgroundCache* cache = nullptr);

// True when PaintSkyBackground paints every pixel of the image (the ground
// around the sky included), so that the pass need not clear the image first.
bool BackgroundCoversImage(const RenderContext& ctx);

struct BackgroundCache {
    QImage image;
    std::vector<double> key;
};

// The sky as the background painter left it this pass: one colour (the
// planisphere's disc), a picture (the direction views' sky, kept in the
// cache), or unknown (trails kept, nothing painted, or no cache to keep it).
struct SkyBackdrop {
    const QImage* image = nullptr;
    bool uniform = false;
    QRgb color = 0;

    bool Known() const { return uniform || image != nullptr; }
    // The sky pixel at (x, y), which must lie inside the chart when the
    // backdrop is a picture.
    QRgb At(int x, int y) const {
        return image ? reinterpret_cast<const QRgb*>(image->constScanLine(y))[x] : color;
    }
};

}  // namespace tavik
