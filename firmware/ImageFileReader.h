#pragma once
// How an image file reaches memory: one whole-file read into one buffer. The platform's
// folder (linux/, windows/) implements it; the program installs it at start-up.

#include <cstddef>
#include <cstdint>
#include <memory>
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
        int systemError = 0;          // the platform's error code of the failure, else 0
    };

    virtual ~ImageFileReader() = default;

    // Replaces buffer with the file's bytes, sized to the file's length.
    virtual Result ReadWholeFile(const std::wstring& path, std::uint64_t maxLength,
                                 std::vector<std::uint8_t>& buffer) = 0;
};

// The installed reader; until one is installed, a stand-in that opens nothing.
ImageFileReader& PlatformImageFileReader();
// Installs the platform's reader (borrowed; it outlives its use); null: the stand-in.
void InstallImageFileReader(ImageFileReader* reader);

// A reader of the platform built for; defined in the platform's folder (firmware_<platform>),
// for programs that need no other platform service.
std::unique_ptr<ImageFileReader> CreatePlatformImageFileReader();
