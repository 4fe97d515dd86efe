#include "app/dialogs/ObjectSearchDialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "settings/SettingsStore.h"

namespace tavik {

namespace {

constexpr int kRowRole = Qt::UserRole;  // a result's index, or -1 - i for history line i
constexpr const char* kSection = "SEARCH";

std::string HistoryEntry(int i) { return "HISTORY" + std::to_string(i + 1); }

}  // namespace

QStringList CObjectSearchDialog::LoadHistory(const SettingsStore& store) {
    QStringList history;
    for (int i = 0; i < kHistorySize; ++i) {
        const QString s = QString::fromStdString(store.GetProfileString(kSection, HistoryEntry(i), "")).trimmed();
        if (!s.isEmpty() && !history.contains(s)) history << s;
    }
    return history;
}

void CObjectSearchDialog::AddToHistory(SettingsStore& store, const QString& search) {
    // One line each: breaks and tabs of a pasted text become blanks.
    QString s = search;
    s.replace(QRegularExpression(QStringLiteral("[\\t\\r\\n]+")), QStringLiteral(" "));
    s = s.trimmed();
    if (s.isEmpty()) return;
    QStringList history = LoadHistory(store);
    history.removeAll(s);
    history.prepend(s);
    for (int i = 0; i < kHistorySize; ++i) {
        if (i < history.size()) {
            store.WriteProfileString(kSection, HistoryEntry(i), history[i].toStdString());
        } else if (store.Contains(kSection, HistoryEntry(i))) {
            store.WriteProfileString(kSection, HistoryEntry(i), std::nullopt);
        }
    }
}

CObjectSearchDialog::CObjectSearchDialog(Lookup lookup, SettingsStore& store, bool telescopeOn, QWidget* parent)
    : QDialog(parent), lookup_(std::move(lookup)), store_(store), telescopeOn_(telescopeOn) {
    setObjectName(QStringLiteral("objectSearch"));
    setWindowTitle(QString::fromUtf8("天体検索"));
    setAttribute(Qt::WA_DeleteOnClose);

    query_ = new QLineEdit(this);
    query_->setObjectName(QStringLiteral("query"));
    query_->setClearButtonEnabled(true);
    query_->setPlaceholderText(QString::fromUtf8("名前・番号（M42、すばる、ベテルギウス、木星…）"));
    query_->installEventFilter(this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("results"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));

    show_ = new QPushButton(QString::fromUtf8("表示"), this);
    goto_ = new QPushButton(QString::fromUtf8("導入"), this);
    auto* close = new QPushButton(QString::fromUtf8("閉じる"), this);
    // Enter belongs to the text box and the list (no default button, so that
    // one Enter never chooses twice).
    for (QPushButton* b : {show_, goto_, close}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    if (!telescopeOn_) goto_->setToolTip(QString::fromUtf8("望遠鏡制御が無効です"));

    connect(query_, &QLineEdit::textChanged, this, &CObjectSearchDialog::Refresh);
    connect(query_, &QLineEdit::returnPressed, this, [this] { Choose(false); });
    connect(list_, &QListWidget::activated, this, [this] { Choose(false); });
    connect(list_, &QListWidget::currentRowChanged, this, &CObjectSearchDialog::UpdateButtons);
    connect(show_, &QPushButton::clicked, this, [this] { Choose(false); });
    connect(goto_, &QPushButton::clicked, this, [this] { Choose(true); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(show_);
    buttons->addWidget(goto_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(query_);
    layout->addWidget(list_, 1);
    layout->addWidget(status_);
    layout->addLayout(buttons);
    setSizeGripEnabled(true);
    // Wide enough for a whole line on a desktop, never wider than the screen.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int width = screen ? std::min(560, screen->availableGeometry().width() * 9 / 10) : 560;
    resize(width, 340);

    history_ = LoadHistory(store_);
    Refresh();
    query_->setFocus();
}

void CObjectSearchDialog::Refresh() {
    const QString text = query_->text().trimmed();
    list_->setUpdatesEnabled(false);
    list_->clear();
    results_.clear();
    if (text.isEmpty()) {
        // The last searches, to search again.
        for (int i = 0; i < history_.size(); ++i) {
            auto* item = new QListWidgetItem(history_[i], list_);
            item->setData(kRowRole, -1 - i);
        }
        status_->setText(history_.isEmpty() ? QString() : QString::fromUtf8("最近の検索"));
    } else {
        results_ = lookup_(query_->text().toStdString());
        for (std::size_t i = 0; i < results_.size(); ++i) {
            auto* item = new QListWidgetItem(QString::fromStdString(results_[i].ListText()), list_);
            item->setData(kRowRole, static_cast<int>(i));
        }
        status_->setText(results_.empty() ? QString::fromUtf8("見つかりません")
                                          : QString::fromUtf8("%1件").arg(results_.size()));
    }
    // The best line is the current one: Enter takes it.
    if (list_->count() > 0) list_->setCurrentRow(0);
    list_->setUpdatesEnabled(true);
    UpdateButtons();
}

void CObjectSearchDialog::UpdateButtons() {
    const QListWidgetItem* item = list_->currentItem();
    const bool result = item && item->data(kRowRole).toInt() >= 0;
    show_->setEnabled(item != nullptr);
    goto_->setEnabled(result && telescopeOn_);
}

void CObjectSearchDialog::Choose(bool sendTelescope) {
    const QListWidgetItem* item = list_->currentItem();
    if (!item) return;
    const int row = item->data(kRowRole).toInt();
    if (row < 0) {
        // A past search: searched again, the dialog stays.
        const int i = -1 - row;
        if (i < history_.size()) query_->setText(history_[i]);
        query_->setFocus();
        return;
    }
    if (sendTelescope && !telescopeOn_) return;
    if (static_cast<std::size_t>(row) >= results_.size()) return;
    const SearchResult result = results_[static_cast<std::size_t>(row)];
    AddToHistory(store_, query_->text());
    history_ = LoadHistory(store_);
    accept();
    emit chosen(result, sendTelescope);
}

void CObjectSearchDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Typing goes to the text box at once.
    activateWindow();
    query_->setFocus();
}

bool CObjectSearchDialog::eventFilter(QObject* watched, QEvent* event) {
    // Up and Down (and the page keys) move in the list while typing goes on.
    if (watched == query_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown: {
            if (list_->count() == 0) return true;
            const int page = std::max(1, list_->height() / std::max(1, list_->sizeHintForRow(0)) - 1);
            const int step = key->key() == Qt::Key_Up ? -1 : key->key() == Qt::Key_Down ? 1
                             : key->key() == Qt::Key_PageUp ? -page : page;
            list_->setCurrentRow(std::clamp(list_->currentRow() + step, 0, list_->count() - 1));
            return true;
        }
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tavik
