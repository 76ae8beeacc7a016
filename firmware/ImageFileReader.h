#pragma once
// How an image file reaches memory: one whole-file read into one buffer. The platform
// layer implements it (linux/).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ImageFileReader {
  public:
    enum class Status {
        Read,        // the buffer holds the whole file
        CannotOpen,  // missing, not permitted, not a regular file, or a path we cannot encode
        TooLarge,    // longer than maxLength; nothing was read
        ShortRead,   // fewer bytes arrived than the file's length
    };

    struct Result {
        Status status = Status::Read;
        std::uint64_t length = 0;     // the file's length when it could be opened
        std::uint64_t bytesRead = 0;  // how much of it arrived
        int systemError = 0;          // errno of the failure, else 0
    };

    virtual ~ImageFileReader() = default;

    // Replaces buffer with the file's bytes, sized to the file's length.
    virtual Result ReadWholeFile(const std::wstring& path, std::uint64_t maxLength,
                                 std::vector<std::uint8_t>& buffer) = 0;
};

// The reader of the platform this program is built for.
ImageFileReader& PlatformImageFileReader();
