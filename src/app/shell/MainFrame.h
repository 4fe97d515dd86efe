#pragma once
// The main frame: the window titled "Tavik" that hosts the sky view, the main
// menus, the command bar with its twelve switchable main toolbars and the
// second toolbar strip, menu 164 and the about box. Commands go to the frame
// first (toolbars, about, exit) and then to the view.

#include <QBasicTimer>
#include <QMainWindow>

#include <map>

#include "app/shell/ToolbarState.h"
#include "view/TimeControl.h"

class QAction;
class QMenu;
class QToolBar;

namespace tavik {

class CTavikView;
class SettingsStore;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CTavikView* view, SettingsStore& store, QWidget* parent = nullptr);

    CTavikView* View() const { return view_; }
    ToolbarState& Toolbars() { return toolbars_; }
    const ToolbarState& Toolbars() const { return toolbars_; }
    QToolBar* CommandBar() const { return commandBar_; }
    QToolBar* SecondStrip() const { return secondStrip_; }
    QMenu* ToolbarMenu() const { return toolbarMenu_; }
    // The action of a command (menus and toolbars share it); nullptr if none.
    QAction* Action(int id) const;
    // Command ids of the buttons currently on the command bar / second strip.
    std::vector<int> CommandBarButtons() const;
    std::vector<int> SecondStripButtons() const;

    // Routes a command: frame commands here, the rest to the view.
    void RunCommand(int id);
    // Runs every update handler: check marks, enabled states and texts.
    void UpdateActions();
    // The state a menu shows for a command: the view's update handler, enabled
    // only for commands that are there to run.
    ItemState ItemStateFor(int id) const;
    // When set, menu 164 is not popped up (tests); the request is counted.
    void SetMenuPopupsSuppressed(bool on) { suppressPopups_ = on; }
    int MenuRequests() const { return menuRequests_; }
    // The title of the main menu the last request popped up ("" for all of them).
    QString LastMenuRequest() const { return lastMenuRequest_; }
    // Timer 186 of the frame (one second after creation).
    void OnToolbarTimer();
    // Full screen: no menus or toolbars, the window over the whole screen.
    void ApplyFullScreen(bool on);

protected:
    void timerEvent(QTimerEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QAction* MakeAction(int id);
    void BuildMenus();
    void LoadMainToolbar();
    void RebuildSecondStrip();
    void FillToolbarMenu();
    void ShowAbout();
    // Pops up the main menus, or only the one titled `title`.
    void PopupMainMenu(const char* title);

    CTavikView* view_;
    SettingsStore& store_;
    ToolbarState toolbars_;
    QToolBar* commandBar_;
    QToolBar* secondStrip_;
    QMenu* toolbarMenu_;
    QMenu* mainMenu_;
    std::map<int, QAction*> actions_;
    std::map<int, QAction*> toolbarMenuActions_;
    QBasicTimer toolbarTimer_;
    bool suppressPopups_ = false;
    int menuRequests_ = 0;
    QString lastMenuRequest_;
};

}  // namespace tavik
