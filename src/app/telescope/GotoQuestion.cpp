#include "app/telescope/GotoQuestion.h"

#include <QString>

#include <ctime>

#include "app/dialogs/Prompts.h"
#include "astro/DateTime.h"
#include "settings/ObservationSite.h"
#include "settings/SettingsSchema.h"
#include "telescope/GotoTarget.h"

namespace tavik {

bool ConfirmGotoAltitude(const GotoTarget& target, const SettingsStore& store, Prompts& prompts) {
    const ObservationSite site = ReadCurrentSite(store);
    // The site's time now, as the mount is told it.
    const DateTime now = SiteTimeAt(std::time(nullptr), site.zoneOffsetHours);
    if (!BelowAltitudeLimit(target, now, site, ReadSettingInt(store, "TS", "ALT_LIMIT"))) return true;
    return prompts.Ask(QString::fromUtf8(kBelowLimitQuestion));
}

}  // namespace tavik
