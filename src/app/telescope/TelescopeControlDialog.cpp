#include "app/telescope/TelescopeControlDialog.h"

#include <QPointer>

#include <memory>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/Prompts.h"
#include "app/telescope/GotoQuestion.h"
#include "app/telescope/ScopeExchange.h"
#include "telescope/TelescopeController.h"

namespace tavik {

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
QString U(const std::string& text) { return QString::fromStdString(text); }

const char* const kButtonTexts[CTelescopeControlDialog::kButtonCount] = {
    "導入開始", "同期", "高速", "中速", "低速", "上", "下", "左", "右", "停止", "現在位置", "時刻、観測地", "閉じる"};

}  // namespace

CTelescopeControlDialog::CTelescopeControlDialog(Mount& scope, ScopeExchange& exchange, Prompts& prompts,
                                                 const std::optional<GotoTarget>& target,
                                                 QWidget* parent)
    : QDialog(parent), scope_(scope), exchange_(exchange), prompts_(prompts), target_(target) {
    setWindowTitle(U("望遠鏡制御"));
    scope_.StopTrace();
    noTarget_ = !target || !scope_.SetTarget(target->ra, target->dec, target->frame, target->name);
    targetName_ = new QLabel(this);
    targetText_ = new QLabel(this);
    if (noTarget_) {
        targetName_->setText(U("指定されていません(導入指示不可）"));
    } else {
        targetName_->setText(U(target->name));
        targetText_->setText(U(scope_.TargetText()));
        scope_.SetTraceRemaining(0);
    }
    status_ = new QLabel(U(scope_.IsConnected() ? "接続状態" : "未接続状態"), this);

    auto* grid = new QGridLayout;
    for (int i = 0; i < kButtonCount; ++i) {
        auto* b = new QPushButton(U(kButtonTexts[i]), this);
        b->setAutoDefault(false);
        buttons_[static_cast<std::size_t>(i)] = b;
        connect(b, &QPushButton::clicked, this, [this, i] { Press(static_cast<Button>(i)); });
    }
    // Goto and the speeds on top, the moves as a cross, then stop and position.
    grid->addWidget(ButtonAt(kGoto), 0, 0, 1, 2);
    grid->addWidget(ButtonAt(kSync), 0, 2);
    grid->addWidget(ButtonAt(kFast), 1, 0);
    grid->addWidget(ButtonAt(kMedium), 1, 1);
    grid->addWidget(ButtonAt(kSlow), 1, 2);
    grid->addWidget(ButtonAt(kUp), 2, 1);
    grid->addWidget(ButtonAt(kLeft), 3, 0);
    grid->addWidget(ButtonAt(kStop), 3, 1);
    grid->addWidget(ButtonAt(kRight), 3, 2);
    grid->addWidget(ButtonAt(kDown), 4, 1);
    grid->addWidget(ButtonAt(kPosition), 5, 0, 1, 2);
    grid->addWidget(ButtonAt(kSiteTime), 5, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(U("目標天体"), this));
    layout->addWidget(targetName_);
    layout->addWidget(targetText_);
    layout->addLayout(grid);
    layout->addWidget(status_);
    layout->addWidget(ButtonAt(kClose));
    ButtonAt(kGoto)->setEnabled(!noTarget_);
    ButtonAt(kSync)->setEnabled(!noTarget_);
}

QString CTelescopeControlDialog::TargetName() const { return targetName_->text(); }
QString CTelescopeControlDialog::TargetText() const { return targetText_->text(); }
QString CTelescopeControlDialog::Status() const { return status_->text(); }

void CTelescopeControlDialog::SetStatus(const QString& text) { status_->setText(text); }

void CTelescopeControlDialog::SetButtonsEnabled(bool enabled) {
    for (int i = 0; i < kButtonCount; ++i) {
        if (i == kClose) continue;  // stays, so that it can be refused
        const bool noAim = (i == kGoto && (noTarget_ || gotoDone_)) || (i == kSync && noTarget_);
        buttons_[static_cast<std::size_t>(i)]->setEnabled(enabled && !noAim);
    }
}

