#include "view/StarPainter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

#include "catalog/StarRecord.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "view/Background.h"
#include "view/StarField.h"
#include "view/ViewState.h"

namespace tavik {

PixelBuffer::PixelBuffer(QImage& image)
    : bits_(image.bits()),
      stride_(image.bytesPerLine()),
      width_(image.width()),
      height_(image.height()) {}

void BlendPixel(PixelBuffer& pixels, int x, int y, ColorRef color, int intensity, double lref) {
    if (pixels.Contains(x, y)) pixels.Set(x, y, BlendOver(pixels.Get(x, y), color, intensity, lref));
}

void BlendPixel(QImage& image, int x, int y, ColorRef color, int intensity, double lref) {
    PixelBuffer pixels(image);
    BlendPixel(pixels, x, y, color, intensity, lref);
}

void PutPixel(PixelBuffer& pixels, int x, int y, ColorRef color) {
    if (pixels.Contains(x, y)) pixels.Set(x, y, ToQRgb(color));
}

StarOptions StarOptions::FromContext(const RenderContext& ctx) {
    StarOptions o;
    const SettingsStore& s = *ctx.settings;
    o.shiftTenths = ctx.zoomedIn ? ReadSettingInt(s, "ZOOMINVIEW", "SHIFT")
                                 : ReadSettingInt(s, "MAGN", "SHIFT");
    o.sizeUp = s.GetProfileInt("SETTING", "BRIGHT", 0) == 1;
    o.brightnessUp = s.GetProfileInt("SETTING", "BRIGHT1", 0) == 1;
    o.blueOn = s.GetProfileInt("SETTING", "BRIGHT2", 0) == 1;
    o.lightPollution = std::clamp(s.GetProfileInt("KOUGAI", "REDUCE", 0), 0, 20);
    o.polarView = ctx.view && ctx.view->viewMode == ViewMode::PolarAlignment;
    o.daylightDisplay = ctx.daylightDisplay;
    o.daylight = ctx.daylight;
    o.modes = ctx.modes;
    o.moonColor = ctx.colors ? (*ctx.colors)[slot::kMoon] : ColorTable::DefaultColor(slot::kMoon);
    o.lref = ctx.lref;
    return o;
}

namespace {

// DrawnMagnitude and PatternIntensity, here for the star field's loop to inline.
inline double Drawn(double magnitude, double s, const StarOptions& o, bool& dimmed) {
    double m = magnitude + o.shiftTenths * 0.1;
    const int p = o.lightPollution;
    if (p > 10) {
        const double t = (p - 10) / 22.0 + 0.5;
        if (s < t) m += (t - s) / t * 8.0;
    } else if (p > 0 && s < 0.5) {  // p first: the altitude test is a coin toss per star
        m += (0.5 - s) * p;
    }
    dimmed = false;
    if (o.daylightDisplay && o.daylight != Daylight::Night && m > -4.0) {
        m += o.daylight == Daylight::Twilight ? 1.0 : 2.5;
        dimmed = true;
    }
    if (o.polarView) m -= 5.0;
    return m;
}

// value halved `times` times, for the values here (0..120): a shift.
inline int Halved(int value, int times) {
    if (value <= 0 || times <= 0) return value;
    return times >= 31 ? 0 : value >> times;
}

// Whole magnitudes beyond `from`, truncated toward zero, never negative, and
// bounded so that an absurd magnitude cannot spin the halving loop.
int HalvingCount(double m, double from) {
    const double d = m - from;
    if (!(d > 0.0)) return 0;
    return d > 64.0 ? 64 : static_cast<int>(d);
}

inline int Intensity(double m, bool brightnessUp) {
    int i = Halved(100, HalvingCount(m, 2.8));
    if (brightnessUp) i += i / 5;
    return std::min(i, 100);
}

}  // namespace

double DrawnMagnitude(double magnitude, double s, const StarOptions& o, bool* daylightDimmed) {
    bool dimmed = false;
    const double m = Drawn(magnitude, s, o, dimmed);
    if (daylightDimmed) *daylightDimmed = dimmed;
    return m;
}

namespace {

struct Rgb {
    double r, g, b;
};

// Applies the factor of one spectral letter; returns false for "T" (the colour
// is replaced instead).
void ApplySpectralLetter(char letter, bool blueOn, ColorRef moonColor, Rgb& c) {
    switch (letter) {
        case 'O':
        case 'B':
            if (blueOn) c = {c.r * 0.3, c.g * 0.3, c.b * 1.5};
            break;
        case 'F': c = {c.r * 1.3, c.g * 1.3, c.b * 0.7}; break;
        case 'G': c = {c.r * 1.3, c.g * 1.3, c.b * 0.4}; break;
        case 'K': c = {c.r * 1.3, c.g * 0.65, c.b * 0.4}; break;
        case 'M': c = {c.r * 1.4, c.g * 0.5, c.b * 0.5}; break;
        case 'T':
            c = {static_cast<double>(RedOf(moonColor)), static_cast<double>(GreenOf(moonColor)),
                 static_cast<double>(BlueOf(moonColor))};
            break;
        default: break;
    }
}

}  // namespace

ColorRef StarColor(double magnitude, std::string_view spectral, bool daylightDimmed,
                   const StarOptions& o) {
    return StarColor(TintOf(magnitude, spectral), daylightDimmed, o);
}

ColorRef StarColor(StarTint tint, bool daylightDimmed, const StarOptions& o) {
    if (o.modes.red) return MakeColorRef(255, 0, 0);
    if (o.modes.noColor || daylightDimmed || !tint.first) return kWhite;
    Rgb c{255.0, 255.0, 255.0};
    ApplySpectralLetter(tint.first, o.blueOn, o.moonColor, c);
    if (tint.second) ApplySpectralLetter(tint.second, o.blueOn, o.moonColor, c);
    const double mx = std::max({c.r, c.g, c.b});
    if (mx > 255.0) {
        const double f = 255.0 / mx;
        c = {c.r * f, c.g * f, c.b * f};
    }
    auto byte = [](double v) { return static_cast<int>(std::clamp(v, 0.0, 255.0)); };
    return MakeColorRef(byte(c.r), byte(c.g), byte(c.b));
}

namespace {

// The integer part (toward zero) of a size computed from a magnitude, bounded
// far beyond any drawable size so that an absurd magnitude cannot overflow it.
int WholeSize(double v) {
    if (!(v == v)) return 0;
    return static_cast<int>(std::clamp(v, -1e6, 1e6));
}

constexpr int kMaxDisc = 38;  // the largest disc the size options give, and then some

}  // namespace

int PatternIntensity(double m, bool brightnessUp) { return Intensity(m, brightnessUp); }

int PatternPixelCount(double m) {
    if (m < -0.3) return 13;
    if (m < 0.4) return 9;
    if (m < 1.4) return 5;
    if (m < 2.8) return 4;
    return 1;
}

int DiscSize(double m, int shiftTenths, bool sizeUp, bool marker) {
    if (marker && !sizeUp) return 4 - WholeSize(m);
    const double n = m + shiftTenths * 0.1;
    if (m > 1.0) return WholeSize(5.5 - n);
    if (m > 0.5) return WholeSize(5.0 - n);
    if (m > 0.0) return WholeSize(4.5 - n);
    return 4 - WholeSize(n);
}

StarPainter::StarPainter(const RenderContext& ctx)
    : StarPainter(ctx, StarOptions::FromContext(ctx)) {}

StarPainter::StarPainter(const RenderContext& ctx, const StarOptions& options)
    : ctx_(ctx), options_(options), pixels_(*ctx.image) {}

void StarPainter::Draw(const StarRecord& star, int x, int y, double sinAltitude) {
    SolarBody body = SolarBody::None;
    if (star.IsSolarPlaceholder()) {
        if (star.kind == SolarPlaceholderKind(kSolarSun))
            body = SolarBody::Sun;
        else if (star.kind == SolarPlaceholderKind(kSolarMoon))
            body = SolarBody::Moon;
        else
            body = SolarBody::Planet;
    }
    Draw(star.mag, TintOf(star.mag, star.SpectralText()), star.IsSolarPlaceholder(), body, x, y,
         sinAltitude);
}

void StarPainter::Draw(double magnitude, std::string_view spectral, bool marker, SolarBody body,
                       int x, int y, double sinAltitude) {
    Draw(magnitude, TintOf(magnitude, spectral), marker, body, x, y, sinAltitude);
}

void StarPainter::Draw(double magnitude, StarTint tint, bool marker, SolarBody body, int x, int y,
                       double sinAltitude) {
    const StarOptions& o = options_;
    const ColorModes& modes = o.modes;
    if (!(magnitude == magnitude)) return;  // not a number: nothing to draw

    if (modes.whiteOnBlack || modes.blackOnWhite) {
        const double shifted = magnitude + o.shiftTenths * 0.1;
        int base = 3;
        if (o.sizeUp && o.brightnessUp) base = 7;
        else if (o.brightnessUp) base = 5;
        else if (o.sizeUp) base = 4;
        const int d = base - WholeSize(shifted);
        const ColorRef c = modes.whiteOnBlack ? kWhite : kBlack;
        if (d > 2) {
            const int r = std::min(d / 2, 200);
            QPainter& p = *ctx_.painter;
            p.save();
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(ToQColor(c));
            p.setBrush(ToQColor(c));
            p.drawEllipse(QRect(x - r, y - r, 2 * r, 2 * r));
            p.restore();
        } else {
            PutPixel(pixels_, x, y, modes.red ? kPureRed : c);
        }
        return;
    }

    bool daylightDimmed = false;
    const double m = DrawnMagnitude(magnitude, sinAltitude, o, &daylightDimmed);
    const ColorRef color = StarColor(tint, daylightDimmed, o);
    const bool sizeUp = o.sizeUp && !daylightDimmed;

    if (sizeUp || marker) {
        const int t = DiscSize(magnitude, o.shiftTenths, sizeUp, marker);
        int intensity = Halved(100, HalvingCount(m, 2.0));
        if (o.brightnessUp) intensity += intensity / 5;
        if (t < 2) {
            BlendPixel(pixels_, x, y, color, intensity, o.lref);
        } else {
            // The Sun's disc is a warm white, or red in night-vision mode.
            const ColorRef sun = modes.red ? MakeColorRef(255, 0, 0) : MakeColorRef(255, 214, 214);
            DrawDisc(x, y, t, body == SolarBody::Sun ? sun : color, body);
        }
        return;
    }

    const int intensity = PatternIntensity(m, o.brightnessUp);
    auto put = [&](int dx, int dy) { BlendPixel(pixels_, x + dx, y + dy, color, intensity, o.lref); };
    put(0, 0);
    if (m < -0.3) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (dx != 0 || dy != 0) put(dx, dy);
        put(0, -2);
        put(0, 2);
        put(-2, 0);
        put(2, 0);
    } else if (m < 0.4) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (dx != 0 || dy != 0) put(dx, dy);
    } else if (m < 1.4) {
        put(-1, 0);
        put(1, 0);
        put(0, -1);
        put(0, 1);
    } else if (m < 2.8) {
        put(1, 1);
        put(0, 1);
        put(1, 0);
    }
}

