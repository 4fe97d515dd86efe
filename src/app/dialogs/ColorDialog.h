#pragma once
// The colour dialog (139, "色の指定"): the 32 user colour slots, a preview of
// the stored and the new colour, three scroll bars of 17 steps, "更新" and
// "全て初期". The dialog edits a copy of the table; the caller applies the
// result (OK saves, Cancel reloads, "全て初期" restores the factory colours).

#include <QDialog>

#include "view/Color.h"

class QComboBox;
class QLabel;
class QScrollBar;

namespace tavik {

class SettingsStore;

class CColorDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kResetAll = 7;

    CColorDialog(SettingsStore& store, QWidget* parent = nullptr);

    // Byte value of a scroll bar position and back.
    static int ByteOfPosition(int position) { return ColorScrollToByte(position); }
    static int PositionOfByte(int byte) { return ColorByteToScroll(byte); }

    const ColorTable& Table() const { return table_; }
    void SelectSlot(int slot);
    void StoreCurrent();  // "更新"

private:
    void UpdatePreview();

    SettingsStore& store_;
    ColorTable table_;
    QComboBox* slots_;
    QLabel* preview_;
    QScrollBar* bars_[3];
};

}  // namespace tavik
