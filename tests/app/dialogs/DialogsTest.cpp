// The dialogs without their modal loops: the site dialog's list, registration,
// update by name (typed into the real dialog), range refusal, full list and
// signed storage; the date-and-time dialog's
// range checks and "現在時刻に"; the interval list; today's data; the about box.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "QtTestApp.h"
#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/Prompts.h"
#include "app/dialogs/SiteDialog.h"
#include "app/dialogs/TodayDialog.h"
#include "catalog/CatalogLocation.h"
#include "settings/SettingsStore.h"

namespace tavik {
namespace {

class FixedClock final : public Clock {
public:
    DateTime Now() const override { return DateTime(2026, 7, 4, 22, 15, 30); }
};

class NullTimers final : public TimerHost {
public:
    void StartTimer(int, int) override {}
    void KillTimer(int) override {}
};

class SiteDialogTest : public ::testing::Test {
protected:
    void SetUp() override { test::QtApp(); }

    UserSiteValues Site(const std::string& name, int lon) {
        UserSiteValues v;
        v.name = name;
        v.longitudeDegrees = lon;
        v.latitudeDegrees = 10;
        return v;
    }

    MemorySettingsStore store;
    RecordingPrompts prompts;
    ObservationSite current;  // the default site
};

TEST_F(SiteDialogTest, ListHoldsTheBuiltInRowsThenTheUserSitesAndSelectsTheCurrentName) {
    WriteUserSite(store, 3, Site("観測所A", 100));
    CSiteDialog dlg(current, store, prompts);
    dlg.FillList();
    QComboBox* list = dlg.List();
    ASSERT_EQ(list->count(), kBuiltinSiteCount + 1);
    EXPECT_EQ(list->itemText(0), "北海道札幌市中央区");
    EXPECT_EQ(list->itemText(94), "サイパン島");
    EXPECT_EQ(list->itemText(95), "観測所A");
    EXPECT_EQ(list->itemData(95).toInt(), 1003);
    EXPECT_EQ(list->currentIndex(), kDefaultSiteRow);
    EXPECT_EQ(dlg.Zone()->count(), 13) << "0 to 12 hours only";
}

TEST_F(SiteDialogTest, ChoosingIsraelGivesItsValuesAndZoneTwo) {
    CSiteDialog dlg(current, store, prompts);
    dlg.FillList();
    dlg.SelectEntry(91);
    const ObservationSite s = dlg.Result();
    EXPECT_EQ(s.name, "イスラエル");
    EXPECT_EQ(s.longitudeDegrees, 35);
    EXPECT_EQ(s.longitudeMinutes, 12);
    EXPECT_EQ(s.latitudeDegrees, 31);
    EXPECT_EQ(s.latitudeMinutes, 48);
    EXPECT_EQ(s.zoneOffsetHours, 2);
    EXPECT_TRUE(dlg.TryAccept());
    EXPECT_TRUE(prompts.messages.isEmpty()) << "a built-in row writes nothing";
    EXPECT_EQ(ReadUserSite(store, 0).name, "");
}

TEST_F(SiteDialogTest, WestAndSouthAreStoredNegatedAndShownBackAsMagnitudes) {
    CSiteDialog dlg(current, store, prompts);
    dlg.FillList();
    UserSiteValues ny;
    ny.name = "New York";
    ny.west = true;
    ny.longitudeDegrees = 74;
    ny.latitudeDegrees = 40;
    ny.latitudeMinutes = 45;
    ny.zoneMinus = true;
    ny.zoneHours = 5;
    dlg.SetValues(ny);
    dlg.List()->setCurrentIndex(-1);
    dlg.List()->setEditText("New York");
    const ObservationSite s = dlg.Result();
    WriteCurrentSite(store, s);
    EXPECT_EQ(store.GetProfileInt("LOCATION", "TOUKEI", 0), -74);
    EXPECT_EQ(store.GetProfileInt("LOCATION", "TOUKEIF", 1), 0);
    EXPECT_EQ(store.GetProfileInt("LOCATION", "HOKUI", 0), 40);
    EXPECT_EQ(store.GetProfileInt("LOCATION", "HOKUIF", 0), 45);
    EXPECT_EQ(store.GetProfileInt("SETTING", "JISA", 0), -5);

    CSiteDialog again(ReadCurrentSite(store), store, prompts);
    const UserSiteValues shown = again.Values();
    EXPECT_TRUE(shown.west);
    EXPECT_EQ(shown.longitudeDegrees, 74);
    EXPECT_EQ(shown.longitudeMinutes, 0);
    EXPECT_FALSE(shown.south);
    EXPECT_TRUE(shown.zoneMinus);
    EXPECT_EQ(shown.zoneHours, 5);
    EXPECT_EQ(again.Zone()->currentText(), "５時間");
}

TEST_F(SiteDialogTest, ANewNameIsRegisteredAnExistingOneUpdatedAndTheEleventhRefused) {
    {
        CSiteDialog dlg(current, store, prompts);
        dlg.FillList();
        dlg.SetValues(Site("", 120));
        dlg.List()->setEditText("裏山");
        EXPECT_TRUE(dlg.TryAccept());
        EXPECT_EQ(prompts.messages, QStringList{"info: 新しい観測地を登録しました(1/10)"});
        EXPECT_EQ(ReadUserSite(store, 0).name, "裏山");
        EXPECT_EQ(ReadUserSite(store, 0).longitudeDegrees, 120);
    }
    prompts.messages.clear();
    {
        // Typing the same name again updates the slot without a message.
        CSiteDialog dlg(current, store, prompts);
        dlg.FillList();
        dlg.List()->setCurrentIndex(-1);
        dlg.SetValues(Site("", 121));
        dlg.List()->setEditText("裏山");
        EXPECT_TRUE(dlg.TryAccept());
        EXPECT_TRUE(prompts.messages.isEmpty());
        EXPECT_EQ(ReadUserSite(store, 0).longitudeDegrees, 121);
        EXPECT_EQ(ReadUserSite(store, 1).name, "");
    }
    for (int slot = 1; slot < kUserSiteSlots; ++slot) {
        WriteUserSite(store, slot, Site("場所" + std::to_string(slot), slot));
    }
    {
        CSiteDialog dlg(current, store, prompts);
        dlg.FillList();
        dlg.List()->setCurrentIndex(-1);
        dlg.List()->setEditText("十一番目");
        EXPECT_FALSE(dlg.TryAccept()) << "the dialog stays open";
        EXPECT_EQ(prompts.messages.last(),
                  "info: これ以上観測値を登録できません.古いデータを更新してください");
        // Choosing an existing user entry and changing it works.
        const int index = dlg.List()->findText("場所4");
        ASSERT_GE(index, 0);
        dlg.SelectEntry(index);
        dlg.SetValues(Site("", 44));
        EXPECT_TRUE(dlg.TryAccept());
        EXPECT_EQ(ReadUserSite(store, 4).longitudeDegrees, 44);
    }
}

// Replaces a field's text the way a user does.
void Type(QWidget* field, const QString& text) {
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

TEST_F(SiteDialogTest, TypedValuesUnderAnExistingNameUpdateItsSlotAndOutOfRangeIsRefused) {
    WriteUserSite(store, 2, Site("Urayama", 120));  // latitude 10
    CSiteDialog dlg(current, store, prompts);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    dlg.FillList();
    Type(dlg.findChild<QWidget*>("1003"), "77");
    Type(dlg.findChild<QWidget*>("1001"), "200");  // east longitude 0..180
    QComboBox* name = dlg.List();
    name->setFocus();
    Type(name->lineEdit(), "Urayama");
    QPushButton* ok = dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QTest::mouseClick(ok, Qt::LeftButton);  // the name box loses focus
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(prompts.messages, QStringList{"info: 0 から 180 までの整数を入力してください。"});
    EXPECT_EQ(ReadUserSite(store, 2).latitudeDegrees, 10) << "nothing written";

    Type(dlg.findChild<QWidget*>("1001"), "121");
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(prompts.messages.size(), 1) << "an update, not a registration";
    const UserSiteValues stored = ReadUserSite(store, 2);
    EXPECT_EQ(stored.latitudeDegrees, 77);
    EXPECT_EQ(stored.longitudeDegrees, 121);
    EXPECT_EQ(dlg.Result().latitudeDegrees, 77);

    // A pick from the drop-down list still loads the entry.
    CSiteDialog pick(current, store, prompts);
    pick.show();
    pick.FillList();
    pick.List()->showPopup();
    QAbstractItemView* popup = pick.List()->view();
    popup->setCurrentIndex(popup->model()->index(91, 0));
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(pick.Result().longitudeDegrees, 35) << "イスラエル";
    EXPECT_EQ(pick.Result().zoneOffsetHours, 2);
    QTest::keyClick(pick.List()->lineEdit(), Qt::Key_Down);  // and so does a step with the arrow keys
    EXPECT_EQ(pick.Result().name, "カイロ（エジプト）");
    EXPECT_EQ(pick.Result().longitudeDegrees, 31);
}

TEST_F(SiteDialogTest, AnEmptyNameIsNotRegistered) {
    CSiteDialog dlg(current, store, prompts);
    dlg.FillList();
    dlg.List()->setCurrentIndex(-1);
    dlg.List()->setEditText("  ");
    EXPECT_FALSE(dlg.TryAccept());
    EXPECT_EQ(ReadUserSite(store, 0).name, "");
}

class TimeDialogTest : public ::testing::Test {
protected:
    void SetUp() override { test::QtApp(); }
    FixedClock clock;
    NullTimers timers;
    TimeControl time{clock, timers};
    RecordingPrompts prompts;
};

TEST_F(TimeDialogTest, DateTimeDialogChecksRangesAndLoadsTheClock) {
    CDateTimeDialog dlg(DateTime(2004, 3, 10, 21, 5, 0), time, prompts);
    EXPECT_EQ(dlg.Edit(CDateTimeDialog::kYear)->text(), "2004");
    EXPECT_EQ(dlg.Edit(CDateTimeDialog::kMinute)->text(), "5");
    dlg.Edit(CDateTimeDialog::kMonth)->setText("13");
    EXPECT_FALSE(dlg.TryAccept());
    EXPECT_EQ(prompts.messages, QStringList{"info: 1 から 12 までの整数を入力してください。"});
    dlg.Edit(CDateTimeDialog::kMonth)->setText("x");
    EXPECT_FALSE(dlg.TryAccept());
    dlg.LoadNow();
    EXPECT_EQ(dlg.Edit(CDateTimeDialog::kYear)->text(), "2026");
    EXPECT_EQ(dlg.Edit(CDateTimeDialog::kSecond)->text(), "30");
    ASSERT_TRUE(dlg.TryAccept());
    EXPECT_EQ(dlg.Fields().month, 7);
    EXPECT_EQ(dlg.Fields().hour, 22);
}

TEST_F(TimeDialogTest, IntervalDialogPreselectsOnlyAListedInterval) {
    CIntervalDialog listed({0, 0, 3, 0});
    EXPECT_EQ(listed.Combo()->currentIndex(), 2);
    EXPECT_EQ(listed.Combo()->count(), 19);
    listed.Combo()->setCurrentIndex(13);
    ASSERT_TRUE(listed.Chosen());
    EXPECT_EQ(*listed.Chosen(), (StepInterval{1, 0, 0, 0}));
    CIntervalDialog unlisted({0, 0, 2, 0});
    EXPECT_EQ(unlisted.Combo()->currentIndex(), -1);
    EXPECT_FALSE(unlisted.Chosen());
}

TEST_F(TimeDialogTest, TodaysDataWalksForwardAndLeavesTheViewsMomentAlone) {
    time.SetCurrent(DateTime(2005, 3, 20, 19, 42, 7));
    ObservationSite site;
    std::vector<std::string> headers;
    const int days = RunTodayDataDialogs(time, site, nullptr, [&](const DailyEvents& day) {
        headers.push_back(day.Header());
        if (headers.size() == 1) {
            CTodayDialog dlg(day);
            EXPECT_EQ(dlg.Header()->text().toStdString(), day.Header());
            EXPECT_GE(dlg.List()->count(), 8);
            for (int i = 1; i < dlg.List()->count(); ++i) {
                EXPECT_LE(dlg.List()->item(i - 1)->text(), dlg.List()->item(i)->text());
            }
        }
        return headers.size() < 3;  // "明日へ" twice
    });
    EXPECT_EQ(days, 3);
    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(headers[0], "2005年3月20日 月齢10日");  // new moon 2005-03-10 09:10 UT
    EXPECT_EQ(headers[2].rfind("2005年3月22日", 0), 0u);
    EXPECT_EQ(time.Current(), DateTime(2005, 3, 20, 19, 42, 7));
}

TEST(AboutDialogTest, ShowsThePathsResetsThemAndStoresTheCardFlag) {
    test::QtApp();
    MemorySettingsStore store;
    store.WriteProfileString(kCatalogSection, kCatalogEntry, "/data/tavik.dat");
    store.WriteProfileString("SEIZAE", "FILE", "/data/tavikconste.dat");
    CAboutDialog dlg(store);
    EXPECT_EQ(dlg.windowTitle(), "Tavik のバージョン情報");
    EXPECT_EQ(dlg.PathTexts(), (QStringList{"/data/tavik.dat", "/data/tavikconste.dat", ""}));
    EXPECT_EQ(dlg.Acknowledgements()->item(0)->text(), "謝辞：");
    EXPECT_EQ(dlg.Acknowledgements()->findItems("参考文献：", Qt::MatchExactly).size(), 1);
    dlg.ResetDataLocation();
    EXPECT_EQ(dlg.PathTexts(), (QStringList{"", "", ""}));
    EXPECT_FALSE(store.Contains(kCatalogSection, kCatalogEntry));
    dlg.CardBox()->setChecked(true);
    dlg.Close();
    EXPECT_EQ(store.GetProfileInt("MEMORY", "CARD", -1), 2);
}

TEST(AboutDialogTest, SaysItInJapaneseAndFitsItsLines) {
    test::QtApp();
    EXPECT_EQ(BuildDateText("Dec 10 2026"), "2026年12月10日");
    EXPECT_EQ(BuildDateText("Jan  1 2027"), "2027年1月1日");
    EXPECT_EQ(BuildDateText("sometime"), "");
    MemorySettingsStore store;
    CAboutDialog dlg(store);
    QStringList texts;
    for (const QLabel* label : dlg.findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("Tavik バージョン 0.1.0")) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains("ビルド " + BuildDateText(__DATE__))) << texts.join('|').toStdString();
    dlg.show();
    QApplication::processEvents();
    QListWidget* list = dlg.Acknowledgements();
    for (int row = 0; row < list->count(); ++row) {
        const QString text = list->item(row)->text();
        EXPECT_LE(list->fontMetrics().horizontalAdvance(text), list->viewport()->width()) << text.toStdString();
    }
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
}

}  // namespace
}  // namespace tavik
