#include "telescope/CommPort.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"
#include "telescope/SerialBaud.h"

namespace tavik {

namespace {

constexpr int kPortCount = 4;

int ValidPort(int n) { return n >= 1 && n <= kPortCount ? n : 1; }

// Standard termios speed for a rate, or 0 when the rate needs a custom divisor.
speed_t StandardSpeed(int baud) {
    switch (baud) {
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        default: return 0;
    }
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

std::string DefaultDevicePath(int portNumber) {
    static const char* const kPaths[kPortCount] = {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0",
                                                   "/dev/ttyS1"};
    return kPaths[ValidPort(portNumber) - 1];
}

std::string DevicePathForPort(const SettingsStore& store, int portNumber) {
    const int n = ValidPort(portNumber);
    const std::string path = ReadSettingString(store, "TS", "DEVICE" + std::to_string(n));
    return path.empty() ? DefaultDevicePath(n) : path;
}

std::vector<std::string> SerialDevicesPresent() {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/dev", ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0) found.push_back(e.path().string());
    }
    for (const auto& e : std::filesystem::directory_iterator("/dev/serial/by-id", ec))
        found.push_back(e.path().string());
    std::sort(found.begin(), found.end());
    return found;
}

CommPort::CommPort() = default;

CommPort::~CommPort() { Open(false); }

void CommPort::SetPort(int portNumber) { portNumber_ = ValidPort(portNumber); }

std::string CommPort::DeviceName() const {
    return devicePath_.empty() ? DefaultDevicePath(portNumber_) : devicePath_;
}

void CommPort::SetLine(int baud, int parity, int dataBits, double stopBits) {
    switch (baud) {
        case 2400: case 4800: case 14400: case 19200: case 38400: case 56000: case 57600:
        case 115200:
            baudRate_ = baud;
            break;
        default:
            baudRate_ = 9600;
    }
    if (parity >= kNoParity && parity <= kEvenParity) parity_ = parity;
    if (dataBits >= 5 && dataBits <= 8) byteSize_ = dataBits;
    stopBits_ = stopBits < 1.1 ? kOneStopBit : stopBits < 1.9 ? kOneAndHalfStopBits : kTwoStopBits;
}

void CommPort::Open(bool open) {
    if (open) {
        if (IsOpen()) return;
        if (fd_ >= 0) CloseDevice();  // a lost line: release it first
        OpenDevice();
    } else if (fd_ >= 0) {
        CloseDevice();
    }
}

bool CommPort::ParseNetworkAddress(const std::string& device, std::string* host,
                                   std::string* port) {
    constexpr std::string_view kScheme = "tcp://";
    if (device.compare(0, kScheme.size(), kScheme) != 0) return false;
    const std::string rest = device.substr(kScheme.size());
    std::string h, p;
    if (!rest.empty() && rest[0] == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string::npos || close + 1 >= rest.size() || rest[close + 1] != ':')
            return false;
        h = rest.substr(1, close - 1);
        p = rest.substr(close + 2);
    } else {
        const std::size_t colon = rest.rfind(':');
        if (colon == std::string::npos) return false;
        h = rest.substr(0, colon);
        p = rest.substr(colon + 1);
    }
    if (h.empty() || p.empty() || p.size() > 5 ||
        p.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int n = std::stoi(p);
    if (n < 1 || n > 65535) return false;
    if (host) *host = h;
    if (port) *port = p;
    return true;
}

bool CommPort::OpenDevice() {
    const std::string name = DeviceName();
    lost_.store(false, std::memory_order_release);
    std::string host, port;
    if (ParseNetworkAddress(name, &host, &port)) return OpenNetwork(host, port);
    if (name.compare(0, 6, "tcp://") == 0) return false;  // a malformed address
    return OpenSerial(name);
}

bool CommPort::OpenNetwork(const std::string& host, const std::string& port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) return false;
    for (addrinfo* a = found; a != nullptr && fd_ < 0; a = a->ai_next) {
        fd_ = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd_ < 0) continue;
        int rc = ::connect(fd_, a->ai_addr, a->ai_addrlen);
        if (rc != 0 && errno == EINPROGRESS) {
            pollfd out{fd_, POLLOUT, 0};
            int err = 0;
            socklen_t len = sizeof err;
            if (::poll(&out, 1, kConnectTimeoutMs) == 1 &&
                ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0) {
                rc = 0;
            }
        }
        if (rc != 0) CloseFd(fd_);
    }
    ::freeaddrinfo(found);
    if (fd_ < 0) return false;
    // Commands are a few bytes each: send them at once.
    const int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    socket_ = true;
    if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        CloseFd(fd_);
        return false;
    }
    return StartReader();
}

