// The application shell with its windows on the offscreen platform: start-up
// on the bundled data, the frame's menus and toolbars, commands and their
// update handlers, stepping against the repaint, render requests, the view's
// timers and the missing-catalogue path, and the screenshot of the window.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QMenu>
#include <QRegularExpression>
#include <QTimer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointingDevice>
#include <QWheelEvent>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numbers>
#include <memory>
#include <optional>
#include <regex>

#include "QtTestApp.h"
#include "app/shell/CommandList.h"
#include "app/view/InputController.h"
#include "app/view/MagnifierController.h"
#include "app/view/MagnifierPanel.h"
#include "app/view/ObjectSearchController.h"
#include "app/dialogs/HorizonSearchDialog.h"
#include "app/dialogs/ObjectSearchDialog.h"
#include "app/shell/MainFrame.h"
#include <QScreen>
#include "app/dialogs/Prompts.h"
#include "app/dialogs/TodayDialog.h"
#include "app/shell/TavikApp.h"
#include "app/view/TavikDoc.h"
#include "app/view/TavikView.h"
#include "app/telescope/ScopeExchange.h"
#include "app/shell/ToolbarState.h"
#include "catalog/CatalogLocation.h"
#include "catalog/MinorBodies.h"
#include "catalog/ShiftJis.h"
#include "settings/SettingsStore.h"
#include "view/CommandSet.h"
#include "view/HitList.h"
#include "view/HorizonSearch.h"
#include "view/TapMarks.h"
#include "view/ViewCommands.h"
#include "mountsim/PtyMount.h"
#include "astro/Angles.h"
#include "astro/Planets.h"
#include "astro/Precession.h"
#include "astro/TimeScales.h"
#include "settings/ObservationSite.h"
#include "telescope/GotoTarget.h"
#include "view/Projection.h"
#include "view/ViewState.h"

// Under LeakSanitizer: fontconfig keeps its caches until the process ends, and
// every window with text loads it; those blocks are not our leaks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace tavik {
namespace {

class FixedClock final : public Clock {
public:
    DateTime Now() const override { return now; }
    DateTime now{2026, 1, 15, 21, 0, 0};
};

// Processes events until `done` holds or two seconds pass.
template <class F>
bool Until(F done, int timeoutMs = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return done();
}

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        store.WriteProfileString(kCatalogSection, kCatalogEntry, TAVIK_DATA_DIR "/tavik.dat");
    }

    void Start() {
        static int counter = 0;
        AppOptions options;
        options.instanceKey = QStringLiteral("TavikAppTest-%1-%2")
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(++counter);
        options.programDir = programDir.path().toStdString();
        options.documentsDir = programDir.path().toStdString();
        options.store = &store;
        options.prompts = &prompts;
        options.clock = &clock;
        app = std::make_unique<CTavikApp>(options);
        ASSERT_TRUE(app->InitInstance());
        frame = app->Frame();
        view = app->View();
        frame->SetMenuPopupsSuppressed(true);
    }

    void TearDown() override { app.reset(); }

    QTemporaryDir programDir;
    MemorySettingsStore store;
    RecordingPrompts prompts;
    FixedClock clock;
    std::unique_ptr<CTavikApp> app;
    CMainFrame* frame = nullptr;
    CTavikView* view = nullptr;
};

TEST_F(AppTest, FrameIsTitledTavikWithTheSixMenusAndBothToolbars) {
    Start();
    EXPECT_EQ(frame->windowTitle(), "Tavik");
    QStringList titles;
    for (QAction* a : frame->menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"ツール", "画面", "方向", "設定", "表示", "色", "▲"}));
    EXPECT_EQ(frame->CommandBarButtons(), MainToolbarButtons(0));
    EXPECT_EQ(frame->SecondStripButtons(), SecondToolbarButtons(0));
    EXPECT_TRUE(app->Doc()->Loaded());
}

// A task bar finds the entry of the window: the entry is named after the
// desktop file name, declares the class the window carries (the application
// name) and the icon that the window shows too.
TEST_F(AppTest, WindowAndDesktopEntryAgreeOnNameClassAndIcon) {
    Start();
    QFile file(TAVIK_DESKTOP_ENTRY);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList entry = QString::fromUtf8(file.readAll()).split('\n');
    EXPECT_EQ(QFileInfo(file).completeBaseName(), QGuiApplication::desktopFileName());
    EXPECT_TRUE(entry.contains("StartupWMClass=" + QCoreApplication::applicationName())) << entry.join('|').toStdString();
    EXPECT_TRUE(entry.contains("Icon=" + QGuiApplication::desktopFileName()));
    const QImage icon = frame->windowIcon().pixmap(32, 32).toImage();
    ASSERT_FALSE(icon.isNull());
    int opaque = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) opaque += qAlpha(icon.pixel(x, y)) == 255;
    EXPECT_GT(opaque, 32 * 32 / 2) << "the round chart fills most of the icon";
}

// 今日のデータ from the window's command: mouse clicks on the real buttons of
// the modal dialog, "明日へ" (the next day) and then OK (the command ends).
TEST_F(AppTest, TodaysDataButtonsAnswerMouseClicks) {
    Start();
    QStringList headers;
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog->windowTitle() != "今日のデータ") return;
        headers << dialog->findChild<QLabel*>("1043")->text();
        QPushButton* button = dialog->findChild<QPushButton*>("1042");  // 明日へ
        if (headers.size() == 2) button = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    });
    clicker.start(20);
    frame->RunCommand(cmd::TodaysData);
    clicker.stop();
    ASSERT_EQ(headers.size(), 2);
    EXPECT_TRUE(headers[0].startsWith("2026年1月15日")) << headers[0].toStdString();
    EXPECT_TRUE(headers[1].startsWith("2026年1月16日")) << headers[1].toStdString();
}

TEST_F(AppTest, FirstStartShowsThePlanisphereAtTwoThirdsOfTheScreenAndTheNextStartRestoresTheWindow) {
    Start();
    // Nothing stored: the planisphere facing south, the chart square at about
    // two thirds of the screen's height.
    EXPECT_EQ(view->View().viewMode, ViewMode::Planisphere);
    EXPECT_EQ(view->View().facing, 3);
    const QRect screen = frame->screen()->availableGeometry();
    EXPECT_NEAR(view->width(), screen.height() * 2 / 3, screen.height() / 20);
    EXPECT_NEAR(view->height(), view->width(), 2);
    // Where the user put it is where it comes back.
    frame->setGeometry(QRect(screen.topLeft() + QPoint(30, 40), QSize(360, 420)));
    const QRect placed = frame->geometry();
    app.reset();
    EXPECT_FALSE(store.GetProfileString("WINDOW", "GEOMETRY", "").empty());
    Start();
    EXPECT_EQ(frame->geometry(), placed);
}

TEST_F(AppTest, ToolbarSwitchCyclesThroughTheTwelveToolbarsAndBack) {
    store.WriteProfileInt("CMD_BAR", "MENU", 0);
    Start();
    for (int press = 1; press <= 12; ++press) {
        frame->RunCommand(toolbar_cmd::Switch);
        EXPECT_EQ(frame->CommandBarButtons(), MainToolbarButtons(press % 12)) << press;
    }
    EXPECT_EQ(frame->Toolbars().MainIndex(), 0);
    frame->RunCommand(toolbar_cmd::NextSecond);
    EXPECT_EQ(frame->SecondStripButtons(), SecondToolbarButtons(1));
    frame->RunCommand(toolbar_cmd::AddSecond);
    EXPECT_TRUE(frame->SecondStripButtons().empty());
    EXPECT_EQ(frame->MenuRequests(), 0);
    frame->RunCommand(toolbar_cmd::MenuEnabled);
    frame->RunCommand(toolbar_cmd::Switch);
    EXPECT_EQ(frame->MenuRequests(), 1) << "with the menu on, the switch opens menu 164";
    frame->RunCommand(toolbar_cmd::MenuSwitch);
    EXPECT_EQ(frame->MenuRequests(), 2) << "the first button opens the main menus";
}

TEST_F(AppTest, CommandsChangeCheckMarksEnabledStatesAndTexts) {
    Start();
    QAction* red = frame->Action(cmd::RedMode);
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->text(), "赤で表示する");
    frame->RunCommand(cmd::RedMode);
    EXPECT_EQ(red->text(), "赤表示中");
    EXPECT_TRUE(red->isChecked());
    EXPECT_EQ(store.GetProfileInt("COLOR", "ALLRED", -1), 1);
    EXPECT_EQ(view->Notice(), "赤表示");

    QAction* names = frame->Action(cmd::ConstellationNames);
    const bool before = names->isChecked();
    names->trigger();
    EXPECT_NE(names->isChecked(), before);

    EXPECT_EQ(frame->Action(cmd::Stepping)->text(), "3分刻みで進める");
    frame->RunCommand(cmd::AutoUpdate);
    EXPECT_TRUE(frame->Action(cmd::AutoUpdate)->isChecked());
    EXPECT_FALSE(frame->Action(cmd::Stepping)->isEnabled());
    EXPECT_FALSE(frame->Action(cmd::DateTimeDialog)->isEnabled());
    EXPECT_TRUE(view->TimerActive(timer_id::kAutoUpdate));

    frame->RunCommand(32934);  // direction view
    frame->RunCommand(32796);  // east
    EXPECT_TRUE(frame->Action(32796)->isChecked());
    EXPECT_FALSE(frame->Action(32798)->isChecked());
    EXPECT_TRUE(frame->Action(32846)->isEnabled());
    // Commands that open a window are there (the horizon search, the options).
    EXPECT_TRUE(frame->Action(32944)->isEnabled());
    EXPECT_TRUE(frame->Action(32775)->isEnabled());
}

TEST_F(AppTest, SteppingWaitsForTheRepaintBeforeTheNextStep) {
    Start();
    ASSERT_TRUE(WaitForRender(*view));
    frame->RunCommand(cmd::Stepping);
    ASSERT_TRUE(view->TimerActive(timer_id::kStep));
    const DateTime start = view->Time().Current();

    view->OnTimer(timer_id::kStep);
    EXPECT_NE(view->Time().Current(), start);
    EXPECT_FALSE(view->TimerActive(timer_id::kStep));
    EXPECT_TRUE(view->RenderPending());
    const int paints = view->PaintCount();
    ASSERT_TRUE(Until([&] { return view->PaintCount() > paints && !view->RenderPending(); }));
    EXPECT_TRUE(Until([&] { return view->TimerActive(timer_id::kStep); }))
        << "re-armed once the new picture is on the screen";

    frame->RunCommand(cmd::SetNow);  // stops stepping only
    EXPECT_FALSE(view->TimerActive(timer_id::kStep));
    EXPECT_EQ(frame->Action(cmd::SetNow)->text(), "現在時刻セット");

    // Registering a tap mark stops stepping: the mark lands on the sky pressed.
    frame->RunCommand(cmd::Stepping);
    ASSERT_TRUE(view->Time().Stepping());
    frame->RunCommand(cmd::TapRegister);
    EXPECT_FALSE(view->Time().Stepping());
    EXPECT_FALSE(view->TimerActive(timer_id::kStep));
}

