// Night mode for the whole window: red on black, and back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>

#include "QtTestApp.h"
#include "app/view/NightMode.h"

namespace tavik {
namespace {

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

}  // namespace
}  // namespace tavik
