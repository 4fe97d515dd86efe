#include "app/view/TavikView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QGestureEvent>
#include <QMouseEvent>
#include <QPinchGesture>
#include <QPainter>
#include <QTimer>
#include <QResizeEvent>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>
#include <filesystem>

#include "app/dialogs/ColorDialog.h"
#include "app/dialogs/ConstellationSelectDialog.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/OptionDialogs.h"
#include "app/dialogs/Prompts.h"
#include "app/dialogs/SiteDialog.h"
#include "app/dialogs/TodayDialog.h"
#include "app/view/GestureController.h"
#include "app/view/MagnifierController.h"
#include "app/view/MagnifierPanel.h"
#include "app/view/NightMode.h"
#include "app/view/TapMarkController.h"
#include "app/view/TavikDoc.h"
#include "catalog/ShiftJis.h"
#include "settings/SettingsStore.h"
#include "view/Fonts.h"
#include "view/HitList.h"
#include "view/Overlay.h"
#include "view/SkyRenderer.h"
#include "view/ViewCommands.h"

namespace tavik {

namespace {

constexpr QEvent::Type MessageType(int id) { return static_cast<QEvent::Type>(QEvent::User + id); }

// Timers that keep running until they are killed; every other timer of the
// view is one-shot and is killed by the handler before it acts.
bool IsRepeating(int id) { return id == timer_id::kAutoUpdate || id == timer_id::kTraceEnd; }

constexpr int kLongPressMs = 500;
constexpr int kTapInfoMs = 5000;
constexpr int kRelayoutSettleMs = 500;  // a new layout of the bars arrives within it
constexpr int kPictureDelayMs = 400;

// The pop-up request of a long press.
class PopupEvent final : public QEvent {
public:
    PopupEvent(bool hit, QPoint at)
        : QEvent(MessageType(view_message::kPopup)), hit(hit), at(at) {}
    bool hit;
    QPoint at;
};

// A menu of entries whose items run `run` with their command.
void FillMenu(QMenu& menu, const std::vector<MenuEntry>& entries, const std::function<void(int)>& run) {
    for (const MenuEntry& e : entries) {
        if (e.IsSeparator()) {
            menu.addSeparator();
        } else if (e.IsSubmenu()) {
            FillMenu(*menu.addMenu(QString::fromStdString(e.text)), e.children, run);
        } else {
            QAction* a = menu.addAction(QString::fromStdString(e.text));
            a->setData(e.id);
            a->setEnabled(e.enabled);
            if (e.checked) {
                a->setCheckable(true);
                a->setChecked(true);
            }
            const int id = e.id;
            QObject::connect(a, &QAction::triggered, &menu, [run, id] { run(id); });
        }
    }
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

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
    magnifier_ = std::make_unique<MagnifierController>(chart, timers, store_, prompts_, window);
    tapMarks_ = std::make_unique<TapMarkController>(chart, timers, doc_, store_, prompts_, window);
    gestures_ = std::make_unique<GestureController>(chart, timers, *magnifier_);
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
    return scene;
}

QImage CTavikView::Image() const { return canvas_->Snapshot(); }

void CTavikView::StartAfterLoad() {
    ApplyNightMode(*qApp, settings_.allRed);
    if (doc_.Loaded()) {
        time_.StartAfterLoad();
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
        TimeAction action;
        {
            auto lock = Lock();
            action = time_.OnAutoUpdateTimer(shown, view_);
        }
        ApplyTime(action);
        break;
    }
    case timer_id::kStep: {
        TimeAction action;
        {
            auto lock = Lock();
            action = time_.OnStepTimer();
        }
        ApplyTime(action);
        break;
    }
    case timer_id::kNoCatalogue:
        AskForCatalogue();
        break;
    case timer_id::kExit:
        emit exitRequested();
        break;
    case timer_id::kFirstPaint:
        RefreshView();
        break;
    case timer_id::kTapMenu:
        // Still held after half a second: the pop-up menu for the tap.
        if (stylusDown_) QCoreApplication::postEvent(this, new PopupEvent(tapHit_, tapPoint_));
        break;
    case timer_id::kTapInfo:
        infoShown_ = false;
        tapImage_ = QImage();
        update();
        break;
    case timer_id::kPicture:
        if (FileExists(pendingPicture_)) ShowPicture(pendingPicture_);
        break;
    case timer_id::kDescriptionShow:
        pictures_->ShowDescription();
        break;
    case timer_id::kDescriptionEdit:
        pictures_->EditDescription();
        break;
    case timer_id::kHorizonSearch:
        QCoreApplication::postEvent(this, new QEvent(MessageType(view_message::kHorizonSearch)));
        break;
    case timer_id::kTapSave0:
    case timer_id::kTapSave1:
        tapMarks_->OnTimer(id == timer_id::kTapSave1);
        break;
    case timer_id::kPost2052:
        QCoreApplication::postEvent(this, new QEvent(MessageType(view_message::kControlDialog)));
        break;
    case timer_id::kTrace:
        telescope_->OnTraceTimer();
        break;
    case timer_id::kTraceEnd:
        telescope_->OnTraceEnd();
        break;
    case timer_id::kTelescopeReminder:
        telescope_->OnReminder();
        break;
    default:
        // Telescope, tap-mark, search, picture and add-in timers: their work
        // belongs to parts of the program that are not in this build.
        break;
    }
    emit stateChanged();
}

void CTavikView::AskForCatalogue() {
    prompts_.Info(QString::fromUtf8("データファイルを指定してください。"));
    const QString file = prompts_.ChooseFile(QString::fromUtf8("データファイルを指定してください。"),
                                             QString::fromUtf8("データ(*.dat)"), doc_.CataloguePromptStart());
    bool loaded = false;
    // No pass runs or starts while there is no catalogue, so the load needs no lock
    // (it pumps messages, and a paint then takes the lock itself).
    if (!file.isEmpty()) {
        loaded = doc_.LoadChosen(std::filesystem::path(file.toStdString()));
        if (!loaded && doc_.LastResult().catalog.opened)
            prompts_.Error(QString::fromStdString(doc_.LastResult().catalog.error));
    }
    if (loaded) {
        time_.StartAfterLoad();
        RefreshView();
        return;
    }
    prompts_.Info(QString::fromUtf8("プログラムを 10秒後に終了します。"));
    StartTimer(timer_id::kExit, 10000);
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
    }
    magnifier_->Sync();
    if (!doc_.Loaded()) return;
    PostRender();
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
    if (e->type() == MessageType(view_message::kRender)) {
        HandleRender();
        return true;
    }
    if (e->type() == MessageType(view_message::kHorizonSearch)) {
        magnifier_->RunHorizonSearch();
        return true;
    }
    if (e->type() == MessageType(view_message::kControlDialog)) {
        telescope_->OpenControlDialog();
        return true;
    }
    if (e->type() == MessageType(view_message::kPopup)) {
        const auto* popup = static_cast<PopupEvent*>(e);
        OnPopupRequest(popup->hit, popup->at);
        return true;
    }
    if (e->type() == MessageType(view_message::kClientArea)) {
        {
            auto lock = Lock();
            UpdateGeometryLocked();
        }
        RefreshView();
        return true;
    }
    return QWidget::event(e);
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
    tapImage_ = QImage();
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
    } else if (infoShown_ && tapImage_.size() == device) {
        // The chart with the tap text written on it.
        p.drawImage(target, tapImage_);
    }
    if (shown) pictures_->PaintPicture(p, QRect(QPoint(0, 0), area));
    p.end();
    const ColorModes modes = ColorModes::Load(store_);
    const QFont font = ViewFont(ChartFontTenths(settings_.fontSize, static_cast<int>(view_.chartSize / view_.pixelRatio)));
    // The one-line confirmation of the last command, over the site line in the
    // bottom-left corner until the notice goes.
    if (!notice_.isEmpty()) tavik::ShowNotice(*this, area.height(), font, notice_, colors_, modes);
    if (shown) {
        QPainter markers(this);
        markers.scale(1.0 / view_.pixelRatio, 1.0 / view_.pixelRatio);  // they are placed in device pixels
        DrawMarkers(markers);
        DrawTargetMark(markers);
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
    switch (id) {
    case cmd::SiteDialog: case cmd::DateTimeDialog: case cmd::StepInterval:
    case cmd::TodaysData: case cmd::ColorDialog: case cmd::OptionDialogs:
    case cmd::AllConstellations: case cmd::OnlyConstellation: case cmd::ConstellationChoice:
    case 32937: case 32938: case 32939: case 32940:
        return true;
    default:
        return ScopeController::Handles(id) || PicturePresenter::Handles(id) || MagnifierController::Handles(id) ||
               TapMarkController::Handles(id) || commands_.Handles(id);
    }
}

