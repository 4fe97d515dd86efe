#include "app/shell/MainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTimerEvent>
#include <QTimer>
#include <QToolBar>

#include <set>

#include "app/dialogs/AboutDialog.h"
#include "app/shell/Icons.h"
#include "app/view/TavikView.h"
#include "view/CommandSet.h"
#include "view/Menus.h"
#include "view/ViewCommands.h"

namespace tavik {

namespace {

constexpr int kToolbarTimerMs = 1000;  // timer 186

// Commands that act once rather than switch something on or off.
bool IsPlainAction(int id) {
    static const std::set<int> plain = {
        32774, 32775, 32776, 32777, 32818, 32819, 32820, 32823, 32824, 32825, 32826, 32830,
        32838, 32850, 32852, 32854, 32862, 32867, 32868, 32869, 32870, 32872, 32873, 32876, 32877, 32878, 32879,
        32880, 32881, 32882, 32883, 32884, 32933, 32937, 32938, 32939, 32940, 32943, 32960, 32963,
        32887, 32888, 32889, 32890, 32891, 32892, 32908, 32910, 32911, 32912, 32913,
        32914, 32916, 32919, 32920, 32929, 32930, 32931, 32932, 32941, 32942, 32944,
        32962, 32964, 32965, 32966, 32980, 32981, 32982, 57664, 57665};
    return plain.count(id) != 0;
}

// The frame's own one-shot commands (always there).
bool IsFrameCommand(int id) {
    return id == cmd::About || id == cmd::Exit || id == cmd::MenuSwitch || id == cmd::SettingsMenuButton ||
           id == cmd::ColorMenu;
}

}  // namespace

CMainFrame::CMainFrame(CTavikView* view, SettingsStore& store, QWidget* parent)
    : QMainWindow(parent), view_(view), store_(store), toolbars_(store) {
    setWindowTitle(QStringLiteral("Tavik"));
    setCentralWidget(view_);

    commandBar_ = new QToolBar(QString::fromUtf8("コマンドバー"), this);
    commandBar_->setObjectName(QStringLiteral("commandBar"));
    secondStrip_ = new QToolBar(QString::fromUtf8("ツールバー"), this);
    secondStrip_->setObjectName(QStringLiteral("secondStrip"));
    for (QToolBar* bar : {commandBar_, secondStrip_}) {
        bar->setIconSize(QSize(16, 16));
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    addToolBar(Qt::TopToolBarArea, commandBar_);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, secondStrip_);

    toolbarMenu_ = new QMenu(QString::fromUtf8("▲"), this);
    mainMenu_ = new QMenu(this);
    BuildMenus();
    // The accelerator keys: Y and X zoom the magnifier panel in and out.
    for (const auto& [id, key] : {std::pair{cmd::KeyZoomIn, Qt::Key_Y}, std::pair{cmd::KeyZoomOut, Qt::Key_X}}) {
        QAction* a = MakeAction(id);
        a->setShortcut(QKeySequence(key));
        addAction(a);
    }
    // "天体検索" from anywhere in the window.
    QAction* search = MakeAction(cmd::ObjectSearch);
    search->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(search);
    FillToolbarMenu();
    LoadMainToolbar();
    RebuildSecondStrip();

    connect(view_, &CTavikView::stateChanged, this, &CMainFrame::UpdateActions);
    // Pop-up menus, keys and taps run their commands as the frame's menus do.
    view_->SetCommandRouter([this](int id) { RunCommand(id); }, [this](int id) { return ItemStateFor(id); });
    connect(view_, &CTavikView::exitRequested, this, &QWidget::close);
    connect(view_, &CTavikView::fullScreenChanged, this, &CMainFrame::ApplyFullScreen);
    // A full screen kept from the last run comes back once the window is up.
    if (view_->FullScreen()) QTimer::singleShot(0, this, [this] { ApplyFullScreen(true); });
    toolbarTimer_.start(kToolbarTimerMs, this);
    UpdateActions();
}

QAction* CMainFrame::MakeAction(int id) {
    auto it = actions_.find(id);
    if (it != actions_.end()) return it->second;
    const CommandInfo* info = FindCommand(id);
    QString text = info ? QString::fromUtf8(info->text) : QString::number(id);
    auto* action = new QAction(CommandIcon(id), text, this);
    action->setToolTip(text);
    action->setData(id);
    action->setCheckable(!IsPlainAction(id));
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    actions_[id] = action;
    return action;
}

QAction* CMainFrame::Action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::BuildMenus() {
    for (const MenuDef& def : MainMenus()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(def.title));
        QMenu* copy = mainMenu_->addMenu(QString::fromUtf8(def.title));
        for (int id : def.items) {
            if (id == 0) {
                menu->addSeparator();
                copy->addSeparator();
            } else {
                menu->addAction(MakeAction(id));
                copy->addAction(MakeAction(id));
            }
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateActions);
        connect(copy, &QMenu::aboutToShow, this, &CMainFrame::UpdateActions);
    }
    menuBar()->addMenu(toolbarMenu_);
    connect(toolbarMenu_, &QMenu::aboutToShow, this, &CMainFrame::UpdateActions);
}

