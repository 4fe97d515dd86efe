#include "app/dialogs/TapMarkDialog.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

#include "app/dialogs/FileBrowser.h"
#include "app/dialogs/Prompts.h"
#include "view/TimeControl.h"
#include "catalog/StarCatalog.h"

namespace tavik {

namespace {

constexpr int kLabelCharacters = 9;
constexpr int kTextCharacters = 59;
constexpr int kTextWarnCharacters = 30;

QString U(const char* s) { return QString::fromUtf8(s); }

// The filter's entries as (description, patterns).
QList<QPair<QString, QStringList>> FilterEntries(const QString& filter) {
    QList<QPair<QString, QStringList>> entries;
    const QStringList parts = filter.split('|');
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        entries.append({parts[i], parts[i + 1].split(';', Qt::SkipEmptyParts)});
    }
    return entries;
}

QString DocumentsFolder() { return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); }

}  // namespace

QString QtFileFilter(const QString& filter) {
    QStringList out;
    for (const auto& [description, patterns] : FilterEntries(filter))
        out << description + " (" + patterns.join(' ') + ")";
    return out.join(";;");
}

FileChooser BrowserFileChooser(Prompts& prompts, QWidget* parent) {
    return [&prompts, parent](const FileRequest& request) -> QString {
        const auto entries = FilterEntries(request.filter);
        const QStringList patterns = entries.isEmpty() ? QStringList{"*"} : entries.first().second;
        const bool single = patterns.size() == 1 &&
                            (patterns[0] == "*" || (patterns[0].startsWith("*.") && !patterns[0].contains('?')));
        if (!single && request.open) return prompts.ChooseFile(U("開く"), QtFileFilter(request.filter));
        FileBrowser browser(prompts, parent);
        browser.SetFolder(request.folder.isEmpty() ? DocumentsFolder() : request.folder);
        browser.SetExtension(patterns[0] == "*" ? QString() : patterns[0].mid(1));
        browser.SetOpenMode(request.open);
        if (!request.open) browser.SetFileName(request.proposedName);
        if (browser.exec() != QDialog::Accepted) return {};
        return browser.ResultPath();
    };
}

QString BrowseFilterForKind(int kind) {
    switch (kind) {
    case kTapPicture: return U("JPEG(*.jpg)|*.jpg||");
    case kTapProgram: return U("プログラム(*)|*||");
    case kTapAddIn: return U(kAddInFilter);
    default: return {};
    }
}

// ---------------------------------------------------------------------------

const QStringList& CTapMarkDialog::Phrases() {
    static const QStringList phrases = [] {
        QStringList l;
        for (const char* p : {"綺麗", "とっても", "それなり", "ダメだ", "望遠鏡が", "やっぱり", "それでも", "最高",
                              "貧弱", "暗い", "シーイングが", "良い", "悪い", "正しい", "青", "赤", "黄色", "緑",
                              "写真", "ﾃﾞｼﾞｶﾒ", "倍率", "高倍率", "低倍率", "視野", "、", "。", "観望", "月が",
                              "邪魔", "精度", "無い", "有る", "二重星", "！", "？", "次回", "前回", "F;", "X:",
                              "低い"})
            l << U(p);
        return l;
    }();
    return phrases;
}

