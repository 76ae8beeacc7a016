// The real programs end to end: `firmupdater` in the terminal interface, its answers piped
// in, against watches that `watchsim serve` presents as hidraw nodes in a directory of the
// test's own. Every run has a hard time limit; every server is stopped and its mount gone
// before the test ends. Skipped where FUSE cannot be mounted.

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <thread>

#include "COrnaFirmware.h"
#include "ImageBuilder.h"
#include "ImageLayout.h"
#include "Linux_Mounts.h"
#include "Linux_ProcessSession.h"
#include "Linux_UniqueFd.h"
#include "SampleImage.h"
#include "TemporaryDirectory.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr auto kRunLimit = 60s;
constexpr auto kPromptLimit = 20s;

// Texts of the English interface.
constexpr std::string_view kCompleted = "Do not disconnect the USB cable";
constexpr std::string_view kUpToDate = "There is no need to update.";
constexpr std::string_view kAborted = "KORVELIN update aborted.";
constexpr std::string_view kNotConnected = "Connect one KORVELIN to the PC.";
constexpr std::string_view kNotConnectedAgain = "Connect only one KORVELIN to the PC.\n\nIf";
constexpr std::string_view kSeveral = "Multiple KORVELIN are connected.";
constexpr std::string_view kFailed = "Failed to update the KORVELIN.";
constexpr std::string_view kBusy = "is uploading or the firmware update tool is already running";
constexpr std::string_view kConfirmPrompt = "[y] Yes  [n/Enter] No > ";
constexpr std::string_view kRetryPrompt = "[r/Enter] Retry  [c] Cancel > ";
constexpr std::string_view kProgress = "The KORVELIN firmware is being updated.";
constexpr std::string_view kUninterruptible = "The firmware update cannot be interrupted.";

constexpr char kLockName[] =
    "KAVEL Uploader Tool_7C2E91B4-3D58-4A0F-B6E1-95D0A43F28C7 IS UPLOADING NOW";

std::size_t Occurrences(const std::string& text, std::string_view part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One request of the host as the trace shows it: the command code and, for the data-class
// commands, the data identifier and the data kind (0 for the data itself, 0x41 its size).
struct TracedRequest {
    std::uint8_t code;
    std::uint16_t dataId;
    std::uint8_t kind;
};

// The requests in trace lines: each starts in a host report with the start flag.
std::vector<TracedRequest> TracedRequests(const std::string& trace) {
    std::vector<TracedRequest> requests;
    std::istringstream lines(trace);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("> ", 0) != 0) {
            continue;
        }
        std::istringstream hex(line.substr(2));
        Bytes report;
        unsigned byte = 0;
        while (hex >> std::hex >> byte) {
            report.push_back(static_cast<std::uint8_t>(byte));
        }
        if (report.size() < 11 || (report[1] & 0x80) == 0) {
            continue;
        }
        const std::uint8_t code = report[3];
        const bool dataClass = code == 0x20 || code == 0x21;
        requests.push_back({code,
                            static_cast<std::uint16_t>(dataClass ? report[8] | report[9] << 8 : 0),
                            dataClass ? report[10] : std::uint8_t{0}});
    }
    return requests;
}

// Requests with this code; for the data-class commands those of the data itself (kind 0).
std::size_t CountRequests(const std::vector<TracedRequest>& requests, std::uint8_t code,
                          std::uint16_t dataId = 0) {
    std::size_t count = 0;
    for (const auto& r : requests) {
        count += r.code == code && r.dataId == dataId && r.kind == 0 ? 1 : 0;
    }
    return count;
}

