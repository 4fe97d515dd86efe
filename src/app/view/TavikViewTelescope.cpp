// The sky view's telescope side: the control dialog, goto of the tapped
// object, the position check, switching control on and off, the toolbar moves
// and speeds, the trace after a goto with its markers, and the start-up
// reminder. Every exchange runs on the exchange thread (ScopeExchange), one at
// a time; what it found is shown when it has ended, so the window paints and
// takes input while a mount keeps it waiting.

#include <QPainter>

#include <cmath>

#include "app/dialogs/Prompts.h"
#include "app/telescope/ScopeExchange.h"
#include "app/view/TavikDoc.h"
#include "app/view/TavikView.h"
#include "app/telescope/TelescopeControlDialog.h"
#include "app/telescope/TelescopeSettingsDialog.h"
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

}  // namespace

Mount& CTavikView::Scope() {
    if (!scope_) {
        // The mount is told the site's time, whatever the machine's zone.
        scopeClock_ = std::make_unique<WindowTelescopeClock>(*exchange_, [this] { return scopeZone_.load(); });
        scopeUi_ = std::make_unique<WindowTelescopeUi>(prompts_, *exchange_);
    }
    // The link the settings choose (serial or network LX200, or INDI); made
    // again when the telescope settings changed it, never under an exchange.
    if (!scope_ || (!exchange_->Running() && scope_->LinkKind() != ConfiguredLink(store_))) {
        scope_ = MakeMount(store_, *scopeUi_, *scopeClock_);
        GotoHistory& history = doc_.History();
        scope_->SetGotoLog([&history](const std::string& line) { history.Add(line); });
    }
    return *scope_;
}

bool CTavikView::StartExchange(std::function<void()> work, std::function<void()> done) {
    scopeZone_ = settings_.site.zoneOffsetHours;
    return exchange_->Start(std::move(work), std::move(done));
}

void CTavikView::PostNotice(const QString& text) {
    QMetaObject::invokeMethod(this, [this, text] { ShowNotice(text); }, Qt::QueuedConnection);
}

