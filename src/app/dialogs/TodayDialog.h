#pragma once
// Today's data (dialog 141): the date and the Moon's age, the day's rise,
// transit and set times in a sorted list, the fixed note, and "明日へ".

#include <QDialog>

#include "astro/TodayData.h"
#include "settings/ObservationSite.h"

class QLabel;
class QListWidget;

namespace tavik {

class TimeControl;

class CTodayDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTomorrow = 6;  // result code of "明日へ"

    explicit CTodayDialog(const DailyEvents& events, QWidget* parent = nullptr);

    QListWidget* List() const { return list_; }
    QLabel* Header() const { return header_; }

private:
    QLabel* header_;
    QListWidget* list_;
};

EventSite ToEventSite(const ObservationSite& site);

// Command 32826: computes the day of the view's moment and shows it; "明日へ"
// shows the next day. The view's moment is not changed. `show` replaces the
// modal dialog (tests); it returns true for "明日へ". `minorBodies`, the
// comets and asteroids the user marked, add their rows.
int RunTodayDataDialogs(const TimeControl& time, const ObservationSite& site, QWidget* parent,
                        const std::function<bool(const DailyEvents&)>& show = {},
                        const std::vector<MinorBody>& minorBodies = {});

}  // namespace tavik
