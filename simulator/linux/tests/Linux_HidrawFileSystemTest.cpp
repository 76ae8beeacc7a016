// The hidraw nodes, spoken to with plain system calls as a host program would.
#include "Linux_HidrawFileSystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/hidraw.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "HidReportDescriptor.h"
#include "Linux_HoldingChild.h"
#include "Linux_Mounts.h"
#include "Linux_UniqueFd.h"
#include "TemporaryDirectory.h"
#include "VirtualWatch.h"

namespace watchsim {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Waits (bounded) until the thread sits in a system call waiting for the file system, so that
// what follows really happens while it is blocked.
void WaitUntilBlockedInTheKernel(const std::atomic<pid_t>& thread) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (const pid_t id = thread.load(); id != 0) {
            std::ifstream wchan("/proc/self/task/" + std::to_string(id) + "/wchan");
            std::string where;
            std::getline(wchan, where);
            if (!where.empty() && where != "0") {
                return;
            }
        }
        std::this_thread::yield();
    }
}

Bytes HandshakeReport() {
    Bytes report(65, 0);
    report[1] = 0xC0;
    report[2] = 0x05;
    return report;
}

Bytes BareCommandReport(std::uint8_t code) {
    Bytes report = HandshakeReport();
    report[3] = code;
    return report;
}

class HidrawNodes : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::access("/dev/fuse", R_OK | W_OK) != 0) {
            GTEST_SKIP() << "/dev/fuse is not available here";
        }
        base_.emplace("watchsim-fuse-");
        mount_ = base_->Path() / "dev";
        watches_.push_back(std::make_unique<VirtualWatch>(WatchConfig{}, clock_));
        WatchConfig second;
        second.productId = 0x0A52;
        second.usbProductName = "Second Watch";
        watches_.push_back(std::make_unique<VirtualWatch>(second, clock_));
        try {
            files_ = std::make_unique<Linux_HidrawFileSystem>(
                mount_, std::vector<VirtualWatch*>{watches_[0].get(), watches_[1].get()});
        } catch (const std::exception& error) {
            GTEST_SKIP() << "cannot mount a FUSE file system here: " << error.what();
        }
    }

    void TearDown() override {
        files_.reset();
        if (!mount_.empty()) {
            EXPECT_FALSE(fu_testing::Linux_IsMounted(mount_));
        }
    }

    int OpenNode(std::size_t index, int flags = O_RDWR) {
        return ::open(files_->NodePath(index).c_str(), flags | O_CLOEXEC);
    }

    VirtualWatch& Watch(std::size_t index) { return *watches_[index]; }

    std::shared_ptr<ManualClock> clock_ = std::make_shared<ManualClock>();
    std::vector<std::unique_ptr<VirtualWatch>> watches_;
    std::optional<fu_testing::TemporaryDirectory> base_;
    fs::path mount_;
    std::unique_ptr<Linux_HidrawFileSystem> files_;
};

TEST_F(HidrawNodes, ListsOneNodePerPresentWatchAndAnswersTheHidIoctls) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(mount_)) {
        names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"hidraw0", "hidraw1"}));

    common::Linux_UniqueFd node(OpenNode(1));
    ASSERT_GE(node.Get(), 0) << std::strerror(errno);
    hidraw_devinfo info{};
    ASSERT_EQ(::ioctl(node.Get(), HIDIOCGRAWINFO, &info), 0) << std::strerror(errno);
    EXPECT_EQ(info.bustype, static_cast<__u32>(BUS_USB));
    EXPECT_EQ(static_cast<std::uint16_t>(info.vendor), 0x3A7C);
    EXPECT_EQ(static_cast<std::uint16_t>(info.product), 0x0A52);

    const Bytes expected = VendorReportDescriptor(64, 64);
    int size = 0;
    ASSERT_EQ(::ioctl(node.Get(), HIDIOCGRDESCSIZE, &size), 0);
    EXPECT_EQ(size, static_cast<int>(expected.size()));
    hidraw_report_descriptor descriptor{};
    descriptor.size = static_cast<__u32>(size);
    ASSERT_EQ(::ioctl(node.Get(), HIDIOCGRDESC, &descriptor), 0);
    EXPECT_EQ(Bytes(descriptor.value, descriptor.value + descriptor.size), expected);

    char name[64] = {};
    EXPECT_EQ(::ioctl(node.Get(), HIDIOCGRAWNAME(sizeof(name)), name), 13);
    EXPECT_STREQ(name, "Second Watch");
    char cut[8] = "xxxxxxx";  // the kernel copies 7 bytes and adds no zero byte of its own
    EXPECT_EQ(::ioctl(node.Get(), HIDIOCGRAWNAME(7), cut), 7);
    EXPECT_STREQ(cut, "Second ");

    EXPECT_EQ(::ioctl(node.Get(), HIDIOCGFEATURE(8), name), -1);
    EXPECT_EQ(errno, ENOTTY);
}

