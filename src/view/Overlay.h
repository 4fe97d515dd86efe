#pragma once
// Everything on the chart that is not a star, planet or background: the
// coordinate grids with their labels, the compass and height-band labels, the
// status texts, the deep-sky symbols, the polar reticle, the celestial-pole
// mark, the constellation names, lines and figures, and the Milky Way band.
// Every routine draws into the render pass's off-screen image through its
// painter, in the layer order of the pass:
//
//   background, DrawPolarReticle (polar view), DrawGrids, DrawBandLabel,
//   DrawCompassLabels, DrawConstellations, stars, DrawDeepSkyMarks,
//   DrawMilkyWay, add-ins, Sun/planets/Moon, DrawPoleMark, DrawStatusTexts.
//
// OverlayState carries what lives from pass to pass: the grid overlay image,
// the Milky Way layer, the constellation files and the constellation selection.
// The renderer owns one and hands it to the routines that need it.

#include <QFont>
#include <QImage>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "view/ClipSegment.h"
#include "catalog/LineFile.h"
#include "view/ConstellationSelection.h"
#include "view/RenderContext.h"

class QPaintDevice;
class QPainter;

namespace tavik {

// Grid labels drawn once per font and text into a small image and kept as the
// pixels they ink, so that a pass stamps them instead of laying out text again.
// The font is drawn without antialiasing, so a label is exactly its inked pixels.
class LabelStamps {
public:
    // Drops the stamps when the font differs from the one they were made with.
    void UseFont(const QFont& font);
    // The pixels the text inks, as offsets from the label's top-left corner.
    const std::vector<PixelPoint>& Get(const std::string& text);

private:
    QFont font_;
    bool haveFont_ = false;
    std::unordered_map<std::string, std::vector<PixelPoint>> stamps_;
};

struct OverlayState {
    // The grid overlay, 8-bit indexed: index 0 is the key colour (1, 1, 1)
    // wherever nothing is drawn, 1 to 3 the colours of the three grids.
    QImage gridLayer;
    LabelStamps gridLabels;
    QImage milkyLayer;  // broad strokes of the Milky Way band (Alpha8, 0 = nothing)
    LineFileReader lineFile;    // tavikline.dat
    LineFileReader figureFile;  // tavikconste.dat
    ConstellationPolyline polyline;  // read buffer, reused for every constellation
    ConstellationSelection selection;
};

// The switches the overlays read from the settings store once per pass.
struct OverlaySwitches {
    bool groundScale = false;     // SCREEN/GRAND_S
    bool equatorialGrid = false;  // SCREEN/SEKIDO_S
    bool eclipticGrid = false;    // SCREEN/KOUDOU_S (non-zero)
    bool showPole = false;        // SETTING/SHOW_POLER
    bool hideSite = false;        // OPTION2/NO_KANSOKU
    bool deepSky = false;         // SETTING/MESIE
    bool constellationNames = false;  // SETTING/SEIZA
    bool constellationLines = false;  // SEIZA/LINE
    bool constellationFigures = false;  // SEIZA/PICT
    bool figuresInPlanisphere = true;   // !OPTION2/SEIZAE_NOT_QUICK
    bool filesInMemory = false;   // MEMORY/SEIZE_FILES
    bool milkyWay = false;        // SHOW/MILKEY

