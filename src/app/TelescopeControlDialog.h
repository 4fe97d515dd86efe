#pragma once
// The telescope control dialog (158, "望遠鏡制御"): the target under "目標天体",
// the goto, speed, move, stop and position buttons, "時刻、観測地", a status
// line and "閉じる". Every button connects first when the link is not open,
// runs its exchange with the buttons disabled (the window stays alive through
// the controller's message pump), and shows its status text. "閉じる" (and the
// Escape key, and the close box) is refused while an exchange runs.
//
// The view opens it on message 2052 and does the rest around it:
//
//   scope.SetBusy(true);
//   CTelescopeControlDialog dlg(scope, prompts, target, this);  // target: last tap, or nullopt
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
#include "telescope/TelescopeHost.h"

class QLabel;
class QPushButton;

namespace tavik {

class Prompts;
class Mount;

// The protocol's message boxes through the shell's prompts, and its message
// pump through the Qt event loop.
class PromptsTelescopeUi final : public TelescopeUi {
public:
    explicit PromptsTelescopeUi(Prompts& prompts) : prompts_(prompts) {}
    void Error(const std::string& text) override;
    void Info(const std::string& text) override;
    bool Ask(const std::string& text) override;
    void PumpMessages() override;

private:
    Prompts& prompts_;
};

class CTelescopeControlDialog : public QDialog {
    Q_OBJECT
public:
    // The buttons, in the order they are laid out.
    enum Button {
        kGoto, kFast, kMedium, kSlow, kUp, kDown, kLeft, kRight, kStop, kPosition, kSiteTime, kClose,
        kButtonCount
    };

    // Stops a running trace and sets the target: the tapped object, or none
    // (nullopt: "指定されていません(導入指示不可）", goto disabled).
    CTelescopeControlDialog(Mount& scope, Prompts& prompts,
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
    // Connects when the link is not open; false (with the messages) when it cannot.
    bool EnsureConnected();
    void SetStatus(const QString& text);
    void SetButtonsEnabled(bool enabled);

    Mount& scope_;
    Prompts& prompts_;
    bool noTarget_ = false;
    bool gotoDone_ = false;
    bool running_ = false;
    QLabel* targetName_;
    QLabel* targetText_;
    QLabel* status_;
    std::array<QPushButton*, kButtonCount> buttons_{};
};

}  // namespace tavik
