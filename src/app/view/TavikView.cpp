#include "app/view/TavikView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QGestureEvent>
#include <QMouseEvent>
#include <QPinchGesture>
#include <QPainter>
#include <QTimer>
#include <QResizeEvent>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "app/dialogs/Prompts.h"
#include "app/view/ChartMarks.h"
#include "app/view/GestureController.h"
#include "app/view/InputController.h"
#include "app/view/MagnifierController.h"
#include "app/view/NightMode.h"
#include "app/view/MinorBodyController.h"
#include "app/view/ObjectSearchController.h"
#include "app/view/TapMarkController.h"
#include "app/view/TavikDoc.h"
#include "app/view/ViewDialogs.h"
#include "settings/SettingsStore.h"
#include "view/Fonts.h"
#include "view/HitList.h"
#include "view/Overlay.h"
#include "view/SkyRenderer.h"
#include "view/TapMarks.h"
#include "view/ViewCommands.h"

namespace tavik {

namespace {

constexpr QEvent::Type MessageType(int id) { return static_cast<QEvent::Type>(QEvent::User + id); }

// Timers that keep running until they are killed; every other timer of the
// view is one-shot and is killed by the handler before it acts.
bool IsRepeating(int id) { return id == timer_id::kAutoUpdate || id == timer_id::kTraceEnd; }

constexpr int kRelayoutSettleMs = 500;  // a new layout of the bars arrives within it

}  // namespace

CTavikView::CTavikView(CTavikDoc& doc, SettingsStore& store, Prompts& prompts, const Clock& clock,
                       QWidget* parent)
    : QWidget(parent),
      doc_(doc),
      store_(store),
      prompts_(prompts),
      time_(clock, *this),
      commands_(view_, settings_, time_, store_) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    grabGesture(Qt::PinchGesture);  // two fingers zoom; one finger stays a mouse
    commands_.Load();
    // Every entry exists after the first run.
    commands_.SaveAll();
    colors_.Load(store_);
    // The controllers see the view only through their host interfaces.
    ChartHost& chart = *this;
    TimerHost& timers = *this;
    QWidget& window = *this;
    telescope_ = std::make_unique<ScopeController>(static_cast<ScopeController::Host&>(*this), timers, store_,
                                                   prompts_, doc_.History(), this);
    pictures_ = std::make_unique<PicturePresenter>(static_cast<PicturePresenter::Host&>(*this), timers, store_,
                                                   prompts_, window);
    const ChartContext context{chart, timers, store_, prompts_, window};
    magnifier_ = std::make_unique<MagnifierController>(context);
    search_ = std::make_unique<ObjectSearchController>(context, *magnifier_, *telescope_);
    minor_ = std::make_unique<MinorBodyController>(context, doc_);
    tapMarks_ = std::make_unique<TapMarkController>(context, doc_);
    gestures_ = std::make_unique<GestureController>(chart, timers, *magnifier_);
    dialogs_ = std::make_unique<ViewDialogs>(context, doc_, *telescope_, *magnifier_);
    input_ = std::make_unique<InputController>(context, *magnifier_, *pictures_, *tapMarks_, *gestures_);
    canvas_ = std::make_unique<SkyCanvas>([this] { return Scene(); });
    // Runs on the thread that drew the pass; the window learns of it through
    // its own queue.
    canvas_->SetRenderedCallback([this] {
        QMetaObject::invokeMethod(this, [this] { OnPassDone(); }, Qt::QueuedConnection);
    });
}

CTavikView::~CTavikView() {
    // An exchange under way ends at once; then the mount goes, before its clock.
    telescope_.reset();
    canvas_->StopWorker();
    // The magnified view's state is kept only when the view goes away.
    SaveMagnifierState(view_, store_);
}

QSize CTavikView::sizeHint() const { return QSize(320, 400); }

void CTavikView::RelayoutAtOnce() {
    relayout_ = true;
    QTimer::singleShot(kRelayoutSettleMs, this, [this] { relayout_ = false; });
    PostRender();
}

QSize CTavikView::DeviceArea() const {
    const double ratio = devicePixelRatioF();
    const QSize area = ChartArea();
    return QSize(std::max(1, static_cast<int>(std::lround(area.width() * ratio))),
                 std::max(1, static_cast<int>(std::lround(area.height() * ratio))));
}

