#include "app/shell/Icons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

#include <map>

namespace tavik {

namespace {

// Tile colours by command family, so that a toolbar reads at a glance.
QColor TileColor(int id) {
    if ((id >= 32796 && id <= 32800) || (id >= 32846 && id <= 32848) || id == 32805) {
        return QColor(40, 90, 160);  // directions and heights
    }
    if (id == 32776 || id == 32777 || id == 32778 || id == 32875 || id == 32876 ||
        (id >= 32929 && id <= 32932)) {
        return QColor(30, 120, 70);  // time
    }
    if (id == 32857 || id == 32858 || id == 32807 || id == 32791 || id == 32823) {
        return QColor(150, 30, 30);  // colours
    }
    if ((id >= 32868 && id <= 32873) || (id >= 32887 && id <= 32892)) {
        return QColor(110, 70, 20);  // telescope
    }
    if (id == 32830 || id == 32878 || id == 32910 || id == 32916) {
        return QColor(70, 70, 70);  // toolbars and menus
    }
    return QColor(60, 60, 110);
}

}  // namespace

QString CommandGlyph(int id) {
    static const std::map<int, const char*> glyphs = {
        {32774, "地"}, {32775, "設"}, {32776, "日"}, {32777, "今"}, {32778, "自"},
        {32779, "極"}, {32780, "昼"}, {32789, "名"}, {32790, "大"}, {32791, "カ"},
        {32796, "東"}, {32797, "天"}, {32798, "南"}, {32799, "西"}, {32800, "北"},
        {32801, "早"}, {32805, "全"}, {32806, "軸"}, {32807, "白"}, {32808, "地"},
        {32810, "惑"}, {32811, "赤"}, {32812, "M"}, {32813, "明"}, {32814, "青"},
        {32821, "選"}, {32822, "絵"}, {32823, "色"}, {32826, "今"}, {32830, "≡"},
        {32835, "絵"}, {32836, "名"}, {32838, "複"}, {32839, "回"}, {32840, "線"},
        {32841, "線"}, {32842, "固"}, {32846, "高"}, {32847, "中"}, {32848, "低"},
        {32851, "登"}, {32856, "登"}, {32857, "赤"}, {32858, "黒"}, {32860, "拡"},
        {32862, "ナ"}, {32863, "黄"}, {32868, "望"}, {32871, "望"}, {32873, "望"}, {32874, "軌"},
        {32875, "▶"}, {32876, "刻"}, {32878, "▲"}, {32879, "←"}, {32880, "→"},
        {32881, "↑"}, {32882, "↓"}, {32883, "＋"}, {32884, "－"}, {32887, "◀"},
        {32888, "速"}, {32889, "遅"}, {32890, "▶"}, {32891, "▲"}, {32892, "▼"},
        {32908, "定"}, {32910, "»"}, {32911, "小"}, {32912, "大"}, {32913, "Ａ"},
        {32914, "ａ"}, {32916, "«"}, {32917, "番"}, {32918, "星"}, {32919, "暗"},
        {32920, "明"}, {32921, "画"}, {32922, "＋"}, {32923, "月"}, {32924, "日"},
        {32925, "惑"}, {32926, "字"}, {32928, "平"}, {32929, "時"}, {32930, "時"},
        {32931, "分"}, {32932, "分"}, {32934, "方"}, {32936, "ス"}, {32941, "害"},
        {32942, "害"}, {32944, "検"}, {32966, "探"}, {32982, "彗"}, {32983, "小"}, {32961, "川"},
        {32980, "視"}, {32981, "合"}, {57664, "?"}, {57665, "終"},
    };
    auto it = glyphs.find(id);
    return it == glyphs.end() ? QStringLiteral("・") : QString::fromUtf8(it->second);
}

QIcon GlyphIcon(const QString& glyph, int id) {
    QIcon icon;
    for (int scale : {1, 2, 3}) {
        QPixmap pm(16 * scale, 16 * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(TileColor(id));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        QFont font(QStringLiteral("IPAPGothic"));
        font.setPixelSize(glyph.size() > 1 ? 9 : 13);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, glyph);
        // Back and forward marks for the hour and ten-minute buttons.
        if (id == 32930 || id == 32932) {
            p.drawLine(QPointF(1.5, 14.5), QPointF(5.5, 14.5));
        } else if (id == 32929 || id == 32931) {
            p.drawLine(QPointF(10.5, 14.5), QPointF(14.5, 14.5));
            p.drawLine(QPointF(12.5, 12.5), QPointF(12.5, 16));
        }
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon CommandIcon(int id) { return GlyphIcon(CommandGlyph(id), id); }

}  // namespace tavik
