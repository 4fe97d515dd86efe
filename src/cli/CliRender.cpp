// tavik-cli render: one frame of the sky view, drawn exactly as the view draws
// it, written to a PNG or JPEG file.
//
//   tavik-cli render --out FILE.png|FILE.jpg [--mode planisphere|polar|helio|zenith|direction|magnified]
//       [--facing N|E|S|W] [--turn DEG] [--band whole|high|middle|low] [--size WxH]
//       [--date YYYY-MM-DD --time HH:MM:SS] [--lon D:M --lat D:M --zone H]
//       [--set SECTION/ENTRY=VALUE]... [--data DIR] [--hits FILE]
//       [--panel HEADING,ALTITUDE,ZOOM]
//
// --panel (with --mode magnified) sets the magnifier panel: heading in degrees
// from the south (0 south, 90 west, 180 north, 270 east), altitude 0..89 (as
// the panel's box), zoom in tenths 30..900.
//
// --hits writes the pass's hit list, one line per entry:
//   index<TAB>x<TAB>y<TAB>kind<TAB>designation<TAB>constellation<TAB>mag<TAB>name
// every text column UTF-8 (designation and constellation decoded from
// Shift-JIS, as the name is), control characters and the backslash as \xNN.
//
// The settings start from a fresh in-memory store (the user's own settings are
// never read or written) plus the --set overrides: an entry the program does not
// know, or a value it does not take as it is (not a number for a number entry,
// not 0 or 1 for a switch, outside the entry's range) is a usage error.
// Defaults: planisphere, 240x240, now, the default site, the bundled sky data.
// Missing data files leave the chart without what they would have drawn (a
// warning names them); a catalogue that does not read whole is an error (exit
// 1, nothing written).

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <charconv>
#include <climits>
#include <cstdio>
#include <string_view>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "astro/DateTime.h"
#include "catalog/CatalogLocation.h"
#include "catalog/ShiftJis.h"
#include "catalog/StarCatalog.h"
#include "image/Jpeg.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliDataLocation.h"
#include "cli/CliEscape.h"
#include "cli/CliFrame.h"
#include "cli/CliJpeg.h"
#include "cli/CliSite.h"
#include "settings/ObservationSite.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "view/Color.h"
#include "view/HitList.h"
#include "view/MagnifierPanelModel.h"
#include "view/SkyRenderer.h"
#include "view/ViewCommands.h"
#include "view/ViewState.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage =
    "usage: tavik-cli render --out FILE.png|FILE.jpg [--mode planisphere|polar|helio|zenith|direction|magnified]\n"
    "       [--facing N|E|S|W] [--turn DEG] [--band whole|high|middle|low] [--size WxH]\n"
    "       [--date YYYY-MM-DD --time HH:MM:SS] [--lon D:M --lat D:M --zone H]\n"
    "       [--set SECTION/ENTRY=VALUE]... [--data DIR] [--hits FILE] [--panel HEADING,ALTITUDE,ZOOM]";

