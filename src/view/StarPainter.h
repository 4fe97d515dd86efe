#pragma once
// Drawing stars by magnitude: small pixel patterns with blended intensities,
// discs for bright stars (size-up) and for the Sun, the Moon and the planets,
// colours by spectral class, and dimming by light pollution, altitude and
// daylight. Stars go straight into the pixel memory of the off-screen image;
// only discs use the painter.

#include <QImage>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "view/Color.h"
#include "view/RenderContext.h"
#include "view/StarField.h"
#include "view/StarTint.h"

namespace tavik {

struct SkyBackdrop;
struct StarRecord;

// Direct access to the pixels of a Format_RGB32 image. Out-of-range coordinates
// are ignored by every write.
class PixelBuffer {
public:
    PixelBuffer() = default;
    explicit PixelBuffer(QImage& image);

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    QRgb Get(int x, int y) const { return Row(y)[x]; }
    // The pixel at (x, y) as a pointer (no range check).
    QRgb* At(int x, int y) const { return Row(y) + x; }
    void Set(int x, int y, QRgb p) { Row(y)[x] = p; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Where the pixel nearest to (x, y) is held (null for an empty image).
    const QRgb* Nearest(int x, int y) const {
        if (!bits_) return nullptr;
        return Row(std::clamp(y, 0, height_ - 1)) + std::clamp(x, 0, width_ - 1);
    }

private:
    QRgb* Row(int y) const { return reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_); }
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    int width_ = 0;
    int height_ = 0;
};

// One star pixel over `old`: with L the luminance of `old` and
// k = int((lref - L) / lref x intensity), `old` itself when k < 1, a blend of
// k per cent when k < 100, otherwise the colour itself.
inline QRgb BlendOver(QRgb old, ColorRef color, int intensity, double lref) {
    const int k = static_cast<int>((lref - PixelLuminance(old)) / lref * intensity);
    if (k < 1) return old;
    if (k >= 100) return ToQRgb(color);
    return qRgb(qRed(old) + (RedOf(color) - qRed(old)) * k / 100,
                qGreen(old) + (GreenOf(color) - qGreen(old)) * k / 100,
                qBlue(old) + (BlueOf(color) - qBlue(old)) * k / 100);
}

// Writes one star pixel (BlendOver the pixel already there).
void BlendPixel(PixelBuffer& pixels, int x, int y, ColorRef color, int intensity, double lref);
void BlendPixel(QImage& image, int x, int y, ColorRef color, int intensity, double lref);
// A plain pixel write at full intensity.
void PutPixel(PixelBuffer& pixels, int x, int y, ColorRef color);

enum class SolarBody { None, Sun, Moon, Planet };

// The settings the star painter reads once per pass.
struct StarOptions {
    int shiftTenths = 0;       // MAGN/SHIFT, or ZOOMINVIEW/SHIFT when zoomed in
    bool sizeUp = false;       // SETTING/BRIGHT
    bool brightnessUp = false; // SETTING/BRIGHT1
    bool blueOn = false;       // SETTING/BRIGHT2
    int lightPollution = 0;    // KOUGAI/REDUCE, 0..20
    bool polarView = false;
    bool daylightDisplay = false;
    Daylight daylight = Daylight::Night;
    ColorModes modes;
    ColorRef moonColor = MakeColorRef(255, 255, 0);  // slot 25, for "T" spectra
    double lref = 1.0;

    static StarOptions FromContext(const RenderContext& ctx);

