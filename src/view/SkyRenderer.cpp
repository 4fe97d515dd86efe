#include "view/SkyRenderer.h"

#include <QFontMetrics>
#include <QPainter>

#include <chrono>
#include <cmath>

#include "astro/Angles.h"
#include "astro/TimeScales.h"
#include "catalog/MinorBodies.h"
#include "catalog/StarCatalog.h"
#include "catalog/StarRecord.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "view/FieldOfView.h"
#include "view/Fonts.h"
#include "view/HitList.h"
#include "view/Overlay.h"
#include "view/OverlayUser.h"
#include "view/Projection.h"
#include "view/MinorBodyPainter.h"
#include "view/SolarSystemPainter.h"
#include "view/StarPainter.h"
#include "view/TapInfo.h"

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
    if (scene.minorBodies) ctx.minorBodies = &scene.minorBodies->bodies;

    CollectStars(scene.catalog);
    ctx.catalogue = &stars_;
    ctx.catalogueObjects = &objects_;
    ctx.objectSizes = &objectSizes_;
    ctx.objectDirections = &objectDirections_;
    ctx.largestObjectRadius = largestObjectRadius_;

    // The hit list of this pass, published when the pass ends (however it ends).
    auto hits = std::make_shared<HitList>();
    ctx.hits = hits.get();
    struct PublishAtEnd {
        SkyRenderer& renderer;
        std::shared_ptr<HitList>& list;
        ~PublishAtEnd() { renderer.PublishHits(std::move(list)); }
    } publish{*this, hits};

    QPainter painter(&image);
    ctx.painter = &painter;

    // Clear with the background brush unless trails are kept. In red mode the
    // ground turns red with the sky unless the background is to be kept.
    // The direction-type backgrounds paint every pixel themselves.
    if (!ctx.overwrite && !BackgroundCoversImage(ctx)) image.fill(ToQRgb(ctx.Background()));

    // Text: the view font, coloured by mode, transparent background.
    ctx.font = ViewFont(ChartFontTenths(ReadSettingInt(settings, "FONT", "SIZE"), view_.chartSize, view_.pixelRatio));
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
    hits->moonAge = solar.moonAge;
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
    if (scene.catalog) DrawTapMarks(ctx, scene.catalog->TapMarks(), scene.numberedMarks);
    // The compass strip is cleared first; the height band goes a line below its names.
    DrawCompassLabels(ctx);
    DrawBandLabel(ctx);
    DrawConstellations(ctx, *overlay_);

    // Stars, from the last record to the first so that earlier records end up on top.
    StarPainter starPainter(ctx);
    starPainter.SetBackdrop(&backdrop);
    const ConstellationSelection& selection = overlay_->selection;
    std::vector<LabelledStar> namedStars;
    // The field places exactly the stars ProjectStar accepts, in this order,
    // and hands them to the drawer a batch at a time.
    PrepareStarField(scene.catalog);
    const std::size_t room = hits->Room();
    FieldDrawer drawer(starPainter, room);
    starField_.Place(view_, ctx.sinLatitude, ctx.cosLatitude, &selection, drawer,
                     starPainter.Options().DimsByAltitude() ? StarField::Altitude::Exact
                                                            : StarField::Altitude::SideOnly);
    // Hits in drawing order. Once the list is full each entry only replaces
    // its last one, so of the stars after that only the last one counts.
    for (const DrawnStar& s : drawer.First()) hits->Add(*stars_[s.index], s.x, s.y);
    if (drawer.Count() > room) hits->Add(*stars_[drawer.Last().index], drawer.Last().x, drawer.Last().y);
    for (const DrawnStar& s : drawer.Named()) namedStars.push_back({stars_[s.index], s.x, s.y});

    DrawDeepSkyMarks(ctx, &selection);
    DrawMilkyWay(ctx, *overlay_);
    DrawAddIns(ctx);
    DrawStarNames(ctx, namedStars);

    DrawMinorBodies(ctx, starPainter, scene.minorBodies, minorPlaces_);
    DrawSolarSystem(ctx, starPainter, solar);
    DrawPoleMark(ctx);
    DrawFieldsOfView(ctx, scene.fieldCentre);

    painter.setFont(ctx.font);
    painter.setPen(ctx.textColor);
    DrawStatusTexts(ctx);
}

