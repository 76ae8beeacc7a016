#pragma once
// Repeats a system call that a signal interrupted before it did anything (-1 with EINTR).

#include <cerrno>

namespace common {

template <typename Call>
auto Linux_RetryInterrupted(Call call) {
    auto result = call();
    while (result < 0 && errno == EINTR) {
        result = call();
    }
    return result;
}

}  // namespace common
