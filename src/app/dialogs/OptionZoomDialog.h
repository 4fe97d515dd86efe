#pragma once
// Option 4 (dialog 162 "オプション４"): the magnified view's zoom settings,
// headed "ズームイン時の表示調整". The controls read as one sentence, "[1121]
// 倍以上なら [1120] して [1119] だけｼﾌﾄする。" (from this zoom on, show stars
// down to this magnitude and shift them by this much), and separately
// "ここをズームイン時の倍率(1/10)" [1122]:
//
//   1121 ZOOMINVIEW/UPTO       100..901
//   1120 ZOOMINVIEW/MAG        "１等星まで表示" .. "６等星まで表示", "全て表示"
//                              (index = value - 1)
//   1119 ZOOMINVIEW/SHIFT      -99..99
//   1122 ZOOMINVIEW/THISPOINT  30..900
//
// OK checks the fields (a value out of range, or no number, brings the range
// message and keeps the dialog open), stores the four values into the view's
// settings, runs the view's save operation on the store and, when a view
// state is given, lets its zoom threshold and limit follow (the view's save
// copies those two back from the view state).

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace tavik {

class Prompts;
class SettingsStore;
struct ViewSettings;
struct ViewState;

class COptionZoomDialog : public QDialog {
    Q_OBJECT
public:
    COptionZoomDialog(ViewSettings& settings, SettingsStore& store, Prompts& prompts, ViewState* view = nullptr,
                      QWidget* parent = nullptr);

    enum Control { kShift = 1119, kMagnitude = 1120, kUpTo = 1121, kThisPoint = 1122 };
    QLineEdit* Edit(int control) const;
    QComboBox* MagnitudeList() const { return magnitude_; }

    // The OK button's work; false (message shown, field focused) when a field
    // is not accepted. Nothing is stored then.
    bool TryAccept();
    void accept() override;

private:
    ViewSettings& settings_;
    SettingsStore& store_;
    Prompts& prompts_;
    ViewState* view_;
    QLineEdit* upTo_ = nullptr;
    QComboBox* magnitude_ = nullptr;
    QLineEdit* shift_ = nullptr;
    QLineEdit* thisPoint_ = nullptr;
};

}  // namespace tavik