CTapMarkDialog::CTapMarkDialog(const TapMarkFields& fields, bool existing, Prompts& prompts,
                               FileChooser chooseFile, QWidget* parent)
    : QDialog(parent), prompts_(prompts), chooseFile_(std::move(chooseFile)) {
    setWindowTitle(U("ﾀｯﾌﾟ情報"));
    auto* grid = new QGridLayout(this);

    kind_ = new QComboBox(this);
    kind_->addItems({U("JPEG表示"), U("プログラム実行"), U("アドイン表示"), U("テキスト表示")});
    kind_->setCurrentIndex(std::clamp(fields.kind, 0, 3));
    label_ = new QLineEdit(QString::fromStdString(fields.label), this);
    label_->setMaxLength(kLabelCharacters);
    grid->addWidget(kind_, 0, 0, 1, 2);
    grid->addWidget(label_, 0, 2);

    text_ = new QLineEdit(this);
    text_->setMaxLength(kTextCharacters);
    text_->setText(QString::fromStdString(fields.text));
    browse_ = new QPushButton(U("参照"), this);
    grid->addWidget(text_, 1, 0, 1, 2);
    grid->addWidget(browse_, 1, 2);
    grid->addWidget(new QLabel(U("30文字まで"), this), 2, 0);

    date_ = new QPushButton(U("日時挿入"), this);
    phrases_ = new QComboBox(this);
    phrases_->addItems(Phrases());
    phrase_ = new QPushButton(U("文言挿入"), this);
    grid->addWidget(date_, 3, 0);
    grid->addWidget(phrases_, 3, 1);
    grid->addWidget(phrase_, 3, 2);

    auto* ok = new QPushButton(U("登録"), this);
    auto* del = new QPushButton(U("削除"), this);
    auto* cancel = new QPushButton(U("ｷｬﾝｾﾙ"), this);
    auto* import = new QPushButton(U("インポート"), this);
    auto* exportButton = new QPushButton(U("エクスポート"), this);
    ok->setDefault(true);
    del->setEnabled(existing);
    auto* row1 = new QHBoxLayout;
    row1->addWidget(ok);
    row1->addWidget(del);
    row1->addWidget(cancel);
    auto* row2 = new QHBoxLayout;
    row2->addWidget(import);
    row2->addWidget(exportButton);
    grid->addLayout(row1, 4, 0, 1, 3);
    grid->addLayout(row2, 5, 0, 1, 3);

    connect(kind_, &QComboBox::currentIndexChanged, this, [this] { KindChanged(); });
    connect(browse_, &QPushButton::clicked, this, [this] { Browse(); });
    connect(date_, &QPushButton::clicked, this, [this] { InsertDate(); });
    connect(phrase_, &QPushButton::clicked, this, [this] { InsertPhrase(); });
    connect(ok, &QPushButton::clicked, this, [this] { done(Register); });
    connect(del, &QPushButton::clicked, this, [this] { done(Delete); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(Cancelled); });
    connect(import, &QPushButton::clicked, this, [this] { AskImport(); });
    connect(exportButton, &QPushButton::clicked, this, [this] { AskExport(); });
    KindChanged();
}

TapMarkFields CTapMarkDialog::Fields() const {
    TapMarkFields f;
    f.kind = kind_->currentIndex();
    f.label = label_->text().toStdString();
    f.text = text_->text().toStdString();
    return f;
}

