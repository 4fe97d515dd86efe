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
      commands_(view_, settings_, time_, store_),
      skyRenderer_(std::make_shared<SkyRenderer>()) {
    renderer_ = [r = skyRenderer_](QImage& image, const SkyFrame& frame) {
        RenderSkyPass(*r, image, frame);
    };
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    commands_.Load();
    // Every entry exists after the first run.
    commands_.SaveAll();
}

CTavikView::~CTavikView() {
    // The magnified view's state is kept only when the view goes away.
    SaveMagnifierState(view_, store_);
}

QSize CTavikView::sizeHint() const { return QSize(320, 400); }

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
        ApplyTime(time_.OnAutoUpdateTimer(inFront, view_));
        break;
    }
    case timer_id::kStep:
        ApplyTime(time_.OnStepTimer());
        break;
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
    if (!file.isEmpty() && doc_.LoadChosen(std::filesystem::path(file.toStdString()))) {
        time_.StartAfterLoad();
        RefreshView();
        return;
    }
    prompts_.Info(QString::fromUtf8("プログラムを 10秒後に終了します。"));
    StartTimer(timer_id::kExit, 10000);
}

void CTavikView::ApplyTime(const TimeAction& action) {
    if (action.recomputeFraming) RefreshViewState(view_);
    if (action.saveSettings) commands_.SaveAll();
    if (action.refresh) RefreshView();
}

void CTavikView::RefreshView() {
    RefreshViewState(view_);
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
        UpdateChartGeometry(view_, width(), height());
        RefreshView();
        return true;
    }
    return QWidget::event(e);
}

void CTavikView::HandleRender() {
    renderPending_ = false;
    if (rendering_) {
        // A request that arrives during a pass is run after it.
        PostRender();
        return;
    }
    if (image_.size() != size()) {
        // The client size changed: a new image now, the drawing one second later.
        image_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        ColorTable colors;
        colors.Load(store_);
        image_.fill(ToQColor(colors[slot::kBackground]));
        StartTimer(timer_id::kFirstPaint, 1000);
        update();
        return;
    }
    rendering_ = true;
    UpdateChartGeometry(view_, width(), height());
    view_.turnRadians = view_.turnDegrees * 3.14159265358979323846 / 180.0;
    SkyFrame frame;
    frame.view = &view_;
    frame.settings = &store_;
    frame.catalog = &doc_.Catalog();
    frame.localTime = time_.Current();
    frame.site = settings_.site;
    frame.dataDirectory = doc_.DataDirectory();
    frame.overwrite = commands_.Overwrite();
    frame.notice = notice_;
    // PROC/SANDCLOCK off: the wait cursor is shown while the sky is drawn.
    const bool waitCursor = !settings_.noWaitCursor;
    if (waitCursor) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    renderer_(image_, frame);
    if (waitCursor) QGuiApplication::restoreOverrideCursor();
    notice_.clear();  // a notice is shown by one pass
    ++renderCount_;
    rendering_ = false;
    update();
    emit rendered();
}

void CTavikView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (image_.isNull()) {
        p.fillRect(rect(), Qt::black);
    } else {
        p.drawImage(0, 0, image_);
    }
    p.end();
    ++paintCount_;
    if (!firstPaintDone_) {
        firstPaintDone_ = true;
        StartTimer(timer_id::kFirstPaint, 1000);
    }
    // The next step is armed only once the picture of the last one is shown.
    if (!renderPending_ && !rendering_) time_.AfterRepaint();
}

void CTavikView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    UpdateChartGeometry(view_, width(), height());
    PostRender();
}

void CTavikView::ShowNotice(const QString& text) { notice_ = text; }

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
        commands_.SetDataDirectory(doc_.DataDirectory());
        const CommandResult r = commands_.Run(id);
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
    settings_.site = site;
    commands_.SaveAll();
    ApplyTime(time_.SetToNow());
    RefreshView();
}

void CTavikView::RunSiteDialog() {
    CSiteDialog dlg(settings_.site, store_, prompts_, this);
    if (dlg.exec() == QDialog::Accepted) ApplySite(dlg.Result());
}

void CTavikView::RunDateTimeDialog() {
    CDateTimeDialog dlg(time_.Current(), time_, prompts_, this);
    if (dlg.exec() == QDialog::Accepted) {
        const DateTimeFields f = dlg.Fields();
        ApplyTime(time_.SetDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second));
    }
}

void CTavikView::RunIntervalDialog() {
    CIntervalDialog dlg(time_.Interval(), this);
    if (dlg.exec() == QDialog::Accepted && dlg.Chosen()) time_.SetInterval(*dlg.Chosen(), store_);
}

void CTavikView::RunTodayData() {
    RunTodayDataDialogs(time_, settings_.site, this);
    RefreshView();
}

void CTavikView::RunColorDialog() {
    CColorDialog dlg(store_, this);
    dlg.exec();  // the dialog stores or restores the table itself
    // The view's save operation writes the colours too: keep its copy current.
    ColorTable table;
    table.Load(store_);
    for (int i = 0; i < kColorSlots; ++i) settings_.colors[static_cast<std::size_t>(i)] = table[i];
    RefreshView();
}

}  // namespace tavik
