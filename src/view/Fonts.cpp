#include "view/Fonts.h"

#include <algorithm>
#include <cmath>

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

int ChartFontTenths(int tenths, int chartSize, double pixelRatio) {
    constexpr double kDeviceChart = 240.0;
    constexpr double kMostScale = 2.5;
    const double ratio = std::isfinite(pixelRatio) ? std::clamp(pixelRatio, 1.0, 4.0) : 1.0;
    const double scale = std::clamp(std::sqrt(std::max(chartSize, 1) / ratio / kDeviceChart), 1.0, kMostScale);
    return static_cast<int>(std::lround(tenths * scale * ratio));
}

}  // namespace tavik
