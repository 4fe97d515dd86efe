#include "telescope/Mount.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "astro/Precession.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "telescope/IndiMount.h"
#include "telescope/TelescopeController.h"

namespace tavik {

namespace {

constexpr double kDegPerRad = 180.0 / std::numbers::pi;

template <class... Args>
std::string Format(const char* fmt, Args... args) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

// Splits a non-negative value into whole units, sixtieths and rounded
// three-thousand-six-hundredths, carrying a rounded 60 upwards.
struct Sexagesimal { int whole, minutes, seconds; };
Sexagesimal Split(double value) {
    int whole = static_cast<int>(value);
    const double m = (value - whole) * 60.0;
    int minutes = static_cast<int>(m);
    int seconds = static_cast<int>((m - minutes) * 60.0 + 0.5);
    if (seconds > 59) {
        seconds -= 60;
        minutes += 1;
    }
    if (minutes > 59) {
        minutes -= 60;
        whole += 1;
    }
    return {whole, minutes, seconds};
}

// "HH:MM:SS" of a right ascension in [0, 2pi), "sDD*MM*SS" of a declination.
std::string HoursText(double ra) {
    const Sexagesimal h = Split(ra * kDegPerRad / 15.0);
    return Format("%02d:%02d:%02d", h.whole, h.minutes, h.seconds);
}
std::string DegreesText(double dec) {
    double d = dec * kDegPerRad;
    const char* sign = "+";
    if (d < 0) {
        sign = "-";
        d = -d;
    }
    const Sexagesimal a = Split(d);
    return Format("%s%02d*%02d*%02d", sign, a.whole, a.minutes, a.seconds);
}

}  // namespace

MountLink ConfiguredLink(const SettingsStore& store) {
    return ReadSettingInt(store, "TS", "LINK") == 1 ? MountLink::Indi : MountLink::Serial;
}

std::unique_ptr<Mount> MakeMount(const SettingsStore& store, TelescopeUi& ui,
                                 TelescopeClock& clock) {
    if (ConfiguredLink(store) == MountLink::Indi)
        return std::make_unique<IndiMount>(store, ui, clock);
    return std::make_unique<TelescopeController>(store, ui, clock);
}

Mount::Mount(const SettingsStore& store, TelescopeUi& ui, TelescopeClock& clock)
    : store_(store), ui_(ui), clock_(clock) {
    Mount::LoadSettings();
}

void Mount::LoadSettings() {
    telescopeType = ReadSettingInt(store_, "TS", "TYPE");
    comPort = ReadSettingInt(store_, "TS", "COMPORT");
    traceEnabled = ReadSettingInt(store_, "TS", "TRACE");
    traceInterval = ReadSettingInt(store_, "TS", "TRACE_TIME");
    coordinatesOfDate = ReadSettingBool(store_, "TS", "JNOW");
}

void Mount::SaveSettings(SettingsStore& store) const {
    WriteSettingInt(store, "TS", "TYPE", telescopeType);
    WriteSettingInt(store, "TS", "COMPORT", comPort);
    WriteSettingInt(store, "TS", "TRACE", traceEnabled);
    WriteSettingInt(store, "TS", "TRACE_TIME", traceInterval);
}

double Mount::EquinoxCenturies() const {
    return CenturiesForLocalTime(clock_.LocalNow(), ReadCurrentSite(store_).zoneOffsetHours);
}

bool Mount::SetTarget(double ra, double dec, TargetFrame frame, std::string name) {
    if (!std::isfinite(ra) || !std::isfinite(dec) || std::fabs(dec) > std::numbers::pi / 2)
        return false;
    targetName_ = std::move(name);
    if (frame == TargetFrame::J2000 && coordinatesOfDate) {
        const Spherical d = J2000ToDate(ra, dec, EquinoxCenturies());
        ra = d.lon;
        dec = d.lat;
    }
    // Right ascension in [0, 2pi): a negative angle would print a negative hour.
    ra = std::fmod(ra, 2.0 * std::numbers::pi);
    if (ra < 0) ra += 2.0 * std::numbers::pi;
    targetRa_ = ra;
    targetDec_ = dec;
    raText_ = HoursText(ra);
    decText_ = DegreesText(dec);
    return true;
}

std::string Mount::CoordinatesText(double ra, double dec) {
    ra = std::fmod(ra, 2.0 * std::numbers::pi);
    if (ra < 0) ra += 2.0 * std::numbers::pi;
    return "赤経 " + HoursText(ra) + " 赤緯 " + DegreesText(dec) + " ";
}

std::string Mount::TargetText() const {
    return "赤経 " + raText_ + " 赤緯 " + decText_ + " ";
}

std::string Mount::HistoryLine(const DateTime& local, const std::string& name,
                               const std::string& targetText, const char* kind) {
    return Format("%s %d/%d/%d %d:%d ", kind, local.Year(), local.Month(), local.Day(), local.Hour(),
                  local.Minute()) +
           name + " " + targetText;
}

void Mount::LogGoto(const char* kind) {
    if (gotoLog_) gotoLog_(HistoryLine(clock_.LocalNow(), targetName_, TargetText(), kind));
}

void Mount::ClearMountPosition() {
    telescopeRa_ = telescopeDec_ = mountRa_ = mountDec_ = 0.0;
}

void Mount::SetMountPosition(double raDeg, double decDeg) {
    mountRa_ = raDeg;
    mountDec_ = decDeg;
    telescopeRa_ = raDeg;
    telescopeDec_ = decDeg;
    if (coordinatesOfDate) {
        const Spherical j = DateToJ2000(raDeg / kDegPerRad, decDeg / kDegPerRad, EquinoxCenturies());
        telescopeRa_ = j.lon * kDegPerRad;
        telescopeDec_ = j.lat * kDegPerRad;
    }
}

bool Mount::SendSiteAndTime() { return SendSiteAndTime(ReadCurrentSite(store_)); }

void Mount::StopTrace() {
    traceRemaining_ = 0;
    while (reading_) ui_.PumpMessages();
}

int Mount::TracePeriodMs() const {
    return traceInterval == 0 ? 500 : traceInterval == 1 ? 1000 : 3000;
}

bool Mount::TraceStep(double& ra, double& dec) {
    state_ &= 1;
    if (state_ == 1 || busy_) {
        traceRemaining_ = 0;
        return false;
    }
    if (traceRemaining_ <= 0) {
        traceRemaining_ = 0;
        Disconnect();
        return false;
    }
    reading_ = true;
    std::string text;
    ReadPosition(text, false);
    reading_ = false;
    if (state_ != kDone) {
        traceRemaining_ = 0;
        Disconnect();
        return false;
    }
    ra = telescopeRa_ / kDegPerRad;
    dec = telescopeDec_ / kDegPerRad;
    traceRemaining_ -= TracePeriodMs();
    if (traceRemaining_ < 0) {
        traceRemaining_ = 0;
        Disconnect();
    }
    return true;
}

}  // namespace tavik
