#include "app/TapMarkAction.h"

#include <QProcess>

#include "app/Prompts.h"
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
        if (text.empty() || !prompts.Ask(QString::fromUtf8("プログラムを実行しますか？"))) break;
        const QString program = QString::fromStdString(text);
        // The path is the program: no shell sees it, so nothing in it is interpreted.
        result.acted = actions.startProgram ? actions.startProgram(program)
                                            : QProcess::startDetached(program, QStringList());
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