    // Whether a star's altitude changes how it is drawn (only light pollution
    // dims by altitude): otherwise its magnitude alone decides.
    bool DimsByAltitude() const { return lightPollution > 0; }
};

// The magnitude a star is drawn at: shift, light pollution and altitude
// (sinAltitude), daylight and the polar view's brightening. `daylightDimmed`
// tells whether the daylight step applied (size-up is then ignored and the star
// is white).
double DrawnMagnitude(double magnitude, double sinAltitude, const StarOptions& options,
                      bool* daylightDimmed = nullptr);

// Colour of a star of catalogue magnitude `magnitude` and spectral type
// `spectral`: white, red in red mode, otherwise tinted by spectral class for
// stars brighter than 3 that are not giants ("III").
ColorRef StarColor(double magnitude, std::string_view spectral, bool daylightDimmed,
                   const StarOptions& options);
// The same from the star's tint (TintOf its magnitude and spectral type).
ColorRef StarColor(StarTint tint, bool daylightDimmed, const StarOptions& options);

// Intensity of the pixel pattern: 100 halved once per whole magnitude beyond
// 2.8, raised by a fifth with brightness-up, at most 100.
int PatternIntensity(double drawnMagnitude, bool brightnessUp);
// Number of pixels in the pattern drawn for a magnitude: 13, 9, 5, 4 or 1.
int PatternPixelCount(double drawnMagnitude);

// Disc size t of the large-disc path (t < 2 means a single blended pixel).
int DiscSize(double magnitude, int shiftTenths, bool sizeUp, bool marker);

class StarPainter {
public:
    // Reads the options from the context; the context must outlive the painter.
    explicit StarPainter(const RenderContext& ctx);
    StarPainter(const RenderContext& ctx, const StarOptions& options);

    // Draws a catalogue record (objects of type 1) at its projected point.
    void Draw(const StarRecord& star, int x, int y, double sinAltitude);
    // The same from loose values; `marker` is the '#' marker of the Sun, the
    // Moon and the planets, which always takes the disc path.
    void Draw(double magnitude, std::string_view spectral, bool marker, SolarBody body, int x,
              int y, double sinAltitude);
    // The same with the tint already worked out (the star field keeps it).
    void Draw(double magnitude, StarTint tint, bool marker, SolarBody body, int x, int y,
              double sinAltitude);

    const StarOptions& Options() const { return options_; }

    // The image the stars go into.
    const PixelBuffer& Pixels() const { return pixels_; }

    // The sky the background painter left this pass. The opacity of a large
    // disc is then measured on the sky under the star, so that a constellation
    // line or grid drawn over it does not hide the star; without it (or where
    // it is unknown) the chart pixel is measured. Must outlive the painter.
    void SetBackdrop(const SkyBackdrop* backdrop) { backdrop_ = backdrop; }

private:
    friend class FieldDrawer;
    void DrawDisc(int x, int y, int t, ColorRef color, SolarBody body);

    const RenderContext& ctx_;
    StarOptions options_;
    PixelBuffer pixels_;
    const SkyBackdrop* backdrop_ = nullptr;
};

// A catalogue star where the pass drew it.
struct DrawnStar {
    std::uint32_t index = 0;  // in the list the star field was built from
    int x = 0;
    int y = 0;
};

// Draws the catalogue stars of a pass as the star field places them, batch by
// batch in drawing order, exactly as Draw would one after the other, and
// keeps what the pass needs of them: the first stars drawn (for the hit
// list), the last one and the named ones, in drawing order.
class FieldDrawer final : public PlacedSink {
public:
    // Keeps up to `firstCount` of the first stars drawn.
    FieldDrawer(StarPainter& painter, std::size_t firstCount);
    void Take(const PlacedStar* stars, std::size_t n) override;
    std::size_t FirstNeeded() const override;
    bool DrawsNothing(double magnitude) const override;

    // Stars handed over: all of them, or more than `firstCount` (see
    // PlacedSink::FirstNeeded).
    std::size_t Count() const { return count_; }
    const std::vector<DrawnStar>& First() const { return first_; }
    DrawnStar Last() const { return last_; }  // when Count() > 0
    const std::vector<DrawnStar>& Named() const { return named_; }

private:
    StarPainter& painter_;
    std::size_t firstCount_;
    ColorRef plain_;  // an untinted star's colour
    std::size_t count_ = 0;
    std::vector<DrawnStar> first_, named_;
    DrawnStar last_;
    // What the last magnitude made of a star (neighbours in a catalogue
    // mostly share their magnitude).
    double lastMagnitude_ = std::numeric_limits<double>::quiet_NaN();
    bool dimmed_ = false, single_ = true;
    int intensity_ = 0;
};

}  // namespace tavik
