#include "Linux_WindowTitleRegistry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include "Linux_RetryInterrupted.h"
#include "Linux_UniqueFd.h"
#include "TextConversion.h"

namespace {

// Titles are short; anything longer is not one of ours.
constexpr std::size_t kMaximumTitleBytes = 4096;

// One registered title: the file goes when the window does.
class Registration : public ui::WindowAnnouncement {
  public:
    Registration(std::string path, common::Linux_UniqueFd fd)
        : path_(std::move(path)), fd_(std::move(fd)) {}
    // The name goes first, then the lock with the descriptor.
    ~Registration() override { ::unlink(path_.c_str()); }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

  private:
    std::string path_;
    common::Linux_UniqueFd fd_;
};

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto written = common::Linux_RetryInterrupted(
            [&] { return ::write(fd, bytes.data() + done, bytes.size() - done); });
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// The title in a registered file; nothing when the file is not a live registration.
std::optional<std::string> LiveTitle(int directory, const char* name) {
    const common::Linux_UniqueFd file(
        ::openat(directory, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!file.IsValid()) {
        return std::nullopt;
    }
    const int fd = file.Get();
    std::optional<std::string> title;
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
        // Nobody holds it: left behind by a process that ended.
        ::unlinkat(directory, name, 0);
    } else if (errno == EWOULDBLOCK) {
        std::string bytes(kMaximumTitleBytes + 1, '\0');
        const auto count = ::pread(fd, bytes.data(), bytes.size(), 0);
        if (count >= 0 && static_cast<std::size_t>(count) <= kMaximumTitleBytes) {
            bytes.resize(static_cast<std::size_t>(count));
            title = std::move(bytes);
        }
    }
    return title;
}

}  // namespace

Linux_WindowTitleRegistry::Linux_WindowTitleRegistry(std::string directory)
    : directory_(std::move(directory)) {}

std::string Linux_WindowTitleRegistry::DefaultDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return std::string(runtime) + "/firmupdater-windows";
    }
    return "/tmp/firmupdater-windows-" + std::to_string(::getuid());
}

bool Linux_WindowTitleRegistry::PrepareDirectory() const {
    if (::mkdir(directory_.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat status {};
    return ::lstat(directory_.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::unique_ptr<ui::WindowAnnouncement> Linux_WindowTitleRegistry::Announce(
    std::wstring_view title) {
    if (!PrepareDirectory()) {
        return nullptr;
    }
    // Written and locked under a hidden name, then renamed: a search never sees a title
    // that is not locked yet.
    std::string hidden = directory_ + "/.new-XXXXXX";
    common::Linux_UniqueFd file(::mkostemp(hidden.data(), O_CLOEXEC));
    if (!file.IsValid()) {
        return nullptr;
    }
    const int fd = file.Get();
    const auto visible = directory_ + "/" + hidden.substr(directory_.size() + 2);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !WriteAll(fd, common::WideToUtf8(title)) ||
        ::rename(hidden.c_str(), visible.c_str()) != 0) {
        ::unlink(hidden.c_str());
        return nullptr;
    }
    return std::make_unique<Registration>(visible, std::move(file));
}

bool Linux_WindowTitleRegistry::HasWindowTitled(const std::wstring& title) {
    if (!PrepareDirectory()) {
        return false;
    }
    DIR* listing = ::opendir(directory_.c_str());
    if (listing == nullptr) {
        return false;
    }
    const auto wanted = common::WideToUtf8(title);
    bool found = false;
    while (const dirent* entry = ::readdir(listing)) {
        if (entry->d_name[0] == '.') {
            continue;  // ".", ".." and registrations being written
        }
        if (LiveTitle(::dirfd(listing), entry->d_name) == wanted) {
            found = true;  // the rest waits for another search to be cleared away
            break;
        }
    }
    ::closedir(listing);
    return found;
}
