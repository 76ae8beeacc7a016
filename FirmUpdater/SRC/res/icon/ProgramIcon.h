#pragma once
// The program's icon (resource 135) as PNG images, one per size, compiled into the program
// from the files of this folder.

#include <cstdint>
#include <span>

namespace res {

inline constexpr std::uint16_t IDI_PROGRAM = 135;

struct IconImage {
    int size;  // width and height in pixels
    std::span<const unsigned char> png;
};

// Smallest first.
std::span<const IconImage> ProgramIconImages();

}  // namespace res
