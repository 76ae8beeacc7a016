#pragma once
// For tests: whether a directory is a mount point of this process's mount table, and the
// lazy unmount that clears a FUSE mount a crashed server left behind.

#include <filesystem>

namespace fu_testing {

bool Linux_IsMounted(const std::filesystem::path& directory);
void Linux_DetachFuseMount(const std::filesystem::path& directory);

}  // namespace fu_testing
