#pragma once
// The dialogs' number boxes: a right-aligned edit field named after its
// control, and the check on OK that takes its number or refuses it with the
// range message, focusing the field.

#include <optional>
#include <string_view>

class QLineEdit;
class QWidget;

namespace tavik {

class Prompts;

QLineEdit* NumberEdit(int control, int value, QWidget* parent);

// The field's number when it holds one within [low, high]; otherwise the
// range message is shown, the field focused and nothing returned. Text that is
// no number is out of range too.
std::optional<int> TakeNumber(QLineEdit* edit, int low, int high, Prompts& prompts);

// The same within the range the settings reader keeps the entry in, so that
// what a dialog accepts is what the next start uses.
std::optional<int> TakeSettingNumber(QLineEdit* edit, std::string_view section,
                                     std::string_view entry, Prompts& prompts);

}  // namespace tavik
