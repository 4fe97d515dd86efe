#include "app/dialogs/FileBrowser.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

#include "app/dialogs/Prompts.h"

namespace tavik {

namespace {

const QString kWayUpText = QStringLiteral("  上のﾌｫﾙﾀﾞへ");
const QString kFolderText = QStringLiteral("ﾌｫﾙﾀﾞ");
const QString kForbidden = QStringLiteral("\"*?\\#()[]$&%~/");

int KindRank(BrowserEntry::Kind k) {
    switch (k) {
    case BrowserEntry::WayUp: return 0;
    case BrowserEntry::Folder: return 1;
    case BrowserEntry::File: return 2;
    }
    return 2;
}

// Double taps on the list confirm; they are kept from the list itself, which
// would otherwise take the second tap on a freshly filled list as a new press.
class DoubleTapFilter : public QObject {
public:
    DoubleTapFilter(QObject* parent, std::function<void()> onDoubleTap)
        : QObject(parent), onDoubleTap_(std::move(onDoubleTap)) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::MouseButtonDblClick) return false;
        onDoubleTap_();
        return true;
    }

private:
    std::function<void()> onDoubleTap_;
};

}  // namespace

QString FileAgeText(const QDateTime& written, const QDateTime& now) {
    const qint64 seconds = written.secsTo(now);
    if (seconds >= 0 && seconds < 60) return QStringLiteral("%1秒前").arg(seconds);
    if (seconds >= 0 && seconds < 3600) return QStringLiteral("%1分前").arg(seconds / 60);
    if (seconds >= 0 && seconds < 12 * 3600) return QStringLiteral("%1時間前").arg(seconds / 3600);
    const QDate d = written.date();
    const QTime t = written.time();
    if (d == now.date()) return QString::asprintf("今日 %02d:%02d", t.hour(), t.minute());
    return QString::asprintf("%02d/%d/%d %02d:%02d", d.year(), d.month(), d.day(), t.hour(), t.minute());
}

bool HasForbiddenCharacter(const QString& name) {
    return std::any_of(name.begin(), name.end(), [](QChar c) { return kForbidden.contains(c); });
}

QString WithExtension(const QString& path, const QString& extension) {
    if (path.endsWith(extension, Qt::CaseInsensitive)) return path;
    return path + extension;
}

QString ParentFolder(const QString& folder) {
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
    if (slash < 1) return QString();
    return folder.left(slash);
}

QString BrowserEntry::Text() const { return kind == WayUp ? kWayUpText : QStringLiteral(" ") + name; }

std::vector<BrowserEntry> ListFolder(const QString& folder, const QString& extension, const QDateTime& now) {
    std::vector<BrowserEntry> entries;
    const QDir dir(folder.isEmpty() ? QStringLiteral("/") : folder);
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files)) {
        if (!f.fileName().endsWith(extension, Qt::CaseInsensitive)) continue;
        entries.push_back({f.fileName(), BrowserEntry::File, FileAgeText(f.lastModified(), now), f.lastModified()});
    }
    for (const QFileInfo& f : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
        entries.push_back({f.fileName(), BrowserEntry::Folder, kFolderText, f.lastModified()});
    if (!folder.isEmpty()) entries.push_back({QString(), BrowserEntry::WayUp, QString(), QDateTime()});
    SortEntries(entries, 0);
    return entries;
}

void SortEntries(std::vector<BrowserEntry>& entries, int column) {
    std::stable_sort(entries.begin(), entries.end(), [column](const BrowserEntry& a, const BrowserEntry& b) {
        const int ka = KindRank(a.kind), kb = KindRank(b.kind);
        if (ka != kb) return ka < kb;
        if (column == 1) return a.written > b.written;
        // QString's comparison orders by UTF-16 code units.
        return a.Text() < b.Text();
    });
}

FileBrowser::FileBrowser(Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {
    setWindowTitle(QStringLiteral("開く"));
    folderLine_ = new QLineEdit(this);
    folderLine_->setReadOnly(true);
    nameField_ = new QLineEdit(this);
    nameField_->setReadOnly(true);
    upButton_ = new QPushButton(QStringLiteral(".."), this);
    list_ = new QTreeWidget(this);
    list_->setColumnCount(2);
    list_->setHeaderLabels({QStringLiteral("ファイル名"), QStringLiteral("書込時刻/タイプ")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setIconSize(QSize(16, 16));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->header()->setSectionsClickable(true);
    list_->header()->setStretchLastSection(false);
    okButton_ = new QPushButton(QStringLiteral("開く"), this);
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameField_, 1);
    nameRow->addWidget(upButton_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folderLine_);
    layout->addLayout(nameRow);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(upButton_, &QPushButton::clicked, this, &FileBrowser::GoUp);
    connect(okButton_, &QPushButton::clicked, this, &FileBrowser::Confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_->header(), &QHeaderView::sectionClicked, this, &FileBrowser::SortByColumn);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        const auto selected = list_->selectedItems();
        if (!selected.isEmpty()) Tap(list_->indexOfTopLevelItem(selected.front()));
    });
    list_->viewport()->installEventFilter(new DoubleTapFilter(this, [this] {
        const auto selected = list_->selectedItems();
        if (!selected.isEmpty()) Tap(list_->indexOfTopLevelItem(selected.front()));
        Confirm();
    }));
}