TEST_F(AppTest, RenderRequestsCoalesceAndAResizeRedrawsAfterTimer10002) {
    Start();
    ASSERT_TRUE(WaitForRender(*view));
    int n = view->RenderCount();
    for (int i = 0; i < 5; ++i) view->PostRender();
    ASSERT_TRUE(Until([&] { return !view->RenderPending() && view->PassesInFlight() == 0; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(view->RenderCount(), n + 1);

    n = view->RenderCount();
    frame->resize(frame->width() + 40, frame->height() + 40);
    ASSERT_TRUE(Until([&] { return view->Image().size() == view->DeviceArea(); }));
    EXPECT_EQ(view->RenderCount(), n) << "the new size only recreates the image";
    EXPECT_TRUE(view->TimerActive(timer_id::kFirstPaint));
    view->OnTimer(timer_id::kFirstPaint);
    ASSERT_TRUE(Until([&] { return view->RenderCount() > n; }));
    EXPECT_EQ(view->View().chartSize, std::min(view->width(), view->height()));
}

TEST_F(AppTest, WithoutTheHourglassOptionPassesRunOnTheWindowThread) {
    store.WriteProfileInt("PROC", "SANDCLOCK", 0);
    Start();
    EXPECT_FALSE(view->Hourglass());
    ASSERT_TRUE(WaitForRender(*view));
    const int n = view->RenderCount();
    frame->RunCommand(cmd::SizeUp);
    ASSERT_TRUE(Until([&] { return view->RenderCount() > n; }));
    EXPECT_EQ(view->Notice(), "サイズ大");
}

TEST_F(AppTest, NoPassRunsWhileASettingsDialogIsOpen) {
    Start();
    ASSERT_TRUE(WaitForRender(*view));
    const int n = view->RenderCount();
    {
        RenderSuspension suspended(*view);
        view->RefreshView();
        for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        EXPECT_EQ(view->RenderCount(), n);
    }
    EXPECT_TRUE(Until([&] { return view->RenderCount() > n; })) << "the held-back request runs afterwards";
}

TEST_F(AppTest, TimersWithNothingToDoAreOneShotAndQuiet) {
    Start();
    const DateTime t = view->Time().Current();
    // No tap-mark command, no picture, no description and no telescope control:
    // the one-shot timers of those find nothing to do.
    for (int id : {timer_id::kTrace, timer_id::kTapSave0, timer_id::kTapSave1,
                   timer_id::kPost2052, timer_id::kAddIn,
                   timer_id::kPicture, timer_id::kDescriptionEdit, timer_id::kNothing,
                   timer_id::kTapMenu, timer_id::kPost2056, timer_id::kTelescopeReminder}) {
        view->StartTimer(id, 100000);
        view->OnTimer(id);
        EXPECT_FALSE(view->TimerActive(id)) << "one-shot timer " << id << " is killed first";
    }
    EXPECT_EQ(view->Time().Current(), t);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(AppTest, MissingCatalogueAsksForAFileThenEndsTenSecondsLater) {
    store.WriteProfileString(kCatalogSection, kCatalogEntry, "/nonexistent/tavik.dat");
    Start();
    EXPECT_FALSE(app->Doc()->Loaded());
    EXPECT_TRUE(view->TimerActive(timer_id::kNoCatalogue));
    QSignalSpy exit(view, &CTavikView::exitRequested);
    view->OnTimer(timer_id::kNoCatalogue);
    EXPECT_EQ(prompts.messages,
              (QStringList{"info: データファイルを指定してください。",
                           "file: データファイルを指定してください。",
                           "info: プログラムを 10秒後に終了します。"}));
    EXPECT_TRUE(view->TimerActive(timer_id::kExit));
    view->OnTimer(timer_id::kExit);
    EXPECT_EQ(exit.count(), 1);
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(AppTest, MissingCatalogueRecoversWithTheChosenFile) {
    store.WriteProfileString(kCatalogSection, kCatalogEntry, "/nonexistent/tavik.dat");
    prompts.chosenFile = TAVIK_DATA_DIR "/tavik.dat";
    Start();
    view->OnTimer(timer_id::kNoCatalogue);
    EXPECT_TRUE(app->Doc()->Loaded());
    EXPECT_FALSE(view->TimerActive(timer_id::kExit));
    EXPECT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(store.GetProfileString(kCatalogSection, kCatalogEntry, ""),
              std::string(TAVIK_DATA_DIR "/tavik.dat"));
}

TEST_F(AppTest, MissingCatalogueIsAskedForInItsFolderAndAFileThatIsNoCatalogueIsRefused) {
    const QString expected = programDir.filePath("tavik.dat");
    store.WriteProfileString(kCatalogSection, kCatalogEntry, expected.toStdString());
    QFile junk(programDir.filePath("notes.dat"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a catalogue, only some text\n");
    junk.close();
    prompts.chosenFile = junk.fileName();
    Start();
    view->OnTimer(timer_id::kNoCatalogue);
    EXPECT_EQ(prompts.fileFilter, QString::fromUtf8("データ(*.dat)"));
    EXPECT_EQ(prompts.fileStart, expected) << "tavik.dat proposed where it was looked for";
    EXPECT_FALSE(app->Doc()->Loaded());
    EXPECT_EQ(app->Doc()->Catalog().Count(), 0u);
    const QString error = QString::fromStdString(app->Doc()->LastResult().catalog.error);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(prompts.messages.value(2), "error: " + error);
    EXPECT_EQ(prompts.messages.value(3), QString::fromUtf8("info: プログラムを 10秒後に終了します。"));
    EXPECT_EQ(store.GetProfileString(kCatalogSection, kCatalogEntry, ""), expected.toStdString()) << "not stored";
}

TEST_F(AppTest, CatalogueBesideTheProgramWinsOverTheStoredPath) {
    ASSERT_TRUE(QFile::copy(TAVIK_DATA_DIR "/tavik.dat", programDir.filePath("TavikM-1.dat")));
    store.WriteProfileString(kCatalogSection, kCatalogEntry, "/nonexistent/tavik.dat");
    Start();
    EXPECT_TRUE(app->Doc()->Loaded());
    EXPECT_EQ(QString::fromStdString(store.GetProfileString(kCatalogSection, kCatalogEntry, "")),
              programDir.filePath("TavikM-1.dat"));
}

TEST_F(AppTest, ApplyingASiteSavesItSetsTheClockToNowAndRedraws) {
    Start();
    ASSERT_TRUE(WaitForRender(*view));
    view->Time().SetCurrent(DateTime(2000, 1, 1, 0, 0, 0));
    ObservationSite cairo{"カイロ（エジプト）", 31, 18, 30, 6, 2};
    const int n = view->RenderCount();
    view->ApplySite(cairo);
    EXPECT_EQ(view->Time().Current(), clock.now);
    EXPECT_EQ(store.GetProfileInt("SETTING", "JISA", 0), 2);
    EXPECT_EQ(store.GetProfileString("LOCATION", "NAME", ""), "カイロ（エジプト）");
    EXPECT_TRUE(Until([&] { return view->RenderCount() > n; }));
}

TEST_F(AppTest, WholeApplicationOnTheBundledDataSavesAScreenshot) {
    Start();
    ASSERT_TRUE(WaitForRender(*view));
    const QImage sky = view->Image();
    // Stars and lines are drawn: many pixels differ from the background.
    int lit = 0;
    for (int y = 0; y < view->View().chartSize; y += 2) {
        for (int x = 0; x < sky.width(); x += 2) {
            if (qGray(sky.pixel(x, y)) > 150) ++lit;
        }
    }
    EXPECT_GT(lit, 20);
    QDir().mkpath(TAVIK_TEST_OUTPUT_DIR);
    const QString path = TAVIK_TEST_OUTPUT_DIR "/tavik-window.png";
    ASSERT_TRUE(frame->grab().save(path));
    EXPECT_TRUE(QFile::exists(path));
}

}  // namespace
}  // namespace tavik

namespace tavik {
namespace {

// The drawn point of the first hit whose designation ends with `designation`.
std::optional<QPoint> HitPoint(const CTavikView& view, const char* designation) {
    const auto hits = view.Hits();
    if (!hits) return std::nullopt;
    for (const HitEntry& e : hits->Entries()) {
        if (e.record && std::string(e.record->DesignationText()).find(designation) != std::string::npos)
            return QPoint(e.x, e.y);
    }
    return std::nullopt;
}

class TapWindowTest : public AppTest {
protected:
    // Telescope control on, with the simulated mount on a loopback port.
    void ControlMount(mountsim::PtyMount& mount) {
        std::string error;
        ASSERT_TRUE(mount.StartTcp(0, &error)) << error;
        store.WriteProfileString("TS", "DEVICE1", mount.Path());
        store.WriteProfileInt("TS", "COMPORT", 1);
        store.WriteProfileInt("OPTION3", "TS_CTRL", 1);
        // No altitude limit: the targets stand wherever the sky is at the hour the test runs.
        store.WriteProfileInt("TS", "ALT_LIMIT", -90);
    }

    // The mount under control, real-time updating on and the telescope's
    // long-press menu, the direction view towards the south.
    void StartWithTelescopeMenu(mountsim::PtyMount& mount) {
        ASSERT_NO_FATAL_FAILURE(ControlMount(mount));
        store.WriteProfileInt("SETTING", "MOVING", 1);
        store.WriteProfileInt("SETTING", "POPUP", 0);
        store.WriteProfileInt("SETTING", "POPUPTS", 1);
        StartFacingSouth();
    }

    // The direction view towards the south, on the fixed evening of the clock.
    void StartFacingSouth() {
        Start();
        frame->RunCommand(32934);
        frame->RunCommand(32798);
        frame->show();
        ASSERT_TRUE(WaitForRender(*view));
        ASSERT_TRUE(Until([&] { return !view->RenderPending() && view->PassesInFlight() == 0; }));
    }
};

TEST_F(TapWindowTest, ClickOnAStarWritesItsNameAndAHeldPressOpensTheChosenMenu) {
    StartFacingSouth();
    const auto sirius = HitPoint(*view, "Alp CMa");
    ASSERT_TRUE(sirius);
    const QImage before = view->grab().toImage();
    QTest::mouseClick(view, Qt::LeftButton, {}, *sirius + QPoint(-2, 1));
    ASSERT_TRUE(view->Input().TapHit() || view->Input().InfoShown());
    EXPECT_EQ(view->TapPoint(), *sirius);
    EXPECT_EQ(view->Input().LastTapText().second.value_or(""), "シリウス");
    EXPECT_EQ(view->Input().LastTapText().first.value_or(""), "おおいぬα -1.4等");
    // The text is on the window, to the lower right of the star.
    const QImage after = view->grab().toImage();
    int changed = 0;
    for (int y = sirius->y(); y < std::min(after.height(), sirius->y() + 30); ++y)
        for (int x = sirius->x(); x < std::min(after.width(), sirius->x() + 60); ++x)
            changed += before.pixel(x, y) != after.pixel(x, y);
    EXPECT_GT(changed, 20);

    // A press held for half a second: the display-settings menu (the default
    // choice) for Canis Major.
    ASSERT_EQ(store.GetProfileInt("SETTING", "POPUP", 0), 1);
    QTest::mousePress(view, Qt::LeftButton, {}, *sirius);
    ASSERT_TRUE(Until([&] { return view->Input().PopupMenu() != nullptr; }));
    QTest::mouseRelease(view, Qt::LeftButton, {}, *sirius);
    QStringList texts;
    for (QAction* a : view->Input().PopupMenu()->actions()) texts << a->text();
    EXPECT_TRUE(texts.contains("おおいぬ座のみを表示")) << texts.join(",").toStdString();
    EXPECT_TRUE(texts.contains("全ての恒星を表示"));
    view->Input().PopupMenu()->close();
}

TEST_F(TapWindowTest, EmptySkyTapsTurnThePlanisphereOnlyWhenAllowed) {
    StartFacingSouth();
    frame->RunCommand(32801);  // planisphere
    ASSERT_TRUE(WaitForRender(*view));
    const ViewState& v = view->View();
    const QPoint topMiddle(v.chartOffsetX + v.chartHalf, 10);
    const int facing = v.facing;
    QTest::mouseClick(view, Qt::LeftButton, {}, topMiddle);
    EXPECT_EQ(v.facing, facing) << "TAP/NODIR is 1 by default";
    frame->RunCommand(cmd::TapNoTurn);
    QTest::mouseClick(view, Qt::LeftButton, {}, topMiddle);
    EXPECT_EQ(v.facing, (facing + 2) % 4);
    EXPECT_EQ(store.GetProfileInt("SETTING", "DIRECT", -1), (facing + 2) % 4);
}

TEST_F(TapWindowTest, KeysStepTheViewAndQAsksBeforeEnding) {
    StartFacingSouth();
    const ViewState& v = view->View();
    const int turn = v.turnDegrees;
    // Cursor keys on, CURSOR/HANTEN at its default 1: Left turns left.
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ((turn - v.turnDegrees + 90) % 90, 10);
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(v.heightBand, HeightBand::High);
    QSignalSpy exit(view, &CTavikView::exitRequested);
    prompts.answer = false;
    QTest::keyClick(view, Qt::Key_Q);
    EXPECT_TRUE(prompts.messages.contains("ask: プログラムを終了しますか？"));
    EXPECT_TRUE(frame->isVisible());
    // The action-key mode command walks its texts.
    EXPECT_EQ(frame->ItemStateFor(cmd::ActionKeyMode).text, "アクションキーモードにする");
    frame->RunCommand(cmd::ActionKeyMode);
    EXPECT_EQ(frame->ItemStateFor(cmd::ActionKeyMode).text, "アクション左右＝＞上下移動に");
    frame->RunCommand(cmd::ActionKeyMode);
    EXPECT_EQ(frame->ItemStateFor(cmd::ActionKeyMode).text, "アクション上下＝＞左右移動に");
    frame->RunCommand(cmd::ActionKeyMode);
    EXPECT_EQ(store.GetProfileInt("CUR_SET", "ACTION_FUNC", -1), 0) << "2 only with a magnifier panel";
}

}  // namespace
}  // namespace tavik

namespace tavik {
namespace {

TEST_F(TapWindowTest, GotoFromATapSlewsTheMountAndTheTraceDrawsItOnTheTarget) {
    mountsim::MountOptions options;
    options.slewSeconds = 0.3;
    mountsim::PtyMount mount(options);
    store.WriteProfileInt("TS", "TRACE", 1);
    ASSERT_NO_FATAL_FAILURE(StartWithTelescopeMenu(mount));

    // In the planisphere the command is refused and nothing is sent.
    frame->RunCommand(32801);
    frame->RunCommand(cmd::GotoHere);
    EXPECT_TRUE(prompts.messages.contains("error: この画面では位置計算できません"));
    EXPECT_TRUE(mount.Commands().empty());
    frame->RunCommand(32801);
    ASSERT_TRUE(WaitForRender(*view));
    ASSERT_TRUE(Until([&] { return !view->RenderPending() && view->PassesInFlight() == 0; }));

    const auto rigel = HitPoint(*view, "Bet Ori");
    ASSERT_TRUE(rigel);
    QTest::mousePress(view, Qt::LeftButton, {}, *rigel);
    ASSERT_TRUE(Until([&] { return view->Input().PopupMenu() != nullptr; }));
    QTest::mouseRelease(view, Qt::LeftButton, {}, *rigel);
    QAction* gotoHere = nullptr;
    for (QAction* a : view->Input().PopupMenu()->actions())
        if (a->data().toInt() == cmd::GotoHere) gotoHere = a;
    ASSERT_NE(gotoHere, nullptr);
    EXPECT_EQ(gotoHere->text(), "ここを導入する");
    gotoHere->trigger();
    view->Input().PopupMenu()->close();

    // The target is Rigel's own position; the trace reads the mount until it is there.
    ASSERT_TRUE(Until([&] { return view->Telescope().TargetMark().has_value(); }, 10000)) << prompts.messages.join("|").toStdString();
    const StarRecord& r = *view->TappedRecord();
    EXPECT_DOUBLE_EQ(view->Telescope().TargetMark()->rightAscension, r.ra);
    EXPECT_DOUBLE_EQ(view->Telescope().TargetMark()->declination, r.dec);
    ASSERT_TRUE(Until(
        [&] {
            const auto& m = view->Telescope().ScopeMark();
            return m && std::abs(m->rightAscension - r.ra) < 0.002 && std::abs(m->declination - r.dec) < 0.002;
        },
        15000));
    bool slewed = false;
    for (const std::string& c : mount.Commands()) slewed = slewed || c == ":MS#";
    EXPECT_TRUE(slewed);
    // The goto's history line is on disk already, whole, with the window still open.
    QFile history(programDir.filePath("望遠鏡導入履歴.txt"));
    ASSERT_TRUE(history.open(QIODevice::ReadOnly));
    const std::string lines = history.readAll().toStdString();
    EXPECT_EQ(lines.find("Slew "), 0u) << lines;
    EXPECT_NE(lines.find(Utf8ToSjis("リゲル 赤経 ")), std::string::npos) << lines;
    EXPECT_EQ(lines.substr(lines.size() - 3), " \r\n");

    // A toolbar move while the trace runs: the trace ends cleanly, then the mount moves.
    ASSERT_TRUE(view->TimerActive(timer_id::kTrace) || view->Telescope().Exchange().Running());
    frame->RunCommand(cmd::ScopeLeft);
    auto sent = [&](const char* command) {
        const auto all = mount.Commands();
        return std::find(all.begin(), all.end(), command) != all.end();
    };
    EXPECT_TRUE(Until([&] { return sent(":Me#") && sent(":Qe#"); }, 5000));
    EXPECT_TRUE(Until([&] { return !view->Telescope().Exchange().Running() && !view->TimerActive(timer_id::kTrace); }, 5000));
    QTest::qWait(1200);  // where the old trace step would have read a closed line
    EXPECT_FALSE(prompts.messages.join("|").contains("開いていない")) << prompts.messages.join("|").toStdString();
}


// A held press at `at`, then the item of `command` in the pop-up menu it opens.
void ChooseFromLongPress(CTavikView& view, QPoint at, int command) {
    QTest::mousePress(&view, Qt::LeftButton, {}, at);
    ASSERT_TRUE(Until([&] { return view.Input().PopupMenu() != nullptr; }));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, at);
    QAction* item = nullptr;
    for (QAction* a : view.Input().PopupMenu()->actions())
        if (a->data().toInt() == command) item = a;
    ASSERT_NE(item, nullptr);
    item->trigger();
    view.Input().PopupMenu()->close();
}

// The J2000 right ascension and declination (radians) of the last :Sr/:Sd pair sent.
std::optional<std::pair<double, double>> SentTarget(const mountsim::PtyMount& mount) {
    int h = 0, m = 0, sec = 0, d = 0, dm = 0, ds = 0;
    char sign = '+';
    bool ra = false, dec = false;
    for (const std::string& c : mount.Commands()) {
        ra = ra || std::sscanf(c.c_str(), ":Sr %d:%d:%d#", &h, &m, &sec) == 3;
        dec = dec || std::sscanf(c.c_str(), ":Sd %c%d*%d*%d#", &sign, &d, &dm, &ds) == 4;
    }
    if (!ra || !dec) return std::nullopt;
    const double deg = std::numbers::pi / 180.0;
    return std::pair{(h + m / 60.0 + sec / 3600.0) * 15.0 * deg,
                     (sign == '-' ? -1 : 1) * (d + dm / 60.0 + ds / 3600.0) * deg};
}

// Minutes of arc between two positions in radians.
double ArcMinutesApart(double ra1, double dec1, double ra2, double dec2) {
    const double c = std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    return std::acos(std::clamp(c, -1.0, 1.0)) * 180 / std::numbers::pi * 60;
}

// An observer's night on a badly aligned mount, through the long-press menu:
// the goto to Rigel shows the telescope off the star, "ここで同期" asks and
// then tells the mount it is on Rigel (the marker comes onto the star, a Sync
// line goes to the history), and the next goto lands on Betelgeuse.
TEST_F(TapWindowTest, SyncFromTheLongPressMenuRemovesAPointingError) {
    mountsim::MountOptions options;
    options.slewSeconds = 0.2;
    options.pointingErrorRa = 30;
    options.pointingErrorDec = -20;
    mountsim::PtyMount mount(options);
    store.WriteProfileInt("TS", "TRACE", 1);
    ASSERT_NO_FATAL_FAILURE(StartWithTelescopeMenu(mount));
    const auto rigel = HitPoint(*view, "Bet Ori");
    const auto betelgeuse = HitPoint(*view, "Alp Ori");
    ASSERT_TRUE(rigel && betelgeuse);
    auto markOff = [&](const StarRecord& r) {
        const auto& m = view->Telescope().ScopeMark();
        return m ? ArcMinutesApart(m->rightAscension, m->declination, r.ra, r.dec) : 1e9;
    };
    auto idle = [&] { return !mount.Commands().empty() && !view->Telescope().Exchange().Running(); };

    ASSERT_NO_FATAL_FAILURE(ChooseFromLongPress(*view, *rigel, cmd::GotoHere));
    const StarRecord r = *view->TappedRecord();
    ASSERT_TRUE(Until([&] { return markOff(r) > 20 && markOff(r) < 50; }, 15000))
        << markOff(r) << prompts.messages.join("|").toStdString();

    // Not without a yes.
    prompts.answer = false;
    ASSERT_NO_FATAL_FAILURE(ChooseFromLongPress(*view, *rigel, cmd::SyncHere));
    const QString question = QString::fromUtf8("ask: リゲル に同期しますか？");
    ASSERT_TRUE(Until([&] { return prompts.messages.contains(question); })) << prompts.messages.join("|").toStdString();
    auto synced = [&] {
        const auto all = mount.Commands();
        return std::count(all.begin(), all.end(), ":CM#");
    };
    EXPECT_EQ(synced(), 0);
    prompts.answer = true;
    ASSERT_NO_FATAL_FAILURE(ChooseFromLongPress(*view, *rigel, cmd::SyncHere));
    ASSERT_TRUE(Until([&] { return synced() == 1 && idle(); }, 10000)) << prompts.messages.join("|").toStdString();
    EXPECT_LT(markOff(r), 1.5);  // read back to the precision of the replies
    EXPECT_EQ(view->Notice(), QString::fromUtf8("同期指示完了"));
    QFile history(programDir.filePath("望遠鏡導入履歴.txt"));
    ASSERT_TRUE(history.open(QIODevice::ReadOnly));
    EXPECT_NE(history.readAll().toStdString().find(Utf8ToSjis("\r\nSync ")), std::string::npos);

    ASSERT_NO_FATAL_FAILURE(ChooseFromLongPress(*view, *betelgeuse, cmd::GotoHere));
    const StarRecord b = *view->TappedRecord();
    ASSERT_TRUE(Until([&] { return markOff(b) < 1.5; }, 15000)) << markOff(b);
    mount.With([](mountsim::MountSimulator& m) {
        EXPECT_LT(ArcMinutesApart(m.ReportedRa() * std::numbers::pi / 180, m.ReportedDec() * std::numbers::pi / 180,
                                  m.TargetRa() * std::numbers::pi / 180, m.TargetDec() * std::numbers::pi / 180),
                  1.0);
    });
    EXPECT_FALSE(prompts.messages.join("|").contains("error")) << prompts.messages.join("|").toStdString();
}

TEST_F(TapWindowTest, GotoOfEmptySkySendsTheSkyUnderThePressAtTheMomentShown) {
    mountsim::MountOptions options;
    options.slewSeconds = 0.2;
    mountsim::PtyMount mount(options);
    store.WriteProfileInt("TS", "JNOW", 0);
    ASSERT_NO_FATAL_FAILURE(StartWithTelescopeMenu(mount));
    const auto rigel = HitPoint(*view, "Bet Ori");
    ASSERT_TRUE(rigel);
    // Empty sky a few pixels from the star: nothing drawn within six pixels.
    std::optional<QPoint> empty;
    for (int r = 7; r < 20 && !empty; ++r) {
        for (const QPoint d : {QPoint(r, 0), QPoint(-r, 0), QPoint(0, r), QPoint(0, -r)}) {
            const QPoint at = *rigel + d;
            bool clear = true;
            for (const HitEntry& e : view->Hits()->Entries())
                clear = clear && (std::abs(e.x - at.x()) > 6 || std::abs(e.y - at.y()) > 6);
            if (clear && !empty) empty = at;
        }
    }
    ASSERT_TRUE(empty);
    ASSERT_NO_FATAL_FAILURE(ChooseFromLongPress(*view, *empty, cmd::GotoHere));
    ASSERT_FALSE(view->TappedRecord().has_value());
    std::optional<std::pair<double, double>> sent;
    ASSERT_TRUE(Until([&] { return (sent = SentTarget(mount)).has_value(); }, 10000))
        << prompts.messages.join("|").toStdString();
    const StarRecord* star = nullptr;
    for (const HitEntry& e : view->Hits()->Entries())
        if (e.record && std::string(e.record->DesignationText()).find("Bet Ori") != std::string::npos) star = e.record;
    ASSERT_NE(star, nullptr);
    // A few pixels of a chart some ninety degrees wide: within a few degrees of the star.
    EXPECT_NEAR(std::remainder(sent->first - star->ra, 2 * std::numbers::pi), 0.0, 0.08);
    EXPECT_NEAR(sent->second, star->dec, 0.08);
}

// The altitude limit is judged for the moment of the goto (now, not the
// chart's moment): above Rigel's altitude now the goto asks first, and "いいえ"
// sends nothing; below it the goto goes without a question.
TEST_F(TapWindowTest, AGotoBelowTheAltitudeLimitAsksFirst) {
    mountsim::MountOptions options;
    options.slewSeconds = 0.1;
    mountsim::PtyMount mount(options);
    store.WriteProfileInt("TS", "TRACE", 0);
    // The test runs at any hour of the real clock: nothing is under -90°,
    // and everything is under 89° (Rigel never climbs that high here).
    store.WriteProfileInt("TS", "ALT_LIMIT", -90);
    ASSERT_NO_FATAL_FAILURE(StartWithTelescopeMenu(mount));
    const auto rigel = HitPoint(*view, "Bet Ori");
    ASSERT_TRUE(rigel);
    ASSERT_NO_FATAL_FAILURE(ChooseFromLongPress(*view, *rigel, cmd::GotoHere));  // finds the record
    ASSERT_TRUE(view->TappedRecord());
    auto slews = [&] {
        const auto all = mount.Commands();
        return std::count(all.begin(), all.end(), ":MS#");
    };
    const QString question = "ask: 地平線下です。導入しますか？";
    ASSERT_TRUE(Until([&] { return slews() == 1 && !view->Telescope().Exchange().Running(); }, 10000));
    ASSERT_EQ(prompts.messages.count(question), 0);

    store.WriteProfileInt("TS", "ALT_LIMIT", 89);
    prompts.answer = false;
    ASSERT_NO_FATAL_FAILURE(ChooseFromLongPress(*view, *rigel, cmd::GotoHere));
    EXPECT_TRUE(Until([&] { return prompts.messages.count(question) == 1; }));
    QTest::qWait(300);
    EXPECT_EQ(slews(), 1) << "nothing is sent after いいえ";

    prompts.answer = true;
    ASSERT_NO_FATAL_FAILURE(ChooseFromLongPress(*view, *rigel, cmd::GotoHere));
    EXPECT_TRUE(Until([&] { return slews() == 2; }, 10000)) << prompts.messages.join("|").toStdString();
    EXPECT_EQ(prompts.messages.count(question), 2);
    ASSERT_TRUE(Until([&] { return !view->Telescope().Exchange().Running(); }, 10000));

    // 天体検索's 導入 asks the same question once: Rigel and α Cru, both under
    // the limit.
    prompts.answer = false;
    for (const char* text : {"Rigel", "alf Cru"}) {
        SCOPED_TRACE(text);
        const int asked = prompts.messages.count(question);
        QApplication::setActiveWindow(frame);
        QTest::keyClick(frame, Qt::Key_F, Qt::ControlModifier);
        ASSERT_TRUE(Until([&] { return view->Search().Dialog() && view->Search().Dialog()->isVisible(); }));
        CObjectSearchDialog* dlg = view->Search().Dialog();
        QTest::keyClicks(dlg->Query(), text);
        ASSERT_FALSE(dlg->Results().empty());
        ASSERT_TRUE(dlg->GotoButton()->isEnabled());
        QTest::mouseClick(dlg->GotoButton(), Qt::LeftButton);
        EXPECT_TRUE(Until([&] { return view->Search().Dialog() == nullptr; }));
        QTest::qWait(300);
        EXPECT_EQ(prompts.messages.count(question), asked + 1) << prompts.messages.join("|").toStdString();
        EXPECT_EQ(slews(), 2) << "nothing is sent after いいえ";
    }
}

TEST_F(TapWindowTest, AGotoHistoryThatCannotBeWrittenIsSaidOnceAndTheGotosGoOn) {
    mountsim::MountOptions options;
    options.slewSeconds = 0.1;
    mountsim::PtyMount mount(options);
    store.WriteProfileInt("TS", "TRACE", 0);
    ASSERT_TRUE(QDir(programDir.path()).mkdir("望遠鏡導入履歴.txt"));  // a folder where the file should be
    ASSERT_NO_FATAL_FAILURE(StartWithTelescopeMenu(mount));
    const auto rigel = HitPoint(*view, "Bet Ori");
    ASSERT_TRUE(rigel);
    auto slews = [&] {
        const auto all = mount.Commands();
        return std::count(all.begin(), all.end(), ":MS#");
    };
    ASSERT_NO_FATAL_FAILURE(ChooseFromLongPress(*view, *rigel, cmd::GotoHere));
    ASSERT_TRUE(Until([&] { return slews() == 1 && !view->Telescope().Exchange().Running(); }, 10000));
    frame->RunCommand(cmd::GotoHere);
    ASSERT_TRUE(Until([&] { return slews() == 2 && !view->Telescope().Exchange().Running(); }, 10000));
    QTest::qWait(50);
    const QString said = "error: 望遠鏡導入履歴を書き込めませんでした: " + programDir.filePath("望遠鏡導入履歴.txt");
    EXPECT_EQ(prompts.messages.count(said), 1) << prompts.messages.join("|").toStdString();
}

// The planets are drawn among the stars in J2000, as the catalogue; a goto
// with JNOW on sends coordinates of date (precessed once), and the telescope
// marker read back sits on the planet's dot.
TEST_F(TapWindowTest, AfterAGotoToAPlanetTheTelescopeMarkerSitsOnIt) {
    mountsim::MountOptions options;
    options.slewSeconds = 0.2;
    options.highPrecision = true;
    mountsim::PtyMount mount(options);
    store.WriteProfileInt("TS", "TRACE", 1);
    store.WriteProfileInt("OPTION2", "AUTO_ENTER", 1);
    ASSERT_NO_FATAL_FAILURE(StartWithTelescopeMenu(mount));

    // Jupiter at the clock's moment, as the engine gives it (of date).
    const ObservationSite site = ReadCurrentSite(store);
    const DateTime ut = ToUniversalTime(clock.now, site.zoneOffsetHours);
    std::array<double, kPlanetCount> ra{}, dec{};
    PlanetsEquatorial(ut, ra, dec);
    const Spherical ofDate{ra[kPlaceholderJupiter], dec[kPlaceholderJupiter]};
    const double lst = LocalSiderealTime(clock.now, site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes);
    const Spherical hz = EquatorialToHorizontal(ofDate.lon, ofDate.lat, site.LatitudeDegrees() * kDegToRad, lst);

    // The magnified view at zoom 100 (44 pixels a degree) centred on it, set
    // in the navigator's boxes.
    frame->RunCommand(32860);
    frame->RunCommand(32862);
    CMagnifierPanel* panel = view->Magnifier().Panel();
    ASSERT_NE(panel, nullptr);
    const auto enter = [&](int control, int value) {
        QSpinBox* box = panel->Spin(control);
        box->setFocus();
        box->findChild<QLineEdit*>()->selectAll();
        QTest::keyClicks(box, QString::number(value));
        QTest::keyClick(box, Qt::Key_Return);
    };
    enter(MagnifierControl::Zoom, 100);
    enter(MagnifierControl::Altitude, static_cast<int>(std::lround(hz.lat * kRadToDeg)));
    enter(MagnifierControl::Heading, static_cast<int>(std::lround(hz.lon * kRadToDeg + 180)) % 360);
    ASSERT_EQ(panel->Framing().zoom, 100);
    ASSERT_TRUE(WaitForRender(*view));
    ASSERT_TRUE(Until([&] { return !view->RenderPending() && view->PassesInFlight() == 0; }));

    std::optional<QPoint> jupiter;
    for (const HitEntry& e : view->Hits()->Entries())
        if (e.record && e.record->kind == SolarPlaceholderKind(kPlaceholderJupiter)) jupiter = QPoint(e.x, e.y);
    ASSERT_TRUE(jupiter) << "Jupiter is not on the chart";
    // Where the pass puts a sky position (the telescope markers' placing): the
    // view's framing on the drawn image at the moment's sidereal time.
    ViewState pass = view->View();
    UpdateChartGeometry(pass, view->Image().width(), view->Image().height());
    pass.localSiderealTime = lst;
    pass.latitude = LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes);
    RefreshViewState(pass);
    const auto onChart = [&](double ra, double dec) { return ProjectEquatorial(pass, ra, dec, true); };
    // Drawn at its J2000 place, where the stars of the catalogue are.
    const Spherical j2000 = DateToJ2000(ofDate, ut);
    const ProjectedPoint place = onChart(j2000.lon, j2000.lat);
    EXPECT_LE(std::abs(place.x - jupiter->x()), 1);
    EXPECT_LE(std::abs(place.y - jupiter->y()), 1);

    ASSERT_NO_FATAL_FAILURE(ChooseFromLongPress(*view, *jupiter, cmd::GotoHere));
    std::optional<std::pair<double, double>> sent;
    ASSERT_TRUE(Until([&] { return (sent = SentTarget(mount)).has_value(); }, 10000))
        << prompts.messages.join("|").toStdString();
    // Precessed once, to the equinox of the mount's clock (the computer's).
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    const double equinox = JulianCenturies(
        DateTime(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec));
    const Spherical expected = J2000ToDate(j2000.lon, j2000.lat, equinox);
    EXPECT_NEAR(std::remainder(sent->first - expected.lon, 2 * std::numbers::pi), 0.0, 5e-5);  // 1 s of time
    EXPECT_NEAR(sent->second, expected.lat, 1e-5);

    // The trace reads the mount on the planet: its marker on Jupiter's dot.
    std::optional<ProjectedPoint> marker;
    ASSERT_TRUE(Until(
        [&] {
            const auto& m = view->Telescope().ScopeMark();
            if (!m) return false;
            marker = onChart(m->rightAscension, m->declination);
            return std::abs(marker->x - jupiter->x()) <= 3 && std::abs(marker->y - jupiter->y()) <= 3;
        },
        15000));
    QTest::qWait(300);  // one more trace step, the mount at rest
    const auto& m = view->Telescope().ScopeMark();
    marker = onChart(m->rightAscension, m->declination);
    EXPECT_LE(std::abs(marker->x - jupiter->x()), 1);
    EXPECT_LE(std::abs(marker->y - jupiter->y()), 1);
}

TEST_F(TapWindowTest, TheWindowPaintsAndTakesKeysWhileASilentMountKeepsAGotoWaiting) {
    mountsim::MountOptions options;
    options.replies["GR"] = std::nullopt;  // the position is never answered
    mountsim::PtyMount mount(options);
    ASSERT_NO_FATAL_FAILURE(StartWithTelescopeMenu(mount));
    const auto rigel = HitPoint(*view, "Bet Ori");
    ASSERT_TRUE(rigel);
    ASSERT_NO_FATAL_FAILURE(ChooseFromLongPress(*view, *rigel, cmd::GotoHere));
    ASSERT_TRUE(Until([&] { return !mount.Commands().empty(); }));
    ASSERT_TRUE(view->Telescope().Exchange().Running());
    // Mid-wait: a key turns the view and the chart is drawn and painted again.
    const int turn = view->View().turnDegrees;
    const int renders = view->RenderCount(), paints = view->PaintCount();
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_NE(view->View().turnDegrees, turn);
    EXPECT_TRUE(Until([&] { return view->RenderCount() > renders && view->PaintCount() > paints; }));
    EXPECT_TRUE(view->Telescope().Exchange().Running()) << "the mount's five seconds have not passed";
    // Another telescope command meanwhile is not run into the half-done exchange.
    frame->RunCommand(cmd::TelescopePosition);
    // The window closes in the middle of the wait: the exchange ends at once.
    app.reset();
    EXPECT_FALSE(prompts.messages.contains("error: 応答しません"));
}

TEST_F(TapWindowTest, AutoUpdateRedrawsWhileShownWhateverHasTheFocusButNotWhenMinimised) {
    store.WriteProfileInt("SETTING", "MOVING", 1);
    StartFacingSouth();
    QWidget other;  // another program's window has the focus
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_FALSE(frame->isActiveWindow());
    int renders = view->RenderCount();
    view->OnTimer(timer_id::kAutoUpdate);
    EXPECT_TRUE(Until([&] { return view->RenderCount() > renders; }));
    frame->showMinimized();
    ASSERT_TRUE(Until([&] { return !view->RenderPending() && view->PassesInFlight() == 0; }));
    renders = view->RenderCount();
    view->OnTimer(timer_id::kAutoUpdate);
    QTest::qWait(100);
    EXPECT_EQ(view->RenderCount(), renders);
}

TEST_F(TapWindowTest, MagnifierPanelKeepsItsKeysRepeatsHeldArrowsAndLeavesTheChartInSight) {
    store.WriteProfileInt("OPTION2", "AUTO_ENTER", 1);
    StartFacingSouth();
    frame->RunCommand(32860);  // the magnified view
    frame->RunCommand(32862);  // its navigator
    CMagnifierPanel* panel = view->Magnifier().Panel();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->isVisible());
    ASSERT_TRUE(WaitForRender(*view));
    // The chart lies beside the panel: its date corner and its centre are in sight.
    EXPECT_EQ(view->ChartArea().width(), view->width() - panel->width());
    EXPECT_EQ(view->View().chartOffsetX + view->View().chartHalf, view->ChartArea().width() / 2);
    EXPECT_EQ(view->Image().width(), view->DeviceArea().width());

    // Enter and Escape in a box are the box's: no action-key menu.
    QSpinBox* zoom = panel->Spin(MagnifierControl::Zoom);
    zoom->setFocus();
    zoom->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(zoom, "30");
    QTest::keyClick(zoom, Qt::Key_Return);
    EXPECT_EQ(panel->Framing().zoom, 30);
    QTest::keyClick(zoom, Qt::Key_Escape);
    EXPECT_EQ(view->Input().PopupMenu(), nullptr);
    EXPECT_TRUE(view->hasFocus()) << "Escape leaves the box for the chart";

    // A held arrow repeats, with the view drawn at each step.
    QSpinBox* altitude = panel->Spin(MagnifierControl::Altitude);
    altitude->setFocus();
    const int start = altitude->value();
    QStyleOptionSpinBox option;
    option.initFrom(altitude);
    option.subControls = QStyle::SC_SpinBoxUp;
    const QPoint up = altitude->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, altitude).center();
    const int renders = view->RenderCount();
    QTest::mousePress(altitude, Qt::LeftButton, {}, up);
    Until([&] { return altitude->value() >= start + 3 * altitude->singleStep(); }, 3000);
    QTest::mouseRelease(altitude, Qt::LeftButton, {}, up);
    EXPECT_GE(altitude->value(), start + 3) << "held, not one step";
    EXPECT_TRUE(Until([&] { return view->RenderCount() > renders + 1; }));

    // Leaving the magnified view with the focus in the panel: the keys work on the chart.
    altitude->setFocus();
    frame->RunCommand(32860);
    ASSERT_TRUE(Until([&] { return view->Magnifier().Panel() == nullptr; }));
    EXPECT_TRUE(view->hasFocus());
    const int turn = view->View().turnDegrees;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_NE(view->View().turnDegrees, turn);
    EXPECT_EQ(view->ChartArea(), view->size());
}

// One notch of a mouse wheel at `at`, as the window system delivers it.
void Wheel(QWidget* w, QPoint at, int notches) {
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

void Drag(QWidget* w, QPoint from, QPoint to) {
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    for (int i = 1; i <= 10; ++i) QTest::mouseMove(w, from + (to - from) * i / 10, 5);
    QTest::mouseRelease(w, Qt::LeftButton, {}, to);
}

TEST_F(TapWindowTest, WheelZoomsDragTurnsTheSkyAndNeitherIsATapWhileATouchStillPressesAndHolds) {
    StartFacingSouth();
    const ViewState& v = view->View();
    const QPoint centre(v.clientWidth / 2, v.chartHalf);
    // The direction view: a sideways drag turns it (the sky follows the pointer), no tap.
    const int before = v.facing * 90 + v.turnDegrees;
    Drag(view, centre, centre + QPoint(80, 0));
    const int after = v.facing * 90 + v.turnDegrees;
    EXPECT_LT((after - before + 360) % 360, 360 - 5) << "turned towards the east";
    EXPECT_GT((after - before + 360) % 360, 180);
    EXPECT_FALSE(view->Input().InfoShown());
    QTest::qWait(600);
    EXPECT_EQ(view->Input().PopupMenu(), nullptr) << "a drag is no long press";

    // Wheel up enters the magnified view at the pointer; then it zooms around it.
    Wheel(view, centre, 1);
    ASSERT_EQ(v.viewMode, ViewMode::Magnified);
    ASSERT_TRUE(WaitForRender(*view));
    const QPoint centreNow(v.clientWidth / 2, v.chartHalf);
    // Out to the widest field.
    Wheel(view, centreNow, -60);
    EXPECT_EQ(v.magnifier.zoom, 30);
    const MagnifierFraming m0 = v.magnifier;
    Wheel(view, centreNow, 1);
    EXPECT_GT(v.magnifier.zoom, m0.zoom);
    EXPECT_NEAR(v.magnifier.heading, m0.heading, 1e-6) << "at the centre only the zoom changes";
    EXPECT_NEAR(v.magnifier.altitude, m0.altitude, 1e-6);
    const MagnifierFraming m1 = v.magnifier;
    Wheel(view, centreNow + QPoint(v.chartHalf / 2, 0), 3);  // right of the centre: towards the west
    EXPECT_GT(v.magnifier.zoom, m1.zoom);
    EXPECT_GT(std::fmod(v.magnifier.heading - m1.heading + 360, 360), 0);
    EXPECT_LT(std::fmod(v.magnifier.heading - m1.heading + 360, 360), 90);
    if (view->Magnifier().Panel()) EXPECT_EQ(view->Magnifier().Panel()->Framing().zoom, v.magnifier.zoom);
    // A drag moves the sky with the pointer: right turns east, down raises the view.
    const MagnifierFraming m2 = v.magnifier;
    Drag(view, centreNow, centreNow + QPoint(60, 40));
    EXPECT_GT(std::fmod(m2.heading - v.magnifier.heading + 360, 360), 0);
    EXPECT_LT(std::fmod(m2.heading - v.magnifier.heading + 360, 360), 90);
    EXPECT_GT(v.magnifier.altitude, m2.altitude);
    EXPECT_FALSE(view->Input().InfoShown());

    // A finger held still opens the long-press menu, as the mouse does.
    frame->RunCommand(32860);  // back to the direction view
    ASSERT_TRUE(WaitForRender(*view));
    const std::unique_ptr<QPointingDevice> touch(QTest::createTouchDevice());  // the test's to delete
    const QPoint c(v.clientWidth / 2, v.chartHalf);
    QTest::touchEvent(view, touch.get()).press(0, c);
    EXPECT_TRUE(Until([&] { return view->Input().PopupMenu() != nullptr; }, 2000));
    QTest::touchEvent(view, touch.get()).release(0, c);
    if (view->Input().PopupMenu()) view->Input().PopupMenu()->close();

    // Two fingers spread apart: the magnified view zooms in, as the wheel does.
    frame->RunCommand(32860);
    ASSERT_TRUE(WaitForRender(*view));
    const int zoom = v.magnifier.zoom;
    QTest::touchEvent(view, touch.get()).press(0, c - QPoint(20, 0)).press(1, c + QPoint(20, 0));
    for (int i = 1; i <= 10; ++i) {
        QTest::touchEvent(view, touch.get()).move(0, c - QPoint(20 + 8 * i, 0)).move(1, c + QPoint(20 + 8 * i, 0));
        QCoreApplication::processEvents();
    }
    QTest::touchEvent(view, touch.get()).release(0, c - QPoint(100, 0)).release(1, c + QPoint(100, 0));
    EXPECT_GT(v.magnifier.zoom, zoom);
}

// Where the pointer is in the magnified view, the sky point pressed stays:
// through a whole drag at any altitude and zoom, over the zenith without
// turning round, and under the wheel. The navigator is shown, so the chart
// beside it is taller than wide: the sky fills it, centred in it.
TEST_F(TapWindowTest, TheMagnifiedSkyStaysUnderThePointerAndFillsTheChartBesideThePanel) {
    StartFacingSouth();
    frame->RunCommand(32860);  // the magnified view
    frame->RunCommand(32862);  // its navigator
    CMagnifierPanel* panel = view->Magnifier().Panel();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(WaitForRender(*view));
    ASSERT_TRUE(Until([&] { return !view->RenderPending() && view->PassesInFlight() == 0; }));
    const ViewState& v = view->View();
    ASSERT_GT(v.clientHeight, v.clientWidth) << "the chart beside the panel is taller than wide";
    const ProjectedPoint centre =
        ProjectSky(v, (v.magnifier.heading - 180) * std::numbers::pi / 180, v.magnifier.altitude * std::numbers::pi / 180, false);
    EXPECT_NEAR(centre.x, v.clientWidth / 2, 1);
    EXPECT_NEAR(centre.y, v.clientHeight / 2, 1) << "centred in the chart";
    // Below the chart square the sky goes on: no ground colour there.
    ColorTable colors;
    colors.Load(store);
    const QRgb ground = ToQRgb(MapSkyColor(colors[slot::kBackground], ColorModes::Load(store)));
    const QImage image = view->Image();
    int grounds = 0;
    for (int y = v.chartSize; y < v.clientHeight; ++y)
        for (int x = 0; x < v.clientWidth; ++x) grounds += image.pixel(x, y) == ground;
    EXPECT_EQ(grounds, 0);

    const QPoint mid(v.clientWidth / 2, v.clientHeight / 2);
    // Drags the pointer from `from` by `by` in ten moves; after each one the
    // sky point first pressed is under it, within 5 % of the drag's length.
    auto drag = [&](double altitude, int zoom, QPoint from, QPoint by) {
        view->Magnifier().SetFraming({true, 170.0, altitude, zoom});
        ViewState at = v;
        const ChartOffset d = OffsetFromCentre(at, from.x(), from.y());
        const Spherical sky = HorizontalAt(at, d.dx, d.dy);
        QTest::mousePress(view, Qt::LeftButton, {}, from);
        double worst = 0;
        for (int i = 1; i <= 10; ++i) {
            const QPoint to = from + by * i / 10;
            QTest::mouseMove(view, to, 5);
            const ProjectedPoint p = ProjectSky(v, sky.lon, sky.lat, false);
            worst = std::max(worst, std::hypot(p.x - to.x(), p.y - to.y()) / std::hypot(by.x(), by.y()));
        }
        QTest::mouseRelease(view, Qt::LeftButton, {}, from + by);
        return worst;
    };
    // (A point at 80 degrees cannot lie 15 degrees to the side of any centre:
    // sideways there only where the field is narrower.)
    for (const int zoom : {30, 100, 900}) {
        SCOPED_TRACE(zoom);
        EXPECT_LT(drag(45, zoom, mid, QPoint(200, 80)), 0.05);
        EXPECT_LT(drag(80, zoom, mid, zoom > 30 ? QPoint(150, 0) : QPoint(60, -150)), 0.05);
        EXPECT_LT(drag(88.5, zoom, mid + QPoint(-100, 60), QPoint(150, -120)), 0.05);
        EXPECT_LT(drag(0, zoom, mid + QPoint(50, -50), QPoint(-120, 100)), 0.05);
        EXPECT_LT(drag(20, zoom, mid + QPoint(-150, -120), QPoint(220, 200)), 0.05);
    }
    // At zoom 900 a drag of 150 pixels moves the view by a fraction of a degree;
    // the boxes show whole degrees.
    drag(45, 900, mid, QPoint(150, 0));
    EXPECT_GT(std::abs(v.magnifier.heading - 170.0), 0.1);
    EXPECT_LT(std::abs(v.magnifier.heading - 170.0), 1.0);
    EXPECT_EQ(panel->Spin(MagnifierControl::Heading)->value(), static_cast<int>(std::lround(v.magnifier.heading)));

    // At 80 degrees the zenith is in sight above the centre: a drag down from
    // about it takes the view to its top and no step turns it round (near
    // the zenith a step aside turns the view fast, never half round).
    for (const int above : {0, 60, 80, 100, 120, 140}) {
        SCOPED_TRACE(above);
        const QPoint from = mid - QPoint(0, above);
        view->Magnifier().SetFraming({true, 170.0, 80.0, 30});
        QTest::mousePress(view, Qt::LeftButton, {}, from);
        double altitude = v.magnifier.altitude, heading = v.magnifier.heading;
        for (int i = 1; i <= 10; ++i) {
            QTest::mouseMove(view, from + QPoint(3 * i, 42 * i), 5);
            EXPECT_GE(v.magnifier.altitude, altitude - 1e-9) << i;
            EXPECT_LT(std::abs(std::remainder(v.magnifier.heading - heading, 360.0)), 90.0) << i;
            altitude = v.magnifier.altitude;
            heading = v.magnifier.heading;
        }
        QTest::mouseRelease(view, Qt::LeftButton, {}, from + QPoint(30, 420));
        EXPECT_NEAR(v.magnifier.altitude, 89.0, 1e-9);
        EXPECT_LT(std::abs(std::remainder(v.magnifier.heading - 170.0, 360.0)), 120.0) << "not turned round";
    }

    // Three wheel steps off the centre keep the sky point under the pointer.
    view->Magnifier().SetFraming({true, 170.0, 45.0, 50});
    const QPoint pointer = mid + QPoint(120, -90);
    const ChartOffset d = OffsetFromCentre(v, pointer.x(), pointer.y());
    const Spherical sky = HorizontalAt(v, d.dx, d.dy);
    Wheel(view, pointer, 3);
    EXPECT_EQ(v.magnifier.zoom, 66);
    const ProjectedPoint p = ProjectSky(v, sky.lon, sky.lat, false);
    EXPECT_LE(std::hypot(p.x - pointer.x(), p.y - pointer.y()), 2.0);

    // Fractions are the window's own: the store keeps whole degrees.
    view->Magnifier().SetFraming({true, 100.6, 33.7, 120});
    app.reset();
    EXPECT_EQ(store.GetProfileInt("SUPERZOOMSAVE", "HEIGHT", 0), 34);
    EXPECT_EQ(store.GetProfileInt("SUPERZOOMSAVE", "DIRECT", 0) * 90 + store.GetProfileInt("SUPERZOOMSAVE", "DIRECTS", 0), 10);
}

// Red mode with the navigator open: the panel keeps its width (a narrower
// one left a strip of the old panel on the screen).
TEST_F(TapWindowTest, RedModeKeepsTheNavigatorsWidth) {
    StartFacingSouth();
    frame->RunCommand(32860);
    frame->RunCommand(32862);
    CMagnifierPanel* panel = view->Magnifier().Panel();
    ASSERT_NE(panel, nullptr);
    const int width = panel->width();
    frame->RunCommand(cmd::RedMode);
    QCoreApplication::processEvents();
    EXPECT_EQ(panel->width(), width);
    EXPECT_EQ(panel->geometry().right(), view->width() - 1);
    EXPECT_EQ(view->ChartArea().width(), view->width() - width);
    frame->RunCommand(cmd::RedMode);
    QCoreApplication::processEvents();
    EXPECT_EQ(panel->width(), width);
}

TEST_F(TapWindowTest, AQuestionFromAProgramMarkEndsThePress) {
    store.WriteProfileInt("TAPREG", "ENABLE", 1);
    StartFacingSouth();
    const auto rigel = HitPoint(*view, "Bet Ori");
    ASSERT_TRUE(rigel);
    const StarRecord star = *std::find_if(view->Hits()->Entries().begin(), view->Hits()->Entries().end(),
                                          [&](const HitEntry& e) { return QPoint(e.x, e.y) == *rigel; })
                                 ->record;
    // A program mark a little way from the star.
    app->Doc()->Catalog().AppendTapMark(
        MakeTapMark({star.ra + 0.05, star.dec}, 1, {kTapProgram, "p", "/nonexistent/program"}));
    ASSERT_TRUE(WaitForRender(*view));
    std::optional<QPoint> mark;
    for (const HitEntry& e : view->Hits()->Entries())
        if (e.record && e.record->IsTapMark()) mark = QPoint(e.x, e.y);
    ASSERT_TRUE(mark);
    prompts.answer = false;
    QTest::mousePress(view, Qt::LeftButton, {}, *mark);
    ASSERT_TRUE(prompts.messages.contains("ask: プログラムを実行しますか？"));
    QTest::qWait(700);  // longer than a long press
    EXPECT_EQ(view->Input().PopupMenu(), nullptr) << "the question took the press";
    QTest::mouseRelease(view, Qt::LeftButton, {}, *mark);
    EXPECT_EQ(view->Input().PopupMenu(), nullptr);
}

// What a command can change that a user would see or the program would keep.
struct Observed {
    bool enabled = false, checked = false;
    std::string text;
    QString notice;
    int renders = 0;
    bool renderPending = false;
    qsizetype prompts = 0;
    qsizetype dialogs = 0;
    int menuRequests = 0;
    bool popupShown = false;
    std::size_t writes = 0;
    std::size_t mountCommands = 0;
    std::vector<int> timers, bar, strip;
    bool fullScreen = false, visible = false;
};

// The item of command `id` in `menu` or its sub-menus.
QAction* FindItem(const QMenu& menu, int id) {
    for (QAction* a : menu.actions()) {
        if (a->menu()) {
            if (QAction* inner = FindItem(*a->menu(), id)) return inner;
        } else if (a->data().toInt() == id) {
            return a;
        }
    }
    return nullptr;
}

// What differs from `a` to `b`, by name; a timer that ran out on its own is
// not a change.
std::string Changes(const Observed& a, const Observed& b) {
    std::string out;
    auto note = [&out](bool differs, const char* name) {
        if (differs) out += std::string(out.empty() ? "" : ",") + name;
    };
    note(a.enabled != b.enabled || a.checked != b.checked || a.text != b.text, "item");
    note(a.notice != b.notice, "notice");
    note(a.renders != b.renders || a.renderPending != b.renderPending, "render");
    note(a.prompts != b.prompts, "prompt");
    note(a.dialogs != b.dialogs, "dialog");
    note(a.menuRequests != b.menuRequests || a.popupShown != b.popupShown, "menu");
    note(a.writes != b.writes, "store");
    note(a.mountCommands != b.mountCommands, "mount");
    note(!std::includes(a.timers.begin(), a.timers.end(), b.timers.begin(), b.timers.end()), "timer");
    note(a.bar != b.bar || a.strip != b.strip, "toolbar");
    note(a.fullScreen != b.fullScreen || a.visible != b.visible, "window");
    return out;
}

// Every command of the table through the real frame: it has a place (a menu,
// a toolbar, menu 164, a pop-up menu or a key), its action shows the state its
// rule gives, and triggering it changes what its rule reads or something the
// user sees (a notice, a repaint, a dialog, a menu, a command to the mount).
// "天体検索" on the real window: Ctrl+F opens it, the list follows the typing,
// Up and Down move in it from the text box, Enter centres the chosen object
// in the magnified view with its mark (below the horizon the view looks at
// the horizon under it and says so); the search is remembered, and a tap
// takes the mark away.
TEST_F(TapWindowTest, ObjectSearchCentresTheTypedObjectWithAMarkUntilTheNextTap) {
    StartFacingSouth();
    QApplication::setActiveWindow(frame);
    auto openSearch = [&]() -> CObjectSearchDialog* {
        QApplication::setActiveWindow(frame);  // as the window manager gives it back
        QTest::keyClick(frame, Qt::Key_F, Qt::ControlModifier);
        Until([&] { return view->Search().Dialog() && view->Search().Dialog()->isVisible(); });
        return view->Search().Dialog();
    };
    auto settled = [&] {
        return WaitForRender(*view) && Until([&] { return !view->RenderPending() && view->PassesInFlight() == 0; });
    };
    CObjectSearchDialog* dlg = openSearch();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), "天体検索");
    EXPECT_TRUE(Until([&] { return dlg->Query()->hasFocus(); })) << "typing goes to the text box";
    EXPECT_FALSE(dlg->GotoButton()->isEnabled()) << "telescope control is off";
    QTest::keyClicks(dlg->Query(), "zzq@#");
    EXPECT_EQ(dlg->List()->count(), 0);
    EXPECT_EQ(dlg->Status()->text(), "見つかりません");
    dlg->Query()->clear();

    // "M4": M4 first, then M40...; Down and Up move the current line.
    QTest::keyClicks(dlg->Query(), "M4");
    ASSERT_GE(dlg->List()->count(), 3);
    EXPECT_EQ(dlg->Results()[0].object.designation, "M4");
    EXPECT_EQ(dlg->List()->item(0)->text().toStdString(), dlg->Results()[0].ListText());
    EXPECT_EQ(dlg->List()->currentRow(), 0);
    QTest::keyClick(dlg->Query(), Qt::Key_Down);
    QTest::keyClick(dlg->Query(), Qt::Key_Down);
    QTest::keyClick(dlg->Query(), Qt::Key_Up);
    EXPECT_EQ(dlg->List()->currentRow(), 1);
    EXPECT_TRUE(dlg->Query()->hasFocus());
    QTest::keyClick(dlg->Query(), Qt::Key_Up);
    // M4 stands far below the horizon on this January evening.
    QTest::keyClick(dlg->Query(), Qt::Key_Return);
    EXPECT_EQ(view->Notice(), "地平線下です");
    EXPECT_TRUE(Until([&] { return view->Search().Dialog() == nullptr; }));
    ASSERT_TRUE(settled());
    const ViewState& v = view->View();
    EXPECT_EQ(v.viewMode, ViewMode::Magnified);
    ASSERT_TRUE(view->Search().Mark());
    // The view as drawn, at the moment and site shown.
    auto shown = [&] {
        const ObservationSite site = view->Settings().site;
        ViewState s = v;
        s.localSiderealTime = LocalSiderealTime(view->Time().Current(), site.zoneOffsetHours, site.longitudeDegrees,
                                                site.longitudeMinutes);
        s.latitude = LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes);
        return s;
    };
    const SkyPosition m4 = *view->Search().Mark();
    const Spherical below =
        EquatorialToHorizontal(m4.rightAscension, m4.declination, shown().latitude, shown().localSiderealTime);
    EXPECT_LT(below.lat, 0.0);
    EXPECT_EQ(v.magnifier.altitude, 0.0) << "looking at the horizon under it";
    EXPECT_NEAR(std::remainder(v.magnifier.heading - (below.lon * 180 / std::numbers::pi + 180), 360.0), 0.0, 0.01);
    EXPECT_EQ(store.GetProfileString("SEARCH", "HISTORY1", ""), "M4");

    // Again, the view looking up towards the north: the empty box offers the
    // last search; "M42", in the south, is centred, not looked at over the zenith.
    view->Magnifier().SetFraming({true, 180.0, 89.0, 50});
    dlg = openSearch();
    ASSERT_NE(dlg, nullptr);
    ASSERT_EQ(dlg->List()->count(), 1);
    EXPECT_EQ(dlg->List()->item(0)->text(), "M4");
    QTest::keyClicks(dlg->Query(), "M42");
    ASSERT_FALSE(dlg->Results().empty());
    EXPECT_EQ(dlg->Results()[0].object.designation, "M42");
    const std::string name = dlg->Results()[0].object.name;
    QTest::keyClick(dlg->Query(), Qt::Key_Return);
    EXPECT_EQ(view->Notice().toStdString(), "M42 " + name);
    EXPECT_TRUE(Until([&] { return view->Search().Dialog() == nullptr; }));
    ASSERT_TRUE(settled());
    ASSERT_TRUE(view->Search().Mark());
    const SkyPosition m42 = *view->Search().Mark();
    const ProjectedPoint at = ProjectEquatorial(shown(), m42.rightAscension, m42.declination, false);
    const QPoint centre(v.clientWidth / 2, v.clientHeight / 2);
    EXPECT_NEAR(at.x, centre.x(), 1.5);
    EXPECT_NEAR(at.y, centre.y(), 1.5);
    EXPECT_EQ(store.GetProfileString("SEARCH", "HISTORY1", ""), "M42");
    EXPECT_EQ(store.GetProfileString("SEARCH", "HISTORY2", ""), "M4");

    // The mark's four ticks around the centre, in the colour of the chart's text.
    const QRgb mark = ToQColor(TextColor(ColorModes::Load(store))).rgb();
    auto ticks = [&] {
        const QImage shot = view->grab().toImage();
        int n = 0;
        for (const QPoint d : {QPoint(11, 0), QPoint(-11, 0), QPoint(0, 11), QPoint(0, -11)})
            n += shot.pixel(centre + d) == mark;
        return n;
    };
    EXPECT_EQ(ticks(), 4);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_FALSE(view->Search().Mark());
    EXPECT_LT(ticks(), 4);
}

TEST_F(TapWindowTest, EveryCommandHasAPlaceShowsItsRuleAndDoesSomething) {
    mountsim::MountOptions options;
    options.slewSeconds = 0.1;
    mountsim::PtyMount mount(options);
    ASSERT_NO_FATAL_FAILURE(ControlMount(mount));
    store.WriteProfileString("SPEECH", "COMMAND", "true");
    StartFacingSouth();
    // A held press on Rigel: the object and the constellation the pop-up
    // commands act on.
    const auto rigel = HitPoint(*view, "Bet Ori");
    ASSERT_TRUE(rigel);
    QTest::mousePress(view, Qt::LeftButton, {}, *rigel);
    ASSERT_TRUE(Until([&] { return view->Input().PopupMenu() != nullptr; }));
    QTest::mouseRelease(view, Qt::LeftButton, {}, *rigel);
    view->Input().PopupMenu()->close();
    // The magnified view, so that the panel's commands are there too.
    frame->RunCommand(ViewCommand::Magnified);
    ASSERT_TRUE(WaitForRender(*view));
    ASSERT_NE(view->Magnifier().Panel(), nullptr);

    // Dialogs are cancelled as soon as they open; they are counted.
    QStringList dialogs;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            dialogs << w->windowTitle();
            if (auto* d = qobject_cast<QDialog*>(w)) d->reject(); else w->close();
        }
    });
    closer.start(20);

    // Commands to the mount; its position is read back on its own too.
    auto sentToMount = [&mount] {
        const auto sent = mount.Commands();
        return static_cast<std::size_t>(std::count_if(
            sent.begin(), sent.end(), [](const std::string& c) { return c != ":GR#" && c != ":GD#"; }));
    };
    auto observe = [&](int id) {
        frame->UpdateActions();
        Observed o;
        const ItemState st = frame->ItemStateFor(id);
        o.enabled = st.enabled;
        o.checked = st.checked;
        o.text = st.text;
        o.notice = view->Notice();
        o.renders = view->RenderCount();
        o.renderPending = view->RenderPending();
        o.prompts = prompts.messages.size();
        o.dialogs = dialogs.size();
        o.menuRequests = frame->MenuRequests();
        o.popupShown = view->Input().PopupMenu() && view->Input().PopupMenu()->isVisible();
        o.writes = store.WriteLog().size();
        o.mountCommands = sentToMount();
        for (int t : timer_id::kAll)
            if (view->TimerActive(t)) o.timers.push_back(t);
        std::sort(o.timers.begin(), o.timers.end());
        o.bar = frame->CommandBarButtons();
        o.strip = frame->SecondStripButtons();
        o.fullScreen = view->FullScreen();
        o.visible = frame->isVisible();
        return o;
    };

    // The lines of `tavik --list-commands`: id, text, state and places.
    std::map<int, QString> places;
    for (const QString& line : CommandListLines(*frame)) {
        const QStringList f = line.split(u'\t');
        ASSERT_EQ(f.size(), 5) << line.toStdString();
        places[f[0].toInt()] = f[4];
    }
    for (int id : {32878, 32896, 32903, 32907, 32909, 32910, 32915, 32916}) EXPECT_TRUE(places.count(id)) << id;

    // Commands that disable others go after them: the goto, the sync and real-time
    // updating (the goto and the sync switch it on; it disables the time steps), the
    // telescope switch (the telescope buttons), the Messier objects (their
    // numbers). The view's modes and directions come last, the
    // direction view first so that its height bands are there; the exit at the
    // very end.
    const std::vector<int> late = {cmd::GotoHere, cmd::SyncHere, cmd::AutoUpdate, cmd::TelescopeSwitch, cmd::Messier};
    const std::vector<int> views = {ViewCommand::Direction, ViewCommand::BandHigh, ViewCommand::BandMiddle,
                                    ViewCommand::BandLow};
    auto listed = [](const std::vector<int>& v, int id) { return std::find(v.begin(), v.end(), id) != v.end(); };
    std::vector<int> order;
    for (const auto& [id, where] : places)
        if (!IsViewCommand(id) && id != cmd::Exit && !listed(late, id)) order.push_back(id);
    order.insert(order.end(), late.begin(), late.end());
    order.insert(order.end(), views.begin(), views.end());
    for (const auto& [id, where] : places)
        if (IsViewCommand(id) && !listed(views, id)) order.push_back(id);
    order.push_back(cmd::Exit);

    // Posted messages first (a toolbar changes the client area); the redraws
    // that follow a resize or the telescope's buttons, and the dialogs a
    // command opens a second later, at once (not in the middle of the next
    // command, on a slow machine).
    auto settle = [&] {
        QTest::qWait(30);
        for (int t : {timer_id::kTraceEnd, timer_id::kFirstPaint, timer_id::kTapSave0, timer_id::kTapSave1,
                      timer_id::kPost2052})
            if (view->TimerActive(t)) view->OnTimer(t);
        Until([&] { return !view->RenderPending() && view->PassesInFlight() == 0; });
    };
    QStringList disabled;
    for (int id : order) {
        const QString& where = places[id];
        EXPECT_FALSE(where.isEmpty()) << id << " is nowhere to be found";
        QAction* action = frame->Action(id);
        if (!action) {
            for (QAction* a : frame->ToolbarMenu()->actions())
                if (a->data().toInt() == id) action = a;
        }
        const bool onFrame = where.contains("menu:") || where.contains("toolbar:") ||
                             where.contains("second:") || where.contains("key:");
        EXPECT_EQ(action != nullptr, onFrame) << id << " " << where.toStdString();
        // A pop-up-only item is chosen from its pop-up menu, opened at the
        // held point: a click on it, or on a sub-menu's item its trigger.
        QAction* popupItem = nullptr;
        if (!action) {
            const PopupKind kind = where.contains("popup:display")           ? PopupKind::Display
                                   : where.contains("popup:tapregistration") ? PopupKind::TapRegistration
                                   : where.contains("popup:telescope")       ? PopupKind::Telescope
                                                                             : PopupKind::ActionKey;
            // "今日のデータに表示" is in a comet's or an asteroid's menu only.
            StarRecord minorBody;
            minorBody.kind = static_cast<std::int16_t>(kKindMinorBody);
            minorBody.SetSpectral("(1)");
            const StarRecord* tapped = id == cmd::MinorBodyToday ? &minorBody
                                       : view->TappedRecord()    ? &*view->TappedRecord()
                                                                 : nullptr;
            view->Input().OpenPopupMenu(kind, view->TapPoint(), tapped);
            ASSERT_TRUE(Until([&] { return view->Input().PopupMenu() && view->Input().PopupMenu()->isVisible(); })) << id;
            popupItem = FindItem(*view->Input().PopupMenu(), id);
            ASSERT_NE(popupItem, nullptr) << id << " is not in its pop-up menu";
        }
        const Observed before = observe(id);
        if (action && frame->Action(id)) EXPECT_EQ(action->isEnabled(), before.enabled) << id;
        if (popupItem) EXPECT_EQ(popupItem->isEnabled(), before.enabled) << id;
        if (!before.enabled) {
            disabled << QString::number(id);
            if (view->Input().PopupMenu()) view->Input().PopupMenu()->close();
            continue;
        }
        // A menu item or a button is pressed as a user presses it.
        if (action) {
            action->trigger();
        } else if (view->Input().PopupMenu()->actions().contains(popupItem)) {
            QTest::mouseClick(view->Input().PopupMenu(), Qt::LeftButton, {},
                              view->Input().PopupMenu()->actionGeometry(popupItem).center());
        } else {
            popupItem->trigger();
        }
        Observed after;
        Until([&] { after = observe(id); return !Changes(before, after).empty(); }, 1500);
        EXPECT_NE(Changes(before, after), "") << id << " (" << where.toStdString() << ") changed nothing";
        if (id == cmd::OptionDialogs) {
            // All four cancelled: nothing stored, nothing redrawn.
            EXPECT_EQ(after.dialogs - before.dialogs, 4);
            std::string written;
            for (std::size_t i = before.writes; i < store.WriteLog().size(); ++i) written += store.WriteLog()[i] + " ";
            EXPECT_EQ(after.writes, before.writes) << written;
            EXPECT_EQ(after.renders, before.renders);
        }
        // Outside real-time updating "回す（右）" is a single step, not a switch.
        const bool aSwitch = !IsViewCommand(id) && !(id == cmd::TurnWithTime && !view->Time().AutoUpdate());
        if (action && action->isCheckable() && frame->Action(id) && aSwitch) {
            EXPECT_NE(after.checked, before.checked) << id << ": its check mark did not follow";
            // And back, so that the walk goes on from the state it started in
            // (time stepping left on would keep redrawing).
            settle();
            action->trigger();
            settle();
            EXPECT_EQ(observe(id).checked, before.checked) << id << " did not switch back";
        }
        if (view->Input().PopupMenu()) view->Input().PopupMenu()->close();
        settle();
    }
    EXPECT_EQ(disabled.join(u',').toStdString(), "") << "every command was there to be pressed";
    EXPECT_FALSE(frame->isVisible()) << "プログラム終了 closes the window";
}


