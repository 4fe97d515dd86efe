#include "app/dialogs/DescriptionEditor.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/Prompts.h"
#include "catalog/Description.h"

namespace tavik {

DescriptionEditor::DescriptionEditor(std::filesystem::path path, const QString& constellationName, Prompts& prompts,
                                     QWidget* parent)
    : QDialog(parent), path_(std::move(path)), prompts_(prompts) {
    setWindowTitle(constellationName + QStringLiteral("座の説明（編集）"));
    text_ = new QPlainTextEdit(this);
    unicode_ = new QCheckBox(QStringLiteral("ユニコード"), this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addWidget(unicode_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &DescriptionEditor::Save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const Description d = ReadDescription(path_);
    text_->setPlainText(QString::fromStdU16String(d.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    unicode_->setChecked(d.unicode);
}

void DescriptionEditor::Save() {
    // Lines end in CR LF in the file, as the device writes them.
    QString text = text_->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    switch (WriteDescription(path_, text.toStdU16String(), unicode_->isChecked()).status) {
    case DescriptionWrite::Written:
    case DescriptionWrite::Unchanged:
        accept();
        return;
    case DescriptionWrite::Unconvertible:
        prompts_.Error(QStringLiteral("シフトJISで書けない文字があります。\n「ユニコード」をチェックして保存してください。"));
        return;
    case DescriptionWrite::TooLong:
        prompts_.Error(QStringLiteral("説明が長すぎて保存できません。"));
        return;
    case DescriptionWrite::CannotWrite:
        prompts_.Error(QStringLiteral("説明ファイルに書き込めません。"));
        return;
    }
}

}  // namespace tavik
