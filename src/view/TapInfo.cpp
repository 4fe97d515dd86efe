#include "view/TapInfo.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "catalog/ConstellationTable.h"
#include "catalog/ShiftJis.h"
#include "settings/SettingsStore.h"
#include "view/Fonts.h"
#include "view/ViewState.h"

namespace tavik {

namespace {

bool FlagOn(const SettingsStore& s, const char* section, const char* entry, int def) {
    return s.GetProfileInt(section, entry, def) == 1;
}

std::string FieldText(const char* field, std::size_t size) {
    std::size_t n = 0;
    while (n < size && field[n] != '\0') ++n;
    return std::string(field, n);
}

}  // namespace

TapTextOptions TapTextOptions::Load(const SettingsStore& store, const ViewState& view, double moonAge) {
    TapTextOptions o;
    o.planisphere = view.viewMode == ViewMode::Planisphere;
    o.moonAge = moonAge;
    o.selectedFigure = FlagOn(store, "SEIZA", "PICT_SMART", 1);
    o.selectedName = FlagOn(store, "SEIZA", "NAME_SMART", 1);
    o.selectedLines = FlagOn(store, "SEIZA", "LINES", 1);
    o.namesOn = FlagOn(store, "SETTING", "SEIZA", 0);
    o.figuresOn = FlagOn(store, "SEIZA", "PICT", 0);
    o.linesOn = FlagOn(store, "SEIZA", "LINE", 0);
    return o;
}

std::string MagnitudeText(double mag) {
    char buf[48];
    std::snprintf(buf, sizeof buf, " %3.1f", mag + 0.05);
    return std::string(buf) + "等";
}

namespace {

std::string ArcminText(double arcmin) {
    char buf[32];
    std::snprintf(buf, sizeof buf, arcmin >= 9.95 ? "%.0f" : "%.1f", arcmin);
    std::string s(buf);
    if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
    return s + "′";
}

}  // namespace

std::string SizeText(const DeepSkySize& size) {
    const double major = size.majorArcmin, minor = size.minorArcmin;
    if (!std::isfinite(major) || major <= 0.0 || major > DeepSkySizes::kMaxArcmin) return {};
    const std::string a = ArcminText(major);
    if (!std::isfinite(minor) || minor <= 0.0 || minor >= major) return a;
    const std::string b = ArcminText(minor);
    return b == a ? a : a + "×" + b;
}

TapText ComposeTapText(const StarRecord& r, const TapTextOptions& o, const DeepSkySize* size) {
    TapText t;
    if (r.kind == kKindMinorBody) {
        if (r.name) t.first = SjisToUtf8(*r.name);
        return t;
    }
    if (r.IsSolarPlaceholder()) {
        std::string name = SjisToUtf8(FieldText(r.designation, sizeof r.designation));
        if (r.kind == SolarPlaceholderKind(kSolarMoon) && !o.planisphere) {
            char buf[32];
            // Days since the last new moon, at the moment on the chart.
            std::snprintf(buf, sizeof buf, ":月齢%.1f", o.moonAge);
            name += buf;
        }
        t.first = std::move(name);
    } else {
        const std::string_view constellation = ConstellationNameUtf8(r.constellation);
        bool writeFirst = true;
        if (o.selectedFigure || o.selectedName || o.selectedLines) {
            writeFirst = false;
            if (!constellation.empty()) {
                t.constellation = FieldText(r.constellation, sizeof r.constellation);
                t.drawFigure = !o.figuresOn && o.selectedFigure;
                t.drawLines = !o.linesOn && o.selectedLines;
                writeFirst = !o.namesOn && o.selectedName;
            }
        }
        if (writeFirst) {
            std::string line(constellation);
            line += SjisToUtf8(GreekLetterSjis(r));
            if (HasKnownMagnitude(r.kind, r.mag)) line += MagnitudeText(r.mag);  // many nebulae have none
            t.first = std::move(line);
        }
    }
    // The second line: type word, a deep-sky object's designation, the name.
    std::string second(KindWord(r.kind));
    if (r.kind != kKindStar && !r.IsSolarPlaceholder()) second += std::string(r.ShortDesignation());
    if (r.name) second += SjisToUtf8(*r.name);
    if (size && IsDeepSkyKind(r.kind)) {
        const std::string extent = SizeText(*size);
        if (!extent.empty()) second += " " + extent;
    }
    if (r.name || !second.empty()) t.second = std::move(second);
    return t;
}

TapTextPlacement PlaceTapText(int x, int y, int firstWidth, int secondWidth, int h, int w,
                              int clientHeight) {
    TapTextPlacement p;
    p.firstX = std::min(x, w - firstWidth);
    p.secondX = std::min(x, w - secondWidth);
    p.firstY = y + h > clientHeight ? y - h : y;
    p.secondY = p.firstY + 2 * h > clientHeight ? p.firstY - h : p.firstY + h;
    return p;
}

int TapFontTenths(const SettingsStore& store) {
    const int size = std::clamp(store.GetProfileInt("FONT", "SIZE", kDefaultFontTenths), 30, 1000);
    return FlagOn(store, "TAPFONT", "ENLARGE", 0) ? size * 13 / 10 : size;
}

void DrawTapText(QImage& image, const TapText& text, int x, int y, int fontTenths, const QColor& color) {
    const QFont font = ViewFont(fontTenths);
    const QFontMetrics fm(font, &image);
    const QString first = text.first ? QString::fromStdString(*text.first) : QString();
    const QString second = text.second ? QString::fromStdString(*text.second) : QString();
    const TapTextPlacement at = PlaceTapText(x, y, fm.horizontalAdvance(first), fm.horizontalAdvance(second),
                                             fm.height(), image.width(), image.height());
    QPainter p(&image);
    p.setFont(font);
    p.setPen(color);
    p.setBackgroundMode(Qt::TransparentMode);
    if (text.first) p.drawText(at.firstX, at.firstY + fm.ascent(), first);
    if (text.second) p.drawText(at.secondX, at.secondY + fm.ascent(), second);
}

}  // namespace tavik
