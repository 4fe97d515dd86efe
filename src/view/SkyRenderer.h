#pragma once
// The render pass: the whole sky into the off-screen image in its fixed order
// of layers. SkyRenderer runs one pass; SkyCanvas owns the off-screen image, the
// view's lock and the render worker thread used when the hourglass option
// (PROC/SANDCLOCK) is on.
//
// Lock discipline: everything a pass reads (the view state, the settings store,
// the colour table, the catalogue) and the image it writes are guarded by the
// canvas lock. A pass holds the lock from start to end, on whichever thread it
// runs; the user-interface thread takes it to change the view state or any
// setting the pass reads, to recreate the image on a size change, and to copy
// the image to the window. Reading settings on the user-interface thread without
// the lock is fine for the Qt store (it locks internally); the in-memory store
// must then only be written under the lock, as the tests do.

#include <QImage>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "astro/DateTime.h"
#include "settings/ObservationSite.h"
#include "view/Background.h"
#include "view/Color.h"
#include "view/MinorBodyPainter.h"
#include "view/RenderContext.h"
#include "view/Projection.h"
#include "view/StarField.h"
#include "view/TapInfo.h"
#include "view/ViewState.h"

namespace tavik {

class SettingsStore;
class StarCatalog;
class ConstellationSelection;
class HitList;
struct MinorBodyList;
struct NumberedMarks;
struct OverlayState;
struct StarRecord;

// What a tap at a point of the last pass found and wrote.
struct TapOutcome {
    bool hit = false;
    int x = 0;  // the tap point, moved to the object's point on a hit
    int y = 0;
    std::optional<StarRecord> record;  // a copy of the tapped record
    TapText text;
};

// The inputs of one pass.
struct RenderScene {
    const ViewState* view = nullptr;
    const SettingsStore* settings = nullptr;
    const ColorTable* colors = nullptr;
    const StarCatalog* catalog = nullptr;  // may be null: no stars
    DateTime localTime;                    // the site's local civil time
    ObservationSite site;
    bool overwrite = false;                // trail mode: no clearing, no background
    std::string dataDirectory;             // with a trailing '/', may be empty
    const NumberedMarks* numberedMarks = nullptr;  // ①②③, may be null
    // Where the magnified view centres the fields of view (J2000): the
    // telescope's position while it is known, else the view's centre.
    std::optional<SkyPosition> fieldCentre;
    std::shared_ptr<const MinorBodyList> minorBodies;  // may be null: none loaded
};

class SkyRenderer {
public:
    SkyRenderer();
    ~SkyRenderer();
    SkyRenderer(const SkyRenderer&) = delete;
    SkyRenderer& operator=(const SkyRenderer&) = delete;

    // One pass into `image`, which must be Format_RGB32 (its size is the client
    // area). The view state is copied; the chart geometry and per-paint values
    // of the copy follow the image size, the moment and the site.
    void RenderSky(QImage& image, const RenderScene& scene);

    // The view state the last pass projected with (for hit-testing and tests).
    const ViewState& LastView() const { return view_; }

    // What the overlays keep between passes (the constellation selection among them).
    OverlayState& Overlays() { return *overlay_; }

    // The hit list of the last finished pass (null before the first). Safe to
    // call from any thread while a pass runs.
    std::shared_ptr<const HitList> Hits() const;

    // A tap at (x, y) on the last pass's chart: finds the object and, unless
    // it is a tap mark, draws its text and its constellation's figure and
    // lines (as the options ask) onto `image`, a copy of that chart.
    TapOutcome TapAt(QImage& image, const RenderScene& scene, int x, int y);

    // "ｘｘｘ座のみ表示" and "全ての星座を表示": the constellation selection.
    void SelectOnlyConstellation(std::string_view abbreviation, const StarCatalog& catalog);
    void ShowAllConstellations();
    const ConstellationSelection& Selection() const;
    // The selection dialog's result (OK): slots and switch taken over.
    void TakeSelection(bool active, const std::vector<std::string>& abbreviations, const StarCatalog& catalog);

    // An add-in file drawn over `image` (a copy of the last chart) whatever its
    // type allows in the pass (a tap mark's add-in action).
    void DrawForcedAddIn(QImage& image, const RenderScene& scene, const std::string& path);

private:
    void PublishHits(std::shared_ptr<HitList> hits);
    // What drawing over the last pass's chart needs: its framing, sidereal
    // time and site, the colours, modes and font.
    RenderContext LastPassContext(QImage& image, const RenderScene& scene) const;
    // The catalogue records the pass draws, in file order (placeholders left out).
    void CollectStars(const StarCatalog* catalog);

