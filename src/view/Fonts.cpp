#include "view/Fonts.h"

#include <algorithm>

namespace tavik {

QString ViewFontFamily() { return QStringLiteral("IPAPGothic"); }

QFont ViewFont(int tenths) {
    QFont font(ViewFontFamily());
    font.setPointSizeF(std::max(tenths, kMinimumFontTenths) / 10.0);
    // Fall back to any font that has the glyphs rather than to boxes.
    font.setStyleHint(QFont::SansSerif);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

}  // namespace tavik