QPoint CTavikView::ToDevice(QPointF at) const { return (at * devicePixelRatioF()).toPoint(); }

void CTavikView::UpdateGeometryLocked() {
    const QSize device = DeviceArea();
    view_.pixelRatio = devicePixelRatioF();
    UpdateChartGeometry(view_, device.width(), device.height());
}

QSize CTavikView::ChartArea() const {
    const int strip = magnifier_->ShownWidth();
    if (strip > 0) return QSize(std::max(1, width() - strip), height());
    return size();
}

std::unique_lock<std::mutex> CTavikView::Lock() const {
    return std::unique_lock<std::mutex>(canvas_->Lock());
}

RenderSuspension::RenderSuspension(CTavikView& view) : view_(view) {
    view_.canvas_->WaitIdle();
    ++view_.suspended_;
}

RenderSuspension::~RenderSuspension() {
    if (--view_.suspended_ == 0 && view_.deferredRender_) {
        view_.deferredRender_ = false;
        view_.PostRender();
    }
}

RenderScene CTavikView::Scene() const {
    // Called by the canvas with the lock held.
    RenderScene scene;
    scene.view = &view_;
    scene.settings = &store_;
    scene.colors = &colors_;
    scene.catalog = &doc_.Catalog();
    scene.localTime = time_.Current();
    scene.site = settings_.site;
    scene.overwrite = commands_.Overwrite();
    scene.dataDirectory = doc_.DataDirectory();
    scene.numberedMarks = &doc_.Numbered();
    scene.fieldCentre = fieldCentre_;
    scene.minorBodies = doc_.MinorBodies();
    return scene;
}

QImage CTavikView::Image() const { return canvas_->Snapshot(); }

std::shared_ptr<const MinorBodyList> CTavikView::MinorBodies() const { return doc_.MinorBodies(); }

void CTavikView::StartAfterLoad() {
    ApplyNightMode(*qApp, settings_.allRed);
    if (doc_.Loaded()) {
        time_.StartAfterLoad();
        minor_->LoadAtStartup();
    } else {
        StartTimer(timer_id::kNoCatalogue, 2000);
    }
    RefreshView();
}

void CTavikView::StartTimer(int id, int periodMs) { timers_[id].start(periodMs, this); }

void CTavikView::KillTimer(int id) {
    auto it = timers_.find(id);
    if (it != timers_.end()) it->second.stop();
}

bool CTavikView::TimerActive(int id) const {
    auto it = timers_.find(id);
    return it != timers_.end() && it->second.isActive();
}

void CTavikView::timerEvent(QTimerEvent* e) {
    for (auto& [id, timer] : timers_) {
        if (timer.timerId() == e->timerId()) {
            OnTimer(id);
            return;
        }
    }
    QWidget::timerEvent(e);
}

void CTavikView::OnTimer(int id) {
    if (!IsRepeating(id)) KillTimer(id);
    switch (id) {
    case timer_id::kAutoUpdate: {
        // On a desktop the chart keeps time while it can be seen, whichever
        // window has the focus; only a minimised or hidden window waits.
        const bool shown = window() && window()->isVisible() && !window()->isMinimized();
        ChangeTime([this, shown](TimeControl& time) { return time.OnAutoUpdateTimer(shown, view_); });
        break;
    }
    case timer_id::kStep: ChangeTime([](TimeControl& time) { return time.OnStepTimer(); }); break;
    case timer_id::kNoCatalogue: dialogs_->AskForCatalogue(); break;
    case timer_id::kExit: emit exitRequested(); break;
    case timer_id::kFirstPaint: RefreshView(); break;
    case timer_id::kTapMenu: input_->OnLongPress(); break;
    case timer_id::kTapInfo: input_->OnTapTextTimer(); break;
    case timer_id::kPicture: input_->OnPictureTimer(); break;
    case timer_id::kDescriptionShow: pictures_->ShowDescription(); break;
    case timer_id::kDescriptionEdit: pictures_->EditDescription(); break;
    case timer_id::kHorizonSearch:
        QCoreApplication::postEvent(this, new QEvent(MessageType(view_message::kHorizonSearch)));
        break;
    case timer_id::kTapSave0:
    case timer_id::kTapSave1: tapMarks_->OnTimer(id == timer_id::kTapSave1); break;
    case timer_id::kPost2052:
        QCoreApplication::postEvent(this, new QEvent(MessageType(view_message::kControlDialog)));
        break;
    case timer_id::kTrace: telescope_->OnTraceTimer(); break;
    case timer_id::kTraceEnd: telescope_->OnTraceEnd(); break;
    case timer_id::kTelescopeReminder: telescope_->OnReminder(); break;
    default: break;  // 904, 997 and 1005 have nothing to do: killed above, one-shot and quiet
    }
    emit stateChanged();
}

