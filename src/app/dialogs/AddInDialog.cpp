#include "app/dialogs/AddInDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "view/OverlayUser.h"

namespace tavik {

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }
std::string Entry(int i) { return "f" + std::to_string(i); }
constexpr int kMaxAddIns = 1000;  // the most ADIN/COUNT holds

}  // namespace

void WriteAddInList(SettingsStore& store, const QStringList& paths, bool enable) {
    const int old = ReadSettingInt(store, "ADIN", "COUNT");
    for (int i = 1; i <= old; ++i) store.WriteProfileString("ADIN", Entry(i), std::nullopt);
    int n = 0;
    for (const QString& p : paths) {
        if (p.isEmpty() || n >= kMaxAddIns) continue;
        store.WriteProfileString("ADIN", Entry(++n), p.toStdString());
    }
    store.WriteProfileInt("ADIN", "COUNT", n);
    store.WriteProfileInt("ADIN", "ENABLE", enable ? 1 : 0);
}

CAddInDialog::CAddInDialog(SettingsStore& store, FileChooser chooseFile, QWidget* parent)
    : QDialog(parent), store_(store), chooseFile_(std::move(chooseFile)) {
    setWindowTitle(U("アドイン表示"));
    auto* layout = new QVBoxLayout(this);
    enable_ = new QCheckBox(U("アドインを表示する"), this);
    enable_->setChecked(ReadSettingBool(store_, "ADIN", "ENABLE"));
    list_ = new QListWidget(this);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    for (const std::string& p : AddInPaths(store_)) list_->addItem(QString::fromStdString(p));
    add_ = new QPushButton(U("追加"), this);
    remove_ = new QPushButton(U("削除"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(remove_);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(enable_);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    layout->addWidget(box);
    connect(enable_, &QCheckBox::toggled, this, [this] { EnableChanged(); });
    connect(add_, &QPushButton::clicked, this, [this] { Add(); });
    connect(remove_, &QPushButton::clicked, this, [this] { Remove(); });
    connect(box, &QDialogButtonBox::accepted, this, &CAddInDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &CAddInDialog::reject);
    EnableChanged();
}

void CAddInDialog::EnableChanged() {
    const bool on = enable_->isChecked();
    list_->setEnabled(on);
    add_->setEnabled(on);
    remove_->setEnabled(on);
}

QStringList CAddInDialog::Paths() const {
    QStringList paths;
    for (int i = 0; i < list_->count(); ++i) paths << list_->item(i)->text();
    return paths;
}

void CAddInDialog::Add() {
    if (!chooseFile_) return;
    FileRequest request;
    request.filter = U(kAddInFilter);
    const QString path = chooseFile_(request);
    if (path.isEmpty()) return;
    const int count = ReadSettingInt(store_, "ADIN", "COUNT");
    if (count >= kMaxAddIns) return;
    // Stored at once, so the file stays listed even when the dialog is cancelled.
    store_.WriteProfileString("ADIN", Entry(count + 1), path.toStdString());
    store_.WriteProfileInt("ADIN", "COUNT", count + 1);
    list_->addItem(path);
}

void CAddInDialog::Remove() {
    const int row = list_->currentRow();
    if (row >= 0) delete list_->takeItem(row);
}

void CAddInDialog::accept() {
    WriteAddInList(store_, Paths(), enable_->isChecked());
    QDialog::accept();
}

}  // namespace tavik
