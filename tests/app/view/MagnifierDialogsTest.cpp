// The magnifier panel's real controls, option 4 and the horizon search list.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "QtTestApp.h"
#include "app/dialogs/HorizonSearchDialog.h"
#include "app/view/MagnifierPanel.h"
#include "app/dialogs/OptionZoomDialog.h"
#include "app/dialogs/Prompts.h"
#include "settings/SettingsStore.h"
#include "settings/ViewSettings.h"
#include "view/ViewState.h"

namespace tavik {
namespace {

TEST(MagnifierPanelWidget, ControlsEditStepScrollAndDraw) {
    test::QtApp();
    CMagnifierPanel panel;
    panel.SetAutoEnter(false);
    QSignalSpy render(&panel, &CMagnifierPanel::renderRequested);
    QSignalSpy mark(&panel, &CMagnifierPanel::targetMarkRequested);
    panel.SetFraming({true, 0, 45, 50});
    EXPECT_EQ(render.count() + mark.count(), 0) << "the program's change is no edit";
    EXPECT_TRUE(panel.DrawButton()->isHidden());

    // Up on the heading decreases it and wraps; the mark follows, "描画" waits.
    QSpinBox* heading = panel.Spin(MagnifierControl::Heading);
    QTest::keyClick(heading, Qt::Key_Up);
    EXPECT_EQ(heading->value(), 359);
    EXPECT_EQ(panel.Framing().heading, 359);
    EXPECT_EQ(mark.count(), 1);
    EXPECT_EQ(render.count(), 0);
    EXPECT_FALSE(panel.DrawButton()->isHidden());
    QTest::mouseClick(panel.DrawButton(), Qt::LeftButton);
    EXPECT_EQ(render.count(), 1);
    EXPECT_TRUE(panel.DrawButton()->isHidden());

    // The bars turn and raise by the step (10 at zoom 50) and draw at once.
    panel.HeadingBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(heading->value(), 9);
    panel.AltitudeBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);  // the up arrow
    EXPECT_EQ(panel.Spin(MagnifierControl::Altitude)->value(), 55);
    EXPECT_EQ(render.count(), 3);
    QTest::mouseClick(panel.InButton(), Qt::LeftButton);
    EXPECT_EQ(panel.Spin(MagnifierControl::Zoom)->value(), 55);
    EXPECT_EQ(render.count(), 4);