TEST_F(HidrawNodes, WriteTakesAReportAndReadGivesOneWithoutItsNumber) {
    common::Linux_UniqueFd node(OpenNode(0));
    ASSERT_GE(node.Get(), 0) << std::strerror(errno);
    std::uint8_t buffer[256];
    pollfd waiting{node.Get(), POLLIN, 0};
    EXPECT_EQ(::poll(&waiting, 1, 0), 0);

    // A reader blocked before the request is sent is woken by the reply, and the write on the
    // same descriptor is not held up by the blocked read.
    std::atomic<pid_t> readerThread{0};
    auto reader = std::async(std::launch::async, [&] {
        readerThread = ::gettid();
        return ::read(node.Get(), buffer, sizeof(buffer));
    });
    WaitUntilBlockedInTheKernel(readerThread);
    const Bytes request = HandshakeReport();
    auto writer = std::async(std::launch::async,
                             [&] { return ::write(node.Get(), request.data(), request.size()); });
    if (writer.wait_for(10s) != std::future_status::ready) {
        Watch(0).Unplug();  // lets both calls return before failing
        FAIL() << "write was held up by the blocked read";
    }
    ASSERT_EQ(writer.get(), 65);
    ASSERT_EQ(reader.wait_for(10s), std::future_status::ready) << "read was not woken";
    ASSERT_EQ(reader.get(), 64);
    EXPECT_EQ(Bytes(buffer, buffer + 13), (Bytes{0xC0, 0x0D, 0x00, 0x08, 0x00, 0x00, 0x00, 0x01,
                                                 0x00, 0x14, 0x00, 0x00, 0x00}));

    // poll sees the next reply, and a non-blocking read finds nothing once it is taken.
    ASSERT_EQ(::write(node.Get(), request.data(), request.size()), 65);
    ASSERT_EQ(::poll(&waiting, 1, 10000), 1);
    EXPECT_TRUE(waiting.revents & POLLIN);
    ASSERT_EQ(::read(node.Get(), buffer, 10), 10);  // a short buffer takes the front
    common::Linux_UniqueFd nonBlocking(OpenNode(0, O_RDWR | O_NONBLOCK));
    EXPECT_EQ(::read(nonBlocking.Get(), buffer, sizeof(buffer)), -1);
    EXPECT_EQ(errno, EAGAIN);

    Bytes numbered = request;
    numbered[0] = 0x01;
    EXPECT_EQ(::write(node.Get(), numbered.data(), numbered.size()), -1);
    EXPECT_EQ(errno, EINVAL);
    Bytes tooLong(66, 0);
    EXPECT_EQ(::write(node.Get(), tooLong.data(), tooLong.size()), -1);
    EXPECT_EQ(errno, EINVAL);
}

