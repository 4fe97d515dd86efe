#include "view/Menus.h"

#include <algorithm>

#include "catalog/ConstellationTable.h"
#include "catalog/StarRecord.h"

namespace tavik {

namespace {

// Items of a pop-up menu before its rules run: a command with the menu's own
// text (nullptr: the command's text), or a sub-menu.
struct PopupItemDef {
    int id;
    const char* text;
    std::vector<int> submenu = {};
};

const char* kNumberedMarks = "①,②,③";

const std::vector<PopupItemDef>& Items(PopupKind kind) {
    static const std::vector<PopupItemDef> display = {
        {32825, nullptr}, {32819, nullptr}, {32824, nullptr}, {32818, nullptr}, {32943, nullptr},
        {32860, nullptr}, {32933, nullptr}, {32963, nullptr}, {32960, nullptr}, {32820, nullptr},
        {32822, nullptr}, {32840, nullptr}, {32842, nullptr}, {32865, "フルスクリーン"},
        {32944, nullptr}, {32862, nullptr}, {57665, nullptr}};
    static const std::vector<PopupItemDef> tapRegistration = {
        {32825, nullptr}, {32852, nullptr}, {32854, nullptr}, {32871, nullptr}, {32868, nullptr},
        {0, kNumberedMarks, {32937, 32938, 32939, 32940}}};
    static const std::vector<PopupItemDef> telescope = {
        {32825, nullptr}, {32870, nullptr}, {32869, nullptr}, {32943, nullptr}, {32860, nullptr},
        {32872, nullptr}, {32868, nullptr}, {32865, "フルスクリーン"}, {32821, nullptr},
        {32851, nullptr}, {0, kNumberedMarks, {32937, 32938, 32939, 32940}}, {32921, nullptr},
        {32944, nullptr}};
    static const std::vector<PopupItemDef> actionKey = [] {
        std::vector<PopupItemDef> items = {{32825, nullptr}, {32867, nullptr}, {32944, nullptr},
                                           {32862, nullptr}, {32865, "フルスクリーン（PocketPC)"},
                                           {32777, nullptr}, {32860, nullptr}};
        for (const MenuDef& m : MainMenus()) {
            std::vector<int> ids = {32825};
            ids.insert(ids.end(), m.items.begin(), m.items.end());
            items.push_back({0, m.title, std::move(ids)});
        }
        items.push_back({32909, "ツールバーを追加"});  // a frame command, not in the view's table
        return items;
    }();
    static const std::vector<PopupItemDef> none;
    switch (kind) {
    case PopupKind::Display: return display;
    case PopupKind::TapRegistration: return tapRegistration;
    case PopupKind::Telescope: return telescope;
    case PopupKind::ActionKey: return actionKey;
    default: return none;
    }
}

MenuEntry Entry(int id, const char* ownText, const ItemStateFn& state) {
    MenuEntry e;
    e.id = id;
    if (id == 0) return e;  // separator
    const ItemState st = state ? state(id) : ItemState{};
    const CommandInfo* info = FindCommand(id);
    e.text = !st.text.empty() ? st.text : ownText ? ownText : info ? info->text : std::to_string(id);
    e.enabled = st.enabled;
    e.checked = st.checked;
    return e;
}

bool IsConstellationItem(int id) { return id == 32820 || id == 32933 || id == 32963 || id == 32960; }

const char* ConstellationItemFormat(int id) {
    switch (id) {
    case 32820: return "座のみを表示";
    case 32933: return "座の説明";
    case 32963: return "座の説明読上";
    default: return "座の説明編集";
    }
}

}  // namespace

const std::vector<MenuDef>& MainMenus() {
    static const std::vector<MenuDef> menus = {
        {"ツール", {32966, 0, 32777, 32778, 32875, 32876, 32839, 0, 32929, 32930, 32931, 32932, 0, 32874, 32877, 32826,
                   0, 57664, 57665}},
        {"画面", {32801, 32797, 32934, 32806, 32810, 0, 32860, 32862, 32981, 32944, 0, 32928}},
        {"方向", {32796, 32798, 32799, 32800, 0, 32805, 32846, 32847, 32848, 0, 32879, 32880,
                  32881, 32882}},
        {"設定", {32774, 32775, 32776, 32873, 32980, 32982, 0, 32780, 32842, 0, 32821, 32851, 32871, 32835, 32836, 32841, 0, 32867}},
        {"表示", {32789, 32840, 32822, 32812, 32917, 32918, 32926, 32983, 0, 32811, 32863, 32808,
                  32779, 32961, 0, 32856, 32852, 32854, 32850, 32921, 32922, 32923, 32924, 32925, 0, 32818, 32838, 32819, 32824, 0, 32911,
                  32912, 32913, 32914, 32919, 32920, 32941, 32942, 0, 32962}},
        {"色", {32857, 32858, 32807, 32791, 0, 32790, 32813, 32814, 0, 32823}},
    };
    return menus;
}

PopupKind ChoosePopup(ViewSettings& s, ViewMode mode, bool* popupTelescopeCleared) {
    if (popupTelescopeCleared) *popupTelescopeCleared = false;
    if (s.telescopeControl != 1 && s.popupTelescope) {
        s.popupTelescope = false;
        if (popupTelescopeCleared) *popupTelescopeCleared = true;
        return PopupKind::None;
    }
    if (s.popupTapRegistration && (mode == ViewMode::Planisphere || mode == ViewMode::PolarAlignment ||
                                   mode == ViewMode::Heliocentric))
        return PopupKind::None;
    if (s.popupDisplay) return PopupKind::Display;
    if (s.popupTapRegistration) return PopupKind::TapRegistration;
    if (s.popupTelescope) return PopupKind::Telescope;
    return PopupKind::None;
}

std::vector<MenuEntry> BuildPopupMenu(PopupKind kind, const PopupContext& c, const ItemStateFn& state) {
    const bool navigatorOffered = c.magnifierPanelExists && c.magnifierPanelHidden;
    std::string constellationName;
    if (c.tapped && !c.tapped->IsSolarPlaceholder())
        constellationName = std::string(ConstellationNameUtf8(c.tapped->constellation));

    std::vector<MenuEntry> menu;
    for (const PopupItemDef& def : Items(kind)) {
        if (def.id == 0) {
            MenuEntry sub;
            sub.text = def.text;
            for (int id : def.submenu) {
                // The main menus' separators stay separators.
                sub.children.push_back(id == 0 ? MenuEntry{} : Entry(id, nullptr, state));
            }
            menu.push_back(std::move(sub));
            continue;
        }
        const int id = def.id;
        if (id == 32862 && !navigatorOffered) continue;
        if (kind == PopupKind::Display) {
            if (id == 32868 && !c.telescopeControl) continue;
            if (id == 57665 && !c.fullScreen) continue;
            if (IsConstellationItem(id)) {
                if (constellationName.empty()) continue;
                MenuEntry e = Entry(id, nullptr, state);
                e.text = constellationName + ConstellationItemFormat(id);
                menu.push_back(std::move(e));
                continue;
            }
        }
        if (kind == PopupKind::Telescope && (id == 32870 || id == 32869) &&
            (c.mode == ViewMode::Planisphere || c.mode == ViewMode::PolarAlignment ||
             c.mode == ViewMode::Heliocentric || c.mode == ViewMode::Zenith))
            continue;
        menu.push_back(Entry(id, def.text, state));
        // A comet's or an asteroid's menu offers today's data right after "ﾒﾆｭｰを閉じる".
        if (id == 32825 && kind != PopupKind::ActionKey && c.tapped && c.tapped->kind == kKindMinorBody)
            menu.push_back(Entry(cmd::MinorBodyToday, nullptr, state));
    }
    return menu;
}

}  // namespace tavik