bool CommPort::OpenSerial(const std::string& name) {
    socket_ = false;
    fd_ = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return false;

    auto fail = [&] {
        CloseFd(wakePipe_[0]);
        CloseFd(wakePipe_[1]);
        CloseFd(fd_);
        return false;
    };
    // Exclusive use, like a port opened without sharing.
    if (::ioctl(fd_, TIOCEXCL) != 0 && errno != ENOTTY) return fail();
    if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) return fail();
    // Drop stale input. (Output is left alone: a pseudo-terminal would discard
    // bytes of an earlier session its other end has not read yet.)
    ::tcflush(fd_, TCIFLUSH);

    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return fail();
    // Binary mode: no line editing, no translation, no echo, no signals.
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    switch (byteSize_) {
        case 5: tio.c_cflag |= CS5; break;
        case 6: tio.c_cflag |= CS6; break;
        case 7: tio.c_cflag |= CS7; break;
        default: tio.c_cflag |= CS8; break;
    }
    if (parity_ != kNoParity) {
        tio.c_cflag |= PARENB;
        if (parity_ == kOddParity) tio.c_cflag |= PARODD;
        tio.c_iflag |= INPCK;  // parity checking
    }
    tio.c_iflag &= ~(IGNPAR | PARMRK);  // no error character, keep NUL bytes
    // termios has no one-and-a-half stop bits; two is the nearest setting.
    if (stopBits_ != kOneStopBit) tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = StandardSpeed(baudRate_);
    if (speed != 0) {
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
    }
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return fail();
    if (speed == 0 && !SetCustomBaudRate(fd_, static_cast<unsigned>(baudRate_))) return fail();

    // RTS on, no hardware handshake (a pseudo-terminal has no modem lines).
    int rts = TIOCM_RTS;
    ::ioctl(fd_, TIOCMBIS, &rts);
    return StartReader();
}

bool CommPort::StartReader() {
    writePos_.store(0, std::memory_order_relaxed);
    readPos_.store(0, std::memory_order_relaxed);
    isOpen_.store(true, std::memory_order_release);
    try {
        reader_ = std::thread([this] { ReaderLoop(); });
    } catch (const std::system_error&) {
        isOpen_.store(false, std::memory_order_release);
        CloseFd(wakePipe_[0]);
        CloseFd(wakePipe_[1]);
        CloseFd(fd_);
        return false;
    }
    return true;
}

void CommPort::CloseDevice() {
    isOpen_.store(false, std::memory_order_release);
    // Wake the reader thread out of poll(); it sees isOpen_ false and ends.
    const char wake = 1;
    [[maybe_unused]] const ssize_t w = ::write(wakePipe_[1], &wake, 1);
    if (reader_.joinable()) reader_.join();
    CloseFd(wakePipe_[0]);
    CloseFd(wakePipe_[1]);
    if (socket_) {
        // What was written is on its way; the peer sees an orderly close.
        ::shutdown(fd_, SHUT_WR);
        CloseFd(fd_);
        socket_ = false;
        return;
    }
    // Let the last command leave the line (at most a second) and drop only the
    // unread input: purging the output would lose e.g. a stop command written
    // just before closing.
    for (int i = 0; i < 100; ++i) {
        int queued = 0;
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) break;
        ::poll(nullptr, 0, 10);
    }
    int dtr = TIOCM_DTR;
    ::ioctl(fd_, TIOCMBIC, &dtr);
    ::ioctl(fd_, TIOCNXCL);  // the device may stay open elsewhere (a pseudo-terminal)
    ::tcflush(fd_, TCIFLUSH);
    CloseFd(fd_);
}

