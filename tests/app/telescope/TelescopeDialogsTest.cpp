// The telescope dialogs against the simulated mount: the target line, a goto,
// the dialog alive and "閉じる" refused during an exchange, and the settings
// written on OK.

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "../telescope/ScopeTestSupport.h"
#include "QtTestApp.h"
#include "app/dialogs/Prompts.h"
#include "app/telescope/ScopeExchange.h"
#include "app/telescope/TelescopeControlDialog.h"
#include "app/telescope/TelescopeSettingsDialog.h"
#include "settings/SettingsSchema.h"

namespace tavik {
namespace {

using Dlg = CTelescopeControlDialog;

// Presses a button and lets its exchange end.
void Press(Dlg& dlg, Dlg::Button b) {
    dlg.ButtonAt(b)->click();
    test::WaitUntil([&] {
        QCoreApplication::processEvents();
        return !dlg.Running();
    });
}

TEST(TelescopeControlDialogTest, WithoutATargetGotoIsDisabled) {
    test::QtApp();
    test::ScopeRig rig;
    RecordingPrompts prompts;
    ScopeExchange exchange;
    Dlg dlg(*rig.scope, exchange, prompts, std::nullopt);
    EXPECT_EQ(dlg.TargetName(), QString::fromUtf8("指定されていません(導入指示不可）"));
    EXPECT_FALSE(dlg.ButtonAt(Dlg::kGoto)->isEnabled());
    EXPECT_FALSE(dlg.ButtonAt(Dlg::kSync)->isEnabled());
    EXPECT_EQ(dlg.Status(), QString::fromUtf8("未接続状態"));
    // Other buttons connect on their own.
    Press(dlg, Dlg::kSlow);
    EXPECT_EQ(dlg.Status(), QString::fromUtf8("低速コマンド送信した"));
    EXPECT_FALSE(dlg.ButtonAt(Dlg::kGoto)->isEnabled());
}

TEST(TelescopeControlDialogTest, GotoIsSentOnceAndLogged) {
    test::QtApp();
    test::ScopeRig rig;
    RecordingPrompts prompts;
    ScopeExchange exchange;
    std::vector<std::string> history;
    rig.store.WriteProfileInt("TS", "ALT_LIMIT", -90);  // wherever M42 stands at this hour
    rig.scope->SetGotoLog([&](const std::string& l) { history.push_back(l); });
    Dlg dlg(*rig.scope, exchange, prompts, GotoTarget{"M42 オリオン星雲", 1.4634585777972453, -0.0951204442, TargetFrame::J2000});
    EXPECT_EQ(dlg.TargetText(), QString::fromUtf8("赤経 05:35:24 赤緯 -05*27*00 "));
    Press(dlg, Dlg::kGoto);
    EXPECT_EQ(dlg.Status(), QString::fromUtf8("導入コマンドを送りました"));
    EXPECT_TRUE(dlg.GotoDone());
    EXPECT_FALSE(dlg.ButtonAt(Dlg::kGoto)->isEnabled());
    EXPECT_TRUE(dlg.ButtonAt(Dlg::kFast)->isEnabled());
    ASSERT_EQ(history.size(), 1u);
    EXPECT_NE(history[0].find(" M42 オリオン星雲 赤経 05:35:24 赤緯 -05*27*00 "), std::string::npos);
    EXPECT_EQ(rig.Received(), ":Sh-90#:U#:Sr 05:35:24#:U#:U#:Sd -05*27*00#:U#:MS#");
}

TEST(TelescopeControlDialogTest, SyncAsksNamingTheTargetThenSendsItAndLogs) {
    test::QtApp();
    test::ScopeRig rig;
    RecordingPrompts prompts;
    ScopeExchange exchange;
    std::vector<std::string> history;
    rig.scope->SetGotoLog([&](const std::string& l) { history.push_back(l); });
    Dlg dlg(*rig.scope, exchange, prompts, GotoTarget{"M42 オリオン星雲", 1.4634585777972453, -0.0951204442, TargetFrame::J2000});
    Press(dlg, Dlg::kSync);  // answered no: nothing is sent
    EXPECT_EQ(prompts.messages.value(0), QString::fromUtf8("ask: M42 オリオン星雲 に同期しますか？"));
    EXPECT_TRUE(rig.mount.Commands().empty());
    prompts.answer = true;
    Press(dlg, Dlg::kSync);
    EXPECT_EQ(dlg.Status(), QString::fromUtf8("同期コマンドを送りました"));
    EXPECT_EQ(rig.Received(), ":U#:Sr 05:35:24#:U#:U#:Sd -05*27*00#:U#:CM#");
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].rfind("Sync ", 0), 0u);
    EXPECT_NE(history[0].find(" M42 オリオン星雲 赤経 05:35:24 赤緯 -05*27*00 "), std::string::npos);
    EXPECT_FALSE(dlg.GotoDone());
    EXPECT_TRUE(dlg.ButtonAt(Dlg::kGoto)->isEnabled());
}

