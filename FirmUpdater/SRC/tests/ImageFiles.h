#pragma once
// Image files for the start-up tests, in a directory of their own that goes with the object.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TemporaryDirectory.h"

class ImageFiles {
  public:
    std::wstring Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const auto path = directory_.Path() / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path.wstring();
    }

    std::wstring Missing() const { return (directory_.Path() / "missing.bin").wstring(); }

  private:
    fu_testing::TemporaryDirectory directory_{"fu_images_"};
};
