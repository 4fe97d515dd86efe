#include "app/TelescopeControlDialog.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Prompts.h"
#include "telescope/TelescopeController.h"

namespace tavik {

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
QString U(const std::string& text) { return QString::fromStdString(text); }

const char* const kButtonTexts[CTelescopeControlDialog::kButtonCount] = {
    "導入開始", "高速", "中速", "低速", "上", "下", "左", "右", "停止", "現在位置", "時刻、観測地", "閉じる"};

}  // namespace

void PromptsTelescopeUi::Error(const std::string& text) { prompts_.Error(U(text)); }
void PromptsTelescopeUi::Info(const std::string& text) { prompts_.Info(U(text)); }
bool PromptsTelescopeUi::Ask(const std::string& text) { return prompts_.Ask(U(text)); }
void PromptsTelescopeUi::PumpMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

CTelescopeControlDialog::CTelescopeControlDialog(Mount& scope, Prompts& prompts,
                                                 const std::optional<GotoTarget>& target,
                                                 QWidget* parent)
    : QDialog(parent), scope_(scope), prompts_(prompts) {
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
    grid->addWidget(ButtonAt(kGoto), 0, 0, 1, 3);
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
}

QString CTelescopeControlDialog::TargetName() const { return targetName_->text(); }
QString CTelescopeControlDialog::TargetText() const { return targetText_->text(); }
QString CTelescopeControlDialog::Status() const { return status_->text(); }

void CTelescopeControlDialog::SetStatus(const QString& text) { status_->setText(text); }

void CTelescopeControlDialog::SetButtonsEnabled(bool enabled) {
    for (int i = 0; i < kButtonCount; ++i) {
        if (i == kClose) continue;  // stays, so that it can be refused
        buttons_[static_cast<std::size_t>(i)]->setEnabled(enabled && !(i == kGoto && (noTarget_ || gotoDone_)));
    }
}

bool CTelescopeControlDialog::EnsureConnected() {
    // A link that was lost (state left odd or failed) is opened again as well.
    if (scope_.State() != Mount::kIdle && scope_.IsConnected()) return true;
    SetStatus(U("接続開始中..."));
    QCoreApplication::processEvents();
    if (!scope_.Connect()) {
        SetStatus(U("接続出来ません."));
        prompts_.Error(U("接続出来ません"));
        return false;
    }
    SetStatus(U("接続しました."));
    return true;
}

void CTelescopeControlDialog::reject() {
    // Also while a button's action runs: its exchange may be between commands.
    if (scope_.State() % 2 == 1 || running_) {
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
    if (running_) return;
    running_ = true;
    SetButtonsEnabled(false);
    auto finish = [this] {
        running_ = false;
        SetButtonsEnabled(true);
    };
    if (b == kSiteTime) {
        // The questions come before the port is touched.
        if (scope_.telescopeType == 0 &&
            !prompts_.Ask(U("ETX70に対してこのコマンドを送ると画面表示が壊れる場合があります。続けますか？"))) {
            finish();
            return;
        }
        if (!prompts_.Ask(U("観測地、日付時刻をコントローラに書き込みます。"))) {
            finish();
            return;
        }
    }
    if (!EnsureConnected()) {
        finish();
        return;
    }
    switch (b) {
        case kGoto:
            if (scope_.Goto()) {
                gotoDone_ = true;
                SetStatus(U("導入コマンドを送りました"));
            } else {
                SetStatus(U(scope_.StatusText()));
            }
            break;
        case kFast:
        case kMedium:
        case kSlow: {
            const int rate = b == kFast ? 4 : b == kMedium ? 3 : 2;
            const char* speed = b == kFast ? "高速" : b == kMedium ? "中速" : "低速";
            SetStatus(U(speed) + U(scope_.SetSlewRate(rate) ? "コマンド送信した" : "コマンド失敗"));
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
            SetStatus(U(scope_.Nudge(d) ? done : "移動指示失敗"));
            break;
        }
        case kStop:
            SetStatus(scope_.Stop() ? U("停止指示") : U(scope_.StatusText()));
            break;
        case kPosition: {
            std::string text;
            if (scope_.ReadPosition(text, true)) prompts_.Info(U(text));
            break;
        }
        case kSiteTime:
            if (scope_.SendSiteAndTime()) {
                SetStatus(U("設定しました"));
                prompts_.Info(U("アラインメントが必要になる場合があります。"));
            } else {
                SetStatus(U("失敗しました"));
            }
            break;
        default:
            break;
    }
    finish();
}

}  // namespace tavik
