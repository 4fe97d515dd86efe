#include "app/telescope/ScopeController.h"

#include <cmath>

#include "app/dialogs/Prompts.h"
#include "app/telescope/GotoQuestion.h"
#include "app/telescope/ScopeExchange.h"
#include "app/telescope/TelescopeControlDialog.h"
#include "app/telescope/TelescopeSettingsDialog.h"
#include "astro/Angles.h"
#include "settings/SettingsStore.h"
#include "telescope/GotoHistory.h"
#include "telescope/GotoTarget.h"
#include "telescope/Mount.h"
#include "view/CommandSet.h"
#include "view/TimeControl.h"

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

ScopeController::ScopeController(Host& host, TimerHost& timers, SettingsStore& store, Prompts& prompts,
                                 GotoHistory& history, QWidget* window)
    : host_(host),
      timers_(timers),
      store_(store),
      prompts_(prompts),
      history_(history),
      window_(window),
      exchange_(std::make_unique<ScopeExchange>()) {}

ScopeController::~ScopeController() {
    exchange_->Shutdown();
    scope_.reset();
}

bool ScopeController::Handles(int id) {
    switch (id) {
    case cmd::TelescopeControl: case cmd::GotoHere: case cmd::SyncHere: case cmd::TelescopePosition:
    case cmd::TelescopeSwitch: case cmd::ScopeLeft: case cmd::ScopeRight: case cmd::ScopeUp:
    case cmd::ScopeDown: case cmd::ScopeFast: case cmd::ScopeSlow:
        return true;
    default: return false;
    }
}

Mount& ScopeController::Scope() {
    if (!clock_) {
        // The mount is told the site's time, whatever the machine's zone.
        clock_ = std::make_unique<WindowTelescopeClock>(*exchange_, [this] { return zone_.load(); });
        ui_ = std::make_unique<WindowTelescopeUi>(prompts_, *exchange_);
    }
    // The link the settings choose (serial or network LX200, or INDI); made
    // again when the telescope settings changed it, never under an exchange.
    if (!scope_ || (!exchange_->Running() && scope_->LinkKind() != ConfiguredLink(store_))) {
        scope_ = MakeMount(store_, *ui_, *clock_);
        scope_->SetGotoLog([this](const std::string& line) {
            // On the exchange thread: the line is on disk before the goto's end is shown.
            if (history_.Add(line) != GotoHistory::Added::Failed) return;
            const QString file = QString::fromStdString(history_.FilePath().string());
            QMetaObject::invokeMethod(
                this, [this, file] { prompts_.Error(Utf8("望遠鏡導入履歴を書き込めませんでした: ") + file); },
                Qt::QueuedConnection);
        });
    }
    return *scope_;
}

bool ScopeController::StartExchange(std::function<void()> work, std::function<void()> done) {
    zone_ = host_.ZoneOffsetHours();
    return exchange_->Start(std::move(work), std::move(done));
}

void ScopeController::PostNotice(const QString& text) {
    QMetaObject::invokeMethod(this, [this, text] { host_.ShowNotice(text); }, Qt::QueuedConnection);
}

void ScopeController::AfterTrace(std::function<void()> next) {
    timers_.KillTimer(timer_id::kTrace);
    traceStopping_ = true;  // a step under way does not start the next one
    exchange_->WhenIdle([this, next = std::move(next)] {
        traceStopping_ = false;
        Scope().SetTraceRemaining(0);
        next();
    });
}

void ScopeController::Run(int id) {
    switch (id) {
    case cmd::TelescopeControl:
        if (host_.TelescopeOn()) timers_.StartTimer(timer_id::kPost2052, kOpenDialogDelayMs);
        break;
    case cmd::GotoHere: GotoTapped(); break;
    case cmd::SyncHere: SyncTapped(); break;
    case cmd::TelescopePosition: ShowScopePosition(); break;
    case cmd::TelescopeSwitch: SwitchTelescopeControl(); break;
    case cmd::ScopeLeft: case cmd::ScopeRight: case cmd::ScopeUp: case cmd::ScopeDown:
    case cmd::ScopeFast: case cmd::ScopeSlow:
        ScopeToolbar(id);
        break;
    default: break;
    }
}