// `watchsim serve` on a directory; stopped (and its mount gone) when this goes.
class WatchServer {
  public:
    WatchServer(const fs::path& mount, const fs::path& state, const fs::path& trace,
                std::vector<std::string> options, int count = 1)
        : mount_(mount) {
        std::vector<std::string> arguments{"serve",        "--dir",        mount.string(),
                                           "--state",      state.string(), "--trace",
                                           trace.string(), "--count",      std::to_string(count)};
        arguments.insert(arguments.end(), options.begin(), options.end());
        server_.emplace(WATCHSIM_PROGRAM, arguments, fu_testing::SessionOptions{});
        for (int i = 0; i < count; ++i) {
            const auto node = server_->ReadLine(kPromptLimit);
            if (!node || node->find("/hidraw") == std::string::npos) {
                Stop();
                return;
            }
        }
        serving_ = true;
    }
    ~WatchServer() { Stop(); }

    bool Serving() const { return serving_; }
    std::string Output() const { return server_ ? server_->Output() : std::string(); }

    // Ends the server: it unmounts and writes its state files.
    int Stop() {
        if (!server_) {
            return -1;
        }
        server_->Signal(SIGTERM);
        const int code = server_->Finish(kPromptLimit);
        server_.reset();
        serving_ = false;
        if (fu_testing::Linux_IsMounted(mount_)) {
            // Whatever happened to the server, no mount stays behind.
            fu_testing::Linux_DetachFuseMount(mount_);
        }
        return code;
    }

  private:
    fs::path mount_;
    std::optional<fu_testing::Linux_ProcessSession> server_;
    bool serving_ = false;
};