void SkyRenderer::CollectStars(const StarCatalog* catalog) {
    // Unchanged catalogue: the list from the last pass stands.
    if (catalog && catalog == collectedCatalog_ && catalog->Generation() == collectedGeneration_ &&
        catalog->Count() == collectedCount_)
        return;
    collectedCatalog_ = catalog;
    collectedGeneration_ = catalog ? catalog->Generation() : 0;
    collectedCount_ = catalog ? catalog->Count() : 0;
    stars_.clear();
    objects_.clear();
    objectSizes_.clear();
    objectDirections_.clear();
    largestObjectRadius_ = 0.0;
    if (!catalog) return;
    stars_.reserve(catalog->Count());
    for (const StarRecord& r : catalog->Records())
        if (!r.IsSolarPlaceholder()) stars_.push_back(&r);
    objects_ = CatalogueObjects(stars_);
    objectSizes_.clear();
    objectSizes_.reserve(objects_.size());
    objectDirections_.clear();
    objectDirections_.reserve(objects_.size());
    largestObjectRadius_ = 0.0;
    for (const std::size_t i : objects_) {
        const StarRecord& r = *stars_[i];
        const DeepSkySize* size = catalog->SizeOf(r);
        objectSizes_.push_back(size);
        if (size && std::isfinite(size->majorArcmin))
            largestObjectRadius_ = std::max(largestObjectRadius_, size->majorArcmin / 2.0 * kPi / (180.0 * 60.0));
        const double c = std::cos(r.dec);
        objectDirections_.push_back({static_cast<float>(c * std::cos(r.ra)), static_cast<float>(c * std::sin(r.ra)),
                                     static_cast<float>(std::sin(r.dec))});
    }
}

void SkyRenderer::PrepareStarField(const StarCatalog* catalog) {
    const std::uint64_t generation = catalog ? catalog->Generation() : 0;
    if (catalog == fieldCatalog_ && generation == fieldGeneration_ && stars_.size() == fieldCount_) return;
    starField_.Build(stars_);
    fieldCatalog_ = catalog;
    fieldGeneration_ = generation;
    fieldCount_ = stars_.size();
}

void SkyRenderer::SelectOnlyConstellation(std::string_view abbreviation, const StarCatalog& catalog) {
    CollectStars(&catalog);
    overlay_->selection.SelectOnly(abbreviation, stars_);
}

void SkyRenderer::ShowAllConstellations() { overlay_->selection.SetActive(false); }

const ConstellationSelection& SkyRenderer::Selection() const { return overlay_->selection; }

void SkyRenderer::TakeSelection(bool active, const std::vector<std::string>& abbreviations,
                                const StarCatalog& catalog) {
    CollectStars(&catalog);
    overlay_->selection.TakeDialogResult(active, abbreviations, stars_);
}

void SkyRenderer::PublishHits(std::shared_ptr<HitList> hits) {
    std::lock_guard<std::mutex> g(hitsMutex_);
    hits_ = std::move(hits);
}

std::shared_ptr<const HitList> SkyRenderer::Hits() const {
    std::lock_guard<std::mutex> g(hitsMutex_);
    return hits_;
}