void ScopeController::OpenControlDialog() {
    if (!host_.TelescopeOn() || Scope().Busy()) return;
    AfterTrace([this] {
        Mount& scope = Scope();
        if (scope.Busy() || exchange_->Running()) return;
        std::optional<GotoTarget> target;
        const ViewMode mode = host_.Mode();
        const std::optional<StarRecord>& tapped = host_.TappedRecord();
        if (tapped && mode != ViewMode::PolarAlignment && mode != ViewMode::Heliocentric) {
            target = TargetOfRecord(*tapped);
            target->ra = WrapRa(target->ra);
        }
        scope.SetBusy(true);
        zone_ = host_.ZoneOffsetHours();
        bool gotoDone = false;
        {
            CTelescopeControlDialog dlg(scope, *exchange_, prompts_, target, window_);
            dlg.exec();
            gotoDone = dlg.GotoDone();
        }
        scope.SetBusy(false);
        if (scope.State() == Mount::kDone && gotoDone && target) {
            scope.SetTraceRemaining(kTraceMs);
            host_.ShowNotice(Utf8("トレース中"));
            if (host_.TelescopeOn()) {
                targetMark_ = SkyPosition{target->ra, target->dec};
            } else {
                targetMark_.reset();
            }
            timers_.StartTimer(timer_id::kTrace, scope.TracePeriodMs());
        } else {
            scope.Disconnect();
        }
        host_.Repaint();
    });
}

std::optional<GotoTarget> ScopeController::TappedTarget() const {
    // The object the tap found is sent with its own coordinates; only a tap on
    // empty sky is turned back into a sky position, as good as one pixel of
    // the chart, at the moment and site of the pass on the screen.
    GotoTarget target;
    if (const std::optional<StarRecord>& tapped = host_.TappedRecord()) {
        target = TargetOfRecord(*tapped);
    } else {
        const SkyPosition p = host_.SkyUnderTap();
        target.ra = p.rightAscension;
        target.dec = p.declination;
    }
    target.ra = WrapRa(target.ra);
    if (!(target.ra >= 0.0) || !(target.dec >= -kPi / 2 && target.dec < kPi / 2)) return std::nullopt;
    return target;
}

void ScopeController::GotoTapped() {
    // Taken now: the tap and the pass on the screen may change while a trace step ends.
    SendGoto(TappedTarget());
}

bool ScopeController::MayAim() {
    const ViewMode mode = host_.Mode();
    if (mode == ViewMode::Planisphere || mode == ViewMode::PolarAlignment || mode == ViewMode::Heliocentric ||
        mode == ViewMode::Zenith) {
        prompts_.Error(Utf8("この画面では位置計算できません"));
        return false;
    }
    if (!host_.TelescopeOn()) {
        prompts_.Info(Utf8("制御指定をしてください。"));
        return false;
    }
    if (!host_.AutoUpdating()) {
        prompts_.Error(Utf8("自動更新になっていません。現在時刻をセットします。もう一度操作してください。"));
        host_.RunCommand(cmd::AutoUpdate);
        prompts_.Info(Utf8("自動更新モードを設定しました"));
        return false;
    }
    return !Scope().Busy();
}

ScopeController::AimOutcome ScopeController::ConnectAndAim(Mount& scope, const std::optional<GotoTarget>& target) {
    if (scope.State() == Mount::kIdle && !scope.Connect()) return AimOutcome::NoPort;
    std::string position;
    if (!scope.ReadPosition(position, false)) {
        scope.Disconnect();
        return AimOutcome::NoAnswer;
    }
    if (scope.State() != Mount::kDone) return AimOutcome::CommError;
    PostNotice(QString::fromStdString(position));
    if (!target || !scope.SetTarget(target->ra, target->dec, target->frame, target->name)) {
        scope.Disconnect();
        return AimOutcome::BadTarget;
    }
    return AimOutcome::Aimed;
}