class EndToEnd : public testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists("/dev/fuse")) {
            GTEST_SKIP() << "no /dev/fuse: virtual watches cannot be mounted here";
        }
        directory.emplace("fu-e2e-");
        base = directory->Path();
        mount = base / "dev";
        state = base / "state";
        trace = base / "trace.txt";
        runtime = base / "run";
        fs::create_directories(mount);
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
    }
    void TearDown() override { server.reset(); }

    // Starts the watches; the test is skipped when they cannot be mounted here.
    bool Serve(std::vector<std::string> options = {}, int count = 1) {
        server.emplace(mount, state, trace, std::move(options), count);
        if (!server->Serving()) {
            server.reset();
            return false;
        }
        return true;
    }

    fs::path WriteImage(const Bytes& bytes, const std::string& name = "image.bin") const {
        const auto path = base / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    std::vector<std::string> Environment() const {
        return {"FIRMUPDATER_UI=terminal", "LANG=C", "FIRMUPDATER_HIDRAW_DIR=" + mount.string(),
                "XDG_RUNTIME_DIR=" + runtime.string(),
                // Retry pauses of at most 50 ms: failures that are retried stay quick.
                "FIRMUPDATER_TEST_MAX_PAUSE_MS=50"};
    }

    std::unique_ptr<fu_testing::Linux_ProcessSession> Start(
        const fs::path& image, std::vector<std::string> options = {}) const {
        options.insert(options.begin(), image.string());
        return std::make_unique<fu_testing::Linux_ProcessSession>(
            FIRMUPDATER_PROGRAM, options, fu_testing::SessionOptions{.environment = Environment()});
    }

    struct Run {
        int exitCode;
        std::string output;
    };
    // One run with every answer given up front.
    Run RunTool(const fs::path& image, std::vector<std::string> options, std::string answers) {
        auto program = Start(image, std::move(options));
        program->Send(answers);
        program->CloseInput();
        const int code = program->Finish(kRunLimit);
        return {code, program->Output()};
    }

    std::string Trace() const {
        std::ifstream in(trace);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Waits for a node to be back (after a reboot of the watch).
    bool NodeBack(std::chrono::milliseconds limit) const {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (fs::exists(mount / "hidraw0")) {
                return true;
            }
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    std::optional<fu_testing::TemporaryDirectory> directory;
    fs::path base, mount, state, trace, runtime;
    std::optional<WatchServer> server;
};

#define SERVE_OR_SKIP(...)                                       \
    if (!Serve(__VA_ARGS__)) {                                   \
        GTEST_SKIP() << "watchsim serve cannot mount FUSE here"; \
    }

// Every kind of section the update sends, small except the firmware block.
Bytes FullImage() {
    std::vector<std::uint8_t> counting(0x4000);
    for (std::size_t i = 0; i < counting.size(); ++i) {
        counting[i] = static_cast<std::uint8_t>(i * 7);
    }
    return firmware::ImageBuilder()
        .Identity(0x3A7C, 0x0A51, "612E", firmware::kFlagCommand30)
        .SectorErase(1, 4)
        .DataSection(firmware::SECTION_FLASH_WRITE, 0x1000, counting)
        .DataSection(firmware::SECTION_FLASH_WRITE_44, 0x6000, {1, 2, 3, 4, 5})
        .DataSection(firmware::SECTION_DATA_1604, 0, {0x16, 0x04})
        .DataSection(firmware::SECTION_DATA_1611, 0, {0x16, 0x11})
        .DataSection(firmware::SECTION_DATA_1614, 0, {0x16, 0x14})
        .DataSection(firmware::SECTION_DATA_1620, 0, {0x16, 0x20})
        .VersionBlock(firmware::SECTION_VERSION_BLOCK_1600, "01.30", 0x80000)
        .Build();
}

TEST_F(EndToEnd, AConfirmedUpdateWritesEverySectionAndTheNextRunFindsItUpToDate) {
    SERVE_OR_SKIP({"--latency-us", "30"});  // an update that lasts a moment
    const auto bytes = FullImage();
    const auto image = WriteImage(bytes);

    auto first = Start(image);
    ASSERT_TRUE(first->WaitFor(kConfirmPrompt, kPromptLimit)) << first->Output();
    first->Send("y\n");
    first->CloseInput();
    // Ctrl-C and a polite termination request while the update runs change nothing.
    ASSERT_TRUE(first->WaitFor(kProgress, kPromptLimit)) << first->Output();
    first->Signal(SIGINT);
    first->Signal(SIGTERM);
    EXPECT_EQ(first->Finish(kRunLimit), 0) << first->Output();
    EXPECT_NE(first->Output().find(kCompleted), std::string::npos) << first->Output();
    EXPECT_EQ(Occurrences(first->Output(), kUninterruptible), 1u) << first->Output();

    ASSERT_TRUE(NodeBack(10s)) << "the watch came back from its reboot";
    const auto second = RunTool(image, {}, "");
    EXPECT_EQ(second.exitCode, 0) << second.output;
    EXPECT_NE(second.output.find("Current firmware version: 01.30\nNew firmware version: 01.30"),
              std::string::npos)
        << second.output;
    EXPECT_NE(second.output.find(kUpToDate), std::string::npos);

    ASSERT_EQ(server->Stop(), 0);
    EXPECT_FALSE(fu_testing::Linux_IsMounted(mount));
    const COrnaFirmware loaded(bytes, L"", nullptr);
    const auto flash = ReadFile(state / "flash.bin");
    for (const auto& command : loaded.commands) {
        const Bytes data(command.data, command.data + command.value2);
        switch (command.type) {
            case firmware::SECTION_FLASH_WRITE:
            case firmware::SECTION_FLASH_WRITE_44:
                ASSERT_GE(flash.size(), command.value1 + data.size());
                EXPECT_TRUE(std::equal(data.begin(), data.end(), flash.begin() + command.value1))
                    << std::hex << command.value1;
                break;
            case firmware::SECTION_VERSION_BLOCK_1600:
            case firmware::SECTION_DATA_1604:
            case firmware::SECTION_DATA_1611:
            case firmware::SECTION_DATA_1614:
            case firmware::SECTION_DATA_1620: {
                char name[32];
                std::snprintf(name, sizeof name, "data-%04x.bin", command.type & 0xFFFF);
                EXPECT_EQ(ReadFile(state / name), data) << name;
                break;
            }
            default:
                break;
        }
    }
    EXPECT_EQ(ReadFile(state / "version"), (Bytes{'0', '1', '.', '3', '0', '\n'}));
}

TEST_F(EndToEnd, NoAtTheConfirmationAbortsAndSendsNothingOfTheImage) {
    SERVE_OR_SKIP();
    const auto run = RunTool(WriteImage(firmware::SampleImage().Build()), {}, "n\n");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find(kAborted), std::string::npos) << run.output;
    const auto requests = TracedRequests(Trace());
    EXPECT_EQ(CountRequests(requests, 0x42), 0u);
    EXPECT_EQ(CountRequests(requests, 0x41), 0u);
    EXPECT_EQ(CountRequests(requests, 0x21, 0x1600), 0u);
}

TEST_F(EndToEnd, NoWatchPromptsTwiceAndCancelEndsTheRun) {
    const auto run = RunTool(WriteImage(firmware::SampleImage().Build()), {}, "r\nc\n");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    const auto first = run.output.find(kNotConnected);
    const auto again = run.output.find(kNotConnectedAgain);
    ASSERT_NE(first, std::string::npos) << run.output;
    ASSERT_NE(again, std::string::npos) << run.output;
    EXPECT_LT(first, again);
    // Nothing after the Cancel.
    EXPECT_EQ(run.output.substr(run.output.size() - kRetryPrompt.size() - 2),
              std::string(kRetryPrompt) + "c\n");
}

TEST_F(EndToEnd, AWatchConnectedBeforeRetryIsUpdatedWithoutAnotherPrompt) {
    const auto image = WriteImage(firmware::SampleImage().Build());
    auto program = Start(image);
    ASSERT_TRUE(program->WaitFor(kNotConnected, kPromptLimit)) << program->Output();
    ASSERT_TRUE(program->WaitFor(kRetryPrompt, kPromptLimit));
    SERVE_OR_SKIP();
    program->Send("r\n");
    ASSERT_TRUE(program->WaitFor(kConfirmPrompt, kPromptLimit)) << program->Output();
    program->Send("y\n");
    program->CloseInput();
    EXPECT_EQ(program->Finish(kRunLimit), 0) << program->Output();
    EXPECT_NE(program->Output().find(kCompleted), std::string::npos);
    EXPECT_EQ(program->Output().find(kNotConnectedAgain), std::string::npos);
}

TEST_F(EndToEnd, TwoMatchingWatchesPromptAndOneThatCannotBeOpenedFails) {
    const auto image = WriteImage(firmware::SampleImage().Build());
    {
        SERVE_OR_SKIP({}, 2);
        const auto run = RunTool(image, {}, "c\n");
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find(kSeveral), std::string::npos) << run.output;
        server.reset();
    }
    {
        // The probe gets in, the connection for good does not (discovery only looks).
        SERVE_OR_SKIP({"--fault", "open#2-:busy"});
        const auto run = RunTool(image, {}, "");
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find(kFailed), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find(kRetryPrompt), std::string::npos) << "no prompt";
    }
}

