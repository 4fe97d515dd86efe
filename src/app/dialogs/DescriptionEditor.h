#pragma once
// The description editor ("編集"): the text of a constellation's description
// file in a multi-line field, the encoding to write ("ユニコード"), "OK" and
// "キャンセル". Its title is the constellation's name + "座の説明（編集）".
//
// Command 32960, 1000 ms after the command:
//   DescriptionEditor editor(DescriptionPath(dataDir, abbreviation, ".p91"),
//                            QString::fromUtf8(ConstellationNameUtf8(abbreviation)), prompts, view);
//   editor.exec();
// The editor reads the file when built (no file: empty, Shift-JIS) and writes
// it on OK. An empty text leaves the file as it was. A text that cannot be
// stored as chosen (characters Shift-JIS lacks, or too long for the file) is
// not written: the user is told why and the editor stays open.

#include <QDialog>
#include <QString>

#include <filesystem>

class QCheckBox;
class QPlainTextEdit;

namespace tavik {

class Prompts;

class DescriptionEditor : public QDialog {
    Q_OBJECT
public:
    DescriptionEditor(std::filesystem::path path, const QString& constellationName, Prompts& prompts,
                      QWidget* parent = nullptr);

    QPlainTextEdit* TextField() const { return text_; }
    QCheckBox* UnicodeBox() const { return unicode_; }

    // OK: writes the file (see above); closes unless the text was refused.
    void Save();

private:
    std::filesystem::path path_;
    Prompts& prompts_;
    QPlainTextEdit* text_;
    QCheckBox* unicode_;
};

}  // namespace tavik
