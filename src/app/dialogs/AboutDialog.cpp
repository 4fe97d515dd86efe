#include "app/dialogs/AboutDialog.h"

#include <QCheckBox>
#include <QDate>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/ListWidth.h"
#include "catalog/CatalogLocation.h"
#include "settings/SettingsStore.h"

#ifndef TAVIK_VERSION
#define TAVIK_VERSION "0.1.0"
#endif

namespace tavik {

QStringList AcknowledgementLines() {
    // The thanks for the star data and the JPEG code, then the references the
    // data was built from, in lines short enough for the box.
    return {
        QString::fromUtf8("謝辞："),
        QString::fromUtf8("星・星座・星雲星団・天の川のデータ: d3-celestial 0.7.35 より作成"),
        QString::fromUtf8("　(Copyright (c) 2015 Olaf Frohn, BSD 3-Clause License)"),
        QString::fromUtf8("NGC・IC 天体とその大きさ: OpenNGC (Mattia Verga) より作成"),
        QString::fromUtf8("　(CC BY-SA 4.0)"),
        QString::fromUtf8("JPEG の圧縮・展開: libjpeg-turbo"),
        QString::fromUtf8("　(Independent JPEG Group のソフトウェアを基にしています)"),
        QString::fromUtf8("参考文献："),
        QString::fromUtf8("XHIP (Anderson & Francis 2012)"),
        QString::fromUtf8("IAU 星座境界 (Davenhall & Leggett 1989)"),
        QString::fromUtf8("SEDS メシエカタログ、SAC 8.1"),
        QString::fromUtf8("Milky Way Outline (J. R. Vieira)"),
    };
}

QString BuildDateText(const char* compilerDate) {
    // "Mmm dd yyyy", the day padded with a space below 10.
    const QDate date =
        QDate::fromString(QString::fromLatin1(compilerDate).simplified(), QStringLiteral("MMM d yyyy"));
    if (!date.isValid()) return {};
    return QString::fromUtf8("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

CAboutDialog::CAboutDialog(SettingsStore& store, QWidget* parent) : QDialog(parent), store_(store) {
    setWindowTitle(QString::fromUtf8("Tavik のバージョン情報"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8("Tavik バージョン " TAVIK_VERSION), this));
    layout->addWidget(new QLabel(QString::fromUtf8("ビルド ") + BuildDateText(__DATE__), this));
    for (QLabel*& label : paths_) {
        label = new QLabel(this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    list_ = new QListWidget(this);
    // The box is as wide as the widest line (on a narrow screen the list
    // scrolls sideways as far as it).
    const QFontMetrics fm(list_->font());
    const QStringList lines = AcknowledgementLines();
    for (const QString& line : lines) list_->addItem(line);
    FitListToLines(*list_, lines);
    list_->setMinimumHeight(fm.height() * (static_cast<int>(lines.size()) + 1));
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