TEST_F(EndToEnd, ADataSetFailingMidwayShowsTheFailureAndSendsNoLaterSection) {
    SERVE_OR_SKIP({"--fault", "set@0x1614:error=0x0005"});
    const auto image = WriteImage(firmware::ImageBuilder()
                                      .Identity(0x3A7C, 0x0A51, "612E", firmware::kFlagCommand30)
                                      .DataSection(firmware::SECTION_DATA_1604, 0, {1})
                                      .DataSection(firmware::SECTION_DATA_1611, 0, {2})
                                      .DataSection(firmware::SECTION_DATA_1614, 0, {3})
                                      .DataSection(firmware::SECTION_DATA_1620, 0, {4})
                                      .DataSection(firmware::SECTION_FLASH_WRITE, 0x2000, {5})
                                      .Build());
    const auto run = RunTool(image, {"/f", "/t-"}, "y\n");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(Occurrences(run.output, kFailed), 1u) << run.output;
    EXPECT_EQ(run.output.find(kCompleted), std::string::npos);

    std::vector<std::uint16_t> blocks;
    const auto requests = TracedRequests(Trace());
    for (const auto& r : requests) {
        if (r.code == 0x21 && r.kind == 0) {
            blocks.push_back(r.dataId);
        }
    }
    EXPECT_EQ(blocks, (std::vector<std::uint16_t>{0x1604, 0x1611, 0x1614, 0x1614, 0x1614}));
    EXPECT_EQ(CountRequests(requests, 0x41), 0u);
    EXPECT_EQ(CountRequests(requests, 0x30), 0u);
}