namespace {

// What a magnitude makes of a star of a field, at sine of altitude s: a
// single pixel of `intensity` (as Draw would blend it) or, where `single` is
// false, whatever Draw draws.
struct FieldLook {
    bool dimmed = false;  // by daylight
    bool single = true;
    int intensity = 0;
};

FieldLook LookOf(double magnitude, double s, const StarOptions& o) {
    FieldLook look;
    const double m = Drawn(magnitude, s, o, look.dimmed);
    if (o.sizeUp && !look.dimmed) {
        look.intensity = Halved(100, HalvingCount(m, 2.0));
        if (o.brightnessUp) look.intensity += look.intensity / 5;
        look.single = DiscSize(magnitude, o.shiftTenths, true, false) < 2;
    } else {
        look.intensity = Intensity(m, o.brightnessUp);
        look.single = !(m < 2.8);
    }
    return look;
}

}  // namespace

FieldDrawer::FieldDrawer(StarPainter& painter, std::size_t firstCount)
    : painter_(painter),
      firstCount_(firstCount),
      plain_(StarColor(StarTint{}, false, painter.options_)) {}  // untinted, dimmed or not

std::size_t FieldDrawer::FirstNeeded() const {
    // One more than the hit list takes tells whether more stars were drawn.
    return firstCount_ == std::numeric_limits<std::size_t>::max() ? firstCount_ : firstCount_ + 1;
}

