#include "Windows_ImageFileReader.h"

#include <windows.h>

#include <algorithm>

namespace {

// Closes the handle on every way out.
class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

int LastError() {
    return static_cast<int>(::GetLastError());
}

}  // namespace

ImageFileReader::Result Windows_ImageFileReader::ReadWholeFile(const std::wstring& path,
                                                               std::uint64_t maxLength,
                                                               std::vector<std::uint8_t>& buffer) {
    Result result;
    if (path.find(L'\0') != std::wstring::npos) {
        result.status = Status::CannotOpen;
        result.systemError = ERROR_INVALID_NAME;
        return result;
    }
    // A directory cannot be opened without backup semantics, so it fails here.
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        result.status = Status::CannotOpen;
        result.systemError = LastError();
        return result;
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        result.status = Status::CannotOpen;
        result.systemError = ERROR_INVALID_FUNCTION;
        return result;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
        result.status = Status::CannotOpen;
        result.systemError = LastError();
        return result;
    }
    result.length = static_cast<std::uint64_t>(size.QuadPart);
    if (result.length > maxLength) {
        result.status = Status::TooLarge;
        return result;
    }

    buffer.resize(static_cast<std::size_t>(result.length));
    // ReadFile takes at most 4 GiB - 1 at a time.
    constexpr std::uint64_t kChunk = 1u << 30;
    while (result.bytesRead < result.length) {
        const auto wanted =
            static_cast<DWORD>(std::min<std::uint64_t>(kChunk, result.length - result.bytesRead));
        DWORD got = 0;
        const bool read =
            ::ReadFile(file.get(), buffer.data() + result.bytesRead, wanted, &got, nullptr) != 0;
        if (!read || got == 0) {
            result.status = Status::ShortRead;
            result.systemError = read ? 0 : LastError();
            return result;
        }
        result.bytesRead += got;
    }
    return result;
}

std::unique_ptr<ImageFileReader> CreatePlatformImageFileReader() {
    return std::make_unique<Windows_ImageFileReader>();
}
