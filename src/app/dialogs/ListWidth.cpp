#include "app/dialogs/ListWidth.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>

#include <algorithm>

namespace tavik {

void FitListToLines(QListWidget& list, const QStringList& lines) {
    const QFontMetrics fm(list.font());
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, fm.horizontalAdvance(line));
    // The item's own margins, the frame on both sides and the vertical scroll bar.
    const int margins = 4 * list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 8;
    const int scrollBar = list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list);
    int width = widest + margins + 2 * list.frameWidth() + scrollBar;
    const QScreen* screen = list.screen() ? list.screen() : QGuiApplication::primaryScreen();
    if (screen) width = std::min(width, screen->availableGeometry().width() * 9 / 10);
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list.setMinimumWidth(width);
}

}  // namespace tavik
