#pragma once
// The program's own file chooser (dialog 135, "開く"): one folder of the file
// system with its sub-folders, the files of one extension and a way up, walked
// by tapping; it returns a full path. Open mode picks an existing file; save
// mode ("書出") also takes a typed name and asks before overwriting.
//
// Folders are absolute paths with "/" and without a trailing "/"; the root "/"
// is the empty folder, so every path is folder + "/" + name.
//
// Use:
//   FileBrowser browser(prompts, parent);
//   browser.SetFolder(documentsFolder);  browser.SetFileName(proposedName);
//   browser.SetExtension(".jpg");        browser.SetOpenMode(false);
//   if (browser.exec() == QDialog::Accepted) path = browser.ResultPath();

#include <QDateTime>
#include <QDialog>
#include <QString>

#include <vector>

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tavik {

class Prompts;

// --- the rules, without a window ------------------------------------------------

// The second column of a file: "%d秒前", "%d分前", "%d時間前" for writes less
// than a minute, an hour, half a day old; older ones "今日 %02d:%02d" when
// written on `now`'s calendar day, else "%02d/%d/%d %02d:%02d" (year, month,
// day, hour, minute). A write time after `now` is shown as a date.
QString FileAgeText(const QDateTime& written, const QDateTime& now);

// True when a name holds '"' or one of *?\#()[]$&%~ — or "/", the folder
// separator here, so that a typed name never leaves the folder shown.
bool HasForbiddenCharacter(const QString& name);

// `path` with `extension` appended unless it already ends with it (compared
// case-insensitively): "a.JPG" stays, "a" becomes "a.jpg".
QString WithExtension(const QString& path, const QString& extension);

// The folder above `folder`: the part before its last "/", or the root ("")
// when there is none after the first character.
QString ParentFolder(const QString& folder);

// One list entry.
struct BrowserEntry {
    enum Kind { File = 0, Folder = 1, WayUp = 2 };
    QString name;  // without the leading space; empty for the way up
    Kind kind = File;
    QString second;  // the age text, "ﾌｫﾙﾀﾞ", or empty
    QDateTime written;
    QString Text() const;  // " " + name, or "  上のﾌｫﾙﾀﾞへ"
};

// The entries of `folder` in list order: the way up (not in the root), the
// sub-folders, then the files ending in `extension` (case-insensitively),
// each group in name order. Hidden (dot) entries are left out.
std::vector<BrowserEntry> ListFolder(const QString& folder, const QString& extension, const QDateTime& now);

// Orders entries by a column heading: 0 by kind (way up, folders, files) and
// then by the text's 16-bit code units; 1 by kind and then newest write first.
void SortEntries(std::vector<BrowserEntry>& entries, int column);

// --- the dialog -------------------------------------------------------------------

class FileBrowser : public QDialog {
    Q_OBJECT
public:
    explicit FileBrowser(Prompts& prompts, QWidget* parent = nullptr);

    void SetFolder(const QString& folder);  // "/" or a trailing "/" is normalised
    void SetFileName(const QString& name);
    void SetExtension(const QString& extension);  // default ".txt"
    void SetOpenMode(bool open);                  // default true
    QString Folder() const { return folder_; }
    QString ResultPath() const { return resultPath_; }

    // What the list shows, top first.
    const std::vector<BrowserEntry>& Entries() const { return entries_; }
    QTreeWidget* List() const { return list_; }
    QLineEdit* NameField() const { return nameField_; }

    // Filling happens when the dialog is first shown. A folder that does not
    // exist or cannot be read sends the user to the root with "ファイルが見つかり
    // ません。システムルートに戻ります。"; an existing empty folder shows its way up.

    // A tap on row `row` (selection change), a double tap, the ".." button,
    // a heading, and OK.
    void Tap(int row);
    void DoubleTap(int row);
    void GoUp();
    void SortByColumn(int column);
    void Confirm();

protected:
    // The list is filled before the window first shows, so that a message it
    // gives (a folder that has gone) comes first, never from inside the show.
    void setVisible(bool visible) override;
    void showEvent(QShowEvent* event) override;

private:
    void Fill();
    void ShowEntries();

    Prompts& prompts_;
    QString folder_;
    QString extension_ = QStringLiteral(".txt");
    QString resultPath_;
    bool openMode_ = true;
    bool filled_ = false;
    std::vector<BrowserEntry> entries_;
    QLineEdit* folderLine_;
    QLineEdit* nameField_;
    QPushButton* upButton_;
    QTreeWidget* list_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

}  // namespace tavik
