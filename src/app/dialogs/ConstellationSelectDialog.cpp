#include "app/dialogs/ConstellationSelectDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "catalog/ConstellationTable.h"

namespace tavik {

namespace {

constexpr int kFillDelayMs = 200;
constexpr std::size_t kMaxSlots = 100;

}  // namespace

CConstellationSelectDialog::CConstellationSelectDialog(bool active, std::vector<std::string> selected,
                                                       QWidget* parent)
    : QDialog(parent), active_(active), slots_(std::move(selected)) {
    setWindowTitle(QString::fromUtf8("星座選択"));
    auto* layout = new QVBoxLayout(this);
    box_ = new QCheckBox(QString::fromUtf8("表示星座を選択"), this);
    box_->setChecked(active);
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->setSortingEnabled(true);
    zodiac_ = new QPushButton(QString::fromUtf8("黄道１２星座の選択"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(box_);
    layout->addWidget(list_);
    layout->addWidget(zodiac_);
    layout->addWidget(buttons);
    connect(box_, &QCheckBox::toggled, this, [this] { EnableList(); });
    connect(zodiac_, &QPushButton::clicked, this, [this] { SelectZodiac(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    EnableList();
    QTimer::singleShot(kFillDelayMs, this, [this] { Fill(); });
}

void CConstellationSelectDialog::EnableList() {
    list_->setEnabled(box_->isChecked());
    zodiac_->setEnabled(box_->isChecked());
}

void CConstellationSelectDialog::Fill() {
    if (filled_) return;
    filled_ = true;
    const auto& table = ConstellationTable();
    // Every row, Serpens' two (head and tail, both "へび") included.
    for (std::size_t row = 0; row < table.size(); ++row) {
        const std::string abbreviation = table[row].abbreviation;
        auto* item = new QListWidgetItem(QString::fromUtf8(table[row].name), list_);
        item->setData(Qt::UserRole, QString::fromStdString(abbreviation));
        item->setSelected(std::find(slots_.begin(), slots_.end(), abbreviation) != slots_.end());
    }
}

void CConstellationSelectDialog::SelectZodiac() {
    Fill();
    list_->clearSelection();
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        item->setSelected(IsZodiac(item->data(Qt::UserRole).toString().toStdString()));
    }
}

void CConstellationSelectDialog::accept() {
    Fill();
    chosen_.clear();
    active_ = box_->isChecked();
    if (active_) {
        for (int i = 0; i < list_->count() && chosen_.size() < kMaxSlots; ++i) {
            QListWidgetItem* item = list_->item(i);
            if (item->isSelected()) chosen_.push_back(item->data(Qt::UserRole).toString().toStdString());
        }
        // Nothing selected turns the selection off.
        if (chosen_.empty()) active_ = false;
    }
    QDialog::accept();
}

}  // namespace tavik