void CTavikView::ApplyTime(const TimeAction& action) {
    if (action.recomputeFraming || action.saveSettings) {
        auto lock = Lock();
        if (action.recomputeFraming) RefreshViewState(view_);
        if (action.saveSettings) commands_.SaveAll();
    }
    if (action.refresh) RefreshView();
}

void CTavikView::RefreshView() {
    {
        auto lock = Lock();
        RefreshViewState(view_);
        colors_.Load(store_);
        fieldCentre_ = telescope_ ? telescope_->ScopeMark() : std::nullopt;
    }
    magnifier_->Sync();
    if (!doc_.Loaded()) return;
    PostRender();
}

void CTavikView::Repaint() {
    bool moved = false;
    {
        auto lock = Lock();
        // The fields are drawn again once the telescope moves them by a pixel,
        // so that a mount at rest leaves the chart (and a tap's text) alone.
        const std::optional<SkyPosition>& mark = telescope_->ScopeMark();
        const auto pixel = [this](const std::optional<SkyPosition>& p) -> std::optional<QPoint> {
            if (!p) return std::nullopt;
            const auto at = ProjectDirectionExact(canvas_->LastViewLocked(), p->rightAscension, p->declination);
            if (!at) return QPoint(OffScreen, OffScreen);
            return QPoint(static_cast<int>(std::lround(at->x)), static_cast<int>(std::lround(at->y)));
        };
        moved = pixel(mark) != pixel(fieldCentre_);
        if (moved) fieldCentre_ = mark;
    }
    if (moved && SkyFillsChart(view_) && doc_.Loaded()) {
        PostRender();
    } else {
        update();
    }
}

void CTavikView::PostRender() {
    if (renderPending_) return;  // a pending request covers this one
    renderPending_ = true;
    QCoreApplication::postEvent(this, new QEvent(MessageType(view_message::kRender)));
}

bool CTavikView::event(QEvent* e) {
    if (e->type() == QEvent::Gesture) {
        auto* gesture = static_cast<QGestureEvent*>(e);
        if (auto* pinch = static_cast<QPinchGesture*>(gesture->gesture(Qt::PinchGesture))) {
            gestures_->Pinch(pinch->state() == Qt::GestureStarted, pinch->scaleFactor(),
                             ToDevice(mapFromGlobal(pinch->centerPoint())));
            gesture->accept(pinch);
            return true;
        }
    }
    switch (static_cast<int>(e->type()) - QEvent::User) {
    case view_message::kRender: HandleRender(); return true;
    case view_message::kHorizonSearch: magnifier_->RunHorizonSearch(); return true;
    case view_message::kControlDialog: telescope_->OpenControlDialog(); return true;
    case view_message::kPopup: {
        const auto* popup = static_cast<PopupEvent*>(e);
        input_->OnPopupRequest(popup->hit, popup->at);
        return true;
    }
    case view_message::kClientArea:
        {
            auto lock = Lock();
            UpdateGeometryLocked();
        }
        RefreshView();
        return true;
    default: return QWidget::event(e);
    }
}

void CTavikView::HandleRender() {
    renderPending_ = false;
    // Nothing is drawn before the catalogue is there (a request may arrive
    // while it is being read).
    if (!doc_.Loaded()) return;
    if (suspended_ > 0) {
        deferredRender_ = true;
        return;
    }
    // The panel's values at the start of every pass in the magnified view.
    magnifier_->TakePanelValues();
    const QSize area = DeviceArea();
    {
        auto lock = Lock();
        UpdateGeometryLocked();
    }
    const bool hourglass = Hourglass();
    // Without the hourglass option the pass runs here, under the wait cursor.
    if (!hourglass) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const SkyCanvas::Outcome outcome = canvas_->HandleRenderRequest(
        area.width(), area.height(), hourglass, [] {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return true;
        });
    if (!hourglass) QGuiApplication::restoreOverrideCursor();
    switch (outcome) {
    case SkyCanvas::Outcome::Rendered:
    case SkyCanvas::Outcome::Started:
        ++passesInFlight_;
        update();  // the busy mark while the worker draws
        break;
    case SkyCanvas::Outcome::Resized:
        if (relayout_) {
            // The program moved the chart's edge, not the user: drawn at once.
            relayout_ = false;
            PostRender();
            break;
        }
        // The client size changed: a new image now, the drawing one second later.
        StartTimer(timer_id::kFirstPaint, 1000);
        update();
        break;
    case SkyCanvas::Outcome::Dropped:
    case SkyCanvas::Outcome::Quit:
        break;
    }
}