void CommPort::ReaderLoop() {
    std::array<std::uint8_t, kTransferSize> transfer{};
    while (isOpen_.load(std::memory_order_acquire)) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        // The time-out only bounds the wait should a wake-up ever be missed.
        const int ready = ::poll(fds, 2, 500);
        if (ready < 0) {
            if (errno == EINTR) continue;
            ::poll(&fds[1], 1, 50);  // unexpected error: do not spin
            continue;
        }
        if (fds[1].revents != 0 || !isOpen_.load(std::memory_order_acquire)) break;
        if (ready == 0) continue;

        bool gotData = false;
        bool dead = false;
        if (fds[0].revents & POLLIN) {
            // Read exactly what waits, at most one transfer buffer per call; the
            // descriptor is non-blocking, so a read never waits.
            for (;;) {
                const ssize_t n = ::read(fd_, transfer.data(), transfer.size());
                if (n > 0) {
                    StoreInRing(transfer.data(), static_cast<std::size_t>(n));
                    gotData = true;
                    if (static_cast<std::size_t>(n) < transfer.size()) break;
                } else if (n < 0 && errno == EINTR) {
                    continue;
                } else {
                    // End of file (the TCP peer closed) or a line error (EIO of
                    // a terminal that hung up); EAGAIN: nothing more waits.
                    dead = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
                    break;
                }
            }
        }
        if (dead || (!gotData && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)))) {
            // The line is gone (a pseudo-terminal whose master closed, a pulled
            // adapter, a closed connection): say so once, then wait only for the
            // close, since poll would report the hang-up at once again.
            lost_.store(true, std::memory_order_release);
            if (CommOwner* owner = owner_.load(std::memory_order_acquire)) owner->OnData();
            while (isOpen_.load(std::memory_order_acquire)) {
                pollfd wake{wakePipe_[0], POLLIN, 0};
                if (::poll(&wake, 1, 500) > 0) break;
            }
            break;
        }
        if (CommOwner* owner = owner_.load(std::memory_order_acquire)) owner->OnData();
    }
}

void CommPort::StoreInRing(const std::uint8_t* bytes, std::size_t n) {
    received_.fetch_add(n, std::memory_order_acq_rel);
    const std::uint64_t w = writePos_.load(std::memory_order_relaxed);
    const std::uint64_t r = readPos_.load(std::memory_order_acquire);
    const std::size_t free = kRingSize - static_cast<std::size_t>(w - r);
    const std::size_t take = std::min(n, free);
    // Bytes that do not fit are dropped: overwriting unread bytes would race
    // with the reading side copying them.
    if (take < n) dropped_.fetch_add(n - take, std::memory_order_acq_rel);
    const std::size_t start = static_cast<std::size_t>(w % kRingSize);
    const std::size_t first = std::min(take, kRingSize - start);
    std::memcpy(ring_.data() + start, bytes, first);
    std::memcpy(ring_.data(), bytes + first, take - first);
    writePos_.store(w + take, std::memory_order_release);
}

std::size_t CommPort::Write(const void* bytes, std::size_t length) {
    if (!IsOpen() || length == 0) return 0;
    using Clock = std::chrono::steady_clock;
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(1000 + static_cast<long long>(length));
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    std::size_t done = 0;
    while (done < length) {
        // A socket whose peer has gone must not raise SIGPIPE.
        const ssize_t n = socket_ ? ::send(fd_, p + done, length - done, MSG_NOSIGNAL)
                                  : ::write(fd_, p + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            sent_.fetch_add(static_cast<std::uint64_t>(n), std::memory_order_acq_rel);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) break;  // line error: report what went out
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        pollfd out{fd_, POLLOUT, 0};
        ::poll(&out, 1, static_cast<int>(left.count()));
    }
    return done;
}

std::size_t CommPort::Waiting() const {
    return static_cast<std::size_t>(writePos_.load(std::memory_order_acquire) -
                                    readPos_.load(std::memory_order_relaxed));
}

std::size_t CommPort::Read(void* buffer, std::size_t capacity) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    const std::uint64_t w = writePos_.load(std::memory_order_acquire);
    const std::uint64_t r = readPos_.load(std::memory_order_relaxed);
    const std::size_t take = std::min(static_cast<std::size_t>(w - r), capacity);
    if (take == 0) {
        if (capacity > 0) out[0] = 0;
        return 0;
    }
    const std::size_t start = static_cast<std::size_t>(r % kRingSize);
    const std::size_t first = std::min(take, kRingSize - start);
    std::memcpy(out, ring_.data() + start, first);
    std::memcpy(out + first, ring_.data(), take - first);
    readPos_.store(r + take, std::memory_order_release);
    return take;
}

void CommPort::Discard() {
    readPos_.store(writePos_.load(std::memory_order_acquire), std::memory_order_release);
}

}  // namespace tavik