bool FieldDrawer::DrawsNothing(double magnitude) const {
    const StarOptions& o = painter_.options_;
    if (o.modes.whiteOnBlack || o.modes.blackOnWhite) return false;  // every star through Draw
    if (!(magnitude == magnitude)) return true;
    // Light pollution only ever adds to the magnitude, which never brightens
    // a single pixel nor makes it more: high in the sky (s = 1) is undimmed.
    // (So is a fainter magnitude: intensity falls as the magnitude grows.)
    const FieldLook look = LookOf(magnitude, 1.0, o);
    return look.single && look.intensity == 0;
}

void FieldDrawer::Take(const PlacedStar* stars, std::size_t n) {
    const StarOptions& o = painter_.options_;
    PixelBuffer& pixels = painter_.pixels_;
    if (n == 0) return;
    for (std::size_t i = 0; i < n; ++i) {
        const PlacedStar& pt = stars[i];
        if (count_ + i < firstCount_) first_.push_back({pt.index, pt.x, pt.y});
        if (pt.named) named_.push_back({pt.index, pt.x, pt.y});
    }
    count_ += n;
    last_ = {stars[n - 1].index, stars[n - 1].x, stars[n - 1].y};
    // The two-colour modes draw discs through the painter: Draw, star by star.
    if (o.modes.whiteOnBlack || o.modes.blackOnWhite) {
        for (std::size_t i = 0; i < n; ++i) {
            const PlacedStar& pt = stars[i];
            painter_.Draw(pt.magnitude, pt.tint, false, SolarBody::None, pt.x, pt.y, pt.sinAltitude);
        }
        return;
    }

    // Nearly every star of a large field is a single blended pixel: those are
    // written here with Draw's own arithmetic (brighter stars, patterns and
    // discs, go through Draw). The stars come in drawing order (the last
    // record first), which the sky scatters over the whole image, so nearly
    // every pixel misses the cache: the pixel of a star some places ahead is
    // fetched while this one is drawn, so that those fetches overlap.
    constexpr std::size_t kAhead = 32;
    // What a magnitude makes of a star is kept from one star to the next, as
    // neighbours in a catalogue mostly share their magnitude, unless the
    // altitude counts too. A single pixel of intensity 0 leaves the chart as
    // it was (BlendOver's k is 0 whatever the pixel): such a star is counted
    // and kept for the hits, and its pixel neither fetched nor touched.
    const bool byMagnitude = !o.DimsByAltitude();
    for (std::size_t i = 0; i < n; ++i) {
        const PlacedStar& ahead = stars[std::min(i + kAhead, n - 1)];
        if (!(byMagnitude && ahead.magnitude == lastMagnitude_ && single_ && intensity_ == 0))
            __builtin_prefetch(pixels.Nearest(ahead.x, ahead.y), 1);
        const PlacedStar& pt = stars[i];
        if (!(pt.magnitude == pt.magnitude)) continue;  // Draw draws nothing
        if (!(byMagnitude && pt.magnitude == lastMagnitude_)) {
            lastMagnitude_ = pt.magnitude;
            const FieldLook look = LookOf(pt.magnitude, pt.sinAltitude, o);
            dimmed_ = look.dimmed;
            single_ = look.single;
            intensity_ = look.intensity;
        }
        if (!single_) {
            painter_.Draw(pt.magnitude, pt.tint, false, SolarBody::None, pt.x, pt.y, pt.sinAltitude);
        } else if (intensity_ > 0 && pixels.Contains(pt.x, pt.y)) {
            QRgb* p = pixels.At(pt.x, pt.y);
            *p = BlendOver(*p, pt.tint.first ? StarColor(pt.tint, dimmed_, o) : plain_, intensity_, o.lref);
        }
    }
}

