#pragma once
// Lists that show their lines whole: the list asks for the width of its
// widest line, as far as the screen allows (beyond that it scrolls sideways).

#include <QStringList>

class QListWidget;

namespace tavik {

// Sets the list's minimum width so that each of `lines` fits on one line
// beside the vertical scroll bar, at most nine tenths of the screen's width.
void FitListToLines(QListWidget& list, const QStringList& lines);

}  // namespace tavik
