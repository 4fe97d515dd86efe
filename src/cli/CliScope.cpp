// tavik-cli scope: talk to a mount from a shell, through the same operations
// the application uses: an LX200 mount on a serial line or TCP, or any mount an
// INDI server drives.
//
//   tavik-cli scope [--device PATH] position
//   tavik-cli scope [--device PATH] goto --ra HH:MM:SS --dec ±DD:MM:SS
//   tavik-cli scope [--device PATH] goto --object TEXT [--date D --time T] [--data DIR]
//   tavik-cli scope [--device PATH] sync --ra HH:MM:SS --dec ±DD:MM:SS | --object TEXT …
//   tavik-cli scope [--device PATH] site [--lon D:M --lat D:M]
//   tavik-cli scope [--device PATH] nudge n|s|e|w
//   tavik-cli scope [--device PATH] rate 2|3|4
//   tavik-cli scope [--device PATH] stop
//   tavik-cli scope --indi HOST[:PORT] [--name DEVICE] position|goto …|site|nudge …|rate …|stop
//
// PATH is a serial device or tcp://HOST:PORT (a mount behind a WiFi adapter).
// --indi reaches an INDI server (port 7624 unless given) and drives DEVICE
// there (without --name: TS/INDI_DEVICE, else the first telescope offered).
// Without --device or --indi the link configured in the settings is used
// (TS/LINK: the port TS/COMPORT with its TS/DEVICEn path, or the INDI server
// TS/INDI_HOST, INDI_PORT and device TS/INDI_DEVICE). The status line goes to standard output, the
// protocol's message-box texts to standard error. Exit status 0 on success,
// 1 when the mount or the port fails, 2 for usage errors (an unknown object
// included).
//
// goto takes J2000 coordinates (--ra/--dec) or an object: the first result
// of the name search as `find` gives it (a designation "M42", a name
// "シリウス" or "Betelgeuse", a number "HIP 11767", a tap mark's text), the
// Sun, the Moon or a planet ("木星") computed for --date/--time (default now)
// at the settings' current site. It is sent as the window sends it: with TS/JNOW on (the default),
// J2000 coordinates are precessed to the present equinox; the Sun, the Moon and
// the planets are of date already. `position` prints J2000 coordinates under
// the same setting. A goto target below the altitude limit (TS/ALT_LIMIT) at
// the moment of the goto is refused (exit 1) unless --force is given. sync
// takes the same target and tells the mount that it points there (the object
// centred in the eyepiece): nothing moves, the mount's position becomes the
// target, and no altitude limit applies. The catalogue is DIR/tavik.dat with
// --data, else the one the window opens (TAVIK/TAVIK_DATA), else the bundled
// one; one that does not read whole is an error (exit 1).

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliDataLocation.h"
#include "cli/CliSite.h"
#include "catalog/CatalogLocation.h"
#include "catalog/StarCatalog.h"
#include "settings/ObservationSite.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "telescope/GotoTarget.h"
#include "telescope/IndiMount.h"
#include "telescope/TelescopeController.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage =
    "usage: tavik-cli scope [--device PATH|tcp://HOST:PORT | --indi HOST[:PORT] [--name DEVICE]] "
    "position | "
    "goto [--force] --ra HH:MM:SS --dec +DD:MM:SS | goto [--force] --object TEXT "
    "[--date YYYY-MM-DD --time HH:MM:SS] [--data DIR] | sync (as goto, without --force) | "
    "site [--lon D:M --lat D:M] | nudge n|s|e|w | rate 2|3|4 | stop";

// Message boxes become lines on standard error.
class CliScopeUi final : public TelescopeUi {
public:
    void Error(const std::string& text) override { Print(text); }
    void Info(const std::string& text) override { Print(text); }
    bool Ask(const std::string& text) override {
        Print(text);
        return true;
    }
    void PumpMessages() override {}

private:
    static void Print(const std::string& text) {
        std::fprintf(stderr, "tavik-cli scope: %s\n", text.c_str());
    }
};

void Status(const std::string& text) { std::printf("%s\n", text.c_str()); }

// "+DD:MM:SS", "-DD:MM" and the like, as degrees; the sign applies to the whole.
double ParseDeclination(const std::string& text) {
    std::string body = text;
    double sign = 1.0;
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
        sign = body[0] == '-' ? -1.0 : 1.0;
        body.erase(0, 1);
    }
    std::vector<int> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = body.find(':', start);
        const std::string part = body.substr(start, colon == std::string::npos ? std::string::npos
                                                                               : colon - start);
        if (part.empty() || part[0] == '-' || part[0] == '+')
            throw CliError("bad declination '" + text + "' (want +DD:MM:SS)");
        parts.push_back(ParseInt(part, "declination"));
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    if (parts.size() < 2 || parts.size() > 3 || parts[0] > 90 || parts[1] > 59 ||
        (parts.size() == 3 && parts[2] > 59))
        throw CliError("bad declination '" + text + "' (want +DD:MM:SS)");
    const double deg = parts[0] + parts[1] / 60.0 + (parts.size() == 3 ? parts[2] / 3600.0 : 0.0);
    if (deg > 90.0) throw CliError("declination beyond 90 degrees: '" + text + "'");
    return sign * deg;
}