bool ScopeController::ReportAimFailure(AimOutcome outcome) {
    switch (outcome) {
    case AimOutcome::NoPort:
        host_.ShowNotice(Utf8("COMポートエラー"));
        prompts_.Error(Utf8("ポートを開けません"));
        return true;
    case AimOutcome::NoAnswer:
        host_.ShowNotice(Utf8("応答なし"));
        prompts_.Error(Utf8("応答しません"));
        return true;
    case AimOutcome::CommError:
        prompts_.Error(Utf8("通信制御エラーです。"));
        host_.ShowNotice(Utf8("通信エラー"));
        return true;
    case AimOutcome::BadTarget:
        prompts_.Error(Utf8("計算結果が不正です。もう一度操作してください"));
        host_.ShowNotice(Utf8("計算エラー"));
        return true;
    case AimOutcome::Aimed: break;
    }
    return false;
}

void ScopeController::SendGoto(const std::optional<GotoTarget>& target) {
    if (!MayAim()) return;
    if (target && !ConfirmGotoAltitude(*target, store_, prompts_)) return;
    AfterTrace([this, target] {
        Mount& scope = Scope();
        if (scope.Busy() || exchange_->Running()) return;
        struct Run {
            AimOutcome outcome = AimOutcome::Aimed;
            bool done = false;
            bool tracing = false;
            std::string status;
        };
        auto run = std::make_shared<Run>();
        scope.SetBusy(true);
        StartExchange(
            [this, &scope, run, target] {
                run->outcome = ConnectAndAim(scope, target);
                if (run->outcome != AimOutcome::Aimed) return;
                scope.Goto();
                run->done = scope.State() == Mount::kDone;
                run->tracing = run->done && scope.traceEnabled;
                if (!run->tracing) scope.Disconnect();
                run->status = scope.StatusText();
            },
            [this, &scope, run, target] {
                scope.SetBusy(false);
                if (ReportAimFailure(run->outcome)) return;
                if (run->tracing) {
                    scope.SetTraceRemaining(kTraceMs);
                    host_.ShowNotice(Utf8("トレース開始"));
                    targetMark_ = SkyPosition{target->ra, target->dec};
                    timers_.StartTimer(timer_id::kTrace, scope.TracePeriodMs());
                } else {
                    host_.ShowNotice(run->done ? Utf8("導入指示完了") : QString::fromStdString(run->status));
                }
                host_.Repaint();
            });
    });
}

void ScopeController::SyncTapped() {
    if (!MayAim()) return;
    const std::optional<GotoTarget> target = TappedTarget();
    if (!target) {
        ReportAimFailure(AimOutcome::BadTarget);
        return;
    }
    // A sync tells the mount where it points: asked first, naming what it will
    // take. It moves nothing, so no altitude limit applies.
    QString named = QString::fromStdString(target->name.empty() ? Mount::CoordinatesText(target->ra, target->dec)
                                                                : target->name);
    if (!prompts_.Ask(named.trimmed() + Utf8(" に同期しますか？"))) return;
    AfterTrace([this, target] {
        Mount& scope = Scope();
        if (scope.Busy() || exchange_->Running()) return;
        struct Run {
            AimOutcome outcome = AimOutcome::Aimed;
            bool done = false;
            std::optional<SkyPosition> position;  // read back after the sync
            std::string status;
        };
        auto run = std::make_shared<Run>();
        scope.SetBusy(true);
        StartExchange(
            [this, &scope, run, target] {
                run->outcome = ConnectAndAim(scope, target);
                if (run->outcome != AimOutcome::Aimed) return;
                run->done = scope.Sync();
                run->status = scope.StatusText();
                // Where the mount says it points now, for its marker.
                std::string text;
                if (run->done && scope.ReadPosition(text, false))
                    run->position = SkyPosition{scope.TelescopeRa() * kDegToRad, scope.TelescopeDec() * kDegToRad};
                scope.Disconnect();
            },
            [this, &scope, run] {
                scope.SetBusy(false);
                if (ReportAimFailure(run->outcome)) return;
                host_.ShowNotice(run->done ? Utf8("同期指示完了") : QString::fromStdString(run->status));
                if (run->position) {
                    scopeMark_ = run->position;
                    timers_.StartTimer(timer_id::kTraceEnd, kRedrawAfterMs);
                }
                host_.Repaint();
            });
    });
}