ItemState CTavikView::CommandState(int id) const { return commands_.State(id); }

bool CTavikView::RunCommand(int id) {
    switch (id) {
    case cmd::SiteDialog: RunSiteDialog(); break;
    case cmd::DateTimeDialog:
        if (CommandState(id).enabled) RunDateTimeDialog();
        break;
    case cmd::StepInterval:
        if (CommandState(id).enabled) RunIntervalDialog();
        break;
    case cmd::TodaysData: RunTodayData(); break;
    case cmd::ColorDialog: RunColorDialog(); break;
    case cmd::AllConstellations: SelectConstellation(false); break;
    case cmd::ConstellationChoice: RunConstellationDialog(); break;
    case cmd::OnlyConstellation: SelectConstellation(true); break;
    case cmd::FullScreen: {
        CommandResult r;
        {
            auto lock = Lock();
            r = commands_.Run(id);
        }
        if (!r.notice.empty()) ShowNotice(QString::fromStdString(r.notice));
        emit fullScreenChanged(view_.fullScreen);
        break;
    }
    case cmd::OptionDialogs:
        if (CommandState(id).enabled) RunOptionDialogs();
        break;
    case 32937: case 32938: case 32939: case 32940: {
        // The numbered marks at the last tap point (or all cleared).
        if (ApplyNumberedMarkCommand(doc_.Numbered(), id, SkyUnderTap())) RefreshView();
        break;
    }
    default: {
        if (ScopeController::Handles(id) || MagnifierController::Handles(id)) {
            if (CommandState(id).enabled) {
                if (ScopeController::Handles(id)) telescope_->Run(id); else magnifier_->Run(id);
            }
            break;
        }
        if (PicturePresenter::Handles(id)) {
            pictures_->Run(id, popupConstellation_);
            break;
        }
        if (TapMarkController::Handles(id)) {
            tapMarks_->Run(id);
            break;
        }
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
        break;
    }
    }
    emit stateChanged();
    return true;
}

