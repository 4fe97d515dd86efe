#include "mountsim/PtyMount.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

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

void PtyMount::Stop() {
    if (running_.exchange(false)) {
        const char c = 1;
        [[maybe_unused]] const ssize_t w = ::write(wake_[1], &c, 1);
    }
    if (thread_.joinable()) thread_.join();
    CloseFd(slave_);
    CloseFd(master_);
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
        pollfd fds[2] = {{master_, static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0},
                         {wake_[0], POLLIN, 0}};
        // The time-out moves the mount along while nothing is said.
        const int ready = ::poll(fds, 2, 50);
        if (!running_) break;
        if (ready < 0 && errno != EINTR) {
            ::poll(nullptr, 0, 20);
            continue;
        }
        if (fds[1].revents & POLLIN) {
            while (::read(wake_[0], buf, sizeof buf) > 0) {
            }
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) {
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
        if (!outgoing_.empty()) {
            const ssize_t n = ::write(master_, outgoing_.data(), outgoing_.size());
            if (n > 0) outgoing_.erase(0, static_cast<std::size_t>(n));
        }
    }
}

}  // namespace tavik::mountsim