// QGuiApplication needs a platform; without a display the offscreen one draws
// into memory just the same.
// Qt's note about a missing runtime folder says nothing about the picture;
// everything else goes to stderr as usual.
void FilterMessages(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR"))) return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

std::unique_ptr<QGuiApplication> MakeApplication() {
    if (QCoreApplication::instance()) return nullptr;
    qInstallMessageHandler(FilterMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tavik-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

ViewMode ParseMode(const std::string& s) {
    if (s == "planisphere") return ViewMode::Planisphere;
    if (s == "polar") return ViewMode::PolarAlignment;
    if (s == "helio") return ViewMode::Heliocentric;
    if (s == "zenith") return ViewMode::Zenith;
    if (s == "direction") return ViewMode::Direction;
    if (s == "magnified") return ViewMode::Magnified;
    throw CliError("unknown --mode '" + s + "' (planisphere, polar, helio, zenith, direction, magnified)");
}

int ParseFacing(const std::string& s) {
    if (s == "N" || s == "n") return Facing::North;
    if (s == "E" || s == "e") return Facing::East;
    if (s == "S" || s == "s") return Facing::South;
    if (s == "W" || s == "w") return Facing::West;
    throw CliError("unknown --facing '" + s + "' (N, E, S, W)");
}

HeightBand ParseBand(const std::string& s) {
    if (s == "whole") return HeightBand::Whole;
    if (s == "high") return HeightBand::High;
    if (s == "middle") return HeightBand::Middle;
    if (s == "low") return HeightBand::Low;
    throw CliError("unknown --band '" + s + "' (whole, high, middle, low)");
}

void ParseSize(const std::string& s, int& w, int& h) {
    const auto x = s.find_first_of("xX");
    if (x == std::string::npos) throw CliError("--size must be WxH, got '" + s + "'");
    w = ParseInt(s.substr(0, x), "--size width");
    h = ParseInt(s.substr(x + 1), "--size height");
    if (w < 1 || h < 1 || w > 8192 || h > 8192)
        throw CliError("--size must be between 1x1 and 8192x8192, got '" + s + "'");
}

// A whole number as the settings file holds one: decimal, or hexadecimal after
// "0x" (colours), with an optional sign, within 32 bits.
bool ParseSettingNumber(const std::string& s, int& out) {
    std::string_view digits = s;
    const bool negative = !digits.empty() && digits[0] == '-';
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.remove_prefix(1);
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    // from_chars takes a minus sign of its own: only digits may follow the prefix.
    if (digits.empty() || digits[0] == '-' || digits[0] == '+') return false;
    long long v = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
    if (ec != std::errc() || end != digits.data() + digits.size()) return false;
    if (negative) v = -v;
    if (v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

// SECTION/ENTRY=VALUE into the store: the entry must be one of the program's
// settings and the value one it takes as it is (a number for a number, 0 or 1
// for a switch, within the entry's range).
void ApplySetting(MemorySettingsStore& store, const std::string& text) {
    const auto slash = text.find('/');
    const auto eq = text.find('=');
    if (slash == std::string::npos || eq == std::string::npos || slash == 0 || eq < slash + 2)
        throw CliError("--set needs SECTION/ENTRY=VALUE, got '" + text + "'");
    const std::string section = text.substr(0, slash);
    const std::string entry = text.substr(slash + 1, eq - slash - 1);
    const std::string value = text.substr(eq + 1);
    const std::string key = section + "/" + entry;
    const SettingDef* def = FindSetting(section, entry);
    if (!def) throw CliError("--set " + key + ": no such setting");
    if (def->type == SettingType::String) {
        store.WriteProfileString(section, entry, value);
        return;
    }
    const std::string held = def->HeldValues();
    int number = 0;
    if (!ParseSettingNumber(value, number))
        throw CliError("--set " + key + ": '" + value + "' is not a whole number" +
                       (held.empty() ? "" : " (" + held + ")"));
    if (!def->Holds(number)) throw CliError("--set " + key + ": " + value + " is out of range (" + held + ")");
    store.WriteProfileInt(section, entry, number);
}

}  // namespace

std::string ImageFormat(const std::string& path) {
    const std::string ext = std::filesystem::path(path).extension().string();
    std::string lower;
    for (char c : ext) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower == ".png") return "PNG";
    if (lower == ".jpg" || lower == ".jpeg") return "JPG";
    throw CliError("--out must end in .png or .jpg, got '" + path + "'");
}

const std::vector<std::string>& FrameOptions() {
    static const std::vector<std::string> options = {"mode", "facing", "turn", "band", "size", "date", "time",
                                                     "lon",  "lat",    "zone", "set",  "data", "panel"};
    return options;
}

int PrepareFrame(const CliArgs& args, Frame& frame, const char* command) {
    MemorySettingsStore& store = frame.store;
    ViewState& view = frame.view;
    StarCatalog& catalog = frame.catalog;
    ColorTable& colors = frame.colors;
    int width = 240, height = 240;
    if (auto v = args.Value("size")) ParseSize(*v, width, height);

    // Settings: a fresh store plus the overrides.
    for (const std::string& s : args.Values("set")) ApplySetting(store, s);

    // The site: the store's current site (the default one unless --set changed
    // it), then the explicit options.
    ObservationSite site = ReadCurrentSite(store);
    const CliSite given = ParseSiteOptions(args);
    if (args.Has("lon")) {
        site.longitudeDegrees = given.lon.degrees;
        site.longitudeMinutes = given.lon.minutes;
    }
    if (args.Has("lat")) {
        site.latitudeDegrees = given.lat.degrees;
        site.latitudeMinutes = given.lat.minutes;
    }
    if (args.Has("zone")) site.zoneOffsetHours = given.zone;

    // The moment: the site's present time, or what was given.
    const auto [date, time] = ParseMomentOptions(args, site.zoneOffsetHours);

    // The view: as a fresh start reads it, then the options.
    LoadViewState(view, store);
    if (auto v = args.Value("mode")) view.viewMode = ParseMode(*v);
    if (auto v = args.Value("facing")) {
        view.facing = ParseFacing(*v);
        view.turnDegrees = 0;
    }
    if (auto v = args.Value("turn")) {
        // Turning right by DEG degrees: whole quarter turns step the facing.
        const int deg = ParseInt(*v, "--turn");
        const int total = ((view.turnDegrees + deg) % 360 + 360) % 360;
        view.facing = (view.facing + total / 90) % 4;
        view.turnDegrees = total % 90;
    }
    if (auto v = args.Value("band")) view.heightBand = ParseBand(*v);
    RefreshViewState(view);
    if (auto v = args.Value("panel")) {
        // The magnifier panel's heading (from the south), altitude and zoom;
        // the pass follows the panel as the window's passes do.
        if (view.viewMode != ViewMode::Magnified) throw CliError("--panel needs --mode magnified");
        const auto c1 = v->find(','), c2 = c1 == std::string::npos ? c1 : v->find(',', c1 + 1);
        if (c2 == std::string::npos) throw CliError("--panel must be HEADING,ALTITUDE,ZOOM, got '" + *v + "'");
        view.magnifier.heading = ParseInt(v->substr(0, c1), "--panel heading", 0, 359);
        view.magnifier.altitude = ParseInt(v->substr(c1 + 1, c2 - c1 - 1), "--panel altitude",
                                           magnifier::kAltitudeLowest, magnifier::kAltitudeHighest);
        view.magnifier.zoom = ParseInt(v->substr(c2 + 1), "--panel zoom", 30, 900);
        TakeMagnifierHeading(view);
        RefreshViewState(view);
    }

    // The sky data.
    const bool explicitData = args.Has("data");
    const std::filesystem::path dataDir =
        explicitData ? std::filesystem::path(*args.Value("data")) : BundledDataDirectory();
    const std::filesystem::path catalogPath = dataDir / kCatalogFileName;
    if (!store.Contains("TAVIK", "TAVIK_DATA")) store.WriteProfileString("TAVIK", "TAVIK_DATA", catalogPath.string());

    frame.app = MakeApplication();

    std::error_code ec;
    if (std::filesystem::exists(catalogPath, ec)) {
        // A damaged catalogue draws no picture: part of the sky would be missing.
        if (!LoadWholeCatalog(catalog, catalogPath, command)) return 1;
        // The user's tap marks beside the catalogue, as the window loads them
        // (the marks before a damaged part included).
        const std::filesystem::path tapPath = dataDir / kTapFileName;
        const RecordFileResult taps = catalog.LoadTapMarks(tapPath);
        if (taps.opened && !taps.ok)
            std::fprintf(stderr, "tavik-cli %s: warning: %s: %s\n", command, tapPath.string().c_str(),
                         taps.error.c_str());
    } else if (explicitData) {
        std::fprintf(stderr, "tavik-cli %s: no star catalogue at %s\n", command, catalogPath.string().c_str());
        return 1;
    } else {
        std::fprintf(stderr, "tavik-cli %s: warning: no star catalogue at %s; drawing without stars\n", command,
                     catalogPath.string().c_str());
    }

    colors.Load(store);

    RenderScene& scene = frame.scene;
    scene.view = &view;
    scene.settings = &store;
    scene.colors = &colors;
    scene.catalog = catalog.Loaded() ? &catalog : nullptr;
    scene.localTime = DateTime(date.year, date.month, date.day, time.hour, time.minute, time.second);
    scene.site = site;
    std::string dir = dataDir.string();
    if (!dir.empty() && dir.back() != '/') dir += '/';
    scene.dataDirectory = dir;

    frame.image = MakeSkyImage(width, height, colors[slot::kBackground]);
    frame.renderer.RenderSky(frame.image, scene);
    return 0;
}

bool WriteImage(const std::string& path, const QImage& image, const char* command) {
    const std::string format = ImageFormat(path);
    // JPEG goes through the capture's own writer, so the bytes are those a
    // screen capture of the same image would write.
    StderrJpegReporter reporter(command);
    const bool written = format == "JPG" ? WriteJpegFile(path, image, &reporter)
                                         : image.save(QString::fromStdString(path), format.c_str());
    if (!written) std::fprintf(stderr, "tavik-cli %s: cannot write %s\n", command, path.c_str());
    return written;
}

void WriteHits(std::FILE* out, const HitList& hits) {
    int index = 0;
    for (const HitEntry& e : hits.Entries()) {
        const StarRecord& r = *e.record;
        char mag[32];
        std::snprintf(mag, sizeof mag, "%.2f", r.mag);
        const std::string line = std::to_string(index++) + '\t' + std::to_string(e.x) + '\t' +
                                 std::to_string(e.y) + '\t' + std::to_string(r.kind) + '\t' +
                                 EscapeText(SjisToUtf8(r.DesignationText())) + '\t' +
                                 EscapeText(SjisToUtf8(r.ConstellationText())) + '\t' + mag + '\t' +
                                 (r.name ? EscapeText(SjisToUtf8(*r.name)) : std::string());
        std::fprintf(out, "%s\n", line.c_str());
    }
}

namespace {

int RunRender(const std::vector<std::string>& argv) {
    std::vector<std::string> options = FrameOptions();
    options.push_back("out");
    options.push_back("hits");
    CliArgs args(argv, options, {}, {"set"});
    if (!args.Positional().empty())
        throw CliError("unexpected argument '" + args.Positional()[0] + "'\n" + kUsage);
    const auto out = args.Value("out");
    if (!out) throw CliError(std::string("--out is required\n") + kUsage);
    ImageFormat(*out);  // a wrong extension is an error before anything is drawn

    Frame frame;
    if (const int rc = PrepareFrame(args, frame, "render")) return rc;
    if (const auto hitsPath = args.Value("hits")) {
        std::FILE* f = std::fopen(hitsPath->c_str(), "w");
        if (!f) {
            std::fprintf(stderr, "tavik-cli render: cannot write %s\n", hitsPath->c_str());
            return 1;
        }
        if (const auto hits = frame.renderer.Hits()) WriteHits(f, *hits);
        const bool ok = std::fclose(f) == 0;
        if (!ok) {
            std::fprintf(stderr, "tavik-cli render: cannot write %s\n", hitsPath->c_str());
            return 1;
        }
    }
    return WriteImage(*out, frame.image, "render") ? 0 : 1;
}

const CliCommand kRender{"render", "draw one frame of the sky view into a PNG or JPEG file", kUsage,
                        RunRender};

}  // namespace

}  // namespace tavik::cli