void CTavikView::OnPassDone() {
    if (passesInFlight_ > 0) --passesInFlight_;
    ++renderCount_;
    // A new picture of the sky takes the tap text and any picture away.
    input_->ClearImage();
    pictures_->ClearPicture();
    // A notice stays for the picture its command asked for.
    if (!notice_.isEmpty() && renderCount_ > noticeUntilPass_) notice_.clear();
    update();
    emit rendered();
}

void CTavikView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The chart is drawn in device pixels and copied onto the window one to one.
    const QSize area = ChartArea();
    const QRect target(QPoint(0, 0), area);
    const QSize device = DeviceArea();
    const bool shown = canvas_->Paint(device.width(), device.height(), [&p, target](const QImage& image) {
        p.drawImage(target, image);
    });
    if (!shown) {
        // The image was made for another size: a new one now, the sky in a second.
        p.fillRect(target, ToQColor(colors_[slot::kBackground]));
        StartTimer(timer_id::kFirstPaint, 1000);
    } else if (const QImage* over = input_->ShownImage(); over && over->size() == device) {
        // The chart with the tap text written on it.
        p.drawImage(target, *over);
    }
    if (shown) pictures_->PaintPicture(p, QRect(QPoint(0, 0), area));
    // The strip of the magnifier panel: the view paints all of itself, so
    // that nothing stale shows wherever the panel leaves it uncovered.
    if (area.width() < width()) p.fillRect(QRect(area.width(), 0, width() - area.width(), height()), palette().window());
    p.end();
    const ColorModes modes = ColorModes::Load(store_);
    const QFont font = ViewFont(ChartFontTenths(settings_.fontSize, static_cast<int>(view_.chartSize / view_.pixelRatio)));
    // The one-line confirmation of the last command, on its own line above the
    // status lines until the notice goes.
    if (!notice_.isEmpty()) tavik::ShowNotice(*this, area.height(), font, notice_, colors_, modes);
    if (shown) {
        QPainter markers(this);
        markers.scale(1.0 / view_.pixelRatio, 1.0 / view_.pixelRatio);  // they are placed in device pixels
        DrawTelescopeMarks(markers, *canvas_, device, telescope_->TargetMark(), telescope_->ScopeMark(),
                           ToQColor(MapColor(colors_[slot::kTelescopeTrace], modes)));
        if (const auto mark = magnifier_->PendingTargetMark()) DrawTargetMark(markers, *mark, ToQColor(TextColor(modes)));
        if (const auto& found = search_->Mark())
            DrawFoundMark(markers, *canvas_, device, *found, view_.pixelRatio, ToQColor(TextColor(modes)));
    }
    if (Hourglass() && passesInFlight_ > 0) {
        QPainter mark(this);
        DrawBusyMark(mark, font, modes);
    }
    ++paintCount_;
    if (!firstPaintDone_) {
        firstPaintDone_ = true;
        StartTimer(timer_id::kFirstPaint, 1000);
        // With telescope control on, a reminder half a minute after the first show.
        if (TelescopeOn() && !reminderArmed_) {
            reminderArmed_ = true;
            StartTimer(timer_id::kTelescopeReminder, 30000);
        }
    }
    // The next step is armed only once the picture of the last one is shown.
    if (shown && !renderPending_ && passesInFlight_ == 0) time_.AfterRepaint();
}

void CTavikView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    magnifier_->Dock();
    {
        auto lock = Lock();
        UpdateGeometryLocked();
    }
    PostRender();
}

void CTavikView::FitChartToWindow() {
    {
        auto lock = Lock();
        const bool frozen = view_.fullScreen;
        view_.fullScreen = false;
        UpdateGeometryLocked();
        view_.fullScreen = frozen;
    }
    RefreshView();
}

