// Only one copy runs: a second lock on the same key fails and asks the first
// to come forward; a second start of the program ends without a window; a
// termination signal ends the program in good order.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include "QtTestApp.h"
#include "app/shell/SingleInstance.h"

namespace tavik {
namespace {

TEST(SingleInstanceTest, SecondLockFailsAndTheFirstIsAskedToComeForward) {
    test::QtApp();
    const QString key = QStringLiteral("TavikSingleTest-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(key);
    ASSERT_TRUE(first.Acquire());
    QSignalSpy raised(&first, &SingleInstance::activationRequested);
    // A lock held for a while by a live process is never taken as stale.
    QThread::msleep(50);
    {
        SingleInstance second(key);
        EXPECT_FALSE(second.Acquire());
        EXPECT_FALSE(second.Held());
    }
    QElapsedTimer t;
    t.start();
    while (raised.count() == 0 && t.elapsed() < 3000) QCoreApplication::processEvents();
    EXPECT_EQ(raised.count(), 1);
}

TEST(SingleInstanceTest, SecondStartEndsWithoutAWindowAndTermEndsTheFirstInGoodOrder) {
    test::QtApp();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_DATA_HOME", home.path() + "/data");
    env.insert("XDG_RUNTIME_DIR", home.path());
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(TAVIK_APP, {});
    ASSERT_TRUE(first.waitForStarted(5000));
    // The first copy holds its lock once its socket is there.
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(home.path() + "/TavikMutex.socket") && t.elapsed() < 10000) {
        QThread::msleep(20);
    }
    ASSERT_TRUE(QFile::exists(home.path() + "/TavikMutex.socket"));

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(TAVIK_APP, {});
    ASSERT_TRUE(second.waitForFinished(10000)) << "the second copy ends by itself";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running) << "the first copy keeps running";

    // SIGTERM (a logout): the program leaves through its own exit path, which
    // releases the lock and writes the settings.
    first.terminate();
    if (!first.waitForFinished(10000)) first.kill();
    first.waitForFinished(2000);
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(home.path() + "/TavikMutex.socket"));
}

}  // namespace
}  // namespace tavik
