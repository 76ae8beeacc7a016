#pragma once
// The uploader lock on Linux: an advisory lock (flock) on a file named after the lock, in
// the user's runtime directory. The kernel lets go of a lock when its holder ends, so a lock
// left by a process that died is simply free again.

#include <chrono>
#include <string>
#include <string_view>
#include <system_error>

#include "INamedMutex.h"
#include "Linux_UniqueFd.h"

// The lock file can be neither created nor opened.
class Linux_LockFileError : public std::system_error {
  public:
    Linux_LockFileError(int error, const std::string& path);
};

class Linux_LockFileMutex : public INamedMutex {
  public:
    // How often a held lock is tried again while waiting.
    static constexpr std::chrono::milliseconds kRetryStep{2};

    // Creates the lock file, or opens it when it exists, without taking the lock. Throws
    // Linux_LockFileError when it can be neither.
    explicit Linux_LockFileMutex(std::wstring_view name,
                                 const std::string& directory = RuntimeDirectory());
    ~Linux_LockFileMutex() override;
    Linux_LockFileMutex(const Linux_LockFileMutex&) = delete;
    Linux_LockFileMutex& operator=(const Linux_LockFileMutex&) = delete;

    // Tries the lock until it is had or the time is up; the waits go through common::Pause.
    bool Wait(std::chrono::milliseconds timeout) override;
    void Release() override;

    const std::string& Path() const { return path_; }

    // $XDG_RUNTIME_DIR when it names an absolute directory, else /tmp.
    static std::string RuntimeDirectory();
    // The name as a file name: UTF-8, '/' and zero characters replaced by '_', never "",
    // "." or "..", at most 255 bytes (cut at a character boundary).
    static std::string FileNameFor(std::wstring_view name);

  private:
    std::string path_;
    common::Linux_UniqueFd fd_;
};
