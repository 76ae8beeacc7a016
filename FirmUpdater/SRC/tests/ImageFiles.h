#pragma once
// Image files for the start-up tests, in a directory of their own that goes with the object.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class ImageFiles {
  public:
    ImageFiles() {
        directory_ = std::filesystem::temp_directory_path() /
                     ("fu_images_" + std::to_string(::getpid()) + "_" + std::to_string(next_++));
        std::filesystem::create_directories(directory_);
    }
    ~ImageFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    ImageFiles(const ImageFiles&) = delete;
    ImageFiles& operator=(const ImageFiles&) = delete;

    std::wstring Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const auto path = directory_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path.wstring();
    }

    std::wstring Missing() const { return (directory_ / "missing.bin").wstring(); }

  private:
    static inline int next_ = 0;
    std::filesystem::path directory_;
};
