#include "Linux_LockFileMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "Linux_RetryInterrupted.h"
#include "Pause.h"
#include "TextConversion.h"

namespace {

constexpr std::size_t kMaximumFileName = 255;

}  // namespace

Linux_LockFileError::Linux_LockFileError(int error, const std::string& path)
    : std::system_error(error, std::generic_category(), "cannot open the lock file " + path) {}

std::string Linux_LockFileMutex::RuntimeDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return runtime;
    }
    return "/tmp";
}

std::string Linux_LockFileMutex::FileNameFor(std::wstring_view name) {
    std::string file = common::WideToUtf8(name);
    std::replace(file.begin(), file.end(), '/', '_');
    std::replace(file.begin(), file.end(), '\0', '_');
    if (file.empty() || file == "." || file == "..") {
        file.insert(file.begin(), '_');
    }
    if (file.size() > kMaximumFileName) {
        std::size_t cut = kMaximumFileName;
        while (cut > 0 && (static_cast<unsigned char>(file[cut]) & 0xC0) == 0x80) {
            --cut;  // not inside a character's bytes
        }
        file.resize(cut);
    }
    return file;
}

Linux_LockFileMutex::Linux_LockFileMutex(std::wstring_view name, const std::string& directory)
    : path_(directory + "/" + FileNameFor(name)) {
    // Never through a symbolic link. A lock file another user made (in /tmp) may be readable
    // only; a shared lock needs no more than that.
    fd_.Reset(::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (!fd_.IsValid() && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        fd_.Reset(::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    }
    if (!fd_.IsValid()) {
        throw Linux_LockFileError(errno, path_);
    }
}

Linux_LockFileMutex::~Linux_LockFileMutex() = default;

bool Linux_LockFileMutex::Wait(std::chrono::milliseconds timeout) {
    std::chrono::milliseconds waited{0};
    for (;;) {
        if (common::Linux_RetryInterrupted([&] { return ::flock(fd_.Get(), LOCK_EX | LOCK_NB); }) ==
            0) {
            return true;
        }
        if (errno != EWOULDBLOCK || waited >= timeout) {
            return false;
        }
        const auto step = std::min(kRetryStep, timeout - waited);
        common::Pause(step);
        waited += step;
    }
}

void Linux_LockFileMutex::Release() {
    ::flock(fd_.Get(), LOCK_UN);
}
