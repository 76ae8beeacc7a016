// `watchsim serve` as a real process: it mounts, serves, keeps its state and leaves nothing
// mounted behind when it is told to stop.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "Linux_Mounts.h"
#include "Linux_ProcessSession.h"
#include "Linux_UniqueFd.h"
#include "TemporaryDirectory.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr int kTimeoutMs = 15000;
constexpr std::chrono::milliseconds kTimeout{kTimeoutMs};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bytes Exchange(int fd, Bytes block) {
    Bytes report(65, 0);
    report[1] = 0xC0;
    report[2] = static_cast<std::uint8_t>(block.size());
    std::copy(block.begin(), block.end(), report.begin() + 3);
    if (::write(fd, report.data(), report.size()) != 65) {
        return {};
    }
    pollfd readable{fd, POLLIN, 0};
    if (::poll(&readable, 1, kTimeoutMs) != 1) {
        return {};
    }
    Bytes reply(64);
    const ssize_t count = ::read(fd, reply.data(), reply.size());
    reply.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    return reply;
}

TEST(WatchsimServe, ServesUntilTerminatedAndLeavesStateButNoMount) {
    const fu_testing::TemporaryDirectory directory("watchsim-serve-");
    const fs::path& base = directory.Path();
    const fs::path mount = base / "dev";
    const fs::path state = base / "state";
    const fs::path trace = base / "trace.txt";

    fu_testing::Linux_ProcessSession server(
        WATCHSIM_PROGRAM,
        {"serve", "--dir", mount.string(), "--state", state.string(), "--trace", trace.string()},
        {.environment = {}, .cleanEnvironment = false, .errorToOutput = false});
    ASSERT_TRUE(server.Started());
    server.CloseInput();
    const auto path = server.ReadLine(kTimeout);
    if (!path) {
        GTEST_SKIP() << "watchsim serve could not mount here";
    }
    EXPECT_EQ(*path, (mount / "hidraw0").string());

    common::Linux_UniqueFd node(::open(path->c_str(), O_RDWR | O_CLOEXEC));
    ASSERT_TRUE(node.IsValid());
    const Bytes handshake = Exchange(node.Get(), {0x00, 0, 0, 0, 0});
    ASSERT_GE(handshake.size(), 3u);
    EXPECT_EQ(handshake[0], 0xC0);
    // A flash write, then the disconnect that ends the session.
    EXPECT_EQ(
        Exchange(node.Get(), {0x41, 11, 0, 0, 0, 0x10, 0, 0, 0, 3, 0, 0, 0, 0xA, 0xB, 0xC}).at(2),
        0x41);
    EXPECT_EQ(Exchange(node.Get(), {0x01, 0, 0, 0, 0}).at(2), 0x01);
    node.Reset();  // an open node would keep the mount busy past the server's end

    server.Signal(SIGTERM);
    EXPECT_EQ(server.Finish(kTimeout), 0);
    EXPECT_FALSE(fu_testing::Linux_IsMounted(mount));
    EXPECT_EQ(ReadText(state / "version"), "01.20\n");
    EXPECT_EQ(ReadText(state / "flash.bin").substr(0x10, 3), "\x0A\x0B\x0C");
    const std::string lines = ReadText(trace);
    EXPECT_EQ(lines.rfind("> 00 C0 05 00 00 00 00 00", 0), 0u) << lines.substr(0, 80);
    EXPECT_NE(lines.find("\n< 00 C0 0D 00 08 00 00 00 01 00 14 00"), std::string::npos);
}

}  // namespace
