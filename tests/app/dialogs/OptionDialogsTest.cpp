// Command 32775 through the real dialogs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>

#include "QtTestApp.h"
#include "app/dialogs/OptionDialogs.h"
#include "app/dialogs/Prompts.h"
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

}  // namespace
}  // namespace tavik