    ViewState view_;
    BackgroundCache backgroundCache_;
    std::unique_ptr<OverlayState> overlay_;  // grid layer, constellation files, selection
    std::vector<const StarRecord*> stars_;
    std::vector<std::size_t> objects_;  // CatalogueObjects of stars_
    std::vector<const DeepSkySize*> objectSizes_;  // the catalogue's sizes of objects_
    std::vector<std::array<float, 3>> objectDirections_;  // unit vectors of objects_
    double largestObjectRadius_ = 0.0;  // radians
    const StarCatalog* collectedCatalog_ = nullptr;  // what stars_ was collected from
    std::uint64_t collectedGeneration_ = 0;
    std::size_t collectedCount_ = 0;  // a load in progress grows the list without a new number
    // stars_ prepared for placing, rebuilt when the catalogue changes.
    void PrepareStarField(const StarCatalog* catalog);
    StarField starField_;
    const StarCatalog* fieldCatalog_ = nullptr;
    std::uint64_t fieldGeneration_ = 0;
    std::size_t fieldCount_ = 0;
    MinorPlaceCache minorPlaces_;
    mutable std::mutex hitsMutex_;  // guards hits_ only, never held during a pass
    std::shared_ptr<const HitList> hits_;
};

// A new off-screen image of the given size, filled with the background colour.
QImage MakeSkyImage(int width, int height, ColorRef background);

// The busy mark of the hourglass option: "＊" at the window's top-left corner in
// the view font and the text colour of the mode, drawn while the worker renders.
void DrawBusyMark(QPainter& window, const QFont& font, const ColorModes& modes);

// Command 32874 "軌跡上書き" ("上書きする" in the action-key menu): inverts the
// view's overwrite flag (not persisted; off when the view is built). Returns the
// notice to show: "上書き解除" when the flag has just been cleared, else empty.
// The caller then saves the view settings and runs RefreshView.
std::string ToggleOverwrite(bool& overwrite);

class SkyCanvas {
public:
    // `scene` is called with the lock held, on the thread that runs the pass.
    using SceneFn = std::function<RenderScene()>;
    // Dispatches the window's pending messages; returns false on quit.
    using PumpFn = std::function<bool()>;

    explicit SkyCanvas(SceneFn scene);
    ~SkyCanvas();  // stops the worker
    SkyCanvas(const SkyCanvas&) = delete;
    SkyCanvas& operator=(const SkyCanvas&) = delete;

    std::mutex& Lock() { return lock_; }

    enum class Outcome {
        Rendered,  // the pass ran on this thread
        Started,   // the worker was woken for the pass
        Resized,   // the image was recreated for a new client size; ask again later
        Dropped,   // a request arrived while an earlier one was waiting
        Quit,      // the message pump saw the quit message
    };

    // The render request handler. With `hourglass` on the pass runs on the
    // worker; while the worker is still busy with an earlier pass the pump runs
    // and the handler sleeps 100 ms between checks, so passes never overlap.
    Outcome HandleRenderRequest(int clientWidth, int clientHeight, bool hourglass, const PumpFn& pump = {});

    // The paint handler: when the image has the client height, `blit` gets it
    // under the lock and true is returned; otherwise the image is recreated for
    // the new size and false is returned (the caller then arms its retry timer).
    bool Paint(int clientWidth, int clientHeight, const std::function<void(const QImage&)>& blit);

    // Called on the thread that finished a pass (the window then repaints).
    void SetRenderedCallback(std::function<void()> done);

    bool WorkerBusy() const { return busy_.load(); }
    // Waits until no pass runs, pumping messages every 100 ms (screen capture).
    bool WaitIdle(const PumpFn& pump = {});
    // A copy of the image, taken under the lock.
    QImage Snapshot();
    // The hit list of the last pass, without the lock.
    std::shared_ptr<const HitList> Hits() const { return renderer_.Hits(); }
    // SkyRenderer::TapAt on a copy of the image, under the lock; the copy with
    // the tap text goes to `withText`. Nothing before the first image.
    std::optional<TapOutcome> Tap(int x, int y, QImage* withText);
    // A copy of the image with an add-in file drawn over it, under the lock.
    QImage WithAddIn(const std::string& path);
    // Where a J2000 position stands on the last pass's chart (its framing,
    // sidereal time and site); nothing before the first pass. Takes the lock.
    std::optional<ProjectedPoint> ProjectOnLastPass(double ra, double dec);
    // The view state the last pass drew with; call with the lock held.
    const ViewState& LastViewLocked() const { return renderer_.LastView(); }
    // The constellation selection; call with the lock held.
    void SelectOnlyConstellation(std::string_view abbreviation, const StarCatalog& catalog) {
        renderer_.SelectOnlyConstellation(abbreviation, catalog);
    }
    void ShowAllConstellations() { renderer_.ShowAllConstellations(); }
    const ConstellationSelection& SelectionLocked() const { return renderer_.Selection(); }
    void TakeSelection(bool active, const std::vector<std::string>& abbreviations, const StarCatalog& catalog) {
        renderer_.TakeSelection(active, abbreviations, catalog);
    }

    // Stops the worker: signals stop and polls its finished mark every 3 ms.
    void StopWorker();

private:
    void StartWorker();
    void WorkerMain();
    void RunPass();
    bool EnsureSize(int w, int h);  // lock held

    SceneFn scene_;
    std::mutex lock_;  // the view's lock
    QImage image_;
    SkyRenderer renderer_;
    std::function<void()> rendered_;

    // Worker: two manual-reset events (stop, work) and a finished mark.
    std::thread worker_;
    std::mutex eventMutex_;
    std::condition_variable eventCv_;
    bool stopEvent_ = false;
    bool workEvent_ = false;
    std::atomic<bool> finished_{false};
    std::atomic<bool> busy_{false};
    bool waiting_ = false;  // user-interface thread only
};

}  // namespace tavik
