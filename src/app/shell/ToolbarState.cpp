#include "app/shell/ToolbarState.h"

namespace tavik {

const std::array<MainToolbarDef, kMainToolbarCount>& MainToolbars() {
    static const std::array<MainToolbarDef, kMainToolbarCount> bars = {{
        {128, 32896, "通常", {32966, 32777, 32789, 32822, 32808, 32801, 32813, 57664}},
        {148, 32897, "ﾂｰﾙ (望遠鏡設定、現時）", {32944, 32966, 32873, 32868, 32777, 32778, 32875, 32876}},
        {145, 32898, "画面 (早見、拡大）", {32826, 32801, 32934, 32797}},
        {144, 32899, "方向 (東西南北、高中低）", {32796, 32798, 32799, 32800, 32846, 32847, 32848}},
        {146, 32900, "設定 (ｵﾌﾟｼｮﾝ、地域、時刻）", {32776, 32780, 32842, 32908}},
        {150, 32901, "選択 (タップで表示）", {32835, 32841, 32836, 32842, 32821, 32871}},
        {147, 32902, "表示 (常に表示）", {32856, 32812, 32789, 32840, 32822, 32808, 32811}},
        {149, 32903, "色", {32857, 32858, 32807, 32790, 32813, 32814, 32823}},
        {151, 32904, "操作 (縦横、ズーム）", {32879, 32880, 32881, 32882, 32883, 32884, 32862}},
        {152, 32905, "望遠鏡 (観望）", {32801, 32860, 32944, 32842, 32871, 32851, 32868}},
        {153, 32906, "望遠鏡 (操作）", {32868, 32890, 32887, 32891, 32892, 32888, 32889}},
        {166, 32915, "星のサイズ調整", {32911, 32912, 32790, 32813, 32913, 32914, 32908}},
    }};
    return bars;
}

const std::vector<int>& SecondToolbarButtons(int index) {
    static const std::vector<int> first = {
        32801, 32934, 32797, 32836, 32841, 32835, 32921, 32821, 32851, 32776, 32777,
        32778, 32871, 32944, 32890, 32887, 32891, 32892, 32888, 32889, 32868, 32873,
        32936, 32883, 32884, 32838, 32774, 32810, 32806, 32780, 32775, 32910, 32916};
    static const std::vector<int> second = {
        32801, 32934, 32797, 32812, 32917, 32789, 32840, 32822, 32918, 32926, 32808,
        32811, 32911, 32912, 32790, 32813, 32913, 32914, 32942, 32941, 32919, 32920,
        32823, 32796, 32798, 32799, 32800, 32805, 32883, 32884, 32928, 32910, 32916};
    return index == 1 ? second : first;
}

std::vector<int> MainToolbarButtons(int index) {
    if (index < 0 || index >= kMainToolbarCount) index = 0;
    std::vector<int> buttons{toolbar_cmd::MenuSwitch};
    const auto& mid = MainToolbars()[static_cast<std::size_t>(index)].buttons;
    buttons.insert(buttons.end(), mid.begin(), mid.end());
    buttons.push_back(toolbar_cmd::Switch);
    return buttons;
}

ToolbarState::ToolbarState(SettingsStore& store) : store_(store) {
    mainToolbar_ = store_.GetProfileInt("CMD_BAR", "TYPE", 0);
    if (mainToolbar_ < 0 || mainToolbar_ >= kMainToolbarCount) mainToolbar_ = 0;
    secondToolbar_ = store_.GetProfileInt("CMD_BAR", "TYPEA", 0);
    if (secondToolbar_ < 0 || secondToolbar_ >= kSecondToolbarCount) secondToolbar_ = 0;
    showSecond_ = store_.GetProfileInt("CMD_BAR", "MENU_TOOL", 1) == 1;
    menuEnabled_ = store_.GetProfileInt("CMD_BAR", "MENU", 1) == 1;
    menuOnce_ = store_.GetProfileInt("CMD_BAR", "STS", 0) == 1;
}

int ToolbarState::MainResource() const {
    return MainToolbars()[static_cast<std::size_t>(mainToolbar_)].resource;
}

int ToolbarState::SecondResource() const {
    return kSecondToolbarResources[static_cast<std::size_t>(secondToolbar_)];
}

bool ToolbarState::Handles(int command) const {
    using namespace toolbar_cmd;
    return command == Switch || (command >= FirstMain && command <= LastMain) ||
           command == SizeToolbar || command == toolbar_cmd::MenuEnabled || command == AddSecond ||
           command == NextSecond || command == PreviousSecond;
}

void ToolbarState::ApplyMainResource(int resource) {
    int index = 0;
    for (int i = 0; i < kMainToolbarCount; ++i) {
        if (MainToolbars()[static_cast<std::size_t>(i)].resource == resource) index = i;
    }
    mainToolbar_ = index;
    menuOnce_ = false;
    store_.WriteProfileInt("CMD_BAR", "TYPE", mainToolbar_);
}

void ToolbarState::ApplySecond() {
    if (secondToolbar_ > 1 || secondToolbar_ < 0) secondToolbar_ = 0;
    store_.WriteProfileInt("CMD_BAR", "TYPEA", secondToolbar_);
}

ToolbarState::Effect ToolbarState::Run(int command) {
    using namespace toolbar_cmd;
    Effect e;
    e.handled = Handles(command);
    if (command == Switch) {
        secondMode_ = false;
        if (menuEnabled_ || menuOnce_) {
            e.openMenu = true;
        } else {
            const int next = (mainToolbar_ + 1) % kMainToolbarCount;
            ApplyMainResource(MainToolbars()[static_cast<std::size_t>(next)].resource);
            e.mainChanged = true;
        }
    } else if ((command >= FirstMain && command <= LastMain) || command == SizeToolbar) {
        for (const MainToolbarDef& bar : MainToolbars()) {
            if (bar.command == command) ApplyMainResource(bar.resource);
        }
        e.mainChanged = true;
    } else if (command == NextSecond || command == PreviousSecond) {
        secondMode_ = true;
        secondToolbar_ += command == NextSecond ? 1 : -1;
        if (secondToolbar_ > 1) secondToolbar_ = 0;
        if (secondToolbar_ < 0) secondToolbar_ = 1;
        ApplySecond();
        e.secondChanged = true;
    } else if (command == toolbar_cmd::MenuEnabled) {
        menuEnabled_ = !menuEnabled_;
        store_.WriteProfileInt("CMD_BAR", "MENU", menuEnabled_ ? 1 : 0);
    } else if (command == AddSecond) {
        showSecond_ = !showSecond_;
        store_.WriteProfileInt("CMD_BAR", "MENU_TOOL", showSecond_ ? 1 : 0);
        e.rebuildSecond = true;
    }
    return e;
}

bool ToolbarState::Checked(int command) const {
    if (command == toolbar_cmd::MenuEnabled) return menuEnabled_;
    if (command == toolbar_cmd::AddSecond) return showSecond_;
    return MainToolbars()[static_cast<std::size_t>(mainToolbar_)].command == command;
}

std::vector<ToolbarMenuItem> ToolbarState::MenuItems() const {
    std::vector<ToolbarMenuItem> items;
    for (const MainToolbarDef& bar : MainToolbars()) {
        items.push_back({bar.command, bar.text, Checked(bar.command)});
    }
    items.push_back({toolbar_cmd::MenuEnabled, "ﾂｰﾙバー選択メニュー有効", menuEnabled_});
    items.push_back({toolbar_cmd::AddSecond, "ツールバーを追加", showSecond_});
    return items;
}

}  // namespace tavik