void CTavikView::ApplySite(const ObservationSite& site) {
    TimeAction action;
    {
        auto lock = Lock();
        settings_.site = site;
        commands_.SaveAll();
        action = time_.SetToNow();
    }
    ApplyTime(action);
    RefreshView();
}

void CTavikView::RunSiteDialog() {
    RenderSuspension suspended(*this);  // the dialog writes the user sites
    CSiteDialog dlg(settings_.site, store_, prompts_, this);
    if (dlg.exec() == QDialog::Accepted) ApplySite(dlg.Result());
}

void CTavikView::RunDateTimeDialog() {
    CDateTimeDialog dlg(time_.Current(), time_, prompts_, this);
    if (dlg.exec() == QDialog::Accepted) {
        const DateTimeFields f = dlg.Fields();
        TimeAction action;
        {
            auto lock = Lock();
            action = time_.SetDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second);
        }
        ApplyTime(action);
    }
}

void CTavikView::RunIntervalDialog() {
    CIntervalDialog dlg(time_.Interval(), this);
    if (dlg.exec() == QDialog::Accepted && dlg.Chosen()) {
        auto lock = Lock();
        time_.SetInterval(*dlg.Chosen(), store_);
    }
}

void CTavikView::RunTodayData() {
    RunTodayDataDialogs(time_, settings_.site, this);
    RefreshView();
}

void CTavikView::RunColorDialog() {
    int code = 0;
    ColorTable table;
    {
        RenderSuspension suspended(*this);
        CColorDialog dlg(store_, this);
        code = dlg.exec();
        table = dlg.Table();
    }
    {
        auto lock = Lock();
        ApplyColorDialogResult(code == QDialog::Accepted             ? ColorDialogResult::Ok
                               : code == CColorDialog::kResetAll ? ColorDialogResult::ResetAll
                                                                 : ColorDialogResult::Cancel,
                               table, store_);
        // The view's save operation writes the colours too: keep its copy current.
        for (int i = 0; i < kColorSlots; ++i) settings_.colors[static_cast<std::size_t>(i)] = table[i];
    }
    RefreshView();
}

}  // namespace tavik