QPushButton* CTapMarkDialog::Button(const QString& text) const {
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

void CTapMarkDialog::KindChanged() {
    const bool text = kind_->currentIndex() == kTapText;
    browse_->setEnabled(!text);
    date_->setEnabled(text);
    phrases_->setEnabled(text);
    phrase_->setEnabled(text);
}

void CTapMarkDialog::Browse() {
    const QString filter = BrowseFilterForKind(kind_->currentIndex());
    if (filter.isEmpty() || !chooseFile_) return;
    FileRequest request;
    request.filter = filter;
    const QFileInfo current(text_->text());
    if (!text_->text().isEmpty() && current.absoluteDir().exists()) request.folder = current.absolutePath();
    const QString path = chooseFile_(request);
    if (!path.isEmpty()) text_->setText(path);
}

void CTapMarkDialog::Append(const QString& more) {
    if (kind_->currentIndex() != kTapText) return;
    text_->setText(text_->text() + more);
    if (text_->text().size() > kTextWarnCharacters) prompts_.Info(U("文字の長さが30文字を超えました"));
}

void CTapMarkDialog::InsertDate() {
    const QDateTime local = QDateTime::currentDateTime();
    const DateTime now = clock_ ? clock_->Now()
                                : DateTime(local.date().year(), local.date().month(), local.date().day(),
                                           local.time().hour(), local.time().minute(), local.time().second());
    Append(QString::asprintf("* %d/%d/%d %d:%d", now.Year(), now.Month(), now.Day(), now.Hour(), now.Minute()));
}

void CTapMarkDialog::InsertPhrase() { Append(phrases_->currentText()); }

void CTapMarkDialog::AskImport() {
    if (prompts_.Ask(U("交換用タップ情報ファイルから取り込みますか"))) done(Import);
}

void CTapMarkDialog::AskExport() {
    if (prompts_.Ask(U("交換用タップ情報ファイルに書き出しますか"))) done(Export);
}

// ---------------------------------------------------------------------------

namespace {

int Run(TapMarkSession& s, CTapMarkDialog& dialog) { return s.runDialog ? s.runDialog(dialog) : dialog.exec(); }

bool Import(TapMarkSession& s) {
    const bool clearFirst = s.prompts.AskDefaultNo(U("読み込む前に現在データを削除しますか？"));
    FileRequest request;
    request.filter = U(kExchangeFilter);
    const QString path = s.chooseFile ? s.chooseFile(request) : QString();
    // Nothing chosen: the list stays as it was, whatever the answer.
    if (path.isEmpty()) return false;
    const TapImportResult r = ImportTapMarks(s.catalog, path.toStdString(), clearFirst, s.dataDirectory);
    if (!r.opened) {
        s.prompts.Error(U("読み込めませんでした: ") + path);
        return false;
    }
    QStringList problems;
    if (r.refused > 0)
        problems << U("タップ情報ではないデータ %1 件は取り込みませんでした").arg(r.refused);
    if (!r.error.empty()) problems << U("ファイルが途中で終わっています");
    if (!problems.isEmpty()) s.prompts.Info(problems.join('\n'));
    return true;
}

void Export(TapMarkSession& s) {
    FileRequest request;
    request.filter = U(kExchangeFilter);
    request.open = false;
    request.proposedName = U(kExportProposedName);
    const QString path = s.chooseFile ? s.chooseFile(request) : QString();
    if (path.isEmpty()) return;
    if (!ExportTapMarks(s.catalog, path.toStdString())) s.prompts.Error(U("保存できませんでした: ") + path);
}

// Import and export end either dialog; true when the sky changed.
bool Exchange(TapMarkSession& s, int result) {
    if (result == CTapMarkDialog::Import) return Import(s);
    if (result == CTapMarkDialog::Export) Export(s);
    return false;
}

}  // namespace

bool RegisterTapAt(TapMarkSession& s, const SkyPosition& position) {
    TapMarkFields fields;
    fields.label = NewTapLabel(CurrentTapNumber(s.store));
    CTapMarkDialog dialog(fields, false, s.prompts, s.chooseFile, s.parent);
    dialog.SetClock(s.clock);
    const int result = Run(s, dialog);
    if (result == CTapMarkDialog::Register) {
        RegisterTapMark(s.catalog, s.store, s.dataDirectory, position, dialog.Fields());
        return true;
    }
    return Exchange(s, result);
}

bool ChangeTapAt(TapMarkSession& s, const StarRecord* found) {
    const std::optional<std::size_t> index = found ? FindTapMark(s.catalog, *found) : std::nullopt;
    if (!index) {
        s.prompts.Error(U("対象ﾀｯﾌﾟ情報がありません"));
        return false;
    }
    CTapMarkDialog dialog(FieldsOfTapMark(s.catalog.TapMark(*index)), true, s.prompts, s.chooseFile, s.parent);
    dialog.SetClock(s.clock);
    const int result = Run(s, dialog);
    if (result == CTapMarkDialog::Register) {
        ChangeTapMark(s.catalog, *index, dialog.Fields(), s.dataDirectory);
        return true;
    }
    if (result == CTapMarkDialog::Delete) {
        DeleteTapMark(s.catalog, *index, s.dataDirectory);
        return true;
    }
    return Exchange(s, result);
}

}  // namespace tavik
