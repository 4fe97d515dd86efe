#pragma once
// The benchmarks draw with QPainter, which wants a GUI application: one is
// made on first use, on the offscreen platform unless another is chosen.

#include <QCoreApplication>
#include <QGuiApplication>

namespace tavik::bench {

inline void EnsureGuiApp() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tavik-bench";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

}  // namespace tavik::bench