void CMainFrame::FillToolbarMenu() {
    toolbarMenu_->clear();
    int n = 0;
    for (const ToolbarMenuItem& item : toolbars_.MenuItems()) {
        if (n++ == kMainToolbarCount) toolbarMenu_->addSeparator();
        auto* action = toolbarMenu_->addAction(QString::fromStdString(item.text));
        action->setCheckable(true);
        action->setData(item.command);
        const int id = item.command;
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
        toolbarMenuActions_[id] = action;
    }
}

void CMainFrame::LoadMainToolbar() {
    commandBar_->clear();
    for (int id : MainToolbarButtons(toolbars_.MainIndex())) commandBar_->addAction(MakeAction(id));
}

void CMainFrame::RebuildSecondStrip() {
    secondStrip_->clear();
    if (toolbars_.ShowSecond()) {
        for (int id : SecondToolbarButtons(toolbars_.SecondIndex())) {
            secondStrip_->addAction(MakeAction(id));
        }
    }
    secondStrip_->setVisible(toolbars_.ShowSecond() && !view_->FullScreen());
    // The view's client area changes with the strip.
    QCoreApplication::postEvent(view_, new QEvent(static_cast<QEvent::Type>(
                                           QEvent::User + view_message::kClientArea)));
}

std::vector<int> CMainFrame::CommandBarButtons() const {
    std::vector<int> ids;
    for (QAction* a : commandBar_->actions()) ids.push_back(a->data().toInt());
    return ids;
}

std::vector<int> CMainFrame::SecondStripButtons() const {
    std::vector<int> ids;
    for (QAction* a : secondStrip_->actions()) ids.push_back(a->data().toInt());
    return ids;
}

void CMainFrame::timerEvent(QTimerEvent* e) {
    if (e->timerId() == toolbarTimer_.timerId()) {
        OnToolbarTimer();
        return;
    }
    QMainWindow::timerEvent(e);
}

void CMainFrame::OnToolbarTimer() {
    toolbarTimer_.stop();  // one shot
    RebuildSecondStrip();
    if (toolbars_.ShowSecond()) {
        auto lock = view_->Lock();
        toolbars_.ApplyMainResource(toolbars_.MainResource());
        lock.unlock();
        LoadMainToolbar();
    }
    UpdateActions();
}

void CMainFrame::RunCommand(int id) {
    if (toolbars_.Handles(id)) {
        ToolbarState::Effect e;
        {
            auto lock = view_->Lock();  // the store may be read by a pass
            e = toolbars_.Run(id);
        }
        if (e.mainChanged) LoadMainToolbar();
        if (e.secondChanged || e.rebuildSecond) RebuildSecondStrip();
        if (e.openMenu) {
            ++menuRequests_;
            UpdateActions();
            if (!suppressPopups_) {
                toolbarMenu_->popup(commandBar_->mapToGlobal(QPoint(0, commandBar_->height())));
            }
        }
    } else if (id == cmd::About) {
        ShowAbout();
    } else if (id == cmd::Exit) {
        close();
    } else if (id == cmd::MenuSwitch) {
        PopupMainMenu(nullptr);
    } else if (id == cmd::SettingsMenuButton) {
        PopupMainMenu("設定");
    } else if (id == cmd::ColorMenu) {
        PopupMainMenu("色");
    } else {
        view_->RunCommand(id);
    }
    UpdateActions();
}

void CMainFrame::PopupMainMenu(const char* title) {
    ++menuRequests_;
    lastMenuRequest_ = title ? QString::fromUtf8(title) : QString();
    UpdateActions();
    QMenu* menu = mainMenu_;
    if (title) {
        for (QAction* a : mainMenu_->actions()) {
            if (a->menu() && a->text() == lastMenuRequest_) menu = a->menu();
        }
    }
    if (!suppressPopups_) menu->popup(commandBar_->mapToGlobal(QPoint(0, commandBar_->height())));
}

void CMainFrame::ShowAbout() {
    RenderSuspension suspended(*view_);  // the box may reset the data paths
    CAboutDialog dlg(store_, this);
    dlg.exec();
}

ItemState CMainFrame::ItemStateFor(int id) const {
    if (toolbars_.Handles(id)) return MakeItem(true, toolbars_.Checked(id));
    if (IsFrameCommand(id)) return MakeItem(true, false);
    ItemState st = view_->CommandState(id);
    const CommandInfo* info = FindCommand(id);
    st.enabled = st.enabled && view_->HandlesCommand(id) && (!info || info->built);
    return st;
}

void CMainFrame::UpdateActions() {
    for (auto& [id, action] : actions_) {
        if (toolbars_.Handles(id) || IsFrameCommand(id)) continue;
        const ItemState st = ItemStateFor(id);
        action->setEnabled(st.enabled);
        if (action->isCheckable()) action->setChecked(st.checked);
        if (!st.text.empty()) {
            const QString text = QString::fromStdString(st.text);
            action->setText(text);
            action->setToolTip(text);
        }
    }
    for (auto& [id, action] : toolbarMenuActions_) action->setChecked(toolbars_.Checked(id));
}

void CMainFrame::ApplyFullScreen(bool on) {
    menuBar()->setVisible(!on);
    commandBar_->setVisible(!on);
    secondStrip_->setVisible(!on && toolbars_.ShowSecond());
    if (on) {
        showFullScreen();
    } else {
        showNormal();
    }
    // Once the window has its new size, the chart is fitted to it.
    QTimer::singleShot(100, view_, [this] { view_->FitChartToWindow(); });
}

void CMainFrame::closeEvent(QCloseEvent* e) { e->accept(); }

}  // namespace tavik
