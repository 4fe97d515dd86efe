#include "app/view/ObjectSearchController.h"

#include "catalog/MinorBodies.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <functional>

#include "app/dialogs/ObjectSearchDialog.h"
#include "app/dialogs/Prompts.h"
#include "app/telescope/ScopeController.h"
#include "app/view/MagnifierController.h"
#include "astro/TimeScales.h"
#include "astro/Transforms.h"
#include "catalog/StarCatalog.h"
#include "telescope/GotoTarget.h"
#include "view/CommandSet.h"
#include "view/HorizonSearch.h"
#include "view/MagnifierPanelModel.h"

namespace tavik {

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

// The chart's sky spans pi / (zoom / 10) radians across its square; a zoom
// at which `angle` (radians) fills `share` of it.
int ZoomForAngle(double angle, double share) {
    if (!(angle > 0.0)) return magnifier::kZoomMax;
    return static_cast<int>(std::floor(10.0 * 3.14159265358979323846 * share / angle));
}

// Changes whenever a tap mark is added, removed or edited.
std::uint64_t TapMarkSignature(const StarCatalog& catalog) {
    std::uint64_t h = catalog.TapMarkCount();
    for (const StarRecord& m : catalog.TapMarks()) {
        std::string key(m.designation, sizeof m.designation);
        if (m.name) key += *m.name;
        key += std::to_string(m.ra) + "/" + std::to_string(m.dec);
        h = h * 1000003u ^ std::hash<std::string>{}(key);
    }
    return h;
}

}  // namespace

ObjectSearchController::ObjectSearchController(const ChartContext& context, MagnifierController& magnifier,
                                               ScopeController& telescope)
    : c_(context), magnifier_(magnifier), telescope_(telescope) {}

ObjectSearchController::~ObjectSearchController() = default;

CObjectSearchDialog* ObjectSearchController::Dialog() const { return dialog_.data(); }

bool ObjectSearchController::Handles(int id) { return id == cmd::ObjectSearch; }

void ObjectSearchController::Run(int id) {
    if (id != cmd::ObjectSearch) return;
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    UpdateIndex();
    dialog_ = new CObjectSearchDialog([this](const std::string& query) { return Lookup(query); }, c_.store,
                                      c_.host.Settings().telescopeControl == 1, &c_.view);
    QObject::connect(dialog_, &CObjectSearchDialog::chosen, &c_.view,
                     [this](const SearchResult& result, bool sendTelescope) {
                         if (sendTelescope) {
                             Goto(result);
                         } else {
                             Show(result);
                         }
                     });
    // Window-modal, without a loop of its own: the window keeps painting.
    dialog_->open();
}

void ObjectSearchController::UpdateIndex() {
    c_.host.WithCatalogue([this](StarCatalog& catalog) {
        const std::uint64_t generation = catalog.Generation();
        const std::uint64_t marks = TapMarkSignature(catalog);
        std::shared_ptr<const MinorBodyList> minor = c_.host.MinorBodies();
        if (built_ && generation == builtGeneration_ && marks == builtTapMarks_ && minor == builtMinor_) return;
        index_.Build(catalog, minor ? &minor->bodies : nullptr);
        builtMinor_ = std::move(minor);
        built_ = true;
        builtGeneration_ = generation;
        builtTapMarks_ = marks;
    });
}

std::vector<SearchResult> ObjectSearchController::Lookup(const std::string& query) {
    const std::vector<SearchHit> hits = index_.Find(query);
    if (hits.empty()) return {};
    // The catalogue gives each deep-sky object its kind word ("銀河", "散開星団" ...).
    std::vector<SearchResult> results;
    c_.host.WithCatalogue([&](StarCatalog& catalog) {
        results = PlaceSearchHits(index_, hits, c_.host.Time().Current(), c_.host.Settings().site, &catalog,
                                  builtMinor_ ? &builtMinor_->bodies : nullptr);
    });
    return results;
}

std::optional<int> ObjectSearchController::FittingZoom(const SearchResult& result, int zoom) {
    // Zoomed out only, when the object would not fit four fifths of the chart.
    double size = 0.0;
    if (result.object.kind == SearchKind::Constellation) {
        size = 25.0 * kDeg;
    } else if (result.object.kind == SearchKind::DeepSky) {
        c_.host.WithCatalogue([&](StarCatalog& catalog) {
            if (result.object.ref >= catalog.Count()) return;
            if (const DeepSkySize* s = catalog.SizeOf(catalog.At(result.object.ref)))
                size = static_cast<double>(s->majorArcmin) / 60.0 * kDeg;
        });
    }
    if (!(size > 0.0)) return std::nullopt;
    const int fits = std::max(ZoomForAngle(size, 0.8), magnifier::kZoomMin);
    if (fits >= zoom) return std::nullopt;
    return fits;
}

bool ObjectSearchController::Centre(const SearchResult& result) {
    const ObservationSite site = c_.host.Settings().site;
    const DateTime local = c_.host.Time().Current();
    const double lst = LocalSiderealTime(local, site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes);
    const double latitude = LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes);
    const Spherical sky = EquatorialToHorizontal(result.object.ra, result.object.dec, latitude, lst);
    const bool above = sky.lat >= 0.0;

    // Into the magnified view first, turned towards the object.
    const ViewState& now = c_.host.State();
    if (now.viewMode != ViewMode::Magnified || !now.magnifier.present) {
        c_.host.ChangeState([&](ViewState& view) { ApplyMagnifierTarget(view, JumpTarget(sky.lon, sky.lat), std::nullopt); },
                            true);
        c_.host.RefreshView();
    }
    int zoom = c_.host.State().magnifier.zoom;
    if (const std::optional<int> fits = FittingZoom(result, zoom)) zoom = *fits;
    if (!above) {
        // The view cannot look below the horizon: it looks at the horizon
        // under the object, zoomed out so far that the object is on the chart
        // while it can be.
        zoom = std::min(zoom, std::max(ZoomForAngle(-sky.lat, 0.4), magnifier::kZoomMin));
    }
    // The framing that looks straight at the object: its azimuth as the
    // heading (counted from the south), its altitude as the centre's. (Not
    // the framing of a drag, which may look over the zenith from the other
    // side when the view was looking up.)
    MagnifierFraming framing;
    framing.present = true;
    framing.heading = WrapDegrees(sky.lon / kDeg + 180.0);
    framing.altitude = std::clamp(sky.lat / kDeg, double(magnifier::kAltitudeLowest), double(magnifier::kAltitudeHighest));
    framing.zoom = zoom;
    magnifier_.SetFraming(framing);
    mark_ = SkyPosition{result.object.ra, result.object.dec};
    c_.host.ShowNotice(above ? QString::fromStdString(result.object.designation.empty()
                                                          ? result.object.name
                                                          : result.object.designation + " " + result.object.name)
                                   .trimmed()
                             : QString::fromUtf8("地平線下です"));
    c_.host.Repaint();
    c_.host.StateChanged();
    return above;
}

void ObjectSearchController::Show(const SearchResult& result) { Centre(result); }

void ObjectSearchController::Goto(const SearchResult& result) {
    // Below the altitude limit the goto itself asks first, as every goto does.
    Centre(result);
    // Named as the history shows it; the Sun, the Moon and the planets where they are now.
    const GotoTarget target = TargetOfSearchObject(result.object, c_.host.Time().Current(), c_.host.Settings().site);
    telescope_.SendGoto(target);
}

void ObjectSearchController::ClearMark() {
    if (!mark_) return;
    mark_.reset();
    c_.host.Repaint();
}

}  // namespace tavik