    static OverlaySwitches Load(const SettingsStore& store);
};

// ---- shared geometry ------------------------------------------------------

// The client rectangle of the pass; with cutToChart the bottom is cut to the
// chart square (constellation lines).
ClipRect ClientRect(const RenderContext& ctx, bool cutToChart = false);
// Rectangle clipping everywhere but in the planisphere.
bool RectangleMode(const RenderContext& ctx);

// A polyline on the sky (stroke code 2 ends a stroke), as held by the line,
// figure and add-in files.
struct SkyPolyline {
    int count = 0;
    const std::int32_t* codes = nullptr;
    const double* ra = nullptr;   // radians
    const double* dec = nullptr;  // radians
};

// Projects each vertex (azimuth clipping following the wide-framing flag; a
// rejected vertex breaks the run) and joins consecutive vertices through
// ClipSegment with the painter's current pen. Returns the last drawn point, or
// a point with x == OffScreen when nothing was drawn.
PixelPoint DrawSkyPolyline(const RenderContext& ctx, QPainter& painter, const SkyPolyline& line,
                           const ClipRect& rect, int maxSpan = kMaxSegmentSpan);

// ---- layers ---------------------------------------------------------------

// The key colour of the grid overlay.
inline constexpr QRgb kGridKey = 0xFF010101u;
// Prepares `layer` (Format_Indexed8, colour 0 the key) as the grid overlay for
// an image of the pass's size: recreated (all key) when the size changes.
void PrepareGridLayer(QImage& layer, int width, int height);
// Draws a one-pixel line in colour `index` into the layer, the same pixels as a
// QPainter with a cosmetic solid pen (square caps, no antialiasing) would set.
void DrawLayerLine(QImage& layer, PixelPoint from, PixelPoint to, int index);
// Blends every non-key pixel of `layer` onto `image` at `percent` opacity and
// puts the key back, so that the layer is ready for the next pass without a
// refill.
void BlendAndClearLayer(QImage& image, QImage& layer, int percent = 80);

// ---- painters -------------------------------------------------------------

// Grid painters, each in its grid's colour, drawing into `state.gridLayer`.
void DrawGroundScale(const RenderContext& ctx, OverlayState& state);
void DrawEquatorialGrid(const RenderContext& ctx, OverlayState& state);
void DrawEclipticGrid(const RenderContext& ctx, OverlayState& state);
// The three grids as switched on, each through the overlay at 80 per cent.
void DrawGrids(RenderContext& ctx, OverlayState& state);

void DrawPolarReticle(RenderContext& ctx);
void DrawCompassLabels(RenderContext& ctx);
void DrawBandLabel(RenderContext& ctx);
void DrawStatusTexts(RenderContext& ctx);
void DrawPoleMark(RenderContext& ctx);

// The positions of the records in `catalogue` that are not stars, ascending,
// for RenderContext::catalogueObjects.
std::vector<std::size_t> CatalogueObjects(const std::vector<const StarRecord*>& catalogue);

// Deep-sky symbols of catalogue objects of kinds 2..9 (while SETTING/MESIE is
// on): those DeepSkyShown keeps at the view's scale, each with its symbol, and
// in the magnified view a large one also with its outline at true size and
// angle (DeepSkyOutline.h); their designations as DrawDeepSkyDesignations
// writes them. `selection` may be null (no filter).
void DrawDeepSkyMarks(RenderContext& ctx, const ConstellationSelection* selection = nullptr);
// One deep-sky symbol at (x, y) with the painter's current pen.
void DrawDeepSkySymbol(QPainter& painter, int kind, int x, int y, const QColor& color);
// The outline of a large object in one-pixel lines (dashed for a dark nebula).
struct ChartOutline;
void DrawDeepSkyOutline(QPainter& painter, int kind, const ChartOutline& outline, const QColor& color);

// Constellation names (slot 13), figures (slot 0) and lines (slot 20) for every
// constellation whose anchor point is on the chart, as switched on.
void DrawConstellations(RenderContext& ctx, OverlayState& state);
// The lines (or figure) of one constellation by abbreviation; nothing when the
// file, the constellation or the view mode does not allow it.
void DrawConstellationPolyline(RenderContext& ctx, LineFileReader& file,
                               ConstellationPolyline& buffer, std::string_view abbreviation,
                               const QColor& color);

// The figure and/or lines of the tapped constellation `abbreviation` (the
// tap text's "selected constellation" options), drawn like the chart's own.
void DrawTappedConstellation(RenderContext& ctx, OverlayState& state, std::string_view abbreviation,
                             bool figure, bool lines);

// Star names in the direction views (BRSTAR/NAME): the bright named stars the
// pass drew, each name written to the upper right of its star.
struct LabelledStar {
    const StarRecord* record = nullptr;
    int x = 0;
    int y = 0;
};
bool IsBrightNamedStar(const StarRecord& star);
void DrawStarNames(RenderContext& ctx, const std::vector<LabelledStar>& stars);

// A deep-sky object's designation beside its symbol (MESSIE/NUMBER, direction views).
void DrawDeepSkyDesignation(RenderContext& ctx, const StarRecord& object, int x, int y);
// The designations of the objects the pass drew: Messier objects first, then
// the brighter, each written unless it would overlap one already written (the
// crowd of the deep set, as sparse as the star names).
void DrawDeepSkyDesignations(RenderContext& ctx, std::vector<LabelledStar> objects);

// The Milky Way band from Milkey.p92 in the data directory (while SHOW/MILKEY
// is on), painted as broad strokes into a layer and blended onto the chart.
void DrawMilkyWay(RenderContext& ctx, OverlayState& state);

// The rows of text at the bottom of the client area, h the text height and B
// the client's bottom, each kept for its own text so that none is written over
// another: from the bottom up the three status lines (3h + 2 pixels), the
// notice line, and in the direction-type views the height-band label and the
// compass names, which stay right below the chart square when there is room.
int NoticeTop(int clientHeight, int textHeight);
int CompassRowTop(int chartSize, int clientHeight, int textHeight);

// The one-line notice at the bottom-left of the window, on the notice line
// above the status lines, in colours of the display mode that stand apart
// (red text on the red mode's dark sky). `target` is the window surface.
void ShowNotice(QPaintDevice& target, int clientHeight, const QFont& font, const QString& text,
                const ColorTable& colors, const ColorModes& modes);

// The site lines of the status texts (UTF-8): "東経%d度%d分" / "西経%d度%d分"
// and "北緯%d度%d分" / "南緯%d度%d分", west and south with both numbers made
// positive.
std::string LongitudeText(int degrees, int minutes);
std::string LatitudeText(int degrees, int minutes);

// The 16 compass names from south through west (UTF-8).
const char* CompassName(int index);

}  // namespace tavik
