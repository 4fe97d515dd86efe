// The sky view's telescope side: the control dialog, goto of the tapped
// object, the position check, switching control on and off, the toolbar moves
// and speeds, the trace after a goto with its markers, and the start-up
// reminder. Every exchange runs on the window thread through the controller,
// whose message pump keeps the window responsive meanwhile.

#include <QCoreApplication>
#include <QPainter>
#include <QThread>

#include <cmath>

#include "app/Prompts.h"
#include "app/TavikDoc.h"
#include "app/TavikView.h"
#include "app/TelescopeControlDialog.h"
#include "app/TelescopeSettingsDialog.h"
#include "astro/Angles.h"
#include "settings/SettingsStore.h"
#include "telescope/GotoTarget.h"
#include "telescope/Mount.h"
#include "view/SkyRenderer.h"

namespace tavik {

namespace {

constexpr int kOpenDialogDelayMs = 1000;
constexpr int kTraceMs = 60000;
constexpr int kRedrawAfterMs = 10000;
constexpr int kRedrawSoonMs = 100;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

double WrapRa(double ra) {
    ra = std::fmod(ra, 2.0 * kPi);
    return ra < 0.0 ? ra + 2.0 * kPi : ra;
}

void Pump() { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); }

}  // namespace

Mount& CTavikView::Scope() {
    if (!scope_) {
        // The mount is told the site's time, whatever the machine's zone.
        scopeClock_ = std::make_unique<SystemTelescopeClock>([this] { return settings_.site.zoneOffsetHours; });
        scopeUi_ = std::make_unique<PromptsTelescopeUi>(prompts_);
    }
    // The link the settings choose (serial or network LX200, or INDI); made
    // again when the telescope settings changed it.
    if (!scope_ || scope_->LinkKind() != ConfiguredLink(store_)) {
        scope_ = MakeMount(store_, *scopeUi_, *scopeClock_);
        GotoHistory& history = doc_.History();
        scope_->SetGotoLog([&history](const std::string& line) { history.Add(line); });
    }
    return *scope_;
}

bool CTavikView::RunTelescopeCommand(int id) {
    switch (id) {
    case cmd::TelescopeControl:
        if (TelescopeOn()) StartTimer(timer_id::kPost2052, kOpenDialogDelayMs);
        return true;
    case cmd::GotoHere: GotoTapped(); return true;
    case cmd::TelescopePosition: ShowScopePosition(); return true;
    case cmd::TelescopeSwitch: SwitchTelescopeControl(); return true;
    case cmd::ScopeLeft: case cmd::ScopeRight: case cmd::ScopeUp: case cmd::ScopeDown:
    case cmd::ScopeFast: case cmd::ScopeSlow:
        ScopeToolbar(id);
        return true;
    default: return false;
    }
}

void CTavikView::OpenControlDialog() {
    if (!TelescopeOn()) return;
    QThread::msleep(150);
    Pump();
    Mount& scope = Scope();
    if (scope.Busy()) return;
    std::optional<GotoTarget> target;
    const ViewMode mode = view_.viewMode;
    if (tappedRecord_ && mode != ViewMode::PolarAlignment && mode != ViewMode::Heliocentric) {
        target = TargetOfRecord(*tappedRecord_);
        target->ra = WrapRa(target->ra);
    }
    scope.SetBusy(true);
    bool gotoDone = false;
    {
        CTelescopeControlDialog dlg(scope, prompts_, target, this);
        dlg.exec();
        gotoDone = dlg.GotoDone();
    }
    scope.SetBusy(false);
    if (scope.State() == Mount::kDone && gotoDone && target) {
        scope.SetTraceRemaining(kTraceMs);
        ShowNotice(Utf8("トレース中"));
        if (TelescopeOn()) {
            targetMark_ = SkyPosition{target->ra, target->dec};
        } else {
            targetMark_.reset();
        }
        StartTimer(timer_id::kTrace, scope.TracePeriodMs());
    } else {
        scope.Disconnect();
    }
    update();
}

