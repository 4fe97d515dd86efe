// tavik: the planetarium window.
//
//   tavik                  starts the program (one copy per user)
//   tavik --capture DIR    saves pictures of the window into DIR and ends
//   tavik --list-commands  prints every command with its state at start and
//                          where it appears (no window, no single-instance lock)

#include <QApplication>
#include <QStringList>
#include <QTextStream>

#include <cstring>

#include "app/shell/Capture.h"
#include "app/shell/CommandList.h"
#include "app/shell/JapaneseQtTexts.h"
#include "app/shell/QuitOnSignal.h"
#include "app/shell/TavikApp.h"

int main(int argc, char* argv[]) {
    bool listCommands = false;
    for (int i = 1; i < argc; ++i) listCommands = listCommands || std::strcmp(argv[i], "--list-commands") == 0;
    // The list needs no screen: without a chosen platform it runs off screen.
    if (listCommands && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    tavik::InstallJapaneseQtTexts(qapp);
    const QStringList args = QApplication::arguments();
    if (listCommands) {
        QTextStream out(stdout);
        return tavik::ListCommands(out);
    }
    const int capture = args.indexOf(QStringLiteral("--capture"));
    if (capture > 0) {
        if (capture + 1 >= args.size()) return 2;
        return tavik::CaptureWindowPictures(args.at(capture + 1));
    }
    // A logout ends the program as its exit command does: history and settings written.
    tavik::QuitOnTerminationSignals();
    tavik::CTavikApp app;
    if (!app.InitInstance()) return 0;  // another copy runs: it was brought forward
    if (tavik::TerminationRequested()) return 0;
    return QApplication::exec();
}