namespace tavik {

// --- taps, pop-up menus and keys ---------------------------------------------

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
    const QPoint at = ToDevice(e->position());
    gestures_->Press(at);
    StylusDown(at);
}

void CTavikView::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(e);
    gestures_->MoveTo(ToDevice(e->position()));
}

void CTavikView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(e);
    if (gestures_->Release()) {
        // The end of a drag is no tap.
        KillTimer(timer_id::kTapMenu);
        stylusDown_ = false;
        tapHit_ = false;
        return;
    }
    StylusUp(ToDevice(e->position()));
}

void CTavikView::wheelEvent(QWheelEvent* e) {
    gestures_->Wheel(e->angleDelta().y(), ToDevice(e->position()));
    e->accept();
}

void CTavikView::StylusDown(QPoint at) {
    pressEnded_ = false;
    const ViewMode mode = view_.viewMode;
    // A tap hides the panel when the option asks for it.
    magnifier_->HideForTap();
    if (mode == ViewMode::PolarAlignment || mode == ViewMode::Heliocentric) return;
    if (pictures_->ClearPicture()) update();
    tapHit_ = ShowTapInfo(at);
    if (pressEnded_) {
        tapHit_ = false;
        return;
    }
    stylusDown_ = true;
    StartTimer(timer_id::kTapMenu, kLongPressMs);
}

void CTavikView::StylusUp(QPoint at) {
    KillTimer(timer_id::kTapMenu);
    const bool wasDown = stylusDown_;
    stylusDown_ = false;
    if (!wasDown && pressEnded_) return;  // the release of a press a question ended
    if (view_.viewMode == ViewMode::PolarAlignment) {
        {
            auto lock = Lock();
            view_.polarFine = !view_.polarFine;
            commands_.SaveAll();
        }
        RefreshView();
        return;
    }
    // The first tap on empty sky while a tap text is shown only ends that text.
    if (!tapHit_ && !infoShown_) ActByRegion(at);
    if (infoShown_ && !tapHit_) {
        infoShown_ = false;
        KillTimer(timer_id::kTapInfo);
        tapImage_ = QImage();
        update();
    }
    tapHit_ = false;
}

bool CTavikView::ShowTapInfo(QPoint at) {
    tappedRecord_.reset();
    tapPoint_ = at;
    QImage withText;
    const std::optional<TapOutcome> out = canvas_->Tap(at.x(), at.y(), &withText);
    if (!out || !out->hit || !out->record) return false;
    tappedRecord_ = out->record;
    tapPoint_ = QPoint(out->x, out->y);
    tapText_ = out->text;
    const StarRecord& r = *tappedRecord_;
    if (!r.IsTapMark()) {
        tapImage_ = std::move(withText);
        update();
    } else if (tapMarks_->ActOn(r)) {
        // A question took the press (its box had the release): the press is
        // over, no long-press menu follows.
        pressEnded_ = true;
    }
    const std::string dir = doc_.DataDirectory();
    if (r.IsSolarPlaceholder() && settings_.planetJpeg == 1) {
        const std::string path = dir + SjisToUtf8(r.DesignationText()) + ".jpg";
        if (FileExists(path)) ShowPicture(path);
    }
    if (r.kind >= kKindGlobularCluster && r.kind <= kKindGalaxy && settings_.messierJpeg) {
        pendingPicture_ = dir + std::string(r.ShortDesignation()) + ".jpg";
        StartTimer(timer_id::kPicture, kPictureDelayMs);
    }
    infoShown_ = true;
    StartTimer(timer_id::kTapInfo, kTapInfoMs);
    return true;
}


