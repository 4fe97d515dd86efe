#pragma once
// The add-in list dialog "アドイン表示" (command 32850): the switch
// "アドインを表示する", the list of add-in files ADIN/f1 .. fCOUNT, "追加" and
// "削除". "追加" stores the chosen path at once as f(COUNT + 1); OK rewrites
// the whole list and ADIN/ENABLE.
//
// The view's handler:
//   CAddInDialog dialog(store_, BrowserFileChooser(prompts_, this), this);
//   if (dialog.exec() == QDialog::Accepted) RefreshView();

#include <QDialog>
#include <QStringList>

#include "app/dialogs/TapMarkDialog.h"

class QCheckBox;
class QListWidget;
class QPushButton;

namespace tavik {

class SettingsStore;

// Deletes ADIN/f1 .. fCOUNT, writes the non-empty `paths` back as f1, f2, ...
// in order with COUNT their number, and ADIN/ENABLE.
void WriteAddInList(SettingsStore& store, const QStringList& paths, bool enable);

class CAddInDialog : public QDialog {
    Q_OBJECT
public:
    CAddInDialog(SettingsStore& store, FileChooser chooseFile, QWidget* parent = nullptr);

    void Add();     // "追加"
    void Remove();  // "削除": the selected entry
    void accept() override;

    QCheckBox* EnableBox() const { return enable_; }
    QListWidget* List() const { return list_; }
    QStringList Paths() const;

private:
    void EnableChanged();

    SettingsStore& store_;
    FileChooser chooseFile_;
    QCheckBox* enable_;
    QListWidget* list_;
    QPushButton* add_;
    QPushButton* remove_;
};

}  // namespace tavik
