#pragma once
// The text font of the sky view. The device font "MS Pゴシック" is stood in for
// by IPA P Gothic (family "IPAPGothic"), which carries the Japanese glyphs of
// every label; the size is given in tenths of a point (FONT/SIZE).

#include <QFont>
#include <QString>

namespace tavik {

inline constexpr int kDefaultFontTenths = 75;  // FONT/SIZE default
inline constexpr int kMinimumFontTenths = 30;

// The family the view's font name resolves to.
QString ViewFontFamily();

// The view font at `tenths` tenths of a point (values below 30 are raised to 30).
QFont ViewFont(int tenths);

// The size in tenths for a chart of `chartSize` device pixels at
// `pixelRatio` device pixels per window pixel: FONT/SIZE as it is up to the
// pocket device's 240-pixel chart, growing with the square root of a larger
// chart's size in window pixels (at most two and a half times), so that the
// texts stay readable on a large window without crowding it; then times the
// pixel ratio (1 to 4), as the chart is drawn in device pixels.
int ChartFontTenths(int tenths, int chartSize, double pixelRatio = 1.0);

}  // namespace tavik