TEST_F(HidrawNodes, UnplugHangsUpTheNodeAndPlugBringsItBack) {
    common::Linux_UniqueFd node(OpenNode(0));
    ASSERT_GE(node.Get(), 0);
    std::uint8_t buffer[64];
    auto reader =
        std::async(std::launch::async, [&] { return ::read(node.Get(), buffer, sizeof(buffer)); });
    Watch(0).Unplug();
    ASSERT_EQ(reader.wait_for(10s), std::future_status::ready) << "read was not released";
    EXPECT_EQ(reader.get(), -1);

    pollfd hangup{node.Get(), POLLIN, 0};
    ASSERT_EQ(::poll(&hangup, 1, 10000), 1);
    EXPECT_TRUE(hangup.revents & POLLHUP);
    const Bytes request = HandshakeReport();
    EXPECT_EQ(::write(node.Get(), request.data(), request.size()), -1);
    EXPECT_EQ(errno, ENODEV);
    EXPECT_EQ(::read(node.Get(), buffer, sizeof(buffer)), -1);
    EXPECT_EQ(errno, EIO);
    EXPECT_FALSE(fs::exists(files_->NodePath(0)));
    EXPECT_EQ(OpenNode(0), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_TRUE(fs::exists(files_->NodePath(1)));

    Watch(0).Plug();
    EXPECT_TRUE(fs::exists(files_->NodePath(0)));
    EXPECT_EQ(::write(node.Get(), request.data(), request.size()), -1);  // old handle stays dead
    common::Linux_UniqueFd again(OpenNode(0));
    ASSERT_GE(again.Get(), 0);
    ASSERT_EQ(::write(again.Get(), request.data(), request.size()), 65);
    EXPECT_EQ(::read(again.Get(), buffer, sizeof(buffer)), 64);
}

TEST_F(HidrawNodes, RebootTakesTheNodeAwayUntilTheWatchIsBack) {
    common::Linux_UniqueFd node(OpenNode(0));
    ASSERT_GE(node.Get(), 0);
    const Bytes command = BareCommandReport(0x31);
    ASSERT_EQ(::write(node.Get(), command.data(), command.size()), 65);
    std::uint8_t buffer[64];
    ASSERT_EQ(::read(node.Get(), buffer, sizeof(buffer)), 64);
    EXPECT_EQ(buffer[2], 0x31);
    EXPECT_FALSE(fs::exists(files_->NodePath(0)));
    node.Reset();

    clock_->Advance(Watch(0).Config().rebootDelay);
    EXPECT_TRUE(fs::exists(files_->NodePath(0)));
    common::Linux_UniqueFd again(OpenNode(0));
    EXPECT_GE(again.Get(), 0);
}

TEST_F(HidrawNodes, FlockKeepsASecondProgramOff) {
    common::Linux_UniqueFd first(OpenNode(0));
    common::Linux_UniqueFd second(OpenNode(0));
    ASSERT_GE(first.Get(), 0);
    ASSERT_GE(second.Get(), 0);
    ASSERT_EQ(::flock(first.Get(), LOCK_EX | LOCK_NB), 0) << std::strerror(errno);
    EXPECT_EQ(::flock(second.Get(), LOCK_EX | LOCK_NB), -1);
    EXPECT_EQ(errno, EWOULDBLOCK);
    EXPECT_EQ(::flock(second.Get(), LOCK_SH | LOCK_NB), -1);
    first.Reset();
    EXPECT_EQ(::flock(second.Get(), LOCK_EX | LOCK_NB), 0);
}

// hidraw never refuses a second open: a held watch opens, and the other program's exclusive
// lock keeps the host off. Only an open for writing is the host opening the watch.
TEST_F(HidrawNodes, AHeldWatchOpensButItsNodeIsLocked) {
    for (const bool byFault : {false, true}) {
        SCOPED_TRACE(byFault ? "open:busy fault" : "held by another program");
        if (byFault) {
            Watch(1).AddFaults("open#1:busy");
        } else {
            Watch(1).SetHeldByOtherProgram(true);
        }
        common::Linux_UniqueFd lookingOnly(OpenNode(1, O_RDONLY | O_NONBLOCK));  // not counted
        ASSERT_GE(lookingOnly.Get(), 0) << std::strerror(errno);
        lookingOnly.Reset();
        common::Linux_UniqueFd node(OpenNode(1));
        ASSERT_GE(node.Get(), 0) << std::strerror(errno);
        EXPECT_EQ(::flock(node.Get(), LOCK_EX | LOCK_NB), -1);
        EXPECT_EQ(errno, EWOULDBLOCK);
        EXPECT_EQ(::flock(node.Get(), LOCK_SH | LOCK_NB), -1);
        node.Reset();

        // Let go, the next open finds the node free.
        Watch(1).SetHeldByOtherProgram(false);
        Watch(1).ClearFaults();
        common::Linux_UniqueFd again(OpenNode(1));
        ASSERT_GE(again.Get(), 0);
        EXPECT_EQ(::flock(again.Get(), LOCK_EX | LOCK_NB), 0) << std::strerror(errno);
    }
}

// The kernel's hidraw behaviour, call by call on the node.
TEST_F(HidrawNodes, BehavesAsTheKernelsHidraw) {
    const Bytes request = HandshakeReport();
    std::uint8_t buffer[128];
    struct Case {
        const char* behaviour;
        std::function<ssize_t()> call;
        ssize_t result;
        int error;  // errno when the result is -1
    };
    common::Linux_UniqueFd first(OpenNode(0));
    common::Linux_UniqueFd second(OpenNode(0, O_RDWR | O_NONBLOCK));
    ASSERT_GE(first.Get(), 0);
    ASSERT_GE(second.Get(), 0);
    std::unique_ptr<common::Linux_UniqueFd> late;
    const auto pollIn = [](int fd) -> ssize_t {
        pollfd entry{fd, POLLIN, 0};
        return ::poll(&entry, 1, 0) == 1 ? entry.revents : 0;
    };
    const Case cases[] = {
        {"a write of a report number alone is refused",
         [&] { return ::write(first.Get(), request.data(), 1); }, -1, EINVAL},
        {"a whole report is taken", [&] { return ::write(first.Get(), request.data(), 65); }, 65,
         0},
        {"the reply is readable on every open file",
         [&] { return ::read(first.Get(), buffer, sizeof buffer); }, 64, 0},
        {"... a copy of its own for the other one", [&] { return pollIn(second.Get()); }, POLLIN,
         0},
        {"... which the other reads in full", [&] { return ::read(second.Get(), buffer, 64); }, 64,
         0},
        {"a file opened later holds nothing of before",
         [&] {
             late = std::make_unique<common::Linux_UniqueFd>(OpenNode(0, O_RDWR | O_NONBLOCK));
             return ::read(late->Get(), buffer, 64);
         },
         -1, EAGAIN},
        {"a bare command is answered",
         [&] {
             const Bytes command = BareCommandReport(0x31);
             return ::write(second.Get(), command.data(), command.size());
         },
         65, 0},
        {"a reply queued before the watch left can still be read",
         [&] { return ::read(second.Get(), buffer, 64); }, 64, 0},
        {"... and then a read fails with EIO", [&] { return ::read(second.Get(), buffer, 64); }, -1,
         EIO},
        {"... a write with ENODEV",
         [&] { return ::write(second.Get(), request.data(), request.size()); }, -1, ENODEV},
        {"... and poll says writable and hung up",
         [&] {
             pollfd entry{second.Get(), POLLIN | POLLOUT, 0};
             return ::poll(&entry, 1, 0) == 1 ? entry.revents : 0;
         },
         POLLOUT | POLLHUP | POLLERR, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        errno = 0;
        EXPECT_EQ(c.call(), c.result) << std::strerror(errno);
        if (c.result == -1) {
            EXPECT_EQ(errno, c.error) << std::strerror(errno);
        }
    }
}

// One reader taking its report leaves the others theirs: a blocking reader on one file is
// woken although a non-blocking one on another file took the same report first.
TEST_F(HidrawNodes, EveryOpenFileReadsEveryReport) {
    common::Linux_UniqueFd blocking(OpenNode(0));
    common::Linux_UniqueFd quick(OpenNode(0, O_RDWR | O_NONBLOCK));
    ASSERT_GE(blocking.Get(), 0);
    ASSERT_GE(quick.Get(), 0);
    const Bytes request = HandshakeReport();
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(::write(quick.Get(), request.data(), request.size()), 65);
        pollfd entry{quick.Get(), POLLIN, 0};
        ASSERT_EQ(::poll(&entry, 1, 10000), 1);
        std::uint8_t taken[64];
        ASSERT_EQ(::read(quick.Get(), taken, sizeof taken), 64);
        auto reader = std::async(std::launch::async, [&] {
            std::uint8_t buffer[64];
            return ::read(blocking.Get(), buffer, sizeof buffer);
        });
        if (reader.wait_for(10s) != std::future_status::ready) {
            Watch(0).Unplug();  // lets the read return before failing
            FAIL() << "the second file never got the report";
        }
        EXPECT_EQ(reader.get(), 64);
    }
}

TEST_F(HidrawNodes, AMountLeftByAKilledServerIsClearedBeforeMounting) {
    files_.reset();
    fu_testing::Linux_HoldingChild child([&](const fu_testing::Linux_HoldingChild::Hold& hold) {
        VirtualWatch watch;
        Linux_HidrawFileSystem files(mount_, {&watch});
        hold(1);
    });
    ASSERT_TRUE(child.Started());
    ASSERT_EQ(child.Answer(), 1);
    child.Kill();
    struct stat attributes {};
    ASSERT_EQ(::stat(mount_.c_str(), &attributes), -1);
    ASSERT_EQ(errno, ENOTCONN);

    files_ =
        std::make_unique<Linux_HidrawFileSystem>(mount_, std::vector<VirtualWatch*>{&Watch(0)});
    EXPECT_TRUE(fs::exists(files_->NodePath(0)));
}

}  // namespace
}  // namespace watchsim
