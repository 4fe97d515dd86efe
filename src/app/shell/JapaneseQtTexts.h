#pragma once
// Qt's own texts in Japanese, like every other text of the program: the
// standard buttons ("キャンセル"), message boxes and Qt's file dialog.

class QCoreApplication;
class QTranslator;

namespace tavik {

// Loads Qt's Japanese catalogue (qtbase_ja.qm from Qt's translations folder)
// into `app` and makes Japanese the default locale, whatever the machine's
// locale. Texts the program gives its widgets itself are never translated.
// Returns the translator, owned by `app` (deleting it brings Qt's English
// texts back), or nullptr when the catalogue is missing, which is said on
// standard error.
QTranslator* InstallJapaneseQtTexts(QCoreApplication& app);

}  // namespace tavik
