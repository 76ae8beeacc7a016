// `watchsim serve` as a real process: it mounts, serves, keeps its state and leaves nothing
// mounted behind when it is told to stop.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr int kTimeoutMs = 15000;

bool IsMounted(const fs::path& directory) {
    std::ifstream mounts("/proc/self/mountinfo");
    std::string line;
    while (std::getline(mounts, line)) {
        if (line.find(" " + directory.string() + " ") != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads one line from the child's output, giving up after the time-out.
std::optional<std::string> ReadLine(int fd, std::string& pending) {
    for (;;) {
        if (const auto end = pending.find('\n'); end != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            return line;
        }
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, kTimeoutMs) != 1) {
            return std::nullopt;
        }
        char buffer[256];
        const ssize_t count = ::read(fd, buffer, sizeof(buffer));
        if (count <= 0) {
            return std::nullopt;
        }
        pending.append(buffer, static_cast<std::size_t>(count));
    }
}

// Waits for the child to end, killing it when it does not within the time-out.
int WaitForExit(pid_t child) {
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    if (pidfd >= 0) {
        pollfd ended{pidfd, POLLIN, 0};
        if (::poll(&ended, 1, kTimeoutMs) != 1) {
            ::kill(child, SIGKILL);
        }
        ::close(pidfd);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
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
    std::string pattern = (fs::temp_directory_path() / "watchsim-serve-XXXXXX").string();
    const fs::path base = ::mkdtemp(pattern.data());
    const fs::path mount = base / "dev";
    const fs::path state = base / "state";
    const fs::path trace = base / "trace.txt";

    int output[2];
    ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::execl(WATCHSIM_PROGRAM, WATCHSIM_PROGRAM, "serve", "--dir", mount.c_str(), "--state",
                state.c_str(), "--trace", trace.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(output[1]);
    std::string pending;
    const auto path = ReadLine(output[0], pending);
    if (!path) {
        ::kill(child, SIGKILL);
        WaitForExit(child);
        ::close(output[0]);
        fs::remove_all(base);
        GTEST_SKIP() << "watchsim serve could not mount here";
    }
    EXPECT_EQ(*path, (mount / "hidraw0").string());

    const int node = ::open(path->c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(node, 0);
    const Bytes handshake = Exchange(node, {0x00, 0, 0, 0, 0});
    ASSERT_GE(handshake.size(), 3u);
    EXPECT_EQ(handshake[0], 0xC0);
    // A flash write, then the disconnect that ends the session.
    EXPECT_EQ(Exchange(node, {0x41, 11, 0, 0, 0, 0x10, 0, 0, 0, 3, 0, 0, 0, 0xA, 0xB, 0xC}).at(2),
              0x41);
    EXPECT_EQ(Exchange(node, {0x01, 0, 0, 0, 0}).at(2), 0x01);
    ::close(node);

    ::kill(child, SIGTERM);
    const int status = WaitForExit(child);
    ::close(output[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(IsMounted(mount));
    EXPECT_EQ(ReadText(state / "version"), "01.20\n");
    EXPECT_EQ(ReadText(state / "flash.bin").substr(0x10, 3), "\x0A\x0B\x0C");
    const std::string lines = ReadText(trace);
    EXPECT_EQ(lines.rfind("> 00 C0 05 00 00 00 00 00", 0), 0u) << lines.substr(0, 80);
    EXPECT_NE(lines.find("\n< 00 C0 0D 00 08 00 00 00 01 00 14 00"), std::string::npos);
    fs::remove_all(base);
}

}  // namespace