TEST_F(EndToEnd, VersionAndClockOptions) {
    SERVE_OR_SKIP({"--version", "01.30"});
    const auto image = WriteImage(firmware::SampleImage().Build());
    {
        SCOPED_TRACE("/f with equal versions goes to the confirmation");
        const auto run = RunTool(image, {"/f", "/t-"}, "n\n");
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find("Current firmware version: 01.30\nNew firmware version: 01.30"),
                  std::string::npos)
            << run.output;
        EXPECT_NE(run.output.find(kAborted), std::string::npos);
    }
    {
        SCOPED_TRACE("/d: decides against the text given");
        const auto run = RunTool(image, {"/d:01.10", "/t-"}, "n\n");
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find("Current firmware version: 01.10"), std::string::npos)
            << run.output;
    }
    // The watch's clock stands in 2024, more than a day behind. A clock write reads the
    // record first to keep the bytes it does not set; the clock step itself reads only in
    // the default mode.
    const struct {
        std::vector<std::string> options;
        std::size_t reads;
        std::size_t writes;
    } clockCases[] = {{{}, 2, 1}, {{"/t"}, 1, 1}, {{"/t-"}, 0, 0}};
    for (const auto& c : clockCases) {
        SCOPED_TRACE(c.options.empty() ? "default clock mode" : c.options[0]);
        const auto before = Trace().size();
        const auto run = RunTool(image, c.options, "");
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find(kUpToDate), std::string::npos) << run.output;
        const auto requests = TracedRequests(Trace().substr(before));
        EXPECT_EQ(CountRequests(requests, 0x20, 0x2010), c.reads);
        EXPECT_EQ(CountRequests(requests, 0x21, 0x2010), c.writes);
    }
}

TEST_F(EndToEnd, AnotherCopyShowingAMessageIsBusy) {
    const auto image = WriteImage(firmware::SampleImage().Build());
    // The first copy finds no watch and waits at its prompt, holding the uploader lock.
    auto first = Start(image);
    ASSERT_TRUE(first->WaitFor(kRetryPrompt, kPromptLimit)) << first->Output();
    ASSERT_EQ(::access((runtime / kLockName).c_str(), F_OK), 0) << "the lock file is there";

    const auto second = RunTool(image, {}, "");
    EXPECT_EQ(second.exitCode, 1) << second.output;
    EXPECT_NE(second.output.find(kBusy), std::string::npos) << second.output;
    EXPECT_EQ(second.output.find(kNotConnected), std::string::npos);

    first->Send("c\n");
    EXPECT_EQ(first->Finish(kRunLimit), 1);

    // Once the first copy has gone, nothing stands in the way.
    const auto third = RunTool(image, {}, "c\n");
    EXPECT_NE(third.output.find(kNotConnected), std::string::npos) << third.output;
}

TEST_F(EndToEnd, AnUploaderLockFileThatCannotBeCreatedFailsTheRun) {
    runtime = base / "gone";  // a runtime directory that does not exist
    const auto run = RunTool(WriteImage(firmware::SampleImage().Build()), {}, "");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find(kFailed), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find(kNotConnected), std::string::npos);
}

TEST_F(EndToEnd, TheLockHeldWithoutAWindowIsNotBusy) {
    const auto image = WriteImage(firmware::SampleImage().Build());
    const common::Linux_UniqueFd lock(
        ::open((runtime / kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    ASSERT_TRUE(lock.IsValid());
    ASSERT_EQ(::flock(lock.Get(), LOCK_EX | LOCK_NB), 0);
    const auto run = RunTool(image, {}, "c\n");
    EXPECT_NE(run.output.find(kNotConnected), std::string::npos) << run.output;
}

}  // namespace
