#include "app/TavikView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimerEvent>

#include <filesystem>

#include "app/ColorDialog.h"
#include "app/Dialogs.h"
#include "app/Prompts.h"
#include "app/SiteDialog.h"
#include "app/TavikDoc.h"
#include "app/TodayDialog.h"
#include "settings/SettingsStore.h"
#include "view/Fonts.h"
#include "view/Overlay.h"
#include "view/SkyRenderer.h"

namespace tavik {

namespace {

constexpr QEvent::Type MessageType(int id) { return static_cast<QEvent::Type>(QEvent::User + id); }

// Timers that keep running until they are killed; every other timer of the
// view is one-shot and is killed by the handler before it acts.
bool IsRepeating(int id) { return id == timer_id::kAutoUpdate || id == timer_id::kTraceEnd; }

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
    commands_.Load();
    // Every entry exists after the first run.
    commands_.SaveAll();
    colors_.Load(store_);
    canvas_ = std::make_unique<SkyCanvas>([this] { return Scene(); });
    // Runs on the thread that drew the pass; the window learns of it through
    // its own queue.
    canvas_->SetRenderedCallback([this] {
        QMetaObject::invokeMethod(this, [this] { OnPassDone(); }, Qt::QueuedConnection);
    });
}

CTavikView::~CTavikView() {
    canvas_->StopWorker();
    // The magnified view's state is kept only when the view goes away.
    SaveMagnifierState(view_, store_);
}

QSize CTavikView::sizeHint() const { return QSize(320, 400); }

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
    return scene;
}

QImage CTavikView::Image() const { return canvas_->Snapshot(); }

void CTavikView::StartAfterLoad() {
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
        const bool inFront = window() && window()->isActiveWindow();
        TimeAction action;
        {
            auto lock = Lock();
            action = time_.OnAutoUpdateTimer(inFront, view_);
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
                                             QStringLiteral("tavik.dat (*.dat);;* (*)"));
    bool loaded = false;
    // No pass runs or starts while there is no catalogue, so the load needs no lock
    // (it pumps messages, and a paint then takes the lock itself).
    if (!file.isEmpty()) loaded = doc_.LoadChosen(std::filesystem::path(file.toStdString()));
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
    if (!doc_.Loaded()) return;
    PostRender();
}

void CTavikView::PostRender() {
    if (renderPending_) return;  // a pending request covers this one
    renderPending_ = true;
    QCoreApplication::postEvent(this, new QEvent(MessageType(view_message::kRender)));
}

bool CTavikView::event(QEvent* e) {
    if (e->type() == MessageType(view_message::kRender)) {
        HandleRender();
        return true;
    }
    if (e->type() == MessageType(view_message::kClientArea)) {
        {
            auto lock = Lock();
            UpdateChartGeometry(view_, width(), height());
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
    {
        auto lock = Lock();
        UpdateChartGeometry(view_, width(), height());
    }
    const bool hourglass = Hourglass();
    // Without the hourglass option the pass runs here, under the wait cursor.
    if (!hourglass) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const SkyCanvas::Outcome outcome = canvas_->HandleRenderRequest(
        width(), height(), hourglass, [] {
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
    // A notice stays for the picture its command asked for.
    if (!notice_.isEmpty() && renderCount_ > noticeUntilPass_) notice_.clear();
    update();
    emit rendered();
}

void CTavikView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const bool shown = canvas_->Paint(width(), height(), [&p](const QImage& image) {
        p.drawImage(0, 0, image);
    });
    if (!shown) {
        // The image was made for another size: a new one now, the sky in a second.
        p.fillRect(rect(), ToQColor(colors_[slot::kBackground]));
        StartTimer(timer_id::kFirstPaint, 1000);
    }
    p.end();
    const ColorModes modes = ColorModes::Load(store_);
    const QFont font = ViewFont(settings_.fontSize);
    // The one-line confirmation of the last command, in the bottom-left corner
    // it shares with the site line (so only while the site texts are hidden).
    if (!notice_.isEmpty()) {
        tavik::ShowNotice(*this, height(), font, notice_, colors_, modes, settings_.noSiteName != 0);
    }
    if (Hourglass() && passesInFlight_ > 0) {
        QPainter mark(this);
        DrawBusyMark(mark, font, modes);
    }
    ++paintCount_;
    if (!firstPaintDone_) {
        firstPaintDone_ = true;
        StartTimer(timer_id::kFirstPaint, 1000);
    }
    // The next step is armed only once the picture of the last one is shown.
    if (shown && !renderPending_ && passesInFlight_ == 0) time_.AfterRepaint();
}

void CTavikView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    {
        auto lock = Lock();
        UpdateChartGeometry(view_, width(), height());
    }
    PostRender();
}

void CTavikView::ShowNotice(const QString& text) {
    notice_ = text;
    noticeUntilPass_ = renderCount_ + 1;
    update();
}

bool CTavikView::HandlesCommand(int id) const {
    switch (id) {
    case cmd::SiteDialog: case cmd::DateTimeDialog: case cmd::StepInterval:
    case cmd::TodaysData: case cmd::ColorDialog:
        return true;
    default:
        return commands_.Handles(id);
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
    default: {
        if (!commands_.Handles(id)) return false;
        CommandResult r;
        {
            auto lock = Lock();
            commands_.SetDataDirectory(doc_.DataDirectory());
            r = commands_.Run(id);
        }
        if (!r.error.empty()) prompts_.Error(QString::fromStdString(r.error));
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
