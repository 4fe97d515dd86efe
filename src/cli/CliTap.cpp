// tavik-cli tap: a press on one frame of the sky view, as the window takes it.
//
//   tavik-cli tap --at X,Y [--hold] [--out FILE] <every render option>
//
// Renders the frame as `render` does, then presses at (X, Y) and prints
//   hit<TAB>1 | hit<TAB>0
// and on a hit
//   point<TAB>X,Y        the point moved to the object
//   name<TAB>NAME        the object's name (UTF-8), empty when it has none
//   text<TAB>LINE        one per line of the tap text, in drawing order
//   action<TAB>KIND<TAB>T  for a registered tap mark: what its action would
//                        do (0 picture, 1 program, 2 add-in, 3 text) with its
//                        text; nothing is run
// --out writes the frame with the tap text on it. --hold then prints the menu
// a long press opens, one line per item in order,
//   menu<TAB>ID<TAB>TEXT<TAB>enabled|disabled
// with the items of a sub-menu indented by one more TAB after `menu` (the
// sub-menu itself has the id 0), or `menu<TAB>none`. Exit 0 whether or not
// something was hit; a point outside the picture is a usage error.

#include <cstdio>
#include <string>
#include <vector>

#include "catalog/ShiftJis.h"
#include "catalog/StarRecord.h"
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliFrame.h"
#include "settings/ViewSettings.h"
#include "view/CommandSet.h"
#include "view/Menus.h"
#include "view/TapMarks.h"
#include "view/TimeControl.h"

namespace tavik::cli {

namespace {

constexpr const char* kUsage = "usage: tavik-cli tap --at X,Y [--hold] [--out FILE] <every render option>";

class FrameClock final : public Clock {
public:
    explicit FrameClock(DateTime now) : now_(now) {}
    DateTime Now() const override { return now_; }

private:
    DateTime now_;
};

class NoTimers final : public TimerHost {
public:
    void StartTimer(int, int) override {}
    void KillTimer(int) override {}
};

// Commands the frame runs itself (toolbars, about, exit): always there.
bool IsFrameCommand(int id) {
    return id == 32830 || id == 32878 || (id >= 32896 && id <= 32907) || id == 32909 || id == 32910 ||
           id == 32915 || id == 32916 || id == cmd::About || id == cmd::Exit;
}

void PrintMenu(const std::vector<MenuEntry>& entries, const std::string& indent) {
    for (const MenuEntry& e : entries) {
        if (e.IsSeparator()) continue;
        std::printf("menu\t%s%d\t%s\t%s\n", indent.c_str(), e.id, e.text.c_str(),
                    e.enabled ? "enabled" : "disabled");
        if (e.IsSubmenu()) PrintMenu(e.children, indent + "\t");
    }
}

std::string RecordName(const StarRecord& r) {
    if (r.name) return SjisToUtf8(*r.name);
    if (r.IsSolarPlaceholder()) return SjisToUtf8(r.DesignationText());
    return {};
}

int RunTap(const std::vector<std::string>& argv) {
    std::vector<std::string> options = FrameOptions();
    options.push_back("at");
    options.push_back("out");
    CliArgs args(argv, options, {"hold"}, {"set"});
    if (!args.Positional().empty())
        throw CliError("unexpected argument '" + args.Positional()[0] + "'\n" + kUsage);
    const auto at = args.Value("at");
    if (!at) throw CliError(std::string("--at is required\n") + kUsage);
    const auto comma = at->find(',');
    if (comma == std::string::npos) throw CliError("--at must be X,Y, got '" + *at + "'");
    const int x = ParseInt(at->substr(0, comma), "--at x");
    const int y = ParseInt(at->substr(comma + 1), "--at y");
    if (const auto out = args.Value("out")) ImageFormat(*out);

    Frame frame;
    if (const int rc = PrepareFrame(args, frame, "tap")) return rc;
    if (x < 0 || y < 0 || x >= frame.image.width() || y >= frame.image.height())
        throw CliError("--at " + *at + " lies outside the " + std::to_string(frame.image.width()) + "x" +
                       std::to_string(frame.image.height()) + " picture");

    // The polar and heliocentric views take no taps.
    const ViewMode mode = frame.view.viewMode;
    TapOutcome tap;
    QImage picture = frame.image.copy();
    if (mode != ViewMode::PolarAlignment && mode != ViewMode::Heliocentric)
        tap = frame.renderer.TapAt(picture, frame.scene, x, y);

    std::printf("hit\t%d\n", tap.hit ? 1 : 0);
    if (tap.hit && tap.record) {
        std::printf("point\t%d,%d\n", tap.x, tap.y);
        std::printf("name\t%s\n", RecordName(*tap.record).c_str());
        if (tap.text.first) std::printf("text\t%s\n", tap.text.first->c_str());
        if (tap.text.second) std::printf("text\t%s\n", tap.text.second->c_str());
        if (tap.record->IsTapMark())
            std::printf("action\t%d\t%s\n", tap.record->kind, TapMarkText(*tap.record).c_str());
    }
    if (const auto out = args.Value("out")) {
        if (!WriteImage(*out, picture, "tap")) return 1;
    }

    if (args.Has("hold") && mode != ViewMode::PolarAlignment && mode != ViewMode::Heliocentric) {
        // The view's settings and commands as a fresh window has them.
        const FrameClock clock(frame.scene.localTime);
        NoTimers timers;
        ViewSettings settings;
        ViewState view = frame.view;
        TimeControl time(clock, timers);
        CommandSet commands(view, settings, time, frame.store);
        settings.Load(frame.store);
        time.Load(frame.store);
        const PopupKind kind = ChoosePopup(settings, mode, nullptr);
        if (kind == PopupKind::None) {
            std::printf("menu\tnone\n");
        } else {
            PopupContext c;
            c.mode = mode;
            c.tapped = tap.hit && tap.record ? &*tap.record : nullptr;
            c.magnifierPanelExists = view.magnifier.present;
            c.telescopeControl = settings.telescopeControl == 1;
            c.fullScreen = settings.fullScreen == 1;
            PrintMenu(BuildPopupMenu(kind, c, [&](int id) {
                          if (IsFrameCommand(id)) return MakeItem(true, false);
                          ItemState st = commands.State(id);
                          const CommandInfo* info = FindCommand(id);
                          st.enabled = st.enabled && info && info->built;
                          return st;
                      }),
                      "");
        }
    }
    std::fflush(stdout);
    return 0;
}

const CliCommand kTap{"tap", "press on one frame of the sky view and print what the tap finds", kUsage,
                     RunTap};

}  // namespace

}  // namespace tavik::cli