// The catalogue the object is looked up in (see the top of the file).
std::filesystem::path CatalogFor(const CliArgs& args, const SettingsStore& store) {
    if (auto dir = args.Value("data")) return std::filesystem::path(*dir) / kCatalogFileName;
    return WindowCatalogPath(store);
}

int RunScope(const std::vector<std::string>& argv) {
    CliArgs args(argv, {"device", "indi", "name", "ra", "dec", "lon", "lat", "object", "date",
                        "time", "data"},
                 {"force"});
    const auto& pos = args.Positional();
    if (pos.empty()) throw CliError(kUsage);
    const std::string action = pos[0];
    auto noMoreArgs = [&](std::size_t n) {
        if (pos.size() != n) throw CliError(kUsage);
    };

    // Check the arguments before touching the port.
    if (auto d = args.Value("device"); d && d->empty())
        throw CliError("--device wants a device path or tcp://HOST:PORT, not an empty text");
    std::string indiHost;
    int indiPort = IndiMount::kDefaultPort;
    if (args.Value("indi") && args.Value("device")) throw CliError("--device and --indi exclude each other");
    if (args.Value("name") && !args.Value("indi")) throw CliError("--name goes with --indi");
    if (auto d = args.Value("indi"); d && !IndiMount::ParseServer(*d, &indiHost, &indiPort))
        throw CliError("--indi wants HOST or HOST:PORT (port 1..65535), not '" + *d + "'");
    if (auto n = args.Value("name"); n && n->empty()) throw CliError("--name wants a device name");
    std::optional<double> raDeg, decDeg;
    std::optional<std::string> object;
    std::optional<CliDegMin> lon, lat;
    char direction = 0;
    int rate = 0;
    if (action == "position" || action == "stop") {
        noMoreArgs(1);
    } else if ((action == "goto" || action == "sync") && args.Value("object")) {
        noMoreArgs(1);
        if (args.Value("ra") || args.Value("dec")) throw CliError(kUsage);
        object = *args.Value("object");
    } else if (action == "goto" || action == "sync") {
        noMoreArgs(1);
        if (!args.Value("ra") || !args.Value("dec")) throw CliError(kUsage);
        const CliTime t = ParseTime(*args.Value("ra"));
        raDeg = (t.hour + t.minute / 60.0 + t.second / 3600.0) * 15.0;
        decDeg = ParseDeclination(*args.Value("dec"));
    } else if (action == "site") {
        noMoreArgs(1);
        if (args.Value("lon")) lon = ParseDegMin(*args.Value("lon"));
        if (args.Value("lat")) lat = ParseDegMin(*args.Value("lat"));
        if (lon && (lon->degrees < -180 || lon->degrees > 180))
            throw CliError("longitude must be between -180 and 180 degrees");
        if (lat && (lat->degrees < -90 || lat->degrees > 90))
            throw CliError("latitude must be between -90 and 90 degrees");
    } else if (action == "nudge") {
        noMoreArgs(2);
        if (pos[1].size() != 1 || std::string("nsew").find(pos[1][0]) == std::string::npos)
            throw CliError("nudge wants one of n, s, e, w");
        direction = pos[1][0];
    } else if (action == "rate") {
        noMoreArgs(2);
        rate = ParseInt(pos[1], "rate");
        if (rate < 2 || rate > 4) throw CliError("rate wants 2 (slow), 3 (medium) or 4 (fast)");
    } else {
        throw CliError("unknown action '" + action + "'\n" + kUsage);
    }

    QtSettingsStore store;
    // Every time sent or computed is the site's, as the window tells it.
    const int zone = ReadCurrentSite(store).zoneOffsetHours;
    std::optional<GotoTarget> target;
    if (object) {
        const CliMoment m = ParseMomentOptions(args, zone);
        const DateTime local(m.date.year, m.date.month, m.date.day, m.time.hour, m.time.minute,
                             m.time.second);
        StarCatalog catalog;
        const std::filesystem::path path = CatalogFor(args, store);
        std::error_code ec;
        if (!std::filesystem::exists(path, ec))
            std::fprintf(stderr, "tavik-cli scope: no star catalogue at %s\n", path.string().c_str());
        else if (!LoadWholeCatalog(catalog, path, "scope"))
            return 1;
        else
            catalog.LoadTapMarks(path.parent_path() / kTapFileName);
        target = FindGotoTarget(catalog, *object, local, ReadCurrentSite(store));
        if (!target) throw CliError("no object '" + *object + "' in " + path.string());
    } else if (raDeg) {
        constexpr double kRad = std::numbers::pi / 180.0;
        target = GotoTarget{"", *raDeg * kRad, *decDeg * kRad, TargetFrame::J2000};
    }

    // As the window asks before a goto below the altitude limit, at the
    // moment of the goto: here only --force goes on. A sync moves nothing.
    if (action == "goto" && target && !args.Has("force")) {
        const ObservationSite site = ReadCurrentSite(store);
        const DateTime now = SiteTimeAt(std::time(nullptr), site.zoneOffsetHours);
        const int limit = ReadSettingInt(store, "TS", "ALT_LIMIT");
        if (BelowAltitudeLimit(*target, now, site, limit)) {
            std::fprintf(stderr, "tavik-cli scope: %s (altitude %.1f, limit %d; --force sends it)\n",
                         kBelowLimitQuestion, TargetAltitude(*target, now, site) * 180.0 / std::numbers::pi, limit);
            Status("地平線下です");
            return 1;
        }
    }

    CliScopeUi ui;
    SystemTelescopeClock clock([zone] { return zone; });
    std::unique_ptr<Mount> mount;
    if (args.Value("indi")) {
        auto indi = std::make_unique<IndiMount>(store, ui, clock);
        indi->SetServer(indiHost, indiPort);
        if (args.Value("name")) indi->SetDevice(*args.Value("name"));
        mount = std::move(indi);
    } else if (args.Value("device")) {
        auto serial = std::make_unique<TelescopeController>(store, ui, clock);
        serial->SetDevicePath(*args.Value("device"));
        mount = std::move(serial);
    } else {
        mount = MakeMount(store, ui, clock);
    }
    Mount& scope = *mount;
    if (!scope.Connect()) {
        std::fprintf(stderr, "tavik-cli scope: cannot open %s%s%s\n", scope.LinkName().c_str(),
                     scope.StatusText().empty() ? "" : ": ", scope.StatusText().c_str());
        Status("接続出来ません");
        return 1;
    }

    bool ok = false;
    if (action == "position") {
        std::string text;
        ok = scope.ReadPosition(text, true);
        if (ok) {
            std::printf("ra\t%s\n", FormatDouble(scope.TelescopeRa()).c_str());
            std::printf("dec\t%s\n", FormatDouble(scope.TelescopeDec()).c_str());
        }
        std::printf("text\t%s\n", text.c_str());
    } else if (action == "goto") {
        scope.SetTarget(target->ra, target->dec, target->frame, target->name);
        std::fprintf(stderr, "tavik-cli scope: %s%s\n",
                     target->name.empty() ? "" : (target->name + " ").c_str(),
                     scope.TargetText().c_str());
        ok = scope.Goto();
        Status(ok ? "導入コマンドを送りました" : scope.StatusText());
    } else if (action == "sync") {
        scope.SetTarget(target->ra, target->dec, target->frame, target->name);
        std::fprintf(stderr, "tavik-cli scope: %s%s\n",
                     target->name.empty() ? "" : (target->name + " ").c_str(),
                     scope.TargetText().c_str());
        ok = scope.Sync();
        Status(ok ? "同期コマンドを送りました" : scope.StatusText());
    } else if (action == "site") {
        ObservationSite site = ReadCurrentSite(store);
        if (lon) {
            site.longitudeDegrees = lon->degrees;
            site.longitudeMinutes = lon->minutes;
        }
        if (lat) {
            site.latitudeDegrees = lat->degrees;
            site.latitudeMinutes = lat->minutes;
        }
        ok = scope.SendSiteAndTime(site);
        Status(ok ? "設定しました" : "失敗しました " + scope.StatusText());
    } else if (action == "nudge") {
        ok = scope.Nudge(direction);
        const char* done = direction == 'n'   ? "上移動指示送信した"
                           : direction == 's' ? "下移動指示送信した"
                           : direction == 'e' ? "左移動指示送信した"
                                              : "右移動指示送信した";
        Status(ok ? done : "移動指示失敗");
    } else if (action == "rate") {
        ok = scope.SetSlewRate(rate);
        const std::string speed = rate == 4 ? "高速" : rate == 3 ? "中速" : "低速";
        Status(ok ? speed + "コマンド送信した" : speed + "コマンド失敗 " + scope.StatusText());
    } else if (action == "stop") {
        ok = scope.Stop();
        Status(ok ? "停止指示" : scope.StatusText());
    }
    scope.Disconnect();
    return ok ? 0 : 1;
}

}  // namespace

static const CliCommand kScope{"scope", "talk to a telescope mount, LX200 or INDI (see --help)",
                              kUsage, RunScope};

}  // namespace tavik::cli
