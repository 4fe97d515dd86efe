#include "app/dialogs/Dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/Prompts.h"

namespace tavik {

namespace {
constexpr int kControls[6] = {CDateTimeDialog::kHour, CDateTimeDialog::kMinute,
                              CDateTimeDialog::kSecond, CDateTimeDialog::kYear,
                              CDateTimeDialog::kMonth, CDateTimeDialog::kDay};
}  // namespace

CDateTimeDialog::CDateTimeDialog(const DateTime& current, const TimeControl& time,
                                 Prompts& prompts, QWidget* parent)
    : QDialog(parent), clock_(time.GetClock()), prompts_(prompts) {
    setWindowTitle(QString::fromUtf8("日付、時刻"));
    auto* grid = new QGridLayout;
    const char* units[6] = {"時", "分", "秒", "年", "月", "日"};
    for (int i = 0; i < 6; ++i) {
        edits_[static_cast<std::size_t>(i)] = new QLineEdit(this);
        edits_[static_cast<std::size_t>(i)]->setObjectName(QString::number(kControls[i]));
        edits_[static_cast<std::size_t>(i)]->setMaxLength(5);
    }
    grid->addWidget(new QLabel(QString::fromUtf8("現地日付"), this), 0, 0);
    grid->addWidget(new QLabel(QString::fromUtf8("現地時間"), this), 1, 0);
    // Date on the first row (year, month, day), time on the second.
    const int order[2][3] = {{3, 4, 5}, {0, 1, 2}};
    for (int row = 0; row < 2; ++row) {
        for (int k = 0; k < 3; ++k) {
            const int i = order[row][k];
            grid->addWidget(edits_[static_cast<std::size_t>(i)], row, 1 + 2 * k);
            grid->addWidget(new QLabel(QString::fromUtf8(units[i]), this), row, 2 + 2 * k);
        }
    }
    auto* now = new QPushButton(QString::fromUtf8("現在時刻に"), this);
    now->setObjectName(QStringLiteral("1019"));
    connect(now, &QPushButton::clicked, this, &CDateTimeDialog::LoadNow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDateTimeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDateTimeDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(now);
    layout->addWidget(buttons);
    SetFields(FieldsOf(current));
}

QLineEdit* CDateTimeDialog::Edit(int control) const {
    for (int i = 0; i < 6; ++i) {
        if (kControls[i] == control) return edits_[static_cast<std::size_t>(i)];
    }
    return nullptr;
}

void CDateTimeDialog::SetFields(const DateTimeFields& f) {
    Edit(kHour)->setText(QString::number(f.hour));
    Edit(kMinute)->setText(QString::number(f.minute));
    Edit(kSecond)->setText(QString::number(f.second));
    Edit(kYear)->setText(QString::number(f.year));
    Edit(kMonth)->setText(QString::number(f.month));
    Edit(kDay)->setText(QString::number(f.day));
}

void CDateTimeDialog::LoadNow() { SetFields(FieldsOf(clock_.Now())); }

bool CDateTimeDialog::TryAccept() {
    // Text that is not a number cannot be in range: it gets the range message too.
    auto value = [this](int control) {
        bool ok = false;
        const int v = Edit(control)->text().trimmed().toInt(&ok);
        return ok ? v : -1000000;
    };
    DateTimeFields f;
    f.hour = value(kHour);
    f.minute = value(kMinute);
    f.second = value(kSecond);
    f.year = value(kYear);
    f.month = value(kMonth);
    f.day = value(kDay);
    if (auto error = ValidateDateTimeFields(f)) {
        prompts_.Info(QString::fromStdString(error->message));
        if (QLineEdit* e = Edit(error->controlId)) {
            e->setFocus();
            e->selectAll();
        }
        return false;
    }
    fields_ = f;
    return true;
}

void CDateTimeDialog::accept() {
    if (TryAccept()) QDialog::accept();
}

CIntervalDialog::CIntervalDialog(const StepInterval& current, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("刻みを指定"));
    combo_ = new QComboBox(this);
    combo_->setObjectName(QStringLiteral("1113"));
    for (const IntervalChoice& c : IntervalChoices()) combo_->addItem(QString::fromUtf8(c.text));
    combo_->setCurrentIndex(FindIntervalChoice(current));  // -1: nothing selected
    auto* set = new QPushButton(QString::fromUtf8("設定"), this);
    set->setObjectName(QStringLiteral("1114"));
    connect(set, &QPushButton::clicked, this, &CIntervalDialog::accept);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &CIntervalDialog::reject);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(combo_, 1);
    row->addWidget(set);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

std::optional<StepInterval> CIntervalDialog::Chosen() const {
    const int i = combo_->currentIndex();
    if (i < 0 || i >= kIntervalChoiceCount) return std::nullopt;
    return IntervalChoices()[static_cast<std::size_t>(i)].interval;
}

}  // namespace tavik
