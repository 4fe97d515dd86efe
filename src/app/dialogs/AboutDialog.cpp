#include "app/dialogs/AboutDialog.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog/CatalogLocation.h"
#include "settings/SettingsStore.h"

#ifndef TAVIK_VERSION
#define TAVIK_VERSION "0.1.0"
#endif

namespace tavik {

QStringList AcknowledgementLines() {
    // Five lines: thanks, the star data, the JPEG code, references, the
    // reference works the data was built from.
    return {
        QString::fromUtf8("謝辞："),
        QString::fromUtf8("星・星座・星雲星団・天の川のデータ: d3-celestial 0.7.35 (Copyright (c) 2015 "
                          "Olaf Frohn, BSD 3-Clause License) より作成"),
        QString::fromUtf8("JPEG の圧縮・展開: libjpeg-turbo (Independent JPEG Group のソフトウェアを基にしています)"),
        QString::fromUtf8("参考文献："),
        QString::fromUtf8("XHIP (Anderson & Francis 2012), IAU 星座境界 (Davenhall & Leggett 1989), "
                          "SEDS メシエカタログ, SAC 8.1, Milky Way Outline (J. R. Vieira)"),
    };
}

CAboutDialog::CAboutDialog(SettingsStore& store, QWidget* parent) : QDialog(parent), store_(store) {
    setWindowTitle(QString::fromUtf8("Tavik のバージョン情報"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Tavik  Version " TAVIK_VERSION), this));
    layout->addWidget(new QLabel(QStringLiteral("Build " __DATE__), this));
    for (QLabel*& label : paths_) {
        label = new QLabel(this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    list_ = new QListWidget(this);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The list scrolls sideways as far as its widest line.
    const QFontMetrics fm(list_->font());
    for (const QString& line : AcknowledgementLines()) list_->addItem(line);
    list_->setMinimumHeight(fm.height() * 6);
    layout->addWidget(list_, 1);
    card_ = new QCheckBox(QString::fromUtf8("データはSDメモリカード上"), this);
    card_->setChecked(store_.GetProfileInt("MEMORY", "CARD", 0) != 0);
    layout->addWidget(card_);
    auto* row = new QHBoxLayout;
    auto* reset = new QPushButton(QString::fromUtf8("データ位置初期化"), this);
    auto* close = new QPushButton(QString::fromUtf8("閉じる"), this);
    close->setDefault(true);
    connect(reset, &QPushButton::clicked, this, &CAboutDialog::ResetDataLocation);
    connect(close, &QPushButton::clicked, this, &CAboutDialog::Close);
    row->addWidget(reset);
    row->addStretch(1);
    row->addWidget(close);
    layout->addLayout(row);
    ShowPaths();
    resize(320, 360);
}

QStringList CAboutDialog::PathTexts() const {
    return {paths_[0]->text(), paths_[1]->text(), paths_[2]->text()};
}

void CAboutDialog::ShowPaths() {
    paths_[0]->setText(QString::fromStdString(store_.GetProfileString(kCatalogSection, kCatalogEntry, "")));
    paths_[1]->setText(QString::fromStdString(store_.GetProfileString("SEIZAE", "FILE", "")));
    paths_[2]->setText(QString::fromStdString(store_.GetProfileString("SEIZALINE", "FILE", "")));
}

void CAboutDialog::ResetDataLocation() {
    tavik::ResetDataLocation(store_);
    ShowPaths();
}

void CAboutDialog::Close() {
    store_.WriteProfileInt("MEMORY", "CARD", card_->isChecked() ? 2 : 0);
    accept();
}

}  // namespace tavik
