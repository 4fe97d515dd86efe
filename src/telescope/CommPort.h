#pragma once
// The byte channel to the telescope: one serial device opened with POSIX
// termios, or a TCP connection when the device is given as "tcp://HOST:PORT"
// (a mount behind a WiFi adapter), a reader thread that drains it into a
// 16384-byte ring without ever blocking the user-interface thread, and plain
// write and read calls. It knows nothing of the command set spoken over it.
//
// A line that dies while open (the other end hangs up, a USB adapter is pulled,
// the TCP peer closes) is noticed by the reader thread at once: IsOpen() turns
// false and the owner is notified, so a wait for a reply ends without waiting
// for its time-out. Open(false) then releases the device as usual.
//
// Threads: the user-interface thread opens, writes, reads and closes; the
// reader thread only fills the ring and notifies the owner. The ring is a
// single-producer single-consumer queue: the reader thread advances only the
// write position, Read only the read position, each published with release and
// observed with acquire ordering.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace tavik {

class SettingsStore;

// Notified by the reader thread after every batch of received bytes (and after
// line errors or hang-ups). Called on the reader thread.
class CommOwner {
public:
    virtual ~CommOwner() = default;
    virtual void OnData() = 0;
};

// Serial port numbers 1..4 as the settings name them, and their device paths:
// by default /dev/ttyUSB0, /dev/ttyUSB1, /dev/ttyS0, /dev/ttyS1; each can be set
// by TS/DEVICE1 .. TS/DEVICE4 (any path: a USB adapter, /dev/ttyACM0, a
// pseudo-terminal, or tcp://HOST:PORT). A port number outside 1..4 uses port 1.
std::string DefaultDevicePath(int portNumber);
std::string DevicePathForPort(const SettingsStore& store, int portNumber);
// The serial devices present on this machine, to offer in the settings dialog:
// /dev/ttyUSB*, /dev/ttyACM* and /dev/serial/by-id/*, sorted.
std::vector<std::string> SerialDevicesPresent();

class CommPort {
public:
    static constexpr std::size_t kRingSize = 16384;
    static constexpr std::size_t kTransferSize = 8192;

    enum Parity : std::uint8_t { kNoParity = 0, kOddParity = 1, kEvenParity = 2 };
    enum StopBits : std::uint8_t { kOneStopBit = 0, kOneAndHalfStopBits = 1, kTwoStopBits = 2 };

    // 9600 baud, no parity, 8 data bits, two stop bits, port 1, closed.
    CommPort();
    // Closes the port (and ends the reader thread) when open.
    ~CommPort();
    CommPort(const CommPort&) = delete;
    CommPort& operator=(const CommPort&) = delete;

    void SetPort(int portNumber);
    int Port() const { return portNumber_; }
    // A device path that replaces the port's default path (empty: none).
    void SetDevicePath(std::string path) { devicePath_ = std::move(path); }
    // The path Open uses.
    std::string DeviceName() const;

    // Baud 2400, 4800, 14400, 19200, 38400, 56000, 57600 or 115200; any other
    // value gives 9600. Parity 0, 1, 2 (another value keeps the previous one).
    // Stop bits below 1.1 give one, below 1.9 one and a half, else two.
    // Data bits 5..8 (another value keeps the previous one). Takes effect at the
    // next Open.
    void SetLine(int baud, int parity, int dataBits, double stopBits);
    int BaudRate() const { return baudRate_; }
    int DataBits() const { return byteSize_; }
    int ParityMode() const { return parity_; }
    int StopBitsMode() const { return stopBits_; }

    // The owner notified after each read; set it before opening.
    void SetOwner(CommOwner* owner) { owner_.store(owner, std::memory_order_release); }

    // Open(true) opens and configures the device (or connects, within
    // kConnectTimeoutMs) and starts the reader thread; any failure leaves the
    // port closed (no message: the caller checks IsOpen). A line that was lost
    // is released and opened afresh. Open(false) closes. Asking for the present
    // state does nothing.
    void Open(bool open);
    // Open and the line still alive.
    bool IsOpen() const {
        return isOpen_.load(std::memory_order_acquire) && !lost_.load(std::memory_order_acquire);
    }
    // The line died while open (see above); cleared by the next Open.
    bool LineLost() const { return lost_.load(std::memory_order_acquire); }
    // True while connected over TCP rather than a serial device.
    bool IsNetwork() const { return socket_; }

    // "tcp://HOST:PORT" (HOST a name, an IPv4 address or [IPv6]) split into its
    // parts; false for a path that is not of that form or has a bad port.
    static bool ParseNetworkAddress(const std::string& device, std::string* host,
                                    std::string* port);
    static constexpr int kConnectTimeoutMs = 3000;

    // Writes the whole block within 1000 ms plus 1 ms per byte; returns the
    // number of bytes written (0 when closed or length 0). Fewer bytes than
    // asked mean the write failed (a dead line or a write time-out).
    std::size_t Write(const void* bytes, std::size_t length);
    std::size_t Write(const std::string& text) { return Write(text.data(), text.size()); }

    // Takes the unread bytes, at most `capacity`, into `buffer` and returns how
    // many were taken; bytes beyond `capacity` stay for the next Read. When
    // nothing waits and capacity > 0, a single 0 byte is written to the buffer.
    std::size_t Read(void* buffer, std::size_t capacity);
    // Bytes waiting in the ring.
    std::size_t Waiting() const;
    // Drops every byte waiting in the ring (stale input before a new command).
    void Discard();

    // Counters for diagnostics and tests: bytes the reader thread received, and
    // bytes it had to drop because the ring was full.
    std::uint64_t BytesReceived() const { return received_.load(std::memory_order_acquire); }
    std::uint64_t BytesDropped() const { return dropped_.load(std::memory_order_acquire); }
    // Bytes written to the line since the port was made.
    std::uint64_t BytesSent() const { return sent_.load(std::memory_order_acquire); }

private:
    bool OpenDevice();
    bool OpenSerial(const std::string& name);
    bool OpenNetwork(const std::string& host, const std::string& port);
    bool StartReader();
    void CloseDevice();
    void ReaderLoop();
    void StoreInRing(const std::uint8_t* bytes, std::size_t n);

    int portNumber_ = 1;
    std::string devicePath_;
    int baudRate_ = 9600;
    int byteSize_ = 8;
    int parity_ = kNoParity;
    int stopBits_ = kTwoStopBits;

    int fd_ = -1;
    int wakePipe_[2] = {-1, -1};
    bool socket_ = false;
    std::atomic<bool> isOpen_{false};
    std::atomic<bool> lost_{false};
    std::atomic<CommOwner*> owner_{nullptr};
    std::thread reader_;

    std::array<std::uint8_t, kRingSize> ring_{};
    // Total bytes ever written to / read from the ring; the index into the ring
    // is the position modulo kRingSize. Only the reader thread stores writePos_,
    // only the consumer stores readPos_.
    std::atomic<std::uint64_t> writePos_{0};
    std::atomic<std::uint64_t> readPos_{0};
    std::atomic<std::uint64_t> received_{0};
    std::atomic<std::uint64_t> dropped_{0};
    std::atomic<std::uint64_t> sent_{0};
};

}  // namespace tavik