void CTavikView::GotoTapped() {
    const ViewMode mode = view_.viewMode;
    if (mode == ViewMode::Planisphere || mode == ViewMode::PolarAlignment || mode == ViewMode::Heliocentric ||
        mode == ViewMode::Zenith) {
        prompts_.Error(Utf8("この画面では位置計算できません"));
        return;
    }
    if (!TelescopeOn()) {
        prompts_.Info(Utf8("制御指定をしてください。"));
        return;
    }
    if (!time_.AutoUpdate()) {
        prompts_.Error(Utf8("自動更新になっていません。現在時刻をセットします。もう一度操作してください。"));
        RunCommand(cmd::AutoUpdate);
        prompts_.Info(Utf8("自動更新モードを設定しました"));
        return;
    }
    Mount& scope = Scope();
    if (scope.Busy()) return;
    scope.StopTrace();
    scope.SetBusy(true);
    if (scope.State() == Mount::kIdle && !scope.Connect()) {
        ShowNotice(Utf8("COMポートエラー"));
        scope.SetBusy(false);
        prompts_.Error(Utf8("ポートを開けません"));
        return;
    }
    std::string position;
    if (!scope.ReadPosition(position, false)) {
        scope.Disconnect();
        scope.SetBusy(false);
        ShowNotice(Utf8("応答なし"));
        prompts_.Error(Utf8("応答しません"));
        return;
    }
    if (scope.State() != Mount::kDone) {
        scope.SetBusy(false);
        prompts_.Error(Utf8("通信制御エラーです。"));
        ShowNotice(Utf8("通信エラー"));
        return;
    }
    ShowNotice(QString::fromStdString(position));

    // The object the tap found is sent with its own coordinates; only a tap on
    // empty sky is turned back into a sky position, as good as one pixel of the chart.
    GotoTarget target;
    if (tappedRecord_) {
        target = TargetOfRecord(*tappedRecord_);
    } else {
        SkyPosition p;
        {
            auto lock = Lock();
            p = UnprojectSky(view_, tapPoint_.x(), tapPoint_.y());
        }
        target.ra = p.rightAscension;
        target.dec = p.declination;
    }
    target.ra = WrapRa(target.ra);
    if (!(target.ra >= 0.0) || !(target.dec >= -kPi / 2 && target.dec < kPi / 2) ||
        !scope.SetTarget(target.ra, target.dec, target.frame, target.name)) {
        scope.Disconnect();
        scope.SetBusy(false);
        prompts_.Error(Utf8("計算結果が不正です。もう一度操作してください"));
        ShowNotice(Utf8("計算エラー"));
        return;
    }
    scope.Goto();
    scope.SetBusy(false);
    if (scope.State() == Mount::kDone) {
        if (scope.traceEnabled) {
            scope.SetTraceRemaining(kTraceMs);
            ShowNotice(Utf8("トレース開始"));
            targetMark_ = SkyPosition{target.ra, target.dec};
            StartTimer(timer_id::kTrace, scope.TracePeriodMs());
        } else {
            scope.Disconnect();
            ShowNotice(Utf8("導入指示完了"));
        }
    } else {
        scope.Disconnect();
        ShowNotice(QString::fromStdString(scope.StatusText()));
    }
    update();
}

void CTavikView::ShowScopePosition() {
    if (!TelescopeOn()) {
        prompts_.Error(Utf8("望遠鏡制御の設定がありません"));
        return;
    }
    Mount& scope = Scope();
    if (scope.Busy() || scope.State() != Mount::kIdle) return;
    scope.SetBusy(true);
    if (!scope.Connect()) {
        scope.SetBusy(false);
        prompts_.Error(Utf8("ポートを開けません"));
        return;
    }
    std::string text;
    const bool ok = scope.ReadPosition(text, false);
    scope.Disconnect();
    scope.SetBusy(false);
    if (!ok) {
        prompts_.Error(Utf8("応答しません"));
        return;
    }
    scopeMark_ = SkyPosition{scope.TelescopeRa() * kDegToRad, scope.TelescopeDec() * kDegToRad};
    StartTimer(timer_id::kTraceEnd, kRedrawAfterMs);
    update();
}

void CTavikView::SwitchTelescopeControl() {
    if (TelescopeOn()) {
        {
            auto lock = Lock();
            settings_.telescopeControl = 0;
            commands_.SaveAll();
        }
        emit stateChanged();
        return;
    }
    {
        auto lock = Lock();
        settings_.telescopeControl = 1;
        commands_.SaveAll();
    }
    Mount& scope = Scope();
    {
        RenderSuspension suspended(*this);  // the dialog writes the TS settings
        CTelescopeSettingsDialog::Run(scope, store_, this);
    }
    RunCommand(cmd::SetNow);
    if (!time_.AutoUpdate()) {
        RunCommand(cmd::AutoUpdate);
        prompts_.Info(Utf8("自動更新モードを設定しました"));
    }
    {
        auto lock = Lock();
        commands_.SaveAll();
    }
    emit stateChanged();
}

