#include "app/view/TapMarkAction.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "app/dialogs/Prompts.h"
#include "catalog/StarRecord.h"
#include "view/TapMarks.h"

namespace tavik {

TapActionResult RunTapMarkAction(const StarRecord& mark, Prompts& prompts, const TapMarkActions& actions) {
    TapActionResult result;
    if (!mark.IsTapMark()) return result;
    const std::string text = TapMarkText(mark);
    switch (mark.kind) {
    case kTapPicture:
        if (actions.showPicture && !text.empty()) {
            actions.showPicture(text);
            result.acted = true;
        }
        break;
    case kTapProgram: {
        if (text.empty()) break;
        result.asked = true;
        if (!prompts.Ask(QString::fromUtf8("プログラムを実行しますか？"))) break;
        const QString path = QString::fromStdString(text);
        const QFileInfo info(path);
        const bool isProgram = info.isFile() ? info.isExecutable()
                                             : !path.contains(u'/') && !QStandardPaths::findExecutable(path).isEmpty();
        if (!isProgram && !info.isFile()) {
            prompts.Error(QString::fromUtf8("ファイルがありません: ") + path);
            break;
        }
        if (isProgram) {
            // The path is the program: no shell sees it, so nothing in it is interpreted.
            result.acted = actions.startProgram ? actions.startProgram(path)
                                                : QProcess::startDetached(path, QStringList());
        } else {
            result.acted = actions.openDocument ? actions.openDocument(path)
                                                : QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
        }
        if (!result.acted) prompts.Error(QString::fromUtf8("開けませんでした: ") + path);
        break;
    }
    case kTapAddIn:
        if (actions.showAddIn && !text.empty()) {
            actions.showAddIn(text);
            result.acted = true;
        }
        break;
    case kTapText:
        result.text = QString::fromStdString(text);
        result.acted = true;
        break;
    default:
        break;
    }
    return result;
}

}  // namespace tavik
