#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "ScopeTestSupport.h"
#include "settings/SettingsStore.h"
#include "telescope/CommPort.h"

namespace tavik {
namespace {

using test::WaitUntil;

class CountingOwner final : public CommOwner {
public:
    void OnData() override { ++calls; }
    std::atomic<int> calls{0};
};

TEST(CommPortTest, LineSettingMappings) {
    CommPort port;
    EXPECT_EQ(port.BaudRate(), 9600);
    EXPECT_EQ(port.StopBitsMode(), CommPort::kTwoStopBits);
    EXPECT_EQ(port.ParityMode(), CommPort::kNoParity);

    for (int baud : {2400, 4800, 14400, 19200, 38400, 56000, 57600, 115200}) {
        port.SetLine(baud, 0, 8, 1.0);
        EXPECT_EQ(port.BaudRate(), baud);
    }
    for (int baud : {9601, 300, 0, -9600, 230400}) {
        port.SetLine(baud, 0, 8, 1.0);
        EXPECT_EQ(port.BaudRate(), 9600) << baud;
    }

    port.SetLine(9600, 2, 8, 1.0);
    EXPECT_EQ(port.ParityMode(), CommPort::kEvenParity);
    port.SetLine(9600, 7, 8, 1.0);  // unknown parity keeps the previous one
    EXPECT_EQ(port.ParityMode(), CommPort::kEvenParity);
    port.SetLine(9600, 1, 8, 1.0);
    EXPECT_EQ(port.ParityMode(), CommPort::kOddParity);

    port.SetLine(9600, 0, 8, 1.09);
    EXPECT_EQ(port.StopBitsMode(), CommPort::kOneStopBit);
    port.SetLine(9600, 0, 8, 1.5);
    EXPECT_EQ(port.StopBitsMode(), CommPort::kOneAndHalfStopBits);
    port.SetLine(9600, 0, 8, 1.9);
    EXPECT_EQ(port.StopBitsMode(), CommPort::kTwoStopBits);
    port.SetLine(9600, 0, 7, 1.0);
    EXPECT_EQ(port.DataBits(), 7);
    port.SetLine(9600, 0, 9, 1.0);
    EXPECT_EQ(port.DataBits(), 7);
}

TEST(CommPortTest, PortNumbersMapToDevicePaths) {
    EXPECT_EQ(DefaultDevicePath(1), "/dev/ttyUSB0");
    EXPECT_EQ(DefaultDevicePath(2), "/dev/ttyUSB1");
    EXPECT_EQ(DefaultDevicePath(3), "/dev/ttyS0");
    EXPECT_EQ(DefaultDevicePath(4), "/dev/ttyS1");
    EXPECT_EQ(DefaultDevicePath(9), "/dev/ttyUSB0");

    MemorySettingsStore store;
    EXPECT_EQ(DevicePathForPort(store, 3), "/dev/ttyS0");
    store.WriteProfileString("TS", "DEVICE3", std::string("/dev/ttyACM0"));
    EXPECT_EQ(DevicePathForPort(store, 3), "/dev/ttyACM0");
    EXPECT_EQ(DevicePathForPort(store, 4), "/dev/ttyS1");

    CommPort port;
    port.SetPort(2);
    EXPECT_EQ(port.DeviceName(), "/dev/ttyUSB1");
    port.SetDevicePath("/tmp/x");
    EXPECT_EQ(port.DeviceName(), "/tmp/x");
}

TEST(CommPortTest, MissingDeviceStaysClosed) {
    CommPort port;
    port.SetDevicePath("/nonexistent/tavik-serial");
    port.Open(true);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Write("x"), 0u);
    // A file that is not a terminal cannot be configured: closed as well.
    port.SetDevicePath("/dev/null");
    port.Open(true);
    EXPECT_FALSE(port.IsOpen());
}

TEST(CommPortTest, OpenWriteReadClose) {
    mountsim::PtyMount mount;
    ASSERT_TRUE(mount.Start());
    CountingOwner owner;
    CommPort port;
    port.SetDevicePath(mount.Path());
    port.SetLine(9600, 0, 8, 1.0);
    port.SetOwner(&owner);

    char buf[16] = {'x', 'x'};
    EXPECT_EQ(port.Read(buf, sizeof buf), 0u);  // closed and empty
    EXPECT_EQ(buf[0], '\0');

    port.Open(true);
    ASSERT_TRUE(port.IsOpen());
    port.Open(true);  // already open: nothing happens
    EXPECT_TRUE(port.IsOpen());

    EXPECT_EQ(port.Write(":GR#"), 4u);
    EXPECT_EQ(port.Write(nullptr, 0), 0u);
    ASSERT_TRUE(WaitUntil([&] { return port.Waiting() >= 8; }));
    EXPECT_GE(owner.calls.load(), 1);

    // A read with less room takes what fits and leaves the rest.
    char small[3];
    EXPECT_EQ(port.Read(small, sizeof small), 3u);
    EXPECT_EQ(std::string(small, 3), "00:");
    char rest[64];
    EXPECT_EQ(port.Read(rest, sizeof rest), 5u);
    EXPECT_EQ(std::string(rest, 5), "00.0#");
    EXPECT_EQ(port.Read(rest, sizeof rest), 0u);
    EXPECT_EQ(rest[0], '\0');
    EXPECT_EQ(port.Read(rest, 0), 0u);  // no room: nothing written at all

    port.Open(false);
    EXPECT_FALSE(port.IsOpen());
    port.Open(false);  // already closed
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Write(":GR#"), 0u);

