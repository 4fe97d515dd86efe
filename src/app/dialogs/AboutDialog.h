#pragma once
// The about box (dialog 100, "Tavik のバージョン情報"): program name, version
// and build date, the data paths, the acknowledgements of the bundled data,
// the memory-card check box, "データ位置初期化" and "閉じる".

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QListWidget;

namespace tavik {

class SettingsStore;

// The acknowledgement lines of the list box.
QStringList AcknowledgementLines();

// The build date as the box shows it, "2026年12月10日", from the compiler's
// "Dec 10 2026"; empty when the text is not such a date.
QString BuildDateText(const char* compilerDate);

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(SettingsStore& store, QWidget* parent = nullptr);

    // The three path lines: catalogue, figure file, line file.
    QStringList PathTexts() const;
    QCheckBox* CardBox() const { return card_; }
    QListWidget* Acknowledgements() const { return list_; }

    // "データ位置初期化": forgets the three stored paths.
    void ResetDataLocation();
    // "閉じる": writes MEMORY/CARD (2 when checked, 0 when not) and closes.
    void Close();

private:
    void ShowPaths();

    SettingsStore& store_;
    QLabel* paths_[3];
    QListWidget* list_;
    QCheckBox* card_;
};

}  // namespace tavik
