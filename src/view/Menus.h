#pragma once
// The menus of the sky view: the main menus the frame shows, and the four
// pop-up menus a long press (or the action key) opens, with the rules that
// remove items, fill in the constellation's name and the magnitude. Items
// carry command identifiers; the shell turns them into real menus and runs the
// commands. No Qt, so that tavik-cli can print what a long press would open.

#include <functional>
#include <string>
#include <vector>

#include "settings/ViewSettings.h"
#include "view/CommandSet.h"
#include "view/ViewState.h"

namespace tavik {

struct StarRecord;

// One menu entry: a command, a separator (id 0, no children) or a sub-menu
// (id 0 with children).
struct MenuEntry {
    int id = 0;
    std::string text;  // UTF-8
    bool enabled = true;
    bool checked = false;
    std::vector<MenuEntry> children;

    bool IsSeparator() const { return id == 0 && children.empty() && text.empty(); }
    bool IsSubmenu() const { return id == 0 && !text.empty(); }
};

// The main menus ("ツール", "画面", "方向", "設定", "表示", "色"): their titles
// and command identifiers, 0 for a separator.
struct MenuDef {
    const char* title;
    std::vector<int> items;
};
const std::vector<MenuDef>& MainMenus();

enum class PopupKind { None, Display, TapRegistration, Telescope, ActionKey };

// Which menu a long press opens (first match: POPUP, POPUP2, POPUPTS). With
// telescope control off while POPUPTS is set, POPUPTS is cleared (the caller
// saves) and nothing opens; with POPUP2 set nothing opens in the planisphere,
// polar and heliocentric views.
PopupKind ChoosePopup(ViewSettings& settings, ViewMode mode, bool* popupTelescopeCleared);

// What the item rules depend on.
struct PopupContext {
    ViewMode mode = ViewMode::Planisphere;
    const StarRecord* tapped = nullptr;  // the object of the long press, or none
    bool magnifierPanelExists = false;
    bool magnifierPanelHidden = false;
    bool telescopeControl = false;       // OPTION3/TS_CTRL
    bool fullScreen = false;             // OPTION3/FULL_SCREEN
};

// The state of an item's command: enabled, checked, and a text that replaces
// the menu's own when not empty.
using ItemStateFn = std::function<ItemState(int id)>;

std::vector<MenuEntry> BuildPopupMenu(PopupKind kind, const PopupContext& context, const ItemStateFn& state);

}  // namespace tavik
