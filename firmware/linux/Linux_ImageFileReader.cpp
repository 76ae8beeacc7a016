#include "Linux_ImageFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "Linux_RetryInterrupted.h"
#include "Linux_UniqueFd.h"
#include "TextConversion.h"

ImageFileReader::Result Linux_ImageFileReader::ReadWholeFile(const std::wstring& path,
                                                             std::uint64_t maxLength,
                                                             std::vector<std::uint8_t>& buffer) {
    Result result;
    // A character the locale cannot encode would turn into '?' and could name another file.
    const std::string narrow = common::WideToNarrow(path);
    if (common::NarrowToWide(narrow) != path || narrow.find('\0') != std::string::npos) {
        result.status = Status::CannotOpen;
        result.systemError = EILSEQ;
        return result;
    }

    const common::Linux_UniqueFd file(::open(narrow.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        result.status = Status::CannotOpen;
        result.systemError = errno;
        return result;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        result.status = Status::CannotOpen;
        result.systemError = errno;
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.status = Status::CannotOpen;
        result.systemError = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return result;
    }
    result.length = static_cast<std::uint64_t>(info.st_size);
    if (result.length > maxLength) {
        result.status = Status::TooLarge;
        return result;
    }

    buffer.resize(static_cast<std::size_t>(result.length));
    // One read normally does it; the loop only carries on where the kernel splits a large
    // read or a signal interrupts it.
    while (result.bytesRead < result.length) {
        const ssize_t n = common::Linux_RetryInterrupted([&] {
            return ::read(file.Get(), buffer.data() + result.bytesRead,
                          static_cast<std::size_t>(result.length - result.bytesRead));
        });
        if (n <= 0) {
            result.status = Status::ShortRead;
            result.systemError = n < 0 ? errno : 0;
            return result;
        }
        result.bytesRead += static_cast<std::uint64_t>(n);
    }
    return result;
}

std::unique_ptr<ImageFileReader> CreatePlatformImageFileReader() {
    return std::make_unique<Linux_ImageFileReader>();
}