void FileBrowser::SetFolder(const QString& folder) {
    folder_ = folder;
    while (folder_.endsWith(QLatin1Char('/'))) folder_.chop(1);
    if (filled_) Fill();
}

void FileBrowser::SetFileName(const QString& name) { nameField_->setText(name); }
void FileBrowser::SetExtension(const QString& extension) { extension_ = extension; }

void FileBrowser::SetOpenMode(bool open) {
    openMode_ = open;
    okButton_->setText(open ? QStringLiteral("開く") : QStringLiteral("書出"));
    nameField_->setReadOnly(open);
}

void FileBrowser::setVisible(bool visible) {
    if (visible && !filled_) {
        filled_ = true;
        Fill();
    }
    QDialog::setVisible(visible);
}

void FileBrowser::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Both columns fit their headings; the name column takes the rest.
    list_->resizeColumnToContents(1);
    const int second = std::max(list_->header()->sectionSizeHint(1), list_->columnWidth(1));
    list_->setColumnWidth(1, second);
    list_->setColumnWidth(0, std::max(list_->header()->sectionSizeHint(0), list_->viewport()->width() - second - 15));
}

void FileBrowser::Fill() {
    folderLine_->setText(folder_.isEmpty() ? QStringLiteral("/") : folder_);
    entries_ = ListFolder(folder_, extension_, QDateTime::currentDateTime());
    // A folder that has gone (or cannot be read) has nothing but the way up:
    // back to the root. An existing empty folder keeps its way up, so that a
    // capture can still be saved into it.
    const QFileInfo info(folder_);
    const bool gone = !folder_.isEmpty() && !(info.isDir() && info.isReadable() && info.isExecutable());
    if (entries_.empty() || gone) {
        const bool wasRoot = folder_.isEmpty();
        folder_.clear();
        if (!wasRoot) {
            prompts_.Info(QStringLiteral("ファイルが見つかりません。システムルートに戻ります。"));
            Fill();
            return;
        }
    }
    ShowEntries();
}

void FileBrowser::ShowEntries() {
    const QSignalBlocker block(list_);
    list_->clear();
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    for (const BrowserEntry& e : entries_) {
        auto* item = new QTreeWidgetItem(list_, {e.Text(), e.second});
        item->setIcon(0, e.kind == BrowserEntry::File ? fileIcon : folderIcon);
    }
}

void FileBrowser::Tap(int row) {
    nameField_->clear();
    if (row < 0 || row >= static_cast<int>(entries_.size())) return;
    const BrowserEntry entry = entries_[static_cast<std::size_t>(row)];
    switch (entry.kind) {
    case BrowserEntry::Folder:
        folder_ = folder_ + QLatin1Char('/') + entry.name;
        Fill();
        break;
    case BrowserEntry::WayUp:
        GoUp();
        break;
    case BrowserEntry::File:
        resultPath_ = folder_ + QLatin1Char('/') + entry.name;
        nameField_->setText(entry.name);
        break;
    }
}

void FileBrowser::DoubleTap(int row) {
    Tap(row);
    Confirm();
}

void FileBrowser::GoUp() {
    folder_ = ParentFolder(folder_);
    Fill();
}

void FileBrowser::SortByColumn(int column) {
    SortEntries(entries_, column);
    ShowEntries();
}

void FileBrowser::Confirm() {
    const QString name = nameField_->text();
    if (name.isEmpty()) return;
    if (HasForbiddenCharacter(name)) {
        prompts_.Error(QStringLiteral("不正な文字が\n含まれています"));
        return;
    }
    if (!openMode_) resultPath_ = folder_ + QLatin1Char('/') + name;
    if (resultPath_.isEmpty()) return;
    resultPath_ = WithExtension(resultPath_, extension_);
    if (!openMode_ && QFileInfo::exists(resultPath_) &&
        !prompts_.Ask(QStringLiteral("既に存在するファイルに\n上書きしますか？")))
        return;
    accept();
}

}  // namespace tavik
