#pragma once
// One QApplication for the whole test program, on the offscreen platform, with
// its own runtime directory (lock files and sockets of the single-instance
// check stay out of the user's).

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>

namespace tavik::test {

// QtApp() is used by every test source; the suppression below is defined once,
// in AppTest.cpp.

inline QApplication& QtApp() {
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = [] {
        const QString runtime = QDir::tempPath() + "/tavik-app-tests-runtime";
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace tavik::test