TEST(TelescopeControlDialogTest, TheDialogStaysAliveAndCloseIsRefusedDuringAnExchange) {
    test::QtApp();
    test::FakeClock fake;
    mountsim::MountOptions o;
    o.replies["Sw"] = std::nullopt;  // the speed command gets no answer
    test::ScopeRig rig(o, &fake);
    RecordingPrompts prompts;
    ScopeExchange exchange;
    Dlg dlg(*rig.scope, exchange, prompts, std::nullopt);
    dlg.show();
    // The mount's wait is held until the window has been used meanwhile.
    std::atomic<bool> waiting{false}, release{false};
    fake.onSleep = [&] {
        waiting = true;
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    };
    dlg.ButtonAt(Dlg::kFast)->click();
    ASSERT_TRUE(test::WaitUntil([&] {
        QCoreApplication::processEvents();
        return waiting.load();
    }));
    EXPECT_TRUE(dlg.Running());
    EXPECT_FALSE(dlg.ButtonAt(Dlg::kStop)->isEnabled());
    dlg.ButtonAt(Dlg::kClose)->click();  // handled at once, not after the wait
    EXPECT_TRUE(prompts.messages.contains(QString::fromUtf8("error: 望遠鏡と通信中です")));
    EXPECT_TRUE(dlg.isVisible());
    release = true;
    ASSERT_TRUE(test::WaitUntil([&] {
        QCoreApplication::processEvents();
        return !dlg.Running();
    }));
    EXPECT_EQ(dlg.Status(), QString::fromUtf8("高速コマンド失敗"));
    EXPECT_TRUE(dlg.ButtonAt(Dlg::kStop)->isEnabled());
    dlg.ButtonAt(Dlg::kClose)->click();  // now it closes
    EXPECT_FALSE(dlg.isVisible());
}

TEST(TelescopeSettingsDialogTest, OkWritesTheValuesAndTheDevices) {
    test::QtApp();
    MemorySettingsStore store;
    RecordingTelescopeUi ui;
    test::FakeClock clock;
    TelescopeController scope(store, ui, clock);
    CTelescopeSettingsDialog dlg(scope, store);
    EXPECT_EQ(dlg.Ports()->checkedId(), 0);
    EXPECT_EQ(dlg.Device(1)->currentText(), "/dev/ttyUSB0");
    EXPECT_EQ(dlg.Intervals()->checkedId(), 2);
    dlg.TypeList()->setCurrentIndex(1);
    dlg.Ports()->button(2)->setChecked(true);
    dlg.Device(3)->setEditText("tcp://192.168.4.1:4030");
    dlg.Trace()->setChecked(true);
    dlg.Intervals()->button(0)->setChecked(true);
    dlg.accept();
    EXPECT_EQ(ReadSettingInt(store, "TS", "TYPE"), 1);
    EXPECT_EQ(ReadSettingInt(store, "TS", "COMPORT"), 3);
    EXPECT_EQ(ReadSettingInt(store, "TS", "TRACE"), 1);
    EXPECT_EQ(ReadSettingInt(store, "TS", "TRACE_TIME"), 0);
    EXPECT_EQ(ReadSettingString(store, "TS", "DEVICE3"), "tcp://192.168.4.1:4030");
    EXPECT_EQ(ReadSettingString(store, "TS", "DEVICE1"), "");  // the default stays unstored
    EXPECT_EQ(scope.comPort, 3);
    // While the controller is busy the dialog does not open.
    scope.SetBusy(true);
    EXPECT_FALSE(CTelescopeSettingsDialog::Run(scope, store));
}

}  // namespace
}  // namespace tavik