void CTavikView::ScopeToolbar(int id) {
    if (!TelescopeOn()) return;
    Mount& scope = Scope();
    auto midExchange = [&] {
        return scope.State() != Mount::kIdle && scope.State() != Mount::kDone;
    };
    if (midExchange()) {
        scope.SetTraceRemaining(0);
        KillTimer(timer_id::kTrace);
        for (int i = 0; i < 1000 && midExchange(); ++i) Pump();
        if (midExchange()) return;
        scope.Disconnect();
    }
    if (scope.State() == Mount::kIdle) {
        if (!scope.Connect()) {
            ShowNotice(Utf8("接続出来ません."));
            Pump();
            StartTimer(timer_id::kTraceEnd, kRedrawAfterMs);
            return;
        }
        ShowNotice(Utf8("接続しました."));
        KillTimer(timer_id::kTraceEnd);
        Pump();
    }
    // The notices keep their trailing blanks.
    switch (id) {
    case cmd::ScopeFast:
    case cmd::ScopeSlow:
        scope.SetSlewRate(id == cmd::ScopeFast ? 4 : 2);
        scope.Disconnect();
        ShowNotice(Utf8(id == cmd::ScopeFast ? "高速設定　　　" : "低速設定　　　"));
        StartTimer(timer_id::kTraceEnd, kRedrawAfterMs);
        return;
    default: break;
    }
    const char direction = id == cmd::ScopeLeft ? 'e' : id == cmd::ScopeRight ? 'w' : id == cmd::ScopeUp ? 'n' : 's';
    scope.Nudge(direction);
    Pump();
    QThread::msleep(10);
    scope.Disconnect();
    ShowNotice(Utf8(id == cmd::ScopeLeft    ? "左回転     　　　"
                    : id == cmd::ScopeRight ? "右回転     　　　"
                    : id == cmd::ScopeUp    ? "高位置へ     　　　"
                                            : "低位置へ     　　　"));
    StartTimer(timer_id::kTraceEnd, kRedrawAfterMs);
    // The new position, read and shown.
    QMetaObject::invokeMethod(this, [this] { RunRouted(cmd::TelescopePosition); }, Qt::QueuedConnection);
}

void CTavikView::OnTraceTimer() {
    if (!TelescopeOn()) {
        StartTimer(timer_id::kTraceEnd, kRedrawSoonMs);
        return;
    }
    Mount& scope = Scope();
    double ra = 0.0, dec = 0.0;
    if (scope.TraceStep(ra, dec)) {
        ShowNotice(Utf8("トレース中"));
        scopeMark_ = SkyPosition{ra, dec};
        StartTimer(timer_id::kTrace, scope.TracePeriodMs());
    } else {
        ShowNotice(Utf8("トレース終了"));
        StartTimer(timer_id::kTraceEnd, kRedrawAfterMs);
    }
    update();
}

void CTavikView::OnTraceEnd() {
    // The redraw after a trace or a position check: the markers go.
    KillTimer(timer_id::kTraceEnd);
    targetMark_.reset();
    scopeMark_.reset();
    RefreshView();
}

void CTavikView::OnTelescopeReminder() {
    if (!TelescopeOn()) return;
    if (time_.AutoUpdate()) {
        prompts_.Info(Utf8("望遠鏡制御がONになっています。"));
        return;
    }
    if (prompts_.Ask(Utf8("望遠鏡制御がONになっています。自動更新を設定しますか？"))) {
        RunCommand(cmd::AutoUpdate);
    } else if (prompts_.Ask(Utf8("望遠鏡制御をOFFしますか？"))) {
        auto lock = Lock();
        settings_.telescopeControl = 0;
        commands_.SaveAll();
    }
    emit stateChanged();
}

void CTavikView::DrawMarkers(QPainter& p) {
    if (!targetMark_ && !scopeMark_) return;
    const ColorModes modes = ColorModes::Load(store_);
    QColor color = ToQColor(MapColor(colors_[slot::kTelescopeTrace], modes));
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, 1));
    const QRect chart(0, 0, width(), height());
    auto place = [&](const SkyPosition& s) -> std::optional<QPoint> {
        const std::optional<ProjectedPoint> pt = canvas_->ProjectOnLastPass(s.rightAscension, s.declination);
        if (!pt || !pt->visible || !chart.contains(pt->x, pt->y)) return std::nullopt;
        return QPoint(pt->x, pt->y);
    };
    if (targetMark_) {
        if (const auto at = place(*targetMark_)) p.drawEllipse(QRect(at->x() - 5, at->y() - 5, 11, 11));
    }
    if (scopeMark_) {
        if (const auto at = place(*scopeMark_)) {
            p.drawEllipse(QRect(at->x() - 5, at->y() - 5, 10, 10));
            p.drawEllipse(QRect(at->x() - 3, at->y() - 3, 6, 6));
        }
    }
    p.restore();
}

}  // namespace tavik
