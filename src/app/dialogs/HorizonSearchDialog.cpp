#include "app/dialogs/HorizonSearchDialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/dialogs/ListWidth.h"
#include "app/dialogs/Prompts.h"

namespace tavik {

namespace {
constexpr int kEntryRole = Qt::UserRole;      // index into the entries
constexpr int kReferenceRole = Qt::UserRole + 1;  // the record reference (the line's tag)
}  // namespace

CHorizonSearchDialog::CHorizonSearchDialog(std::vector<HorizonEntry> entries, QWidget* parent)
    : QDialog(parent), entries_(std::move(entries)) {
    setObjectName(QStringLiteral("155"));
    setWindowTitle(QString::fromUtf8("地平線上にある"));
    SortLikeTheList(entries_);

    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("filter"));
    filter_->setClearButtonEnabled(true);
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CHorizonSearchDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CHorizonSearchDialog::reject);
    connect(filter_, &QLineEdit::textChanged, this, &CHorizonSearchDialog::ApplyFilter);
    // As in any list: a double-click picks its line, Enter in the filter the
    // selected line or else the first one shown.
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        list_->setCurrentItem(item);
        accept();
    });
    connect(filter_, &QLineEdit::returnPressed, this, &CHorizonSearchDialog::PickFromFilter);

    // Every field of a line can be read: the list is as wide as its widest
    // line, and the dialog can be made larger.
    QStringList lines;
    for (const HorizonEntry& e : entries_) lines << QString::fromStdString(e.text);
    FitListToLines(*list_, lines);
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filter_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
}

void CHorizonSearchDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (timerStarted_) return;
    timerStarted_ = true;
    QTimer::singleShot(kFillDelayMs, this, &CHorizonSearchDialog::Fill);
}

void CHorizonSearchDialog::Fill() {
    if (filled_) return;
    filled_ = true;
    list_->setUpdatesEnabled(false);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(entries_[i].text), list_);
        item->setData(kEntryRole, static_cast<int>(i));
        item->setData(kReferenceRole, entries_[i].reference);
    }
    list_->setUpdatesEnabled(true);
    ApplyFilter();
}

void CHorizonSearchDialog::ApplyFilter() {
    const std::string wanted = filter_->text().toStdString();
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        const auto i = static_cast<std::size_t>(item->data(kEntryRole).toInt());
        const bool shown = EntryMatches(entries_[i], wanted);
        item->setHidden(!shown);
        // A line the user cannot see is not what OK picks.
        if (!shown && item->isSelected()) item->setSelected(false);
    }
}

void CHorizonSearchDialog::PickFromFilter() {
    Fill();
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty() || selected.front()->isHidden()) {
        for (int row = 0; row < list_->count(); ++row) {
            if (!list_->item(row)->isHidden()) {
                list_->setCurrentItem(list_->item(row));
                break;
            }
        }
    }
    accept();
}

void CHorizonSearchDialog::accept() {
    chosen_.reset();
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (!selected.isEmpty() && !selected.front()->isHidden()) {
        const auto i = static_cast<std::size_t>(selected.front()->data(kEntryRole).toInt());
        if (i < entries_.size()) chosen_ = entries_[i];
    }
    QDialog::accept();
}

std::optional<HorizonEntry> CHorizonSearchDialog::Confirm(bool noQuestion, Prompts& prompts) const {
    if (result() != QDialog::Accepted || !chosen_ || chosen_->reference < -10000 || chosen_->text.empty())
        return std::nullopt;
    if (!noQuestion && !prompts.Ask(QString::fromStdString(JumpQuestion(*chosen_)))) return std::nullopt;
    return chosen_;
}

}  // namespace tavik
