#include "app/SkyPass.h"

#include <QPainter>

#include <cmath>

#include "astro/TimeScales.h"
#include "catalog/StarCatalog.h"
#include "settings/SettingsStore.h"
#include "view/Color.h"
#include "view/Fonts.h"
#include "view/Projection.h"
#include "view/SkyRenderer.h"
#include "view/ViewState.h"

namespace tavik {

namespace {

const char* ModeName(ViewMode mode) {
    switch (mode) {
    case ViewMode::Planisphere: return "星座早見盤";
    case ViewMode::PolarAlignment: return "極軸調整";
    case ViewMode::Heliocentric: return "惑星位置";
    case ViewMode::Zenith: return "天頂画面";
    case ViewMode::Magnified: return "拡大表示";
    case ViewMode::Direction: break;
    }
    return "方角画面";
}

const char* FacingName(int facing) {
    static const char* names[] = {"西", "北", "東", "南"};
    return names[((facing % 4) + 4) % 4];
}

}  // namespace

QStringList StatusLines(const SkyFrame& f) {
    QStringList lines;
    const DateTime& t = f.localTime;
    lines << QString::fromUtf8("%1年%2月%3日 %4時%5分")
                 .arg(t.Year()).arg(t.Month()).arg(t.Day()).arg(t.Hour())
                 .arg(t.Minute(), 2, 10, QLatin1Char('0'));
    const ObservationSite& s = f.site;
    lines << QString::fromStdString(s.name) +
                 QString::fromUtf8(" %1%2°%3′ %4%5°%6′")
                     .arg(QString::fromUtf8(s.longitudeDegrees < 0 || s.longitudeMinutes < 0 ? "西経" : "東経"))
                     .arg(std::abs(s.longitudeDegrees)).arg(std::abs(s.longitudeMinutes))
                     .arg(QString::fromUtf8(s.latitudeDegrees < 0 || s.latitudeMinutes < 0 ? "南緯" : "北緯"))
                     .arg(std::abs(s.latitudeDegrees)).arg(std::abs(s.latitudeMinutes));
    if (f.view) {
        QString v = QString::fromUtf8(ModeName(f.view->viewMode));
        if (f.view->viewMode != ViewMode::Heliocentric) {
            v += QString::fromUtf8(" %1向き").arg(QString::fromUtf8(FacingName(f.view->facing)));
        }
        lines << v;
    }
    return lines;
}

void RenderSimpleSky(QImage& image, const SkyFrame& f) {
    ColorTable colors;
    ColorModes modes;
    if (f.settings) {
        colors.Load(*f.settings);
        modes = ColorModes::Load(*f.settings);
    }
    image.fill(ToQColor(MapSkyColor(colors[slot::kBackground], modes)));
    QPainter p(&image);
    if (!f.view) return;
    const ViewState& v = *f.view;
    const int w = image.width();
    const int r = v.chartSize;

    // The sky: the horizon disc in the round views, the chart square otherwise.
    p.setPen(Qt::NoPen);
    p.setBrush(ToQColor(MapSkyColor(colors[slot::kSky2], modes)));
    if (v.viewMode == ViewMode::Planisphere) {
        p.drawEllipse(QPoint(w / 2, v.chartHalf), v.chartHalf, v.chartHalf);
    } else {
        p.drawRect(v.chartOffsetX, 0, r, r);
    }

    if (f.catalog && f.catalog->Loaded() && v.viewMode != ViewMode::Heliocentric) {
        ViewState pass = v;  // the per-pass values are filled on a copy
        pass.localSiderealTime = LocalSiderealTime(f.localTime, f.site.zoneOffsetHours,
                                                   f.site.longitudeDegrees, f.site.longitudeMinutes);
        pass.latitude = LatitudeRadians(f.site.latitudeDegrees, f.site.latitudeMinutes);
        const double sinLat = std::sin(pass.latitude);
        const double cosLat = std::cos(pass.latitude);
        const QColor star = ToQColor(MapColor(kWhite, modes));
        p.setRenderHint(QPainter::Antialiasing);
        for (const StarRecord& s : f.catalog->Records()) {
            if (s.kind != kKindStar) continue;
            const ProjectedPoint pt = ProjectStar(pass, s, sinLat, cosLat);
            if (!pt.visible || pt.y > r) continue;
            const double size = std::max(0.6, (5.0 - s.mag) * 0.7);
            p.setBrush(star);
            p.drawEllipse(QPointF(pt.x, pt.y), size, size);
        }
        p.setRenderHint(QPainter::Antialiasing, false);
    }

    p.end();
    DrawStatusAndNotice(image, f);
}

void DrawStatusAndNotice(QImage& image, const SkyFrame& f) {
    if (!f.view) return;
    ColorModes modes;
    if (f.settings) modes = ColorModes::Load(*f.settings);
    const QColor text = ToQColor(TextColor(modes));
    const int w = image.width();
    const int r = f.view->chartSize;
    QPainter p(&image);
    QFont font = ViewFont(f.settings ? f.settings->GetProfileInt("FONT", "SIZE", kDefaultFontTenths) : kDefaultFontTenths);
    p.setFont(font);
    p.setPen(text);
    const int lineHeight = QFontMetrics(font).height();
    int y = r + 2;
    for (const QString& line : StatusLines(f)) {
        p.drawText(QRect(4, y, w - 8, lineHeight), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += lineHeight;
    }
    p.end();
    DrawNotice(image, f);
}

void DrawNotice(QImage& image, const SkyFrame& f) {
    if (f.notice.isEmpty() || !f.view) return;
    ColorModes modes;
    if (f.settings) modes = ColorModes::Load(*f.settings);
    QPainter p(&image);
    const QFont font = ViewFont(f.settings ? f.settings->GetProfileInt("FONT", "SIZE", kDefaultFontTenths)
                                           : kDefaultFontTenths);
    p.setFont(font);
    p.setPen(ToQColor(TextColor(modes)));
    const int lineHeight = QFontMetrics(font).height();
    const int y = std::min(f.view->chartSize + 2, image.height() - lineHeight - 2);
    p.drawText(QRect(4, y, image.width() - 8, lineHeight), Qt::AlignLeft | Qt::AlignVCenter, f.notice);
}

void RenderSkyPass(SkyRenderer& renderer, QImage& image, const SkyFrame& f) {
    ColorTable colors;
    if (f.settings) colors.Load(*f.settings);
    RenderScene scene;
    scene.view = f.view;
    scene.settings = f.settings;
    scene.colors = &colors;
    scene.catalog = f.catalog;
    scene.localTime = f.localTime;
    scene.site = f.site;
    scene.dataDirectory = f.dataDirectory;
    scene.overwrite = f.overwrite;
    renderer.RenderSky(image, scene);
    // The pass draws the site and time texts itself; only the notice is added,
    // just below the chart where it does not cover them.
    DrawNotice(image, f);
}

}  // namespace tavik
