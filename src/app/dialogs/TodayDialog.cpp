#include "app/dialogs/TodayDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "view/TimeControl.h"

namespace tavik {

CTodayDialog::CTodayDialog(const DailyEvents& events, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("今日のデータ"));
    header_ = new QLabel(QString::fromStdString(events.Header()), this);
    header_->setObjectName(QStringLiteral("1043"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("1044"));
    list_->setSortingEnabled(true);
    for (const std::string& line : events.Lines()) list_->addItem(QString::fromStdString(line));
    list_->sortItems();
    auto* note = new QLabel(QString::fromUtf8(kTodayDataNote), this);
    auto* tomorrow = new QPushButton(QString::fromUtf8("明日へ"), this);
    tomorrow->setObjectName(QStringLiteral("1042"));
    connect(tomorrow, &QPushButton::clicked, this, [this] { done(kTomorrow); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header_);
    layout->addWidget(list_, 1);
    layout->addWidget(note);
    auto* row = new QHBoxLayout;
    row->addWidget(tomorrow);
    row->addStretch(1);
    row->addWidget(buttons);
    layout->addLayout(row);
    // Wide enough for the longest line (a comet's name may be long).
    const int lines = list_->sizeHintForColumn(0) + 2 * list_->frameWidth() +
                      list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 24;
    resize(std::max(260, lines), 300);
}

EventSite ToEventSite(const ObservationSite& s) {
    EventSite e;
    e.longitudeDegrees = s.longitudeDegrees;
    e.longitudeMinutes = s.longitudeMinutes;
    e.latitudeDegrees = s.latitudeDegrees;
    e.latitudeMinutes = s.latitudeMinutes;
    e.zoneOffsetHours = s.zoneOffsetHours;
    return e;
}

int RunTodayDataDialogs(const TimeControl& time, const ObservationSite& site, QWidget* parent,
                        const std::function<bool(const DailyEvents&)>& show,
                        const std::vector<MinorBody>& minorBodies) {
    // The computation runs on its own copy of the moment, so the view's date
    // and time stay exactly as they were.
    DateTime clock = time.Current();
    if (!show) QApplication::setOverrideCursor(Qt::WaitCursor);
    return RunTodayData(clock, ToEventSite(site), [&](const DailyEvents& day) {
        if (show) return show(day);
        QApplication::restoreOverrideCursor();
        CTodayDialog dlg(day, parent);
        const bool tomorrow = dlg.exec() == CTodayDialog::kTomorrow;
        if (tomorrow) QApplication::setOverrideCursor(Qt::WaitCursor);
        return tomorrow;
    }, minorBodies);
}

}  // namespace tavik
