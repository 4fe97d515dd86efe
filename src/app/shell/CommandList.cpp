#include "app/shell/CommandList.h"

#include <QAction>
#include <QTextStream>

#include <algorithm>
#include <map>
#include <cstring>
#include <set>
#include <string>
#include <tuple>

#include "app/shell/MainFrame.h"
#include "app/dialogs/Prompts.h"
#include "app/shell/TavikApp.h"
#include "app/view/TavikView.h"
#include "app/shell/ToolbarState.h"
#include "catalog/StarRecord.h"
#include "settings/SettingsStore.h"
#include "view/Menus.h"

namespace tavik {

namespace {

// The user's store seen read-only: writes land in memory and shadow it.
class ShadowStore final : public SettingsStore {
public:
    explicit ShadowStore(const SettingsStore& base) : base_(base) {}
    int GetProfileInt(std::string_view section, std::string_view entry, int def) const override {
        if (written_.Contains(section, entry)) return written_.GetProfileInt(section, entry, def);
        return Deleted(section, entry) ? def : base_.GetProfileInt(section, entry, def);
    }
    std::string GetProfileString(std::string_view section, std::string_view entry,
                                 std::string_view def) const override {
        if (written_.Contains(section, entry)) return written_.GetProfileString(section, entry, def);
        return Deleted(section, entry) ? std::string(def) : base_.GetProfileString(section, entry, def);
    }
    void WriteProfileInt(std::string_view section, std::string_view entry, int value) override {
        deleted_.erase(Key(section, entry));
        written_.WriteProfileInt(section, entry, value);
    }
    void WriteProfileString(std::string_view section, std::string_view entry,
                            const std::optional<std::string>& value) override {
        if (value) {
            deleted_.erase(Key(section, entry));
        } else {
            deleted_.insert(Key(section, entry));
        }
        written_.WriteProfileString(section, entry, value);
    }
    bool Contains(std::string_view section, std::string_view entry) const override {
        return written_.Contains(section, entry) || (!Deleted(section, entry) && base_.Contains(section, entry));
    }

private:
    static std::string Key(std::string_view section, std::string_view entry) {
        return std::string(section) + '/' + std::string(entry);
    }
    bool Deleted(std::string_view section, std::string_view entry) const {
        return deleted_.count(Key(section, entry)) != 0;
    }
    const SettingsStore& base_;
    MemorySettingsStore written_;
    std::set<std::string> deleted_;
};

bool Contains(const std::vector<MenuEntry>& entries, int id) {
    return std::any_of(entries.begin(), entries.end(),
                       [id](const MenuEntry& e) { return e.id == id || Contains(e.children, id); });
}

// Menu 164: the twelve main toolbars, then 32907 and 32909.
bool InToolbarMenu(int id) {
    if (id == toolbar_cmd::MenuEnabled || id == toolbar_cmd::AddSecond) return true;
    return std::any_of(MainToolbars().begin(), MainToolbars().end(),
                       [id](const MainToolbarDef& t) { return t.command == id; });
}

}  // namespace

QStringList CommandListLines(const CMainFrame& frame) {
    const ItemStateFn state = [&frame](int id) { return frame.ItemStateFor(id); };

    // Every item the pop-up menus can offer: a tapped constellation, a hidden
    // navigator, telescope control and full screen all counted in.
    StarRecord tapped;
    tapped.SetConstellation("Ori");
    PopupContext fullest;
    fullest.mode = ViewMode::Direction;
    fullest.tapped = &tapped;
    fullest.magnifierPanelExists = true;
    fullest.magnifierPanelHidden = true;
    fullest.telescopeControl = true;
    fullest.fullScreen = true;
    const std::tuple<PopupKind, const char*> popups[] = {{PopupKind::Display, "display"},
                                                         {PopupKind::TapRegistration, "tapregistration"},
                                                         {PopupKind::Telescope, "telescope"},
                                                         {PopupKind::ActionKey, "actionkey"}};
    // A tapped comet or asteroid brings its own item.
    StarRecord minorBody;
    minorBody.kind = static_cast<std::int16_t>(kKindMinorBody);
    PopupContext minor = fullest;
    minor.tapped = &minorBody;
    std::vector<std::pair<std::vector<MenuEntry>, const char*>> popupMenus;
    for (const auto& [kind, name] : popups) {
        std::vector<MenuEntry> menu = BuildPopupMenu(kind, fullest, state);
        for (MenuEntry& e : BuildPopupMenu(kind, minor, state))
            if (e.id == cmd::MinorBodyToday) menu.push_back(std::move(e));
        popupMenus.emplace_back(std::move(menu), name);
    }

    // The table's commands and the main toolbars of menu 164, by identifier.
    std::map<int, QString> commands;
    for (const CommandInfo& info : AllCommands()) commands[info.id] = QString::fromUtf8(info.text);
    for (const ToolbarMenuItem& item : frame.Toolbars().MenuItems())
        commands.emplace(item.command, QString::fromStdString(item.text));

    QStringList lines;
    for (const auto& [id, ownText] : commands) {
        QStringList where;
        for (const MenuDef& m : MainMenus())
            if (std::find(m.items.begin(), m.items.end(), id) != m.items.end())
                where << QStringLiteral("menu:") + QString::fromUtf8(m.title);
        if (InToolbarMenu(id)) where << QString::fromUtf8("menu:▲");
        for (int i = 0; i < kMainToolbarCount; ++i) {
            const std::vector<int> buttons = MainToolbarButtons(i);
            if (std::find(buttons.begin(), buttons.end(), id) != buttons.end())
                where << QStringLiteral("toolbar:%1").arg(i);
        }
        for (int i = 0; i < kSecondToolbarCount; ++i) {
            const std::vector<int>& buttons = SecondToolbarButtons(i);
            if (std::find(buttons.begin(), buttons.end(), id) != buttons.end())
                where << QStringLiteral("second:%1").arg(kSecondToolbarResources[i]);
        }
        for (const auto& [menu, name] : popupMenus)
            if (Contains(menu, id)) where << QStringLiteral("popup:") + QString::fromLatin1(name);
        if (const QAction* a = frame.Action(id); a && !a->shortcut().isEmpty())
            where << QStringLiteral("key:") + a->shortcut().toString();

        const ItemState st = frame.ItemStateFor(id);
        const QString text = st.text.empty() ? ownText : QString::fromStdString(st.text);
        lines << QStringLiteral("%1\t%2\t%3\t%4\t%5")
                     .arg(id)
                     .arg(text)
                     .arg(st.enabled ? QStringLiteral("enabled") : QStringLiteral("disabled"))
                     .arg(st.checked ? QStringLiteral("checked") : QStringLiteral("unchecked"))
                     .arg(where.join(u','));
    }
    return lines;
}

int ListCommands(QTextStream& out) {
    QtSettingsStore user;
    ShadowStore store(user);
    RecordingPrompts prompts;  // nothing is asked: a missing catalogue stays missing
    AppOptions options;
    options.store = &store;
    options.prompts = &prompts;
    options.show = false;
    options.singleInstance = false;
    CTavikApp app(options);
    if (!app.InitInstance()) return 1;
    CMainFrame& frame = *app.Frame();
    frame.OnToolbarTimer();  // both toolbars in place, as one second after start
    for (const QString& line : CommandListLines(frame)) out << line << '\n';
    out.flush();
    return 0;
}

}  // namespace tavik
