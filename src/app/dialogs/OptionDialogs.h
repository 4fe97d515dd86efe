#pragma once
// Options 1, 2 and 3 (dialogs 131 "オプション１", 149 "オプション２" and 154
// "オプション３") and command 32775 "オプション１、２、３", which shows them and
// option 4 (COptionZoomDialog) one after another.
//
// Each dialog shows a copy of the view's settings; OK checks the number fields
// against the range the settings reader keeps them in (a value out of range,
// or no number, brings the range message and keeps the dialog open), stores the dialog's values into the view's settings (and the
// few the view state carries: limiting magnitude, horizontal stretch, the
// Whole-band skip, the orthographic framing, full screen) and runs the view's
// save operation. Option 1 also writes POPUPMENU/MAG = SETTING/MAGNIT before
// the save. Cancel changes nothing.
//
// Check boxes are checked when their setting is on (1) and store 1 or 0.
// "カーソルキーを有効にする" and "アクションキーでメニュー表示" are shown disabled;
// the latter is always checked.

#include <QDialog>

#include <utility>
#include <vector>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLayout;
class QLineEdit;
class QPushButton;

namespace tavik {

class Prompts;
class SettingsStore;
struct ViewSettings;

// The magnitude list of options 1 and 4, "１等星まで表示" … "全て表示".
inline constexpr int kMagnitudeCount = 7;
extern const char* const kMagnitudeTexts[kMagnitudeCount];
struct ViewState;

// The shared part of the three dialogs: check boxes by control id, OK/Cancel.
class COptionDialogBase : public QDialog {
    Q_OBJECT
public:
    QCheckBox* Check(int control) const;
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

    // The OK button's work; false (message shown, field focused) when a number
    // field is not accepted. Nothing is stored then.
    bool TryAccept();
    void accept() override;

protected:
    struct CheckRow {
        int control;
        const char* text;  // UTF-8
        bool (*get)(const ViewSettings&);
        void (*set)(ViewSettings&, bool);  // nullptr: shown only (disabled)
    };
    COptionDialogBase(int dialogId, const char* title, ViewSettings& settings, ViewState& view,
                      SettingsStore& store, Prompts& prompts, QWidget* parent);
    // Adds the check boxes of `rows` (in order) to `into`.
    void AddChecks(const std::vector<CheckRow>& rows, QLayout* into);
    // Adds OK and Cancel below the dialog's own controls.
    void AddButtons(QBoxLayout* into);
    // Checks the number fields and takes them and the list into `into` (option
    // 1 only); false when a field is refused.
    virtual bool TakeFields(ViewSettings& into) { (void)into; return true; }
    // Writes what the dialog stores beside the view's settings (before the save).
    virtual void AfterStore() {}

    ViewSettings& settings_;
    ViewState& view_;
    SettingsStore& store_;
    Prompts& prompts_;

private:
    struct Bound {
        QCheckBox* box;
        void (*set)(ViewSettings&, bool);
    };
    std::vector<std::pair<int, Bound>> checks_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Option 1 (dialog 131).
class COption1Dialog final : public COptionDialogBase {
    Q_OBJECT
public:
    COption1Dialog(ViewSettings& settings, ViewState& view, SettingsStore& store, Prompts& prompts,
                   QWidget* parent = nullptr);

    enum Control {
        kConstellationNames = 1006, kMagnitude = 1007, kShift = 1041, kWide = 1042, kFont = 1043,
        kCursorKeys = 1045, kNoSandClock = 1049, kRememberScreen = 1050, kActionMenu = 1051,
        kNoWholeBand = 1052, kStretchJpeg = 1055, kCursorReversed = 1077, kOrthographic = 1085,
        kNoSiteName = 1088
    };
    QLineEdit* Edit(int control) const;
    QComboBox* MagnitudeList() const { return magnitude_; }

protected:
    bool TakeFields(ViewSettings& into) override;
    void AfterStore() override;

private:
    QComboBox* magnitude_ = nullptr;
    QLineEdit* shift_ = nullptr;
    QLineEdit* wide_ = nullptr;
    QLineEdit* font_ = nullptr;
};

// Option 2 (dialog 149).
class COption2Dialog final : public COptionDialogBase {
    Q_OBJECT
public:
    COption2Dialog(ViewSettings& settings, ViewState& view, SettingsStore& store, Prompts& prompts,
                   QWidget* parent = nullptr);
};

// Option 3 (dialog 154). "拡大操作 更新ボタン自動押下" is also handed to an open
// magnifier panel: the caller does that after the chain (SetAutoEnter).
class COption3Dialog final : public COptionDialogBase {
    Q_OBJECT
public:
    COption3Dialog(ViewSettings& settings, ViewState& view, SettingsStore& store, Prompts& prompts,
                   QWidget* parent = nullptr);
};

// What command 32775 leaves to its caller.
struct OptionsOutcome {
    bool confirmed = false;         // one of the four was confirmed: recompute the framing, repaint
    bool telescopeControl = false;  // OPTION3/TS_CTRL is on afterwards: the telescope follow-up
};

// Command 32775: options 1, 2, 3 and 4 shown one after another (each whatever
// the previous one returned), each storing and saving on OK. The view state's
// stored part is copied into the settings first, so the dialogs show what the
// view shows. The caller, afterwards: hands settings.autoEnter to an open
// magnifier panel, applies a changed full-screen flag, runs the telescope
// follow-up when `telescopeControl` (controller, settings dialog, clock to now,
// auto update with "自動更新モードを設定しました"), and refreshes when `confirmed`.
OptionsOutcome RunOptionChain(ViewSettings& settings, ViewState& view, SettingsStore& store, Prompts& prompts,
                              QWidget* parent);

}  // namespace tavik
