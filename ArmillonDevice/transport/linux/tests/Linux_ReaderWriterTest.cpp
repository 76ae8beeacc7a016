// The report transfers of the hidraw backend over one end of a SOCK_SEQPACKET socket pair,
// which keeps report boundaries as a hidraw node does; the test plays the kernel side on the
// other end. Opening is tested against plain files, which are no HID device.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <numeric>
#include <thread>
#include <vector>

#include "Linux_USB_DeviceIdentifier.h"
#include "Linux_USB_HID_DeviceReaderWriter.h"
#include "TemporaryDirectory.h"

namespace ArmillonDevice {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kReportLength = 65;

// The backend with its node replaced by a socket.
class SocketReaderWriter : public Linux_USB_HID_DeviceReaderWriter {
  public:
    SocketReaderWriter(common::Linux_UniqueFd end, std::chrono::milliseconds timeout)
        : Linux_USB_HID_DeviceReaderWriter(timeout), end_(std::move(end)) {}

  protected:
    ArmillonDeviceError OpenDevice(const DeviceIdentifier&, ReportLengths& lengths) override {
        lengths.input = kReportLength;
        lengths.output = kReportLength;
        AdoptNode(std::move(end_));
        return DeviceErrorCode::Success;
    }

  private:
    common::Linux_UniqueFd end_;
};

class Linux_ReaderWriterTest : public ::testing::Test {
  protected:
    void SetUp() override { Connect(10000ms); }

    void Connect(std::chrono::milliseconds timeout) {
        int ends[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends), 0);
        kernel.Reset(ends[1]);
        transport = std::make_unique<SocketReaderWriter>(common::Linux_UniqueFd(ends[0]), timeout);
        const Linux_USB_DeviceIdentifier identity("socket", 0x3A7C, 0x0A51);
        ASSERT_EQ(transport->Open(&identity), DeviceErrorCode::Success);
    }

