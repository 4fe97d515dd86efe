#include "view/SkyRenderer.h"

#include <QFontMetrics>
#include <QPainter>

#include <chrono>
#include <cmath>

#include "astro/TimeScales.h"
#include "catalog/StarCatalog.h"
#include "catalog/StarRecord.h"
#include "settings/SettingsStore.h"
#include "view/Fonts.h"
#include "view/Overlay.h"
#include "view/Projection.h"
#include "view/SolarSystemPainter.h"
#include "view/StarPainter.h"

namespace tavik {

SkyRenderer::SkyRenderer() : overlay_(std::make_unique<OverlayState>()) {}
SkyRenderer::~SkyRenderer() = default;

QImage MakeSkyImage(int width, int height, ColorRef background) {
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.fill(ToQRgb(background));
    return image;
}

void DrawBusyMark(QPainter& window, const QFont& font, const ColorModes& modes) {
    window.save();
    window.setFont(font);
    window.setPen(ToQColor(TextColor(modes)));
    window.drawText(0, QFontMetrics(font).ascent(), QStringLiteral("＊"));
    window.restore();
}

std::string ToggleOverwrite(bool& overwrite) {
    overwrite = !overwrite;
    return overwrite ? std::string() : std::string("上書き解除");
}

void SkyRenderer::RenderSky(QImage& image, const RenderScene& scene) {
    if (image.isNull() || image.format() != QImage::Format_RGB32 || !scene.view || !scene.settings ||
        !scene.colors)
        return;
    const SettingsStore& settings = *scene.settings;
    const ColorTable& colors = *scene.colors;

    // Per-paint view values: chart geometry from the image, turn, azimuth
    // window, sidereal time and latitude.
    view_ = *scene.view;
    UpdateChartGeometry(view_, image.width(), image.height());
    const double lst = LocalSiderealTime(scene.localTime, scene.site.zoneOffsetHours,
                                         scene.site.longitudeDegrees, scene.site.longitudeMinutes);
    const double latitude = LatitudeRadians(scene.site.latitudeDegrees, scene.site.latitudeMinutes);
    view_.localSiderealTime = lst;
    view_.latitude = latitude;
    RefreshViewState(view_);

    RenderContext ctx;
    ctx.image = &image;
    ctx.clientWidth = image.width();
    ctx.clientHeight = image.height();
    ctx.view = &view_;
    ctx.settings = &settings;
    ctx.zoomedIn = view_.viewMode == ViewMode::Magnified && view_.magnifier.present &&
                   view_.magnifier.zoom >= view_.zoomUpTo;
    ctx.overwrite = scene.overwrite;
    ctx.colors = &colors;
    ctx.modes = ColorModes::Load(settings);
    ctx.localTime = scene.localTime;
    ctx.zoneHours = scene.site.zoneOffsetHours;
    ctx.longitudeDegrees = scene.site.longitudeDegrees;
    ctx.longitudeMinutes = scene.site.longitudeMinutes;
    ctx.latitudeDegrees = scene.site.latitudeDegrees;
    ctx.latitudeMinutes = scene.site.latitudeMinutes;
    ctx.siteName = QString::fromStdString(scene.site.name);
    ctx.dataDirectory = scene.dataDirectory;

    stars_.clear();
    if (scene.catalog) {
        stars_.reserve(scene.catalog->Count());
        for (const StarRecord& r : scene.catalog->Records())
            if (!r.IsSolarPlaceholder()) stars_.push_back(&r);
    }
    ctx.catalogue = &stars_;

    QPainter painter(&image);
    ctx.painter = &painter;

    // Clear with the background brush unless trails are kept. In red mode the
    // ground turns red with the sky unless the background is to be kept.
    // The direction-type backgrounds paint every pixel themselves.
    if (!ctx.overwrite && !BackgroundCoversImage(ctx)) image.fill(ToQRgb(ctx.Background()));

    // Text: the view font, coloured by mode, transparent background.
    ctx.font = ViewFont(settings.GetProfileInt("FONT", "SIZE", kDefaultFontTenths));
    ctx.textHeight = QFontMetrics(ctx.font, &image).height();
    ctx.textColor = ToQColor(TextColor(ctx.modes));
    painter.setFont(ctx.font);
    painter.setPen(ctx.textColor);
    painter.setBackgroundMode(Qt::TransparentMode);

    ctx.lref = Luminance(colors[slot::kSky3]);
    if (!(ctx.lref > 0.0)) ctx.lref = 1e-9;  // a black slot 9: every star pixel fades away

    ctx.localSiderealTime = lst;
    ctx.latitude = latitude;
    ctx.sinLatitude = std::sin(latitude);
    ctx.cosLatitude = std::cos(latitude);
    {
        const DateTime ut = ToUniversalTime(scene.localTime, scene.site.zoneOffsetHours);
        ctx.obliquity = Obliquity(ut.Year(), ut.Month(), ut.Day());
    }

    const SolarSystemState solar = ComputeSolarSystem(ctx);
    ctx.sunAltitude = SunAltitude(ctx, solar.sun);
    ctx.daylightDisplay = settings.GetProfileInt("SETTING", "SUN", 0) == 1;
    ctx.daylight = ctx.daylightDisplay ? DaylightFor(ctx.sunAltitude) : Daylight::Night;

    const ViewMode mode = view_.viewMode;
    if (mode == ViewMode::Planisphere || mode == ViewMode::PolarAlignment || mode == ViewMode::Heliocentric)
        DrawMoonPhaseMarker(ctx, solar);

    if (mode == ViewMode::Heliocentric) {
        DrawHeliocentric(ctx, solar);
        return;
    }

    const SkyBackdrop backdrop = PaintSkyBackground(ctx, &backgroundCache_);
    if (mode == ViewMode::PolarAlignment) DrawPolarReticle(ctx);

    DrawGrids(ctx, *overlay_);
    DrawBandLabel(ctx);
    DrawCompassLabels(ctx);
    DrawConstellations(ctx, *overlay_);

    // Stars, from the last record to the first so that earlier records end up on top.
    StarPainter starPainter(ctx);
    starPainter.SetBackdrop(&backdrop);
    const ConstellationSelection& selection = overlay_->selection;
    for (std::size_t i = stars_.size(); i-- > 0;) {
        const StarRecord& r = *stars_[i];
        if (r.kind != kKindStar) continue;
        double s = 0.0;
        const ProjectedPoint pt =
            ProjectStar(view_, r, ctx.sinLatitude, ctx.cosLatitude, &s, selection.Shows(i));
        if (!pt.visible) continue;
        starPainter.Draw(r, pt.x, pt.y, s);
    }

    DrawDeepSkyMarks(ctx, &selection);
    DrawMilkyWay(ctx, *overlay_);

    DrawSolarSystem(ctx, starPainter, solar);
    DrawPoleMark(ctx);

    painter.setFont(ctx.font);
    painter.setPen(ctx.textColor);
    DrawStatusTexts(ctx);
}

// ---------------------------------------------------------------------------

SkyCanvas::SkyCanvas(SceneFn scene) : scene_(std::move(scene)) {}

SkyCanvas::~SkyCanvas() { StopWorker(); }

void SkyCanvas::SetRenderedCallback(std::function<void()> done) {
    std::lock_guard<std::mutex> g(lock_);
    rendered_ = std::move(done);
}

bool SkyCanvas::EnsureSize(int w, int h) {
    if (!image_.isNull() && image_.width() == w && image_.height() == h) return true;
    ColorRef background = ColorTable::DefaultColor(slot::kBackground);
    const RenderScene scene = scene_();
    if (scene.colors) background = (*scene.colors)[slot::kBackground];
    image_ = MakeSkyImage(w, h, background);
    return false;
}

void SkyCanvas::RunPass() {
    std::function<void()> done;
    {
        std::lock_guard<std::mutex> g(lock_);
        renderer_.RenderSky(image_, scene_());
        done = rendered_;
    }
    if (done) done();
}

SkyCanvas::Outcome SkyCanvas::HandleRenderRequest(int w, int h, bool hourglass, const PumpFn& pump) {
    if (waiting_) return Outcome::Dropped;
    {
        std::lock_guard<std::mutex> g(lock_);
        if (!EnsureSize(w, h)) return Outcome::Resized;
    }
    if (!hourglass) {
        // A pass may still run on the worker from an earlier request.
        if (busy_.load() && !WaitIdle(pump)) return Outcome::Quit;
        RunPass();
        return Outcome::Rendered;
    }
    StartWorker();
    if (busy_.load() && !WaitIdle(pump)) return Outcome::Quit;
    busy_.store(true);
    {
        std::lock_guard<std::mutex> g(eventMutex_);
        workEvent_ = true;
    }
    eventCv_.notify_one();
    return Outcome::Started;
}

bool SkyCanvas::WaitIdle(const PumpFn& pump) {
    waiting_ = true;
    while (busy_.load()) {
        if (pump && !pump()) {
            waiting_ = false;
            return false;
        }
        if (!busy_.load()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    waiting_ = false;
    return true;
}

bool SkyCanvas::Paint(int w, int h, const std::function<void(const QImage&)>& blit) {
    std::lock_guard<std::mutex> g(lock_);
    if (!image_.isNull() && image_.height() == h && image_.width() == w) {
        if (blit) blit(image_);
        return true;
    }
    EnsureSize(w, h);
    return false;
}

QImage SkyCanvas::Snapshot() {
    std::lock_guard<std::mutex> g(lock_);
    return image_.copy();
}

void SkyCanvas::StartWorker() {
    if (worker_.joinable()) return;
    {
        std::lock_guard<std::mutex> g(eventMutex_);
        stopEvent_ = false;
        workEvent_ = false;
    }
    finished_.store(false);
    worker_ = std::thread([this] { WorkerMain(); });
}

void SkyCanvas::WorkerMain() {
    for (;;) {
        {
            std::unique_lock<std::mutex> g(eventMutex_);
            eventCv_.wait(g, [this] { return stopEvent_ || workEvent_; });
            if (stopEvent_) break;
            workEvent_ = false;  // manual reset
        }
        RunPass();
        busy_.store(false);
    }
    busy_.store(false);
    finished_.store(true);
}

void SkyCanvas::StopWorker() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard<std::mutex> g(eventMutex_);
        stopEvent_ = true;
    }
    eventCv_.notify_one();
    while (!finished_.load()) std::this_thread::sleep_for(std::chrono::milliseconds(3));
    worker_.join();
}

}  // namespace tavik