void CTavikView::ActByRegion(QPoint device) {
    // The regions are measured in window pixels.
    const double ratio = view_.pixelRatio;
    const QPoint at = (QPointF(device) / ratio).toPoint();
    const int x = at.x(), y = at.y();
    const int w = ChartArea().width(), h = ChartArea().height();
    if (y > h - 10) {
        if (x > w - 40) RunRouted(cmd::DateTimeDialog);
        return;
    }
    if (settings_.tapNoTurn) return;
    bool changed = false;
    {
        auto lock = Lock();
        ViewState& v = view_;
        const int r = static_cast<int>(v.chartSize / ratio);
        const int x0 = static_cast<int>(v.chartOffsetX / ratio);
        switch (v.viewMode) {
        case ViewMode::Direction:
        case ViewMode::Magnified: {
            const bool magnified = v.viewMode == ViewMode::Magnified;
            if (y <= 39) {
                if (!magnified) changed = StepUp(v).handled;
            } else if (y > std::min(r - 40, h - 38)) {
                if (!magnified) changed = StepDown(v).handled;
            } else if (x > x0 + r - 60) {
                changed = TurnBy(v, 10).handled;
            } else if (x < x0 + 40) {
                changed = TurnBy(v, -10).handled;
            }
            break;
        }
        case ViewMode::Planisphere:
        case ViewMode::Zenith:
            if (x > x0 + 60 && x < x0 + r - 60) {
                if (y <= 29) {
                    v.facing = (v.facing + 2) % 4;
                    changed = true;
                } else if (y > std::min(r, h - 20)) {
                    v.viewMode = ViewMode::Direction;
                    v.heightBand = v.noWholeBand ? HeightBand::High : HeightBand::Whole;
                    changed = true;
                }
            }
            if (!changed && y > 60 && y < r - 60) {
                if (x < x0 + 20) {
                    v.facing = v.facing == 0 ? 3 : v.facing - 1;
                    changed = true;
                } else if (x > x0 + 220) {
                    v.facing = (v.facing + 1) % 4;
                    changed = true;
                }
            }
            if (changed) {
                RefreshViewState(v);
                UpdateMagnifierHeading(v);
            }
            break;
        default:
            break;
        }
        if (changed) commands_.SaveAll();
    }
    if (changed) {
        RefreshView();
        emit stateChanged();
    }
}

void CTavikView::OnPopupRequest(bool hit, QPoint at) {
    bool cleared = false;
    PopupKind kind;
    {
        auto lock = Lock();
        kind = ChoosePopup(settings_, view_.viewMode, &cleared);
        if (cleared) commands_.SaveAll();
    }
    if (cleared) emit stateChanged();
    if (kind == PopupKind::None) return;
    OpenPopupMenu(kind, at, hit && tappedRecord_ ? &*tappedRecord_ : nullptr);
}

void CTavikView::OpenPopupMenu(PopupKind kind, QPoint at, const StarRecord* tapped) {
    PopupContext c;
    c.mode = view_.viewMode;
    c.tapped = tapped;
    c.magnifierPanelExists = view_.magnifier.present;
    c.magnifierPanelHidden = magnifier_->PanelHidden();
    c.telescopeControl = settings_.telescopeControl == 1;
    c.fullScreen = settings_.fullScreen == 1;
    // The constellation items act on the constellation of this menu's object.
    popupConstellation_.clear();
    if (tapped && !tapped->IsSolarPlaceholder()) popupConstellation_ = std::string(tapped->ConstellationText());
    const ItemStateFn state = routerState_ ? routerState_ : ItemStateFn([this](int id) {
        ItemState st = CommandState(id);
        const CommandInfo* info = FindCommand(id);
        st.enabled = st.enabled && HandlesCommand(id) && (!info || info->built);
        return st;
    });
    const std::vector<MenuEntry> entries = BuildPopupMenu(kind, c, state);
    if (popup_) popup_->deleteLater();
    popup_ = new QMenu(this);
    popup_->setAttribute(Qt::WA_DeleteOnClose, false);
    FillMenu(*popup_, entries, [this](int id) {
        // After the menu has closed, as a menu command would.
        QMetaObject::invokeMethod(this, [this, id] { RunRouted(id); }, Qt::QueuedConnection);
    });
    popup_->popup(mapToGlobal((QPointF(at) / view_.pixelRatio).toPoint()));
}

