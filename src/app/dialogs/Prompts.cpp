#include "app/dialogs/Prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace tavik {

void QtPrompts::Error(const QString& text) {
    QMessageBox::critical(parent_, QStringLiteral("Tavik"), text);
}

void QtPrompts::Info(const QString& text) {
    QMessageBox::information(parent_, QStringLiteral("Tavik"), text);
}

bool QtPrompts::Ask(const QString& text) {
    return QMessageBox::question(parent_, QStringLiteral("Tavik"), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtPrompts::AskDefaultNo(const QString& text) {
    return QMessageBox::question(parent_, QStringLiteral("Tavik"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString QtPrompts::ChooseFile(const QString& title, const QString& filter, const QString& start) {
    return QFileDialog::getOpenFileName(parent_, title, start, filter);
}

}  // namespace tavik
