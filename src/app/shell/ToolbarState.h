#pragma once
// The main frame's toolbar state and its switching rules, free of any window:
// which of the twelve main toolbars and the two second toolbars is current,
// whether the second strip is shown and whether the switch button opens the
// toolbar menu. Persisted in the CMD_BAR section.

#include <array>
#include <string>
#include <vector>

#include "settings/SettingsStore.h"

namespace tavik {

namespace toolbar_cmd {
inline constexpr int MenuSwitch = 32830;
inline constexpr int Switch = 32878;
inline constexpr int FirstMain = 32896;   // 32896..32906 select toolbars 0..10
inline constexpr int LastMain = 32906;
inline constexpr int SizeToolbar = 32915; // selects toolbar 11
inline constexpr int MenuEnabled = 32907;
inline constexpr int AddSecond = 32909;
inline constexpr int NextSecond = 32910;
inline constexpr int PreviousSecond = 32916;
}  // namespace toolbar_cmd

struct MainToolbarDef {
    int resource;
    int command;       // the menu 164 item that selects it
    const char* text;  // its text in menu 164 (UTF-8)
    std::vector<int> buttons;  // between the leading 32830 and the trailing 32878
};

inline constexpr int kMainToolbarCount = 12;
inline constexpr int kSecondToolbarCount = 2;

const std::array<MainToolbarDef, kMainToolbarCount>& MainToolbars();
// Resource numbers of the second toolbars (165, 171).
inline constexpr std::array<int, kSecondToolbarCount> kSecondToolbarResources = {165, 171};
// The buttons of second toolbar 0 or 1, ending with 32910 and 32916.
const std::vector<int>& SecondToolbarButtons(int index);
// Every button of main toolbar `index` in order, with the leading 32830 and the
// trailing 32878.
std::vector<int> MainToolbarButtons(int index);

// The items of menu 164 in order: the twelve toolbar commands, then 32907 and 32909.
struct ToolbarMenuItem {
    int command;
    std::string text;
    bool checked;
};

class ToolbarState {
public:
    // What a command asks the frame to do.
    struct Effect {
        bool handled = false;
        bool openMenu = false;       // show menu 164 beside the command bar
        bool mainChanged = false;    // load the current main toolbar
        bool secondChanged = false;  // load the current second toolbar
        bool rebuildSecond = false;  // rebuild the second strip
    };

    explicit ToolbarState(SettingsStore& store);

    int MainIndex() const { return mainToolbar_; }
    int SecondIndex() const { return secondToolbar_; }
    int MainResource() const;
    int SecondResource() const;
    bool ShowSecond() const { return showSecond_; }
    bool MenuEnabled() const { return menuEnabled_; }
    bool MenuOnce() const { return menuOnce_; }
    bool SecondMode() const { return secondMode_; }

    bool Handles(int command) const;
    Effect Run(int command);

    // Applies the main toolbar whose resource is given (an unknown resource
    // selects index 0): clears the one-time menu flag and writes CMD_BAR/TYPE.
    void ApplyMainResource(int resource);
    // Clamps the second index and writes CMD_BAR/TYPEA.
    void ApplySecond();

    std::vector<ToolbarMenuItem> MenuItems() const;
    // Check mark of a menu 164 item.
    bool Checked(int command) const;

private:
    SettingsStore& store_;
    int mainToolbar_ = 0;
    int secondToolbar_ = 0;
    bool showSecond_ = true;
    bool menuEnabled_ = true;
    bool menuOnce_ = false;
    bool secondMode_ = false;
};

}  // namespace tavik
