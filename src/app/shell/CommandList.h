#pragma once
// `tavik --list-commands`: one line per command of AllCommands(), in its order,
//
//   ID <TAB> TEXT <TAB> enabled|disabled <TAB> checked|unchecked <TAB> WHERE
//
// with the state the window shows at start (the frame's ItemStateFor after the
// toolbars are in place) and WHERE the comma-separated places the command
// appears: "menu:<title>" for the main menus (and "menu:▲" for the toolbar
// menu 164), "toolbar:<index 0..11>" for the main toolbars, "second:<resource>"
// for the second strips (165, 171), and "popup:display", "popup:tapregistration",
// "popup:telescope", "popup:actionkey" for the pop-up menus (the items those
// menus can offer: a tapped constellation, a hidden navigator, telescope
// control and full screen counted in). WHERE is empty for a command that
// appears nowhere.

#include <QStringList>

class QTextStream;

namespace tavik {

class CMainFrame;

// The lines for a frame that is already built.
QStringList CommandListLines(const CMainFrame& frame);

// Builds the document, frame and view hidden on the user's settings (read
// only: the start-up's own writes go to memory), without the single-instance
// lock, and writes the lines to `out`. Returns the process exit code.
int ListCommands(QTextStream& out);

}  // namespace tavik
