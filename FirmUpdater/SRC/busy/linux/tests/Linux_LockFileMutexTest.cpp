// The uploader lock file: shared by name between processes, free again when its holder
// dies, refused loudly when the file cannot be had.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "Linux_HoldingChild.h"
#include "Linux_LockFileMutex.h"
#include "Linux_UniqueFd.h"
#include "Pause.h"
#include "TemporaryDirectory.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::wstring kName =
    L"KAVEL Uploader Tool_7C2E91B4-3D58-4A0F-B6E1-95D0A43F28C7 IS UPLOADING NOW";

class LockFile : public testing::Test {
  protected:
    fu_testing::TemporaryDirectory scratch{"fu-lock-"};
    const std::string directory = scratch.Path().string();
    common::ScopedPauseRecorder pauses;
};

TEST_F(LockFile, TheNameIsAlwaysASafeFileName) {
    const struct {
        std::wstring name;
        std::string file;
    } cases[] = {
        {kName, "KAVEL Uploader Tool_7C2E91B4-3D58-4A0F-B6E1-95D0A43F28C7 IS UPLOADING NOW"},
        {L"a/b/../c", "a_b_.._c"},
        {L"/", "_"},
        {L"", "_"},
        {L".", "_."},
        {L"..", "_.."},
        {std::wstring(L"x\0y", 3), "x_y"},
        {L"Zähler", "Z\xC3\xA4hler"},
        {std::wstring(300, L'a'), std::string(255, 'a')},
        {std::wstring(200, L'\u00E4'),
         [] {
             std::string s;
             for (int i = 0; i < 127; ++i) {
                 s += "\xC3\xA4";
             }
             return s;
         }()},  // 254 bytes: a character is never cut in two
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Linux_LockFileMutex::FileNameFor(c.name), c.file);
    }
}

TEST_F(LockFile, OneHolderAtATimeAndTheWaitIsBounded) {
    Linux_LockFileMutex first(kName, directory);
    Linux_LockFileMutex second(kName, directory);
    EXPECT_EQ(first.Path(), directory + "/" + Linux_LockFileMutex::FileNameFor(kName));
    EXPECT_TRUE(fs::is_regular_file(first.Path()));

    ASSERT_TRUE(first.Wait(10ms));
    EXPECT_TRUE(pauses.Pauses().empty());
    EXPECT_FALSE(second.Wait(10ms));
    EXPECT_EQ(pauses.Total(), 10ms);

    first.Release();
    EXPECT_TRUE(second.Wait(10ms));
    EXPECT_FALSE(first.Wait(0ms));
}

TEST_F(LockFile, ALockLeftByADeadProcessIsFree) {
    fu_testing::Linux_HoldingChild child([&](const fu_testing::Linux_HoldingChild::Hold& hold) {
        Linux_LockFileMutex held(kName, directory);
        hold(held.Wait(0ms) ? 'y' : 'n');  // until killed, still holding the lock
    });
    ASSERT_TRUE(child.Started());
    ASSERT_EQ(child.Answer(), 'y');
    Linux_LockFileMutex mine(kName, directory);
    EXPECT_FALSE(mine.Wait(4ms));

    child.Kill();
    EXPECT_TRUE(mine.Wait(0ms));
}

TEST_F(LockFile, AReadOnlyLockFileOfAnotherStillLocks) {
    const auto path = directory + "/" + Linux_LockFileMutex::FileNameFor(kName);
    common::Linux_UniqueFd(::open(path.c_str(), O_CREAT | O_WRONLY, 0444)).Reset();
    if (::access(path.c_str(), W_OK) == 0) {
        GTEST_SKIP() << "permissions do not bind this user";
    }
    Linux_LockFileMutex reader(kName, directory);
    EXPECT_TRUE(reader.Wait(0ms));
}

TEST_F(LockFile, AFileThatCannotBeHadThrowsItsOwnError) {
    // A symbolic link in the lock file's place is not followed.
    fs::create_symlink(directory + "/elsewhere",
                       directory + "/" + Linux_LockFileMutex::FileNameFor(kName));
    EXPECT_THROW(Linux_LockFileMutex(kName, directory), Linux_LockFileError);
    EXPECT_FALSE(fs::exists(directory + "/elsewhere"));
    EXPECT_THROW(Linux_LockFileMutex(kName, directory + "/missing"), Linux_LockFileError);
}

TEST_F(LockFile, TheRuntimeDirectoryComesFromTheEnvironment) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string restore = saved != nullptr ? saved : "";
    setenv("XDG_RUNTIME_DIR", directory.c_str(), 1);
    EXPECT_EQ(Linux_LockFileMutex::RuntimeDirectory(), directory);
    setenv("XDG_RUNTIME_DIR", "relative", 1);
    EXPECT_EQ(Linux_LockFileMutex::RuntimeDirectory(), "/tmp");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(Linux_LockFileMutex::RuntimeDirectory(), "/tmp");
    if (saved != nullptr) {
        setenv("XDG_RUNTIME_DIR", restore.c_str(), 1);
    }
}

}  // namespace
