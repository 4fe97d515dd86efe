#pragma once
// What one render pass hands to every drawing routine: the off-screen image and
// a painter open on it, the view state, the colours and their mode, the site and
// the moment with the per-pass astronomy values, the settings and the font.
//
// The context is filled by SkyRenderer at the start of a pass and lives only
// for that pass. Drawing routines may change the painter's pen, brush and font
// but leave the painter's transform alone; they never keep pointers into the
// context after they return.
//
// Off-screen image: QImage::Format_RGB32. Each pixel is one 32-bit word
// 0xFFRRGGBB; on the little-endian hosts we build for, its bytes in memory are
// blue, green, red, 0xFF. The first three bytes of every pixel are therefore the
// blue-green-red triple of a 24-bit device-independent bitmap; the JPEG capture
// reads bytes 0..2 of each 4-byte pixel (row stride bytesPerLine()) as B, G, R.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "view/Color.h"

namespace tavik {

class HitList;
struct MinorBody;
struct DeepSkySize;
class SettingsStore;
struct StarRecord;
struct ViewState;

// Daylight state of the pass, from the Sun's altitude.
enum class Daylight { Night = 0, Twilight = 1, Day = 2 };

struct RenderContext {
    // --- target -----------------------------------------------------------
    QImage* image = nullptr;      // Format_RGB32, clientWidth x clientHeight
    QPainter* painter = nullptr;  // active on *image
    int clientWidth = 0;
    int clientHeight = 0;

    // --- view ---------------------------------------------------------------
    const ViewState* view = nullptr;  // framing, mode, facing, turn (turnRadians fresh)
    const SettingsStore* settings = nullptr;
    // Magnified view at or above the zoom threshold ZOOMINVIEW/UPTO: the zoom
    // star shift and limiting magnitude apply.
    bool zoomedIn = false;
    // Overwrite (trail) flag: no clearing and no sky background this pass.
    bool overwrite = false;

    // --- colours ------------------------------------------------------------
    const ColorTable* colors = nullptr;
    ColorModes modes;
    double lref = 1.0;  // Luminance of slot 9: stars vanish on pixels this bright

    // MapColor of a user colour slot.
    ColorRef Mapped(int slotIndex) const { return MapColor((*colors)[slotIndex], modes); }
    QColor MappedQColor(int slotIndex) const { return ToQColor(Mapped(slotIndex)); }
    // The brush that clears the client area: slot 17, turned red with the sky in
    // red mode unless the background is kept (and white in black-on-white).
    ColorRef Background() const { return MapSkyColor((*colors)[slot::kBackground], modes); }
    QColor BackgroundQColor() const { return ToQColor(Background()); }

    // --- site and moment ----------------------------------------------------
    DateTime localTime;  // site's local civil time
    int zoneHours = 9;   // hours ahead of UT
    int longitudeDegrees = 0, longitudeMinutes = 0;  // east positive (both parts signed)
    int latitudeDegrees = 0, latitudeMinutes = 0;    // north positive
    QString siteName;

    // Per-pass values (refreshed before anything is drawn).
    double localSiderealTime = 0.0;  // radians, not reduced
    double latitude = 0.0;           // radians
    double sinLatitude = 0.0;
    double cosLatitude = 1.0;
    double obliquity = 0.40909;      // of the date, radians
    double sunAltitude = -1.0;       // radians (negative: below the horizon)
    bool daylightDisplay = false;    // SETTING/SUN
    Daylight daylight = Daylight::Night;

    // --- text ---------------------------------------------------------------
    QFont font;             // "MS Pゴシック" stand-in at FONT/SIZE tenths of a point
    int textHeight = 12;    // line height of `font` in pixels
    QColor textColor;       // white / black / red by mode

    // --- data ---------------------------------------------------------------
    // The catalogue in file order (stars, deep-sky objects, constellation
    // anchors); solar-system bodies are not in it. May be empty.
    const std::vector<const StarRecord*>* catalogue = nullptr;
    // The positions in `catalogue` of its records that are not stars (deep-sky
    // objects, constellation anchors), ascending: what the overlays that draw
    // catalogue objects walk instead of every star (see CatalogueObjects).
    const std::vector<std::size_t>* catalogueObjects = nullptr;
    // The sizes of those records (same order; null for none), looked up
    // once per catalogue so that a pass never searches the size table.
    const std::vector<const DeepSkySize*>* objectSizes = nullptr;
    // Their unit vectors (x towards RA 0, z towards the north pole, from ra
    // and dec), so that the magnified view drops the objects far from its
    // field before any trigonometry; may be null (nothing dropped early).
    const std::vector<std::array<float, 3>>* objectDirections = nullptr;
    // The largest half major axis among objectSizes, in radians.
    double largestObjectRadius = 0.0;
    std::string dataDirectory;  // with a trailing '/', or empty when unknown
    // The comets and asteroids the user loaded (may be null: none).
    const std::vector<MinorBody>* minorBodies = nullptr;

    // --- taps ---------------------------------------------------------------
    // Every object drawn that a tap may find is added here, in drawing order
    // (may be null: nothing is collected).
    HitList* hits = nullptr;
};

}  // namespace tavik
