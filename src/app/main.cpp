// tavik: the planetarium window.
//
//   tavik                  starts the program (one copy per user)
//   tavik --capture DIR    saves pictures of the window into DIR and ends

#include <QApplication>
#include <QStringList>

#include "app/Capture.h"
#include "app/TavikApp.h"

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    const QStringList args = QApplication::arguments();
    const int capture = args.indexOf(QStringLiteral("--capture"));
    if (capture > 0) {
        if (capture + 1 >= args.size()) return 2;
        return tavik::CaptureWindowPictures(args.at(capture + 1));
    }
    tavik::CTavikApp app;
    if (!app.InitInstance()) return 0;  // another copy runs: it was brought forward
    return QApplication::exec();
}