    // Typing 360 into the heading wraps to 0.
    heading->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(heading, "360");
    QTest::keyClick(heading, Qt::Key_Return);
    EXPECT_EQ(heading->value(), 0);
    EXPECT_EQ(panel.Framing().heading, 0);
}

TEST(OptionZoomDialog, RangesThenStoresAndSaves) {
    test::QtApp();
    MemorySettingsStore store;
    RecordingPrompts prompts;
    ViewSettings settings;
    settings.Load(store);
    ViewState view;
    COptionZoomDialog dlg(settings, store, prompts, &view);
    EXPECT_EQ(dlg.Edit(COptionZoomDialog::kUpTo)->text(), "400");
    EXPECT_EQ(dlg.MagnitudeList()->currentIndex(), 5);

    dlg.Edit(COptionZoomDialog::kUpTo)->setText("99");
    EXPECT_FALSE(dlg.TryAccept());
    EXPECT_EQ(prompts.messages.value(0), QString::fromUtf8("info: 100 から 901 までの整数を入力してください。"));
    EXPECT_FALSE(store.Contains("ZOOMINVIEW", "UPTO")) << "nothing stored";

    dlg.Edit(COptionZoomDialog::kUpTo)->setText("901");
    QLineEdit* shift = dlg.Edit(COptionZoomDialog::kShift);
    shift->selectAll();
    QTest::keyClicks(shift, "-120");  // the next start would read -99
    EXPECT_FALSE(dlg.TryAccept());
    EXPECT_EQ(prompts.messages.value(1), QString::fromUtf8("info: -99 から 99 までの整数を入力してください。"));
    shift->selectAll();
    QTest::keyClicks(shift, "-99");
    dlg.Edit(COptionZoomDialog::kThisPoint)->setText("30");
    dlg.MagnitudeList()->setCurrentIndex(6);  // "全て表示"
    EXPECT_TRUE(dlg.TryAccept());
    EXPECT_EQ(store.GetProfileInt("ZOOMINVIEW", "UPTO", 0), 901);
    EXPECT_EQ(store.GetProfileInt("ZOOMINVIEW", "SHIFT", 0), -99);
    EXPECT_EQ(store.GetProfileInt("ZOOMINVIEW", "THISPOINT", 0), 30);
    EXPECT_EQ(store.GetProfileInt("ZOOMINVIEW", "MAG", 0), 7);
    EXPECT_EQ(view.zoomUpTo, 901);
    EXPECT_EQ(view.zoomMagnitude, 7);
}

TEST(HorizonSearchDialog, FilterNarrowsAndTheJumpIsAsked) {
    test::QtApp();
    CHorizonSearchDialog dlg({{"M42 ◎ オリオン星雲  4.0等  48度", 628, false},
                              {"  土星  9度", 9121, false},
                              {" オリオン座  65度", 59, false}});
    dlg.Fill();
    QListWidget* list = dlg.List();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), QString::fromUtf8("  土星  9度")) << "sorted as the list box sorts";

    dlg.Filter()->setText("m42");
    EXPECT_TRUE(list->item(0)->isHidden());
    EXPECT_FALSE(list->item(2)->isHidden());
    list->item(2)->setSelected(true);
    dlg.accept();
    EXPECT_EQ(dlg.ChosenReference(), 628);
    RecordingPrompts prompts;
    EXPECT_FALSE(dlg.Confirm(false, prompts));
    EXPECT_EQ(prompts.messages.value(0),
              QString::fromUtf8("ask: M42 ◎ オリオン星雲  4.0等  48度へ移動しますか？"));
    EXPECT_TRUE(dlg.Confirm(true, prompts)) << "MIGORO_NOA: no question";
    EXPECT_EQ(prompts.messages.size(), 1);

    // A selected line the filter hides is not chosen.
    dlg.Filter()->setText("土星");
    dlg.accept();
    EXPECT_EQ(dlg.ChosenReference(), CHorizonSearchDialog::kNothingSelected);
    EXPECT_FALSE(dlg.Confirm(true, prompts));
}

TEST(HorizonSearchDialog, EveryLineIsShownWhole) {
    test::QtApp();
    CHorizonSearchDialog dlg({{"M13 ○ ヘルクレス座大球状星団  5.9等  43度", 1201, false},
                              {"恒:アルクトゥールス  27度 うしかい", 5340, false},
                              {"  木星  31度", 9120, false}});
    dlg.show();
    dlg.Fill();
    QApplication::processEvents();
    QListWidget* list = dlg.List();
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
    for (int row = 0; row < list->count(); ++row) {
        const QString text = list->item(row)->text();
        EXPECT_LE(list->fontMetrics().horizontalAdvance(text), list->viewport()->width()) << text.toStdString();
    }
    EXPECT_TRUE(dlg.isSizeGripEnabled());
}

TEST(HorizonSearchDialog, DoubleClickOrEnterInTheFilterPicksTheLine) {
    test::QtApp();
    const std::vector<HorizonEntry> lines{{"M42 ◎ オリオン星雲  4.0等  48度", 628, false},
                                          {"  土星  9度", 9121, false},
                                          {" オリオン座  65度", 59, false}};
    CHorizonSearchDialog typed(lines);
    typed.show();
    typed.Fill();
    QTest::keyClicks(typed.Filter(), "m42");
    QTest::keyClick(typed.Filter(), Qt::Key_Return);
    EXPECT_EQ(typed.result(), QDialog::Accepted);
    EXPECT_EQ(typed.ChosenReference(), 628) << "the first line shown";

    CHorizonSearchDialog clicked(lines);
    clicked.show();
    clicked.Fill();
    QListWidget* list = clicked.List();
    const QPoint at = list->visualItemRect(list->item(0)).center();
    // A double-click: the first press and release, then the second press
    // that arrives as the double-click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(clicked.result(), QDialog::Accepted);
    EXPECT_EQ(clicked.ChosenReference(), 9121);
}

}  // namespace
}  // namespace tavik