    // The device can be opened again afterwards.
    port.Open(true);
    EXPECT_TRUE(port.IsOpen());
}

TEST(CommPortTest, GarbageBurstNeitherCrashesNorStallsTheReader) {
    mountsim::PtyMount mount;
    ASSERT_TRUE(mount.Start());
    CountingOwner owner;
    CommPort port;
    port.SetDevicePath(mount.Path());
    port.SetOwner(&owner);
    port.Open(true);
    ASSERT_TRUE(port.IsOpen());

    // 20 kB with nobody reading the ring: it fills at 16384 bytes, the rest is
    // dropped, and the reader keeps draining the device.
    std::string burst(20 * 1024, '\0');
    for (std::size_t i = 0; i < burst.size(); ++i) burst[i] = static_cast<char>(i * 7 + 3);
    mount.SendRaw(burst);
    ASSERT_TRUE(WaitUntil([&] { return port.BytesReceived() >= burst.size(); }));
    EXPECT_EQ(port.Waiting(), CommPort::kRingSize);
    EXPECT_EQ(port.BytesDropped(), burst.size() - CommPort::kRingSize);

    // The oldest bytes are intact and in order.
    std::string got(CommPort::kRingSize, '\0');
    EXPECT_EQ(port.Read(got.data(), got.size()), CommPort::kRingSize);
    EXPECT_EQ(got, burst.substr(0, CommPort::kRingSize));

    // The reader still works: a command gets its reply.
    EXPECT_EQ(port.Write(":GD#"), 4u);
    ASSERT_TRUE(WaitUntil([&] { return port.Waiting() >= 7; }));
    char reply[16];
    EXPECT_EQ(std::string(reply, port.Read(reply, sizeof reply)), "+00*00#");
}

TEST(CommPortTest, RingWrapsAroundWithoutLoss) {
    mountsim::PtyMount mount;
    ASSERT_TRUE(mount.Start());
    CommPort port;
    port.SetDevicePath(mount.Path());
    port.Open(true);
    ASSERT_TRUE(port.IsOpen());
    // Several passes over the ring's end, each read back completely.
    std::string all;
    std::size_t sent = 0;
    for (int round = 0; round < 5; ++round) {
        std::string chunk(7000, '\0');
        for (auto& c : chunk) c = static_cast<char>('a' + (sent++ % 26));
        mount.SendRaw(chunk);
        const std::size_t want = sent;
        ASSERT_TRUE(WaitUntil([&] { return port.BytesReceived() >= want; }));
        std::string got(8000, '\0');
        got.resize(port.Read(got.data(), got.size()));
        all += got;
    }
    ASSERT_EQ(all.size(), sent);
    for (std::size_t i = 0; i < all.size(); ++i) ASSERT_EQ(all[i], 'a' + static_cast<int>(i % 26));
    EXPECT_EQ(port.BytesDropped(), 0u);
}

TEST(CommPortTest, CloseNeverHangs) {
    mountsim::PtyMount mount;
    ASSERT_TRUE(mount.Start());
    CommPort port;
    port.SetDevicePath(mount.Path());
    // Closing while the reader waits in poll(), repeatedly, and while data flows.
    for (int i = 0; i < 20; ++i) {
        port.Open(true);
        ASSERT_TRUE(port.IsOpen());
        if (i % 2) mount.SendRaw(std::string(3000, 'z'));
        port.Open(false);
        EXPECT_FALSE(port.IsOpen());
    }
    // The other end goes away while open: the reader must not spin or block the close.
    port.Open(true);
    ASSERT_TRUE(port.IsOpen());
    mount.Stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    port.Open(false);
    EXPECT_FALSE(port.IsOpen());
}

TEST(CommPortTest, BytesWrittenJustBeforeClosingAreDelivered) {
    mountsim::PtyMount mount;
    ASSERT_TRUE(mount.Start());
    CommPort port;
    port.SetDevicePath(mount.Path());
    for (int i = 0; i < 5; ++i) {
        port.Open(true);
        ASSERT_TRUE(port.IsOpen());
        EXPECT_EQ(port.Write(":Q#"), 3u);
        port.Open(false);
    }
    ASSERT_TRUE(WaitUntil([&] { return mount.Commands().size() >= 5; }, std::chrono::seconds(5)))
        << mount.Commands().size() << " of 5 stop commands arrived";
}

TEST(CommPortTest, DestructorClosesAnOpenPort) {
    mountsim::PtyMount mount;
    ASSERT_TRUE(mount.Start());
    {
        CommPort port;
        port.SetDevicePath(mount.Path());
        port.Open(true);
        ASSERT_TRUE(port.IsOpen());
    }
    // Exclusive use was released: another port can open the device.
    CommPort again;
    again.SetDevicePath(mount.Path());
    again.Open(true);
    EXPECT_TRUE(again.IsOpen());
}

}  // namespace
}  // namespace tavik
