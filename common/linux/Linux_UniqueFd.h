#pragma once
// Owns one file descriptor and closes it once.

#include <unistd.h>

#include <utility>

namespace common {

class Linux_UniqueFd {
  public:
    Linux_UniqueFd() = default;
    explicit Linux_UniqueFd(int fd) : fd_(fd) {}
    Linux_UniqueFd(Linux_UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Linux_UniqueFd& operator=(Linux_UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.fd_, -1));
        }
        return *this;
    }
    Linux_UniqueFd(const Linux_UniqueFd&) = delete;
    Linux_UniqueFd& operator=(const Linux_UniqueFd&) = delete;
    ~Linux_UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    bool IsValid() const { return fd_ >= 0; }

    // Closes the descriptor held, if any, and takes `fd`. A close interrupted by a signal is
    // not repeated: on Linux the descriptor is released either way.
    void Reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};

}  // namespace common
