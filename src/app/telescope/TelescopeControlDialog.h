#pragma once
// The telescope control dialog (158, "望遠鏡制御"): the target under "目標天体",
// the goto and sync ("同期") buttons, the speed, move, stop and position buttons, "時刻、観測地", a status
// line and "閉じる". Every button connects first when the link is not open,
// runs its exchange on the exchange thread with the buttons disabled (the
// dialog and the chart paint and take input meanwhile), and shows its status
// text when it has ended. "閉じる" (and the Escape key, and the close box) is
// refused while an exchange runs.
//
// The view opens it on message 2052 and does the rest around it:
//
//   scope.SetBusy(true);
//   CTelescopeControlDialog dlg(scope, exchange, prompts, target, this);  // target: last tap, or nullopt
//   dlg.exec();
//   scope.SetBusy(false);
//   if (scope.State() == TelescopeController::kDone && dlg.GotoDone()) { start the trace }
//   else scope.Disconnect();
//
// The history line of an accepted goto reaches the document through the
// controller's SetGotoLog callback, not through the dialog.

#include <QDialog>

#include <array>
#include <optional>

#include "telescope/GotoTarget.h"

class QLabel;
class QPushButton;

namespace tavik {

class Prompts;
class Mount;
class ScopeExchange;

class CTelescopeControlDialog : public QDialog {
    Q_OBJECT
public:
    // The buttons, in the order they are laid out.
    enum Button {
        kGoto, kSync, kFast, kMedium, kSlow, kUp, kDown, kLeft, kRight, kStop, kPosition, kSiteTime, kClose,
        kButtonCount
    };

    // Stops a running trace and sets the target: the tapped object, or none
    // (nullopt: "指定されていません(導入指示不可）", goto disabled).
    CTelescopeControlDialog(Mount& scope, ScopeExchange& exchange, Prompts& prompts,
                            const std::optional<GotoTarget>& target, QWidget* parent = nullptr);

    QPushButton* ButtonAt(Button b) const { return buttons_[static_cast<std::size_t>(b)]; }
    QString TargetName() const;
    QString TargetText() const;
    QString Status() const;
    // A goto was accepted while the dialog was open.
    bool GotoDone() const { return gotoDone_; }
    // An exchange is running (buttons disabled).
    bool Running() const { return running_; }

    // Refused with "望遠鏡と通信中です" while the controller is in an exchange
    // (or a button's action runs).
    void reject() override;

private:
    void Press(Button b);
    // What a button's exchange found, shown when it has ended.
    struct Outcome {
        QString status;     // the new status line (empty: unchanged)
        QString error;      // a message box with the error icon
        QString info;       // a message box with the information icon
        bool gotoDone = false;
    };
    // The exchange of button `b`, on the exchange thread: connects when the
    // link is not open, then sends. Touches nothing of the dialog, which may
    // be gone before it ends.
    static Outcome Exchange(Mount& scope, Button b);
    void Finish(const Outcome& outcome);
    void SetStatus(const QString& text);
    void SetButtonsEnabled(bool enabled);

    Mount& scope_;
    ScopeExchange& exchange_;
    Prompts& prompts_;
    std::optional<GotoTarget> target_;  // asked about before a goto below the altitude limit
    bool noTarget_ = false;
    bool gotoDone_ = false;
    bool running_ = false;
    QLabel* targetName_;
    QLabel* targetText_;
    QLabel* status_;
    std::array<QPushButton*, kButtonCount> buttons_{};
};

}  // namespace tavik