void CTavikView::ShowNotice(const QString& text) {
    notice_ = text;
    noticeUntilPass_ = renderCount_ + 1;
    update();
}

bool CTavikView::HandlesCommand(int id) const {
    const bool numberedMark = id >= 32937 && id <= 32940;
    return numberedMark || ViewDialogs::Handles(id) || ScopeController::Handles(id) || PicturePresenter::Handles(id) ||
           MagnifierController::Handles(id) || ObjectSearchController::Handles(id) || TapMarkController::Handles(id) ||
           MinorBodyController::Handles(id) ||
           commands_.Handles(id);
}

ItemState CTavikView::CommandState(int id) const {
    return MinorBodyController::Handles(id) ? minor_->State(id, input_->PopupMinorBody()) : commands_.State(id);
}

bool CTavikView::RunControllerCommand(int id) {
    // These run only while their menu item is enabled.
    const bool gated = id == cmd::DateTimeDialog || id == cmd::StepInterval || id == cmd::OptionDialogs ||
                       ScopeController::Handles(id) || MagnifierController::Handles(id);
    if (gated && !CommandState(id).enabled) return true;
    if (ViewDialogs::Handles(id)) {
        dialogs_->Run(id, input_->PopupConstellation());
    } else if (ScopeController::Handles(id)) {
        telescope_->Run(id);
    } else if (MagnifierController::Handles(id)) {
        magnifier_->Run(id);
    } else if (ObjectSearchController::Handles(id)) {
        search_->Run(id);
    } else if (MinorBodyController::Handles(id)) {
        minor_->Run(id, input_->PopupMinorBody());
    } else if (PicturePresenter::Handles(id)) {
        pictures_->Run(id, input_->PopupConstellation());
    } else if (TapMarkController::Handles(id)) {
        tapMarks_->Run(id);
    } else if (id >= 32937 && id <= 32940) {
        // The numbered marks at the last tap point (or all cleared).
        if (ApplyNumberedMarkCommand(doc_.Numbered(), id, SkyUnderTap())) RefreshView();
    } else {
        return false;
    }
    return true;
}

bool CTavikView::RunCommand(int id) {
    if (id == cmd::FullScreen) {
        CommandResult r;
        {
            auto lock = Lock();
            r = commands_.Run(id);
        }
        if (!r.notice.empty()) ShowNotice(QString::fromStdString(r.notice));
        emit fullScreenChanged(view_.fullScreen);
    } else if (!RunControllerCommand(id)) {
        if (!commands_.Handles(id)) return false;
        CommandResult r;
        {
            auto lock = Lock();
            commands_.SetDataDirectory(doc_.DataDirectory());
            r = commands_.Run(id);
        }
        if (!r.error.empty()) prompts_.Error(QString::fromStdString(r.error));
        // Red mode reddens the whole window, menus and dialogs included.
        if (id == cmd::RedMode || id == cmd::BlackOnWhite || id == cmd::WhiteOnBlack || id == cmd::ColorDisplay) {
            ApplyNightMode(*qApp, settings_.allRed);
            // The restyled bars may move the chart's edge: that is no resize by
            // the user, and the new colours are drawn at once.
            RelayoutAtOnce();
        }
        if (!r.notice.empty()) ShowNotice(QString::fromStdString(r.notice));
        if (r.refresh) RefreshView();
    }
    emit stateChanged();
    return true;
}

void CTavikView::ApplySite(const ObservationSite& site) {
    ChangeTime([this, &site](TimeControl& time) {
        settings_.site = site;
        commands_.SaveAll();
        return time.SetToNow();
    });
    RefreshView();
}

// --- commands from the frame, presses and keys ---------------------------------

void CTavikView::SetCommandRouter(std::function<void(int)> run, ItemStateFn state) {
    router_ = std::move(run);
    routerState_ = std::move(state);
}

std::shared_ptr<const HitList> CTavikView::Hits() const { return canvas_->Hits(); }

void CTavikView::RunRouted(int id) {
    if (router_) {
        router_(id);
    } else {
        RunCommand(id);
    }
}

void CTavikView::mousePressEvent(QMouseEvent* e) {
    // Touch screens arrive here too: Qt turns an unhandled touch into mouse events.
    if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
    input_->Press(ToDevice(e->position()));
}