void ScopeController::ShowScopePosition() {
    if (!host_.TelescopeOn()) {
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
            timers_.StartTimer(timer_id::kTraceEnd, kRedrawAfterMs);
            host_.Repaint();
        });
}

void ScopeController::SwitchTelescopeControl() {
    if (host_.TelescopeOn()) {
        host_.SetTelescopeOn(false);
        host_.StateChanged();
        return;
    }
    // The settings dialog changes the mount's own settings: not under an exchange.
    if (exchange_->Running()) return;
    host_.SetTelescopeOn(true);
    Mount& scope = Scope();
    host_.WithPassesHeld([&] { CTelescopeSettingsDialog::Run(scope, store_, window_); });  // it writes the TS settings
    host_.RunCommand(cmd::SetNow);
    if (!host_.AutoUpdating()) {
        host_.RunCommand(cmd::AutoUpdate);
        prompts_.Info(Utf8("自動更新モードを設定しました"));
    }
    host_.SaveSettings();
    host_.StateChanged();
}

void ScopeController::ScopeToolbar(int id) {
    if (!host_.TelescopeOn() || Scope().Busy()) return;
    // A running trace ends first, whatever it is doing; then the move.
    AfterTrace([this, id] {
        Mount& scope = Scope();
        if (scope.Busy() || exchange_->Running()) return;
        // A link left in the middle of an exchange is opened afresh.
        if (scope.State() != Mount::kIdle && scope.State() != Mount::kDone) scope.Disconnect();
        timers_.KillTimer(timer_id::kTraceEnd);
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
                timers_.StartTimer(timer_id::kTraceEnd, kRedrawAfterMs);
                if (!*connected) {
                    host_.ShowNotice(Utf8("接続出来ません."));
                    return;
                }
                // The notices keep their trailing blanks.
                host_.ShowNotice(Utf8(id == cmd::ScopeFast    ? "高速設定　　　"
                                : id == cmd::ScopeSlow  ? "低速設定　　　"
                                : id == cmd::ScopeLeft  ? "左回転     　　　"
                                : id == cmd::ScopeRight ? "右回転     　　　"
                                : id == cmd::ScopeUp    ? "高位置へ     　　　"
                                                        : "低位置へ     　　　"));
                // After a move, the new position, read and shown.
                if (id != cmd::ScopeFast && id != cmd::ScopeSlow) host_.RunRouted(cmd::TelescopePosition);
            });
    });
}

void ScopeController::OnTraceTimer() {
    if (!host_.TelescopeOn()) {
        timers_.StartTimer(timer_id::kTraceEnd, kRedrawSoonMs);
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
                          host_.ShowNotice(Utf8("トレース中"));
                          scopeMark_ = SkyPosition{step->ra, step->dec};
                          timers_.StartTimer(timer_id::kTrace, scope.TracePeriodMs());
                      } else {
                          host_.ShowNotice(Utf8("トレース終了"));
                          timers_.StartTimer(timer_id::kTraceEnd, kRedrawAfterMs);
                      }
                      host_.Repaint();
                  });
}

void ScopeController::OnTraceEnd() {
    // The redraw after a trace or a position check: the markers go.
    timers_.KillTimer(timer_id::kTraceEnd);
    targetMark_.reset();
    scopeMark_.reset();
    host_.RefreshView();
}

void ScopeController::OnReminder() {
    if (!host_.TelescopeOn()) return;
    if (host_.AutoUpdating()) {
        prompts_.Info(Utf8("望遠鏡制御がONになっています。"));
        return;
    }
    if (prompts_.Ask(Utf8("望遠鏡制御がONになっています。自動更新を設定しますか？"))) {
        host_.RunCommand(cmd::AutoUpdate);
    } else if (prompts_.Ask(Utf8("望遠鏡制御をOFFしますか？"))) {
        host_.SetTelescopeOn(false);
    }
    host_.StateChanged();
}

void ScopeController::RunSettingsDialog() {
    if (exchange_->Running()) return;
    host_.WithPassesHeld([this] { CTelescopeSettingsDialog::Run(Scope(), store_, window_); });
}

}  // namespace tavik
