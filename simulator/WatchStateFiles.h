#pragma once
// The watch's memory as plain files in one directory, readable by anyone:
//
//   flash.bin        the first flash area, whole
//   flash2.bin       the second flash area, whole
//   data-1600.bin    each settings block as last written (data-1601.bin, ...)
//   version          the firmware version text, 5 characters and a newline
//
// Each file is written to a temporary name and renamed into place, so a reader never sees a
// half-written file.

#include <filesystem>

#include "WatchMemory.h"

namespace watchsim {

// Takes what the directory holds into memory; missing files leave memory as it is. A flash
// file of another size fills what fits. Throws std::runtime_error when a file cannot be read.
void LoadWatchState(const std::filesystem::path& directory, WatchMemory& memory);

// Writes what changed since the last save (everything when asked) and clears the change
// marks. Creates the directory. Throws std::runtime_error when a file cannot be written.
void SaveWatchState(const std::filesystem::path& directory, WatchMemory& memory, bool everything);

}  // namespace watchsim
