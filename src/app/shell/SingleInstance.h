#pragma once
// Only one copy of the program runs: the first takes a lock file in the
// runtime directory and listens on a local socket; a later copy finds the lock
// taken, asks the first copy (through the socket) to bring its window to the
// front, and ends.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace tavik {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `key` names the lock file and the socket ("TavikMutex" for the program).
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first copy (the lock is now held and the socket
    // listens). False when another copy holds it; that copy has then been asked
    // to come to the front (when it could be reached).
    bool Acquire();
    bool Held() const { return held_; }
    // Whether the running copy answered the activation request.
    bool ActivationSent() const { return activationSent_; }
    QString LockPath() const;
    QString ServerName() const;

signals:
    // Another copy asked this one to show its window.
    void activationRequested();

private:
    QString key_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    bool held_ = false;
    bool activationSent_ = false;
};

}  // namespace tavik
