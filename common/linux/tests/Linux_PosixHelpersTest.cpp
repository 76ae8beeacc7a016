// The owned file descriptor and the retry of interrupted system calls.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "Linux_RetryInterrupted.h"
#include "Linux_UniqueFd.h"

namespace {

bool IsOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

TEST(Linux_RetryInterrupted, RepeatsOnlyWhileASignalInterrupts) {
    int calls = 0;
    const auto interruptedTwice = [&] {
        ++calls;
        if (calls <= 2) {
            errno = EINTR;
            return -1;
        }
        return 7;
    };
    EXPECT_EQ(common::Linux_RetryInterrupted(interruptedTwice), 7);
    EXPECT_EQ(calls, 3);

    calls = 0;
    const auto failing = [&] {
        ++calls;
        errno = EBADF;
        return -1;
    };
    EXPECT_EQ(common::Linux_RetryInterrupted(failing), -1);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(errno, EBADF);
}

TEST(Linux_UniqueFd, ClosesWhatItOwnsExactlyOnce) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    {
        common::Linux_UniqueFd reader(ends[0]);
        common::Linux_UniqueFd writer(ends[1]);
        common::Linux_UniqueFd moved(std::move(reader));
        EXPECT_FALSE(reader.IsValid());
        EXPECT_EQ(moved.Get(), ends[0]);

        moved = std::move(writer);  // the read end goes now, the write end is kept
        EXPECT_FALSE(IsOpen(ends[0]));
        EXPECT_TRUE(IsOpen(ends[1]));

        moved.Reset();
        EXPECT_FALSE(IsOpen(ends[1]));
        EXPECT_FALSE(moved.IsValid());

        // A descriptor number the kernel hands out again is not closed a second time.
        int again[2];
        ASSERT_EQ(::pipe(again), 0);
        moved.Reset(again[0]);
        EXPECT_TRUE(IsOpen(again[0]));
        ::close(again[1]);
    }
}

}  // namespace