void CTavikView::AfterTrace(std::function<void()> next) {
    KillTimer(timer_id::kTrace);
    traceStopping_ = true;  // a step under way does not start the next one
    exchange_->WhenIdle([this, next = std::move(next)] {
        traceStopping_ = false;
        Scope().SetTraceRemaining(0);
        next();
    });
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
    if (!TelescopeOn() || Scope().Busy()) return;
    AfterTrace([this] {
        Mount& scope = Scope();
        if (scope.Busy() || exchange_->Running()) return;
        std::optional<GotoTarget> target;
        const ViewMode mode = view_.viewMode;
        if (tappedRecord_ && mode != ViewMode::PolarAlignment && mode != ViewMode::Heliocentric) {
            target = TargetOfRecord(*tappedRecord_);
            target->ra = WrapRa(target->ra);
        }
        scope.SetBusy(true);
        scopeZone_ = settings_.site.zoneOffsetHours;
        bool gotoDone = false;
        {
            CTelescopeControlDialog dlg(scope, *exchange_, prompts_, target, this);
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
    });
}

std::optional<GotoTarget> CTavikView::TappedTarget() {
    // The object the tap found is sent with its own coordinates; only a tap on
    // empty sky is turned back into a sky position, as good as one pixel of
    // the chart, at the moment and site of the pass on the screen.
    GotoTarget target;
    if (tappedRecord_) {
        target = TargetOfRecord(*tappedRecord_);
    } else {
        SkyPosition p;
        {
            auto lock = Lock();
            p = UnprojectSky(canvas_->LastViewLocked(), tapPoint_.x(), tapPoint_.y());
        }
        target.ra = p.rightAscension;
        target.dec = p.declination;
    }
    target.ra = WrapRa(target.ra);
    if (!(target.ra >= 0.0) || !(target.dec >= -kPi / 2 && target.dec < kPi / 2)) return std::nullopt;
    return target;
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
    if (Scope().Busy()) return;
    // Taken now: the tap and the pass on the screen may change while a trace step ends.
    const std::optional<GotoTarget> target = TappedTarget();
    AfterTrace([this, target] {
        Mount& scope = Scope();
        if (scope.Busy() || exchange_->Running()) return;
        enum class Outcome { NoPort, NoAnswer, CommError, BadTarget, Sent };
        struct Run {
            Outcome outcome = Outcome::Sent;
            bool done = false;
            bool tracing = false;
            std::string status;
        };
        auto run = std::make_shared<Run>();
        scope.SetBusy(true);
        StartExchange(
            [this, &scope, run, target] {
                if (scope.State() == Mount::kIdle && !scope.Connect()) {
                    run->outcome = Outcome::NoPort;
                    return;
                }
                std::string position;
                if (!scope.ReadPosition(position, false)) {
                    scope.Disconnect();
                    run->outcome = Outcome::NoAnswer;
                    return;
                }
                if (scope.State() != Mount::kDone) {
                    run->outcome = Outcome::CommError;
                    return;
                }
                PostNotice(QString::fromStdString(position));
                if (!target || !scope.SetTarget(target->ra, target->dec, target->frame, target->name)) {
                    scope.Disconnect();
                    run->outcome = Outcome::BadTarget;
                    return;
                }
                scope.Goto();
                run->done = scope.State() == Mount::kDone;
                run->tracing = run->done && scope.traceEnabled;
                if (!run->tracing) scope.Disconnect();
                run->status = scope.StatusText();
            },
            [this, &scope, run, target] {
                scope.SetBusy(false);
                switch (run->outcome) {
                case Outcome::NoPort:
                    ShowNotice(Utf8("COMポートエラー"));
                    prompts_.Error(Utf8("ポートを開けません"));
                    return;
                case Outcome::NoAnswer:
                    ShowNotice(Utf8("応答なし"));
                    prompts_.Error(Utf8("応答しません"));
                    return;
                case Outcome::CommError:
                    prompts_.Error(Utf8("通信制御エラーです。"));
                    ShowNotice(Utf8("通信エラー"));
                    return;
                case Outcome::BadTarget:
                    prompts_.Error(Utf8("計算結果が不正です。もう一度操作してください"));
                    ShowNotice(Utf8("計算エラー"));
                    return;
                case Outcome::Sent: break;
                }
                if (run->tracing) {
                    scope.SetTraceRemaining(kTraceMs);
                    ShowNotice(Utf8("トレース開始"));
                    targetMark_ = SkyPosition{target->ra, target->dec};
                    StartTimer(timer_id::kTrace, scope.TracePeriodMs());
                } else {
                    ShowNotice(run->done ? Utf8("導入指示完了") : QString::fromStdString(run->status));
                }
                update();
            });
    });
}

void CTavikView::ShowScopePosition() {
    if (!TelescopeOn()) {
        prompts_.Error(Utf8("望遠鏡制御の設定がありません"));
        return;
    }
    Mount& scope = Scope();
    if (scope.Busy() || scope.State() != Mount::kIdle || exchange_->Running()) return;
    enum class Outcome { NoPort, NoAnswer, Read };
    auto outcome = std::make_shared<Outcome>(Outcome::Read);
    scope.SetBusy(true);
    StartExchange(
        [&scope, outcome] {
            if (!scope.Connect()) {
                *outcome = Outcome::NoPort;
                return;
            }
            std::string text;
            if (!scope.ReadPosition(text, false)) *outcome = Outcome::NoAnswer;
            scope.Disconnect();
        },
        [this, &scope, outcome] {
            scope.SetBusy(false);
            if (*outcome != Outcome::Read) {
                prompts_.Error(Utf8(*outcome == Outcome::NoPort ? "ポートを開けません" : "応答しません"));
                return;
            }
            scopeMark_ = SkyPosition{scope.TelescopeRa() * kDegToRad, scope.TelescopeDec() * kDegToRad};
            StartTimer(timer_id::kTraceEnd, kRedrawAfterMs);
            update();
        });
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
    // The settings dialog changes the mount's own settings: not under an exchange.
    if (exchange_->Running()) return;
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
    if (!TelescopeOn() || Scope().Busy()) return;
    // A running trace ends first, whatever it is doing; then the move.
    AfterTrace([this, id] {
        Mount& scope = Scope();
        if (scope.Busy() || exchange_->Running()) return;
        // A link left in the middle of an exchange is opened afresh.
        if (scope.State() != Mount::kIdle && scope.State() != Mount::kDone) scope.Disconnect();
        KillTimer(timer_id::kTraceEnd);
        auto connected = std::make_shared<bool>(true);
        scope.SetBusy(true);
        StartExchange(
            [this, &scope, id, connected] {
                if (scope.State() == Mount::kIdle) {
                    *connected = scope.Connect();
                    if (!*connected) return;
                    PostNotice(Utf8("接続しました."));
                }
                if (id == cmd::ScopeFast || id == cmd::ScopeSlow) {
                    scope.SetSlewRate(id == cmd::ScopeFast ? 4 : 2);
                } else {
                    scope.Nudge(id == cmd::ScopeLeft    ? 'e'
                                : id == cmd::ScopeRight ? 'w'
                                : id == cmd::ScopeUp    ? 'n'
                                                        : 's');
                }
                scope.Disconnect();
            },
            [this, &scope, id, connected] {
                scope.SetBusy(false);
                StartTimer(timer_id::kTraceEnd, kRedrawAfterMs);
                if (!*connected) {
                    ShowNotice(Utf8("接続出来ません."));
                    return;
                }
                // The notices keep their trailing blanks.
                ShowNotice(Utf8(id == cmd::ScopeFast    ? "高速設定　　　"
                                : id == cmd::ScopeSlow  ? "低速設定　　　"
                                : id == cmd::ScopeLeft  ? "左回転     　　　"
                                : id == cmd::ScopeRight ? "右回転     　　　"
                                : id == cmd::ScopeUp    ? "高位置へ     　　　"
                                                        : "低位置へ     　　　"));
                // After a move, the new position, read and shown.
                if (id != cmd::ScopeFast && id != cmd::ScopeSlow) RunRouted(cmd::TelescopePosition);
            });
    });
}

void CTavikView::OnTraceTimer() {
    if (!TelescopeOn()) {
        StartTimer(timer_id::kTraceEnd, kRedrawSoonMs);
        return;
    }
    Mount& scope = Scope();
    if (exchange_->Running()) return;
    struct Step {
        bool ok = false;
        double ra = 0.0, dec = 0.0;
    };
    auto step = std::make_shared<Step>();
    StartExchange([&scope, step] { step->ok = scope.TraceStep(step->ra, step->dec); },
                  [this, &scope, step] {
                      if (traceStopping_) return;  // a command ended the trace meanwhile
                      if (step->ok) {
                          ShowNotice(Utf8("トレース中"));
                          scopeMark_ = SkyPosition{step->ra, step->dec};
                          StartTimer(timer_id::kTrace, scope.TracePeriodMs());
                      } else {
                          ShowNotice(Utf8("トレース終了"));
                          StartTimer(timer_id::kTraceEnd, kRedrawAfterMs);
                      }
                      update();
                  });
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
    const QRect chart(QPoint(0, 0), DeviceArea());
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
