#pragma once
// Runs a MountSimulator behind a pseudo-terminal: a program opens Path() as
// if it were the serial port of a real mount. Or, started with StartTcp, behind
// a TCP port on 127.0.0.1, like a mount behind a WiFi adapter: one client at a
// time (a new connection replaces the old one). A background thread answers
// and moves the mount. Used by tavik-mountsim and, linked in, by the tests.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "mountsim/MountSimulator.h"

namespace tavik::mountsim {

class PtyMount {
public:
    explicit PtyMount(MountOptions options = {});
    ~PtyMount();
    PtyMount(const PtyMount&) = delete;
    PtyMount& operator=(const PtyMount&) = delete;

    // Opens the pseudo-terminal and starts answering. False (with a reason in
    // `error`) when no pseudo-terminal can be had.
    bool Start(std::string* error = nullptr);
    // Listens on 127.0.0.1:port instead (0: a free port, see TcpPort()).
    bool StartTcp(int port, std::string* error = nullptr);
    void Stop();
    // The device path to open (e.g. /dev/pts/3, or tcp://127.0.0.1:4030).
    const std::string& Path() const { return path_; }
    // The TCP port listened on (0 for a pseudo-terminal).
    int TcpPort() const { return tcpPort_; }
    // Closes the present TCP client's connection (a dropped WiFi link).
    void DropClient();
    bool Running() const { return running_; }
    // Bytes taken from and sent to the client so far.
    std::uint64_t BytesReceived() const { return bytesIn_; }
    std::uint64_t BytesSent() const { return bytesOut_; }

    // Bytes to send as they are, from any thread (e.g. a burst of garbage).
    void SendRaw(std::string bytes);
    // Every command received so far.
    std::vector<std::string> Commands() const;
    void ClearCommands();
    // Runs `f` on the simulator under its lock (to read its state or change its
    // options while it runs).
    void With(const std::function<void(MountSimulator&)>& f);
    // Called with every command received and every reply sent (for --verbose).
    void SetLogger(std::function<void(const std::string& in, const std::string& out)> log);
    // The simulator's time now, seconds (for MountSimulator::Receive inside With).
    double Now() const;

private:
    void Loop();

    MountSimulator sim_;
    mutable std::mutex lock_;
    std::string outgoing_;
    std::function<void(const std::string&, const std::string&)> log_;
    std::vector<std::string> commands_;

    int master_ = -1;  // the terminal's master side, or the TCP client
    int slave_ = -1;  // held open so the terminal stays configured between clients
    int listen_ = -1;
    int tcpPort_ = 0;
    std::atomic<bool> dropClient_{false};
    std::atomic<std::uint64_t> bytesIn_{0};
    std::atomic<std::uint64_t> bytesOut_{0};
    int wake_[2] = {-1, -1};
    std::string path_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

}  // namespace tavik::mountsim