// 小天体データ読込: the file is copied into the user's data folder and read in
// the background; the bodies are drawn at their places and a tap names one.
TEST_F(TapWindowTest, LoadedCometsAndAsteroidsAreDrawnAtTheirPlacesAndATapNamesThem) {
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", programDir.filePath("xdg").toLocal8Bit());
    struct Restore {
        QByteArray v;
        ~Restore() { v.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", v); }
    } restore{oldData};
    const char* const lines[] = {
        "0002P         2023 10 22.5265  0.339384  0.847134  187.0940  334.1858   11.3522  20231018  11.5  6.0  "
        "2P/Encke                                                 MPEC 2023-T78",
        "    CK20F030  2020 07  3.6790  0.294653  0.999178   37.2785   61.0103  128.9375  20200720   7.0  3.2  "
        "C/2020 F3 (NEOWISE)                                      MPEC 2020-P62",
        "00001    3.34  0.15 K24AH 145.84905   73.27346   80.25230   10.58728  0.0795762  0.21420460   2.7660512  0 "
        "E2024-V47  7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 (1) Ceres                   20241101",
        "00004    3.25  0.32 K24AH  26.80225  151.53681  103.70216    7.14406  0.0901151  0.27158545   2.3614323  0 "
        "E2024-V47  7580 114 1821-2024 0.60 M-p 18k MPCLINUX   0000 (4) Vesta                   20241031",
        "not an element line"};
    const QString file = programDir.filePath("elements.txt");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (const char* l : lines) f.write(QByteArray(l) + "\n");
    }
    Start();
    frame->show();
    ASSERT_TRUE(WaitForRender(*view));
    const DateTime start = view->Time().Current();
    DateTime later = start;
    later.AddOffset(DateOffset(30, 0, 0, 0));
    view->Time().SetCurrent(later);
    prompts.chosenFile = file;
    frame->RunCommand(cmd::LoadMinorBodies);
    ASSERT_TRUE(Until([&] { return view->Notice() == "4 天体を読み込みました（1 行は読めません）"; }))
        << view->Notice().toStdString() << prompts.messages.join("|").toStdString();
    EXPECT_TRUE(QFile::exists(programDir.filePath("xdg/Arvex/Tavik/minorbodies.txt")));
    ASSERT_TRUE(Until([&] { return !view->RenderPending() && view->PassesInFlight() == 0; }));

    // Every body drawn stands where its place for the moment shown projects,
    // also when the clock has moved since the first pass with them (places
    // are kept from pass to pass).
    view->Time().SetCurrent(start);
    view->RefreshView();
    ASSERT_TRUE(Until([&] { return !view->RenderPending() && view->PassesInFlight() == 0; }));
    const MinorObserver observer = ObserverAt(ToUniversalTime(view->Time().Current(), 9));
    const ViewState pass = view->LastPass();
    const double lat = pass.latitude;
    std::optional<QPoint> ceres;
    int drawn = 0;
    for (const HitEntry& e : view->Hits()->Entries()) {
        if (!e.record || e.record->kind != kKindMinorBody) continue;
        ++drawn;
        const std::string d(e.record->DesignationText());
        std::optional<MinorBody> b;
        for (const char* l : lines)
            if (auto m = ParseMinorBodyLine(l); m && (m->Label() == d || m->designation == d)) b = m;
        ASSERT_TRUE(b) << d;
        const MinorPlace place = MinorBodyPlace(*b, observer);
        const ProjectedPoint pt = ProjectObject(pass, place.j2000.lon, place.j2000.lat, place.magnitude, 0,
                                                std::sin(lat), std::cos(lat));
        EXPECT_EQ(QPoint(e.x, e.y), QPoint(pt.x, pt.y)) << d;
        if (d == "(1) Ceres") ceres = QPoint(e.x, e.y);
    }
    EXPECT_GE(drawn, 1);
    ASSERT_TRUE(ceres) << "Ceres is above the horizon on the evening of the clock";
    QTest::mouseClick(view, Qt::LeftButton, {}, *ceres);
    ASSERT_TRUE(view->Input().TapHit() || view->Input().InfoShown());
    const std::string text = view->Input().LastTapText().first.value_or("");
    EXPECT_EQ(text.rfind("(1) Ceres ", 0), 0u) << text;
    EXPECT_NE(text.find("等 太陽から"), std::string::npos) << text;
    EXPECT_NE(text.find("AU 地球から"), std::string::npos) << text;

    // Its long-press menu marks it for today's data ([MINOR] TODAY), whose
    // dialog then lists its rise, transit and set; pressed again, unmarks it.
    const auto menuItem = [&]() -> QAction* {
        QTest::mousePress(view, Qt::LeftButton, {}, *ceres);
        if (!Until([&] { return view->Input().PopupMenu() && view->Input().PopupMenu()->isVisible(); })) return nullptr;
        QTest::mouseRelease(view, Qt::LeftButton, {}, *ceres);
        for (QAction* a : view->Input().PopupMenu()->actions())
            if (a->data().toInt() == cmd::MinorBodyToday) return a;
        return nullptr;
    };
    QAction* mark = menuItem();
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->text(), "今日のデータに表示");
    EXPECT_FALSE(mark->isChecked());
    mark->trigger();
    view->Input().PopupMenu()->close();
    ASSERT_TRUE(Until([&] { return store.GetProfileString("MINOR", "TODAY", "") == "(1)"; }));
    QStringList rows;
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, [&] {
        auto* d = qobject_cast<CTodayDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        for (int i = 0; i < d->List()->count(); ++i)
            if (d->List()->item(i)->text().contains("(1) Ceres")) rows << d->List()->item(i)->text();
        d->accept();
    });
    reader.start(20);
    frame->RunCommand(cmd::TodaysData);
    reader.stop();
    ASSERT_EQ(rows.size(), 3) << rows.join("|").toStdString();
    for (const char* word : {"出", "南中", "没"})
        EXPECT_EQ(rows.filter(QRegularExpression(QString("^小惑星 [0-2][0-9]時[0-5][0-9]分 \\(1\\) Ceres ") +
                                                 QString::fromUtf8(word) + "$")).size(), 1)
            << word << rows.join("|").toStdString();
    mark = menuItem();
    ASSERT_NE(mark, nullptr);
    EXPECT_TRUE(mark->isChecked());
    mark->trigger();
    view->Input().PopupMenu()->close();
    ASSERT_TRUE(Until([&] { return store.GetProfileString("MINOR", "TODAY", "x").empty(); }));

    // 天体検索 finds it by name at its place of the moment.
    QApplication::setActiveWindow(frame);
    QTest::keyClick(frame, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(Until([&] { return view->Search().Dialog() && view->Search().Dialog()->isVisible(); }));
    CObjectSearchDialog* dlg = view->Search().Dialog();
    QTest::keyClicks(dlg->Query(), "ceres");
    ASSERT_GE(dlg->List()->count(), 1);
    const SearchResult& found = dlg->Results()[0];
    EXPECT_EQ(found.object.kind, SearchKind::MinorBody);
    EXPECT_EQ(dlg->List()->item(0)->text().toStdString().rfind("小惑星 (1) Ceres ", 0), 0u)
        << dlg->List()->item(0)->text().toStdString();
    const StarRecord& tapped = *view->TappedRecord();
    EXPECT_NEAR(found.object.ra, tapped.ra, 1e-9);
    EXPECT_NEAR(found.object.dec, tapped.dec, 1e-9);
    dlg->close();

    // 地平線上検索 lists it with the planets; its line, typed into the filter
    // and picked with Enter, turns the magnified view to its place.
    prompts.answer = true;
    std::string line;
    bool picked = false;
    QTimer picker;
    QObject::connect(&picker, &QTimer::timeout, [&] {
        auto* d = qobject_cast<CHorizonSearchDialog*>(QApplication::activeModalWidget());
        if (picked || !d || !d->isVisible() || d->List()->count() == 0) return;
        picked = true;
        QTest::keyClicks(d->Filter(), "Ceres");
        for (int row = 0; row < d->List()->count() && line.empty(); ++row)
            if (!d->List()->item(row)->isHidden()) line = d->List()->item(row)->text().toStdString();
        QTest::keyClick(d->Filter(), Qt::Key_Return);
    });
    picker.start(20);
    frame->RunCommand(cmd::HorizonSearch);
    ASSERT_TRUE(Until([&] { return picked && view->View().viewMode == ViewMode::Magnified; })) << line;
    picker.stop();
    EXPECT_TRUE(std::regex_match(line, std::regex("  小惑星 \\(1\\) Ceres  [0-9]+\\.[0-9]等 [0-9]+度"))) << line;
    const ObservationSite site = view->Settings().site;
    const DateTime local = view->Time().Current();
    const std::optional<MinorBody> ceresBody = ParseMinorBodyLine(lines[2]);
    ASSERT_TRUE(ceresBody);
    const std::vector<HorizonMinorBody> places = MinorBodiesOfDate({*ceresBody}, local, site.zoneOffsetHours);
    ASSERT_EQ(places.size(), 1u);
    const Spherical h = EquatorialToHorizontal(
        places[0].ra, places[0].dec, LatitudeRadians(site.latitudeDegrees, site.latitudeMinutes),
        LocalSiderealTime(local, site.zoneOffsetHours, site.longitudeDegrees, site.longitudeMinutes));
    const MagnifierTarget want = JumpTarget(h.lon, h.lat);
    EXPECT_EQ(view->View().viewMode, ViewMode::Magnified);
    EXPECT_EQ(view->View().facing, want.facing);
    EXPECT_EQ(view->View().turnDegrees, want.turn);
}

}  // namespace
}  // namespace tavik