void CTavikView::RunOptionDialogs() {
    const bool wasFullScreen = view_.fullScreen;
    const bool controlBefore = TelescopeOn();
    OptionsOutcome outcome;
    {
        RenderSuspension suspended(*this);  // the dialogs write the view's settings
        outcome = RunOptionChain(settings_, view_, store_, prompts_, this);
        // Cancelled throughout, nothing is stored.
        auto lock = Lock();
        if (outcome.confirmed) commands_.SaveAll();
    }
    magnifier_->SetAutoEnter(settings_.autoEnter == 1);
    if (view_.fullScreen != wasFullScreen) emit fullScreenChanged(view_.fullScreen);
    if (outcome.telescopeControl && outcome.confirmed) {
        // With telescope control on after the options: its settings, the clock
        // to now, and real-time updating.
        if (!controlBefore) telescope_->RunSettingsDialog();
        RunCommand(cmd::SetNow);
        if (!time_.AutoUpdate()) {
            RunCommand(cmd::AutoUpdate);
            ShowNotice(QString::fromUtf8("自動更新モードを設定しました"));
        }
    }
    if (outcome.confirmed) RefreshView();
    emit stateChanged();
}

void CTavikView::RunConstellationDialog() {
    bool active = false;
    std::vector<std::string> selected;
    {
        auto lock = Lock();
        const ConstellationSelection& s = canvas_->SelectionLocked();
        active = s.Active();
        for (int i = 0; i < ConstellationSelection::kSlots; ++i)
            if (!s.Slot(i).empty()) selected.emplace_back(s.Slot(i));
    }
    CConstellationSelectDialog dlg(active, std::move(selected), this);
    if (dlg.exec() != QDialog::Accepted) return;
    {
        auto lock = Lock();
        canvas_->TakeSelection(dlg.Active(), dlg.Chosen(), doc_.Catalog());
        commands_.SaveAll();
    }
    ShowNotice(QString::fromUtf8("星座選択"));
    RefreshView();
}

void CTavikView::SelectConstellation(bool onlyTapped) {
    if (onlyTapped && popupConstellation_.empty()) return;
    {
        auto lock = Lock();
        if (onlyTapped) {
            canvas_->SelectOnlyConstellation(popupConstellation_, doc_.Catalog());
        } else {
            canvas_->ShowAllConstellations();
        }
    }
    RefreshView();
}

void CTavikView::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    if (key == Qt::Key_Escape && view_.fullScreen) {
        // Escape also leaves full screen.
        RunRouted(cmd::FullScreen);
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        // The action key's menu.
        if (store_.GetProfileInt("ACTION", "MENU", 1) == 1) {
            QMetaObject::invokeMethod(
                this, [this] { OpenPopupMenu(PopupKind::ActionKey, QPoint(22, 22), nullptr); },
                Qt::QueuedConnection);
        }
        return;
    }
    if (e->text() == QStringLiteral("q") || e->text() == QStringLiteral("Q")) {
        if (prompts_.Ask(QString::fromUtf8("プログラムを終了しますか？"))) RunRouted(cmd::Exit);
        return;
    }
    if (!HandleKey(key)) QWidget::keyPressEvent(e);
}

bool CTavikView::HandleKey(int key) {
    const bool reversed = settings_.cursorReversed != 0;
    const bool cursorKeys = settings_.cursorKeys;
    const int action = settings_.actionFunction;
    // Left and Right turn the chart the other way unless CURSOR/HANTEN is set.
    const int leftKey = reversed ? ViewCommand::TurnLeft : ViewCommand::TurnRight;
    const int rightKey = reversed ? ViewCommand::TurnRight : ViewCommand::TurnLeft;
    int id = 0;
    if (view_.magnifier.present) {
        switch (key) {
        case Qt::Key_Left: id = leftKey; break;
        case Qt::Key_Right: id = rightKey; break;
        case Qt::Key_Up:
            id = cursorKeys ? ViewCommand::StepUp
                 : action == 0 ? ViewCommand::TurnRight
                 : action == 1 ? ViewCommand::StepUp
                               : cmd::PanelZoomIn;
            break;
        case Qt::Key_Down:
            id = cursorKeys ? ViewCommand::StepDown
                 : action == 0 ? ViewCommand::TurnLeft
                 : action == 1 ? ViewCommand::StepDown
                               : cmd::PanelZoomOut;
            break;
        case Qt::Key_A: id = ViewCommand::TurnLeft; break;
        case Qt::Key_S: id = ViewCommand::TurnRight; break;
        case Qt::Key_W: id = ViewCommand::StepUp; break;
        case Qt::Key_Z: id = ViewCommand::StepDown; break;
        case Qt::Key_E: case Qt::Key_I: id = cmd::PanelZoomIn; break;
        case Qt::Key_O: case Qt::Key_X: id = cmd::PanelZoomOut; break;
        case Qt::Key_N:
            if (magnifier_->PanelHidden()) magnifier_->ShowNavigator();
            return true;
        default: break;
        }
    }
    const ViewMode mode = view_.viewMode;
    if (id == 0 && mode != ViewMode::PolarAlignment && mode != ViewMode::Heliocentric) {
        if (cursorKeys) {
            if (key == Qt::Key_Left) id = leftKey;
            if (key == Qt::Key_Right) id = rightKey;
            if (key == Qt::Key_Up) id = ViewCommand::StepUp;
            if (key == Qt::Key_Down) id = ViewCommand::StepDown;
        } else {
            if (key == Qt::Key_Up) id = action == 1 ? ViewCommand::StepUp : ViewCommand::TurnRight;
            if (key == Qt::Key_Down) id = action == 1 ? ViewCommand::StepDown : ViewCommand::TurnLeft;
        }
    }
    if (id == 0) return false;
    RunRouted(id);
    return true;
}

}  // namespace tavik

