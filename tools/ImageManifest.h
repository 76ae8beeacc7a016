#pragma once
// The text manifest `fwimage build` writes images from (format: tools/README.md).
//
//   identity vendor=0x3A7C product=0x0A51 model=612E flags=0x01
//   section type=sector-erase value1=1 value2=4
//   section type=version-block-1600 data=fill:0xFF:0x80000 version=01.30

#include "ImageBuilder.h"

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fwimage {

class ManifestError : public std::runtime_error {
  public:
    ManifestError(std::size_t line, const std::string& message)
        : std::runtime_error(line == 0 ? message : "line " + std::to_string(line) + ": " + message),
          line(line) {}
    std::size_t line;  // 0 when the error is not on one line
};

// data=file:PATH is read relative to baseDir.
firmware::ImageBuilder ParseManifest(std::string_view text,
                                     const std::filesystem::path& baseDir = {});

// The image bytes a manifest describes, good or broken: tests of every layer make images
// this way. Throws ManifestError or firmware::ImageBuildError.
std::vector<std::uint8_t> BuildImageFromManifest(std::string_view text,
                                                 const std::filesystem::path& baseDir = {});

}  // namespace fwimage
