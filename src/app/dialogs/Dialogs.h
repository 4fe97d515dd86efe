#pragma once
// The date-and-time dialog (134) and the step interval dialog (159).

#include <QDialog>

#include <array>
#include <optional>

#include "view/TimeControl.h"

class QComboBox;
class QLineEdit;

namespace tavik {

class Prompts;

// Local date and time of the site, six fields with range checks on OK and the
// button "現在時刻に" that loads the clock.
class CDateTimeDialog : public QDialog {
    Q_OBJECT
public:
    CDateTimeDialog(const DateTime& current, const TimeControl& time, Prompts& prompts,
                    QWidget* parent = nullptr);

    // The fields as typed (valid after OK).
    DateTimeFields Fields() const { return fields_; }
    // Sets the six edit fields.
    void SetFields(const DateTimeFields& f);
    // The "現在時刻に" button.
    void LoadNow();
    // The OK button: reads and checks the fields; false (with the range message
    // shown and the failing field focused) when one is out of range.
    bool TryAccept();

    void accept() override;

    enum Control { kHour = 1023, kMinute = 1024, kSecond = 1025, kYear = 1026, kMonth = 1027, kDay = 1028 };
    QLineEdit* Edit(int control) const;

private:
    const Clock& clock_;
    Prompts& prompts_;
    DateTimeFields fields_;
    std::array<QLineEdit*, 6> edits_{};  // hour, minute, second, year, month, day
};

// The step interval: the list of 19 intervals, preselected when the current
// interval is one of them.
class CIntervalDialog : public QDialog {
    Q_OBJECT
public:
    explicit CIntervalDialog(const StepInterval& current, QWidget* parent = nullptr);

    QComboBox* Combo() const { return combo_; }
    // The interval of the selected entry (nothing when none is selected).
    std::optional<StepInterval> Chosen() const;

private:
    QComboBox* combo_;
};

}  // namespace tavik
