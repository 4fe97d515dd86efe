// The constellation selection dialog, pressed as a user would.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

#include "QtTestApp.h"
#include "app/dialogs/ConstellationSelectDialog.h"

namespace tavik {
namespace {

TEST(ConstellationSelectDialog, ZodiacButtonAndAnEmptyChoiceThatTurnsTheSelectionOff) {
    test::QtApp();
    CConstellationSelectDialog dlg(false, {"Ori"});
    dlg.Fill();
    EXPECT_EQ(dlg.List()->count(), 89);
    EXPECT_EQ(dlg.List()->findItems(QString::fromUtf8("へび"), Qt::MatchExactly).size(), 2)
        << "Serpens' head and tail";
    EXPECT_FALSE(dlg.ZodiacButton()->isEnabled()) << "only while the box is ticked";
    dlg.ActiveBox()->click();
    ASSERT_TRUE(dlg.ZodiacButton()->isEnabled());
    dlg.ZodiacButton()->click();
    dlg.accept();
    EXPECT_TRUE(dlg.Active());
    EXPECT_EQ(dlg.Chosen().size(), 12u);

    CConstellationSelectDialog none(true, {});
    none.accept();
    EXPECT_FALSE(none.Active()) << "ticked with nothing selected turns the selection off";
    EXPECT_TRUE(none.Chosen().empty());
}

}  // namespace
}  // namespace tavik
