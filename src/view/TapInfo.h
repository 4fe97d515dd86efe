#pragma once
// What a tap writes beside the object it found: the two text lines, the
// tapped constellation's figure and lines where the "selected constellation"
// options ask for them, and where the lines go on the chart.

#include <QImage>
#include <QString>

#include <optional>
#include <string>

#include "catalog/DeepSkySizes.h"
#include "catalog/StarRecord.h"

namespace tavik {

class SettingsStore;
struct ViewState;

// The switches the tap text depends on, read from the settings store.
struct TapTextOptions {
    bool planisphere = false;  // no Moon age in the planisphere
    double moonAge = 0.0;      // days
    bool selectedFigure = true;  // SEIZA/PICT_SMART
    bool selectedName = true;    // SEIZA/NAME_SMART
    bool selectedLines = true;   // SEIZA/LINES
    bool namesOn = false;        // SETTING/SEIZA
    bool figuresOn = false;      // SEIZA/PICT
    bool linesOn = false;        // SEIZA/LINE

    static TapTextOptions Load(const SettingsStore& store, const ViewState& view, double moonAge);
};

struct TapText {
    std::optional<std::string> first;   // UTF-8
    std::optional<std::string> second;  // UTF-8
    // The tapped constellation (abbreviation) and which of its layers to draw.
    std::string constellation;
    bool drawFigure = false;
    bool drawLines = false;
};

// The text for a tapped record (not a tap mark: those run their action). A
// deep-sky object's size, when known, ends the second line.
TapText ComposeTapText(const StarRecord& record, const TapTextOptions& options,
                       const DeepSkySize* size = nullptr);

// A deep-sky size as the tap text shows it (UTF-8): "178′×70′", a round one
// "8′"; below 10′ with one decimal ("3.2′×1.5′"). Empty for no sound size.
std::string SizeText(const DeepSkySize& size);

// " %3.1f等" of mag + 0.05 (UTF-8): 1.25 gives " 1.3等".
std::string MagnitudeText(double mag);

// Where the lines go: each starts at the object's x, moved left so that it
// ends at the right edge; the first at the object's y (tops of the lines), one
// line higher when it would pass the bottom; the second one line below the
// first, or one line above it when it would pass the bottom.
struct TapTextPlacement {
    int firstX = 0, firstY = 0;
    int secondX = 0, secondY = 0;
};
TapTextPlacement PlaceTapText(int x, int y, int firstWidth, int secondWidth, int lineHeight,
                              int clientWidth, int clientHeight);

// The tap font: the view font at FONT/SIZE, 1.3 times (truncated) with TAPFONT/ENLARGE.
int TapFontTenths(const SettingsStore& store);

// Draws the lines onto `image` (transparent background) in `color`.
void DrawTapText(QImage& image, const TapText& text, int x, int y, int fontTenths, const QColor& color);

}  // namespace tavik
