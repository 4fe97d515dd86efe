#include "app/shell/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace tavik {

namespace {

QString RuntimeDir() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    return dir;
}

}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent), key_(key) {
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_.nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            s->write("ok");
            s->flush();
            emit activationRequested();
        }
    });
}

SingleInstance::~SingleInstance() {
    server_.close();
    if (lock_ && held_) lock_->unlock();
}

QString SingleInstance::LockPath() const { return RuntimeDir() + "/" + key_ + ".lock"; }

QString SingleInstance::ServerName() const {
    // A socket in the runtime directory: one per user, like the lock.
    return RuntimeDir() + "/" + key_ + ".socket";
}

bool SingleInstance::Acquire() {
    lock_ = std::make_unique<QLockFile>(LockPath());
    lock_->setStaleLockTime(0);  // a lock whose process is gone is taken over
    if (lock_->tryLock(0)) {
        held_ = true;
        QLocalServer::removeServer(ServerName());  // left over from a crash
        server_.listen(ServerName());
        return true;
    }
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (socket.waitForConnected(2000)) {
        socket.write("raise");
        socket.flush();
        activationSent_ = socket.waitForReadyRead(1000);
        socket.disconnectFromServer();
    }
    return false;
}

}  // namespace tavik