RenderContext SkyRenderer::LastPassContext(QImage& image, const RenderScene& scene) const {
    RenderContext ctx;
    ctx.image = &image;
    ctx.clientWidth = image.width();
    ctx.clientHeight = image.height();
    ctx.view = &view_;
    ctx.settings = scene.settings;
    ctx.colors = scene.colors;
    if (scene.settings) ctx.modes = ColorModes::Load(*scene.settings);
    ctx.localSiderealTime = view_.localSiderealTime;
    ctx.latitude = view_.latitude;
    ctx.sinLatitude = std::sin(view_.latitude);
    ctx.cosLatitude = std::cos(view_.latitude);
    ctx.dataDirectory = scene.dataDirectory;
    if (scene.settings) {
        ctx.font = ViewFont(ChartFontTenths(ReadSettingInt(*scene.settings, "FONT", "SIZE"), view_.chartSize, view_.pixelRatio));
        ctx.textHeight = QFontMetrics(ctx.font, &image).height();
        ctx.textColor = ToQColor(TextColor(ctx.modes));
    }
    return ctx;
}

void SkyRenderer::DrawForcedAddIn(QImage& image, const RenderScene& scene, const std::string& path) {
    if (image.isNull() || !scene.settings || !scene.colors) return;
    RenderContext ctx = LastPassContext(image, scene);
    QPainter painter(&image);
    ctx.painter = &painter;
    painter.setFont(ctx.font);
    DrawAddIn(ctx, path, true);
}

TapOutcome SkyRenderer::TapAt(QImage& image, const RenderScene& scene, int x, int y) {
    TapOutcome out;
    out.x = x;
    out.y = y;
    const std::shared_ptr<const HitList> hits = Hits();
    if (!hits || !scene.settings || !scene.colors) return out;
    const SettingsStore& settings = *scene.settings;
    const TapTarget target = FindTapTarget(*hits, x, y, settings.GetProfileInt("TAPREG", "ENABLE", 0) == 1);
    if (!target.record) return out;
    out.hit = true;
    out.x = target.x;
    out.y = target.y;
    out.record = *target.record;
    // A tap mark shows no text: its action runs instead.
    if (target.record->IsTapMark()) return out;
    out.text = ComposeTapText(*target.record, TapTextOptions::Load(settings, view_, hits->moonAge),
                              scene.catalog ? scene.catalog->SizeOf(*target.record) : nullptr);
    if (const std::string fields = FieldsHoldingText(view_, settings, scene.fieldCentre, out.x, out.y);
        !fields.empty())
        out.text.second = out.text.second.value_or(std::string()) + fields;
    if (image.isNull() || image.format() != QImage::Format_RGB32) return out;

    // The tapped constellation's figure and lines, drawn as the pass drew the
    // chart (its framing, sidereal time and site).
    RenderContext ctx = LastPassContext(image, scene);
    {
        QPainter painter(&image);
        ctx.painter = &painter;
        DrawTappedConstellation(ctx, *overlay_, out.text.constellation, out.text.drawFigure,
                                out.text.drawLines);
    }
    DrawTapText(image, out.text, out.x, out.y, ChartFontTenths(TapFontTenths(settings), view_.chartSize, view_.pixelRatio),
                ctx.MappedQColor(slot::kGeneralText));
    return out;
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

QImage SkyCanvas::WithAddIn(const std::string& path) {
    std::lock_guard<std::mutex> g(lock_);
    QImage copy = image_.copy();
    renderer_.DrawForcedAddIn(copy, scene_(), path);
    return copy;
}

std::optional<TapOutcome> SkyCanvas::Tap(int x, int y, QImage* withText) {
    std::lock_guard<std::mutex> g(lock_);
    if (image_.isNull()) return std::nullopt;
    QImage copy = image_.copy();
    TapOutcome out = renderer_.TapAt(copy, scene_(), x, y);
    if (withText) *withText = std::move(copy);
    return out;
}

std::optional<ProjectedPoint> SkyCanvas::ProjectOnLastPass(double ra, double dec) {
    std::lock_guard<std::mutex> g(lock_);
    if (image_.isNull() || !renderer_.Hits()) return std::nullopt;
    return ProjectEquatorial(renderer_.LastView(), ra, dec, true);
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
