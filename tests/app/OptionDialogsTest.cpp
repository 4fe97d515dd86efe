// Command 32775 through the real dialogs, night mode for the window, and
// `tavik --list-commands`.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>

#include "QtTestApp.h"
#include "app/NightMode.h"
#include "app/OptionDialogs.h"
#include "app/Prompts.h"
#include "settings/SettingsStore.h"
#include "settings/ViewSettings.h"
#include "view/CommandSet.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

void Press(QDialog& dlg, QDialogButtonBox::StandardButton which) {
    QTest::mouseClick(dlg.findChild<QDialogButtonBox*>()->button(which), Qt::LeftButton);
}

// Handles each dialog of the chain as it opens: the action for its id, or
// Cancel.
class DialogScript {
public:
    std::map<QString, std::function<void(QDialog&)>> actions;
    QStringList seen;

    DialogScript() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dlg || (!seen.isEmpty() && seen.last() == dlg->objectName())) return;
            seen << dlg->objectName();
            auto it = actions.find(dlg->objectName());
            if (it != actions.end()) it->second(*dlg); else Press(*dlg, QDialogButtonBox::Cancel);
        });
        timer_.start(0);
    }

private:
    QTimer timer_;
};

class OptionChainTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        settings.Load(store);
    }
    MemorySettingsStore store;
    RecordingPrompts prompts;
    ViewSettings settings;
    ViewState view;
};

TEST_F(OptionChainTest, CancellingAllFourChangesNothing) {
    DialogScript script;
    const OptionsOutcome out = RunOptionChain(settings, view, store, prompts, nullptr);
    EXPECT_EQ(script.seen, QStringList({"131", "149", "154", "162"}));
    EXPECT_FALSE(out.confirmed) << "no repaint";
    EXPECT_FALSE(out.telescopeControl);
    EXPECT_TRUE(store.WriteLog().empty());
}

TEST_F(OptionChainTest, AllStarsStoresSevenTwiceAndTelescopeControlIsReported) {
    DialogScript script;
    script.actions["131"] = [](QDialog& d) {
        auto& o1 = static_cast<COption1Dialog&>(d);
        EXPECT_EQ(o1.MagnitudeList()->currentIndex(), 3);
        o1.MagnitudeList()->setCurrentIndex(6);  // "全て表示"
        Press(d, QDialogButtonBox::Ok);
    };
    script.actions["154"] = [](QDialog& d) {
        QTest::mouseClick(static_cast<COption3Dialog&>(d).Check(1091), Qt::LeftButton);  // "望遠鏡制御を行う"
        Press(d, QDialogButtonBox::Ok);
    };
    const OptionsOutcome out = RunOptionChain(settings, view, store, prompts, nullptr);
    EXPECT_EQ(script.seen.size(), 4);
    EXPECT_TRUE(out.confirmed);
    EXPECT_TRUE(out.telescopeControl);
    ASSERT_FALSE(store.WriteLog().empty());
    EXPECT_EQ(store.WriteLog().front(), "POPUPMENU/MAG") << "written before the save";
    EXPECT_EQ(store.GetProfileInt("SETTING", "MAGNIT", 0), 7);
    EXPECT_EQ(store.GetProfileInt("POPUPMENU", "MAG", 0), 7);
    EXPECT_EQ(store.GetProfileInt("OPTION3", "TS_CTRL", 0), 1);
    EXPECT_EQ(view.limitMagnitude, 7) << "the view's save copies it back from the state";
}

TEST_F(OptionChainTest, WideZeroIsRefusedAndKeepsTheDialogOpenTwentyIsTaken) {
    COption1Dialog dlg(settings, view, store, prompts);
    dlg.show();
    QLineEdit* wide = dlg.Edit(COption1Dialog::kWide);
    wide->setText("0");
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(prompts.messages, QStringList{QString::fromUtf8("info: 1 から 20 までの整数を入力してください。")});
    EXPECT_TRUE(store.WriteLog().empty());

    wide->setText("20");
    // "文字:" within what the next start reads back unchanged.
    QLineEdit* font = dlg.Edit(COption1Dialog::kFont);
    font->selectAll();
    QTest::keyClicks(font, "5");
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(prompts.messages.value(1), QString::fromUtf8("info: 30 から 1000 までの整数を入力してください。"));
    EXPECT_TRUE(store.WriteLog().empty());

    font->selectAll();
    QTest::keyClicks(font, "30");
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(store.GetProfileInt("DIREC", "WIDE", 0), 20);
    EXPECT_EQ(store.GetProfileInt("FONT", "SIZE", 0), 30);
    EXPECT_EQ(view.wideTenths, 20);
    EXPECT_FALSE(dlg.Check(COption1Dialog::kActionMenu)->isEnabled());
    EXPECT_TRUE(dlg.Check(COption1Dialog::kActionMenu)->isChecked());
}

TEST(NightMode, RedOnBlackForTheWindowAndBackAgain) {
    QApplication& app = test::QtApp();
    const QPalette before = QApplication::palette();
    const QString sheet = app.styleSheet();
    ApplyNightMode(app, true);
    ApplyNightMode(app, true);  // a second switch keeps the original to restore
    QMenu menu;
    EXPECT_EQ(menu.palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_GT(menu.palette().color(QPalette::WindowText).red(), 0);
    EXPECT_EQ(menu.palette().color(QPalette::WindowText).green(), 0);
    EXPECT_FALSE(app.styleSheet().isEmpty());
    ApplyNightMode(app, false);
    EXPECT_EQ(QApplication::palette(), before);
    EXPECT_EQ(app.styleSheet(), sheet);
    EXPECT_FALSE(NightModeActive());
}

TEST(ListCommands, PrintsEveryCommandFromTheUsersSettingsWithoutWritingThem) {
    test::QtApp();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString ini = home.path() + "/config/Arvex/Tavik.ini";
    QDir().mkpath(home.path() + "/config/Arvex");
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[COLOR]\nALLRED=1\n[TAVIK]\nTAVIK_DATA=" TAVIK_DATA_DIR "/tavik.dat\n");
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_RUNTIME_DIR", home.path());
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(TAVIK_APP, {"--list-commands"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);

    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    // The table's commands and the twelve main toolbars, 32907 and 32909 of menu 164.
    ASSERT_EQ(lines.size(), static_cast<int>(AllCommands().size()) + 14);
    std::map<int, QStringList> byId;
    for (const QString& line : lines) {
        const QStringList f = line.split('\t');
        ASSERT_EQ(f.size(), 5) << line.toStdString();
        byId[f[0].toInt()] = f;
    }
    EXPECT_EQ(byId[cmd::RedMode][3], "checked") << "read from the user's settings";
    EXPECT_EQ(byId[cmd::RedMode][2], "enabled");
    const QStringList where = byId[cmd::OptionDialogs][4].split(',');
    EXPECT_TRUE(where.contains(QString::fromUtf8("menu:設定")));
    EXPECT_TRUE(where.contains("second:165"));
    EXPECT_TRUE(byId[cmd::Exit][4].contains("popup:display"));
    EXPECT_TRUE(byId[cmd::ToolbarSwitch][4].contains("toolbar:0"));

    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[COLOR]\nALLRED=1\n[TAVIK]\nTAVIK_DATA=" TAVIK_DATA_DIR "/tavik.dat\n"))
        << "the settings are only read";
    EXPECT_TRUE(QDir(home.path()).entryList({"TavikMutex*"}).isEmpty()) << "no single-instance lock";
}

}  // namespace
}  // namespace tavik
