#include "app/dialogs/NumberField.h"

#include <QLineEdit>

#include <climits>

#include "app/dialogs/Prompts.h"
#include "settings/SettingsSchema.h"
#include "view/TimeControl.h"

namespace tavik {

QLineEdit* NumberEdit(int control, int value, QWidget* parent) {
    auto* e = new QLineEdit(QString::number(value), parent);
    e->setObjectName(QString::number(control));
    e->setMaxLength(11);
    e->setAlignment(Qt::AlignRight);
    return e;
}

std::optional<int> TakeNumber(QLineEdit* edit, int low, int high, Prompts& prompts) {
    bool ok = false;
    const int v = edit->text().trimmed().toInt(&ok);
    if (ok && v >= low && v <= high) return v;
    prompts.Info(QString::fromStdString(RangeMessage(low, high)));
    edit->setFocus();
    edit->selectAll();
    return std::nullopt;
}

std::optional<int> TakeSettingNumber(QLineEdit* edit, std::string_view section,
                                     std::string_view entry, Prompts& prompts) {
    const SettingDef* d = FindSetting(section, entry);
    const bool bounded = d && d->bound.action != OutOfRange::Keep;
    return TakeNumber(edit, bounded ? d->bound.min : INT_MIN, bounded ? d->bound.max : INT_MAX,
                      prompts);
}

}  // namespace tavik