    // What the kernel hands the host for one input report: no report-number byte.
    void Deliver(const Bytes& bytes) {
        ASSERT_EQ(::send(kernel.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }

    Bytes Receive() {
        Bytes report(1024);
        const ssize_t n = ::recv(kernel.Get(), report.data(), report.size(), MSG_DONTWAIT);
        report.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
        return report;
    }

    common::Linux_UniqueFd kernel;
    std::unique_ptr<SocketReaderWriter> transport;
};

Bytes Sequence(std::size_t n, std::uint8_t first = 1) {
    Bytes bytes(n);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

TEST_F(Linux_ReaderWriterTest, ReadPutsTheReportBehindAReportNumberAndZeroFills) {
    struct Case {
        const char* name;
        Bytes delivered;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"full report", Sequence(64), true},
        {"short report", Sequence(10, 0xA0), true},
        {"one byte", {0xC0}, true},
        {"longer than the descriptor says", Sequence(65), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Deliver(c.delivered);
        Bytes report(kReportLength, 0xEE);
        const auto result = transport->ReadReport(report);
        if (!c.accepted) {
            EXPECT_EQ(result, DeviceErrorCode::TransferFailed);
            continue;
        }
        ASSERT_EQ(result, DeviceErrorCode::Success);
        Bytes expected{0x00};
        expected.insert(expected.end(), c.delivered.begin(), c.delivered.end());
        expected.resize(kReportLength, 0x00);
        EXPECT_EQ(report, expected);
    }
}

TEST_F(Linux_ReaderWriterTest, BlocksTravelWholeReportsBothWays) {
    const Bytes request = Sequence(130);
    ASSERT_EQ(transport->Write(request), DeviceErrorCode::Success);
    Bytes carried;
    for (const std::uint8_t flags : {0x80, 0x00, 0x40}) {
        const Bytes report = Receive();
        ASSERT_EQ(report.size(), kReportLength);  // report number included
        EXPECT_EQ(report[0], 0x00);
        EXPECT_EQ(report[1], flags);
        carried.insert(carried.end(), report.begin() + 3, report.begin() + 3 + report[2]);
    }
    EXPECT_EQ(carried, request);
    EXPECT_TRUE(Receive().empty());

    // A reply of two reports, each without its report number.
    Bytes first{0x80, 62};
    const Bytes reply = Sequence(70, 0x40);
    first.insert(first.end(), reply.begin(), reply.begin() + 62);
    Bytes second{0x40, 8};
    second.insert(second.end(), reply.begin() + 62, reply.end());
    Deliver(first);
    Deliver(second);
    Bytes received(70);
    ASSERT_EQ(transport->Read(received, nullptr), DeviceErrorCode::Success);
    EXPECT_EQ(received, reply);
}

TEST_F(Linux_ReaderWriterTest, SilenceEndsTheReadAtTheTimeout) {
    Connect(30ms);
    Bytes report(kReportLength);
    const auto start = Clock::now();
    EXPECT_EQ(transport->ReadReport(report), DeviceErrorCode::TransferFailed);
    EXPECT_GE(Clock::now() - start, 30ms);
}

// A device that leaves while the host waits ends the wait at once: the long time-out below
// would only run out if the hang-up went unnoticed.
TEST_F(Linux_ReaderWriterTest, UnplugEndsTransfersAtOnce) {
    Connect(60000ms);
    std::thread unplug([&] {
        std::this_thread::sleep_for(20ms);
        kernel.Reset();
    });
    Bytes report(kReportLength);
    const auto start = Clock::now();
    EXPECT_EQ(transport->ReadReport(report), DeviceErrorCode::TransferFailed);
    unplug.join();
    EXPECT_LT(Clock::now() - start, 30000ms);
    const Bytes block(10, 0x55);
    EXPECT_EQ(transport->Write(block), DeviceErrorCode::TransferFailed);
    EXPECT_EQ(transport->Read(report, nullptr), DeviceErrorCode::TransferFailed);
}

TEST_F(Linux_ReaderWriterTest, ClosedTransportRefusesTransfers) {
    transport->Close();
    EXPECT_FALSE(transport->IsOpen());
    Bytes report(kReportLength);
    EXPECT_EQ(transport->ReadReport(report), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(transport->WriteReport(report), DeviceErrorCode::GeneralFailure);
}

// Signals keep arriving at the reading thread until the read returns. A wait that gave up on
// the first signal would fail at once; one that restarted its whole time-out after every
// signal would never return.
class SignalStorm {
  public:
    explicit SignalStorm(pthread_t target) : target_(target) {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;  // no SA_RESTART: interrupted calls return EINTR
        sigaction(SIGUSR1, &action, &previous_);
        sender_ = std::thread([this] {
            while (!stop_) {
                pthread_kill(target_, SIGUSR1);
                std::this_thread::sleep_for(1ms);
            }
        });
    }
    ~SignalStorm() {
        stop_ = true;
        sender_.join();
        sigaction(SIGUSR1, &previous_, nullptr);
    }

  private:
    pthread_t target_;
    struct sigaction previous_ {};
    std::atomic<bool> stop_{false};
    std::thread sender_;
};

TEST_F(Linux_ReaderWriterTest, SignalsNeitherEndNorExtendTheWait) {
    Connect(100ms);
    Bytes report(kReportLength);
    {
        SignalStorm storm(pthread_self());
        const auto start = Clock::now();
        EXPECT_EQ(transport->ReadReport(report), DeviceErrorCode::TransferFailed);
        EXPECT_GE(Clock::now() - start, 100ms);
    }
    Connect(60000ms);
    {
        SignalStorm storm(pthread_self());
        std::thread late([&] {
            std::this_thread::sleep_for(50ms);
            Deliver({0xC0, 0x01, 0x7F});
        });
        EXPECT_EQ(transport->ReadReport(report), DeviceErrorCode::Success);
        late.join();
        EXPECT_EQ(report[3], 0x7F);
    }
}

// A plain file answers no HID identifiers: it is not the identified device, whoever holds
// it, and the failed open leaves nothing locked.
TEST(Linux_ReaderWriterOpenTest, APlainFileIsNotTheIdentifiedDevice) {
    fu_testing::TemporaryDirectory dir;
    dir.Touch("hidraw0");
    const Linux_USB_DeviceIdentifier node((dir / "hidraw0").c_str(), 0x3A7C, 0x0A51);
    for (int heldLock : {0, LOCK_SH, LOCK_EX}) {
        SCOPED_TRACE(heldLock);
        common::Linux_UniqueFd other(::open(node.GetPath(), O_RDONLY | O_CLOEXEC));
        ASSERT_TRUE(other.IsValid());
        if (heldLock != 0) {
            ASSERT_EQ(::flock(other.Get(), heldLock | LOCK_NB), 0);
        }
        Linux_USB_HID_DeviceReaderWriter transport;
        EXPECT_EQ(transport.Open(&node), DeviceErrorCode::OpenFailed);
        EXPECT_FALSE(transport.IsOpen());
        other.Reset();
        common::Linux_UniqueFd probe(::open(node.GetPath(), O_RDONLY | O_CLOEXEC));
        EXPECT_EQ(::flock(probe.Get(), LOCK_EX | LOCK_NB), 0);
    }
}

class OtherIdentifier : public DeviceIdentifier {
  public:
    std::unique_ptr<DeviceIdentifier> Clone() const override {
        return std::make_unique<OtherIdentifier>();
    }
};

TEST(Linux_ReaderWriterOpenTest, RefusesIdentitiesItCannotOpen) {
    Linux_USB_HID_DeviceReaderWriter transport;
    EXPECT_EQ(transport.Open(nullptr), DeviceErrorCode::GeneralFailure);
    const OtherIdentifier other;
    EXPECT_EQ(transport.Open(&other), DeviceErrorCode::GeneralFailure);
    const Linux_USB_DeviceIdentifier missing("/nonexistent/hidraw0", 0x3A7C, 0x0A51);
    EXPECT_EQ(transport.Open(&missing), DeviceErrorCode::OpenFailed);
    EXPECT_FALSE(transport.IsOpen());
}

}  // namespace
}  // namespace ArmillonDevice
