#include "app/dialogs/ColorDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "settings/SettingsStore.h"

namespace tavik {

CColorDialog::CColorDialog(SettingsStore& store, QWidget* parent) : QDialog(parent), store_(store) {
    setWindowTitle(QString::fromUtf8("色の指定"));
    table_.Load(store_);
    slots_ = new QComboBox(this);
    for (int i = 0; i < kUserColorSlots; ++i) {
        slots_->addItem(QString::fromUtf8(ColorTable::SlotName(i)));
    }
    preview_ = new QLabel(this);
    preview_->setFixedSize(120, 24);
    auto* grid = new QGridLayout;
    const char* names[3] = {"赤", "緑", "青"};
    for (int i = 0; i < 3; ++i) {
        bars_[i] = new QScrollBar(Qt::Horizontal, this);
        bars_[i]->setRange(0, kColorScrollMax);
        bars_[i]->setPageStep(1);
        grid->addWidget(new QLabel(QString::fromUtf8(names[i]), this), i, 0);
        grid->addWidget(bars_[i], i, 1);
        connect(bars_[i], &QScrollBar::valueChanged, this, &CColorDialog::UpdatePreview);
    }
    auto* update = new QPushButton(QString::fromUtf8("更新"), this);
    connect(update, &QPushButton::clicked, this, &CColorDialog::StoreCurrent);
    auto* reset = new QPushButton(QString::fromUtf8("全て初期"), this);
    connect(reset, &QPushButton::clicked, this, [this] { done(kResetAll); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(slots_, qOverload<int>(&QComboBox::currentIndexChanged), this, &CColorDialog::SelectSlot);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(slots_);
    layout->addWidget(preview_);
    layout->addLayout(grid);
    auto* row = new QHBoxLayout;
    row->addWidget(update);
    row->addWidget(reset);
    layout->addLayout(row);
    layout->addWidget(buttons);
    SelectSlot(0);
}

void CColorDialog::SelectSlot(int slot) {
    const ColorRef c = table_[slot];
    const int bytes[3] = {RedOf(c), GreenOf(c), BlueOf(c)};
    for (int i = 0; i < 3; ++i) {
        QSignalBlocker block(bars_[i]);
        bars_[i]->setValue(PositionOfByte(bytes[i]));
    }
    UpdatePreview();
}

void CColorDialog::StoreCurrent() {
    table_.Set(slots_->currentIndex(),
               MakeColorRef(ByteOfPosition(bars_[0]->value()), ByteOfPosition(bars_[1]->value()),
                            ByteOfPosition(bars_[2]->value())));
    UpdatePreview();
}

void CColorDialog::UpdatePreview() {
    QPixmap pm(preview_->size());
    QPainter p(&pm);
    const int half = pm.width() / 2;
    p.fillRect(0, 0, half, pm.height(), ToQColor(table_[std::max(0, slots_->currentIndex())]));
    p.fillRect(half, 0, pm.width() - half, pm.height(),
               QColor(ByteOfPosition(bars_[0]->value()), ByteOfPosition(bars_[1]->value()),
                      ByteOfPosition(bars_[2]->value())));
    p.end();
    preview_->setPixmap(pm);
}

}  // namespace tavik
