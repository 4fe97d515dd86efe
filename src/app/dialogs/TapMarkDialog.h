#pragma once
// The tap information dialog "ﾀｯﾌﾟ情報" and the two tap-mark commands built on
// it, "タップを登録" (32852) and "タップを変更、削除" (32854), with the import
// and export of exchange files.
//
// How the view uses it, for either command:
//   command:   stop real-time updating; noTurn_.emplace(settings_)  (TAP/NODIR on,
//              a std::optional<TapNoTurnHold>); start the 1000 ms timer.
//   timer:     TapMarkSession s{doc.Catalog(), store_, doc.DataDirectory(),
//                               prompts_, BrowserFileChooser(prompts_, this), this};
//              redraw = RegisterTapAt(s, UnprojectSky(view, tapPoint))      (32852)
//                    or ChangeTapAt(s, tappedRecord_ or nullptr)            (32854);
//              noTurn_.reset(); if (redraw) RefreshView();

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>

#include "view/Projection.h"
#include "view/TapMarks.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tavik {

class Clock;
class Prompts;
class SettingsStore;
class StarCatalog;

// --- choosing files -------------------------------------------------------------

// A file the user picks. `filter` is written the way the program's resources
// write it ("説明(*.a)|*.a;*.b|...||").
struct FileRequest {
    QString filter;
    bool open = true;       // an existing file; false: a name to write
    QString proposedName;   // save only
    QString folder;         // where to start; empty: the documents folder
};
// The chosen path, or empty when the user cancelled.
using FileChooser = std::function<QString(const FileRequest&)>;

// The same filter in Qt's form: "説明(*.a) (*.a *.b);;...".
QString QtFileFilter(const QString& filter);
// The program's file browser when the filter's first entry is one "*.ext"
// (".ext" listed) or "*" (every file); otherwise the platform's file dialog with
// the whole filter (the add-in filter lists ten extensions).
FileChooser BrowserFileChooser(Prompts& prompts, QWidget* parent);

inline constexpr char kExchangeFilter[] = "タップ情報交換ファイル(*.ptx)|*.ptx||";
inline constexpr char kExportProposedName[] = "Export.psx";
inline constexpr char kAddInFilter[] =
    "アドイン(*.p9x)|*.p99;*.p98;*.p97;*.p96;*.p95;*.p94;*.p93;*.p92;*.p91;*.p90|アドイン(*.p9?)|*.p9?||";
// The filter of "参照" for a mark kind (none for the text kind).
QString BrowseFilterForKind(int kind);

// --- the dialog -----------------------------------------------------------------

class CTapMarkDialog : public QDialog {
    Q_OBJECT
public:
    // How the dialog ended (QDialog::result()).
    enum Result { Cancelled = 0, Register = 1, Delete = 2, Import = 3, Export = 4 };

    // `existing`: a mark is being changed ("削除" enabled).
    CTapMarkDialog(const TapMarkFields& fields, bool existing, Prompts& prompts, FileChooser chooseFile,
                   QWidget* parent = nullptr);
    // The clock "日時挿入" reads: the site's time, as the status line shows it
    // (this computer's own clock until set).
    void SetClock(const Clock* clock) { clock_ = clock; }

    TapMarkFields Fields() const;

    // The buttons' work.
    void Browse();        // "参照"
    void InsertDate();    // "日時挿入"
    void InsertPhrase();  // "文言挿入"
    void AskImport();     // "インポート"
    void AskExport();     // "エクスポート"

    static const QStringList& Phrases();

    QComboBox* KindCombo() const { return kind_; }
    QLineEdit* LabelEdit() const { return label_; }
    QLineEdit* TextEdit() const { return text_; }
    QComboBox* PhraseCombo() const { return phrases_; }
    QPushButton* Button(const QString& text) const;

private:
    void KindChanged();
    void Append(const QString& more);

    Prompts& prompts_;
    FileChooser chooseFile_;
    const Clock* clock_ = nullptr;
    QComboBox* kind_;
    QLineEdit* label_;
    QLineEdit* text_;
    QComboBox* phrases_;
    QPushButton* browse_;
    QPushButton* date_;
    QPushButton* phrase_;
};

// --- the commands -----------------------------------------------------------------

struct TapMarkSession {
    StarCatalog& catalog;
    SettingsStore& store;
    std::string dataDirectory;  // with a trailing '/'
    Prompts& prompts;
    FileChooser chooseFile;
    QWidget* parent = nullptr;
    // Shows the dialog and returns its result: exec() unless set (tests drive
    // the dialog through it).
    std::function<int(CTapMarkDialog&)> runDialog;
    const Clock* clock = nullptr;  // the site's clock, for "日時挿入"
};

// "タップを登録": the dialog for a new mark (kind 0, empty text, the label
// "T%05d" of TAPREG/CNT); "登録" makes the mark at `position` and saves the
// tap file; "インポート" and "エクスポート" exchange files. True when the sky
// must be redrawn.
bool RegisterTapAt(TapMarkSession& session, const SkyPosition& position);

// "タップを変更、削除": `found` is what the tap search found at the point
// (null for nothing). Anything that is not a mark of the list brings
// "対象ﾀｯﾌﾟ情報がありません". Otherwise the dialog with the mark's fields;
// "登録" replaces them, "削除" removes the mark, each saving the tap file.
bool ChangeTapAt(TapMarkSession& session, const StarRecord* found);

}  // namespace tavik
