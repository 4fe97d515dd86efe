#pragma once
// Night mode for the whole window: while red mode (COLOR/ALLRED) is on, the
// menus, toolbars, dialogs, message boxes and pop-up menus are drawn dark red
// on black, so that nothing on the screen spoils dark adaptation. The chart is
// not touched: it keeps its own colour rules.
//
// The application's palette and style sheet as they were before the first
// switch to red are kept and put back when red mode ends.

class QApplication;

namespace tavik {

// Switches the application's palette and style sheet to red on black (`red`)
// or back to the ones it had before. Calling it again with the same value
// changes nothing.
void ApplyNightMode(QApplication& app, bool red);

// True while the red palette is in force.
bool NightModeActive();

}  // namespace tavik