void CTelescopeControlDialog::reject() {
    // Also while a button's action runs: its exchange may be between commands.
    if (running_ || exchange_.Running()) {
        prompts_.Error(U("望遠鏡と通信中です"));
        return;
    }
    QDialog::reject();
}

void CTelescopeControlDialog::Press(Button b) {
    if (b == kClose) {
        reject();
        return;
    }
    if (running_ || exchange_.Running()) return;
    if (b == kSiteTime) {
        // The questions come before the port is touched.
        if (scope_.telescopeType == 0 &&
            !prompts_.Ask(U("ETX70に対してこのコマンドを送ると画面表示が壊れる場合があります。続けますか？"))) {
            return;
        }
        if (!prompts_.Ask(U("観測地、日付時刻をコントローラに書き込みます。"))) return;
    }
    if (b == kGoto && target_ && !ConfirmGotoAltitude(*target_, scope_.Settings(), prompts_)) return;
    if (b == kSync && !prompts_.Ask(TargetName() + U(" に同期しますか？"))) return;
    // A link that was lost (state left odd or failed) is opened again as well.
    const bool connect = !(scope_.State() != Mount::kIdle && scope_.IsConnected());
    if (connect) SetStatus(U("接続開始中..."));
    running_ = true;
    SetButtonsEnabled(false);
    auto outcome = std::make_shared<Outcome>();
    QPointer<CTelescopeControlDialog> self(this);
    exchange_.Start([&scope = scope_, b, outcome] { *outcome = Exchange(scope, b); },
                    [self, outcome] {
                        if (self) self->Finish(*outcome);
                    });
}

CTelescopeControlDialog::Outcome CTelescopeControlDialog::Exchange(Mount& scope, Button b) {
    Outcome o;
    if (scope.State() == Mount::kIdle || !scope.IsConnected()) {
        if (!scope.Connect()) {
            o.status = U("接続出来ません.");
            o.error = U("接続出来ません");
            return o;
        }
        o.status = U("接続しました.");
    }
    switch (b) {
        case kGoto:
            if (scope.Goto()) {
                o.gotoDone = true;
                o.status = U("導入コマンドを送りました");
            } else {
                o.status = U(scope.StatusText());
            }
            break;
        case kSync:
            o.status = scope.Sync() ? U("同期コマンドを送りました") : U(scope.StatusText());
            break;
        case kFast:
        case kMedium:
        case kSlow: {
            const int rate = b == kFast ? 4 : b == kMedium ? 3 : 2;
            const char* speed = b == kFast ? "高速" : b == kMedium ? "中速" : "低速";
            o.status = U(speed) + U(scope.SetSlewRate(rate) ? "コマンド送信した" : "コマンド失敗");
            break;
        }
        case kUp:
        case kDown:
        case kLeft:
        case kRight: {
            const char d = b == kUp ? 'n' : b == kDown ? 's' : b == kLeft ? 'e' : 'w';
            const char* done = b == kUp     ? "上移動指示送信した"
                               : b == kDown ? "下移動指示送信した"
                               : b == kLeft ? "左移動指示送信した"
                                            : "右移動指示送信した";
            o.status = U(scope.Nudge(d) ? done : "移動指示失敗");
            break;
        }
        case kStop:
            o.status = scope.Stop() ? U("停止指示") : U(scope.StatusText());
            break;
        case kPosition: {
            std::string text;
            if (scope.ReadPosition(text, true)) o.info = U(text);
            break;
        }
        case kSiteTime:
            if (scope.SendSiteAndTime()) {
                o.status = U("設定しました");
                o.info = U("アラインメントが必要になる場合があります。");
            } else {
                o.status = U("失敗しました");
            }
            break;
        default:
            break;
    }
    return o;
}

void CTelescopeControlDialog::Finish(const Outcome& o) {
    if (o.gotoDone) gotoDone_ = true;
    if (!o.status.isEmpty()) SetStatus(o.status);
    running_ = false;
    SetButtonsEnabled(true);
    if (!o.error.isEmpty()) prompts_.Error(o.error);
    if (!o.info.isEmpty()) prompts_.Info(o.info);
}

}  // namespace tavik