void StarPainter::DrawDisc(int x, int y, int t, ColorRef color, SolarBody body) {
    constexpr int kMaxDisc = 38;  // the largest disc the size options give, and then some
    t = std::min(t, kMaxDisc);
    const int half = t / 2;  // the disc lies within x - t/2 .. x + t/2

    int opacity = 100;
    if (body != SolarBody::Sun && body != SolarBody::Moon) {
        if (!pixels_.Contains(x, y)) return;
        const QRgb under =
            backdrop_ && backdrop_->Known() ? backdrop_->At(x, y) : pixels_.Get(x, y);
        opacity = static_cast<int>((options_.lref - PixelLuminance(under)) / options_.lref * 100);
        if (opacity < 1) return;
        opacity = std::min(opacity, 100);
    }

    // A filled disc of diameter t + 1 centred on the point's pixel: the pixels
    // whose centres lie within it (a quarter pixel in from its edge, so that
    // the rim is round); the corners of the square keep the sky beneath them.
    const double radius = (t + 1) / 2.0 - 0.25;
    const int r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
    for (int dy = -half; dy <= half; ++dy) {
        for (int dx = -half; dx <= half; ++dx) {
            if (dx * dx + dy * dy > radius * radius) continue;
            const int px = x + dx, py = y + dy;
            if (!pixels_.Contains(px, py)) continue;
            const QRgb old = pixels_.Get(px, py);
            pixels_.Set(px, py,
                        qRgb(qRed(old) + (r - qRed(old)) * opacity / 100,
                             qGreen(old) + (g - qGreen(old)) * opacity / 100,
                             qBlue(old) + (b - qBlue(old)) * opacity / 100));
        }
    }
}

}  // namespace tavik
