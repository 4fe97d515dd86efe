#include "mountsim/PtyMount.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tavik::mountsim {

namespace {
void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}
}  // namespace

PtyMount::PtyMount(MountOptions options) : sim_(std::move(options)) {}

PtyMount::~PtyMount() { Stop(); }

double PtyMount::Now() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool PtyMount::Start(std::string* error) {
    auto fail = [&](const char* what) {
        if (error) *error = std::string(what) + ": " + std::strerror(errno);
        CloseFd(slave_);
        CloseFd(master_);
        CloseFd(wake_[0]);
        CloseFd(wake_[1]);
        return false;
    };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) return fail("posix_openpt");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return fail("grantpt/unlockpt");
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) return fail("ptsname");
    path_ = name;
    // Hold the terminal side open and raw: no echo, no line editing, even
    // before (and between) the clients that open it.
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) return fail("open terminal side");
    termios tio{};
    if (::tcgetattr(slave_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(slave_, TCSANOW, &tio);
    }
    const int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) return fail("pipe");
    running_ = true;
    thread_ = std::thread([this] { Loop(); });
    return true;
}

bool PtyMount::StartTcp(int port, std::string* error) {
    auto fail = [&](const char* what) {
        if (error) *error = std::string(what) + ": " + std::strerror(errno);
        CloseFd(listen_);
        CloseFd(wake_[0]);
        CloseFd(wake_[1]);
        return false;
    };
    if (port < 0 || port > 65535) {
        errno = EINVAL;
        return fail("port");
    }
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listen_ < 0) return fail("socket");
    const int one = 1;
    ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return fail("bind");
    if (::listen(listen_, 4) != 0) return fail("listen");
    socklen_t len = sizeof addr;
    if (::getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return fail("getsockname");
    tcpPort_ = ntohs(addr.sin_port);
    path_ = "tcp://127.0.0.1:" + std::to_string(tcpPort_);
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) return fail("pipe");
    running_ = true;
    thread_ = std::thread([this] { Loop(); });
    return true;
}

void PtyMount::DropClient() {
    dropClient_ = true;
    const char c = 1;
    [[maybe_unused]] const ssize_t w = ::write(wake_[1], &c, 1);
}

void PtyMount::Stop() {
    if (running_.exchange(false)) {
        const char c = 1;
        [[maybe_unused]] const ssize_t w = ::write(wake_[1], &c, 1);
    }
    if (thread_.joinable()) thread_.join();
    CloseFd(slave_);
    CloseFd(master_);
    CloseFd(listen_);
    CloseFd(wake_[0]);
    CloseFd(wake_[1]);
}

void PtyMount::SendRaw(std::string bytes) {
    {
        std::lock_guard g(lock_);
        outgoing_ += bytes;
    }
    const char c = 1;
    [[maybe_unused]] const ssize_t w = ::write(wake_[1], &c, 1);
}

std::vector<std::string> PtyMount::Commands() const {
    std::lock_guard g(lock_);
    return commands_;
}

void PtyMount::ClearCommands() {
    std::lock_guard g(lock_);
    commands_.clear();
}

void PtyMount::With(const std::function<void(MountSimulator&)>& f) {
    std::lock_guard g(lock_);
    sim_.Advance(Now());
    f(sim_);
}

void PtyMount::SetLogger(std::function<void(const std::string&, const std::string&)> log) {
    std::lock_guard g(lock_);
    log_ = std::move(log);
}

void PtyMount::Loop() {
    char buf[4096];
    while (running_) {
        bool wantWrite;
        {
            std::lock_guard g(lock_);
            wantWrite = !outgoing_.empty();
        }
        // (An fd of -1, no TCP client or no listener, is skipped by poll.)
        pollfd fds[3] = {{master_, static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0},
                         {wake_[0], POLLIN, 0},
                         {listen_, POLLIN, 0}};
        // The time-out moves the mount along while nothing is said.
        const int ready = ::poll(fds, 3, 50);
        if (!running_) break;
        if (ready < 0 && errno != EINTR) {
            ::poll(nullptr, 0, 20);
            continue;
        }
        if (fds[1].revents & POLLIN) {
            while (::read(wake_[0], buf, sizeof buf) > 0) {
            }
        }
        if (listen_ >= 0 && (dropClient_.exchange(false) || (fds[2].revents & POLLIN))) {
            // A new client replaces the old one; a drop just closes it.
            const int client = (fds[2].revents & POLLIN)
                                   ? ::accept4(listen_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)
                                   : -1;
            if (client >= 0 || !(fds[2].revents & POLLIN)) {
                CloseFd(master_);
                std::lock_guard g(lock_);
                outgoing_.clear();
            }
            if (client >= 0) {
                const int one = 1;
                ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                master_ = client;
            }
            continue;
        }
        if (listen_ >= 0 && master_ >= 0 && (fds[0].revents & (POLLHUP | POLLERR)) &&
            !(fds[0].revents & POLLIN)) {
            CloseFd(master_);  // the client went away; wait for the next one
            continue;
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n == 0 && listen_ >= 0) {
                CloseFd(master_);
                continue;
            }
            if (n > 0) {
                bytesIn_ += static_cast<std::uint64_t>(n);
                std::lock_guard g(lock_);
                const std::size_t before = sim_.Commands().size();
                const std::string reply = sim_.Receive(std::string_view(buf, n), Now());
                const auto& all = sim_.Commands();
                commands_.insert(commands_.end(), all.begin() + static_cast<long>(before), all.end());
                if (log_) {
                    for (std::size_t i = before; i < all.size(); ++i) log_(all[i], "");
                    if (!reply.empty()) log_("", reply);
                }
                outgoing_ += reply;
            }
        }
        std::lock_guard g(lock_);
        sim_.Advance(Now());
        if (!outgoing_.empty() && master_ >= 0) {
            const ssize_t n = listen_ >= 0
                                  ? ::send(master_, outgoing_.data(), outgoing_.size(), MSG_NOSIGNAL)
                                  : ::write(master_, outgoing_.data(), outgoing_.size());
            if (n > 0) {
                outgoing_.erase(0, static_cast<std::size_t>(n));
                bytesOut_ += static_cast<std::uint64_t>(n);
            }
        } else if (master_ < 0) {
            outgoing_.clear();  // nobody to hear it
        }
    }
}

}  // namespace tavik::mountsim
