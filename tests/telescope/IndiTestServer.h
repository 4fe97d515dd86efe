#pragma once
// indiserver for the INDI tests: one driver, a free loopback port, a process
// group of its own (the driver runs in it too) that is always killed, and a
// private HOME so that the driver's files stay out of the user's.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ScopeTestSupport.h"

namespace tavik::test {

inline bool OnPath(const std::string& program) {
    const std::string cmd = "command -v " + program + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

inline int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    close(fd);
    return ntohs(a.sin_port);
}

inline bool Accepts(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(fd);
    return ok;
}

class IndiServer {
public:
    // A port found free can be taken before the server binds it: then the
    // server ends at once and another port is tried.
    bool Start(const std::string& driver) {
        std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(test.begin(), test.end(), '/', '_');
        home = std::filesystem::path(TAVIK_BINARY_DIR) / "indi-test" / test;
        std::filesystem::remove_all(home);  // no park data or settings of an earlier run
        std::filesystem::create_directories(home);
        for (int attempt = 0; attempt < 5; ++attempt) {
            port = FreeLoopbackPort();
            pid_ = fork();
            if (pid_ == 0) {
                setpgid(0, 0);
                setenv("HOME", home.c_str(), 1);
                const std::string p = std::to_string(port);
                // Its local socket is named after the port, so servers of
                // tests running side by side do not collide.
                const std::string local = "/tmp/tavik-indi-test-" + p;
                freopen("/dev/null", "w", stdout);
                freopen((home / "server.log").c_str(), "w", stderr);
                execlp("indiserver", "indiserver", "-p", p.c_str(), "-u", local.c_str(), driver.c_str(),
                       static_cast<char*>(nullptr));
                _exit(127);
            }
            setpgid(pid_, pid_);
            bool ended = false;
            WaitUntil([&] {
                ended = waitpid(pid_, nullptr, WNOHANG) == pid_;
                return ended || Accepts(port);
            });
            if (!ended) return Accepts(port);
            kill(-pid_, SIGKILL);  // a driver it may have started
            pid_ = -1;
        }
        return false;
    }
    void Stop() {
        if (pid_ <= 0) return;
        kill(-pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    ~IndiServer() { Stop(); }

    int port = 0;
    std::filesystem::path home;

private:
    pid_t pid_ = -1;
};

}  // namespace tavik::test