namespace tavik {

// --- drawn over the chart ----------------------------------------------------

void CTavikView::DrawMarkers(QPainter& p) {
    const std::optional<SkyPosition>& target = telescope_->TargetMark();
    const std::optional<SkyPosition>& scope = telescope_->ScopeMark();
    if (!target && !scope) return;
    const ColorModes modes = ColorModes::Load(store_);
    QColor color = ToQColor(MapColor(colors_[slot::kTelescopeTrace], modes));
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, 1));
    const QRect chart(QPoint(0, 0), DeviceArea());
    auto place = [&](const SkyPosition& s) -> std::optional<QPoint> {
        const std::optional<ProjectedPoint> pt = canvas_->ProjectOnLastPass(s.rightAscension, s.declination);
        if (!pt || !pt->visible || !chart.contains(pt->x, pt->y)) return std::nullopt;
        return QPoint(pt->x, pt->y);
    };
    if (target) {
        if (const auto at = place(*target)) p.drawEllipse(QRect(at->x() - 5, at->y() - 5, 11, 11));
    }
    if (scope) {
        if (const auto at = place(*scope)) {
            p.drawEllipse(QRect(at->x() - 5, at->y() - 5, 10, 10));
            p.drawEllipse(QRect(at->x() - 3, at->y() - 3, 6, 6));
        }
    }
    p.restore();
}

void CTavikView::DrawTargetMark(QPainter& p) {
    const std::optional<TargetMarkGeometry> mark = magnifier_->PendingTargetMark();
    if (!mark) return;
    const ColorModes modes = ColorModes::Load(store_);
    p.save();
    p.setPen(QPen(ToQColor(TextColor(modes)), 1));
    for (const auto& l : mark->lines) p.drawLine(l.x1, l.y1, l.x2, l.y2);
    p.restore();
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

SkyPosition CTavikView::SkyUnderTap() const {
    auto lock = Lock();
    return UnprojectSky(canvas_->LastViewLocked(), tapPoint_.x(), tapPoint_.y());
}

void CTavikView::EndTap() {
    tapHit_ = false;
    if (infoShown_) {
        infoShown_ = false;
        tapImage_ = QImage();
        update();
    }
}

std::unique_ptr<TapNoTurnHold> CTavikView::HoldTapTurns() { return std::make_unique<TapNoTurnHold>(settings_); }

QImage CTavikView::ChartImage() const { return canvas_->Snapshot(); }

QImage CTavikView::ChartWithAddIn(const std::string& path) const { return canvas_->WithAddIn(path); }

QFont CTavikView::TapFont() const {
    return ViewFont(ChartFontTenths(TapFontTenths(store_), view_.chartSize, view_.pixelRatio));
}

void CTavikView::ShowTapImage(QImage image) {
    tapImage_ = std::move(image);
    update();
}

void CTavikView::ShowOverChart(QImage image, int shownMs) {
    tapImage_ = std::move(image);
    infoShown_ = true;
    StartTimer(timer_id::kTapInfo, shownMs);
    update();
}

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