void CTavikView::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(e);
    input_->Move(ToDevice(e->position()));
}

void CTavikView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(e);
    // A tap (not the end of a drag) takes the found object's mark away.
    if (input_->Release(ToDevice(e->position()))) search_->ClearMark();
}

void CTavikView::wheelEvent(QWheelEvent* e) {
    gestures_->Wheel(e->angleDelta().y(), ToDevice(e->position()));
    e->accept();
}

void CTavikView::keyPressEvent(QKeyEvent* e) {
    if (!input_->Key(*e)) QWidget::keyPressEvent(e);
}

// --- what the controllers ask of the view --------------------------------------

void CTavikView::ChangeState(const std::function<void(ViewState&)>& change, bool save) {
    auto lock = Lock();
    change(view_);
    if (save) commands_.SaveAll();
}

ViewState CTavikView::LastPass() const {
    auto lock = Lock();
    return canvas_->LastViewLocked();
}

void CTavikView::WithCatalogue(const std::function<void(StarCatalog&)>& work) {
    auto lock = Lock();
    work(doc_.Catalog());
}

void CTavikView::ChangeTime(const std::function<TimeAction(TimeControl&)>& change) {
    TimeAction action;
    {
        auto lock = Lock();
        action = change(time_);
    }
    ApplyTime(action);
}

void CTavikView::EditWithoutPasses(const std::function<void(ViewSettings&, ViewState&)>& edit) {
    RenderSuspension suspended(*this);
    edit(settings_, view_);
}

void CTavikView::WithCanvas(const std::function<void(SkyCanvas&)>& work) {
    auto lock = Lock();
    work(*canvas_);
}

void CTavikView::ChangeSettings(const std::function<void(ViewSettings&)>& change) {
    auto lock = Lock();
    change(settings_);
}

SkyPosition CTavikView::SkyUnderTap() const {
    const QPoint at = TapPoint();
    auto lock = Lock();
    return UnprojectSky(canvas_->LastViewLocked(), at.x(), at.y());
}

std::optional<TapOutcome> CTavikView::TapAt(QPoint at, QImage* withText) { return canvas_->Tap(at.x(), at.y(), withText); }
const std::optional<StarRecord>& CTavikView::TappedRecord() const { return input_->TappedRecord(); }
QPoint CTavikView::TapPoint() const { return input_->TapPoint(); }
void CTavikView::SetTapPoint(QPoint at) { input_->SetTapPoint(at); }
void CTavikView::EndTap() { input_->EndTap(); }

ItemState CTavikView::RoutedState(int id) const {
    if (routerState_) return routerState_(id);
    ItemState st = CommandState(id);
    const CommandInfo* info = FindCommand(id);
    st.enabled = st.enabled && HandlesCommand(id) && (!info || info->built);
    return st;
}

std::unique_ptr<TapNoTurnHold> CTavikView::HoldTapTurns() { return std::make_unique<TapNoTurnHold>(settings_); }
QImage CTavikView::ChartImage() const { return Image(); }
QImage CTavikView::ChartWithAddIn(const std::string& path) const { return canvas_->WithAddIn(path); }

QFont CTavikView::TapFont() const {
    return ViewFont(ChartFontTenths(TapFontTenths(store_), view_.chartSize, view_.pixelRatio));
}

void CTavikView::ShowTapImage(QImage image) { input_->ShowImage(std::move(image)); }
void CTavikView::ShowOverChart(QImage image, int shownMs) { input_->ShowOverChart(std::move(image), shownMs); }
void CTavikView::ShowPicture(const std::string& path) { pictures_->ShowPicture(path, settings_.stretchJpeg); }

void CTavikView::WithPassesHeld(const std::function<void()>& dialog) {
    RenderSuspension suspended(*this);
    dialog();
}

void CTavikView::SetTelescopeOn(bool on) {
    auto lock = Lock();
    settings_.telescopeControl = on ? 1 : 0;
    commands_.SaveAll();
}

void CTavikView::SaveSettings() {
    auto lock = Lock();
    commands_.SaveAll();
}

std::string CTavikView::DataDirectory() const { return doc_.DataDirectory(); }

bool CTavikView::FinishPasses() {
    // Render requests that arrive meanwhile are dropped by the canvas.
    return canvas_->WaitIdle([] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    });
}

}  // namespace tavik
